#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: a release build, its Debian package checked
# and run from its unpacked tree, the same suites under AddressSanitizer and UBSan, then each fuzz
# target for a short, bounded time.
#
# The suites mostly wait on sockets, phones and timers rather than the processor, so they run more
# at a time than there are cores, and the next configuration compiles beside them at a lower
# priority (its output goes to a log, shown if it fails).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

jobs=$(nproc)
test_jobs=$((jobs * 3))
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
export VANTLE_FUZZ_SECONDS=${VANTLE_FUZZ_SECONDS:-10}
status=0
mkdir -p build

# configure NAME [cmake options...]
configure() {
    local name=$1
    shift
    cmake -S . -B "build/$name" -G Ninja "${launcher[@]}" "$@" >/dev/null
}

# build_beside NAME [cmake --build options...]: compiles in the background at a lower priority;
# `finish_beside NAME` waits for it and shows its log if it failed.
declare -A beside
build_beside() {
    local name=$1
    shift
    nice -n 10 cmake --build "build/$name" -j"$jobs" "$@" >"build/$name.log" 2>&1 &
    beside[$name]=$!
}
finish_beside() {
    if wait "${beside[$1]}"; then
        return 0
    fi
    cat "build/$1.log"
    echo "== the $1 build failed"
    return 1
}

echo "== release build"
configure release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j"$jobs"

configure asan -DCMAKE_BUILD_TYPE=Debug -DVANTLE_SANITIZE=ON -DVANTLE_BENCH=OFF
build_beside asan

echo "== release tests (the AddressSanitizer build compiles beside them)"
(cd build/release && ctest --output-on-failure -j"$test_jobs") || status=1

echo "== Debian package"
./scripts/check-package.sh build/release || status=1

echo "== AddressSanitizer + UBSan tests"
CC=clang CXX=clang++ configure fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTLE_FUZZ=ON
if finish_beside asan; then
    build_beside fuzz --target fuzz_all
    (cd build/asan && UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j"$test_jobs") ||
        status=1
else
    build_beside fuzz --target fuzz_all
    status=1
fi

echo "== fuzz targets, ${VANTLE_FUZZ_SECONDS} s each"
if finish_beside fuzz; then
    (cd build/fuzz && ctest --output-on-failure -j"$jobs") || status=1
else
    status=1
fi

exit $status
