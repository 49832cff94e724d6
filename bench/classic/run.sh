#!/bin/bash
# The classic session against the raw client of the stand-in librfc32u.dll, in one sapsim run:
# time per synchronous STFC_CONNECTION (raw call-and-receive, the session from C++) and a
# table of N rows of every ABAP type received (raw, the session).
# Usage: bench/classic/run.sh [build dir] [calls] [rows]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
calls=${2:-5000}
rows=${3:-10000}
state="$build/bench/classic/state"
cmake --build "$build" -j2 --target sapsim Tolvane classic_session_bench >/dev/null
source "$root/bench/with-sapsim.sh"
run "$build/bin/standin_classic_bench.exe" "$gateway" "$http" "$calls" "$rows"
WINEPATH="Z:${build//\//\\}\\bin\\rfcsdk" run "$build/bin/classic_session_bench.exe" "$gateway" "$calls" "$rows"
