#!/usr/bin/env bash
# Creates or completes a working folder: res/ from the program's resources, user/ seeded with
# the demo library, history/ with the synthetic demo history (symbol DEMO, so that nobody takes it
# for real prices) when a built zorvik-cli is given. A file the user already has is never
# overwritten.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
work="${1:?usage: seed-workdir.sh FOLDER [ZORVIK-CLI]}"
cli="${2:-}"
mkdir -p "$work/res" "$work/user"
cp -rn "$repo/res/." "$work/res/"
cp -rn "$repo/examples/user/." "$work/user/" 2>/dev/null || true
if [ -n "$cli" ] && [ ! -e "$work/history/DEMO60.hst" ]; then
  "$cli" --workdir "$work" history --demo >/dev/null
fi
