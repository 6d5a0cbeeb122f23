#!/usr/bin/env python3
"""Draws M2KCOUNT's own demo character sprite sheets with the Python standard library only.

The program shows two characters as small standing figures ("chips") cut from TGA sprite
sheets. These are our own stand-in sheets, invented here, with the file names and pose
rectangles the program looks for:

  mapc010.tga mapc011.tga mapc013.tga  character 0 (variants 0, 1, 2: other outfit colours)
  mapc020.tga                          character 1
  mapc030.tga mapc031.tga              character 2
  mapc040.tga                          character 3
  mapc050.tga mapc059.tga              character 4
  mapc060.tga                          character 5
  mapc070.tg2 mapc072.tga              character 6 (variant 0 really ends in ".tg2")
  mapc080.tga mapc081.tga              character 7
  mapc090.tga                          character 8
  mapc140.tga                          character 9 (also listed as character 8's variant 1)

Each sheet holds poses 0, 1, 2 (walking: the foot on the picture's left forward, standing,
the foot on the picture's right forward) at that character's rectangles; mapc140.tga also
holds character 9's calm resting pose 4 at (176, 185, 77, 171). The figures fill their
rectangles (feet on the bottom row, head near the top) and nothing is drawn outside them.

File format: 32-bit TGA, straight (non-premultiplied) alpha with anti-aliased edges, every
fully transparent pixel stored as 0. Image type 10 (run-length encoded) or 2 (uncompressed),
by default alternating in file-name order so that both kinds exist; descriptor 0x08 (8 alpha
bits, rows stored bottom-up), or 0x28 with --top-down. No image id, no colour map, no footer.

Rerun:  python3 tools/make_sprites.py [--rle | --raw] [--top-down] [output_folder]
The default folder is resources/demo_sprites under the repository root. The output is the
same bytes on every run (no randomness, no time stamps).
"""

import argparse
import math
import os
import struct
import sys

# ---------------------------------------------------------------- sheet tables

SPRITE_FILES = [
    ['mapc010.tga', 'mapc011.tga', 'mapc013.tga'],
    ['mapc020.tga'],
    ['mapc030.tga', 'mapc031.tga'],
    ['mapc040.tga'],
    ['mapc050.tga', 'mapc059.tga'],
    ['mapc060.tga'],
    ['mapc070.tg2', 'mapc072.tga'],
    ['mapc080.tga', 'mapc081.tga'],
    ['mapc090.tga', 'mapc140.tga'],
    ['mapc140.tga'],
]

# Walking frames 0, 1, 2 per character: (x, y, w, h) in the sheet.
WALK_RECTS = [
    [(0, 1, 106, 174), (106, 2, 106, 174), (4, 183, 106, 174)],
    [(2, 1, 88, 174), (131, 17, 88, 174), (4, 215, 88, 174)],
    [(3, 3, 80, 174), (88, 2, 80, 174), (4, 182, 80, 174)],
    [(4, 1, 92, 172), (105, 0, 92, 172), (5, 176, 92, 172)],
    [(2, 0, 96, 176), (105, 1, 96, 176), (4, 182, 96, 176)],
    [(2, 0, 96, 176), (105, 2, 96, 176), (4, 184, 96, 176)],
    [(2, 2, 92, 172), (100, 3, 92, 172), (3, 182, 92, 172)],
    [(3, 0, 106, 174), (113, 0, 106, 174), (4, 175, 106, 174)],
    [(4, 1, 76, 174), (121, 19, 76, 174), (5, 212, 76, 174)],
    [(3, 3, 82, 174), (88, 4, 82, 174), (5, 185, 82, 174)],
]
REST_POSE = 4
REST_RECT_9 = (176, 185, 77, 171)      # character 9's resting figure
PLACEHOLDER_RECT = (4, 4, 104, 172)    # poses 3 and up of the rest: pose 0 covers it

# Character colours (R, G, B): hair is drawn in these.
COLOURS = [
    (114, 102, 101), (227, 164, 132), (160, 52, 75), (255, 197, 116), (138, 133, 185),
    (176, 122, 166), (160, 160, 237), (224, 159, 158), (87, 94, 130), (183, 156, 138),
]

# Outfit colours per character and variant, and an accent (ribbons, bows, clips).
OUTFITS = [
    [(74, 92, 158), (196, 74, 92), (76, 146, 104)],
    [(112, 168, 214)],
    [(62, 62, 84), (232, 228, 238)],
    [(80, 160, 96)],
    [(246, 196, 88), (118, 184, 150)],
    [(246, 196, 88)],
    [(228, 116, 150), (96, 96, 168)],
    [(72, 66, 92), (238, 236, 244)],
    [(150, 62, 66)],
    [(120, 86, 128)],
]
ACCENTS = [
    (232, 64, 88), (250, 120, 150), (246, 204, 80), (244, 108, 60), (104, 200, 232),
    (104, 200, 232), (255, 255, 255), (176, 40, 64), (250, 236, 200), (150, 200, 230),
]

DESIGN_HEIGHT = 174.0       # figures are designed 174 units tall, x = 0 on the centre line
SKIN = (255, 233, 216)
WHITE = (255, 255, 255)


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def line_of(c):
    """Outline colour for a fill colour: darker and a little warmer."""
    return mix(c, (58, 30, 42), 0.62)


def palette(character, variant):
    hair = COLOURS[character]
    outfit = OUTFITS[character][variant]
    accent = ACCENTS[character]
    pale_outfit = sum(outfit) > 600
    pal = {
        'hair': hair,
        'hair_dark': mix(hair, (40, 20, 40), 0.25),
        'hair_light': mix(hair, WHITE, 0.5),
        'skin': SKIN,
        'skin_dark': (246, 200, 186),
        'blush': (255, 140, 160),
        'eye': mix(hair, (30, 20, 40), 0.35),
        'eye_light': mix(hair, WHITE, 0.35),
        'eye_dark': mix(hair, (20, 10, 30), 0.75),
        'white': WHITE,
        'lash': (64, 40, 50),
        'mouth': (196, 84, 96),
        'outfit': outfit,
        'outfit_dark': mix(outfit, (30, 20, 50), 0.22),
        'top': (252, 250, 248) if not pale_outfit else mix(outfit, (70, 70, 110), 0.55),
        'top_dark': (226, 222, 232) if not pale_outfit else mix(outfit, (40, 40, 80), 0.65),
        'accent': accent,
        'accent_dark': mix(accent, (40, 20, 40), 0.3),
        'legwear': (252, 252, 252) if character != 9 else (104, 86, 92),
        'shoe': (112, 70, 62),
        'shoe_light': (170, 122, 110),
        'glasses': (96, 56, 70),
        'jacket': mix(outfit, (240, 228, 210), 0.6),
        'jacket_dark': mix(outfit, (60, 40, 60), 0.3),
        'lens': (230, 240, 255),
    }
    for role in list(pal):
        pal[role + '_line'] = line_of(pal[role])
    pal['hair_line'] = mix(hair, (40, 16, 36), 0.6)
    return pal


