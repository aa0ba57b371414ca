"""Reading a skin description.

A description is a text of blocks. A line at the left margin starts a block,
indented "name = value" lines belong to it, lines starting with ";" are
comments:

    skin NAME            author, description, version, atlas (width or WxH),
                         variant (name and hue rotation in degrees; repeatable)
    palette              colour names = #RRGGBB
    style                shape styles (see shapes.STYLE_NAMES)
    section NAME         option values written into the skin's section as they
                         stand, with $colour replaced by the palette colour
    entry SECTION KEY    changes or adds a picture entry: shape, args, size
                         (WxH of the whole entry), frames, rows (1, or 2 with a
                         mask row), borders (left top right bottom), kind
                         (border, glyph, texture), store (atlas, own), file,
                         stretch
    pattern SECTION KEY  a JPEG picture: shape, args, size, file
"""

import re


class DescriptionError(Exception):
    """A description the kit refuses, with where and why."""


class Block:
    def __init__(self, kind, words, line):
        self.kind, self.words, self.line = kind, words, line
        self.values = []          # (name, value, line) in written order

    def get(self, name, default=None):
        for n, v, _ in self.values:
            if n == name:
                return v
        return default

    def all(self, name):
        return [(v, ln) for n, v, ln in self.values if n == name]


BLOCK_KINDS = {'skin': 1, 'palette': 0, 'style': 0, 'section': 1, 'entry': 2, 'pattern': 2}


def parse(text, origin='description'):
    blocks = []
    for number, raw in enumerate(text.splitlines(), 1):
        line = raw.rstrip()
        stripped = line.strip()
        if not stripped or stripped.startswith(';'):
            continue
        where = '%s:%d' % (origin, number)
        if not line[0].isspace():
            words = stripped.split()
            kind = words[0]
            if kind not in BLOCK_KINDS or len(words) - 1 != BLOCK_KINDS[kind]:
                raise DescriptionError('%s: unknown block "%s"' % (where, stripped))
            blocks.append(Block(kind, words[1:], where))
            continue
        if not blocks:
            raise DescriptionError('%s: value outside a block' % where)
        name, eq, value = stripped.partition('=')
        if not eq:
            raise DescriptionError('%s: expected "name = value"' % where)
        blocks[-1].values.append((name.strip(), value.strip(), where))
    return blocks


HEX_COLOUR = re.compile(r'#([0-9A-Fa-f]{6})$')


def parse_colour(text, where):
    m = HEX_COLOUR.match(text)
    if not m:
        raise DescriptionError('%s: colour "%s" is not #RRGGBB' % (where, text))
    v = int(m.group(1), 16)
    return (v >> 16, (v >> 8) & 255, v & 255)


def parse_size(text, where):
    m = re.match(r'(\d+)x(\d+)$', text)
    if not m:
        raise DescriptionError('%s: size "%s" is not WxH' % (where, text))
    return int(m.group(1)), int(m.group(2))


def parse_int(text, where, what):
    if not re.match(r'-?\d+$', text):
        raise DescriptionError('%s: %s "%s" is not a number' % (where, what, text))
    return int(text)


def parse_args(text):
    """Shape arguments: words "name=value", or "name" alone for a true flag."""
    args = {}
    for word in text.split():
        name, _, value = word.partition('=')
        args[name] = value if value else '1'
    return args
