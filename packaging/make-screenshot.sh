#!/usr/bin/env bash
# Takes the AppStream screenshot (packaging/screenshot.png): the demo galaxy in the map window, on a
# virtual display. Needs a build in build/ (or the folder given), xvfb, xdotool and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
export HOME=$(mktemp -d /tmp/vornex-shot-XXXXXX)
trap 'rm -rf "$HOME"' EXIT
xvfb-run -a -s "-screen 0 1400x900x24" bash -c '
  "$0/src/vornexinfo" --demo >/dev/null & pid=$!
  for i in $(seq 50); do win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1) && [ -n "$win" ] && break; sleep 0.2; done
  sleep 1
  import -window "$win" packaging/screenshot.png
  kill "$pid"' "$build"
file packaging/screenshot.png
