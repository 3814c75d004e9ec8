#!/usr/bin/env bash
# Takes the README's pictures of the studio: the sample project open in it, and the add-in's main
# window on each tab. Runs the studio under a virtual X server (xvfb-run) with a scratch settings
# folder and add-in folder, so the pictures do not depend on this machine's settings.
#   scripts/screenshots-studio.sh [OUTPUT_FOLDER]   (default: apps/studio/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-apps/studio/screenshots}")"
studio=build/apps/studio/marquill-studio
if [ ! -x "$studio" ]; then
  echo "screenshots-studio: $studio is missing; build it first (Qt 6 needed)" >&2
  exit 1
fi
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cp -r samples "$scratch/project"
mkdir -p "$out"
export XDG_CONFIG_HOME="$scratch/config" MARQUILL_HOME="$scratch/addin"
if command -v xvfb-run >/dev/null; then
  xvfb-run -a -s "-screen 0 1280x900x24" "$studio" --screenshots "$out" "$scratch/project/Marquill.vbp"
else
  echo "screenshots-studio: xvfb-run not found; drawing offscreen instead" >&2
  QT_QPA_PLATFORM=offscreen "$studio" --screenshots "$out" "$scratch/project/Marquill.vbp"
fi
