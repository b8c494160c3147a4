#!/usr/bin/env bash
# Set-up, build and every test: the unit tests under CTest and the Debian
# package check; every test again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the tests that start threads under
# ThreadSanitizer; then the fuzz target for a short run (FUZZ_SECONDS, 60 by
# default).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQIRT_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"
bash scripts/package_check.sh build

# Every test with AddressSanitizer and UndefinedBehaviorSanitizer (the
# flags come from QIRT_SANITIZE in CMakeLists.txt). A report stops the
# program with status 66, a status none of our programs gives (qirt-batch's
# own errors give 1 and 2, which its test expects), so that its test fails.
# Leaks are reported at exit; the suppressions name only fontconfig. The
# options hold for this stage only (a subshell), not for the fuzz run.
(
  export ASAN_OPTIONS=halt_on_error=1:exitcode=66:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
  export UBSAN_OPTIONS=halt_on_error=1:exitcode=66:print_stacktrace=1
  export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQIRT_SANITIZE=address,undefined \
    -DQIRT_BENCH=OFF >/dev/null
  cmake --build build-asan -j "$jobs"
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
)

# The tests whose code starts threads, with ThreadSanitizer: the map samples
# its grid on worker threads, so the engine's map and comparison tests,
# qirt-batch's test and every window test (each window that shows a map
# keeps handling its events while the workers sample) run; only their
# targets are built. A data race stops the test with status 66. The
# suppressions leave out the inside of Qt, which is not instrumented.
(
  export TSAN_OPTIONS=halt_on_error=1:exitcode=66:second_deadlock_stack=1:suppressions=$PWD/tests/sanitizers/tsan.supp
  cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQIRT_SANITIZE=thread \
    -DQIRT_BENCH=OFF >/dev/null
  cmake --build build-tsan -j "$jobs" --target test_track test_map test_methods test_grafik test_runs test_task test_report test_tasks test_formula_field \
    test_windows test_fit test_settings test_language qirt-batch
  # tests/graph and tests/methods hold the threaded tests (every target under
  # tests/graph is built, since ctest runs the whole folder); of the rest, the
  # window tests and qirt-batch's. The surface window's test is left out (its
  # target is not built here): the window starts no threads of its own, only
  # Mesa's software renderer does.
  ctest --test-dir build-tsan/tests/graph --output-on-failure -j "$jobs" -E '^test_surface'
  ctest --test-dir build-tsan/tests/methods --output-on-failure -j "$jobs"
  ctest --test-dir build-tsan --output-on-failure -j "$jobs" \
    -R '^(test_(windows|fit|settings|language|tasks|formula_field)(_en)?|qirt_batch)$'
)

bash scripts/fuzz.sh "${FUZZ_SECONDS:-60}"
