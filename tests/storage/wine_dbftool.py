"""dbftool.exe (the Windows build) under Wine against the Linux dbftool and python3-dbfread.

usage: wine_dbftool.py round-trip|two-writers WINDOWS_DBFTOOL LINUX_DBFTOOL WORKDIR

round-trip: the same table is made by both builds (created with an index tag, appended to with
memos, checked, dumped); the files are the same bytes, each build reads the other's table as its
own, and dbfread reads the Windows build's table.
two-writers: two dbftool.exe processes append to one table at once; every record arrives once,
with its memo and its index entry.

WINE names the loader (default /usr/lib/wine/wine64); WINEPREFIX should name a started prefix.
"""
import datetime
import os
import shutil
import subprocess
import sys
import threading

import dbfread

WINE = os.environ.get("WINE", "/usr/lib/wine/wine64")

FIELDS = ["name,C,20,0", "amount,N,10,2", "born,D,8,0", "ok,L,1,0", "note,M,10,0"]
TAGS = ["NAME,F,F,name", "AMOUNT,F,T,amount"]

LONG_NOTE = "".join("Line %d of a note that spans memo blocks. " % i for i in range(1, 31))
ROWS = [
    ["name=Smith", "amount=1234.5", "born=2004-03-07", "ok=T", "note=first note"],
    ["name=Jones", "amount=-0.25", "born=", "ok=F", "note=" + LONG_NOTE],
    ["name=Adams", "amount=", "born=1999-12-31", "ok=T", "note="],
    # Text beyond ASCII, passed on the command line and stored in code page 437.
    ["name=Müller ½", "amount=7", "born=", "ok=F", "note=Café façade"],
]

failures = []


def check(what, got, want):
    if got != want:
        failures.append("%s:\n  got  %r\n  want %r" % (what, got, want))


class Tool:
    def __init__(self, name, command):
        self.name = name
        self.command = command

    def run(self, directory, *args, expect=0):
        result = subprocess.run(self.command + list(args), cwd=directory, capture_output=True)
        if result.returncode != expect:
            failures.append("%s %s: exit %d, stderr %r" % (self.name, " ".join(args),
                                                          result.returncode, result.stderr))
        # The Windows build writes its console text with CR LF line ends.
        return result.stdout.replace(b"\r\n", b"\n").decode("utf-8")


def make_table(tool, directory):
    os.makedirs(directory)
    args = ["create", "T.dbf"]
    for tag in TAGS:
        args += ["--tag", tag]
    tool.run(directory, *(args + FIELDS))
    for i, row in enumerate(ROWS, 1):
        check(tool.name + " append prints the record number",
              tool.run(directory, "append", "T.dbf", *row), "%d\n" % i)


def read_back(tool, directory):
    """What a build says about the table in directory."""
    return {
        "check": tool.run(directory, "check", "T.dbf"),
        "check dir": tool.run(directory, "check", "."),
        "dump": tool.run(directory, "dump", "T.dbf"),
        "json": tool.run(directory, "dump", "T.dbf", "--json"),
        "keys NAME": tool.run(directory, "keys", "T.dbf", "--tag", "NAME"),
        "keys AMOUNT": tool.run(directory, "keys", "T.dbf", "--tag", "AMOUNT"),
        "count": tool.run(directory, "count", "T.dbf", "--where", "name=Jones"),
    }


def masked(path):
    """The file's bytes with the date of the last update (bytes 1 to 3) blanked."""
    data = bytearray(open(path, "rb").read())
    data[1:4] = b"\0\0\0"
    return bytes(data)


def masked_index(path):
    """An index file's bytes with its dates blanked, and the table file's modification time that
    its coverage record holds (bytes 76 to 83): each run writes the table at its own moment."""
    data = bytearray(masked(path))
    data[76:84] = b"\0" * 8
    return bytes(data)


