#!/usr/bin/env python3
"""Draws the caption and border skin of the Tarvolo main window.

resources/caption.bmp, 640 x 48, 24 bits:
  columns   0..240  active caption (left end 0..89, middle tile 91..142,
                    right end 140..240; column 240 lands one pixel right of
                    the window and is never seen)
  columns 240..315  button cells, 19 wide: close, restore, maximize, minimize;
                    rows 0..19 normal, 20..39 pressed (shared by both states)
  columns 400..640  inactive caption, same layout as the active one
resources/border.bmp, 70 x 10, 8 bits: seven 10 x 10 cells: left, unused,
  bottom-left, bottom, right, unused, bottom-right.

The look: a deep indigo title band with a teal rule under it, a light menu
strip that fades into the window body RGB(207, 203, 207), an indigo frame
around everything and the program's Run-box badge pinned over the seam at
the system-menu hot spot. Inactive, the band and the badge turn grey; the
frame stays (the border bitmap serves both states).

Pure Python, no imaging library. Run: python3 scripts/make_skin.py [outdir]
"""
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUTDIR = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "resources")

W, H = 640, 48           # caption bitmap
B = 10                   # border cell side
BTN_W, BTN_H = 19, 20    # button cells
BTN_X = 240              # first button cell
INACTIVE = 400           # inactive image offset
LEFT_END = 90            # width of the left end piece
RIGHT_START, RIGHT_END = 140, 240

# Window-relative layout of the band (see cOrvane): the right end piece is
# drawn at x = W - 100, so piece column c shows at window x = c - 140 + W - 100;
# the window's last visible column is piece column 239.
RIGHT_EDGE = 239
MENU_TOP = 26            # first row of the menu strip (H / 2 + 2)
ACCENT_ROW = 24
INNER_ROW = 25

OUTLINE = (22, 24, 40)
FRAME_HI = (128, 138, 184)
FRAME = (54, 62, 106)
FRAME_SHADOW = (36, 40, 68)
BODY = (207, 203, 207)
STRIP_TOP = (238, 236, 241)

STATES = {
    # band top, band bottom, highlight row, accent rule, badge top, badge bottom, glyph
    "active": ((98, 110, 168), (54, 62, 106), (146, 158, 212), (38, 166, 154),
               (38, 166, 154), (21, 76, 140), (255, 255, 255)),
    "inactive": ((134, 136, 150), (96, 98, 112), (164, 166, 178), (128, 136, 134),
                 (150, 156, 160), (104, 110, 122), (228, 228, 232)),
}


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(round(a[i] * (1 - t) + b[i] * t) for i in range(3))


# ---- border -------------------------------------------------------------

def edge_colour(side, d):
    """Frame colour at distance d (0 = outer edge, 9 = next to the client)."""
    if d == 9:
        return OUTLINE                       # inner line around the client
    if side in ("left", "top"):
        return (OUTLINE, FRAME_HI)[d] if d < 2 else FRAME
    # right and bottom: the light falls from the top left
    if d == 0:
        return OUTLINE
    if d == 1:
        return FRAME_SHADOW
    return FRAME


def border_cell(n, x, y):
    """Pixel (x, y) of border cell n."""
    if n == 0:
        return edge_colour("left", x)
    if n == 3:
        return edge_colour("bottom", B - 1 - y)
    if n == 4:
        return edge_colour("right", B - 1 - x)
    if n == 2:  # bottom-left: the left edge wins ties, so its highlight runs down
        dl, db = x, B - 1 - y
        return edge_colour("left", dl) if dl <= db else edge_colour("bottom", db)
    if n == 6:
        dr, db = B - 1 - x, B - 1 - y
        return edge_colour("right", dr) if dr <= db else edge_colour("bottom", db)
    return BODY  # cells 1 and 5 are not used


