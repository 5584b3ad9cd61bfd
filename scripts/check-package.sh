#!/usr/bin/env bash
# Installs the built Debian package with apt (which resolves its computed
# dependencies), starts the installed program for a few seconds on the
# offscreen platform, then removes the package again.
set -euo pipefail
deb=$(readlink -f "$1")
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$deb" >/dev/null
status=0
QT_QPA_PLATFORM=offscreen timeout 3 /usr/bin/pictolex >/dev/null 2>&1 || status=$?
DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq pictolex >/dev/null
# 124: still running when the time was up, so it started and kept going.
if [ "$status" -ne 124 ]; then
  echo "The installed program did not keep running (exit status $status)." >&2
  exit 1
fi
echo "Installed $(basename "$deb"), started /usr/bin/pictolex, removed it again."
