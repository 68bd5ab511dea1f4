#!/bin/sh
# Makes docs/planets-table.png: the map window on the demo galaxy with the Planets dock shown,
# sorted by HabTerra.
# With "planning" as third argument it makes docs/planning.png instead: your worlds' scanner
# ranges, the legend, a ship's range ring around the best colony target, and the Planets dock
# showing the colony targets.
# Needs xvfb-run, xdotool and ImageMagick's import. For the dark look, run it with
#   QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark scripts/make-screenshot.sh build docs/dark.png
#   scripts/make-screenshot.sh [build-dir] [output.png] [planning]
set -eu
BUILD=${1:-build}
MODE=${3:-table}
if [ "$MODE" = planning ]; then OUT=${2:-docs/planning.png}; else OUT=${2:-docs/planets-table.png}; fi
PROGRAM="$BUILD/src/vornexinfo"
[ -x "$PROGRAM" ] || { echo "no $PROGRAM: build first" >&2; exit 1; }
mkdir -p "$(dirname "$OUT")"
OUT=$(cd "$(dirname "$OUT")" && pwd)/$(basename "$OUT")

export PROGRAM OUT MODE
xvfb-run -a -s "-screen 0 2000x1100x24" sh -c '
  settings=$(mktemp -d)
  XDG_CONFIG_HOME=$settings "$PROGRAM" --demo -style Fusion >/dev/null 2>&1 &
  pid=$!
  win=""
  for i in $(seq 1 50); do
    win=$(xdotool search --onlyvisible --name "VornexInfo$" 2>/dev/null | head -1) && [ -n "$win" ] && break
    sleep 0.2
  done
  [ -n "$win" ] || { kill $pid; echo "the window did not appear" >&2; exit 1; }
  xdotool windowsize "$win" 1560 940
  sleep 1
  eval $(xdotool getwindowgeometry --shell "$win")
  # Focus the window (a click on the side column) and show the Planets dock (Ctrl+Shift+P).
  xdotool mousemove --window "$win" 100 300 click 1
  xdotool key ctrl+shift+p
  sleep 0.5
  if [ "$MODE" = planning ]; then
    # Ranges and Legend down, a ring of 250; Targets, then the best of them: the ring goes round it.
    xdotool mousemove --window "$win" 532 34 click 1
    xdotool mousemove --window "$win" 614 34 click 1
    xdotool mousemove --window "$win" 690 34 click 1
    xdotool key ctrl+a
    xdotool type 250
    xdotool key Return
    sleep 0.5
    xdotool mousemove --window "$win" 1151 111 click 1
    sleep 0.5
    xdotool mousemove --window "$win" 1149 155 click 1
  fi
  # Scroll the table to HabTerra and Nearest own.
  xdotool mousemove --window "$win" 1520 906 click --repeat 30 --delay 20 1
  if [ "$MODE" != planning ]; then
    # Sort by HabTerra: the first click on a rating puts the highest first.
    sleep 0.3
    xdotool mousemove --window "$win" 1159 138 click 1
  fi
  xdotool mousemove --window "$win" 700 900
  sleep 0.8
  import -window root -crop ${WIDTH}x${HEIGHT}+$X+$Y +repage "$OUT"
  kill $pid
  rm -rf "$settings"
'
echo "wrote $OUT"
