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
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tools/lib/common.sh
source "$here/../../tools/lib/common.sh"
fail_prefix="wine.sh $step:"
linux_build=${QVL_LINUX_BUILD_DIR:-$here/../../build/dev}
service=$state/service

wine_env "$state/prefix"
export LC_ALL=C.UTF-8
unset WAYLAND_DISPLAY
if [ -s "$state/display" ]; then
  export DISPLAY=":$(head -n1 "$state/display")"
else
  unset DISPLAY
fi

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
    rm -f "$state/display"
    make_wine_prefix
    # Drive C:'s volume serial number, which the machine table expects; Wine
    # reads it when its services start, so they start again. The simulator's
    # module is a window: the null graphics driver makes windows without a
    # display, until the window suite's display replaces it.
    echo abcdef > "$WINEPREFIX/drive_c/.windows-serial"
    wine_graphics null
    echo "Wine prefix ready: $WINEPREFIX"
    ;;
  prefix-end)
    stop_wineserver
    rm -rf "$WINEPREFIX"
    ;;
  service)
    # Outlives this step, until service-end.
    stop_pid_in "$state/service.pid"
    rm -rf "$service"
    start_service --detached "$linux_build/tools/qvl-service/qvl-service" "$service" \
      --upload-log "$service/uploads.log"
    echo "$last_pid" > "$state/service.pid"
    echo "qvl-service on port $port ($linux_build/tools/qvl-service/qvl-service)"
    ;;
  service-end)
    stop_pid_in "$state/service.pid"
    ;;
  display)
    # Outlives this step, until display-end.
    command -v Xvfb > /dev/null || fail "Xvfb is not installed (tools/dev.sh installs it)"
    stop_pid_in "$state/xvfb.pid"
    start_display --detached "$state" || fail "Xvfb could not start: $(cat "$state/xvfb.log")"
    echo "$last_pid" > "$state/xvfb.pid"
    # Windows drawn for real again, and Wine's desktop takes the display it
    # starts with: a fresh wineserver starts it again on this one.
    wine_graphics default
    # Wine's services start now, on the display, holding no later test's output.
    quietly_shown "$wine" wineboot > /dev/null || true
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
