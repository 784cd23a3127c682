#!/usr/bin/env bash
# Installs what is missing, builds, starts a private sound server for the sound-card test and runs
# every test with CTest. Before the tests it checks what a user installs (scripts/check-package.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh

# What a user installs: the install rules, the Debian package (installed with apt-get and removed
# again, so this needs root) and the desktop entry, metainfo and manual page through their validators.
bash scripts/check-package.sh

# The sound-card test records from this server; where it cannot start, that test is skipped.
sound_server="$PWD/scripts/sound-server.sh"
trap 'bash "$sound_server" stop >/dev/null 2>&1 || true' EXIT
bash "$sound_server" start || echo "No sound server: the sound-card test will be skipped." >&2
eval "$(bash "$sound_server" env)"
cd build
ctest --output-on-failure --timeout 300
