#!/usr/bin/env bash
# Memory and CPU time of one client run (a measurement, not a test): resident,
# proportional (PSS: shared libraries counted by their share) and private memory.
# Starts the given command, passes its output through, samples
# /proc/PID/status every second, and reads /proc/PID/stat when the client
# prints that the Flying page (5) begins and ends, then prints a summary.
# While the client is on the Flying page a bare loop of 10 ms sleeps runs
# beside it: the least any loop that wakes every 10 ms costs on this machine,
# to read the client's figure against (beside the window client, a bare GTK
# loop: QVL_FLOOR_PROGRAM). The quietest ten seconds of the
# Flying page (cruise, where a check comes every few seconds and nearly every
# tick has nothing due) are printed beside the loop's same ten seconds.
#   bench/client_resources.sh build/release/src/app/quenvale --headless --data-dir DIR --pilot FILE
# A whole demo flight: QVL_MEASURE=1 bash tools/run-demo.sh
set -uo pipefail

hz=$(getconf CLK_TCK)
fifo=$(mktemp -u /tmp/quenvale-measure.XXXXXX)
mkfifo "$fifo"
trap 'rm -f "$fifo"; [ -n "${floor_pid:-}" ] && kill "$floor_pid" 2>/dev/null' EXIT

now() { date +%s.%N; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo ""; }
# Nanoseconds on a CPU, every thread of the process summed, printed whole
# (mawk prints a sum above 2^31 as 3.7e+09, which shell arithmetic refuses).
run_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {if (NR) printf "%.0f\n", s}'; }
status_kb() { awk -v k="$2:" '$1 == k {print $2}' "/proc/$1/status" 2>/dev/null; }
# Pss and Private_Clean + Private_Dirty in kB, summed over every mapping.
rollup_kb() {
  awk '$1 == "Pss:" {p = $2} $1 == "Private_Clean:" || $1 == "Private_Dirty:" {q += $2}
       END {if (p != "") print p, q}' "/proc/$1/smaps_rollup" 2>/dev/null
}

"$@" > "$fifo" 2>&1 &
pid=$!
start=$(now)
peak_rss=0 peak_anon=0 file_rss=0 last_ticks=0 peak_pss=0 peak_private=0
sample() {
  local rss anon file ticks pss private
  rss=$(status_kb "$pid" VmHWM); anon=$(status_kb "$pid" RssAnon); file=$(status_kb "$pid" RssFile)
  ticks=$(cpu_ticks "$pid")
  read -r pss private <<< "$(rollup_kb "$pid")"
  [ -n "${pss:-}" ] && [ "$pss" -gt "$peak_pss" ] && peak_pss=$pss
  [ -n "${private:-}" ] && [ "$private" -gt "$peak_private" ] && peak_private=$private
  [ -n "$rss" ] && [ "$rss" -gt "$peak_rss" ] && peak_rss=$rss
  [ -n "$anon" ] && [ "$anon" -gt "$peak_anon" ] && peak_anon=$anon
  [ -n "$file" ] && file_rss=$file
  [ -n "$ticks" ] && last_ticks=$ticks
  last_time=$(now)
  [ -n "$floor_pid" ] && quiet_window
}

# Every ten seconds on the Flying page: the client's and the floor's share of
# those seconds; the window where the client used least is kept.
quiet_at="" quiet_client="" quiet_floor="" quiet_best="" quiet_best_floor=""
quiet_window() {
  local c f t
  c=$(run_ns "$pid"); f=$(run_ns "$floor_pid"); t=$(now)
  [ -n "$c" ] && [ -n "$f" ] || return 0
  if [ -n "$quiet_at" ]; then
    awk -v a="$quiet_at" -v b="$t" 'BEGIN { exit !(b - a >= 10) }' || return 0
    read -r share floor_share <<< "$(awk -v c=$((c - quiet_client)) -v f=$((f - quiet_floor)) -v a="$quiet_at" -v b="$t" \
      'BEGIN { printf "%.3f %.3f", c / (b - a) / 1e7, f / (b - a) / 1e7 }')"
    if [ -z "$quiet_best" ] || awk -v x="$share" -v y="$quiet_best" 'BEGIN { exit !(x < y) }'; then
      quiet_best=$share quiet_best_floor=$floor_share
    fi
  fi
  quiet_at=$t quiet_client=$c quiet_floor=$f
}

