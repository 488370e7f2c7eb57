@echo off
rem Installs OrvaneCam for every user: copies both DLLs to a folder of this version's own in
rem Program Files and registers each with the regsvr32 of its own bitness, so 64-bit and 32-bit
rem capture apps both list the camera. A DLL that an app has loaded cannot be replaced, so an
rem upgrade never writes over one: registration moves to the new version's folder, and folders of
rem other versions are removed once no process uses them (now, or at the next install or
rem uninstall). "install.cmd /uninstall" (what uninstall.cmd runs) unregisters both and removes
rem the files; the user's camera name and vacant picture settings are kept. "install.cmd
rem /cameras:N" registers cameras 1..N (1..16) and removes any above; without it an install keeps
rem the cameras registered (one on a first install). "/user" installs (and uninstalls) for the
rem current user only, without administrator rights: the files go to the user's local application
rem folder and the registration to the user's own classes. Apps that user starts list the camera;
rem Windows 11 apps that reach cameras only through the frame server need the install for every
rem user, because the frame server reads only the machine's registration.
setlocal
set "action=install"
set "cameras="
set "scope=machine"
:next_argument
if "%~1"=="" goto arguments_read
set "argument=%~1"
if /i "%argument%"=="/uninstall" set "action=uninstall"
if /i "%argument%"=="/user" set "scope=user"
if /i "%argument:~0,9%"=="/cameras:" set "cameras=%argument:~9%"
shift
goto next_argument
:arguments_read
rem With a count or for the user only DllInstall runs, which checks its words before changing
rem anything.
set "words="
if defined cameras set "words=cameras=%cameras%"
if "%scope%"=="user" set "words=user,%words%"
set "register=/s"
if defined words set "register=/s /n /i:%words%"
set "unregister=/s /u"
if "%scope%"=="user" set "unregister=/s /u /n /i:user"
set "camera_class={5B2E9C47-81D3-4F6A-9C1E-3A7D0B64E2F9}"
if "%scope%"=="user" goto scope_chosen
net session >nul 2>&1
if errorlevel 1 (
  echo OrvaneCam: %action%.cmd must be run as administrator
  echo ^(right-click it and choose "Run as administrator"^), or add /user to %action% for
  echo yourself only.
  exit /b 1
)
:scope_chosen
set "version=@ORVANECAM_VERSION@"
set "source=%~dp0"
set "base=%ProgramFiles%\OrvaneCam"
if defined ProgramW6432 set "base=%ProgramW6432%\OrvaneCam"
if "%scope%"=="user" set "base=%LOCALAPPDATA%\OrvaneCam"
set "target=%base%\%version%"
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
  "%sys64%\regsvr32.exe" %register% "%target%\x64\OrvaneCam.dll"
  if errorlevel 1 goto register_failed
)
"%sys32%\regsvr32.exe" %register% "%target%\x86\OrvaneCam.dll"
if errorlevel 1 goto register_failed
call :remove_other_versions
echo OrvaneCam %version% is installed in %target%.
call :say_which_install_apps_use
exit /b 0

:say_which_install_apps_use
rem The classes root shows a user's own classes over the machine's: the per-user install wins.
if "%scope%"=="user" (
  echo Apps you start list the camera. Windows 11 apps that use the frame server need the install
  echo for every user ^(install.cmd as administrator^).
  reg query "HKLM\Software\Classes\CLSID\%camera_class%\InprocServer32" >nul 2>&1
  if not errorlevel 1 echo A machine-wide install is there too: your apps use this per-user one.
) else (
  reg query "HKCU\Software\Classes\CLSID\%camera_class%\InprocServer32" >nul 2>&1
  if not errorlevel 1 echo A per-user install is there too: your own apps use it until uninstall.cmd /user.
)
exit /b 0

:remove_other_versions
rem A folder whose DLL an app still has loaded cannot go yet; it stays for the next run.
pushd "%base%"
for /d %%f in (*) do call :remove_if_other "%base%\%%f" "%%f"
popd
exit /b 0

:remove_if_other
if /i "%~2"=="%version%" exit /b 0
rd /s /q "%~1" 2>nul
if exist "%~1" echo OrvaneCam: %~1 is still in use; it is removed at the next install or uninstall.
exit /b 0

:copy_failed
echo OrvaneCam: cannot copy the files to %target%; close the apps using the camera, try again.
exit /b 1

:register_failed
echo OrvaneCam: registration failed; /cameras: takes 1 to 16. Otherwise run uninstall.cmd, then
echo install.cmd again.
exit /b 1

:uninstall
if not exist "%base%" (
  echo OrvaneCam is not installed.
  exit /b 0
)
rem Every version registers the same classes: unregistering through any installed one removes them.
pushd "%base%"
for /d %%f in (*) do call :unregister "%base%\%%f"
popd
rd /s /q "%base%" 2>nul
if exist "%base%" (
  echo OrvaneCam is unregistered; close the apps still using it, then run uninstall.cmd again.
  exit /b 0
)
echo OrvaneCam is uninstalled.
exit /b 0

:unregister
if defined sys64 if exist "%~1\x64\OrvaneCam.dll" "%sys64%\regsvr32.exe" %unregister% "%~1\x64\OrvaneCam.dll"
if exist "%~1\x86\OrvaneCam.dll" "%sys32%\regsvr32.exe" %unregister% "%~1\x86\OrvaneCam.dll"
exit /b 0
