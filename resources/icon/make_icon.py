#!/usr/bin/env python3
"""Build Quorvel's .ico from the two hand-drawn pixel maps beside this script.

Usage: make_icon.py OUT.ico

quorvel-32.txt and quorvel-16.txt are the source of the icon; the .ico is a
build product.  Each map is one character per pixel, top row first.  Lines
starting with '#' are comments and blank lines are skipped, so the legend can
live at the top of the maps themselves.

The output holds exactly two 16-colour images (32x32 and 16x16) using the
standard Windows VGA palette, which every version of Windows we target can
show without colour reduction.  Only the standard library is used, and nothing
time- or platform-dependent goes into the file, so the same maps always give
the same bytes and the .ico can be rebuilt and compared anywhere.
"""

import os
import struct
import sys

# Index order is the fixed Windows 16-colour order; the .ico palette is
# written in exactly this order, so a pixel's character maps straight to the
# nibble stored in the bitmap.
PALETTE = [
    # char, name,        (R, G, B)
    ("k", "black",       (0x00, 0x00, 0x00)),
    ("m", "dark red",    (0x80, 0x00, 0x00)),
    ("g", "dark green",  (0x00, 0x80, 0x00)),
    ("o", "olive",       (0x80, 0x80, 0x00)),
    ("n", "navy",        (0x00, 0x00, 0x80)),
    ("p", "purple",      (0x80, 0x00, 0x80)),
    ("t", "teal",        (0x00, 0x80, 0x80)),
    ("s", "silver",      (0xC0, 0xC0, 0xC0)),
    ("d", "grey",        (0x80, 0x80, 0x80)),
    ("r", "red",         (0xFF, 0x00, 0x00)),
    ("l", "lime",        (0x00, 0xFF, 0x00)),
    ("y", "yellow",      (0xFF, 0xFF, 0x00)),
    ("b", "blue",        (0x00, 0x00, 0xFF)),
    ("f", "fuchsia",     (0xFF, 0x00, 0xFF)),
    ("a", "aqua",        (0x00, 0xFF, 0xFF)),
    ("w", "white",       (0xFF, 0xFF, 0xFF)),
]
TRANSPARENT = "."

# Largest first: that is the order the shell and resource compilers expect.
IMAGES = [(32, "quorvel-32.txt"), (16, "quorvel-16.txt")]

INDEX = {ch: i for i, (ch, _name, _rgb) in enumerate(PALETTE)}


class MapError(Exception):
    pass


def read_map(path, size):
    """Return the map as a list of `size` strings of `size` characters."""
    rows = []
    try:
        with open(path, "r", encoding="ascii", newline=None) as f:
            lines = f.readlines()
    except UnicodeDecodeError:
        raise MapError("%s: not plain ASCII; use only the legend's characters"
                       % path)
    for lineno, raw in enumerate(lines, 1):
        line = raw.rstrip("\r\n")
        if line.startswith("#") or not line.strip():
            continue
        if len(line) != size:
            raise MapError("%s:%d: row has %d pixels, expected %d"
                           % (path, lineno, len(line), size))
        for col, ch in enumerate(line):
            if ch != TRANSPARENT and ch not in INDEX:
                raise MapError("%s:%d:%d: unknown colour character %r "
                               "(known: %s and %r for transparent)"
                               % (path, lineno, col + 1, ch,
                                  "".join(INDEX), TRANSPARENT))
        rows.append(line)
    if len(rows) != size:
        raise MapError("%s: %d pixel rows, expected %d"
                       % (path, len(rows), size))
    return rows


def padded(row_bytes):
    # Both masks are DIB rows, which are always padded to a 32-bit boundary.
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def encode_image(rows):
    """One icon image: BITMAPINFOHEADER, palette, XOR mask, AND mask."""
    size = len(rows)
    xor = bytearray()
    and_ = bytearray()
    # DIBs are stored bottom-up.
    for line in reversed(rows):
        nibbles = [0 if ch == TRANSPARENT else INDEX[ch] for ch in line]
        xor += padded(bytes((nibbles[i] << 4) | nibbles[i + 1]
                            for i in range(0, size, 2)))
        bits = bytearray((size + 7) // 8)
        for x, ch in enumerate(line):
            if ch == TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_ += padded(bytes(bits))

    header = struct.pack(
        "<IiiHHIIiiII",
        40,            # biSize
        size,          # biWidth
        size * 2,      # biHeight counts the XOR and AND masks together
        1,             # biPlanes
        4,             # biBitCount
        0,             # biCompression = BI_RGB
        len(xor) + len(and_),
        0, 0,          # no resolution: keeps the output identical everywhere
        16,            # biClrUsed
        0,             # biClrImportant
    )
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0)
                       for _ch, _name, (r, g, b) in PALETTE)
    return header + palette + bytes(xor) + bytes(and_)


def build_ico(images):
    count = len(images)
    out = bytearray(struct.pack("<HHH", 0, 1, count))  # ICONDIR, type 1 = icon
    offset = 6 + 16 * count
    blobs = []
    for size, rows in images:
        blob = encode_image(rows)
        out += struct.pack("<BBBBHHII",
                           size, size,  # width, height
                           16,          # colour count
                           0,           # reserved
                           1,           # planes
                           4,           # bit count
                           len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


def main(argv):
    if len(argv) != 2 or argv[1].startswith("-"):
        sys.stderr.write("usage: %s OUT.ico\n" % os.path.basename(argv[0]))
        return 2
    here = os.path.dirname(os.path.abspath(__file__))
    try:
        images = [(size, read_map(os.path.join(here, name), size))
                  for size, name in IMAGES]
    except (MapError, OSError) as e:
        sys.stderr.write("make_icon: %s\n" % e)
        return 1
    data = build_ico(images)
    with open(argv[1], "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
