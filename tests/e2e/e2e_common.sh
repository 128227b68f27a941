# shellcheck shell=bash
# Sourced by the window flights after tools/lib/common.sh: the run's folder,
# the pages the client announces and the steps both windows take alike.
# Expects `work` (the run's folder); the steps in the window also `click`,
# `retype`, `shot`, `wx`, `wy`, `client` and `artifacts`.

# A failure shows the end of the client's output; the run's folder goes on
# exit unless QVL_KEEP_E2E is set.
on_fail() {
  echo "--- client output"
  tail -n 40 "$work/client.out" || true
}
remove_on_exit "$work" "${QVL_KEEP_E2E:-}"

# Waits for "page N shown" in $work/client.out after the lines already seen;
# `page` is the one that showed (the argument may be a choice such as "(9|1)").
seen=0
page=""
wait_page() {
  await_page "$@" || fail "page $1 did not show within ${2:-60} s"
}

# As wait_page, but returns 1 when the time runs out.
await_page() {
  wait_until "${2:-60}" page_shown "$1" || return 1
  sleep 0.6 # let the page paint: nothing outside the window tells when it has
}

# True when "page WANTED shown" is among the lines not seen yet; they are seen
# up to it then.
page_shown() {
  local line
  line=$(tail -n +$((seen + 1)) "$work/client.out" | tr -d '\r' | grep -n -m1 -E "^page $1 shown$" || true)
  [ -n "$line" ] || return 1
  seen=$((seen + ${line%%:*}))
  page=$(echo "$line" | cut -d' ' -f2)
}

# Logs in as the demo pilot from the keyboard: name and password typed, the
# tab key from the password field reaches "Login" (drawn with white edges) and
# Enter presses it. On a loaded machine the X server may drop the keys typed
# while the window was still taking the focus: then the login page is still
# showing (perhaps under a message box), and the same keys are typed once
# more, said in the output.
login_from_the_keyboard() {
  local attempt
  for attempt in 1 2; do
    retype 400 205 demo
    retype 400 230 demo123
    xdotool key Tab
    sleep 0.5 # the focus drawn (nothing outside the window tells when it is)
    shot "page00_login_focused_$attempt"
    xdotool key Return
    await_page 1 30 && return 0
    echo "login page still showing after 30 s (attempt $attempt)"
    shot "page00_login_missed_$attempt"
    xdotool key Escape # closes a message box a mistyped password brought up
    sleep 0.5 # the box gone, when there was one
  done
  fail "page 1 did not show after two logins from the keyboard"
}

# Ctrl-Shift-L pressed twice, each held as a pilot holds the keys: the
# simulator's record ($work/sim.record) has the landing lights turned on once
# and off once. X-Plane shows no texts over UDP: there the client's log
# (`lights_log`, a pattern) holds them.
toggle_the_lights_twice() {
  local word
  for word in ON OFF; do
    xdotool keydown ctrl+shift+l
    sleep 0.4
    xdotool keyup ctrl+shift+l
    wait_until 10 lights_turned "$word" || break
  done
  [ "$(lights_turned_count ON)" -eq 1 ] && [ "$(lights_turned_count OFF)" -eq 1 ] ||
    fail "Ctrl-Shift-L: $(lights_turned_count ON) times on, $(lights_turned_count OFF) times off (expected once each)"
}
lights_turned_count() {
  # shellcheck disable=SC2086 # lights_log may be a pattern
  cat ${lights_log:-"$work/sim.record"} 2> /dev/null | grep -c "Landing Lights turned $1" || true
}
lights_turned() { [ "$(lights_turned_count "$1")" -gt 0 ]; }

# From the comment page to the home page as the pilot does it: the comment
# typed, "End flight", "Next" through the report; then the service (PROGRAM)
# holds the report with the comment. Uses the script's click, retype and shot.
finish_through_the_report() {
  local program=$1 comment="Smooth flight, calm winds over Franconia."
  wait_page 15 1800
  shot page15_comment
  retype 390 195 "$comment"
  shot page15_comment_typed
  click 99 272                                     # End flight
  wait_page 7 120
  shot page07_report_route
  click 520 340                                    # Next
  wait_page 8 30
  shot page08_report_finances
  click 520 340                                    # Next
  wait_page "(9|1)" 150
  if [ "$page" = 9 ]; then
    shot page09_report_penalties
    wait_page 1 150
  fi
  shot page01_home_after_flight
  "$program" list --data "$work/service" writereport > "$work/reports.txt" || true
  # The service keeps the comment as the client sent it, in Base64.
  grep -qF "Comment64=$(printf '%s' "$comment" | base64 -w0)" "$work/reports.txt" ||
    fail "the service holds no report with the comment"
}

# "Exit" ends the client (process $client) with status 0.
exit_through_the_button() {
  xdotool mousemove $((wx + 99)) $((wy + 344)) click 1  # Exit
  wait_for 20 "the client did not end after Exit" has_ended "$client"
  local status=0
  wait "$client" || status=$?
  [ "$status" -eq 0 ] || fail "the client ended with $status after Exit"
}

# A second client on the same data folder (the command given) is refused
# with a message box and ends with status 3.
expect_second_client_refused() {
  start_program "$work/second.out" "$@"
  local second=$last_pid box status=0
  box=$(timeout 30 xdotool search --sync --onlyvisible --name 'Attention - Multiple Instances' | head -n1) ||
    fail "the second client showed no message box"
  eval "$(xdotool getwindowgeometry --shell "$box")"
  import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$artifacts/second_instance.png"
  xdotool windowfocus --sync "$box" key Return
  wait "$second" || status=$?
  [ "$status" -eq 3 ] || fail "the second client ended with $status instead of 3"
}

# From the home page into the flight: a look at the options, "Fly!",
# "Fuel Up!" and "Fly!" on the load sheet.
start_the_flight() {
  click 99 272                                     # Options
  wait_page 2
  shot page02_options
  click 99 248                                     # Home
  wait_page 1
  click 99 320                                     # Fly!
  wait_page 11 60
  shot page11_fuel_tanks
  click 99 248                                     # Fuel Up!
  wait_page 14 60
  shot page14_load_sheet
  click 99 320                                     # Fly!
  wait_page 5 60
  shot page05_flying
}
