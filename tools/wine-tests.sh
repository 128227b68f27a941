#!/usr/bin/env bash
# Runs the Windows build's suites (build/windows-test) under wine64 in a
# private Wine prefix with its own wineserver, against a qvl-service from the
# Linux build (build/dev, or QVL_LINUX_BUILD_DIR). Wine cannot start Linux programs, so the service is
# started here and named to the suites in QVL_WINE_SERVICE_DIR.
# Then the Win32 window suite and the window's end-to-end script, each on a
# private Xvfb display, with their screenshots in build/windows-test/artifacts.
# Usage: tools/wine-tests.sh [gtest filter for the unit suite]
#        tools/wine-tests.sh bench [ROUNDS]
#        tools/wine-tests.sh week   (the Windows program's flights of the week only)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
win=$root/build/windows-test
linux_build=${QVL_LINUX_BUILD_DIR:-$root/build/dev}
service_program=$linux_build/tools/qvl-service/qvl-service
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64

work=$(mktemp -d /tmp/qvl-wine-XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
service_pid=
xvfb_pid=
cleanup() {
  [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null && wait "$service_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# One prefix and one wineserver for the whole run.
mkdir -p "$WINEPREFIX" # the wineserver needs its prefix folder
"$wineserver" -p
"$wine" wineboot -i > /dev/null 2>&1 || true
# Drive C:'s volume serial number, which the machine table expects; Wine
# reads it when its services start, so they start again.
echo abcdef > "$WINEPREFIX/drive_c/.windows-serial"
"$wineserver" -k || true
"$wineserver" -w || true
"$wineserver" -p

mkdir -p "$work/service"
"$service_program" start --port 0 --data "$work/service" --upload-log "$work/service/uploads.log" > "$work/service.log" 2>&1 &
service_pid=$!
for _ in $(seq 600); do
  [ -s "$work/service/port" ] && break
  sleep 0.1
done
[ -s "$work/service/port" ] || { echo "qvl-service did not start:"; cat "$work/service.log"; exit 1; }
export QVL_WINE_SERVICE_DIR=$work/service

# --- The simulator's module is a window: Wine's null graphics driver makes
# windows without a display (taken up by the prefix's next desktop).
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f > /dev/null 2>&1
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w 2>/dev/null || true
"$wineserver" -p

# `tools/wine-tests.sh bench`: the module link's window-message benchmark
# instead of the suites.
if [ "${1:-}" = bench ]; then
  "$wine" "$win/bench/bench_fsuipc_window.exe" "Z:$win/tools/qvl-sim/qvl-sim.exe" "${2:-2000}"
  exit $?
fi

# The Windows program's first flights of the week, driven from the Linux
# build (its bookings, service faults and store), in this prefix.
run_week() {
  echo "== wine_week_tests (quenvale.exe under wine64)"
  local start=$SECONDS
  if QVL_WINE_CLIENT=$win/src/app/quenvale.exe "$root/build/dev/tests/wine_week_tests" --gtest_brief=1 \
      > "$work/wine_week_tests.log" 2>&1; then
    tail -n 3 "$work/wine_week_tests.log"
  else
    failed=1
    cat "$work/wine_week_tests.log"
  fi
  echo "   $((SECONDS - start)) s"
}

failed=0
if [ "${1:-}" = week ]; then
  run_week
  exit "$failed"
fi
run_suite() {
  local name=$1; shift
  echo "== $name (wine64)"
  if "$wine" "$win/tests/$name.exe" --gtest_brief=1 "$@" > "$work/$name.log" 2>&1; then
    tail -n 3 "$work/$name.log"
  else
    failed=1
    cat "$work/$name.log"
  fi
}
run_suite unit_tests ${1:+--gtest_filter=$1}
run_suite integration_tests

# The shipped 32-bit program's unit suite under wine32, where this machine
# runs 32-bit code; where it cannot, one line says so.
i686_suite=$root/build/windows-i686-test/tests/unit_tests.exe
if why=$(bash "$root/tools/runs-32bit.sh"); then
  echo "== unit_tests (wine32, i686)"
  if [ ! -x /usr/lib/wine/wine ] || [ ! -f "$i686_suite" ]; then
    failed=1
    echo "wine32 (/usr/lib/wine/wine) or $i686_suite is missing"
  elif /usr/lib/wine/wine "$i686_suite" --gtest_brief=1 ${1:+--gtest_filter=$1} > "$work/unit_tests_i686.log" 2>&1; then
    tail -n 3 "$work/unit_tests_i686.log"
  else
    failed=1
    cat "$work/unit_tests_i686.log"
  fi
else
  echo "== unit_tests (i686): not run under wine32: $why"
fi

# --- The simulator links and the whole flight (simulator_tests). Each flight
# gets the demo booking afresh: the service takes one report per flight log.
run_suite simulator_tests --gtest_filter='*WindowsLink*'
for bridge in Fsuipc SimConnect XPlane; do
  "$service_program" seed --data "$work/service" > /dev/null
  run_suite simulator_tests --gtest_filter="Bridges/WindowsFlightTest.*/$bridge"
done
run_week

# The window suite on a private X display; its page bitmaps become the
# artifacts' PNG files.
artifacts=$win/artifacts
if command -v Xvfb > /dev/null; then
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$work/display" 2> "$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
fi
if [ -s "$work/display" ]; then
  mkdir -p "$artifacts/win32"
  # Windows drawn for real again (the modules above ran on the null graphics
  # driver), and Wine's desktop takes the display it starts with: a fresh
  # wineserver starts it again on this one.
  "$wine" reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f > /dev/null 2>&1 || true
  "$wineserver" -k || true
  "$wineserver" -w || true
  export DISPLAY=":$(head -n1 "$work/display")"
  "$wineserver" -p
  QVL_ARTIFACT_DIR="Z:$artifacts" run_suite win32_window_tests
  for bitmap in "$artifacts"/win32/*.bmp; do
    [ -e "$bitmap" ] && convert "$bitmap" "${bitmap%.bmp}.png" && rm -f "$bitmap"
  done
else
  echo "== win32_window_tests: SKIPPED (Xvfb could not start)"
fi

# The program's own window, clicked (its own prefix, display and service).
echo "== win32_flight.sh"
e2e_status=0
bash "$root/tests/e2e/win32_flight.sh" "$win" "$linux_build" "$artifacts/e2e" > "$work/e2e.log" 2>&1 || e2e_status=$?
case $e2e_status in
  0) tail -n 1 "$work/e2e.log" ;;
  77) tail -n 1 "$work/e2e.log" ;;
  *) failed=1; cat "$work/e2e.log" ;;
esac
echo "== win32_install.sh"; bash "$root/tests/e2e/win32_install.sh" "$win" "$linux_build" > "$work/install.log" 2>&1 && tail -n 1 "$work/install.log" || { failed=1; cat "$work/install.log"; }
exit "$failed"
