# Sourced by run.sh and test.sh: installs the Debian packages Pennoro needs, only those missing.

# Packages to build and run the program (Qt's own Japanese words come from qt6-translations-l10n,
# the system's reasons for failed reads and writes in Japanese from glibc's libc-l10n).
PENNORO_BUILD_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev libicu-dev fonts-noto-cjk
                        qt6-translations-l10n libc-l10n libgl-dev ccache)
# Further packages the test suite needs (a real X server and its tools for the window tests; the
# desktop entry and metainfo validators and dpkg-shlibdeps for the install and package check).
PENNORO_TEST_PACKAGES=(xvfb xauth xdotool xclip x11-utils desktop-file-utils appstream dpkg-dev
                       clang-format)
# Headless Chromium reads the browser preview's page in its end-to-end test.
PENNORO_TEST_PACKAGES+=(chromium)
# A real input method for the end-to-end typing check (tests/e2e/run-ime.sh): fcitx5 with Mozc
# and its Qt 6 module, a window manager and a session bus.
PENNORO_TEST_PACKAGES+=(fcitx5 fcitx5-mozc fcitx5-frontend-qt6 openbox dbus-daemon dbus-bin)
# The Windows build of the system information launcher and Wine to run its test.
PENNORO_TEST_PACKAGES+=(g++-mingw-w64-x86-64-posix wine64)
# Clang with libFuzzer and the sanitizer run-times for the fuzz targets (fuzz.sh, also run briefly
# by test.sh).
PENNORO_FUZZ_PACKAGES=(clang libclang-rt-14-dev)
PENNORO_TEST_PACKAGES+=("${PENNORO_FUZZ_PACKAGES[@]}")

# ensure_packages PKG...: installs whichever of PKG are not installed yet, through sudo when not root.
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq || return 1
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null || return 1
}

# configure_and_build DIR BUILD_TYPE [CMAKE ARGS...]
configure_and_build() {
    local dir=$1 type=$2
    shift 2
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$PENNORO_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" "$@" \
        >/dev/null || return 1
    cmake --build "$dir" || return 1
}
