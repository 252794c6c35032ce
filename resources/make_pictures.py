#!/usr/bin/env python3
"""Draws Kivra's four bundle pictures with Python's standard library alone.

AboutIcon.bmp / AboutMask.bmp: the About window's icon, a small clock face
on a black rounded tile, and its mask (black opaque, white transparent).
Plenko.pct / PlenkoMask.pct: the badge at the foot of the About window and
its mask. The .pct files hold PNG bytes: the program reads pictures by their
content, not by their name.

Run it from anywhere; it writes next to itself. The output is byte-for-byte
the same on every run, so the committed files can be checked against it.
"""

import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
RED = (0xFF, 0x00, 0x00)
GREEN = (0x00, 0xFF, 0x00)
BLUE = (0x00, 0x55, 0xFF)
GREY = (0x7F, 0x7F, 0x7F)


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.rows = [[colour] * width for _ in range(height)]

    def rect(self, x, y, w, h, colour):
        for yy in range(max(0, y), min(self.height, y + h)):
            row = self.rows[yy]
            for xx in range(max(0, x), min(self.width, x + w)):
                row[xx] = colour

    def round_rect(self, x, y, w, h, radius, colour):
        """A filled rectangle whose corners are quarter circles of `radius`."""
        for yy in range(h):
            for xx in range(w):
                dx = max(radius - xx - 0.5, xx + 0.5 - (w - radius), 0)
                dy = max(radius - yy - 0.5, yy + 0.5 - (h - radius), 0)
                if dx * dx + dy * dy <= radius * radius:
                    px, py = x + xx, y + yy
                    if 0 <= px < self.width and 0 <= py < self.height:
                        self.rows[py][px] = colour


def write_bmp(path, canvas):
    """An uncompressed 24-bit BMP, rows bottom-up and padded to 4 bytes."""
    stride = (canvas.width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(canvas.rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        pixels += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0,
                       len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def write_png(path, canvas):
    """An 8-bit RGB PNG with no filtering."""
    raw = bytearray()
    for row in canvas.rows:
        raw.append(0)
        for r, g, b in row:
            raw += bytes((r, g, b))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# The four digit groups folded into a square, as (first column, first row,
# columns, colour): hour tens and units above, minute tens and units below.
# Each group fills its columns top to bottom, as the clock face does.
ICON_GROUPS = ((1, 0, 1, RED), (3, 0, 3, GREEN), (0, 4, 2, BLUE), (3, 4, 3, RED))
# The squares lit for the time 12:34, as (group, index within the group).
LIT_1234 = {(0, 1), (1, 0), (1, 4), (2, 0), (2, 2), (2, 5), (3, 1), (3, 3), (3, 6), (3, 8)}


def about_icon():
    size, radius = 128, 22
    pitch, side = 14, 11
    left = (size - (6 * pitch - (pitch - side))) // 2
    top = (size - (7 * pitch - (pitch - side))) // 2
    icon = Canvas(size, size, WHITE)
    icon.round_rect(0, 0, size, size, radius, BLACK)
    for g, (column, row, columns, colour) in enumerate(ICON_GROUPS):
        for k in range(3 * columns):
            x = left + (column + k // 3) * pitch
            y = top + (row + k % 3) * pitch
            icon.round_rect(x, y, side, side, 3, colour if (g, k) in LIT_1234 else GREY)
    mask = Canvas(size, size, WHITE)
    mask.round_rect(0, 0, size, size, radius, BLACK)
    return icon, mask


# A 5 x 7 pixel font for the letters the badge uses.
FONT = {
    "K": ["X...X", "X..X.", "X.X..", "XX...", "X.X..", "X..X.", "X...X"],
    "I": ["XXXXX", "..X..", "..X..", "..X..", "..X..", "..X..", "XXXXX"],
    "V": ["X...X", "X...X", "X...X", "X...X", "X...X", ".X.X.", "..X.."],
    "R": ["XXXX.", "X...X", "X...X", "XXXX.", "X.X..", "X..X.", "X...X"],
    "A": [".XXX.", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"],
    "E": ["XXXXX", "X....", "X....", "XXXX.", "X....", "X....", "XXXXX"],
    "X": ["X...X", "X...X", ".X.X.", "..X..", ".X.X.", "X...X", "X...X"],
    "M": ["X...X", "XX.XX", "X.X.X", "X.X.X", "X...X", "X...X", "X...X"],
    "P": ["XXXX.", "X...X", "X...X", "XXXX.", "X....", "X....", "X...."],
    "L": ["X....", "X....", "X....", "X....", "X....", "X....", "XXXXX"],
    ".": [".....", ".....", ".....", ".....", ".....", ".XX..", ".XX.."],
}


def draw_text(canvas, x, y, text, scale, colour):
    for ch in text:
        for row, bits in enumerate(FONT[ch]):
            for col, bit in enumerate(bits):
                if bit == "X":
                    canvas.rect(x + col * scale, y + row * scale, scale, scale, colour)
        x += 6 * scale
    return x


def plenko():
    width, height = 216, 30
    badge_colour = (0x1E, 0x22, 0x2A)
    badge = Canvas(width, height, WHITE)
    badge.round_rect(0, 0, width, height, 8, badge_colour)
    # A 3 x 3 block of squares in the face's colours as the logo.
    colours = [RED, GREEN, BLUE, GREY, RED, GREEN, BLUE, GREY, RED]
    for k, colour in enumerate(colours):
        badge.round_rect(8 + (k // 3) * 7, 5 + (k % 3) * 7, 6, 6, 1, colour)
    draw_text(badge, 38, 8, "KIVRA.EXAMPLE", 2, WHITE)
    mask = Canvas(width, height, WHITE)
    mask.round_rect(0, 0, width, height, 8, BLACK)
    return badge, mask


def main():
    icon, icon_mask = about_icon()
    write_bmp(os.path.join(HERE, "AboutIcon.bmp"), icon)
    write_bmp(os.path.join(HERE, "AboutMask.bmp"), icon_mask)
    badge, badge_mask = plenko()
    write_png(os.path.join(HERE, "Plenko.pct"), badge)
    write_png(os.path.join(HERE, "PlenkoMask.pct"), badge_mask)


if __name__ == "__main__":
    main()
