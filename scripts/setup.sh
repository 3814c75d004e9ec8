#!/usr/bin/env bash
# Installs what the build needs on a fresh Debian machine and builds Marquill into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build googletest libgtest-dev libgmock-dev libbenchmark-dev
          libsqlite3-dev libcli11-dev time qt6-base-dev python3 chromium)
source scripts/lib/packages.sh
install_missing "${packages[@]}"

build_type="${BUILD_TYPE:-Release}"
# A compiler cache, when the machine has one, makes rebuilds of other checkouts cheap.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="$build_type" -DMARQUILL_WERROR=ON "${launcher[@]}"
cmake --build build -j "$(nproc)"
