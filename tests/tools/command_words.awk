# Reads a bash script (or, with -v makefile=1, the recipes and $(shell ...)
# calls of a Makefile) and prints the programs it runs, one a line:
#   run<TAB>WORD<TAB>FILE:LINE    a command word (the basename of an absolute path)
#   function<TAB>NAME<TAB>FILE    a function the script defines
#   source<TAB>PATH<TAB>FILE      a script it sources: the path after its first
#                                 variable or substitution, from the script's
#                                 folder or else from the folder root (-v root=)
# A command word is the first word of a simple command: at the start of a
# line, after | || && ; & ( { and the keywords that precede commands, inside
# $( ) <( ) >( ) and backticks, and after exec, env, timeout, nice, nohup,
# setsid, xargs, sudo and command. Assignments and redirections before it are
# passed over. Words held in variables, relative paths (files of our own),
# quoted literals and arithmetic are not programs and are left out. Bash's
# own builtins are printed too: the caller knows them (compgen -b -k).
# POSIX awk (mawk is enough).

BEGIN {
  split("if then else elif do while until ! { time", w)
  for (i in w) leads[w[i]] = 1
  split("fi done esac } ]] [[ for select case in function", w)
  for (i in w) ends[w[i]] = 1
  split("exec command env timeout nice nohup setsid xargs sudo stdbuf", w)
  for (i in w) prefixes[w[i]] = 1
  split("nice -n,exec -a,env -u,timeout -k,timeout -s,sudo -u,xargs -I,xargs -n", w, ",")
  for (i in w) option_arguments[w[i]] = 1
  text = ""
  in_recipe = 0
}

# Each file is read whole, then parsed.
FNR == 1 && NR > 1 { parse_file() }
FNR == 1 { file = FILENAME }

# Heredoc bodies are data, not commands: they become empty lines so that the
# line numbers stay right.
heredoc != "" {
  line = $0
  if (heredoc_tabs) sub(/^\t+/, "", line)
  if (line == heredoc) heredoc = ""
  text = text "\n"
  next
}

