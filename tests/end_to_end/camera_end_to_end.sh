#!/usr/bin/env bash
# The camera end to end with real processes, as users meet it: registration, a capture client
# that lists and opens the camera, a producer in another process, the vacant picture with no
# producer and after a producer is killed, settings changed by another producer process while a
# client streams (camera off and on, a custom vacant picture), a later client finding that
# picture through the registry, a media file played into a running client, renaming, and
# unregistration.
# Usage: camera_end_to_end.sh BIN_DIR linux|windows   (windows: the programs run under Wine)
set -uo pipefail
bin="$1"
mode="$2"
# shellcheck source=tests/end_to_end/programs.sh
source "$(dirname "${BASH_SOURCE[0]}")/programs.sh"  # with the shared settings (repo_root)
enter_work_folder
export ORVANECAM_OBJECT_SUFFIX="_e2e$$"
export ORVANECAM_REGISTRY_ROOT="$work/registry"  # the Linux store; Wine has its own registry
producer=""

cleanup() {
  [ -n "$producer" ] && kill -9 "$producer" 2>/dev/null
  wait 2>/dev/null
  forget_user_settings
  forget_shared_objects
  rm -rf "$work"
}
trap cleanup EXIT

stop_producer() {
  { kill -9 "$producer" && wait "$producer"; } 2>/dev/null
  producer=""
}

forget_user_settings
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
stop_producer
wait "$capture"
check "frames arrive before the producer is killed" at_least "$(summary_field live killed)" 1
check "frames turn vacant once the producer is killed" \
  grep -Eq "^runs: .* vacant$" killed/summary.txt

program orvanecam-send --seconds 120 --size 320x240 --output 320x240 >>send.log 2>&1 &
producer=$!
make_grey_bitmap grey.bmp
sleep 2
program orvanecam-capture --frames 180 --out switched >switched.log 2>&1 &
capture=$!
sleep 2
program orvanecam-send --seconds 0 --camera off >>settings.log 2>&1
sleep 1
program orvanecam-send --seconds 0 --vacant "$(native_path "$work/grey.bmp")" >>settings.log 2>&1
sleep 1
program orvanecam-send --seconds 0 --camera on >>settings.log 2>&1
wait "$capture"
stop_producer
check "camera off, a custom vacant picture and camera on reach a running client in turn" \
  grep -Eq "^runs: .*live.* vacant.* other.* live" switched/summary.txt

program orvanecam-capture --frames 15 --out later >later.log 2>&1
check "a client on a fresh block shows the vacant picture named in the registry" \
  equals "$(summary_field other later)" 15

program orvanecam-capture --frames 60 --out played >played.log 2>&1 &
capture=$!
sleep 1
program orvanecam-send --play "$(native_path "$bin/test-media/clip.mp4")" >>settings.log 2>&1
wait "$capture"
check "a clip played by a producer reaches a running client" \
  at_least "$(summary_field other played)" 20

program orvanecam-send --seconds 0 --name " Studio: Cam? " >>settings.log 2>&1
program orvanecam-capture --list 2>&1 | tr -d '\r' >list-renamed.txt
check "a renamed camera is listed under its cleaned name" grep -qx "  Studio Cam" list-renamed.txt

register unregister >/dev/null
program orvanecam-capture --list 2>&1 | tr -d '\r' >list-after.txt
check "unregistering removes the device" bash -c "! grep -q 'Studio Cam' list-after.txt"

finish_with_logs list.txt idle.log live.log killed.log switched.log later.log played.log \
  settings.log list-renamed.txt send.log
