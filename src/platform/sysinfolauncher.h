#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace pennoro {

class Registry;
class SysInfoSystem;

// What a registry lookup found.
enum class Lookup {
    Found,
    Missing,
    // The value exists but holds no bytes at all: it cannot be taken apart, and the launch
    // it belongs to fails as a whole.
    Broken,
};

namespace sysinfo {

// Where Windows records its system information tool, MSINFO32.EXE.
inline constexpr char toolPathKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr char toolPathValue[] = "PATH";
inline constexpr char toolFolderKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr char toolFolderValue[] = "MSINFO";
inline constexpr char toolFileName[] = "\\MSINFO32.EXE";
// The largest value, in bytes, that a lookup reads.
inline constexpr std::size_t valueBufferSize = 1024;

// Reads one registry value as text into keyVal. A text value replaces keyVal. A 32-bit number
// is written as "&h", then keyVal's earlier text, then the codes of its bytes (the last one read
// first) in upper-case hexadecimal without leading zeros. A value of any other type counts as
// found and leaves keyVal alone. Anything not found or broken empties keyVal. A value stored
// with its terminating zero yields the text without it; one of more than 1024 bytes counts as
// missing. The key is always closed again.
Lookup getKeyValue(Registry& registry, std::uint32_t root, const std::string& keyName,
                   const std::string& valueName, std::string& keyVal);

// Finds the system information tool and starts it: first the full path the registry records,
// started without a check; otherwise the folder it records, if it holds MSINFO32.EXE. False
// when the tool was not started; the caller then shows the one failure message.
bool startSysInfo(SysInfoSystem& system);

// The real one for the system the program was built for.
std::unique_ptr<SysInfoSystem> makeSystem();

} // namespace sysinfo
} // namespace pennoro
