#!/usr/bin/env bash
# Set-up, build and every test: the unit tests under CTest, then the fuzz
# target for a short run (FUZZ_SECONDS, 60 by default).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQIRT_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"
bash scripts/package_check.sh build

bash scripts/fuzz.sh "${FUZZ_SECONDS:-60}"
