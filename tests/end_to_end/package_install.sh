#!/usr/bin/env bash
# The Windows package as a user installs it, in a fresh Wine prefix: the script makes the zip,
# install.cmd copies and registers both DLLs with each bitness's own regsvr32, 32-bit and 64-bit
# capture clients then list the camera, and uninstall.cmd takes both away again.
# Usage: package_install.sh   (exit 77, skipped, unless both MinGW presets are built)
set -uo pipefail
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# shellcheck source=scripts/common.sh
source "$repo_root/scripts/common.sh"
# shellcheck source=tests/end_to_end/checks.sh
source "$repo_root/tests/end_to_end/checks.sh"
for preset in mingw-x64 mingw-x86; do
  [ -f "$repo_root/build/$preset/bin/OrvaneCam.dll" ] ||
    { echo "skipped: $preset is not built"; exit 77; }
done
work="$(mktemp -d)"
cd "$work" || exit 1
export WINEPREFIX="$work/prefix"

cleanup() {
  wineserver --kill >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

check "the package script makes the zip" \
  bash -c "'$repo_root/scripts/package-windows.sh' --prebuilt --out '$work' >zip.log 2>&1"
zip_file="$(ls "$work"/OrvaneCam-*-windows.zip 2>/dev/null | head -n 1)"
unzip -q "$zip_file" -d "$work/unpacked" 2>/dev/null
package="$(ls -d "$work"/unpacked/OrvaneCam-* 2>/dev/null | head -n 1)"
for file in x64/OrvaneCam.dll x86/OrvaneCam.dll x64/orvanecam-capture.exe x64/orvanecam-mfcamera.exe \
  x86/orvanecam-capture.exe include/orvanecam/orvanecam.h python/orvanecam-1.0.0-py3-none-any.whl \
  install.cmd uninstall.cmd; do
  check "the package holds $file" test -f "$package/$file"
done

wineboot --init >/dev/null 2>&1
wineserver --wait
installed='C:\Program Files\OrvaneCam'
# lists LOADER CAPTURE_TOOL: whether that client lists the camera.
lists() { "$1" "$2" --list 2>&1 | tr -d '\r' | grep -qx "  OrvaneCam"; }
not_lists() { ! lists "$@"; }

"$wine64_loader" cmd /c "$(winepath -w "$package/install.cmd")" >install.log 2>&1
check "install.cmd reports the installation" grep -q "OrvaneCam is installed" install.log
check "a 64-bit client lists the installed camera" \
  lists "$wine64_loader" "$installed\\x64\\orvanecam-capture.exe"
check "a 32-bit client lists the installed camera" \
  lists "$wine32_loader" "$installed\\x86\\orvanecam-capture.exe"

"$wine64_loader" cmd /c "$(winepath -w "$package/uninstall.cmd")" >uninstall.log 2>&1
check "uninstall.cmd reports the removal" grep -q "OrvaneCam is uninstalled" uninstall.log
check "the installed files are gone" test ! -e "$WINEPREFIX/drive_c/Program Files/OrvaneCam"
check "a 64-bit client no longer lists it" \
  not_lists "$wine64_loader" "$package/x64/orvanecam-capture.exe"
check "a 32-bit client no longer lists it" \
  not_lists "$wine32_loader" "$package/x86/orvanecam-capture.exe"

finish_with_logs zip.log install.log uninstall.log
