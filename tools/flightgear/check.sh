#!/usr/bin/env bash
# The client against FlightGear itself (bash tools/dev.sh flightgear): starts
# fgfs at BIKF with the Cessna 172P and qvl-service, then flies two flights
# with the client headless on the FlightGear bridge and the robot pilot at the
# controls:
#   1. BIKF to BIRK, the whole flight (take-off, climb, cruise, approach,
#      landing, taxi, stop). The client must see every phase, measure the
#      touchdown within 30 ft/min of what FlightGear reported at the wheels'
#      first contact and upload a report with a believable fuel burn; its
#      recording's landing analysis writes the landing plot.
#   2. After FlightGear's own reposition to its start, BIKF to BIRK again:
#      take-off, climb, a pause, and a 30 nm move through the position
#      properties, which the client must answer with "Flight Aborted".
# Measures FlightGear's frame rate and the property server's batches a second.
# Keeps its artefacts in build/flightgear-check. Expects a built tree.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build="${QVL_BUILD_DIR:-$root/build/dev}"
here="$root/tools/flightgear"
out="$root/build/flightgear-check"
rm -rf "$out"
mkdir -p "$out/flight1" "$out/flight2" "$out/service" "$out/fgfs"
fg_port=$(( 40000 + RANDOM % 20000 ))
# shellcheck source=tools/lib/common.sh
source "$root/tools/lib/common.sh"
fg_group=""
stop_fgfs() { [ -z "$fg_group" ] || kill -- "-$fg_group" 2>/dev/null || true; }
on_exit stop_fgfs

ok() { echo "ok: $*"; }

echo "== FlightGear at BIKF, its property server on port $fg_port"
fg_group=$(bash "$here/start-fgfs.sh" "$out/fgfs" BIKF "$fg_port")
started=$SECONDS
python3 "$here/robot.py" "$out" wait-ready "$fg_port"
echo "== FlightGear ready after $((SECONDS - started)) s"
python3 "$here/robot.py" "$out" measure "$fg_port"

start_seeded_service "$build/tools/qvl-service/qvl-service" "$out/service"
echo "== qvl-service on 127.0.0.1:$port"

# The client headless on the FlightGear bridge in its own data folder:
#   fly FOLDER PILOT LOG
fly() {
  cat > "$1/quenvale.ini" <<INI
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
  start_program "$3" "$build/src/app/quenvale" --headless --data-dir "$1" --pilot "$2"
  client=$last_pid
  for _ in $(seq 1 600); do
    grep -q "page 5 (flying)" "$3" && return 0
    kill -0 "$client" 2>/dev/null || break
    sleep 0.5
  done
  tail -40 "$3"
  echo "the client never flew" >&2
  exit 1
}

# A field of the report the service holds for a flight log: report LOG KEY
report() {
  python3 - "$out/service/service.db" "$1" "$2" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
row = db.execute("SELECT f.value FROM reports r JOIN upload_fields f ON f.upload_id = r.upload_id"
                 " WHERE r.log_id = ? AND f.key = ? ORDER BY f.seq DESC LIMIT 1", (sys.argv[2], sys.argv[3])).fetchone()
print(row[0] if row else "")
PY
}

echo "== flight 1: BIKF to BIRK, the whole flight"
python3 "$here/book.py" "$out/service" 9002 302 BIKF BIRK 63.985 -22.6056
fly "$out/flight1" "$here/flightgear.pilot" "$out/flight1/client.log"
robot=0
python3 "$here/robot.py" "$out/flight1" fly-to-birk "$fg_port" || robot=$?
status=0
wait "$client" || status=$?
cat "$out/flight1/robot.log"
echo "== flight 1: client exit status $status, robot $robot"
[ "$status" = 0 ] || note_failure "the client's pilot script (flight 1)"
for expect in "page 15" "page 7" "page 8"; do
  grep -q "$expect" "$out/flight1/client.log" && ok "$expect" || note_failure "missing $expect"
