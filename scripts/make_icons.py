#!/usr/bin/env python3
"""Regenerate Cardel's raster icons from assets/cardel.svg.

Writes
  assets/icons/cardel-{16,24,32,48,64,128,256}.png   32-bit RGBA, via rsvg-convert
  assets/cardel.ico                                  16, 24, 32 and 48 pixels, each
                                                     once with a 256-colour palette
                                                     and once as 32-bit BGRA

Run it by hand whenever the artwork changes and commit the results; the build
only uses the files, it never runs this script. Needs Python 3 (standard
library only) and rsvg-convert (Debian package librsvg2-bin); set
RSVG_CONVERT to use another copy of it.
"""

import os
import shutil
import struct
import subprocess
import sys
import zlib
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SVG = ROOT / "assets" / "cardel.svg"
ICON_DIR = ROOT / "assets" / "icons"
ICO = ROOT / "assets" / "cardel.ico"

PNG_SIZES = (16, 24, 32, 48, 64, 128, 256)
ICO_SIZES = (16, 24, 32, 48)

# Pixels at least this opaque are drawn in the palette images; the rest are
# left to the AND mask. The 32-bit images carry their own alpha and use the
# same threshold only for the mask that alpha-unaware readers fall back on.
ALPHA_THRESHOLD = 128


# --------------------------------------------------------------------------
# Rendering and PNG decoding


