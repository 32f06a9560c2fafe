#!/usr/bin/env bash
# Idle CPU and peak resident memory of the editor with the generated image open, without and
# with a palette animation configured, beside the bare Qt main window started the same way.
# Offscreen platform unless QT_QPA_PLATFORM names another. Not a test: run by hand.
#
# Usage: bench/idle_memory.sh [build-dir] [seconds]   (defaults: build, 10)
set -euo pipefail

build=$(realpath "${1:-build}")
seconds=${2:-10}
settle=3
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The editor reads its settings and lists beside its executable: a copy in the work folder
# keeps the build tree's files untouched.
cp "$build/kestrin6editor" "$build/ObjectList.txt" "$build/ScrollList.txt" \
    "$build/fcpalette.pal" "$work/"
"$build/kestrin6-romgen" --image "$work/stage.nes"
# The generated image's animation tables (file offsets, hexadecimal); the real 16 ms timer.
animation_settings='[PaletteAnimation]
AnimeLowTable=77A10
AnimeHighTable=77A90
AnimeColorTable=77B10
AnimeBase=77E10'

ticks_per_second=$(getconf CLK_TCK)

# utime + stime of a process, in clock ticks.
cpu_ticks() {
    awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"
}

# Starts a program, lets it settle, then measures: prints "cpu-percent peak-kB".
measure() {
    (cd "$work" && exec "$@" >/dev/null 2>&1) &
    local pid=$!
    sleep "$settle"
    local before after
    before=$(cpu_ticks "$pid")
    sleep "$seconds"
    after=$(cpu_ticks "$pid")
    local peak
    peak=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    awk -v t="$((after - before))" -v hz="$ticks_per_second" -v s="$seconds" -v kb="$peak" \
        'BEGIN { printf "%6.2f %% CPU   %6.1f MB peak resident\n", 100 * t / hz / s, kb / 1024 }'
}

echo "over ${seconds} s after ${settle} s of settling, platform ${QT_QPA_PLATFORM}:"
printf '%-34s' "bare Qt main window:"
measure "$build/bench/startup/k6barewindow"
rm -f "$work/kestrin6editor.ini"
printf '%-34s' "editor, image, no animation:"
measure ./kestrin6editor stage.nes
printf '%s\n' "$animation_settings" >"$work/kestrin6editor.ini"
printf '%-34s' "editor, image, animation:"
measure ./kestrin6editor stage.nes
