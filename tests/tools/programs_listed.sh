#!/bin/bash
# Every program that the Makefile, the shell scripts of tests/, tools/ and
# .ci/, the test commands CTest runs and the test programs' own calls
# (popen, system, exec*p, posix_spawnp) start is on tools/programs.txt, the
# list that make deps installs and make test checks. First the reader of
# command words is tried on a script whose answer is known.
# usage: programs_listed.sh SOURCE_DIR [BUILD_DIR]
set -u
src=$(cd "$1" && pwd)
build=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
words() { bash "$here/command_words.sh" "$src" "$@"; }
# unlisted KNOWN FOUND: "WHERE<TAB>WORD" for every program run in FOUND that
# is not in KNOWN nor a function that can run there: one of its own script,
# of a script that this one sources or of one that sources it, at any depth.
unlisted() {
  awk -F'\t' 'FNR == NR { known[$0] = 1; next }
    $1 == "function" { defined[$3, $2] = 1 }
    $1 == "source" { from[++edges] = $3; to[edges] = $2 }
    $1 == "run" && !($2 in known) { word[++n] = $2; where[n] = $3 }
    END { for (i = 1; i <= n; i++) { f = where[i]; sub(/:[0-9]+$/, "", f); if (!near(f, word[i])) print where[i] "\t" word[i] } }
    function near(f, w,    reach, k, grew, g) {
      reach[f] = 1
      do { grew = 0; for (k = 1; k <= edges; k++) if ((to[k] in reach) && !(from[k] in reach)) reach[from[k]] = grew = 1 } while (grew)
      do { grew = 0; for (k = 1; k <= edges; k++) if ((from[k] in reach) && !(to[k] in reach)) reach[to[k]] = grew = 1 } while (grew)
      for (g in reach) if ((g, w) in defined) return 1
      return 0
    }' "$1" "$2"
}
source "$here/../lib/common.sh"

# 1. The reader: what it must find, and what it must pass over.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
sample=$tmp/sample.sh
cat >"$sample" <<'SAMPLE'
#!/bin/bash
helper() { one --flag | two; }   # three
x=$(four "$(five)") && six || seven; eight &
FOO=1 BAR="a b" exec nine 2>&1 >/dev/null
if ! ten; then timeout -k 1 5 eleven; fi
while read -r a; do twelve; done < <(env -u X Y=1 thirteen)
case "$1" in
  *.exe | fourteen) fifteen ;;
  sixteen) "$var" seventeen ;;
esac
cat <<EOF
eighteen | nineteen
EOF
echo "twenty; $(twentyone 'x | y')" '$(twentytwo)'
list=(twentythree "$(twentyfour)")
(( n = $(twentyfive) + 1 ))
./own/program; /usr/bin/twentysix; helper
SAMPLE
got=$(words "$sample" | awk -F'\t' '{ print $2 }' | sort | tr '\n' ' ')
want=$(tr ' ' '\n' <<<"helper one two four five six seven eight exec nine ten timeout eleven read twelve env thirteen
fifteen cat echo twentyone twentyfour twentyfive twentysix helper" | sort | tr '\n' ' ')
[ "$got" = "$want" ] || fail "the reader of command words found '$got', not '$want'"
# A function is known only where it can run.
mkdir "$tmp/scope"
printf 'stat() { :; }\n' >"$tmp/scope/other.sh"
printf 'own() { :; }\nsource "$here/lib.sh"\nhelper; stat\n' >"$tmp/scope/main.sh"
printf 'helper() { own; }\n' >"$tmp/scope/lib.sh"
(compgen -b; compgen -k) >"$tmp/builtins"
got=$(words "$tmp/scope/"*.sh | unlisted "$tmp/builtins" - | cut -f2 | tr '\n' ' ')
[ "$got" = "stat " ] || fail "a function counts outside the scripts it can run in: unlisted '$got', not 'stat '"

# 2. The programs run, and where.
listed=$(bash "$src/tools/check-programs.sh" --programs)
found=$tmp/found
scripts=()
while IFS= read -r -d '' f; do
  case "$f" in
    *.sh) scripts+=("$f") ;;
    *) head -1 "$f" | grep -qE '^#!.*/(env )?(ba)?sh' && scripts+=("$f") ;;
  esac
