#!/usr/bin/env bash
# A long flight, compressed by the simulator's time scale: the demo flight
# with HOURS of cruise overhead Munich (tools/qvl-sim/scenarios/endurance_eddf_eddm.json),
# flown headless by the scripted pilot through tools/run-demo.sh against
# qvl-service and the chosen bridge, with positions, events, autosaves and
# the recording running. The client is sampled at every flight hour; the run
# fails when
#   - its resident memory grew by more than 2 MB from the end of the first
#     flight hour to the last,
#   - it holds more file descriptors or threads at the last hour than at the first,
#   - the recording is above 1 MB per flight hour,
#   - the tick's statistics lines (every five minutes) drift: the latest mean
#     check time above twice the first and 5 ms more,
#   - or the service's report is not a whole flight on block of about HOURS.
#   tests/e2e/endurance.sh [HOURS [SCALE]]    (default 10 hours at 30x: 20 minutes)
#   tests/e2e/endurance.sh --idle MINUTES      the client alone on its login page
#     for MINUTES of real time (no clock to compress there), sampled every
#     minute: memory, descriptors and threads as above, and its CPU printed
#   QVL_FS_INTERFACE=SimConnect  through the stand-in SimConnect library
#   QVL_BUILD_DIR=DIR  the build to fly (default build/dev)
set -euo pipefail

# Resident kB, open descriptors and threads of process $1, on one line.
resources_of() {
  local rss threads
  rss=$(awk '$1 == "VmRSS:" {print $2}' "/proc/$1/status" 2>/dev/null) || return 1
  threads=$(awk '$1 == "Threads:" {print $2}' "/proc/$1/status" 2>/dev/null) || return 1
  [ -n "$rss" ] || return 1
  echo "$rss $(ls "/proc/$1/fd" 2>/dev/null | wc -l) $threads"
}

# As the client's wrapper (QVL_CLIENT_WRAPPER): passes the client's output
# through and samples it every flight hour once the Flying page is shown.
if [ "${1:-}" = "--watch" ]; then
  shift
  fifo=$(mktemp -u /tmp/quenvale-endurance-watch.XXXXXX)
  mkfifo "$fifo"
  "$@" > "$fifo" 2>&1 &
  pid=$!
  start="" next=1 partial=""
  sample() {
    local resources
    resources=$(resources_of "$pid") || return 0
    echo "$next $resources" >> "$QVL_ENDURANCE_SAMPLES"
  }
  while true; do
    if IFS= read -r -t 1 line; then
      line="$partial$line"; partial=""
      printf '%s\n' "$line"
      case "$line" in "page 5 "*) [ -z "$start" ] && start=$SECONDS ;; esac
    else
      rc=$?
      partial="$partial$line"
      [ "$rc" -gt 128 ] || break
    fi
    if [ -n "$start" ] && [ $((SECONDS - start)) -ge $((next * QVL_ENDURANCE_HOUR_SECONDS)) ] \
       && [ "$next" -le "$QVL_ENDURANCE_HOURS" ]; then
      sample
      next=$((next + 1))
    fi
  done < "$fifo"
  rm -f "$fifo"
  [ -n "$partial" ] && printf '%s\n' "$partial"
  wait "$pid"
  exit $?
fi

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
hours=${1:-10}
scale=${2:-30}
out=$(mktemp -d /tmp/quenvale-endurance.XXXXXX)
# shellcheck source=tools/lib/common.sh
source "$root/tools/lib/common.sh"
fail_prefix="endurance:"
remove_on_exit "$out"
# The demo's folder, kept for the checks below.
kept=""
remove_kept() { [ -z "$kept" ] || rm -rf "$kept"; }
on_exit remove_kept

# The first and the last line of the samples (UNIT number, resident kB,
# descriptors, threads): memory grown by 2 MB at most, no descriptor or
# thread more.
check_samples() {
  local unit=$1 first last rss1 fds1 threads1 rssN fdsN threadsN
  read -r first rss1 fds1 threads1 < <(head -n 1 "$out/samples")
  read -r last rssN fdsN threadsN < <(tail -n 1 "$out/samples")
  echo "resident memory from $unit $first to $unit $last: $rss1 kB -> $rssN kB ($((rssN - rss1)) kB)"
  [ $((rssN - rss1)) -le 2048 ] || fail "resident memory grew by $((rssN - rss1)) kB"
  [ "$fdsN" -le "$fds1" ] || fail "file descriptors $fds1 -> $fdsN"
  [ "$threadsN" -le "$threads1" ] || fail "threads $threads1 -> $threadsN"
}

