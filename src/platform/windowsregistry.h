#pragma once

#include "platform/registry.h"

namespace pennoro {

// The Windows registry through advapi32 (RegOpenKeyExA, RegQueryValueExA, RegCloseKey), opened
// with read access only, which every user has. Built only for Windows.
class WindowsRegistry final : public Registry {
public:
    std::optional<Key> open(std::uint32_t root, const std::string& subKey) override;
    std::optional<Value> query(Key key, const std::string& valueName,
                               std::span<char> buffer) override;
    void close(Key key) override;
};

} // namespace pennoro
