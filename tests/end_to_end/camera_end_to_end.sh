#!/usr/bin/env bash
# The camera end to end with real processes, as users meet it: registration, a capture client
# that lists and opens the camera, a producer in another process, the vacant picture with no
# producer and after a producer is killed, and unregistration.
# Usage: camera_end_to_end.sh BIN_DIR linux|windows   (windows: the programs run under Wine)
set -uo pipefail
bin="$1"
mode="$2"
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
cd "$work" || exit 1
export ORVANECAM_OBJECT_SUFFIX="_e2e$$"
export ORVANECAM_REGISTRY_ROOT="$work/registry"  # the Linux store; Wine has its own registry
failures=0
producer=""

cleanup() {
  [ -n "$producer" ] && kill -9 "$producer" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Runs one of our programs. In a background job it becomes the program, so that $! is the
# program's own process id (and killing it kills the program, not a shell around it).
program() {
  local name="$1"
  shift
  local command=("$bin/$name" "$@")
  [ "$mode" = windows ] && command=("$repo_root/scripts/wine-run.sh" "$bin/$name.exe" "$@")
  if [ "$BASHPID" != "$$" ]; then exec "${command[@]}"; fi
  "${command[@]}"
}

# register, or with an argument unregister, as an installer does.
register() {
  if [ "$mode" = windows ]; then
    "$repo_root/scripts/wine-run.sh" regsvr32 /s ${1:+/u} "$(winepath -w "$bin/OrvaneCam.dll")"
  else
    "$bin/orvanecam-register" ${1:+--unregister}
  fi
}

summary_field() {
  awk -v key="$1:" '$1 == key { print $2 }' "$2/summary.txt" 2>/dev/null
}

check() {
  local what="$1"
  shift
  if "$@" >/dev/null 2>&1; then
    echo "ok:   $what"
  else
    echo "FAIL: $what"
    failures=$((failures + 1))
  fi
}

at_least() { [ "${1:-0}" -ge "$2" ] 2>/dev/null; }
equals() { [ "${1:-x}" = "$2" ]; }

check "the module registers" register
program orvanecam-capture --list 2>&1 | tr -d '\r' >list.txt
check "a video input device named OrvaneCam is listed" grep -qx "  OrvaneCam" list.txt

program orvanecam-capture --frames 15 --out idle >idle.log 2>&1
check "with no producer every frame is the black vacant picture" \
  equals "$(summary_field vacant idle)" 15

program orvanecam-send --seconds 120 --size 320x240 --output 320x240 >send.log 2>&1 &
producer=$!
sleep 2
program orvanecam-capture --frames 45 --out live >live.log 2>&1
check "a separate producer's frames arrive at the size it set" grep -q "NV12 320x240" live/summary.txt
check "at least 30 of 45 frames show the producer's bars" at_least "$(summary_field live live)" 30
check "no frame is anything but bars or vacant" equals "$(summary_field other live)" 0

program orvanecam-capture --frames 90 --out killed >killed.log 2>&1 &
capture=$!
sleep 2
{ kill -9 "$producer" && wait "$producer"; } 2>/dev/null
producer=""
wait "$capture"
check "frames arrive before the producer is killed" at_least "$(summary_field live killed)" 1
check "frames turn vacant once the producer is killed" \
  grep -Eq "^runs: .* vacant$" killed/summary.txt

register unregister >/dev/null
program orvanecam-capture --list 2>&1 | tr -d '\r' >list-after.txt
check "unregistering removes the device" bash -c "! grep -qx '  OrvaneCam' list-after.txt"

if [ "$failures" -ne 0 ]; then
  for log in list.txt idle.log live.log killed.log send.log; do
    echo "--- $log"
    cat "$log" 2>/dev/null
  done
  exit 1
fi
