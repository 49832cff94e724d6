#!/bin/bash
# The classic server against the stand-in's raw registered server, in one sapsim run: calls per
# second served by the raw callback (standin_classic_bench's registered-server line), and by
# RfcServer with a C++ event sink for the default poll interval and for 500 ms, calls in a row
# and single calls to an idle server.
# Usage: bench/classicserver/run.sh [build dir] [calls] [idle calls]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
calls=${2:-5000}
idle=${3:-10}
state="$build/bench/classicserver/state"
cmake --build "$build" -j2 --target sapsim Tolvane classic_server_bench standin_classic_bench >/dev/null
source "$root/bench/with-sapsim.sh"
run "$build/bin/standin_classic_bench.exe" "$gateway" "$http" "$calls" 10 | grep "registered server" | sed 's/^/raw stand-in /'
run "$build/bin/classic_server_bench.exe" "$gateway" "$http" "$calls" "$idle"