# ---------------------------------------------------------------- shapes (signed distances)
# Every shape gives a signed distance (negative inside) in design units and a bounding box.
# convex=True lets the rasteriser fill a row's inside without evaluating each pixel.

class Circle:
    convex = True

    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r

    def sdf(self, x, y):
        return math.hypot(x - self.cx, y - self.cy) - self.r

    def box(self):
        return (self.cx - self.r, self.cy - self.r, self.cx + self.r, self.cy + self.r)


class Ellipse:
    convex = True

    def __init__(self, cx, cy, rx, ry, angle=0.0):
        self.cx, self.cy, self.rx, self.ry = cx, cy, rx, ry
        self.ca, self.sa = math.cos(math.radians(angle)), math.sin(math.radians(angle))

    def sdf(self, x, y):
        dx, dy = x - self.cx, y - self.cy
        px = (dx * self.ca + dy * self.sa) / self.rx
        py = (-dx * self.sa + dy * self.ca) / self.ry
        k0 = math.hypot(px, py)
        k1 = math.hypot(px / self.rx, py / self.ry)
        if k1 == 0.0:
            return -min(self.rx, self.ry)
        return k0 * (k0 - 1.0) / k1

    def box(self):
        r = max(self.rx, self.ry)
        return (self.cx - r, self.cy - r, self.cx + r, self.cy + r)


class Limb:
    """A segment from a to b with a radius going from ra to rb (a tapered capsule)."""
    convex = True

    def __init__(self, a, b, ra, rb=None):
        self.ax, self.ay = a
        self.bx, self.by = b
        self.ra = ra
        self.rb = ra if rb is None else rb
        self.ex, self.ey = self.bx - self.ax, self.by - self.ay
        self.ee = self.ex * self.ex + self.ey * self.ey or 1e-9

    def sdf(self, x, y):
        wx, wy = x - self.ax, y - self.ay
        t = (wx * self.ex + wy * self.ey) / self.ee
        t = 0.0 if t < 0.0 else 1.0 if t > 1.0 else t
        return math.hypot(wx - self.ex * t, wy - self.ey * t) - (self.ra + (self.rb - self.ra) * t)

    def box(self):
        r = max(self.ra, self.rb)
        return (min(self.ax, self.bx) - r, min(self.ay, self.by) - r,
                max(self.ax, self.bx) + r, max(self.ay, self.by) + r)


class Poly:
    """A polygon (convex unless told), grown by `round` units for soft corners."""

    def __init__(self, points, round=0.0, convex=True):
        self.pts = [tuple(p) for p in points]
        self.round = round
        self.convex = convex
        n = len(self.pts)
        self.edges = []
        for i in range(n):
            vx, vy = self.pts[i]
            ux, uy = self.pts[i - 1]
            ex, ey = ux - vx, uy - vy
            self.edges.append((vx, vy, ux, uy, ex, ey, (ex * ex + ey * ey) or 1e-9))

    def sdf(self, x, y):
        best = 1e18
        inside = False
        for vx, vy, ux, uy, ex, ey, ee in self.edges:
            wx, wy = x - vx, y - vy
            t = (wx * ex + wy * ey) / ee
            t = 0.0 if t < 0.0 else 1.0 if t > 1.0 else t
            bx, by = wx - ex * t, wy - ey * t
            d = bx * bx + by * by
            if d < best:
                best = d
            if (vy > y) != (uy > y) and x < vx + (y - vy) * ex / (ey or 1e-9):
                inside = not inside
        d = math.sqrt(best)
        return (-d if inside else d) - self.round

    def box(self):
        xs = [p[0] for p in self.pts]
        ys = [p[1] for p in self.pts]
        r = self.round
        return (min(xs) - r, min(ys) - r, max(xs) + r, max(ys) + r)


class Box:
    """Axis-aligned rectangle (also used as a half-plane-like clip with large extents)."""
    convex = True

    def __init__(self, x0, y0, x1, y1):
        self.x0, self.y0, self.x1, self.y1 = x0, y0, x1, y1

    def sdf(self, x, y):
        qx = max(self.x0 - x, x - self.x1)
        qy = max(self.y0 - y, y - self.y1)
        if qx > 0.0 and qy > 0.0:
            return math.hypot(qx, qy)
        return max(qx, qy)

    def box(self):
        return (self.x0, self.y0, self.x1, self.y1)


class Ring:
    """The band of half-width t around a circle of radius r."""
    convex = False

    def __init__(self, cx, cy, r, t):
        self.cx, self.cy, self.r, self.t = cx, cy, r, t

    def sdf(self, x, y):
        return abs(math.hypot(x - self.cx, y - self.cy) - self.r) - self.t

    def box(self):
        r = self.r + self.t
        return (self.cx - r, self.cy - r, self.cx + r, self.cy + r)


class Part:
    """One painted piece: the union of `shapes`, kept inside the union of `clip` and out of
    the union of `cut`, filled with a palette role, optionally with an outline of its own."""

    def __init__(self, role, shapes, outline=1.0, clip=None, cut=None, alpha=1.0):
        self.role = role
        self.shapes = shapes
        self.outline = outline
        self.clip = clip or []
        self.cut = cut or []
        self.alpha = alpha


# ---------------------------------------------------------------- rasterising

