#!/usr/bin/env python3
"""Draws the panel's bitmaps: the keyboard picture (246 x 103, 8-bit
palette BMP) and the program icon (32 x 32, 8-bit palette ICO with a
one-bit mask). Standard library only; run it to remake both files."""

import struct
from pathlib import Path

HERE = Path(__file__).resolve().parent
PANEL_YELLOW = (255, 255, 192)


class Canvas:
    """Pixels as palette indices; colours are added to the palette on first use."""

    def __init__(self, width, height, background):
        self.width, self.height = width, height
        self.palette = []
        self.pixels = [[self.colour(background)] * width for _ in range(height)]

    def colour(self, rgb):
        if rgb not in self.palette:
            if len(self.palette) == 256:
                raise ValueError("more than 256 colours")
            self.palette.append(rgb)
        return self.palette.index(rgb)

    def rect(self, x0, y0, x1, y1, rgb):
        """Fills x0..x1-1, y0..y1-1, clipped to the canvas."""
        index = self.colour(rgb)
        for y in range(max(y0, 0), min(y1, self.height)):
            row = self.pixels[y]
            for x in range(max(x0, 0), min(x1, self.width)):
                row[x] = index

    def point(self, x, y, rgb):
        self.rect(x, y, x + 1, y + 1, rgb)

    def padded_palette(self):
        colours = self.palette + [(0, 0, 0)] * (256 - len(self.palette))
        return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)

    def rows_bottom_up(self):
        stride = (self.width + 3) & ~3
        return b"".join(bytes(row) + b"\0" * (stride - self.width) for row in reversed(self.pixels))


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, image_size, 2835, 2835, 256, 0)


def write_bmp(canvas, path):
    pixels = canvas.rows_bottom_up()
    offset = 14 + 40 + 256 * 4
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    path.write_bytes(header + info_header(canvas.width, canvas.height, len(pixels))
                     + canvas.padded_palette() + pixels)


