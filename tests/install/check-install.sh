#!/usr/bin/env bash
# check-install.sh BUILD_DIR: installs the built program into a temporary prefix and builds its
# Debian package, then checks both: every file in its place and nothing else, icons of the right
# sizes, a desktop entry and AppStream metainfo that the freedesktop validators accept, and a
# package that holds the same files and depends on Qt 6, ICU, a Japanese font and Qt's and
# glibc's translations.
set -euo pipefail
build=$(cd "$1" && pwd)
app_id=org.example.Pennoro
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Every file of the install tree, relative to the prefix.
expected="bin/pennoro
share/applications/$app_id.desktop
share/icons/hicolor/16x16/apps/$app_id.png
share/icons/hicolor/256x256/apps/$app_id.png
share/icons/hicolor/32x32/apps/$app_id.png
share/icons/hicolor/48x48/apps/$app_id.png
share/icons/hicolor/scalable/apps/$app_id.svg
share/metainfo/$app_id.metainfo.xml"

# compare_lists WHAT EXPECTED ACTUAL: fails with a diff when two sorted lists differ.
compare_lists() {
    if [ "$2" != "$3" ]; then
        fail "$1 differs from what is expected (< expected, > found):"
        diff <(echo "$2") <(echo "$3") >&2 || true
    fi
}

# png_size FILE: prints "WIDTHxHEIGHT" from the PNG header.
png_size() {
    local b
    read -ra b <<<"$(od -An -tu1 -j16 -N8 "$1")"
    echo "$(((b[0] << 24) + (b[1] << 16) + (b[2] << 8) + b[3]))x$(((b[4] << 24) + (b[5] << 16) + (b[6] << 8) + b[7]))"
}

# desktop_key KEY: the value of KEY in the installed desktop entry.
desktop_key() {
    sed -n "s/^$(printf '%s' "$1" | sed 's/[][]/\\&/g')=//p" "$prefix/share/applications/$app_id.desktop"
}

check_install_tree() {
    prefix=$tmp/root/usr
    cmake --install "$build" --prefix "$prefix" >/dev/null
    compare_lists "install tree" "$expected" "$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)"

    [ -x "$prefix/bin/pennoro" ] || fail "bin/pennoro is not executable"
    if readelf -d "$prefix/bin/pennoro" | grep -q -E 'RPATH|RUNPATH'; then
        fail "bin/pennoro carries a run path"
    fi
    local size file
    for size in 16 32 48 256; do
        file=$prefix/share/icons/hicolor/${size}x$size/apps/$app_id.png
        [ -f "$file" ] && [ "$(png_size "$file")" = "${size}x$size" ] ||
            fail "icon $file is not ${size}x$size"
    done
    grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg" ||
        fail "the scalable icon is no SVG"
}

check_desktop_entry() {
    local report
    # Hints are advice (such as adding a second main category); errors and warnings are faults.
    if ! report=$(desktop-file-validate "$prefix/share/applications/$app_id.desktop" 2>&1) ||
        grep -q -E 'error|warning' <<<"$report"; then
        fail "desktop-file-validate: $report"
    fi

    # Started from a menu: the bare program name, no arguments, the icon from the theme.
    [ "$(desktop_key Exec)" = pennoro ] || fail "Exec is '$(desktop_key Exec)', not 'pennoro'"
    [ "$(desktop_key Icon)" = "$app_id" ] || fail "Icon is '$(desktop_key Icon)', not '$app_id'"
    [ "$(desktop_key Type)" = Application ] || fail "Type is not Application"
    local key
    for key in Name 'Name[ja]' Comment 'Comment[ja]'; do
        [ -n "$(desktop_key "$key")" ] || fail "the desktop entry has no $key"
    done
    [ "$(desktop_key 'Comment[ja]')" != "$(desktop_key Comment)" ] &&
        LC_ALL=C grep -q '[^ -~]' <<<"$(desktop_key 'Comment[ja]')" ||
        fail "Comment[ja] is no Japanese text"
    local category
    for category in Development WebDevelopment TextEditor; do
        [[ ";$(desktop_key Categories)" == *";$category;"* ]] || fail "Categories lack $category"
    done
}

check_metainfo() {
    local report
    report=$(appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" 2>&1) ||
        fail "appstreamcli validate: $report"
    # The tree check also finds the desktop entry that the metainfo names as its launchable.
    report=$(appstreamcli validate-tree --no-net "$tmp/root" 2>&1) ||
        fail "appstreamcli validate-tree: $report"
}

check_package() {
    local log
    if ! log=$(cd "$build" && cpack -G DEB -B "$tmp/deb" 2>&1); then
        fail "cpack: $log"
        return
    fi
    local debs=("$tmp"/deb/pennoro_*.deb)
    if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
        fail "cpack made no single pennoro_*.deb"
        return
    fi
    local deb=${debs[0]}
    compare_lists "package contents" "$(sed 's|^|usr/|' <<<"$expected")" \
        "$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | sort)"
    [ "$(dpkg-deb -f "$deb" Package)" = pennoro ] || fail "the package is not named pennoro"

    local depends
    depends=$(dpkg-deb -f "$deb" Depends)
    local pattern
    for pattern in libqt6widgets6 libqt6gui6 libqt6core6 'libicu[0-9]+' fonts-noto-cjk \
        qt6-translations-l10n libc-l10n; do
        grep -q -E "(^|, )$pattern( |,|$)" <<<"$depends" || fail "Depends lacks $pattern: $depends"
    done

    # The packaged desktop entry is the one checked above.
    dpkg-deb -x "$deb" "$tmp/unpacked"
    cmp -s "$tmp/unpacked/usr/share/applications/$app_id.desktop" \
        "$prefix/share/applications/$app_id.desktop" || fail "the packaged desktop entry differs"
}

check_install_tree
check_desktop_entry
check_metainfo
check_package

if [ "$failures" -ne 0 ]; then
    echo "$failures install and package checks failed" >&2
    exit 1
fi
echo "install tree and Debian package: all checks passed"
