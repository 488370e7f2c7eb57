#!/usr/bin/env bash
# The Windows package as a user installs it, in a fresh Wine prefix: the script makes the zip
# (signed with a throw-away certificate; stripped binaries, their symbols beside the zip, and
# checksums), install.cmd copies both DLLs into the version's own folder and registers each with
# its bitness's regsvr32, 32-bit and 64-bit capture clients then list the camera; an upgrade
# while a client holds the camera open succeeds, moves the registration, and the old version's
# folder goes once that client has exited and the next install runs; uninstall.cmd leaves nothing.
# Usage: package_install.sh   (exit 77, skipped, unless both MinGW presets are built)
set -uo pipefail
# shellcheck source=tests/end_to_end/package_prefix.sh
source "$(dirname "${BASH_SOURCE[0]}")/package_prefix.sh"

# A throw-away code-signing certificate, as a user with a real one would pass it.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=OrvaneCam test signer" \
  -addext "extendedKeyUsage=codeSigning" -keyout key.pem -out certificate.pem >/dev/null 2>&1
openssl pkcs12 -export -inkey key.pem -in certificate.pem -passout pass:test -out signer.pfx
version="$(project_version)"
check "the package script makes the zip and the symbols beside it" \
  bash -c "ORVANECAM_SIGN_PFX=signer.pfx ORVANECAM_SIGN_PASSWORD=test \
           '$repo_root/scripts/package-windows.sh' --prebuilt --out '$work' >zip.log 2>&1"
zip_file="$work/OrvaneCam-$version-windows.zip"
unzip -q "$zip_file" -d "$work/unpacked" 2>/dev/null
unzip -q "$work/OrvaneCam-$version-windows-symbols.zip" -d "$work/symbols" 2>/dev/null
package="$work/unpacked/OrvaneCam-$version"
for file in x64/OrvaneCam.dll x86/OrvaneCam.dll x64/orvanecam-capture.exe x64/orvanecam-mfcamera.exe \
  x86/orvanecam-capture.exe include/orvanecam/orvanecam.h \
  "python/orvanecam-$version-py3-none-any.whl" install.cmd uninstall.cmd SHA256SUMS; do
  check "the package holds $file" test -f "$package/$file"
done
check "every file matches SHA256SUMS" bash -c "cd '$package' && sha256sum --quiet -c SHA256SUMS"
binaries=("$package"/x64/*.dll "$package"/x64/*.exe "$package"/x86/*.dll "$package"/x86/*.exe)
signed() {
  local binary
  for binary in "${binaries[@]}"; do
    osslsigncode verify -CAfile certificate.pem -in "$binary" >/dev/null 2>&1 || return 1
  done
}
check "every binary carries a signature that verifies against the certificate" signed
at_most_mb() { [ "$(stat -c %s "$1")" -le $(($2 * 1024 * 1024)) ]; }
check "the 64-bit DLL is stripped to 12 MB or less" at_most_mb "$package/x64/OrvaneCam.dll" 12
check "the 32-bit DLL is stripped to 12 MB or less" at_most_mb "$package/x86/OrvaneCam.dll" 12
check "the zip is 15 MB or less" at_most_mb "$zip_file" 15
check "the symbols are beside the zip, and the DLL names them" \
  bash -c "test -s '$work/symbols/OrvaneCam-$version-symbols/x64/OrvaneCam.dll.debug' &&
           x86_64-w64-mingw32-objdump -s -j .gnu_debuglink '$package/x64/OrvaneCam.dll' |
           grep -q 'OrvaneCam.dll.d'"

start_prefix
program_files="$WINEPREFIX/drive_c/Program Files"
installed="C:\\Program Files\\OrvaneCam\\$version"
# lists LOADER CAPTURE_TOOL: whether that client lists the camera.
lists() { "$1" "$2" --list 2>&1 | tr -d '\r' | grep -qx "  ${3:-OrvaneCam}"; }
not_lists() { ! lists "$@"; }
# registered_in TEXT: whether the camera class's registered DLL path holds TEXT.
registered_in() {
  "$wine64_loader" reg query 'HKCR\CLSID\{5B2E9C47-81D3-4F6A-9C1E-3A7D0B64E2F9}\InprocServer32' \
    /ve 2>/dev/null | tr -d '\r' | grep -qF "$1"
}

run_cmd "$package/install.cmd" >install.log 2>&1
check "install.cmd reports the installation" grep -q "OrvaneCam $version is installed" install.log
check "a 64-bit client lists the installed camera" \
  lists "$wine64_loader" "$installed\\x64\\orvanecam-capture.exe"
check "a 32-bit client lists the installed camera" \
  lists "$wine32_loader" "$installed\\x86\\orvanecam-capture.exe"

# An upgrade while a video call holds the camera: the same build as a newer version.
"$wine64_loader" "$installed\\x64\\orvanecam-capture.exe" --frames 150 --out held \
  >held.log 2>&1 &
client=$!
sleep 3
next="$version.1"
cp -r "$package" upgrade
sed -i "s/^set \"version=$version\"/set \"version=$next\"/" upgrade/install.cmd
run_cmd upgrade/install.cmd >upgrade.log 2>&1
check "an upgrade while a client holds the camera succeeds" \
  grep -q "OrvaneCam $next is installed" upgrade.log
check "... and registration moves to the new version's folder" registered_in "OrvaneCam\\$next\\x64"
check "... where new clients find the camera" \
  lists "$wine64_loader" "C:\\Program Files\\OrvaneCam\\$next\\x64\\orvanecam-capture.exe"
wait "$client"
check "the client that held the camera streamed on to its end" \
  equals "$(summary_field frames held)" 150
run_cmd upgrade/install.cmd /cameras:3 >reinstall.log 2>&1
check "the old version's folder goes at the next install" test ! -e "$program_files/OrvaneCam/$version"
new_client="C:\\Program Files\\OrvaneCam\\$next"
check "install.cmd /cameras:3 makes a third camera for 64-bit clients" \
  lists "$wine64_loader" "$new_client\\x64\\orvanecam-capture.exe" "OrvaneCam 3"
check "... and for 32-bit clients" \
  lists "$wine32_loader" "$new_client\\x86\\orvanecam-capture.exe" "OrvaneCam 3"
run_cmd upgrade/install.cmd /cameras:17 >refused.log 2>&1
check "install.cmd /cameras:17 is refused and keeps the three cameras" \
  lists "$wine64_loader" "$new_client\\x64\\orvanecam-capture.exe" "OrvaneCam 3"

run_cmd upgrade/uninstall.cmd >uninstall.log 2>&1
check "uninstall.cmd reports the removal" grep -q "OrvaneCam is uninstalled" uninstall.log
check "nothing is left in Program Files" test ! -e "$program_files/OrvaneCam"
check "a 64-bit client no longer lists it" \
  not_lists "$wine64_loader" "$package/x64/orvanecam-capture.exe"
check "... nor its third camera" \
  not_lists "$wine64_loader" "$package/x64/orvanecam-capture.exe" "OrvaneCam 3"
check "a 32-bit client no longer lists it" \
  not_lists "$wine32_loader" "$package/x86/orvanecam-capture.exe"

finish_with_logs zip.log install.log held.log upgrade.log reinstall.log refused.log uninstall.log
