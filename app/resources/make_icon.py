#!/usr/bin/env python3
"""Draws the program's icon -- a white power symbol on a red square -- and writes it as a .ico.

The file holds two images: 64x64 in 256 colours (palettized DIB with an AND mask) and 32x32 in
32-bit colour with alpha. Both are drawn from the same outline, so they stay alike at any size.
Usage: make_icon.py OUTPUT.ico
"""

import math
import struct
import sys

RED = (206, 32, 40)
WHITE = (255, 255, 255)

# The symbol, in units of the image's side (y grows downwards): a ring open at the top, and a
# bar that comes down through the opening towards the ring's centre. Both strokes have round ends.
RING_CENTRE = (0.5, 0.54)
RING_RADIUS = 0.27
GAP_HALF_ANGLE = math.radians(42)  # measured from the top of the ring, either side
BAR_TOP = 0.16
BAR_BOTTOM = 0.50
STROKE_HALF_WIDTH = 0.055

# The 256-colour image blends red into white in this many steps; the rest of its palette is unused.
RAMP_STEPS = 16


def ring_distance(x, y):
    """Distance from (x, y) to the centre line of the open ring."""
    cx, cy = RING_CENTRE
    dx, dy = x - cx, y - cy
    angle_from_top = math.atan2(dx, -dy)
    if abs(angle_from_top) >= GAP_HALF_ANGLE:
        return abs(math.hypot(dx, dy) - RING_RADIUS)
    # Inside the opening the nearest point of the arc is one of its two ends.
    end_x = RING_RADIUS * math.sin(GAP_HALF_ANGLE)
    end_y = -RING_RADIUS * math.cos(GAP_HALF_ANGLE)
    return math.hypot(abs(dx) - end_x, dy - end_y)


def bar_distance(x, y):
    """Distance from (x, y) to the centre line of the bar."""
    nearest_y = min(max(y, BAR_TOP), BAR_BOTTOM)
    return math.hypot(x - 0.5, y - nearest_y)


def coverage(size):
    """Rows (top first) of how much of each pixel the symbol covers, 0.0 to 1.0.

    The signed distance to the stroke's edge, taken at the pixel's centre and measured in pixels,
    gives a one-pixel-wide linear ramp across each edge: cheap anti-aliasing.
    """
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            x, y = (px + 0.5) / size, (py + 0.5) / size
            edge = min(ring_distance(x, y), bar_distance(x, y)) - STROKE_HALF_WIDTH
            row.append(min(max(0.5 - edge * size, 0.0), 1.0))
        rows.append(row)
    return rows


def blend(amount):
    return tuple(round(r + (w - r) * amount) for r, w in zip(RED, WHITE))


def bitmap_header(size, bit_count, image_bytes, colours_used):
    # Icon DIBs give twice the height: the colour rows and the AND mask rows stacked.
    return struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bit_count, 0, image_bytes, 0, 0,
                       colours_used, 0)


def and_mask(size):
    # The square is opaque to its edges, so no pixel is masked out. Rows are padded to 4 bytes.
    return bytes(((size + 31) // 32) * 4 * size)


def image_8bit(size):
    palette = bytearray(256 * 4)
    for index in range(RAMP_STEPS):
        r, g, b = blend(index / (RAMP_STEPS - 1))
        palette[index * 4:index * 4 + 4] = bytes((b, g, r, 0))
    stride = (size + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(coverage(size)):  # DIB rows run bottom-up
        line = bytes(round(c * (RAMP_STEPS - 1)) for c in row)
        pixels += line + bytes(stride - size)
    mask = and_mask(size)
    return bitmap_header(size, 8, len(pixels) + len(mask), 256) + palette + pixels + mask


def image_32bit(size):
    pixels = bytearray()
    for row in reversed(coverage(size)):
        for c in row:
            r, g, b = blend(c)
            pixels += bytes((b, g, r, 255))
    mask = and_mask(size)
    return bitmap_header(size, 32, len(pixels) + len(mask), 0) + pixels + mask


def icon_file(images):
    """images: (size, bit_count, dib bytes) tuples, in directory order."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    data = b""
    for size, bit_count, dib in images:
        # A width or height of 256 would be written as 0; colour count 0 means "256 or more".
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bit_count,
                                 len(dib), offset + len(data))
        data += dib
    return directory + data


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_icon.py OUTPUT.ico\n")
        return 2
    ico = icon_file([(64, 8, image_8bit(64)), (32, 32, image_32bit(32))])
    with open(argv[1], "wb") as out:
        out.write(ico)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
