#!/usr/bin/env bash
# Builds the Python package's wheel offline, as a user would, and runs the package's tests from the
# unpacked wheel against the module build in BIN_DIR (its capture and registration tools too).
# Usage: python_package.sh BIN_DIR
set -euo pipefail
bin="$1"
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# Debian's Python, whose numpy, pytest and build the set-up installs (not a user's own Python).
python=/usr/bin/python3
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Built from a copy, so that the source tree gains no build folders.
cp -r "$repo_root/python" "$work/source"
rm -rf "$work/source/tests" "$work/source/examples"
"$python" -m build --wheel --no-isolation --outdir "$work/dist" "$work/source" >"$work/build.log" 2>&1 ||
  { cat "$work/build.log"; exit 1; }
wheel=("$work"/dist/orvanecam-*-py3-none-any.whl)
[ -f "${wheel[0]}" ] || { echo "no pure-Python wheel was built"; ls "$work/dist"; exit 1; }
"$python" -m zipfile -e "${wheel[0]}" "$work/site"

cd "$work"
PYTHONPATH="$work/site" ORVANECAM_BIN="$bin" \
  "$python" -m pytest -q -p no:cacheprovider "$repo_root/python/tests"
