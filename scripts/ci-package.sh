#!/usr/bin/env bash
# CI for the Debian package: builds it with CPack from the Linux build (scripts/setup.sh), installs
# it with apt-get, runs the installed marquill, and removes the package again.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
(cd build && rm -f marquill_*.deb && cpack -G DEB >/dev/null)
package="$(ls "$PWD"/build/marquill_*.deb)"
echo "ci-package: built $(basename "$package") after $((SECONDS - started)) s"
DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "$package" >/dev/null
trap 'DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get remove -y -qq marquill >/dev/null' EXIT
installed="$(dpkg -L marquill | grep -E '/bin/marquill$')"
version="$("$installed" --version)"
expected="$(sed -n 's/^project(Marquill VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
echo "ci-package: $installed --version printed: $version"
case "$version" in
  *"$expected"*) ;;
  *) echo "ci-package: expected version $expected" >&2; exit 1 ;;
esac
dpkg -L marquill | grep -q '/man1/marquill\.1' ||
  { echo "ci-package: the package holds no man page" >&2; exit 1; }
echo "ci-package: done after $((SECONDS - started)) s"
