#!/usr/bin/env bash
# The start-up figure: the editor's window against the bare Qt main window, both started in
# turn under a virtual X server, the platform a desktop gives them (k6startup prints both medians
# and their ratio). The editor starts as from the desktop menu, without an image; with
# --with-image it opens a generated cartridge given as its argument. Without Xvfb, or with
# --offscreen, they run on Qt's offscreen platform. With --languages, the editor started in
# English (its catalogue loaded) is timed against the editor started in Japanese instead. Not a
# test: run by hand.
#
# Usage: bench/startup.sh [--offscreen] [--with-image] [--languages] [build-dir] [runs]
#        (defaults: build, 21)
set -euo pipefail

platform=xcb
with_image=
languages=
while [ "${1:-}" = "--offscreen" ] || [ "${1:-}" = "--with-image" ] || [ "${1:-}" = "--languages" ]; do
    [ "$1" = "--offscreen" ] && platform=offscreen
    [ "$1" = "--with-image" ] && with_image=1
    [ "$1" = "--languages" ] && languages=1
    shift
done
build=$(realpath "${1:-build}")
runs=${2:-21}
if [ "$platform" = xcb ] && ! command -v Xvfb >/dev/null; then
    echo "Xvfb not found: measuring offscreen" >&2
    platform=offscreen
fi

work=$(mktemp -d)
server=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
bench=("$build/bench/startup/k6startup" --runs "$runs")
[ -n "$languages" ] && bench+=(--languages)
if [ -n "$with_image" ]; then
    "$build/kestrin6-romgen" --image "$work/stage.nes"
    bench+=(--image "$work/stage.nes")
fi
# The platform's notes about the environment say nothing about the figures.
quiet() { grep -v -e XDG_RUNTIME_DIR -e propagateSizeHints >&2; }

if [ "$platform" = offscreen ]; then
    QT_QPA_PLATFORM=offscreen "${bench[@]}" 2> >(quiet)
    exit
fi

# Xvfb picks a free display number and writes it to the pipe once it accepts clients.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
server=$!
read -r display <"$work/display"
echo "platform xcb on Xvfb display :$display"
DISPLAY=":$display" QT_QPA_PLATFORM=xcb "${bench[@]}" 2> >(quiet)
