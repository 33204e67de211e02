#!/usr/bin/env bash
# Runs a command on the Xvfb of a ctest fixture: reads the display from
# $TAVRIK_X_DISPLAY_FILE (set by tavrik_xvfb_use), exports DISPLAY and
# execs the command. Without a display it says why and exits 77, which
# tavrik_xvfb_use makes ctest count as skipped.
set -u
file=${TAVRIK_X_DISPLAY_FILE:-}
if [ -z "$file" ]; then
  if [ -n "${DISPLAY:-}" ]; then exec "$@"; fi
  echo "skipped: no X display (TAVRIK_X_DISPLAY_FILE and DISPLAY unset)"; exit 77
fi
display=$(head -n 1 "$file" 2>/dev/null || true)
case "$display" in
  :*) export DISPLAY="$display"; exec "$@" ;;
  *) echo "skipped: ${display:-the Xvfb fixture left no display in $file}"; exit 77 ;;
esac
