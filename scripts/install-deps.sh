#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need, and only those that
# are missing. Needs root (or sudo) only when something is missing.
set -euo pipefail

packages=(g++ cmake ninja-build make pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev liblz4-dev libzstd-dev)
if [[ "${1:-}" == "--screenshots" ]]; then
    packages+=(xvfb imagemagick xdotool)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if ((${#missing[@]} == 0)); then
    exit 0
fi

sudo=""
if [[ $(id -u) -ne 0 ]]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
