#!/usr/bin/env python3
"""Reads the host benchmark's report on standard input (its own sort line, then Google
Benchmark's aggregates) and prints its figures the way tools/bench.sh prints the others: each
with its bare counterpart, the ratio and the target."""
import re
import sys

SCALE = {"ns": 1e-6, "us": 1e-3, "ms": 1.0}


def medians(lines):
    times = {}
    for line in lines:
        match = re.match(r"(\w+)_median\s+([\d.]+) (\w+)", line)
        if match:
            times[match.group(1)] = float(match.group(2)) * SCALE[match.group(3)]
    return times


def main():
    lines = sys.stdin.readlines()
    times = medians(lines)
    sort = next(re.match(r"sort-rounds (\d+) program ([\d.]+) ms bare ([\d.]+) ms ratio ([\d.]+)",
                         line) for line in lines if line.startswith("sort-rounds"))
    program, bare, ratio = (float(sort.group(i)) for i in (2, 3, 4))
    verdict = "met" if ratio <= 1.5 else "NOT met"
    print(f"{'sort (host)':<14} program {program:9.3f} ms   bare {bare:9.3f} ms"
          f"   ratio {ratio:5.2f}   target <= 1.50: {verdict}"
          f"   (median of {sort.group(1)} rounds' ratios)")
    print(f"{'page filling':<14} {times['FillPage']:9.3f} ms for the template and one row")


if __name__ == "__main__":
    main()
