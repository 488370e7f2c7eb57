#!/usr/bin/env bash
# The PipeWire bridge's processor time per 1080 x 1920 NV12 frame (a producer sending new frames
# at 30 fps, a GStreamer consumer taking 300 of them), as a ratio to the capture filter's own
# per-sample cost measured in the same run (filter_bench's streaming load). Both count only the
# camera's side: the producer, the consumer and the PipeWire daemon are left out.
# Usage: bench/pipewire_bridge_cost.sh [BIN_DIR]   (default build/linux/bin)
set -euo pipefail
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin="${1:-$repo_root/build/linux/bin}"
# shellcheck source=scripts/common.sh
source "$repo_root/scripts/common.sh"
export ORVANECAM_OBJECT_SUFFIX="_pwbench$$"
export ORVANECAM_REGISTRY_ROOT="$(mktemp -d)"
frames=300
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  stop_pipewire_session
  rm -rf "$ORVANECAM_REGISTRY_ROOT"
}
trap cleanup EXIT
start_pipewire_session

# User plus system time of a process, in clock ticks.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

"$bin/orvanecam-send" --size 1080x1920 --output 1080x1920 --seconds 120 >/dev/null 2>&1 &
pids+=($!)
sleep 1
"$bin/orvanecam-pipewire" >/dev/null 2>&1 &
bridge=$!
pids+=("$bridge")
sleep 1
before="$(ticks "$bridge")"
gst-launch-1.0 -q pipewiresrc target-object=OrvaneCam stream-properties="props,media.type=Video" \
  num-buffers="$frames" ! video/x-raw,format=NV12,width=1080,height=1920 ! fakesink
after="$(ticks "$bridge")"
bridge_ms="$(awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v n=$frames \
  'BEGIN { printf "%.3f", t / hz / n * 1000 }')"

# Only its streaming-load line is wanted: it exits non-zero for the ratios it was not asked for.
filter_ms="$("$bin/filter_bench" --benchmark_filter=NONE 2>/dev/null |
  sed -n 's/.*(\([0-9.]*\) ms per sample).*/\1/p' || true)"
echo "bridge: $bridge_ms ms of processor time per frame"
echo "capture filter: $filter_ms ms per sample"
awk -v b="$bridge_ms" -v f="$filter_ms" 'BEGIN { if (f > 0) printf "ratio: %.2f\n", b / f }'
