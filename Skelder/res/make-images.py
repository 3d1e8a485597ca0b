#!/usr/bin/env python3
"""Draws the recorder's toolbar strip (Toolbar.bmp: fifteen 16 x 16 images,
256 colours) and its about box icon (Recorder.ico: 32 x 32 and 16 x 16,
256 colours). Run it in this folder; the outputs are committed."""
import math
import struct

GREY = (192, 192, 192)  # the toolbar maps it to the button face colour
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
DARK_GREY = (96, 96, 96)
SILVER = (208, 208, 216)
RED = (218, 24, 24)
DARK_RED = (128, 0, 0)
LIGHT_RED = (255, 150, 150)
BLUE = (24, 72, 208)
DARK_BLUE = (0, 24, 112)
NAVY = (40, 48, 120)
PINK = (240, 150, 170)
GREEN = (24, 160, 48)
DARK_GREEN = (0, 88, 16)
RUNNER = (32, 32, 64)


class Canvas:
    def __init__(self, width, height, fill):
        self.width, self.height = width, height
        self.pixels = [[fill] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def get(self, x, y):
        return self.pixels[y][x]

    def fill_where(self, inside, colour, ox=0, size=16):
        # A pixel is painted when its centre lies inside the shape.
        for y in range(self.height):
            for x in range(ox, ox + size):
                if inside(x - ox + 0.5, y + 0.5):
                    self.put(x, y, colour)

    def rect(self, ox, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(ox + x, y, colour)


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def polygon(points):
    def inside(x, y):
        hit = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    return inside


def segment(ax, ay, bx, by, half_width):
    def inside(x, y):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) <= half_width
    return inside


def ring(cx, cy, r, width):
    return lambda x, y: r - width <= math.hypot(x - cx, y - cy) <= r


# Each drawing takes the canvas and the x offset of its 16 x 16 cell.
def running_figure(c, ox):
    c.fill_where(disc(11.5, 2.0, 1.7), RUNNER, ox)
    for a, b in [((9.6, 5.4), (7.4, 9.6)),                           # body
                 ((9.3, 5.8), (6.6, 7.6)), ((6.6, 7.6), (4.4, 6.6)),  # back arm
                 ((9.3, 5.8), (11.6, 7.2)), ((11.6, 7.2), (13.4, 5.6)),  # front arm
                 ((7.4, 9.6), (10.6, 11.2)), ((10.6, 11.2), (11.2, 14.8)),  # front leg
                 ((7.4, 9.6), (5.6, 12.6)), ((5.6, 12.6), (1.8, 13.6))]:  # back leg
        c.fill_where(segment(*a, *b, 0.8), RUNNER, ox)


def eraser(c, ox):
    body = [(1.5, 10), (8.5, 3), (14.5, 9), (7.5, 16)]
    c.fill_where(polygon(body), PINK, ox)
    tip = [(1.5, 10), (4.5, 7), (10.5, 13), (7.5, 16)]
    c.fill_where(polygon(tip), WHITE, ox)
    for a, b in zip(body, body[1:] + body[:1]):
        c.fill_where(segment(*a, *b, 0.5), DARK_GREY, ox)
    c.fill_where(segment(4.5, 7, 10.5, 13, 0.5), DARK_GREY, ox)


def red_circle(c, ox):
    c.fill_where(disc(8, 8, 6), DARK_RED, ox)
    c.fill_where(disc(8, 8, 5), RED, ox)
    c.fill_where(disc(6.2, 6.2, 1.3), LIGHT_RED, ox)


def blue_square(c, ox):
    c.rect(ox, 3, 3, 12, 12, DARK_BLUE)
    c.rect(ox, 4, 4, 11, 11, BLUE)


def diskette(c, ox):
    c.fill_where(polygon([(1, 1), (13, 1), (15, 3), (15, 15), (1, 15)]), NAVY, ox)
    c.rect(ox, 4, 1, 11, 5, SILVER)
    c.rect(ox, 9, 2, 10, 4, NAVY)
    c.rect(ox, 3, 8, 12, 14, WHITE)
    c.rect(ox, 4, 10, 11, 10, BLUE)
    c.rect(ox, 4, 12, 11, 12, BLUE)


def play(c, ox):
    c.fill_where(polygon([(5, 3), (12, 8), (5, 13)]), BLACK, ox)


def rewind(c, ox):
    c.fill_where(polygon([(8, 4), (2, 8), (8, 12)]), BLACK, ox)
    c.fill_where(polygon([(14, 4), (8, 8), (14, 12)]), BLACK, ox)


def fast_forward(c, ox):
    c.fill_where(polygon([(2, 4), (8, 8), (2, 12)]), BLACK, ox)
    c.fill_where(polygon([(8, 4), (14, 8), (8, 12)]), BLACK, ox)


def skip_to_end(c, ox):
    c.fill_where(polygon([(3, 4), (10, 8), (3, 12)]), BLACK, ox)
    c.rect(ox, 11, 4, 12, 11, BLACK)


def skip_to_start(c, ox):
    c.rect(ox, 3, 4, 4, 11, BLACK)
    c.fill_where(polygon([(13, 4), (6, 8), (13, 12)]), BLACK, ox)


QUESTION = ["..####..",
            ".##..##.",
            ".....##.",
            "....##..",
            "...##...",
            "...##...",
            "........",
            "...##..."]


def help_sign(c, ox):
    c.fill_where(disc(8, 8, 7), DARK_BLUE, ox)
    c.fill_where(disc(8, 8, 6), BLUE, ox)
    for row, line in enumerate(QUESTION):
        for col, mark in enumerate(line):
            if mark == "#":
                c.put(ox + 4 + col, 4 + row, WHITE)


def red_cross(c, ox):
    c.fill_where(segment(3.5, 3.5, 12.5, 12.5, 1.5), RED, ox)
    c.fill_where(segment(12.5, 3.5, 3.5, 12.5, 1.5), RED, ox)


def empty(c, ox):
    pass


def up_triangle(c, ox):
    c.fill_where(polygon([(8, 2), (14.5, 13), (1.5, 13)]), DARK_GREEN, ox)
    c.fill_where(polygon([(8, 4.5), (12.8, 12), (3.2, 12)]), GREEN, ox)


def down_triangle(c, ox):
    c.fill_where(polygon([(1.5, 3), (14.5, 3), (8, 14)]), DARK_GREEN, ox)
    c.fill_where(polygon([(3.2, 4), (12.8, 4), (8, 11.5)]), GREEN, ox)


STRIP = [running_figure, eraser, red_circle, blue_square, diskette,     # 0-4: the buttons
         play, rewind, fast_forward, skip_to_end, help_sign, red_cross,  # 5-10: not used
         empty,                                                          # 11: Record while blinking
         up_triangle, down_triangle, skip_to_start]                      # 12-14: not used


def palette_of(canvases):
    colours = []
    for canvas in canvases:
        for row in canvas.pixels:
            for colour in row:
                if colour not in colours:
                    colours.append(colour)
    assert len(colours) <= 256
    return colours + [(0, 0, 0)] * (256 - len(colours))


def palette_bytes(palette):
    return b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)


