#!/usr/bin/env bash
# Installs the built program into a temporary prefix and checks what lands there, validates the
# desktop entry and the AppStream metainfo, builds the .deb and checks its contents and
# dependencies. Usage: check-package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package check: $*" >&2; exit 1; }
app=org.quillstart.Quillstart

cmake --install "$build" --prefix "$work/prefix" >/dev/null
for file in bin/quillstart bin/quillstart-partner share/quillstart/ReadMe.txt \
            share/quillstart/manual/index.html \
            share/quillstart/manual/images/main-window.png \
            share/quillstart/manual/images/result-window.png \
            share/quillstart/grades/Perfect.png share/quillstart/grades/Bad.png \
            share/applications/$app.desktop share/metainfo/$app.metainfo.xml \
            share/icons/hicolor/scalable/apps/$app.svg \
            share/icons/hicolor/48x48/apps/$app.png share/icons/hicolor/256x256/apps/$app.png; do
    [[ -f "$work/prefix/$file" ]] || fail "not installed: $file"
done
[[ -x "$work/prefix/bin/quillstart" ]] || fail "the program is not executable"
echo "package check: installed files in place"

desktop-file-validate "$work/prefix/share/applications/$app.desktop" ||
    fail "desktop-file-validate refused the desktop entry"
grep -q '^Categories=Education;' "$work/prefix/share/applications/$app.desktop" ||
    fail "the desktop entry is not in Education"
grep -q '^Name\[ja\]=' "$work/prefix/share/applications/$app.desktop" ||
    fail "the desktop entry has no Japanese name"
appstreamcli validate --no-net "$work/prefix/share/metainfo/$app.metainfo.xml" >/dev/null ||
    fail "appstreamcli refused the metainfo"
echo "package check: desktop entry and metainfo valid"

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null) ||
    fail "cpack could not build the .deb"
deb=$(ls "$work"/deb/*.deb)
contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/quillstart ./usr/bin/quillstart-partner ./usr/share/quillstart/ReadMe.txt \
            ./usr/share/applications/$app.desktop ./usr/share/metainfo/$app.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/$app.svg; do
    grep -qF " $file" <<<"$contents" || fail "not in the .deb: $file"
done
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libpulse0 libfftw3-single3 libqt6network6 fonts-ipafont-gothic; do
    grep -q "$package" <<<"$depends" || fail "the .deb does not depend on $package: $depends"
done
echo "package check: $(basename "$deb") holds the program and depends on: $depends"
