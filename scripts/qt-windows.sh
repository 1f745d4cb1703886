#!/usr/bin/env bash
# Qt for 64-bit Windows, cross-built from Debian's source package of the Qt that the Linux build
# uses, with Debian's MinGW-w64 compilers and Debian's own Qt host tools. The result is cached
# under a key made of the source's checksum, the patches and the build options, so a second run
# takes seconds. Prints the installed Qt's folder on standard output; everything else goes to
# standard error.
# Usage: scripts/qt-windows.sh            (cache: $NETWORTH_CACHE, default ~/.cache/networth)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

version=6.4.2
debian_version=6.4.2+dfsg-10
pool=http://deb.debian.org/debian/pool/main/q/qt6-base
dsc=qt6-base_${debian_version}.dsc
orig=qt6-base_${version}+dfsg.orig.tar.xz
# The .dsc names the source tarball's checksum; this pins the .dsc itself.
dsc_sha256=1b4b5c8610a553d4211fa81e268b1a3b0a6339ae5444fdb7e60d7616da651970

patches=("$repo"/scripts/qt-windows/*.patch)

# Shared libraries, release, only what the program uses: Core, Gui, Widgets, PrintSupport, Test
# and the windows and offscreen platform plugins. The bundled zlib, pcre2, libpng, freetype and
# harfbuzz (Debian's MinGW zlib would be found otherwise). DirectWrite is off because its font
# engine is built only together with Direct2D, which is off with the other renderers.
options=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF
  -DFEATURE_direct2d=OFF -DFEATURE_directwrite=OFF
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_icu=OFF -DFEATURE_glib=OFF -DFEATURE_zstd=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
  -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_jpeg=OFF
  -DFEATURE_freetype=ON -DFEATURE_harfbuzz=ON -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
  -DFEATURE_printsupport=ON -DFEATURE_testlib=ON
)

key=$( {
  echo "$dsc_sha256 $version"
  cat "${patches[@]}"
  printf '%s\n' "${options[@]}"
} | sha256sum | cut -c1-16)

cache=${NETWORTH_CACHE:-$HOME/.cache/networth}
prefix=$cache/qt-windows-$version-$key
mkdir -p "$cache"

log() { echo "qt-windows: $*" >&2; }

# One build at a time: a second caller waits and then finds the cached result.
exec 9>"$cache/qt-windows.lock"
flock 9

if [ -f "$prefix/.complete" ]; then
  log "cached in $prefix"
  echo "$prefix"
  exit 0
fi

work=$(mktemp -d "$cache/qt-windows-build.XXXXXX")
trap 'rm -rf "$work"' EXIT

downloads=$cache/downloads
mkdir -p "$downloads"
fetch() {
  [ -f "$downloads/$1" ] && return 0
  log "downloading $1"
  curl -fsSL --retry 3 -o "$downloads/$1.part" "$pool/$1"
  mv "$downloads/$1.part" "$downloads/$1"
}
fetch "$dsc"
echo "$dsc_sha256  $downloads/$dsc" | sha256sum -c --quiet - >&2 ||
  { rm -f "$downloads/$dsc"; log "$dsc does not match its pinned checksum"; exit 1; }
orig_sha256=$(awk -v f="$orig" '/^Checksums-Sha256:/{s=1; next} /^[^ ]/{s=0} s && $3==f {print $1}' \
  "$downloads/$dsc")
[ -n "$orig_sha256" ] || { log "$dsc names no checksum for $orig"; exit 1; }
fetch "$orig"
echo "$orig_sha256  $downloads/$orig" | sha256sum -c --quiet - >&2 ||
  { rm -f "$downloads/$orig"; log "$orig does not match the checksum in $dsc"; exit 1; }

log "unpacking and patching"
tar -C "$work" -xf "$downloads/$orig"
src=$work/qtbase-everywhere-src-$version
for p in "${patches[@]}"; do
  patch -d "$src" -p1 --quiet <"$p"
done

log "configuring (log: $work/build.log while it runs)"
rm -rf "$prefix"
cmake -S "$src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64.cmake" \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  "${options[@]}" >"$work/build.log" 2>&1 || { tail -40 "$work/build.log" >&2; exit 1; }

start=$(date +%s)
log "building on $(nproc) cores (about 20 minutes on 2)"
cmake --build "$work/build" -j "$(nproc)" >>"$work/build.log" 2>&1 ||
  { grep -B2 -A10 'error' "$work/build.log" | head -80 >&2; exit 1; }
cmake --install "$work/build" >>"$work/build.log" 2>&1 || { tail -40 "$work/build.log" >&2; exit 1; }
touch "$prefix/.complete"
log "built in $(( $(date +%s) - start )) s, installed in $prefix"
echo "$prefix"
