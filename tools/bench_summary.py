#!/usr/bin/env python3
"""Reads the host benchmark's aggregate report on standard input and prints its figures the way
tools/bench.sh prints the others: each with its bare counterpart, the ratio and the target."""
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
    times = medians(sys.stdin)
    program, bare = times["SortCompareRows"], times["SortPlainBytes"]
    ratio = program / bare
    verdict = "met" if ratio <= 1.5 else "NOT met"
    print(f"{'sort (host)':<14} program {program:9.3f} ms   bare {bare:9.3f} ms"
          f"   ratio {ratio:5.2f}   target <= 1.50: {verdict}")
    print(f"{'page filling':<14} {times['FillPage']:9.3f} ms for the template and one row")


if __name__ == "__main__":
    main()
