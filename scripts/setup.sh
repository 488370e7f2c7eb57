#!/usr/bin/env bash
# Prepares a Debian 12 machine for every build, test and the demo. Safe to run again:
# installs only what is missing and reuses an initialised Wine prefix.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

packages=(
  cmake ninja-build g++ dpkg-dev clang-format
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libyuv-dev pkg-config
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
  libpulse-dev pulseaudio ffmpeg nasm
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  libz-mingw-w64-dev zip unzip osslsigncode openssl
  python3 python3-numpy python3-pytest python3-build python3-setuptools python3-wheel
  pipewire pipewire-bin wireplumber libpipewire-0.3-dev dbus
  gstreamer1.0-pipewire gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  gir1.2-gst-rtsp-server-1.0 python3-gi
  wine wine64 wine32:i386
)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive

# The 32-bit DLL's tests need 32-bit Wine, which comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture"
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi

missing=()
for pkg in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The shared settings need CMake, installed above.
# shellcheck source=scripts/common.sh
source "$here/common.sh"
prepare_wine_prefix
# The Windows libraries the MinGW presets link; cheap when the cache is current.
for arch in x86_64 i686; do "$here/build-windows-deps.sh" "$arch"; done
echo "setup: ready (Wine prefix $WINEPREFIX, Windows libraries in $cache_root/windows-deps)"
