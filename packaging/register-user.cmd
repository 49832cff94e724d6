@echo off
rem Registers Tolvane for the current user; needs no administrator rights. On 64-bit Windows it
rem registers both bitnesses: x64 for 64-bit programs, x86 for 32-bit ones (32-bit Office, the
rem script hosts in %SystemRoot%\SysWOW64). On 32-bit Windows it registers x86 alone.
rem "register-user.cmd /u" removes the registration again (what unregister-user.cmd does).
setlocal
set "here=%~dp0"
set "undo="
if /i "%~1"=="/u" set "undo=/u"
set "failed=0"

if not exist "%SystemRoot%\SysWOW64\regsvr32.exe" goto windows32
rem From a 32-bit command prompt the 64-bit System32 is reached as Sysnative.
set "regsvr64=%SystemRoot%\System32\regsvr32.exe"
if exist "%SystemRoot%\Sysnative\regsvr32.exe" set "regsvr64=%SystemRoot%\Sysnative\regsvr32.exe"
call :register x64 "%regsvr64%"
call :register x86 "%SystemRoot%\SysWOW64\regsvr32.exe"
goto done

:windows32
call :register x86 "%SystemRoot%\System32\regsvr32.exe"

:done
if "%failed%"=="0" (
    echo Done.
) else (
    echo Not every DLL could be handled; see the lines marked FAILED.
)
exit /b %failed%

rem :register <folder: x64 or x86> <regsvr32 of that bitness>
:register
for %%d in (TolvaneSoap.dll Tolvane.dll) do (
    "%~2" /s %undo% /n /i:user "%here%%~1\%%d"
    if errorlevel 1 (
        echo FAILED: %~1\%%d
        set "failed=1"
    ) else (
        echo %~1\%%d
    )
)
exit /b
