#!/usr/bin/env bash
# Builds the whole program for 64-bit Windows (scripts/windows-build.sh, with Qt for Windows from
# its cache or built first) and tests it under Wine against the Linux build in LINUX_BUILD_DIR:
# the whole test suite of the Windows build on the offscreen platform (the Linux dbftool reads and
# writes its tables); the statement that networth.exe prints against the Linux program's; and a
# Windows and a Linux workstation sharing one data directory; and the installer, installed
# silently into a fresh prefix, started on Xvfb and uninstalled. Fails on any compiler warning of
# the Windows build.
# Usage: scripts/windows_program_test.sh LINUX_BUILD_DIR [WINDOWS_BUILD_DIR]   (default build-win)
set -euo pipefail
cd "$(dirname "$0")/.."
linux="$PWD/${1:?usage: scripts/windows_program_test.sh LINUX_BUILD_DIR [WINDOWS_BUILD_DIR]}"
win=${2:-build-win}
[ -x "$linux/bin/dbftool" ] && [ -x "$linux/bin/networth" ] ||
  { echo "no Linux build in $linux"; exit 1; }

# One Wine prefix for the whole run, started before the build so that the programs the build runs
# under Wine (the manual's writer) share it: its first start takes a while, later programs start
# fast while its server stays up.
WINEPREFIX=$(mktemp -d /tmp/networth-wine.XXXXXX)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
installer_dir=$(mktemp -d /tmp/networth-setup.XXXXXX)
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX" "$installer_dir"' EXIT
/usr/lib/wine/wineserver -p
/usr/lib/wine/wine64 cmd /c exit >/dev/null 2>&1 || true

scripts/windows-build.sh "$win" -DNETWORTH_HOST_DBFTOOL="$linux/bin/dbftool"

echo "-- The test suite of the Windows build under Wine"
ctest --test-dir "$win" --output-on-failure -j "$(nproc)"

echo "-- The statement printed under Wine against the Linux one; two workstations on one directory"
/usr/bin/python3 tests/windows/cross_print.py "$linux" "$win"
/usr/bin/python3 tests/windows/shared_workstations.py "$linux" "$win"

echo "-- The installer, installed into a fresh prefix"
scripts/windows-installer.sh "$installer_dir" "$win"
tests/windows/installer_test.sh "$installer_dir"/QuillmarkNetWorth-*-Setup.exe "$linux"
