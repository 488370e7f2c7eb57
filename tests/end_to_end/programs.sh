# What the end-to-end scripts that run either build's programs share, on top of checks.sh: they
# set $bin (the build's program folder) and $mode (linux, or windows for programs under Wine)
# before sourcing it. Sourced, never run.
# shellcheck source=tests/end_to_end/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

# Runs one of our programs. In a background job it becomes the program, so that $! is the
# program's own process id (and killing it kills the program, not a shell around it).
program() {
  local name="$1"
  shift
  local command=("$bin/$name" "$@")
  [ "$mode" = windows ] && command=("$repo_root/scripts/wine-run.sh" "$ORVANECAM_WINE" "$bin/$name.exe" "$@")
  if [ "$BASHPID" != "$$" ]; then exec "${command[@]}"; fi
  "${command[@]}"
}

# register, or with an argument unregister, as an installer does.
register() {
  if [ "$mode" = windows ]; then
    wine_regsvr32 "$ORVANECAM_WINE" /s ${1:+/u} "$bin/OrvaneCam.dll"
  else
    "$bin/orvanecam-register" ${1:+--unregister}
  fi
}

# The user's settings (device names, vacant pictures) live in Wine's own registry for the
# Windows build: scripts start and end without them.
forget_user_settings() {
  if [ "$mode" = windows ]; then
    "$repo_root/scripts/wine-run.sh" "$ORVANECAM_WINE" reg delete 'HKCU\Software\Orvane\OrvaneCamSDK' /f \
      >/dev/null 2>&1
  fi
  return 0
}

# A path as the programs of this build spell it.
native_path() {
  if [ "$mode" = windows ]; then winepath -w "$1"; else echo "$1"; fi
}

little_endian32() {
  local value=$1 byte
  for byte in 0 8 16 24; do printf "\\x$(printf %02x $(((value >> byte) & 255)))"; done
}

# A 64 x 36 mid-grey 24-bit bitmap: neither the producer's bars nor black.
make_grey_bitmap() {
  local pixels=$((64 * 36 * 3))
  {
    printf 'BM'
    little_endian32 $((54 + pixels)); little_endian32 0; little_endian32 54
    little_endian32 40; little_endian32 64; little_endian32 36
    printf '\x01\x00\x18\x00'
    little_endian32 0; little_endian32 $pixels; little_endian32 2835; little_endian32 2835
    little_endian32 0; little_endian32 0
    head -c $pixels /dev/zero | tr '\0' '\200'
  } >"$1"
}
