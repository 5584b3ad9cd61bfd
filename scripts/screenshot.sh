#!/usr/bin/env bash
# Makes docs/screenshot.png: the program under Xvfb with "001 Plant cell"
# chosen by type-ahead in the Vegetal list (which has the focus at start).
#
#   scripts/screenshot.sh [PROGRAM] [OUT]
#   scripts/screenshot.sh --marked-label [PROGRAM] [OUT]
#
# With --marked-label it makes docs/marked-label.png instead: the window made
# tall enough for the whole plate, its label "Nucleus" clicked and the
# pointer resting on it, so that the mark, the selected line in "Words" and
# the label's tip show; the whole screen is taken.
set -euo pipefail
cd "$(dirname "$0")/.."
label=false
if [ "${1:-}" = --marked-label ]; then
  label=true
  shift
fi
program=${1:-build/pictolex}
if $label; then out=${2:-docs/marked-label.png}; else out=${2:-docs/screenshot.png}; fi

display=:$((90 + RANDOM % 100))
if $label; then screen=1060x960x24; else screen=1100x700x24; fi
Xvfb "$display" -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display "$program" >/dev/null 2>&1 &
app=$!
sleep 2
window=$(DISPLAY=$display xdotool search --sync --onlyvisible --name '^Pictolex$' | head -n 1)
if ! $label; then
  DISPLAY=$display xdotool key 0 0 1
  sleep 1
  DISPLAY=$display import -window "$window" "$out"
  echo "Wrote $out"
  exit 0
fi

# Without a window manager the window's top-left corner is where it is moved,
# its client area starts under the menu bar (16 px), and the picture at
# (8, 376) of the client area. "Nucleus" inks (103, 116)-(150, 127) of the
# plate (build/content/pictures/V001.labels).
DISPLAY=$display xdotool windowmove "$window" 16 0 windowsize "$window" 1028 950
sleep 1
DISPLAY=$display xdotool key 0 0 1
sleep 1
DISPLAY=$display xdotool mousemove $((16 + 8 + 126)) $((16 + 376 + 121)) click 1
sleep 0.3
# A move on the label after the click brings its tip back after the delay.
DISPLAY=$display xdotool mousemove_relative 2 1
sleep 1.5
DISPLAY=$display import -window root "$out"
echo "Wrote $out"