done < <(find "$src/tests" "$src/tools" "$src/.ci" -type f -print0 2>/dev/null)
[ "${#scripts[@]}" -ge 10 ] || fail "only ${#scripts[@]} scripts found under $src"
words "${scripts[@]}" >"$found" || fail "the reader of command words could not read every script"
words --makefile "$src/Makefile" >>"$found" || fail "the reader of command words could not read the Makefile"
# The command words of CMake's COMMAND lists that are not our own targets.
targets=$(grep -rhoE --include=CMakeLists.txt --include='*.cmake' --exclude-dir=build --exclude-dir=.git \
  '(add_executable\(|NAME )[A-Za-z0-9_-]+' "$src" |
  awk '{ sub(/.*[( ]/, ""); print }')
grep -rnoE --include=CMakeLists.txt --include='*.cmake' --exclude-dir=build --exclude-dir=.git \
  'COMMAND +[^ )$"]+' "$src" |
  while IFS=: read -r file line match; do
    word=${match##* }
    grep -qxF -- "$word" <<<"$targets" || printf 'run\t%s\t%s:%s\n' "${word##*/}" "$file" "$line"
  done >>"$found"
# The first word of every test CTest runs in this build, when it is not ours.
if [ -n "$build" ]; then
  ctest --show-only=json-v1 --test-dir "$build" >"$found.json" || fail "ctest cannot list the tests of $build"
  awk '/"command" *: *$/ { take = 1; next } take && /^ *"/ { take = 0; gsub(/^ *"|",?$/, ""); print }' "$found.json" |
    sort -u | while read -r program; do
      case "$program" in "$src"/* | "$build"/*) ;; *) printf 'run\t%s\tctest --test-dir %s\n' "${program##*/}" "$build" ;; esac
    done >>"$found"
fi
# Programs that test and tool code starts itself.
grep -rnoE --include='*.cpp' --include='*.h' '\b(popen|system|exec[lv]p?e?)\( *"[^" ]+|\bposix_spawnp?\([^,]*, *"[^" ]+' \
  "$src/tests" "$src/tools" "$src/bench" |
  while IFS=: read -r file line match; do
    word=${match##*\"}
    printf 'run\t%s\t%s:%s\n' "${word##*/}" "$file" "$line"
  done >>"$found"

# 3. Each program found is a builtin, a function that can run there, or
#    listed, and listed once.
(cat "$tmp/builtins"; echo "$listed") >"$found.known"
programs=$(awk -F'\t' '$1 == "run" { n++ } END { print n + 0 }' "$found")
while IFS=$'\t' read -r where word; do
  fail "$where runs $word, which is not on tools/programs.txt"
done < <(unlisted "$found.known" "$found")
[ -z "$(sort <<<"$listed" | uniq -d)" ] || fail "listed twice: $(sort <<<"$listed" | uniq -d | tr '\n' ' ')"
[ "$programs" -ge 100 ] || fail "only $programs program calls found: the reader misses commands"

# 4. The check that make test runs first: all there on this machine, and a
#    copy of the list with one program or one file that is nowhere names it
#    with its package and fails.
bash "$src/tools/check-programs.sh" >"$tmp/check.out" || fail "tools/check-programs.sh: $(cat "$tmp/check.out")"
mkdir "$tmp/tools"
cp "$src/tools/check-programs.sh" "$tmp/tools/"
for row in 'program sarvel-no-such-program sarvel-no-such-package' 'file /no/such/file*.h sarvel-no-such-dev'; do
  read -r kind what package <<<"$row"
  { cat "$src/tools/programs.txt"; echo "$what  $package  a test"; } >"$tmp/tools/programs.txt"
  bash "$tmp/tools/check-programs.sh" >"$tmp/check.out"
  status=$?
  want="missing $kind $what: install the Debian package $package
1 missing; 'make deps' installs the packages of tools/programs.txt."
  [ "$status" = 1 ] && [ "$(cat "$tmp/check.out")" = "$want" ] ||
    fail "with one $kind missing the check ended with $status and said: $(cat "$tmp/check.out")"
done
packages=$(bash "$tmp/tools/check-programs.sh" --packages)
grep -qx sarvel-no-such-dev <<<"$packages" && grep -qx 'wine32:i386' <<<"$packages" &&
  [ -z "$(uniq -d <<<"$packages")" ] || fail "the package list for make deps: $(tr '\n' ' ' <<<"$packages")"

pass "$programs program calls read in ${#scripts[@]} scripts, the Makefile and the test commands"
report_and_exit
