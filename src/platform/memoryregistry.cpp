#include "platform/memoryregistry.h"

#include <algorithm>

namespace pennoro {

namespace {

// Registry names compare without regard to letter case.
std::string folded(std::string name)
{
    std::ranges::transform(name, name.begin(), [](unsigned char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
    });
    return name;
}

} // namespace

MemoryRegistry::KeyPath MemoryRegistry::path(std::uint32_t root, const std::string& subKey)
{
    return {root, folded(subKey)};
}

void MemoryRegistry::setValue(std::uint32_t root, const std::string& subKey,
                              const std::string& valueName, std::uint32_t type,
                              const std::string& data)
{
    keys_[path(root, subKey)].values[folded(valueName)] = Data{type, data};
}

void MemoryRegistry::addKey(std::uint32_t root, const std::string& subKey)
{
    keys_[path(root, subKey)];
}

std::optional<Registry::Key> MemoryRegistry::open(std::uint32_t root, const std::string& subKey)
{
    const auto found = keys_.find(path(root, subKey));
    if (found == keys_.end())
        return std::nullopt;
    const Key key = nextKey_++;
    open_.emplace(key, found->first);
    return key;
}

std::optional<Registry::Value> MemoryRegistry::query(Key key, const std::string& valueName,
                                                     std::span<char> buffer)
{
    const auto opened = open_.find(key);
    if (opened == open_.end())
        return std::nullopt;
    const auto& values = keys_.at(opened->second).values;
    const auto found = values.find(folded(valueName));
    if (found == values.end() || found->second.bytes.size() > buffer.size())
        return std::nullopt;
    const Data& data = found->second;
    std::ranges::copy(data.bytes, buffer.begin());
    return Value{data.type, data.bytes.size()};
}

void MemoryRegistry::close(Key key)
{
    open_.erase(key);
}

} // namespace pennoro
