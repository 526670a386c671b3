#!/usr/bin/env bash
# zorvik-cli new and resave: file names, refusals, unique magic numbers, files that stay the same.
set -u
cli="$1"; repo="$2"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
run() { "$cli" --workdir "$work" "$@"; }
magic() { grep -a '^magic=' "$work/user/$1" | tr -dc '0-9'; }
cp -r "$repo/res" "$work/res"

out=$(run new Trend) || fail "new failed"
[ "$out" = "Trend.hsy.txt" ] || fail "new printed '$out'"
run new Trend >/dev/null 2>&1; [ $? -eq 1 ] || fail "a used name must be refused"
run new >/dev/null 2>&1; [ $? -eq 2 ] || fail "new without a name is a usage error"
out=$(run new a/b) || fail "new a/b failed"
[ "$out" = "a%2Fb.hsy.txt" ] || fail "a/b stored as '$out'"
[ "$(magic Trend.hsy.txt)" != "$(magic a%2Fb.hsy.txt)" ] || fail "two systems share a magic number"

# Names of dots and spaces alone would name the folder itself or a file no EA can be named after.
for name in "." ".." "..." " . "; do
  err=$(run new "$name" 2>&1 >/dev/null); [ $? -eq 1 ] || fail "new '$name' must be refused"
  grep -q "nur aus Punkten und Leerzeichen" <<<"$err" || fail "no reason for '$name': $err"
done
ls -a "$work/user" | grep -q '^\.*hsy\.txt$' && fail "a dots-only system file was created"
# A system created beside settings that cannot be saved is reported as created: exit 0.
chmod 444 "$work/res/Zorvik.ini"
out=$(run new B 2>"$work/err") || fail "new B with read-only settings must succeed: $(cat "$work/err")"
[ "$out" = "B.hsy.txt" ] && [ -f "$work/user/B.hsy.txt" ] || fail "B not created: $out"
grep -q "Einstellungen konnten nicht gespeichert werden" "$work/err" || fail "the settings' failure is not reported"
grep -q "trotzdem angelegt: B.hsy.txt" "$work/err" || fail "the creation is not reported"
chmod 644 "$work/res/Zorvik.ini"

cp "$work/user/a%2Fb.hsy.txt" "$work/before"
out=$(run resave a/b) || fail "resave by name failed"
[ "$out" = "a%2Fb.hsy.txt" ] || fail "resave printed '$out'"
cmp -s "$work/before" "$work/user/a%2Fb.hsy.txt" || fail "resave changed a file the program wrote"
run resave a%2Fb.hsy.txt >/dev/null || fail "resave by file name failed"
cmp -s "$work/before" "$work/user/a%2Fb.hsy.txt" || fail "second resave changed the file"
run resave Fehlt >/dev/null 2>&1; [ $? -eq 1 ] || fail "an unknown system must fail"

# An old timestamp magic is replaced by a number above every number in the library.
printf 'START general\r\nmagic="100050"\r\nENDE general\r\n' > "$work/user/Hoch.hsy.txt"
printf 'START general\r\nmagic="202401011230"\r\nENDE general\r\n' > "$work/user/Alt.hsy.txt"
err=$(run resave Alt 2>&1 >/dev/null) || fail "resave Alt failed"
grep -q "Magicnummer zugewiesen" <<<"$err" || fail "no note about the new magic number: $err"
[ "$(magic Alt.hsy.txt)" -gt 100050 ] || fail "new magic $(magic Alt.hsy.txt) not above the library's"
grep -q "^MAGIC=$(magic Alt.hsy.txt)" "$work/res/Zorvik.ini" || fail "counter not kept in the settings"
echo ok