def write_ico(canvas, transparent, path):
    """transparent(x, y) tells which pixels the one-bit mask hides."""
    pixels = canvas.rows_bottom_up()
    mask_stride = ((canvas.width + 31) // 32) * 4
    mask = b""
    for y in reversed(range(canvas.height)):
        bits = bytearray(mask_stride)
        for x in range(canvas.width):
            if transparent(x, y):
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    image = (info_header(canvas.width, canvas.height * 2, len(pixels) + len(mask))
             + canvas.padded_palette() + pixels + mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack(
        "<BBBBHHII", canvas.width, canvas.height, 0, 0, 1, 8, len(image), 6 + 16)
    path.write_bytes(directory + image)


# --- The keyboard -----------------------------------------------------------

BODY = (200, 200, 192)
BODY_LIGHT = (232, 232, 226)
BODY_DARK = (140, 140, 134)
OUTLINE = (70, 70, 70)
KEY_FACE = (236, 236, 230)
KEY_TOP = (252, 252, 250)
KEY_SIDE = (170, 170, 164)
KEY_EDGE = (96, 96, 96)
LEGEND = (40, 40, 40)
SPECIAL_FACE = (176, 180, 186)
LED = (40, 200, 60)

UNIT = 10  # one key unit in pixels


def key(canvas, x, y, w, h, special=False):
    face = SPECIAL_FACE if special else KEY_FACE
    canvas.rect(x, y, x + w - 1, y + h - 1, KEY_EDGE)
    canvas.rect(x + 1, y + 1, x + w - 2, y + h - 2, KEY_SIDE)
    canvas.rect(x + 1, y + 1, x + w - 3, y + h - 3, face)
    canvas.rect(x + 1, y + 1, x + w - 3, y + 2, KEY_TOP)
    canvas.rect(x + 3, y + 3, x + 5, y + 4, LEGEND)


def key_row(canvas, x, y, widths):
    """A row of keys given in units; a negative width is a gap."""
    for units in widths:
        w = round(abs(units) * UNIT)
        if units > 0:
            key(canvas, x, y, w, UNIT, special=units != 1)
        x += w


MAIN_ROWS = [
    [1] * 13 + [2],
    [1.5] + [1] * 12 + [1.5],
    [1.75] + [1] * 11 + [2.25],
    [2.25] + [1] * 10 + [2.75],
    [1.5, 1, 1.5, 7, 1.5, 1, 1.5],
]


def keyboard():
    c = Canvas(246, 103, PANEL_YELLOW)
    # Case with a light top edge and a shadow below.
    c.rect(3, 12, 245, 101, BODY_DARK)
    c.rect(1, 9, 243, 98, OUTLINE)
    c.rect(2, 10, 242, 97, BODY)
    c.rect(2, 10, 242, 12, BODY_LIGHT)
    c.rect(2, 94, 242, 97, BODY_DARK)

    main_x, nav_x, pad_x = 8, 162, 198
    top_y, rows_y = 24, 38
    # Function row: Esc, F1-F12 in groups of four, then three keys above the arrows.
    key_row(c, main_x, top_y, [1, -1, 1, 1, 1, 1, -0.5, 1, 1, 1, 1, -0.5, 1, 1, 1, 1])
    key_row(c, nav_x, top_y, [1, 1, 1])
    for i in range(3):  # lock lights
        c.rect(pad_x + 6 + i * 12, top_y + 3, pad_x + 10 + i * 12, top_y + 6, LED)
    c.rect(pad_x, 15, pad_x + 38, 17, BODY_DARK)  # maker's strip

    for row, widths in enumerate(MAIN_ROWS):
        key_row(c, main_x, rows_y + row * UNIT, widths)
    for row in (0, 1):
        key_row(c, nav_x, rows_y + row * UNIT, [1, 1, 1])
    key_row(c, nav_x, rows_y + 3 * UNIT, [-1, 1])
    key_row(c, nav_x, rows_y + 4 * UNIT, [1, 1, 1])

    key_row(c, pad_x, rows_y, [1, 1, 1, 1])
    for row in (1, 2, 3):
        key_row(c, pad_x, rows_y + row * UNIT, [1, 1, 1])
    key_row(c, pad_x, rows_y + 4 * UNIT, [2, 1])
    key(c, pad_x + 3 * UNIT, rows_y + UNIT, UNIT, 2 * UNIT, special=True)      # +
    key(c, pad_x + 3 * UNIT, rows_y + 3 * UNIT, UNIT, 2 * UNIT, special=True)  # Enter
    return c


# --- The icon: a port box with an arrow in and an arrow out -----------------

ICON_BLUE = (0, 64, 160)
ICON_LIGHT = (96, 160, 232)
ICON_WHITE = (255, 255, 255)
ICON_GREEN = (0, 128, 0)
ICON_MAROON = (128, 0, 0)


def rounded_out(x, y, size=32, r=3):
    """Corner pixels outside a rounded square of radius r."""
    cx = r if x < r else size - 1 - r if x > size - 1 - r else x
    cy = r if y < r else size - 1 - r if y > size - 1 - r else y
    return (x - cx) ** 2 + (y - cy) ** 2 > r * r + 1


def arrow(c, y, x_from, x_to, rgb):
    step = 1 if x_to > x_from else -1
    c.rect(min(x_from, x_to), y - 1, max(x_from, x_to) + 1, y + 2, rgb)
    for i in range(5):
        tip = x_to - step * i
        c.rect(tip, y - i, tip + 1, y + i + 1, rgb)


def icon():
    c = Canvas(32, 32, ICON_BLUE)
    c.rect(2, 2, 30, 4, ICON_LIGHT)
    c.rect(5, 5, 27, 27, PANEL_YELLOW)
    arrow(c, 11, 7, 24, ICON_GREEN)   # into the device
    arrow(c, 21, 24, 7, ICON_MAROON)  # out of it
    c.rect(14, 14, 18, 18, ICON_BLUE)  # the port between them
    for y in range(32):
        for x in range(32):
            if rounded_out(x, y):
                c.point(x, y, ICON_WHITE)
    return c


if __name__ == "__main__":
    write_bmp(keyboard(), HERE / "keyboard.bmp")
    write_ico(icon(), rounded_out, HERE / "torva.ico")
