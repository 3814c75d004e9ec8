#!/usr/bin/env bash
# Cross-compiles marquill.exe for 64-bit Windows into build-windows/ and zips it.
#
# SQLite comes as its C amalgamation from the npm package better-sqlite3 (deps/sqlite3/), fetched
# with `npm pack`; CLI11's headers come from Debian's libcli11-dev. The executable is linked
# statically: it needs no DLL beside it.
#   BUILD_DIR=...  where to build (default build-windows)
#   MARQUILL_WINDOWS_TESTS=ON  also builds the Windows unit tests (windows_tests.exe)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${BUILD_DIR:-build-windows}"
sqlite_package="better-sqlite3@12.11.1"

packages=(g++-mingw-w64-x86-64-posix cmake ninja-build libcli11-dev zip googletest)
# npm (for `npm pack`) may come from Debian or from a Node.js install.
command -v npm >/dev/null || packages+=(npm)
source scripts/lib/packages.sh
install_missing --no-install-recommends "${packages[@]}"

deps="$(realpath -m "$build_dir")/deps"
mkdir -p "$deps"
if [ ! -f "$deps/sqlite3/sqlite3.c" ]; then
  (cd "$deps" && npm pack --silent "$sqlite_package" >/dev/null &&
    tar -xzf better-sqlite3-*.tgz package/deps/sqlite3 &&
    rm -rf sqlite3 && mv package/deps/sqlite3 sqlite3 && rm -rf package better-sqlite3-*.tgz)
fi
if [ ! -f "$deps/include/CLI/CLI.hpp" ]; then
  mkdir -p "$deps/include"
  cp -r /usr/include/CLI "$deps/include/"
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
                                           -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DMARQUILL_SQLITE_SOURCE="$deps/sqlite3" -DMARQUILL_CLI11_INCLUDE="$deps/include" \
  -DMARQUILL_TESTS=OFF -DMARQUILL_BENCH=OFF \
  -DMARQUILL_WINDOWS_TESTS="${MARQUILL_WINDOWS_TESTS:-OFF}" "${launcher[@]}"
targets=(marquill)
[ "${MARQUILL_WINDOWS_TESTS:-OFF}" = ON ] && targets+=(windows_tests)
nice cmake --build "$build_dir" -j "$(nproc)" --target "${targets[@]}"

version="$(sed -n 's/^project(Marquill VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
zip_name="$build_dir/marquill-$version-windows-x86_64.zip"
rm -f "$zip_name"
staging="$build_dir/zip"
rm -rf "$staging" && mkdir -p "$staging"
cp "$build_dir/apps/cli/marquill.exe" help/index.htm README.md "$staging/"
(cd "$staging" && zip -q -r "../$(basename "$zip_name")" .)
echo "built $build_dir/apps/cli/marquill.exe and $zip_name"
