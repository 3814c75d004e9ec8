#!/usr/bin/env bash
# Times whole commands (load, work, write) on generated projects, median of RUNS runs:
#
#   export-html --colors of a 200,000-line module  vs  highlight -S vb -O html    (>= 5x faster)
#                                                    vs  enscript -q -Evba --color -w html (>= 2x)
#                                                    vs  pygmentize -l vbnet -f html      (>= 10x)
#   export-html --colors at 400,000 / 200,000 lines                                 (< 2.3)
#   report --lines --controls --references on 1,000,000 lines  vs  check            (< 1.5x)
#
# A tool that is not installed is skipped with a note (apt-get install highlight enscript
# python3-pygments).
#
#   bench/html_export.sh        (RUNS=5 MARQUILL=build/apps/cli/marquill)
set -euo pipefail
cd "$(dirname "$0")/.."

marquill="$(realpath "${MARQUILL:-build/apps/cli/marquill}")"
runs="${RUNS:-5}"
[ -x "$marquill" ] || { echo "html_export.sh: build $marquill first" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export MARQUILL_HOME="$work/addin" XDG_CONFIG_HOME="$work/config"

# Median wall time in milliseconds of "$@".
median_ms() {
  local times=() start
  for ((run = 1; run <= runs; run++)); do
    start=$(date +%s%N)
    "$@" > /dev/null
    times+=($(( ($(date +%s%N) - start) / 1000000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p"
}

# A project of one standard module of $1 lines; prints the module's file.
module_project() {
  local out="$work/m$1"
  python3 bench/gen_project.py --modules 1 --lines "$1" --out "$out" --seed 7 > /dev/null
  ls -S "$out"/*.bas | head -1
}

export_ms() {
  local file="$1" name
  name=$(sed -n 's/^Attribute VB_Name = "\(.*\)".*/\1/p' "$file" | head -1)
  median_ms "$marquill" export-html "$(dirname "$file")"/*.vbp --component "$name" --colors \
    -o "$work/out.htm"
}

file200=$(module_project 200000)
file400=$(module_project 400000)
ours200=$(export_ms "$file200")
ours400=$(export_ms "$file400")
echo "export-html --colors, $(wc -l < "$file200") lines: ${ours200} ms"
echo "export-html --colors, $(wc -l < "$file400") lines: ${ours400} ms" \
  "(ratio $(python3 -c "print(round($ours400 / max($ours200, 1), 2))"), target < 2.3)"

compare() {
  local label="$1" target="$2"
  shift 2
  if ! command -v "$1" > /dev/null; then
    echo "$label: not installed, skipped"
    return
  fi
  local theirs
  theirs=$(median_ms "$@")
  echo "$label: ${theirs} ms, $(python3 -c "print(round($theirs / max($ours200, 1), 1))")x" \
    "export-html's time (target >= ${target}x)"
}
compare "highlight -S vb -O html" 5 highlight -S vb -O html -i "$file200" -o "$work/h.htm"
compare "enscript -q -Evba --color -w html" 2 enscript -q -Evba --color -w html \
  -o "$work/e.htm" "$file200"
compare "pygmentize -l vbnet -f html" 10 pygmentize -l vbnet -f html -o "$work/p.htm" "$file200"

python3 bench/gen_project.py --modules 500 --lines 1000000 --out "$work/big" --seed 1 > /dev/null
report=$(median_ms "$marquill" report "$work/big"/*.vbp --lines --controls --references)
check=$(median_ms "$marquill" check "$work/big"/*.vbp)
echo "report --lines --controls --references, 1,000,000 lines: ${report} ms;" \
  "check: ${check} ms; ratio $(python3 -c "print(round($report / max($check, 1), 2))")" \
  "(target < 1.5)"
