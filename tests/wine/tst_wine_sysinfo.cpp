// The system information launcher on Windows' own registry, file checks and program start, under
// Wine; run.sh writes the values and places the files. Modes: keyvalues, files, start, fail.
#include "platform/sysinfolauncher.h"
#include "platform/windowssysinfosystem.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace {

using pennoro::Lookup;

int failures = 0;

void check(bool passed, const std::string& what)
{
    std::printf("%s: %s\n", passed ? "ok" : "FAIL", what.c_str());
    failures += passed ? 0 : 1;
}

// A text without the terminating zero that `reg add` always writes.
bool writeExactText(const wchar_t* name, const std::wstring& text)
{
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Pennoro Test", name, REG_SZ, text.data(),
                           DWORD(text.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

void expectValue(const char* value, Lookup expected, const std::string& expectedText,
                 const std::string& key = "Software\\Pennoro Test")
{
    static pennoro::WindowsRegistry registry;
    std::string text = "old";
    const Lookup result =
        pennoro::sysinfo::getKeyValue(registry, pennoro::Registry::localMachine, key, value, text);
    check(result == expected && text == expectedText, key + " " + value);
}

void keyValues()
{
    check(writeExactText(L"NoZero", L"abc") && writeExactText(L"Empty", L"") &&
              writeExactText(L"FullNoZero", std::wstring(1023, L'y')) &&
              writeExactText(L"OverfullNoZero", std::wstring(1024, L'y')),
          "write values without a terminating zero");
    expectValue("Text", Lookup::Found, "C:\\Pennoro Test\\a b.exe");
    expectValue("NoZero", Lookup::Found, "abc");
    expectValue("Exact", Lookup::Found, std::string(1023, 'x'));
    // The ANSI query ends a text stored without its zero with one of its own, and counts it: 1024
    // characters then need 1025 bytes.
    expectValue("FullNoZero", Lookup::Found, std::string(1023, 'y'));
    expectValue("OverfullNoZero", Lookup::Missing, "");
    expectValue("TooLong", Lookup::Missing, "");
    expectValue("Empty", Lookup::Broken, "");
    expectValue("Number", Lookup::Found, "&hold012");
    expectValue("Expandable", Lookup::Found, "old");
    expectValue("Absent", Lookup::Missing, "");
    expectValue("Text", Lookup::Missing, "", "Software\\Pennoro Test\\Absent");
}

void files()
{
    const std::string folder = "C:\\Pennoro Test\\Sys Info";
    const std::string hidden = folder + "\\hidden.exe";
    check(SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN) &&
              (GetFileAttributesA(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN),
          "hide a file");
    pennoro::WindowsSysInfoSystem system;
    check(system.isNormalFile(folder + "\\MSINFO32.EXE"), "the tool is a normal file");
    check(system.isNormalFile(folder + "\\msinfo32.exe"), "in any letter case");
    check(!system.isNormalFile(folder), "a folder is not");
    check(!system.isNormalFile(hidden), "a hidden file is not");
    check(!system.isNormalFile(folder + "\\MSINFO32.*"), "wildcards match nothing");
    check(!system.isNormalFile("\\MSINFO32.EXE"), "no tool in the drive's root folder");
}

} // namespace

int main(int argc, char** argv)
{
    const std::string_view mode = argc > 1 ? argv[1] : "";
    if (mode == "keyvalues")
        keyValues();
    else if (mode == "files")
        files();
    else if (mode == "start" || mode == "fail") {
        pennoro::WindowsSysInfoSystem system;
        check(pennoro::sysinfo::startSysInfo(system) == (mode == "start"),
              mode == "start" ? "the tool starts" : "the tool does not start");
    } else {
        check(false, "a known mode");
    }
    return failures == 0 ? 0 : 1;
}
