#!/usr/bin/env bash
# Starts or stops the Xvfb of a ctest fixture.
#   xvfb_fixture.sh start STATEFILE [XVFB ARGS...]
#                                     -> STATEFILE holds ":N" (and STATEFILE.pid the pid),
#                                        or "none: reason" when no server could start
#   xvfb_fixture.sh stop STATEFILE
# Starting does not fail the fixture on a developer's machine: the tests that
# need the display skip with the reason. Under CI=true a display that does not
# come up fails the fixture (and so every test that needs it) with the reason.
# The wait for the server is 20 s times TAVRIK_TEST_TIME_SCALE.
set -u
action=${1:?start or stop}
state=${2:?state file}
shift 2
pidfile="$state.pid"
mkdir -p "$(dirname "$state")"

stop_server() {
  if [ -f "$pidfile" ]; then
    pid=$(cat "$pidfile")
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null
      for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
      kill -0 "$pid" 2>/dev/null && kill -9 "$pid" 2>/dev/null
    fi
    rm -f "$pidfile"
  fi
}

# Reports the reason written to the state file; fails under CI=true.
no_display() {
  cat "$state"
  if [ "${CI:-}" = true ]; then
    echo "CI=true: the tests that need this X display fail" >&2
    exit 1
  fi
  exit 0
}

case "$action" in
start)
  stop_server
  rm -f "$state"
  if ! command -v Xvfb >/dev/null 2>&1; then
    echo "none: Xvfb is not installed (tools/setup installs it)" > "$state"
    no_display
  fi
  fifo=$(mktemp -u "${TMPDIR:-/tmp}/tavrik-xvfb.XXXXXX")
  mkfifo "$fifo"
  log="$state.log"
  # -displayfd: the server chooses a free display and writes its number.
  # The caller's arguments come last, so that they can take back an extension
  # switched on here (XTEST and RECORD share one switch in the server).
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset \
       +extension MIT-SHM +extension RANDR +extension XTEST "$@" \
       3>"$fifo" >"$log" 2>&1 &
  pid=$!
  echo "$pid" > "$pidfile"
  number=""
  scale=${TAVRIK_TEST_TIME_SCALE:-1}
  if read -r -t $((20 * ${scale%.*})) number < "$fifo"; then :; fi
  rm -f "$fifo"
  if [ -z "$number" ] || ! kill -0 "$pid" 2>/dev/null; then
    stop_server
    echo "none: Xvfb did not start ($(tail -n 3 "$log" 2>/dev/null | tr '\n' ' '))" > "$state"
    no_display
  fi
  echo ":$number" > "$state"
  echo "Xvfb pid $pid on :$number"
  ;;
stop)
  stop_server
  rm -f "$state"
  ;;
*)
  echo "usage: $0 start|stop STATEFILE" >&2; exit 2 ;;
esac
