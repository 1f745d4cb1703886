"""Prints every table file of a directory as JSON, read by dbfread.

Usage: read_tables.py <directory>
Output: {file: [record, ...]} with deleted records left out and, in each record, only the fields
that hold something (blank text, blank numbers and empty memos left out).
"""
import json
import os
import sys

from dbfread import DBF


def shown(value):
    """Whole numbers as integers, dates as YYYY-MM-DD, the rest as read."""
    if isinstance(value, float) and value.is_integer():
        return int(value)
    if hasattr(value, "isoformat"):
        return value.isoformat()
    return value


directory = sys.argv[1]
result = {}
for name in sorted(os.listdir(directory)):
    if not name.lower().endswith(".dbf"):
        continue
    table = DBF(os.path.join(directory, name), encoding="cp437", lowernames=True,
                char_decode_errors="strict")
    records = []
    for record in table:
        records.append({key: shown(value) for key, value in sorted(record.items())
                        if value not in (None, "")})
    result[name] = records
json.dump(result, sys.stdout)
