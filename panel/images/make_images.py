#!/usr/bin/env python3
"""Draws the panel's bitmaps: the keyboard picture (246 x 103, 8-bit
palette BMP) and the program icon (an ICO: first the window's 32 x 32,
8-bit palette with a one-bit mask, then 16, 24 and 48 pixels in 32-bit
colour with alpha and 256 as PNG, for the other DPIs and Explorer), and
from the same icon source the icon theme's PNGs (16 to 256 pixels) and
SVG in dist/icons/hicolor. Standard library only;
run it to remake them all, or give it a folder to draw them into instead."""

import struct
import sys
import zlib
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


def and_mask(width, height, transparent):
    """The one-bit mask, rows bottom up: set where transparent(x, y)."""
    stride = ((width + 31) // 32) * 4
    mask = b""
    for y in reversed(range(height)):
        bits = bytearray(stride)
        for x in range(width):
            if transparent(x, y):
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return mask


def palette_icon_image(canvas, transparent):
    """An 8-bit palette image with its mask, as an ICO entry holds it."""
    pixels = canvas.rows_bottom_up()
    mask = and_mask(canvas.width, canvas.height, transparent)
    return (info_header(canvas.width, canvas.height * 2, len(pixels) + len(mask))
            + canvas.padded_palette() + pixels + mask)


def rgba_icon_image(rows, size):
    """A 32-bit BGRA image with alpha, and the mask where alpha is nought."""
    pixels = b"".join(
        bytes(b for i in range(0, len(row), 4) for b in (row[i + 2], row[i + 1], row[i], row[i + 3]))
        for row in reversed(rows))
    mask = and_mask(size, size, lambda x, y: rows[y][4 * x + 3] == 0)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def write_ico(images, path):
    """images: (size, bits, bytes) in the order the directory lists them."""
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, bits, data in images:
        side = size if size < 256 else 0  # 0 stands for 256
        directory += struct.pack("<BBBBHHII", side, side, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    path.write_bytes(directory + b"".join(data for _, _, data in images))


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
#
# One source for every size: shapes in a 32-unit square, painted in order
# and cut to a rounded outline. Sampled once at each pixel's centre they
# give the 32 x 32 icon of the window and the theme's 32 x 32 PNG; sampled
# 4 x 4 per pixel, the theme's other PNGs; written as they are, the SVG.

ICON_BLUE = (0, 64, 160)
ICON_LIGHT = (96, 160, 232)
ICON_WHITE = (255, 255, 255)
ICON_GREEN = (0, 128, 0)
ICON_MAROON = (128, 0, 0)
ICON_UNITS = 32
ICON_RADIUS = 4
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


def arrow(y, x_from, x_to):
    """A bar three units thick and a head five units long at x_to."""
    step = 1 if x_to > x_from else -1
    tip = x_to + (1 if step > 0 else 0)
    base = tip - 5 * step
    bar = ("rect", min(x_from, x_to), y - 1, max(x_from, x_to) + 1, y + 2)
    head = ("polygon", ((tip, y + 0.5), (base, y - 4.5), (base, y + 5.5)))
    return [bar, head]


ICON_SHAPES = [  # (colour, shape), painted in this order
    (ICON_BLUE, ("rect", 0, 0, 32, 32)),
    (ICON_LIGHT, ("rect", 2, 2, 30, 4)),
    (PANEL_YELLOW, ("rect", 5, 5, 27, 27)),
    *[(ICON_GREEN, shape) for shape in arrow(11, 7, 24)],    # into the device
    *[(ICON_MAROON, shape) for shape in arrow(21, 24, 7)],   # out of it
    (ICON_BLUE, ("rect", 14, 14, 18, 18)),                   # the port between them
]


def inside(shape, x, y):
    kind, *args = shape
    if kind == "rect":
        x0, y0, x1, y1 = args
        return x0 <= x < x1 and y0 <= y < y1
    points = args[0]  # even-odd rule
    result = False
    for (xa, ya), (xb, yb) in zip(points, points[1:] + points[:1]):
        if (ya > y) != (yb > y) and x < xa + (y - ya) * (xb - xa) / (yb - ya):
            result = not result
    return result


def icon_outside(x, y, r=ICON_RADIUS, size=ICON_UNITS):
    """Outside the square with rounded corners of radius r."""
    cx = min(max(x, r), size - r)
    cy = min(max(y, r), size - r)
    return (x - cx) ** 2 + (y - cy) ** 2 > r * r


def icon_colour(x, y):
    """The colour at a point in icon units, None outside the outline."""
    if icon_outside(x, y):
        return None
    colour = None
    for rgb, shape in ICON_SHAPES:
        if inside(shape, x, y):
            colour = rgb
    return colour


def icon():
    c = Canvas(ICON_UNITS, ICON_UNITS, ICON_SHAPES[0][0])
    for rgb, shape in ICON_SHAPES[1:] + [(ICON_WHITE, None)]:  # palette in painting order
        c.colour(rgb)
    for y in range(ICON_UNITS):
        for x in range(ICON_UNITS):
            c.point(x, y, icon_colour(x + 0.5, y + 0.5) or ICON_WHITE)
    return c


def icon_transparent(x, y):
    return icon_colour(x + 0.5, y + 0.5) is None


def icon_rgba(size, samples=4):
    """size x size RGBA rows, each pixel the mean of samples x samples points."""
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            total, covered = [0, 0, 0], 0
            for sy in range(samples):
                for sx in range(samples):
                    rgb = icon_colour((px + (sx + 0.5) / samples) * ICON_UNITS / size,
                                      (py + (sy + 0.5) / samples) * ICON_UNITS / size)
                    if rgb:
                        covered += 1
                        total = [t + v for t, v in zip(total, rgb)]
            colour = [round(t / covered) for t in total] if covered else [0, 0, 0]
            row += bytes(colour + [round(255 * covered / samples ** 2)])
        rows.append(bytes(row))
    return rows


def png_bytes(rows, size):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_png(rows, size, path):
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(png_bytes(rows, size))


def program_icon():
    """The ICO's images: the window's 32 x 32 first, as it always was."""
    images = [(ICON_UNITS, 8, palette_icon_image(icon(), icon_transparent))]
    images += [(size, 32, rgba_icon_image(icon_rgba(size), size)) for size in (16, 24, 48)]
    images.append((256, 32, png_bytes(icon_rgba(256), 256)))
    return images


def svg_element(rgb, shape):
    fill = "#%02x%02x%02x" % rgb
    kind, *args = shape
    if kind == "rect":
        x0, y0, x1, y1 = args
        return f'<rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" fill="{fill}"/>'
    points = " ".join(f"{x:g},{y:g}" for x, y in args[0])
    return f'<polygon points="{points}" fill="{fill}"/>'


def write_svg(path):
    body = "\n  ".join(svg_element(rgb, shape) for rgb, shape in ICON_SHAPES)
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_text(
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{ICON_UNITS}" height="{ICON_UNITS}" '
        f'viewBox="0 0 {ICON_UNITS} {ICON_UNITS}">\n'
        f'<clipPath id="outline"><rect width="{ICON_UNITS}" height="{ICON_UNITS}" '
        f'rx="{ICON_RADIUS}"/></clipPath>\n'
        f'<g clip-path="url(#outline)">\n  {body}\n</g>\n</svg>\n')


def write_icon_theme(root):
    """The hicolor theme's icons under root: PNGs at every size and the SVG."""
    for size in ICON_SIZES:
        # At 32 pixels, the window's own icon to the pixel; smoothed elsewhere.
        samples = 1 if size == ICON_UNITS else 4
        write_png(icon_rgba(size, samples), size, root / f"{size}x{size}" / "apps" / "torva-inout.png")
    write_svg(root / "scalable" / "apps" / "torva-inout.svg")


if __name__ == "__main__":
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else HERE
    themes = out / "hicolor" if len(sys.argv) > 1 else HERE.parent.parent / "dist" / "icons" / "hicolor"
    write_bmp(keyboard(), out / "keyboard.bmp")
    write_ico(program_icon(), out / "torva.ico")
    write_icon_theme(themes)
