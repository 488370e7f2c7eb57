#!/usr/bin/env bash
# Generates the small media files the media tests play, with FFmpeg's test sources, into $1.
set -euo pipefail
out="$1"
mkdir -p "$out"
cd "$out"
ff() { ffmpeg -nostdin -v error -y "$@"; }
video() { echo "testsrc2=size=$1:rate=$2:duration=$3"; }

# H.264 with 44,100 Hz mono AAC, one second at 25 frames per second.
ff -f lavfi -i "$(video 320x240 25 1)" -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=1" \
  -ac 1 -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest clip.mp4
# VP9 with Opus in WebM.
ff -f lavfi -i "$(video 160x120 10 1)" -f lavfi -i "sine=frequency=660:sample_rate=48000:duration=1" \
  -c:v libvpx-vp9 -deadline realtime -c:a libopus -shortest clip.webm
# Sound only.
ff -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=0.5" sound.wav
# Sizes the camera must round, refuse or clip (PNG frames in MOV take any size), silent.
ff -f lavfi -i "$(video 1921x1081 10 0.2)" -c:v png odd.mov
ff -f lavfi -i "$(video 4098x16 10 0.2)" -c:v png wide4098.mov
ff -f lavfi -i "$(video 4097x16 10 0.2)" -c:v png wide4097.mov
ff -f lavfi -i "color=c=red:size=64x2:rate=10:duration=0.2,format=rgb24,scale=64:1" -c:v png thin.mov
# Pictures: a still of odd size, and three frames 100 ms apart.
ff -f lavfi -i "$(video 641x481 1 1)" -frames:v 1 picture.png
ff -f lavfi -i "$(video 64x48 10 1)" -frames:v 3 animated.gif
# A sound track no decoder knows: PCM in AVI whose audio format tag is rewritten.
ff -f lavfi -i "$(video 64x48 10 0.5)" -f lavfi -i "sine=sample_rate=8000:duration=0.5" \
  -c:v mjpeg -c:a pcm_s16le -shortest unknown-sound.avi
audio_format=$(grep -obUa strf unknown-sound.avi | sed -n 2p | cut -d: -f1)
printf '\x21\x7a' | dd of=unknown-sound.avi bs=1 seek=$((audio_format + 8)) conv=notrunc status=none
# A stream whose picture grows mid-stream (and whose clock starts again there): two MPEG-TS
# pieces of different sizes, one after the other.
ff -f lavfi -i "$(video 320x240 25 1)" -c:v mpeg2video -f mpegts small.ts
ff -f lavfi -i "$(video 640x360 25 1)" -c:v mpeg2video -f mpegts large.ts
cat small.ts large.ts > sizes.ts
rm small.ts large.ts
