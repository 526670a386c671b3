#!/usr/bin/env bash
# zorvik-cli history: the demo history written and described, a listing of terminal folders,
# CSV files, and bad files refused with the reader's message and exit code 1.
set -u
cli="$1"; repo="$2"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
run() { HOME="$work/home" timeout 20 "$cli" --workdir "$work" "$@"; }
cp -r "$repo/res" "$work/res"

# The seeding writes the demo history once and keeps what is there.
"$repo/scripts/seed-workdir.sh" "$work" "$cli" >/dev/null || fail "seeding failed"
demo="$work/history/DEMO60.hst"
[ -s "$demo" ] || fail "no demo history after seeding"
out=$(run history "$demo") || fail "describing the demo history failed"
expected=$(printf 'file\t%s\nformat\thst v401\nsymbol\tDEMO\ntimeframe\tH1\ndigits\t5\nbars\t12480\nfirst\t2023.01.02 00:00\nlast\t2024.12.27 23:00' "$demo")
[ "$out" = "$expected" ] || fail "demo description: $out"
sum=$(cksum <"$demo")
run history --demo >/dev/null || fail "--demo failed"
[ "$(cksum <"$demo")" = "$sum" ] || fail "the demo history is not the same when written again"

# A terminal of the wine prefix with one sound and one damaged history file.
server="$work/home/.wine/drive_c/users/me/AppData/Roaming/MetaQuotes/Terminal/ABC/history/Broker-Demo"
mkdir -p "$server" "$work/home/.wine/drive_c/users/me/AppData/Roaming/MetaQuotes/Terminal/ABC/MQL4"
cp "$demo" "$server/DEMO60.hst"
head -c 1000 "$demo" >"$server/CUT60.hst"
out=$(run history --list 2>"$work/err"); rc=$?
[ $rc -eq 1 ] || fail "a damaged file in the listing must exit 1, not $rc"
grep -q "CUT60.hst: record 15: truncated" "$work/err" || fail "damaged file not named: $(cat "$work/err")"
[ "$(sed -n 1p <<<"$out")" = "$(printf 'demo\tDEMO\tH1\t12480\t2023.01.02 00:00\t2024.12.27 23:00\thst v401\t%s' "$demo")" ] \
  || fail "demo history not listed first: $out"
grep -q "^Broker-Demo	DEMO	H1	12480	.*$server/DEMO60.hst$" <<<"$out" || fail "terminal history not listed: $out"
rm "$server/CUT60.hst"
run history --list >/dev/null 2>&1 || fail "a sound listing must exit 0"

# CSV: symbol and timeframe from the name, JPY digits; with settings given on the command line.
printf 'Date,Time,Open,High,Low,Close,Volume\r\n2024.03.01,00:00,150.1,150.3,150.0,150.2,10\r\n2024.03.01,04:00,150.2,150.4,150.1,150.3,12\r\n' >"$work/USDJPY240.csv"
out=$(run history "$work/USDJPY240.csv") || fail "CSV not described"
grep -q "^format	CSV with header$" <<<"$out" && grep -q "^symbol	USDJPY$" <<<"$out" && grep -q "^timeframe	H4$" <<<"$out" \
  && grep -q "^digits	3$" <<<"$out" || fail "CSV description: $out"
out=$(run history "$work/USDJPY240.csv" --symbol XY --timeframe 60 --digits 2) || fail "CSV with settings not described"
grep -q "^symbol	XY$" <<<"$out" && grep -q "^timeframe	H1$" <<<"$out" && grep -q "^digits	2$" <<<"$out" || fail "settings ignored: $out"

# Bad files: the reader's message on stderr, nothing on stdout, exit 1.
printf '2024.03.01,00:00,1.1,1.0,1.05,1.1,5\n' >"$work/EURUSD60.csv"
printf 'nothing' >"$work/EMPTY60.hst"
for f in "EURUSD60.csv:line 1: high 1 below open/close" "EMPTY60.hst:header: truncated" "MISSING60.hst:cannot open"; do
  file="$work/${f%%:*}"; msg="${f#*:}"
  out=$(run history "$file" 2>"$work/err"); rc=$?
  [ $rc -eq 1 ] || fail "${f%%:*} must exit 1, not $rc"
  [ -z "$out" ] || fail "${f%%:*}: output for a refused file: $out"
  grep -qF "$file: $msg" "$work/err" || fail "${f%%:*}: message: $(cat "$work/err")"
done

# A file lying about its size (sparse, a terabyte) and a symbol that would retitle and clear the
# terminal: refused with exit 1, and no control character reaches the terminal.
cp "$demo" "$work/HUGE60.hst"; truncate -s 1T "$work/HUGE60.hst"
cp "$demo" "$work/ESC60.hst"; printf '\033]0;X\007\033[2J' | dd of="$work/ESC60.hst" bs=1 seek=68 conv=notrunc 2>/dev/null
for f in "HUGE60.hst:more than the 100000000 bars a history may hold" "ESC60.hst:holds a control character"; do
  file="$work/${f%%:*}"
  out=$(run history "$file" 2>"$work/err"); rc=$?
  [ $rc -eq 1 ] && [ -z "$out" ] || fail "${f%%:*} must be refused: rc=$rc $out"
  grep -qF "${f#*:}" "$work/err" || fail "${f%%:*}: message: $(cat "$work/err")"
  if grep -q $'\033' "$work/err"; then fail "${f%%:*}: a control character reached the terminal"; fi
  out=$(run backtest "MA Trendfolger" --history "$file" 2>&1); [ $? -eq 1 ] || fail "backtest on ${f%%:*} must exit 1"
done

# Usage errors exit 2.
for args in "" "--nonsense" "--list extra" "$demo --timeframe" "$demo --digits x"; do
  # shellcheck disable=SC2086
  run history $args >/dev/null 2>&1; rc=$?
  [ $rc -eq 2 ] || fail "history $args must exit 2, not $rc"
done
echo ok
