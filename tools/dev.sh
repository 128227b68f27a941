#!/usr/bin/env bash
# Developer and CI entry point. Installs what a fresh Debian 12 machine lacks,
# builds, and then runs the test suite (`test`: fuzz replay, the suite under
# the sanitizers, the suite) or the client with its companion programs (`run`).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

packages=(
  build-essential cmake make g++ pkg-config git ca-certificates
  clang libclang-rt-14-dev
  libboost-dev libsimpleini-dev libpugixml-dev
  libcurl4-openssl-dev libssl-dev openssl libcpp-httplib-dev libsqlite3-dev
  libcanberra-dev
  libgtk-3-dev libx11-dev libxi-dev fonts-liberation librsvg2-bin
  xvfb xdotool imagemagick x11-utils trayer
  libgtest-dev libgmock-dev libbenchmark-dev
  locales file procps python3
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine64 googletest dpkg-dev nsis
)
# wine32 runs the shipped 32-bit program's suites, on a machine that runs 32-bit code.
if bash "$root/tools/runs-32bit.sh" > /dev/null 2>&1; then
  packages+=(wine32:i386)
fi

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  if [[ " ${missing[*]} " == *":i386 "* ]]; then $sudo dpkg --add-architecture i386 || return; fi
  $sudo apt-get update -qq || return
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# A locale with a decimal comma, so the tests can prove numbers ignore it; the
# suite then fails rather than skips a test that needs it.
ensure_test_locale() {
  export QVL_REQUIRE_TEST_LOCALE=1
  locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  # A fresh image may have no /etc/locale.gen at all.
  [ -f /etc/locale.gen ] && $sudo sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -qs '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen > /dev/null
  $sudo locale-gen > /dev/null
}

# The 32-bit program is Windows code only: PE32 for i386, a window program (no
# console opens beside it), importing nothing but the system's own DLLs.
check_windows_program() {
  local exe=build/windows/src/app/quenvale.exe dump foreign
  dump=$(i686-w64-mingw32-objdump -p "$exe") || return
  grep -q 'file format pei-i386' <<< "$dump" || { echo "$exe is not a 32-bit Windows program" >&2; return 1; }
  grep -Eq '^Subsystem[[:space:]]+0+2[[:space:]]+\(Windows GUI\)' <<< "$dump" ||
    { echo "$exe is not a window program: $(grep '^Subsystem' <<< "$dump")" >&2; return 1; }
  foreign=$(grep 'DLL Name:' <<< "$dump" | awk '{print tolower($3)}' |
    grep -Ev '^(kernel32|user32|gdi32|comctl32|advapi32|shell32|ole32|winhttp|crypt32|secur32|winmm|ws2_32|msvcrt)\.dll$' || true)
  [ -z "$foreign" ] || { echo "$exe needs DLLs beside itself: $foreign" >&2; return 1; }
  echo "$exe: PE32 i386, Windows GUI, imports only Windows' own DLLs"
}

# The shipped ABI's calling convention: the stand-in SimConnect.dll (i686)
# exports the eleven functions undecorated, as the client resolves them, and
# each is __stdcall with the argument bytes of the client's declarations
# (src/sim/simconnect/SimConnectApi.h); the program imports undecorated names.
check_i686_calling_convention() {
  local dll=build/windows-i686-test/src/app/Microsoft.FlightSimulator.SimConnect/SimConnect.dll
  local exe=build/windows/src/app/quenvale.exe symbols exports imports f
  symbols=$(i686-w64-mingw32-objdump -t "$dll") || return
  exports=$(i686-w64-mingw32-objdump -p "$dll" | sed -n '/Ordinal\/Name Pointer/,/^$/p') || return
  grep -q 'file format pei-i386' < <(i686-w64-mingw32-objdump -p "$dll") || { echo "$dll is not 32-bit" >&2; return 1; }
  for f in Open@24 Close@4 AddToDataDefinition@28 MapClientEventToSimEvent@12 SubscribeToSystemEvent@12 \
           SetDataOnSimObject@28 RequestDataOnSimObject@36 TransmitClientEvent@24 Text@24 GetNextDispatch@12 \
           FlightSave@20; do
    grep -q "\] SimConnect_${f%@*}\$" <<< "$exports" || { echo "$dll does not export SimConnect_${f%@*} undecorated" >&2; return 1; }
    grep -q " _SimConnect_$f\$" <<< "$symbols" || { echo "SimConnect_${f%@*} is not __stdcall with ${f#*@} bytes of arguments" >&2; return 1; }
  done
  imports=$(i686-w64-mingw32-objdump -p "$exe" |
    awk '/DLL Name:/ {dll=1} dll && /^\t[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_]/ {print $3}')
  [ -n "$imports" ] || { echo "no imports read from $exe" >&2; return 1; }
  ! grep -q '@' <<< "$imports" || { echo "$exe imports decorated names: $(grep '@' <<< "$imports" | head -n3)" >&2; return 1; }
  echo "$dll: the eleven functions undecorated and __stdcall; $exe imports undecorated names"
}

