#!/bin/bash
# sapsim's command line: help, refused options and a broken repository end the program with a
# message and the documented exit code, without starting to serve.
# Arguments: <build dir> <sapsim.exe>
set -uo pipefail
build=${1:?build dir}
exe=${2:?sapsim.exe}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

run() { # run <expected exit code> <expected text> <arguments...>
    local code=$1 text=$2
    shift 2
    timeout 30 "$root/cmake/wine-run" "$build" "$exe" "$@" </dev/null >"$work/out" 2>&1
    local got=$?
    if [ "$got" = "$code" ] && grep -qF -- "$text" "$work/out"; then
        echo "ok: sapsim $* -> $got"
    else
        echo "FAILED: sapsim $* -> exit $got (expected $code and '$text'):"
        sed 's/^/  /' "$work/out"
        failures=$((failures + 1))
    fi
}

run 0 "usage: sapsim" --help
run 2 "unknown option --bogus" --bogus
run 2 "--http-port needs a number up to 65535" --http-port 70000
run 2 "--log needs a value" --log
run 1 "not found" --repository "Z:$work/missing"

mkdir -p "$work/broken/functions"
cp "$root/sim/repository/users.json" "$work/broken/"
echo '{"functions": [{"name": "Z_BROKEN", "importing": [{"name": "P", "type": "NO_SUCH_TYPE"}]}]}' >"$work/broken/functions/bad.json"
run 1 "bad.json: function Z_BROKEN: parameter P: unknown type 'NO_SUCH_TYPE'" --repository "Z:$work/broken"

[ "$failures" = 0 ]
