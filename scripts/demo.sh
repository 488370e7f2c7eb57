#!/usr/bin/env bash
# The main job: builds the Linux preset, registers the camera (into a registry store under the
# build folder), and runs a capture client and producers as separate processes. A producer sends
# sliding colour bars for five seconds; meanwhile another producer call switches the camera off
# (the clients show the vacant picture) and on again. Then a producer plays a four-second clip
# with sound (made at build time) through the camera. The client keeps what it receives in
# demo-output/: capture.y4m, PNG snapshots and summary.txt.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/setup.sh"
# After the set-up: the shared settings need the CMake it installs.
# shellcheck source=scripts/common.sh
source "$here/common.sh"
cd "$repo_root"
cmake --preset linux >/dev/null
cmake --build --preset linux --target orvanecam orvanecam-register orvanecam-send orvanecam-capture \
  demo_clip
start_sound_server

bin="$repo_root/build/linux/bin"
export ORVANECAM_REGISTRY_ROOT="$repo_root/build/linux/demo-registry"
output="$repo_root/demo-output"
rm -rf "$output"

"$bin/orvanecam-register"
# The producer sets the camera's output size before the client negotiates its format.
"$bin/orvanecam-send" --seconds 5 --size 640x360 --output 640x360 &
producer=$!
sleep 0.5
"$bin/orvanecam-capture" --frames 330 --out "$output" &
client=$!
sleep 1.5
echo "demo: camera off"
"$bin/orvanecam-send" --seconds 0 --show off
sleep 1.5
echo "demo: camera on"
"$bin/orvanecam-send" --seconds 0 --show on
wait "$producer"
sleep 0.5
"$bin/orvanecam-send" --play "$bin/demo-media/clip.mp4"
wait "$client"

echo
echo "demo-output/ holds the capture: summary.txt, frame-NNNN.png snapshots, and capture.y4m"
echo "(play it with: ffplay demo-output/capture.y4m)."