class Frame:
    """Maps design units to the pixels of one w x h pose rectangle."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.s = h / DESIGN_HEIGHT
        self.cx = w / 2.0


def raster_union(frame, shapes, grow):
    """Coverage (0..1) of the union of shapes grown by `grow` pixels, as a dict row -> (x0, list)."""
    w, h, s, cx = frame.w, frame.h, frame.s, frame.cx
    inv = 1.0 / s
    rows = {}
    for shape in shapes:
        bx0, by0, bx1, by1 = shape.box()
        x0 = max(0, int(math.floor(cx + bx0 * s - grow - 1)))
        x1 = min(w, int(math.ceil(cx + bx1 * s + grow + 1)))
        y0 = max(0, int(math.floor(by0 * s - grow - 1)))
        y1 = min(h, int(math.ceil(by1 * s + grow + 1)))
        if x0 >= x1 or y0 >= y1:
            continue
        sdf = shape.sdf
        bias = 0.5 + grow
        for py in range(y0, y1):
            v = (py + 0.5) * inv
            if py in rows:
                rx0, row = rows[py]
                if x0 < rx0 or x1 > rx0 + len(row):
                    nx0 = min(rx0, x0)
                    nx1 = max(rx0 + len(row), x1)
                    row = [0.0] * (rx0 - nx0) + row + [0.0] * (nx1 - rx0 - len(row))
                    rx0 = nx0
                    rows[py] = (rx0, row)
            else:
                rx0, row = x0, [0.0] * (x1 - x0)
                rows[py] = (rx0, row)
            if shape.convex:
                full = -1
                x = x0
                while x < x1:
                    c = bias - sdf((x + 0.5 - cx) * inv, v) * s
                    if c > 0.0:
                        i = x - rx0
                        if c >= 1.0:
                            row[i] = 1.0
                            full = x
                            break
                        if c > row[i]:
                            row[i] = c
                    x += 1
                if full < 0:
                    continue
                x = x1 - 1
                while x > full:
                    c = bias - sdf((x + 0.5 - cx) * inv, v) * s
                    if c > 0.0:
                        i = x - rx0
                        if c >= 1.0:
                            row[i] = 1.0
                            break
                        if c > row[i]:
                            row[i] = c
                    x -= 1
                a, b = full + 1 - rx0, x - rx0
                if b > a:
                    row[a:b] = [1.0] * (b - a)
            else:
                for x in range(x0, x1):
                    c = bias - sdf((x + 0.5 - cx) * inv, v) * s
                    if c > 0.0:
                        i = x - rx0
                        if c > 1.0:
                            c = 1.0
                        if c > row[i]:
                            row[i] = c
    return rows


def coverage_at(frame, shapes, grow, x, y):
    inv = 1.0 / frame.s
    u, v = (x + 0.5 - frame.cx) * inv, (y + 0.5) * inv
    best = 0.0
    for shape in shapes:
        c = 0.5 + grow - shape.sdf(u, v) * frame.s
        if c >= 1.0:
            return 1.0
        if c > best:
            best = c
    return best


def raster_part(frame, part, grow):
    rows = raster_union(frame, part.shapes, grow)
    if part.clip or part.cut:
        for py, (rx0, row) in rows.items():
            for i, c in enumerate(row):
                if c > 0.0:
                    if part.clip:
                        c = min(c, coverage_at(frame, part.clip, grow, rx0 + i, py))
                    if part.cut and c > 0.0:
                        c = min(c, 1.0 - coverage_at(frame, part.cut, 0.0, rx0 + i, py))
                    row[i] = c
    if part.alpha != 1.0:
        for rx0, row in rows.values():
            for i, c in enumerate(row):
                row[i] = c * part.alpha
    return rows


def raster_figure(frame, parts):
    """Turns the parts into a list of (role, coverage rows) layers, back to front."""
    layers = []
    for part in parts:
        if part.outline:
            layers.append((part.role + '_line', raster_part(frame, part, part.outline * frame.s)))
        layers.append((part.role, raster_part(frame, part, 0.0)))
    return layers


def composite(frame, layers, pal):
    """Paints the layers over transparency; returns premultiplied r, g, b and alpha lists."""
    w, h = frame.w, frame.h
    R = [0.0] * (w * h)
    G = [0.0] * (w * h)
    B = [0.0] * (w * h)
    A = [0.0] * (w * h)
    for role, rows in layers:
        cr, cg, cb = pal[role]
        for py, (rx0, row) in rows.items():
            base = py * w + rx0
            for i, a in enumerate(row):
                if a <= 0.0:
                    continue
                k = base + i
                if a >= 1.0:
                    R[k], G[k], B[k], A[k] = cr, cg, cb, 1.0
                else:
                    q = 1.0 - a
                    R[k] = cr * a + R[k] * q
                    G[k] = cg * a + G[k] * q
                    B[k] = cb * a + B[k] * q
                    A[k] = a + A[k] * q
    return R, G, B, A


# ---------------------------------------------------------------- the figures
# Design units: the figure is 174 high, feet end on the bottom row, x = 0 is the centre,
# negative x is the picture's left. Walking frames: 0 = left foot forward, 1 = standing,
# 2 = right foot forward; 'rest' = a calm standing pose with the hands folded in front.

def sym(shape_fn):
    """Both the shape and its mirror image."""
    return [shape_fn(1), shape_fn(-1)]


class Body:
    """Landmarks of one figure in design units."""

    def __init__(self, adult, pose):
        self.adult = adult
        self.pose = pose
        # 0 and 2 are contact frames: the body sits a little lower
        self.bob = 2.0 if pose in (0, 2) else 0.0
        b = self.bob
        if adult:
            self.head = (0.0, 31.0 + b)
            self.face_r = (17.5, 19.0)
            self.hair_r = 21.5
            self.neck = 52.0 + b
            self.shoulder_y = 58.0 + b
            self.shoulder_x = 13.5
            self.waist_y = 88.0 + b
            self.hem_y = 138.0 + b
            self.hip_y = 112.0 + b
        else:
            self.head = (0.0, 33.0 + b)
            self.face_r = (19.5, 20.5)
            self.hair_r = 23.5
            self.neck = 55.0 + b
            self.shoulder_y = 60.5 + b
            self.shoulder_x = 14.0
            self.waist_y = 86.0 + b
            self.hem_y = 118.0 + b
            self.hip_y = 110.0 + b
        self.foot_y = 172.5


def make_face(body, closed=False):
    hx, hy = body.head
    rx, ry = body.face_r
    parts = []
    face = [Ellipse(hx, hy, rx, ry), Ellipse(hx, hy + ry * 0.4, rx * 0.78, ry * 0.66)]
    parts.append(Part('skin', face))
    # blush
    parts.append(Part('blush', sym(lambda m: Ellipse(m * rx * 0.6, hy + ry * 0.5, 3.6, 1.9)),
                      outline=0, alpha=0.45))
    ey = hy + ry * 0.25
    ex = rx * 0.45
    if closed:
        for m in (-1, 1):
            parts.append(Part('lash', [Ring(m * ex, ey - 2.0, 3.8, 0.7)], outline=0,
                              clip=[Box(m * ex - 6, ey - 0.6, m * ex + 6, ey + 6)]))
    else:
        irx, iry = (3.2, 4.1) if body.adult else (3.8, 5.0)
        for m in (-1, 1):
            cx = m * ex
            parts.append(Part('white', [Ellipse(cx, ey + 0.2, irx + 0.7, iry + 0.2)], outline=0))
            iris = [Ellipse(cx, ey + 0.5, irx, iry)]
            parts.append(Part('eye', iris, outline=0.5))
            parts.append(Part('eye_dark', [Ellipse(cx, ey - iry * 0.45, irx * 1.1, iry * 0.55)],
                              outline=0, clip=iris, alpha=0.55))
            parts.append(Part('eye_light', [Ellipse(cx, ey + iry * 0.8, irx * 0.75, iry * 0.42)],
                              outline=0, clip=iris, alpha=0.85))
            parts.append(Part('eye_dark', [Ellipse(cx, ey + 0.6, irx * 0.45, iry * 0.5)], outline=0))
            parts.append(Part('white', [Circle(cx - m * irx * 0.3 - 0.4, ey - iry * 0.35, 1.35)],
                              outline=0))
            parts.append(Part('white', [Circle(cx + m * irx * 0.35, ey + iry * 0.5, 0.65)],
                              outline=0, alpha=0.85))
            # upper lash: an arc over the eye with a small flick at the outer corner
            top = ey - iry - 0.3
            radius = 7.0
            parts.append(Part('lash', [Ring(cx + m * 0.4, top + radius, radius, 0.75)], outline=0,
                              clip=[Box(cx - irx - 0.6, top - 2, cx + irx + 0.6, top + 2.4)]))
            parts.append(Part('lash', [Limb((cx + m * (irx + 0.1), top + 2.0),
                                            (cx + m * (irx + 1.9), top + 0.9), 0.8, 0.45)],
                              outline=0))
    # mouth: a small smile
    my = hy + ry * 0.62
    parts.append(Part('mouth', [Ring(hx, my - 2.2, 2.4, 0.55)], outline=0,
                      clip=[Box(-4, my - 1.0, 4, my + 2)]))
    return parts


def glasses_parts(body):
    """Thin rounded-rectangle glasses over the eyes (the grown-up of row 9)."""
    hy = body.head[1]
    rx, ry = body.face_r
    ex, gy = rx * 0.45, hy + ry * 0.25 + 0.3
    parts = []
    for m in (-1, 1):
        cx = m * ex
        corners = [(cx - 4.0, gy - 3.4), (cx + 4.0, gy - 3.4), (cx + 4.0, gy + 3.2),
                   (cx - 4.0, gy + 3.2)]
        rim = Poly(corners, round=1.4)
        parts.append(Part('lens', [rim], outline=0, alpha=0.25))
        parts.append(Part('glasses', [rim], outline=0, cut=[Poly(corners, round=0.55)]))
    parts.append(Part('glasses', [Limb((-ex + 5.0, gy - 1.6), (ex - 5.0, gy - 1.6), 0.5)],
                      outline=0))
    return parts


def arm_shapes(body, side, swing):
    """side -1 = picture's left arm; swing: 0 down, +1 forward, -1 back, 'fold' for resting."""
    sx = side * body.shoulder_x
    sy = body.shoulder_y + 2.0
    if swing == 'fold':
        elbow = (side * (body.shoulder_x + 3.5), sy + 20.0)
        wrist = (side * 4.0, sy + 30.0)
        hand = (side * 2.0, sy + 31.5)
    elif swing > 0:      # swung forward: the hand comes in front of the skirt
        elbow = (side * (body.shoulder_x + 3.0), sy + 18.0)
        wrist = (side * (body.shoulder_x - 2.0), sy + 31.0)
        hand = (side * (body.shoulder_x - 3.0), sy + 33.5)
    elif swing < 0:      # swung back: the hand goes out behind the hip
        elbow = (side * (body.shoulder_x + 6.5), sy + 17.0)
        wrist = (side * (body.shoulder_x + 12.5), sy + 31.0)
        hand = (side * (body.shoulder_x + 13.5), sy + 33.5)
    else:
        elbow = (side * (body.shoulder_x + 4.0), sy + 17.5)
        wrist = (side * (body.shoulder_x + 6.5), sy + 32.0)
        hand = (side * (body.shoulder_x + 7.0), sy + 35.0)
    arm = [Limb((sx, sy), elbow, 4.4, 3.7), Limb(elbow, wrist, 3.7, 3.1)]
    hand_shape = [Ellipse(hand[0], hand[1], 3.5, 4.0)]
    sleeve = [Ellipse(sx + side * 1.2, sy + 2.5, 6.8, 7.2)]
    return arm, hand_shape, sleeve


