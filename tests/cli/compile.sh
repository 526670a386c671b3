#!/usr/bin/env bash
# zorvik-cli compile: a missing compiler, a slow substitute compiler whose end is waited for,
# a Windows compiler without wine, and the English messages.
set -u
cli="$1"; repo="$2"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
fake="$(cd "$(dirname "$cli")/../../tools/fake-metalang" 2>/dev/null && pwd)/fake-metalang"
[ -x "$fake" ] || fail "substitute compiler not built next to the cli: $fake"

cp -r "$repo/res" "$work/res"
mkdir -p "$work/user" "$work/MT4/experts"
printf 'METATRADERPFAD=%s\r\n' "$work/MT4" > "$work/res/Zorvik.ini"
source_file="$repo/tests/fixtures/compile/complete_expert.mq4"

# Without a compiler our own check is the verdict: a well-formed source passes and is kept.
cp "$source_file" "$work/user/_Zorvik.mq4"
err=$("$cli" --workdir "$work" compile Trend 2>&1 >/dev/null) || fail "a checked source without a compiler must pass: $err"
grep -q "Der Compiler kann nicht gefunden werden" <<<"$err" || fail "no message for a missing compiler: $err"
grep -q "aber nicht kompiliert" <<<"$err" || fail "no word that the EA is not compiled: $err"
[ ! -e "$work/user/_Zorvik.mq4" ] && cmp -s "$source_file" "$work/user/Trend.mq4" || fail "source not kept as Trend.mq4"
[ ! -e "$work/user/Trend.ex4" ] || fail "an EA without a compiler"
rm "$work/user/Trend.mq4"

# A faulty source fails with or without a compiler, its errors listed.
sed 's/int thr2 = 0;/int thr2 = ;/' "$source_file" > "$work/user/_Zorvik.mq4"
err=$("$cli" --workdir "$work" compile Trend 2>&1 >/dev/null); [ $? -eq 1 ] || fail "a faulty source must fail"
grep -q "Trend.mq4(11,12): error: ';' - expression expected" <<<"$err" || fail "no error line: $err"
rm "$work/user/Trend.mq4"

ln -s "$fake" "$work/res/metalang.exe"
echo "delay_ms=1500" > "$work/res/metalang.exe.cfg"
cp "$source_file" "$work/user/_Zorvik.mq4"
err=$("$cli" --workdir "$work" compile Trend 2>&1 >/dev/null) || fail "compile failed: $err"
grep -q "Ok - der Expert Advisor >Trend< wurde erfolgreich erzeugt" <<<"$err" || fail "no success message: $err"
[ -f "$work/user/Trend.ex4" ] || fail "named EA missing"
cmp -s "$work/user/Trend.ex4" "$work/MT4/experts/Trend.ex4" || fail "EA not installed"
[ ! -e "$work/user/_Zorvik.ex4" ] && [ ! -e "$work/user/_Zorvik.mq4" ] || fail "fixed-name files left behind"

if ! command -v wine >/dev/null; then
  rm "$work/res/metalang.exe"; printf 'MZ\x90\x00' > "$work/res/metalang.exe"
  cp "$source_file" "$work/user/_Zorvik.mq4"
  err=$("$cli" --workdir "$work" compile Trend 2>&1 >/dev/null); [ $? -eq 1 ] || fail "Windows compiler without wine must fail"
  grep -q "wine ist nicht installiert" <<<"$err" || fail "no word about wine: $err"
  [ ! -e "$work/user/Trend.ex4" ] || fail "EA of the earlier run must be gone"
fi

err=$("$cli" --workdir "$work" --english terminal 2>&1 >/dev/null); [ $? -eq 1 ] || fail "terminal without terminal.exe must fail"
grep -q "The terminal cannot be found: $work/MT4/terminal.exe" <<<"$err" || fail "no English message: $err"
echo ok
