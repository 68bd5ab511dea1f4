#!/bin/sh
# Makes docs/planets-table.png: the map window on the demo galaxy with the Planets dock shown,
# sorted by HabTerra.
# Needs xvfb-run, xdotool and ImageMagick's import. For the dark look, run it with
#   QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark scripts/make-screenshot.sh build docs/dark.png
#   scripts/make-screenshot.sh [build-dir] [output.png]
set -eu
BUILD=${1:-build}
OUT=${2:-docs/planets-table.png}
PROGRAM="$BUILD/src/vornexinfo"
[ -x "$PROGRAM" ] || { echo "no $PROGRAM: build first" >&2; exit 1; }
mkdir -p "$(dirname "$OUT")"
OUT=$(cd "$(dirname "$OUT")" && pwd)/$(basename "$OUT")

export PROGRAM OUT
xvfb-run -a -s "-screen 0 1400x860x24" sh -c '
  "$PROGRAM" --demo -style Fusion >/dev/null &
  pid=$!
  win=""
  for i in $(seq 1 50); do
    win=$(xdotool search --onlyvisible --name "VornexInfo$" 2>/dev/null | head -1) && [ -n "$win" ] && break
    sleep 0.2
  done
  [ -n "$win" ] || { kill $pid; echo "the window did not appear" >&2; exit 1; }
  xdotool windowmove "$win" 0 0 windowsize "$win" 1400 840
  xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
  sleep 0.5
  # View > Planets.
  xdotool key --window "$win" alt+v
  sleep 0.3
  xdotool key --window "$win" Down Return
  sleep 0.8
  # Widen the dock so that every column shows: drag the separator beside the map to the left.
  xdotool mousemove 937 400
  sleep 0.2
  xdotool mousedown 1
  for x in 920 880 820 760 720 700; do xdotool mousemove $x 400; sleep 0.05; done
  xdotool mouseup 1
  sleep 0.5
  # Sort by HabTerra, highest first: two clicks on its header.
  xdotool mousemove 1358 110 click 1
  sleep 0.3
  xdotool mousemove 1358 110 click 1
  xdotool mousemove 700 830
  sleep 0.5
  import -window root "$OUT"
  kill $pid
'
echo "wrote $OUT"
