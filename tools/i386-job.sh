#!/usr/bin/env bash
# The work of the emulated 32-bit machine. tools/i386-tests.sh boots it with this script on a job
# disk mounted at the clone's own path, so that the paths built into the i686 test program hold
# there too. Runs the Windows tests under 32-bit Wine, in English and in Japanese, each with the
# reference site up, then the shipping program under a virtual display for a screenshot. The
# English run goes beside the other two, one on each virtual processor. The reports, each step's
# output and exit status and time, and the screenshot go to RESULTS.
# Usage (inside the machine): tools/i386-job.sh RESULTS
set -euo pipefail
results=$1
build=build/win32-tests
export RUNLENS_WINE=/usr/lib/wine/wine WINEDEBUG=-all
# The host's settings for this run (RUNLENS_SOAK_CYCLES).
source job.env
source "$build/wine-filters.sh"

# Runs a step on a virtual display of its own (DISPLAY_NUMBER), with the Wine prefix the machine
# prepared for its locale and a reference site of its own.
# Usage: step NAME LANG DISPLAY_NUMBER COMMAND...
step() {
  local name=$1 lang=$2 number=$3 start status=0 state=/tmp/runs/$1
  shift 3
  case $lang in ja_*) prefix=/opt/runlens/ja ;; *) prefix=/opt/runlens/en ;; esac
  # What tools/with-site.sh reads from and writes to a build folder, for this step alone.
  mkdir -p "$state/site"
  ln -sfn "$prefix/wineprefix" "$state/wineprefix"
  ln -sfn "$PWD/$build/CMakeCache.txt" "$state/CMakeCache.txt"
  cp -r "$build/site/tls" "$state/site/"
  start=$(date +%s)
  echo "i386-job: $name ($lang)"
  LANG=$lang tools/with-site.sh "$state" xvfb-run -n "$number" -s "-screen 0 1280x1024x24" "$@" \
    >"$results/$name.log" 2>&1 || status=$?
  WINEPREFIX=$state/wineprefix /usr/lib/wine/wineserver -k 2>/dev/null || true
  echo "$name $status $(($(date +%s) - start))" >>"$results/steps"
  echo "i386-job: $name: exit $status, $(($(date +%s) - start)) s"
}

start=$(date +%s)
python3 tests/win32/taken_temp_folder.py "$build/taken-temp"
echo "i386-job: taken temporary folder made in $(($(date +%s) - start)) s"
tests=("$RUNLENS_WINE" "$build/tests/runlens_win_tests.exe")
export RUNLENS_REQUIRE_SITE=1 RUNLENS_TAKEN_TEMP="Z:$PWD/$build/taken-temp"
# The planted-library test starts the shipping program, not the test build's own.
export RUNLENS_PROGRAM="Z:$PWD/build/win32/app/win32/runlens.exe"
step wine32 C.UTF-8 101 "${tests[@]}" --gtest_filter="$english_filter" \
  --gtest_output="xml:Z:$results/wine32.xml" &
english=$!
RUNLENS_REQUIRE_JAPANESE=1 step wine32-japanese ja_JP.UTF-8 102 "${tests[@]}" \
  --gtest_filter="$japanese_filter" --gtest_output="xml:Z:$results/wine32-japanese.xml"
RUNLENS_SITE_LIFETIME=600 step program ja_JP.UTF-8 103 \
  tools/screenshot.sh build/win32/app/win32/runlens.exe "$results/runlens-i686.png"
wait "$english"
