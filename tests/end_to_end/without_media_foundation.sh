#!/usr/bin/env bash
# The DirectShow camera where Media Foundation is absent (Windows N editions, Server Core), as a
# user meets it: with mfplat switched off in Wine, the module registers, a capture client lists
# the camera and captures from it, and it unregisters.
# Usage: without_media_foundation.sh BIN_DIR
set -uo pipefail
bin="$1"
# shellcheck source=tests/end_to_end/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"  # with the shared settings (repo_root)
enter_work_folder
export ORVANECAM_OBJECT_SUFFIX="_no_mf$$"
export WINEDLLOVERRIDES="mfplat=d"
dll="$bin/OrvaneCam.dll"
trap 'wine_regsvr32 "$ORVANECAM_WINE" /s /u "$dll" >/dev/null 2>&1; rm -rf "$work"' EXIT
capture() { "$repo_root/scripts/wine-run.sh" "$ORVANECAM_WINE" "$bin/orvanecam-capture.exe" "$@" 2>&1 | tr -d '\r'; }

check "the module registers" wine_regsvr32 "$ORVANECAM_WINE" /s "$dll"
capture --list >list.txt
check "a video input device named OrvaneCam is listed" grep -qx "  OrvaneCam" list.txt
capture --frames 10 --out frames >capture.log
check "a DirectShow client captures its frames" equals "$(summary_field vacant frames)" 10
check "the module unregisters" wine_regsvr32 "$ORVANECAM_WINE" /s /u "$dll"
finish_with_logs list.txt capture.log
