#!/usr/bin/env python3
"""Makes a temporary folder in which every name a temporary page could take ("htm", a
hexadecimal number from 1 to FFFF and ".tmp", as Wine forms them) is a link to one file,
victim.txt. Usage: taken_temp_folder.py FOLDER"""
import os
import shutil
import sys

folder = sys.argv[1]
shutil.rmtree(folder, ignore_errors=True)
os.makedirs(folder)
with open(os.path.join(folder, "victim.txt"), "w") as victim:
    victim.write("precious")
for number in range(1, 0x10000):
    os.symlink("victim.txt", os.path.join(folder, f"htm{number:x}.tmp"))
