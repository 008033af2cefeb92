#!/bin/sh
# Adjusts copies of pictures whose decoders leave pixels unwritten (a BMP cut
# short, a run-length BMP that skips pixels) or index past their palette, in
# zentora-cli under valgrind: every byte written must come from the file.
# Usage: adjust_under_valgrind.sh ZENTORA_CLI PICTURE_FOLDER
command -v valgrind >/dev/null 2>&1 || { echo "valgrind is not installed"; exit 77; }
cli=$1
pictures=$2
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
for name in truncated_24bit_8x4 rle8_skipped_pixels_8x4 palette_beyond_table_8x4; do
  cp "$pictures/$name.bmp" "$work/$name.bmp" || exit 1
done
valgrind -q --error-exitcode=1 "$cli" adjust "$work"/*.bmp --width 16 --height 8 --scale