def leg_parts(body, side, state, legwear_top):
    """state: 'plant' (on the ground), 'front' (stepping forward, lowest), 'back' (heel up)."""
    hx = side * 6.2
    hip = (hx, body.hip_y)
    if state == 'back':          # heel lifted, toe down: the foot is higher and narrower
        ankle = (side * 5.0, body.foot_y - 19.0)
        shoe = Ellipse(side * 5.2, body.foot_y - 12.0, 4.6, 6.0)
    elif state == 'front':       # stepping forward: lower, turned out, a little larger
        ankle = (side * 9.5, body.foot_y - 9.0)
        shoe = Ellipse(side * 10.5, body.foot_y - 4.8, 7.0, 4.8)
    else:
        ankle = (side * 6.8, body.foot_y - 9.5)
        shoe = Ellipse(side * 7.6, body.foot_y - 4.6, 6.4, 4.6)
    leg = Limb(hip, ankle, 5.2, 3.6)
    parts = [Part('skin', [leg])]
    if legwear_top is not None:
        t = (legwear_top - hip[1]) / (ankle[1] - hip[1])
        top = (hip[0] + (ankle[0] - hip[0]) * t, legwear_top)
        parts.append(Part('legwear', [Limb(top, ankle, 5.0 - 1.4 * t, 3.8)]))
    parts.append(Part('shoe', [shoe]))
    parts.append(Part('shoe_light', [Ellipse(shoe.cx - side * 1.5, shoe.cy - 2.0, 2.2, 1.2)],
                      outline=0, alpha=0.7))
    return parts


