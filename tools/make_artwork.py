#!/usr/bin/env python3
"""Draws M2KCOUNT's own artwork with nothing but the Python standard library.

Writes into the output folder (default: resources/artwork under the repository root):
  count_back.bmp    600x176 window backdrop, 32-bit BGR (bit fields, no alpha), top-down, pixels at byte 80
  bubble_upper.bmp  390x80 speech bubble, 32-bit BGRA (straight alpha), top-down, pixels at byte 80
  bubble_lower.bmp  325x56 speech bubble, same format
  app_icon.ico      32x32 icon, one 32-bit BGRA image plus its AND mask
  main_back.bmp     292x320 settings window backdrop (a little stage), 24-bit BGR, bottom-up
  girl_back.bmp     390x208 profile window backdrop, same format
  girl_prev.bmp     130x32 button glyph, arrow to the left, same format
  girl_next.bmp     130x32 button glyph, arrow to the right, same format
  about_logo.bmp    73x33 logo on black for the About box, same format
  folder_open.bmp   16x16 folder list glyph, 32-bit BGRA (straight alpha), bottom-up
  folder_closed.bmp 16x16 folder list glyph, same format
  main_icon.ico     32x32 settings window icon (a gear in the speech bubble), like app_icon.ico
  search.bmp        16x16 automatic search button glyph (a magnifying glass), like folder_open.bmp
  drive_*.bmp       16x16 drive box icons (fixed, removable, cdrom, remote, ramdisk), the same

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

def bmp_bytes(width, height, rows, bpp, in_place=False):
    """rows: top-to-bottom lists of (r, g, b) or (r, g, b, a) tuples. Returns an uncompressed
    bitmap stored bottom-up; with in_place a 32-bit one stored top-down with its pixels 80 bytes
    into the file (a gap after the headers), which is how the program keeps a picture in memory:
    it then uses the resource where it lies. A 32-bit picture of (r, g, b) rows is opaque: its
    bit fields name red, green and blue only, and its fourth bytes are 255."""
    stride = (width * bpp // 8 + 3) & ~3
    opaque = bpp == 32 and len(rows[0][0]) == 3
    body = bytearray()
    for row in (rows if in_place else reversed(rows)):
        line = bytearray()
        for px in row:
            line += bytes((to_byte(px[2]), to_byte(px[1]), to_byte(px[0])))
            if bpp == 32:
                line.append(255 if opaque else to_byte(px[3]))
        body += line + bytes(stride - len(line))
    info = struct.pack('<IiiHHIIiiII', 40, width, -height if in_place else height, 1, bpp,
                       3 if opaque else 0, len(body), 2835, 2835, 0, 0)
    if opaque:
        info += struct.pack('<III', 0x00FF0000, 0x0000FF00, 0x000000FF)
    offset = 80 if in_place else 14 + len(info)
    head = struct.pack('<2sIHHI', b'BM', offset + len(body), 0, 0, offset)
    return head + info + bytes(offset - len(head) - len(info)) + body


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

FLOOR = (251, 221, 233)


def sky_and_floor(width, height, floor_top, floor=FLOOR):
    """Pink-to-lavender sky, a pink floor band from floor_top down, a white glow on its edge."""
    top, middle, low = (255, 234, 243), (252, 248, 255), (240, 237, 255)
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
    return canvas


def bokeh_and_twinkles(canvas, rng, floor_top, slots, twinkles, strength=(0.3, 0.5)):
    """One blob per vertical slot (so they spread evenly), then the sparkles, above the floor."""
    width = len(canvas[0])
    palette = [WHITE, (234, 226, 255), (228, 234, 255), (255, 218, 234)]
    for i in range(slots):
        x = (i + rng.uniform(0.1, 0.9)) * width / slots
        soft_disc(canvas, x, rng.uniform(4, floor_top - 20), rng.uniform(9, 28),
                  rng.choice(palette), rng.uniform(*strength))
    for _ in range(twinkles):
        sparkle(canvas, rng.uniform(8, width - 8), rng.uniform(6, floor_top - 12),
                rng.uniform(4, 6.5), WHITE, 0.9)


def backdrop(width=600, height=176, floor_top=150):
    canvas = sky_and_floor(width, height, floor_top)
    bokeh_and_twinkles(canvas, random.Random(2024), floor_top, slots=20, twinkles=14)
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


# ---------------------------------------------------------------- settings window stage

ROSE = (240, 96, 150)           # the icon's heart
RIM = (214, 86, 134)            # the icon's dark edge
DRAPE_LIGHT, DRAPE_DARK = (253, 222, 234), (243, 178, 203)


def light_pool(canvas, cx, cy, rx, ry, strength):
    """A soft oval of light on the floor where a figure stands."""
    height, width = len(canvas), len(canvas[0])
    for y in range(max(0, int(cy - ry - 1)), min(height, int(cy + ry + 2))):
        for x in range(max(0, int(cx - rx - 1)), min(width, int(cx + rx + 2))):
            d = math.hypot((x + 0.5 - cx) / rx, (y + 0.5 - cy) / ry)
            blend(canvas, x, y, WHITE, strength * (1.0 - smoothstep(0.25, 1.0, d)))


def drape_width(y, floor_top, top_width, tie_y, tie_width, foot_width):
    """How far a side curtain reaches into the window at row y: wide at the top, gathered at
    the tie, a little wider again where it falls onto the floor."""
    if y <= tie_y:
        return tie_width + (top_width - tie_width) * (1.0 - y / tie_y) ** 2
    return tie_width + (foot_width - tie_width) * smoothstep(tie_y, floor_top, y)


def drape(canvas, right, floor_top, top_width=30.0, tie_y=104.0, tie_width=8.0, foot_width=15.0):
    """A side curtain with soft vertical folds, a pink hem line and a heart on its tie."""
    height, width = len(canvas), len(canvas[0])
    hem = floor_top + 5.0
    for y in range(0, min(height, int(hem) + 2)):
        py = y + 0.5
        reach = drape_width(py, floor_top, top_width, tie_y, tie_width, foot_width)
        for x in range(0, int(top_width) + 2):
            inner = x + 0.5                      # distance from the window's side
            cover = clamp01(reach - inner + 0.5) * clamp01(hem - py + 0.5)
            if cover == 0.0:
                continue
            fold = 0.5 + 0.5 * math.cos(inner / reach * 2.0 * math.pi * 2.5)
            color = mix(DRAPE_LIGHT, DRAPE_DARK, 0.75 * fold)
            color = mix(color, OUTLINE, clamp01(1.6 - min(reach - inner, hem - py)))
            blend(canvas, width - 1 - x if right else x, y, color, cover)
    tie_x = tie_width + 1.0
    paint_heart(canvas, width - tie_x if right else tie_x, tie_y, 4.0)


def paint_heart(canvas, cx, cy, size, color=ROSE):
    """A heart with a thin white rim."""
    height, width = len(canvas), len(canvas[0])
    for y in range(max(0, int(cy - 2 * size)), min(height, int(cy + 2 * size) + 1)):
        for x in range(max(0, int(cx - 2 * size)), min(width, int(cx + 2 * size) + 1)):
            d = heart_distance(x + 0.5, y + 0.5, cx, cy, size)
            blend(canvas, x, y, mix(color, WHITE, clamp01(d + 0.8)), clamp01(1.5 - d))


def valance(canvas, depth=5.0, base=3.0, period=24.0):
    """A scalloped curtain border along the top edge with a pearl where the scallops meet."""
    width = len(canvas[0])
    for x in range(width):
        phase = ((x + 0.5 + period / 2) % period) / period
        edge = base + depth * math.sin(math.pi * phase)
        for y in range(0, int(base + depth) + 2):
            py = y + 0.5
            cover = clamp01(edge - py + 0.5)
            if cover == 0.0:
                continue
            color = mix(DRAPE_LIGHT, DRAPE_DARK, 0.5 * (1.0 - py / (base + depth)))
            color = mix(color, OUTLINE, clamp01(1.6 - (edge - py)))
            blend(canvas, x, y, color, cover)
    for i in range(int(width / period) + 2):
        soft_disc(canvas, i * period, base + 1.0, 1.7, WHITE, 1.0)


def panel_frame(canvas, x0, y0, x1, y1, gap=2.0, radius=5.0):
    """A white mat with a pink outline around the place where a panel will be drawn."""
    height, width = len(canvas), len(canvas[0])
    for y in range(max(0, int(y0 - gap - 1)), min(height, int(y1 + gap + 2))):
        for x in range(max(0, int(x0 - gap - 1)), min(width, int(x1 + gap + 2))):
            d = rounded_rect_distance(x + 0.5, y + 0.5, x0 - gap, y0 - gap, x1 + gap, y1 + gap, radius)
            blend(canvas, x, y, mix(WHITE, OUTLINE, clamp01(d + 1.5)), clamp01(0.5 - d))


def main_backdrop(width=292, height=320, floor_top=156):
    """The settings window: curtains frame two figures standing in pools of light on the floor;
    the statistics panel gets a mat, and three hearts fill the corner left of the buttons."""
    canvas = sky_and_floor(width, height, floor_top)
    bokeh_and_twinkles(canvas, random.Random(4101), floor_top, slots=9, twinkles=6,
                       strength=(0.22, 0.38))
    floor_dots(canvas, floor_top)
    for feet_x in (16 + 60, 156 + 60):
        light_pool(canvas, feet_x, 177.5, 50.0, 9.0, 0.75)
    valance(canvas)
    drape(canvas, False, floor_top)
    drape(canvas, True, floor_top)
    panel_frame(canvas, 4, 206, 288, 282)
    for cx, cy, size in ((22.0, 301.5, 5.0), (41.0, 298.5, 4.0), (57.0, 296.0, 3.2)):
        paint_heart(canvas, cx, cy, size)
    sparkle(canvas, 72.0, 299.0, 5.0, WHITE, 0.9)
    return canvas


def girl_backdrop(width=390, height=208, floor_top=150):
    """The profile window: the same sky, the figure in a pool of light on the right, a mat
    around the profile panel. The floor takes the window's own background colour."""
    canvas = sky_and_floor(width, height, floor_top, floor=(254, 215, 227))
    bokeh_and_twinkles(canvas, random.Random(3400), floor_top, slots=13, twinkles=9,
                       strength=(0.22, 0.4))
    floor_dots(canvas, floor_top)
    light_pool(canvas, 267 + 60, 175.5, 50.0, 9.0, 0.75)
    panel_frame(canvas, 16, 8, 16 + 249, 8 + 153)
    return canvas


