#!/usr/bin/env bash
# fuzz.sh [SECONDS]: runs each libFuzzer harness of the sanitizer build
# (build-asan/fuzz/, built by ./test.sh's sanitizer stage) for the given
# number of seconds (default 30) from its seed corpus, as many at a time as
# the machine has cores. Fails on any crash, leak or hang.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
parallel=${FUZZ_JOBS:-$(nproc)}
out=build-asan/fuzz

run_one() {
  local harness=$1 name seeds work log
  name=$(basename "$harness")
  seeds=fuzz/corpus/${name#fuzz_}
  work=$out/corpus/$name
  log=$out/$name.log
  mkdir -p "$work"
  [ -d "$seeds" ] && cp -n "$seeds"/* "$work"/ 2>/dev/null || true
  if ! "$harness" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$out/$name-" "$work" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$name failed"
    return 1
  fi
  echo "-- $name for ${seconds}s: $(grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$log" |
    sed -E 's/^stat::([a-z_]+): +/\1 /' | tr '\n' ' ')"
}

harnesses=("$out"/fuzz_*)
[ -x "${harnesses[0]}" ] || { echo "no harnesses in $out: run ./test.sh fuzz" >&2; exit 1; }
failed=0
running=0
for harness in "${harnesses[@]}"; do
  [ -f "$harness" ] && [ -x "$harness" ] || continue
  if [ "$running" -ge "$parallel" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
  run_one "$harness" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
exit $failed
