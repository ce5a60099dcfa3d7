#!/usr/bin/env bash
# Builds the system information launcher for Windows with mingw-w64 and runs it under Wine, in a
# throwaway prefix, against registry values written by `reg add` and real files: the registry's
# answers, the file check and the program start are Windows' own there.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
cleanup() {
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

cxx=(x86_64-w64-mingw32-g++-posix -std=c++20 -O1 -Wall -Wextra -Wpedantic -Werror -static
     -I"$root/src")
"${cxx[@]}" -o "$work/tst_wine_sysinfo.exe" "$root/tests/wine/tst_wine_sysinfo.cpp" \
    "$root/src/platform/sysinfolauncher.cpp" "$root/src/platform/windowssysinfosystem.cpp" \
    "$root/src/platform/windowsregistry.cpp" -ladvapi32
"${cxx[@]}" -o "$work/startmarker.exe" "$root/tests/wine/startmarker.cpp"

"$wine" wineboot -i >/dev/null 2>&1
folder="$WINEPREFIX/drive_c/Pennoro Test/Sys Info"
mkdir -p "$folder"
cp "$work/startmarker.exe" "$folder/MSINFO32.EXE"
touch "$folder/hidden.exe"

reg() { "$wine" reg "$@" /f >/dev/null; }
run() { echo "-- $*"; "$wine" "$work/tst_wine_sysinfo.exe" "$@"; }
xs() { printf 'x%.0s' $(seq "$1"); }

fixtures='HKLM\Software\Pennoro Test'
reg add "$fixtures" /v Text /t REG_SZ /d 'C:\Pennoro Test\a b.exe'
reg add "$fixtures" /v Exact /t REG_SZ /d "$(xs 1023)"
reg add "$fixtures" /v TooLong /t REG_SZ /d "$(xs 1024)"
reg add "$fixtures" /v Number /t REG_DWORD /d 258
reg add "$fixtures" /v Expandable /t REG_EXPAND_SZ /d '%SystemRoot%\system32\msinfo32.exe'
run keyvalues
run files

tool_path='HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO'
tool_folder='HKLM\SOFTWARE\Microsoft\Shared Tools Location'
# start DESCRIPTION: the launcher must start the tool, as one program path with its spaces.
start() {
    echo "-- start: $1"
    rm -f "$folder/started.txt"
    "$wine" "$work/tst_wine_sysinfo.exe" start
    for _ in $(seq 100); do
        [ -s "$folder/started.txt" ] && break
        sleep 0.2
    done
    [ "$(cat "$folder/started.txt" 2>/dev/null)" = '"C:\Pennoro Test\Sys Info\MSINFO32.EXE"' ] ||
        { echo "FAIL: the tool did not start"; return 1; }
    echo "ok: started as $(cat "$folder/started.txt")"
}

reg add "$tool_path" /v PATH /d 'C:\Pennoro Test\Sys Info\MSINFO32.EXE'
start "the recorded path"
reg delete "$tool_path" /v PATH
reg add "$tool_folder" /v MSINFO /d 'C:\Pennoro Test\Sys Info'
start "the recorded folder"
reg add "$tool_folder" /v MSINFO /d 'C:\Pennoro Test'
run fail
# A recorded path that names no file fails without trying the folder.
reg add "$tool_folder" /v MSINFO /d 'C:\Pennoro Test\Sys Info'
reg add "$tool_path" /v PATH /d 'C:\Pennoro Test\Sys Info\missing.exe'
run fail
echo "Wine: the system information launcher passed"
