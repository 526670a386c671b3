#!/usr/bin/env bash
# Creates or completes a working folder: res/ from the program's resources, user/ seeded with
# the demo library. A file the user already has is never overwritten.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
work="${1:?usage: seed-workdir.sh FOLDER}"
mkdir -p "$work/res" "$work/user"
cp -rn "$repo/res/." "$work/res/"
cp -rn "$repo/examples/user/." "$work/user/" 2>/dev/null || true