# ---------------------------------------------------------------- button glyphs

def glyph_arrow_left(width=130, height=32):
    """A glossy pink pill with a white arrow at its left end, a trail of dots and a heart.
    The corners outside the pill keep the profile window's background colour."""
    corner = (254, 215, 227)
    mid = height / 2.0
    arrow = ((10.0, mid), (27.0, mid - 9.0), (27.0, mid + 9.0))
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            px, py = x + 0.5, y + 0.5
            d = rounded_rect_distance(px, py, 0.5, 0.5, width - 0.5, height - 0.5, 8.0)
            color = mix((255, 176, 206), (242, 116, 162), py / height)
            gloss = clamp01(0.5 - (math.hypot((px - width / 2.0) / (width * 0.48),
                                               (py - 6.0) / 7.5) - 1.0) * 8.0)
            color = mix(color, WHITE, 0.38 * gloss)
            color = mix(color, RIM, smoothstep(-2.0, -0.5, d))
            color = mix(color, WHITE, clamp01(0.5 - (triangle_distance(px, py, *arrow) - 1.2)))
            for cx, r in ((38.0, 2.6), (48.0, 2.1), (57.0, 1.6)):
                color = mix(color, WHITE, clamp01(0.5 - (math.hypot(px - cx, py - mid) - r)))
            heart = heart_distance(px, py, width / 2.0 + 10.0, mid, 5.0)
            color = mix(color, WHITE, clamp01(0.5 - (heart - 1.3)))
            color = mix(color, ROSE, clamp01(0.5 - heart))
            row.append(mix(corner, color, clamp01(0.5 - d)))
        rows.append(row)
    return rows


