#!/bin/bash
# Talks to the running sapsim with curl and hand-written envelopes, as a client independent of
# everything else in this repository would. Argument: the file holding sapsim's URL.
set -euo pipefail
url=$(cat "${1:?url file}")
endpoint="$url/sap/bc/soap/rfc?sap-client=001&sap-language=EN"
failures=0

# post <user:password or -> <envelope>: sets $status and $body
post() {
    local auth=()
    [ "$1" != "-" ] && auth=(-u "$1")
    local out
    out=$(curl -sS --max-time 20 "${auth[@]}" -H 'Content-Type: text/xml; charset=utf-8' \
        -H 'SOAPAction: "urn:sap-com:document:sap:rfc:functions"' --data-binary "$2" -w '\n%{http_code}' "$endpoint")
    status=${out##*$'\n'}
    body=${out%$'\n'*}
}

expect() { # expect <description> <condition result>
    if [ "$2" = 0 ]; then echo "ok: $1"; else echo "FAILED: $1"; echo "  status $status, body: ${body:0:600}"; failures=$((failures + 1)); fi
}

contains() { grep -qF -- "$1" <<<"$body" && echo 0 || echo 1; }

post DEMO:demo1234 '<?xml version="1.0" encoding="UTF-8"?>
<SOAP-ENV:Envelope xmlns:SOAP-ENV="http://schemas.xmlsoap.org/soap/envelope/"
                   xmlns:urn="urn:sap-com:document:sap:rfc:functions">
  <SOAP-ENV:Header/>
  <SOAP-ENV:Body>
    <urn:STFC_CONNECTION>
      <REQUTEXT>Hello from curl &amp; friends</REQUTEXT>
    </urn:STFC_CONNECTION>
  </SOAP-ENV:Body>
</SOAP-ENV:Envelope>'
expect "STFC_CONNECTION answers 200" "$([ "$status" = 200 ] && echo 0 || echo 1)"
expect "the text comes back" "$(contains '<ECHOTEXT>Hello from curl &amp; friends</ECHOTEXT>')"
expect "in the response element" "$(contains 'STFC_CONNECTION.Response xmlns:rfc="urn:sap-com:document:sap:rfc:functions"')"
expect "RESPTEXT names the logon" "$(contains '001/DEMO/EN')"

post DEMO:demo1234 '<env:Envelope xmlns:env="http://schemas.xmlsoap.org/soap/envelope/"><env:Body>
<f:RFC_READ_TABLE xmlns:f="urn:sap-com:document:sap:rfc:functions"><QUERY_TABLE>T000</QUERY_TABLE><DELIMITER>;</DELIMITER>
<OPTIONS><item><TEXT>MANDT = '"'001'"'</TEXT></item></OPTIONS><FIELDS><item><FIELDNAME>MANDT</FIELDNAME></item><item><FIELDNAME>MTEXT</FIELDNAME></item></FIELDS>
</f:RFC_READ_TABLE></env:Body></env:Envelope>'
expect "RFC_READ_TABLE answers 200" "$([ "$status" = 200 ] && echo 0 || echo 1)"
expect "one row of client 001" "$(contains '<DATA><item><WA>001;Simulation client</WA></item></DATA>')"

post - '<env:Envelope xmlns:env="http://schemas.xmlsoap.org/soap/envelope/"><env:Body><f:RFC_PING xmlns:f="urn:sap-com:document:sap:rfc:functions"/></env:Body></env:Envelope>'
expect "no credentials: 401" "$([ "$status" = 401 ] && echo 0 || echo 1)"

post DEMO:demo1234 '<env:Envelope xmlns:env="http://schemas.xmlsoap.org/soap/envelope/"><env:Body><f:Z_SIM_RAISE xmlns:f="urn:sap-com:document:sap:rfc:functions"><EXCEPTION>NOT_FOUND</EXCEPTION><MESSAGE>nothing here</MESSAGE></f:Z_SIM_RAISE></env:Body></env:Envelope>'
expect "an exception answers 500" "$([ "$status" = 500 ] && echo 0 || echo 1)"
expect "with the exception in the fault detail" "$(contains '<detail><rfc:Z_SIM_RAISE.Exception xmlns:rfc="urn:sap-com:document:sap:rfc:functions"><Name>NOT_FOUND</Name><Text>nothing here</Text>')"

[ "$failures" = 0 ]
