#!/bin/bash
# Runs the raw client of the stand-in librfc32u.dll: boots the build's Wine prefix, starts sapsim
# on free ports, runs standin_classic_bench against it and stops sapsim again.
# Usage: bench/standin-classic/run.sh [build dir] [calls] [rows]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
state="$build/bench/standin-classic/state"
cmake --build "$build" -j2 --target sapsim librfc32u standin_classic_bench >/dev/null
"$root/scripts/wine-env" start "$build"
fixture="$root/tests/sim/sapsim-fixture.sh"
SAPSIM_REQUEST_LOG=off "$fixture" start "$build" "$build/bin/sapsim.exe" "$state"
trap '"$fixture" stop "$build" "$build/bin/sapsim.exe" "$state" >/dev/null; "$root/scripts/wine-env" stop "$build"' EXIT
http=$(sed 's/.*://' "$state/url")
"$root/cmake/wine-run" "$build" "$build/bin/standin_classic_bench.exe" "$(cat "$state/gateway")" "$http" "${2:-10000}" "${3:-10000}" \
    </dev/null >"$state/bench.out" 2>&1 || { cat "$state/bench.out"; exit 1; }
tr -d '\r' <"$state/bench.out"
