// Stands in for the system information tool under Wine: it leaves the command line it was started
// with in "started.txt" beside itself, so the test sees that and how it was started.
#include <windows.h>

#include <cstdio>
#include <string>

int main()
{
    char self[MAX_PATH];
    std::string marker(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
    marker.replace(marker.find_last_of('\\') + 1, std::string::npos, "started.txt");
    FILE* file = std::fopen(marker.c_str(), "w");
    return file && std::fputs(GetCommandLineA(), file) >= 0 && std::fclose(file) == 0 ? 0 : 1;
}
