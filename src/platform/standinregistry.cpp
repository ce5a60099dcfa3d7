#include "platform/standinregistry.h"

#include "platform/sysinfolauncher.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace pennoro {

namespace {

namespace fs = std::filesystem;

bool isProgram(const fs::path& path)
{
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    constexpr auto runnable =
        fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    return !error && fs::is_regular_file(status) &&
           (status.permissions() & runnable) != fs::perms::none;
}

// Only absolute entries are searched: an empty entry, "." or a relative one ("bin") names the
// folder the program happens to be started in, or one below it: no place to start a program from.
std::optional<fs::path> findProgram(std::string_view searchPath, std::string_view name)
{
    while (!searchPath.empty()) {
        const std::size_t colon = searchPath.find(':');
        const std::string_view folder = searchPath.substr(0, colon);
        searchPath =
            colon == std::string_view::npos ? std::string_view{} : searchPath.substr(colon + 1);
        if (!fs::path(folder).is_absolute())
            continue;
        fs::path candidate = fs::path(folder) / name;
        if (isProgram(candidate))
            return candidate;
    }
    return std::nullopt;
}

} // namespace

StandInRegistry::StandInRegistry(const std::string& searchPath)
{
    addKey(localMachine, sysinfo::toolPathKey);
    for (const char* tool : tools) {
        if (const auto found = findProgram(searchPath, tool)) {
            setValue(localMachine, sysinfo::toolPathKey, sysinfo::toolPathValue, text,
                     found->string() + '\0');
            return;
        }
    }
}

} // namespace pennoro
