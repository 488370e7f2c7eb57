# Shared settings for the project's scripts; sourced, never run.
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cache_root="${ORVANECAM_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/orvanecam}"

# A 64-bit Wine prefix of our own, kept outside the source tree so every checkout reuses it.
export WINEPREFIX="${ORVANECAM_WINEPREFIX:-$cache_root/wine64}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# No display here: keep Wine from looking for one, and never offer the Mono or Gecko installers.
export DISPLAY=
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

prepare_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "setup: creating Wine prefix $WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot --init >/dev/null 2>&1 || true
    wineserver --wait || true
  fi
  [ -f "$WINEPREFIX/system.reg" ] || { echo "setup: Wine prefix was not created" >&2; return 1; }
}

# Keeps one Wine server alive for a whole test run so each test program starts fast. Its output
# goes nowhere: a server holding ctest's pipes would make ctest wait for the server to exit.
start_wine_server() {
  wineserver --persistent=900 </dev/null >/dev/null 2>&1 &
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

stop_wine_server() {
  wineserver --kill >/dev/null 2>&1 || true
}

# Media playback needs a sound server. A desktop session has one; otherwise start PulseAudio with
# a null sink (sound goes nowhere, but is played in real time) for this user.
start_sound_server() {
  pactl info >/dev/null 2>&1 && return 0
  pulseaudio --daemonize=yes --exit-idle-time=-1 --system=false -n \
    --load="module-null-sink sink_name=null" --load=module-native-protocol-unix \
    </dev/null >/dev/null 2>&1 || true
  local tries
  for tries in 1 2 3 4 5 6 7 8 9 10; do
    pactl info >/dev/null 2>&1 && return 0
    sleep 0.5
  done
  echo "no sound server could be started; media playback will fail" >&2
}
