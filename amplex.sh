#!/usr/bin/env bash
# The two commands a newcomer needs on Debian 12 (see README.md):
#   ./amplex.sh run    installs what is missing, builds, starts Amplex
#   ./amplex.sh test   installs what is missing, builds, runs every test, also under ASan+UBSan,
#                      checks the installed package and its gate kit, and fuzzes 20 s a target
#   ./amplex.sh package      builds the Debian package build/amplex_*.deb
#   ./amplex.sh fuzz [secs]  builds the fuzz targets with clang and runs each (default 20 s)
# Needs nothing but bash and apt. Packages are installed as root (directly, or through sudo,
# which asks); everything else runs as the owner of this clone, so that a run as root leaves
# no root-owned files behind in someone else's clone.
set -euo pipefail
cd "$(dirname "$0")"

BUILD=${BUILD:-build}
ASAN_BUILD=${ASAN_BUILD:-build-asan}
FUZZ_BUILD=${FUZZ_BUILD:-build-fuzz}
JOBS=${JOBS:-$(nproc)}

usage() {
    echo "usage: $0 run | test | build | test-release | test-asan | package | fuzz [seconds]" >&2
    exit 2
}
[[ $# -ge 1 ]] || usage
command=$1
shift
case "$command" in
run | test | build | test-release | test-asan | package | fuzz) ;;
*) usage ;;
esac

deps=()
[[ $command == test || $command == fuzz ]] && deps+=(--fuzz)
./scripts/install-deps.sh "${deps[@]}"

owner_uid=$(stat -c %u .)
owner_gid=$(stat -c %g .)
if [[ $(id -u) -eq 0 && $owner_uid -ne 0 ]]; then
    echo "Building as the owner of $(pwd) (uid $owner_uid), not as root."
    home=$(getent passwd "$owner_uid" | cut -d: -f6 || true)
    exec setpriv --reuid="$owner_uid" --regid="$owner_gid" --clear-groups \
        env HOME="${home:-$(pwd)}" "$0" "$command" "$@"
fi

build() { # <dir> <cmake options...>
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@"
    cmake --build "$dir" -j "$JOBS"
}

# The npm package quantum-circuit, an independent simulator that tests/qasm holds Amplex
# against, goes into <build>/npm; without npm or the registry that one test is skipped.
npm_package() {
    if command -v npm >/dev/null && [[ ! -d "$1/npm/node_modules/quantum-circuit" ]]; then
        npm install --prefix "$1/npm" --no-audit --no-fund --silent quantum-circuit@0.9.250 ||
            echo "quantum-circuit could not be installed: its comparison is skipped." >&2
    fi
}

ctest_in() {
    npm_package "$1"
    (cd "$1" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$JOBS")
}

release() { build "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo; }

# The package unpacked into a scratch root, its program and a gate built with its kit run there.
installed() { tests/install/check-installed.sh "$BUILD"; }

# Every target under fuzz/ for the given seconds, with a corpus kept in the fuzz build.
fuzz() { # <seconds>
    CC=clang CXX=clang++ cmake -S . -B "$FUZZ_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DAMPLEX_FUZZ=ON -DAMPLEX_BUILD_TESTS=OFF -DAMPLEX_BUILD_BENCH=OFF
    cmake --build "$FUZZ_BUILD" -j "$JOBS" --target fuzz_targets
    local target name leaks
    for target in "$FUZZ_BUILD"/fuzz/fuzz_*; do
        name=$(basename "$target")
        # Qt keeps allocations to the end of the process: leaks are checked where it is absent.
        leaks=0
        [[ $name == fuzz_labels || $name == fuzz_shor ]] && leaks=1
        mkdir -p "$FUZZ_BUILD/corpus/$name"
        echo "fuzzing $name for $1 s"
        if ! (cd "$FUZZ_BUILD" && ASAN_OPTIONS=detect_leaks=$leaks "fuzz/$name" \
            -max_total_time="$1" -timeout=20 -artifact_prefix="fuzz-$name-" "corpus/$name" \
            >"fuzz-$name.log" 2>&1); then
            tail -n 60 "$FUZZ_BUILD/fuzz-$name.log"
            echo "$name failed: the input is $FUZZ_BUILD/fuzz-$name-*" >&2
            return 1
        fi
        tail -n 1 "$FUZZ_BUILD/fuzz-$name.log"
    done
}
asan() {
    build "$ASAN_BUILD" -DCMAKE_BUILD_TYPE=Debug -DAMPLEX_SANITIZE=ON -DAMPLEX_BUILD_BENCH=OFF
}

case "$command" in
build) release ;;
run)
    release
    exec "./$BUILD/amplex" "$@"
    ;;
test-release) release && ctest_in "$BUILD" ;;
test-asan) asan && ctest_in "$ASAN_BUILD" ;;
package) release && (cd "$BUILD" && cpack -G DEB) ;;
fuzz) fuzz "${1:-20}" ;;
test)
    release && ctest_in "$BUILD"
    asan && ctest_in "$ASAN_BUILD"
    installed
    fuzz 20
    ;;
esac
