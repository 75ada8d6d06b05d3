#!/usr/bin/env bash
# Runs the i686 build where it can run: in the emulated 32-bit machine (tools/i386-machine.sh).
# The job goes in as a disk made from a folder (the i686 test program and its fixtures, the
# stripped shipping program, the scripts and the site's pages); tools/i386-job.sh does the work
# in the machine and leaves its reports on a results disk, read back here into build/results.
# A failed step, a fault or a machine that runs past its time fails this script, with the output.
# Usage: tools/i386-tests.sh   (after the win32 and win32-tests builds)
# RUNLENS_SOAK_CYCLES (default 10) sets the leak soak's cycles in the machine.
set -euo pipefail
# Read whole before it runs: a checkout that changes this file meanwhile does not reach the run.
{
cd "$(dirname "$0")/.."
started=$(date +%s)
elapsed() { echo "$(($(date +%s) - started)) s"; }

# Its last line names the machine.
machine=$(tools/i386-machine.sh | tail -n 1)
echo "i386: machine $machine ($(elapsed))"

build=build/win32-tests
job=build/i386/job
out=build/i386/results
rm -rf build/i386
mkdir -p "$job" "$out" build/results
tools/site-tls.sh "$build/site/tls" "$(sed -n 's/^RUNLENS_SITE_HOST:STRING=//p' "$build/CMakeCache.txt")"
for path in "$build"/tests/runlens_{win_tests,idle_child}.exe "$build"/tests/runlens_planted_marker.dll \
  "$build"/version-fixtures "$build"/icon-fixtures "$build"/icon-fixtures-build/runlens_forged_icon_child.exe \
  "$build"/{CMakeCache.txt,wine-filters.sh,site/tls} tests/site/pages tests/win32/taken_temp_folder.py \
  tools/{common.sh,i386-job.sh,with-site.sh,site-tls.sh,reference_site.py,screenshot.sh}; do
  mkdir -p "$job/$(dirname "$path")"
  cp -a "$path" "$job/$path"
done
mkdir -p "$job/build/win32/app/win32"
i686-w64-mingw32-strip -o "$job/build/win32/app/win32/runlens.exe" build/win32/app/win32/runlens.exe
pwd >"$job/root"
echo "export RUNLENS_SOAK_CYCLES=${RUNLENS_SOAK_CYCLES:-10}" >"$job/job.env"
# Room for the taken temporary folder's 65,535 links, which the machine makes itself (a file
# system made from a folder takes minutes to hold that many names in one folder).
truncate -s "$(($(du -sm "$job" | cut -f1) + 256))M" build/i386/job.img
mkfs.ext4 -q -F -N 100000 -d "$job" build/i386/job.img
truncate -s 256M build/i386/results.img
mkfs.ext4 -q -F build/i386/results.img

echo "i386: booting the machine with the job ($(elapsed))"
status=0
tools/i386-run.sh "$machine" /opt/runlens/job "${RUNLENS_I386_TIMEOUT:-1800}" build/i386/console.log \
  "$machine/root.img:scratch" build/i386/job.img:scratch build/i386/results.img || status=$?
debugfs -R "rdump / $out" build/i386/results.img 2>/dev/null || true
echo "i386: machine off ($(elapsed))"

failed=0
if [ "$status" -ne 0 ] || [ ! -f "$out/status" ]; then
  echo "i386: the machine failed (qemu exit $status); its console:" >&2
  tail -n 60 build/i386/console.log >&2
  failed=1
fi
[ -f "$out/job.log" ] && cat "$out/job.log"
while read -r name code seconds; do
  if [ "$code" -ne 0 ]; then
    echo "i386: $name failed (exit $code after $seconds s):" >&2
    tail -n 150 "$out/$name.log" >&2
    failed=1
  fi
done < <(cat "$out/steps" 2>/dev/null)
cp "$out"/*.xml build/results/ 2>/dev/null || true
[ -f "$out/runlens-i686.png" ] && cp "$out/runlens-i686.png" build/screenshot-i686.png
echo "i386: done ($(elapsed))"
exit "$failed"
}
