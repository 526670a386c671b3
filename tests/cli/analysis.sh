#!/usr/bin/env bash
# zorvik-cli check, copy and uniform on a copy of the demo library.
set -u
cli="$1"; repo="$2"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cp -r "$repo/res" "$work/res"
mkdir -p "$work/user" && cp "$repo/examples/user/"* "$work/user/"
run() { "$cli" --workdir "$work" "$@"; }
sys="MA Trendfolger"
file="$work/user/$sys.hsy.txt"

out=$(run check "$sys") || fail "check failed"
head -1 <<<"$out" | grep -q "^HS:$sys.hsy.txt$" || fail "list does not start with the system: $out"
[ "$(grep -v '^lint	' <<<"$out" | tail -6 | cut -f1 | tr -d '\n')" = "123456" ] || fail "six rows expected: $out"
grep -q "^6	green	T:1 Stunde$" <<<"$out" || fail "timeframe row: $out"
# The lint follows the six rows: this demo system trails closer than its stop loss, on H1.
[ "$(tail -3 <<<"$out")" = "lint	warn	EXIT LONG: der Trailing Stop (40) ist kleiner als der Stop Loss (60) und ersetzt ihn schon beim ersten Tick.
lint	warn	EXIT SHORT: der Trailing Stop (40) ist kleiner als der Stop Loss (60) und ersetzt ihn schon beim ersten Tick.
lint	info	Indikatoren rechnen im Zeitrahmen 1 Stunde, gleich in welchem Zeitrahmen der Chart steht." ] || fail "lint rows: $out"
for demo in "$work"/user/*.hsy.txt; do
  name=$(basename "$demo" .hsy.txt)
  run check "$name" | grep -q "^lint	\(warn\|info\)	." || fail "no lint row for the demo system $name"
done

# An entry group of ADX alone fires (ADX writes its signal line); one of an unknown type never does.
system_with_entry() {
  printf 'START moneymanagement\r\nsymbol="Symbol()"\r\nENDE moneymanagement\r\n'
  for g in entrylong exitlong; do
    printf 'START %s\r\nthreshold="100"\r\nSTART indikator\r\nindikatortyp="%s"\r\nsymbol="Symbol()"\r\n' "$g" "$1"
    printf 'timeframe="idChart"\r\nvalue="1"\r\nactiontyp="idStandard"\r\nSTOP indikator\r\nENDE %s\r\n' "$g"
  done
}
system_with_entry ADX > "$work/user/Nur ADX.hsy.txt"
out=$(run check "Nur ADX") || fail "check of an ADX system failed"
# (Its stops are the catalogue's 5, 6 and 7 points, within the spread: reported as warnings.
# Its indicators lack their periods and open with the catalogue's; a period that can never be
# valid is an error of its own.)
grep -q "^lint	warn	EXIT LONG: Stop Loss 5 Punkte = 0,5 Pips auf einem Kurs mit 5 Nachkommastellen, " <<<"$out" ||
  fail "a stop within the spread must be reported: $out"
grep -q '^lint	error' <<<"$out" && fail "a missing period opens with the catalogue's: $out"
system_with_entry ADX | sed 's/^value="1"/period="abc"\r\nvalue="1"/' > "$work/user/ADX abc.hsy.txt"
out=$(run check "ADX abc") || fail "check of an ADX system with a bad period failed"
grep -q '^lint	error	ADX abc: LONG 1 (ADX), Periode "abc": ist keine Zahl$' <<<"$out" || fail "a bad period is an error: $out"
grep -v "Spread" <<<"$out" | grep -v "^lint	error	" | grep -q "^lint	.*LONG" && fail "an ADX group must not be reported: $out"
system_with_entry Volumes > "$work/user/Nur Volumes.hsy.txt"
out=$(run check "Nur Volumes")
grep -q "^lint	warn	LONG: keiner ihrer Indikatoren kann ein Signal geben (Volumes), die Gruppe löst nie aus.$" <<<"$out" ||
  fail "a group that never fires must be reported: $out"

# A copy from tab 0 is refused, an unanswered question changes nothing.
before=$(cat "$file")
run copy "$sys" --from 0 --yes >/dev/null 2>&1 && fail "tab 0 must be refused"
run copy "$sys" --from 1 </dev/null >/dev/null 2>&1 && fail "copy without an answer must not run"
[ "$(cat "$file")" = "$before" ] || fail "refused copies changed the file"
run copy "$sys" --from x >/dev/null 2>&1; [ $? -eq 2 ] || fail "bad tab must be a usage error"

run copy "$sys" --from 1 --mirror --yes >/dev/null 2>/dev/null || fail "mirror failed"
out=$(run check "$sys") || fail "check after mirror failed"
grep -q "^1	green	L=XS$" <<<"$out" || fail "row 1 after mirror: $out"
grep -q "^3	green	====$" <<<"$out" || fail "row 3 after mirror: $out"

# The RSI demo buys below 30 and sells above 70: a mirror from its long entry keeps it so.
rsi="RSI Umkehr"
run copy "$rsi" --from 1 --mirror --yes >/dev/null 2>&1 || fail "RSI mirror failed"
[ "$(grep -ao 'actionline="[0-9]*"' "$work/user/$rsi.hsy.txt" | tr '\n' ' ')" = \
  'actionline="30" actionline="70" actionline="70" actionline="30" ' ] || fail "RSI levels after the mirror"
out=$(run check "$rsi")
grep -q "^3	green	====$" <<<"$out" || fail "RSI row 3 after the mirror: $out"

# Values that can never be valid are errors of the check, named as the trader sees them.
sed -e '0,/period="14"/s//period="abc"/' -e '0,/sl="30"/s//sl="-50"/' "$work/user/$rsi.hsy.txt" > "$work/user/RSI kaputt.hsy.txt"
out=$(run check "RSI kaputt") || fail "check of invalid values failed"
[ "$(grep "^lint	error	" <<<"$out")" = 'lint	error	RSI Umkehr: LONG 1 (RSI Cross), Periode "abc": ist keine Zahl
lint	error	RSI Umkehr: EXIT LONG, Stoploss "-50": darf nicht negativ sein' ] || fail "errors of invalid values: $out"

run uniform "$sys" --timeframe idm5 >/dev/null || fail "uniform timeframe failed"
run uniform "$sys" --symbol EURUSD >/dev/null || fail "uniform symbol failed"
run uniform "$sys" --timeframe H7 >/dev/null 2>&1 && fail "unknown timeframe must be refused"
out=$(run check "$sys")
grep -q "^5	green	S:EURUSD$" <<<"$out" || fail "row 5 after uniform: $out"
grep -q "^6	green	T:5 Minuten$" <<<"$out" || fail "row 6 after uniform: $out"
grep -q 'timeframe="idM5"' "$file" || fail "timeframe not saved"

# Last: the language stays English for later runs.
out=$(run --english check "Nur Volumes") || fail "English check failed"
grep -q "^lint	warn	LONG: none of its indicators can give a signal (Volumes), the group never fires.$" <<<"$out" ||
  fail "English lint: $out"
echo ok
