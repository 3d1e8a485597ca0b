#!/usr/bin/env python3
"""Draws the launcher's application icon (a blue ring on a transparent
background) as a 32 x 32, 32-bit ICO file."""
import struct
import sys

SIZE = 32


def pixel(x, y):
    cx = cy = (SIZE - 1) / 2
    d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
    if 9 <= d <= 14:
        return (0xB0, 0x50, 0x10, 0xFF)  # BGRA: a deep blue
    if d < 9 and abs(x - cx) < 3 and y > cy - 6:
        return (0x20, 0x90, 0xF0, 0xFF)  # an orange bar in the middle
    return (0, 0, 0, 0)


def icon():
    rows = []
    for y in reversed(range(SIZE)):  # DIB rows run bottom-up
        rows.append(b"".join(bytes(pixel(x, y)) for x in range(SIZE)))
    xor = b"".join(rows)
    and_mask = b"\0" * (SIZE * SIZE // 8)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 22)
    return directory + image


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(icon())
