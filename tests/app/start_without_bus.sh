#!/usr/bin/env bash
# Starts the program ten times on the test display with no session bus known, the way a
# bare virtual display runs it; each start must show the window and end on its own.
set -u
program=$1
if [ -z "${G3_XVFB_DISPLAY:-}" ]; then
  echo "no test display (G3_XVFB_DISPLAY)"
  exit 77
fi
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
for i in $(seq 1 10); do
  out=$(env -u DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR="$runtime" DISPLAY="$G3_XVFB_DISPLAY" \
        QT_QPA_PLATFORM=xcb G3_EXIT_WHEN_SHOWN=1 timeout 60 "$program" 2>/dev/null)
  if ! grep -q '^G3_SHOWN ' <<<"$out"; then
    echo "start $i did not show the window"
    exit 1
  fi
done
echo "10 starts without a session bus"
