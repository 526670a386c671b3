#!/usr/bin/env bash
# Builds every benchmark of bench/ in release mode, runs them and prints one table:
# operation, median time, and where a baseline exists the ratio to it. A benchmark's baseline
# is the benchmark of the same name with "_Baseline" appended (same arguments).
#   ./bench.sh [FILTER]      FILTER: a regular expression for --benchmark_filter
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
# The "bench" preset of CMakePresets.json: Release with the benchmarks, in build/bench.
build=build/bench
cmake --preset bench >/dev/null
cmake --build --preset bench --parallel "$(nproc)"
out="$build/results"
mkdir -p "$out"
rm -f "$out"/*.json
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for b in "$build"/bench/*_bench; do
  [ -x "$b" ] || continue
  "$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
       --benchmark_filter="${1:-.}" --benchmark_format=json >"$out/$(basename "$b").json" \
       2>"$out/$(basename "$b").log"
done
python3 - "$out" <<'PY'
import json, sys, glob, os
rows = {}
order = []
for f in sorted(glob.glob(os.path.join(sys.argv[1], "*.json"))):
    for b in json.load(open(f)).get("benchmarks", []):
        if b.get("aggregate_name") != "median":
            continue
        name = b["run_name"]
        ns = b["real_time"] * {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b["time_unit"]]
        rows[name] = ns
        order.append(name)
def fmt(ns):
    for unit, div in (("s", 1e9), ("ms", 1e6), ("us", 1e3)):
        if ns >= div:
            return f"{ns / div:.3g} {unit}"
    return f"{ns:.3g} ns"
print("| operation | median | vs. baseline |")
print("|---|---|---|")
for name in order:
    if "_Baseline" in name:
        continue
    base_name = name.replace("/", "_Baseline/", 1) if "/" in name else name + "_Baseline"
    ratio = f"{rows[name] / rows[base_name]:.2f}x" if base_name in rows and rows[base_name] > 0 else ""
    print(f"| {name} | {fmt(rows[name])} | {ratio} |")
PY
