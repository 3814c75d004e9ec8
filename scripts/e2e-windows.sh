#!/usr/bin/env bash
# Runs every end-to-end case of tests/e2e (a `script.mqs` with `marquill run`, or the one command a
# `command` file gives) with marquill.exe under Wine and with the Linux build, each on a fresh copy
# of its project in the same place, and compares what they print, their exit codes, the files they
# leave and the add-in database rows the case checks, byte for byte. Paths the Windows program
# prints (Z:\...) are read as the Linux ones before the comparison.
#   E2E_ONLY=TEXT  only the cases whose folder holds TEXT
#   needs build/apps/cli/marquill and build-windows/apps/cli/marquill.exe, wine and sqlite3
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/compare.sh
root="$PWD"
linux="$root/build/apps/cli/marquill"
windows="$root/${BUILD_DIR:-build-windows}/apps/cli/marquill.exe"
work="$(mktemp -d)"
export WINEPREFIX="${WINEPREFIX:-$work/wineprefix}" WINEDEBUG=-all
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
[ -d "$WINEPREFIX" ] || wine wineboot -i >/dev/null 2>&1 || true
# No program opens web pages here, as on the Linux side without a desktop: the shell's "open" verb
# then fails and the program says what it would have opened.
for class in .htm .html htmlfile; do
  wine reg delete "HKEY_CLASSES_ROOT\\$class" /f >/dev/null 2>&1 || true
done
wineserver -w

# Cases that cannot match, and why:
# - a case whose env sets WINEPREFIX or WINDIR sets up the Linux build's stand-in for Windows (a
#   Wine prefix); the Windows program uses Windows itself, and Wine would read those variables too.
known_different=()
run="$work/run"

# A Linux path as the Windows program names it: Wine's drive Z: is the root folder.
windows_name() { local path="$1"; echo "Z:${path//\//\\}"; }

run_case() {
  local side="$1" case_dir="$2"
  rm -rf "$run" && mkdir -p "$run/addin"
  if [ -d "$case_dir/project" ]; then cp -r "$case_dir/project" "$run/project"
  else cp -r samples "$run/project"; fi
  if [ -f "$case_dir/addin.sql" ]; then
    # The program creates the database with its tables; the case's rows go in after.
    MARQUILL_HOME="$run/addin" "$linux" comment-settings >/dev/null 2>&1 || true
    grep -v '^--' "$case_dir/addin.sql" | sed -e 's/\r$//' -e '/^$/d' -e 's/$/;/' | sqlite3 "$run/addin/Marquill.mdb"
  fi
  local project
  project="$(find "$run/project" -maxdepth 1 -name '*.vbp' | head -1)"
  project="${project:-$run/project/missing.vbp}"
  local args=() env_vars=() place_work="$run" place_case="$case_dir"
  if [ "$side" = windows ]; then
    place_work="$(windows_name "$run")" place_case="$(windows_name "$case_dir")"
  fi
  if [ -f "$case_dir/env" ]; then
    while IFS= read -r line; do
      line="${line//<work>/$place_work}"
      [ -n "$line" ] && env_vars+=("${line//<case>/$place_case}")
    done <"$case_dir/env"
  fi
  local status=0 home="$run/addin" program=("$linux")
  if [ "$side" = windows ]; then
    home="$(windows_name "$home")"; project="$(windows_name "$project")"
    program=(wine "$windows")
  fi
  local folder="$case_dir"
  if [ -f "$case_dir/command" ]; then
    # One command, run in the work folder, which holds project/ and addin/.
    local word
    for word in $(cat "$case_dir/command"); do
      word="${word//<work>/$place_work}"
      args+=("${word//<case>/$place_case}")
    done
    folder="$run"
  else
    [ -f "$case_dir/args" ] && read -r -a args <"$case_dir/args"
    args=(run --quiet "${args[@]}" script.mqs "$project")
  fi
  (cd "$folder" && env MARQUILL_HOME="$home" XDG_CONFIG_HOME="$run/config" "${env_vars[@]}" \
    "${program[@]}" "${args[@]}" >"$work/$side.stdout" 2>"$work/$side.stderr") || status=$?
  echo "$status" >"$work/$side.exit_code"
  # The time a summary line gives varies from run to run.
  sed -i -E 's/, [0-9]+\.[0-9] s$/, T s/' "$work/$side.stdout" "$work/$side.stderr"
  local database="$run/addin/Marquill.mdb" queries=()
  [ -f "$case_dir/comments" ] && queries+=('SELECT * FROM Comments')
  [ -f "$case_dir/shortcuts" ] && queries+=('SELECT ShortcutName, ShortcutContent FROM Shortcuts')
  : >"$work/$side.rows"
  for query in "${queries[@]}"; do
    if [ -f "$database" ]; then sqlite3 "$database" "$query" >>"$work/$side.rows" 2>&1 || true
    else echo "no database" >>"$work/$side.rows"; fi
  done
  rm -rf "$work/$side.project" && mv "$run/project" "$work/$side.project"
  if [ "$side" = windows ]; then
    # The Windows program names the same places with a drive letter and backslashes.
    python3 - "$work/$side.stdout" "$work/$side.stderr" <<'PY'
import re, sys
for name in sys.argv[1:]:
    text = open(name, 'rb').read().decode('latin-1')
    text = re.sub(r'Z:\\[^\s:\'"]*', lambda m: m.group(0)[2:].replace('\\', '/'), text)
    open(name, 'wb').write(text.encode('latin-1'))
PY
  fi
}

failures=0 count=0
while IFS= read -r case_file; do
  case_dir="$(dirname "$case_file")"
  name="${case_dir#tests/e2e/}"
  case_dir="$root/$case_dir"
  if grep -qE '^(WINEPREFIX|WINDIR)=' "$case_dir/env" 2>/dev/null ||
     [[ " ${known_different[*]} " == *" $name "* ]]; then
    echo "skipped: $name"
    continue
  fi
  count=$((count + 1))
  run_case linux "$case_dir"
  run_case windows "$case_dir"
  compare_results "$work/linux." "$work/windows." "$name" stdout stderr exit_code rows ||
    failures=$((failures + 1))
done < <(find tests/e2e -path "*${E2E_ONLY:-}*" \( -name script.mqs -o -name command \) | sort)
echo "$failures of $count end-to-end case(s) differ"
[ "$failures" -eq 0 ]
