#!/usr/bin/env bash
# Runs a Windows program under the project's Wine prefix with the loader of its own bitness; used
# by ctest as the emulator.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
exec "$(wine_loader_for "$1")" "$@"
