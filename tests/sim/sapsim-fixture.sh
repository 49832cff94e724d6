#!/bin/bash
# Starts and stops the sapsim that the server tests talk to.
#   sapsim-fixture.sh start <build dir> <sapsim.exe> <state dir> [sapsim options...]
#   sapsim-fixture.sh stop  <build dir> <sapsim.exe> <state dir>
# start waits (at most 30 s) for the ready line and leaves the URL in <state dir>/url and the
# gateway's port in <state dir>/gateway; stop sends
# the shutdown request and fails if sapsim has not ended 10 s later. sapsim runs detached with
# no handle on ctest's pipes (Wine's helpers would inherit them and hold up the run).
# It logs every request to <state dir>/sapsim.log unless SAPSIM_REQUEST_LOG is set to "off".
set -euo pipefail
action=${1:?start or stop}
build=${2:?build dir}
exe=${3:?sapsim.exe}
state=${4:?state dir}
shift 4
root=$(cd "$(dirname "$0")/../.." && pwd)

alive() { kill -0 "$1" 2>/dev/null; }

case "$action" in
start)
    rm -rf "$state"
    mkdir -p "$state"
    log=(--log "Z:$state/sapsim.log")
    [ "${SAPSIM_REQUEST_LOG:-on}" = off ] && log=()
    setsid "$root/cmake/wine-run" "$build" "$exe" --http-port 0 "${log[@]}" "$@" \
        </dev/null >"$state/stdout" 2>"$state/stderr" &
    pid=$!
    echo "$pid" >"$state/pid"
    for _ in $(seq 300); do
        if grep -q '^sapsim listening on http://127\.0\.0\.1:[0-9]*$' "$state/stdout"; then
            sed -n 's/^sapsim listening on //p' "$state/stdout" >"$state/url"
            sed -n 's/^sapsim gateway on 127\.0\.0\.1://p' "$state/stdout" >"$state/gateway"
            echo "sapsim ready at $(cat "$state/url"), gateway port $(cat "$state/gateway") (pid $pid)"
            exit 0
        fi
        if ! alive "$pid"; then
            echo "sapsim ended before it was ready:" >&2
            cat "$state/stdout" "$state/stderr" >&2
            exit 1
        fi
        sleep 0.1
    done
    echo "sapsim printed no ready line within 30 s" >&2
    kill "$pid"
    exit 1
    ;;
stop)
    [ -f "$state/pid" ] || { echo "sapsim was not started" >&2; exit 1; }
    pid=$(cat "$state/pid")
    if [ -f "$state/url" ]; then
        curl -s --max-time 10 -X POST "$(cat "$state/url")/sim/shutdown" >/dev/null || true
    fi
    for _ in $(seq 100); do
        if ! alive "$pid"; then
            echo "sapsim stopped"
            exit 0
        fi
        sleep 0.1
    done
    echo "sapsim still running 10 s after the shutdown request; killing pid $pid" >&2
    kill "$pid"
    exit 1
    ;;
*)
    echo "usage: $0 start|stop <build dir> <sapsim.exe> <state dir> [options]" >&2
    exit 2
    ;;
esac
