#!/usr/bin/env bash
# Sets up the machine and passes every test: formatting, a build with warnings as errors and its tests,
# and the tests once more under the address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

jobs=$(nproc)
cmake -S . -B build/sanitize -DCARROVEX_WERROR=ON -DCARROVEX_SANITIZE=ON -DCARROVEX_BENCH=OFF
cmake --build build/sanitize -j"$jobs"
(cd build/sanitize && ctest --output-on-failure -j"$jobs")

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DCARROVEX_WERROR=ON
cmake --build build/release -j"$jobs"
(cd build/release && ctest --output-on-failure -j"$jobs")
