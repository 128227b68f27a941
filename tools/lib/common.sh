# shellcheck shell=bash
# shellcheck disable=SC2034 # failed, port and last_pid are the scripts' to read
# Sourced by the shell scripts of tools/, tests/ and bench/: failing with a
# message, waiting on a condition with a time limit, and starting what a run
# needs (a private X display, a private Wine prefix, qvl-service, qvl-sim and
# the client) so that leaving the script, however it ends, stops all of it.
# Source it after `set -euo pipefail`; it takes the EXIT trap (see `on_exit`).

# Prints MESSAGE after `fail_prefix` ("FAIL:" unless the script sets it) and
# ends the script with status 1; the script's `on_fail`, when it has one,
# says more first (the client's output, say).
fail() {
  echo "${fail_prefix:-FAIL:} $*" >&2
  if declare -F on_fail > /dev/null; then on_fail >&2 || true; fi
  exit 1
}

# For scripts that check on after a failed check and end with `failed`.
failed=0
note_failure() {
  echo "FAILED: $*"
  failed=1
}

# Polls COMMAND every 0.1 s until it succeeds; returns 1 once SECONDS have
# passed without it.
wait_until() {
  local seconds=$1 deadline
  shift
  deadline=$((${EPOCHREALTIME/./} + seconds * 1000000))
  until "$@"; do
    ((${EPOCHREALTIME/./} < deadline)) || return 1
    sleep 0.1
  done
}

# As wait_until, but the script fails with WHAT when the time runs out.
wait_for() {
  local seconds=$1 what=$2
  shift 2
  wait_until "$seconds" "$@" || fail "$what"
}

# True once process PID has ended.
has_ended() { ! kill -0 "$1" 2> /dev/null; }

