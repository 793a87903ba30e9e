#!/usr/bin/env bash
# The installed Amplex as a user gets it: builds the Debian package in the build dir, unpacks
# it into a scratch root, starts the installed program headless and runs one gate from its
# installed tree; then builds examples/swapgate out of tree against the installed gate kit,
# puts it into the user's gate folder and runs it through the installed program.
#   tests/install/check-installed.sh <build dir>
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/amplex_*.deb)
dpkg-deb -x "$deb" "$scratch/root"
prefix=$scratch/root/usr

# Only the installed gates and the user's folder: no gate path from the environment.
run_gate() { # <gate path> <expected step text>
    local out
    out=$(env -u AMPLEX_GATE_PATH QT_QPA_PLATFORM=offscreen HOME="$scratch" \
        XDG_DATA_HOME="$scratch/data" LD_PRELOAD="$build/tests/install/amplex_gui_driver.so" \
        AMPLEX_DRIVE_GATE="$1" timeout 60 "$prefix/bin/amplex" 2>&1) || {
        echo "$out"
        echo "FAILED: $1 in the installed program" >&2
        return 1
    }
    grep -qF "guide: $prefix/share/doc/amplex/index.html" <<<"$out" &&
        grep -qF "$2" <<<"$out" || {
        echo "$out"
        echo "FAILED: $1 recorded no \"$2\" or the guide came from elsewhere" >&2
        return 1
    }
    echo "installed program ran $1: $2"
}

# The plug-ins keep the form that dlclose unloads: no RPATH, no unique symbols.
gates=$(find "$prefix/lib/amplex/gates" -name '*.so')
if readelf -d $gates | grep -qE 'RPATH|RUNPATH' || readelf --dyn-syms -W $gates | grep -q UNIQUE; then
    echo "FAILED: installed gates carry an RPATH or unique symbols" >&2
    exit 1
fi
run_gate 'basic\hadamardrange' 'Hadamardrange ( 0 - 14 )'

cmake -S examples/swapgate -B "$scratch/example" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$scratch/example" >/dev/null
mkdir -p "$scratch/data/amplex/gates/examples"
cp "$scratch/example/gates/examples/swapqubits.so" "$scratch/data/amplex/gates/examples/"
run_gate 'examples\swapqubits' 'swap qubits ( 0, 1 )'
