#!/usr/bin/env bash
# Installs the build into a temporary prefix, validates the desktop entry and the AppStream
# file, and starts the installed program offscreen from another folder with an image: it must
# find its palette and list files in the installed data folder and open the image.
#   install_test.sh BUILD_DIR ROMGEN APP_ID
set -euo pipefail
build="$1"
romgen="$2"
app_id="$3"

work="$(mktemp -d)"
editor_pid=""
cleanup() {
    [ -n "$editor_pid" ] && kill "$editor_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

[ -x "$prefix/bin/kestrin6editor" ] || fail "no executable in bin/"
for file in ObjectList.txt ScrollList.txt fcpalette.pal; do
    [ -f "$prefix/share/kestrin6editor/$file" ] || fail "share/kestrin6editor/$file missing"
done
[ "$(stat -c %s "$prefix/share/kestrin6editor/fcpalette.pal")" = 192 ] || fail "palette size"
[ -f "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg" ] || fail "icon missing"

desktop_file="$prefix/share/applications/$app_id.desktop"
desktop-file-validate "$desktop_file" || fail "desktop-file-validate"
grep -q "^Icon=$app_id$" "$desktop_file" || fail "the entry names another icon"
grep -q "^Exec=kestrin6editor " "$desktop_file" || fail "the entry starts another program"
appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" >/dev/null ||
    fail "appstreamcli validate"

# Started from a folder that holds nothing but the image, as a desktop entry starts it.
elsewhere="$work/elsewhere"
mkdir "$elsewhere"
cd "$elsewhere"
"$romgen" --image demo.nes
trace="$work/trace"
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen \
    strace -f -qq -e trace=openat -o "$trace" "$prefix/bin/kestrin6editor" demo.nes \
    >"$work/out" 2>&1 &
tracer=$!

# The image is opened only after the palette and the list files have been read.
opened='openat\(AT_FDCWD, "demo\.nes", O_RDONLY[^)]*\) = [0-9]'
for _ in $(seq 1 300); do
    grep -Eq "$opened" "$trace" 2>/dev/null && break
    kill -0 "$tracer" 2>/dev/null || break
    sleep 0.1
done
line="$(grep -Em1 "$opened" "$trace" || true)"
[ -n "$line" ] || { cat "$work/out" >&2; fail "the installed program did not open the image"; }
editor_pid="${line%% *}"
sleep 0.3
kill -0 "$editor_pid" 2>/dev/null || fail "the installed program ended after opening the image"

data_file='"[^"]*/share/kestrin6editor/'
for file in fcpalette.pal ObjectList.txt ScrollList.txt; do
    grep -Eq "openat\(AT_FDCWD, $data_file$file\", O_RDONLY[^)]*\) = [0-9]" "$trace" ||
        fail "$file was not read from the installed data folder"
done

kill "$editor_pid"
editor_pid=""
wait "$tracer" || true
echo "install test passed"