def border():
    return [[border_cell(x // B, x % B, y) for x in range(7 * B)] for y in range(B)]


# ---- caption band -------------------------------------------------------

def band_colour(state, y):
    top, bottom, hi = STATES[state][:3]
    if y == 0:
        return OUTLINE
    if y == 1:
        return hi
    return mix(top, bottom, (y - 2) / (ACCENT_ROW - 3))


def strip_colour(y):
    return mix(STRIP_TOP, BODY, (y - MENU_TOP) / (H - 1 - MENU_TOP))


def caption_pixel(state, c, y):
    """Active-image column c (0..240) of the band, before the badge."""
    accent = STATES[state][3]
    if c == 0 or (c == RIGHT_EDGE and y > 0):
        return OUTLINE
    if c >= RIGHT_EDGE + 1:
        return OUTLINE           # off-window column
    if y <= 1 or (y < ACCENT_ROW):
        if c == 1 and y > 0:
            return STATES[state][2]
        if c == RIGHT_EDGE - 1 and y > 0:
            return FRAME_SHADOW
        return band_colour(state, y)
    # rows from the accent rule down: the side frames match the border cells
    if c < B:
        if y == ACCENT_ROW and c >= 2:
            return band_colour(state, ACCENT_ROW - 1)
        if y == INNER_ROW and c == B - 1:
            return OUTLINE
        return edge_colour("left", c) if y > ACCENT_ROW or c < 2 else FRAME
    if c >= RIGHT_EDGE + 1 - B:
        d = RIGHT_EDGE - c
        if y == ACCENT_ROW and d >= 2:
            return band_colour(state, ACCENT_ROW - 1)
        return edge_colour("right", d)
    if y == ACCENT_ROW:
        return accent
    if y == INNER_ROW:
        return OUTLINE
    return strip_colour(y)


# The badge: a disc pinned over the seam at the system-menu hot spot
# (12, 11)-(42, 43), with the Run-box prompt of the program icon.
BADGE_C = (27.0, 25.0)
BADGE_R = 13.0


def seg_dist(px, py, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy)))
    return math.hypot(px - (ax + t * vx), py - (ay + t * vy))


def badge_sample(state, x, y):
    """Colour of the badge at the continuous point (x, y), or None outside."""
    top, bottom, glyph = STATES[state][4], STATES[state][5], STATES[state][6]
    cx, cy = BADGE_C
    r = math.hypot(x - cx, y - cy)
    if r > BADGE_R:
        return None
    if r > BADGE_R - 1.0:
        return OUTLINE
    if r > BADGE_R - 2.4:
        return mix((226, 232, 246), (170, 178, 204), (y - cy + BADGE_R) / (2 * BADGE_R))
    col = mix(top, bottom, (y - (cy - BADGE_R)) / (2 * BADGE_R))
    u, v = x - cx, y - cy
    if (seg_dist(u, v, -6.0, -6.5, -0.5, -2.0) < 1.45 or
            seg_dist(u, v, -0.5, -2.0, -6.0, 2.5) < 1.45):
        return glyph                                       # chevron
    if 1.5 <= u <= 7.0 and 1.0 <= v <= 3.0:
        return glyph                                       # prompt underscore
    if -7.5 <= u <= 7.5 and 5.0 <= v <= 8.0:
        return mix(glyph, col, 0.25)                       # the Run box
    return col


def caption_state(state):
    rows = []
    ss = 4
    for y in range(H):
        row = []
        for c in range(RIGHT_END + 1):
            base = caption_pixel(state, c, y)
            if abs(c + 0.5 - BADGE_C[0]) <= BADGE_R + 1 and abs(y + 0.5 - BADGE_C[1]) <= BADGE_R + 1:
                acc = [0, 0, 0]
                for sy in range(ss):
                    for sx in range(ss):
                        s = badge_sample(state, c + (sx + 0.5) / ss, y + (sy + 0.5) / ss)
                        s = base if s is None else s
                        for i in range(3):
                            acc[i] += s[i]
                base = tuple(round(a / (ss * ss)) for a in acc)
            row.append(base)
        rows.append(row)
    return rows


# ---- caption buttons ----------------------------------------------------

FACE = {
    "close": ((214, 82, 90), (160, 40, 52)),
    "other": ((110, 124, 182), (66, 76, 128)),
}
CORNER = (72, 78, 108)   # reads as a rounded corner on either band


def glyph_mask(kind, x, y):
    """Coverage 0..1 of the glyph at pixel (x, y) of a 19 x 20 cell, unpressed."""
    if kind == "close":
        # A one-pixel diagonal core with half-strength shoulders: crisp at
        # this size, yet as heavy as the two-pixel lines of the other glyphs.
        if not (5 <= x <= 13 and 5 <= y <= 13):
            return 0.0
        d = min(abs(x - y), abs(x + y - 18))
        return 1.0 if d == 0 else 0.5 if d == 1 else 0.0
    if kind == "maximize":
        inside = 5 <= x <= 13 and 5 <= y <= 13
        edge = x in (5, 13) or y in (5, 6, 13)
        return 1.0 if inside and edge else 0.0
    if kind == "restore":
        front = 4 <= x <= 10 and 7 <= y <= 13
        if front:
            return 1.0 if (x in (4, 10) or y in (7, 8, 13)) else 0.0
        back = 7 <= x <= 13 and 4 <= y <= 10
        return 1.0 if back and (x in (7, 13) or y in (4, 5, 10)) else 0.0
    if kind == "minimize":
        return 1.0 if 5 <= x <= 13 and 12 <= y <= 13 else 0.0
    return 0.0


def button_cell(kind, pressed):
    top, bottom = FACE["close" if kind == "close" else "other"]
    if pressed:
        top, bottom = mix(bottom, OUTLINE, 0.25), mix(top, bottom, 0.35)
    white = (255, 255, 255)
    cell = []
    for y in range(BTN_H):
        row = []
        for x in range(BTN_W):
            corner = x in (0, BTN_W - 1) and y in (0, BTN_H - 1)
            if corner:
                row.append(CORNER)
                continue
            if x in (0, BTN_W - 1) or y in (0, BTN_H - 1):
                row.append(OUTLINE)
                continue
            face = mix(top, bottom, (y - 1) / (BTN_H - 3))
            if pressed and (x == 1 or y == 1):
                face = mix(face, OUTLINE, 0.55)           # sunken: shadow top left
            elif not pressed and (x == 1 or y == 1):
                face = mix(face, white, 0.35)             # raised: light top left
            elif not pressed and (x == BTN_W - 2 or y == BTN_H - 2):
                face = mix(face, OUTLINE, 0.35)
            gx, gy = (x - 1, y - 1) if pressed else (x, y)
            g = glyph_mask(kind, gx, gy)
            shadow = glyph_mask(kind, gx - 1, gy - 1) if not pressed else 0.0
            if shadow and not g:
                face = mix(face, OUTLINE, 0.45 * shadow)
            row.append(mix(face, white if not pressed else (236, 236, 240), g))
        cell.append(row)
    return cell


# ---- files --------------------------------------------------------------

def caption():
    img = [[BODY] * W for _ in range(H)]
    for state, dx in (("active", 0), ("inactive", INACTIVE)):
        rows = caption_state(state)
        for y in range(H):
            for c in range(RIGHT_END + 1):
                if dx + c < W:
                    img[y][dx + c] = rows[y][c]
    for k, kind in enumerate(("close", "restore", "maximize", "minimize")):
        for p, pressed in enumerate((False, True)):
            cell = button_cell(kind, pressed)
            for y in range(BTN_H):
                for x in range(BTN_W):
                    img[p * BTN_H + y][BTN_X + k * BTN_W + x] = cell[y][x]
    return img


def bmp24(img):
    h, w = len(img), len(img[0])
    stride = (w * 3 + 3) & ~3
    data = b"".join(
        b"".join(struct.pack("<BBB", b, g, r) for (r, g, b) in img[y]) + b"\0" * (stride - w * 3)
        for y in reversed(range(h)))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    return struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info)) + info + data


def bmp8(img):
    h, w = len(img), len(img[0])
    colours = sorted({c for row in img for c in row})
    assert len(colours) <= 256
    index = {c: i for i, c in enumerate(colours)}
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in colours)
    pal += b"\0" * (4 * (256 - len(colours)))
    stride = (w + 3) & ~3
    data = b"".join(bytes(index[c] for c in img[y]) + b"\0" * (stride - w) for y in reversed(range(h)))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(data), 3780, 3780, 256, 0)
    off = 14 + len(info) + len(pal)
    return struct.pack("<2sIHHI", b"BM", off + len(data), 0, 0, off) + info + pal + data


def main():
    os.makedirs(OUTDIR, exist_ok=True)
    with open(os.path.join(OUTDIR, "caption.bmp"), "wb") as f:
        f.write(bmp24(caption()))
    with open(os.path.join(OUTDIR, "border.bmp"), "wb") as f:
        f.write(bmp8(border()))


if __name__ == "__main__":
    main()
