#!/usr/bin/python3
"""Fails when a source file includes a header of a layer above its own, or when a layer that is
plain C++ (storage, guidelines, catalog, dbftool) includes a Qt header.

The layers, from the bottom: storage and guidelines (the guideline amounts) side by side, catalog
(the table definitions, without Qt), platform, report, then matter, schedules and printing side
by side, then app. A layer may include its own headers and those of the layers below it. The
tools sit on the layers they serve (dbftool on storage, rpftool on report). Only the sources
under src/ are checked: tests may put layers together as the program does. A layer that stands
alone (guidelines) includes no other layer at all.

usage: check_layers.py [ROOT]    (ROOT defaults to the checkout holding this script)
"""
import os
import re
import sys

RANK = {
    "storage": 0,
    "guidelines": 0,
    "catalog": 1,
    "platform": 2,
    "report": 3,
    "matter": 4,
    "schedules": 4,
    "printing": 4,
    "app": 5,
}
# Folders that are not layers themselves, with the rank of the layer they stand on.
TOOL_RANK = {
    "tools/dbftool": RANK["storage"],
    "tools/rpftool": RANK["report"],
}
# Folders whose sources must build without Qt.
WITHOUT_QT = ("storage", "guidelines", "catalog", "tools/dbftool")
# Layers that include only their own headers and the standard library.
STANDALONE = ("guidelines",)
SOURCE = re.compile(r"\.(h|hpp|cpp|cc)$")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([A-Za-z_]+)/')
QT_INCLUDE = re.compile(r'^\s*#\s*include\s*<Q[A-Za-z]*[>/]')


def rank_of(relative):
    """The rank of a file under src/, or None for files outside the layers."""
    parts = relative.split("/")
    if len(parts) < 3 or parts[0] != "src":
        return None
    folder = "/".join(parts[1:3])
    if folder in TOOL_RANK:
        return TOOL_RANK[folder]
    return RANK.get(parts[1])


def without_qt(relative):
    return any(relative.startswith("src/%s/" % folder) for folder in WITHOUT_QT)


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
                plain = without_qt(relative)
                layer = relative.split("/")[1]
                with open(path, encoding="utf-8", errors="replace") as source:
                    for number, line in enumerate(source, 1):
                        if plain and QT_INCLUDE.match(line):
                            found.append("%s:%d: includes a Qt header in a layer without Qt: %s" %
                                         (relative, number, line.strip()))
                            continue
                        match = INCLUDE.match(line)
                        if not match or match.group(1) not in RANK:
                            continue
                        if layer in STANDALONE and match.group(1) != layer:
                            found.append("%s:%d: includes %s, but %s stands alone: %s" %
                                         (relative, number, match.group(1), layer, line.strip()))
                        elif RANK[match.group(1)] > own:
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
        print("Layer check: %d includes of a layer above or of Qt" % len(found))
        return 1
    print("Layer check: every include stays within its layer or below")
    return 0


if __name__ == "__main__":
    sys.exit(main())
