// The system information launcher on real Windows behaviour: built with mingw-w64 and run under
// Wine by run.sh, which writes the registry values and places the files this reads.
//   tst_wine_sysinfo keyvalues   reads the values under HKLM\Software\Pennoro Test
//   tst_wine_sysinfo files       checks which paths count as the tool's file
//   tst_wine_sysinfo start|fail  runs the launcher and expects it to start the tool or not
#include "about/sysinfolauncher.h"
#include "about/sysinfosystem.h"
#include "about/windowssysinfosystem.h"
#include "platform/windowsregistry.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace {

using pennoro::Lookup;
using pennoro::Registry;

const char* const fixtures = "Software\\Pennoro Test";
int failures = 0;

void check(bool passed, std::string_view what)
{
    std::printf("%s: %.*s\n", passed ? "ok" : "FAIL", static_cast<int>(what.size()), what.data());
    failures += passed ? 0 : 1;
}

// Values whose bytes `reg add` cannot write: it always ends a text with a zero.
bool writeExactText(const wchar_t* name, const std::wstring& text)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Pennoro Test", 0, KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS)
        return false;
    const LONG result =
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                       static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

void expectValue(Registry& registry, const char* key, const char* value, Lookup expected,
                 const std::string& expectedText)
{
    std::string text = "old";
    const Lookup result = pennoro::getKeyValue(registry, Registry::localMachine, key, value, text);
    check(result == expected && text == expectedText, std::string(key) + " " + value);
}

void keyValues()
{
    check(writeExactText(L"NoZero", L"abc") && writeExactText(L"Empty", L"") &&
              writeExactText(L"FullNoZero", std::wstring(1023, L'y')) &&
              writeExactText(L"OverfullNoZero", std::wstring(1024, L'y')),
          "write values without a terminating zero");
    pennoro::WindowsRegistry registry;
    expectValue(registry, fixtures, "Text", Lookup::Found, "C:\\Pennoro Test\\a b.exe");
    expectValue(registry, fixtures, "NoZero", Lookup::Found, "abc");
    expectValue(registry, fixtures, "Exact", Lookup::Found, std::string(1023, 'x'));
    // The ANSI query ends a text stored without its zero with one of its own, and counts it:
    // 1024 characters then need 1025 bytes.
    expectValue(registry, fixtures, "FullNoZero", Lookup::Found, std::string(1023, 'y'));
    expectValue(registry, fixtures, "OverfullNoZero", Lookup::Missing, "");
    expectValue(registry, fixtures, "TooLong", Lookup::Missing, "");
    expectValue(registry, fixtures, "Empty", Lookup::Broken, "");
    expectValue(registry, fixtures, "Number", Lookup::Found, "&hold012");
    expectValue(registry, fixtures, "Expandable", Lookup::Found, "old");
    expectValue(registry, fixtures, "Absent", Lookup::Missing, "");
    expectValue(registry, "Software\\Pennoro Test\\Absent", "Text", Lookup::Missing, "");
}

void files()
{
    const std::string folder = "C:\\Pennoro Test\\Sys Info";
    const std::string hidden = folder + "\\hidden.exe";
    const bool hid = SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    const DWORD attributes = GetFileAttributesA(hidden.c_str());
    check(hid && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN),
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
    else if (mode == "start" || mode == "fail")
        check(pennoro::startSysInfo(*pennoro::makeSysInfoSystem()) == (mode == "start"),
              mode == "start" ? "the tool starts" : "the tool does not start");
    else
        check(false, "a known mode");
    return failures == 0 ? 0 : 1;
}
