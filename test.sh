#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the suite as built,
# the suite again under AddressSanitizer and UndefinedBehaviorSanitizer, the
# tests of code shared with another thread under ThreadSanitizer, and each
# fuzz harness for a bounded time (FUZZ_SECONDS, default 30).
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

echo "== tests sharing code with another thread, under ThreadSanitizer"
# Only the suites holding such tests are built: their names carry "Thread".
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DGRIMVALE_TSAN=ON -DGRIMVALE_BENCH=OFF >/dev/null
suites=$(grep -lE '^TEST(_F|_P)?\([^)]*Thread' tests/*/*.cpp | cut -d/ -f2 | sort -u | sed 's/^/test_/')
cmake --build build-tsan -j "$jobs" --target $suites
TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/scripts/tsan.supp" \
  "${xvfb[@]}" ctest --test-dir build-tsan -R Thread --no-tests=error --output-on-failure -j "$jobs"

echo "== fuzzing"
scripts/fuzz.sh "${FUZZ_SECONDS:-30}"

echo "== installed game and Debian package"
scripts/check_install.sh build
