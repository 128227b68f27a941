#!/usr/bin/env bash
# Fetches Debian's pugixml sources into DEPS_DIR (default build/deps), which
# the Windows builds compile with the cross toolchain; adds Debian's source
# archive to apt's lists first when none is there. The Windows presets run it
# themselves when the sources are missing.
#   tools/fetch-pugixml.sh [DEPS_DIR]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps=${1:-$root/build/deps}
ls "$deps"/pugixml-*/src/pugixml.cpp > /dev/null 2>&1 && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if ! grep -rqs 'deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$suite" | $sudo tee /etc/apt/sources.list.d/quenvale-deb-src.sources > /dev/null
  $sudo apt-get update -qq
fi
mkdir -p "$deps"
(cd "$deps" && apt-get source -qq pugixml > /dev/null)
ls "$deps"/pugixml-*/src/pugixml.cpp > /dev/null 2>&1 || { echo "apt-get source pugixml left no sources in $deps" >&2; exit 1; }
