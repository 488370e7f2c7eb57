#!/usr/bin/env bash
# Three cameras registered at once, as users meet them: each listed under its own name, two
# producer processes feeding cameras 1 and 3 at once while camera 2 shows its own vacant picture,
# settings and a rename on camera 3 that leave the others alone, a producer killed on camera 3
# while camera 1's client streams on, and re-registration with fewer cameras, then none.
# Usage: several_cameras.sh BIN_DIR linux|windows   (windows: the programs run under Wine)
set -uo pipefail
bin="$1"
mode="$2"
# shellcheck source=tests/end_to_end/programs.sh
source "$(dirname "${BASH_SOURCE[0]}")/programs.sh"  # with the shared settings (repo_root)
enter_work_folder
export ORVANECAM_OBJECT_SUFFIX="_cams$$"
export ORVANECAM_REGISTRY_ROOT="$work/registry"  # the Linux store; Wine has its own registry
producers=()

cleanup() {
  local pid
  for pid in "${producers[@]}"; do kill -9 "$pid" 2>/dev/null; done
  wait 2>/dev/null
  register_cameras 0 >/dev/null 2>&1
  forget_user_settings
  forget_shared_objects
  rm -rf "$work"
}
trap cleanup EXIT

# register_cameras N: cameras 1..N as an installer registers them; 0 unregisters every camera.
register_cameras() {
  if [ "$mode" = windows ]; then
    if [ "$1" = 0 ]; then
      wine_regsvr32 "$ORVANECAM_WINE" /s /u "$bin/OrvaneCam.dll"
    else
      wine_regsvr32 "$ORVANECAM_WINE" /s /n "/i:cameras=$1" "$bin/OrvaneCam.dll"
    fi
  elif [ "$1" = 0 ]; then
    "$bin/orvanecam-register" --unregister
  else
    "$bin/orvanecam-register" --cameras "$1"
  fi
}

listed() {
  program orvanecam-capture --list 2>&1 | tr -d '\r' | grep -qx "  $1"
}
not_listed() { ! listed "$1"; }
refused() { ! register_cameras "$1"; }

# capture NAME OUT [FRAMES]: a client of the device listed as NAME, its summary in OUT.
capture() {
  program orvanecam-capture --device "$1" --frames "${3:-30}" --out "$2" >"$2.log" 2>&1
}

# feed CAMERA SIZE: a producer process of moving bars at that output size, in the background.
feed() {
  program orvanecam-send --camera "$1" --seconds 120 --size "$2" --output "$2" >>send.log 2>&1 &
  producers+=($!)
}

forget_user_settings
check "registration with cameras=17 is refused" refused 17
check "... and registers nothing" not_listed OrvaneCam
check "three cameras register" register_cameras 3
for name in OrvaneCam "OrvaneCam 2" "OrvaneCam 3"; do
  check "a device named $name is listed" listed "$name"
done

make_grey_bitmap grey.bmp
program orvanecam-send --camera 2 --seconds 0 --vacant "$(native_path "$work/grey.bmp")" \
  >>settings.log 2>&1
capture OrvaneCam first-idle 10
check "camera 2's vacant picture leaves camera 1's black" \
  equals "$(summary_field vacant first-idle)" 10

feed 1 320x240
feed 3 160x120
sleep 2
capture OrvaneCam first
if [ "$mode" = linux ]; then
  # Each block is 96 MiB: a client pays for the cameras it opens, not for every one registered.
  program orvanecam-capture --device "OrvaneCam 3" --frames 60 --out mapped >mapped.log 2>&1 &
  client=$!
  sleep 1
  check "a client of camera 3 maps camera 3's block and no other" \
    equals "$(grep -c FromToSharedMemory "/proc/$client/maps")" 1
  wait "$client"
fi
capture "OrvaneCam 3" third
capture "OrvaneCam 2" second
check "camera 1's client gets its producer's size" grep -q "NV12 320x240" first/summary.txt
check "... and its bars" at_least "$(summary_field live first)" 20
check "camera 3's client gets its own producer's size" grep -q "NV12 160x120" third/summary.txt
check "... and its bars" at_least "$(summary_field live third)" 20
check "camera 2, with no producer, shows its own vacant picture" \
  equals "$(summary_field other second)" 30

program orvanecam-send --camera 3 --seconds 0 --show off --name Slides >>settings.log 2>&1
sleep 1
check "camera 3 renamed is listed under its new name" listed Slides
check "... camera 1 keeps its name" listed OrvaneCam
check "... and so does camera 2" listed "OrvaneCam 2"
capture Slides third-off
check "camera 3 switched off shows its vacant picture" equals "$(summary_field vacant third-off)" 30
capture OrvaneCam first-on
check "camera 1 stays on" at_least "$(summary_field live first-on)" 20

program orvanecam-capture --device OrvaneCam --frames 90 --out first-steady >steady.log 2>&1 &
client=$!
sleep 2
{ kill -9 "${producers[1]}" && wait "${producers[1]}"; } 2>/dev/null
wait "$client"
check "a producer killed on camera 3 leaves camera 1's client streaming bars" \
  at_least "$(summary_field live first-steady)" 80

check "registering two cameras removes the third" register_cameras 2
check "... which is no longer listed" not_listed Slides
check "... while camera 2 stays" listed "OrvaneCam 2"
check "unregistering removes every camera" register_cameras 0
check "... camera 1" not_listed OrvaneCam
check "... and camera 2" not_listed "OrvaneCam 2"

finish_with_logs ./*.log
