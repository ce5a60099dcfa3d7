#pragma once

#include "platform/memoryregistry.h"

#include <string>

namespace pennoro {

// Stands in for the Windows registry on other systems. It records nothing but where the system
// information launcher finds a tool: the first system information program installed in the
// search path (a list of folders separated by ':', like PATH; only absolute folders count) as the
// tool's full path. The folder lookup stays unanswered, since no such folder holds MSINFO32.EXE;
// with no tool installed the launcher finds nothing and says so.
class StandInRegistry final : public MemoryRegistry {
public:
    explicit StandInRegistry(const std::string& searchPath);

    // The programs looked for, the preferred first.
    static constexpr const char* tools[] = {"hardinfo2", "hardinfo", "kinfocenter"};
};

} // namespace pennoro
