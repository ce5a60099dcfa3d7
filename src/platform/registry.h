#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace pennoro {

// Read access to the system registry, shaped after the three calls Windows offers for it: open
// a key, query one value into a caller's buffer, close the key. Names and text data are bytes in
// the system's ANSI code page. Free of Qt, so that it builds for Windows on its own.
class Registry {
public:
    // A predefined root key, as Windows numbers it.
    enum Root : std::uint32_t { currentUser = 0x80000001, localMachine = 0x80000002 };
    // Value types the program tells apart.
    enum Type : std::uint32_t { text = 1, expandableText = 2, number = 4 };

    using Key = std::uintptr_t;
    struct Value {
        std::uint32_t type;
        // The bytes stored into the buffer; for text this counts its terminating zero byte
        // when the value holds one.
        std::size_t size;
    };

    virtual ~Registry() = default;

    // Opens a key below a root for reading only; nothing when it is missing or may not be read.
    virtual std::optional<Key> open(std::uint32_t root, const std::string& subKey) = 0;
    // Copies a value's data into the buffer; nothing when the value is missing or its data do
    // not fit the buffer.
    virtual std::optional<Value> query(Key key, const std::string& valueName,
                                       std::span<char> buffer) = 0;
    virtual void close(Key key) = 0;
};

} // namespace pennoro
