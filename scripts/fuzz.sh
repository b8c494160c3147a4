#!/usr/bin/env bash
# Builds the expression fuzz target with clang, libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs it for the given number of
# seconds (default 60) from the seed corpus. Any crash or sanitizer report
# fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQIRT_FUZZ=ON -DQIRT_TESTS=OFF -DQIRT_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target fuzz_expression

# New inputs go to a scratch copy; the checked-in seeds stay as they are.
work=build-fuzz/corpus
mkdir -p "$work"
cp -n tests/fuzz/corpus/* "$work"/
# A finding is written to build-fuzz/findings/, not into the checkout.
mkdir -p build-fuzz/findings
./build-fuzz/tests/fuzz/fuzz_expression -artifact_prefix=build-fuzz/findings/ -max_total_time="$seconds" -max_len=8192 -timeout=20 \
  -rss_limit_mb=4096 -print_final_stats=1 "$work" 2>&1 | tail -n 25
echo "fuzz: ${seconds} s, no crash"
