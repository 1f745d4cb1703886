"""dbftool count --where matter=... on a table whose production index has a tag on `matter`:
the counts stay exact (deleted records included, letter case counting) when programs that do not
keep the index write between two counts, when the index is missing or damaged, and while eight
processes append and others read.

usage: matter_lookup_test.py DBFTOOL CASE
  CASE: foreign-writers | damaged-index | many-processes

Expected numbers are written out in each case and also recomputed from the file with dbfread.
"""
import os
import struct
import subprocess
import sys
import tempfile
import threading
import time

import dbf
import dbfread

TAG = "MATTER,F,F,matter"
FIELDS = ["matter,C,50,0", "etype,C,25,0", "amt,N,12,2"]
SMITH = "Smith v. Smith"

DBFTOOL = ""
failures = []


def fail(text):
    failures.append(text)
    print("FAIL", text, flush=True)


def tool(*args):
    return subprocess.run([DBFTOOL] + list(args), capture_output=True, text=True)


def tool_ok(*args):
    done = tool(*args)
    if done.returncode != 0:
        raise AssertionError("dbftool %s: status %d: %s%s" %
                             (" ".join(args), done.returncode, done.stdout, done.stderr))
    return done.stdout


def create(path):
    tool_ok("create", path, "--tag", TAG, *FIELDS)


def append(path, matter, etype, amt):
    tool_ok("append", path, "matter=" + matter, "etype=" + etype, "amt=%d" % amt)


def records(path):
    """Every record as (recno, deleted, matter, etype, amt): the fields as dbfread reads them
    (without trailing blanks), live and deleted ones merged in file order by their flag bytes."""
    table = dbfread.DBF(path, encoding="cp437", char_decode_errors="strict", load=True)
    live, deleted = iter(table.records), iter(table.deleted)
    with open(path, "rb") as f:
        header_length, record_length = header_layout(f)
        f.seek(header_length)
        flags = f.read()[::record_length][:len(table.records) + len(table.deleted)]
    rows = []
    for recno, flag in enumerate(flags, 1):
        record = next(deleted if flag == ord("*") else live)
        rows.append((recno, flag == ord("*"), record["MATTER"], record["ETYPE"], record["AMT"]))
    return rows


def independent_count(rows, conditions):
    names = {"matter": 2, "etype": 3}
    return sum(1 for row in rows
               if all(row[names[field.lower()]] == value for field, value in conditions))


def count(path, *conditions):
    args = ["count", path]
    for field, value in conditions:
        args += ["--where", "%s=%s" % (field, value)]
    done = tool(*args)
    if done.returncode != 0:
        return "status %d: %s" % (done.returncode, done.stderr.strip())
    return int(done.stdout)


def check_count(where, path, conditions, want):
    """dbftool count against `want` (written out in the test) and against dbfread's count."""
    rows = records(path)
    independent = independent_count(rows, conditions)
    if independent != want:
        fail("%s: dbfread counts %d for %r, the test expects %d" %
             (where, independent, conditions, want))
    got = count(path, *conditions)
    if got == want:
        return
    fail("%s: dbftool count %r gave %r, want %d" % (where, conditions, got, want))


def check_counts(where, path, wants):
    for conditions, want in wants:
        check_count(where, path, conditions, want)


def check_sound(where, path):
    done = tool("check", path)
    lines = done.stdout.splitlines()
    if done.returncode == 0 and lines and lines[-1].endswith(": OK"):
        return
    fail("%s: dbftool check: status %d: %s%s" % (where, done.returncode, done.stdout, done.stderr))


def check_damaged(where, path):
    """The damage made is damage that dbftool check sees (and leaves for others to repair)."""
    done = tool("check", path)
    if done.returncode == 0:
        fail("%s: dbftool check finds nothing: %s" % (where, done.stdout))


# ---- raw writes, as a simple program that knows nothing of indexes makes them


def header_layout(f):
    f.seek(8)
    return struct.unpack("<HH", f.read(4))


