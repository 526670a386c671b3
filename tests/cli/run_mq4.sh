#!/usr/bin/env bash
# zorvik-cli run-mq4: the generated Expert Advisor of a demo system, run by the interpreter on
# the demo history, makes the trades the backtest of the system makes; a source that fails the
# check, an EA stopped by a critical error and a missing history end with exit 1 and the reason.
set -u
cli="$1"; repo="$2"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$repo/scripts/seed-workdir.sh" "$work" >/dev/null
"$cli" --workdir "$work" history --demo >/dev/null || fail "no demo history"
demo="$work/history/DEMO60.hst"
z() { "$cli" --workdir "$work" "$@"; }

for name in "MA Trendfolger" "MACD Momentum"; do
  z generate "$name" --source-only -o "$work/ea.mq4" >/dev/null 2>&1 || fail "$name: no source"
  z backtest "$name" --history "$demo" --trades "$work/engine.csv" >/dev/null || fail "$name: backtest"
  out=$(z run-mq4 "$work/ea.mq4" --history "$demo" --trades "$work/expert.csv" --log "$work/ea.log" 2>&1) \
    || fail "$name: run-mq4: $out"
  grep -q "^Trades [1-9][0-9]*$" <<<"$out" || fail "$name: no trades: $out"
  # Ticket, type, lots, times, prices, stops and profit agree; the EA's own closes (exit signal
  # or hedging) are one kind of close to the terminal.
  cut -d, -f1-10 "$work/engine.csv" > "$work/e"; cut -d, -f1-10 "$work/expert.csv" > "$work/x"
  diff -q "$work/e" "$work/x" >/dev/null || fail "$name: trades differ: $(diff "$work/e" "$work/x" | head -5)"
  grep -q "start of signalcheck" "$work/ea.log" || fail "$name: the EA's prints are not in the log"
done

# Refusals: exit 1 with the reason.
printf 'int start(){ int x = 1 return(0); }\r\n' > "$work/broken.mq4"
out=$(z run-mq4 "$work/broken.mq4" --history "$demo" 2>&1) && fail "a broken source ran"
grep -q "broken.mq4(1," <<<"$out" || fail "no position of the fault: $out"
printf 'int start(){ int z = Bars - Bars; Print(1 / z); return(0); }\r\n' > "$work/divide.mq4"
out=$(z run-mq4 "$work/divide.mq4" --history "$demo" 2>&1) && fail "a zero divide passed"
grep -q "zero divide" <<<"$out" || fail "no zero divide: $out"
out=$(z run-mq4 "$work/ea.mq4" 2>&1) && fail "ran without a history"
grep -q "history" <<<"$out" || fail "no reason: $out"
exit 0
