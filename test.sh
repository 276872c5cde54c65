#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the suite as built,
# the suite again under AddressSanitizer and UndefinedBehaviorSanitizer, and
# each fuzz harness for a bounded time (FUZZ_SECONDS, default 30).
# GL tests run on Mesa's software renderer under Xvfb, sound on OpenAL's null backend.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh test
jobs=$(nproc)

export LIBGL_ALWAYS_SOFTWARE=1 ALSOFT_DRIVERS=null GRIMVALE_NO_DIALOG=1 GRIMVALE_REQUIRE_DISPLAY=1
# -noreset: by default the X server resets whenever its last client leaves, and
# a client connecting during the reset is refused. SDL opens and closes the
# display once before opening it for good, so a test process that is the only
# client would now and then fail with "Couldn't open X11 display".
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24 -noreset")

echo "== include order of the source folders"
scripts/check_layers.sh

echo "== test suite"
"${xvfb[@]}" ctest --test-dir build --output-on-failure -j "$jobs"

echo "== test suite under sanitizers"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DGRIMVALE_SANITIZE=ON -DGRIMVALE_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
# Leak checking stays with the fuzzers: the GL and X libraries keep allocations
# until exit by design.
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  "${xvfb[@]}" ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== tests of code shared with a thread under ThreadSanitizer"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DGRIMVALE_TSAN=ON -DGRIMVALE_BENCH=OFF >/dev/null
cmake --build build-tsan -j "$jobs"
TSAN_OPTIONS=halt_on_error=1 "${xvfb[@]}" ctest --test-dir build-tsan --output-on-failure -j "$jobs" -R Thread

echo "== fuzzing"
scripts/fuzz.sh "${FUZZ_SECONDS:-30}"
