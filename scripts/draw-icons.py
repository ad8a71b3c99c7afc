#!/usr/bin/env python3
"""Draws the program's pictures: the tool bar icons icons/open.xpm, icons/save.xpm and
icons/editcopy.xpm, and the window icon icons/icon.png (32x32 RGBA).

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


def draw_app_icon():
    """A landscape photo with a red seam running through it and two arrows pressing it
    together: content-aware narrowing."""
    w = h = 32
    px = [0] * (w * h * 4)

    def put(x, y, r, g, b, a=255):
        if 0 <= x < w and 0 <= y < h:
            i = (y * w + x) * 4
            px[i:i + 4] = [r, g, b, a]

    for y in range(3, 27):
        for x in range(4, 28):
            if y < 16:
                t = (y - 3) / 13
                put(x, y, int(90 + 80 * t), int(160 + 60 * t), 235)
            else:
                put(x, y, 70, 150, 60)
            hill = 18 + 4 * math.cos((x - 8) / 5.0)
            if y >= hill:
                put(x, y, 50, 120, 45)
            if (x - 21) ** 2 + (y - 9) ** 2 <= 9:
                put(x, y, 250, 210, 60)
    for x in range(3, 29):
        put(x, 2, 40, 40, 40)
        put(x, 27, 40, 40, 40)
    for y in range(2, 28):
        put(3, y, 40, 40, 40)
        put(28, y, 40, 40, 40)
    # The seam: one pixel per row, wandering by at most one column from row to row.
    for y in range(3, 27):
        x = 15 + int(round(2 * math.sin(y / 4.0)))
        put(x, y, 220, 30, 30)
    # Arrows below the picture, pointing at each other.
    for x in range(2, 13):
        put(x, 30, 30, 30, 30)
    for x in range(19, 30):
        put(x, 30, 30, 30, 30)
    for d in range(1, 3):
        put(12 - d, 30 - d, 30, 30, 30)
        put(12 - d, 30 + d, 30, 30, 30)
        put(19 + d, 30 - d, 30, 30, 30)
        put(19 + d, 30 + d, 30, 30, 30)
    write_png(os.path.join(ICONS, "icon.png"), w, h, px)


if __name__ == "__main__":
    for name, draw in (("open", draw_open), ("save", draw_save), ("editcopy", draw_copy)):
        canvas, palette = draw()
        write_xpm(name, canvas, palette)
    draw_app_icon()
