' Tolvane from VBScript against the simulated SAP system, over any of its transports:
'   cscript //nologo demo.vbs SOAP <HTTP port>
'   cscript //nologo demo.vbs NWRFC <gateway port> <folder of sapnwrfc.dll>
'   cscript //nologo demo.vbs RFC <gateway port>     (librfc32u.dll on the search path)
' (scripts/demo starts sapsim and runs all three.) Everything after step 1 is the same script for
' every transport.
Option Explicit

Dim session, fm, row, field, reader, i, line

' 1. A session: where the server is, and who logs on.
If WScript.Arguments(0) = "SOAP" Then
    ' RFC over SOAP on HTTP: the server's address.
    Set session = CreateObject("Tolvane.SoapSession")
    session.HttpSystemData.Host = "127.0.0.1"
    session.HttpSystemData.Port = WScript.Arguments(1)
ElseIf WScript.Arguments(0) = "NWRFC" Then
    ' SAP's NetWeaver RFC library: its connect string, and where the library is installed.
    Set session = CreateObject("Tolvane.NWRfcSession")
    session.RfcSystemData.ConnectString = "ASHOST=127.0.0.1 SYSNR=00 GWSERV=" & WScript.Arguments(1)
    session.Option("nwrfc.path") = WScript.Arguments(2)
Else
    ' SAP's classic RFC library: the same connect string; the library comes from the search path.
    Set session = CreateObject("Tolvane.RfcSession")
    session.RfcSystemData.ConnectString = "ASHOST=127.0.0.1 SYSNR=00 GWSERV=" & WScript.Arguments(1)
End If
session.LogonData.Client = "001"
session.LogonData.User = "DEMO"
session.LogonData.Password = "demo1234"
session.LogonData.Language = "EN"
session.Connect
If session.Error Then
    WScript.Echo "Connect failed: " & session.ErrorInfo.Message
    WScript.Quit 1
End If
WScript.Echo "Connected (" & session.SessionType & ")"
WScript.Echo ""

' 2. A function module: its interface comes from SAP, the values from us.
Set fm = session.ImportCall("STFC_CONNECTION")
fm.Importing("REQUTEXT").value = "Hello SAP"
session.CallFunction fm
WScript.Echo "STFC_CONNECTION"
WScript.Echo "  echo:     " & fm.Exporting("ECHOTEXT").value
WScript.Echo "  response: " & fm.Exporting("RESPTEXT").value
WScript.Echo ""

' 3. A structure going in, a structure and a table coming back.
Set fm = session.ImportCall("STFC_STRUCTURE")
With fm.Importing("IMPORTSTRUCT").Fields
    .Item("RFCCHAR4").value = "ABCD"
    .Item("RFCINT4").value = 4711
    .Item("RFCFLOAT").value = 3.25
    .Item("RFCDATE").value = DateSerial(2024, 2, 29)
End With
Set row = fm.Tables("RFCTABLE").Rows.AddRow
row("RFCCHAR4").value = "ROW1"
session.CallFunction fm
WScript.Echo "STFC_STRUCTURE: " & fm.Exporting("RESPTEXT").value
With fm.Exporting("ECHOSTRUCT").Fields
    WScript.Echo "  ECHOSTRUCT: RFCINT4 = " & .Item("RFCINT4").value & ", RFCDATE = " & .Item("RFCDATE").value
End With
WScript.Echo "  RFCTABLE has " & fm.Tables("RFCTABLE").Rows.Count & " rows:"
For Each row In fm.Tables("RFCTABLE").Rows
    WScript.Echo "    " & row("RFCCHAR4").value & " " & row("RFCINT4").value
Next
WScript.Echo ""

' 4. Ten flights of Lufthansa, read from the database table SFLIGHT.
Set reader = session.GetTableReader("SFLIGHT")
reader.Query.Add "CARRID = 'LH'"
reader.Fields.Add "CARRID"
reader.Fields.Add "CONNID"
reader.Fields.Add "FLDATE"
reader.Fields.Add "PRICE"
reader.Fields.Add "CURRENCY"
reader.Fields.Add "SEATSOCC"
reader.Read 10
WScript.Echo "SFLIGHT, " & reader.Rows.Count & " rows:"
For Each row In reader.Rows
    line = "  "
    For Each field In row
        line = line & field.name & "=" & field.value & "  "
    Next
    WScript.Echo line
Next
WScript.Echo ""

' 5. An ABAP exception: the call returns, the session tells what happened (the group numbers
'    are the transport's own: the NetWeaver library has groups of its own).
Set fm = session.ImportCall("Z_SIM_RAISE")
fm.Importing("EXCEPTION").value = "NOT_FOUND"
fm.Importing("MESSAGE").value = "No such booking"
session.CallFunction fm
If session.Error Then
    With session.ErrorInfo
        WScript.Echo "Z_SIM_RAISE ended with an exception:"
        WScript.Echo "  group " & .ERRORGROUP & " (" & .ErrorGroupTxt & "): " & .Message
    End With
End If

' 6. A mistake in the script itself is an error of the method, with its own message.
On Error Resume Next
session.Connect
WScript.Echo "Connect again: error " & Hex(Err.Number) & ": " & Err.Description
On Error GoTo 0

session.Disconnect
WScript.Echo ""
WScript.Echo "Demo finished."
