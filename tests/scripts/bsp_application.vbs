' The BSP application object as a VBScript user prepares it: created by its ProgID, window
' properties, HTTP system data, logon data, options and the parameter collection; and
' ShowApplication where no window can open. The window itself is shown by the C++ window tests,
' which have a display. Run by cscript (the port argument is not used); any failed check ends
' the script with exit code 1.
Option Explicit

Dim failures : failures = 0
Sub Check(condition, what)
    If Not condition Then
        WScript.Echo "FAILED: " & what
        failures = failures + 1
    End If
End Sub

Dim app, p, names
Set app = CreateObject("Tolvane.BSPApplication")
Check app.Window.Title = "BSP Application", "default title: " & app.Window.Title
Check app.Window.Left = 100 And app.Window.Top = 100 And app.Window.Width = 500 And app.Window.Height = 300, _
      "default rectangle"
Check app.Window.IconPath = "" And app.Window.CloseWarning = "", "no icon, no warning"
Check app.HttpSystemData.Protocol = "http", "protocol: " & app.HttpSystemData.Protocol
app.HttpSystemData.Port = 8000
Check app.HttpSystemData.Port = 8000, "the same system data every time"
app.LogonData.SSO2Ticket = "ticket"
Check app.LogonData.SSO2Ticket = "ticket", "the same logon data every time"
app.Option("trace.file") = ""
Check app.Option("trace.file") = "" And app.Option("never.set") = "", "options"

' Parameters: ordered, keyed by name (newest wins), the value optional, items by position or name.
With app.Parameters
    .AddParameter "first", "1"
    .AddParameter "flag"
    .AddParameter "first", "2"
    Check .Count = 3, "three parameters"
    Check .Item("flag").value = "", "a value left out is empty"
    Check .Item("first").value = "2", "the newest of a name wins"
    Check .Item(1).value = "1" And app.Parameters(3).name = "first", "positions count from 1"
    Check .HasKey("flag") And Not .HasKey("FLAG"), "names are case-sensitive"
    names = ""
    For Each p In app.Parameters
        names = names & p.name & "=" & p & ";"
    Next
    Check names = "first=1;flag=;first=2;", "For Each in order, value as default member: " & names
    .Remove "flag"
    Check .Count = 2 And Not .HasKey("flag"), "removed by name"
    .RemoveAll
    Check .Count = 0, "removed all"
End With

' This script has no X display: the window cannot open, and ShowApplication (exit page left out)
' returns at once with the parameters as they were.
app.Parameters.AddParameter "kept", "1"
app.ShowApplication "sap/bc/bsp/sap/zsim_flow/start.htm"
Check app.Parameters.Count = 1 And app.Parameters("kept") = "1", "nothing returned without a window"

If failures > 0 Then WScript.Quit 1
WScript.Echo "all checks passed"
