#include "platform/standinsysinfosystem.h"

#include "platform/sysinfolauncher.h"

#include <QFile>
#include <QProcess>

#include <cstdlib>
#include <filesystem>

namespace pennoro {

StandInSysInfoSystem::StandInSysInfoSystem(const std::string& searchPath) : registry_(searchPath) {}

bool StandInSysInfoSystem::isNormalFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool StandInSysInfoSystem::startProgram(const std::string& path)
{
    // The path is the program; no shell sees it.
    return !path.empty() &&
           QProcess::startDetached(QFile::decodeName(QByteArray::fromStdString(path)), {});
}

std::unique_ptr<SysInfoSystem> sysinfo::makeSystem()
{
    const char* searchPath = std::getenv("PATH");
    return std::make_unique<StandInSysInfoSystem>(searchPath ? searchPath : "");
}

} // namespace pennoro
