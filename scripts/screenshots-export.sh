#!/usr/bin/env bash
# Takes the README's pictures of the HTML export and the project report: the sample project's
# module exported with colours and the report page, each loaded in headless Chromium.
#   scripts/screenshots-export.sh [OUTPUT_FOLDER]   (default: docs/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-docs/screenshots}")"
marquill=build/apps/cli/marquill
if [ ! -x "$marquill" ]; then
  echo "screenshots-export: $marquill is missing; build it first (scripts/setup.sh)" >&2
  exit 1
fi
chromium="$(command -v chromium || command -v chromium-browser || true)"
if [ -z "$chromium" ]; then
  echo "screenshots-export: chromium is not installed" >&2
  exit 1
fi
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cp -r samples "$scratch/project"
mkdir -p "$out"
"$marquill" export-html --component modMain --colors -o "$scratch/modMain.htm" \
  "$scratch/project/Marquill.vbp"
"$marquill" report --lines --references --controls --html "$scratch/report.htm" \
  "$scratch/project/Marquill.vbp"

shot() {  # PAGE PNG WIDTHxHEIGHT
  "$chromium" --headless --disable-gpu --no-sandbox --no-first-run --hide-scrollbars \
    --user-data-dir="$scratch/profile" --window-size="$3" --screenshot="$2" "file://$1" \
    >/dev/null 2>&1
  [ -s "$2" ] || { echo "screenshots-export: no picture written for $1" >&2; exit 1; }
  echo "wrote $2"
}
shot "$scratch/modMain.htm" "$out/export.png" 900,700
shot "$scratch/report.htm" "$out/report.png" 900,700
