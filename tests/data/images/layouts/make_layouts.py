#!/usr/bin/env python3
"""Makes the pictures in this folder: one small photo-like picture saved in
the PNG and JPEG layouts that the picture decoders tell apart, plus damaged
and unusual files written chunk by chunk. Needs ImageMagick's convert,
libjpeg-turbo's cjpeg and jpegtran, and exiftool. Run it from this folder;
the files are kept in the repository, so tests never run it."""
import struct
import subprocess
import zlib

W, H = 37, 23  # odd sizes, so that no row is a whole number of vector lanes


def run(*args):
    if args[0] == "convert":
        # No creation dates, so that the files come out the same each time.
        args = (*args[:-1], "-define", "png:exclude-chunks=date,time", args[-1])
    subprocess.run(args, check=True)


def pixel(x, y):
    # Smooth ramps with a little deterministic texture, like a photograph.
    r = (x * 255 // (W - 1) + (x * 7 + y * 13) % 11) % 256
    g = (y * 255 // (H - 1) + (x * 5 + y * 3) % 9) % 256
    b = (128 + (x - y) * 4 + (x * y) % 7) % 256
    return r, g, b


def alpha(x, y):
    return (x * 255 // (W - 1) + y * 3) % 256


def chunk(kind, data, crc=None):
    body = kind + data
    value = zlib.crc32(body) if crc is None else crc
    return struct.pack(">I", len(data)) + body + struct.pack(">I", value)


def filtered(rows, bpp):
    # Each row under the next of the five filter types, so that every one is
    # undone somewhere.
    out, above = [], bytes(len(rows[0]))
    for y, row in enumerate(rows):
        kind = y % 5
        f = bytearray()
        for i, v in enumerate(row):
            a = row[i - bpp] if i >= bpp else 0
            b = above[i]
            c = above[i - bpp] if i >= bpp else 0
            if kind == 0:
                pred = 0
            elif kind == 1:
                pred = a
            elif kind == 2:
                pred = b
            elif kind == 3:
                pred = (a + b) // 2
            else:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
            f.append((v - pred) % 256)
        out.append(bytes([kind]) + bytes(f))
        above = row
    return out


def png(rows, color_type, pieces=1, level=6, wbits=15, extra=b"", before_data=b"",
        after_data=b"", end=True, bad_idat_crc=False, filters=False):
    bpp = 3 if color_type == 2 else 4
    raw = b"".join(filtered(rows, bpp) if filters else [b"\x00" + row for row in rows])
    compressor = zlib.compressobj(level, zlib.DEFLATED, wbits)
    stream = compressor.compress(raw) + compressor.flush() + extra
    header = struct.pack(">IIBBBBB", W, H, 8, color_type, 0, 0, 0)
    out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + before_data
    size = -(-len(stream) // pieces)
    for i in range(0, len(stream), size):
        out += chunk(b"IDAT", stream[i:i + size], 0 if bad_idat_crc else None)
    out += after_data
    if end:
        out += chunk(b"IEND", b"")
    return out


def rgb_rows():
    return [bytes(c for x in range(W) for c in pixel(x, y)) for y in range(H)]


def rgba_rows(alpha_of):
    return [bytes(c for x in range(W) for c in (*pixel(x, y), alpha_of(x, y))) for y in range(H)]


def write(name, data):
    with open(name, "wb") as f:
        f.write(data)


def main():
    global W, H
    ppm = b"P6\n%d %d\n255\n" % (W, H) + b"".join(rgb_rows())
    write("base.ppm", ppm)
    rgba = png(rgba_rows(alpha), 6)
    write("rgba8.png", rgba)

    # Chunk by chunk: the layouts the fast PNG reader takes, and damage.
    rgb = png(rgb_rows(), 2)
    write("rgb8.png", rgb)
    write("rgb8_many_idat.png", png(rgb_rows(), 2, pieces=40))
    write("rgb8_stored.png", png(rgb_rows(), 2, level=0))
    write("rgb8_small_window.png", png(rgb_rows(), 2, wbits=9))
    write("rgb8_text_chunks.png",
          png(rgb_rows(), 2, before_data=chunk(b"tEXt", b"Title\x00layouts"),
              after_data=chunk(b"tEXt", b"Comment\x00after the data")))
    write("rgb8_bad_idat_crc.png", png(rgb_rows(), 2, bad_idat_crc=True))
    write("rgb8_no_end.png", png(rgb_rows(), 2, end=False))
    write("rgb8_cut_in_data.png", rgb[: len(rgb) * 2 // 3])
    write("rgb8_trailing_garbage.png", rgb + b"garbage after the end")
    write("rgb8_extra_data.png", png(rgb_rows(), 2, extra=b"\x00" * 8))
    write("rgb8_filters.png", png(rgb_rows(), 2, filters=True))
    write("rgba8_filters.png", png(rgba_rows(alpha), 6, filters=True))
    write("rgba8_opaque.png", png(rgba_rows(lambda x, y: 255), 6))
    write("rgba8_binary_alpha.png", png(rgba_rows(lambda x, y: 255 if (x + y) % 3 else 0), 6))
    write("rgba8_clear.png", png(rgba_rows(lambda x, y: 0), 6))

    run("convert", "base.ppm", "-define", "png:compression-filter=5", "PNG24:rgb8_magick.png")

    # What ImageMagick writes for the other layouts.
    run("convert", "base.ppm", "-interlace", "PNG", "PNG24:rgb8_interlaced.png")
    run("convert", "rgba8.png", "-interlace", "PNG", "PNG32:rgba8_interlaced.png")
    run("convert", "base.ppm", "-depth", "16", "PNG48:rgb16.png")
    run("convert", "rgba8.png", "-depth", "16", "PNG64:rgba16.png")
    run("convert", "base.ppm", "-colors", "64", "PNG8:palette.png")
    run("convert", "base.ppm", "-colorspace", "Gray", "-define", "png:color-type=0", "grey8.png")
    run("convert", "rgba8.png", "-colorspace", "Gray", "-define", "png:color-type=4",
        "grey_alpha.png")
    run("convert", "base.ppm", "-transparent", "#%02x%02x%02x" % pixel(3, 4), "-define",
        "png:color-type=2", "rgb8_trns.png")

    for name, options in [
        ("ycc420", ["-sampling-factor", "2x2"]),
        ("ycc422", ["-sampling-factor", "2x1"]),
        ("ycc440", ["-sampling-factor", "1x2"]),
        ("ycc444", ["-sampling-factor", "1x1"]),
        ("ycc411", ["-sampling-factor", "4x1"]),
        ("progressive", ["-interlace", "JPEG"]),
        ("grey", ["-colorspace", "Gray"]),
        ("cmyk", ["-colorspace", "CMYK"]),
    ]:
        run("convert", "base.ppm", *options, "-quality", "90", name + ".jpg")
    run("cjpeg", "-quality", "90", "-arithmetic", "-outfile", "arithmetic.jpg", "base.ppm")
    run("cjpeg", "-quality", "90", "-restart", "1", "-outfile", "restart.jpg", "base.ppm")
    run("cjpeg", "-quality", "90", "-rgb", "-outfile", "rgb.jpg", "base.ppm")
    run("cjpeg", "-quality", "90", "-optimize", "-outfile", "optimized.jpg", "base.ppm")
    run("cp", "ycc420.jpg", "exif_rotated.jpg")
    run("exiftool", "-q", "-overwrite_original", "-Orientation=6", "-n", "exif_rotated.jpg")
    with open("ycc420.jpg", "rb") as f:
        jpeg = f.read()
    write("truncated.jpg", jpeg[: len(jpeg) * 2 // 3])
    write("trailing_garbage.jpg", jpeg + b"garbage after the end")
    run("rm", "base.ppm")

    # Larger, so that the readers' row batches and buffers refill many times.
    W, H = 613, 211
    write("large_rgb8_filters.png", png(rgb_rows(), 2, filters=True, pieces=7))
    write("large_rgba8_filters.png", png(rgba_rows(alpha), 6, filters=True))
    write("large.ppm", b"P6\n%d %d\n255\n" % (W, H) + b"".join(rgb_rows()))
    run("convert", "large.ppm", "-interlace", "JPEG", "-quality", "85", "large_progressive.jpg")
    run("convert", "large.ppm", "-quality", "85", "large_ycc420.jpg")
    run("rm", "large.ppm")


main()
