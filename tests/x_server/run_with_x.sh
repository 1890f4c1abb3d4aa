#!/bin/sh
# Runs a test program under an X server of its own: Xvfb on a free display (it picks the
# number itself, so parallel runs do not collide), else the display in DISPLAY. Exits 77,
# which CTest counts as skipped, when neither can be had.
if command -v Xvfb >/dev/null 2>&1; then
  dir=$(mktemp -d) || exit 77
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" 2>"$dir/log" &
  xvfb=$!
  trap 'kill "$xvfb" 2>/dev/null; rm -rf "$dir"' EXIT INT TERM
  i=0
  while [ ! -s "$dir/display" ] && [ $i -lt 100 ] && kill -0 "$xvfb" 2>/dev/null; do
    sleep 0.1
    i=$((i + 1))
  done
  if [ -s "$dir/display" ]; then
    DISPLAY=":$(cat "$dir/display")"
    export DISPLAY
    "$@"
    exit $?
  fi
  echo "Xvfb did not start:" >&2
  cat "$dir/log" >&2
fi
if [ -n "$DISPLAY" ]; then
  exec "$@"
fi
echo "No X server could be started: skipped."
exit 77
