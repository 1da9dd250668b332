#!/usr/bin/env bash
# Sets up a Debian 12 machine for Lorvane, then builds and either starts the program (run) or
# its Messages window on its own (messages), runs every test, plain and under ASan/UBSan, with
# the benchmarks and the package checks (test), builds the Debian package into the checkout's
# top folder (package), or cross-builds the Windows zip into it and runs its tests under Wine
# (windows). test runs the Windows leg too once windows has built the cross-built Qt into the
# cache folder.
set -euo pipefail
shopt -s inherit_errexit

cd "$(dirname "$0")/.."
mode=${1:-run}

packages=(cmake g++ make qt6-base-dev libzstd-dev)
# fonts-wine: Wine's own stand-ins for the Windows fonts, else dialogs fall back to a serif.
windows_packages=(g++-mingw-w64-x86-64 mingw-w64-tools wine fonts-wine ninja-build socat xz-utils)
# Qt and zstd cross-built for Windows, once; scripts/windows/deps.sh.
windows_cache=${XDG_CACHE_HOME:-$HOME/.cache}/lorvane-windows
case "$mode" in
run | messages) ;;
package) packages+=(dpkg-dev file) ;;
test)
    packages+=(dpkg-dev file lintian desktop-file-utils appstream)
    if [ -f "$windows_cache/deps.stamp" ]; then packages+=("${windows_packages[@]}"); fi
    ;;
windows) packages+=("${windows_packages[@]}") ;;
*)
    echo "usage: $0 [run|messages|test|package|windows]" >&2
    exit 2
    ;;
esac

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

# Every setting that matters is given each time: CMake keeps old ones in its cache, and
# a build folder configured by another mode must not change what this one builds.
# Test builds also turn warnings into errors.
configure() { # folder, build type, test build (ON/OFF), sanitizers (ON/OFF)
    cmake -S . -B "$1" -DCMAKE_BUILD_TYPE="$2" -DBUILD_TESTING="$3" -DLORVANE_WERROR="$3" \
        -DLORVANE_SANITIZE="$4"
}

run_tests() { # folder
    ctest --test-dir "$1" --output-on-failure --no-tests=error -j "$jobs"
}

# A short run of every benchmark, so that they keep building and running; their figures
# come from full runs by hand.
run_benchmarks() { # folder
    local benchmarks
    mapfile -t benchmarks < <(find "$1/bench" -type f -executable -name 'bench_*' | sort)
    if [ ${#benchmarks[@]} -eq 0 ]; then
        echo "no benchmark found under $1/bench" >&2
        exit 1
    fi
    for b in "${benchmarks[@]}"; do
        echo "== $b --quick"
        "$b" --quick
    done
}

# Builds the zip and runs the Windows tests under Wine.
windows_leg() {
    scripts/windows/build.sh "$windows_cache"
    scripts/windows/test.sh "$windows_cache"
}

make_package() { # folder; prints the package's path
    rm -f "$1"/lorvane_*.deb
    (cd "$1" && cpack) >&2
    ls "$1"/lorvane_*.deb
}

check_package() { # package file
    echo "== lintian $1"
    lintian --fail-on error,warning "$1"
    local tree
    tree=$(mktemp -d)
    dpkg-deb -x "$1" "$tree"
    echo "== desktop-file-validate, appstreamcli validate-tree"
    desktop-file-validate "$tree"/usr/share/applications/*.desktop
    appstreamcli validate-tree --no-net "$tree"
    rm -rf "$tree"
}

case "$mode" in
run)
    configure build Release OFF OFF
    cmake --build build -j "$jobs" --target lorvane
    exec build/lorvane
    ;;
messages)
    configure build Release OFF OFF
    cmake --build build -j "$jobs" --target lorvane-messages
    exec build/workbench/lorvane-messages
    ;;
test)
    configure build-test Release ON OFF
    cmake --build build-test -j "$jobs"
    run_tests build-test
    run_benchmarks build-test
    deb=$(make_package build-test)
    check_package "$deb"
    configure build-sanitize Debug ON ON
    cmake --build build-sanitize -j "$jobs"
    run_tests build-sanitize
    if [ -f "$windows_cache/deps.stamp" ]; then
        windows_leg
    else
        echo "skipped the Windows leg: no cross-built Qt in $windows_cache (bash $0 windows builds it)"
    fi
    ;;
windows)
    scripts/windows/deps.sh "$windows_cache"
    windows_leg
    ;;
package)
    configure build Release OFF OFF
    cmake --build build -j "$jobs"
    deb=$(make_package build)
    cp "$deb" .
    echo "built $(basename "$deb"); install it with: sudo apt install ./$(basename "$deb")"
    ;;
esac
