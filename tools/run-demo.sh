#!/usr/bin/env bash
# Flies one scripted flight end to end: qvl-service with its demo booking,
# qvl-sim flying the matching scenario, and the headless client watching it.
# Expects a built tree (tools/dev.sh run builds it first).
# QVL_FS_INTERFACE=SimConnect flies the same scenario through the stand-in
# SimConnect library (libSimConnect.so beside the client) instead of qvl-sim.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${QVL_BUILD_DIR:-$root/build/dev}"
scale="${QVL_TIME_SCALE:-20}"
bridge="${QVL_FS_INTERFACE:-FSUIPC}"
scenario="$root/tools/qvl-sim/scenarios/airline_eddf_eddm.json"
work=$(mktemp -d /tmp/quenvale-demo.XXXXXX)
port=$(( 20000 + RANDOM % 20000 ))
pids=()

cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

export QVL_FSUIPC_DIR="$work/fsuipc"
export XDG_DATA_HOME="$work/client"
mkdir -p "$QVL_FSUIPC_DIR" "$XDG_DATA_HOME" "$work/service"

echo "== qvl-service on 127.0.0.1:$port"
"$build/tools/qvl-service/qvl-service" seed --data "$work/service" > /dev/null
"$build/tools/qvl-service/qvl-service" start --port "$port" --data "$work/service" > "$work/service.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do
  [ -f "$work/service/ca.pem" ] && (echo > "/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  sleep 0.1
done

if [ "$bridge" = "SimConnect" ]; then
  echo "== stand-in SimConnect library flying Frankfurt to Munich at ${scale}x"
  export QVL_SIMCONNECT_SCENARIO="$scenario" QVL_SIMCONNECT_TIME_SCALE="$scale"
else
  echo "== qvl-sim flying Frankfurt to Munich at ${scale}x"
  "$build/tools/qvl-sim/qvl-sim" run "$scenario" \
    --time-scale "$scale" --dir "$QVL_FSUIPC_DIR" > "$work/sim.log" 2>&1 &
  pids+=($!)
fi

echo "== quenvale-headless"
status=0
"$build/src/app/quenvale-headless" --user demo --password demo123 \
  --server "https://127.0.0.1:$port" --ca-file "$work/service/ca.pem" --minutes 30 \
  --fs-interface "$bridge" || status=$?

echo "== what the service received"
"$build/tools/qvl-service/qvl-service" list --data "$work/service" | tail -n 20 || true
echo "== client log: $XDG_DATA_HOME/Quenvale/ (removed on exit)"
exit "$status"
