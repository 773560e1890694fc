#!/bin/bash
# Checks that every C++ source git tracks is laid out as .clang-format says.
# make test runs it before it builds anything.
#   usage: check-format.sh           check; status 1 and the places that
#                                    differ when any file is not formatted
#          check-format.sh FILE...   check only these files
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
if [ $# -gt 0 ]; then
  sources=("$@")
else
  mapfile -t sources < <(git ls-files -- '*.cpp' '*.h')
  [ "${#sources[@]}" -gt 0 ] || { echo "check-format: git lists no C++ sources"; exit 1; }
fi
report=$(clang-format --dry-run --Werror "${sources[@]}" 2>&1)
status=$?
[ "$status" = 0 ] && exit 0
# The first places in full, then how many places each file has.
head -n 30 <<<"$report"
grep -oE '^[^:]+:[0-9]+:[0-9]+: error: code should be clang-formatted' <<<"$report" | cut -d: -f1 | uniq -c |
  awk '{ n++; printf "%6d places in %s\n", $1, $2 } END { if (n) print "not formatted: " n " file(s); clang-format -i FILE formats one." }'
exit "$status"
