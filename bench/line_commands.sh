#!/usr/bin/env bash
# Times whole line commands - load, command, save - on a generated project (1,000,000 lines in
# 500 modules by default) beside sed doing the simplest of them over the same files:
#
#   marquill delete-empty-rows   vs  sed -i '/^ *\r\?$/d'   target: at most 3 times sed's time
#   marquill indent --yes        vs  the same sed           target: at most 5 times
#
# Every run starts from a fresh copy of the project (the copy is not timed) and a warm page
# cache; the best of RUNS runs counts.
#
#   bench/line_commands.sh        (MODULES=500 LINES=1000000 RUNS=3 MARQUILL=build/apps/cli/marquill)
set -euo pipefail
cd "$(dirname "$0")/.."

marquill="${MARQUILL:-build/apps/cli/marquill}"
modules="${MODULES:-500}"
lines="${LINES:-1000000}"
runs="${RUNS:-3}"
[ -x "$marquill" ] || { echo "line_commands.sh: build $marquill first" >&2; exit 2; }
command -v python3 > /dev/null || { echo "line_commands.sh: needs python3" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# The add-in's database and settings go to the scratch folder, not the user's.
export MARQUILL_HOME="$work/addin" XDG_CONFIG_HOME="$work/config"
python3 bench/gen_project.py --modules "$modules" --lines "$lines" --out "$work/project" --seed 1

now() { date +%s%N; }

fresh_copy() {
  rm -rf "$work/run"
  cp -r "$work/project" "$work/run"
  cat "$work"/run/* > /dev/null
}

# Best wall time in nanoseconds of the command "$@" run in a fresh copy (the copy is $work/run).
best_of() {
  local best="" start elapsed
  for ((run = 1; run <= runs; run++)); do
    fresh_copy
    start=$(now)
    "$@" > /dev/null 2> "$work/stderr" || { cat "$work/stderr" >&2; exit 1; }
    elapsed=$(( $(now) - start ))
    [ -z "$best" ] || [ "$elapsed" -lt "$best" ] && best=$elapsed
  done
  echo "$best"
}

sed_empty_rows() { sed -i '/^ *\r\?$/d' "$work"/run/*.bas "$work"/run/*.cls "$work"/run/*.frm; }

sed_time=$(best_of sed_empty_rows)
empty_time=$(best_of "$marquill" delete-empty-rows "$work/run/Project.vbp")
# The command's result: no empty row left in any module's code.
if grep -lE $'^ *\r?$' "$work"/run/*.bas > /dev/null; then
  echo "line_commands.sh: delete-empty-rows left empty rows" >&2
  exit 1
fi
indent_time=$(best_of "$marquill" indent --yes "$work/run/Project.vbp")

awk -v sed="$sed_time" -v empty="$empty_time" -v indent="$indent_time" \
    -v modules="$modules" -v lines="$lines" -v runs="$runs" 'BEGIN {
  empty_ratio = empty / sed
  indent_ratio = indent / sed
  printf "project: %d lines in %d modules (best of %d runs, load + command + save)\n", lines, modules, runs
  printf "sed empty rows:          %8.3f s\n", sed / 1e9
  printf "delete-empty-rows:       %8.3f s  (%.2f x sed, target <= 3)   %s\n", empty / 1e9, empty_ratio, empty_ratio <= 3 ? "ok" : "OVER"
  printf "indent --yes:            %8.3f s  (%.2f x sed, target <= 5)   %s\n", indent / 1e9, indent_ratio, indent_ratio <= 5 ? "ok" : "OVER"
  exit (empty_ratio <= 3 && indent_ratio <= 5) ? 0 : 1
}'
