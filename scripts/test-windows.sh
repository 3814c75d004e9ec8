#!/usr/bin/env bash
# Runs marquill.exe under Wine on copies of the sample project, and of a project whose files have
# names in several scripts, and compares what it prints, its exit code and the files it leaves
# with the Linux build's, byte for byte. Then checks that a file another program holds open is
# reported as such and left whole.
#   needs build/apps/cli/marquill (scripts/setup.sh) and build-windows/apps/cli/marquill.exe
#   (scripts/build-windows.sh); installs wine when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
linux="$PWD/build/apps/cli/marquill"
windows="$PWD/${BUILD_DIR:-build-windows}/apps/cli/marquill.exe"
source scripts/lib/packages.sh
source scripts/lib/compare.sh
install_missing --no-install-recommends wine64 wine
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all MARQUILL_NOW=2024-01-02T03:04:05
wine wineboot -i >/dev/null 2>&1 || true

# Each case: one command line; the target is the sample project in the working folder, or, for
# a case starting "names:", the project that names_project makes.
cases=(
  "--version"
  "info Marquill.vbp"
  "check Marquill.vbp"
)
for command in indent join-lines split-lines delete-empty-rows delete-comments compact-strings; do
  cases+=("$command --dry-run Marquill.vbp" "$command Marquill.vbp")
done
cafe=$'Caf\xc3\xa9.bas' japanese=$'\xe6\x97\xa5\xe6\x9c\xac.bas' chinese=$'\xe4\xb8\xad\xe6\x96\x87.bas'
cases+=("names:info Names.vbp" "names:delete-comments --dry-run Names.vbp"
        "names:delete-comments Names.vbp" "names:indent --yes $cafe" "names:delete-comments $chinese")

# A project listing one module in Windows-1252, as the IDE writes it on a Western machine, and two
# by their UTF-8 names; the files carry the decoded names. (Shift-JIS listings: e2e-windows.sh.)
names_project() {
  local folder="$1" module
  printf 'Type=Exe\r\nModule=modCafe; Caf\xe9.bas\r\nModule=modJapan; %s\r\n' "$japanese" \
    >"$folder/Names.vbp"
  printf 'Module=modChina; %s\r\nName="Names"\r\n' "$chinese" >>"$folder/Names.vbp"
  for module in "modCafe:$cafe" "modJapan:$japanese" "modChina:$chinese"; do
    printf 'Attribute VB_Name = "%s"\r\n'"'"' note\r\nSub A()\r\nDim x\r\nEnd Sub\r\n' \
      "${module%%:*}" >"$folder/${module#*:}"
  done
}

failures=0
run_case() {
  local side="$1" args="$2" folder="$work/$1"
  rm -rf "$folder" && mkdir -p "$folder/project" "$folder/home"
  if [[ "$args" == names:* ]]; then
    args="${args#names:}"
    names_project "$folder/project"
  else
    cp -r samples/. "$folder/project/"
  fi
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
  compare_results "$work/linux/" "$work/windows/" "marquill $args" stdout stderr exit_code ||
    failures=$((failures + 1))
done

# A file held open by another program: here the shell holding it as the command's input, which
# shares neither its writing nor its removal.
folder="$work/busy"
rm -rf "$folder" && mkdir -p "$folder/home" && names_project "$folder"
cp "$folder/$cafe" "$work/cafe-before"
status=0
(cd "$folder" && MARQUILL_HOME="Z:${folder//\//\\}\\home" wine cmd /c \
  "Z:${windows//\//\\} delete-comments Names.vbp < $cafe" >"$work/busy.out" 2>&1) || status=$?
if [ "$status" -eq 1 ] && grep -q "$cafe: cannot replace the file: the file is open in another program" \
     "$work/busy.out" && cmp -s "$folder/$cafe" "$work/cafe-before" &&
   [ "$(find "$folder" -maxdepth 1 -type f | wc -l)" -eq 4 ]; then
  echo "same: a file open in another program is reported and left whole"
else
  failures=$((failures + 1))
  echo "DIFFERENT: a file open in another program (exit $status)"
  cat "$work/busy.out"
  ls -a "$folder"
fi
echo "$failures case(s) differ"
[ "$failures" -eq 0 ]
