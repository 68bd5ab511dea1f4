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

export PROGRAM OUT
if [ "$MODE" = planning ]; then
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
    # Focus the window, show the Planets dock (Ctrl+Shift+P), press Ranges and Legend, type a ring.
    xdotool mousemove --window "$win" 100 300 click 1
    xdotool key ctrl+shift+p
    sleep 0.5
    xdotool mousemove --window "$win" 532 34 click 1
    xdotool mousemove --window "$win" 614 34 click 1
    xdotool mousemove --window "$win" 690 34 click 1
    xdotool key ctrl+a
    xdotool type 250
    xdotool key Return
    sleep 0.5
    # Targets, then the best of them: the ring goes round it.
    xdotool mousemove --window "$win" 1393 83 click 1
    sleep 0.5
    xdotool mousemove --window "$win" 1149 127 click 1
    # Scroll the table to HabTerra and Nearest own.
    xdotool mousemove --window "$win" 1546 906 click --repeat 30 --delay 20 1
    xdotool mousemove --window "$win" 700 900
    sleep 0.8
    import -window root -crop ${WIDTH}x${HEIGHT}+$X+$Y +repage "$OUT"
    kill $pid
    rm -rf "$settings"
  '
  echo "wrote $OUT"
  exit 0
fi
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
  xdotool mousemove 939 400
  sleep 0.2
  xdotool mousedown 1
  for x in 920 880 820 760 700 660 640; do xdotool mousemove $x 400; sleep 0.05; done
  xdotool mouseup 1
  sleep 0.5
  # Sort by HabTerra, highest first: two clicks on its header.
  xdotool mousemove 1280 79 click 1
  sleep 0.3
  xdotool mousemove 1280 79 click 1
  xdotool mousemove 700 830
  sleep 0.5
  import -window root "$OUT"
  kill $pid
'
echo "wrote $OUT"
