#!/usr/bin/env python3
"""An independent TMB/TSB writer and the picture Direct3D 8's fixed-function rules give for it.

Writes figure.tmb and figure.tsb into the folder given as the only argument, and expected.txt
with one line per sample pixel: "x y red green blue tolerance". The scene is what
`tr2tool render --size 320x240 --light 0,0,-1 --motion figure.tsb --time 1 figure.tmb` draws:
eye (0, 8, 15), target (0, 8, 0), one white directional light (diffuse and specular 1, no
ambient), the device's global ambient white, lighting on, Gouraud shading, local viewer.

Three one-sided squares facing the eye (counter-clockwise on screen):
  A  on bone 0, moved by its mesh matrix to (-3, 8, 0): emissive + ambient + vertex colour.
  B  on bone 1, which the motion's frame turns 60 degrees about y around (3, 8, 0): the
     blended normal halves the diffuse term and the square narrows.
  C  on bone 0 at (0, 8, 0), a 2x2 texture filtered linearly, with a specular highlight that
     is the same at its four corners.
The motion has 30 frames and loop start 10; one second is frame 45, which wraps to frame 25,
the only frame with the turn.
"""
import math
import os
import struct
import sys

W, H = 320, 240
EYE, TARGET, UP = (0.0, 8.0, 15.0), (0.0, 8.0, 0.0), (0.0, 1.0, 0.0)
LIGHT_DIRECTION = (0.0, 0.0, -1.0)
TURN = math.radians(60)

# ---------------------------------------------------------------- vector and matrix helpers
def sub(a, b): return tuple(x - y for x, y in zip(a, b))
def add(a, b): return tuple(x + y for x, y in zip(a, b))
def dot(a, b): return sum(x * y for x, y in zip(a, b))
def scale(a, s): return tuple(x * s for x in a)
def cross(a, b): return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])
def normalize(a):
    n = math.sqrt(dot(a, a))
    return scale(a, 1 / n) if n else a

def mul(a, b):  # row-major 4x4, a applies first
    return [[sum(a[i][k] * b[k][j] for k in range(4)) for j in range(4)] for i in range(4)]

def identity(): return [[1.0 if i == j else 0.0 for j in range(4)] for i in range(4)]

def translation(x, y, z):
    m = identity()
    m[3][0], m[3][1], m[3][2] = x, y, z
    return m

def rotation_y(a):
    c, s = math.cos(a), math.sin(a)
    return [[c, 0, -s, 0], [0, 1, 0, 0], [s, 0, c, 0], [0, 0, 0, 1]]

def transform(p, m, w=1.0):
    v = (p[0], p[1], p[2], w)
    return tuple(sum(v[k] * m[k][j] for k in range(4)) for j in range(4))

def look_at_rh(eye, target, up):
    z = normalize(sub(eye, target))
    x = normalize(cross(up, z))
    y = cross(z, x)
    return [[x[0], y[0], z[0], 0], [x[1], y[1], z[1], 0], [x[2], y[2], z[2], 0],
            [-dot(x, eye), -dot(y, eye), -dot(z, eye), 1]]

def perspective_fov_rh(fovy, aspect, zn, zf):
    h = math.cos(fovy / 2) / math.sin(fovy / 2)
    w = h / aspect
    return [[w, 0, 0, 0], [0, h, 0, 0], [0, 0, zf / (zn - zf), -1], [0, 0, zn * zf / (zn - zf), 0]]

VIEW = look_at_rh(EYE, TARGET, UP)
NEAR = 0.1 if math.dist(EYE, TARGET) < 2.0 else 1.0
PROJECTION = perspective_fov_rh(math.pi / 4, W / H, NEAR, 1000.0)

def screen(p):
    """Back-buffer position of a world point; pixel (i, j) samples the point (i, j)."""
    c = transform(transform(p, VIEW)[:3], PROJECTION)
    return ((1 + c[0] / c[3]) * W / 2, (1 - c[1] / c[3]) * H / 2)

# ---------------------------------------------------------------- the writers
def floats(*values): return struct.pack("<%df" % len(values), *values)
def flat(m): return [v for row in m for v in row]

def vertex(position, bone, normal, colour, uv):
    return (floats(*position) + floats(1.0, 0.0, 0.0) + bytes([bone, 0, 0, 0]) +
            floats(*normal) + struct.pack("<I", colour) + floats(*uv))

