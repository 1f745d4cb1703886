#!/usr/bin/env bash
# Makes the Windows installer QuillmarkNetWorth-<version>-Setup.exe in OUTDIR with NSIS, building
# whatever is missing first: Qt for Windows (from its cache or from source) and the program.
# Usage: scripts/windows-installer.sh OUTDIR [WINDOWS_BUILD_DIR]   (default build-win)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:?usage: scripts/windows-installer.sh OUTDIR [WINDOWS_BUILD_DIR]}
win=${2:-build-win}
scripts/install-deps.sh
scripts/windows-build.sh "$win"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$win/CMakeCache.txt")
[ -n "$version" ] || { echo "no project version in $win/CMakeCache.txt"; exit 1; }

# The installed program's folder, as cmake --install lays it out, without debugging symbols.
work=$(mktemp -d /tmp/networth-installer.XXXXXX)
trap 'rm -rf "$work"' EXIT
stage=$work/stage
cmake --install "$win" --prefix "$stage" --strip >/dev/null

# Never a settings file or data: a settings file holds the absolute path of one machine's data
# directory, and the data belongs to the office.
if [ -e "$stage/tallo.ini" ] || [ -n "$(ls -A "$stage/data3005" 2>/dev/null)" ]; then
  echo "the installed tree holds a settings file or data"; exit 1
fi

# The File lines folder by folder, and the Delete and RMDir lines that undo them (deepest
# first); the data directory is made by the installer itself and never removed.
files=$work/files.nsh
remove=$work/remove.nsh
: >"$files"
: >"$remove"
while IFS= read -r dir; do
  rel=${dir#.}
  rel=${rel#/}
  [ "$rel" = data3005 ] && continue
  win_rel=${rel//\//\\}
  echo "SetOutPath \"\$INSTDIR${win_rel:+\\$win_rel}\"" >>"$files"
  while IFS= read -r f; do
    echo "File \"$stage/${rel:+$rel/}$f\"" >>"$files"
    echo "Delete \"\$INSTDIR\\${win_rel:+$win_rel\\}$f\"" >>"$remove"
  done < <(cd "$stage/$dir" && find . -maxdepth 1 -type f -printf '%f\n' | sort)
done < <(cd "$stage" && find . -type d | sort)
while IFS= read -r dir; do
  [ "$dir" = data3005 ] && continue
  echo "RMDir \"\$INSTDIR\\${dir//\//\\}\"" >>"$remove"
done < <(cd "$stage" && find . -mindepth 1 -type d -printf '%P\n' | sort -r)

mkdir -p "$out"
setup=$(cd "$out" && pwd)/QuillmarkNetWorth-$version-Setup.exe
makensis -V2 -NOCD \
  -DVERSION="$version" -DSTAGE="$stage" -DFILES="$files" -DREMOVE="$remove" \
  -DICON="$PWD/src/app/networth.ico" -DOUTFILE="$setup" installer/networth.nsi
echo "Installer: $setup"
