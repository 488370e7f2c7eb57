#!/usr/bin/env bash
# The main job: builds the Linux preset and shows frames crossing processes. A producer process
# publishes a moving 1080x1920 NV12 pattern at 30 frames per second for three seconds while a
# separate reader process reports, once a second, what it took from the shared frame block.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=scripts/common.sh
source "$here/common.sh"

"$here/setup.sh"
cd "$repo_root"
cmake --preset linux >/dev/null
cmake --build --preset linux --target orvanecam-exchange-demo

demo="$repo_root/build/linux/bin/orvanecam-exchange-demo"
"$demo" read --seconds 5 &
reader=$!
sleep 0.5
"$demo" produce --seconds 3 --fps 30
wait "$reader"
