#!/usr/bin/env bash
# Times `marquill log --total` on a generated time log of 1,000,000 start and stop lines beside
# `wc -l` on the same file, and again at 2,000,000 lines. Targets: the whole command under 20
# times wc's wall time, and 2,000,000 lines in under 2.3 times the 1,000,000-line time.
#
#   bench/time_log.sh            (LINES=1000000 RUNS=5 MARQUILL=build/apps/cli/marquill)
set -euo pipefail
cd "$(dirname "$0")/.."

marquill="${MARQUILL:-build/apps/cli/marquill}"
lines="${LINES:-1000000}"
runs="${RUNS:-5}"
[ -x "$marquill" ] || { echo "time_log.sh: build $marquill first" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export MARQUILL_HOME="$work/addin" XDG_CONFIG_HOME="$work/config" LC_ALL=C

# A log of start and stop pairs a minute apart, one pair a day, in the form Marquill writes.
generate() {  # LINES FOLDER
  mkdir -p "$2"
  cp samples/*.* "$2/"
  python3 - "$1" "$2/Marquill.logs" <<'PY'
import datetime, sys
lines, path = int(sys.argv[1]), sys.argv[2]
day = datetime.datetime(1000, 1, 1, 9, 0, 0)
with open(path, "w", newline="") as out:
    for i in range(lines // 2):
        start = day + datetime.timedelta(days=i)
        out.write(start.strftime("Start at %Y-%m-%d %H:%M:%S\r\n"))
        out.write((start + datetime.timedelta(seconds=61)).strftime("Stop  at %Y-%m-%d %H:%M:%S\r\n"))
PY
}

now() { date +%s%N; }
best() {  # COMMAND... : the best wall time of $runs runs, in nanoseconds
  local best_time="" start elapsed
  for ((run = 1; run <= runs; run++)); do
    start=$(now)
    "$@" > /dev/null
    elapsed=$(( $(now) - start ))
    [ -z "$best_time" ] || [ "$elapsed" -lt "$best_time" ] && best_time=$elapsed
  done
  echo "$best_time"
}

generate "$lines" "$work/one"
generate $((lines * 2)) "$work/two"
cat "$work"/one/Marquill.logs "$work"/two/Marquill.logs > /dev/null  # a warm page cache for all

total=$("$marquill" log --total "$work/one/Marquill.vbp")
expected_days=$(( lines / 2 * 61 / 86400 ))
case "$total" in
  "$expected_days day(s) "*) ;;
  *) echo "time_log.sh: wrong total '$total' for $lines lines" >&2; exit 1 ;;
esac

wc_one=$(best wc -l "$work/one/Marquill.logs")
log_one=$(best "$marquill" log --total "$work/one/Marquill.vbp")
log_two=$(best "$marquill" log --total "$work/two/Marquill.vbp")

awk -v wc="$wc_one" -v one="$log_one" -v two="$log_two" -v lines="$lines" -v runs="$runs" 'BEGIN {
  against_wc = one / wc
  growth = two / one
  printf "time log: %d lines and %d lines (best of %d runs)\n", lines, 2 * lines, runs
  printf "wc -l:                %8.3f s\n", wc / 1e9
  printf "log --total:          %8.3f s  (%.1f x wc -l, target < 20)   %s\n", one / 1e9, against_wc, against_wc < 20 ? "ok" : "OVER"
  printf "log --total, 2x lines: %7.3f s  (%.2f x, target < 2.3)   %s\n", two / 1e9, growth, growth < 2.3 ? "ok" : "OVER"
  exit (against_wc < 20 && growth < 2.3) ? 0 : 1
}'
