#!/usr/bin/env bash
# FFmpeg's DirectShow input, as its users open a camera, against the registered DLL under Wine:
# the device is listed, its options give the range of sizes and rates it accepts, and it streams
# at the size asked for, in the catalogue or not; at the rate asked for (60 fps from a 60 fps
# producer, 15 fps from a 30 fps one; 200 fps refused) and in I420 (yuv420p).
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

producer=""
cleanup() {
  [ -n "$producer" ] && kill -9 "$producer" 2>/dev/null
  wait 2>/dev/null
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

# A producer of moving bars (a new picture every frame) at fps $1 and size $2, in the background.
start_producer() {
  "${wine_run[@]}" "$bin/orvanecam-send.exe" --fps "$1" --size "$2" --output "$2" --seconds 120 \
    >"$work/send.log" 2>&1 &
  producer=$!
  sleep 3
}
stop_producer() {
  { kill -9 "$producer" && wait "$producer"; } 2>/dev/null
  producer=""
}
# Records $3 seconds of the camera at fps $1 and size $2 into $work/rate$1.raw, every frame
# stamped with its arrival time (so the count is the rate the client really got).
record_at() {
  "${wine_run[@]}" "$ffmpeg" -hide_banner -nostdin -use_wallclock_as_timestamps 1 -f dshow \
    -framerate "$1" -video_size "$2" -i video=OrvaneCam -t "$3" -fps_mode passthrough \
    -c:v rawvideo -f rawvideo "$(winepath -w "$work/rate$1.raw")" >"$work/rate$1.log" 2>&1
}
# frames RAW WIDTH HEIGHT: how many NV12 frames the file holds, and how many distinct ones.
frame_counts() {
  /usr/bin/python3 - "$@" <<'PY'
import hashlib, sys
path, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
size = width * height * 3 // 2
data = open(path, "rb").read()
frames = [data[i:i + size] for i in range(0, len(data) - size + 1, size)]
print(len(frames), len({hashlib.md5(f).digest() for f in frames}))
PY
}
within() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v >= lo && v <= hi) }'; }

start_producer 60 1280x720
record_at 60 1280x720 5
read -r frames distinct < <(frame_counts "$work/rate60.raw" 1280 720)
echo "60 fps asked: ${frames:-0} frames in 5 s, ${distinct:-0} distinct"
# Generous bounds: the figure itself is for the closing note, not for a loaded machine.
check "FFmpeg asking for 60 fps gets 60 a second over 5 s (within 5%)" "$work/rate60.log" \
  within "${frames:-0}" 285 315
check "... at least 95% of them distinct pictures" "$work/rate60.log" \
  within "$(( ${distinct:-0} * 100 / (${frames:-0} + (${frames:-0} == 0)) ))" 95 100
stop_producer

start_producer 30 640x480
record_at 15 640x480 4
read -r frames distinct < <(frame_counts "$work/rate15.raw" 640 480)
echo "15 fps asked of a 30 fps producer: ${frames:-0} frames in 4 s"
check "FFmpeg asking for 15 fps of a 30 fps producer gets 15 a second" "$work/rate15.log" \
  within "${frames:-0}" 57 63

log="$work/i420.log"
"${wine_run[@]}" "$ffmpeg" -hide_banner -nostdin -f dshow -pixel_format yuv420p -video_size 640x480 \
  -i video=OrvaneCam -frames:v 10 -c:v rawvideo -f rawvideo "$(winepath -w "$work/i420.raw")" \
  >"$log" 2>&1
"$repo_root/tests/end_to_end/frame_runs.py" "$work/i420.raw" 640 480 i420 >"$work/i420-runs.txt"
check "FFmpeg asking for yuv420p connects I420" "$log" grep -q 'Video: rawvideo (I420.*yuv420p' "$log"
check "... with the producer's picture in it" "$work/i420-runs.txt" grep -Eq '^runs: .*live$' "$work/i420-runs.txt"
stop_producer

log="$work/rate200.log"
"${wine_run[@]}" "$ffmpeg" -hide_banner -nostdin -f dshow -framerate 200 -i video=OrvaneCam \
  -frames:v 1 -f null - >"$log" 2>&1
check "FFmpeg asking for 200 fps is refused" "$log" bash -c "! tr '\r' '\n' <'$log' | grep -qE '^frame= *1 '"

echo "$failures failed"
[ "$failures" -eq 0 ]
