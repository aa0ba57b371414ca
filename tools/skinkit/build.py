"""From a description to the files of a skin: checks, layout, pictures, options."""

import colorsys
import re

import catalogue
import shapes
from description import (DescriptionError, parse, parse_colour, parse_size,
                         parse_int, parse_args)
from raster import MAGENTA
from writers import Picture, bmp_bytes, jpeg_bytes, packed_skin

NAME = re.compile(r'[A-Z][A-Z0-9_]*$')
SKIN_NAME = re.compile(r'[A-Za-z][A-Za-z0-9_-]*$')
OWN_FILE = re.compile(r'[A-Z0-9_]+\.BMP$')
JPEG_FILE = re.compile(r'[A-Z0-9_]+\.JPG$')
MASTER = 'MASTER.BMP'
VERSION = '5.20'
KINDS = {'border': 0, 'texture': 1, 'glyph': 2}
# What each style may be, as a pattern of its whole text.
SIZE, COUNT = r'\d{1,2}', r'\d{1,3}'
STYLE_RULES = {
    'corners': SIZE + ' ' + SIZE, 'frame': SIZE, 'button': 'glossy|flat|bevel',
    'button_radius': SIZE, 'edit_radius': SIZE, 'check': 'tick|cross|block',
    'check_radius': SIZE, 'check_size': SIZE, 'radio': 'dot|ring', 'arrows': 'chevron|triangle',
    'arrow_size': SIZE, 'thumb': 'lines|dots|none', 'titlebuttons': 'round|square|plain',
    'title_button': SIZE + 'x' + SIZE, 'small_title_button': SIZE + 'x' + SIZE,
    'title_highlight': COUNT, 'title_tray': COUNT, 'hot_strength': COUNT, 'scroll_size': SIZE,
}
ENTRY_FIELDS = ('shape', 'args', 'size', 'frames', 'rows', 'borders', 'kind', 'store',
                'file', 'stretch')
PATTERN_FIELDS = ('shape', 'args', 'size', 'file')
SKIN_FIELDS = ('author', 'description', 'atlas', 'variant')


def plain_value_fault(value):
    """Why the options readers would not take value as the plain value it is
    meant to be, or None. The readers classify every value of every key:
    a leading entry marker, a "#" or a picture extension makes it a picture."""
    if value[:1] in ('~', '@', '^', '!'):
        return 'starts with the picture entry marker "%s"' % value[0]
    if '#' in value:
        return 'holds "#", which marks a picture rectangle'
    up = value.upper()
    for ext in ('.BMP', '.JPG', '.JPEG'):
        if ext in up:
            return 'holds "%s", which names a picture' % ext
    if '\n' in value or '\r' in value:
        return 'holds a line break'
    if not value.isascii():
        return 'holds characters beyond plain ASCII'
    return None


# Keys whose values the section reader takes as numbers or flags. A lenient
# number that is not one reads as missing; a strict one ends the load; a flag
# is true only when written TRUE; a gradient reads its fields as numbers in
# groups of five and drops an incomplete group; bevels outside 0 to 4 mean
# nothing.
NUMBER_KEYS = {
    'COLOR', 'BEVEL', 'SHADOWBLUR', 'SHADOWOFFSET', 'SHADOWCOLOR', 'SHADOWTRANSPARENCY',
    'FONTCOLOR', 'TCLEFT', 'TCTOP', 'TCRIGHT', 'TCBOTTOM', 'HOTFONTCOLOR', 'HOTTCLEFT',
    'HOTTCTOP', 'HOTTCRIGHT', 'HOTTCBOTTOM', 'TRANSPARENCY', 'GRADIENTPERCENT', 'IMAGEPERCENT',
    'FADINGINTERVALIN', 'FADINGINTERVALOUT', 'FADINGITERATIONS', 'HOTCOLOR', 'HOTTRANSPARENCY',
    'HOTBEVEL', 'HOTGRADIENTPERCENT', 'HOTIMAGEPERCENT', 'BORDERCOLOR1', 'BORDERCOLOR2',
    'SHADOW1COLOR', 'SHADOW1OFFSET', 'SHADOW1BLUR', 'SHADOW1TRANSPARENCY', 'BISPACE',
    'BORDERCOLOR'}
