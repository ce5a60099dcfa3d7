#include "platform/windowsregistry.h"

#include <windows.h>

namespace pennoro {

namespace {

// Predefined roots are 32-bit numbers that Windows widens with their sign, as its HKEY_*
// macros do.
HKEY rootHandle(std::uint32_t root)
{
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
}

HKEY keyHandle(Registry::Key key)
{
    return reinterpret_cast<HKEY>(key);
}

} // namespace

std::optional<Registry::Key> WindowsRegistry::open(std::uint32_t root, const std::string& subKey)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(rootHandle(root), subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    return reinterpret_cast<Key>(key);
}

std::optional<Registry::Value> WindowsRegistry::query(Key key, const std::string& valueName,
                                                      std::span<char> buffer)
{
    DWORD type = 0;
    auto size = static_cast<DWORD>(buffer.size());
    if (RegQueryValueExA(keyHandle(key), valueName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    return Value{type, size};
}

void WindowsRegistry::close(Key key)
{
    RegCloseKey(keyHandle(key));
}

} // namespace pennoro
