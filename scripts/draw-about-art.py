#!/usr/bin/env python3
"""Draws the About box banner and the context menu's images with the standard library alone.

bitmap-133.png: the About banner, 331 x 63, 24 bits per pixel: a parcel beside the name.
toolbar-151.png: the menu images, 32 x 16, 24 bits per pixel, two 16 x 16 images side by
side ("Open": an opened folder; "Save as...": a disk), magenta where they are transparent.
Each also at twice the size, as Qt's "@2x" files.
Usage: scripts/draw-about-art.py [OUTPUT_FOLDER] (default resources/bitmaps)
"""
import os
import struct
import sys
import zlib

MAGENTA = (255, 0, 255)

# A 5 x 7 pixel font for the few capitals the banner needs.
GLYPHS = {
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "I": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    " ": [".....", ".....", ".....", ".....", ".....", ".....", "....."],
}


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [list(colour) for _ in range(width * height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y * self.width + x] = list(colour)

    def rect(self, x, y, w, h, colour):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.put(xx, yy, colour)

    def frame(self, x, y, w, h, colour, s=1):
        self.rect(x, y, w, s, colour)
        self.rect(x, y + h - s, w, s, colour)
        self.rect(x, y, s, h, colour)
        self.rect(x + w - s, y, s, h, colour)

    def polygon(self, points, colour):
        # Hard edges: pixel centres inside the polygon, so no colour bleeds into the
        # transparent magenta.
        ys = [p[1] for p in points]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            for x in range(self.width):
                if inside(x + 0.5, y + 0.5, points):
                    self.put(x, y, colour)

    def text(self, x, y, string, scale, colour):
        for char in string:
            for row, line in enumerate(GLYPHS[char]):
                for col, bit in enumerate(line):
                    if bit == "#":
                        self.rect(x + col * scale, y + row * scale, scale, scale, colour)
            x += 6 * scale

    def save(self, path):
        raw = b"".join(
            b"\0" + bytes(v for p in self.pixels[y * self.width:(y + 1) * self.width] for v in p)
            for y in range(self.height))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n")
            # Colour type 2: RGB, 8 bits a channel, as the 24-bit bitmaps were.
            out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)))
            out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
            out.write(chunk(b"IEND", b""))


def inside(x, y, points):
    hit = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            hit = not hit
        j = i
    return hit


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def banner(s):
    c = Canvas(331 * s, 63 * s, (0, 0, 0))
    left, right = (22, 44, 92), (64, 118, 176)
    for x in range(c.width):
        colour = mix(left, right, x / (c.width - 1))
        for y in range(c.height):
            c.put(x, y, mix(colour, (12, 24, 52), (y / (c.height - 1)) * 0.35))
    # The parcel: a box seen from the front and above, tied with a red band.
    front = [(12 * s, 22 * s), (46 * s, 22 * s), (46 * s, 54 * s), (12 * s, 54 * s)]
    top = [(12 * s, 22 * s), (22 * s, 10 * s), (56 * s, 10 * s), (46 * s, 22 * s)]
    side = [(46 * s, 22 * s), (56 * s, 10 * s), (56 * s, 42 * s), (46 * s, 54 * s)]
    c.polygon(front, (214, 168, 104))
    c.polygon(top, (236, 198, 140))
    c.polygon(side, (176, 132, 76))
    c.rect(27 * s, 22 * s, 4 * s, 32 * s, (196, 40, 40))
    c.polygon([(27 * s, 22 * s), (37 * s, 10 * s), (41 * s, 10 * s), (31 * s, 22 * s)], (220, 64, 64))
    c.polygon([(46 * s, 36 * s), (56 * s, 24 * s), (56 * s, 28 * s), (46 * s, 40 * s)], (168, 32, 32))
    # The name with a soft shadow, and a line under it.
    c.text(72 * s + s, 9 * s + s, "PARCELO", 4 * s, (10, 20, 44))
    c.text(72 * s, 9 * s, "PARCELO", 4 * s, (255, 255, 255))
    c.rect(72 * s, 42 * s, 236 * s, s, (150, 186, 226))
    c.text(72 * s, 46 * s, "TNEF VIEWER", 2 * s, (214, 230, 248))
    return c


def toolbar(s):
    c = Canvas(32 * s, 16 * s, MAGENTA)
    outline = (64, 48, 16)
    # "Open": an opened folder, its front flap tilted.
    c.rect(1 * s, 3 * s, 6 * s, 2 * s, (200, 150, 40))
    c.rect(1 * s, 4 * s, 12 * s, 10 * s, (200, 150, 40))
    c.frame(1 * s, 4 * s, 12 * s, 10 * s, outline, s)
    c.rect(3 * s, 2 * s, 4 * s, 1 * s, outline)
    c.polygon([(3 * s, 8 * s), (15 * s, 8 * s), (12 * s, 14 * s), (1 * s, 14 * s)], (250, 214, 90))
    c.polygon([(3 * s, 8 * s), (15 * s, 8 * s), (15 * s, 9 * s), (3 * s, 9 * s)], outline)
    # "Save as...": a disk with its label and shutter, and a pen over its corner.
    x = 16 * s
    c.rect(x + 1 * s, 1 * s, 13 * s, 14 * s, (40, 72, 160))
    c.frame(x + 1 * s, 1 * s, 13 * s, 14 * s, (16, 28, 72), s)
    c.rect(x + 3 * s, 2 * s, 9 * s, 6 * s, (248, 248, 248))
    c.rect(x + 4 * s, 4 * s, 7 * s, s, (150, 150, 150))
    c.rect(x + 4 * s, 6 * s, 5 * s, s, (150, 150, 150))
    c.rect(x + 4 * s, 10 * s, 7 * s, 5 * s, (180, 188, 200))
    c.rect(x + 8 * s, 11 * s, 2 * s, 3 * s, (40, 72, 160))
    c.polygon([(x + 10 * s, 13 * s), (x + 15 * s, 8 * s), (x + 16 * s, 9 * s), (x + 11 * s, 14 * s)],
              (240, 120, 20))
    return c


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources", "bitmaps")
    os.makedirs(folder, exist_ok=True)
    for scale, suffix in ((1, ""), (2, "@2x")):
        banner(scale).save(os.path.join(folder, "bitmap-133%s.png" % suffix))
        toolbar(scale).save(os.path.join(folder, "toolbar-151%s.png" % suffix))


if __name__ == "__main__":
    main()
