#!/usr/bin/env bash
# Starts a Windows program under wine64 on the current X display, waits until its window has
# been shown, saves a picture of the whole screen and ends the program.
# Usage: tools/screenshot.sh PROGRAM.exe OUTPUT.png
# RUNLENS_WINE names the Wine loader (the 32-bit machine's is /usr/lib/wine/wine).
set -euo pipefail
source "$(dirname "$0")/common.sh"

"$wine" "$1" &
program=$!
# The window's title ends in " - Runlens". An emulated machine takes a while to get there.
for _ in $(seq 1 240); do
  if xwininfo -root -tree 2>/dev/null | grep -q ' - Runlens"'; then break; fi
  sleep 0.5
done
# Until the window has painted: a blank screen has only a colour or two.
for _ in $(seq 1 20); do
  sleep 1
  import -window root "$2"
  [ "$(identify -format %k "$2")" -gt 16 ] && break
done
kill "$program" 2>/dev/null || true
stop_wine
