#!/bin/bash
# Starts sapsim, runs the SOAP session benchmark against it, stops it.
#   bench/soap/run.sh <build dir> [calls] [rows] [repeats]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?build dir}" && pwd)
state="$build/bench-sapsim"
"$root/scripts/wine-env" start "$build"
SAPSIM_REQUEST_LOG=off "$root/tests/sim/sapsim-fixture.sh" start "$build" "$build/bin/sapsim.exe" "$state" >/dev/null
trap '"$root/tests/sim/sapsim-fixture.sh" stop "$build" "$build/bin/sapsim.exe" "$state" >/dev/null; "$root/scripts/wine-env" stop "$build"' EXIT
url=$(cat "$state/url")
"$root/cmake/wine-run" "$build" "$build/bin/soap_session_bench.exe" "${url##*:}" "${2:-200}" "${3:-10000}" "${4:-1}"
