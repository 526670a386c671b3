#!/usr/bin/env bash
# zorvik-cli and the files of the library: unique magic numbers between programs running at
# once, names that cannot become file names, things in the folder that are no regular file,
# saves that keep what they replace, interrupted saves, a file-size limit.
set -u
cli="$1"; repo="$2"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
run() { timeout 20 "$cli" --workdir "$work" "$@"; }
magic() { grep -a '^magic=' "$work/user/$1" | tr -dc '0-9'; }
cp -r "$repo/res" "$work/res"

# Two programs creating 50 systems each at the same time: 100 different magic numbers.
creator() { for i in $(seq 1 50); do run new "$1$i" >/dev/null || echo "new $1$i failed"; done; }
creator A >"$work/a.log" 2>&1 &
creator B >"$work/b.log" 2>&1 &
wait
! grep -q failed "$work/a.log" "$work/b.log" || fail "a creation failed: $(cat "$work/a.log" "$work/b.log")"
distinct=$(for f in "$work"/user/[AB]*.hsy.txt; do magic "$(basename "$f")"; echo; done | sort -u | wc -l)
[ "$distinct" -eq 100 ] || fail "only $distinct distinct magic numbers for 100 systems"

# Two programs creating the same name: one succeeds, the other is refused and replaces nothing.
for round in 1 2 3; do
  run new "Gleich$round" >"$work/one.out" 2>&1 & p1=$!
  run new "Gleich$round" >"$work/two.out" 2>&1 & p2=$!
  wait $p1; r1=$?; wait $p2; r2=$?
  [ $((r1 + r2)) -eq 1 ] || fail "same name created twice at once: exit codes $r1 and $r2"
done

# A name that decodes to a control character is refused and no file is made.
for name in 'Null%00Byte' 'Zeilen%0Aumbruch' 'Tab%09'; do
  run new "$name" >/dev/null 2>"$work/err"; [ $? -eq 1 ] || fail "$name must be refused"
  grep -q "Steuerzeichen" "$work/err" || fail "no reason for refusing $name: $(cat "$work/err")"
  [ ! -e "$work/user/$name.hsy.txt" ] || fail "$name was created"
done

# A FIFO named like a system hangs no command.
mkfifo "$work/user/Rohr.hsy.txt"
run info >/dev/null || fail "info with a FIFO in the library failed or hung"
run new NachRohr >/dev/null || fail "new with a FIFO in the library failed or hung"
run resave Rohr >/dev/null 2>&1; [ $? -eq 1 ] || fail "a FIFO must not be opened as a system"
rm "$work/user/Rohr.hsy.txt"

# A save keeps the mode of the file it replaces and refuses a read-only file.
chmod 640 "$work/user/A1.hsy.txt"
run resave A1 >/dev/null || fail "resave A1 failed"
[ "$(stat -c %a "$work/user/A1.hsy.txt")" = 640 ] || fail "mode changed to $(stat -c %a "$work/user/A1.hsy.txt")"
chmod 444 "$work/user/A2.hsy.txt"; cp "$work/user/A2.hsy.txt" "$work/a2.before"
run resave A2 >/dev/null 2>"$work/err"; [ $? -eq 1 ] || fail "a read-only file must not be replaced"
grep -q "read-only" "$work/err" || fail "no reason for the refusal: $(cat "$work/err")"
cmp -s "$work/a2.before" "$work/user/A2.hsy.txt" || fail "the read-only file changed"
[ "$(stat -c %a "$work/user/A2.hsy.txt")" = 444 ] || fail "the read-only file lost its mode"

# A save writes through a symbolic link to its target.
mkdir "$work/elsewhere"; mv "$work/user/A3.hsy.txt" "$work/elsewhere/"
ln -s "$work/elsewhere/A3.hsy.txt" "$work/user/A3.hsy.txt"
sed -i 's/^lots="[^"]*"/lots="4"/' "$work/elsewhere/A3.hsy.txt"
run resave A3 >/dev/null || fail "resave through a link failed"
[ -L "$work/user/A3.hsy.txt" ] || fail "the link was replaced by a file"
grep -aq '^lots="4"' "$work/elsewhere/A3.hsy.txt" || fail "the target lost its content"

# Names of 229 to 247 characters (the longest that fit with ".hsy.txt") save.
for len in 229 238 247; do
  name=$(printf 'L%.0s' $(seq 1 "$len"))
  run new "$name" >/dev/null || fail "a name of $len characters cannot be saved"
  run resave "$name" >/dev/null || fail "a name of $len characters cannot be saved again"
done

# Temporary files of interrupted saves are removed at the next start; another program's
# running save is left alone.
touch "$work/user/.~zorvik999999-3.tmp" "$work/user/A4.hsy.txt.tmp999999_0_123" "$work/user/.~zorvik$$-1.tmp"
run info >/dev/null || fail "info failed"
[ ! -e "$work/user/.~zorvik999999-3.tmp" ] || fail "a stale temporary file was kept"
[ ! -e "$work/user/A4.hsy.txt.tmp999999_0_123" ] || fail "a stale temporary file of the old form was kept"
[ -e "$work/user/.~zorvik$$-1.tmp" ] || fail "the temporary file of a running program was removed"
rm "$work/user/.~zorvik$$-1.tmp"

# A file-size limit makes the save fail with a message instead of killing the program.
cp "$work/user/A5.hsy.txt" "$work/a5.before"
# (The message goes through a pipe: the limit holds for files only.)
err=$(bash -c 'ulimit -f 0; exec "$0" "$@"' "$cli" --workdir "$work" resave A5 2>&1 >/dev/null); rc=$?
[ "$rc" = 1 ] || fail "a save over the size limit ended with $rc"
grep -q "nicht gespeichert" <<<"$err" || fail "no message for the failed save: $err"
cmp -s "$work/a5.before" "$work/user/A5.hsy.txt" || fail "the failed save changed the file"

# Language names in any case keep the choice lists.
printf 'LANGUAGE=englisch\r\n' >"$work/res/Zorvik.ini"
run info >/dev/null || fail "info in English failed"
grep -q "^LANGUAGE=ENGLISCH" "$work/res/Zorvik.ini" || fail "language not kept: $(cat "$work/res/Zorvik.ini")"

# Killed in the middle of saves, the program leaves whole files and, after the next start,
# no temporary file.
bash "$repo/scripts/kill-during-save.sh" "$cli" "$repo/res" 20 >"$work/kill.log" || fail "$(cat "$work/kill.log")"
echo ok
