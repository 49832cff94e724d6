#!/bin/bash
# The release package: scripts/package's listing check on the two build trees, then the
# package's registration scripts run by Wine's command processor in the x86 tree's prefix.
#   package-test.sh <x64 build dir> <x86 build dir>
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
build32=$(cd "$2" && pwd)
work=$build32/package-test
rm -rf "$work"
mkdir -p "$work"

fail() {
    echo "package-test: $*" >&2
    exit 1
}

"$root/scripts/package" --no-build --x64 "$build" --x86 "$build32" --out "$work/dist" >"$work/package.log" 2>&1 ||
    fail "scripts/package failed: $(cat "$work/package.log")"
cat "$work/package.log"
zip=$(echo "$work"/dist/tolvane-*.zip)
(cd "$work" && cmake -E tar xf "$zip")
package=$work/$(basename "$zip" .zip)

export WINEPREFIX="$build32/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
wine=/usr/lib/wine/wine64
windows() {
    local path="Z:$1"
    echo "${path//\//\\}"
}
# Wine's per-user type-library registration acts machine-wide: the prefix's own registration
# of the x86 tree is restored when the test ends.
trap '"$root/scripts/wine-env" register "$build32"' EXIT

run() { # <script in the package>: its output; fails with its exit code
    local status=0 output
    output=$("$wine" cmd /c "$(windows "$package/$1")" </dev/null 2>&1) || status=$?
    tr -d '\r' <<<"$output"
    return "$status"
}
user_key() { # <key under the user's classes>: its default value, empty when it does not exist
    "$wine" reg query "HKCU\\Software\\Classes\\$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p'
}
session_server='CLSID\{334E20D8-8C80-450B-ACA1-B3A2CC44DBCD}\InprocServer32'

output=$(run register-user.cmd) || fail "register-user.cmd failed: $output"
for line in 'x64\TolvaneSoap.dll' 'x64\Tolvane.dll' 'x86\TolvaneSoap.dll' 'x86\Tolvane.dll' 'Done.'; do
    grep -qxF "$line" <<<"$output" || fail "register-user.cmd did not report '$line': $output"
done
[ "$(user_key 'Tolvane.SoapSession\CLSID')" = '{334E20D8-8C80-450B-ACA1-B3A2CC44DBCD}' ] ||
    fail "no per-user ProgID after register-user.cmd"
# Wine keeps one per-user CLSID view for both bitnesses: the last one registered (x86) wins.
[ "$(user_key "$session_server")" = "$(windows "$package")\\x86\\Tolvane.dll" ] ||
    fail "the per-user class does not name the package's DLL: $(user_key "$session_server")"

output=$(run unregister-user.cmd) || fail "unregister-user.cmd failed: $output"
[ -z "$(user_key "$session_server")" ] && [ -z "$(user_key 'Tolvane.SoapSession\CLSID')" ] ||
    fail "unregister-user.cmd left the per-user registration"

rm "$package/x86/Tolvane.dll"
if output=$(run register-user.cmd); then
    fail "register-user.cmd succeeded without x86\\Tolvane.dll: $output"
fi
grep -qxF 'FAILED: x86\Tolvane.dll' <<<"$output" || fail "register-user.cmd did not name the missing DLL: $output"
run unregister-user.cmd >/dev/null || true
echo "package-test: the zip's listing, register-user.cmd and unregister-user.cmd are sound"
