#!/usr/bin/env python3
"""Draws the window's bitmaps (resources/bitmaps/*.png) with nothing but the standard library.

bitmap-148: the background strip, 6 x 411, tiled across and down the main window: a soft
  blue-grey fall from top to bottom with one lighter column, so that the strip reads as fine
  vertical ribs.
bitmap-149 / bitmap-150: the push buttons, 75 x 21 in at most 256 colours, normal and hovered.
  Their corners are black, the colour the buttons leave out, so the buttons look rounded.
bitmap-152 / bitmap-153 / bitmap-154: their dark twins, for a dark desktop: the same drawing
  with every colour of the light set kept in its hue and saturation at a low lightness, so that
  white text reads on them as black text reads on the light set (4.5:1 at least).
Each is also written at twice the size with Qt's "@2x" name, for screens scaled 2x.
"""
import colorsys
import os
import struct
import sys
import zlib


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(path, width, height, rows, colour_type, palette=None):
    """rows: list of bytes per row, already in the colour type's layout (8 bits a sample)."""
    raw = b"".join(b"\0" + row for row in rows)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)))
        if palette is not None:
            out.write(chunk(b"PLTE", b"".join(bytes(c) for c in palette)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(chunk(b"IEND", b""))


def write_rgb(path, width, height, pixel):
    rows = [bytes(v for x in range(width) for v in pixel(x, y)) for y in range(height)]
    write_png(path, width, height, rows, 2)


def write_indexed(path, width, height, pixel):
    """An 8-bit palette image; fails loudly when the picture has more than 256 colours."""
    palette = []
    index = {}
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            colour = tuple(pixel(x, y))
            if colour not in index:
                index[colour] = len(palette)
                palette.append(colour)
            row.append(index[colour])
        rows.append(bytes(row))
    if len(palette) > 256:
        raise SystemExit("%s: %d colours" % (path, len(palette)))
    write_png(path, width, height, rows, 3, palette)


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def at_lightness(colour, lightness):
    """`colour` in its own hue and saturation at `lightness` (0 to 1)."""
    hue, _, saturation = colorsys.rgb_to_hls(*(c / 255 for c in colour))
    return tuple(round(c * 255) for c in colorsys.hls_to_rgb(hue, lightness, saturation))


def background(scale, top, bottom, lit, shadow):
    """The strip's pixel at (x, y) of the strip drawn `scale` times as large."""
    height = 411 * scale

    def pixel(x, y):
        colour = mix(top, bottom, y / (height - 1))
        column = x // scale
        if column == 0:
            colour = mix(colour, (255, 255, 255), lit)  # the rib's lit side
        elif column == 5:
            colour = mix(colour, shadow, 0.18)  # and its shadow
        return colour

    return 6 * scale, height, pixel


def button(scale, face_top, face_bottom, edge, shine):
    """A rounded bar 75 x 21; outside it black, the transparent colour. Hard edges, as a
    256-colour bitmap has no alpha to blend them with."""
    width, height = 75 * scale, 21 * scale
    radius = 5.0 * scale
    border = scale  # one pixel at either size

    def inside(x, y, inset):
        cx, cy = x + 0.5, y + 0.5
        left, right = inset + radius, width - inset - radius
        top, bottom = inset + radius, height - inset - radius
        dx = left - cx if cx < left else cx - right if cx > right else 0.0
        dy = top - cy if cy < top else cy - bottom if cy > bottom else 0.0
        return dx * dx + dy * dy <= (radius - inset if inset < radius else 0) ** 2 + 0.25

    def pixel(x, y):
        if not inside(x, y, 0):
            return (0, 0, 0)
        if not inside(x, y, border):
            return edge
        t = (y - border) / max(1, height - 2 * border - 1)
        # Quantised to 32 steps so the whole picture stays within 256 colours.
        t = round(t * 31) / 31
        colour = mix(face_top, face_bottom, t)
        if t < 0.45:
            colour = mix(colour, shine, 0.35 * (1 - t / 0.45))
        return colour

    return width, height, pixel


STRIP = dict(top=(214, 226, 240), bottom=(176, 196, 222), lit=0.45, shadow=(96, 120, 156))
NORMAL = dict(face_top=(236, 242, 250), face_bottom=(184, 202, 228), edge=(58, 84, 124),
              shine=(255, 255, 255))
HOVER = dict(face_top=(255, 240, 200), face_bottom=(240, 180, 80), edge=(150, 92, 18),
             shine=(255, 255, 240))

# The dark set: the light one's colours at lightnesses where white text keeps 4.5:1 on the
# lightest pixel it can stand on; the edges go light to part the buttons from the dark strip.
DARK_STRIP = dict(top=at_lightness(STRIP["top"], 0.22), bottom=at_lightness(STRIP["bottom"], 0.14),
                  lit=0.10, shadow=(0, 0, 0))
DARK_NORMAL = dict(face_top=at_lightness(NORMAL["face_top"], 0.34),
                   face_bottom=at_lightness(NORMAL["face_bottom"], 0.20),
                   edge=at_lightness(NORMAL["edge"], 0.62),
                   shine=at_lightness(NORMAL["shine"], 0.40))
DARK_HOVER = dict(face_top=at_lightness(HOVER["face_top"], 0.22),
                  face_bottom=at_lightness(HOVER["face_bottom"], 0.16),
                  edge=at_lightness(HOVER["edge"], 0.62),
                  shine=at_lightness(HOVER["shine"], 0.24))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "resources", "bitmaps")
    os.makedirs(folder, exist_ok=True)
    for scale, suffix in ((1, ""), (2, "@2x")):
        for strip, normal, hover, ids in ((STRIP, NORMAL, HOVER, (148, 149, 150)),
                                          (DARK_STRIP, DARK_NORMAL, DARK_HOVER, (152, 153, 154))):
            name = lambda id: os.path.join(folder, "bitmap-%d%s.png" % (id, suffix))
            write_rgb(name(ids[0]), *background(scale, **strip))
            write_indexed(name(ids[1]), *button(scale, **normal))
            write_indexed(name(ids[2]), *button(scale, **hover))


if __name__ == "__main__":
    main()
