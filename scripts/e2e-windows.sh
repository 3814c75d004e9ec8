#!/usr/bin/env bash
# Runs every end-to-end case of tests/e2e with marquill.exe under Wine and with the Linux build,
# each on a fresh copy of its project in the same place, and compares what they print, their exit
# codes and the files they leave, byte for byte. Paths the Windows program prints (Z:\...) are
# read as the Linux ones before the comparison.
#   E2E_ONLY=TEXT  only the cases whose folder holds TEXT
#   needs build/apps/cli/marquill and build-windows/apps/cli/marquill.exe, wine and sqlite3
set -euo pipefail
cd "$(dirname "$0")/.."
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
#   Wine prefix); the Windows program uses Windows itself, and Wine would read those variables too;
# - loader/real_project lists a file by a Japanese name in code page 932; its checkout holds that
#   name in UTF-8, which the Windows program's narrow file names (in the machine's code page,
#   here 1252) cannot spell.
known_different=(loader/real_project)
run="$work/run"
windows_run="Z:${run//\//\\}"

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
  local args=() env_vars=()
  [ -f "$case_dir/args" ] && read -r -a args <"$case_dir/args"
  if [ -f "$case_dir/env" ]; then
    while IFS= read -r line; do
      [ -n "$line" ] && env_vars+=("${line//<work>/$run}")
    done <"$case_dir/env"
  fi
  local status=0 home="$run/addin" program=("$linux") script="script.mqs"
  if [ "$side" = windows ]; then
    home="Z:${home//\//\\}"; project="Z:${project//\//\\}"
    program=(wine "$windows")
  fi
  (cd "$case_dir" && env MARQUILL_HOME="$home" XDG_CONFIG_HOME="$run/config" "${env_vars[@]}" \
    "${program[@]}" run --quiet "${args[@]}" "$script" "$project" \
    >"$work/$side.stdout" 2>"$work/$side.stderr") || status=$?
  echo "$status" >"$work/$side.exit_code"
  rm -rf "$work/$side.project" && mv "$run/project" "$work/$side.project"
  if [ "$side" = windows ]; then
    # The Windows program names the same places with a drive letter and backslashes.
    python3 - "$windows_run" "$run" "$work/$side.stdout" "$work/$side.stderr" <<'PY'
import re, sys
windows, linux = sys.argv[1], sys.argv[2]
for name in sys.argv[3:]:
    text = open(name, 'rb').read().decode('latin-1')
    text = re.sub(re.escape(windows) + r'[^\s:\'"]*',
                  lambda m: linux + m.group(0)[len(windows):].replace('\\', '/'), text)
    open(name, 'wb').write(text.encode('latin-1'))
PY
  fi
}

failures=0 count=0
while IFS= read -r script; do
  case_dir="$(dirname "$script")"
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
  if diff -r "$work/linux.project" "$work/windows.project" >"$work/diff" &&
     cmp -s "$work/linux.stdout" "$work/windows.stdout" &&
     cmp -s "$work/linux.stderr" "$work/windows.stderr" &&
     cmp -s "$work/linux.exit_code" "$work/windows.exit_code"; then
    echo "same: $name"
  else
    failures=$((failures + 1))
    echo "DIFFERENT: $name"
    for f in stdout stderr exit_code; do diff -a "$work/linux.$f" "$work/windows.$f" | head -10 || true; done
    head -10 "$work/diff"
  fi
done < <(find tests/e2e -path "*${E2E_ONLY:-}*" -name script.mqs | sort)
echo "$failures of $count end-to-end case(s) differ"
[ "$failures" -eq 0 ]
