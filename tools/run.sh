#!/usr/bin/env bash
# Builds the 64-bit program and starts it under wine64 in the project's own Wine prefix,
# together with the reference information site on 127.0.0.1 (the program's site host is routed
# there through the prefix's proxy settings), so that a click on a process row travels the whole
# road. With a working display it opens there; without one it runs under a virtual display,
# saves a screenshot of what a user would see and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh

tools/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target runlens

tools/wine-prefix.sh build/win64 >/dev/null
use_wine_prefix build/win64
exe=build/win64/app/win32/runlens.exe

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec tools/with-site.sh build/win64 "$wine" "$exe"
fi

screenshot=$PWD/build/screenshot.png
RUNLENS_SITE_LIFETIME=120 tools/with-site.sh build/win64 \
  xvfb-run -a -s "-screen 0 1280x800x24" tools/screenshot.sh "$exe" "$screenshot"
echo "screenshot: $screenshot"
