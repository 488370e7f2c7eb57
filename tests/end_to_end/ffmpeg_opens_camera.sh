#!/usr/bin/env bash
# FFmpeg's DirectShow input, as its users open a camera, against the registered DLL under Wine:
# the device is listed, its options give the range of sizes and rates it accepts, and it streams
# at the size asked for, in the catalogue or not.
# Usage: ffmpeg_opens_camera.sh BIN_DIR FFMPEG_EXE
set -uo pipefail
bin="$1"
ffmpeg="$2"
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# shellcheck source=scripts/common.sh
source "$repo_root/scripts/common.sh"
work="$(mktemp -d)"
export ORVANECAM_OBJECT_SUFFIX="_ffmpeg$$"
wine_run=("$repo_root/scripts/wine-run.sh" "$ORVANECAM_WINE")
dll="$bin/OrvaneCam.dll"

cleanup() {
  wine_regsvr32 "$ORVANECAM_WINE" /s /u "$dll" >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
check() {
  local what="$1" log="$2"
  shift 2
  if "$@" >/dev/null 2>&1; then
    echo "ok:   $what"
  else
    echo "FAIL: $what"
    sed 's/\r/\n/g' "$log" | tail -n 25
    failures=$((failures + 1))
  fi
}

wine_regsvr32 "$ORVANECAM_WINE" /s "$dll" || { echo "FAIL: registration"; exit 1; }

"${wine_run[@]}" "$ffmpeg" -hide_banner -nostdin -list_devices true -f dshow -i dummy \
  >"$work/devices.log" 2>&1
check "FFmpeg lists the camera" "$work/devices.log" grep -q '"OrvaneCam"' "$work/devices.log"

"${wine_run[@]}" "$ffmpeg" -hide_banner -nostdin -list_options true -f dshow -i video=OrvaneCam \
  >"$work/options.log" 2>&1
check "its options offer 2x2 to 4096x4096 at 1 to 120 fps" "$work/options.log" \
  grep -q 'pixel_format=bgr24  min s=2x2 fps=1 max s=4096x4096 fps=120' "$work/options.log"

for size in 1280x720 640x480 800x600; do
  log="$work/stream-$size.log"
  "${wine_run[@]}" "$ffmpeg" -hide_banner -nostdin -f dshow -video_size "$size" -i video=OrvaneCam \
    -frames:v 15 -c:v rawvideo -f null - >"$log" 2>&1
  check "FFmpeg streams the camera at $size" "$log" \
    bash -c "grep -q 'Video: rawvideo.*$size' '$log' && tr '\r' '\n' <'$log' | grep -qE '^frame= *15 '"
done

echo "$failures failed"
[ "$failures" -eq 0 ]
