#!/usr/bin/env python3
"""Draws the grid's glyph bitmaps (check boxes, radio buttons, tree nodes,
the filter mark) and its cursors (row, column and whole-grid selection, the
panning cursors) and writes them as resources with inline data into
GridGlyphs.rc. Run it again after changing a drawing; the .rc is committed.

Every glyph's top-left pixel is its transparent colour (magenta): the grid
draws the glyphs with that pixel's colour left out."""

import os
import struct

KEY = (255, 0, 255)


def canvas(w, h):
    return [[KEY for _ in range(w)] for _ in range(h)]


def rect(img, x0, y0, x1, y1, c):
    for y in range(y0, y1):
        for x in range(x0, x1):
            img[y][x] = c


def frame(img, x0, y0, x1, y1, c):
    for x in range(x0, x1):
        img[y0][x] = c
        img[y1 - 1][x] = c
    for y in range(y0, y1):
        img[y][x0] = c
        img[y][x1 - 1] = c


def gradient(img, x0, y0, x1, y1, top, bottom):
    h = max(1, y1 - y0 - 1)
    for y in range(y0, y1):
        t = (y - y0) / h
        c = tuple(int(round(a + (b - a) * t)) for a, b in zip(top, bottom))
        for x in range(x0, x1):
            img[y][x] = c


def tick(img, x, y, c):
    # A check mark whose bend sits at (x + 2, y + 4).
    pts = [(0, 2), (1, 3), (2, 4), (3, 3), (4, 2), (5, 1), (6, 0)]
    for dx, dy in pts:
        for t in range(3):
            img[y + dy + t][x + dx] = c


