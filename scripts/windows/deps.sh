#!/usr/bin/env bash
# Fetches Debian's qtbase and zstd sources and cross-builds them for Windows (x86-64, MinGW-w64)
# into the cache folder given as $1, once: a later run finds the stamp and does nothing.
# Debian's own Qt tools (moc, uic, rcc) serve as the host tools, so the versions must match.
set -euo pipefail
shopt -s inherit_errexit

checkout=$(cd "$(dirname "$0")/../.." && pwd)
cache=$1
jobs=${LORVANE_WINDOWS_JOBS:-$(nproc)}
toolchain=$checkout/cmake/mingw-w64-x86_64.cmake
stamp=$cache/deps.stamp
[ -f "$stamp" ] && exit 0

mkdir -p "$cache"/apt/lists/partial "$cache"/apt/cache/archives/partial "$cache"/src
cd "$cache"
# A second run waits for the first and then finds its stamp.
exec 9>"$cache/deps.lock"
flock 9
[ -f "$stamp" ] && exit 0

# apt with a sources list, package lists and cache of its own: nothing of the system's is changed.
echo 'deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main' \
    >apt/sources.list
own_apt=(-o Dir::Etc::SourceList="$cache"/apt/sources.list -o Dir::Etc::SourceParts=/dev/null
    -o Dir::State::Lists="$cache"/apt/lists -o Dir::Cache="$cache"/apt/cache
    -o APT::Sandbox::User=root)
if ! ls src/qt6-base_*.dsc src/libzstd_*.dsc >/dev/null 2>&1; then
    apt-get "${own_apt[@]}" update
    qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
    (cd src && apt-get "${own_apt[@]}" source --download-only "qt6-base=$qt_version" libzstd)
fi

unpack() { # source package name; prints the unpacked folder
    local orig
    orig=$(ls src/"$1"_*.orig.tar.xz)
    rm -rf "src/$1" && mkdir "src/$1"
    tar -xf "$orig" -C "src/$1" --strip-components=1
    echo "src/$1"
}

prefix=$cache/prefix
zstd_src=$(unpack libzstd)
cmake -S "$zstd_src/build/cmake" -B build-zstd -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DZSTD_BUILD_PROGRAMS=OFF -DZSTD_BUILD_TESTS=OFF -DZSTD_BUILD_STATIC=OFF -DZSTD_BUILD_SHARED=ON \
    -DZSTD_MULTITHREAD_SUPPORT=OFF
cmake --build build-zstd -j "$jobs"
cmake --install build-zstd

# Only what Lorvane uses: Core, Gui, Widgets, Test, the windows and offscreen platforms, with
# Qt's bundled libraries. INPUT_opengl=no (not just the feature) or the windows plugin keeps
# dynamic GL; no DirectWrite 3 font database, which QtGui leaves out; no tablet events, whose
# headers Debian's tarball removes.
qt_src=$(unpack qt6-base)
cmake -S "$qt_src" -B build-qt -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=ON \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF -DFEATURE_icu=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_printsupport=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no \
    -DFEATURE_directwrite3=OFF -DFEATURE_tabletevent=OFF -DFEATURE_zstd=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
cmake --build build-qt -j "$jobs"
cmake --install build-qt

rm -rf build-zstd build-qt src
date -u +%FT%TZ >"$stamp"
