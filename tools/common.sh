# Sourced by the scripts in tools/: where Debian's Wine is, and the project's own Wine prefix
# (never the user's ~/.wine), which lives in a build folder.
# RUNLENS_WINE names another Wine loader (the 32-bit machine's is /usr/lib/wine/wine).
wine=${RUNLENS_WINE:-/usr/lib/wine/wine64}
wineserver=/usr/lib/wine/wineserver

# Points Wine at the prefix of a build folder, quietly: exports WINEPREFIX and WINEDEBUG.
# tools/wine-prefix.sh makes the prefix. Usage: use_wine_prefix BUILD_DIR
use_wine_prefix() {
  WINEPREFIX="$(mkdir -p "$1" && cd "$1" && pwd)/wineprefix"
  export WINEPREFIX WINEDEBUG=-all
}

# Ends every Wine process of the prefix in use.
stop_wine() {
  "$wineserver" -k 2>/dev/null || true
}