fly_start="" fly_ticks="" fly_end="" fly_end_ticks=""
floor_pid="" floor_ticks=""
# QVL_FLOOR_PROGRAM names another floor: the window's is a bare GTK loop
# ticking every 10 ms (build/<preset>/bench/gtk_tick_floor).
floor_name="a bare 10 ms sleep loop"
[ -n "${QVL_FLOOR_PROGRAM:-}" ] && floor_name="a bare GTK loop ticking every 10 ms"
start_floor() {
  if [ -n "${QVL_FLOOR_PROGRAM:-}" ]; then
    "$QVL_FLOOR_PROGRAM" > /dev/null 2>&1 &
  else
    perl -MTime::HiRes=sleep -e 'sleep(0.01) while 1' &
  fi
  floor_pid=$!
}
stop_floor() {
  [ -n "$floor_pid" ] || return 0
  floor_ticks=$(cpu_ticks "$floor_pid")
  kill "$floor_pid" 2>/dev/null; wait "$floor_pid" 2>/dev/null
  floor_pid=""
}
partial=""
while true; do
  if IFS= read -r -t 1 line; then
    # A read that timed out mid-line left the line's beginning in partial.
    line="$partial$line"
    partial=""
    printf '%s\n' "$line"
    case "$line" in
      "page 5 "*)
        [ -z "$fly_start" ] && { fly_start=$(now); fly_ticks=$(cpu_ticks "$pid"); start_floor; } ;;
      "page 18 "*) ;; # the divert page belongs to the flight
      "page "*)
        [ -n "$fly_start" ] && [ -z "$fly_end" ] && { fly_end=$(now); fly_end_ticks=$(cpu_ticks "$pid"); stop_floor; } ;;
    esac
    sample
  else
    rc=$?
    partial="$partial$line"
    [ "$rc" -gt 128 ] || break # a timeout (>128) samples; end of output stops
    sample
  fi
done < "$fifo"
[ -n "$partial" ] && printf '%s\n' "$partial"
stop_floor
wait "$pid"
status=$?

echo "== client resources"
echo "peak resident memory (VmHWM): ${peak_rss} kB; private (RssAnon) ${peak_anon} kB; mapped files (RssFile) ${file_rss} kB"
echo "peak proportional memory (PSS): ${peak_pss} kB; peak private memory (Private_Clean + Private_Dirty): ${peak_private} kB"
awk -v t="$last_ticks" -v hz="$hz" -v a="$start" -v b="$last_time" \
  'BEGIN { printf "CPU over the whole run: %.2f s in %.0f s = %.2f %% of one core\n", t / hz, b - a, 100 * t / hz / (b - a) }'
if [ -n "$fly_start" ] && [ -n "$fly_end" ] && [ -n "$fly_ticks" ] && [ -n "$fly_end_ticks" ]; then
  awk -v t="$((fly_end_ticks - fly_ticks))" -v hz="$hz" -v a="$fly_start" -v b="$fly_end" \
    'BEGIN { printf "CPU on the Flying page: %.2f s in %.0f s = %.2f %% of one core\n", t / hz, b - a, 100 * t / hz / (b - a) }'
  [ -n "$floor_ticks" ] && awk -v t="$floor_ticks" -v hz="$hz" -v a="$fly_start" -v b="$fly_end" \
    -v name="$floor_name" \
    'BEGIN { printf "%s beside it: %.2f %% of one core (the floor of a 10 ms tick)\n", name, 100 * t / hz / (b - a) }'
  [ -n "$quiet_best" ] &&
    echo "the quietest ten seconds on the Flying page: $quiet_best % of one core; the bare loop in the same seconds: $quiet_best_floor %"
else
  echo "CPU on the Flying page: no complete stay on the Flying page"
fi
exit "$status"
