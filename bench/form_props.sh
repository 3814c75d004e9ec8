#!/usr/bin/env bash
# Times `marquill form-props --back-color` - load, write BackColor on every form, save - on a
# generated project of 500 forms with 40 controls each, beside `sed -i` rewriting one line in
# each of the same files. Target: under 5 times sed's time.
#
# Every run starts from a fresh copy (not timed) and a warm page cache; the best of RUNS counts.
#
#   bench/form_props.sh        (FORMS=500 CONTROLS=40 RUNS=5 MARQUILL=build/apps/cli/marquill)
set -euo pipefail
cd "$(dirname "$0")/.."

marquill="${MARQUILL:-build/apps/cli/marquill}"
forms="${FORMS:-500}"
controls="${CONTROLS:-40}"
runs="${RUNS:-5}"
[ -x "$marquill" ] || { echo "form_props.sh: build $marquill first" >&2; exit 2; }
command -v python3 > /dev/null || { echo "form_props.sh: needs python3" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export MARQUILL_HOME="$work/addin" XDG_CONFIG_HOME="$work/config"
python3 bench/gen_forms.py --forms "$forms" --controls "$controls" --out "$work/project"

now() { date +%s%N; }

fresh_copy() {
  rm -rf "$work/run"
  cp -r "$work/project" "$work/run"
  cat "$work"/run/* > /dev/null
}

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

# The line a form's BackColor goes before, rewritten in place: one line in each file.
sed_one_line() { sed -i 's/^   Caption         =   "Form"\r$/   Caption         =   "Forms"\r/' "$work"/run/*.frm; }

sed_time=$(best_of sed_one_line)
props_time=$(best_of "$marquill" form-props --back-color '&HC0FFC0&' "$work/run/Project.vbp")
written=$(grep -l '^   BackColor       =   &H00C0FFC0&' "$work"/run/*.frm | wc -l)
[ "$written" -eq "$forms" ] || { echo "form_props.sh: BackColor written on $written of $forms forms" >&2; exit 1; }

awk -v sed="$sed_time" -v props="$props_time" -v forms="$forms" -v controls="$controls" \
    -v runs="$runs" 'BEGIN {
  ratio = props / sed
  printf "project: %d forms with %d controls each (best of %d runs, load + command + save)\n", forms, controls, runs
  printf "sed -i one line each:       %8.3f s\n", sed / 1e9
  printf "form-props --back-color:    %8.3f s  (%.2f x sed, target < 5)   %s\n", props / 1e9, ratio, ratio < 5 ? "ok" : "OVER"
  exit ratio < 5 ? 0 : 1
}'