# The Windows builds (cross-compiled); tools/wine-tests.sh runs their suites (ctest under Wine).
# The i686 stand-in SimConnect.dll is built for its calling-convention check.
build_windows() {
  cmake --preset windows && cmake --build --preset windows --target quenvale installer && check_windows_program || return 1
  # Its unit suite only where wine32 can run it: the layout checks are in the
  # program's own headers, which the build above compiled for i686 already.
  local i686_targets=(SimConnect)
  if bash tools/runs-32bit.sh > /dev/null 2>&1; then i686_targets+=(unit_tests); fi
  cmake --preset windows-i686-test && cmake --build --preset windows-i686-test --target "${i686_targets[@]}" &&
    check_i686_calling_convention || return 1
  cmake --preset windows-test && cmake --build --preset windows-test
}

build() {
  cmake --preset dev && cmake --build --preset dev
}

run_fuzzers() {
  # Replays every committed corpus, then fuzzes each target briefly. Each
  # target runs in an empty folder of the build, which must stay empty: logs
  # and store files belong in the target's own data folder.
  local targets root
  targets=$(ls tests/fuzz/fuzz_*.cpp 2>/dev/null || true)
  [ -z "$targets" ] && return 0
  cmake --preset fuzz && cmake --build --preset fuzz --target fuzz_targets || return
  root=$(pwd)
  local failed=0 passed=0
  for src in $targets; do
    local name corpus run
    name=$(basename "$src" .cpp)
    corpus="$root/tests/fuzz/corpus/${name#fuzz_}"
    run="$root/build/fuzz/run/$name"
    rm -rf "$run" && mkdir -p "$root/build/fuzz/corpus/$name" "$run" || return
    local dirs=("$root/build/fuzz/corpus/$name")
    [ -d "$corpus" ] && dirs+=("$corpus")
    if (cd "$run" && "$root/build/fuzz/tests/fuzz/$name" -max_total_time="${QVL_FUZZ_SECONDS:-10}" \
          -rss_limit_mb=2048 "${dirs[@]}" > "$root/build/fuzz/$name.log" 2>&1); then
      local left
      left=$(ls -A "$run") || return
      if [ -n "$left" ]; then
        failed=$((failed + 1))
        echo "fuzz target $name left files in its working directory:"; echo "$left"
      else
        passed=$((passed + 1))
      fi
    else
      failed=$((failed + 1))
      echo "fuzz target $name failed (its findings in build/fuzz/run/$name):"; tail -n 30 "$root/build/fuzz/$name.log"
    fi
  done
  echo "fuzz targets clean: $passed of $((passed + failed))"
  [ "$failed" -eq 0 ]
}

# The whole suite again under the address and undefined-behaviour sanitizers,
# with every fuzz target replaying its corpus; any report fails the test that
# caused it. The window tests and the program's
# whole flights in real time run in the plain suite only: the in-process whole
# flights cover the same code under the sanitizers, minutes faster.
build_sanitized() {
  cmake --preset asan && cmake --build --preset asan --target unit_tests integration_tests fuzz_targets
}
run_sanitized_suite() {
  # The unit suite in one process: under the sanitizers starting a process
  # costs more than most cases (each still runs alone in the plain suite).
  (cd build/asan/tests && UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ./unit_tests --gtest_brief=1) || return 1
  ctest --preset asan --no-tests=error -L '^integration$'
}

