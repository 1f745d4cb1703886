#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every check: the whole test suite, the
# whole program built for Windows and tested under Wine with its installer, the storage and
# guideline tests again under AddressSanitizer and UndefinedBehaviorSanitizer, each fuzz target
# for a short while, and the layer and format checks.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

echo "== Layer and format checks"
/usr/bin/python3 scripts/check_layers.py
scripts/check_format.sh

echo "== Build and test suite"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Windows build (MinGW-w64, Qt for Windows): the whole program, its suite and installer under Wine"
scripts/windows_program_test.sh build build-win

echo "== Storage and guideline tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNETWORTH_GUI=OFF \
  -DNETWORTH_SANITIZE=ON -DNETWORTH_BENCH=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" -L 'storage|guidelines'

echo "== Fuzz targets"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DNETWORTH_GUI=OFF -DNETWORTH_FUZZ=ON -DNETWORTH_TESTS=OFF -DNETWORTH_BENCH=OFF
cmake --build build-fuzz -j "$jobs"
scripts/fuzz.sh build-fuzz 60
