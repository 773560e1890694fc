#!/bin/bash
# Runs CTest for each preset given and prints one summary for all of them.
# Exit status: nonzero when any preset had a failing test.
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
export WINEPREFIX="${WINEPREFIX:-$here/build/wineprefix}" WINEDEBUG=-all
status=0
summary=()
for preset in "$@"; do
  echo "=== ctest --preset $preset"
  log="build/$preset/ctest-summary.log"
  ctest --preset "$preset" -j 2 2>&1 | tee "$log"
  # The status of ctest, not of tee: a failing preset must not read as passed.
  if [ "${PIPESTATUS[0]}" = 0 ]; then
    result=pass
  else
    result=FAIL
    status=1
  fi
  summary+=("$(printf '%-8s %-5s %s' "$preset" "$result" "$(grep -E 'tests passed' "$log" | tail -1)")")
done
echo
echo "=== Summary"
printf '%s\n' "${summary[@]}"
exit $status
