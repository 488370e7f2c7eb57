# Shared settings for the project's scripts; sourced, never run.
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# The build's rule for the cache folder (CMake comes with scripts/setup.sh).
command -v cmake >/dev/null || { echo "CMake is missing: run scripts/setup.sh first" >&2; return 1; }
cache_root="$(cmake -P "$repo_root/cmake/cache_root.cmake")"

# A 64-bit Wine prefix of our own, kept outside the source tree so every checkout reuses it.
export WINEPREFIX="${ORVANECAM_WINEPREFIX:-$cache_root/wine64}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# No display here: keep Wine from looking for one, and never offer the Mono or Gecko installers.
export DISPLAY=
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Each bitness has its own loader; /usr/bin/wine would start 64-bit programs through the 32-bit
# one, which costs time on every start. A Windows build's tests get the loader of its bitness
# from its toolchain file (ORVANECAM_WINE).
wine64_loader=/usr/lib/wine/wine64
wine32_loader=/usr/lib/wine/wine

# regsvr32 of loader $1's bitness, as an installer runs it, on the module last named; the
# arguments between are its switches (/s, /u).
wine_regsvr32() {
  local loader="$1" module="${*: -1}"
  shift
  "$loader" regsvr32 "${@:1:$#-1}" "$(winepath -w "$module")"
}

prepare_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "setup: creating Wine prefix $WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot --init >/dev/null 2>&1 || true
    wineserver --wait || true
  fi
  [ -f "$WINEPREFIX/system.reg" ] || { echo "setup: Wine prefix was not created" >&2; return 1; }
  # A prefix made before 32-bit Wine was installed has no 32-bit system DLLs: have Wine update
  # the prefix, which fills syswow64.
  if [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
    echo "setup: adding the 32-bit system to the Wine prefix"
    rm -f "$WINEPREFIX/.update-timestamp"
    "$wine64_loader" cmd /c exit >/dev/null 2>&1 || true
    wineserver --wait || true
  fi
  [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] ||
    { echo "setup: the Wine prefix has no 32-bit system" >&2; return 1; }
}

# Keeps one Wine server alive for a whole test run so each test program starts fast. Its output
# goes nowhere: a server holding ctest's pipes would make ctest wait for the server to exit.
start_wine_server() {
  wineserver --persistent=900 </dev/null >/dev/null 2>&1 &
  "$wine64_loader" cmd /c exit </dev/null >/dev/null 2>&1 || true
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

# A private PipeWire session (D-Bus, PipeWire and WirePlumber) in a runtime folder of its own,
# never the user's: for the PipeWire bridge's test. Exports XDG_RUNTIME_DIR and
# DBUS_SESSION_BUS_ADDRESS for the programs started after it.
start_pipewire_session() {
  pipewire_session_dir="$(mktemp -d)"
  local dir="$pipewire_session_dir"
  export XDG_RUNTIME_DIR="$dir/run"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  # WirePlumber exits when its Bluetooth monitor finds no Bluetooth service.
  mkdir -p "$dir/config/wireplumber/bluetooth.lua.d"
  echo 'bluez_monitor.enabled = false' >"$dir/config/wireplumber/bluetooth.lua.d/90-off.lua"
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
  dbus-daemon --session --fork --address="$DBUS_SESSION_BUS_ADDRESS" --print-pid=1 \
    >"$dir/dbus.pid" || return 1
  pipewire >"$dir/pipewire.log" 2>&1 &
  echo $! >"$dir/pipewire.pid"
  # WirePlumber gives up when PipeWire's socket is not there yet.
  local tries
  for tries in $(seq 1 50); do
    [ -S "$XDG_RUNTIME_DIR/pipewire-0" ] && break
    sleep 0.1
  done
  XDG_CONFIG_HOME="$dir/config" wireplumber >"$dir/wireplumber.log" 2>&1 &
  echo $! >"$dir/wireplumber.pid"
  for tries in $(seq 1 50); do
    pw-cli ls Client 2>/dev/null | grep -q '"WirePlumber"' && return 0
    sleep 0.2
  done
  echo "no PipeWire session could be started" >&2
  tail -n 5 "$dir/pipewire.log" "$dir/wireplumber.log" >&2
  return 1
}

stop_pipewire_session() {
  [ -n "${pipewire_session_dir:-}" ] || return 0
  local name
  for name in wireplumber pipewire dbus; do
    kill "$(cat "$pipewire_session_dir/$name.pid" 2>/dev/null)" 2>/dev/null
  done
  rm -rf "$pipewire_session_dir"
  pipewire_session_dir=""
}

# Debian's Python, whose numpy, pytest and build tools the set-up installs (not a Python a user
# put first on the PATH).
system_python=/usr/bin/python3

# The product's one version: the CMake project's.
project_version() {
  sed -n 's/^project(OrvaneCam VERSION \([0-9.]*\).*/\1/p' "$repo_root/CMakeLists.txt"
}

# Builds the Python package's wheel offline into folder $1, from a copy so that the source tree
# gains no build folders, at the project's version.
build_python_wheel() {
  local out="$1" copy
  copy="$(mktemp -d)"
  cp -r "$repo_root/python" "$copy/source"
  rm -rf "$copy/source/tests" "$copy/source/examples"
  sed -i "s/^version = \".*\"/version = \"$(project_version)\"/" "$copy/source/pyproject.toml"
  "$system_python" -m build --wheel --no-isolation --outdir "$out" "$copy/source" \
    >"$copy/build.log" 2>&1 || { cat "$copy/build.log" >&2; rm -rf "$copy"; return 1; }
  rm -rf "$copy"
}
