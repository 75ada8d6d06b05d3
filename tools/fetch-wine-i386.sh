#!/usr/bin/env bash
# Unpacks the 32-bit Windows files of Debian's Wine (libwine:i386) into the build folder, for
# the version-resource cross-check. Only the package's files are unpacked; nothing of it is
# installed, and 32-bit Wine never runs. Safe to run again.
# Usage: tools/fetch-wine-i386.sh BUILD_ROOT (the folder the builds share, RUNLENS_BUILD_ROOT:
# build/ for the presets)
set -euo pipefail

dest=$(mkdir -p "$1" && cd "$1" && pwd)/wine-i386
[ -d "$dest/usr/lib/i386-linux-gnu/wine/i386-windows" ] && exit 0

"$(dirname "$0")/setup.sh" --i386
work=$(mktemp -d)
chmod 755 "$work"  # apt downloads as its own user
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get download -qq "libwine:i386")
dpkg-deb -x "$work"/libwine_*_i386.deb "$dest"
echo "fetch-wine-i386: unpacked $(ls "$dest/usr/lib/i386-linux-gnu/wine/i386-windows" | wc -l) files"
