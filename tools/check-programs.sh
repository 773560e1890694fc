#!/bin/bash
# Checks that every program and file of tools/programs.txt is there and
# names the Debian package of each one that is not. make test runs it before
# it builds anything.
#   usage: check-programs.sh              check; status 1 when anything is missing
#          check-programs.sh --packages   the Debian packages of the list (make deps)
#          check-programs.sh --programs   the command names of the list
set -u
list="$(cd "$(dirname "$0")" && pwd)/programs.txt"
rows() { awk '!/^[ \t]*(#|$)/ { print $1, $2 }' "$list"; }

case "${1:-}" in
  --packages)
    rows | awk '{ print $2 }' | sort -u
    exit
    ;;
  --programs)
    rows | awk '$1 !~ /^\// { print $1 }'
    exit
    ;;
esac

missing=0
while read -r what package; do
  if [[ $what == /* ]]; then
    compgen -G "$what" >/dev/null && continue
    echo "missing file $what: install the Debian package $package"
  else
    type -P "$what" >/dev/null && continue
    echo "missing program $what: install the Debian package $package"
  fi
  missing=$((missing + 1))
done < <(rows)
if [ "$missing" -gt 0 ]; then
  echo "$missing missing; 'make deps' installs the packages of tools/programs.txt."
  exit 1
fi
