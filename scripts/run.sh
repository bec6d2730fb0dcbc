#!/usr/bin/env bash
# Installs what is missing, builds, starts the local shortening server (if
# it is not running yet) and then Quenmark, trusting the server's
# certificate authority. A server started here stops when Quenmark exits.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/build.sh"
build=${QUENMARK_BUILD_DIR:-$root/build}
program=$build/src/app/quenmark
server=$build/src/server/quenmark-server
data=${QUENMARK_SERVER_DATA:-${XDG_DATA_HOME:-$HOME/.local/share}/quenmark-server}
pidfile=$data/server.pid
log=$data/server.log

running_pid() {
    [[ -f $pidfile ]] || return 1
    local pid
    pid=$(<"$pidfile")
    [[ $pid =~ ^[0-9]+$ && $(cat "/proc/$pid/comm" 2>/dev/null) == quenmark-server ]] || return 1
    echo "$pid"
}

if pid=$(running_pid); then
    echo "Using the local shortening server already running (pid $pid)."
else
    mkdir -p "$data"
    "$server" --data "$data" >"$log" 2>&1 &
    pid=$!
    echo "$pid" >"$pidfile"
    trap 'kill -TERM "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; rm -f "$pidfile"' EXIT
    for _ in $(seq 100); do
        grep -qx ready "$log" && break
        if ! kill -0 "$pid" 2>/dev/null; then
            cat "$log" >&2
            echo "The local shortening server did not start." >&2
            exit 1
        fi
        sleep 0.1
    done
    echo "Local shortening server started (pid $pid, log $log)."
fi

export SSL_CERT_FILE=$data/ca.pem
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    echo "No display found: starting Quenmark on a virtual X display (xvfb-run)." >&2
    xvfb-run -a -s "-screen 0 1280x800x24" "$program" "$@"
else
    "$program" "$@"
fi
