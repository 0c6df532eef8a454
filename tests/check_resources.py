#!/usr/bin/env python3
"""Checks the generated icon and the compiled resource object that goes into velmora.exe.

The icon must show a white power symbol on a red square, upright, in the two expected formats;
the object must carry those very images as the icon group with id 1. (The version record is
checked in the released program file, by tests/e2e/test_release.py.)

Usage: check_resources.py ICON.ico RESOURCES.obj WINDRES
"""

import re
import struct
import subprocess
import sys

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def decode(dib):
    """Returns (size, bit count, pixel(x, y) -> (r, g, b, opaque)), y counted from the top."""
    palette, size, height, _, bits = struct.unpack_from("<IiiHH", dib, 0)
    check(height == 2 * size, f"{size}x{size}: bitmap height {height} is not twice the side")
    pixels = palette + (256 * 4 if bits == 8 else 0)
    stride, mask_stride = size * bits // 8, (size + 31) // 32 * 4
    mask = pixels + stride * size

    def pixel(x, y):
        row = size - 1 - y  # DIB rows run bottom-up
        masked = dib[mask + row * mask_stride + x // 8] >> (7 - x % 8) & 1
        at = pixels + row * stride + x * bits // 8
        at = palette + 4 * dib[at] if bits == 8 else at
        b, g, r = dib[at:at + 3]
        return r, g, b, not masked and (bits == 8 or dib[at + 3] == 255)

    return size, bits, pixel


RED = lambda r, g, b, opaque: opaque and r >= 150 and g <= 80 and b <= 80  # noqa: E731
WHITE = lambda r, g, b, opaque: opaque and min(r, g, b) >= 235  # noqa: E731
# Points of the picture as fractions of its side (y from the top), and what each must show: the
# corners, the ring left, right and below, the bar above and inside the ring, the ring's opening
# beside the bar, inside the ring below the bar, and beside the bar's top outside the ring.
PROBES = [(0.0, 0.0, RED), (0.99, 0.99, RED), (0.23, 0.55, WHITE), (0.77, 0.55, WHITE),
          (0.5, 0.81, WHITE), (0.5, 0.16, WHITE), (0.5, 0.42, WHITE), (0.4, 0.29, RED),
          (0.5, 0.66, RED), (0.35, 0.12, RED)]


def check_icon(data):
    """Checks the .ico file's two pictures; returns their bitmaps."""
    check(struct.unpack_from("<HHH", data, 0) == (0, 1, 2), "not an icon file of two images")
    dibs = []
    for i in range(2):
        w, h, _, _, planes, bits, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        dibs.append(data[offset:offset + length])
        size, dib_bits, pixel = decode(dibs[-1])
        label = f"{size}x{size}x{dib_bits}"
        check((w, h, planes, bits) == (size, size, 1, dib_bits), f"{label}: directory disagrees")
        check((size, bits) == [(64, 8), (32, 32)][i], f"image {i} is {label}")
        for fx, fy, test in PROBES:
            x, y = int(fx * size), int(fy * size)
            check(test(*pixel(x, y)), f"{label}: ({x},{y}) shows {pixel(x, y)}")
        # Upright and centred: every pixel matches its mirror image.
        check(all(pixel(x, y) == pixel(size - 1 - x, y) for y in range(size) for x in range(size)),
              f"{label}: not mirror-symmetric")
    return dibs


def check_object(obj_path, dibs, windres):
    # The object stores resource data verbatim: a stale or wrong icon shows up here.
    with open(obj_path, "rb") as obj:
        contents = obj.read()
    check(all(dib in contents for dib in dibs), "the object does not carry the icon's images")
    dump = subprocess.run([windres, "-J", "coff", "-O", "rc", "-i", obj_path], capture_output=True,
                          check=True).stdout.decode()
    check(re.search(r"^1 14 /\* RT_GROUP_ICON \*/", dump, re.M), "no icon group with id 1")


def main(ico_path, obj_path, windres):
    with open(ico_path, "rb") as ico:
        check_object(obj_path, check_icon(ico.read()), windres)
    for message in failures:
        print("FAIL:", message)
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit("usage: check_resources.py ICON.ico RESOURCES.obj WINDRES")
    sys.exit(main(*sys.argv[1:]))
