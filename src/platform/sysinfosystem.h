#pragma once

#include <string>

namespace pennoro {

class Registry;

// What the system information launcher needs from the system: the registry, a check for a file,
// and starting a program. Paths are bytes in the system's ANSI code page (on Windows) or its
// file name encoding. Free of Qt, so that the launcher builds for Windows on its own.
class SysInfoSystem {
public:
    virtual ~SysInfoSystem() = default;

    virtual Registry& registry() = 0;
    // Whether the path names an existing normal file: no folder, no hidden or system file, no
    // wildcards.
    virtual bool isNormalFile(const std::string& path) = 0;
    // Starts the program file at the path in a normal window as a separate process, without
    // waiting for it. The path is the program itself, never a command line split at spaces.
    // False when it could not be started.
    virtual bool startProgram(const std::string& path) = 0;
};

} // namespace pennoro
