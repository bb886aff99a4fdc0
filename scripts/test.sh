#!/usr/bin/env bash
# Installs what is missing, builds from scratch and runs every test:
#   1. a release build with warnings as errors, and its tests;
#   2. an AddressSanitizer + UBSan build, and its tests;
#   3. the libFuzzer targets, each for a bounded time (TESSANE_FUZZ_SECONDS, default 60).
# Build trees go under build/ci-*.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
jobs="${TESSANE_JOBS:-$(nproc)}"

scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1

echo "== release build"
cmake -S . -B build/ci-release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTESSANE_WERROR=ON -DTESSANE_BUILD_BENCH=ON
cmake --build build/ci-release -j "$jobs"
ctest --test-dir build/ci-release -j "$jobs" --timeout 600

echo "== sanitizer build"
cmake -S . -B build/ci-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DTESSANE_WERROR=ON -DTESSANE_SANITIZE=ON
cmake --build build/ci-asan -j "$jobs"
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" \
    ctest --test-dir build/ci-asan -j "$jobs" --timeout 900

echo "== fuzzing"
CC=clang CXX=clang++ cmake -S . -B build/ci-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTESSANE_FUZZ=ON -DTESSANE_BUILD_GUI=OFF -DTESSANE_BUILD_TESTS=OFF
cmake --build build/ci-fuzz -j "$jobs"
seconds="${TESSANE_FUZZ_SECONDS:-60}"
shopt -s nullglob
for fuzzer in build/ci-fuzz/bin/fuzz_*; do
    name="$(basename "$fuzzer")"
    corpus="$root/fuzz/${name#fuzz_}/corpus"
    work="$(mktemp -d)"
    echo "-- $name for ${seconds}s"
    (cd "$work" && "$root/$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 "$work" "$corpus")
    rm -rf "$work"
done
echo "All tests passed."
