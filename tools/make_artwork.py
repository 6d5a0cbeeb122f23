#!/usr/bin/env python3
"""Draws M2KCOUNT's own artwork with nothing but the Python standard library.

Writes into the output folder (default: resources/artwork under the repository root):
  count_back.bmp    600x176 window backdrop, 24-bit BGR, bottom-up
  bubble_upper.bmp  390x80 speech bubble, 32-bit BGRA (straight alpha), bottom-up
  bubble_lower.bmp  325x56 speech bubble, same format
  app_icon.ico      32x32 icon, one 32-bit BGRA image plus its AND mask

Rerun:  python3 tools/make_artwork.py [output_folder]
The output is the same bytes on every run (the only randomness is seeded).
"""

import math
import os
import random
import struct
import sys

OUTLINE = (240, 150, 180)
WHITE = (255, 255, 255)


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def smoothstep(e0, e1, v):
    t = clamp01((v - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def to_byte(v):
    return max(0, min(255, int(v + 0.5)))


# ---------------------------------------------------------------- file writers

def bmp_bytes(width, height, rows, bpp):
    """rows: top-to-bottom lists of (r, g, b) or (r, g, b, a) tuples.
    Returns an uncompressed BI_RGB bitmap stored bottom-up."""
    stride = (width * bpp // 8 + 3) & ~3
    body = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for px in row:
            line += bytes((to_byte(px[2]), to_byte(px[1]), to_byte(px[0])))
            if bpp == 32:
                line.append(to_byte(px[3]))
        body += line + bytes(stride - len(line))
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bpp, 0,
                       len(body), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(body), 0, 0, 14 + len(info))
    return head + info + body


def ico_bytes(size, rows):
    """One size x size, 32-bit image; the AND mask marks fully transparent pixels."""
    xor = bmp_bytes(size, size, rows, 32)[14 + 40:]
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, px in enumerate(row):
            if to_byte(px[3]) == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    image = info + xor + mask
    head = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(image), 6 + 16)
    return head + entry + image


# ---------------------------------------------------------------- shapes

def rounded_rect_distance(px, py, x0, y0, x1, y1, radius):
    """Signed distance from a point to a rounded rectangle (negative inside)."""
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    qx = abs(px - cx) - (x1 - x0) / 2.0 + radius
    qy = abs(py - cy) - (y1 - y0) / 2.0 + radius
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


def blend(canvas, x, y, color, alpha):
    if alpha > 0.0:
        canvas[y][x] = mix(canvas[y][x], color, alpha)


def soft_disc(canvas, cx, cy, radius, color, strength):
    """A bokeh blob: flat soft fill with a slightly brighter rim, blurred edge."""
    height, width = len(canvas), len(canvas[0])
    for y in range(max(0, int(cy - radius - 2)), min(height, int(cy + radius + 3))):
        for x in range(max(0, int(cx - radius - 2)), min(width, int(cx + radius + 3))):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy) / radius
            if d < 1.08:
                edge = 1.0 - smoothstep(0.88, 1.06, d)
                rim = 0.55 + 0.45 * smoothstep(0.55, 0.95, d)
                blend(canvas, x, y, color, strength * edge * rim)


def sparkle(canvas, cx, cy, size, color, strength):
    """A small four-pointed twinkle: two thin crossed arms that taper to points."""
    height, width = len(canvas), len(canvas[0])
    for y in range(max(0, int(cy - size)), min(height, int(cy + size) + 1)):
        for x in range(max(0, int(cx - size)), min(width, int(cx + size) + 1)):
            dx, dy = abs(x + 0.5 - cx), abs(y + 0.5 - cy)
            half_width = 1.0 - max(dx, dy) / size
            blend(canvas, x, y, color, strength * clamp01(half_width - min(dx, dy) + 0.5))


# ---------------------------------------------------------------- backdrop