def pixel_rows(canvas, palette):
    index = {colour: i for i, colour in reversed(list(enumerate(palette)))}
    stride = (canvas.width + 3) & ~3
    rows = []
    for y in reversed(range(canvas.height)):  # DIB rows run bottom-up
        row = bytes(index[canvas.get(x, y)] for x in range(canvas.width))
        rows.append(row + b"\0" * (stride - canvas.width))
    return b"".join(rows)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, image_size, 2835, 2835, 256, 0)


def toolbar_bitmap():
    canvas = Canvas(16 * len(STRIP), 16, GREY)
    for i, draw in enumerate(STRIP):
        draw(canvas, 16 * i)
    palette = palette_of([canvas])
    bits = pixel_rows(canvas, palette)
    header = info_header(canvas.width, canvas.height, len(bits)) + palette_bytes(palette)
    offset = 14 + len(header)
    return struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset) + header + bits


def recorder_icon(size):
    """A sheet with list lines and a red record dot; transparent around it."""
    canvas = Canvas(size, size, None)
    s = size / 32.0
    def box(x0, y0, x1, y1, colour):
        for y in range(round(y0 * s), round(y1 * s)):
            for x in range(round(x0 * s), round(x1 * s)):
                canvas.put(x, y, colour)
    box(4, 2, 24, 30, DARK_GREY)
    box(5, 3, 23, 29, WHITE)
    for top in (7, 12, 17):
        box(8, top, 20, top + 2, BLUE if size >= 32 else NAVY)
    for y in range(size):
        for x in range(size):
            d = math.hypot((x + 0.5) / s - 22, (y + 0.5) / s - 22)
            if d <= 8.5:
                canvas.put(x, y, DARK_RED if d > 7 else RED)
    return canvas


def icon_file():
    canvases = [recorder_icon(32), recorder_icon(16)]
    opaque = []
    for canvas in canvases:
        for row in canvas.pixels:
            opaque.extend(colour for colour in row if colour is not None)
    flat = Canvas(len(opaque) or 1, 1, BLACK)
    flat.pixels = [opaque or [BLACK]]
    palette = palette_of([flat])
    images = []
    for canvas in canvases:
        size = canvas.width
        mask_stride = ((size + 31) // 32) * 4
        painted = Canvas(size, size, BLACK)
        mask = bytearray()
        for y in reversed(range(size)):
            row = bytearray(mask_stride)
            for x in range(size):
                colour = canvas.get(x, y)
                if colour is None:
                    row[x // 8] |= 0x80 >> (x % 8)
                else:
                    painted.put(x, y, colour)
            mask += row
        bits = pixel_rows(painted, palette)
        image = info_header(size, size * 2, len(bits) + len(mask)) + palette_bytes(palette) + bits + bytes(mask)
        images.append((size, image))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b"", b""
    for size, image in images:
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(image), offset + len(data))
        data += image
    return directory + entries + data


if __name__ == "__main__":
    with open("Toolbar.bmp", "wb") as out:
        out.write(toolbar_bitmap())
    with open("Recorder.ico", "wb") as out:
        out.write(icon_file())
