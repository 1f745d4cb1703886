#!/bin/sh
# Perl's XBase::Index reads a tag of 10,000 keys that we built by appending: the same keys in the
# same order with the same record numbers.
# Usage: index_perl_reads.sh INDEX_HELPER WORK_DIR
set -eu
helper=$1
dir=$2
rm -rf "$dir" && mkdir -p "$dir"
"$helper" make "$dir/PERL.dbf" 10000 >"$dir/ours.txt"
perl -MXBase::Index -e '
    my $index = XBase::Index->new($ARGV[0], tag => "BYNAME") or die XBase::Index->errstr;
    $index->prepare_select or die $index->errstr;
    while (my ($key, $recno) = $index->fetch) { $key =~ s/ +$//; print "$key\t$recno\n"; }
' "$dir/PERL.MDX" >"$dir/perl.txt"
test "$(wc -l <"$dir/ours.txt")" -eq 10000
diff "$dir/ours.txt" "$dir/perl.txt"
