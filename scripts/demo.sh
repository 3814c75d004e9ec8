#!/usr/bin/env bash
# Sets up, builds and runs the main job on a copy of the bundled sample project.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
work="$(mktemp -d)"
cp -r samples/. "$work/"
echo "== a copy of samples/ in $work"
build/apps/cli/marquill info "$work/Marquill.vbp"
echo "== load and save in memory, compared with the files"
build/apps/cli/marquill check "$work/Marquill.vbp"
echo "== tidy modMain: collapse runs of empty rows, then split lines over 80 columns"
build/apps/cli/marquill delete-empty-rows --collapse --module modMain "$work/Marquill.vbp"
build/apps/cli/marquill split-lines --width 80 --module modMain "$work/Marquill.vbp"
echo "== what changed against samples/"
diff -u --strip-trailing-cr samples/modMain.bas "$work/modMain.bas" || true
