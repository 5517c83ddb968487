#!/usr/bin/env bash
# Every test, as CI runs it: the packages, the ordinary build and all its tests (the fuzz
# corpus replays among them), then a second build with AddressSanitizer and
# UndefinedBehaviorSanitizer of the core's test programs and the fuzz replays (the target
# core_checks; no Qt programs, no benchmarks) and those tests. Stops at the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVANE_SANITIZE=ON -DZORVANE_BUILD_BENCH=OFF
cmake --build build-asan -j2 --target core_checks
ctest --test-dir build-asan --output-on-failure -j2 -L sanitize --no-tests=error
