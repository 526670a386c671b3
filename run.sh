#!/usr/bin/env bash
# Installs what is missing, builds Zorvik and starts it on the working folder ./work.
# The first start creates ./work with the program's res/, a demo library in user/ and the demo
# history in history/; later starts never overwrite what is already there.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

# The "run" preset of CMakePresets.json: RelWithDebInfo, no tests, in build/run.
build=build/run
cmake --preset run >/dev/null
cmake --build --preset run --parallel "$(nproc)"

./scripts/seed-workdir.sh work "$build/src/cli/zorvik-cli"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found. Start Zorvik under a virtual display with:  xvfb-run ./run.sh" >&2
  exit 1
fi

cd work
exec ../"$build"/src/gui/zorvik "$@"