def mirrored(rows):
    return [list(reversed(row)) for row in rows]


# ---------------------------------------------------------------- About box logo

def logo(width=73, height=33):
    """On black (the About box's field): the speech bubble with its heart from the icon, and
    three dots that grow to the right like a count going up, with a twinkle."""
    canvas = [[(0, 0, 0)] * width for _ in range(height)]
    for y in range(height):
        for x in range(width):
            px, py = x + 0.5, y + 0.5
            body = (math.hypot((px - 19.0) / 16.5, (py - 14.5) / 12.0) - 1.0) * 12.0
            tail = triangle_distance(px, py, (7.0, 20.0), (14.0, 24.0), (3.5, 31.0))
            d = min(body, tail)
            blend(canvas, x, y, mix(WHITE, OUTLINE, clamp01(d + 2.0)), clamp01(0.5 - d))
    paint_heart(canvas, 19.0, 14.0, 5.2)
    for cx, cy, r, color in ((43.0, 24.5, 2.7, (255, 206, 226)), (53.5, 20.0, 3.5, (248, 150, 190)),
                             (65.0, 14.5, 4.4, ROSE)):
        bead(canvas, cx, cy, r, color)
    sparkle(canvas, 66.5, 4.5, 4.0, WHITE, 1.0)
    sparkle(canvas, 41.0, 7.5, 3.2, WHITE, 0.8)
    return canvas


