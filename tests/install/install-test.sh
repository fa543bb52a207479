#!/bin/sh
# The installation of a built tree and its Debian package. The tree is installed under /usr into a
# staging folder, as the package installs it: the installed linkwright-cli solves a gear, the help
# text is where the information window looks for it beside the installed program, the desktop entry,
# the metainfo and the mime package pass their tools' checks, both programs print the version (the
# desktop program without a display), and the package built by cpack holds every installed file and
# depends on the Qt 6 libraries.
# Arguments: the build folder, the version, the help text's folder as seen from the programs' folder.
set -eu
BUILD="$1"
VERSION="$2"
DATA_FROM_BIN="$3"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() {
    echo "install test: $*" >&2
    exit 1
}

root="$work/root"
DESTDIR="$root" cmake --install "$BUILD" --prefix /usr >"$work/install.log" 2>&1 ||
    { cat "$work/install.log" >&2; fail "cmake --install failed"; }

files="usr/bin/linkwright
usr/bin/linkwright-cli
usr/share/linkwright/Linkwright.txt
usr/share/applications/org.linkwright.Linkwright.desktop
usr/share/icons/hicolor/scalable/apps/linkwright.svg
usr/share/mime/packages/linkwright.xml
usr/share/metainfo/org.linkwright.Linkwright.metainfo.xml
usr/share/man/man1/linkwright.1.gz
usr/share/man/man1/linkwright-cli.1.gz"
for file in $files; do
    [ -f "$root/$file" ] || fail "$file is not installed"
done

# The installed program, run from a scratch folder, writes its listing there.
mkdir "$work/run"
(cd "$work/run" && "$root/usr/bin/linkwright-cli" solve >"$work/solve.out" 2>"$work/solve.err") ||
    { cat "$work/solve.err" >&2; fail "the installed linkwright-cli solve failed"; }
[ -s "$work/run/Wal1Output.txt" ] || fail "the installed linkwright-cli solve wrote no Wal1Output.txt"

# The information window of an installed program looks in <program folder>/$DATA_FROM_BIN.
[ -f "$root/usr/bin/$DATA_FROM_BIN/Linkwright.txt" ] ||
    fail "the help text is not at bin/$DATA_FROM_BIN/Linkwright.txt, where the information window looks"

desktop-file-validate "$root/usr/share/applications/org.linkwright.Linkwright.desktop" ||
    fail "desktop-file-validate refused the desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.linkwright.Linkwright.metainfo.xml" \
    >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log" >&2; fail "appstreamcli refused the metainfo"; }
# The mime database built from the package alone gives every type the desktop entry opens its glob.
cp -R "$root/usr/share/mime" "$work/mime"
update-mime-database "$work/mime" >/dev/null 2>&1 || fail "update-mime-database refused the mime package"
for type in $(sed -n 's/^MimeType=//p' "$root/usr/share/applications/org.linkwright.Linkwright.desktop" | tr ';' ' '); do
    grep -q ":$type:\*\.l[0-9]*\$" "$work/mime/globs2" || fail "no data file glob for $type"
done

[ "$("$root/usr/bin/linkwright-cli" --version)" = "linkwright-cli $VERSION" ] ||
    fail "linkwright-cli --version does not print linkwright-cli $VERSION"
# Asked for its version, the desktop program answers before it looks for a display.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$root/usr/bin/linkwright" --version)" = \
    "linkwright $VERSION" ] || fail "linkwright --version does not print linkwright $VERSION without a display"
for page in linkwright linkwright-cli; do
    gzip -dc "$root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH \"*$(echo "$page" | tr a-z A-Z)" ||
        fail "$page.1.gz is no manual page of $page"
done
gzip -dc "$root/usr/share/man/man1/linkwright-cli.1.gz" | grep -q '^\.SS solve' ||
    fail "the manual page of linkwright-cli does not describe its commands"

# The Debian package.
cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack -G DEB failed"; }
package="$(ls "$work"/package/linkwright_"$VERSION"_*.deb 2>/dev/null | head -n 1)"
[ -n "$package" ] || fail "cpack wrote no linkwright_${VERSION}_*.deb"
dpkg-deb -c "$package" >"$work/contents"
for file in $files; do
    grep -q " \./$file\$" "$work/contents" || fail "the package does not hold /$file"
done
depends="$(dpkg-deb -f "$package" Depends)"
for library in libqt6core6 libqt6gui6 libqt6widgets6; do
    echo "$depends" | grep -q "$library" || fail "the package's Depends ($depends) does not name $library"
done
[ "$(dpkg-deb -f "$package" Version)" = "$VERSION" ] || fail "the package's version is not $VERSION"
echo "install test: $(basename "$package") holds $(wc -l <"$work/contents") entries; Depends: $depends"
