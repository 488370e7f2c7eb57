#!/usr/bin/env bash
# Makes the package Windows users install: dist/OrvaneCam-<version>-windows.zip with both DLLs
# and the tools of each bitness (x64/, x86/), the public header, the Python producer's wheel,
# install.cmd, uninstall.cmd and SHA256SUMS; beside it OrvaneCam-<version>-windows-symbols.zip
# with the binaries' debug information, which the stripped binaries name (a debug link).
# Binaries are signed with Authenticode when ORVANECAM_SIGN_PFX names a PKCS#12 certificate
# (password in ORVANECAM_SIGN_PASSWORD, time-stamped when ORVANECAM_SIGN_TIMESTAMP_URL is set),
# and each signature is verified.
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

version="$(project_version)"
[ -n "$version" ] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }
files=(OrvaneCam.dll orvanecam-send.exe orvanecam-capture.exe orvanecam-register.exe
       orvanecam-mfcamera.exe)

# Signs binary $1 in place and verifies the signature against the certificate.
sign() {
  local binary="$1" signed="$1.signed"
  local timestamp=()
  [ -n "${ORVANECAM_SIGN_TIMESTAMP_URL:-}" ] && timestamp=(-ts "$ORVANECAM_SIGN_TIMESTAMP_URL")
  osslsigncode sign -pkcs12 "$ORVANECAM_SIGN_PFX" -pass "${ORVANECAM_SIGN_PASSWORD:-}" \
    -n "OrvaneCam" "${timestamp[@]}" -in "$binary" -out "$signed" >/dev/null &&
    mv "$signed" "$binary" &&
    osslsigncode verify -CAfile "$certificate" -in "$binary" >/dev/null ||
    { echo "package: signing $binary failed" >&2; return 1; }
}

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
root="$stage/OrvaneCam-$version"
symbols="$stage/OrvaneCam-$version-symbols"
certificate=""
if [ -n "${ORVANECAM_SIGN_PFX:-}" ]; then
  # The certificate itself, to verify each signature against.
  certificate="$stage/certificate.pem"
  openssl pkcs12 -in "$ORVANECAM_SIGN_PFX" -passin "pass:${ORVANECAM_SIGN_PASSWORD:-}" \
    -nokeys -clcerts -out "$certificate" 2>/dev/null ||
    { echo "package: cannot read the certificate in $ORVANECAM_SIGN_PFX" >&2; exit 1; }
else
  echo "package: ORVANECAM_SIGN_PFX is not set; the binaries are not signed"
fi
for pair in x64:mingw-x64:x86_64 x86:mingw-x86:i686; do
  IFS=: read -r folder preset triplet <<<"$pair"
  if ((build)); then
    (cd "$repo_root" && cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset")
  fi
  mkdir -p "$root/$folder" "$symbols/$folder"
  for file in "${files[@]}"; do
    binary="$root/$folder/$file" debug="$symbols/$folder/$file.debug"
    cp "$repo_root/build/$preset/bin/$file" "$binary" ||
      { echo "package: $preset has no $file; build it first" >&2; exit 1; }
    # Debug information goes to the symbols archive; the binary keeps a link a debugger follows.
    "$triplet-w64-mingw32-objcopy" --only-keep-debug "$binary" "$debug"
    "$triplet-w64-mingw32-strip" --strip-all "$binary"
    (cd "$symbols/$folder" && "$triplet-w64-mingw32-objcopy" --add-gnu-debuglink="$file.debug" \
      "$binary")
    if [ -n "$certificate" ]; then sign "$binary" || exit 1; fi
  done
done
mkdir -p "$root/include/orvanecam"
cp "$repo_root/include/orvanecam/orvanecam.h" "$root/include/orvanecam/"
build_python_wheel "$root/python"
# Command scripts keep Windows line endings, which cmd's labels and blocks depend on.
for script in install.cmd uninstall.cmd; do
  sed -e "s/@ORVANECAM_VERSION@/$version/" -e 's/\r*$/\r/' "$repo_root/packaging/windows/$script" \
    >"$root/$script"
done

(cd "$root" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort |
  xargs sha256sum >SHA256SUMS)

mkdir -p "$out"
zip_file="$out/OrvaneCam-$version-windows.zip"
symbols_file="$out/OrvaneCam-$version-windows-symbols.zip"
rm -f "$zip_file" "$symbols_file"
(cd "$stage" && zip -q -r -X "$zip_file" "OrvaneCam-$version" &&
  zip -q -r -X "$symbols_file" "OrvaneCam-$version-symbols")
echo "$zip_file"
echo "$symbols_file"
