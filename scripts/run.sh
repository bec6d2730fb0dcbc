#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quenmark.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/build.sh"
build=${QUENMARK_BUILD_DIR:-$root/build}
program=$build/src/app/quenmark
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    echo "No display found: starting Quenmark on a virtual X display (xvfb-run)." >&2
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$program" "$@"
fi
exec "$program" "$@"
