#!/usr/bin/env bash
# zorvik-cli check-mq4: every golden listing passes, each broken EA fails with its error line on
# stderr as file(line,col): error: text, and one bad file among good ones fails the whole run.
set -u
cli="$1"; repo="$2"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cp -r "$repo/res" "$work/res"; mkdir -p "$work/user"
run() { "$cli" --workdir "$work" check-mq4 "$@"; }

err=$(run "$repo"/tests/fixtures/golden/*.mq4 "$repo/tests/fixtures/mql4/valid_expert.mq4" 2>&1 >/dev/null) \
  || fail "generated EAs must pass: $err"
! grep -q ": error: " <<<"$err" || fail "errors for passing files: $err"

broken="$repo/tests/fixtures/mql4/broken"
for expected in "missing_semicolon.mq4(13,16): error: ';' - semicolon expected" \
                "undeclared_variable.mq4(16,38): error: 'cnt' - undeclared identifier" \
                "assignment_to_bid.mq4(12,21): error: 'Bid' - constant cannot be modified"; do
  file="$broken/${expected%%(*}"
  err=$(run "$file" 2>&1 >/dev/null); [ $? -eq 1 ] || fail "must fail: $file"
  grep -qF "$broken/$expected" <<<"$err" || fail "expected '$expected' in: $err"
done

err=$(run "$repo/tests/fixtures/mql4/valid_expert.mq4" "$broken/duplicate_local.mq4" 2>&1 >/dev/null)
[ $? -eq 1 ] || fail "one broken file among good ones must fail the run"
grep -q "duplicate_local.mq4(18,7): error: 'pos' - variable already defined" <<<"$err" || fail "no error line: $err"

err=$(run "$work/missing.mq4" 2>&1 >/dev/null); [ $? -eq 1 ] || fail "a missing file must fail"
grep -q "missing.mq4(0,0): error: cannot read the file" <<<"$err" || fail "no word about the missing file: $err"

run >/dev/null 2>&1; [ $? -eq 2 ] || fail "no file is a usage error"
echo ok
