#!/usr/bin/env python3
"""Blob share of a GB2312 font library: how crisp its small glyphs are.

Over the 3,755 level-1 characters (codes 0xB0A1 to 0xD7F9), the share of ink
pixels that lie inside at least one solid 2 x 2 block of ink. Thin one-pixel
strokes give a share near 0; strokes that run into each other give one near
1. Also counts the level-1 glyphs that have no ink at all, which a font that
covers the set should never leave.

    bench/blob_share.py LIBRARY [--cell 16] [--vertical] [--bit0-first]

The options are those the library was written with (zentora-cli fontlib
--charset gb2312 and the same packing options).
"""

import argparse
import sys

GB2312_COLUMNS = 94
LEVEL1_FIRST_ROW = 0xB0
LEVEL1_LAST_ROW = 0xD7
LEVEL1_LAST_CODE = 0xD7F9


def level1_glyph_numbers():
    for hi in range(LEVEL1_FIRST_ROW, LEVEL1_LAST_ROW + 1):
        for lo in range(0xA1, 0xFF):
            if (hi << 8 | lo) > LEVEL1_LAST_CODE:
                return
            yield (hi - 0xA1) * GB2312_COLUMNS + (lo - 0xA1)


def glyph_pixels(block, cell, horizontal, bit7_first):
    """The glyph as rows of booleans, by the library's bit positions."""
    rows = [[False] * cell for _ in range(cell)]
    for y in range(cell):
        for x in range(cell):
            n = y * cell + x if horizontal else x * cell + y
            bit = 7 - n % 8 if bit7_first else n % 8
            rows[y][x] = (block[n // 8] >> bit) & 1 == 1
    return rows


def blob_pixels(rows):
    """(ink, ink inside a solid 2 x 2 block) of one glyph."""
    cell = len(rows)
    in_blob = [[False] * cell for _ in range(cell)]
    for y in range(cell - 1):
        for x in range(cell - 1):
            if rows[y][x] and rows[y][x + 1] and rows[y + 1][x] and rows[y + 1][x + 1]:
                in_blob[y][x] = in_blob[y][x + 1] = True
                in_blob[y + 1][x] = in_blob[y + 1][x + 1] = True
    ink = sum(row.count(True) for row in rows)
    blob = sum(row.count(True) for row in in_blob)
    return ink, blob


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("library")
    parser.add_argument("--cell", type=int, default=16, choices=[8, 16, 24, 32, 40, 48])
    parser.add_argument("--vertical", action="store_true")
    parser.add_argument("--bit0-first", action="store_true")
    args = parser.parse_args()

    b = args.cell * args.cell // 8
    with open(args.library, "rb") as f:
        data = f.read()
    if len(data) != 94 * 94 * b:
        sys.exit(f"{args.library}: {len(data)} bytes is not a GB2312 library of "
                 f"{args.cell}-pixel cells ({94 * 94 * b} bytes)")

    total_ink = total_blob = blank = glyphs = 0
    for number in level1_glyph_numbers():
        block = data[number * b:(number + 1) * b]
        ink, blob = blob_pixels(glyph_pixels(block, args.cell, not args.vertical,
                                             not args.bit0_first))
        total_ink += ink
        total_blob += blob
        blank += ink == 0
        glyphs += 1
    share = total_blob / total_ink if total_ink else 0.0
    print(f"blob share {share:.3f}  ink per glyph {total_ink / glyphs:.1f}  "
          f"blank {blank} of {glyphs}")


if __name__ == "__main__":
    main()
