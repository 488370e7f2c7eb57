# What the end-to-end scripts share: checks that report and count, and the capture tool's
# summary fields. Sourced, never run.
failures=0

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

at_least() { [ "${1:-0}" -ge "$2" ] 2>/dev/null; }
equals() { [ "${1:-x}" = "$2" ]; }

# A field of the summary the capture tool wrote into folder $2.
summary_field() {
  awk -v key="$1:" '$1 == key { print $2 }' "$2/summary.txt" 2>/dev/null
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
