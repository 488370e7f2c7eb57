#!/usr/bin/env bash
# Makes the demo's media file $1: four seconds of FFmpeg's test picture with a tone, H.264 and
# AAC in MP4, at the camera size the demo uses.
set -euo pipefail
mkdir -p "$(dirname "$1")"
ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=size=640x360:rate=30:duration=4" \
  -f lavfi -i "sine=frequency=523:sample_rate=48000:duration=4" \
  -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest "$1"
