#!/usr/bin/env bash
# Builds and tests every preset (default: linux, linux-asan, mingw-x64, mingw-x86; the Windows
# tests run under Wine, and mingw-x86's cross-bitness tests use mingw-x64's build) and ends with a
# summary. Usage: scripts/test.sh [PRESET...]
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/setup.sh" || { echo "test: set-up failed" >&2; exit 1; }
# After the set-up: the shared settings need the CMake it installs.
# shellcheck source=scripts/common.sh
source "$here/common.sh"
cd "$repo_root" || exit 1

presets=("$@")
((${#presets[@]})) || presets=(linux linux-asan mingw-x64 mingw-x86)

start_sound_server
trap stop_wine_server EXIT
passed=0
failed=0
summary=()

# The sources keep the project's own .clang-format; a file that differs fails the run.
echo "=== format"
mapfile -t sources < <(git ls-files '*.c' '*.cpp' '*.h')
if clang-format --dry-run -Werror "${sources[@]}"; then
  summary+=("$(printf '  %-11s %-16s' format passed)")
  passed=$((passed + 1))
else
  summary+=("$(printf '  %-11s %-16s' format "files differ")")
  failed=$((failed + 1))
fi
for preset in "${presets[@]}"; do
  echo "=== $preset"
  started=$SECONDS
  if ! cmake --preset "$preset" >/dev/null; then
    outcome="configure failed"
  elif ! cmake --build --preset "$preset"; then
    outcome="build failed"
  else
    [[ "$preset" = mingw-* ]] && start_wine_server
    if ctest --preset "$preset"; then outcome="passed"; else outcome="tests failed"; fi
  fi
  if [ "$outcome" = passed ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
  summary+=("$(printf '  %-11s %-16s %4ds' "$preset" "$outcome" $((SECONDS - started)))")
done

echo
echo "=== summary"
printf '%s\n' "${summary[@]}"
echo "checks and presets: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
