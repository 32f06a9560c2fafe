#!/usr/bin/env bash
# Builds a libFuzzer target with clang and fuzzes it for a bounded time.
#
#   scripts/fuzz.sh [target] [seconds [libFuzzer options...]]      (default: level, 300 seconds)
#
# Targets (fuzz/CMakeLists.txt):
#   level     open, decode, edits, write-back and packing of a cartridge image
#   ini       the settings file read and written back
#   listfile  a caption list file decoded as Shift-JIS
#   palette   the master palette file
#   clipboard what a paste reads off the clipboard (the editor's JSON and typed rows of cells)
#
# For instance "scripts/fuzz.sh 600 -max_len=4096" explores the small patch inputs of the level
# target (see fuzz/FuzzLevelData.cpp) many times faster than whole images.
#
# New inputs collect in build-fuzz/corpus-<target> (the saved corpus under fuzz/ is only read);
# crashes land in build-fuzz/artifacts-<target>. To keep an input for the replay test, minimise
# it and copy it into the target's folder under fuzz/ (keep that folder small).
set -euo pipefail
cd "$(dirname "$0")/.."

target=level
if [ $# -gt 0 ] && ! [[ "$1" =~ ^[0-9]+$ ]]; then
    target="$1"
    shift
fi
seconds="${1:-300}"
shift || true
build=build-fuzz

case "$target" in
level)
    executable=k6fuzz
    saved=fuzz/corpus
    # A whole image plus room for a few settings lines after it.
    max_len=524800
    ;;
ini | listfile | palette | clipboard)
    executable="k6fuzz_$target"
    saved="fuzz/corpus-$target"
    max_len=8192
    ;;
*)
    echo "unknown fuzz target: $target (level, ini, listfile, palette or clipboard)" >&2
    exit 2
    ;;
esac

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DK6_BUILD_FUZZ=ON -DK6_BUILD_TESTS=OFF -DK6_BUILD_BENCH=OFF -DK6_SANITIZE=OFF
cmake --build "$build" --target "$executable" -j2

corpus="$build/corpus-$target"
artifacts="$build/artifacts-$target"
mkdir -p "$corpus" "$artifacts"
seeds=("$saved")
# The real cartridge images beside the repository, when there, seed the image target as well.
[ "$target" = level ] && [ -d ../shared/realinputs ] && seeds+=(../shared/realinputs)
"$build/fuzz/$executable" -max_total_time="$seconds" -max_len="$max_len" -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$@" "$corpus" "${seeds[@]}"
