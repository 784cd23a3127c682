#!/usr/bin/env bash
# Installs what is missing, builds, and starts Mirel with the built-in test-signal generator.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
exec ./build/app/mirel --demo "$@"
