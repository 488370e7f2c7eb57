#!/usr/bin/env bash
# Makes the package Windows users install: dist/OrvaneCam-<version>-windows.zip with both DLLs
# and the tools of each bitness (x64/, x86/), the public header, the Python producer's wheel,
# install.cmd and uninstall.cmd.
# Builds the mingw-x64 and mingw-x86 presets first unless --prebuilt is given.
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

version="$(sed -n 's/^project(OrvaneCam VERSION \([0-9.]*\).*/\1/p' "$repo_root/CMakeLists.txt")"
[ -n "$version" ] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }
files=(OrvaneCam.dll orvanecam-send.exe orvanecam-capture.exe orvanecam-register.exe
       orvanecam-mfcamera.exe)

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
root="$stage/OrvaneCam-$version"
for pair in x64:mingw-x64 x86:mingw-x86; do
  folder="${pair%%:*}" preset="${pair##*:}"
  if ((build)); then
    (cd "$repo_root" && cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset")
  fi
  mkdir -p "$root/$folder"
  for file in "${files[@]}"; do
    cp "$repo_root/build/$preset/bin/$file" "$root/$folder/" ||
      { echo "package: $preset has no $file; build it first" >&2; exit 1; }
  done
done
mkdir -p "$root/include/orvanecam"
cp "$repo_root/include/orvanecam/orvanecam.h" "$root/include/orvanecam/"
build_python_wheel "$root/python"
# Command scripts keep Windows line endings, which cmd's labels and blocks depend on.
for script in install.cmd uninstall.cmd; do
  sed 's/\r*$/\r/' "$repo_root/packaging/windows/$script" >"$root/$script"
done

mkdir -p "$out"
zip_file="$out/OrvaneCam-$version-windows.zip"
rm -f "$zip_file"
(cd "$stage" && zip -q -r -X "$zip_file" "OrvaneCam-$version")
echo "$zip_file"
