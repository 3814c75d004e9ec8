#!/usr/bin/env bash
# Runs marquill.exe under Wine on copies of the sample project and compares what it prints, its
# exit code and the files it leaves with the Linux build's, byte for byte.
#   needs build/apps/cli/marquill (scripts/setup.sh) and build-windows/apps/cli/marquill.exe
#   (scripts/build-windows.sh); installs wine when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
linux="$PWD/build/apps/cli/marquill"
windows="$PWD/${BUILD_DIR:-build-windows}/apps/cli/marquill.exe"
command -v wine >/dev/null || {
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends wine64 wine
}
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all MARQUILL_NOW=2024-01-02T03:04:05
wine wineboot -i >/dev/null 2>&1 || true

# Each case: one command line; the target is the sample project in the working folder.
cases=(
  "--version"
  "info Marquill.vbp"
  "check Marquill.vbp"
)
for command in indent join-lines split-lines delete-empty-rows delete-comments compact-strings; do
  cases+=("$command --dry-run Marquill.vbp" "$command Marquill.vbp")
done

failures=0
run_case() {
  local side="$1" args="$2" folder="$work/$1"
  rm -rf "$folder" && mkdir -p "$folder/project" "$folder/home"
  cp -r samples/. "$folder/project/"
  local status=0
  local home="$folder/home"
  local program=("$linux")
  if [ "$side" = windows ]; then
    # The Windows program takes Windows paths: Wine shows the Linux root as drive Z:.
    home="Z:${home//\//\\}"
    program=(wine "$windows")
  fi
  # shellcheck disable=SC2086
  (cd "$folder/project" && MARQUILL_HOME="$home" XDG_CONFIG_HOME="$home" \
    "${program[@]}" $args >"$folder/stdout" 2>"$folder/stderr") || status=$?
  echo "$status" >"$folder/exit_code"
  # The summary line's timing is the one thing that may differ.
  sed -i -E 's/, [0-9]+\.[0-9] s$/, T s/' "$folder/stdout" "$folder/stderr"
}
for args in "${cases[@]}"; do
  run_case linux "$args"
  run_case windows "$args"
  if diff -r "$work/linux/project" "$work/windows/project" >"$work/diff" &&
     cmp -s "$work/linux/stdout" "$work/windows/stdout" &&
     cmp -s "$work/linux/stderr" "$work/windows/stderr" &&
     cmp -s "$work/linux/exit_code" "$work/windows/exit_code"; then
    echo "same: marquill $args"
  else
    failures=$((failures + 1))
    echo "DIFFERENT: marquill $args"
    for f in stdout stderr exit_code; do
      diff "$work/linux/$f" "$work/windows/$f" | head -20 || true
    done
    head -20 "$work/diff"
  fi
done
echo "$failures case(s) differ"
[ "$failures" -eq 0 ]
