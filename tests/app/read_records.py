"""Prints the records of one table file as JSON, read by dbfread (an independent dBASE reader).

Usage: read_records.py <table file>
Output: {"live": [record, ...], "deleted": [record, ...]} in record order; in each record only
the fields that hold something (blank text and numbers, empty memos left out).
"""
import json
import sys

from dbfread import DBF


def shown(record):
    return {key: value for key, value in sorted(record.items()) if value not in (None, "")}


table = DBF(sys.argv[1], encoding="cp437", lowernames=True, char_decode_errors="strict")
json.dump({"live": [shown(r) for r in table], "deleted": [shown(r) for r in table.deleted]},
          sys.stdout, default=str)
