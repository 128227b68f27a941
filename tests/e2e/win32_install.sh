#!/usr/bin/env bash
# The Windows installer under wine64: a silent install, the installed
# program's version, a reinstall over it, a reinstall refused while the
# program runs, the update end to end (the installed client learns of a newer
# release from qvl-service, downloads its installer, starts it and closes; the
# installer replaces the program), and a silent uninstall. The pilot's data
# folder survives all of it.
# The newer release is this build's program with its version text raised.
# Runs in the Windows test build's Wine prefix and service under ctest (WINEPREFIX,
# QVL_WINE_SERVICE_DIR); alone it makes its own in the build folder.
# Usage: tests/e2e/win32_install.sh WINDOWS_TEST_BUILD DEV_BUILD
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
win=$(cd "${1:?usage: win32_install.sh WINDOWS_TEST_BUILD DEV_BUILD}" && pwd)
dev=$(cd "${2:?usage: win32_install.sh WINDOWS_TEST_BUILD DEV_BUILD}" && pwd)
service=$dev/tools/qvl-service/qvl-service
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
work=$(mktemp -d "$win/install-XXXXXX")
pids=()
own_prefix=
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true; done
  [ -n "${QVL_WINE_SERVICE_DIR:-}" ] && { "$service" seed --data "$QVL_WINE_SERVICE_DIR" > /dev/null 2>&1 || true; }
  if [ -n "$own_prefix" ]; then "$wineserver" -k 2>/dev/null || true; "$wineserver" -w 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
failed=0
fail() { echo "FAILED: $*"; failed=1; }
source "$root/tests/e2e/e2e_common.sh"

if [ -z "${WINEPREFIX:-}" ]; then
  own_prefix=1
  export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
  unset DISPLAY WAYLAND_DISPLAY
  "$wine" wineboot -i > /dev/null 2>&1 || true
  "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f > /dev/null 2>&1
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w 2>/dev/null || true
fi
if [ -z "${QVL_WINE_SERVICE_DIR:-}" ]; then
  mkdir -p "$work/service"
  "$service" start --port 0 --data "$work/service" > "$work/service.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/service/port" ] && break; sleep 0.1; done
  export QVL_WINE_SERVICE_DIR=$work/service
fi
svc=$QVL_WINE_SERVICE_DIR

old=$(ls "$win"/QuenvaleSetup-v*.exe | head -n1)
old_version=$(basename "$old" .exe | sed 's/^QuenvaleSetup-//')
# The newer release: this build's program with the last digit of its version
# text raised (the same length, so it is patched in place), in an installer
# of its own.
[ "${old_version: -1}" != 9 ] || { echo "cannot raise $old_version in place"; exit 1; }
new_version=${old_version%?}$(( ${old_version: -1} + 1 ))
echo "installer $(basename "$old") ($(stat -c %s "$old") bytes); the newer release: $new_version"
mkdir -p "$work/new"
cp "$win/installer/quenvale.exe" "$work/new/quenvale.exe"
OLD=$old_version NEW=$new_version perl -0777 -pi -e '$n = s/\Q$ENV{OLD}\E/$ENV{NEW}/g; END { exit($n ? 0 : 1) }' \
  "$work/new/quenvale.exe" || fail "the program holds no version text $old_version"
new="$work/new/QuenvaleSetup-$new_version.exe"
makensis -V1 -DARCH=amd64-unicode -DVERSION="$new_version" -DPROGRAM="$work/new/quenvale.exe" \
  -DRESOURCES="$win/resources" -DOUTFILE="$new" "$root/packaging/quenvale.nsi"

# wine64 runs the 64-bit twin, which installs into "Program Files".
program_files="$WINEPREFIX/drive_c/Program Files/Quenvale"
installed='C:\Program Files\Quenvale\quenvale.exe'
shortcut=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Quenvale/Quenvale.lnk
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quenvale'
data=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Quenvale
port=$(cat "$svc/port")

