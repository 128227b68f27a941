#!/usr/bin/env bash
# Flies one demo flight end to end: qvl-service with its demo booking, qvl-sim
# flying the matching scenario, and the client program: in its window, logged
# in as the demo pilot, when a display can be opened (the pilot flies with the
# mouse); otherwise headless with a scripted pilot (tools/demo-flight.pilot),
# printing what the client shows. At the end it prints the report the service
# received. Expects a built tree
# (tools/dev.sh run builds it first).
#   QVL_TIME_SCALE=N   simulator seconds per real second (default 20)
#   QVL_FS_INTERFACE=SimConnect  fly the same scenario through the stand-in
#                      SimConnect library (built in tools/qvl-sim/standin) instead of qvl-sim
#   QVL_FS_INTERFACE=XPlane  fly it over X-Plane's UDP interface, which qvl-sim serves too
#   QVL_FS_INTERFACE=FlightGear  fly it over FlightGear's property server, which qvl-sim serves too
#   QVL_MEASURE=1      also sample the client's memory and CPU (bench/client_resources.sh);
#                      QVL_CLIENT_BUILD_DIR=build/release measures the optimised client
#   QVL_CLIENT_PROGRAM=FILE  another client program (an unpacked package's, say)
#   QVL_DEMO_PILOT=FILE  another pilot script for the client
#   QVL_DEMO_SCENARIO=FILE  another scenario for the simulator (its first wait of
#                      60 s is the hold at the stand, as in the demo's)
#   QVL_CLIENT_WRAPPER="PROGRAM ARGS"  runs the client command given after its arguments
#                      (a watcher: tests/e2e/endurance.sh)
#   QVL_HEADLESS=1     the scripted headless flight even where a display exists
#   QVL_WINDOWS=1      fly the Windows client headless under wine64 (build/windows-test,
#                      QVL_WINDOWS_BUILD_DIR) against the Windows qvl-sim or, with
#                      QVL_FS_INTERFACE=SimConnect, the stand-in SimConnect.dll beside it;
#                      the service stays the Linux one
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${QVL_BUILD_DIR:-$root/build/dev}"
client_build="${QVL_CLIENT_BUILD_DIR:-$build}"
scale="${QVL_TIME_SCALE:-20}"
bridge="${QVL_FS_INTERFACE:-FSUIPC}"
work=$(mktemp -d /tmp/quenvale-demo.XXXXXX)
# shellcheck source=tools/lib/common.sh
source "$root/tools/lib/common.sh"
remove_on_exit "$work" "${QVL_KEEP_DEMO:-}"

# Windows programs run under wine64 in a prefix of their own; they see the
# demo's files through drive Z:.
host=""
run=()
if [ -n "${QVL_WINDOWS:-}" ]; then
  win_build="${QVL_WINDOWS_BUILD_DIR:-$root/build/windows-test}"
  host="Z:"
  run=("$wine")
  QVL_HEADLESS=1
  echo "== a Wine prefix for the Windows client in $work/wine"
  # qvl-sim's module window without a display: Wine's null graphics driver.
  start_wine_prefix "$work/wine" null
fi
# Wine checks the service's certificate against host names only.
service_host=127.0.0.1
[ -n "${QVL_WINDOWS:-}" ] && service_host=localhost

export QVL_FSUIPC_DIR="$work/fsuipc"
mkdir -p "$QVL_FSUIPC_DIR" "$work/client"

start_seeded_service "$build/tools/qvl-service/qvl-service" "$work/service"
echo "== qvl-service on 127.0.0.1:$port, seeded with the demo pilot and booking"

# With a display the client opens its window (QVL_HEADLESS=1 keeps it headless).
windowed=""
if [ -z "${QVL_HEADLESS:-}" ] && [ -n "${DISPLAY:-}" ] && xdpyinfo > /dev/null 2>&1; then
  windowed=1
fi

