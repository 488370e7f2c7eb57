#!/usr/bin/env bash
# The doctor against installs a user has, in a fresh Wine prefix: healthy after install.cmd, then
# one broken state at a time (the 32-bit registration gone, a class key naming a missing DLL, keys
# left by an uninstall, two devices of one name, an older version registered, a block left by an
# ended producer, a vacant picture that cannot be loaded), each reported with its line and exit 1
# by the doctors of both bitnesses and mended by --fix (one of them by the 32-bit doctor);
# --purge leaves the registry as it was before the install; install.cmd /user writes only the
# user's hive and its uninstall leaves that as it was. Wine does not show the user's classes in
# the classes root, so no client lists a per-user camera here: what is written is checked.
# Usage: doctor_install.sh   (exit 77, skipped, unless both MinGW presets are built)
set -uo pipefail
# shellcheck source=tests/end_to_end/package_prefix.sh
source "$(dirname "${BASH_SOURCE[0]}")/package_prefix.sh"
export WINEDEBUG=-all

version="$(project_version)"
"$repo_root/scripts/package-windows.sh" --prebuilt --out "$work" >zip.log 2>&1
unzip -q "$work/OrvaneCam-$version-windows.zip" -d "$work/unpacked"
package="$work/unpacked/OrvaneCam-$version"
start_prefix
installed="C:\\Program Files\\OrvaneCam\\$version"
camera_class='{5B2E9C47-81D3-4F6A-9C1E-3A7D0B64E2F9}'
video_instances='CLSID\{860BB310-5D01-11D0-BD3B-00A0C911CE86}\Instance'
reg() { "$wine64_loader" reg "$@" >/dev/null 2>&1; }
# export HIVE FILE: the hive as reg exports it.
export_hive() { "$wine64_loader" reg export "$1" "$(winepath -w "$2")" /y >/dev/null 2>&1; }
# The 64-bit doctor that runs: the installed one, then (once purged) the package's.
doctor_exe="$installed\\x64\\orvanecam-doctor.exe"
doctor() { "$wine64_loader" "$doctor_exe" "$@" 2>&1 | tr -d '\r'; }
doctor32() { "$wine32_loader" "$installed\\x86\\orvanecam-doctor.exe" "$@" 2>&1 | tr -d '\r'; }
# broken_both NAME LINE: the 32-bit doctor reports the state too; the 64-bit one mends it.
broken_both() {
  doctor_command=doctor32 check "$1: the 32-bit doctor reports it too" reports 1 "$2"
  broken "$1" "$2"
}

# Windows always has the user's classes key; a fresh Wine prefix has none until written.
reg add 'HKCU\Software\Classes' /f

export_hive HKLM before_machine.reg
export_hive HKCU before_user.reg
run_cmd "$package/install.cmd" >install.log 2>&1
check "a healthy install: exit 0" reports 0 "[ok] registration (64-bit, every user): 1 camera"
doctor_command=doctor32 check "... the 32-bit doctor agrees" reports 0 "[ok] registration (32-bit, every user)"
check "--json says the same for scripts" reports 0 '"status": "healthy"' --json
check "... as valid JSON, Windows paths included" \
  bash -c "'$wine64_loader' '$installed\\x64\\orvanecam-doctor.exe' --json | python3 -m json.tool"

"$wine32_loader" "$installed\\x86\\orvanecam-register.exe" --unregister >/dev/null 2>&1
broken_both "the 32-bit keys deleted" "[problem] registration (32-bit, every user): not registered"
reg add "HKLM\\Software\\Classes\\CLSID\\$camera_class\\InprocServer32" /ve /d 'C:\gone\OrvaneCam.dll' /f /reg:64
# Mended by the other bitness's doctor: the 32-bit one registers the 64-bit DLL beside it.
doctor_command=doctor32 broken "a class key naming a missing DLL (the 32-bit doctor)" \
  "camera 1 points at C:\\gone\\OrvaneCam.dll, which is missing"
check "... and the 64-bit doctor finds it mended" reports 0 "[ok] registration (64-bit, every user)"
reg delete "HKLM\\Software\\Classes\\CLSID\\$camera_class" /f /reg:64
broken_both "keys left by an uninstall" "camera 1: keys left by an uninstall"
reg add "HKLM\\Software\\Classes\\$video_instances\\{11111111-2222-3333-4444-555555555555}" \
  /v FriendlyName /d OrvaneCam /f /reg:64
