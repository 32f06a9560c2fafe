#!/usr/bin/env bash
# Builds the libFuzzer target of a patch reader or of the Tiled map reader with clang and fuzzes
# it for a bounded time.
#
#   scripts/fuzz-patches.sh ips|bps|tmx [seconds [libFuzzer options...]]  (default 120 seconds)
#
# New inputs collect in build-fuzz/corpus-<format> (fuzz/corpus-<format> is only read);
# crashes land in build-fuzz/artifacts. To keep an input for the replay tests, minimise it and
# copy it into the saved corpus (keep that folder small).
set -euo pipefail
cd "$(dirname "$0")/.."

format="${1:?usage: scripts/fuzz-patches.sh ips|bps|tmx [seconds [options...]]}"
shift
seconds="${1:-120}"
shift || true
build=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DK6_BUILD_FUZZ=ON -DK6_BUILD_TESTS=OFF -DK6_BUILD_BENCH=OFF -DK6_SANITIZE=OFF
cmake --build "$build" --target "k6fuzz_$format" -j2

mkdir -p "$build/corpus-$format" "$build/artifacts"
"$build/fuzz/k6fuzz_$format" -max_total_time="$seconds" -max_len=16384 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/" "$@" "$build/corpus-$format" \
    "fuzz/corpus-$format"
