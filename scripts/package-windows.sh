#!/usr/bin/env bash
# Makes the package Windows users install with CPack (the contents are the install rules of
# cmake/packaging.cmake): dist/OrvaneCam-<version>-windows.zip and, beside it,
# OrvaneCam-<version>-windows-symbols.zip. Binaries are signed when ORVANECAM_SIGN_PFX names a
# PKCS#12 certificate (password in ORVANECAM_SIGN_PASSWORD, time-stamped when
# ORVANECAM_SIGN_TIMESTAMP_URL is set). Builds the mingw-x64 and mingw-x86 presets first unless
# --prebuilt is given.
# Usage: scripts/package-windows.sh [--prebuilt] [--out DIR]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=scripts/common.sh
source "$here/common.sh"

build=1
out="$repo_root/dist"
while (($#)); do
  case "$1" in
    --prebuilt) build=0 ;;
    --out) out="$2"; shift ;;
    *) echo "usage: $0 [--prebuilt] [--out DIR]" >&2; exit 2 ;;
  esac
  shift
done

if ((build)); then
  for preset in mingw-x64 mingw-x86; do
    (cd "$repo_root" && cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset")
  done
fi
[ -n "${ORVANECAM_SIGN_PFX:-}" ] && ORVANECAM_SIGN_PFX="$(realpath "$ORVANECAM_SIGN_PFX")"
mkdir -p "$out"
out="$(realpath "$out")"
version="$(project_version)"
rm -f "$out/OrvaneCam-$version-windows.zip" "$out/OrvaneCam-$version-windows-symbols.zip"
(cd "$repo_root/build/mingw-x86" && cpack -C RelWithDebInfo -B "$out/.cpack" >/dev/null) ||
  { echo "package: cpack failed" >&2; exit 1; }
mv "$out/.cpack/OrvaneCam-$version-windows.zip" "$out/.cpack/OrvaneCam-$version-windows-symbols.zip" \
  "$out/"
rm -rf "$out/.cpack"
echo "$out/OrvaneCam-$version-windows.zip"
echo "$out/OrvaneCam-$version-windows-symbols.zip"
