#!/usr/bin/env python3
"""Prints the colour of screenshot pixels as RRGGBB; with --red-centre, the mean x of the
strongly red pixels (the test figure) or -1. usage: bmp_pixel.py FILE.bmp (X Y | --red-centre)"""
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
