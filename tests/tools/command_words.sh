#!/bin/bash
# Prints the programs that bash scripts (or, with --makefile, the recipes and
# $(shell ...) calls of a Makefile) run, one a line, read from shfmt's syntax
# tree of each:
#   run<TAB>WORD<TAB>FILE:LINE    a command word (the basename of an absolute path)
#   function<TAB>NAME<TAB>FILE    a function the script defines
#   source<TAB>PATH<TAB>FILE      a script it sources: the literal end of the
#                                 named path, from the script's folder or else
#                                 from ROOT ("$here/lib.sh", "$src/tests/...")
# A command word is the first word of a simple command, and the command that
# exec, command, env, timeout, nice, nohup, setsid, xargs, sudo and stdbuf
# run, past their options. Words held in variables or single quotes, relative
# paths (files of our own) and heredoc bodies are not programs. Bash's own
# builtins are printed too: the caller knows them (compgen -b -k).
# usage: command_words.sh ROOT [--makefile] FILE...
set -u -o pipefail
root=$1
shift
makefile=0
[ "$1" = --makefile ] && makefile=1 && shift

# A Makefile as shell text, line for line: recipe lines (with their
# continuations) and the commands of $(shell ...); $(MAKE) is make, $(SUDO)
# sudo or nothing, other make variables are values.
make_to_shell() {
  awk 'function vars(s) {
      gsub(/\$\$/, "\002", s); gsub(/\$\(MAKE\)/, "make", s); gsub(/\$\(SUDO\)/, "", s)
      gsub(/\$\([A-Za-z_][A-Za-z0-9_]*\)|\$[@*<^?]/, "$MAKEVAR", s); gsub(/\002/, "$", s)
      return s
    }
    recipe || /^\t/ { recipe = /\\$/; s = $0; sub(/^\t[ \t]*[@+-]*/, "", s); print vars(s); next }
    { s = $0; out = ""
      while ((start = index(s, "$(shell ")) > 0) {
        for (i = start + 2; i <= length(s) && depth >= 0; i++) depth += (substr(s, i, 1) == "(") - (substr(s, i, 1) == ")")
        out = out vars(substr(s, start + 8, i - start - 9)) "; "; s = substr(s, i); depth = 0
      }
      print out }' "$1"
}

program='
def literal: if all(.Parts[]; .Type == "Lit" or (.Type == "DblQuoted" and all(.Parts[]?; .Type == "Lit")))
  then [.Parts[] | .Value // ([.Parts[]?.Value] | add) // ""] | add else null end;
def past_options($p):
  if length == 0 or .[0] == null then .
  elif .[0] == "--" then .[1:]
  elif (.[0] | startswith("-")) then
    (if "\($p) \(.[0])" | IN("nice -n", "exec -a", "env -u", "timeout -k", "timeout -s", "sudo -u",
      "xargs -I", "xargs -n") then .[2:] else .[1:] end) | past_options($p)
  elif $p == "env" and (.[0] | test("^[A-Za-z_][A-Za-z0-9_]*=")) then .[1:] | past_options($p)
  else . end;
def runs:
  if length == 0 or .[0] == null then empty
  else .[0], (.[0] as $p | select($p | IN("exec", "command", "env", "timeout", "nice", "nohup", "setsid",
    "xargs", "sudo", "stdbuf")) | .[1:] | past_options($p) | if $p == "timeout" then .[1:] else . end | runs)
  end;
def literal_end: [.Parts[] | if .Type == "DblQuoted" then .Parts[] else . end]
  | (map(.Type == "Lit") | rindex(false)) as $i | .[($i // -1) + 1:] | map(.Value) | add // "";
(.. | objects | select(.Type? == "FuncDecl") | "function\t\(.Name.Value)\t\($file)"),
(.. | objects | select(.Type? == "CallExpr" and (.Args | length) > 0) | .Args[0].Pos.Line as $line
  | ([.Args[] | literal] | runs | gsub("\""; "") | select(test("^/|^[^/]+$")) | sub(".*/"; "")
     | "run\t\(.)\t\($file):\($line)"),
    (select(.Args[0] | literal | IN("source", ".")) | "source\t\(.Args[1] | literal_end)\t\($file)"))'

status=0
for file in "$@"; do
  if ! tree=$(if [ $makefile = 1 ]; then make_to_shell "$file"; else cat "$file"; fi | shfmt -ln bash --to-json); then
    echo "command_words.sh: shfmt cannot read $file" >&2
    status=1
    continue
  fi
  jq -r --arg file "$file" "$program" <<<"$tree" | while IFS=$'\t' read -r kind what where; do
    if [ "$kind" = source ]; then
      path=$(realpath -m "$(dirname "$where")$what")
      [ -e "$path" ] || path=$(realpath -m "$root$what")
      what=$path
    fi
    printf '%s\t%s\t%s\n' "$kind" "$what" "$where"
  done
done
exit $status