def skirt_parts(body, hem_half, sway, role='outfit', pleats=True):
    wy = body.waist_y
    hy = body.hem_y
    top = 11.0 if not body.adult else 10.0
    shape = Poly([(-top, wy - 3), (top, wy - 3), (hem_half + sway, hy), (-hem_half + sway, hy)],
                 round=1.5)
    parts = [Part(role, [shape])]
    if pleats:
        lines = []
        for k in (-2, -1, 0, 1, 2):
            x0 = k * top * 0.42
            x1 = k * hem_half * 0.42 + sway
            lines.append(Limb((x0, wy + 4), (x1, hy + 1), 0.35, 0.7))
        parts.append(Part(role + '_dark', lines, outline=0, clip=[shape], alpha=0.8))
        parts.append(Part(role + '_dark', [Box(-30, hy - 3.0, 30, hy + 3)], outline=0,
                          clip=[shape], alpha=0.55))
    return parts


def torso_parts(body, collar=True, ribbon=True, jacket=False):
    sy = body.shoulder_y
    sx = body.shoulder_x
    wy = body.waist_y
    torso = Poly([(-sx + 2, sy - 2), (sx - 2, sy - 2), (sx + 1.5, sy + 3), (10.0, wy),
                  (-10.0, wy), (-sx - 1.5, sy + 3)], round=2.0)
    parts = [Part('top', [torso])]
    # a soft fold under the bust line
    parts.append(Part('top_dark', [Ellipse(0, wy - 4, 14, 3.5)], outline=0, clip=[torso],
                      alpha=0.6))
    if collar:
        collar_shapes = [Poly([(-sx - 1, sy - 1), (-1.5, sy - 2.5), (0, sy + 12), (-sx - 2, sy + 6)],
                              round=1.0),
                         Poly([(sx + 1, sy - 1), (1.5, sy - 2.5), (0, sy + 12), (sx + 2, sy + 6)],
                              round=1.0)]
        parts.append(Part('outfit', collar_shapes, outline=0.8, clip=[torso]))
    if jacket:
        # an open cardigan: two front panels leaving a V of blouse at the neck
        parts.append(Part('jacket', sym(lambda m: Poly([(m * (sx - 2), sy - 2), (m * 4.0, sy - 2),
                                                         (0, sy + 17), (0, wy), (m * 10.0, wy),
                                                         (m * (sx + 1.5), sy + 3)], round=1.5)),
                          outline=0.8))
        parts.append(Part('jacket_dark', [Circle(0, sy + 21 + 5 * k, 0.9) for k in range(2)],
                          outline=0))
    if ribbon:
        ry = sy + 7.5
        parts.append(Part('accent', [Poly([(0, ry), (-6.5, ry - 3.5), (-6.5, ry + 3.5)], round=1.0),
                                     Poly([(0, ry), (6.5, ry - 3.5), (6.5, ry + 3.5)], round=1.0),
                                     Poly([(-0.5, ry + 1), (-4.5, ry + 10), (-1.5, ry + 10.5)],
                                          round=0.6),
                                     Poly([(0.5, ry + 1), (4.5, ry + 10), (1.5, ry + 10.5)],
                                          round=0.6)]))
        parts.append(Part('accent', [Circle(0, ry, 2.0)], outline=0.8))
    return parts


def neck_part(body):
    return [Part('skin', [Limb((0, body.neck - 6), (0, body.neck + 4), 4.2)]),
            Part('skin_dark', [Ellipse(0, body.neck - 2.5, 5.0, 2.6)], outline=0, alpha=0.8,
                 clip=[Limb((0, body.neck - 6), (0, body.neck + 4), 4.2)])]


# ----- hair pieces

def hair_cap(body):
    hx, hy = body.head
    return Circle(hx, hy - 2.0, body.hair_r)


def bangs(body, style='zigzag'):
    hx, hy = body.head
    cap = hair_cap(body)
    r = body.hair_r
    top = hy - r * 0.6
    shapes = [Box(-40, -10, 40, top)]
    if style == 'blunt':
        shapes.append(Box(-r * 0.85, top - 1, r * 0.85, hy - 5.5))
    elif style == 'parted':
        shapes.append(Poly([(-r, top - 2), (1.0, top - 2), (-5.0, hy - 4.0), (-r, hy + 6)]))
        shapes.append(Poly([(r, top - 2), (3.0, top - 2), (9.0, hy - 5.0), (r, hy + 6)]))
    else:
        tips = [(-r * 0.92, -r * 0.62, -r * 0.8, 4.0),
                (-r * 0.66, -r * 0.12, -r * 0.42, -2.5),
                (-r * 0.22, r * 0.26, 0.02 * r, -1.5),
                (r * 0.16, r * 0.62, r * 0.42, -3.0),
                (r * 0.52, r * 0.96, r * 0.8, 4.0)]
        for a, b, tipx, dy in tips:
            shapes.append(Poly([(a, top - 2), (b, top - 2), (tipx, hy + dy)], round=0.8))
    return Part('hair', shapes, clip=[cap])


def hair_shine(body):
    hx, hy = body.head
    r = body.hair_r
    cap = hair_cap(body)
    return Part('hair_light', [Ring(hx, hy + r * 0.3, r * 0.95, 0.9)], outline=0, alpha=0.85,
                clip=[Poly([(-r * 0.75, hy - r * 0.8), (-r * 0.15, hy - r * 0.95),
                            (-r * 0.2, hy - r * 0.6), (-r * 0.8, hy - r * 0.5)]),
                      Poly([(r * 0.25, hy - r * 0.95), (r * 0.7, hy - r * 0.8),
                            (r * 0.78, hy - r * 0.5), (r * 0.3, hy - r * 0.6)])])


