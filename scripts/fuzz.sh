#!/usr/bin/env bash
# Builds the fuzz targets with clang (ASan + UBSan + libFuzzer) and runs each for a while.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]     (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
# The "fuzz" preset of CMakePresets.json: clang, sanitizers and libFuzzer, in build/fuzz.
build=build/fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --parallel "$(nproc)"
status=0
for target in "$build"/fuzz/*_fuzz; do
  name=$(basename "$target")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  echo "== $name: ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 -print_final_stats=0 \
       -artifact_prefix="$build/crash-$name-" "$corpus" 2>"$build/$name.log"; then
    echo "FAILED: $name (see $build/$name.log)"; tail -30 "$build/$name.log"; status=1
  fi
done
exit $status
