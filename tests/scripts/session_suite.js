// One suite for every session kind, from JScript: late binding, optional arguments,
// enumerators, exceptions, background calls. The same expectations for every kind except
// where the kinds differ by design (below).
//   cscript session_suite.js <kind: SOAP | NWRFC | RFC> <sapsim HTTP port> <gateway port> <NetWeaver library folder>
// (The classic library is found on the search path.)
// A failed check exits with 1.
var failures = 0;
var kind = WScript.Arguments(0);
function check(condition, what) {
    if (!condition) {
        WScript.Echo("FAILED: " + kind + ": " + what);
        failures++;
    }
}

// Where the kinds differ, and why.
var differences = {
    // SOAP and classic drop unset optional imports from the call; the NetWeaver library is
    // told that they are not supplied instead, and the call keeps them. The classic library
    // carries flat structures only, and a structure with a STRING is not flat.
    SOAP: {progId: "Tolvane.SoapSession", prunesOptionalImports: true, deepStructures: true},
    NWRFC: {progId: "Tolvane.NWRfcSession", prunesOptionalImports: false, deepStructures: true},
    RFC: {progId: "Tolvane.RfcSession", prunesOptionalImports: true, deepStructures: false}
}[kind];

var session = new ActiveXObject(differences.progId);
if (kind == "SOAP") {
    session.HttpSystemData.Host = "127.0.0.1";
    session.HttpSystemData.Port = WScript.Arguments(1);
} else {
    session.RfcSystemData.ConnectString = "ASHOST=127.0.0.1 SYSNR=00 GWSERV=" + WScript.Arguments(2);
    session.Option("nwrfc.path") = WScript.Arguments(3);
}
session.LogonData.Client = "001";
session.LogonData.User = "DEMO";
session.LogonData.Password = "demo1234";
session.LogonData.Language = "EN";
session.Connect();
check(session.IsConnected, "connected");

// Every ABAP type through Z_SIM_ECHO_TYPES.
var call = session.ImportCall("Z_SIM_ECHO_TYPES");
call.Importing.Item("I_CHAR").value = "JScript";
call.Importing.Item("I_INT").value = 123456;
call.Importing.Item("I_FLOAT").value = 0.5;
call.Importing.Item("I_DATE").value = "20240229";
call.Importing.Item("I_BCD").value = "12.34";
if (!differences.deepStructures) {
    try {
        session.CallFunction(call);
        check(false, "a structure with a STRING should be refused");
    } catch (x) {
        check((x.number >>> 0) == 0x80040206, "deep structure: " + (x.number >>> 0).toString(16));
    }
    call.Importing.RemoveParameter("I_STRUCT");
    call.Exporting.RemoveParameter("E_STRUCT");
}
session.CallFunction(call);
check(!session.Error, "echo without error");
check(call.Exporting.Item("E_CHAR").value == "JScript", "char");
check(call.Exporting.Item("E_INT").value == 123456, "int");
check(call.Exporting.Item("E_FLOAT").value == 0.5, "float");
check(call.Exporting.Item("E_BCD").value == "12.34", "packed");
var date = new Date(call.Exporting.Item("E_DATE").value);
check(date.getFullYear() == 2024 && date.getMonth() == 1 && date.getDate() == 29, "date " + date);

// The optional importing parameters that got no value are gone from the call.
check(call.Importing.HasKey("I_CHAR") && call.Importing.HasKey("I_RAW") != differences.prunesOptionalImports,
      "unset optional imports");

// Enumerating the exporting list.
var names = [];
for (var e = new Enumerator(call.Exporting); !e.atEnd(); e.moveNext())
    names.push(e.item().name);
check(names.join(",").indexOf("E_CHAR,E_NUMC,E_DATE") == 0, "enumerated: " + names.join(","));

// A failing method throws with the message number and text.
try {
    session.ImportType("ZSIM_NO_SUCH_TYPE");
    check(false, "ImportType of an unknown type should throw");
} catch (x) {
    check((x.number >>> 0) == 0x8004020C, "unknown type: " + (x.number >>> 0).toString(16));
    check(x.description == "Type does not exist (or is not activated)", "description: " + x.description);
}

// A call in the background: CallActive until it ends.
var sleeper = session.ImportCall("Z_SIM_SLEEP");
sleeper.Importing.Item("MILLISECONDS").value = 300;
session.CallFunction(sleeper, false);
check(session.CallActive, "active while it runs");
try {
    session.CallFunction(sleeper);
    check(false, "a second call should be refused");
} catch (x) {
    check((x.number >>> 0) == 0x8004020A, "second call: " + (x.number >>> 0).toString(16));
}
// (Wine's script host has no WScript.Sleep: wait by the clock, at most ten seconds.)
var deadline = new Date().getTime() + 10000;
while (session.CallActive && new Date().getTime() < deadline) {
}
check(!session.CallActive, "the background call ended");
check(!session.Error, "and without error");

session.Disconnect();
if (failures > 0)
    WScript.Quit(1);
WScript.Echo("session_suite.js (" + kind + "): all checks passed");
