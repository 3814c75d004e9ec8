#!/usr/bin/env bash
# Times a load plus a forced save of every module of a generated project (1,000,000 lines in 500
# modules by default) beside `cp -r` of the same tree, and measures the peak memory of the load
# and save against the project's size on disk. Targets: at most 10 times cp's wall time, peak
# memory under 4 times the size on disk.
#
#   bench/load_save.sh            (MODULES=500 LINES=1000000 RUNS=5 MARQUILL=build/apps/cli/marquill)
set -euo pipefail
cd "$(dirname "$0")/.."

marquill="${MARQUILL:-build/apps/cli/marquill}"
modules="${MODULES:-500}"
lines="${LINES:-1000000}"
runs="${RUNS:-5}"
[ -x "$marquill" ] || { echo "load_save.sh: build $marquill first" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "load_save.sh: needs /usr/bin/time (apt-get install time)" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 bench/gen_project.py --modules "$modules" --lines "$lines" --out "$work/project" --seed 1
cp -r "$work/project" "$work/pristine"
bytes=$(du -sb "$work/project" | cut -f1)
cat "$work"/project/* > /dev/null  # both sides start from a warm page cache

now() { date +%s%N; }
best_cp=""
best_save=""
peak_kb=0
for ((run = 1; run <= runs; run++)); do
  rm -rf "$work/copy"
  start=$(now)
  cp -r "$work/project" "$work/copy"
  elapsed=$(( $(now) - start ))
  [ -z "$best_cp" ] || [ "$elapsed" -lt "$best_cp" ] && best_cp=$elapsed

  start=$(now)
  /usr/bin/time -f "%M" -o "$work/rss" "$marquill" check --rewrite-all "$work/project/Project.vbp" > /dev/null
  elapsed=$(( $(now) - start ))
  [ -z "$best_save" ] || [ "$elapsed" -lt "$best_save" ] && best_save=$elapsed
  rss=$(tail -1 "$work/rss")
  [ "$rss" -gt "$peak_kb" ] && peak_kb=$rss
done

# Rewritten unchanged, every file must still hold the same bytes.
diff -r "$work/pristine" "$work/project" > /dev/null || { echo "load_save.sh: the rewrite changed files" >&2; exit 1; }

awk -v cp="$best_cp" -v save="$best_save" -v rss="$peak_kb" -v size="$bytes" \
    -v modules="$modules" -v lines="$lines" -v runs="$runs" 'BEGIN {
  time_ratio = save / cp
  memory_ratio = rss * 1024 / size
  printf "project: %d lines in %d modules, %.1f MB on disk (best of %d runs)\n", lines, modules, size / 1e6, runs
  printf "cp -r:              %8.3f s\n", cp / 1e9
  printf "load + save all:    %8.3f s  (%.1f x cp, target <= 10)   %s\n", save / 1e9, time_ratio, time_ratio <= 10 ? "ok" : "OVER"
  printf "peak memory:        %8.1f MB (%.2f x size on disk, target < 4)   %s\n", rss / 1024, memory_ratio, memory_ratio < 4 ? "ok" : "OVER"
  exit (time_ratio <= 10 && memory_ratio < 4) ? 0 : 1
}'