def bead(canvas, cx, cy, r, color):
    """A solid round dot with a small white shine at its upper left."""
    height, width = len(canvas), len(canvas[0])
    for y in range(max(0, int(cy - r - 1)), min(height, int(cy + r + 2))):
        for x in range(max(0, int(cx - r - 1)), min(width, int(cx + r + 2))):
            px, py = x + 0.5, y + 0.5
            shine = clamp01(0.5 - (math.hypot(px - (cx - r * 0.35), py - (cy - r * 0.35)) - r * 0.3))
            blend(canvas, x, y, mix(color, WHITE, 0.7 * shine),
                  clamp01(0.5 - (math.hypot(px - cx, py - cy) - r)))


# ---------------------------------------------------------------- folder glyphs

def over(under, color, alpha):
    """Straight-alpha 'over': color with coverage alpha (0..1) on top of an (r, g, b, a) pixel."""
    below = under[3] / 255.0 * (1.0 - alpha)
    total = alpha + below
    if total == 0.0:
        return (0, 0, 0, 0)
    rgb = tuple((c * alpha + u * below) / total for c, u in zip(color, under[:3]))
    return rgb + (255 * total,)


def quad_distance(px, py, corners):
    """Signed distance (approximate, negative inside) to a convex quadrilateral given clockwise
    on screen (y grows downward)."""
    return max(edge_distance(px, py, *corners[i], *corners[(i + 1) % 4]) for i in range(4))


def outlined(d, fill):
    """Colour and coverage of a shape with a one-pixel dark rim."""
    return mix(fill, RIM, clamp01(d + 1.5)), clamp01(0.5 - d)


def folder(opened, size=16):
    """A pink folder with a tab; opened, its front flap tilts forward over the back."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            px, py = x + 0.5, y + 0.5
            tab = rounded_rect_distance(px, py, 1.0, 2.0, 7.5, 6.5, 1.2)
            pixel = over((0, 0, 0, 0), *outlined(tab, (246, 168, 198)))
            if opened:
                back = rounded_rect_distance(px, py, 1.0, 4.5, 13.5, 14.0, 1.2)
                pixel = over(pixel, *outlined(back, (246, 168, 198)))
                flap = quad_distance(px, py, ((4.5, 7.5), (15.5, 7.5), (12.5, 14.0), (1.0, 14.0)))
                pixel = over(pixel, *outlined(flap, mix((255, 232, 241), (252, 196, 218), (py - 7.5) / 6.5)))
            else:
                body = rounded_rect_distance(px, py, 1.0, 4.5, 15.0, 14.0, 1.2)
                pixel = over(pixel, *outlined(body, mix((255, 226, 238), (249, 184, 210), py / size)))
            row.append(pixel)
        rows.append(row)
    return rows


# ---------------------------------------------------------------- search and drive glyphs

def capsule_distance(px, py, ax, ay, bx, by, r):
    """Signed distance to a line segment a-b thickened to radius r."""
    dx, dy = bx - ax, by - ay
    t = clamp01(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy)) - r


def glyph(size, layers):
    """Paints shapes back to front; each layer gives (colour, coverage) of a pixel centre."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            pixel = (0, 0, 0, 0)
            for layer in layers:
                color, alpha = layer(x + 0.5, y + 0.5)
                if alpha > 0.0:
                    pixel = over(pixel, color, alpha)
            row.append(pixel)
        rows.append(row)
    return rows


def search_glyph(size=16):
    """The automatic search: a magnifying glass with a pink rim and a small heart in the lens."""
    lens = lambda px, py: outlined(math.hypot(px - 6.5, py - 6.5) - 5.0, (255, 236, 244))
    handle = lambda px, py: outlined(capsule_distance(px, py, 10.2, 10.2, 14.2, 14.2, 1.6), (246, 168, 198))
    heart = lambda px, py: (ROSE, clamp01(0.5 - heart_distance(px, py, 6.5, 6.7, 3.0)))
    return glyph(size, [handle, lens, heart])


def drive_case(px, py, top=5.0, bottom=12.5):
    return rounded_rect_distance(px, py, 1.0, top, 15.0, bottom, 1.5)