def render(size, out):
    """Rasterise the SVG at size x size pixels into the PNG file out."""
    tool = os.environ.get("RSVG_CONVERT") or shutil.which("rsvg-convert")
    if not tool:
        sys.exit("make_icons.py: rsvg-convert not found (apt-get install librsvg2-bin)")
    subprocess.run(
        [tool, "--width", str(size), "--height", str(size), "--format", "png",
         "--output", str(out), str(SVG)],
        check=True)


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read_png(path):
    """Decode a non-interlaced 8-bit grey, grey+alpha, RGB or RGBA PNG.

    Returns (width, height, pixels) where pixels is a bytes object holding
    width * height RGBA quadruples, top row first.
    """
    data = Path(path).read_bytes()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG file")
    pos = 8
    header = None
    idat = []
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.append(body)
        elif kind == b"IEND":
            break
    if header is None:
        raise ValueError(f"{path}: no IHDR chunk")
    width, height, depth, colour, _compression, _filter, interlace = header
    channels = {0: 1, 2: 3, 4: 2, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace != 0:
        raise ValueError(f"{path}: unsupported PNG (depth {depth}, colour type "
                         f"{colour}, interlace {interlace})")

    raw = zlib.decompress(b"".join(idat))
    bpp = channels
    stride = width * bpp
    if len(raw) < height * (stride + 1):
        raise ValueError(f"{path}: image data is truncated")

    # Undo the per-row filters (None, Sub, Up, Average, Paeth).
    rows = []
    prev = bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        ftype = raw[start]
        line = bytearray(raw[start + 1:start + 1 + stride])
        if ftype == 1:
            for i in range(bpp, stride):
                line[i] = (line[i] + line[i - bpp]) & 0xFF
        elif ftype == 2:
            for i in range(stride):
                line[i] = (line[i] + prev[i]) & 0xFF
        elif ftype == 3:
            for i in range(stride):
                left = line[i - bpp] if i >= bpp else 0
                line[i] = (line[i] + ((left + prev[i]) >> 1)) & 0xFF
        elif ftype == 4:
            for i in range(stride):
                left = line[i - bpp] if i >= bpp else 0
                upleft = prev[i - bpp] if i >= bpp else 0
                line[i] = (line[i] + _paeth(left, prev[i], upleft)) & 0xFF
        elif ftype != 0:
            raise ValueError(f"{path}: bad filter type {ftype} on row {y}")
        rows.append(line)
        prev = line

    # Expand everything to RGBA.
    out = bytearray()
    for line in rows:
        if channels == 4:
            out += line
        elif channels == 3:
            for i in range(0, stride, 3):
                out += line[i:i + 3] + b"\xff"
        elif channels == 2:
            for i in range(0, stride, 2):
                g, a = line[i], line[i + 1]
                out += bytes((g, g, g, a))
        else:
            for g in line:
                out += bytes((g, g, g, 255))
    return width, height, bytes(out)


# --------------------------------------------------------------------------
# Palette


def median_cut(histogram, count):
    """Reduce {(r, g, b): pixels} to at most count colours.

    Repeatedly splits the box whose widest channel spans the most levels
    (weighted by how many pixels it holds) at the pixel-weighted median of
    that channel, then takes each box's pixel-weighted mean.
    """
    colours = list(histogram.items())
    if len(colours) <= count:
        return [c for c, _ in sorted(colours)]

    def span(box):
        best = (-1, 0)
        for ch in range(3):
            values = [c[ch] for c, _ in box]
            best = max(best, (max(values) - min(values), ch))
        return best

    boxes = [colours]
    while len(boxes) < count:
        choice = None
        for index, box in enumerate(boxes):
            if len(box) < 2:
                continue
            width, ch = span(box)
            weight = sum(n for _, n in box)
            score = width * weight
            if choice is None or score > choice[0]:
                choice = (score, index, ch)
        if choice is None:
            break
        _, index, ch = choice
        box = sorted(boxes.pop(index), key=lambda item: item[0][ch])
        half = sum(n for _, n in box) / 2
        running = 0
        cut = 1
        for i, (_, n) in enumerate(box[:-1]):
            running += n
            cut = i + 1
            if running >= half:
                break
        boxes += [box[:cut], box[cut:]]

    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(tuple(
            (sum(c[ch] * n for c, n in box) + total // 2) // total for ch in range(3)))
    return sorted(set(palette))


def quantise(width, height, rgba):
    """Return (palette of 256 RGB triples, index per pixel, transparent flags).

    Index 0 is kept black: it is what transparent pixels hold, so that the
    XOR step after the AND mask leaves the screen behind them untouched.
    """
    n = width * height
    transparent = [rgba[4 * i + 3] < ALPHA_THRESHOLD for i in range(n)]
    histogram = {}
    for i in range(n):
        if not transparent[i]:
            key = tuple(rgba[4 * i:4 * i + 3])
            histogram[key] = histogram.get(key, 0) + 1

    colours = [c for c in median_cut(histogram, 255) if c != (0, 0, 0)]
    palette = [(0, 0, 0)] + colours
    palette += [(0, 0, 0)] * (256 - len(palette))

    cache = {}

    def nearest(colour):
        if colour not in cache:
            r, g, b = colour
            cache[colour] = min(
                range(len(colours) + 1),
                key=lambda k: ((palette[k][0] - r) ** 2 * 3
                               + (palette[k][1] - g) ** 2 * 4
                               + (palette[k][2] - b) ** 2 * 2))
        return cache[colour]

    indices = [0 if transparent[i] else nearest(tuple(rgba[4 * i:4 * i + 3]))
               for i in range(n)]
    return palette, indices, transparent


# --------------------------------------------------------------------------
# ICO writing


def _and_mask(width, height, transparent):
    """1-bit mask, bottom-up, rows padded to 4 bytes; 1 = show the screen."""
    stride = (width + 31) // 32 * 4
    out = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(width):
            if transparent[y * width + x]:
                row[x >> 3] |= 0x80 >> (x & 7)
        out += row
    return bytes(out)


def _info_header(width, height, bits, colours_used, image_size):
    # BITMAPINFOHEADER; the height counts the XOR bitmap and the AND mask.
    return struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0,
                       image_size, 0, 0, colours_used, 0)


def dib_8bit(width, height, rgba):
    palette, indices, transparent = quantise(width, height, rgba)
    stride = (width + 3) // 4 * 4
    pixels = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        row[:width] = bytes(indices[y * width:(y + 1) * width])
        pixels += row
    mask = _and_mask(width, height, transparent)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return (_info_header(width, height, 8, 256, len(pixels) + len(mask))
            + table + bytes(pixels) + mask)


def dib_32bit(width, height, rgba):
    transparent = [rgba[4 * i + 3] < ALPHA_THRESHOLD for i in range(width * height)]
    pixels = bytearray()
    for y in range(height - 1, -1, -1):
        for x in range(width):
            r, g, b, a = rgba[4 * (y * width + x):4 * (y * width + x) + 4]
            pixels += bytes((b, g, r, a))
    mask = _and_mask(width, height, transparent)
    return _info_header(width, height, 32, 0, len(pixels) + len(mask)) + bytes(pixels) + mask


def write_ico(path, images):
    """images: list of (width, height, bits per pixel, DIB bytes)."""
    directory = struct.pack("<HHH", 0, 1, len(images))  # ICONDIR, type 1 = icon
    offset = len(directory) + 16 * len(images)
    entries = b""
    blobs = b""
    for width, height, bits, dib in images:
        entries += struct.pack(
            "<BBBBHHII",
            width % 256, height % 256,  # 0 stands for 256
            0,                          # colour count: 0 when 256 or more
            0, 1, bits, len(dib), offset)
        blobs += dib
        offset += len(dib)
    Path(path).write_bytes(directory + entries + blobs)


# --------------------------------------------------------------------------


def main():
    if not SVG.is_file():
        sys.exit(f"make_icons.py: {SVG} is missing")
    ICON_DIR.mkdir(parents=True, exist_ok=True)

    decoded = {}
    for size in PNG_SIZES:
        png = ICON_DIR / f"cardel-{size}.png"
        render(size, png)
        width, height, rgba = read_png(png)
        if (width, height) != (size, size):
            sys.exit(f"make_icons.py: {png} came out {width}x{height}")
        decoded[size] = rgba
        print(f"wrote {png.relative_to(ROOT)}")

    images = []
    for size in ICO_SIZES:
        rgba = decoded[size]
        images.append((size, size, 8, dib_8bit(size, size, rgba)))
        images.append((size, size, 32, dib_32bit(size, size, rgba)))
    write_ico(ICO, images)
    print(f"wrote {ICO.relative_to(ROOT)} ({len(images)} images)")


if __name__ == "__main__":
    main()
