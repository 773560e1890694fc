#!/bin/bash
# Runs every fuzz target of the fuzz preset for a while, two at a time (or
# $FUZZ_JOBS), over its seed corpus; prints executions per target and exits
# nonzero when any target found a crash, a leak, a failed check or an
# allocation beyond 512 MB. Inputs that fail are kept in build/fuzz/findings.
#   usage: tools/run-fuzz.sh SECONDS [target...]
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-300}
shift || true
bin="$here/build/fuzz/tests/fuzz"
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=($(cd "$here/tests/fuzz" && ls *_fuzz.cpp | sed 's/\.cpp$//'))
jobs=${FUZZ_JOBS:-2}
findings="$here/build/fuzz/findings"
mkdir -p "$findings"

run_one() {
  local t=$1 work="$here/build/fuzz/tests/fuzz/work/$1"
  mkdir -p "$work"
  "$bin/$t" -max_total_time="$seconds" -rss_limit_mb=512 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/$t-" "$work" "$here/tests/fuzz/corpus/$t" >"$findings/$t.log" 2>&1
  echo $? >"$findings/$t.rc"
}

running=0
for t in "${targets[@]}"; do
  run_one "$t" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait

status=0
printf '%-22s %-6s %14s %10s %8s\n' target result executions exec/s peak-MB
for t in "${targets[@]}"; do
  log="$findings/$t.log"
  rc=$(cat "$findings/$t.rc" 2>/dev/null || echo 1)
  result=ok
  [ "$rc" = 0 ] || { result=FAIL; status=1; }
  stat() { awk -v k="stat::$1:" '$1 == k { print $2 }' "$log"; }
  printf '%-22s %-6s %14s %10s %8s\n' "$t" "$result" "$(stat number_of_executed_units)" \
    "$(stat average_exec_per_sec)" "$(stat peak_rss_mb)"
  [ "$rc" = 0 ] || grep -E 'ERROR|check failed|SUMMARY' "$log" | head -3 | sed 's/^/    /'
done
exit $status
