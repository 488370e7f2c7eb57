@echo off
rem Unregisters both OrvaneCam DLLs and removes the installed files (see install.cmd); with /user,
rem the install made for the current user.
call "%~dp0install.cmd" /uninstall %*
