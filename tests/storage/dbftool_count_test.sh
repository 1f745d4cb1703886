#!/usr/bin/env bash
# dbftool count: the filter routine passes exact matches, letter case counting, deleted records
# included; a missing field or file fails with a message.
set -euo pipefail
dbftool=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
"$dbftool" create E.dbf "matter,C,50,0" "etype,C,25,0" >/dev/null
for row in "Smith v. Smith|(a) Housing" "Smith v. Smith|(b) Utilities" "smith v. smith|(a) Housing" "Jones|(a) Housing"; do
  "$dbftool" append E.dbf "matter=${row%%|*}" "etype=${row##*|}" >/dev/null
done
[ "$("$dbftool" count E.dbf --where "matter=Smith v. Smith")" = 2 ]
[ "$("$dbftool" count E.dbf --where "matter=Smith v. Smith" --where "etype=(a) Housing")" = 1 ]
[ "$("$dbftool" count E.dbf --where "MATTER=Nobody")" = 0 ]
if "$dbftool" count E.dbf --where "nofield=1" 2>err; then exit 1; fi
grep -q "nofield" err
if "$dbftool" count missing.dbf --where "a=b" 2>err; then exit 1; fi
grep -q "File not found" err
echo "dbftool count: all checks passed"
