#!/usr/bin/env bash
# tools/demo as a user drives it, reusing this build folder: once Tavrik's
# window is up, "quit" typed to the demo ends the demo, the emulator and
# Tavrik; no process the demo started is left running.
#
#   demo_quit_test.sh <source folder> <build folder>
set -euo pipefail
root=$1
build=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/tavrik-demo-test-XXXXXX")
socket=$work/demo.sock

# The processes the demo started: every process that carries this run's
# socket in its environment (the demo, its build, the emulator, Tavrik).
started() {
  { grep -lzxF "TAVRIK_DEVSIM_SOCKET=$socket" /proc/[0-9]*/environ 2>/dev/null || true; } | cut -d/ -f3
}
named() {
  local comm=""
  { read -r comm <"/proc/$1/comm"; } 2>/dev/null || true
  [ "$comm" = "$2" ]
}
finish() {
  local pid
  for pid in $(started); do kill -9 "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap finish EXIT
fail() {
  echo "FAIL: $*"
  echo "--- the demo's output:"
  cat "$work/out" 2>/dev/null || true
  exit 1
}
# Polls `condition` every 0.1 s until it holds; the bound only ends a hung run.
await() {
  local seconds=$1
  shift
  local end=$((SECONDS + seconds))
  until "$@"; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.1
  done
}

mkfifo "$work/in"
TAVRIK_DEVSIM_SOCKET=$socket "$root/tools/demo" -j 2 "$build" <"$work/in" >"$work/out" 2>&1 &
demo=$!
exec 3>"$work/in"

tavrik=""
find_tavrik() {
  local pid
  for pid in $(started); do
    if named "$pid" Tavrik; then tavrik=$pid; return 0; fi
  done
  return 1
}
await 240 find_tavrik || fail "Tavrik did not start"
await 60 xdotool search --onlyvisible --pid "$tavrik" >/dev/null || fail "Tavrik's window did not show"
grep -q "four emulated devices (keyboard, mouse, mouse pad, headset)" "$work/out" || fail "the banner does not say what runs"

echo quit >&3
await 60 bash -c "! kill -0 $demo 2>/dev/null" || fail "the demo did not end on quit"
code=0
wait "$demo" || code=$?
[ "$code" -eq 0 ] || fail "the demo ended with $code"
left=$(started)
if [ -n "$left" ]; then
  ps -o pid,ppid,comm -p "$(tr '\n' ',' <<<"$left" | sed 's/,$//')" || true
  fail "processes of the demo are still running after quit: $left"
fi
echo "the demo, the emulator and Tavrik ended on quit"
