#!/usr/bin/env bash
# Reads Pictolex's accessibility tree the way a screen reader does: the
# program runs on a display of its own (Xvfb) inside a private session bus
# (dbus-run-session); bus_check.py starts the AT-SPI bus, the program and an
# AT-SPI client there, and checks what the client sees.
#
# Usage: run_bus_check.sh PATH/TO/pictolex [CHECK.py]
# CHECK.py is the client's script in this folder, bus_check.py unless given.
# Exits non-zero when any piece is missing or cannot be reached: a check that
# could not run is a failed check.
set -euo pipefail

program=${1:?usage: run_bus_check.sh PATH/TO/pictolex [CHECK.py]}
here=$(cd "$(dirname "$0")" && pwd)
check=${2:-bus_check.py}

for tool in Xvfb dbus-run-session /usr/libexec/at-spi-bus-launcher /usr/bin/python3; do
  if ! command -v "$tool" >/dev/null; then
    echo "FAIL: $tool is not installed (scripts/install-deps.sh installs it)" >&2
    exit 1
  fi
done
[ -x "$program" ] || { echo "FAIL: $program is not an executable" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  local status=$?
  if [ "$status" -ne 0 ] && [ -s "$work/xvfb.log" ]; then
    echo "Xvfb said:" >&2
    cat "$work/xvfb.log" >&2
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb chooses a free display number itself and writes it to descriptor 3.
# -noreset: by default the server resets whenever its last client leaves, and
# refuses clients that connect meanwhile (the bus launcher connects and leaves
# just before the program starts).
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  if ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "FAIL: Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
  fi
  sleep 0.1
done
[ -s "$work/display" ] || { echo "FAIL: Xvfb gave no display number within 10 s" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"
echo "X display $DISPLAY"

# The accessibility bus address must come from this private session, never
# from a desktop the test happens to run in.
unset AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS
dbus-run-session -- /usr/bin/python3 "$here/$check" "$program"
