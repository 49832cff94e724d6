# Sourced by a benchmark's run.sh once $root, $build and $state are set: boots the build's Wine
# prefix and starts sapsim on free ports (state in $state), both stopped again on exit; sets
# $gateway and $http to sapsim's ports and defines run, which runs a Windows program of the
# build with its output as Linux text.
"$root/scripts/wine-env" start "$build"
fixture="$root/tests/sim/sapsim-fixture.sh"
SAPSIM_REQUEST_LOG=off "$fixture" start "$build" "$build/bin/sapsim.exe" "$state" >/dev/null
trap '"$fixture" stop "$build" "$build/bin/sapsim.exe" "$state" >/dev/null; "$root/scripts/wine-env" stop "$build"' EXIT
gateway=$(cat "$state/gateway")
http=$(sed 's/.*://' "$state/url")
run() { "$root/cmake/wine-run" "$build" "$@" </dev/null 2>&1 | tr -d '\r'; }
