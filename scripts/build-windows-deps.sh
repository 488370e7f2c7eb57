#!/usr/bin/env bash
# Builds the Windows (MinGW) libraries the DLL links statically, from Debian's source packages,
# into a cache outside the source tree, one folder an architecture:
# $ORVANECAM_CACHE/windows-deps/<arch>/<builder>-<version>-<recipe>. Each library is rebuilt only
# when its Debian version or its recipe changes.
# Usage: scripts/build-windows-deps.sh [x86_64|i686]   (default x86_64)
set -euo pipefail
# The builds run inside command substitutions: a failure there must stop the script too.
shopt -s inherit_errexit
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=scripts/common.sh
source "$here/common.sh"

arch="${1:-x86_64}"
case "$arch" in
  x86_64) ffmpeg_cpu=x86_64 toolchain="$repo_root/cmake/mingw-x64.cmake" ;;
  i686) ffmpeg_cpu=x86 toolchain="$repo_root/cmake/mingw-x86.cmake" ;;
  *) echo "usage: $0 [x86_64|i686]" >&2; exit 2 ;;
esac
cross="$arch-w64-mingw32-"
deps_root="$cache_root/windows-deps/$arch"
jobs=2

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

# The machine's package sources list binary packages only: add source entries for the archives
# apt already reads for this release (as apt itself reports them).
enable_source_index() {
  if apt-get indextargets 2>/dev/null | grep -q 'Identifier: Sources'; then return; fi
  local codename list=/etc/apt/sources.list.d/orvanecam-deb-src.sources
  local keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
  echo "deps: enabling the $codename source index"
  apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' 'Identifier: Packages' |
    sort -u | while read -r uri release component; do
      [ "$release" = "$codename" ] || continue
      printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n' "$uri" "$release" "$component"
      [ -f "$keyring" ] && printf 'Signed-By: %s\n' "$keyring"
      echo
    done | "${sudo_cmd[@]}" tee "$list" >/dev/null
  "${sudo_cmd[@]}" apt-get update -qq
}

candidate_version() {
  { apt-cache showsrc "$1" 2>/dev/null || true; } | awk '/^Version:/ { print $2; exit }'
}

# Downloads and unpacks the source of package $1 into $2 (replaced if present).
fetch_source() {
  local package=$1 dir=$2 work
  work="$(mktemp -d)"
  (cd "$work" && apt-get source -qq "$package" >/dev/null 2>&1) ||
    { echo "deps: cannot fetch the source of $package" >&2; rm -rf "$work"; return 1; }
  rm -rf "$dir"
  mv "$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)" "$dir"
  rm -rf "$work"
}

build_libyuv() {
  local source=$1 prefix=$2
  local log="$source/build.log"
  { cmake -S "$source" -B "$source/build-mingw" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_DISABLE_FIND_PACKAGE_JPEG=ON &&
    cmake --build "$source/build-mingw" --target yuv -j "$jobs"; } >"$log" 2>&1 ||
    { cat "$log" >&2; return 1; }
  mkdir -p "$prefix/lib" "$prefix/include"
  cp "$source/build-mingw/libyuv.a" "$prefix/lib/"
  cp -r "$source/include/." "$prefix/include/"
}

# FFmpeg for the media sources: static libraries with the decoders, demuxers and parsers of the
# files and live streams people play through a camera, the network protocols of those streams
# with TLS through Windows' own Secure Channel, and no other library.
ffmpeg_decoders=(
  h264 hevc vp8 vp9 mpeg1video mpeg2video mpeg4 mjpeg prores theora rawvideo
  png apng bmp gif webp tiff
  aac mp3 mp3float mp2 mp2float opus vorbis flac alac ac3 eac3
  pcm_s16le pcm_s16be pcm_s24le pcm_s32le pcm_f32le pcm_u8 pcm_alaw pcm_mulaw
)
ffmpeg_demuxers=(
  mov matroska avi mpegts mpegps flv ogg wav yuv4mpegpipe
  h264 hevc m4v mpegvideo mjpeg ivf aac mp3 flac ac3 eac3
  image2 image_png_pipe image_jpeg_pipe image_bmp_pipe image_gif_pipe image_webp_pipe
  image_tiff_pipe gif apng
  nut rtsp rtp sdp hls
)
ffmpeg_protocols=(file pipe tcp udp http https tls httpproxy rtp rtmp rtmps crypto)
ffmpeg_parsers=(
  h264 hevc vp8 vp9 mpegvideo mpeg4video mjpeg png bmp gif webp
  aac mpegaudio opus vorbis flac ac3
)

# The target options both FFmpeg builds share.
ffmpeg_target=(
  --target-os=mingw32 --arch="$ffmpeg_cpu" --cross-prefix="$cross"
  --cc="${cross}gcc-posix" --cxx="${cross}g++-posix"
)

join_by_comma() {
  local IFS=,
  echo "$*"
}

