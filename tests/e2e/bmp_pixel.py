#!/usr/bin/env python3
"""Prints the colour of a screenshot pixel as RRGGBB; given an expected RRGGBB, exits 1 unless
each channel is within 3 of it (blending rounds). With --red-centre, prints the mean x of the
strongly red pixels (the test figure), or -1.
usage: bmp_pixel.py FILE.bmp (X Y [RRGGBB] | --red-centre)"""
import struct
import sys

data = open(sys.argv[1], "rb").read()
offset, = struct.unpack_from("<I", data, 10)
width, height = struct.unpack_from("<ii", data, 18)
stride = (width * 3 + 3) & ~3


def pixel(x, y):
    at = offset + (height - 1 - y) * stride + x * 3
    b, g, r = data[at], data[at + 1], data[at + 2]
    return r, g, b


if sys.argv[2] == "--red-centre":
    xs = [x for y in range(0, height, 4) for x in range(0, width, 2)
          if pixel(x, y)[0] > 180 and pixel(x, y)[1] < 60 and pixel(x, y)[2] < 60]
    print(sum(xs) // len(xs) if xs else -1)
else:
    r, g, b = pixel(int(sys.argv[2]), int(sys.argv[3]))
    print("%02X%02X%02X" % (r, g, b))
    if len(sys.argv) > 4:
        e = int(sys.argv[4], 16)
        expected = (e >> 16 & 0xFF, e >> 8 & 0xFF, e & 0xFF)
        sys.exit(0 if all(abs(a - b) <= 3 for a, b in zip((r, g, b), expected)) else 1)
