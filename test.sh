#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: a release build, its Debian package checked
# and run from its unpacked tree, the same suites under AddressSanitizer and UBSan, then each fuzz
# target for a short, bounded time.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

jobs=$(nproc)
# Compilations are cached between runs and checkouts: paths inside the checkout count relative to
# it, so another clone of the same sources hits the same entries. The sloppiness lets ccache
# cache compilations that use a precompiled header.
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
    export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
export QT_QPA_PLATFORM=offscreen
export VANTLE_FUZZ_SECONDS=${VANTLE_FUZZ_SECONDS:-20}
status=0

echo "== release build and tests"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
cmake --build build/release -j"$jobs"
(cd build/release && ctest --output-on-failure -j"$jobs") || status=1

echo "== Debian package"
./scripts/check-package.sh build/release || status=1

echo "== AddressSanitizer + UBSan build and tests"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANTLE_SANITIZE=ON "${launcher[@]}" \
    -DVANTLE_BENCH=OFF >/dev/null
cmake --build build/asan -j"$jobs"
(cd build/asan && UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j"$jobs") || status=1

echo "== fuzz targets, ${VANTLE_FUZZ_SECONDS} s each"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVANTLE_FUZZ=ON "${launcher[@]}" >/dev/null
cmake --build build/fuzz -j"$jobs" --target fuzz_all
(cd build/fuzz && ctest --output-on-failure -j"$jobs") || status=1

exit $status
