#!/usr/bin/env python3
"""Draws the office pager's default button pictures (next, previous, page
list, close, and the down and up arrows for tabs on the left and right) as
9 x 9 bitmaps with an 8-bit palette and writes them beside this script, with
PageButtons.rc naming each as a raw-data resource. Run it again after
changing a figure; the bitmaps and the .rc are committed.

Three colours: the background (every corner pixel, which the pictures draw
as transparent), the outline and a white fill."""

import os
import struct

SIZE = 9
BACKGROUND = (0xEF, 0xEF, 0xDE)
OUTLINE = (0x84, 0x7B, 0x42)
WHITE = (0xFF, 0xFF, 0xFF)

# Rows top to bottom: '.' background, 'o' outline, 'w' white fill.
NEXT = [
    ".........",
    ".oo......",
    ".owo.....",
    "..owo....",
    "...owo...",
    "..owo....",
    ".owo.....",
    ".oo......",
    ".........",
]
CROSS = [
    ".........",
    ".oo...oo.",
    ".owo.owo.",
    "..owowo..",
    "...owo...",
    "..owowo..",
    ".owo.owo.",
    ".oo...oo.",
    ".........",
]
# A chevron pointing down, seven rows high.
CHEVRON_DOWN = [
    "oo.....oo",
    "owo...owo",
    "owwo.owwo",
    ".owwowwo.",
    "..owwwo..",
    "...owo...",
    "....o....",
]


def mirrored(rows):
    return [row[::-1] for row in rows]


def placed(figure, top):
    """The figure's rows from row top down, background elsewhere."""
    blank = "." * SIZE
    rows = [blank] * top + figure
    return rows + [blank] * (SIZE - len(rows))


def bitmap(rows):
    """A .bmp file: file header, BITMAPINFOHEADER, a 256-entry palette and
    bottom-up rows padded to four bytes."""
    stride = (SIZE + 3) // 4 * 4
    offset = 14 + 40 + 256 * 4
    size = offset + stride * SIZE
    data = bytearray(struct.pack("<2sIHHI", b"BM", size, 0, 0, offset))
    data += struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 8, 0, stride * SIZE, 0, 0, 256, 0)
    palette = [BACKGROUND, OUTLINE, WHITE] + [(0, 0, 0)] * 253
    for r, g, b in palette:
        data += bytes((b, g, r, 0))
    index = {".": 0, "o": 1, "w": 2}
    for row in reversed(rows):
        data += bytes(index[c] for c in row) + bytes(stride - SIZE)
    assert len(data) == size == 1186
    return bytes(data)


PICTURES = [
    ("QJXAONEXT", "PageButtonNext.bmp", NEXT),
    ("QJXAOPREV", "PageButtonPrev.bmp", mirrored(NEXT)),
    ("QJXAOLIST", "PageButtonList.bmp", placed(CHEVRON_DOWN, 2)),
    ("QJXAOCLOSE", "PageButtonClose.bmp", CROSS),
    ("QJXAODOWN", "PageButtonDown.bmp", placed(CHEVRON_DOWN, 1)),
    ("QJXAOUP", "PageButtonUp.bmp", placed(CHEVRON_DOWN[::-1], 1)),
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = [
        "// The office pager's default button pictures, written by make_page_buttons.py.",
        "",
        "LANGUAGE 0x09, 0x01",
        "",
    ]
    for name, file_name, rows in PICTURES:
        assert len(rows) == SIZE and all(len(r) == SIZE for r in rows)
        with open(os.path.join(here, file_name), "wb") as f:
            f.write(bitmap(rows))
        out.append('%s RCDATA "%s"' % (name, file_name))
    out.append("")
    with open(os.path.join(here, "PageButtons.rc"), "w") as f:
        f.write("\n".join(out))


if __name__ == "__main__":
    main()
