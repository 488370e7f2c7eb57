# What the scripts that install the Windows package in a fresh Wine prefix share, on top of
# checks.sh: they are skipped (exit 77) unless both MinGW presets are built, and work in a folder
# of their own with a Wine prefix inside, both removed at the end. Sourced, never run.
# shellcheck source=tests/end_to_end/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"  # with the shared settings (repo_root)
for preset in mingw-x64 mingw-x86; do
  [ -f "$repo_root/build/$preset/bin/OrvaneCam.dll" ] ||
    { echo "skipped: $preset is not built"; exit 77; }
done
enter_work_folder
export WINEPREFIX="$work/prefix"

cleanup() {
  wineserver --kill >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

# Makes the prefix, as a user's fresh Windows.
start_prefix() {
  wineboot --init >/dev/null 2>&1
  wineserver --wait
}

# Runs one of the package's command scripts (install.cmd, uninstall.cmd) with its arguments.
run_cmd() { "$wine64_loader" cmd /c "$(winepath -w "$1")" "${@:2}"; }
