#!/usr/bin/env bash
# Makes docs/screenshot.png: the program under Xvfb with "001 Plant cell"
# chosen by type-ahead in the Vegetal list (which has the focus at start).
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/pictolex}
out=${2:-docs/screenshot.png}

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1100x700x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display "$program" >/dev/null 2>&1 &
app=$!
sleep 2
DISPLAY=$display xdotool key 0 0 1
sleep 1
window=$(DISPLAY=$display xdotool search --sync --onlyvisible --name '^Pictolex$' | head -n 1)
DISPLAY=$display import -window "$window" "$out"
echo "Wrote $out"
