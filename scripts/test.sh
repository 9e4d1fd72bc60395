#!/usr/bin/env bash
# Sets up the machine and passes every test: formatting; the tests under the address and undefined-behaviour
# sanitizers; a bounded fuzzing of the text readers; the tests again in a release build; the Debian packages
# built, validated and, as root, installed, run and removed; the Windows edition cross-built and tested
# under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/install-test-deps.sh

git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

jobs=$(nproc)
cmake -S . -B build/sanitize -DCARROVEX_WERROR=ON -DCARROVEX_SANITIZE=ON -DCARROVEX_BENCH=OFF
cmake --build build/sanitize -j"$jobs"
(cd build/sanitize && ctest --output-on-failure -j"$jobs")

# Arbitrary bytes through the readers of settings files, language files, interval texts and file names,
# for a bounded time, under the sanitizers; optimised, or the fuzzer tries too few inputs to find anything.
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCARROVEX_FUZZ=ON \
    -DCARROVEX_SANITIZE=ON -DCARROVEX_WERROR=ON -DCARROVEX_TESTS=OFF -DCARROVEX_BENCH=OFF -DCARROVEX_GUI=OFF
cmake --build build/fuzz -j"$jobs" --target text_fuzz
corpus=$(mktemp -d)
cp tests/fuzz/corpus/* "$corpus"/
build/fuzz/text_fuzz -max_total_time=60 -max_len=2048 "$corpus"
rm -rf "$corpus"

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DCARROVEX_WERROR=ON
cmake --build build/release -j"$jobs"
(cd build/release && ctest --output-on-failure -j"$jobs")

scripts/package.sh

# The Windows edition, cross-built and tested under Wine.
scripts/test-windows.sh
