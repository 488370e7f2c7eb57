#!/usr/bin/env bash
# Runs a Windows program under the project's Wine prefix: wine-run.sh LOADER PROGRAM ARGS..., the
# loader being Wine's of the program's bitness (each toolchain file names its own); used by ctest
# as the emulator.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
exec "$@"
