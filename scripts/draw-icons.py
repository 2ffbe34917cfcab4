#!/usr/bin/env python3
"""Draws the program's icons (resources/icons/*.png) with nothing but the standard library.

parcelo-N.png: a parcel (a box tied with a band) over a folded letter, the window icon.
file-32.png: a plain sheet with a folded corner, for files the icon theme has no icon for.
placeholder-N.png: a blank sheet in at most 16 colours and hard edges, what the attachment list
  shows before the desktop has given an item its icon.
The window's icons are also written at twice their size under Qt's "@2x" names.
"""
import os
import struct
import sys
import zlib

SUPERSAMPLE = 4


def png(path, width, height, pixels):
    raw = b"".join(b"\0" + bytes(pixels[y * width * 4:(y + 1) * width * 4]) for y in range(height))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(chunk(b"IEND", b""))


def inside_polygon(x, y, points):
    hit = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            hit = not hit
        j = i
    return hit


def render(size, shapes, supersample=SUPERSAMPLE):
    """shapes: (polygon in unit coordinates, RGBA) painted in order; supersample 1 draws hard
    edges in the shapes' own colours only."""
    big = size * supersample
    acc = [0.0] * (size * size * 4)
    for py in range(big):
        for px in range(big):
            x = (px + 0.5) / big
            y = (py + 0.5) / big
            colour = None
            for points, rgba in shapes:
                if inside_polygon(x, y, points):
                    colour = rgba
            if colour is None:
                continue
            i = ((py // supersample) * size + px // supersample) * 4
            alpha = colour[3] / 255.0
            acc[i] += colour[0] * alpha
            acc[i + 1] += colour[1] * alpha
            acc[i + 2] += colour[2] * alpha
            acc[i + 3] += alpha
    samples = supersample * supersample
    out = []
    for i in range(0, len(acc), 4):
        a = acc[i + 3]
        if a == 0:
            out += [0, 0, 0, 0]
        else:
            out += [round(acc[i] / a), round(acc[i + 1] / a), round(acc[i + 2] / a),
                    round(255 * a / samples)]
    return out


def rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def parcel_shapes():
    outline = (92, 58, 30, 255)
    front = (196, 140, 82, 255)
    top = (222, 176, 118, 255)
    side = (168, 114, 62, 255)
    band = (178, 34, 52, 255)
    band_top = (208, 62, 78, 255)
    paper = (250, 250, 246, 255)
    fold = (150, 160, 176, 255)
    return [
        # A letter behind the box, sticking out at the upper left.
        (rect(0.04, 0.10, 0.62, 0.50), fold),
        (rect(0.06, 0.12, 0.60, 0.48), paper),
        ([(0.06, 0.12), (0.33, 0.32), (0.60, 0.12), (0.60, 0.16), (0.33, 0.36), (0.06, 0.16)], fold),
        # The box: top face, front, right side, each with a dark edge.
        ([(0.22, 0.40), (0.70, 0.40), (0.96, 0.24), (0.48, 0.24)], outline),
        ([(0.25, 0.385), (0.69, 0.385), (0.91, 0.255), (0.49, 0.255)], top),
        (rect(0.20, 0.38, 0.72, 0.96), outline),
        (rect(0.23, 0.41, 0.69, 0.93), front),
        ([(0.72, 0.38), (0.97, 0.22), (0.97, 0.80), (0.72, 0.96)], outline),
        ([(0.745, 0.405), (0.945, 0.28), (0.945, 0.78), (0.745, 0.905)], side),
        # The band around it.
        (rect(0.42, 0.41, 0.50, 0.93), band),
        ([(0.42, 0.385), (0.50, 0.385), (0.76, 0.255), (0.68, 0.255)], band_top),
        ([(0.745, 0.56), (0.945, 0.44), (0.945, 0.50), (0.745, 0.62)], band),
    ]


def file_shapes():
    outline = (120, 124, 132, 255)
    paper = (252, 252, 252, 255)
    corner = (214, 218, 226, 255)
    lines = (170, 176, 188, 255)
    shapes = [
        ([(0.16, 0.04), (0.64, 0.04), (0.86, 0.26), (0.86, 0.96), (0.16, 0.96)], outline),
        ([(0.19, 0.07), (0.62, 0.07), (0.83, 0.28), (0.83, 0.93), (0.19, 0.93)], paper),
        ([(0.62, 0.07), (0.62, 0.28), (0.83, 0.28)], corner),
    ]
    for y in (0.40, 0.52, 0.64, 0.76):
        shapes.append((rect(0.28, y, 0.74, y + 0.04), lines))
    return shapes


def placeholder_shapes():
    outline = (128, 128, 128, 255)
    paper = (255, 255, 255, 255)
    corner = (192, 192, 192, 255)
    return [
        ([(0.16, 0.04), (0.64, 0.04), (0.86, 0.26), (0.86, 0.96), (0.16, 0.96)], outline),
        ([(0.22, 0.10), (0.60, 0.10), (0.80, 0.30), (0.80, 0.90), (0.22, 0.90)], paper),
        ([(0.60, 0.10), (0.60, 0.30), (0.80, 0.30)], corner),
    ]


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "resources", "icons")
    os.makedirs(folder, exist_ok=True)
    for size in (16, 32, 64, 128):
        png(os.path.join(folder, "parcelo-%d.png" % size), size, size, render(size, parcel_shapes()))
    for size in (16, 32, 64):
        png(os.path.join(folder, "parcelo-%d@2x.png" % size), 2 * size, 2 * size,
            render(2 * size, parcel_shapes()))
    png(os.path.join(folder, "file-32.png"), 32, 32, render(32, file_shapes()))
    for size in (16, 32):
        for scale, suffix in ((1, ""), (2, "@2x")):
            png(os.path.join(folder, "placeholder-%d%s.png" % (size, suffix)), scale * size,
                scale * size, render(scale * size, placeholder_shapes(), supersample=1))


if __name__ == "__main__":
    main()
