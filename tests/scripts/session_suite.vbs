' One suite for every session kind: a VBScript user connects, imports, calls, reads results,
' tables and errors, over whichever transport the first argument names. The same script and
' the same expectations for every kind, except where the kinds differ by design (below).
'   cscript session_suite.vbs <kind: SOAP | NWRFC | RFC> <sapsim HTTP port> <gateway port> <NetWeaver library folder>
' (The classic library is found on the search path.)
' Any failed check ends the script with exit code 1.
Option Explicit

Dim failures : failures = 0
Sub Check(condition, what)
    If Not condition Then
        WScript.Echo "FAILED: " & kind & ": " & what
        failures = failures + 1
    End If
End Sub

Dim kind : kind = WScript.Arguments(0)

' Where the kinds differ, and why.
Dim progId, exceptionGroup, refusedConnectFails, hasTransactions, idleDisconnectFails
idleDisconnectFails = True        ' Disconnect without a connection: message 520
Select Case kind
Case "SOAP"
    progId = "Tolvane.SoapSession"
    exceptionGroup = 105          ' SOAP faults map to the component's error groups
    refusedConnectFails = False   ' a refused SOAP logon is an error state, Connect succeeds
    hasTransactions = False       ' RFC over SOAP has no transactional calls
Case "NWRFC"
    progId = "Tolvane.NWRfcSession"
    exceptionGroup = 1            ' the NetWeaver session keeps its library's group numbers
    refusedConnectFails = True    ' a refused NetWeaver logon also fails Connect (message 543)
    hasTransactions = True
Case "RFC"
    progId = "Tolvane.RfcSession"
    exceptionGroup = 105          ' the classic library's group of an ABAP exception
    refusedConnectFails = False   ' a refused classic logon is an error state, Connect succeeds
    hasTransactions = True
    idleDisconnectFails = False   ' the classic session leaves an unconnected session as it is
End Select

' A session of this kind aimed at sapsim, logged on as `user`.
Function NewSession(user, password)
    Dim s
    Set s = CreateObject(progId)
    If kind = "SOAP" Then
        s.HttpSystemData.Host = "127.0.0.1"
        s.HttpSystemData.Port = WScript.Arguments(1)
    Else
        s.RfcSystemData.ConnectString = "ASHOST=127.0.0.1 SYSNR=00 GWSERV=" & WScript.Arguments(2)
        s.Option("nwrfc.path") = WScript.Arguments(3)
    End If
    s.LogonData.Client = "001"
    s.LogonData.User = user
    s.LogonData.Password = password
    s.LogonData.Language = "EN"
    Set NewSession = s
End Function

Dim session, fc, row, parameter, names, count
Set session = NewSession("DEMO", "demo1234")
Check session.SessionType = kind, "session type"
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
Check session.ErrorInfo.ERRORGROUP = exceptionGroup, "error group"
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
If idleDisconnectFails Then
    Check Err.Number = &H80040208, "Disconnect when not connected: " & Hex(Err.Number)
Else
    Check Err.Number = 0, "Disconnect when not connected: " & Hex(Err.Number)
End If
On Error GoTo 0

' A refused logon: the error state says why, in every kind.
Dim refused
Set refused = NewSession("DEMO", "wrong")
On Error Resume Next
refused.Connect
Check refusedConnectFails = (Err.Number <> 0), "a refused Connect's result: " & Hex(Err.Number)
On Error GoTo 0
Check refused.Error, "a refused logon sets Error"
Check Not refused.IsConnected, "and leaves the session unconnected"

' Transactional calls run once however often they are sent, where the kind offers them.
Dim tid, counter
Set session = NewSession("DEMO", "demo1234")
session.Connect
If hasTransactions Then
    tid = session.CreateTransID
    Check Len(tid) = 24, "a transaction ID of 24 characters: " & tid
    Set fc = session.ImportCall("Z_SIM_COUNTER")
    session.CallTRFCFunction tid, fc
    session.CallTRFCFunction tid, fc
    session.ConfirmTransID tid
    Set counter = session.ImportCall("Z_SIM_COUNTER")
    session.CallFunction counter
    Check counter.Exporting("COUNT") = 2, "the unit ran once: " & counter.Exporting("COUNT")
Else
    On Error Resume Next
    tid = session.CreateTransID
    ' E_NOTIMPL, which VBScript reports as its error 445 ("Object doesn't support this action").
    Check Err.Number = 445, "no transactions: " & Hex(Err.Number)
    On Error GoTo 0
End If
session.Disconnect

If failures > 0 Then WScript.Quit 1
WScript.Echo "session_suite.vbs (" & kind & "): all checks passed"
