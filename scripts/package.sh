#!/usr/bin/env bash
# Builds the Debian package build-package/mirel_<version>_<architecture>.deb from the sources alone:
# installs what is missing, configures a fresh optimised build (-O2, the debug information stripped
# from the package) without tests and benchmarks, and runs CPack. Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
rm -rf build-package
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIREL_WERROR=ON \
      -DMIREL_BUILD_TESTS=OFF -DMIREL_BUILD_BENCH=OFF
cmake --build build-package --parallel "$(nproc)"
(cd build-package && cpack -G DEB)
ls "$PWD"/build-package/mirel_*.deb
