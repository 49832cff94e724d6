# Tolvane from PowerShell, over RFC on SOAP/HTTP: connect, call a function module, read a
# database table into objects, and run a call in the background.
#   powershell -File TolvaneDemo.ps1 [-HostName localhost] [-Port 8000] [-User DEMO]
# The Tolvane.dll registered must have the bitness of the PowerShell that runs the script.
# The simulated SAP system of the project (sapsim) knows the user DEMO with the password demo1234.
param(
    [string]$HostName = 'localhost',
    [int]$Port = 8000,
    [string]$Client = '001',
    [string]$User = 'DEMO',
    [string]$Language = 'EN'
)
$ErrorActionPreference = 'Stop'

$session = New-Object -ComObject Tolvane.SoapSession
$session.HttpSystemData.Host = $HostName
$session.HttpSystemData.Port = $Port
$session.LogonData.Client = $Client
$session.LogonData.User = $User
$credential = Get-Credential -UserName $User -Message 'SAP logon'
$session.LogonData.Password = $credential.GetNetworkCredential().Password
$session.LogonData.Language = $Language
$session.Connect()
# Failures in SAP or on the network do not throw: the session's Error and ErrorInfo tell.
if ($session.Error) { throw ('Connect failed: ' + $session.ErrorInfo.Message) }

try {
    # A function module: its interface comes from SAP, the values from us.
    $fm = $session.ImportCall('STFC_CONNECTION')
    $fm.Importing.Item('REQUTEXT').value = 'Hello from PowerShell'
    $session.CallFunction($fm)
    if ($session.Error) { throw ('STFC_CONNECTION failed: ' + $session.ErrorInfo.Message) }
    'Echo: ' + $fm.Exporting.Item('ECHOTEXT').value

    # Ten flights of Lufthansa from the table SFLIGHT, as objects to sort, filter and format.
    $reader = $session.GetTableReader('SFLIGHT')
    $reader.Query.Add("CARRID = 'LH'")
    foreach ($column in 'CONNID', 'FLDATE', 'PRICE', 'CURRENCY', 'SEATSOCC') { $reader.Fields.Add($column) }
    $reader.Read(10)
    if ($reader.Error) { throw ('Reading SFLIGHT failed: ' + $reader.ErrorInfo.Message) }
    $flights = foreach ($row in $reader.Rows) {
        $flight = [ordered]@{}
        foreach ($field in $row) { $flight[$field.name] = $field.value }
        [pscustomobject]$flight
    }
    $flights | Format-Table -AutoSize

    # The same call in the background: CallFunction returns at once, and CallActive turns
    # False once the results are in the call object.
    $fm = $session.ImportCall('STFC_CONNECTION')
    $fm.Importing.Item('REQUTEXT').value = 'Hello in the background'
    $session.CallFunction($fm, $false)
    while ($session.CallActive) { Start-Sleep -Milliseconds 50 }
    if ($session.Error) { throw ('Background call failed: ' + $session.ErrorInfo.Message) }
    'Background echo: ' + $fm.Exporting.Item('ECHOTEXT').value
} finally {
    $session.Disconnect()
}
