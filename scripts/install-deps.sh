#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need, and only those that
# are missing: the one list of them. Needs root only when something is missing; as an
# ordinary user it asks sudo (which asks for the password), and without sudo it prints the
# command for root and stops.
set -euo pipefail

packages=(g++ cmake ninja-build make pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev liblz4-dev libzstd-dev fonts-dejavu-core)
# Node and npm run the comparison with an independent simulator (tests/qasm); a Node installed
# from elsewhere, with its own npm, serves as it is.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
    packages+=(nodejs npm)
fi
for option in "$@"; do
    case "$option" in
    --screenshots) packages+=(xvfb imagemagick xdotool openbox) ;;
    # The fuzz targets need clang and its libFuzzer (./amplex.sh fuzz, and test).
    --fuzz) packages+=(clang libclang-rt-14-dev) ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if ((${#missing[@]} == 0)); then
    exit 0
fi

install="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
    if ! command -v sudo >/dev/null; then
        echo "Amplex needs these Debian packages: ${missing[*]}" >&2
        echo "There is no sudo here. Run this as root, then try again:" >&2
        echo "    su -c '$install'" >&2
        exit 1
    fi
    echo "Installing ${missing[*]} needs root: asking sudo."
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