# The plain suite runs from the optimised build (CI builds it instead of
# `dev`, which stays the developers' build). The tests that mostly wait on
# real time (whole flights of the program, the window and the unpacked
# package; labels "long" and "window-flight") start as soon as that build is
# done and run beside everything after it; the window's flight is serial
# within its own run, so it gets a run of its own.
start_long_flights() {
  local preset=${1:-release}
  ctest --preset "$preset" -L '^long$' -j 6 > "build/$preset/long-flights.log" 2>&1 &
  long_pids=($!)
  ctest --preset "$preset" -L '^window-flight$' > "build/$preset/window-flight.log" 2>&1 &
  long_pids+=($!)
}
finish_long_flights() {
  local preset=${1:-release} rc=0 pid log
  for pid in "${long_pids[@]}"; do wait "$pid" || rc=$?; done
  for log in long-flights window-flight; do
    echo "== build/$preset/$log.log"; cat "build/$preset/$log.log" || rc=1
  done
  return "$rc"
}

# In `test` the integration suite is left to the two sanitized builds, which
# both run it (the address sanitizer's whole): the plain suite runs the rest.
run_plain_suite() {
  local preset=${1:-release} skip='long|window-flight'
  [ "${2:-}" = "without-integration" ] && skip="$skip|integration"
  ctest --preset "$preset" -LE "^($skip)\$"
}

# The README's optimised build, and every benchmark run once from its build
# folder as a smoke run: a crash, an error or a missing benchmark fails, a
# timing never does.
build_release() {
  cmake --preset release && cmake --build --preset release
}
run_bench_smoke() {
  local src name failed=0 out
  for src in bench/bench_*.cpp; do
    name=$(basename "$src" .cpp)
    if [ ! -x "build/release/bench/$name" ]; then
      echo "benchmark $name was not built"; failed=1; continue
    fi
    out=$(cd build/release/bench && "./$name" --benchmark_min_time=0.01 2>&1) || {
      echo "$out"; echo "benchmark $name failed"; failed=1; continue
    }
    if grep -q 'ERROR OCCURRED' <<< "$out"; then
      echo "$out"; echo "benchmark $name reported an error"; failed=1; continue
    fi
    echo "benchmark $name ran"
  done
  # The whole demo flight, measured (the client of the optimised build). On a
  # loaded machine a measurement can miss the Flying page: it is flown once more.
  local attempt measured=0
  for attempt in 1 2; do
    out=$(QVL_MEASURE=1 QVL_HEADLESS=1 QVL_BUILD_DIR="$root/build/release" QVL_CLIENT_BUILD_DIR="$root/build/release" \
          bash tools/run-demo.sh 2>&1) || { echo "$out"; echo "bench/client_resources.sh failed"; failed=1; break; }
    if grep -q '^CPU on the Flying page: [0-9]' <<< "$out" &&
       grep -q '^the quietest ten seconds on the Flying page: [0-9]' <<< "$out"; then
      grep -A6 '^== client resources' <<< "$out"; measured=1; break
    fi
    echo "$out"; echo "bench/client_resources.sh measured no flight or no quiet ten seconds (attempt $attempt)"
  done
  [ "$measured" -eq 1 ] || failed=1
  return "$failed"
}

# ThreadSanitizer over the unit suite in one process and the integration
# suite (the background sender, the download thread, the stand-in library's
# clock thread); the window is not built, nor the fuzz targets, whose corpus
# replays run on one thread. Any report fails.
# In `test` the whole flights in real time are left out (a minute or more each
# under this sanitizer, two thirds of the suite's time): they run the same
# threads as the shorter cases, and `tools/dev.sh tsan` runs them too.
tsan_whole_flights='WholeFlightTest\.|^FlightThroughTheButtons\.|^BlackboxFlightTest\.'
build_tsan() {
  cmake --preset tsan && cmake --build --preset tsan --target unit_tests integration_tests
}
run_tsan_suite() {
  local skip='^FuzzReplay\.'
  [ "${1:-}" = "without-whole-flights" ] && skip="$skip|$tsan_whole_flights"
  local -x TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
  (cd build/tsan/tests && ./unit_tests --gtest_brief=1) || return
  ctest --test-dir build/tsan --output-on-failure -j 2 --no-tests=error -L '^integration$' -E "$skip"
}

run_windows_suites() {
  QVL_LINUX_BUILD_DIR="$root/build/release" bash tools/wine-tests.sh
}

fail_if() {
  [ "$2" -eq 0 ] || { echo "$1 failed (see above)" >&2; exit "$2"; }
}

