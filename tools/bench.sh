#!/usr/bin/env bash
# Measures the program against the bare system calls it must make, side by side in one run,
# and prints each figure as a ratio; then the size of the shipping 32-bit program.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
echo "== host (Google Benchmark)"
cmake -S . -B build/bench-host -G Ninja -DCMAKE_BUILD_TYPE=Release -DRUNLENS_TESTS=OFF >/dev/null
cmake --build build/bench-host --target runlens_host_bench >/dev/null
build/bench-host/tools/runlens_host_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  | python3 -c '
import re, sys
times = {}
for line in sys.stdin:
    m = re.match(r"(\w+)_median\s+([\d.]+) (\w+)", line)
    if m:
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0}[m.group(3)]
        times[m.group(1)] = float(m.group(2)) * scale
ratio = times["SortCompareRows"] / times["SortPlainBytes"]
print(f"{'sort (host)':<14} program {times['SortCompareRows']:9.3f} ms   bare {times['SortPlainBytes']:9.3f} ms"
      f"   ratio {ratio:5.2f}   target <= 1.50: {'met' if ratio <= 1.5 else 'NOT met'}")
print(f"{'page filling':<14} {times['FillPage']:9.3f} ms for the template and one row")
'
echo "== wine64"
for preset in win64 win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
done
export WINEPREFIX
WINEPREFIX=$(tools/wine-prefix.sh build/win64)
export WINEDEBUG=-all
/usr/lib/wine/wineserver -k 2>/dev/null || true
xvfb-run -a -s "-screen 0 1280x1024x24" /usr/lib/wine/wine64 build/win64/app/win32/runlens_bench.exe
/usr/lib/wine/wineserver -k 2>/dev/null || true
i686-w64-mingw32-strip -o build/win32/runlens-stripped.exe build/win32/app/win32/runlens.exe
size=$(stat -c %s build/win32/runlens-stripped.exe)
printf '%-14s stripped i686 runlens.exe: %d bytes (%.2f MiB, target <= 1 MiB: %s)\n' footprint \
  "$size" "$(echo "$size / 1048576" | bc -l)" "$([ "$size" -le 1048576 ] && echo met || echo 'NOT met')"
