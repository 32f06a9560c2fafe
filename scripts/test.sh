#!/usr/bin/env bash
# Builds everything and runs every test: once in a plain build, once with the address and
# undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs="$(nproc)"

# Every C++ file follows the checked-in .clang-format.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DK6_BUILD_TESTS=ON -DK6_BUILD_BENCH=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure --no-tests=error -j"$jobs"

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DK6_SANITIZE=ON -DK6_BUILD_TESTS=ON -DK6_BUILD_BENCH=OFF
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp" \
UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure --no-tests=error -j"$jobs"
