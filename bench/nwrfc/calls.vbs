' STFC_CONNECTION calls per second from VBScript over Tolvane.NWRfcSession.
'   cscript //nologo calls.vbs <gateway port> <folder of sapnwrfc.dll> <calls>
Dim session, fm, i, started, calls
calls = CLng(WScript.Arguments(2))
Set session = CreateObject("Tolvane.NWRfcSession")
session.RfcSystemData.ConnectString = "ASHOST=127.0.0.1 SYSNR=00 GWSERV=" & WScript.Arguments(0)
session.Option("nwrfc.path") = WScript.Arguments(1)
session.LogonData.Client = "001"
session.LogonData.User = "DEMO"
session.LogonData.Password = "demo1234"
session.LogonData.Language = "EN"
session.Connect
Set fm = session.ImportCall("STFC_CONNECTION")
fm.Importing("REQUTEXT").value = "benchmark"
session.CallFunction fm
started = Timer
For i = 1 To calls
    session.CallFunction fm
Next
WScript.Echo "VBScript STFC_CONNECTION: " & calls & " calls in " & FormatNumber(Timer - started, 3) & " s = " & _
    FormatNumber(calls / (Timer - started), 0) & " calls/s"