mkdir -p "$data"
write_demo_pilot_settings "$data/quenvale.ini" "https://localhost:$port" "Z:$svc/ca.pem"
echo "pilot's notes" > "$data/quenvale_report2.ini"
snapshot() { (cd "$data" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
registered() { "$wine" reg query "$key" /v DisplayVersion 2>/dev/null | tr -d '\r' | awk '/DisplayVersion/ {print $3}'; }
version_of_installed() { "$wine" "$installed" --version 2>/dev/null | tr -d '\r'; }

# A silent install: the program, its resources, the shortcut, the uninstaller.
before=$(snapshot)
"$wine" "Z:$old" /S || fail "the silent install ended with status $?"
for f in quenvale.exe skin.png skin.region icon.png sound/snd_btn_click.wav sound/en/penalty.wav uninstall.exe; do
  [ -f "$program_files/$f" ] || fail "the install lacks $f"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
[ "$(registered)" = "$old_version" ] || fail "uninstall entry names '$(registered)'"
[ "$(version_of_installed)" = "Quenvale client $old_version" ] || fail "installed --version: $(version_of_installed)"

# Again over it, and not while the program runs: a silent run gives up with 2.
"$wine" "Z:$old" /S || fail "the reinstall ended with status $?"
[ "$(snapshot)" = "$before" ] || fail "the installs changed the data folder"
printf 'wait page 1 60\n' > "$work/idle.pilot"
"$wine" "$installed" --headless --pilot "Z:$work/idle.pilot" > "$work/idle.log" 2>&1 &
client=$!
for _ in $(seq 100); do grep -q '^page 0' "$work/idle.log" && break; sleep 0.1; done
status=0
"$wine" "Z:$old" /S || status=$?
[ "$status" -eq 2 ] || fail "an install over the running program ended with status $status, not 2"
kill "$client" 2>/dev/null || true
wait "$client" 2>/dev/null || true

# The update: the client, started in its installed folder as the Start-menu
# shortcut starts it, logs in, finds the newer release, downloads its
# installer into its data folder with the progress bar moving, starts it and
# closes; the installer waits for it and replaces the program. The install
# folder is read-only for the client, as "Program Files" is for a pilot; the
# installer gets its rights by elevation on Windows, which Wine cannot show:
# here they are given back once the client has ended, while the installer
# waits for the program's file.
"$service" release --data "$svc" "$new_version" "$new"
read_only() {
  if [ "$(id -u)" -eq 0 ]; then chattr "$1" "$program_files" "$program_files/quenvale.exe"  # root writes anywhere
  else chmod "$([ "$1" = +i ] && echo a-w || echo u+w)" "$program_files" "$program_files/quenvale.exe"; fi
}
read_only +i || fail "cannot make the install folder read-only"
touch "$program_files/probe" 2> /dev/null && fail "the install folder is still writable"
status=0
(cd "$program_files" && "$wine" "$installed" --headless --pilot "Z:$root/tests/e2e/update.pilot" > "$work/update.log" 2>&1) ||
  status=$?
read_only -i
[ "$status" -eq 0 ] || fail "the updating client ended with status $status"
tr -d '\r' < "$work/update.log" > "$work/update.txt"
grep -q '^page 16 ' "$work/update.txt" || fail "the download page did not show"
grep -Eq '^progress [1-9][0-9]?%$' "$work/update.txt" && grep -q '^progress 100%$' "$work/update.txt" ||
  fail "the progress bar did not move through the download to its end"
grep -q 'message box' "$work/update.txt" && fail "a message box showed: $(grep 'message box' "$work/update.txt")"
cmp -s "$new" "$data/updates/QuenvaleSetup-$new_version.exe" || fail "the downloaded installer differs from the served one"
[ -e "$program_files/updates" ] && fail "the client wrote into its install folder"
for _ in $(seq 120); do [ "$(registered)" = "$new_version" ] && break; sleep 0.5; done
[ "$(registered)" = "$new_version" ] || fail "the installer did not finish: uninstall entry names '$(registered)'"
[ "$(version_of_installed)" = "Quenvale client $new_version" ] || fail "after the update --version: $(version_of_installed)"
for _ in $(seq 60); do ps -eo args | grep -q "[Q]uenvaleSetup-$new_version" || break; sleep 0.5; done

# A silent uninstall (it goes on from a copy of itself) leaves the data folder.
before=$(snapshot)
"$wine" "${installed%\\*}\\uninstall.exe" /S || fail "the silent uninstall ended with status $?"
for _ in $(seq 60); do [ -e "$program_files" ] || break; sleep 0.5; done
[ -e "$program_files" ] && fail "the uninstall left $(ls "$program_files") (programs: $(ps -eo args | grep -i '\.exe' | grep -v grep | tr '\n' ';'))"
[ -e "$shortcut" ] && fail "the uninstall left the shortcut"
[ -n "$(registered)" ] && fail "the uninstall left the uninstall entry"
[ "$(snapshot)" = "$before" ] || fail "the uninstall changed the data folder"
[ -s "$data/quenvale.ini" ] || fail "the settings are gone"

if [ "$failed" -ne 0 ]; then
  echo "--- the updating client:"; cat "$work/update.txt"
  exit 1
fi
echo "win32 install: install, version, reinstall, running refusal, update and uninstall passed"
