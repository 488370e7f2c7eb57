#!/usr/bin/env bash
# Builds the Python package's wheel offline, as a user would, and runs the package's tests from the
# unpacked wheel against the module build in BIN_DIR (its capture and registration tools too).
# Usage: python_package.sh BIN_DIR
set -euo pipefail
bin="$1"
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# shellcheck source=scripts/common.sh
source "$repo_root/scripts/common.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

build_python_wheel "$work/dist" || exit 1
wheel=("$work"/dist/orvanecam-*-py3-none-any.whl)
[ -f "${wheel[0]}" ] || { echo "no pure-Python wheel was built"; ls "$work/dist"; exit 1; }
"$system_python" -m zipfile -e "${wheel[0]}" "$work/site"

cd "$work"
PYTHONPATH="$work/site" ORVANECAM_BIN="$bin" \
  "$system_python" -m pytest -q -p no:cacheprovider "$repo_root/python/tests"
