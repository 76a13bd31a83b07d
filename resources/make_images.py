#!/usr/bin/env python3
"""Draws VOKRA's window icon (icon 128) and its status-bar logo (bitmap 135) as XPM files.

The logo is the product's short name in red letters on a blue ground, 88 x 26 pixels; the icon
is its first letter on the same ground. Both come from the 5 x 7 letter shapes below, scaled
up, so they look the same on every machine. Run it again after changing a shape; the XPM files
it writes are committed.
"""
from pathlib import Path

LETTERS = {
    "V": ["X...X", "X...X", "X...X", "X...X", ".X.X.", ".X.X.", "..X.."],
    "O": [".XXX.", "X...X", "X...X", "X...X", "X...X", "X...X", ".XXX."],
    "K": ["X...X", "X..X.", "X.X..", "XX...", "X.X..", "X..X.", "X...X"],
    "R": ["XXXX.", "X...X", "X...X", "XXXX.", "X.X..", "X..X.", "X...X"],
    "A": [".XXX.", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"],
}
COLOURS = {" ": "#0000C8", "r": "#FF0000", "w": "#FFFFFF"}


def draw(width, height, text, scale, left, top, gap):
    rows = [[" "] * width for _ in range(height)]
    x = left
    for letter in text:
        for y, line in enumerate(LETTERS[letter]):
            for dx, cell in enumerate(line):
                if cell == "X":
                    for sy in range(scale):
                        for sx in range(scale):
                            rows[top + y * scale + sy][x + dx * scale + sx] = "r"
        x += 5 * scale + gap
    return rows


def frame(rows):
    """A one-pixel white frame, so the icon stands out on dark panels."""
    height, width = len(rows), len(rows[0])
    for x in range(width):
        rows[0][x] = rows[height - 1][x] = "w"
    for y in range(height):
        rows[y][0] = rows[y][width - 1] = "w"
    return rows


def write_xpm(path, name, rows):
    height, width = len(rows), len(rows[0])
    lines = ["/* XPM */", f"static const char* {name}[] = {{",
             f'"{width} {height} {len(COLOURS)} 1",']
    lines += [f'"{key} c {value}",' for key, value in COLOURS.items()]
    lines += [f'"{"".join(row)}",' for row in rows]
    lines[-1] = lines[-1].rstrip(",")
    lines.append("};")
    path.write_text("\n".join(lines) + "\n")


def main():
    here = Path(__file__).resolve().parent
    write_xpm(here / "logo135.xpm", "logo135", draw(88, 26, "VOKRA", 3, 1, 2, 3))
    write_xpm(here / "icon128.xpm", "icon128", frame(draw(32, 32, "V", 4, 6, 2, 0)))


if __name__ == "__main__":
    main()