def square(cx, cy, half, bone, colour):
    """Two counter-clockwise triangles (as seen from +z), uv 0..1 left to right, top to bottom."""
    tl = vertex((cx - half, cy + half, 0), bone, (0, 0, 1), colour, (0, 0))
    bl = vertex((cx - half, cy - half, 0), bone, (0, 0, 1), colour, (0, 1))
    br = vertex((cx + half, cy - half, 0), bone, (0, 0, 1), colour, (1, 1))
    tr = vertex((cx + half, cy + half, 0), bone, (0, 0, 1), colour, (1, 0))
    return [tl, bl, br, tl, br, tr]

def mesh(name, matrix, material, vertices):
    data = name.encode().ljust(32, b"\0") + floats(*flat(matrix))
    data += struct.pack("<iii", len(vertices) // 3, 1, 2)
    data += struct.pack("<iii", material, 0, len(vertices) // 3) + struct.pack("<iii", 0, -1, 0)
    return data + b"".join(vertices)

def material(diffuse, ambient, specular, emissive, power, texture):
    return floats(*diffuse, *ambient, *specular, *emissive, power) + struct.pack("<i", texture)

# [row][column], as 8-bit channels.
TEXEL_BYTES = [[(153, 26, 26), (26, 153, 26)], [(26, 26, 153), (128, 128, 51)]]
TEXELS = [[tuple(c / 255 for c in t) for t in row] for row in TEXEL_BYTES]

def argb(rgb): return 0xFF000000 | rgb[0] << 16 | rgb[1] << 8 | rgb[2]

A_COLOUR, B_COLOUR = (0x66, 0x80, 0x4D), (0x99, 0x66, 0xCC)
A_AMBIENT, A_EMISSIVE = (0.10, 0.05, 0.0), (0.05, 0.0, 0.10)
B_AMBIENT, B_EMISSIVE = (0.0, 0.1, 0.05), (0.1, 0.05, 0.0)
C_SPECULAR, C_POWER = 0.3, 10.0
ODD_DIFFUSE = (0.9, 0.1, 0.9, 1.0)  # replaced by the vertex colour

def write_tmb():
    data = b"TMB0" + struct.pack("<i", 1)
    data += b"checker".ljust(32, b"\0") + struct.pack("<hh", 2, 2)
    data += b"".join(struct.pack("<I", argb(TEXEL_BYTES[r][c])) for r in range(2) for c in range(2))
    materials = [
        material(ODD_DIFFUSE, A_AMBIENT + (1,), (0, 0, 0, 0), A_EMISSIVE + (1,), 0, -1),
        material(ODD_DIFFUSE, B_AMBIENT + (1,), (0, 0, 0, 0), B_EMISSIVE + (1,), 0, -1),
        material(ODD_DIFFUSE, (0, 0, 0, 1), (C_SPECULAR,) * 3 + (1,), (0, 0, 0, 1), C_POWER, 0),
    ]
    data += struct.pack("<i", len(materials)) + b"".join(materials)
    colour = lambda c: 0xFF000000 | c[0] << 16 | c[1] << 8 | c[2]
    meshes = [
        mesh("a", translation(-3, 0, 0), 0, square(0, 8, 1, 0, colour(A_COLOUR))),
        mesh("b", identity(), 1, square(3, 8, 1, 1, colour(B_COLOUR))),
        mesh("c", identity(), 2, square(0, 8, 1, 0, 0xFFFFFFFF)),
    ]
    data += struct.pack("<i", len(meshes)) + b"".join(meshes)
    offsets = [identity(), translation(-3, -8, 0)]  # bone 1's bind pose sits at (3, 8, 0)
    data += struct.pack("<i", 2) + b"".join(floats(*flat(m)) for m in offsets)
    data += struct.pack("<i", 1) + struct.pack("<I", 0) + floats(0, 0, 0, 0, 0, 0, 1, 1, 1) + b"stand\0"
    return data

FRAMES, LOOP_START, TURNED_FRAME = 30, 10, 25

def write_tsb():
    data = b"reference writer".ljust(16, b"\0")[:16]
    data += struct.pack("<iiii", 2, FRAMES, LOOP_START, 0)
    for f in range(FRAMES):
        bone1 = mul(rotation_y(TURN), translation(3, 8, 0)) if f == TURNED_FRAME else translation(3, 8, 0)
        data += floats(*flat(identity())) + floats(*flat(bone1))
    return data

# ---------------------------------------------------------------- the expected picture
def lit(emissive, ambient, vertex_colour, n_dot_l):
    """Emissive + ambient x (global ambient white + no light ambient) + colour x diffuse x N.L."""
    return tuple(min(1.0, e + a * 1.0 + c / 255 * 1.0 * max(n_dot_l, 0.0))
                 for e, a, c in zip(emissive, ambient, vertex_colour))

def c_specular():
    # The same at every corner of C: corners (+-1, 8 +- 1, 0), light towards +z, local viewer.
    to_light = normalize(scale(LIGHT_DIRECTION, -1))
    corner = (1.0, 9.0, 0.0)
    half = normalize(add(normalize(sub(EYE, corner)), to_light))
    return C_SPECULAR * max(dot((0, 0, 1), half), 0.0) ** C_POWER

def bilinear(u, v):
    """Linear filtering with wrapping on the 2x2 texture, as stage 0 samples it."""
    x, y = u * 2 - 0.5, v * 2 - 0.5
    x0, y0 = math.floor(x), math.floor(y)
    fx, fy = x - x0, y - y0
    texel = lambda cx, cy: TEXELS[cy % 2][cx % 2]
    return tuple((1 - fx) * (1 - fy) * texel(x0, y0)[k] + fx * (1 - fy) * texel(x0 + 1, y0)[k] +
                 (1 - fx) * fy * texel(x0, y0 + 1)[k] + fx * fy * texel(x0 + 1, y0 + 1)[k]
                 for k in range(3))

def samples():
    out = []
    def expect(px, py, rgb, tolerance=3):
        out.append((px, py) + tuple(round(min(1.0, max(0.0, c)) * 255) for c in rgb) + (tolerance,))

    # A: constant colour; its centre and points well inside.
    a = lit(A_EMISSIVE, A_AMBIENT, A_COLOUR, 1.0)
    for p in [(-3, 8, 0), (-3.6, 8.6, 0), (-2.4, 7.4, 0)]:
        sx, sy = screen(p)
        expect(round(sx), round(sy), a)
    # B: turned 60 degrees about y around its centre; its edges are at x = 3 +- cos 60 with
    # z = -+sin 60 (the right edge goes back).
    b = lit(B_EMISSIVE, B_AMBIENT, B_COLOUR, math.cos(TURN))
    sx, sy = screen((3, 8, 0))
    expect(round(sx), round(sy), b)
    left = screen((3 - math.cos(TURN), 8, math.sin(TURN)))
    right = screen((3 + math.cos(TURN), 8, -math.sin(TURN)))
    expect(math.ceil(left[0]) + 1, round(sy), b)
    expect(math.floor(right[0]) - 1, round(sy), b)
    unturned_left, unturned_right = screen((2, 8, 0)), screen((4, 8, 0))
    expect(math.floor(left[0]) - 2, round(sy), (0, 0, 0), 0)
    expect(math.ceil(right[0]) + 2, round(sy), (0, 0, 0), 0)
    assert unturned_left[0] < left[0] - 3 and unturned_right[0] > right[0] + 3
    # C: parallel to the image plane, so u and v are linear in the pixel position.
    s = c_specular()
    (x0, y0), (x1, y1) = screen((-1, 9, 0)), screen((1, 7, 0))
    for u, v in [(0.25, 0.25), (0.75, 0.25), (0.25, 0.75), (0.75, 0.75), (0.5, 0.5), (0.1, 0.6)]:
        px, py = round(x0 + u * (x1 - x0)), round(y0 + v * (y1 - y0))
        pu, pv = (px - x0) / (x1 - x0), (py - y0) / (y1 - y0)
        expect(px, py, tuple(t + s for t in bilinear(pu, pv)))
    # Background.
    expect(5, 5, (0, 0, 0), 0)
    return out

def main():
    folder = sys.argv[1]
    with open(os.path.join(folder, "figure.tmb"), "wb") as f:
        f.write(write_tmb())
    with open(os.path.join(folder, "figure.tsb"), "wb") as f:
        f.write(write_tsb())
    with open(os.path.join(folder, "expected.txt"), "w") as f:
        for s in samples():
            f.write(" ".join(str(v) for v in s) + "\n")

if __name__ == "__main__":
    main()
