#include "platform/sysinfolauncher.h"

#include "platform/registry.h"
#include "platform/sysinfosystem.h"

#include <array>
#include <exception>
#include <string_view>

namespace pennoro::sysinfo {

namespace {

// The byte codes of a number value, the last byte first, each in hexadecimal without leading
// zeros. The final formatting without a pattern leaves "&h" and the digits as they are.
std::string numberText(std::string_view bytes, const std::string& earlier)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text = "&h" + earlier;
    for (auto byte = bytes.rbegin(); byte != bytes.rend(); ++byte) {
        const auto code = static_cast<unsigned char>(*byte);
        if (code >= 16)
            text += digits[code / 16];
        text += digits[code % 16];
    }
    return text;
}

Lookup readValue(Registry& registry, Registry::Key key, const std::string& valueName,
                 std::string& keyVal)
{
    std::array<char, valueBufferSize> buffer{};
    const auto value = registry.query(key, valueName, buffer);
    if (!value || value->size == 0) {
        keyVal.clear();
        return value ? Lookup::Broken : Lookup::Missing;
    }
    // Text stored with its terminating zero counts that byte in its size.
    const std::size_t length = buffer[value->size - 1] == '\0' ? value->size - 1 : value->size;
    const std::string_view data(buffer.data(), length);
    if (value->type == Registry::text)
        keyVal = data;
    else if (value->type == Registry::number)
        keyVal = numberText(data, keyVal);
    return Lookup::Found;
}

} // namespace

Lookup getKeyValue(Registry& registry, std::uint32_t root, const std::string& keyName,
                   const std::string& valueName, std::string& keyVal)
{
    const auto key = registry.open(root, keyName);
    if (!key) {
        keyVal.clear();
        return Lookup::Missing;
    }
    const Lookup result = readValue(registry, *key, valueName, keyVal);
    registry.close(*key);
    return result;
}

bool startSysInfo(SysInfoSystem& system)
{
    // Whatever goes wrong on the way ends in the caller's one failure message.
    try {
        std::string path;
        const Lookup first = getKeyValue(system.registry(), Registry::localMachine, toolPathKey,
                                         toolPathValue, path);
        if (first == Lookup::Found)
            return system.startProgram(path);
        if (first == Lookup::Broken ||
            getKeyValue(system.registry(), Registry::localMachine, toolFolderKey, toolFolderValue,
                        path) != Lookup::Found)
            return false;
        path += toolFileName;
        return system.isNormalFile(path) && system.startProgram(path);
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace pennoro::sysinfo
