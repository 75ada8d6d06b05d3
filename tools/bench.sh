#!/usr/bin/env bash
# Measures the program against the bare system calls it must make, side by side in one run,
# and prints each figure as a ratio; then the size of the shipping 32-bit program.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh

tools/setup.sh
echo "== host (Google Benchmark)"
cmake -S . -B build/bench-host -G Ninja -DCMAKE_BUILD_TYPE=Release -DRUNLENS_TESTS=OFF >/dev/null
cmake --build build/bench-host --target runlens_host_bench >/dev/null
build/bench-host/tools/runlens_host_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  | python3 tools/bench_summary.py
echo "== wine64"
for preset in win64 win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
done
tools/wine-prefix.sh build/win64 >/dev/null
use_wine_prefix build/win64
stop_wine
xvfb-run -a -s "-screen 0 1280x1024x24" "$wine" build/win64/app/win32/runlens_bench.exe
stop_wine
i686-w64-mingw32-strip -o build/win32/runlens-stripped.exe build/win32/app/win32/runlens.exe
size=$(stat -c %s build/win32/runlens-stripped.exe)
printf '%-14s stripped i686 runlens.exe: %d bytes (%.2f MiB, target <= 1 MiB: %s)\n' footprint \
  "$size" "$(echo "$size / 1048576" | bc -l)" "$([ "$size" -le 1048576 ] && echo met || echo 'NOT met')"
