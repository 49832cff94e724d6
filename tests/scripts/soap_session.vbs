' The SOAP session as a VBScript user drives it: connect, import, call, read results, tables,
' errors. Run by cscript with sapsim's port as the only argument; any failed check ends the
' script with exit code 1.
Option Explicit

Dim failures : failures = 0
Sub Check(condition, what)
    If Not condition Then
        WScript.Echo "FAILED: " & what
        failures = failures + 1
    End If
End Sub

Dim session, fc, row, parameter, names, count
Set session = CreateObject("Tolvane.SoapSession")
Check session.SessionType = "SOAP", "session type"
With session.HttpSystemData
    .Host = "127.0.0.1"
    .Port = WScript.Arguments(0)
End With
With session.LogonData
    .Client = "001"
    .User = "DEMO"
    .Password = "demo1234"
    .Language = "EN"
End With
session.Connect
Check session.IsConnected, "connected"
Check Not session.Error, "no error after Connect"

' A usage error: the number and text of the message, and the session's state untouched.
On Error Resume Next
session.Connect
Check Err.Number = &H8004020B, "second Connect fails with 0x8004020B, got " & Hex(Err.Number)
Check Err.Description = "Already connected to the server", "its description: " & Err.Description
Err.Clear
On Error GoTo 0
Check session.IsConnected, "still connected"

' Import, fill, call, read: the argument after a property reaches the list's default member.
Set fc = session.ImportCall("STFC_CONNECTION")
fc.Importing("REQUTEXT").value = "Hello from VBScript"
session.CallFunction fc
Check Not session.Error, "STFC_CONNECTION without error"
Check fc.Exporting("ECHOTEXT") = "Hello from VBScript", "echo: " & fc.Exporting("ECHOTEXT")
Check InStr(fc.Exporting.Item("RESPTEXT").value, "DEMO") > 0, "response text names the user"

names = ""
For Each parameter In fc.Exporting
    names = names & parameter.name & " "
Next
Check names = "ECHOTEXT RESPTEXT ", "For Each over the exporting list: " & names

' A structure and a table.
Set fc = session.ImportCall("STFC_STRUCTURE")
fc.Importing("IMPORTSTRUCT").Fields("RFCCHAR4").value = "ABCD"
fc.Importing("IMPORTSTRUCT").Fields("RFCINT4").value = 42
fc.Tables("RFCTABLE").Rows.AddRows 2
session.CallFunction fc, True
Check fc.Exporting("ECHOSTRUCT").Fields("RFCCHAR4").value = "ABCD", "structure echoed"
count = 0
For Each row In fc.Tables("RFCTABLE").Rows
    count = count + 1
Next
Check count = 3, "For Each over rows: " & count
Check fc.Tables("RFCTABLE").Rows(3)("RFCINT4") = 42, "the appended row holds the structure"

' An ABAP exception shows in ErrorInfo; reading it clears only the flag.
Set fc = session.ImportCall("Z_SIM_RAISE")
fc.Importing("EXCEPTION").value = "NOT_FOUND"
session.CallFunction fc
Check session.Error, "the exception sets Error"
Check session.ErrorInfo.Message = "NOT_FOUND", "exception name: " & session.ErrorInfo.Message
Check session.ErrorInfo.ERRORGROUP = 105, "error group"
Check Not session.Error, "reading ErrorInfo cleared the flag"

' The table reader.
Dim reader
Set reader = session.GetTableReader("SFLIGHT")
reader.Query.Add "CARRID = 'LH'"
reader.Fields.Add "CARRID"
reader.Fields.Add "FLDATE"
reader.Read 5
Check Not reader.Error, "table reader without error"
Check reader.Rows.Count = 5, "five rows: " & reader.Rows.Count
Check reader.Rows(1)("CARRID") = "LH", "first carrier"
Check IsDate(reader.Rows(1)("FLDATE").value), "flight date is a date"

Dim decoded
decoded = session.DecodeInternalError(&H8004020A)
Check InStr(decoded, "more than one call per session") > 0, "DecodeInternalError: " & decoded
session.Disconnect
Check Not session.IsConnected, "disconnected"

On Error Resume Next
session.Disconnect
Check Err.Number = &H80040208, "Disconnect when not connected: " & Hex(Err.Number)
On Error GoTo 0

If failures > 0 Then WScript.Quit 1
WScript.Echo "soap_session.vbs: all checks passed"
