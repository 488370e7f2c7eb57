# What the end-to-end scripts share: the project's shared settings, a work folder, checks that
# report and count, and the capture tool's summary fields. Sourced, never run.
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
failures=0

# A fresh folder for the script's files ($work), made the current one; the script removes it.
enter_work_folder() {
  work="$(mktemp -d)"
  cd "$work" || exit 1
}

check() {
  local what="$1"
  shift
  if "$@" >/dev/null 2>&1; then
    echo "ok:   $what"
  else
    echo "FAIL: $what"
    failures=$((failures + 1))
  fi
}

# Removes this run's shared objects (named with its ORVANECAM_OBJECT_SUFFIX) from /dev/shm: a
# killed process never unlinks them, and each frame block holds up to 96 MiB of memory.
forget_shared_objects() {
  [ -n "${ORVANECAM_OBJECT_SUFFIX:-}" ] && rm -f /dev/shm/*"$ORVANECAM_OBJECT_SUFFIX"
  return 0
}

at_least() { [ "${1:-0}" -ge "$2" ] 2>/dev/null; }
equals() { [ "${1:-x}" = "$2" ]; }

# A field of the summary the capture tool wrote into folder $2.
summary_field() {
  awk -v key="$1:" '$1 == key { print $2 }' "$2/summary.txt" 2>/dev/null
}

# The doctor's checks, for scripts that define doctor() to run it (or name another function in
# doctor_command). reports STATUS TEXT [ARGS]: the doctor exits with STATUS and prints TEXT.
reports() {
  local out status
  out="$("${doctor_command:-doctor}" "${@:3}")"
  status=$?
  printf '%s\nexit %s\n' "$out" "$status" >>doctor.log
  [ "$status" = "$1" ] && grep -qF -- "$2" <<<"$out"
}
# broken NAME LINE: the state just made is reported with LINE and exit 1, and --fix mends it.
broken() {
  check "$1: reported" reports 1 "$2"
  "${doctor_command:-doctor}" --fix >>fix.log
  check "$1: mended by --fix, then healthy" reports 0 "[ok]"
}

# Prints the named logs (after a failure) and exits with the outcome.
finish_with_logs() {
  if [ "$failures" -ne 0 ]; then
    local log
    for log in "$@"; do
      echo "--- $log"
      tr -d '\r' <"$log" 2>/dev/null
    done
    exit 1
  fi
  exit 0
}
