Attribute VB_Name = "TolvaneDemo"
' Tolvane from VBA (Excel), over RFC on SOAP/HTTP: connect, call a function module, read a
' database table into the active sheet, and run a call in the background.
'
' In the VBA editor: Tools > References > "Tolvane SAP Connector 1.0 Type Library", then
' File > Import File... this module and AsyncCall.cls. Office runs the Tolvane.dll of its own
' bitness (32-bit Office needs the 32-bit DLL registered). Adjust the constants below; the
' simulated SAP system of the project (sapsim) knows the user DEMO with the password demo1234.
Option Explicit

Private Const SAP_HOST As String = "localhost"
Private Const SAP_PORT As Long = 8000
Private Const SAP_CLIENT As String = "001"
Private Const SAP_USER As String = "DEMO"

' The background call of StartBackgroundCall lives here until SAP has answered.
Private pending As AsyncCall

' A connected session, or Nothing after telling the user why not.
Private Function Connect() As TOLVANELib.SoapSession
    Dim session As TOLVANELib.SoapSession
    Set session = New TOLVANELib.SoapSession
    With session.HttpSystemData
        .Host = SAP_HOST
        .Port = SAP_PORT
    End With
    With session.LogonData
        .Client = SAP_CLIENT
        .User = SAP_USER
        .Password = InputBox("Password of " & SAP_USER, "SAP logon")
        .Language = "EN"
    End With
    session.Connect
    If session.Error Then
        MsgBox "Connect failed: " & session.ErrorInfo.Message, vbExclamation
        Exit Function
    End If
    Set Connect = session
End Function

' Calls STFC_CONNECTION, whose interface comes from SAP, and shows its answer.
Public Sub CallFunctionModule()
    Dim session As TOLVANELib.SoapSession
    Set session = Connect()
    If session Is Nothing Then Exit Sub

    Dim fm As TOLVANELib.FunctionCall
    Set fm = session.ImportCall("STFC_CONNECTION")
    fm.Importing("REQUTEXT").value = "Hello from Excel"
    session.CallFunction fm
    If session.Error Then
        MsgBox "STFC_CONNECTION failed: " & session.ErrorInfo.Message, vbExclamation
    Else
        MsgBox fm.Exporting("ECHOTEXT").value & vbLf & fm.Exporting("RESPTEXT").value
    End If
    session.Disconnect
End Sub

' Reads the flights of Lufthansa from the table SFLIGHT into the active sheet: a header row
' with the column names, then one row per flight.
Public Sub ReadTableIntoSheet()
    Dim session As TOLVANELib.SoapSession
    Set session = Connect()
    If session Is Nothing Then Exit Sub

    Dim reader As TOLVANELib.TableReader
    Set reader = session.GetTableReader("SFLIGHT")
    reader.Query.Add "CARRID = 'LH'"
    reader.Fields.Add "CONNID"
    reader.Fields.Add "FLDATE"
    reader.Fields.Add "PRICE"
    reader.Fields.Add "CURRENCY"
    reader.Fields.Add "SEATSOCC"
    reader.Read 100
    If reader.Error Then
        MsgBox "Reading SFLIGHT failed: " & reader.ErrorInfo.Message, vbExclamation
        session.Disconnect
        Exit Sub
    End If

    ' The whole range in one array, written to the sheet at once.
    Dim values() As Variant, r As Long, c As Long
    ReDim values(0 To reader.Rows.Count, 1 To reader.Fields.Count)
    For c = 1 To reader.Fields.Count
        values(0, c) = reader.Fields(c)
    Next
    Dim row As TOLVANELib.RfcFields
    For Each row In reader.Rows
        r = r + 1
        For c = 1 To row.Count
            values(r, c) = row(c).value
        Next
    Next
    ActiveSheet.Range("A1").Resize(reader.Rows.Count + 1, reader.Fields.Count).Value = values
    session.Disconnect
End Sub

' Starts STFC_CONNECTION in the background and returns at once; the answer appears in cell
' B1 of the active sheet when SAP has sent it (AsyncCall handles the session's CallFinished).
Public Sub StartBackgroundCall()
    Dim session As TOLVANELib.SoapSession
    Set session = Connect()
    If session Is Nothing Then Exit Sub
    Set pending = New AsyncCall
    pending.Start session, ActiveSheet.Range("B1")
End Sub