def side_locks(body, length):
    hx, hy = body.head
    r = body.hair_r
    return Part('hair', sym(lambda m: Limb((m * (r - 3.5), hy - 8), (m * (r - 4.5), hy + length),
                                           4.0, 1.2)))


def head_hair_back(body, style, sway=0.0):
    """Hair behind the face and body: 'bob', 'long', 'wavy', 'short'."""
    hx, hy = body.head
    r = body.hair_r + 1.0
    shapes = [Circle(hx, hy - 1.5, r)]
    if style == 'bob':
        shapes.append(Ellipse(hx, hy + 10, r + 1.5, r * 0.72))
    elif style == 'long':
        shapes.append(Poly([(-r, hy), (r, hy), (r + 3 + sway, hy + 64), (-r - 3 + sway, hy + 64)],
                           round=2.0))
        for k in range(-3, 4):
            x = k * (r + 3) / 3.3 + sway
            shapes.append(Poly([(x - 4.5, hy + 62), (x + 4.5, hy + 62), (x + 0.8, hy + 71)],
                               round=1.0))
    elif style == 'wavy':
        shapes.append(Poly([(-r, hy), (r, hy), (r + 7 + sway, hy + 66), (-r - 7 + sway, hy + 66)],
                           round=2.0))
        for k in range(0, 7):
            y = hy + 8 + k * 9.5
            t = k / 6.0
            for m in (-1, 1):
                shapes.append(Circle(m * (r + 1.0 + 6.0 * t) + sway * t + m * (1.6 if k % 2 else 0),
                                     y, 5.2))
        for k in range(-3, 4):
            x = k * (r + 7) / 3.2 + sway
            shapes.append(Circle(x, hy + 66, 5.0))
    elif style == 'short':
        shapes.append(Ellipse(hx, hy + 6, r, r * 0.75))
    elif style == 'boyish':
        shapes.append(Ellipse(hx, hy + 2, r - 0.5, r * 0.8))
        for m in (-1, 1):      # tufts sticking out over the ears and at the nape
            shapes.append(Poly([(m * (r - 6), hy - 2), (m * (r + 0.5), hy - 4),
                                (m * (r + 4.5), hy + 10)], round=1.0))
            shapes.append(Poly([(m * (r - 7), hy + 6), (m * (r - 0.5), hy + 4),
                                (m * (r + 2.0), hy + 19)], round=1.0))
    return Part('hair', shapes)


def side_ponytail(body, side, sway):
    """A side ponytail tied above the ear on `side` (-1 left of the picture, +1 right)."""
    hx, hy = body.head
    r = body.hair_r
    root = (side * (r - 1.0), hy - 12.0)
    p1 = (side * (r + 9.0) + sway * 0.3, hy + 2.0)
    p2 = (side * (r + 12.0) + sway * 0.7, hy + 26.0)
    p3 = (side * (r + 9.0) + sway, hy + 48.0)
    tail = [Limb(root, p1, 6.0, 8.0), Limb(p1, p2, 8.0, 6.5), Limb(p2, p3, 6.5, 1.0)]
    tie = Ellipse(side * (r + 0.2), hy - 11.0, 3.6, 4.4, angle=-side * 35)
    return [Part('hair', tail),
            Part('hair_light', [Limb((p1[0] - side * 2.5, p1[1]), (p2[0] - side * 2.5, p2[1]),
                                     1.2, 0.8)], outline=0, clip=tail, alpha=0.7)], \
        [Part('accent', [tie])]


def twin_tails(body, sway):
    hx, hy = body.head
    r = body.hair_r
    parts_back, parts_front = [], []
    for side in (-1, 1):
        root = (side * (r - 2.0), hy - 16.0)
        p1 = (side * (r + 8.0) + sway * 0.3, hy - 6.0)
        p2 = (side * (r + 12.0) + sway * 0.6, hy + 24.0)
        p3 = (side * (r + 9.5) + sway, hy + 62.0)
        tail = [Limb(root, p1, 5.0, 7.0), Limb(p1, p2, 7.0, 6.0), Limb(p2, p3, 6.0, 1.0)]
        parts_back.append(Part('hair', tail))
        parts_back.append(Part('hair_light', [Limb((p1[0] - side * 2, p1[1] + 3),
                                                   (p2[0] - side * 2.5, p2[1]), 1.1, 0.8)],
                               outline=0, clip=tail, alpha=0.7))
        # a small bow where each tail is tied
        bx, by = side * (r - 1.0), hy - 16.0
        parts_front.append(Part('accent', [Ellipse(bx - 4.2, by - 1.0, 4.2, 2.8, angle=20),
                                           Ellipse(bx + 4.2, by - 1.0, 4.2, 2.8, angle=-20)]))
        parts_front.append(Part('accent_dark', [Circle(bx, by - 0.5, 1.8)], outline=0.7))
    return parts_back, parts_front


def braids(body, sway):
    hx, hy = body.head
    r = body.hair_r
    parts = []
    for side in (-1, 1):
        x = side * (r - 6.5)
        links = []
        for k in range(7):
            y = hy + 18 + k * 7.0
            t = k / 6.0
            links.append(Ellipse(x + side * 1.0 * t + sway * t + (0.8 if k % 2 else -0.8),
                                 y, 4.3 - 0.9 * t, 4.6, angle=(18 if k % 2 else -18)))
        parts.append(Part('hair', links))
        end_x = x + side * 1.0 + sway
        end_y = hy + 18 + 6 * 7.0 + 4.0
        parts.append(Part('accent', [Ellipse(end_x, end_y, 3.4, 2.2)], outline=0.8))
        parts.append(Part('hair', [Poly([(end_x - 3.0, end_y + 1.5), (end_x + 3.0, end_y + 1.5),
                                         (end_x + 1.0 * side, end_y + 9.0)], round=0.8)]))
    return parts


# ----- each character

