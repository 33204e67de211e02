#!/usr/bin/env bash
# Runs a command on the Xvfb of a ctest fixture: reads the display from
# $TAVRIK_X_DISPLAY_FILE (set by tavrik_xvfb_use), exports DISPLAY and
# execs the command. Without a display it says why and exits 77, which
# tavrik_xvfb_use makes ctest count as skipped; under CI=true it exits 1, a
# failure.
set -u
missing() {
  if [ "${CI:-}" = true ]; then echo "failed (CI=true): $1"; exit 1; fi
  echo "skipped: $1"; exit 77
}
file=${TAVRIK_X_DISPLAY_FILE:-}
if [ -z "$file" ]; then
  if [ -n "${DISPLAY:-}" ]; then exec "$@"; fi
  missing "no X display (TAVRIK_X_DISPLAY_FILE and DISPLAY unset)"
fi
display=$(head -n 1 "$file" 2>/dev/null || true)
case "$display" in
  :*) export DISPLAY="$display"; exec "$@" ;;
  *) missing "${display:-the Xvfb fixture left no display in $file}" ;;
esac
