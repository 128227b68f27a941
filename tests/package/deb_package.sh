#!/usr/bin/env bash
# The Debian package of a Linux build: made with cpack, its contents and
# dependencies checked, the program unpacked and run (its version, the
# headless demo flight on the unpacked resources), and the update: a client
# told of a newer release downloads this package whole and hands it to the
# system's package installer (a recording xdg-open here).
# Usage: tests/package/deb_package.sh BUILD_DIR
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "${1:?usage: deb_package.sh BUILD_DIR}" && pwd)
work=$(mktemp -d /tmp/qvl-deb-XXXXXX)
service=$build/tools/qvl-service/qvl-service
# shellcheck source=tools/lib/common.sh
source "$root/tools/lib/common.sh"
remove_on_exit "$work"

(cd "$build" && cpack -G DEB > "$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(ls -t "$build"/package/quenvale_*.deb | head -n1)
echo "package: $deb ($(stat -c %s "$deb") bytes)"

# What a pilot's system gets.
dpkg-deb -c "$deb" | awk '{print $6}' > "$work/contents"
for path in ./usr/bin/quenvale ./usr/share/quenvale/skin.png ./usr/share/quenvale/skin.region \
            ./usr/share/quenvale/icon.png ./usr/share/quenvale/sound/snd_btn_click.wav \
            ./usr/share/quenvale/sound/en/penalty.wav ./usr/share/applications/quenvale.desktop \
            ./usr/share/icons/hicolor/64x64/apps/quenvale.png; do
  grep -qx -- "$path" "$work/contents" || note_failure "the package lacks $path"
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libgtk-3-0 libcurl4 libssl3 libcanberra0 libpugixml1v5; do
  grep -q "\b$lib\b" <<< "$depends" || note_failure "Depends ($depends) does not name $lib"
done

dpkg-deb -x "$deb" "$work/root"
program=$work/root/usr/bin/quenvale
file "$program" | grep -q ', stripped' || note_failure "the packaged program is not stripped"
version=$("$program" --version) || note_failure "--version failed"
grep -qx 'Quenvale client v[0-9.]*' <<< "$version" || note_failure "--version printed: $version"

# The demo flight, the unpacked program finding its resources beside itself
# (<prefix>/bin/../share/quenvale), as an installed one does.
QVL_HEADLESS=1 QVL_KEEP_DEMO=1 QVL_TIME_SCALE=40 QVL_BUILD_DIR=$build QVL_CLIENT_PROGRAM=$program \
  bash "$root/tools/run-demo.sh" > "$work/demo.log" 2>&1 || note_failure "the demo flight failed: $(tail -n 20 "$work/demo.log")"
demo=$(sed -n 's/^== kept //p' "$work/demo.log")
grep -q 'pilot script finished' "$work/demo.log" || note_failure "the demo's pilot did not finish"
grep -rqs "Resources in $work/root/usr/share/quenvale$" "$demo/client" ||
  note_failure "the demo did not take the unpacked resources"
rm -rf "$demo"

# The update: the service names a newer release whose installer is this package.
mkdir -p "$work/client" "$work/bin"
start_service "$service" "$work/service"
"$service" release --data "$work/service" v9.0.0.0 "$deb"
write_demo_pilot_settings "$work/client/quenvale.ini" "https://127.0.0.1:$port" "$work/service/ca.pem"
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s"\n' "$work/opened" > "$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
(cd "$work/client" && PATH="$work/bin:$PATH" "$program" --headless --data-dir "$work/client" \
  --pilot "$root/tests/e2e/update.pilot" > "$work/update.log" 2>&1) || note_failure "the updating client failed"
if wait_until 5 test -s "$work/opened"; then
  [ "$(cat "$work/opened")" = "$work/client/updates/QuenvaleSetup-v9.0.0.0.deb" ] ||
    note_failure "xdg-open was handed '$(cat "$work/opened")'"
else
  note_failure "xdg-open was not called within 5 s"
fi
cmp -s "$deb" "$work/client/updates/QuenvaleSetup-v9.0.0.0.deb" || note_failure "the downloaded package differs from the served one"
grep -Eq '^progress [1-9][0-9]?%$' "$work/update.log" && grep -q '^progress 100%$' "$work/update.log" ||
  note_failure "the progress bar did not move through the download to its end"
grep -q 'message box' "$work/update.log" && note_failure "a message box showed during the update"

if [ "$failed" -ne 0 ]; then
  cat "$work/update.log"
  exit 1
fi
echo "deb package: contents, dependencies, version, demo flight and update checked"
