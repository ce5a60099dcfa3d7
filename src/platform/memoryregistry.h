#pragma once

#include "platform/registry.h"

#include <map>
#include <tuple>

namespace pennoro {

// A registry held in memory that answers like the Windows one: key and value names in any
// letter case, a query that fails when the data do not fit the buffer. The stand-in for systems
// without a registry builds on it.
class MemoryRegistry : public Registry {
public:
    // Stores the value's data exactly as given: a text value carries its terminating zero only
    // when the data hold one.
    void setValue(std::uint32_t root, const std::string& subKey, const std::string& valueName,
                  std::uint32_t type, const std::string& data);
    // Creates the key without values.
    void addKey(std::uint32_t root, const std::string& subKey);

    std::optional<Key> open(std::uint32_t root, const std::string& subKey) override;
    std::optional<Value> query(Key key, const std::string& valueName,
                               std::span<char> buffer) override;
    void close(Key key) override;

    // Keys opened and not closed yet: tests check that every lookup closes what it opened.
    std::size_t openKeys() const { return open_.size(); }

private:
    struct Data {
        std::uint32_t type;
        std::string bytes;
    };
    using KeyPath = std::tuple<std::uint32_t, std::string>;
    struct Contents {
        std::map<std::string, Data> values;
    };

    static KeyPath path(std::uint32_t root, const std::string& subKey);

    std::map<KeyPath, Contents> keys_;
    std::map<Key, KeyPath> open_;
    Key nextKey_ = 1;
};

} // namespace pennoro
