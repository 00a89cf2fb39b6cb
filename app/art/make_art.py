#!/usr/bin/env python3
"""Draws the program's icon, browse glyphs and progress texture.

Deterministic and standard library only; its outputs are committed next to it so a build never runs it.
Run: python3 app/art/make_art.py [output-dir]   (default: the folder of this script)
"""
import math
import os
import struct
import sys

# The browse glyphs are drawn transparent through this exact colour; the art itself must never use it.
KEY = (192, 192, 192)
OUTLINE = (65, 48, 24)

FOLDER_PALETTE = {
    '.': KEY,
    'O': OUTLINE,
    'W': (255, 255, 255),
    'L': (255, 236, 150),  # lit edge
    'Y': (255, 214, 90),   # face
    'y': (244, 190, 56),   # face, shaded
    'd': (214, 150, 34),   # shadow side
    'b': (168, 112, 38),   # inside of the folder, brown
    'B': (128, 84, 30),    # deep inside
    'p': (236, 232, 220),  # paper shade
    's': (192, 192, 191),  # the label's grey, one step from the key: it must stay visible
}

# Closed folder: tab, back edge and a plain front.
CLOSED = [
    "...................",
    "...................",
    "...................",
    "...................",
    "...OOOOOO..........",
    "..OLLLLLLO.........",
    "..OLYYYYYLOOOOOOO..",
    "..OLLLLLLLLLLLLLO..",
    "..OLYYYYYYYYYYYdO..",
    "..OLYYYYYYYYYYYdO..",
    "..OLYYYYYYsYYYYdO..",
    "..OLYYYYYYYYYYYdO..",
    "..OLyyyyyyyyyyydO..",
    "..OdddddddddddddO..",
    "..OOOOOOOOOOOOOOO..",
    "...................",
    "...................",
    "...................",
]

# Open folder: the back shows its brown inside and a sheet of paper; the front flap tilts forward.
OPEN = [
    "...................",
    "...................",
    "...................",
    "...................",
    "...OOOOOO..........",
    "..OLLLLLLO.........",
    "..ObbbbbbbOOOOO....",
    "..ObWWWWWWWWWBO....",
    "..ObWpppppppWBO....",
    "..ObWWWWWWWWWBO....",
    "..ObWOOOOOOOOOOOOOO",
    "..ObOLLLLLLLLLLLLLO",
    "..OBOYYYYYYYYYYYdO.",
    "..OOYYYYYYYYYYYydO.",
    "..OLYYYYYYYYYyydO..",
    "..OOOOOOOOOOOOOOO..",
    "...................",
    "...................",
]


def dib_header(width, height, bpp, image_size):
    # BITMAPINFOHEADER: bottom-up (positive height), one plane, BI_RGB, no colour table.
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bpp, 0, image_size, 0, 0, 0, 0)