broken_both "two device keys of one name" '"OrvaneCam" is listed 2 times'
# An older version registered over this one: the same DLL, its version resource made 0.0.1.
mkdir -p "$WINEPREFIX/drive_c/old"
python3 - "$package/x64/OrvaneCam.dll" "$WINEPREFIX/drive_c/old/OrvaneCam.dll" <<'PATCH'
import struct, sys
data = bytearray(open(sys.argv[1], "rb").read())
fixed = data.index(struct.pack("<I", 0xFEEF04BD))
data[fixed + 8:fixed + 16] = struct.pack("<II", 0x00000000, 0x00010000)
open(sys.argv[2], "wb").write(data)
PATCH
"$wine64_loader" regsvr32 /s 'C:\old\OrvaneCam.dll' >/dev/null 2>&1
broken_both "an older version registered" "C:\old\OrvaneCam.dll, version 0.0.1; this doctor is version $version"

# A paused client holds the block (a reading one would notice the producer's end itself).
helper="$(winepath -w "$repo_root/build/mingw-x64/bin/exchange_helper.exe")"
"$wine64_loader" "$helper" attach 30000 &
client=$!
"$wine64_loader" "$helper" publish-for 60000 640 360 &
producer=$!
sleep 4
kill -9 "$producer"
wait "$producer" 2>/dev/null
sleep 1
broken_both "a block left by an ended producer" "which has ended"
kill "$client" 2>/dev/null
wait "$client" 2>/dev/null

echo "not a bitmap" >"$work/broken.bmp"
reg add 'HKCU\Software\Orvane\OrvaneCamSDK' /v VacantImagePath /d "$(winepath -w "$work/broken.bmp")" /f
broken_both "a vacant picture that cannot be loaded" "cannot be loaded"

"$wine64_loader" "$(winepath -w "$package/x64/orvanecam-doctor.exe")" --purge >purge.log 2>&1
export_hive HKLM purged_machine.reg
export_hive HKCU purged_user.reg
check "--purge: the machine's hive is as before the install" cmp before_machine.reg purged_machine.reg
check "--purge: the user's hive is as before the install" cmp before_user.reg purged_user.reg
check "--purge: nothing is left in Program Files" \
  test ! -e "$WINEPREFIX/drive_c/Program Files/OrvaneCam"

doctor_exe="$(winepath -w "$package/x64/orvanecam-doctor.exe")"
run_cmd "$package/install.cmd" /user >user_install.log 2>&1
export_hive HKLM user_machine.reg
user_dll="$("$wine64_loader" reg query "HKCU\\Software\\Classes\\CLSID\\$camera_class\\InprocServer32" /ve 2>/dev/null | tr -d '\r')"
check "install.cmd /user reports the installation" grep -q "OrvaneCam $version is installed" user_install.log
check "... registers in the user's classes, the DLL in the user's folder" \
  grep -q "AppData.*OrvaneCam.$version" <<<"$user_dll"
check "... leaves the machine's hive untouched" cmp before_machine.reg user_machine.reg
check "... and the doctor says which registration apps use" \
  reports 0 "[note] which registration apps use: this user's only"
run_cmd "$package/install.cmd" >both_install.log 2>&1
check "a machine-wide install beside it says which one this user's apps use" \
  grep -q "A per-user install is there too" both_install.log
check "... and so does the doctor" reports 0 "[note] which registration apps use: both"
run_cmd "$package/uninstall.cmd" >>both_install.log 2>&1
run_cmd "$package/uninstall.cmd" /user >user_uninstall.log 2>&1
export_hive HKCU user_uninstalled.reg
diff <(iconv -f utf-16 -t utf-8 before_user.reg) <(iconv -f utf-16 -t utf-8 user_uninstalled.reg) \
  >user_hive.diff 2>&1
check "uninstall.cmd /user leaves the user's hive as it was" test ! -s user_hive.diff

finish_with_logs zip.log install.log doctor.log fix.log purge.log user_install.log \
  both_install.log user_uninstall.log user_hive.diff
