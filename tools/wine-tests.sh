#!/usr/bin/env bash
# Runs the Windows build's suites (build/windows-test) under wine64 in a
# private Wine prefix with its own wineserver, against a qvl-service from the
# Linux build (build/dev). Wine cannot start Linux programs, so the service is
# started here and named to the suites in QVL_WINE_SERVICE_DIR.
# Usage: tools/wine-tests.sh [gtest filter for the unit suite]
#        tools/wine-tests.sh bench [ROUNDS]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
win=$root/build/windows-test
service_program=$root/build/dev/tools/qvl-service/qvl-service
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64

work=$(mktemp -d /tmp/qvl-wine-XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
service_pid=
cleanup() {
  [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null && wait "$service_pid" 2>/dev/null || true
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

failed=0
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

# --- The simulator links and the whole flight (simulator_tests). Each flight
# gets the demo booking afresh: the service takes one report per flight log.
run_suite simulator_tests --gtest_filter='*WindowsLink*'
for bridge in Fsuipc SimConnect; do
  "$service_program" seed --data "$work/service" > /dev/null
  run_suite simulator_tests --gtest_filter="Bridges/WindowsFlightTest.*/$bridge"
done
exit "$failed"