def backdrop(width=600, height=176, floor_top=150):
    top, middle, low = (255, 234, 243), (252, 248, 255), (240, 237, 255)
    floor = (251, 221, 233)
    canvas = []
    for y in range(height):
        t = y / (floor_top - 1)
        sky = mix(top, middle, smoothstep(0.0, 0.55, t))
        sky = mix(sky, low, smoothstep(0.45, 1.0, t))
        band = smoothstep(floor_top - 3, floor_top + 3, y + 0.5)
        color = mix(sky, floor, band)
        glow = 1.0 - smoothstep(0.0, 2.5, abs(y + 0.5 - (floor_top + 3.5)))
        color = mix(color, WHITE, 0.55 * glow)
        canvas.append([color] * width)
    rng = random.Random(2024)
    palette = [WHITE, (234, 226, 255), (228, 234, 255), (255, 218, 234)]
    slots = 20
    for i in range(slots):
        x = (i + rng.uniform(0.1, 0.9)) * width / slots
        soft_disc(canvas, x, rng.uniform(4, floor_top - 20), rng.uniform(9, 28),
                  rng.choice(palette), rng.uniform(0.3, 0.5))
    for _ in range(14):
        sparkle(canvas, rng.uniform(8, width - 8), rng.uniform(6, floor_top - 12),
                rng.uniform(4, 6.5), WHITE, 0.9)
    floor_dots(canvas, floor_top)
    return canvas


def floor_dots(canvas, floor_top):
    """A faint polka-dot pattern on the floor band."""
    height, width = len(canvas), len(canvas[0])
    for row, y in enumerate(range(floor_top + 10, height, 9)):
        for x in range(4 + (row % 2) * 11, width, 22):
            soft_disc(canvas, x + 0.5, y, 2.2, (255, 240, 246), 0.8)


# ---------------------------------------------------------------- bubbles

def bubble(width, height, margin=2.0, radius=14.0, line=2.0):
    """White rounded rectangle with a soft pink outline, transparent outside."""
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            d = rounded_rect_distance(x + 0.5, y + 0.5, margin, margin,
                                      width - margin, height - margin, radius)
            alpha = clamp01(0.5 - d)
            if alpha == 0.0:
                row.append((0, 0, 0, 0))
                continue
            color = mix(WHITE, OUTLINE, clamp01(d + line + 0.5))
            row.append(color + (255 * alpha,))
        rows.append(row)
    return rows


# ---------------------------------------------------------------- icon

def heart_distance(px, py, cx, cy, size):
    """Signed distance to a heart: two circles on a square turned 45 degrees."""
    x, y = abs(px - cx) / size, (py - cy) / size + 0.4
    lobe = math.hypot(x - 0.5, y) - math.sqrt(0.5)
    point = (x + abs(y - 0.5) - 1.0) / math.sqrt(2.0)
    return min(lobe, point) * size


def edge_distance(px, py, ax, ay, bx, by):
    """Signed distance to the line a->b, positive on its left (y grows downward)."""
    nx, ny = by - ay, ax - bx
    return ((px - ax) * nx + (py - ay) * ny) / math.hypot(nx, ny)


def triangle_distance(px, py, a, b, c):
    return max(edge_distance(px, py, *a, *b), edge_distance(px, py, *b, *c),
               edge_distance(px, py, *c, *a))


def icon(size=32):
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            px, py = x + 0.5, y + 0.5
            d = rounded_rect_distance(px, py, 1, 1, size - 1, size - 1, 7)
            alpha = clamp01(0.5 - d)
            if alpha == 0.0:
                row.append((0, 0, 0, 0))
                continue
            color = mix((255, 168, 200), (244, 118, 164), py / size)
            color = mix(color, (214, 86, 134), smoothstep(-1.8, -0.4, d))
            color = mix(color, WHITE, clamp01(0.5 - speech_distance(px, py)))
            color = mix(color, (240, 96, 150), clamp01(0.5 - heart_distance(px, py, 16.0, 14.5, 4.3)))
            row.append(color + (255 * alpha,))
        rows.append(row)
    return rows


def speech_distance(px, py):
    """An oval speech bubble with a small tail to the lower left."""
    body = (math.hypot((px - 16.0) / 12.5, (py - 14.5) / 10.0) - 1.0) * 10.0
    tail = triangle_distance(px, py, (9.0, 20.0), (15.0, 23.0), (6.5, 28.0))
    return min(body, tail)


# ---------------------------------------------------------------- main

def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)
    print('%s  %d bytes' % (path, len(data)))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'resources', 'artwork')
    out = os.path.normpath(out)
    os.makedirs(out, exist_ok=True)
    write(os.path.join(out, 'count_back.bmp'), bmp_bytes(600, 176, backdrop(), 24))
    write(os.path.join(out, 'bubble_upper.bmp'), bmp_bytes(390, 80, bubble(390, 80), 32))
    write(os.path.join(out, 'bubble_lower.bmp'), bmp_bytes(325, 56, bubble(325, 56, radius=12.0), 32))
    write(os.path.join(out, 'app_icon.ico'), ico_bytes(32, icon()))


if __name__ == '__main__':
    main()
