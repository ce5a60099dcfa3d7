#include "platform/windowssysinfosystem.h"

#include "platform/sysinfolauncher.h"

#include <windows.h>

namespace pennoro {

bool WindowsSysInfoSystem::isNormalFile(const std::string& path)
{
    // Attributes of exactly this name: wildcards match nothing here.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    constexpr DWORD notNormal =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & notNormal) == 0;
}

bool WindowsSysInfoSystem::startProgram(const std::string& path)
{
    // The program is named on its own, so a path with spaces is never split into a shorter
    // program and arguments; the command line repeats it quoted as the program's own name.
    std::string commandLine = '"' + path + '"';
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

std::unique_ptr<SysInfoSystem> sysinfo::makeSystem()
{
    return std::make_unique<WindowsSysInfoSystem>();
}

} // namespace pennoro
