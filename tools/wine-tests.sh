#!/usr/bin/env bash
# Runs the Windows build's suites (build/windows-test) under wine64: ctest
# there runs them (label "wine"; tests/WindowsSuites.cmake), in a private
# Wine prefix, against a qvl-service from the Linux build (build/dev, or
# QVL_LINUX_BUILD_DIR). Besides, what ctest of that build cannot run: the
# shipped 32-bit program's unit suite (another build) and the module link's
# benchmark.
# Usage: tools/wine-tests.sh [gtest filter for the unit suite]
#        tools/wine-tests.sh bench [ROUNDS]
#        tools/wine-tests.sh week   (the Windows program's flights of the week only)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
win=$root/build/windows-test
export QVL_LINUX_BUILD_DIR=${QVL_LINUX_BUILD_DIR:-$root/build/dev}

# `tools/wine-tests.sh bench`: the module link's window-message benchmark,
# in a prefix of its own.
if [ "${1:-}" = bench ]; then
  state=$(mktemp -d /tmp/qvl-wine-XXXXXX)
  wine=(bash "$root/tests/windows/wine.sh" "$state")
  trap '"${wine[@]}" prefix-end > /dev/null; rm -rf "$state"' EXIT
  "${wine[@]}" prefix
  "${wine[@]}" run "$win/bench/bench_fsuipc_window.exe" "Z:$win/tools/qvl-sim/qvl-sim.exe" "${2:-2000}"
  exit $?
fi

suites() { ctest --test-dir "$win" --output-on-failure --no-tests=error "$@"; }
if [ "${1:-}" = week ]; then
  suites -R '^WineWeekOfFlights$'
  exit $?
fi

failed=0
if [ -n "${1:-}" ]; then
  GTEST_FILTER=$1 suites -R '^WineUnit$' || failed=1
else
  suites -L '^wine$' || failed=1
fi

# The shipped 32-bit program's unit suite under wine32, where this machine
# runs 32-bit code; where it cannot, one line says so.
i686_suite=$root/build/windows-i686-test/tests/unit_tests.exe
if why=$(bash "$root/tools/runs-32bit.sh"); then
  echo "== unit_tests (wine32, i686)"
  if [ ! -x /usr/lib/wine/wine ] || [ ! -f "$i686_suite" ]; then
    failed=1
    echo "wine32 (/usr/lib/wine/wine) or $i686_suite is missing"
  else
    state=$(mktemp -d /tmp/qvl-wine32-XXXXXX)
    wine=(bash "$root/tests/windows/wine.sh" "$state")
    { "${wine[@]}" prefix > /dev/null &&
      QVL_WINE=/usr/lib/wine/wine "${wine[@]}" run "$i686_suite" --gtest_brief=1 ${1:+--gtest_filter=$1}; } || failed=1
    "${wine[@]}" prefix-end > /dev/null
    rm -rf "$state"
  fi
else
  echo "== unit_tests (i686): not run under wine32: $why"
fi
exit "$failed"
