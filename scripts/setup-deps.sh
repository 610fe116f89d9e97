#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and benchmarking need.
# Idempotent: packages already present are skipped, so a second run is quick.
set -euo pipefail
# libxkbcommon-dev: the Qt packages look for it while configuring and print a notice without it.
pkgs=(build-essential cmake ninja-build pkg-config ccache
      qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev libqt6svg6
      qt6-l10n-tools libgl1-mesa-dev libxkbcommon-dev
      libgtest-dev libbenchmark-dev
      xvfb xauth imagemagick socat hyperfine poppler-utils
      clang libclang-rt-14-dev)
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "setup-deps: all packages present"
    exit 0
fi
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "setup-deps: these packages are missing: ${missing[*]}" >&2
        echo "setup-deps: install them as root with:" >&2
        echo "    apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
        exit 1
    fi
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
