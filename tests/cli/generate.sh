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

# The lint's warnings go to stderr; generation goes on.
err=$("$cli" --workdir "$work" generate "MA Trendfolger" 2>&1 >/dev/null) || fail "warnings must not stop generation: $err"
grep -q "^lint	warn	EXIT LONG: der Trailing Stop (40)" <<<"$err" || fail "no lint warning before generating: $err"

# --source-only -o FILE writes the source there; a missing folder or -o without --source-only is refused.
out=$("$cli" --workdir "$work" generate "$name" --source-only -o "$work/ea.mq4" 2>/dev/null) || fail "-o failed"
[ "$out" = "$work/ea.mq4" ] || fail "-o printed: $out"
grep -q "int start()" "$work/ea.mq4" || fail "-o wrote no source"
err=$("$cli" --workdir "$work" generate "$name" --source-only -o "$work/missing/ea.mq4" 2>&1 >/dev/null)
[ $? -eq 1 ] || fail "a missing folder must fail"
grep -q "Der Ordner für die Quelldatei existiert nicht: $work/missing" <<<"$err" || fail "no message for the folder: $err"
[ ! -e "$work/missing" ] || fail "the folder must not be created"
"$cli" --workdir "$work" generate "$name" -o "$work/ea2.mq4" >/dev/null 2>&1; [ $? -eq 2 ] || fail "-o needs --source-only"

# Generations of two systems at once, as a script beside the window would start them: each
# takes turns at the one fixed-name source, so every output holds its own system's magic number
# and none fails for the other's sake. Twenty source-only runs; eight that compile and install,
# since those take turns at the compiler too and each waits for it.
magicOf() { grep -o 'extern int magic =[0-9]*' "$1"; }
for sys in "MA Trendfolger" "RSI Umkehr"; do
  "$cli" --workdir "$work" generate "$sys" --source-only -o "$work/alone-$sys.mq4" >/dev/null 2>&1 || fail "generate $sys alone"
done
[ "$(magicOf "$work/alone-MA Trendfolger.mq4")" != "$(magicOf "$work/alone-RSI Umkehr.mq4")" ] || fail "the two systems share a magic number"
for mode in source install; do
  pids=()
  rounds=10; [ $mode = install ] && rounds=4
  for i in $(seq 1 $rounds); do
    for sys in "MA Trendfolger" "RSI Umkehr"; do
      if [ $mode = source ]; then
        "$cli" --workdir "$work" generate "$sys" --source-only -o "$work/par-$i-$sys.mq4" >/dev/null 2>"$work/par-$i-$sys.err" &
      else
        "$cli" --workdir "$work" generate "$sys" >/dev/null 2>"$work/par-$i-$sys.err" &
      fi
      pids+=($!)
    done
  done
  for p in "${pids[@]}"; do wait "$p" || fail "a concurrent $mode generation failed: $(cat "$work"/par-*.err)"; done
  for i in $(seq 1 $rounds); do
    for sys in "MA Trendfolger" "RSI Umkehr"; do
      if [ $mode = source ]; then got="$work/par-$i-$sys.mq4"; else got="$work/MT4/MQL4/Experts/$sys.ex4"; fi
      [ "$(magicOf "$got")" = "$(magicOf "$work/alone-$sys.mq4")" ] || fail "$mode: $got holds another system's EA"
    done
  done
done
[ ! -e "$work/user/_Zorvik.mq4" ] || fail "fixed-name source left behind by the concurrent runs"

# A name holding "/" is named after its stored file.
"$cli" --workdir "$work" new "EUR/USD" >/dev/null || fail "new EUR/USD failed"
out=$("$cli" --workdir "$work" --yes generate "EUR/USD" 2>/dev/null) || fail "generate EUR/USD failed"
[ "$out" = "$work/user/EUR%2FUSD.ex4" ] || fail "EUR/USD generated as: $out"
[ -f "$work/MT4/MQL4/Experts/EUR%2FUSD.ex4" ] || fail "EUR/USD not installed"

# An EA that reaches no experts folder is a failure, though it was compiled.
mkdir -p "$work/MT4-broken"
printf 'METATRADERPFAD=%s\r\n' "$work/MT4-broken" > "$work/res/Zorvik.ini"
err=$("$cli" --workdir "$work" generate "$name" 2>&1 >/dev/null); [ $? -eq 1 ] || fail "a failed install must exit 1"
grep -q "konnte nicht in den MetaTrader-Ordner kopiert werden" <<<"$err" || fail "no message for the install: $err"

err=$("$cli" --workdir "$work" generate "No Such System" 2>&1 >/dev/null); [ $? -eq 1 ] || fail "a missing system must fail"
grep -q "Das Handelssystem gibt es nicht: No Such System" <<<"$err" || fail "no message for a missing system: $err"
echo ok