FLAG_KEYS = {'SHADOWENABLED', 'RESERVEDBOOLEAN', 'SHOWFOCUS', 'FADINGENABLED'}
GRADIENT_KEYS = {'GRADIENTDATA', 'HOTGRADIENTDATA'}
DECIMAL = re.compile(r'-?\d+$')


def typed_value_fault(key, value):
    """Why the section reader would not read value of key as written, or None."""
    if key in NUMBER_KEYS:
        if not DECIMAL.match(value) or not -2 ** 31 <= int(value) < 2 ** 31:
            return 'is not a decimal 32-bit number'
        if key in ('BEVEL', 'HOTBEVEL') and not 0 <= int(value) <= 4:
            return 'is not a bevel from 0 to 4'
    elif key in FLAG_KEYS:
        if value.upper() not in ('TRUE', 'FALSE'):
            return 'is not TRUE or FALSE'
    elif key in GRADIENT_KEYS:
        fields = [f for f in value.split(';') if f.strip()]
        if any(not DECIMAL.match(f.strip()) for f in fields):
            return 'has a field that is not a decimal number'
        if len(fields) % 5:
            return 'is not made of groups of five fields'
        for i in range(0, len(fields), 5):
            if not 0 <= int(fields[i + 2]) <= 100 or not 0 <= int(fields[i + 3]) <= 2:
                return 'has a band whose percent is not 0 to 100 or whose mode is not 0 to 2'
    return None


def rotate_hue(rgb, degrees):
    if rgb[0] == rgb[1] == rgb[2] or tuple(rgb) == MAGENTA:
        return rgb
    h, s, v = colorsys.rgb_to_hsv(*(c / 255.0 for c in rgb))
    r, g, b = colorsys.hsv_to_rgb((h + degrees / 360.0) % 1.0, s, v)
    return tuple(int(c * 255.0 + 0.5) for c in (r, g, b))


def tcolor(rgb):
    """The framework's colour number: red in the low byte."""
    return rgb[0] | rgb[1] << 8 | rgb[2] << 16


class Entry:
    def __init__(self, d):
        self.__dict__.update(d)
        self.store, self.file, self.x, self.y, self.picture = 'atlas', None, 0, 0, None
        self.where = 'entry %s %s' % (self.section, self.key)

    @property
    def size(self):
        return self.frame[0] * self.frames, self.frame[1] * self.rows


class Skin:
    """One skin ready to be written: its options text and its files."""

    def __init__(self, name):
        self.name = name
        self.options = ''
        self.files = []           # (name, bytes) after the options, in package order
        self.atlas = None
        self.entries = []
        self.patterns = []


