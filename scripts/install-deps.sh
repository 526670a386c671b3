#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need. Idempotent and fast
# when everything is present: it asks dpkg first and calls apt-get only for what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config dpkg-dev
  qt6-base-dev qt6-multimedia-dev qt6-charts-dev libqt6opengl6-dev libgl-dev qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