def bmp24(width, height, pixel):
    """pixel(x, y) -> (r, g, b) with y = 0 at the top; returns a whole .bmp file."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b'\0' * (stride - len(row))
        rows.append(bytes(row))
    bits = b''.join(rows)
    info = dib_header(width, height, 24, len(bits))
    offset = 14 + len(info)
    file_header = struct.pack('<2sIHHI', b'BM', offset + len(bits), 0, 0, offset)
    return file_header + info + bits


def glyph(art):
    assert len(art) == 18 and all(len(row) == 19 for row in art), "glyphs are 19 x 18"
    for row in art:
        for ch in row:
            assert ch == '.' or FOLDER_PALETTE[ch] != KEY
    return bmp24(19, 18, lambda x, y: FOLDER_PALETTE[art[y][x]])


# Progress texture: 92 segments of 6 columns at a period of 8, shaded light-dark-light from top to bottom.
TEX_W, TEX_H = 736, 13
TEX_TOP = (219, 219, 219)
TEX_EDGE = (219, 219, 219)
WHITE = (255, 255, 255)
SHADE_TOP, SHADE_MID, SHADE_BOTTOM = (141, 192, 70), (73, 182, 10), (171, 188, 104)


def lerp(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def segment_colour(row):
    if row <= 6:
        return lerp(SHADE_TOP, SHADE_MID, (row - 1) / 5.0)
    return lerp(SHADE_MID, SHADE_BOTTOM, (row - 6) / 5.0)


def texture_pixel(x, y):
    if y == 0:
        return TEX_TOP
    if x == 0:
        return TEX_EDGE if y in (1, 12) else WHITE
    if y == 12:
        return WHITE
    if 1 <= x <= 734 and (x - 1) % 8 < 6:
        return segment_colour(y)
    return WHITE


# Icon: a blue round emblem with a white check mark, anti-aliased on a transparent ground.
ICON_SIZE = 32
SUB = 4  # samples per pixel side


def dist_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def icon_sample(px, py):
    """Colour and coverage (r, g, b, a in 0..1) at a point; y grows downwards."""
    cx = cy = 16.0
    r = math.hypot(px - cx, py - cy)
    if r > 15.0:
        return None
    if r > 13.6:  # rim
        colour = (0.06, 0.20, 0.50)
    else:
        t = (py - 2.0) / 28.0  # lighter at the top
        colour = (0.30 - 0.22 * t, 0.62 - 0.30 * t, 0.96 - 0.22 * t)
        # soft highlight across the upper half
        hx, hy = (px - 16.0) / 10.5, (py - 9.0) / 6.0
        if hx * hx + hy * hy < 1.0:
            colour = tuple(c + (1.0 - c) * 0.22 for c in colour)
    tick = min(dist_to_segment(px, py, 8.6, 16.4, 13.6, 21.6), dist_to_segment(px, py, 13.6, 21.6, 23.6, 10.4))
    if tick < 2.1:
        colour = (1.0, 1.0, 1.0)
    elif tick < 2.9:  # thin dark edge keeps the mark crisp on the light part of the disc
        colour = tuple(c * 0.7 for c in colour)
    return colour


def icon_image():
    pixels = []  # rows top-down of (r, g, b, a) bytes
    for y in range(ICON_SIZE):
        row = []
        for x in range(ICON_SIZE):
            acc, hits = [0.0, 0.0, 0.0], 0
            for sy in range(SUB):
                for sx in range(SUB):
                    s = icon_sample(x + (sx + 0.5) / SUB, y + (sy + 0.5) / SUB)
                    if s is not None:
                        hits += 1
                        for i in range(3):
                            acc[i] += s[i]
            if hits == 0:
                row.append((0, 0, 0, 0))
            else:
                rgb = tuple(int(round(255 * acc[i] / hits)) for i in range(3))
                row.append(rgb + (int(round(255 * hits / (SUB * SUB))),))
        pixels.append(row)
    colour = bytearray()
    mask = bytearray()
    for row in reversed(pixels):  # bottom-up
        bits = 0
        for x, (r, g, b, a) in enumerate(row):
            colour += bytes((b, g, r, a))
            if a == 0:
                bits |= 1 << (31 - x)
        mask += struct.pack('>I', bits)
    # The header of an icon image counts the colour and mask rows together, hence twice the height.
    header = dib_header(ICON_SIZE, ICON_SIZE * 2, 32, len(colour) + len(mask))
    image = header + bytes(colour) + bytes(mask)
    assert len(image) == 4264
    return image


def ico_file(image):
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', ICON_SIZE, ICON_SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    outputs = {
        'Quorvex.ico': ico_file(icon_image()),
        'browse.bmp': glyph(CLOSED),
        'browse_hot.bmp': glyph(OPEN),
        'progress.bmp': bmp24(TEX_W, TEX_H, texture_pixel),
    }
    for name, data in outputs.items():
        with open(os.path.join(out, name), 'wb') as f:
            f.write(data)
    for name, art in (('browse.bmp', CLOSED), ('browse_hot.bmp', OPEN)):
        print('%s: %d key pixels' % (name, sum(row.count('.') for row in art)))


if __name__ == '__main__':
    main()
