#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through ctest.
# Exits non-zero when anything fails.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/build.sh"
build=${QUENMARK_BUILD_DIR:-$root/build}
ctest --test-dir "$build" --output-on-failure --timeout 300 -j2
