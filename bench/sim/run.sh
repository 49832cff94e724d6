#!/bin/bash
# Runs the sapsim benchmark: boots the build's Wine prefix, starts sapsim on a free port, runs
# sapsim_bench against it and stops sapsim again.   Usage: bench/sim/run.sh [build dir] [calls]
# The client runs twice: under Wine, as the product's clients do, and, when a native compiler is
# at hand, as a Linux program, which shows what sapsim itself costs without a second Wine process.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
state="$build/bench/sim/state"
cmake --build "$build" -j2 --target sapsim sapsim_bench >/dev/null
"$root/scripts/wine-env" start "$build"
fixture="$root/tests/sim/sapsim-fixture.sh"
SAPSIM_REQUEST_LOG=off "$fixture" start "$build" "$build/bin/sapsim.exe" "$state"
trap '"$fixture" stop "$build" "$build/bin/sapsim.exe" "$state" >/dev/null; "$root/scripts/wine-env" stop "$build"' EXIT
port=$(sed 's/.*://' "$state/url")
"$root/cmake/wine-run" "$build" "$build/bin/sapsim_bench.exe" "$port" "${2:-5000}" </dev/null >"$state/bench.out" 2>&1 || { cat "$state/bench.out"; exit 1; }
echo "client under Wine:"
tr -d '\r' <"$state/bench.out"
if command -v g++ >/dev/null; then
    g++ -std=c++20 -O2 -o "$state/sapsim_bench_linux" "$root/bench/sim/SapsimBench.cpp" -lpthread
    echo "client on Linux:"
    "$state/sapsim_bench_linux" "$port" "${2:-5000}"
fi