def raw_record(matter, etype, amt, flag=b" "):
    return (flag + matter.encode("cp437").ljust(50) + etype.encode("cp437").ljust(25) +
            ("%.2f" % amt).encode("ascii").rjust(12))


def raw_append(path, rows):
    with open(path, "r+b") as f:
        header_length, record_length = header_layout(f)
        f.seek(4)
        (n,) = struct.unpack("<I", f.read(4))
        f.seek(header_length + n * record_length)  # over the end-of-file byte
        for row in rows:
            f.write(raw_record(*row))
        f.write(b"\x1a")
        f.seek(4)
        f.write(struct.pack("<I", n + len(rows)))


def raw_set_matter(f, recno, matter):
    header_length, record_length = header_layout(f)
    f.seek(header_length + (recno - 1) * record_length + 1)
    f.write(matter.encode("cp437").ljust(50))


def raw_set_flag(path, recno, flag):
    with open(path, "r+b") as f:
        header_length, record_length = header_layout(f)
        f.seek(header_length + (recno - 1) * record_length)
        f.write(flag)


# ---- the cases

# Interleaved as a busy office enters them: the same matter in other letter case, a longer matter
# that begins with the same text, a blank matter, one given with trailing blanks (stored as the
# same matter) and one with a leading blank (another matter).
FIRST_ROWS = [
    (SMITH, "(a) Housing"),
    ("Jones", "(a) Housing"),
    ("smith v. smith", "(a) Housing"),
    ("Smith v. Smithson", "(b) Utilities"),
    (SMITH, "(b) Utilities"),
    ("", "(a) Housing"),
    (SMITH + "   ", "(c) Food"),
    (" " + SMITH, "(a) Housing"),
    ("Jones", "(b) Utilities"),
    ("smith v. smith", "(b) Utilities"),
    (SMITH, "(a) Housing"),
    ("Smith v. Smithson", "(a) Housing"),
]


def first_counts(smith, smith_lower, smithson, jones, blank, housing, leading=1):
    return [
        ((("matter", SMITH),), smith),
        ((("MATTER", SMITH),), smith),
        ((("matter", "smith v. smith"),), smith_lower),
        ((("matter", "Smith v. Smithson"),), smithson),
        ((("matter", "Jones"),), jones),
        ((("matter", ""),), blank),
        ((("matter", " " + SMITH),), leading),
        ((("matter", "Smith"),), 0),
        # the filter compares the field without its trailing blanks with the value as given
        ((("matter", SMITH + " "),), 0),
        ((("matter", SMITH), ("etype", "(a) Housing")), housing),
    ]


# a field no tag covers
HOUSING = (("etype", "(a) Housing"),)


def fill(path, rows, first_amt):
    create(path)
    for i, (matter, etype) in enumerate(rows):
        append(path, matter, etype, first_amt + i)


