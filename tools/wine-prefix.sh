#!/usr/bin/env bash
# Prepares the project's own Wine prefix (never the user's ~/.wine) and prints its path.
# Usage: tools/wine-prefix.sh BUILD_DIR
# RUNLENS_WINE names the Wine loader (the 32-bit machine's is /usr/lib/wine/wine).
set -euo pipefail

build_dir=$(mkdir -p "$1" && cd "$1" && pwd)
export WINEPREFIX="$build_dir/wineprefix"
export WINEDEBUG=-all
wine=${RUNLENS_WINE:-/usr/lib/wine/wine64}

if [ ! -f "$WINEPREFIX/.runlens-ready" ]; then
  echo "wine-prefix: creating $WINEPREFIX (takes a few seconds)" >&2
  # No Mono or Gecko install prompts: this machine downloads nothing.
  WINEDLLOVERRIDES="mscoree=;mshtml=" "$wine" wineboot --init >/dev/null 2>&1 || true
  # Japanese text: stand VL Gothic in for the Japanese UI fonts.
  for font in "MS UI Gothic" "MS Gothic" "MS PGothic" "Meiryo" "Yu Gothic UI"; do
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /t REG_SZ /d "VL Gothic" /f >/dev/null 2>&1
  done
  /usr/lib/wine/wineserver -w || true
  touch "$WINEPREFIX/.runlens-ready"
fi
echo "$WINEPREFIX"
