#!/usr/bin/env bash
# The two commands a newcomer needs on Debian 12 (see README.md):
#   ./amplex.sh run    installs what is missing, builds, starts Amplex
#   ./amplex.sh test   installs what is missing, builds, runs every test, also under ASan+UBSan
# Needs nothing but bash and apt. Packages are installed as root (directly, or through sudo,
# which asks); everything else runs as the owner of this clone, so that a run as root leaves
# no root-owned files behind in someone else's clone.
set -euo pipefail
cd "$(dirname "$0")"

BUILD=${BUILD:-build}
ASAN_BUILD=${ASAN_BUILD:-build-asan}
JOBS=${JOBS:-$(nproc)}

usage() {
    echo "usage: $0 run | test | build | test-release | test-asan" >&2
    exit 2
}
[[ $# -ge 1 ]] || usage
command=$1
shift
case "$command" in
run | test | build | test-release | test-asan) ;;
*) usage ;;
esac

./scripts/install-deps.sh

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
test)
    release && ctest_in "$BUILD"
    asan && ctest_in "$ASAN_BUILD"
    ;;
esac
