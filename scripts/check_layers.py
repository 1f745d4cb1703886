#!/usr/bin/python3
"""Fails when a source file includes a header of a layer above its own.

The layers, from the bottom: storage, platform, report, then matter, schedules and printing side
by side, then app. A layer may include its own headers and those of the layers below it. The
tools sit on the layers they serve (dbftool on storage, rpftool on report). Only the sources
under src/ are checked: tests may put layers together as the program does.

usage: check_layers.py [ROOT]    (ROOT defaults to the checkout holding this script)
"""
import os
import re
import sys

RANK = {
    "storage": 0,
    "platform": 1,
    "report": 2,
    "matter": 3,
    "schedules": 3,
    "printing": 3,
    "app": 4,
}
# Folders that are not layers themselves, with the rank of the layer they stand on.
TOOL_RANK = {
    "tools/dbftool": RANK["storage"],
    "tools/rpftool": RANK["report"],
}
SOURCE = re.compile(r"\.(h|hpp|cpp|cc)$")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([A-Za-z_]+)/')


def rank_of(relative):
    """The rank of a file under src/, or None for files outside the layers."""
    parts = relative.split("/")
    if len(parts) < 3 or parts[0] != "src":
        return None
    folder = "/".join(parts[1:3])
    if folder in TOOL_RANK:
        return TOOL_RANK[folder]
    return RANK.get(parts[1])


def violations(root):
    found = []
    for top in ("src",):
        for directory, _, files in os.walk(os.path.join(root, top)):
            for name in sorted(files):
                if not SOURCE.search(name):
                    continue
                path = os.path.join(directory, name)
                relative = os.path.relpath(path, root).replace(os.sep, "/")
                own = rank_of(relative)
                if own is None:
                    continue
                with open(path, encoding="utf-8", errors="replace") as source:
                    for number, line in enumerate(source, 1):
                        match = INCLUDE.match(line)
                        if not match or match.group(1) not in RANK:
                            continue
                        if RANK[match.group(1)] > own:
                            found.append("%s:%d: includes %s, a layer above its own: %s" %
                                         (relative, number, match.group(1), line.strip()))
    return found


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(
        os.path.dirname(os.path.abspath(__file__)))
    found = violations(root)
    for line in found:
        print(line)
    if found:
        print("Layer check: %d includes of a layer above" % len(found))
        return 1
    print("Layer check: every include stays within its layer or below")
    return 0


if __name__ == "__main__":
    sys.exit(main())
