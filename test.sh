#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test, in stages:
#   layers      the include order of the source folders
#   suite       the suite as built (build/)
#   sanitizers  the suite again under AddressSanitizer and UndefinedBehaviorSanitizer
#               (build-asan/, clang; the same build holds the fuzz harnesses)
#   threads     the tests of code shared with another thread, under ThreadSanitizer
#               (build-tsan/, only the libraries and suites those tests need)
#   fuzz        each fuzz harness for FUZZ_SECONDS (default 30), two at a time
#   install     the game installed into a staging directory, its validators, and the Debian package
#   image       the dedicated server's container image built from that package (buildah, as root), and run
# With stage names as arguments only those run (`./test.sh fuzz`); each builds
# what it needs first. Every stage's build and run are timed, and the times are
# listed at the end. GL tests run on Mesa's software renderer under Xvfb,
# sound on OpenAL's null backend.
set -euo pipefail
cd "$(dirname "$0")"

all_stages=(layers suite sanitizers threads fuzz install image)
stages=("$@")
[ ${#stages[@]} -gt 0 ] || stages=("${all_stages[@]}")
for s in "${stages[@]}"; do
  [[ " ${all_stages[*]} " == *" $s "* ]] || { echo "unknown stage: $s (stages: ${all_stages[*]})" >&2; exit 2; }
done
wanted() { [[ " ${stages[*]} " == *" $1 "* ]]; }

jobs=$(nproc)
# Most of a suite's time is end-to-end tests waiting on games that pause
# between frames, so twice as many tests as cores keep the cores busy.
test_jobs=$((jobs * 2))
export LIBGL_ALWAYS_SOFTWARE=1 ALSOFT_DRIVERS=null GRIMVALE_NO_DIALOG=1 GRIMVALE_REQUIRE_DISPLAY=1
# Each test draws in its own thread: with every core busy running tests, the
# software renderer's own threads only add the cost of handing work around
# (a GL test takes about 40% less CPU without them; the pixels are the same).
export LP_NUM_THREADS=0
# -noreset: by default the X server resets whenever its last client leaves, and
# a client connecting during the reset is refused. SDL opens and closes the
# display once before opening it for good, so a test process that is the only
# client would now and then fail with "Couldn't open X11 display".
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24 -noreset")

# step NAME COMMAND...: runs one timed step and remembers its time.
times=()
started=$(date +%s)
step() {
  local name=$1 t0
  shift
  echo "== $name"
  t0=$(date +%s)
  "$@"
  times+=("$(printf '%-28s %5ss' "$name" $(($(date +%s) - t0)))")
}
report() {
  echo "== times"
  printf '%s\n' "${times[@]}"
  printf '%-28s %5ss\n' total $(($(date +%s) - started))
}
trap report EXIT

step "set-up and build" scripts/setup.sh test

if wanted layers; then
  step "include order" scripts/check_layers.sh
fi

# The suites run while the game's default ports (TCP and UDP 5020, discovery
# 5029) are held, as they are beside a running game: every test hosts on ports
# of its own.
held=(5020 5029 --)

if wanted suite; then
  step "suite" build/tests/hold_ports "${held[@]}" "${xvfb[@]}" ctest --test-dir build --output-on-failure -j "$test_jobs"
fi

if wanted sanitizers || wanted fuzz; then
  # clang: its sanitizers and libFuzzer's coverage in one build (GRIMVALE_FUZZ).
  sanitizer_build() {
    CC=clang CXX=clang++ scripts/configure.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG='-O1 -gline-tables-only' \
      -DCMAKE_C_FLAGS_DEBUG='-O1 -gline-tables-only' -DGRIMVALE_FUZZ=ON -DGRIMVALE_BENCH=OFF
    cmake --build build-asan -j "$jobs"
  }
  step "sanitizer build" sanitizer_build
fi

if wanted sanitizers; then
  # CTest starts the longest tests first when it knows their durations: on a
  # first run, those the plain suite just measured.
  costs=Testing/Temporary/CTestCostData.txt
  if [ -f "build/$costs" ] && [ ! -f "build-asan/$costs" ]; then
    mkdir -p "build-asan/$(dirname "$costs")"
    cp "build/$costs" "build-asan/$costs"
  fi
  # Leak checking stays with the fuzzers: the GL and X libraries keep allocations
  # until exit by design.
  step "sanitizer suite" env ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    build-asan/tests/hold_ports "${held[@]}" "${xvfb[@]}" ctest --test-dir build-asan --output-on-failure -j "$test_jobs"
fi

if wanted threads; then
  # Only the suites holding such tests are built: their names carry "Thread".
  suites=$(grep -lE '^TEST(_F|_P)?\([^)]*Thread' tests/*/*.cpp | cut -d/ -f2 | sort -u | sed 's/^/test_/')
  thread_build() {
    scripts/configure.sh build-tsan -DCMAKE_BUILD_TYPE=Debug -DGRIMVALE_TSAN=ON -DGRIMVALE_BENCH=OFF
    # shellcheck disable=SC2086
    cmake --build build-tsan -j "$jobs" --target $suites
  }
  step "thread build" thread_build
  step "thread suite" env TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/scripts/tsan.supp" \
    "${xvfb[@]}" ctest --test-dir build-tsan -R Thread --no-tests=error --output-on-failure -j "$jobs"
fi

if wanted fuzz; then
  step "fuzz" scripts/fuzz.sh "${FUZZ_SECONDS:-30}"
fi

if wanted install; then
  step "install and package" scripts/check_install.sh build
fi

if wanted image; then
  step "container image" scripts/check_image.sh build
fi