def foreign_writers(directory):
    path = os.path.join(directory, "E.dbf")
    fill(path, FIRST_ROWS, 1)
    check_counts("dbftool appends", path, first_counts(4, 2, 2, 2, 1, 2))
    check_count("dbftool appends", path, HOUSING, 7)

    # (a) python-dbf appends, leaving the index as it was
    table = dbf.Table(path, codepage="cp437")
    table.open(dbf.READ_WRITE)
    for row in [(SMITH, "(d) Clothing", 13), ("Jones", "(a) Housing", 14),
                ("Smith v. Smithson", "(c) Food", 15)]:
        table.append(row)
    table.close()
    with open(path, "rb") as f:
        if f.read(29)[28] != 1:
            fail("python-dbf cleared the production index flag")
    check_counts("python-dbf appends", path, first_counts(5, 2, 3, 3, 1, 2))

    # (b) a raw append: the records over the end-of-file byte, the header's count
    raw_append(path, [(SMITH, "(a) Housing", 16), ("smith v. smith", "(a) Housing", 17)])
    check_counts("raw appends", path, first_counts(6, 3, 3, 3, 1, 3))
    check_count("raw appends", path, HOUSING, 10)

    # (c) right after our append (in the same second, the file's size unchanged), records
    # rewritten in place: two into the matter (the one just appended among them), one out
    second = wait_for_fresh_second()
    append(path, "Jones", "(b) Utilities", 18)
    size = os.path.getsize(path)
    with open(path, "r+b") as f:
        raw_set_matter(f, 18, SMITH)
        raw_set_matter(f, 6, SMITH)
        raw_set_matter(f, 5, "smith v. smith")
    if os.path.getsize(path) != size:
        fail("a rewrite in place changed the file's size")
    if int(os.stat(path).st_mtime) != second:
        print("note: the rewrite in place ended after the second of the append", flush=True)
    check_counts("rewrites in place", path, first_counts(7, 4, 3, 3, 0, 4))

    # (d) a record deleted by its flag byte alone: still counted
    raw_set_flag(path, 1, b"*")
    check_counts("raw delete", path, first_counts(7, 4, 3, 3, 0, 4))
    if not records(path)[0][1]:
        fail("record 1 should read as deleted")

    # our append after all of them, then the table and its index are sound
    append(path, SMITH, "(a) Housing", 19)
    check_counts("dbftool append after foreign writes", path, first_counts(8, 4, 3, 3, 0, 5))
    check_sound("after foreign writes", path)
    check_counts("after check", path, first_counts(8, 4, 3, 3, 0, 5))
    other_readers(path, total=19, smith=8)

    # and a foreign append once more, after what our append and check made of the index
    raw_append(path, [(SMITH, "(a) Housing", 20)])
    check_counts("raw append after check", path, first_counts(9, 4, 3, 3, 0, 6))

    # (e) on a sound index, python-dbf packs the table (the records after the deleted ones move
    # up) and a raw append brings its size back: every record number the index holds is valid
    tool_ok("reindex", path)
    check_sound("reindexed", path)
    size = os.path.getsize(path)
    raw_set_flag(path, 2, b"*")
    raw_set_flag(path, 3, b"*")
    table = dbf.Table(path, codepage="cp437")
    table.open(dbf.READ_WRITE)
    table.pack()
    table.close()
    if len(records(path)) != 17:
        fail("python-dbf's pack left %d records, want 17" % len(records(path)))
    raw_append(path, [(SMITH, "(b) Utilities", 21), ("Jones", "(c) Food", 22),
                      ("smith v. smith", "(c) Food", 23)])
    if os.path.getsize(path) != size:
        fail("the pack and the append were meant to leave the size as it was")
    check_counts("packed and appended", path, first_counts(9, 4, 3, 3, 0, 5))
    append(path, SMITH, "(a) Housing", 24)
    check_counts("dbftool append after the pack", path, first_counts(10, 4, 3, 3, 0, 6))
    check_count("dbftool append after the pack", path, HOUSING, 10)
    check_sound("after the pack", path)


def wait_for_fresh_second():
    """Sleeps until early in a second, so that the next few writes share it; that second."""
    now = time.time()
    if now % 1 > 0.4:
        time.sleep(1 - now % 1 + 0.01)
    return int(time.time())


def other_readers(path, total, smith):
    rows = records(path)
    if len(rows) != total:
        fail("dbfread reads %d records, want %d" % (len(rows), total))
    table = dbf.Table(path, codepage="cp437")
    table.open(dbf.READ_ONLY)
    try:
        got = (len(table), sum(1 for r in table if r.matter.rstrip() == SMITH))
    finally:
        table.close()
    if got != (total, smith):
        fail("python-dbf reads %r records/%s records, want %r" % (got, SMITH, (total, smith)))
    perl = subprocess.run(["perl", "-MXBase", "-e", """
        my $t = XBase->new($ARGV[0]) or die XBase->errstr;
        my ($n, $m) = ($t->last_record + 1, 0);
        for my $i (0 .. $t->last_record) {
            my ($deleted, $matter) = $t->get_record($i, "MATTER");
            $matter =~ s/ +$//;
            $m++ if $matter eq $ARGV[1];
        }
        print "$n $m\\n";
    """, path, SMITH], capture_output=True, text=True)
    if perl.returncode != 0 or perl.stdout.split() != [str(total), str(smith)]:
        fail("Perl XBase reads %r %r, want %d %d" % (perl.stdout, perl.stderr, total, smith))


