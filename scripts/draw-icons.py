#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the program's pictures: the tool bar icons icons/open.xpm, icons/save.xpm and
icons/editcopy.xpm, the window icon icons/icon.png (32x32 RGBA), and from the same drawing the
desktop's icons under data/icons/hicolor/ (PNGs of 16 to 256 pixels and a scalable SVG).

The pictures are committed; run this only to change them:  python3 scripts/draw-icons.py
"""
import math
import os
import struct
import zlib

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ICONS = os.path.join(TOP, "icons")


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[None] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, fill, outline=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                self.set(x, y, outline if (edge and outline) else fill)

    def polygon(self, pts, fill, outline):
        """Fills a convex polygon given clockwise, then draws its outline."""
        for y in range(self.h):
            for x in range(self.w):
                inside = True
                for i in range(len(pts)):
                    (ax, ay), (bx, by) = pts[i], pts[(i + 1) % len(pts)]
                    if (bx - ax) * (y + 0.5 - ay) - (by - ay) * (x + 0.5 - ax) < 0:
                        inside = False
                        break
                if inside:
                    self.set(x, y, fill)
        for i in range(len(pts)):
            self.line(pts[i], pts[(i + 1) % len(pts)], outline)

    def line(self, a, b, c):
        (x0, y0), (x1, y1) = a, b
        n = int(max(abs(x1 - x0), abs(y1 - y0))) + 1
        for i in range(n + 1):
            t = i / n
            self.set(int(round(x0 + (x1 - x0) * t - 0.01)), int(round(y0 + (y1 - y0) * t - 0.01)), c)


def write_xpm(name, canvas, palette):
    keys = {}
    chars = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
    for row in canvas.px:
        for c in row:
            if c is not None and c not in keys:
                keys[c] = chars[len(keys)]
    lines = ["/* XPM */", "const char* const %s_xpm[] = {" % name,
             '"%d %d %d 1",' % (canvas.w, canvas.h, len(keys) + 1), '"  c None",']
    for colour, key in keys.items():
        lines.append('"%s c %s",' % (key, palette[colour]))
    rows = ['"' + "".join(" " if c is None else keys[c] for c in row) + '"' for row in canvas.px]
    lines.append(",\n".join(rows))
    lines.append("};")
    with open(os.path.join(ICONS, name + ".xpm"), "w") as f:
        f.write("\n".join(lines) + "\n")


def from_rows(rows):
    c = Canvas(len(rows[0]), len(rows))
    for y, row in enumerate(rows):
        assert len(row) == c.w, row
        for x, ch in enumerate(row):
            c.set(x, y, None if ch == " " else ch)
    return c


def draw_open():
    """A folder with its front flap swung open towards the viewer."""
    pal = {"k": "#202020", "b": "#C89B2C", "f": "#F4D36A", "h": "#FBEFC0"}
    return from_rows([
        "                ",
        "  kkkk          ",
        " kbbbbk         ",
        " kbbbbbkkkkkk   ",
        " kbbbbbbbbbbbk  ",
        " kbbbbbbbbbbbk  ",
        " kbbkkkkkkkkkkkk",
        " kbkhhhhhhhhhhk ",
        " kbkffffffffffk ",
        " kkffffffffffk  ",
        " kkffffffffffk  ",
        " kffffffffffk   ",
        " kffffffffffk   ",
        " kkkkkkkkkkkk   ",
        "                ",
    ]), pal


def draw_save():
    pal = {"k": "#202020", "d": "#2E5C9A", "l": "#6E9BD8", "w": "#FFFFFF", "g": "#B8B8B8",
           "m": "#5A5A5A"}
    c = Canvas(16, 15)
    c.rect(0, 0, 15, 14, "d", "k")
    c.rect(1, 1, 14, 1, "l")
    # Label at the top, shutter at the bottom.
    c.rect(3, 1, 12, 6, "w", "k")
    for y in (3, 5):
        c.line((5, y), (10, y), "g")
    c.rect(4, 9, 11, 14, "g", "k")
    c.rect(8, 10, 9, 13, "m")
    return c, pal


def draw_copy():
    pal = {"k": "#303030", "w": "#FFFFFF", "s": "#E4E8F0", "t": "#7A8494"}
    c = Canvas(16, 16)
    # The sheet behind, then the copy in front, both with lines of text.
    c.rect(0, 0, 9, 11, "s", "k")
    for y in (3, 5, 7, 9):
        c.line((2, y), (7, y), "t")
    c.rect(6, 4, 15, 15, "w", "k")
    for y in (7, 9, 11, 13):
        c.line((8, y), (13, y), "t")
    return c, pal


def write_png(path, w, h, rgba):
    raw = b"".join(b"\0" + bytes(rgba[y * w * 4:(y + 1) * w * 4]) for y in range(h))

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# The program icon, in a 32-unit square: one geometry that both the window icon and the
# desktop's icons (PNGs at every hicolor size, and the scalable SVG) are drawn from.
FRAME, INK = (40, 40, 40), (30, 30, 30)
GROUND, HILL, SUN, SEAM = (70, 150, 60), (50, 120, 45), (250, 210, 60), (220, 30, 30)
SKY_TOP, SKY_BOTTOM = (90, 160, 235), (170, 220, 235)
ARROWS = [((2.5, 30.5), (12.5, 30.5)), ((10.5, 28.5), (12.5, 30.5)), ((10.5, 32.5), (12.5, 30.5)),
          ((19.5, 30.5), (29.5, 30.5)), ((21.5, 28.5), (19.5, 30.5)), ((21.5, 32.5), (19.5, 30.5))]
HICOLOR_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def hill_top(x):
    return 18 + 4 * math.cos((x - 8) / 5.0)


def seam_x(y):
    return 15.5 + 2 * math.sin(y / 4.0)


def near_segment(x, y, a, b, half_width):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - ax - t * dx, y - ay - t * dy) <= half_width


def icon_colour(x, y):
    """The colour at point (x, y) of the 32-unit square, or None where it is transparent:
    a landscape photo with a red seam running through it and two arrows pressing it together
    (content-aware narrowing)."""
    if any(near_segment(x, y, a, b, 0.5) for a, b in ARROWS):
        return INK
    if not (3 <= x < 29 and 2 <= y < 28):
        return None
    if not (4 <= x < 28 and 3 <= y < 27):
        return FRAME
    if abs(x - seam_x(y)) <= 0.5:
        return SEAM
    if (x - 21.5) ** 2 + (y - 9.5) ** 2 <= 9:
        return SUN
    if y >= hill_top(x):
        return HILL
    if y >= 16:
        return GROUND
    t = (y - 3) / 13
    return tuple(int(top + (bottom - top) * t) for top, bottom in zip(SKY_TOP, SKY_BOTTOM))


def render_icon(size, samples=4):
    """The icon at size x size pixels, each pixel the average of samples x samples points."""
    px = []
    unit = 32.0 / size
    for row in range(size):
        for col in range(size):
            r = g = b = a = 0
            for sy in range(samples):
                for sx in range(samples):
                    c = icon_colour((col + (sx + 0.5) / samples) * unit,
                                    (row + (sy + 0.5) / samples) * unit)
                    if c:
                        r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
            px += [r // a, g // a, b // a, 255 * a // (samples * samples)] if a else [0, 0, 0, 0]
    return px


def icon_svg():
    rgb = "rgb({},{},{})".format
    hill = " ".join("{:.2f},{:.2f}".format(x / 4, max(3.0, hill_top(x / 4)))
                    for x in range(16, 113))
    seam = " ".join("{:.2f},{:.2f}".format(seam_x(y / 4), y / 4) for y in range(12, 109))
    arrows = " ".join("M{},{} L{},{}".format(*a, *b) for a, b in ARROWS)
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">
  <defs>
    <linearGradient id="sky" x1="0" y1="3" x2="0" y2="16" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="{rgb(*SKY_TOP)}"/>
      <stop offset="1" stop-color="{rgb(*SKY_BOTTOM)}"/>
    </linearGradient>
    <clipPath id="picture"><rect x="4" y="3" width="24" height="24"/></clipPath>
  </defs>
  <rect x="3" y="2" width="26" height="26" fill="{rgb(*FRAME)}"/>
  <g clip-path="url(#picture)">
    <rect x="4" y="3" width="24" height="13" fill="url(#sky)"/>
    <rect x="4" y="16" width="24" height="11" fill="{rgb(*GROUND)}"/>
    <polygon points="4,27 {hill} 28,27" fill="{rgb(*HILL)}"/>
    <circle cx="21.5" cy="9.5" r="3" fill="{rgb(*SUN)}"/>
    <polyline points="{seam}" fill="none" stroke="{rgb(*SEAM)}" stroke-width="1"/>
  </g>
  <path d="{arrows}" fill="none" stroke="{rgb(*INK)}" stroke-width="1" stroke-linecap="round"/>
</svg>
"""


def draw_app_icon():
    write_png(os.path.join(ICONS, "icon.png"), 32, 32, render_icon(32))
    hicolor = os.path.join(TOP, "data", "icons", "hicolor")
    for size in HICOLOR_SIZES:
        folder = os.path.join(hicolor, f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        write_png(os.path.join(folder, "org.example.kerv.png"), size, size, render_icon(size))
    folder = os.path.join(hicolor, "scalable", "apps")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "org.example.kerv.svg"), "w") as f:
        f.write(icon_svg())


if __name__ == "__main__":
    for name, draw in (("open", draw_open), ("save", draw_save), ("editcopy", draw_copy)):
        canvas, palette = draw()
        write_xpm(name, canvas, palette)
    draw_app_icon()
