#!/bin/sh
# check_install.sh BUILD_DIR SOURCE_DIR: installs the build into a fresh prefix and checks
# what lands where: the programs, the examples, a valid desktop entry, the MIME type, the icon.
set -u
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
for f in bin/vorticel bin/vorticel-cli share/applications/vorticel.desktop \
         share/mime/packages/vorticel.xml share/icons/hicolor/256x256/apps/vorticel.png; do
    [ -f "$prefix/$f" ] || fail "$f is not installed"
done
[ -x "$prefix/bin/vorticel-cli" ] || fail "vorticel-cli is not executable"
installed=$(ls "$prefix/share/vorticel/examples" | wc -l)
shipped=$(ls "$source/examples"/*.vtc | wc -l)
[ "$installed" -eq "$shipped" ] || fail "$installed examples installed of $shipped"
desktop-file-validate "$prefix/share/applications/vorticel.desktop" || fail "invalid desktop entry"
grep -q '^MimeType=application/x-vorticel;' "$prefix/share/applications/vorticel.desktop" ||
    fail "the desktop entry does not take .vtc files"
xmllint --noout "$prefix/share/mime/packages/vorticel.xml" || fail "invalid MIME type file"
# Every installed example loads and is named by its family.
for f in "$prefix/share/vorticel/examples"/*.vtc; do
    "$prefix/bin/vorticel-cli" show "$f" >/dev/null || fail "the example $f does not load"
done
echo "1 passed, 0 failed"
