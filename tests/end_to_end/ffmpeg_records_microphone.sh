#!/usr/bin/env bash
# FFmpeg's DirectShow input records a camera's microphone as its users do, against the registered
# DLL under Wine: "OrvaneCam Microphone" is listed among the audio devices; with no producer it
# records silence at 48 kHz stereo without gaps; a producer's 1 kHz tone is recorded at its pitch
# and level, at the 48 kHz it is sent and at the 44.1 kHz mono and buffer size FFmpeg can ask for.
# Usage: ffmpeg_records_microphone.sh BIN_DIR FFMPEG_EXE
set -uo pipefail
bin="$1"
ffmpeg="$2"
# shellcheck source=tests/end_to_end/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"  # with the shared settings (repo_root)
enter_work_folder
export ORVANECAM_OBJECT_SUFFIX="_mic$$"
wine_run=("$repo_root/scripts/wine-run.sh" "$ORVANECAM_WINE")
dll="$bin/OrvaneCam.dll"
producer=""

cleanup() {
  [ -n "$producer" ] && kill -9 "$producer" 2>/dev/null
  wait 2>/dev/null
  wine_regsvr32 "$ORVANECAM_WINE" /s /u "$dll" >/dev/null 2>&1
  forget_shared_objects
  rm -rf "$work"
}
trap cleanup EXIT
wine_regsvr32 "$ORVANECAM_WINE" /s "$dll" || { echo "FAIL: registration"; exit 1; }

"${wine_run[@]}" "$ffmpeg" -hide_banner -nostdin -list_devices true -f dshow -i dummy \
  >devices.log 2>&1
check "FFmpeg lists the microphone among the audio devices" \
  grep -q '"OrvaneCam Microphone" (audio)' devices.log

# record NAME SECONDS [DSHOW OPTIONS...]: the microphone's sound as it comes, into NAME.wav.
record() {
  local name="$1" seconds="$2"
  shift 2
  "${wine_run[@]}" "$ffmpeg" -hide_banner -nostdin -f dshow "$@" -i "audio=OrvaneCam Microphone" \
    -t "$seconds" -c:a copy -f wav "$(winepath -w "$work/$name.wav")" >>record.log 2>&1
}
# The rate, channels, frames, loudest sample and frequency (from the zero crossings of the first
# channel) of a recording, past its first half second.
measure() {
  /usr/bin/python3 - "$1" <<'PY'
import sys, wave
import numpy as np
try:
    with wave.open(sys.argv[1]) as recording:
        rate, channels = recording.getframerate(), recording.getnchannels()
        frames = recording.getnframes()
        samples = np.frombuffer(recording.readframes(frames), np.int16)
except (OSError, EOFError, wave.Error):
    print("0 0 0 0 0")
    sys.exit()
first = samples.reshape(-1, channels)[rate // 2:, 0].astype(np.int32)
crossings = np.count_nonzero(np.diff(np.signbit(first)))
hz = crossings * rate // (2 * max(len(first), 1))
print(rate, channels, frames, np.abs(first).max(initial=0), hz)
PY
}
near() { [ "${1:-0}" -ge "$2" ] && [ "$1" -le "$3" ]; }

record silent 3
read -r rate channels frames peak _ <<<"$(measure silent.wav)"
echo "no producer: ${rate} Hz, ${channels} channels, ${frames} frames, peak ${peak}"
check "with no producer the microphone records silence" equals "$peak" 0
check "... at 48 kHz stereo" equals "$rate/$channels" 48000/2
# Three seconds of stamps without gaps hold three seconds of frames (FFmpeg cuts at a buffer).
check "... without gaps" near "$frames" 141000 146000

"${wine_run[@]}" "$bin/orvanecam-send.exe" --tone 1000 --seconds 120 >send.log 2>&1 &
producer=$!
# Sending once its first second of frames (and of tone) is out; Wine may take a while to start it.
for tries in $(seq 1 150); do grep -q "sent 30 frames" send.log 2>/dev/null && break; sleep 0.2; done
record tone 3
read -r rate channels frames peak hz <<<"$(measure tone.wav)"
echo "tone at 48 kHz: ${hz} Hz, peak ${peak}, ${frames} frames"
check "a producer's 1 kHz tone is recorded at its pitch" near "$hz" 980 1020
check "... at the level sent" near "$peak" 7800 8300
record mono 3 -sample_rate 44100 -channels 1 -audio_buffer_size 50
read -r rate channels frames peak hz <<<"$(measure mono.wav)"
echo "tone at 44.1 kHz mono in 50 ms buffers: ${hz} Hz, peak ${peak}, ${rate} Hz, ${channels} ch"
check "FFmpeg's 44.1 kHz mono is recorded so" equals "$rate/$channels" 44100/1
check "... with the tone at its pitch" near "$hz" 980 1020

finish_with_logs send.log record.log
