#!/usr/bin/env bash
# Times the whole `error-handler insert` command - load, every component in turn, save - on a
# generated project (1,000,000 lines in 500 modules by default) beside sed inserting the same
# statement under every one-line procedure declaration of the same files:
#
#   marquill error-handler insert  vs  sed -i '/^...Sub|Function|Property.../a ...'
#   target: at most 5 times sed's time
#
# Every run starts from a fresh copy of the project (the copy is not timed) and a warm page
# cache; the best of RUNS runs counts.
#
#   bench/error_handlers.sh       (MODULES=500 LINES=1000000 RUNS=3 MARQUILL=build/apps/cli/marquill)
set -euo pipefail
cd "$(dirname "$0")/.."

marquill="${MARQUILL:-build/apps/cli/marquill}"
modules="${MODULES:-500}"
lines="${LINES:-1000000}"
runs="${RUNS:-3}"
[ -x "$marquill" ] || { echo "error_handlers.sh: build $marquill first" >&2; exit 2; }
command -v python3 > /dev/null || { echo "error_handlers.sh: needs python3" >&2; exit 2; }

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

declaration='^(Public |Private |Friend )?(Static )?(Sub|Function|Property (Get|Let|Set)) [^_]*\r?$'
sed_insert() {
  sed -i -E "/$declaration/a On Error Resume Next\\r" \
    "$work"/run/*.bas "$work"/run/*.cls "$work"/run/*.frm
}

sed_time=$(best_of sed_insert)
insert_time=$(best_of "$marquill" error-handler insert "$work/run/Project.vbp")
# The command's result: every procedure of the last run's modules starts with the statement.
declarations=$(cat "$work"/run/*.bas | grep -cE '^(Public |Private )?(Sub|Function) ')
statements=$(cat "$work"/run/*.bas | grep -c '^On Error Resume Next')
if [ "$statements" -lt "$declarations" ]; then
  echo "error_handlers.sh: $statements statements for $declarations procedures" >&2
  exit 1
fi

awk -v sed="$sed_time" -v insert="$insert_time" -v modules="$modules" -v lines="$lines" \
    -v runs="$runs" 'BEGIN {
  ratio = insert / sed
  printf "project: %d lines in %d modules (best of %d runs, load + command + save)\n", lines, modules, runs
  printf "sed insert after declarations: %8.3f s\n", sed / 1e9
  printf "error-handler insert:          %8.3f s  (%.2f x sed, target <= 5)   %s\n", insert / 1e9, ratio, ratio <= 5 ? "ok" : "OVER"
  exit ratio <= 5 ? 0 : 1
}'