class Design:
    """What a description says, checked."""

    def __init__(self, text, origin):
        blocks = parse(text, origin)
        self.origin = origin
        skins = [b for b in blocks if b.kind == 'skin']
        if len(skins) != 1:
            raise DescriptionError('%s: a description holds exactly one skin block' % origin)
        head = skins[0]
        self._known(head, SKIN_FIELDS)
        self.name = self._skin_name(head.words[0], head.line)
        self.author = head.get('author', '')
        self.description = head.get('description', '')
        self.atlas_w, self.atlas_h = self._atlas(head.get('atlas', '256'), head.line)
        self.variants = []
        for text_, where in head.all('variant'):
            words = text_.split()
            if len(words) != 2:
                raise DescriptionError('%s: variant is "NAME DEGREES"' % where)
            self.variants.append((self._skin_name(words[0], where),
                                  parse_int(words[1], where, 'hue rotation')))
        names = [self.name] + [v[0] for v in self.variants]
        if len(set(n.upper() for n in names)) != len(names):
            raise DescriptionError('%s: skin names repeat' % head.line)

        self.palette = {}
        for b in (b for b in blocks if b.kind == 'palette'):
            for n, v, where in b.values:
                self.palette[n] = parse_colour(v, where)
        missing = [n for n in shapes.PALETTE_NAMES if n not in self.palette]
        if missing:
            raise DescriptionError('%s: the palette lacks %s' % (origin, ', '.join(missing)))
        self.styles = dict(catalogue.STYLE_DEFAULTS)
        for b in (b for b in blocks if b.kind == 'style'):
            for n, v, _ in b.values:
                self.styles[n] = v
        missing = [n for n in shapes.STYLE_NAMES if n not in self.styles]
        if missing:
            raise DescriptionError('%s: the styles lack %s' % (origin, ', '.join(missing)))
        for name, value in self.styles.items():
            rule = STYLE_RULES.get(name)
            if rule and not re.fullmatch(rule, value):
                raise DescriptionError('%s: style %s = "%s" is not %s' % (origin, name, value, rule))

        self.sections = {}
        for b in (b for b in blocks if b.kind == 'section'):
            name = self._name(b.words[0], b.line, 'section')
            values = self.sections.setdefault(name, [])
            for key, value, where in b.values:
                values.append((self._name(key, where, 'key'), value, where))
        self.entry_blocks = [b for b in blocks if b.kind == 'entry']
        self.pattern_blocks = [b for b in blocks if b.kind == 'pattern']

    # Checks of names and numbers.

    @staticmethod
    def _known(block, fields):
        for n, _, where in block.values:
            if n not in fields:
                raise DescriptionError('%s: unknown field "%s"' % (where, n))

    @staticmethod
    def _skin_name(text, where):
        if not SKIN_NAME.match(text):
            raise DescriptionError('%s: skin name "%s" is not a plain name' % (where, text))
        return text

    @staticmethod
    def _name(text, where, what):
        # The windows ask for upper-case names; anything else would never be found.
        if not NAME.match(text):
            raise DescriptionError('%s: %s name "%s" is not upper case letters, digits and _'
                                   % (where, what, text))
        return text

    @staticmethod
    def _atlas(text, where):
        if 'x' in text:
            return parse_size(text, where)
        return parse_int(text, where, 'atlas width'), None

    # From the description to skins.

    def skins(self):
        yield self.make(self.name, self.palette)
        for name, degrees in self.variants:
            yield self.make(name, {k: rotate_hue(v, degrees) for k, v in self.palette.items()})

    def make(self, name, palette):
        ctx = shapes.Context(palette, self.styles)
        skin = Skin(name)
        skin.entries = self._entries()
        skin.patterns = self._patterns()
        self._layout(skin.entries)
        skin.options = self._options(skin, palette)
        self._draw(ctx, skin)
        skin.files = self._files(skin)
        return skin

    def _entries(self):
        try:
            entries = [Entry(d) for d in catalogue.entries(self.styles)]
        except (KeyError, ValueError) as e:
            raise DescriptionError('%s: a size style is missing or not a number (%s)'
                                   % (self.origin, e))
        by_name = {(e.section, e.key): e for e in entries}
        for b in self.entry_blocks:
            self._known(b, ENTRY_FIELDS)
            section = self._name(b.words[0], b.line, 'section')
            key = self._name(b.words[1], b.line, 'key')
            e = by_name.get((section, key))
            if e is None:
                for field in ('shape', 'size', 'frames', 'rows', 'kind'):
                    if b.get(field) is None:
                        raise DescriptionError('%s: a new entry needs its %s' % (b.line, field))
                e = Entry(dict(section=section, key=key, kind=None, shape=None, args={},
                               frame=(0, 0), frames=1, rows=1, borders=None, stretch=0))
                entries.append(e)
                by_name[(section, key)] = e
            self._apply(e, b)
        files = set()
        for e in entries:
            self._check_entry(e)
            if e.store == 'own':
                if e.file in files:
                    raise DescriptionError('%s: bitmap %s is used twice' % (e.where, e.file))
                files.add(e.file)
        return entries

    def _apply(self, e, b):
        where = b.line
        for field in ('shape', 'kind', 'store', 'file'):
            if b.get(field) is not None:
                setattr(e, field, b.get(field))
        if b.get('args') is not None:
            e.args.update(parse_args(b.get('args')))
        for field in ('frames', 'rows', 'stretch'):
            if b.get(field) is not None:
                setattr(e, field, parse_int(b.get(field), where, field))
        if b.get('borders') is not None:
            words = b.get('borders').split()
            if len(words) != 4:
                raise DescriptionError('%s: borders are "left top right bottom"' % where)
            e.borders = tuple(parse_int(w, where, 'border') for w in words)
        if b.get('size') is not None:
            w, h = parse_size(b.get('size'), where)
            if e.frames < 1 or e.rows < 1 or w % e.frames or h % e.rows:
                raise DescriptionError(
                    '%s: %d frames across and %d rows down do not divide %dx%d'
                    % (where, e.frames, e.rows, w, h))
            e.frame = (w // e.frames, h // e.rows)
        e.where = where

    def _check_entry(self, e):
        def refuse(why):
            raise DescriptionError('%s: %s' % (e.where, why))
        if e.kind not in KINDS:
            refuse('kind "%s" is not border, glyph or texture' % e.kind)
        if e.shape not in shapes.SHAPES:
            refuse('no shape "%s"' % e.shape)
        if not 1 <= e.frames <= 9:
            refuse('frames must be 1 to 9 (one digit in the options)')
        if e.rows not in (1, 2):
            refuse('rows must be 1, or 2 for the picture over its mask row')
        if e.frame[0] < 1 or e.frame[1] < 1:
            refuse('empty frames')
        if e.kind == 'glyph' and e.rows < 2:
            refuse('a glyph is drawn through its mask and needs its mask row (rows = 2)')
        if e.section == 'GLOBALINFO' and e.key in catalogue.THREE_FRAME_MASKS and (
                e.frames != 3 or e.rows != 2):
            refuse('the windows draw this mask with three frames over a mask row')
        if e.kind == 'border':
            if not e.borders or len(e.borders) != 4 or sum(e.borders) == 0:
                refuse('a border entry needs its four border widths')
            if any(not 0 <= v <= 9999 for v in e.borders):
                refuse('border widths must be 0 to 9999')
            if e.borders[0] + e.borders[2] > e.frame[0] or e.borders[1] + e.borders[3] > e.frame[1]:
                refuse('the borders are wider than a frame')
            if not 0 <= e.stretch <= 9:
                refuse('stretch mode must be 0 to 9 for a border')
        elif not 0 <= e.stretch <= 99:
            refuse('stretch mode must be 0 to 99')
        if e.store not in ('atlas', 'own'):
            refuse('store is atlas or own')
        if e.store == 'own':
            if e.file is None:
                e.file = ('%s_%s.BMP' % (e.section, e.key))[-40:].lstrip('_')
            if not OWN_FILE.match(e.file) or e.file == MASTER:
                refuse('own bitmap name "%s" must be upper case and end in .BMP' % e.file)
            # The engine measures a frame of an own bitmap as a third of its
            # width and half of its height, whatever the entry says.
            if e.frames != 3 or e.rows != 2:
                refuse('an own bitmap must hold three frames over a mask row')

    def _patterns(self):
        out = []
        for b in self.pattern_blocks:
            self._known(b, PATTERN_FIELDS)
            p = Entry(dict(section=self._name(b.words[0], b.line, 'section'),
                           key=self._name(b.words[1], b.line, 'key'), kind='pattern',
                           shape=b.get('shape'), args=parse_args(b.get('args', '')),
                           frame=parse_size(b.get('size', ''), b.line), frames=1, rows=1,
                           borders=None, stretch=0))
            p.file = b.get('file', '')
            if p.shape not in shapes.SHAPES:
                raise DescriptionError('%s: no shape "%s"' % (b.line, p.shape))
            if not JPEG_FILE.match(p.file):
                raise DescriptionError('%s: picture name "%s" must be upper case and end in .JPG'
                                       % (b.line, p.file))
            # Smaller pictures are read as texture masks, not as patterns.
            if p.frame[0] * p.frame[1] < 90000 or p.frame[0] > 4096 or p.frame[1] > 4096:
                raise DescriptionError('%s: a pattern picture needs 90000 pixels or more '
                                       '(and at most 4096 a side)' % b.line)
            out.append(p)
        return out

    def _layout(self, entries):
        """Shelves, tallest first; one key-coloured pixel between entries."""
        placed = sorted((e for e in entries if e.store == 'atlas'),
                        key=lambda e: -e.size[1])
        x = y = shelf = 0
        for e in placed:
            w, h = e.size
            if w > self.atlas_w:
                raise DescriptionError('%s: %dx%d lies outside an atlas %d wide'
                                       % (e.where, w, h, self.atlas_w))
            if x + w > self.atlas_w:
                x, y, shelf = 0, y + shelf + 1, 0
            e.x, e.y = x, y
            x += w + 1
            shelf = max(shelf, h)
        height = (y + shelf + 3) // 4 * 4
        if self.atlas_h is not None:
            for e in placed:
                if e.y + e.size[1] > self.atlas_h:
                    raise DescriptionError('%s: lies outside the atlas %dx%d'
                                           % (e.where, self.atlas_w, self.atlas_h))
            height = self.atlas_h
        if self.atlas_w > 9999 or height > 9999:
            raise DescriptionError('%s: the atlas is larger than four digits allow' % self.origin)
        self.atlas_size = (self.atlas_w, height)

    def _draw(self, ctx, skin):
        skin.atlas = Picture(*self.atlas_size)
        for e in skin.entries:
            e.picture = Picture(*e.size)
            for f in range(e.frames):
                layer = draw_shape(e, ctx, f)
                if frame_pixels(layer, e.picture, f * e.frame[0], e.frame[1] if e.rows == 2 else None,
                                e.kind == 'glyph'):
                    raise DescriptionError(
                        '%s: the picture has soft edges and needs its mask row (rows = 2)'
                        % e.where)
            if e.store == 'atlas':
                skin.atlas.blit(e.picture, e.x, e.y)
        for p in skin.patterns:
            layer = draw_shape(p, ctx, 0)
            p.picture = Picture(*p.frame)
            frame_pixels(layer, p.picture, 0, None)

    def _options(self, skin, palette):
        def value_of(text, where):
            def colour(m):
                if m.group(1) not in palette:
                    raise DescriptionError('%s: no colour "%s" in the palette' % (where, m.group(1)))
                return str(tcolor(palette[m.group(1)]))
            return re.sub(r'\$([a-z_0-9]+)', colour, text)

        lines, written = [], {}
        order = [s for s, _ in catalogue.SECTIONS]
        order += [s for s in self.sections if s not in order]
        parents = dict(catalogue.SECTIONS)
        for e in skin.entries + skin.patterns:
            if e.section not in order:
                order.append(e.section)
        for section in order:
            pairs = []
            if section == 'GLOBALINFO':
                pairs += [('VERSION', VERSION, self.origin), ('AUTHOR', self.author, self.origin),
                          ('DESCRIPTION', self.description, self.origin),
                          ('MASTERBITMAP', MASTER, None)]
            if parents.get(section) and not any(k == 'PARENTCLASS' for k, _, _ in
                                                 self.sections.get(section, ())):
                pairs.append(('PARENTCLASS', parents[section], self.origin))
            pairs += [(k, value_of(v, w), w) for k, v, w in self.sections.get(section, ())]
            pairs += [(e.key, entry_value(e), None) for e in skin.entries if e.section == section]
            pairs += [(p.key, p.file, None) for p in skin.patterns if p.section == section]
            seen = set()
            lines.append('[%s]' % section)
            for key, value, where in pairs:
                if key in seen:
                    raise DescriptionError('%s: %s has %s twice' % (where or self.origin, section, key))
                seen.add(key)
                if where is not None:
                    fault = plain_value_fault(value.strip()) or typed_value_fault(key, value.strip())
                    if fault:
                        raise DescriptionError('%s: the value of %s in %s %s'
                                               % (where, key, section, fault))
                lines.append('%s=%s' % (key, value))
            lines.append('')
            written[section] = dict((k, v) for k, v, _ in pairs)
        check_inheritance(written, self.origin)
        return '\r\n'.join(lines)

    def _files(self, skin):
        files = [(MASTER, bmp_bytes(skin.atlas))]
        files += [(e.file, bmp_bytes(e.picture)) for e in skin.entries if e.store == 'own']
        files += [(p.file, jpeg_bytes(p.picture)) for p in skin.patterns]
        return files


def check_inheritance(sections, origin):
    """Parents that the section reader would not follow as meant: a parent
    that is no section, a chain that comes back to a section, and a shadow
    switched on through the parent, whose colour the reader does not inherit
    (the section's shadow would be black)."""
    for name, keys in sections.items():
        chain, current = [name], keys
        while current.get('PARENTCLASS'):
            parent = current['PARENTCLASS']
            if parent not in sections:
                raise DescriptionError('%s: the parent %s of %s is no section' % (origin, parent, name))
            if parent in chain:
                raise DescriptionError('%s: the parents of %s come back to %s' % (origin, name, parent))
            chain.append(parent)
            current = sections[parent]
        enabled = next((sections[s]['SHADOWENABLED'] for s in chain
                        if 'SHADOWENABLED' in sections[s]), 'FALSE')
        if enabled.upper() == 'TRUE' and 'SHADOWCOLOR' not in keys:
            raise DescriptionError('%s: %s has its shadow on but no SHADOWCOLOR of its own, '
                                   'which is not inherited' % (origin, name))


def draw_shape(e, ctx, state):
    try:
        return shapes.SHAPES[e.shape](ctx, e.frame[0], e.frame[1], state, e.args)
    except (KeyError, ValueError) as fault:
        raise DescriptionError('%s: shape %s cannot be drawn with args %s (%s)'
                               % (e.where, e.shape, e.args, fault))


def frame_pixels(layer, pic, ox, mask_row, glyph=False):
    """Writes a drawn frame into pic at (ox, 0): the picture, and its mask one
    frame height lower when mask_row is given (black shows the picture, white
    what lies under it). The key colour goes where the shape marked its
    outside, and where a glyph or a picture without mask row is transparent;
    other transparent pixels of a border go through a white mask, because the
    engine gives key-coloured corner pixels the parent's background and cuts
    them out of window regions. Without a mask row, answers whether the frame
    has partly transparent pixels."""
    soft = False
    for y in range(layer.h):
        for x in range(layer.w):
            rgb, a = layer.rgba(x, y)
            if mask_row is None:
                if 0.02 < a < 0.98:
                    soft = True
                a = 1.0 if a >= 0.5 else 0.0
            if a < 0.5 / 255 and mask_row is not None and not glyph and not layer.key[y * layer.w + x]:
                # White under a white mask gives back exactly what lies under it
                # in the engine's masked copy: (255 * D + 255) >> 8 = D.
                pic.put(ox + x, y, (255, 255, 255))
                pic.put(ox + x, mask_row + y, (255, 255, 255))
                continue
            if a < 0.5 / 255:
                pic.put(ox + x, y, MAGENTA)
                if mask_row is not None:
                    pic.put(ox + x, mask_row + y, (255, 255, 255))
                continue
            if rgb == MAGENTA:
                rgb = (254, 0, 255)
            pic.put(ox + x, y, rgb)
            if mask_row is not None:
                m = int(255.0 * (1.0 - a) + 0.5)
                pic.put(ox + x, mask_row + y, (m, m, m))
    return soft


def entry_value(e):
    """The fixed-column (or word) form of an entry in the options."""
    l, t = e.x, e.y
    r, b = l + e.size[0], t + e.size[1]
    mask = e.rows - 1
    if e.store == 'own':
        words = [e.file, str(e.frames), str(mask), str(KINDS[e.kind])]
        if e.kind == 'border':
            words += [str(v) for v in e.borders]
        return '!' + '!'.join(words)
    if e.kind == 'glyph':
        return '@%04d@%04d@%04d@%04d@%d@%d' % (l, t, r, b, e.frames, mask)
    if e.kind == 'texture':
        return '~%04d~%04d~%04d~%04d~%02d~%d' % (l, t, r, b, e.stretch, mask)
    return '^%04d^%04d^%04d^%04d^%04d^%04d^%04d^%04d^%d^%d^%d^%d' % (
        (l, t, r, b) + tuple(e.borders) + (e.frames, mask, e.stretch, 0))


def package(skin):
    """The packed skin: the options first, then the pictures."""
    return packed_skin([('Options.dat', skin.options.encode('ascii'))] + skin.files)