def round_trip(windows, linux, work):
    win_dir = os.path.join(work, "made-by-windows")
    lin_dir = os.path.join(work, "made-by-linux")
    make_table(windows, win_dir)
    make_table(linux, lin_dir)

    names = lambda d: sorted(n.lower() for n in os.listdir(d))
    check("files made", names(win_dir), ["t.@s@", "t.dbf", "t.dbt", "t.mdx"])
    check("the same files", names(win_dir), names(lin_dir))
    for name in ("T.dbf", "T.dbt"):
        check(name + " byte for byte", masked(os.path.join(win_dir, name)),
              masked(os.path.join(lin_dir, name)))
    # The index file carries its creation date at the same place.
    mdx = [n for n in os.listdir(win_dir) if n.lower() == "t.mdx"][0]
    check("MDX byte for byte", masked_index(os.path.join(win_dir, mdx)),
          masked_index(os.path.join(lin_dir, [n for n in os.listdir(lin_dir)
                                              if n.lower() == "t.mdx"][0])))

    linux_on_linux = read_back(linux, lin_dir)
    check("Linux check", linux_on_linux["check"], "T.dbf: OK\n")
    check("Linux count", linux_on_linux["count"], "1\n")
    check("Linux keys NAME", linux_on_linux["keys NAME"].split("\n")[0].split(), ["Adams", "3"])
    check("Linux dump", linux_on_linux["dump"].split("\n")[4], "0,Müller ½,7,,false,Café façade")
    readings = {
        "Linux reads the Windows table": read_back(linux, win_dir),
        "Windows reads its own table": read_back(windows, win_dir),
        "Windows reads the Linux table": read_back(windows, lin_dir),
    }
    for who, reading in readings.items():
        for what, want in linux_on_linux.items():
            check(who + ": " + what, reading[what], want)

    table = dbfread.DBF(os.path.join(win_dir, "T.dbf"), encoding="cp437", load=True)
    check("dbfread fields", table.field_names, ["NAME", "AMOUNT", "BORN", "OK", "NOTE"])
    check("dbfread records", [dict(r) for r in table.records], [
        {"NAME": "Smith", "AMOUNT": 1234.5, "BORN": datetime.date(2004, 3, 7), "OK": True,
         "NOTE": "first note"},
        {"NAME": "Jones", "AMOUNT": -0.25, "BORN": None, "OK": False, "NOTE": LONG_NOTE},
        {"NAME": "Adams", "AMOUNT": None, "BORN": datetime.date(1999, 12, 31), "OK": True,
         "NOTE": None},
        {"NAME": "Müller ½", "AMOUNT": 7.0, "BORN": None, "OK": False, "NOTE": "Café façade"},
    ])
    check("the name in code page 437", open(os.path.join(win_dir, "T.dbf"), "rb").read().count(
        b"M\x81ller \xab"), 1)


def two_writers(windows, linux, work):
    directory = os.path.join(work, "shared")
    os.makedirs(directory)
    windows.run(directory, "create", "Shared.dbf", "--tag", "NAME,F,F,name",
                "name,C,20,0", "seq,N,4,0", "note,M,10,0")
    each = 20

    def writer(who):
        for seq in range(1, each + 1):
            windows.run(directory, "append", "Shared.dbf", "name=%s-%02d" % (who, seq),
                        "seq=%d" % seq, "note=memo of %s number %d" % (who, seq))

    threads = [threading.Thread(target=writer, args=(who,)) for who in ("A", "B")]
    for t in threads:
        t.start()
    for t in threads:
        t.join()

    table = dbfread.DBF(os.path.join(directory, "Shared.dbf"), encoding="cp437", load=True)
    records = [dict(r) for r in table.records]
    check("records in the table", len(records), 2 * each)
    check("the header counts them all", len(table), 2 * each)
    for who in ("A", "B"):
        mine = [r for r in records if r["NAME"].startswith(who + "-")]
        check(who + "'s records, once each and in order", [r["SEQ"] for r in mine],
              list(range(1, each + 1)))
        for r in mine:
            check(r["NAME"] + " memo", r["NOTE"], "memo of %s number %d" % (who, r["SEQ"]))
    check("Windows check", windows.run(directory, "check", "Shared.dbf"), "Shared.dbf: OK\n")
    check("Linux check", linux.run(directory, "check", "Shared.dbf"), "Shared.dbf: OK\n")
    keys = [line.split()[0] for line in
            linux.run(directory, "keys", "Shared.dbf", "--tag", "NAME").splitlines()]
    check("index entries", keys,
          ["%s-%02d" % (who, seq) for who in ("A", "B") for seq in range(1, each + 1)])


def main():
    mode, windows_tool, linux_tool, work = sys.argv[1:5]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    windows = Tool("dbftool.exe", [WINE, windows_tool])
    linux = Tool("dbftool", [linux_tool])
    {"round-trip": round_trip, "two-writers": two_writers}[mode](windows, linux, work)
    for failure in failures:
        print(failure)
    if failures:
        print("%d failures" % len(failures))
        return 1
    shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
