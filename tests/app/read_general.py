"""Prints a General.dbf as JSON, read by dbfread (an independent dBASE reader).

Usage: read_general.py <table file>
Output: {"fields": [[name, type, width, decimals], ...], "records": [{field: value}, ...]}
with deleted records left out, character fields without trailing blanks, dates as YYYY-MM-DD
and memo fields as stored (line breaks included).
"""
import json
import sys

from dbfread import DBF

table = DBF(sys.argv[1], encoding="cp437", lowernames=True, char_decode_errors="strict")
result = {
    "fields": [[f.name.lower(), f.type, f.length, f.decimal_count] for f in table.fields],
    "records": [],
}
for record in table:
    result["records"].append(
        {name: (value.isoformat() if hasattr(value, "isoformat") else value)
         for name, value in record.items()})
json.dump(result, sys.stdout)
