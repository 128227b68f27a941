# Sourced by the window flights: the service, the client's settings and the
# pages the client announces. Expects `work` (the run's folder) and `fail`.

# Seeds and starts qvl-service (PROGRAM) on a free-looking port in
# $work/service; sets `port` and adds the process to `pids`.
start_service() {
  local program=$1
  port=$(( 20000 + RANDOM % 20000 ))
  mkdir -p "$work/service"
  "$program" seed --data "$work/service" > /dev/null
  "$program" start --port "$port" --data "$work/service" > "$work/service.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 1 100); do
    [ -f "$work/service/ca.pem" ] && (echo > "/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.1
  done
}

# The client's settings in $work/client, trusting the service's CA at CA_PATH
# (as the client names it).
write_client_settings() {
  mkdir -p "$work/client"
  cat > "$work/client/quenvale.ini" <<INI
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
Url = https://127.0.0.1:$port
CAFile = $1
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

# Waits for "page N shown" in $work/client.out after the lines already seen;
# `page` is the one that showed (the argument may be a choice such as "(9|1)").
seen=0
page=""
wait_page() {
  local wanted=$1 seconds=${2:-60} deadline=$((SECONDS + ${2:-60}))
  while [ $SECONDS -lt $deadline ]; do
    local line
    line=$(tail -n +$((seen + 1)) "$work/client.out" | tr -d '\r' | grep -n -m1 -E "^page $wanted shown$" || true)
    if [ -n "$line" ]; then
      seen=$((seen + ${line%%:*}))
      page=$(echo "$line" | cut -d' ' -f2)
      sleep 0.6 # let the page paint
      return 0
    fi
    sleep 0.2
  done
  fail "page $wanted did not show within $seconds s"
}
