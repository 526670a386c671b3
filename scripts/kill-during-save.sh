#!/usr/bin/env bash
# Kills zorvik-cli with SIGKILL at random moments while it saves trading systems, RUNS times,
# then starts it once more and checks that every system file is whole (byte for byte what the
# program writes) and that no temporary file is left behind.
#
# usage: scripts/kill-during-save.sh ZORVIK_CLI RES_FOLDER [RUNS]   (RUNS defaults to 200)
set -u
cli="$1"; res="$2"; runs="${3:-200}"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
run() { "$cli" --workdir "$work" "$@"; }
cp -r "$res" "$work/res"

# A comment of many lines makes each save long enough to be hit in the middle now and then.
names=(Eins Zwei Drei)
for n in "${names[@]}"; do run new "$n" >/dev/null || fail "new $n failed"; done
comment=$(for i in $(seq 1 4000); do printf 'Zeile %d des Kommentars\r\n' "$i"; done)
for n in "${names[@]}"; do
  f="$work/user/$n.hsy.txt"
  awk -v c="$comment" '{ if ($0 ~ /^comment=/) { print "comment=\"" c "\"\r" } else print }' "$f" >"$f.new" && mv "$f.new" "$f"
  run resave "$n" >/dev/null || fail "resave $n failed"
  cp "$f" "$work/$n.expected"
done

for ((i = 1; i <= runs; i++)); do
  n=${names[$((i % ${#names[@]}))]}
  # Started directly, not through run(): $! must be the program itself, not a subshell.
  "$cli" --workdir "$work" resave "$n" >/dev/null 2>&1 &
  pid=$!
  sleep "0.0$((RANDOM % 10))$((RANDOM % 10))"
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
done

# The next start clears what the killed saves left.
run info >/dev/null || fail "the start after the kills failed"
for n in "${names[@]}"; do
  cmp -s "$work/$n.expected" "$work/user/$n.hsy.txt" || fail "$n.hsy.txt is not whole after the kills"
done
left=$(find "$work/user" "$work/res" -name '.~zorvik*' -o -name '*.tmp[0-9]*')
[ -z "$left" ] || fail "temporary files left: $left"
echo "ok: $runs kills"
