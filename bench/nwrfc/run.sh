#!/bin/bash
# The NetWeaver session against the raw client of the stand-in library, in one sapsim run:
# STFC_CONNECTION calls per second (raw C, the session from C++, the session from VBScript) and
# a 10,000-row RFC_READ_TABLE (raw, the session's table reader); both measures again with the raw
# client and the session in turn in one process, the comparison to quote since it does not drift
# with the machine; calls per second served by a registered server (raw callback, NWRfcServer
# with a C++ event sink).
# Usage: bench/nwrfc/run.sh [build dir] [calls] [rows]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
calls=${2:-5000}
rows=${3:-10000}
state="$build/bench/nwrfc/state"
cmake --build "$build" -j2 --target sapsim Tolvane nwrfc_session_bench nwrfc_server_bench >/dev/null
source "$root/bench/with-sapsim.sh"
folder="Z:${build//\//\\}\\bin\\nwrfcsdk"
run "$build/bin/standin_bench.exe" "$gateway" "$http" "$calls" "$rows"
run "$build/bin/nwrfc_session_bench.exe" "$gateway" "$folder" "$calls" "$rows"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
/usr/lib/wine/wine64 cscript //nologo "Z:${root//\//\\}\\bench\\nwrfc\\calls.vbs" "$gateway" "$folder" "$calls" </dev/null 2>&1 | tr -d '\r'
run "$build/bin/nwrfc_server_bench.exe" "$gateway" "$http" "$folder" "$calls"
