#!/usr/bin/env bash
# End to end in a real window: the quenvale program on a private Xvfb display,
# clicked and typed into with xdotool, against qvl-service and qvl-sim: login
# from the keyboard,
# options, fuel, load sheet, the flight (Ctrl-Shift-L
# pressed while another window has the focus), comment and the report pages,
# ending with the report on the service. A second client is refused meanwhile.
# A screenshot of every page is kept in ARTIFACTS.
#   gtk_flight.sh BUILD_DIR SOURCE_DIR ARTIFACTS
# Exit 77 (skipped) when Xvfb or xdotool is missing or the server cannot start.
# QVL_FS_INTERFACE=XPlane flies over qvl-sim's X-Plane interface instead of the module.
# QVL_MEASURE=1 runs the client under bench/client_resources.sh (memory, CPU);
# QVL_CLIENT_BUILD_DIR=build/release measures the optimised client.
set -euo pipefail

build=$1
root=$2
artifacts=$3
client_build="${QVL_CLIENT_BUILD_DIR:-$build}"
scale="${QVL_TIME_SCALE:-20}"
for tool in Xvfb xdotool import; do
  command -v "$tool" > /dev/null || { echo "SKIP: $tool is not installed (tools/dev.sh installs it)"; exit 77; }
done
mkdir -p "$artifacts"
work=$(mktemp -d /tmp/quenvale-e2e.XXXXXX)
# shellcheck source=tools/lib/common.sh
source "$root/tools/lib/common.sh"
# shellcheck source=tests/e2e/e2e_common.sh
source "$root/tests/e2e/e2e_common.sh"
start_display "$work" || { echo "SKIP: Xvfb could not start"; exit 77; }

# A pilot script never opens the window, even with a display: a malformed one
# is refused at once instead of being ignored.
printf 'Press 3\n' > "$work/bad.pilot"
status=0
timeout 20 "$client_build/src/app/quenvale" --data-dir "$work/pilot" --pilot "$work/bad.pilot" > "$work/pilot.out" 2>&1 ||
  status=$?
{ [ "$status" -eq 2 ] && grep -q "unknown command 'Press'" "$work/pilot.out"; } ||
  { cat "$work/pilot.out"; echo "FAIL: --pilot with a display ended with $status"; exit 1; }

export QVL_FSUIPC_DIR="$work/fsuipc"
mkdir -p "$QVL_FSUIPC_DIR"
start_seeded_service "$build/tools/qvl-service/qvl-service" "$work/service"
# The aircraft waits at the stand for twenty simulator minutes while the pilot clicks.
sed '0,/"seconds": 60/s//"seconds": 1200/' "$root/tools/qvl-sim/scenarios/airline_eddf_eddm.json" > "$work/demo.json"
xplane=()
[ "${QVL_FS_INTERFACE:-}" = XPlane ] && xplane=(--xplane-port $(( 40000 + RANDOM % 20000 )))
start_program "$work/sim.log" "$build/tools/qvl-sim/qvl-sim" run "$work/demo.json" --time-scale "$scale" \
  --dir "$QVL_FSUIPC_DIR" --record "$work/sim.record" "${xplane[@]}"

write_client_settings "$work/client" "https://127.0.0.1:$port" "$work/service/ca.pem"
if [ ${#xplane[@]} -gt 0 ]; then
  sed -i 's/^FSInterface = FSUIPC$/FSInterface = X-Plane/' "$work/client/quenvale.ini"
  printf '\n[xplane]\nHost = 127.0.0.1\nPort = %s\n' "${xplane[1]}" >> "$work/client/quenvale.ini"
  lights_log="$work/client/quenvale_debug*.txt"
fi

measure=()
if [ -n "${QVL_MEASURE:-}" ]; then
  measure=(bash "$root/bench/client_resources.sh")
  # The window's floor: a bare GTK loop on the same display, ticking every 10 ms.
  [ -x "$client_build/bench/gtk_tick_floor" ] && export QVL_FLOOR_PROGRAM="$client_build/bench/gtk_tick_floor"
fi
start_program "$work/client.out" "${measure[@]}" "$client_build/src/app/quenvale" --data-dir "$work/client"
client=$last_pid

window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Quenvale$' | head -n1) || fail "no window"
eval "$(xdotool getwindowgeometry --shell "$window")"
wx=$X wy=$Y
click() { xdotool mousemove $((wx + $1)) $((wy + $2)) click 1; sleep 0.3; } # a pilot's pace
retype() { click "$1" "$2"; xdotool key ctrl+a BackSpace; xdotool type --delay 20 "$3"; }
shot() { import -window root -crop "600x380+$wx+$wy" +repage "$artifacts/$1.png"; }

wait_page 0 30
shot page00_login
login_from_the_keyboard
shot page01_home

expect_second_client_refused "$client_build/src/app/quenvale" --data-dir "$work/client"
start_the_flight

# Ctrl-Shift-L twice while another window has the focus: the lights go on, then off.
xdotool search --sync --name '^Quenvale$' > /dev/null
start_program "$work/xmessage.log" xmessage -geometry +650+420 -name focus-thief "another program"
thief=$last_pid
thief_window=$(timeout 10 xdotool search --sync --onlyvisible --name 'focus-thief|xmessage' | head -n1) || fail "no other window"
xdotool windowfocus --sync "$thief_window"
toggle_the_lights_twice
kill "$thief" 2>/dev/null || true

finish_through_the_report "$build/tools/qvl-service/qvl-service"
exit_through_the_button
[ -n "${QVL_MEASURE:-}" ] && tail -n 8 "$work/client.out"
echo "PASS: a whole flight in the window; screenshots in $artifacts"
