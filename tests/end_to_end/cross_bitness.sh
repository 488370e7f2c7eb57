#!/usr/bin/env bash
# The 32-bit and the 64-bit DLL side by side under Wine, as a user with both installed meets them:
# each is registered in its own registry view under the one class id, each bitness's DirectShow
# client (the capture tool, through the system device enumerator and the filter graph manager)
# lists the camera and shows a producer of the other bitness, a rename reaches both, and
# unregistering one bitness leaves the other listed.
# Usage: cross_bitness.sh BIN_32 BIN_64   (exit 77, skipped, when BIN_64 has no build)
set -uo pipefail
bin32="$1"
bin64="$2"
# shellcheck source=tests/end_to_end/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"  # with the shared settings (repo_root)
for program in OrvaneCam.dll orvanecam-send.exe orvanecam-capture.exe; do
  [ -f "$bin64/$program" ] || { echo "skipped: no 64-bit build in $bin64"; exit 77; }
done
enter_work_folder
export ORVANECAM_OBJECT_SUFFIX="_bits$$"
producer=""

cleanup() {
  [ -n "$producer" ] && kill -9 "$producer" 2>/dev/null
  wait 2>/dev/null
  wine_regsvr32 "$wine32_loader" /s /u "$bin32/OrvaneCam.dll" >/dev/null 2>&1
  wine_regsvr32 "$wine64_loader" /s /u "$bin64/OrvaneCam.dll" >/dev/null 2>&1
  "$wine64_loader" reg delete 'HKCU\Software\Orvane\OrvaneCamSDK' /f >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

# program BIN NAME ARGS...: one of the tools of that build; in a background job it becomes the
# program, so that $! is the program's own process id.
program() {
  local bin="$1" name="$2"
  shift 2
  local loader="$wine32_loader"
  [ "$bin" = "$bin64" ] && loader="$wine64_loader"
  local command=("$repo_root/scripts/wine-run.sh" "$loader" "$bin/$name.exe" "$@")
  if [ "$BASHPID" != "$$" ]; then exec "${command[@]}"; fi
  "${command[@]}"
}

lists() { program "$1" orvanecam-capture --list 2>&1 | tr -d '\r' | grep -qx "  $2"; }
not_lists() { ! lists "$@"; }

# Bars from a producer of one build reach a client of the other: check "what" PRODUCER CLIENT.
# check_feeds WHAT FROM TO [CAMERA NAME]: a producer of FROM's build feeds the camera (1 unless
# given) to a client of TO's build.
check_feeds() {
  local what="$1" from="$2" to="$3" camera="${4:-1}" name="${5:-OrvaneCam}" out
  out="$(basename "$(dirname "$from")")-to-$(basename "$(dirname "$to")")-$camera"
  program "$from" orvanecam-send --camera "$camera" --seconds 120 --size 320x240 \
    --output 320x240 >>send.log 2>&1 &
  producer=$!
  sleep 2
  program "$to" orvanecam-capture --device "$name" --frames 45 --out "$out" >"$out.log" 2>&1
  { kill -9 "$producer" && wait "$producer"; } 2>/dev/null
  producer=""
  check "$what: the client streams at the producer's size" grep -q "NV12 320x240" "$out/summary.txt"
  check "$what: at least 30 of 45 frames show the producer's bars" \
    at_least "$(summary_field live "$out")" 30
}

check "the 64-bit DLL registers three cameras with the 64-bit regsvr32" \
  wine_regsvr32 "$wine64_loader" /s /i:cameras=3 "$bin64/OrvaneCam.dll"
check "the 32-bit DLL registers three cameras with the 32-bit regsvr32" \
  wine_regsvr32 "$wine32_loader" /s /i:cameras=3 "$bin32/OrvaneCam.dll"
check "a 32-bit client lists OrvaneCam" lists "$bin32" OrvaneCam
check "a 64-bit client lists OrvaneCam" lists "$bin64" OrvaneCam
check "a 32-bit client lists OrvaneCam 3" lists "$bin32" "OrvaneCam 3"

check_feeds "64-bit producer, 32-bit client" "$bin64" "$bin32"
check_feeds "32-bit producer, 64-bit client" "$bin32" "$bin64"
check_feeds "64-bit producer, 32-bit client of camera 3" "$bin64" "$bin32" 3 "OrvaneCam 3"

program "$bin32" orvanecam-send --seconds 0 --name "Both Views" >>send.log 2>&1
check "a rename by a 32-bit producer reaches the 64-bit client's list" lists "$bin64" "Both Views"
check "and the 32-bit client's list" lists "$bin32" "Both Views"
program "$bin64" orvanecam-send --seconds 0 --name OrvaneCam >>send.log 2>&1

wine_regsvr32 "$wine32_loader" /s /u "$bin32/OrvaneCam.dll" >/dev/null 2>&1
check "unregistering the 32-bit DLL removes it from 32-bit clients" not_lists "$bin32" OrvaneCam
check "and leaves it listed for 64-bit clients" lists "$bin64" OrvaneCam
wine_regsvr32 "$wine32_loader" /s "$bin32/OrvaneCam.dll" >/dev/null 2>&1
wine_regsvr32 "$wine64_loader" /s /u "$bin64/OrvaneCam.dll" >/dev/null 2>&1
check "unregistering the 64-bit DLL removes it from 64-bit clients" not_lists "$bin64" OrvaneCam
check "and leaves it listed for 32-bit clients" lists "$bin32" OrvaneCam

finish_with_logs ./*.log
