#pragma once

#include "platform/sysinfosystem.h"
#include "platform/windowsregistry.h"

namespace pennoro {

// The system information launcher's view of Windows: the registry through advapi32, file
// attributes, and CreateProcess. Built only for Windows, and free of Qt.
class WindowsSysInfoSystem final : public SysInfoSystem {
public:
    Registry& registry() override { return registry_; }
    bool isNormalFile(const std::string& path) override;
    bool startProgram(const std::string& path) override;

private:
    WindowsRegistry registry_;
};

} // namespace pennoro
