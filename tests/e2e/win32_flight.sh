#!/usr/bin/env bash
# End to end in the Windows program's window: quenvale.exe under wine64 on a
# private Xvfb display, clicked and typed into with xdotool, against a
# qvl-service from the Linux build (Wine cannot start Linux programs, so this
# script starts it) and the Windows qvl-sim serving the module's window: login
# from the keyboard, options, fuel, load sheet, the flight (Ctrl-Shift-L),
# comment and the report pages, ending with the report on the service; a
# second client is refused meanwhile. A screenshot of every page is kept in
# ARTIFACTS.
#   win32_flight.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR ARTIFACTS
# Exit 77 (skipped) when Xvfb, xdotool or wine64 is missing.
set -euo pipefail

win=$1
linux=$2
artifacts=$3
here=$(dirname "${BASH_SOURCE[0]}")
for tool in Xvfb xdotool import /usr/lib/wine/wine64; do
  command -v "$tool" > /dev/null || { echo "SKIP: $tool is not installed (tools/dev.sh installs it)"; exit 77; }
done
mkdir -p "$artifacts"
work=$(mktemp -d /tmp/quenvale-win32-e2e.XXXXXX)
# shellcheck source=tools/lib/common.sh
source "$here/../../tools/lib/common.sh"
# shellcheck source=tests/e2e/e2e_common.sh
source "$here/e2e_common.sh"
export LC_ALL=C.UTF-8
start_display "$work" || { echo "SKIP: Xvfb could not start"; exit 77; }
# Wine's desktop takes the display its first program starts with.
start_wine_prefix "$work/prefix"

start_seeded_service "$linux/tools/qvl-service/qvl-service" "$work/service"
write_client_settings "$work/client" "https://127.0.0.1:$port" "Z:$work/service/ca.pem"
# The aircraft waits at the stand for twenty simulator minutes while the pilot clicks.
sed '0,/"seconds": 60/s//"seconds": 1200/' "$here/../../tools/qvl-sim/scenarios/airline_eddf_eddm.json" \
  > "$work/demo.json"
start_program "$work/sim.log" "$wine" "$win/tools/qvl-sim/qvl-sim.exe" run "Z:$work/demo.json" \
  --time-scale "${QVL_TIME_SCALE:-20}" --record "Z:$work/sim.record"

start_program "$work/client.out" "$wine" "$win/src/app/quenvale.exe" --data-dir "Z:$work/client"
client=$last_pid

window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Quenvale$' | head -n1) || fail "no window"
eval "$(xdotool getwindowgeometry --shell "$window")"
wx=$X wy=$Y
click() { xdotool mousemove $((wx + $1)) $((wy + $2)) click 1; sleep 0.4; } # a pilot's pace
retype() { click "$1" "$2"; xdotool key ctrl+a BackSpace; xdotool type --delay 30 "$3"; }
shot() { import -window root -crop "600x380+$wx+$wy" +repage "$artifacts/$1.png"; }

wait_page 0 60
shot page00_login
login_from_the_keyboard
shot page01_home

expect_second_client_refused "$wine" "$win/src/app/quenvale.exe" --data-dir "Z:$work/client"
start_the_flight

# Ctrl-Shift-L twice: the lights go on, then off. Wine sees only the keys its
# own windows get, so the client's window keeps the focus here (the window
# suite reads the keys while another window has it).
xdotool windowfocus --sync "$window" || true
toggle_the_lights_twice

finish_through_the_report "$linux/tools/qvl-service/qvl-service"
exit_through_the_button
echo "PASS: a whole flight in the Windows window; screenshots in $artifacts"
