#!/usr/bin/env bash
# Installs what is missing, builds, starts a private sound server for the sound-card test and runs
# every test with CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
cd build
ctest --output-on-failure --timeout 300