def figure_parts(character, pose):
    adult = character == 9
    body = Body(adult, pose)
    rest = pose == REST_POSE
    # legs: which foot forward; arms swing the other way
    if rest or pose == 1:
        leg_state = {-1: 'plant', 1: 'plant'}
        swing = {-1: 0, 1: 0}
        sway = 0.0
    elif pose == 0:
        leg_state = {-1: 'front', 1: 'back'}
        swing = {-1: -1, 1: 1}
        sway = -1.5
    else:
        leg_state = {-1: 'back', 1: 'front'}
        swing = {-1: 1, 1: -1}
        sway = 1.5
    if rest:
        swing = {-1: 'fold', 1: 'fold'}

    back, front, accessories = [], [], []
    hair_style, bang_style, lock_len = 'long', 'zigzag', 20.0
    legwear_top = body.foot_y - 36.0
    hem_half = 25.0
    skirt = 'skirt'
    collar, ribbon = True, True
    closed = False
    glasses = False

    if character == 0:         # short bob and a big bow
        hair_style, lock_len = 'bob', 16.0
        hx, hy = body.head
        r = body.hair_r
        bx, by = -r * 0.55, hy - r * 0.78
        accessories.append(Part('accent', [Ellipse(bx - 7.5, by - 2.0, 8.0, 5.2, angle=25),
                                           Ellipse(bx + 7.5, by - 3.5, 8.0, 5.2, angle=-35),
                                           Poly([(bx - 1, by), (bx + 1, by), (bx - 7, by + 11),
                                                 (bx - 10, by + 9)], round=0.8)]))
        accessories.append(Part('accent_dark', [Circle(bx, by - 1.0, 2.6)], outline=0.8))
        hem_half = 26.0
    elif character == 1:       # long straight hair and a hairband
        hair_style = 'long'
        hx, hy = body.head
        r = body.hair_r
        accessories.append(Part('accent', [Ring(hx, hy + 4.0, r + 1.0, 1.6)], outline=0.7,
                                clip=[Box(-40, -10, 40, hy - 9.0)]))
        legwear_top = body.foot_y - 30.0
    elif character == 2:       # long hime cut: blunt fringe and straight side locks
        hair_style, bang_style = 'long', 'blunt'
        hx, hy = body.head
        r = body.hair_r
        front.append(Part('hair', sym(lambda m: Poly([(m * (r - 1.0), hy - 10),
                                                      (m * (r - 7.0), hy - 10),
                                                      (m * (r - 7.0), hy + 19),
                                                      (m * (r - 1.0), hy + 19)], round=0.8))))
        accessories.append(Part('accent', [Poly([(r * 0.5, hy - r * 0.62), (r * 0.9, hy - r * 0.38),
                                                 (r * 0.82, hy - r * 0.26),
                                                 (r * 0.42, hy - r * 0.5)], round=0.9)],
                                outline=0.8))
        hem_half = 22.0
        legwear_top = body.hip_y + 14.0
    elif character == 3:       # short boyish hair with a cowlick, shorts
        hair_style, lock_len = 'boyish', 8.0
        hx, hy = body.head
        r = body.hair_r
        top = hy - 2.0 - r
        accessories.append(Part('hair', [Limb((-1.0, top + 3.0), (1.0, top - 2.0), 1.6, 1.2),
                                         Limb((1.0, top - 2.0), (6.5, top - 4.5), 1.2, 0.5)]))
        skirt = 'shorts'
        collar, ribbon = False, True
        legwear_top = body.foot_y - 22.0
    elif character in (4, 5):  # twins: side ponytails on opposite sides
        side = -1 if character == 4 else 1
        hair_style, lock_len = 'bob', 16.0
        tail_back, tail_front = side_ponytail(body, side, sway)
        back.extend(tail_back)
        accessories.extend(tail_front)
    elif character == 6:       # twin tails
        hair_style = 'short'
        tails_back, tails_front = twin_tails(body, sway)
        back.extend(tails_back)
        accessories.extend(tails_front)
        hem_half = 27.0
    elif character == 7:       # long wavy hair and a beret
        hair_style, bang_style = 'wavy', 'parted'
        hx, hy = body.head
        r = body.hair_r
        accessories.append(Part('accent', [Ellipse(hx - 3.0, hy - r * 0.82, r * 0.95, 6.8,
                                                   angle=-10)]))
        accessories.append(Part('accent', [Limb((hx - 2.0, hy - r * 0.82 - 7.5),
                                                (hx - 1.0, hy - r * 0.82 - 4.5), 1.4)],
                                outline=0.8))
        hem_half = 27.0
        legwear_top = body.hip_y + 10.0
    elif character == 8:       # twin braids over the shoulders
        hair_style = 'short'
        accessories.extend(braids(body, sway * 0.5))
        hem_half = 22.0
    elif character == 9:       # the grown-up: long hair, glasses, long skirt
        hair_style, bang_style, lock_len = 'long', 'parted', 26.0
        glasses = True
        closed = rest
        hem_half = 20.0
        collar, ribbon = False, True
        legwear_top = body.hem_y - 4.0

    parts = []
    parts.append(head_hair_back(body, hair_style, sway))
    parts.extend(back)
    # arms swung back go behind the body
    arm_role = 'jacket' if adult else 'skin'
    sleeve_role = 'jacket' if adult else 'top'
    arm_layers = {}
    for side in (-1, 1):
        arm_layers[side] = arm_shapes(body, side, swing[side])
    for side in (-1, 1):
        if swing[side] == -1:
            arm, hand, sleeve = arm_layers[side]
            parts += [Part(arm_role, arm), Part('skin', hand), Part(sleeve_role, sleeve)]
    # legs, the one in front last
    order = sorted((-1, 1), key=lambda s: {'back': 0, 'plant': 1, 'front': 2}[leg_state[s]])
    for side in order:
        parts.extend(leg_parts(body, side, leg_state[side], legwear_top))
    parts.extend(neck_part(body))
    parts.extend(torso_parts(body, collar, ribbon, jacket=adult))
    if skirt == 'shorts':
        wy = body.waist_y
        waist = Poly([(-11, wy - 3), (11, wy - 3), (13.5, wy + 12), (-13.5, wy + 12)], round=1.5)
        parts.append(Part('outfit', [waist]))
        for m in (-1, 1):
            parts.append(Part('outfit', [Poly([(m * 13.5 + sway * 0.3, wy + 6), (0, wy + 6),
                                               (m * 3.5 + sway * 0.3, wy + 25),
                                               (m * 15.0 + sway * 0.5, wy + 25)], round=1.5)]))
        parts.append(Part('outfit', [Box(-12.0, wy - 3, 12.0, wy + 11)], outline=0))
        parts.append(Part('outfit_dark', [Box(-16, wy + 22.5, 16, wy + 27)], outline=0, alpha=0.6,
                          clip=[Box(-16, wy + 11, 16, wy + 27)]))
        parts.append(Part('accent', [Box(-11.5, wy - 3.5, 11.5, wy + 0.5)], outline=0.8))
    else:
        parts.extend(skirt_parts(body, hem_half, sway))
        if adult:
            parts.append(Part('outfit_dark', [Box(-10.5, body.waist_y - 3, 10.5, body.waist_y)],
                              outline=0.7))
    for side in (-1, 1):
        if swing[side] != -1:
            arm, hand, sleeve = arm_layers[side]
            parts += [Part(sleeve_role, sleeve), Part(arm_role, arm), Part('skin', hand)]
    parts.extend(make_face(body, closed=closed))
    parts.append(side_locks(body, lock_len))
    parts.extend(front)
    parts.append(bangs(body, bang_style))
    parts.append(hair_shine(body))
    parts.extend(accessories)
    if glasses:
        parts.extend(glasses_parts(body))
    return parts