build_ffmpeg() {
  local source=$1 prefix=$2
  local log="$source/build.log"
  # Windows' select reports a refused connection among the exceptions only: without them, FFmpeg
  # waits out its whole connection time-out for a port nobody listens on.
  sed -i 's/if (fds\[i\].events & POLLERR)$/if (fds[i].events \& (POLLERR | POLLOUT))/' \
    "$source/libavformat/os_support.c"
  grep -q 'POLLERR | POLLOUT' "$source/libavformat/os_support.c" ||
    { echo "deps: FFmpeg's poll emulation has changed; review its patch" >&2; return 1; }
  { (cd "$source" && ./configure --prefix="$prefix" "${ffmpeg_target[@]}" \
      --enable-static --disable-shared --disable-programs --disable-doc --enable-network \
      --disable-autodetect --disable-everything --enable-w32threads --enable-zlib \
      --enable-schannel --disable-avdevice --disable-avfilter --disable-postproc \
      --enable-swscale --enable-swresample \
      --enable-protocol="$(join_by_comma "${ffmpeg_protocols[@]}")" \
      --enable-decoder="$(join_by_comma "${ffmpeg_decoders[@]}")" \
      --enable-demuxer="$(join_by_comma "${ffmpeg_demuxers[@]}")" \
      --enable-parser="$(join_by_comma "${ffmpeg_parsers[@]}")") &&
    make -C "$source" -j "$jobs" && make -C "$source" install; } >"$log" 2>&1 ||
    { tail -n 40 "$log" >&2; return 1; }
}

# FFmpeg's own program with its DirectShow input, to test the camera and its microphone as FFmpeg
# users open them (the sound is copied into a WAV file as it comes); it runs under Wine in the
# tests and is not shipped.
dshow_ffmpeg_parts=(
  --enable-indev=dshow --enable-decoder=rawvideo,pcm_s16le --enable-encoder=rawvideo
  --enable-muxer=null,rawvideo,wav --enable-protocol=file,pipe --enable-bsf=null
  --enable-filter=buffer,buffersink,format,null,scale,trim
)

build_dshow_ffmpeg() {
  local source=$1 prefix=$2
  local log="$source/build.log"
  { (cd "$source" && ./configure --prefix="$prefix" "${ffmpeg_target[@]}" \
      --extra-ldflags=-static --enable-static --disable-shared --disable-doc --disable-network \
      --disable-autodetect \
      --disable-everything --enable-w32threads --disable-ffplay --disable-ffprobe \
      --disable-postproc --disable-swresample "${dshow_ffmpeg_parts[@]}") &&
    make -C "$source" -j "$jobs" ffmpeg.exe; } >"$log" 2>&1 ||
    { tail -n 40 "$log" >&2; return 1; }
  mkdir -p "$prefix/bin"
  cp "$source/ffmpeg.exe" "$prefix/bin/"
}

# The cache folder of package $1 built by build_$2: the builder, the Debian version and a
# fingerprint of the recipe (the build function, its option lists and the toolchain), so a
# changed recipe builds afresh.
cache_prefix() {
  local package=$1 builder=$2 version recipe
  version="$(candidate_version "$package")"
  [ -n "$version" ] || return 0
  recipe="$({ declare -f "build_$builder"; declare -p ffmpeg_target; cat "$toolchain" \
    "$repo_root/cmake/mingw-common.cmake"; for list in $(compgen -A variable "${builder}_"); do
    declare -p "$list"; done; } | sha1sum | cut -c1-8)"
  echo "$deps_root/$builder-${version//[^A-Za-z0-9.+-]/_}-$recipe"
}

# Builds package $1 with build_$2 unless the cache holds its current version and recipe.
ensure_library() {
  local package=$1 builder=$2 version prefix
  version="$(candidate_version "$package")"
  [ -n "$version" ] || { echo "deps: no source version for $package" >&2; return 1; }
  prefix="$(cache_prefix "$package" "$builder")"
  if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    return
  fi
  echo "deps: building $package $version for MinGW $arch" >&2
  mkdir -p "$deps_root"
  # Earlier versions or recipes of this build are of no further use.
  find "$deps_root" -mindepth 1 -maxdepth 1 -name "$builder-[0-9]*" -exec rm -rf {} +
  fetch_source "$package" "$deps_root/$builder-src"
  "build_$builder" "$deps_root/$builder-src" "$prefix"
  rm -rf "$deps_root/$builder-src"
  touch "$prefix/.complete"
  echo "$prefix"
}

# FFmpeg's DirectShow test program is built for x64 only: the 32-bit DLL meets its 32-bit
# DirectShow client in the capture tool, and a second FFmpeg build would cost minutes of every
# fresh machine's time.
builds=(libyuv:libyuv ffmpeg:ffmpeg)
[ "$arch" = x86_64 ] && builds+=(ffmpeg:dshow_ffmpeg)

need_sources=0
for build in "${builds[@]}"; do
  prefix="$(cache_prefix "${build%%:*}" "${build##*:}")"
  if [ -z "$prefix" ] || [ ! -f "$prefix/.complete" ]; then need_sources=1; fi
done
((need_sources == 0)) || enable_source_index

libyuv_prefix="$(ensure_library libyuv libyuv)"
ffmpeg_prefix="$(ensure_library ffmpeg ffmpeg)"
ffmpeg_program=""
if [ "$arch" = x86_64 ]; then
  ffmpeg_program="$(ensure_library ffmpeg dshow_ffmpeg)/bin/ffmpeg.exe"
fi
# The MinGW preset of this architecture reads this file to find the libraries and the test
# program.
cat > "$deps_root/paths.cmake" <<EOT
set(ORVANECAM_WIN_LIBYUV_PREFIX "$libyuv_prefix")
set(ORVANECAM_WIN_FFMPEG_PREFIX "$ffmpeg_prefix")
set(ORVANECAM_WIN_FFMPEG_PROGRAM "$ffmpeg_program")
EOT
echo "deps: libyuv in $libyuv_prefix, FFmpeg in $ffmpeg_prefix" >&2
