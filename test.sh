#!/usr/bin/env bash
# Installs what is missing, builds everything with the sanitizers on and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZORVIK_SANITIZE=ON -DZORVIK_BUILD_TESTS=ON
cmake --build "$build" --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
# Each test sets its own leak checking (tests/CMakeLists.txt): on for the core and the
# command-line program, off for the window tests.
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$build" --output-on-failure --timeout 600 "$@"

# Every reader of outside data is fuzzed for a short while on each run (clang's libFuzzer);
# ZORVIK_FUZZ_SECONDS=0 skips it, scripts/fuzz.sh 300 is the long run.
fuzz_seconds=${ZORVIK_FUZZ_SECONDS:-15}
if [ "$fuzz_seconds" != 0 ]; then
  env -u ASAN_OPTIONS -u UBSAN_OPTIONS scripts/fuzz.sh "$fuzz_seconds"
fi
