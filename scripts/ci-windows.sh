#!/usr/bin/env bash
# CI for the Windows build: cross-compiles marquill.exe and its unit tests with MinGW-w64, then
# runs under Wine the unit tests, the comparison with the Linux build on the sample project and
# every end-to-end case (scripts/e2e-windows.sh). The comparisons need the Linux build
# (scripts/setup.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
export DEBIAN_FRONTEND=noninteractive
started=$SECONDS
source scripts/lib/packages.sh
# sqlite3 seeds the end-to-end cases' databases.
install_missing --no-install-recommends wine64 wine sqlite3 >/dev/null
echo "ci-windows: wine ready after $((SECONDS - started)) s"
MARQUILL_WINDOWS_TESTS=ON bash scripts/build-windows.sh
echo "ci-windows: built after $((SECONDS - started)) s"

work="$(mktemp -d)"
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all
wine wineboot -i >/dev/null 2>&1 || true
wine "${BUILD_DIR:-build-windows}/windows_tests.exe"
echo "ci-windows: unit tests done after $((SECONDS - started)) s"
bash scripts/test-windows.sh
echo "ci-windows: sample comparison done after $((SECONDS - started)) s"
bash scripts/e2e-windows.sh
echo "ci-windows: all done after $((SECONDS - started)) s"