# ---------------------------------------------------------------- sheets

def sheet_plan():
    """file name -> (character drawn, variant, [(pose, rect)]). A name listed twice goes to the
    character whose variant 0 it is (mapc140.tga: character 9, not character 8's variant 1)."""
    owner = {}
    for character, names in enumerate(SPRITE_FILES):
        for variant, name in enumerate(names):
            if name not in owner or variant == 0:
                owner[name] = (character, variant)
    plan = {}
    for name, (character, variant) in owner.items():
        poses = list(enumerate(WALK_RECTS[character]))
        if character == 9:
            poses.append((REST_POSE, REST_RECT_9))
        plan[name] = (character, variant, poses)
    return plan


def sheet_size(poses):
    right = max(x + w for _, (x, y, w, h) in poses)
    bottom = max(y + h for _, (x, y, w, h) in poses)
    right = max(right, PLACEHOLDER_RECT[0] + PLACEHOLDER_RECT[2])
    bottom = max(bottom, PLACEHOLDER_RECT[1] + PLACEHOLDER_RECT[3])
    # one free pixel right and below for the one-pixel cut margin, then whole multiples of 8
    return (right + 1 + 7) // 8 * 8, (bottom + 1 + 7) // 8 * 8


def to_byte(v):
    return 0 if v <= 0.0 else 255 if v >= 255.0 else int(v + 0.5)


def render_sheet(character, variant, poses, cache):
    width, height = sheet_size(poses)
    pixels = bytearray(width * height * 4)      # top row first, B G R A
    pal = palette(character, variant)
    for pose, (x, y, w, h) in poses:
        key = (character, pose, w, h)
        if key not in cache:
            frame = Frame(w, h)
            cache[key] = (frame, raster_figure(frame, figure_parts(character, pose)))
        frame, layers = cache[key]
        R, G, B, A = composite(frame, layers, pal)
        for py in range(h):
            out = ((y + py) * width + x) * 4
            k = py * w
            for px in range(w):
                a = A[k]
                ab = to_byte(a * 255.0)
                if ab:
                    inv = 1.0 / a
                    pixels[out] = to_byte(B[k] * inv)
                    pixels[out + 1] = to_byte(G[k] * inv)
                    pixels[out + 2] = to_byte(R[k] * inv)
                    pixels[out + 3] = ab
                out += 4
                k += 1
    return width, height, pixels


def rle_row(row):
    """TGA run-length packets for one row of 4-byte pixels (packets never cross rows)."""
    n = len(row) // 4
    px = [bytes(row[i * 4:i * 4 + 4]) for i in range(n)]
    out = bytearray()
    i = 0
    while i < n:
        j = i + 1
        while j < n and j - i < 128 and px[j] == px[i]:
            j += 1
        if j - i >= 2:
            out.append(0x80 | (j - i - 1))
            out += px[i]
            i = j
            continue
        # raw packet: up to the next run of two or more
        j = i + 1
        while j < n and j - i < 128 and not (j + 1 < n and px[j] == px[j + 1]):
            j += 1
        out.append(j - i - 1)
        for k in range(i, j):
            out += px[k]
        i = j
    return out


def tga_bytes(width, height, pixels, rle, top_down):
    descriptor = 0x08 | (0x20 if top_down else 0)
    head = struct.pack('<BBBHHBHHHHBB', 0, 0, 10 if rle else 2, 0, 0, 0, 0, 0,
                       width, height, 32, descriptor)
    stride = width * 4
    order = range(height) if top_down else range(height - 1, -1, -1)
    body = bytearray()
    for y in order:
        row = pixels[y * stride:(y + 1) * stride]
        body += rle_row(row) if rle else row
    return head + bytes(body)


def main(argv=None):
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description='Draw the demo character sprite sheets.')
    parser.add_argument('output', nargs='?', default=os.path.join(root, 'resources', 'demo_sprites'),
                        help='output folder (default: resources/demo_sprites)')
    kind = parser.add_mutually_exclusive_group()
    kind.add_argument('--rle', action='store_true', help='run-length encode every sheet (type 10)')
    kind.add_argument('--raw', action='store_true', help='store every sheet uncompressed (type 2)')
    parser.add_argument('--top-down', action='store_true',
                        help='store rows top to bottom (descriptor 0x28) instead of bottom-up')
    args = parser.parse_args(argv)

    os.makedirs(args.output, exist_ok=True)
    cache = {}
    plan = sheet_plan()
    for index, name in enumerate(sorted(plan)):
        character, variant, poses = plan[name]
        rle = args.rle or (not args.raw and index % 2 == 0)
        width, height, pixels = render_sheet(character, variant, poses, cache)
        data = tga_bytes(width, height, pixels, rle, args.top_down)
        with open(os.path.join(args.output, name), 'wb') as f:
            f.write(data)
        print('%s  %dx%d  type %d  %d bytes' % (name, width, height, 10 if rle else 2, len(data)))
    return 0


if __name__ == '__main__':
    sys.exit(main())