def drive_glyph(kind, size=16):
    """The drive box's type icons: a pink case with a green lamp for fixed and RAM drives, a
    slot for removable ones, a disc for CD drives and a case on a network line for remote ones."""
    lamp = lambda px, py: ((90, 200, 120), clamp01(0.5 - (math.hypot(px - 12.5, py - 10.0) - 1.1)))
    if kind == 'cdrom':
        disc = lambda px, py: outlined(math.hypot(px - 8.0, py - 8.0) - 6.5,
                                       mix((236, 236, 250), (250, 214, 232), clamp01((px + py) / 24.0)))
        hub = lambda px, py: outlined(math.hypot(px - 8.0, py - 8.0) - 2.0, (246, 168, 198))
        hole = lambda px, py: (WHITE, clamp01(0.5 - (math.hypot(px - 8.0, py - 8.0) - 0.8)))
        return glyph(size, [disc, hub, hole])
    if kind == 'removable':
        case = lambda px, py: outlined(drive_case(px, py, 3.0, 13.5), (255, 226, 238))
        slot = lambda px, py: (RIM, clamp01(0.5 - rounded_rect_distance(px, py, 3.5, 6.0, 12.5, 7.5, 0.5)))
        return glyph(size, [case, slot, lamp])
    if kind == 'remote':
        line = lambda px, py: (RIM, clamp01(0.5 - min(rounded_rect_distance(px, py, 7.2, 10.0, 8.8, 14.0, 0.2),
                                                        rounded_rect_distance(px, py, 2.0, 13.5, 14.0, 15.0, 0.5))))
        case = lambda px, py: outlined(drive_case(px, py, 2.0, 10.5), (255, 226, 238))
        lamp_up = lambda px, py: lamp(px, py + 2.5)
        return glyph(size, [line, case, lamp_up])
    face = (255, 226, 238) if kind == 'fixed' else (232, 226, 255)
    case = lambda px, py: outlined(drive_case(px, py), mix(face, (249, 184, 210), (py - 5.0) / 8.0))
    stripe = lambda px, py: (WHITE, 0.8 * clamp01(0.5 - rounded_rect_distance(px, py, 3.0, 7.0, 9.0, 8.0, 0.4)))
    return glyph(size, [case, stripe, lamp])


# ---------------------------------------------------------------- settings icon

def gear_distance(px, py, cx, cy, outer, inner, hole, teeth=8):
    """Signed distance (approximate) to a gear wheel with a round hole."""
    r = math.hypot(px - cx, py - cy)
    angle = math.atan2(py - cy, px - cx)
    tooth = clamp01(math.cos(teeth * angle) * 2.5 + 0.5)
    return max(r - (inner + (outer - inner) * tooth), hole - r)


def settings_icon(size=32):
    """The application icon's bubble, with a gear in place of the heart."""
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
            color = mix(color, RIM, smoothstep(-1.8, -0.4, d))
            color = mix(color, WHITE, clamp01(0.5 - speech_distance(px, py)))
            gear = gear_distance(px, py, 16.0, 14.5, 6.6, 4.6, 2.0)
            color = mix(color, ROSE, clamp01(0.5 - gear))
            row.append(color + (255 * alpha,))
        rows.append(row)
    return rows


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
    # The counter's pictures, read at every logon, are kept as the program uses them.
    write(os.path.join(out, 'count_back.bmp'), bmp_bytes(600, 176, backdrop(), 32, in_place=True))
    write(os.path.join(out, 'bubble_upper.bmp'), bmp_bytes(390, 80, bubble(390, 80), 32, in_place=True))
    write(os.path.join(out, 'bubble_lower.bmp'),
          bmp_bytes(325, 56, bubble(325, 56, radius=12.0), 32, in_place=True))
    write(os.path.join(out, 'app_icon.ico'), ico_bytes(32, icon()))
    write(os.path.join(out, 'main_back.bmp'), bmp_bytes(292, 320, main_backdrop(), 24))
    write(os.path.join(out, 'girl_back.bmp'), bmp_bytes(390, 208, girl_backdrop(), 24))
    previous = glyph_arrow_left()
    write(os.path.join(out, 'girl_prev.bmp'), bmp_bytes(130, 32, previous, 24))
    write(os.path.join(out, 'girl_next.bmp'), bmp_bytes(130, 32, mirrored(previous), 24))
    write(os.path.join(out, 'about_logo.bmp'), bmp_bytes(73, 33, logo(), 24))
    write(os.path.join(out, 'folder_open.bmp'), bmp_bytes(16, 16, folder(True), 32))
    write(os.path.join(out, 'folder_closed.bmp'), bmp_bytes(16, 16, folder(False), 32))
    write(os.path.join(out, 'main_icon.ico'), ico_bytes(32, settings_icon()))
    write(os.path.join(out, 'search.bmp'), bmp_bytes(16, 16, search_glyph(), 32))
    for kind in ('fixed', 'removable', 'cdrom', 'remote', 'ramdisk'):
        write(os.path.join(out, 'drive_%s.bmp' % kind), bmp_bytes(16, 16, drive_glyph(kind), 32))


if __name__ == '__main__':
    main()
