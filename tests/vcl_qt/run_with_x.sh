#!/bin/sh
# Runs a test program under an X server of its own (Xvfb through xvfb-run), else under the
# display in DISPLAY. Exits 77, which CTest counts as skipped, when neither can be had.
if command -v xvfb-run >/dev/null 2>&1 && xvfb-run -a true >/dev/null 2>&1; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
fi
if [ -n "$DISPLAY" ]; then
  exec "$@"
fi
echo "No X server could be started: skipped."
exit 77
