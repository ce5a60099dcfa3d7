#pragma once

#include "platform/standinregistry.h"
#include "platform/sysinfosystem.h"

namespace pennoro {

// The system information launcher's view of a system without a registry: the stand-in registry
// over the programs in PATH, plain file checks, and programs started through Qt.
class StandInSysInfoSystem final : public SysInfoSystem {
public:
    explicit StandInSysInfoSystem(const std::string& searchPath);

    Registry& registry() override { return registry_; }
    bool isNormalFile(const std::string& path) override;
    bool startProgram(const std::string& path) override;

private:
    StandInRegistry registry_;
};

} // namespace pennoro
