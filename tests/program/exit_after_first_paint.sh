#!/usr/bin/env bash
# `zorvik --exit-after-first-paint` ends by itself with exit code 0, also when the start has
# something to tell (no resources anywhere: a fresh home folder and an empty working folder).
# What a box would have said goes to standard error instead of waiting for a click.
set -euo pipefail
program="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/home" "$tmp/work"
cd "$tmp/work"
status=0
HOME="$tmp/home" XDG_DATA_HOME="$tmp/home/data" XDG_CONFIG_HOME="$tmp/home/config" QT_QPA_PLATFORM=offscreen \
  timeout 60 "$program" --exit-after-first-paint 2>"$tmp/stderr" || status=$?
if [ "$status" -ne 0 ]; then
  echo "exit code $status (124: still running after 60 s)" >&2
  cat "$tmp/stderr" >&2
  exit 1
fi
# The missing definition table was reported, not swallowed.
if ! grep -q "DVDefTable" "$tmp/stderr"; then
  echo "the missing definition table was not reported:" >&2
  cat "$tmp/stderr" >&2
  exit 1
fi
