#!/usr/bin/env bash
# zorvik-cli run-mq4: the generated Expert Advisor of a demo system, run by the interpreter on
# the demo history, makes the trades the backtest of the system makes; a source that fails the
# check, an EA stopped by a critical error or a used-up budget and a missing history end with
# exit 1 and the reason.
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

# With an account that charges commission and swap, takes margin and has a stop level, the
# EA's trades still agree with the backtest's, money columns included; --stoplevel is the
# older spelling of --stop-level.
money="--deposit 2000 --leverage 50 --stop-out 80 --commission 7 --swap-long -3.5 --swap-short 1.25"
# shellcheck disable=SC2086
z backtest "MACD Momentum" --history "$demo" $money --stop-level 15 --trades "$work/engine.csv" >/dev/null \
  || fail "money backtest"
# shellcheck disable=SC2086
out=$(z run-mq4 "$work/ea.mq4" --history "$demo" $money --stoplevel 15 --trades "$work/expert.csv" 2>&1) \
  || fail "money run-mq4: $out"
cut -d, -f1-10,12,13 "$work/engine.csv" > "$work/e"; cut -d, -f1-10,12,13 "$work/expert.csv" > "$work/x"
diff -q "$work/e" "$work/x" >/dev/null || fail "money: trades differ: $(diff "$work/e" "$work/x" | head -5)"
for bad in "--leverage 0" "--stop-out 200" "--commission -1" "--swap-short abc"; do
  # shellcheck disable=SC2086
  err=$(z run-mq4 "$work/ea.mq4" --history "$demo" $bad --trades "$work/refused.csv" 2>&1 >/dev/null); rc=$?
  [ $rc = 1 ] && [ -n "$err" ] && [ ! -e "$work/refused.csv" ] || fail "run-mq4 $bad: rc=$rc $err"
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

# Runaway programs stop at their budget, named with the function and line: a recursion bomb
# (no loop, never deep), a log flood. A budget option's value is read strictly.
printf 'int f(int n){ if(n<=0) return(1);\r\nreturn(f(n-1)+f(n-1)); }\r\nint start(){ f(60); return(0); }\r\n' > "$work/bomb.mq4"
out=$(z run-mq4 "$work/bomb.mq4" --history "$demo" --max-steps 100000 2>&1) && fail "the recursion bomb ran through"
grep -q "line 2, .*the step budget is used up (100000 .*in f()" <<<"$out" || fail "no step budget named: $out"
printf 'int start(){ for(int i=0;i<100000;i++) Print("flood ", i); return(0); }\r\n' > "$work/flood.mq4"
out=$(z run-mq4 "$work/flood.mq4" --history "$demo" --log "$work/flood.log" --max-log 1 2>&1) && fail "the flood ran through"
grep -q "the log budget is used up" <<<"$out" || fail "no log budget named: $out"
[ "$(stat -c %s "$work/flood.log")" -le 1048576 ] || fail "the log grew past its budget"
for bad in "--max-steps 0" "--max-memory x" "--max-log 1.5" "--max-tick-seconds 0"; do
  # shellcheck disable=SC2086
  err=$(z run-mq4 "$work/ea.mq4" --history "$demo" $bad 2>&1 >/dev/null); rc=$?
  [ $rc = 1 ] && grep -qF -- "run-mq4: $bad: ist keine ganze Zahl" <<<"$err" || fail "$bad: rc=$rc $err"
done

# --deposit is a money amount as in backtest: decimals are taken and the balance starts there;
# anything but a positive plain amount is refused by both commands alike.
out=$(z run-mq4 "$work/ea.mq4" --history "$demo" --deposit 2500.5 2>&1) || fail "--deposit 2500.5 refused: $out"
net=$(sed -n 's/^Net profit //p' <<<"$out"); balance=$(sed -n 's/^Balance //p' <<<"$out")
awk -v n="$net" -v b="$balance" 'BEGIN{d=b-n-2500.5; if (d<0) d=-d; exit !(d<0.005)}' \
  || fail "--deposit 2500.5: balance $balance after net profit $net"
for bad in 0 -5 1e5 2500,5 x ""; do
  for cmd in run-mq4 backtest; do
    subject="$work/ea.mq4"; [ "$cmd" = backtest ] && subject="MA Trendfolger"
    err=$(z "$cmd" "$subject" --history "$demo" --deposit "$bad" 2>&1 >/dev/null); rc=$?
    [ $rc = 1 ] && grep -qF -- "$cmd: --deposit $bad: ist kein positiver Betrag" <<<"$err" \
      || fail "$cmd --deposit '$bad': rc=$rc $err"
  done
done
exit 0
