#!/usr/bin/env bash
# Builds the storage layer, dbftool and the storage tests for 64-bit Windows with MinGW-w64, and
# runs those tests under Wine, with dbftool.exe checked against the Linux build's dbftool (a
# table's round trip through both, two Windows processes appending at once). Fails on any
# compiler warning of the Windows build.
# Usage: scripts/windows_test.sh LINUX_BUILD_DIR [WINDOWS_BUILD_DIR]   (dbftool built in the first)
set -euo pipefail
cd "$(dirname "$0")/.."
host_dbftool="$PWD/${1:?usage: scripts/windows_test.sh LINUX_BUILD_DIR [WINDOWS_BUILD_DIR]}/bin/dbftool"
win=${2:-build-win}
wine=/usr/lib/wine/wine64
[ -x "$host_dbftool" ] || { echo "no dbftool at $host_dbftool"; exit 1; }

cmake -S . -B "$win" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNETWORTH_GUI=OFF -DNETWORTH_BENCH=OFF \
  -DNETWORTH_HOST_DBFTOOL="$host_dbftool"
cmake --build "$win" -j "$(nproc)" 2>&1 | tee "$win/build.log"
warnings=$(grep -c 'warning:' "$win/build.log" || true)
echo "Windows build: $warnings compiler warnings"
[ "$warnings" -eq 0 ]

# One Wine prefix for the whole run: its first start takes a while, later programs start fast
# while its server stays up.
WINEPREFIX=$(mktemp -d /tmp/networth-wine.XXXXXX)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
/usr/lib/wine/wineserver -p
"$wine" cmd /c exit >/dev/null 2>&1 || true
ctest --test-dir "$win" --output-on-failure -j "$(nproc)"