done
# The phases the client saw, in order, from its debug log ("FlightState: N").
phases=$(grep -ohE "FlightState: [0-9]+" "$out"/flight1/quenvale_debug*.txt | awk '{print $2}' | uniq |
  sed 's/^0$/Boarding/;s/^1$/Taxi/;s/^2$/Take Off/;s/^3$/Landed/;s/^4$/On Block/;s/^5$/Climb/;s/^6$/Cruise/;s/^7$/Descent/;s/^8$/Crashed/' |
  paste -sd, -)
echo "phases: $phases"
for phase in Taxi "Take Off" Climb Cruise Descent Landed "On Block"; do
  [[ ",$phases," == *",$phase,"* ]] && ok "phase $phase" || note_failure "phase $phase not seen"
done
if [[ ",$phases," == *",Crashed,"* ]]; then note_failure "the client saw a crash"; fi
fg_vs=$(cat "$out/flight1/touchdown.txt" 2>/dev/null || echo "")
client_vs=$(report 9002 VS)
echo "touchdown: FlightGear ${fg_vs:-none} ft/min at the first contact, the client's report ${client_vs:-none} ft/min"
if [ -n "$fg_vs" ] && [ -n "$client_vs" ] && [ $(( client_vs - fg_vs )) -le 30 ] && [ $(( fg_vs - client_vs )) -le 30 ]; then
  ok "touchdown within 30 ft/min"
else
  note_failure "touchdown differs by more than 30 ft/min, or is missing"
fi
# Fuel: the report's burn against what FlightGear's tanks lost between the
# fuelling and the stop (kg), and against a Cessna's 15 to 40 kg an hour.
used=$(report 9002 Fuel_Used); dep=$(report 9002 Fuel_Dep); land=$(report 9002 Fuel_Land)
echo "fuel: report Fuel_Dep $dep, Fuel_Land $land, Fuel_Used $used; FlightGear: $(paste -sd' ' "$out/flight1/flight.txt" 2>/dev/null)"
python3 - "$out/flight1/flight.txt" "$dep" "$land" "$used" <<'PY' && ok "believable fuel burn" || note_failure "fuel burn"
import sys
fg = dict(line.split() for line in open(sys.argv[1]))
dep, land = float(sys.argv[2]), float(sys.argv[3])
burned = dep - land
fg_burned = (float(fg["fuel_start_lb"]) - float(fg["fuel_landing_lb"])) * 0.45359237
print(f"burned {burned:.0f} kg by the report, {fg_burned:.1f} kg by FlightGear's tanks")
assert 2 <= burned <= 20, "a Cessna burns some 2 to 20 kg on 20 nm"
assert abs(burned - fg_burned) <= 2.5, "the report's burn is FlightGear's"
PY
recording=$(ls "$out"/flight1/recordings/*.qvlrec 2>/dev/null | head -1 || true)
if [ -n "$recording" ]; then
  "$build/src/app/quenvale" landing "$recording" | tee "$out/flight1/landing.txt"
  ls "$out"/flight1/recordings/*.landing.svg > /dev/null 2>&1 && ok "landing plot" || note_failure "no landing plot"
else
  note_failure "no recording"
fi

echo "== flight 2: BIKF to BIRK again, after FlightGear's own reposition to its start; pause, then a 30 nm move"
read -r lat lon < <(python3 "$here/robot.py" "$out/flight2" back-to-start "$fg_port")
python3 "$here/book.py" "$out/service" 9003 303 BIKF BIRK "$lat" "$lon"
fly "$out/flight2" "$here/abort.pilot" "$out/flight2/client.log"
python3 "$here/robot.py" "$out/flight2" takeoff-climb "$fg_port" || true
status=0
wait "$client" || status=$?
cat "$out/flight2/robot.log"
grep -q "Flight Aborted" "$out/flight2/client.log" && ok "Flight Aborted" || note_failure "missing Flight Aborted"
grep -hE "position changed|Flight Aborted" "$out"/flight2/quenvale_debug*.txt || true
echo "== flight 2: client exit status $status; artefacts in $out"
[ -n "$recording" ] && echo "landing plot: $(ls "$out"/flight1/recordings/*.landing.svg 2>/dev/null)"
exit $failed
