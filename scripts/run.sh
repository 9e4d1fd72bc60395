#!/usr/bin/env bash
# Sets up the machine (the packages it needs, when missing), builds the program and starts it. Arguments
# go to the program: "/s" starts the scheduler at once.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc)" --target carrovex
exec build/release/carrovex "$@"
