#pragma once

#include "platform/memoryregistry.h"
#include "platform/sysinfosystem.h"

#include <set>
#include <string>
#include <vector>

// The launcher's system over a registry in memory and a made-up set of files: a program starts
// when its file exists.
class FakeSysInfoSystem final : public pennoro::SysInfoSystem {
public:
    pennoro::Registry& registry() override { return fakeRegistry; }

    bool isNormalFile(const std::string& path) override
    {
        probed.push_back(path);
        return files.contains(path);
    }

    bool startProgram(const std::string& path) override
    {
        if (!files.contains(path))
            return false;
        started.push_back(path);
        return true;
    }

    pennoro::MemoryRegistry fakeRegistry;
    std::set<std::string> files;
    std::vector<std::string> probed;
    std::vector<std::string> started;
};
