// Lists the Tolvane classes as the registry describes them to a client:
//   cscript //nologo show_registration.js
var shell = WScript.CreateObject("WScript.Shell");
var progIds = ["Tolvane.RfcSession", "Tolvane.NWRfcSession", "Tolvane.SoapSession", "Tolvane.RfcServer",
               "Tolvane.NWRfcServer", "Tolvane.BSPApplication", "Tolvane.ConnectorCtrl"];

function read(key) {
    try { return shell.RegRead(key); } catch (e) { return "(missing)"; }
}

for (var i = 0; i < progIds.length; i++) {
    var progId = progIds[i];
    var clsid = read("HKCR\\" + progId + "\\CLSID\\");
    var server = "HKCR\\CLSID\\" + clsid + "\\InprocServer32\\";
    WScript.Echo(progId + " -> " + read("HKCR\\" + progId + "\\CurVer\\"));
    WScript.Echo("    class id   " + clsid);
    WScript.Echo("    server     " + read(server) + " (" + read(server + "ThreadingModel") + ")");
    WScript.Echo("    type lib   " + read("HKCR\\CLSID\\" + clsid + "\\TypeLib\\"));
}
WScript.Echo("");
WScript.Echo("Type library TOLVANELib 1.0: " +
             read("HKCR\\TypeLib\\{FBDBDBA5-518B-4146-A52F-455C0E03492D}\\1.0\\"));