{
  line = makefile ? make_to_shell($0) : $0
  if (match(line, /<<-?[ \t]*['"]?[A-Za-z_][A-Za-z0-9_]*['"]?/) && substr(line, RSTART + 2, 1) != "<" &&
      (RSTART == 1 || substr(line, RSTART - 1, 1) != "<")) {
    tag = substr(line, RSTART + 2, RLENGTH - 2)
    heredoc_tabs = (substr(tag, 1, 1) == "-")
    sub(/^-?[ \t]*/, "", tag)
    gsub(/['"]/, "", tag)
    heredoc = tag
  }
  text = text line "\n"
}

# A Makefile line as shell text: recipe lines (with their continuations) and
# the commands of $(shell ...); $(MAKE) is make, $(SUDO) is sudo or nothing,
# other make variables are values.
function make_to_shell(s,    out, start, depth, i, c) {
  if (in_recipe || substr(s, 1, 1) == "\t") {
    in_recipe = (s ~ /\\$/)
    sub(/^\t[ \t]*[@+-]*/, "", s)
    return make_vars(s)
  }
  out = ""
  while ((start = index(s, "$(shell ")) > 0) {
    depth = 1
    for (i = start + 2; i <= length(s) && depth > 0; i++) {
      c = substr(s, i, 1)
      if (c == "(") depth++
      else if (c == ")") depth--
    }
    out = out make_vars(substr(s, start + 8, i - start - 9)) "; "
    s = substr(s, i)
  }
  return out
}
function make_vars(s) {
  gsub(/\$\$/, "\002", s)
  gsub(/\$\(MAKE\)/, "make", s)
  gsub(/\$\(SUDO\)/, "", s)
  gsub(/\$\([A-Za-z_][A-Za-z0-9_]*\)|\$[@*<^?]/, "$MAKEVAR", s)
  gsub(/\002/, "$", s)
  return s
}

END { parse_file() }

function parse_file() {
  pos = 1
  len = length(text)
  lineno = 1
  case_pattern = 0
  heredoc = ""
  in_recipe = 0
  parse("")
  text = ""
}

function at(k) { return substr(text, pos + k, 1) }

# Parses commands from pos until the unquoted character stop (")" or "`"),
# or to the end of the text when stop is empty. Quiet: the words are values
# (an array's elements), only the commands substituted in them count.
function parse(stop, quiet,    words, n, word, inword, dq, depth, c, first_line, q) {
  n = 0; word = ""; inword = 0; dq = 0; depth = 0; first_line = lineno
  while (pos <= len) {
    c = at(0)
    if (c == "\n") lineno++
    if (dq) {
      if (c == "\\") { word = word at(0) at(1); pos += 2; continue }
      if (c == "\"") { dq = 0; pos++; continue }
      if (c == "$" && at(1) == "(" && at(2) != "(") { pos += 2; parse(")"); word = word "$(...)"; continue }
      if (c == "`") { pos++; parse("`"); word = word "$(...)"; continue }
      word = word c; pos++; continue
    }
    if (c == stop && (stop == "`" || depth == 0)) {
      pos++
      if (inword) words[++n] = word
      emit(words, n, first_line, quiet)
      return
    }
    if (!inword && n == 0 && case_pattern && c !~ /[ \t\n#]/) {
      case_pattern = 0
      if (substr(text, pos, 5) !~ /^esac([ \t\n;)&|]|$)/) {
        while (pos <= len && at(0) != ")") { if (at(0) == "\n") lineno++; pos++ }
        pos++
        continue
      }
    }
    if (!inword && n == 0) first_line = lineno
    if (c == "\\") {
      if (at(1) == "\n") lineno++
      else { word = word at(1); inword = 1 }
      pos += 2; continue
    }
    if (c == "'") {
      q = index(substr(text, pos + 1), "'")
      if (q == 0) q = len - pos
      lineno += count_newlines(substr(text, pos, q + 1))
      word = word "\001"; inword = 1; pos += q + 1; continue
    }
    if (c == "\"") { dq = 1; word = word "\""; inword = 1; pos++; continue }
    if (c == "#" && !inword) {
      while (pos <= len && at(0) != "\n") pos++
      continue
    }
    if (c == " " || c == "\t" || c == "\n" || c == ";" || c == "|" || (c == "&" && at(1) != ">")) {
      if (inword) words[++n] = word
      word = ""; inword = 0
      if (c == ";" && at(1) == ";") { pos++; case_pattern = 1 }
      if (c != " " && c != "\t") { emit(words, n, first_line, quiet); n = 0 }
      pos++
      if ((c == "|" || c == "&") && (at(0) == c || at(0) == "&")) pos++
      continue
    }
    if ((c == "<" || c == ">") && at(1) == "(") {
      pos += 2; parse(")"); word = word "$(...)"; inword = 1; continue
    }
    if (c == "<" || c == ">" || c == "&") {
      if (inword && word !~ /^[0-9]+$/) words[++n] = word
      word = ""; inword = 0
      skip_redirection()
      continue
    }
    if (c == "$" && at(1) == "(" && at(2) == "(") { word = word arithmetic(3); inword = 1; continue }
    if (c == "$" && at(1) == "(") { pos += 2; parse(")"); word = word "$(...)"; inword = 1; continue }
    if (c == "`") { pos++; parse("`"); word = word "$(...)"; inword = 1; continue }
    if (c == "(") {
      if (!inword && at(1) == "(") { words[++n] = arithmetic(2); continue }
      if (inword && word ~ /=$/) { pos++; parse(")", 1); word = word "(...)"; continue }
      if (inword && at(1) == ")") { words[++n] = word "()"; word = ""; inword = 0; pos += 2; continue }
      if (inword) words[++n] = word
      word = ""; inword = 0
      emit(words, n, first_line, quiet); n = 0
      depth++; pos++; continue
    }
    if (c == ")") {
      if (inword) words[++n] = word
      word = ""; inword = 0
      emit(words, n, first_line, quiet); n = 0
      if (depth > 0) depth--
      pos++; continue
    }
    word = word c; inword = 1; pos++
  }
  if (inword) words[++n] = word
  emit(words, n, first_line, quiet)
}

# The file a source command names: "$(dirname "$0")/lib.sh" and
# "$here/../x11/pointer.sh" lie beside the script, "$src/tests/lib/common.sh"
# under the root.
function sourced(w,    dir, path, line) {
  gsub(/"/, "", w)
  sub(/^[^\/]*/, "", w)
  dir = file
  sub(/\/[^\/]*$/, "", dir)
  path = normalized(dir w)
  if ((getline line < path) < 0) path = normalized(root w)
  close(path)
  return path
}
function normalized(path,    parts, n, i, out, k, kept) {
  n = split(path, parts, "/")
  k = 0
  for (i = 1; i <= n; i++) {
    if (parts[i] == "..") { if (k > 0) k-- }
    else if (parts[i] != "." && parts[i] != "") kept[++k] = parts[i]
  }
  out = ""
  for (i = 1; i <= k; i++) out = out "/" kept[i]
  return out
}

function count_newlines(s) { return gsub(/\n/, "", s) }

# Arithmetic, $(( )) or (( )), from pos (skip: the length of its opening):
# only the commands substituted in it count.
function arithmetic(skip) {
  pos += skip
  parse(")", 1)
  if (at(0) == ")") pos++
  return "((...))"
}

# A redirection at pos: its operator and its target word.
function skip_redirection(    c) {
  while (at(0) ~ /[<>&|]/) pos++
  if (substr(text, pos - 1, 1) == "&" && at(0) ~ /[0-9-]/) {
    while (at(0) ~ /[0-9-]/) pos++
    return
  }
  while (at(0) == " " || at(0) == "\t") pos++
  while (pos <= len) {
    c = at(0)
    if (c ~ /[ \t\n;&|()<>]/) return
    if (c == "'" || c == "\"") pos += index(substr(text, pos + 1), c)
    pos++
  }
}

function emit(words, n, line, quiet,    i, w, opt) {
  if (quiet) return
  i = 1
  while (i <= n) {
    w = words[i]
    if (w ~ /^[A-Za-z_][A-Za-z0-9_]*(\[[^]]*\])?\+?=/) { i++; continue }
    if (w ~ /\(\)$/) { print "function\t" substr(w, 1, length(w) - 2) "\t" file; i++; continue }
    if (w in leads) { i++; continue }
    if (w == "coproc") { i += (words[i + 2] == "{") ? 3 : 1; continue }
    if (w == "function") { sub(/\(\)$/, "", words[i + 1]); print "function\t" words[i + 1] "\t" file; return }
    if (w == "source" || w == ".") print "source\t" sourced(words[i + 1]) "\t" file
    if (w == "case" && words[n] == "in") case_pattern = 1
    if ((w in ends) || w == "((...))") return
    gsub(/"/, "", w)
    if (w == "" || w ~ /[$\001]/) return
    if (w ~ /\//) {
      if (w !~ /^\//) return
      sub(/.*\//, "", w)
    }
    print "run\t" w "\t" file ":" line
    if (!(w in prefixes)) return
    # The command that this one runs: past its options, and past the
    # assignments of env and the duration of timeout.
    for (i++; i <= n; i++) {
      opt = words[i]
      if (opt ~ /^-/ && opt != "--") {
        if ((w " " opt) in option_arguments) i++
        continue
      }
      if (opt == "--") { i++; break }
      if (w == "env" && opt ~ /^[A-Za-z_][A-Za-z0-9_]*=/) continue
      break
    }
    if (w == "timeout") i++
  }
}
