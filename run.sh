#!/usr/bin/env bash
# Installs what is missing, builds Zorvik and starts it on the working folder ./work.
# The first start creates ./work with the program's res/ and a demo library in user/;
# later starts never overwrite what is already there.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVIK_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)"

./scripts/seed-workdir.sh work

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found. Start Zorvik under a virtual display with:  xvfb-run ./run.sh" >&2
  exit 1
fi

cd work
exec ../"$build"/src/gui/zorvik "$@"
