#!/usr/bin/env bash
# zorvik-cli backtest: the demo library's systems on the demo history print their statistics
# and write the trades, the statistics and the report; a history that cannot be read, a
# system of another symbol, a timeframe that cannot be built and bad options end with exit 1
# and the reason.
set -u
cli="$1"; repo="$2"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$repo/scripts/seed-workdir.sh" "$work" >/dev/null
"$cli" --workdir "$work" history --demo >/dev/null || fail "no demo history"
demo="$work/history/DEMO60.hst"
[ -f "$demo" ] || fail "demo history not at $demo"
bt() { "$cli" --workdir "$work" backtest "$@"; }

for name in "MA Trendfolger" "MACD Momentum"; do
  out=$(bt "$name" --history "$demo" --trades "$work/t.csv" --json "$work/s.json" --report "$work/r.html" 2>&1) \
    || fail "$name: $out"
  grep -q "^Net profit  *-\?[0-9]*\.[0-9][0-9]$" <<<"$out" || fail "$name: no net profit line: $out"
  grep -q "^Trades  *[1-9][0-9]*$" <<<"$out" || fail "$name: no trades: $out"
  [ "$(head -1 "$work/t.csv")" = "ticket,type,lots,open_time,open_price,close_time,close_price,sl,tp,profit,reason,commission,swap" ] \
    || fail "$name: trades header"
  # Every row: ticket, type, lots with 2, times, prices with 5 decimals, profit with 2, reason,
  # commission and swap with 2.
  bad=$(tail -n +2 "$work/t.csv" | grep -cvE '^[0-9]+,(buy|sell),[0-9]+\.[0-9]{2},[0-9]{4}\.[0-9]{2}\.[0-9]{2} [0-9]{2}:[0-9]{2},[0-9]+\.[0-9]{5},[0-9]{4}\.[0-9]{2}\.[0-9]{2} [0-9]{2}:[0-9]{2},[0-9]+\.[0-9]{5},[0-9]+\.[0-9]{5},[0-9]+\.[0-9]{5},-?[0-9]+\.[0-9]{2},(signal|sl|tp|hedge|end|stopout),-?[0-9]+\.[0-9]{2},-?[0-9]+\.[0-9]{2}$')
  [ "$bad" = 0 ] || fail "$name: $bad malformed trade rows"
  keys=$(grep -o '"[a-z_]*":' "$work/s.json" | tr -d '":' | tr '\n' ' ')
  [ "$keys" = "net_profit gross_profit gross_loss profit_factor trades won_percent average_win average_loss largest_win largest_loss max_drawdown max_drawdown_percent recovery_factor expectancy total_commission total_swap stop_outs refused_not_enough_money " ] \
    || fail "$name: json keys: $keys"
  grep -q "<svg" "$work/r.html" && grep -q "<polyline" "$work/r.html" || fail "$name: report without equity curve"
done

# The statistics add up: net profit = the sum of the trades' results, profit + commission +
# swap (to the cent), also where the account charges both.
bt "MA Trendfolger" --history "$demo" --commission 7 --swap-long -3.5 --swap-short 1.25 \
  --trades "$work/t.csv" --json "$work/s.json" >/dev/null || fail "run with commission and swap"
awk -F, 'NR>1{s+=$10+$12+$13} END{printf "%.2f\n", s}' "$work/t.csv" > "$work/sum"
net=$(grep -o '"net_profit": [-0-9.e]*' "$work/s.json" | awk '{printf "%.2f\n", $2}')
awk -v a="$(cat "$work/sum")" -v b="$net" 'BEGIN{d=a-b; if (d<0) d=-d; exit !(d<0.05)}' || fail "net $net vs trades $(cat "$work/sum")"
grep -q '"total_commission": -[1-9]' "$work/s.json" || fail "no commission charged: $(cat "$work/s.json")"
awk -F, 'NR>1 && $12 >= 0 {bad=1} END{exit bad}' "$work/t.csv" || fail "a trade without its commission"

# A deposit too small for the smallest lot: every order refused (134), the run ends and says so.
out=$(bt "MA Trendfolger" --history "$demo" --deposit 5 --leverage 1 --json "$work/poor.json") || fail "poor run: $out"
grep -q "^Trades  *0$" <<<"$out" && grep -q "Fehler 134" <<<"$out" || fail "poor run: $out"
grep -q '"refused_not_enough_money": [1-9]' "$work/poor.json" || fail "poor run json: $(cat "$work/poor.json")"

# A path to the system's file in the library names it; a file outside the library does not.
bt "$work/user/MA Trendfolger.hsy.txt" --history "$demo" | grep -q "^Trades  *[1-9]" || fail "system named by its path"
cp "$work/user/MA Trendfolger.hsy.txt" "$work/elsewhere.hsy.txt"
err=$(bt "$work/elsewhere.hsy.txt" --history "$demo" 2>&1 >/dev/null); [ $? -eq 1 ] || fail "a system outside the library must fail"
grep -q "nicht in der Bibliothek" <<<"$err" || fail "no message for a system outside the library: $err"

