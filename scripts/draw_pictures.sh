#!/usr/bin/env bash
# Redraws every built-in picture into resources/pictures and the desktop's icons into
# packaging/icons/hicolor. Qt writes no GIF, so the
# GIF pictures are drawn as PNG and converted with ImageMagick (a tool needed only
# here, not by the build: apt-get install imagemagick).
# Usage: scripts/draw_pictures.sh BUILD_DIR/bin/draw_pictures
set -euo pipefail

generator=${1:?usage: $0 PATH/TO/draw_pictures}
repo=$(cd "$(dirname "$0")/.." && pwd)
out="$repo/resources/pictures"
sources=$(mktemp -d)
trap 'rm -rf "$sources"' EXIT

QT_QPA_PLATFORM=offscreen "$generator" "$out" "$sources"
QT_QPA_PLATFORM=offscreen "$generator" --icons "$repo/packaging/icons/hicolor"
for png in "$sources"/*.gif.png; do
    name=$(basename "$png" .png)
    # No dithering: flat button colours stay flat.
    convert "$png" -strip -dither None -colors 128 "$out/$name"
done
# Windows' icons, one file per icon with every size: the program's and its design files'.
# Windows takes the largest as PNG, the smaller ones as bitmaps (which the setup
# program's own icon must be).
icons="$repo/packaging/icons/hicolor"
for pair in apps/plumbrook:plumbrook mimetypes/application-x-plumbrook-design:design-file; do
    sizes=()
    for size in 16 24 32 48 64 128 256; do
        sizes+=("$icons/${size}x$size/${pair%%:*}.png")
    done
    /usr/bin/convert "${sizes[@]}" "$repo/packaging/windows/${pair##*:}.ico"
done
