@echo off
rem Installs OrvaneCam for every user: copies both DLLs to Program Files and registers each with
rem the regsvr32 of its own bitness, so 64-bit and 32-bit capture apps both list the camera.
rem "install.cmd /uninstall" (what uninstall.cmd runs) unregisters both and removes the files;
rem the user's camera name and vacant picture settings are kept.
setlocal
set "action=install"
if /i "%~1"=="/uninstall" set "action=uninstall"
net session >nul 2>&1
if errorlevel 1 (
  echo OrvaneCam: %action%.cmd must be run as administrator
  echo ^(right-click it and choose "Run as administrator"^).
  exit /b 1
)
set "source=%~dp0"
set "target=%ProgramFiles%\OrvaneCam"
if defined ProgramW6432 set "target=%ProgramW6432%\OrvaneCam"
rem Each bitness's regsvr32; a 32-bit command prompt on 64-bit Windows reaches the 64-bit system
rem folder as Sysnative.
set "sys64="
set "sys32=%SystemRoot%\System32"
if exist "%SystemRoot%\SysWOW64\regsvr32.exe" (
  set "sys64=%SystemRoot%\System32"
  set "sys32=%SystemRoot%\SysWOW64"
  if exist "%SystemRoot%\Sysnative\regsvr32.exe" set "sys64=%SystemRoot%\Sysnative"
)
goto %action%

:install
for %%d in (x86 x64) do (
  if not exist "%source%%%d\OrvaneCam.dll" (
    echo OrvaneCam: %%d\OrvaneCam.dll is missing beside install.cmd; unpack the whole package.
    exit /b 1
  )
)
xcopy /y /q /i "%source%x86" "%target%\x86" >nul
if errorlevel 1 goto copy_failed
if defined sys64 (
  xcopy /y /q /i "%source%x64" "%target%\x64" >nul
  if errorlevel 1 goto copy_failed
  "%sys64%\regsvr32.exe" /s "%target%\x64\OrvaneCam.dll"
  if errorlevel 1 goto register_failed
)
"%sys32%\regsvr32.exe" /s "%target%\x86\OrvaneCam.dll"
if errorlevel 1 goto register_failed
echo OrvaneCam is installed in %target%.
exit /b 0

:copy_failed
echo OrvaneCam: cannot copy the files to %target%; close the apps using the camera, try again.
exit /b 1

:register_failed
echo OrvaneCam: registration failed; run uninstall.cmd, then install.cmd again.
exit /b 1

:uninstall
if not exist "%target%" (
  echo OrvaneCam is not installed.
  exit /b 0
)
if defined sys64 if exist "%target%\x64\OrvaneCam.dll" (
  "%sys64%\regsvr32.exe" /s /u "%target%\x64\OrvaneCam.dll"
)
if exist "%target%\x86\OrvaneCam.dll" "%sys32%\regsvr32.exe" /s /u "%target%\x86\OrvaneCam.dll"
rd /s /q "%target%" 2>nul
if exist "%target%" (
  echo OrvaneCam is unregistered; close the apps still using it, then delete %target%.
  exit /b 0
)
echo OrvaneCam is uninstalled.
exit /b 0
