#!/bin/sh
# dbftool's index commands on a table of ours, and `keys` on the table and index written by
# dBASE IV (skipped with status 77 when the shared fixtures are absent).
# Usage: index_dbftool.sh DBFTOOL WORK_DIR SHARED_DIR
set -eu
tool=$1
dir=$2
sample=$3/fixtures/dbase-iv-sample/TEST.DBF
rm -rf "$dir" && mkdir -p "$dir"
t=$dir/General.dbf
"$tool" create "$t" --tag "MYKEY,F,T,matter" --tag "RAW,T,F,recno()" "matter,C,50,0" "amt,N,12,2"
for m in "Smith v. Smith" "Jones" "Émile" "Jones"; do "$tool" append "$t" "matter=$m" amt=1 >/dev/null; done
test "$("$tool" keys "$t")" = "$(printf 'Jones\t2\nSmith v. Smith\t1\nÉmile\t3')"
test "$("$tool" keys "$t" --tag raw)" = "$(printf '4\t4\n3\t3\n2\t2\n1\t1')"
test "$("$tool" seek "$t" "Smith v. Smith")" = 1
test "$("$tool" seek "$t" 3 --tag RAW)" = 3
status=0; "$tool" seek "$t" "Smith" || status=$?
test $status -eq 1
# The second live Jones is missing from the unique tag; once it is deleted (its flag at header 97
# + 3 records of 63 bytes) the tag misses nothing.
status=0; "$tool" check "$t" >"$dir/check.out" || status=$?
test $status -eq 1
grep -q 'tag MYKEY: records 2 and 4 are both live with the key "Jones"' "$dir/check.out"
printf '*' | dd of="$t" bs=1 seek=286 conv=notrunc 2>/dev/null
"$tool" check "$t" >/dev/null
# A damaged leaf is reported by check and repaired by reindex.
printf 'zz' | dd of="$dir/General.MDX" bs=1 seek=3084 conv=notrunc 2>/dev/null
status=0; "$tool" check "$t" >/dev/null || status=$?
test $status -ne 0
"$tool" reindex "$t" 2>/dev/null
"$tool" check "$t" >/dev/null
# Two children of the root that share a leaf: keys and seek report the damage instead of walking
# the shared subtree (which, repeated on every level, would never end).
d=$dir/Dag.dbf
"$tool" create "$d" --tag "NAME,F,F,name" "name,C,50,0" 2>/dev/null
i=10; while [ $i -lt 50 ]; do "$tool" append "$d" "name=k$i" >/dev/null; i=$((i + 1)); done
u32() { echo $(($(od -An -tu4 -j"$2" -N4 "$1"))); }
root=$(u32 "$dir/Dag.MDX" $(($(u32 "$dir/Dag.MDX" 544) * 512)))
test "$(u32 "$dir/Dag.MDX" $((root * 512)))" -ge 2
dd if="$dir/Dag.MDX" of="$dir/Dag.MDX" bs=1 skip=$((root * 512 + 8)) seek=$((root * 512 + 64)) \
   count=4 conv=notrunc 2>/dev/null
status=0; "$tool" keys "$d" >/dev/null 2>"$dir/keys.err" || status=$?
test $status -eq 2
grep -q "Error # 222" "$dir/keys.err"
status=0; "$tool" seek "$d" k49 >/dev/null 2>"$dir/seek.err" || status=$?
test $status -eq 2
grep -q "Error # 222" "$dir/seek.err"
if [ ! -f "$sample" ]; then echo "no dBASE sample"; exit 77; fi
test "$("$tool" keys "$sample" --tag TEST1)" = "$(printf '0test3\t3\ntest1\t1\ntest2\t2')"
test "$("$tool" keys "$sample" --tag test2)" = "$(printf '10\t1\n15\t3\n20\t2')"
