#!/usr/bin/env bash
# Builds the whole program for 64-bit Windows with MinGW-w64, against Qt for Windows from
# scripts/qt-windows.sh (from its cache, or built first): networth.exe, dbftool.exe, rpftool.exe,
# the report, the manual, the fonts and the DLLs in BUILD_DIR/bin, and the tests. Fails on any
# compiler warning of the Windows build.
# Usage: scripts/windows-build.sh [BUILD_DIR] [CMAKE_OPTION]...   (BUILD_DIR default: build-win)
set -euo pipefail
cd "$(dirname "$0")/.."
win=${1:-build-win}
shift || true
qt=$(scripts/qt-windows.sh)

cmake -S . -B "$win" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNETWORTH_QT_WINDOWS="$qt" -DNETWORTH_BENCH=OFF "$@"
# Programs of the build that run under Wine (the manual's writer) start a prefix of their own
# unless one is given.
cmake --build "$win" -j "$(nproc)" 2>&1 | tee "$win/build.log"
warnings=$(grep -c 'warning:' "$win/build.log" || true)
echo "Windows build: $warnings compiler warnings"
[ "$warnings" -eq 0 ]
