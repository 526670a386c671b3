#!/usr/bin/env bash
# zorvik-cli: usage errors, the help, start-up on an empty folder, settings written back at the end.
set -u
cli="$1"; repo="$2"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$cli" >/dev/null 2>&1; [ $? -eq 2 ] || fail "no command must exit 2"
"$cli" --workdir "$work" nonsense >/dev/null 2>&1; [ $? -eq 2 ] || fail "unknown command must exit 2"

# The help lists every command, in a fixed order, with its usage line.
out=$("$cli" --help) || fail "--help must exit 0"
names=$(sed -n '/^commands:/,$p' <<<"$out" | awk 'NR > 1 { printf "%s ", $1 }')
[ "$names" = "check compile terminal copy generate history backtest info new resave uniform " ] || fail "commands in the help: $names"
grep -q "^  uniform SYSTEM (--symbol S | --timeframe ID) put the whole system" <<<"$out" || fail "usage line missing: $out"

cp -r "$repo/res" "$work/res"
out=$("$cli" --workdir "$work" info) || fail "info failed"
grep -q "parameters	48" <<<"$out" || fail "catalogue not built: $out"
grep -q "tab	EINSTELLUNGEN" <<<"$out" || fail "German tab caption missing"
[ -d "$work/user" ] || fail "user folder not created"
grep -q "^MAGIC=100000" "$work/res/Zorvik.ini" || fail "settings not written"

out=$("$cli" --workdir "$work" --english info) || fail "info --english failed"
grep -q "tab	SETTINGS" <<<"$out" || fail "English tab caption missing"
grep -q "^LANGUAGE=ENGLISCH" "$work/res/Zorvik.ini" || fail "language not kept"
echo ok
