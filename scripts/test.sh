#!/usr/bin/env bash
# Installs what is missing, builds (warnings are errors), checks what a user installs
# (scripts/check-package.sh) and runs every test with CTest in parallel, the sound-card tests
# against a private sound server; then checks that a Release build is free of warnings too, and
# runs the whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"
bash scripts/setup.sh
bash scripts/build.sh

# What a user installs: the install rules, the Debian package (installed with apt-get and removed
# again, so this needs root) and the desktop entry, metainfo and manual page through their validators.
bash scripts/check-package.sh

# The sound-card tests record from this server; where they cannot start, they are skipped.
sound_server="$PWD/scripts/sound-server.sh"
trap 'bash "$sound_server" stop >/dev/null 2>&1 || true' EXIT
bash "$sound_server" start || echo "No sound server: the sound-card tests will be skipped." >&2
eval "$(bash "$sound_server" env)"
(cd build && ctest --output-on-failure --timeout 300 --parallel "$jobs")

# Release: the optimiser looks deeper and warns about more. Built, not run.
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIREL_WERROR=ON
cmake --build build-release --parallel "$jobs"

# The suite under the sanitizers: any report fails its test. The sound libraries' own leaks are
# listed in tests/lsan.supp; slow unwinding names their frames after the plugins are unloaded.
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIREL_WERROR=ON -DMIREL_SANITIZE=ON \
  -DMIREL_BUILD_BENCH=OFF
cmake --build build-sanitize --parallel "$jobs"
(
  cd build-sanitize
  export ASAN_OPTIONS="fast_unwind_on_malloc=0:detect_leaks=1"
  export LSAN_OPTIONS="suppressions=$PWD/../tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1"
  ctest --output-on-failure --timeout 600 --parallel "$jobs"
)
