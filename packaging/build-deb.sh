#!/usr/bin/env bash
# Installs what is missing, builds a release build and makes the Debian package
# build-pkg-deb/pennoro_<version>_<arch>.deb, ready for `sudo apt-get install ./build-pkg-deb/pennoro_*.deb`.
set -euo pipefail
PENNORO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$PENNORO_ROOT/scripts/deps.sh"

# dpkg-shlibdeps (dpkg-dev) finds the packages that hold the libraries the program links.
ensure_packages "${PENNORO_BUILD_PACKAGES[@]}" dpkg-dev
build=$PENNORO_ROOT/build-pkg-deb
configure_and_build "$build" Release -DPENNORO_BUILD_TESTS=OFF -DPENNORO_BUILD_BENCH=OFF
rm -f "$build"/pennoro_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/pennoro_*.deb
