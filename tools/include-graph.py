#!/usr/bin/env python3
"""Draws the folder-level graph of the project's own includes and checks its direction.

Every `#include "..."` line of the files git knows is one edge from the including file's folder
to the included file's folder; edges within a folder are left out. Without options it prints
the edges with their counts; --dot prints a Graphviz DOT file of the same graph (render it with
`dot -Tsvg`); --check prints only the includes that point the wrong way and fails if there are
any.

Usage: tools/include-graph.py [--dot | --check]
"""
import collections
import re
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SOURCES = ("*.cpp", "*.h", "*.in", "*.rc")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)

# The subsystems below the window never reach up into it, and the shared core reaches into no
# subsystem. A rule names top-level folders and covers all of them: win32/, tests/, fuzz/.
FORBIDDEN = {
    "core": ("app", "inventory", "info"),
    "inventory": ("app",),
    "info": ("app",),
}


def includes():
    """(including file, included path), both relative to the project's root."""
    # Tracked files and new ones not yet added, less what .gitignore leaves out.
    command = ["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard", *SOURCES]
    listed = subprocess.run(command, cwd=ROOT, check=True, capture_output=True, text=True).stdout
    for name in filter(None, listed.split("\0")):
        source = Path(name)
        if not (ROOT / source).is_file():
            continue  # deleted, not yet committed
        text = (ROOT / source).read_text(encoding="utf-8", errors="replace")
        for included in INCLUDE.findall(text):
            # Beside the file first, as the compiler looks; otherwise from the project's root,
            # as every include of the project is written (generated headers too).
            beside = source.parent / included
            yield source, beside if (ROOT / beside).is_file() else Path(included)


def top(folder):
    return folder.parts[0] if folder.parts else "."


def main():
    mode = sys.argv[1] if len(sys.argv) > 1 else ""
    if mode not in ("", "--dot", "--check"):
        sys.exit(__doc__.strip().splitlines()[-1])

    edges = collections.Counter()
    wrong = []
    for source, included in includes():
        edges[(source.parent, included.parent)] += 1
        if top(included.parent) in FORBIDDEN.get(top(source.parent), ()):
            wrong.append(f"{source}: includes {included}")
    edges = {edge: count for edge, count in sorted(edges.items()) if edge[0] != edge[1]}

    if mode == "--check":
        for line in wrong:
            print(f"include-graph: {line}")
        if wrong:
            sys.exit("include-graph: includes point against the layering (see FORBIDDEN)")
        print(f"include-graph: {len(edges)} folder edges, none against the layering")
    elif mode == "--dot":
        print("digraph includes {\n  rankdir=BT;\n  node [shape=box];")
        for (source, included), count in edges.items():
            print(f'  "{source}" -> "{included}" [label={count}];')
        print("}")
    else:
        for (source, included), count in edges.items():
            print(f"{source} -> {included} ({count})")


if __name__ == "__main__":
    main()
