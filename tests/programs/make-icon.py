#!/usr/bin/env python3
"""Writes the self-check program's icon: one 32x32 image, 32 bits a pixel, a blue square with a
white frame. Usage: make-icon.py OUT.ico"""
import struct
import sys

SIZE = 32


def pixel(x, y):
    """Blue, green, red, alpha of one pixel."""
    if x < 2 or y < 2 or x >= SIZE - 2 or y >= SIZE - 2:
        return bytes((255, 255, 255, 255))
    return bytes((200, 90, 30, 255))


def main():
    # Rows are stored bottom-up; the AND mask (all zero: nothing transparent) follows the colours.
    colours = b"".join(pixel(x, y) for y in reversed(range(SIZE)) for x in range(SIZE))
    mask = bytes(SIZE * SIZE // 8)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(colours) + len(mask),
                         0, 0, 0, 0)
    image = header + colours + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    with open(sys.argv[1], "wb") as out:
        out.write(directory + entry + image)


if __name__ == "__main__":
    main()
