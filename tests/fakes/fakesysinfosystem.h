#pragma once

#include "about/sysinfosystem.h"
#include "platform/memoryregistry.h"

#include <set>
#include <string>
#include <vector>

// A registry in memory that remembers which keys were opened.
class RecordingRegistry final : public pennoro::MemoryRegistry {
public:
    std::optional<Key> open(std::uint32_t root, const std::string& subKey) override
    {
        opened.push_back(subKey);
        return MemoryRegistry::open(root, subKey);
    }

    std::vector<std::string> opened;
};

// The launcher's system with a made-up set of files: a program starts when its file exists.
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

    RecordingRegistry fakeRegistry;
    std::set<std::string> files;
    std::vector<std::string> probed;
    std::vector<std::string> started;
};
