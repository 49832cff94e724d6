@echo off
rem Removes what register-user.cmd registered for the current user, both bitnesses.
call "%~dp0register-user.cmd" /u