def disc(img, cx, cy, r, c, inner=None):
    for y in range(len(img)):
        for x in range(len(img[0])):
            d = ((x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2) ** 0.5
            if d <= r:
                img[y][x] = c if inner is None or d > inner[0] else inner[1]


def check(size, checked, enabled, rounded):
    img = canvas(size, size)
    # The 20 x 20 glyphs keep a transparent margin on the right, so that a
    # box of CheckSize (15) before the text leaves the text's first letter free.
    o = 2 if size == 20 else 1
    s = 14 if size == 20 else size - 2 * o
    border = (28, 81, 128) if enabled else (180, 180, 180)
    top = (220, 220, 215) if enabled else (240, 240, 240)
    bottom = (255, 255, 255) if enabled else (235, 235, 235)
    if rounded:
        rect(img, o, o, o + s, o + s, bottom)  # 16 colours: a flat face
    else:
        gradient(img, o, o, o + s, o + s, top, bottom)
    frame(img, o, o, o + s, o + s, border)
    if rounded:
        for x, y in ((o, o), (o + s - 1, o), (o, o + s - 1), (o + s - 1, o + s - 1)):
            img[y][x] = KEY
    if checked:
        mark = (33, 161, 33) if enabled else (160, 160, 160)
        tick(img, o + (s - 7) // 2, o + (s - 7) // 2, mark)
    return img


def radio(checked, enabled, flat):
    img = canvas(16, 16)
    ring = (28, 81, 128) if enabled else (180, 180, 180)
    fill = (245, 245, 240) if enabled else (235, 235, 235)
    disc(img, 8, 8, 6.5, ring, (5.5, fill))
    if not flat:
        disc_top = [(x, y) for y in range(16) for x in range(16)]
        for x, y in disc_top:
            d = ((x + 0.5 - 8) ** 2 + (y + 0.5 - 8) ** 2) ** 0.5
            if d <= 5.5 and y < 8:
                img[y][x] = (225, 225, 220) if enabled else fill
    if checked:
        dot = (33, 161, 33) if enabled else (160, 160, 160)
        disc(img, 8, 8, 2.8, dot)
    return img


def leaf(open_):
    img = canvas(16, 16)
    # A folder: tab and body, lighter when open.
    body = (240, 200, 80) if open_ else (220, 170, 50)
    edge = (150, 110, 20)
    rect(img, 2, 3, 7, 5, body)
    frame(img, 2, 3, 7, 5, edge)
    rect(img, 1, 5, 15, 13, body)
    frame(img, 1, 5, 15, 13, edge)
    if open_:
        rect(img, 3, 7, 14, 12, (255, 235, 150))
    return img


def xpnode(contracted):
    img = canvas(9, 9)
    gradient(img, 0, 0, 9, 9, (255, 255, 255), (200, 200, 190))
    frame(img, 0, 0, 9, 9, (120, 152, 181))
    for x in range(2, 7):
        img[4][x] = (0, 0, 0)
    if contracted:
        for y in range(2, 7):
            img[y][4] = (0, 0, 0)
    img[0][0] = KEY
    return img


def filt():
    img = canvas(16, 16)
    c = (64, 64, 64)
    # A funnel.
    for y in range(3, 8):
        for x in range(2 + (y - 3), 14 - (y - 3)):
            img[y][x] = c
    rect(img, 7, 8, 9, 14, c)
    return img


def arrow(up, enabled):
    """The search bar's find arrows: a triangle over a stem."""
    img = canvas(16, 16)
    c = (40, 80, 160) if enabled else (150, 150, 150)
    for i in range(6):
        y = 8 - i if up else 7 + i
        for x in range(2 + i, 14 - i):
            img[y][x] = c
    if up:
        rect(img, 6, 9, 10, 14, c)
    else:
        rect(img, 6, 2, 10, 7, c)
    return img


def cross(c):
    """The search bar's close button: a 14 x 14 cross."""
    img = canvas(14, 14)
    for i in range(3, 11):
        for d in (0, 1):
            if i + d < 11:
                img[i][i + d] = c
                img[i][13 - i - d] = c
    return img


def marker(enabled):
    """The search bar's highlight toggle: a marked line of text."""
    img = canvas(16, 16)
    hi = (255, 230, 0) if enabled else (200, 200, 200)
    ink = (0, 0, 0) if enabled else (128, 128, 128)
    rect(img, 1, 4, 15, 12, hi)
    for x in range(3, 13, 2):
        rect(img, x, 7, x + 1, 10, ink)
    return img


def dib(img, bpp):
    """A packed DIB (BITMAPINFOHEADER, palette, bottom-up rows)."""
    h = len(img)
    w = len(img[0])
    palette = []
    if bpp <= 8:
        for row in img:
            for p in row:
                if p not in palette:
                    palette.append(p)
        limit = 1 << bpp
        if len(palette) > limit:
            raise ValueError("too many colours for %d bits" % bpp)
        palette += [(0, 0, 0)] * (limit - len(palette))
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bpp, 0, 0, 0, 0,
                         len(palette) if palette else 0, 0)
    data = bytearray(header)
    for r, g, b in palette:
        data += bytes((b, g, r, 0))
    for row in reversed(img):
        line = bytearray()
        if bpp == 24:
            for r, g, b in row:
                line += bytes((b, g, r))
        elif bpp == 8:
            line += bytes(palette.index(p) for p in row)
        elif bpp == 4:
            idx = [palette.index(p) for p in row] + [0]
            for i in range(0, w, 2):
                line.append((idx[i] << 4) | (idx[i + 1] if i + 1 < w else 0))
        while len(line) % 4:
            line.append(0)
        data += line
    return bytes(data)


def pan_anchor(vert, horz):
    """The panning anchor mark: a 26 x 26 grey disc with a black rim, a dot
    in its centre and triangles toward the directions panning follows."""
    img = canvas(26, 26)
    disc(img, 13, 13, 12.5, (0, 0, 0), (11.5, (224, 224, 224)))
    disc(img, 13, 13, 1.6, (0, 0, 0))
    ink = (0, 0, 0)
    for i in range(5):
        for d in range(-i, i + 1):
            if vert:
                img[4 + i][13 + d] = ink
                img[21 - i][13 + d] = ink
            if horz:
                img[13 + d][4 + i] = ink
                img[13 + d][21 - i] = ink
    return img


# Cursors: 32 x 32, black shapes with a white rim on a transparent ground.
# A shape is the set of its black pixels; the rim is every pixel next to one.
CURSOR_SIZE = 32


def cursor_arrow(shape, ox, oy, dx, dy, shaft, head, stem=1.0, wing=1.0):
    """An arrow from (ox, oy) (pixel centres) pointing along (dx, dy): a stem
    of half-width stem for shaft pixels, then a head of length head."""
    n = (dx * dx + dy * dy) ** 0.5
    dx, dy = dx / n, dy / n
    for y in range(CURSOR_SIZE):
        for x in range(CURSOR_SIZE):
            px, py = x + 0.5 - ox, y + 0.5 - oy
            u = px * dx + py * dy
            w = abs(-px * dy + py * dx)
            if 0 <= u <= shaft and w <= stem:
                shape.add((x, y))
            elif shaft <= u <= shaft + head and w <= (shaft + head - u) * wing + 0.3:
                shape.add((x, y))


def ring(shape, cx, cy, outer, inner):
    for y in range(CURSOR_SIZE):
        for x in range(CURSOR_SIZE):
            d = ((x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2) ** 0.5
            if inner <= d <= outer:
                shape.add((x, y))


def select_cursor(dx, dy):
    """The row (right), column (down) and whole-grid (down-right) selection
    arrows; the hot spot is the arrow's tip."""
    shape = set()
    n = max(abs(dx), abs(dy))
    ox = 8 - 6 * dx / n if dx else 8
    oy = 8 - 6 * dy / n if dy else 8
    if dx and dy:
        ox, oy = 3, 3
        cursor_arrow(shape, ox, oy, dx, dy, 6, 6, 1.2, 1.0)
    else:
        cursor_arrow(shape, ox, oy, dx, dy, 6, 5, 1.2, 1.0)
    # The tip: the black pixel farthest along the arrow, nearest its axis.
    tip = max(shape, key=lambda p: (p[0] * dx + p[1] * dy, -abs((p[0] + 0.5 - ox) * dy - (p[1] + 0.5 - oy) * dx)))
    return shape, tip


def pan_cursor(v, h):
    """The panning cursors: a ring at the hot spot (16, 16), with arrows in
    all four directions when resting, else one arrow toward the scroll."""
    shape = set()
    ring(shape, 16, 16, 3.2, 1.6)
    dirs = ((0, -1), (0, 1), (-1, 0), (1, 0)) if (v, h) == (0, 0) else ((h, v),)
    for dx, dy in dirs:
        n = (dx * dx + dy * dy) ** 0.5
        cursor_arrow(shape, 16 + 5 * dx / n, 16 + 5 * dy / n, dx, dy, 3 if (v, h) == (0, 0) else 5, 5, 1.0, 1.0)
    return shape, (16, 16)


def cursor_image(shape, hot):
    """An RT_CURSOR resource: the hot spot, then a monochrome DIB of double
    height (the XOR image over the AND mask, bottom-up)."""
    size = CURSOR_SIZE
    rim = set()
    for x, y in shape:
        for ny in (y - 1, y, y + 1):
            for nx in (x - 1, x, x + 1):
                if 0 <= nx < size and 0 <= ny < size and (nx, ny) not in shape:
                    rim.add((nx, ny))
    stride = size // 8  # 32 pixels: 4 bytes, already a multiple of 4
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):
        xline = bytearray(stride)
        mline = bytearray(stride)
        for x in range(size):
            bit = 0x80 >> (x % 8)
            if (x, y) in rim:
                xline[x // 8] |= bit  # white
            elif (x, y) not in shape:
                mline[x // 8] |= bit  # transparent
        xor += xline
        mask += mline
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    return struct.pack("<HH", hot[0], hot[1]) + header + palette + bytes(xor) + bytes(mask)


def cursors():
    """(id, image) of every cursor: 8000 .. 8008 panning (resting, down, left,
    right, up, up-right, up-left, down-right, down-left), 8010 row select,
    8011 column select, 8012 whole-grid select and selection resizer."""
    out = []
    pans = ((0, 0), (1, 0), (0, -1), (0, 1), (-1, 0), (-1, 1), (-1, -1), (1, 1), (1, -1))
    for n, (v, h) in enumerate(pans):
        out.append((8000 + n, cursor_image(*pan_cursor(v, h))))
    out.append((8010, cursor_image(*select_cursor(1, 0))))
    out.append((8011, cursor_image(*select_cursor(0, 1))))
    out.append((8012, cursor_image(*select_cursor(1, 1))))
    return out


def cursor_file(image):
    """A .cur file of one cursor image: the directory (with the hot spot and
    the real, not doubled, height) and the DIB."""
    hx, hy = struct.unpack("<HH", image[:4])
    dib = image[4:]
    head = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", CURSOR_SIZE, CURSOR_SIZE, 0, 0, hx, hy, len(dib), 6 + 16)
    return head + entry + dib


def words(data):
    if len(data) % 2:
        data += b"\0"
    return struct.unpack("<%dH" % (len(data) // 2), data)


def resource(out, name, kind, data):
    vals = words(data)
    out.append("%s %d" % (name, kind))
    out.append("BEGIN")
    for i in range(0, len(vals), 12):
        out.append("    " + ", ".join("0x%04X" % w for w in vals[i:i + 12]) + ",")
    out[-1] = out[-1].rstrip(",")
    out.append("END")
    out.append("")


def main():
    glyphs = []
    # Bitmap-style check boxes: 20 x 20 with 16 colours, and 16 x 16 true colour.
    for n, (c, e) in zip((1, 2, 3, 4), ((1, 1), (0, 1), (1, 0), (0, 0))):
        glyphs.append(("PSGCHK%02d" % n, check(20, c, e, True), 4))
    for n, (c, e) in zip((5, 6, 7, 8), ((1, 1), (0, 1), (1, 0), (0, 0))):
        glyphs.append(("PSGCHK%02d" % n, check(16, c, e, False), 24))
    for n, (c, e) in zip((1, 2, 3, 4), ((1, 1), (0, 1), (1, 0), (0, 0))):
        glyphs.append(("PSGRAD%02d" % n, radio(c, e, True), 4))
    for n, (c, e) in zip((5, 6, 7, 8), ((1, 1), (0, 1), (1, 0), (0, 0))):
        glyphs.append(("PSGRAD%02d" % n, radio(c, e, False), 8))
    glyphs.append(("PSGLEAFOPEN", leaf(True), 8))
    glyphs.append(("PSGLEAFCLOSE", leaf(False), 8))
    glyphs.append(("XPNODEO", xpnode(False), 24))
    glyphs.append(("XPNODEC", xpnode(True), 24))
    glyphs.append(("PSGFILT", filt(), 4))
    glyphs.append(("PSGARDOWN", arrow(False, True), 24))
    glyphs.append(("PSGARDOWND", arrow(False, False), 24))
    glyphs.append(("PSGARUP", arrow(True, True), 24))
    glyphs.append(("PSGARUPD", arrow(True, False), 24))
    glyphs.append(("PSGCLOSE", cross((90, 90, 90)), 24))
    glyphs.append(("PSGCLOSEH", cross((200, 0, 0)), 24))
    glyphs.append(("PSGCLOSED", cross((120, 0, 0)), 24))
    glyphs.append(("PSGHI", marker(True), 24))
    glyphs.append(("PSGHID", marker(False), 24))
    # Panning anchors: both directions, horizontal, vertical.
    glyphs.append(("INTLI1", pan_anchor(True, True), 4))
    glyphs.append(("INTLI2", pan_anchor(False, True), 4))
    glyphs.append(("INTLI3", pan_anchor(True, False), 4))

    out = ["// Glyph bitmaps and cursors of the string grid, written by make_glyphs.py.", ""]
    for name, img, bpp in glyphs:
        resource(out, name, 2, dib(img, bpp))
    # The resource compiler builds cursors only from cursor files: each one
    # is written beside the script and named by its number.
    here = os.path.dirname(os.path.abspath(__file__))
    for ident, image in cursors():
        name = "GridCursor%d.cur" % ident
        with open(os.path.join(here, name), "wb") as f:
            f.write(cursor_file(image))
        out.append('%d CURSOR "%s"' % (ident, name))
    out.append("")
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "GridGlyphs.rc")
    with open(path, "w") as f:
        f.write("\n".join(out))


if __name__ == "__main__":
    main()
