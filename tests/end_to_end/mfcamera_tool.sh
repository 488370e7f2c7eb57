#!/usr/bin/env bash
# orvanecam-mfcamera under Wine against a stand-in mfsensorgroup.dll that logs its calls: the
# checks before enabling, the camera published for Media Foundation apps only, enabling and
# disabling by name, and a refused Start explained.
# Usage: mfcamera_tool.sh BIN_DIR FAKE_SENSORGROUP_DLL NATIVE_DLL
# NATIVE_DLL is the module the frame server would load: the 64-bit one, whichever the tool's
# bitness (a 32-bit tool checks the 64-bit registration too).
set -uo pipefail
bin="$1"
fake="$2"
dll="$3"
[ -f "$dll" ] || { echo "skipped: no 64-bit module at $dll"; exit 77; }
# shellcheck source=tests/end_to_end/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"  # with the shared settings (repo_root)
enter_work_folder
# The tool beside the stand-in, which it loads from its own folder first.
cp "$bin/orvanecam-mfcamera.exe" "$fake" "$work/"
tool="$work/orvanecam-mfcamera.exe"
export ORVANECAM_FAKE_CAMERA_LOG
ORVANECAM_FAKE_CAMERA_LOG="$(winepath -w "$work/calls.log")"

cleanup() {
  wine_regsvr32 "$ORVANECAM_WINE" /s /u "$dll" >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
run_tool() { "$repo_root/scripts/wine-run.sh" "$ORVANECAM_WINE" "$tool" "$@" </dev/null 2>&1 | tr -d '\r'; }

wine_regsvr32 "$ORVANECAM_WINE" /s /u "$dll" >/dev/null 2>&1
run_tool --enable OrvaneCam >unregistered.log
check "without a machine-wide registration it says so and creates nothing" \
  bash -c "grep -q 'not registered for the whole machine' unregistered.log && [ ! -e calls.log ]"

wine_regsvr32 "$ORVANECAM_WINE" /s "$dll" || { echo "FAIL: registration"; exit 1; }
run_tool --enable "Studio Cam" >enable.log
video_camera_only="categories={E5323777-F976-4F5B-9B55-B94699C46E44} count=1"
check "enabling publishes the named camera for Media Foundation apps only" \
  grep -q "create name=Studio Cam lifetime=0 access=0 .*$video_camera_only" calls.log
check "... starts it, and removes it when the program ends" \
  bash -c "grep -q 'camera is on' enable.log && [ \"\$(grep -v '^create' calls.log | tr '\n' ' ')\" = 'start remove shutdown ' ]"

rm -f calls.log
run_tool --disable "Studio Cam" >disable.log
check "disabling removes the camera of that name for every user" \
  bash -c "grep -q 'create name=Studio Cam lifetime=1 access=1' calls.log && grep -q '^remove$' calls.log && grep -q 'Studio Cam\" is removed' disable.log"

ORVANECAM_FAKE_CAMERA_START=80070005 run_tool --enable OrvaneCam --all-users >denied.log
check "a refused start names the camera privacy setting and administrator rights" \
  bash -c "grep -q 'Camera access' denied.log && grep -q 'Run as administrator' denied.log"

finish_with_logs unregistered.log enable.log disable.log denied.log
