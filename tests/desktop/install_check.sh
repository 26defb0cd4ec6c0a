#!/usr/bin/env bash
# Installs the program into a scratch prefix and checks what the desktop sees:
# the menu entry passes desktop-file-validate, the icon and the MIME type are
# in the XDG places, and a design file is recognised by its name and, with a
# name that says nothing, by the stream signature alone.
# Usage: install_check.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

entry=$prefix/share/applications/app.tessaro.Tessaro.desktop
for f in "$prefix/bin/tessaro" "$entry" \
         "$prefix/share/icons/hicolor/scalable/apps/tessaro.svg" \
         "$prefix/share/mime/packages/tessaro-design.xml"; do
    [ -e "$f" ] || { echo "not installed: $f"; exit 1; }
done
grep -q '^Exec=tessaro %f$' "$entry" || { echo "the entry does not pass the file on"; exit 1; }
grep -q '^MimeType=application/x-tessaro-design;$' "$entry" || { echo "no design type"; exit 1; }

if ! command -v desktop-file-validate >/dev/null; then
    echo "desktop-file-validate is not installed"
    exit 77
fi
out=$(desktop-file-validate "$entry" 2>&1) || { echo "$out"; exit 1; }
[ -z "$out" ] || { echo "$out"; exit 1; }

if command -v gio >/dev/null && [ -f "$prefix/share/mime/mime.cache" ]; then
    files=$(mktemp -d)
    trap 'rm -rf "$prefix" "$files"' EXIT
    # A design: svList, then an object record that starts with "TPF0".
    printf '\001TPF0\012TGBCShapes\010Special1\000\000\000' > "$files/card.bin"
    printf '\001\000' > "$files/Empty.TSC"
    for f in "$files/card.bin" "$files/Empty.TSC"; do
        type=$(XDG_DATA_DIRS="$prefix/share:/usr/share" gio info -a standard::content-type "$f" |
               sed -n 's/.*standard::content-type: //p')
        [ "$type" = application/x-tessaro-design ] || { echo "$f is seen as $type"; exit 1; }
    done
fi
echo "installed entry, icon and design type are in order"
