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