# What the script started and how to tidy up: on exit the programs are
# stopped first (waited for), then the `on_exit` commands run, the latest first.
started_pids=()
exit_steps=()
on_exit() { exit_steps+=("$(printf '%q ' "$@")"); }
stop_everything() {
  local pid i
  for pid in "${started_pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  for pid in "${started_pids[@]}"; do wait "$pid" 2> /dev/null || true; done
  for ((i = ${#exit_steps[@]} - 1; i >= 0; i--)); do eval "${exit_steps[i]}" || true; done
}
trap stop_everything EXIT

# FOLDER goes on exit, unless KEEP is set (a QVL_KEEP_ setting's value): then
# "== kept FOLDER" says where it stays.
remove_on_exit() { on_exit remove_unless_kept "$1" "${2:-}"; }
remove_unless_kept() {
  if [ -n "$2" ]; then echo "== kept $1"; else rm -rf "$1"; fi
}

# Starts COMMAND in the background with its output in LOG; it is stopped on
# exit. Its pid is in `last_pid`. With --detached it runs in a session of its
# own with no tie to this script's output, and is left running.
start_program() {
  local detached=""
  [ "$1" = --detached ] && { detached=1; shift; }
  local log=$1
  shift
  if [ -n "$detached" ]; then
    setsid "$@" > "$log" 2>&1 < /dev/null &
    last_pid=$!
  else
    "$@" > "$log" 2>&1 &
    last_pid=$!
    started_pids+=("$last_pid")
  fi
}

# Starts qvl-service (PROGRAM) on a port of its choosing with its data in
# FOLDER and its output in FOLDER.log (further arguments go to its `start`),
# and waits until it listens: it then names the port in FOLDER/port, which
# `port` holds. Stopped on exit unless --detached.
start_service() {
  local detached=()
  [ "$1" = --detached ] && { detached=(--detached); shift; }
  local program=$1 folder=$2
  shift 2
  [ -x "$program" ] || fail "$program is missing: build the Linux side first"
  mkdir -p "$folder"
  rm -f "$folder/port"
  start_program "${detached[@]}" "$folder.log" "$program" start --port 0 --data "$folder" "$@"
  wait_until 60 named_port_or_ended "$folder/port" "$last_pid" || true
  [ -s "$folder/port" ] || fail "qvl-service did not start: $(tail -n 5 "$folder.log")"
  port=$(cat "$folder/port")
}
named_port_or_ended() { [ -s "$1" ] || has_ended "$2"; }

# As start_service, the service seeded first with the demo pilot and booking.
start_seeded_service() {
  mkdir -p "$2"
  "$1" seed --data "$2" > /dev/null || fail "qvl-service could not seed $2"
  start_service "$@"
}

# The client's settings in FOLDER/quenvale.ini for the service at URL (as the
# client names it), trusting its CA at CA_PATH (as the client names it too):
# no one logged in yet, the tracker on and FSUIPC the bridge.
write_client_settings() {
  mkdir -p "$1"
  cat > "$1/quenvale.ini" <<INI
[login]
User = nobody

[settings]
AutoLogin = 0
Tracker = 1
SimpleFuel = 0
Sound = 0
EnableAutosave = 1
FSInterface = FSUIPC

[server]
Url = $2
CAFile = $3
INI
}

# The demo pilot's settings in FILE for the service at URL (as the client
# names it, its downloads too), trusting its CA at CA_PATH.
write_demo_pilot_settings() {
  cat > "$1" <<INI
[login]
User = demo
Password = demo123

[settings]
Sound = 0

[server]
Url = $2
WebUrl = $2/
CAFile = $3
INI
}

# A private X display in FOLDER (Xvfb picks a free number and names it in
# FOLDER/display): DISPLAY names it once it is up. Returns 1 when Xvfb does
# not come up within 10 s. Stopped on exit unless --detached.
start_display() {
  local detached=()
  [ "$1" = --detached ] && { detached=(--detached); shift; }
  local folder=$1
  rm -f "$folder/display"
  exec 3> "$folder/display"
  start_program "${detached[@]}" "$folder/xvfb.log" Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp
  exec 3>&-
  wait_until 10 test -s "$folder/display" || return 1
  DISPLAY=":$(head -n1 "$folder/display")"
  export DISPLAY
  unset WAYLAND_DISPLAY
}

# Wine: wine64 (QVL_WINE: another loader) in the prefix WINEPREFIX, through
# `wine_env PREFIX`; Windows programs see this machine's files through Z:.
wine=${QVL_WINE:-/usr/lib/wine/wine64}
wineserver=/usr/lib/wine/wineserver64
wine_env() {
  export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

# Background programs outlive the command that starts them; none of Wine's
# helpers may hold a caller's output open (ctest waits for it).
stop_wineserver() {
  "$wineserver" -k 2> /dev/null || true
  "$wineserver" -w 2> /dev/null || true
}
restart_wineserver() {
  stop_wineserver
  "$wineserver" -p > /dev/null 2>&1 < /dev/null
}

# Makes the prefix afresh, its persistent wineserver running; fails when
# wineboot makes none.
make_wine_prefix() {
  stop_wineserver
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX" # the wineserver needs its prefix folder
  "$wineserver" -p > /dev/null 2>&1 < /dev/null
  "$wine" wineboot -i > /dev/null 2>&1 < /dev/null || true # its status says nothing; the folder does
  [ -d "$WINEPREFIX/drive_c" ] || fail "wineboot made no prefix in $WINEPREFIX"
}

# Wine's graphics driver: `null` makes windows without a display, `default`
# draws them on DISPLAY (Wine's desktop takes the display it starts with).
# Restarts the wineserver, which reads it when it starts.
wine_graphics() {
  if [ "$1" = null ]; then
    "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f > /dev/null 2>&1 < /dev/null ||
      fail "cannot choose Wine's null graphics driver"
  else
    "$wine" reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f > /dev/null 2>&1 < /dev/null || true
  fi
  restart_wineserver
}

# A private prefix at PREFIX for this script, its wineserver stopped on exit;
# with `null`, on the null graphics driver.
start_wine_prefix() {
  wine_env "$1"
  on_exit stop_wineserver
  make_wine_prefix
  [ "${2:-}" != null ] || wine_graphics null
}
