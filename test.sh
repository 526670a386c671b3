#!/usr/bin/env bash
# Installs what is missing, builds everything with the sanitizers on and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

# The "test" preset of CMakePresets.json: Debug, AddressSanitizer and UBSan, warnings as
# errors, in build/test. Each test sets its own leak checking (tests/CMakeLists.txt): on for the
# core and the command-line program, off for the window tests.
cmake --preset test
cmake --build --preset test --parallel "$(nproc)"

export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --preset test "$@"

# Every reader of outside data is fuzzed for a short while on each run (clang's libFuzzer);
# ZORVIK_FUZZ_SECONDS=0 skips it, scripts/fuzz.sh 300 is the long run.
fuzz_seconds=${ZORVIK_FUZZ_SECONDS:-15}
if [ "$fuzz_seconds" != 0 ]; then
  env -u ASAN_OPTIONS -u UBSAN_OPTIONS scripts/fuzz.sh "$fuzz_seconds"
fi
