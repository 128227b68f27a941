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
work=$(mktemp -d "$win/install-XXXXXX")
# shellcheck source=tools/lib/common.sh
source "$root/tools/lib/common.sh"
remove_on_exit "$work"
# The shared service gets its demo booking back.
reseed() { [ -z "${QVL_WINE_SERVICE_DIR:-}" ] || "$service" seed --data "$QVL_WINE_SERVICE_DIR" > /dev/null 2>&1; }
on_exit reseed

if [ -z "${WINEPREFIX:-}" ]; then
  export LC_ALL=C.UTF-8
  unset DISPLAY WAYLAND_DISPLAY
  start_wine_prefix "$work/prefix" null
fi
if [ -z "${QVL_WINE_SERVICE_DIR:-}" ]; then
  start_service "$service" "$work/service"
  export QVL_WINE_SERVICE_DIR=$work/service
fi
svc=$QVL_WINE_SERVICE_DIR

old=$(ls "$win"/QuenvaleSetup-v*.exe | head -n1)
old_version=$(basename "$old" .exe | sed 's/^QuenvaleSetup-//')
# The newer release: this build's program with the last digit of its version
# text raised (the same length, so it is patched in place), in an installer
# of its own.
[ "${old_version: -1}" != 9 ] || fail "cannot raise $old_version in place"
new_version=${old_version%?}$(( ${old_version: -1} + 1 ))
echo "installer $(basename "$old") ($(stat -c %s "$old") bytes); the newer release: $new_version"
mkdir -p "$work/new"
cp "$win/installer/quenvale.exe" "$work/new/quenvale.exe"
OLD=$old_version NEW=$new_version perl -0777 -pi -e '$n = s/\Q$ENV{OLD}\E/$ENV{NEW}/g; END { exit($n ? 0 : 1) }' \
  "$work/new/quenvale.exe" || note_failure "the program holds no version text $old_version"
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
"$wine" "Z:$old" /S || note_failure "the silent install ended with status $?"
for f in quenvale.exe skin.png skin.region icon.png sound/snd_btn_click.wav sound/en/penalty.wav uninstall.exe; do
  [ -f "$program_files/$f" ] || note_failure "the install lacks $f"
done
[ -f "$shortcut" ] || note_failure "no Start-menu shortcut"
[ "$(registered)" = "$old_version" ] || note_failure "uninstall entry names '$(registered)'"
[ "$(version_of_installed)" = "Quenvale client $old_version" ] || note_failure "installed --version: $(version_of_installed)"

# Again over it, and not while the program runs: a silent run gives up with 2.
"$wine" "Z:$old" /S || note_failure "the reinstall ended with status $?"
[ "$(snapshot)" = "$before" ] || note_failure "the installs changed the data folder"
printf 'wait page 1 60\n' > "$work/idle.pilot"
start_program "$work/idle.log" "$wine" "$installed" --headless --pilot "Z:$work/idle.pilot"
client=$last_pid
wait_until 30 grep -q '^page 0' "$work/idle.log" || fail "the installed program showed no login page: $(cat "$work/idle.log")"
status=0
"$wine" "Z:$old" /S || status=$?
[ "$status" -eq 2 ] || note_failure "an install over the running program ended with status $status, not 2"
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
read_only +i || note_failure "cannot make the install folder read-only"
touch "$program_files/probe" 2> /dev/null && note_failure "the install folder is still writable"
status=0
(cd "$program_files" && "$wine" "$installed" --headless --pilot "Z:$root/tests/e2e/update.pilot" > "$work/update.log" 2>&1) ||
  status=$?
read_only -i
[ "$status" -eq 0 ] || note_failure "the updating client ended with status $status"
tr -d '\r' < "$work/update.log" > "$work/update.txt"
grep -q '^page 16 ' "$work/update.txt" || note_failure "the download page did not show"
grep -Eq '^progress [1-9][0-9]?%$' "$work/update.txt" && grep -q '^progress 100%$' "$work/update.txt" ||
  note_failure "the progress bar did not move through the download to its end"
grep -q 'message box' "$work/update.txt" && note_failure "a message box showed: $(grep 'message box' "$work/update.txt")"
cmp -s "$new" "$data/updates/QuenvaleSetup-$new_version.exe" || note_failure "the downloaded installer differs from the served one"
[ -e "$program_files/updates" ] && note_failure "the client wrote into its install folder"
registered_as() { [ "$(registered)" = "$1" ]; }
wait_until 60 registered_as "$new_version" ||
  note_failure "the installer did not finish: uninstall entry names '$(registered)'"
[ "$(version_of_installed)" = "Quenvale client $new_version" ] || note_failure "after the update --version: $(version_of_installed)"
installer_ended() { ! ps -eo args | grep -q "[Q]uenvaleSetup-$new_version"; }
wait_until 30 installer_ended || note_failure "the installer is still running"

# A silent uninstall (it goes on from a copy of itself) leaves the data folder.
before=$(snapshot)
"$wine" "${installed%\\*}\\uninstall.exe" /S || note_failure "the silent uninstall ended with status $?"
wait_until 30 test ! -e "$program_files" || note_failure "the uninstall left $(ls "$program_files") (programs: $(ps -eo args | grep -i '\.exe' | grep -v grep | tr '\n' ';'))"
[ -e "$shortcut" ] && note_failure "the uninstall left the shortcut"
[ -n "$(registered)" ] && note_failure "the uninstall left the uninstall entry"
[ "$(snapshot)" = "$before" ] || note_failure "the uninstall changed the data folder"
[ -s "$data/quenvale.ini" ] || note_failure "the settings are gone"

if [ "$failed" -ne 0 ]; then
  echo "--- the updating client:"; cat "$work/update.txt"
  exit 1
fi
echo "win32 install: install, version, reinstall, running refusal, update and uninstall passed"
