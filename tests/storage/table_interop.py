"""Tables written by our file layer read by python3-dbfread and python3-dbf, and a table with
memos written by python3-dbf read by ours (dbftool dump --json).

usage: table_interop.py TABLE_HELPER DBFTOOL
"""
import datetime
import json
import os
import subprocess
import sys
import tempfile

import dbf
import dbfread


def long_note():
    return "".join("Line %d: Café façade ½ ñ\r\n" % i for i in range(1, 61))


EXPECTED = [
    # name, amt, cnt, ok, when, note, deleted
    ("Café Müller ñ ½", 1234.5, 42, True, datetime.date(2004, 3, 7), long_note(), False),
    ("Deleted row", -0.5, 0, False, None, "", True),
    ("Plain", None, -17, False, datetime.date(1999, 12, 31),
     "short memo, now longer: " + long_note(), False),
]

failures = []


def check(what, got, want):
    if got != want:
        failures.append("%s: got %r, want %r" % (what, got, want))


def read_ours_with_dbfread(directory):
    for name, memo in (("sample.dbf", True), ("plain.dbf", False)):
        path = os.path.join(directory, name)
        table = dbfread.DBF(path, encoding="cp437", load=True, char_decode_errors="strict")
        rows = [(r, False) for r in table.records] + [(r, True) for r in table.deleted]
        check(name + " dbfread record count", len(rows), 3)
        by_name = {r["NAME"]: (r, deleted) for r, deleted in rows}
        for want in EXPECTED:
            got, deleted = by_name.get(want[0], (None, None))
            if got is None:
                failures.append("%s dbfread: no record %r" % (name, want[0]))
                continue
            where = "%s dbfread %r" % (name, want[0])
            check(where + " AMT", got["AMT"], want[1])
            check(where + " CNT", got["CNT"], want[2])
            check(where + " OK", got["OK"], want[3])
            check(where + " WHEN", got["WHEN"], want[4])
            check(where + " deleted", deleted, want[6])
            if memo:
                # dbfread gives None for a blank memo pointer
                check(where + " NOTE", got["NOTE"] or "", want[5])


def read_ours_with_dbf(directory):
    path = os.path.join(directory, "plain.dbf")
    table = dbf.Table(path, codepage="cp437")
    table.open(dbf.READ_ONLY)
    try:
        check("plain.dbf dbf record count", len(table), 3)
        for record, want in zip(table, EXPECTED):
            where = "plain.dbf dbf %r" % want[0]
            check(where + " NAME", record.name.rstrip(), want[0])
            amount = record.amt
            check(where + " AMT", amount, want[1])
            check(where + " CNT", record.cnt, want[2])
            check(where + " OK", record.ok, want[3])
            when = record.when
            check(where + " WHEN", when if when else None, want[4])
            check(where + " deleted", dbf.is_deleted(record), want[6])
    finally:
        table.close()


def read_dbf_with_ours(directory, dbftool):
    path = os.path.join(directory, "theirs.dbf")
    table = dbf.Table(path, "name C(30); amt N(12,2); cnt N(5,0); ok L; when D; note M",
                      dbf_type="db3", codepage="cp437")
    table.open(dbf.READ_WRITE)
    for want in EXPECTED:
        table.append((want[0], want[1], want[2], want[3], want[4], want[5]))
    for record, want in zip(table, EXPECTED):
        if want[6]:
            dbf.delete(record)
    table.close()
    out = subprocess.run([dbftool, "dump", path, "--json"], check=True, capture_output=True)
    rows = json.loads(out.stdout.decode("utf-8"))
    check("theirs.dbf record count", len(rows), 3)
    for row, want in zip(rows, EXPECTED):
        where = "theirs.dbf ours %r" % want[0]
        check(where + " NAME", row["NAME"], want[0])
        check(where + " AMT", row["AMT"], want[1])
        check(where + " CNT", row["CNT"], want[2])
        check(where + " OK", row["OK"], want[3])
        check(where + " WHEN", row["WHEN"], want[4].isoformat() if want[4] else None)
        check(where + " NOTE", row["NOTE"], want[5])
        check(where + " _deleted", row["_deleted"], want[6])


def main():
    helper, dbftool = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as directory:
        subprocess.run([helper, "write-sample", directory], check=True)
        read_ours_with_dbfread(directory)
        read_ours_with_dbf(directory)
        read_dbf_with_ours(directory, dbftool)
    for failure in failures:
        print("FAIL", failure)
    if failures:
        sys.exit(1)
    print("interoperability: all checks passed")


if __name__ == "__main__":
    main()
