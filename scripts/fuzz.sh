#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a share of the given seconds.
# Usage: scripts/fuzz.sh BUILD_DIR TOTAL_SECONDS
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
total=$2
shopt -s nullglob
targets=("$build"/bin/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets"
  exit 0
fi
each=$(( total / ${#targets[@]} ))
[ "$each" -lt 5 ] && each=5
for target in "${targets[@]}"; do
  name=$(basename "$target")
  corpus="$build/corpus/$name"
  log="$build/$name.log"
  mkdir -p "$corpus"
  dirs=("$corpus")
  [ -d "fuzz/corpus/${name#fuzz_}" ] && dirs+=("fuzz/corpus/${name#fuzz_}")
  echo "-- $name for ${each}s"
  if ! "$target" -max_total_time="$each" -rss_limit_mb=2048 -timeout=10 "${dirs[@]}" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "$name found a fault"
    exit 1
  fi
  tail -n 1 "$log"
done
echo "fuzz targets: ${#targets[@]} run, no fault found"