# The login page with nothing to do: every tick idle, for minutes of real time.
if [ "${1:-}" = "--idle" ]; then
  minutes=${2:-10}
  client="${QVL_BUILD_DIR:-$root/build/dev}/src/app/quenvale"
  mkdir -p "$out/idle"
  start_program "$out/idle.log" "$client" --headless --data-dir "$out/idle"
  pid=$last_pid
  echo "== the client idle on its login page for $minutes minutes"
  sleep 60 # started, settled
  ticks0=$(awk '{print $14 + $15}' "/proc/$pid/stat") || fail "the client ended: $(cat "$out/idle.log")"
  for minute in $(seq 1 "$minutes"); do
    [ "$minute" -eq 1 ] || sleep 60
    resources=$(resources_of "$pid") || fail "the client ended: $(cat "$out/idle.log")"
    echo "$minute $resources" >> "$out/samples"
  done
  ticks=$(( $(awk '{print $14 + $15}' "/proc/$pid/stat") - ticks0 ))
  echo "== samples (minute, resident kB, file descriptors, threads)"
  cat "$out/samples"
  awk -v t="$ticks" -v hz="$(getconf CLK_TCK)" -v s="$(( (minutes - 1) * 60 ))" \
    'BEGIN { if (s > 0) printf "CPU: %.2f s in %d s = %.2f %% of one core\n", t / hz, s, 100 * t / hz / s }'
  check_samples minute
  echo "endurance: passed"
  exit 0
fi

# HOURS of flight: the cruise overhead Munich takes what the rest (about 30
# minutes) leaves.
cruise=$(( hours * 3600 - 1800 ))
[ "$cruise" -lt 60 ] && cruise=60
sed "s/\"seconds\": 34200/\"seconds\": $cruise/" "$root/tools/qvl-sim/scenarios/endurance_eddf_eddm.json" \
  > "$out/scenario.json"
# The pilot waits as long as the flight takes.
flight_wait=$(( hours * 3600 / scale + 1800 ))
sed "s/^wait page 15 1800$/wait page 15 $flight_wait/" "$root/tools/demo-flight.pilot" > "$out/pilot"

export QVL_ENDURANCE_SAMPLES="$out/samples" QVL_ENDURANCE_HOURS="$hours"
export QVL_ENDURANCE_HOUR_SECONDS=$(( (3600 + scale - 1) / scale ))
echo "== $hours flight hours at ${scale}x: about $(( hours * 3600 / scale / 60 + 2 )) minutes"
status=0
QVL_HEADLESS=1 QVL_KEEP_DEMO=1 QVL_TIME_SCALE="$scale" QVL_DEMO_SCENARIO="$out/scenario.json" \
  QVL_DEMO_PILOT="$out/pilot" QVL_CLIENT_WRAPPER="$root/tests/e2e/endurance.sh --watch" \
  bash "$root/tools/run-demo.sh" > "$out/run.log" 2>&1 || status=$?
kept=$(sed -n 's/^== kept //p' "$out/run.log" | tail -n 1)
[ "$status" -eq 0 ] || { tail -n 40 "$out/run.log"; fail "the flight ended with status $status"; }

echo "== samples (flight hour, resident kB, file descriptors, threads)"
cat "$out/samples" 2>/dev/null || true
[ "$(wc -l < "$out/samples" 2>/dev/null || echo 0)" -ge "$hours" ] || fail "fewer samples than flight hours"
check_samples hour

recorded=$(du -bc "$kept"/client/recordings/*.qvlrec 2>/dev/null | tail -n 1 | cut -f1)
echo "recording: ${recorded:-0} bytes for $hours flight hours"
[ "${recorded:-0}" -gt 0 ] || fail "no recording"
[ "$recorded" -le $((hours * 1048576)) ] || fail "the recording is above 1 MB per flight hour"

# Mean check time of each statistics line since the one before (TR).
mapfile -t means < <(grep -ho 'Loop time: .* TR: [0-9]*' "$kept"/client/quenvale_debug.*.txt | sed 's/.* TR: //')
echo "tick statistics (mean check ms per five minutes): ${means[*]:-none}"
if [ "${#means[@]}" -ge 2 ]; then
  first=${means[0]} latest=${means[${#means[@]}-1]}
  [ "$latest" -le $((2 * first + 5)) ] || fail "the mean check time drifted from $first ms to $latest ms"
fi

report=$(sed -n '/^== the report the service received/,/^== client exit/p' "$out/run.log")
grep -q 'FlightState=On Block' <<< "$report" || { echo "$report"; fail "no report on block"; }
flown=$(grep -o ' Hours=[0-9.]*' <<< "$report" | head -n 1 | cut -d= -f2)
awk -v f="${flown:-0}" -v h="$hours" 'BEGIN { exit !(f >= h * 0.95 - 0.05) }' || fail "the report says ${flown:-no} hours"
echo "report: on block after $flown hours"
echo "endurance: passed"
