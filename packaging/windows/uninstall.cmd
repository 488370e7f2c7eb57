@echo off
rem Unregisters both OrvaneCam DLLs and removes the installed files (see install.cmd).
call "%~dp0install.cmd" /uninstall
