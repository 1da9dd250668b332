#!/usr/bin/env bash
# Sets up a Debian 12 machine for Lorvane, then builds and either starts the program
# (run) or runs the whole test suite, plain and under ASan/UBSan (test).
set -euo pipefail

cd "$(dirname "$0")/.."
mode=${1:-run}

packages=(cmake g++ make qt6-base-dev libzstd-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc)
build() {
    cmake -S . -B "$1" -DCMAKE_BUILD_TYPE="$2" "${@:3}"
    cmake --build "$1" -j "$jobs"
}

case "$mode" in
run)
    build build Release -DBUILD_TESTING=OFF
    exec build/lorvane
    ;;
test)
    build build Release
    ctest --test-dir build --output-on-failure -j "$jobs"
    build build-sanitize Debug -DLORVANE_SANITIZE=ON
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs"
    ;;
*)
    echo "usage: $0 [run|test]" >&2
    exit 2
    ;;
esac
