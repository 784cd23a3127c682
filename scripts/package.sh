#!/usr/bin/env bash
# Builds the Debian package FOLDER/mirel_<version>_<architecture>.deb (FOLDER: the argument, else
# build-package) from the sources alone: installs what is missing, configures a fresh optimised build
# (-O2 with Debian's hardening flags, the debug information stripped from the package) without tests
# and benchmarks, and runs CPack. Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-package}"
bash scripts/setup.sh
rm -rf "$build"
# Stack protector, fortified functions, read-only relocations bound at start-up; the build folder
# mapped away so that the package does not depend on where it was built.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIREL_WERROR=ON \
  -DMIREL_BUILD_TESTS=OFF -DMIREL_BUILD_BENCH=OFF
cmake --build "$build" --parallel "$(nproc)"
(cd "$build" && cpack -G DEB)
ls "$PWD/$build"/mirel_*.deb
