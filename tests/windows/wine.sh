#!/usr/bin/env bash
# The Wine side of the Windows suites under ctest: the emulator that runs a
# test program (`run`), and the fixtures' set-up and clean-up steps: one
# private Wine prefix with its own wineserver, the qvl-service stand-in from
# a Linux build (Wine cannot start Linux programs), and a private Xvfb for
# the window suite. Their state lives in STATE (the build's wine/ folder).
#   wine.sh STATE prefix|prefix-end|service|service-end|display|display-end
#   wine.sh STATE run|seeded-run PROGRAM [ARGS]   a Windows program in the prefix
#   wine.sh STATE host PROGRAM [ARGS]             a program of the Linux build
#                                                 (a path below it) in the prefix
#   wine.sh STATE e2e SCRIPT WINDOWS_BUILD ARTIFACTS   an end-to-end script, which
#                                                 takes the Linux build after the Windows one
# QVL_LINUX_BUILD_DIR names the Linux build whose qvl-service is used; QVL_WINE
# another Wine loader (wine32 for the 32-bit suite).
set -euo pipefail

state=$1
step=$2
shift 2
wine=${QVL_WINE:-/usr/lib/wine/wine64}
wineserver=/usr/lib/wine/wineserver64
linux_build=${QVL_LINUX_BUILD_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/dev}
service=$state/service

export WINEPREFIX=$state/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
unset WAYLAND_DISPLAY
if [ -s "$state/display" ]; then
  export DISPLAY=":$(head -n1 "$state/display")"
else
  unset DISPLAY
fi

fail() { echo "wine.sh $step: $*" >&2; exit 1; }

# Waits up to SECONDS for a test to pass; fails with WHAT when it never does.
wait_for() {
  local seconds=$1 what=$2 i
  shift 2
  for ((i = 0; i < seconds * 10; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  fail "$what"
}

# A background program outlives the step that starts it; none of Wine's
# helpers may hold ctest's output open, or ctest waits for them.
restart_wineserver() {
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w 2>/dev/null || true
  "$wineserver" -p > /dev/null 2>&1 < /dev/null
}

# Runs a command with its output in a file, shown when it ends: Wine's
# system processes it starts keep the file open, not ctest's pipe.
quietly_shown() {
  local log rc=0
  log=$(mktemp "$state/run.XXXXXX")
  "$@" > "$log" 2>&1 < /dev/null || rc=$?
  cat "$log"
  rm -f "$log"
  return "$rc"
}

stop_pid_in() {
  [ -s "$1" ] || return 0
  kill "$(cat "$1")" 2>/dev/null || true
  rm -f "$1"
}

case $step in
  prefix)
    "$wineserver" -k 2>/dev/null || true
    "$wineserver" -w 2>/dev/null || true
    rm -rf "$WINEPREFIX" "$state/display"
    mkdir -p "$WINEPREFIX" # the wineserver needs its prefix folder
    "$wineserver" -p > /dev/null 2>&1 < /dev/null
    quietly_shown "$wine" wineboot -i > /dev/null || true
    [ -d "$WINEPREFIX/drive_c" ] || fail "wineboot made no prefix in $WINEPREFIX"
    # Drive C:'s volume serial number, which the machine table expects; Wine
    # reads it when its services start, so they start again. The simulator's
    # module is a window: the null graphics driver makes windows without a
    # display, until the window suite's display replaces it.
    echo abcdef > "$WINEPREFIX/drive_c/.windows-serial"
    quietly_shown "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f > /dev/null
    restart_wineserver
    echo "Wine prefix ready: $WINEPREFIX"
    ;;
  prefix-end)
    "$wineserver" -k 2>/dev/null || true
    "$wineserver" -w 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    ;;
  service)
    program=$linux_build/tools/qvl-service/qvl-service
    [ -x "$program" ] || fail "$program is missing: build the Linux side first (QVL_LINUX_BUILD_DIR names another build)"
    stop_pid_in "$state/service.pid"
    rm -rf "$service"
    mkdir -p "$service"
    setsid "$program" start --port 0 --data "$service" --upload-log "$service/uploads.log" \
      > "$state/service.log" 2>&1 < /dev/null &
    echo $! > "$state/service.pid"
    wait_for 60 "qvl-service did not start: $(cat "$state/service.log")" test -s "$service/port"
    echo "qvl-service on port $(cat "$service/port") ($program)"
    ;;
  service-end)
    stop_pid_in "$state/service.pid"
    ;;
  display)
    command -v Xvfb > /dev/null || fail "Xvfb is not installed (tools/dev.sh installs it)"
    stop_pid_in "$state/xvfb.pid"
    rm -f "$state/display"
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$state/display" 2> "$state/xvfb.log" \
      > /dev/null < /dev/null &
    echo $! > "$state/xvfb.pid"
    wait_for 10 "Xvfb could not start: $(cat "$state/xvfb.log")" test -s "$state/display"
    export DISPLAY=":$(head -n1 "$state/display")"
    # Windows drawn for real again, and Wine's desktop takes the display it
    # starts with: a fresh wineserver starts it again on this one.
    quietly_shown "$wine" reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f > /dev/null || true
    restart_wineserver
    echo "Wine draws on $DISPLAY"
    ;;
  display-end)
    rm -f "$state/display"
    stop_pid_in "$state/xvfb.pid"
    # The window suite's page bitmaps become the artifacts' PNG files.
    for bitmap in "$1"/*.bmp; do
      if [ -e "$bitmap" ]; then convert "$bitmap" "${bitmap%.bmp}.png" && rm -f "$bitmap"; fi
    done
    ;;
  seeded-run)
    # Each flight gets the demo booking afresh: the service takes one report
    # per flight log.
    "$linux_build/tools/qvl-service/qvl-service" seed --data "$service" > /dev/null
    QVL_WINE_SERVICE_DIR=$service quietly_shown "$wine" "$@"
    ;;
  run)
    QVL_WINE_SERVICE_DIR=$service quietly_shown "$wine" "$@"
    ;;
  host)
    program=$linux_build/$1
    shift
    [ -x "$program" ] || fail "$program is missing: build the Linux side first"
    quietly_shown "$program" "$@"
    ;;
  e2e)
    # A script that makes its own prefix and service ignores these.
    [ -s "$service/port" ] && export QVL_WINE_SERVICE_DIR=$service
    bash "$1" "$2" "$linux_build" ${3:+"$3"}
    ;;
  *)
    fail "unknown step"
    ;;
esac
