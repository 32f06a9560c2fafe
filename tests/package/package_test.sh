#!/usr/bin/env bash
# Builds the Debian package from the build folder, checks its control fields and its files,
# extracts it into a temporary root, validates the desktop entry and the AppStream file there,
# runs the extracted program's command line from another folder, and runs lintian on it.
#   package_test.sh BUILD_DIR ROMGEN APP_ID VERSION
set -euo pipefail
build="$(realpath "$1")"
romgen="$(realpath "$2")"
app_id="$3"
version="$4"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs it)"
done

# Into a folder of its own, so that the build folder is left as it was.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack -G DEB"; }
arch="$(dpkg --print-architecture)"
deb="$work/out/kestrin6editor_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no $(basename "$deb") (made: $(cd "$work/out" && echo *.deb))"

# Control fields: field, then an extended regular expression its whole value must match, its
# lines joined by tabs.
tab=$'\t'
control_fields=(
    "Package|kestrin6editor"
    "Version|${version//./\\.}"
    "Architecture|$arch"
    "Maintainer|[^<>]+ <[^<>@ ]+@[^<>@ ]+>"
    "Section|devel"
    "Priority|optional"
    # Computed from the libraries the program links against, not written by hand.
    "Depends|.*libc6 \(.*libqt6widgets6 \(.*"
    # A short line, then the long description on indented lines.
    "Description|[^[:space:]][^$tab]{0,78}($tab [^$tab]+)+"
)
for entry in "${control_fields[@]}"; do
    field="${entry%%|*}"
    pattern="${entry#*|}"
    value="$(dpkg-deb -f "$deb" "$field" | tr '\n' '\t')"
    value="${value%"$tab"}"
    printf '%s\n' "$value" | grep -Eq "^($pattern)$" ||
        fail "control field $field is \"$value\", expected /$pattern/"
done

# Every file the package installs; a file missing or one too many fails.
expected_files=(
    "usr/bin/kestrin6editor"
    "usr/share/kestrin6editor/ObjectList.txt"
    "usr/share/kestrin6editor/ScrollList.txt"
    "usr/share/kestrin6editor/fcpalette.pal"
    "usr/share/applications/$app_id.desktop"
    "usr/share/icons/hicolor/scalable/apps/$app_id.svg"
    "usr/share/metainfo/$app_id.metainfo.xml"
    "usr/share/doc/kestrin6editor/copyright"
    "usr/share/doc/kestrin6editor/changelog.gz"
)
dpkg-deb -c "$deb" >"$work/contents"
awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' "$work/contents" | sort >"$work/files"
printf '%s\n' "${expected_files[@]}" | sort >"$work/expected"
diff -u "$work/expected" "$work/files" >&2 || fail "the package's files differ (- expected, + packaged)"
grep -Eq '^-rwxr-xr-x root/root .* \./usr/bin/kestrin6editor$' "$work/contents" ||
    fail "the program is not an executable owned by root"

root="$work/root"
dpkg-deb -x "$deb" "$root"
[ "$(stat -c %s "$root/usr/share/kestrin6editor/fcpalette.pal")" = 192 ] || fail "palette size"
desktop-file-validate "$root/usr/share/applications/$app_id.desktop" ||
    fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" >/dev/null ||
    fail "appstreamcli validate"
# Software centres show the newest release of the AppStream file as the version.
newest_release="$(grep -om1 '<release version="[^"]*"' "$root/usr/share/metainfo/$app_id.metainfo.xml")"
[ "$newest_release" = "<release version=\"$version\"" ] ||
    fail "the newest release in the AppStream file is not $version ($newest_release)"

# The extracted program, run from a folder that holds nothing but an image: checking it needs
# no data, a picture needs the palette from the packaged data folder.
elsewhere="$work/elsewhere"
mkdir "$elsewhere"
cd "$elsewhere"
"$romgen" --image demo.nes
run() {
    local status=0
    # A home of its own: no settings of whoever runs the test choose another palette.
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_CONFIG_HOME -u XDG_DATA_HOME \
        HOME="$work/home" "$root/usr/bin/kestrin6editor" "$@" >"$work/run.log" 2>&1 || status=$?
    [ "$status" -eq 0 ] || { cat "$work/run.log" >&2; fail "kestrin6editor $* exited with $status"; }
}
run --check demo.nes
tail -n1 "$work/run.log" | grep -qx "demo.nes: OK" || { cat "$work/run.log" >&2; fail "--check output"; }
run --export-map 0 map.png demo.nes
[ -s map.png ] || fail "--export-map wrote no picture"

# lintian exits with a status other than 0 when it reports an error or cannot check the package.
lintian_status=0
lintian "$deb" >"$work/lintian.log" 2>&1 || lintian_status=$?
if [ "$lintian_status" -ne 0 ] || grep -q '^E:' "$work/lintian.log"; then
    cat "$work/lintian.log" >&2
    fail "lintian (exit status $lintian_status)"
fi
grep '^W:' "$work/lintian.log" || true
echo "package test passed"
