#!/usr/bin/env bash
# The long parity run: a few hundred trading systems made up at random, each run by the
# backtest engine and, as its generated Expert Advisor, by the MQL4 interpreter; every trade
# must agree. Usage: scripts/parity.sh [systems, default 300] [first seed, default 1000]
set -euo pipefail
cd "$(dirname "$0")/.."
systems=${1:-300}
seed=${2:-1000}
cmake --preset dev >/dev/null
cmake --build --preset dev --parallel 2 --target zorvik_core_tests
ZORVIK_PARITY_SYSTEMS=$systems ZORVIK_PARITY_SEED=$seed \
  build/dev/tests/zorvik_core_tests --gtest_filter='ParityOfEngineAndExpert.RandomSystems*'
