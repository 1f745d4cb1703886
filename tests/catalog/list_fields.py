"""Prints the record layout of every table file in a directory, read by dbfread.

Usage: list_fields.py <directory>
Output: one line per file, in name order (case-blind):
<file>: NAME TYPE WIDTH DECIMALS, NAME TYPE WIDTH DECIMALS, ...
"""
import os
import sys

from dbfread import DBF

directory = sys.argv[1]
for name in sorted(os.listdir(directory), key=str.lower):
    if not name.lower().endswith(".dbf"):
        continue
    table = DBF(os.path.join(directory, name), encoding="cp437", load=False)
    fields = ", ".join(
        "%s %s %d %d" % (f.name, f.type, f.length, f.decimal_count) for f in table.fields)
    print("%s: %s" % (name, fields))
