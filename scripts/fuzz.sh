#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs each for the given number
# of seconds (default 30) from its seed corpus. Fails on any crash, leak or hang.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRIMVALE_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)"
for harness in build-fuzz/fuzz/fuzz_*; do
  [ -x "$harness" ] || continue
  name=$(basename "$harness")
  seeds=fuzz/corpus/${name#fuzz_}
  work=build-fuzz/corpus/$name
  mkdir -p "$work"
  [ -d "$seeds" ] && cp -n "$seeds"/* "$work"/ 2>/dev/null || true
  echo "-- $name for ${seconds}s"
  log=build-fuzz/$name.log
  if ! "$harness" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix=build-fuzz/"$name"- "$work" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$name failed"
    exit 1
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$log"
done
