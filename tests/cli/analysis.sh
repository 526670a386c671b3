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
[ "$(tail -6 <<<"$out" | cut -f1 | tr -d '\n')" = "123456" ] || fail "six rows expected: $out"
grep -q "^6	green	T:1 Stunde$" <<<"$out" || fail "timeframe row: $out"

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

run uniform "$sys" --timeframe idm5 >/dev/null || fail "uniform timeframe failed"
run uniform "$sys" --symbol EURUSD >/dev/null || fail "uniform symbol failed"
run uniform "$sys" --timeframe H7 >/dev/null 2>&1 && fail "unknown timeframe must be refused"
out=$(run check "$sys")
grep -q "^5	green	S:EURUSD$" <<<"$out" || fail "row 5 after uniform: $out"
grep -q "^6	green	T:5 Minuten$" <<<"$out" || fail "row 6 after uniform: $out"
grep -q 'timeframe="idM5"' "$file" || fail "timeframe not saved"
echo ok
