#!/usr/bin/env bash
# Runs a test that needs OpenGL under a virtual X display, drawn by Mesa's
# software renderer, so that it needs neither a screen nor a graphics card.
# Without xvfb-run the test is skipped (status 77, which CTest reports as
# skipped), not passed.
# Usage: with_display.sh PROGRAM [ARGUMENTS...]
set -u
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "xvfb-run not found (Debian package xvfb): the test is skipped"
  exit 77
fi
export QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1
# The virtual display has no session bus. Told so, libdbus does not try to
# start one by way of the X server (which it does for Qt's accessibility
# bridge, and which leaves a leak at exit).
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/qirt-test-bus
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
