#!/usr/bin/env python3
"""Draws the Tarvolo application icon (16, 32 and 48 pixels, 256 colours).

The picture: a rounded teal tile with a white Run-box prompt, a chevron and a
cursor bar, i.e. "type a name and go". Writes resources/tarvolo.ico.
Pure Python, no imaging library needed.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources", "tarvolo.ico")
SS = 4  # supersampling per axis


def palette():
    pal = []
    for r in range(6):
        for g in range(7):
            for b in range(6):
                pal.append((r * 51, round(g * 42.5), b * 51))
    for v in (64, 128, 192, 224):
        pal.append((v, v, v))
    return pal  # 256 entries


PAL = palette()


def nearest(c):
    r, g, b = c
    best, bi = None, 0
    for i, (pr, pg, pb) in enumerate(PAL):
        d = (pr - r) ** 2 * 3 + (pg - g) ** 2 * 4 + (pb - b) ** 2 * 2
        if best is None or d < best:
            best, bi = d, i
    return bi


def inside_rounded(x, y, size, radius):
    cx = min(max(x, radius), size - radius)
    cy = min(max(y, radius), size - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def dist_to_segment(px, py, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy)))
    qx, qy = ax + t * vx, ay + t * vy
    return math.hypot(px - qx, py - qy)


def sample(x, y, n):
    """Colour (r, g, b, alpha) of the continuous picture at (x, y) in a n x n tile."""
    u, v = x / n, y / n
    if not inside_rounded(u, v, 1.0, 0.2):
        return None
    # Tile: teal at the top to deep blue at the bottom, with a light rim.
    top, bottom = (38, 166, 154), (21, 76, 140)
    t = v
    col = tuple(round(top[i] * (1 - t) + bottom[i] * t) for i in range(3))
    if not inside_rounded(u - 0.045, v - 0.045, 0.91, 0.16):
        col = (16, 60, 110)
    # Run box: a white field across the lower half.
    if 0.16 <= u <= 0.84 and 0.56 <= v <= 0.80:
        col = (250, 250, 250)
        if 0.16 <= u <= 0.84 and (v < 0.585 or v > 0.775 or u < 0.185 or u > 0.815):
            col = (180, 196, 210)
        if 0.62 <= u <= 0.68 and 0.61 <= v <= 0.75:
            col = (21, 76, 140)  # text cursor
        return col
    # Chevron ">" above the box.
    w = 0.075
    if (dist_to_segment(u, v, 0.26, 0.16, 0.48, 0.33) < w or
            dist_to_segment(u, v, 0.48, 0.33, 0.26, 0.50) < w):
        return (255, 255, 255)
    # Underscore prompt.
    if 0.55 <= u <= 0.76 and 0.43 <= v <= 0.50:
        return (255, 255, 255)
    return col


def render(n):
    pixels, mask = [], []
    for y in range(n):
        row, mrow = [], []
        for x in range(n):
            acc, hits = [0, 0, 0], 0
            for sy in range(SS):
                for sx in range(SS):
                    c = sample(x + (sx + 0.5) / SS, y + (sy + 0.5) / SS, n)
                    if c is not None:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            if hits * 2 < SS * SS:
                row.append(0)
                mrow.append(1)
            else:
                row.append(nearest(tuple(a // hits for a in acc)))
                mrow.append(0)
        pixels.append(row)
        mask.append(mrow)
    return pixels, mask


def dib(n):
    pixels, mask = render(n)
    header = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PAL)
    stride = (n + 3) & ~3
    xor = b"".join(bytes(pixels[y]) + b"\0" * (stride - n) for y in reversed(range(n)))
    mstride = ((n + 31) // 32) * 4
    andbits = b""
    for y in reversed(range(n)):
        bits = bytearray(mstride)
        for x in range(n):
            if mask[y][x]:
                bits[x // 8] |= 0x80 >> (x % 8)
        andbits += bytes(bits)
    return header + pal + xor + andbits


def main():
    sizes = [32, 16, 48]  # 32 first: the shell's default pick
    images = [dib(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, img in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 8, len(img), offset)
        offset += len(img)
    out += b"".join(images)
    with open(OUT, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
