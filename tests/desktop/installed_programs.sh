#!/usr/bin/env bash
# Installs into a scratch prefix, moves the installed tree elsewhere (so that
# nothing can be found by a path into the build folder or the prefix it was
# installed to), and runs the installed programs: --version of both, the batch
# tool's print and render on a design, the card stocks read from the
# installed data, the manual pages, the AppStream data and the completion.
# Usage: installed_programs.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2

for tool in man appstreamcli pdftotext identify; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 77; }
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "$*"; exit 1; }
out=$(DESTDIR= cmake --install "$build" --prefix "$scratch/staged" 2>&1) || fail "$out"
mv "$scratch/staged" "$scratch/moved"
prefix=$scratch/moved

# Everything the install rules promise.
share=$prefix/share
for f in bin/tessaro bin/tessaro-batch \
         share/applications/app.tessaro.Tessaro.desktop \
         share/mime/packages/tessaro-design.xml \
         share/metainfo/app.tessaro.Tessaro.metainfo.xml \
         share/icons/hicolor/scalable/apps/tessaro.svg \
         share/icons/hicolor/48x48/apps/tessaro.png \
         share/icons/hicolor/256x256/mimetypes/application-x-tessaro-design.png \
         share/man/man1/tessaro.1.gz share/man/man1/tessaro-batch.1.gz \
         share/bash-completion/completions/tessaro-batch \
         share/tessaro/help/contents.html share/tessaro/clipart/globe.wmf \
         share/tessaro/bmbrush/Linen.bmp share/tessaro/bg/Sky.bmp \
         share/tessaro/stocks/card-stocks.csv share/tessaro/stocks/card-stocks.LICENSE \
         share/doc/tessaro/copyright; do
    [ -s "$prefix/$f" ] || fail "not installed: $f"
done
[ "$(identify -format '%w' "$share/icons/hicolor/48x48/apps/tessaro.png")" = 48 ] ||
    fail "the 48 pixel icon is not 48 pixels wide"

# The version of the build, from both programs, without a display.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/tessaro" --version)" = "tessaro $version" ] ||
    fail "tessaro --version does not say $version"
[ "$("$prefix/bin/tessaro-batch" --version)" = "tessaro-batch $version" ] ||
    fail "tessaro-batch --version does not say $version"
grep -q "<release version=\"$version\"" "$share/metainfo/app.tessaro.Tessaro.metainfo.xml" ||
    fail "the AppStream release is not $version"

# A design with one text label, "Sales Manager" (the stream written out byte
# by byte: list, object header, properties, ends).
hex="01 54 50 46 30 13 54 47 42 75 73 69 6E 65 73 73 43 61 72 64 4C 61 62 65 6C
0A 43 6F 6D 70 6F 6E 65 6E 74 30 04 4C 65 66 74 02 18 03 54 6F 70 02 10
05 57 69 64 74 68 03 96 00 06 48 65 69 67 68 74 02 16
07 43 61 70 74 69 6F 6E 06 0D 53 61 6C 65 73 20 4D 61 6E 61 67 65 72
0A 46 6F 6E 74 2E 43 6F 6C 6F 72 07 06 63 6C 4E 61 76 79
0B 46 6F 6E 74 2E 48 65 69 67 68 74 02 F0
09 46 6F 6E 74 2E 4E 61 6D 65 06 05 41 72 69 61 6C 00 00 00"
work=$scratch/work
mkdir -p "$work"
for h in $hex; do printf "\\x$h"; done > "$work/Card.TSC"
export HOME=$scratch/home XDG_DATA_HOME=$scratch/home/.local/share
cd "$work"

"$prefix/bin/tessaro-batch" print Card.TSC -o sheet.pdf || fail "print failed"
labels=$(pdftotext sheet.pdf - | grep -c "Sales Manager" || true)
[ "$labels" -eq 10 ] || fail "the printed sheet holds $labels cards instead of 10"
"$prefix/bin/tessaro-batch" render Card.TSC -o card.png || fail "render failed"
read -r width height colours < <(identify -format '%w %h %k\n' card.png)
[ "$width x $height" = "336 x 192" ] || fail "the card is rendered $width x $height"
[ "$colours" -gt 2 ] || fail "the rendered card is blank"

# The card stocks come from the installed list: a stock added there is found.
csv=$share/tessaro/stocks/card-stocks.csv
sed -n 2p "$csv" | sed 's/^[^,]*,[^,]*,/Installcheck,X1,/' >> "$csv"
"$prefix/bin/tessaro-batch" stocks installcheck | grep -q "^Installcheck X1" ||
    fail "the installed card stock list is not read"

# The manual pages render without a warning.
for page in tessaro tessaro-batch; do
    out=$(MANWIDTH=80 man --warnings -l "$share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$out" ] || fail "man $page: $out"
    MANWIDTH=80 man -l "$share/man/man1/$page.1.gz" 2>/dev/null | grep -q -- "--version" ||
        fail "man $page does not show --version"
done
# Every option of the batch tool's usage text is in its manual page.
man_text=$(MANWIDTH=200 man -l "$share/man/man1/tessaro-batch.1.gz" 2>/dev/null)
options=$("$prefix/bin/tessaro-batch" --help | grep -oE -- '(^|[ [])--?[a-z][a-z-]*' |
          sed 's/^[ []*//' | sort -u)
[ "$(wc -w <<<"$options")" -ge 10 ] || fail "the usage text lists only: $options"
for option in $options; do
    grep -q -- "$option" <<<"$man_text" || fail "man tessaro-batch does not mention $option"
done

out=$(appstreamcli validate --no-net "$share/metainfo/app.tessaro.Tessaro.metainfo.xml" 2>&1) ||
    fail "$out"

# Completion: the commands, design files for a design, the options of a
# command, and the CUPS queues for --printer.
mkdir -p "$scratch/fake-bin" "$work/Folder"
printf '#!/bin/sh\nprintf "Office\\nFront_Desk\\n"\n' > "$scratch/fake-bin/lpstat"
chmod +x "$scratch/fake-bin/lpstat"
touch "$work/Other.tsc" "$work/notes.txt"
complete_words() {
    PATH=$scratch/fake-bin:$PATH bash -c '
        source "$1"; shift
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
        _tessaro_batch
        printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "' _ \
        "$share/bash-completion/completions/tessaro-batch" tessaro-batch "$@"
}
[ "$(complete_words r)" = "render resave " ] || fail "commands: $(complete_words r)"
[ "$(complete_words render '')" = "Card.TSC Folder/ Other.tsc " ] ||
    fail "designs: $(complete_words render '')"
[ "$(complete_words print Card.TSC --p)" = "--positions --printer " ] ||
    fail "print options: $(complete_words print Card.TSC --p)"
[ "$(complete_words print Card.TSC --printer '')" = "Front_Desk Office " ] ||
    fail "queues: $(complete_words print Card.TSC --printer '')"

echo "the installed programs run from their own data"