# Prints how long a step took and how it ended, so CI's log shows where its
# time goes. A step called here (or in `||`) runs without `set -e`: each step
# chains its commands with `&&` and `|| return` so its first failure ends it.
timed() {
  local start=$SECONDS rc=0
  "$@" || rc=$?
  echo "== $1: $((SECONDS - start)) s (exit $rc)"
  return "$rc"
}

case "${1:-test}" in
  test)
    timed install_missing
    ensure_test_locale
    # The README's optimised build: the plain suite and the benchmarks run
    # from it, so it stays green without a second Linux build.
    timed build_release
    long=0
    start_long_flights
    # The Windows suites wait mostly on Wine and on real time: they run in the
    # background (their log follows at the end) while the Linux side builds and
    # runs its suites. They talk to the qvl-service of the Linux build above.
    windows=0
    timed build_windows || windows=$?
    if [ "$windows" -eq 0 ]; then
      timed run_windows_suites > build/wine-tests.log 2>&1 &
      wine_pid=$!
    fi
    # The benchmarks' smoke run (a demo flight, mostly waiting) beside them.
    timed run_bench_smoke > build/release-bench.log 2>&1 &
    release_pid=$!
    sanitized=0
    timed build_sanitized || sanitized=$?
    [ "$sanitized" -eq 0 ] && { timed run_sanitized_suite || sanitized=$?; }
    threads=0
    timed build_tsan || threads=$?
    [ "$threads" -eq 0 ] && { timed run_tsan_suite without-whole-flights || threads=$?; }
    suite=0
    timed run_plain_suite release without-integration || suite=$?
    timed finish_long_flights || long=$?
    release=0
    wait "$release_pid" || release=$?
    echo "== the benchmarks"; cat build/release-bench.log
    if [ -n "${wine_pid:-}" ]; then
      wait "$wine_pid" || windows=$?
      echo "== the Windows suites under Wine"; cat build/wine-tests.log
    fi
    fail_if "the suite under the sanitizers" "$sanitized"
    fail_if "the suite under the thread sanitizer" "$threads"
    fail_if "a benchmark" "$release"
    fail_if "the Windows build or its suites under Wine" "$windows"
    fail_if "the suite" "$suite"
    fail_if "the long flights" "$long"
    echo "all suites passed"
    ;;
  fuzz)
    # Each fuzz target fuzzes for QVL_FUZZ_SECONDS (10) from its corpus, built
    # with libFuzzer (clang); `test` replays the corpora only, in its builds.
    install_missing
    timed run_fuzzers
    ;;
  run)
    # What the demo flies with, not the suites: a first flight comes sooner.
    install_missing
    cmake --preset dev
    cmake --build --preset dev --target quenvale qvl-service qvl-sim SimConnect
    exec bash tools/run-demo.sh
    ;;
  flightgear)
    # The client against FlightGear itself: outside `test`, since FlightGear
    # is a 1.8 GB download (its scenery carries Iceland).
    packages+=(flightgear dbus-daemon libgl1-mesa-dri python3)
    install_missing
    cmake --preset dev && cmake --build --preset dev --target quenvale qvl-service
    exec bash tools/flightgear/check.sh
    ;;
  tsan)
    # The whole suite without the window, the whole flights included.
    install_missing
    timed build_tsan
    timed run_tsan_suite
    ;;
  endurance)
    # Ten flight hours compressed by the simulator's time scale (about 20
    # minutes), through both bridges: memory, descriptors, threads, the
    # recording, the tick's statistics and the report checked; then the
    # client idle on its login page as long, checked the same way.
    install_missing
    build
    bash tests/e2e/endurance.sh "${2:-10}" "${3:-30}"
    QVL_FS_INTERFACE=SimConnect bash tests/e2e/endurance.sh "${2:-10}" "${3:-30}"
    # The login page, idle for as long as one of the flights took.
    bash tests/e2e/endurance.sh --idle $(( ${2:-10} * 60 / ${3:-30} ))
    ;;
  package)
    # The optimised Debian package and the 32-bit Windows installer.
    install_missing
    cmake --preset release && cmake --build --preset release --target quenvale && (cd build/release && cpack -G DEB)
    cmake --preset windows && cmake --build --preset windows --target installer
    ls -l build/release/package/*.deb build/windows/QuenvaleSetup-*.exe
    ;;
  *)
    echo "usage: $0 test|run|package|fuzz|flightgear|tsan|endurance [HOURS [SCALE]]" >&2
    exit 2
    ;;
esac
