#!/usr/bin/env bash
# Cross-builds Lorvane for Windows against the cached Qt and zstd (folder $1) into
# build-windows, with the tests (WERROR), and packs the programs with the DLLs and the
# platform plugin they need into lorvane-<version>-windows-x64.zip in the checkout.
set -euo pipefail
shopt -s inherit_errexit

cd "$(dirname "$0")/../.."
cache=$1
prefix=$cache/prefix
build=build-windows

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_PREFIX_PATH="$prefix" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_CROSSCOMPILING_EMULATOR=wine -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DLORVANE_WERROR=ON \
    -DLORVANE_SANITIZE=OFF -DCMAKE_CXX_COMPILER_LAUNCHER="$(command -v ccache || true)"
cmake --build "$build" -j "$(nproc)"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=lorvane-$version-windows-x64
stage=$build/$name
rm -rf "$stage" "$name.zip"
mkdir -p "$stage/platforms" "$stage/styles"
cp "$build/lorvane.exe" "$build/lorvane-messages.exe" "$stage/"
cp "$prefix"/bin/{Qt6Core,Qt6Gui,Qt6Widgets,libzstd}.dll "$stage/"
for dll in libstdc++-6 libgcc_s_seh-1 libwinpthread-1; do
    cp "$(x86_64-w64-mingw32-g++-posix -print-file-name="$dll.dll")" "$stage/"
done
cp "$prefix/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$prefix/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
x86_64-w64-mingw32-strip "$stage"/*.exe
(cd "$build" && cmake -E tar cf "../$name.zip" --format=zip "$name")
echo "built $name.zip"
