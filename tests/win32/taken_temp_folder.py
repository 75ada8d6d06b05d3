#!/usr/bin/env python3
"""Makes a temporary folder in which every name a temporary page could take ("htm", a
hexadecimal number from 1 to FFFF and ".tmp", as Wine forms them) is a link to one file,
victim.txt. A folder left intact by an earlier run is kept. Usage: taken_temp_folder.py FOLDER"""
import os
import shutil
import sys

NAMES = [f"htm{number:x}.tmp" for number in range(1, 0x10000)]

folder = sys.argv[1]
victim = os.path.join(folder, "victim.txt")


def intact():
    try:
        with open(victim) as text:
            if text.read() != "precious":
                return False
        return all(os.readlink(os.path.join(folder, name)) == "victim.txt" for name in NAMES)
    except OSError:
        return False


if not intact():
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    with open(victim, "w") as text:
        text.write("precious")
    for name in NAMES:
        os.symlink("victim.txt", os.path.join(folder, name))
