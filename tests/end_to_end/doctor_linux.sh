#!/usr/bin/env bash
# The doctor in the Linux build, on a registry store of its own: healthy once registered (exit 0,
# and --json), then keys left by an uninstall, a block left by an ended producer and a vacant
# picture that cannot be loaded, each reported with its line and exit 1 and mended by --fix;
# --purge leaves the store without a key; a bad command line is 2.
# Usage: doctor_linux.sh BIN_DIR
set -uo pipefail
bin="$1"
mode=linux
# shellcheck source=tests/end_to_end/programs.sh
source "$(dirname "${BASH_SOURCE[0]}")/programs.sh"  # with the shared settings (repo_root)
enter_work_folder
export ORVANECAM_OBJECT_SUFFIX="_doctor$$"
export ORVANECAM_REGISTRY_ROOT="$work/registry"
# No PipeWire server for this run: the doctor notes that rather than looking at a real one.
export PIPEWIRE_REMOTE="orvanecam-no-such-server"
cleanup() {
  kill -9 "${client:-0}" "${producer:-0}" 2>/dev/null
  wait 2>/dev/null
  forget_shared_objects
  rm -rf "$work"
}
trap cleanup EXIT
doctor() { "$bin/orvanecam-doctor" "$@" 2>&1; }

check "no registration: exit 1" reports 1 "[problem] registration: no camera is registered"
"$bin/orvanecam-register" --cameras 2 >/dev/null
check "registered: exit 0, both cameras named" \
  reports 0 '[ok] registration (every user): 2 cameras "OrvaneCam", "OrvaneCam 2"'
check "--json says the same for scripts" reports 0 '"status": "healthy"' --json
check "... as valid JSON" bash -c "'$bin/orvanecam-doctor' --json | python3 -m json.tool"
check "no PipeWire server is a note" reports 0 "[note] PipeWire: no PipeWire server answers"

rm -rf "$ORVANECAM_REGISTRY_ROOT/HKEY_LOCAL_MACHINE/software/classes/clsid/{d55f76f9-e930-4109-a96d-789f36dea381}"
broken "keys left by an uninstall" "camera 2: keys left by an uninstall"

# A paused client holds the block (a reading one would notice the producer's end itself).
"$bin/exchange_helper" attach 30000 &
client=$!
"$bin/exchange_helper" publish-for 60000 640 360 &
producer=$!
sleep 2
kill -9 "$producer"
wait "$producer" 2>/dev/null
broken "a block left by an ended producer" "which has ended"
check "... while the client's block is still open" reports 0 "1 readers attached"
kill "$client"
wait "$client" 2>/dev/null

# A vacant picture saved, then overwritten.
make_grey_bitmap picture.bmp
program orvanecam-send --seconds 0 --vacant "$work/picture.bmp" >vacant.log 2>&1
echo "not a bitmap" >picture.bmp
broken "a vacant picture that cannot be loaded" "picture.bmp cannot be loaded"

doctor --purge >purge.log
check "--purge leaves no key in the store" \
  bash -c "[ -z \"\$(find '$ORVANECAM_REGISTRY_ROOT' -name '*.value')\" ]"
check "a bad command line is 2" bash -c "'$bin/orvanecam-doctor' --fix --purge; [ \$? = 2 ]"

finish_with_logs doctor.log fix.log purge.log
