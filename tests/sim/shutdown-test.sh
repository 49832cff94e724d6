#!/bin/bash
# A shutdown request stops sapsim promptly although a client holds an idle keep-alive
# connection, and a request in progress (a long wait) is answered before the end.
# Arguments: <build dir> <sapsim.exe> <state dir>
set -uo pipefail
build=${1:?build dir}
exe=${2:?sapsim.exe}
state=${3:?state dir}
fixture="$(dirname "$0")/sapsim-fixture.sh"
"$fixture" start "$build" "$exe" "$state" || exit 1
url=$(cat "$state/url")
port=${url##*:}
failures=0
check() { if [ "$2" = 0 ]; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi; }

exec 3<>"/dev/tcp/127.0.0.1/$port" # idle connection, never used
curl -s --max-time 30 -u DEMO:demo1234 -o "$state/sleep.xml" -w '%{http_code}' --data-binary \
    '<e:Envelope xmlns:e="http://schemas.xmlsoap.org/soap/envelope/"><e:Body><m:Z_SIM_SLEEP xmlns:m="urn:sap-com:document:sap:rfc:functions"><MILLISECONDS>20000</MILLISECONDS></m:Z_SIM_SLEEP></e:Body></e:Envelope>' \
    "$url/sap/bc/soap/rfc" >"$state/sleep.status" &
sleeper=$!
# The shutdown must find the module in its wait: sapsim's status tells when it is there.
waiting=1
for _ in $(seq 200); do
    curl -s --max-time 5 "$url/sim/status" | grep -q '"waitingModules":[1-9]' && { waiting=0; break; }
    sleep 0.05
done
check "the long request is being served before the shutdown" "$waiting"

"$fixture" stop "$build" "$exe" "$state"
check "sapsim ended within 10 s of the shutdown request" $?
wait "$sleeper"
check "the waiting request was answered with 200" "$([ "$(cat "$state/sleep.status")" = 200 ] && echo 0 || echo 1)"
check "and reports that its wait was cut short" "$(grep -q '<COMPLETED/>' "$state/sleep.xml" && echo 0 || echo 1)"
exec 3>&-
curl -s --max-time 5 "$url/sim/shutdown" -X POST >/dev/null
check "nothing listens any more" "$([ $? = 7 ] && echo 0 || echo 1)"
[ "$failures" = 0 ]