def damaged_index(directory):
    path = os.path.join(directory, "D.dbf")
    mdx = os.path.join(directory, "D.MDX")
    fill(path, FIRST_ROWS * 3, 1)
    wants = first_counts(12, 6, 6, 6, 3, 6, 3)
    check_counts("filled", path, wants)
    with open(mdx, "rb") as f:
        saved = f.read()

    # missing: every record is read; appends meanwhile go into no index
    os.remove(mdx)
    check_counts("index deleted", path, wants)
    append(path, SMITH, "(a) Housing", 37)
    append(path, "Jones", "(a) Housing", 38)
    wants = first_counts(13, 6, 6, 7, 3, 7, 3)
    check_counts("appended without index", path, wants)
    # an old copy put back, as a restore of a backup does: it lacks the last two records
    with open(mdx, "wb") as f:
        f.write(saved)
    check_counts("stale index put back", path, wants)
    append(path, SMITH, "(b) Utilities", 39)
    wants = first_counts(14, 6, 6, 7, 3, 7, 3)
    check_counts("appended to the stale index", path, wants)
    check_sound("appended to the stale index", path)
    tool_ok("reindex", path)
    check_sound("reindexed", path)

    # the root's first key overwritten
    with open(mdx, "r+b") as f:
        f.seek(tree_root(mdx) * 512 + 12)
        f.write(b"\xff" * 20)
    check_damaged("root overwritten", path)
    check_counts("root overwritten", path, wants)
    append(path, SMITH, "(c) Food", 40)
    wants = first_counts(15, 6, 6, 7, 3, 7, 3)
    check_counts("appended to the overwritten root", path, wants)
    check_sound("appended to the overwritten root", path)

    # a key of the matter in the middle of the file overwritten: a lookup of the matter meets it
    with open(mdx, "rb") as f:
        data = f.read()
    key = SMITH.encode("cp437").ljust(50)
    offsets = [i for i in range(len(data)) if data.startswith(key, i)]
    middle = min(offsets, key=lambda i: abs(i - len(data) // 2))
    with open(mdx, "r+b") as f:
        f.seek(middle + 4)
        f.write(b"\xff" * 8)
    check_damaged("key overwritten", path)
    check_counts("key overwritten", path, wants)
    append(path, "Jones", "(c) Food", 41)
    wants = first_counts(15, 6, 6, 8, 3, 7, 3)
    check_counts("appended to the overwritten key", path, wants)
    check_sound("appended to the overwritten key", path)

    # cut in the middle of its trees
    with open(mdx, "r+b") as f:
        f.truncate(os.path.getsize(mdx) // 1024 * 512)
    check_damaged("index truncated", path)
    check_counts("index truncated", path, wants)
    append(path, SMITH, "(a) Housing", 42)
    wants = first_counts(16, 6, 6, 8, 3, 8, 3)
    check_counts("appended to the truncated index", path, wants)
    check_sound("appended to the truncated index", path)


def tree_root(mdx):
    """The block number of the MATTER tag's root node (the tag header's first word)."""
    with open(mdx, "rb") as f:
        data = f.read()
    (tag_header,) = struct.unpack_from("<I", data, 544)
    (root,) = struct.unpack_from("<I", data, tag_header * 512)
    if root < 2 or (root + 1) * 512 > len(data):
        raise AssertionError("no root node in %s" % mdx)
    return root


OWN_MATTERS = ["Alpha v. Alpha", "Beta v. Beta", "Gamma v. Gamma", "Delta v. Delta"]
SHARED = "Shared v. Shared"
PER_WRITER = 40


def many_processes(directory):
    path = os.path.join(directory, "M.dbf")
    create(path)
    writers = [(m, 1000 * (i + 1)) for i, m in enumerate(OWN_MATTERS)]
    writers += [(SHARED, 1000 * (i + 5)) for i in range(4)]
    done = threading.Event()
    lock_retries = []

    def write(matter, first_amt):
        for j in range(PER_WRITER):
            args = ["append", path, "matter=" + matter, "etype=(a) Housing",
                    "amt=%d" % (first_amt + j)]
            for attempt in range(20):
                result = tool(*args)
                if result.returncode == 0:
                    break
                # dbftool gives up after about 0.1 s of a held append lock; nothing is written
                if "Cannot lock" not in result.stderr:
                    fail("append %s: status %d: %s" % (matter, result.returncode, result.stderr))
                    return
                lock_retries.append(matter)
            else:
                fail("append %s: the append lock could not be had in 20 runs" % matter)
                return

    final_shared = 4 * PER_WRITER
    reads = {"count": 0, "keys": 0, "check": 0}
    listings = []

    def count_loop():
        last = 0
        while not done.is_set():
            got = count(path, ("matter", SHARED))
            reads["count"] += 1
            if not isinstance(got, int):
                fail("count while appending: %s" % got)
                return
            if got > final_shared or got < last:
                fail("count while appending went from %d to %d (at most %d)" %
                     (last, got, final_shared))
                return
            last = got

    def keys_and_check_loop():
        while not done.is_set():
            result = tool("keys", path, "--tag", "MATTER")
            reads["keys"] += 1
            if result.returncode != 0:
                fail("keys while appending: status %d: %s" % (result.returncode, result.stderr))
                return
            listings.append(result.stdout)
            result = tool("check", path)
            reads["check"] += 1
            if result.returncode != 0:
                fail("check while appending: %s" % result.stdout)
                return

    threads = [threading.Thread(target=write, args=w) for w in writers]
    readers = [threading.Thread(target=count_loop) for _ in range(2)]
    readers.append(threading.Thread(target=keys_and_check_loop))
    started = time.monotonic()
    for t in threads + readers:
        t.start()
    for t in threads:
        t.join()
    done.set()
    for t in readers:
        t.join()
    print("%.1f s of appends; reads: %r; append lock retries: %d" %
          (time.monotonic() - started, reads, len(lock_retries)), flush=True)

    rows = records(path)
    amts = sorted(int(round(row[4])) for row in rows)
    want_amts = sorted(first + j for _, first in writers for j in range(PER_WRITER))
    if amts != want_amts:
        fail("the records' amounts differ from those appended: %d records, %d distinct" %
             (len(amts), len(set(amts))))
    wants = [((("matter", m),), PER_WRITER) for m in OWN_MATTERS]
    wants += [((("matter", SHARED),), 160), ((("matter", "shared v. shared"),), 0)]
    check_counts("after the appends", path, wants)
    check_sound("after the appends", path)
    matter_of = {row[0]: row[2] for row in rows}
    shared_before = 0
    for listing in listings:
        shared = check_listing(listing, matter_of)
        if shared < shared_before:
            fail("keys listed %d records of %s after %d" % (shared, SHARED, shared_before))
        shared_before = shared


def check_listing(listing, matter_of):
    """A listing of keys taken while appending: in order, each record once, under its matter.
    Gives how many it lists under SHARED."""
    entries = [line.rsplit("\t", 1) for line in listing.splitlines()]
    keys = [key.encode("cp437") for key, _ in entries]
    recnos = [int(recno) for _, recno in entries]
    if keys != sorted(keys):
        fail("keys listed out of order")
    if len(set(recnos)) != len(recnos):
        fail("a record listed twice by keys")
    for key, recno in zip(keys, recnos):
        if matter_of.get(recno) != key.decode("cp437"):
            fail("keys lists record %d under %r" % (recno, key))
            break
    return keys.count(SHARED.encode("cp437"))


CASES = {
    "foreign-writers": foreign_writers,
    "damaged-index": damaged_index,
    "many-processes": many_processes,
}


def main():
    global DBFTOOL
    DBFTOOL, case = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as directory:
        CASES[case](directory)
    if failures:
        sys.exit(1)
    print("%s: all checks passed" % case)


if __name__ == "__main__":
    main()
