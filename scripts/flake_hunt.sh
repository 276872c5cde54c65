#!/usr/bin/env bash
# Runs every end-to-end and networked test COUNT times in a row (default 20)
# while stress-ng keeps every core busy, to find tests that fail by chance:
#   scripts/flake_hunt.sh [COUNT] [REGEX]
# Builds nothing: run after ./test.sh suite (or a build of build/). Each
# test's failures are listed at the end; the exit status is ctest's.
set -uo pipefail
cd "$(dirname "$0")/.."
count=${1:-20}
# By default every suite of the end-to-end and network binaries.
suites() { "build/tests/$1" --gtest_list_tests | grep -v '^ ' | tr -d '.' ; }
default=$( (suites test_e2e; suites test_net) | sort -u | paste -sd'|')
regex=${2:-"^($default)\."}
command -v stress-ng >/dev/null || { echo "stress-ng is missing (apt-get install stress-ng)" >&2; exit 2; }
stress-ng --cpu "$(nproc)" --quiet &
stress=$!
trap 'kill $stress 2>/dev/null' EXIT
export LIBGL_ALWAYS_SOFTWARE=1 ALSOFT_DRIVERS=null GRIMVALE_NO_DIALOG=1 GRIMVALE_REQUIRE_DISPLAY=1 LP_NUM_THREADS=0
build/tests/hold_ports 5020 5029 -- xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  ctest --test-dir build -R "$regex" --repeat until-fail:"$count" -j "$(( $(nproc) * 2 ))" --output-on-failure