# A window: fewer bars; --to takes its whole day.
out=$(bt "MA Trendfolger" --history "$demo" --from 2024-03-01 --to 2024-03-01) || fail "window run"
grep -q "2024.03.01 00:00 - 2024.03.01 23:00, 24 bars" <<<"$out" || fail "window: $out"

# A system reading M30 cannot run on H1 bars.
sed 's/timeframe="idH1"/timeframe="idM30"/' "$work/user/RSI Umkehr.hsy.txt" > "$work/user/RSI M30.hsy.txt"
err=$(bt "RSI M30" --history "$demo" 2>&1 >/dev/null); rc=$?
[ $rc = 1 ] && grep -q "M30-Bars lassen sich nicht" <<<"$err" || fail "M30 on H1: rc=$rc $err"

# A small hand-written History Center export of another symbol.
csv="$work/GBPUSD60.csv"
for h in 00 01 02 03 04 05 06 07 08 09; do echo "2024.01.02,$h:00,1.27000,1.27100,1.26900,1.27050,100"; done > "$csv"
sed 's/^symbol="Symbol()"/symbol="EURUSD"/' "$work/user/MA Trendfolger.hsy.txt" > "$work/user/Nur EURUSD.hsy.txt"
err=$(bt "Nur EURUSD" --history "$csv" 2>&1 >/dev/null); rc=$?
[ $rc = 1 ] && grep -q "Das System handelt EURUSD, die Historie ist von GBPUSD" <<<"$err" || fail "symbol mismatch: rc=$rc $err"
bt "MA Trendfolger" --history "$csv" >/dev/null || fail "a CSV history of ten bars"

# A bar whose high is below its close: refused with file and line.
printf '2024.01.02,00:00,1.27000,1.27100,1.26900,1.27050,100\n2024.01.02,01:00,1.27000,1.26950,1.26900,1.27050,100\n' > "$work/EURUSD60.csv"
err=$(bt "MA Trendfolger" --history "$work/EURUSD60.csv" 2>&1 >/dev/null); rc=$?
[ $rc = 1 ] && grep -q "EURUSD60.csv: line 2" <<<"$err" || fail "bad bar: rc=$rc $err"
err=$(bt "MA Trendfolger" --history "$work/none.csv" 2>&1 >/dev/null); rc=$?
[ $rc = 1 ] || fail "missing history: rc=$rc $err"

# Bad options.
for opts in "--spread -3" "--spread x" "--deposit 0" "--deposit 1e5" "--from 2024-02-30" "--to 24-01-01" \
            "--digits 9" "--speed 3" "--from" "--leverage 0" "--leverage -5" "--leverage nan" "--stop-out 101" \
            "--stop-out -1" "--commission -0.5" "--commission nan" "--swap-long x" "--swap-short inf" \
            "--swap-long 1e3" "--stop-level -1"; do
  # shellcheck disable=SC2086
  err=$(bt "MA Trendfolger" --history "$demo" $opts --trades "$work/refused.csv" 2>&1 >/dev/null); rc=$?
  [ $rc = 1 ] && [ -n "$err" ] || fail "option $opts: rc=$rc $err"
  [ ! -e "$work/refused.csv" ] || fail "option $opts: a file written on a refusal"
done
err=$(bt "MA Trendfolger" --history "$demo" --swap-long x 2>&1 >/dev/null)
grep -qF -- "--swap-long x: ist keine Zahl" <<<"$err" || fail "swap not a number: $err"
err=$(bt "MA Trendfolger" --history "$demo" --stop-out 100.5 2>&1 >/dev/null)
grep -qi "stop-out" <<<"$err" || fail "stop-out above 100: $err"
err=$(bt "MA Trendfolger" --history "$demo" --from 2024-05-01 --to 2024-04-01 2>&1 >/dev/null); rc=$?
[ $rc = 1 ] && grep -q "endet, bevor er beginnt" <<<"$err" || fail "reversed window: rc=$rc $err"
err=$(bt "MA Trendfolger" 2>&1 >/dev/null); rc=$?
[ $rc = 1 ] && grep -q -- "--history" <<<"$err" || fail "no history: rc=$rc $err"
# A file that cannot be written is a failure, after the statistics.
bt "MA Trendfolger" --history "$demo" --trades "$work/no/such/dir/t.csv" >/dev/null 2>&1 && fail "unwritable --trades"
# In English the same refusals are English through and through (this switch is kept for later runs).
err=$("$cli" --workdir "$work" --english backtest "MA Trendfolger" --history "$demo" --deposit 0 2>&1 >/dev/null); rc=$?
[ $rc = 1 ] && grep -qF "backtest: --deposit 0: not a positive amount" <<<"$err" || fail "English option refusal: rc=$rc $err"
err=$("$cli" --workdir "$work" --english backtest "Nur EURUSD" --history "$csv" 2>&1 >/dev/null); rc=$?
[ $rc = 1 ] && grep -q "The system trades EURUSD, the history is of GBPUSD" <<<"$err" && ! grep -qw "Historie" <<<"$err" \
  || fail "English symbol refusal: rc=$rc $err"
echo "backtest: ok"
