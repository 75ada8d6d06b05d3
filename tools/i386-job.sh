#!/usr/bin/env bash
# The work of the emulated 32-bit machine. tools/i386-tests.sh boots it with this script on a job
# disk mounted at the clone's own path, so that the paths built into the i686 test program hold
# there too. Runs the Windows tests under 32-bit Wine, in English and in Japanese, with the
# reference site up, then the shipping program under a virtual display for a screenshot. The
# reports, each step's output and exit status and time, and the screenshot go to RESULTS.
# Usage (inside the machine): tools/i386-job.sh RESULTS
set -euo pipefail
results=$1
build=build/win32-tests
export RUNLENS_WINE=/usr/lib/wine/wine WINEDEBUG=-all
# The host's settings for this run (RUNLENS_SOAK_CYCLES).
source job.env
source "$build/wine-filters.sh"

# Runs a step with the Wine prefix the machine prepared for its locale, and the site up.
# Usage: step NAME LANG COMMAND...
step() {
  local name=$1 lang=$2 start status=0
  shift 2
  case $lang in ja_*) prefix=/opt/runlens/ja ;; *) prefix=/opt/runlens/en ;; esac
  ln -sfn "$prefix/wineprefix" "$build/wineprefix"
  start=$(date +%s)
  echo "i386-job: $name ($lang)"
  LANG=$lang tools/with-site.sh "$build" "$@" >"$results/$name.log" 2>&1 || status=$?
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  echo "$name $status $(($(date +%s) - start))" >>"$results/steps"
  echo "i386-job: $name: exit $status, $(($(date +%s) - start)) s"
}

start=$(date +%s)
python3 tests/win32/taken_temp_folder.py "$build/taken-temp"
echo "i386-job: taken temporary folder made in $(($(date +%s) - start)) s"
tests=("$build/tests/runlens_win_tests.exe")
export RUNLENS_REQUIRE_SITE=1 RUNLENS_TAKEN_TEMP="Z:$PWD/$build/taken-temp"
display=(xvfb-run -a -s "-screen 0 1280x1024x24")
step wine32 C.UTF-8 "${display[@]}" "$RUNLENS_WINE" "${tests[@]}" \
  --gtest_filter="$english_filter" --gtest_output="xml:Z:$results/wine32.xml"
RUNLENS_REQUIRE_JAPANESE=1 step wine32-japanese ja_JP.UTF-8 "${display[@]}" "$RUNLENS_WINE" \
  "${tests[@]}" --gtest_filter="$japanese_filter" --gtest_output="xml:Z:$results/wine32-japanese.xml"
RUNLENS_SITE_LIFETIME=600 step program ja_JP.UTF-8 xvfb-run -a -s "-screen 0 1280x800x24" \
  tools/screenshot.sh build/win32/app/win32/runlens.exe "$results/runlens-i686.png"
