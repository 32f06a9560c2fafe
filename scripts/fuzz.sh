#!/usr/bin/env bash
# Builds the libFuzzer target with clang and fuzzes open, decode, edits, write-back and packing
# for a bounded time.
#
#   scripts/fuzz.sh [seconds [libFuzzer options...]]      (default 300 seconds)
#
# For instance "scripts/fuzz.sh 600 -max_len=4096" explores the small patch inputs (see
# fuzz/FuzzLevelData.cpp) many times faster than whole images.
#
# New inputs collect in build-fuzz/corpus (fuzz/corpus is only read); crashes land in
# build-fuzz/artifacts. To keep an input for the replay test, minimise it and copy it into
# fuzz/corpus (keep that folder small).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-300}"
shift || true
build=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DK6_BUILD_FUZZ=ON -DK6_BUILD_TESTS=OFF -DK6_BUILD_BENCH=OFF -DK6_SANITIZE=OFF
cmake --build "$build" --target k6fuzz -j2

mkdir -p "$build/corpus" "$build/artifacts"
# The real cartridge images beside the repository, when there, seed the run as well.
seeds=(fuzz/corpus)
[ -d ../shared/realinputs ] && seeds+=(../shared/realinputs)
# -max_len: a whole image plus room for a few settings lines after it.
"$build/fuzz/k6fuzz" -max_total_time="$seconds" -max_len=524800 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/" "$@" "$build/corpus" "${seeds[@]}"
