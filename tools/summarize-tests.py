#!/usr/bin/env python3
"""Adds up the GoogleTest XML reports in a folder and prints one closing line."""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

passed = failed = skipped = 0
# The reports of the i686 build (under 32-bit Wine in the emulated 32-bit machine), counted apart
# too.
counts32 = [0, 0, 0]
for report in sorted(Path(sys.argv[1]).glob("*.xml")):
    before = (passed, failed, skipped)
    for case in ET.parse(report).iter("testcase"):
        # Figures a test records about itself.
        figures = {p.get("name"): p.get("value") for p in case.iter("property")}
        if figures:
            listed = ", ".join(f"{k} {v}" for k, v in figures.items())
            print(f"{report.stem}: {case.get('classname')}.{case.get('name')}: {listed}")
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
        elif case.get("result") == "skipped" or case.find("skipped") is not None:
            skipped += 1
        elif case.get("status", "run") == "run":
            passed += 1
    if report.stem.startswith("wine32"):
        for i, now in enumerate((passed, failed, skipped)):
            counts32[i] += now - before[i]
if any(counts32):
    print(f"i686 (32-bit Wine): {counts32[0]} passed, {counts32[1]} failed, {counts32[2]} skipped")
print(f"total: {passed} passed, {failed} failed, {skipped} skipped")
sys.exit(1 if failed or passed == 0 else 0)
