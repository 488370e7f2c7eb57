#!/usr/bin/env bash
# Each camera's microphone as a Linux application records it, in a private PipeWire session: with
# two cameras registered the bridge publishes "OrvaneCam Microphone" and "OrvaneCam 2
# Microphone"; a recorder (pw-record) of camera 2's gets silence while nobody sends, and each
# gets its own producer's tone (1 kHz and 440 Hz) at the level sent.
# Usage: microphone_pipewire.sh BIN_DIR
set -uo pipefail
bin="$1"
# shellcheck source=tests/end_to_end/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"  # with the shared settings (repo_root)
enter_work_folder
export ORVANECAM_OBJECT_SUFFIX="_mic$$"
export ORVANECAM_REGISTRY_ROOT="$work/registry"
processes=()

cleanup() {
  local process
  for process in "${processes[@]}"; do kill -9 "$process" 2>/dev/null; done
  stop_pipewire_session
  wait 2>/dev/null
  forget_shared_objects
  rm -rf "$work"
}
trap cleanup EXIT
start_pipewire_session || exit 1
"$bin/orvanecam-register" --cameras 2 >/dev/null || { echo "FAIL: registration"; exit 1; }
"$bin/orvanecam-pipewire" >bridge.log 2>&1 &
processes+=($!)
listed() {
  for tries in $(seq 1 50); do
    pw-cli ls Node 2>/dev/null | grep -A8 "node.name = \"$1\"" | grep -q "Audio/Source" && return 0
    sleep 0.2
  done
  return 1
}
check "camera 1's microphone is an Audio/Source node" listed "OrvaneCam Microphone"
check "camera 2's microphone is an Audio/Source node" listed "OrvaneCam 2 Microphone"

# record NODE FILE: two seconds of the node's sound as PipeWire's own recorder takes it, 48 kHz
# stereo 16-bit WAV.
record() {
  timeout -s INT 2 pw-record --target "$1" --rate 48000 --channels 2 --format s16 "$2" \
    >>record.log 2>&1
  return 0
}
# The loudest sample and the frequency (from zero crossings) of the last second of a recording.
measure() {
  /usr/bin/python3 - "$1" <<'PY'
import sys
import numpy as np
samples = np.fromfile(sys.argv[1], np.int16)[22:]  # past the WAV header
samples = samples[:len(samples) // 2 * 2].reshape(-1, 2)[-48000:, 0].astype(np.int32)
crossings = np.count_nonzero(np.diff(np.signbit(samples)))
print("frames %d peak %d hz %d" % (len(samples), np.abs(samples).max(initial=0), crossings * 48000 // (2 * max(len(samples), 1))))
PY
}
near() { [ "${1:-0}" -ge "$2" ] && [ "$1" -le "$3" ]; }

record "OrvaneCam 2 Microphone" silent.wav
read -r _ frames _ peak _ _ <<<"$(measure silent.wav)"
check "a microphone nobody sends to records silence" equals "$peak" 0
check "... and does not stall its recorder" at_least "${frames:-0}" 48000

"$bin/orvanecam-send" --camera 1 --tone 1000 --seconds 60 >>send.log 2>&1 &
processes+=($!)
"$bin/orvanecam-send" --camera 2 --tone 440 --seconds 60 >>send.log 2>&1 &
processes+=($!)
sleep 1
record "OrvaneCam Microphone" first.wav
record "OrvaneCam 2 Microphone" second.wav
read -r _ _ _ peak1 _ hz1 <<<"$(measure first.wav)"
read -r _ _ _ peak2 _ hz2 <<<"$(measure second.wav)"
echo "camera 1: ${hz1} Hz, peak ${peak1}; camera 2: ${hz2} Hz, peak ${peak2}"
check "camera 1's microphone records its producer's 1 kHz tone" near "$hz1" 980 1020
check "camera 2's microphone records its producer's 440 Hz tone" near "$hz2" 430 450
check "... at the level sent" near "$peak1" 7800 8300

finish_with_logs bridge.log send.log record.log