# The pilot needs a moment to log in and fuel up before the aircraft pushes
# back: the demo keeps it at the stand for five simulator minutes, and for
# an hour when a pilot clicks through the window.
hold=300
[ -n "$windowed" ] && hold=3600
scenario="$work/demo.json"
sed "0,/\"seconds\": 60/s//\"seconds\": $hold/" "${QVL_DEMO_SCENARIO:-$root/tools/qvl-sim/scenarios/airline_eddf_eddm.json}" > "$scenario"
# X-Plane's UDP interface: the same qvl-sim serves it on a port of its own.
fs_setting="$bridge"
sim_extra=()
xplane_settings=""
if [ "$bridge" = "XPlane" ]; then
  fs_setting="X-Plane"
  xplane_port=$(( 40000 + RANDOM % 20000 ))
  sim_extra=(--xplane-port "$xplane_port")
  xplane_settings=$'\n[xplane]\nHost = 127.0.0.1\nPort = '"$xplane_port"
  echo "== qvl-sim serves X-Plane's UDP interface on port $xplane_port"
fi
if [ "$bridge" = "FlightGear" ]; then
  flightgear_port=$(( 40000 + RANDOM % 20000 ))
  sim_extra=(--flightgear-port "$flightgear_port")
  xplane_settings=$'\n[flightgear]\nHost = 127.0.0.1\nPort = '"$flightgear_port"
  echo "== qvl-sim serves FlightGear's property server on port $flightgear_port"
fi
if [ "$bridge" = "SimConnect" ]; then
  echo "== stand-in SimConnect library flying Frankfurt to Munich at ${scale}x"
  export QVL_SIMCONNECT_LIBRARY_DIR="$build/tools/qvl-sim/standin"
  export QVL_SIMCONNECT_SCENARIO="$host$scenario" QVL_SIMCONNECT_TIME_SCALE="$scale"
elif [ -n "${QVL_WINDOWS:-}" ]; then
  echo "== the Windows qvl-sim (its module window) flying Frankfurt to Munich at ${scale}x"
  start_program "$work/sim.log" "${run[@]}" "$win_build/tools/qvl-sim/qvl-sim.exe" run "$host$scenario" \
    --time-scale "$scale" "${sim_extra[@]}"
else
  echo "== qvl-sim flying Frankfurt to Munich at ${scale}x"
  start_program "$work/sim.log" "$build/tools/qvl-sim/qvl-sim" run "$scenario" \
    --time-scale "$scale" --dir "$QVL_FSUIPC_DIR" "${sim_extra[@]}"
fi

echo "== client settings for the demo pilot in $work/client"
cat > "$work/client/quenvale.ini" <<INI
[login]
User = demo
Password = demo123

[settings]
AutoLogin = ${windowed:-0}
Tracker = 1
SimpleFuel = 0
Sound = 0
EnableAutosave = 1
FSInterface = $fs_setting

[server]
Url = https://$service_host:$port
CAFile = $host$work/service/ca.pem$xplane_settings
INI

status=0
measure=()
[ -n "${QVL_MEASURE:-}" ] && measure=(bash "$root/bench/client_resources.sh")
[ -n "${QVL_CLIENT_WRAPPER:-}" ] && read -ra measure <<< "$QVL_CLIENT_WRAPPER"
if [ -n "$windowed" ]; then
  client=(--data-dir "$work/client")
  echo "== quenvale in its window, logged in as the demo pilot: Fly!, Fuel Up!, Fly!, then watch"
  echo "   the flight; comment, End flight, Next through the report; Exit closes the demo"
else
  [ -z "${QVL_HEADLESS:-}" ] && echo "== no display to open the window on: flying the headless demo instead"
  client=(--headless --data-dir "$host$work/client" --pilot "$host${QVL_DEMO_PILOT:-$root/tools/demo-flight.pilot}")
fi
program="${QVL_CLIENT_PROGRAM:-$client_build/src/app/quenvale}"
[ -n "${QVL_WINDOWS:-}" ] && program="$win_build/src/app/quenvale.exe"
echo "== ${run[*]} $program ${client[*]}"
"${measure[@]}" "${run[@]}" "$program" "${client[@]}" || status=$?

echo "== the report the service received"
"$build/tools/qvl-service/qvl-service" list --data "$work/service" writereport || true
echo "== client exit status $status (logs in $work/client, removed on exit unless QVL_KEEP_DEMO=1)"
exit "$status"
