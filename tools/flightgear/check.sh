#!/usr/bin/env bash
# The client against FlightGear itself (bash tools/dev.sh flightgear): starts
# fgfs at BIKF with the Cessna 172P, qvl-service with a booking BIKF to BIRK,
# the client headless on the FlightGear bridge with a scripted pilot (login,
# Fly!, Fuel Up!, Fly!), and the robot pilot, which takes off, climbs, pauses
# and then moves the aircraft 30 nm through the properties, which the client
# must answer with "Flight Aborted". Measures FlightGear's frame rate and the
# property server's batches a second. Keeps its artefacts in
# build/flightgear-check (the client's log, debug log and recording, the
# robot's log, fgfs's log). Expects a built tree.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build="${QVL_BUILD_DIR:-$root/build/dev}"
out="$root/build/flightgear-check"
rm -rf "$out"
mkdir -p "$out/client" "$out/service" "$out/fgfs"
port=$(( 20000 + RANDOM % 20000 ))
fg_port=$(( 40000 + RANDOM % 20000 ))
pids=()
fg_group=""

cleanup() {
  [ -n "$fg_group" ] && kill -- "-$fg_group" 2>/dev/null || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT

echo "== FlightGear at BIKF, its property server on port $fg_port"
fg_group=$(bash "$root/tools/flightgear/start-fgfs.sh" "$out/fgfs" BIKF "$fg_port")
started=$SECONDS
python3 "$root/tools/flightgear/robot.py" "$out" wait-ready "$fg_port"
echo "== FlightGear ready after $((SECONDS - started)) s"
python3 "$root/tools/flightgear/robot.py" "$out" measure "$fg_port"

echo "== qvl-service on 127.0.0.1:$port with the booking BIKF to BIRK"
"$build/tools/qvl-service/qvl-service" seed --data "$out/service" > /dev/null
python3 "$root/tools/flightgear/book.py" "$out/service"
"$build/tools/qvl-service/qvl-service" start --port "$port" --data "$out/service" > "$out/service.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do
  [ -f "$out/service/ca.pem" ] && (echo > "/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  sleep 0.1
done

cat > "$out/client/quenvale.ini" <<INI
[login]
User = demo
Password = demo123

[settings]
AutoLogin = 0
Tracker = 1
SimpleFuel = 0
Sound = 0
EnableAutosave = 1
FSInterface = FlightGear

[server]
Url = https://127.0.0.1:$port
CAFile = $out/service/ca.pem

[flightgear]
Host = 127.0.0.1
Port = $fg_port
INI

echo "== the client, headless on the FlightGear bridge"
"$build/src/app/quenvale" --headless --data-dir "$out/client" --pilot "$root/tools/flightgear/flightgear.pilot" \
  > "$out/client.log" 2>&1 &
client=$!
pids+=($client)
for _ in $(seq 1 600); do
  grep -q "page 5 (flying)" "$out/client.log" && break
  kill -0 "$client" 2>/dev/null || break
  sleep 0.5
done
grep -q "page 5 (flying)" "$out/client.log" || { tail -40 "$out/client.log"; echo "the client never flew" >&2; exit 1; }
echo "== flying: the robot takes off, climbs, pauses, flies level and moves the aircraft 30 nm"
python3 "$root/tools/flightgear/robot.py" "$out" takeoff-climb "$fg_port"
status=0
wait "$client" || status=$?
cat "$out/robot.log"
ls "$out"/client/recordings/*.qvlrec 2>/dev/null || true
failed=0
for expect in "page 11" "page 14" "page 5 (flying)" "Flight Aborted"; do
  if grep -q "$expect" "$out/client.log"; then echo "ok: $expect"; else echo "missing: $expect" >&2; failed=1; fi
done
# The phases the client saw, as its debug log names them.
grep -hE "Upload Tracker Data|Flight Aborted|position changed|Set fuel tanks" "$out"/client/quenvale_debug*.txt || true
echo "== client exit status $status; artefacts in $out"
exit $failed
