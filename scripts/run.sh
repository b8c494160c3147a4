#!/usr/bin/env bash
# Set-up, build and start the program. Without a display (no DISPLAY or
# WAYLAND_DISPLAY) it says how to start it under a virtual one instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target qirt qirt-batch

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    cat <<'TEXT'
qirt is built (build/app/qirt), but this machine has no display to show it on.
On a desktop, run this command again from a terminal of the desktop. On a
server, start it on a virtual display and look at it through a screenshot:

  apt-get install -y xvfb xauth imagemagick
  xvfb-run -n 99 -s '-screen 0 1280x800x24' ./build/app/qirt &
  sleep 2; DISPLAY=:99 import -window root qirt.png

or use the program without windows: ./build/app/qirt-batch -h
TEXT
    exit 0
fi
exec ./build/app/qirt
