#!/usr/bin/env python3
"""Writes resources/handpoint.cur: the link label's 32x32 monochrome
pointing hand, hot spot on the index fingertip at (12, 9).

Run from anywhere: python3 scripts/make_cursor.py [output]
The drawing is kept here as text so the cursor can be changed and rebuilt.
'#' black, '.' white, ' ' transparent (shows the screen).
"""
import os
import struct
import sys

HOT_SPOT = (12, 9)

ART = [
    "",                                  # 0
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "            ##",                    # 8  index fingertip
    "           #..#",                   # 9  hot spot (12, 9)
    "           #..#",
    "           #..#",
    "           #..#",
    "           #..###",                 # 13 middle finger
    "           #..#..###",              # 14 ring finger
    "       ##  #..#..#..###",           # 15 little finger, thumb
    "      #..# #..#..#..#..#",
    "      #...##..#..#..#..#",
    "      #....................#",
    "       #...................#",
    "        #..................#",
    "         #.................#",
    "          #...............#",
    "           #..............#",
    "            #............#",
    "            #............#",
    "            ##############",        # 26 cuff
]


def rows():
    grid = []
    for y in range(32):
        line = ART[y] if y < len(ART) else ""
        line = line.ljust(32)[:32]
        grid.append(line)
    return grid


def pack(bits):
    """32 pixels of one row, most significant bit first, 4 bytes."""
    value = 0
    for b in bits:
        value = (value << 1) | b
    return struct.pack(">I", value)


def build():
    grid = rows()
    # Monochrome cursor pixels: AND 1 = transparent; AND 0 with XOR 0 = black,
    # AND 0 with XOR 1 = white. Rows are stored bottom-up.
    xor_rows = []
    and_rows = []
    for line in reversed(grid):
        xor_rows.append(pack([1 if c == "." else 0 for c in line]))
        and_rows.append(pack([1 if c == " " else 0 for c in line]))
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack("<II", 0x00000000, 0x00FFFFFF)
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "handpoint.cur")
    grid = rows()
    assert grid[HOT_SPOT[1]][HOT_SPOT[0]] == ".", "hot spot must lie on the fingertip"
    with open(out, "wb") as f:
        f.write(build())


if __name__ == "__main__":
    main()
