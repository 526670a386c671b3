#!/usr/bin/env bash
# zorvik-cli generate: every system of the demo library becomes an Expert Advisor that lands in
# the experts folder the terminal uses; a source-only run leaves the source; a system that is
# not there fails with its message.
set -u
cli="$1"; repo="$2"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
fake="$(cd "$(dirname "$cli")/../../tools/fake-metalang" 2>/dev/null && pwd)/fake-metalang"
[ -x "$fake" ] || fail "substitute compiler not built next to the cli: $fake"

"$repo/scripts/seed-workdir.sh" "$work" >/dev/null
# A newer terminal: its experts live in MQL4/Experts.
mkdir -p "$work/MT4/MQL4/Experts"
printf 'METATRADERPFAD=%s\r\n' "$work/MT4" > "$work/res/Zorvik.ini"
ln -s "$fake" "$work/res/metalang.exe"

count=0
for f in "$work"/user/*.hsy.txt; do
  name=$(basename "$f" .hsy.txt)
  out=$("$cli" --workdir "$work" generate "$name" 2>/dev/null) || fail "generate $name failed"
  [ "$out" = "$work/user/$name.ex4" ] || fail "unexpected output for $name: $out"
  [ -f "$work/MT4/MQL4/Experts/$name.ex4" ] || fail "$name not installed into MQL4/Experts"
  count=$((count + 1))
done
[ "$count" -ge 3 ] || fail "demo library holds only $count systems"
[ ! -e "$work/user/_Zorvik.mq4" ] || fail "fixed-name source left behind"

name=$(basename "$(ls "$work"/user/*.hsy.txt | head -1)" .hsy.txt)
out=$("$cli" --workdir "$work" generate "$name" --source-only 2>/dev/null) || fail "source-only failed"
[ "$out" = "$work/user/_Zorvik.mq4" ] || fail "source-only printed: $out"
grep -q "extern int magic =1" "$out" || fail "source holds no magic number"
grep -q "int start()" "$out" || fail "source holds no start function"

err=$("$cli" --workdir "$work" generate "No Such System" 2>&1 >/dev/null); [ $? -eq 1 ] || fail "a missing system must fail"
grep -q "Das Handelssystem gibt es nicht: No Such System" <<<"$err" || fail "no message for a missing system: $err"
echo ok
