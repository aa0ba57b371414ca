"""Tests of the skin kit: the same descriptions give the same bytes, the kit
refuses descriptions the skin readers would misread, and every shipped skin
holds what the programs' windows ask for in a form the readers take as meant.

The shipped skins are read back here with a reader of this test's own (the
packed container, the options text, the fixed-column entry forms and the
picture headers), not with the kit's code.
"""

import os
import re
import struct
import sys
import tempfile
import unittest
import zlib

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
KIT = os.path.join(ROOT, 'tools', 'skinkit')
DESCRIPTIONS = os.path.join(ROOT, 'skin', 'skins')
sys.dont_write_bytecode = True
sys.path.insert(0, KIT)

import skinkit                                   # noqa: E402
from build import Design                         # noqa: E402
from description import DescriptionError         # noqa: E402


def descriptions():
    return sorted(os.path.join(DESCRIPTIONS, n) for n in os.listdir(DESCRIPTIONS)
                  if n.endswith('.skin'))


def read_tree(folder):
    out = {}
    for base, _, names in os.walk(folder):
        for n in names:
            path = os.path.join(base, n)
            with open(path, 'rb') as f:
                out[os.path.relpath(path, folder)] = f.read()
    return out


def run_kit(out):
    code = skinkit.main(['--out', out] + descriptions())
    assert code == 0, 'the kit refused a shipped description'
    return read_tree(out)


# What the programs' windows ask every skin for: section -> picture keys.
GLOBAL_MASKS = ('BOXCHECKED', 'BOXUNCHECKED', 'BOXGRAYED', 'RADIOCHECKED', 'RADIOUNCHECKED',
                'RADIOGRAYED', 'SMALLCHECKED', 'SMALLUNCHECKED', 'SMALLGRAYED', 'GRIPIMAGE',
                'BICONCLOSE', 'BICONMAX', 'BICONMIN', 'BICONNORM', 'BICONHELP',
                'SICONCLOSE', 'SICONMAX', 'SICONMIN', 'SICONNORM', 'SICONHELP', 'TITLEBUTTON')
WANTED = {
    'GLOBALINFO': GLOBAL_MASKS + ('MASTERBITMAP',),
    'FORM': ('BORDERSMASK', 'TITLEBAR'), 'FORMTITLE': ('BORDERSMASK',), 'DIALOG': (),
    'MAINMENU': ('BORDERSMASK',), 'MENUITEM': ('BORDERSMASK',), 'DIVIDERV': ('BORDERSMASK',),
    'ICOLINE': (), 'EXTRALINE': (), 'EDIT': ('BORDERSMASK',), 'BUTTON': ('BORDERSMASK',),
    'CHECKBOX': (), 'RADIOBUTTON': (), 'GROUPBOX': ('BORDERSMASK',),
    'COMBOBOX': ('BORDERSMASK', 'GLYPHMASK'), 'COMBOBTN': ('BORDERSMASK',),
    'PANEL': ('BORDERSMASK',), 'PANEL_LOW': ('BORDERSMASK',),
    'STATUSBAR': ('STATUSPANELMASK',), 'DIVIDER': ('BORDERSMASK',),
    'TOOLBAR': ('BORDERSMASK',), 'TOOLBUTTON': ('BORDERSMASK',),
    'COLHEADER': ('BORDERSMASK',), 'SPEEDBUTTON_SMALL': ('BORDERSMASK',), 'BAR': (),
    'SCROLLBAR1H': ('BORDERSMASK',), 'SCROLLBAR1V': ('BORDERSMASK',),
    'SCROLLBAR2H': ('BORDERSMASK',), 'SCROLLBAR2V': ('BORDERSMASK',),
    'SCROLLBTNTOP': ('BORDERSMASK', 'GLYPHMASK'), 'SCROLLBTNBOTTOM': ('BORDERSMASK', 'GLYPHMASK'),
    'SCROLLBTNLEFT': ('BORDERSMASK', 'GLYPHMASK'), 'SCROLLBTNRIGHT': ('BORDERSMASK', 'GLYPHMASK'),
    'SCROLLSLIDERH': ('BORDERSMASK', 'GLYPHMASK'), 'SCROLLSLIDERV': ('BORDERSMASK', 'GLYPHMASK'),
}
# Skin name -> (the design's first and last shipped name) as the build lists them.
SHIPPED = ('Basalt', 'Clearwater', 'Meadow', 'Terracotta', 'Heather')


def unpack(data):
    """The packed container's entries in order, each zlib stream read to its end."""
    assert data[:4] == b'ZVpk', 'magic'
    n, = struct.unpack_from('<i', data, 4)
    pos, entries = 8, []
    for _ in range(n):
        ln, = struct.unpack_from('<i', data, pos)
        name = data[pos + 4:pos + 4 + ln].decode('ascii')
        size, = struct.unpack_from('<i', data, pos + 4 + ln)
        pos += 8 + ln
        d = zlib.decompressobj()
        body = d.decompress(data[pos:])
        assert d.eof and len(body) == size, name
        header = data[pos:pos + 2]
        pos = len(data) - len(d.unused_data)
        entries.append((name, body, header))
    assert pos == len(data), 'bytes after the last entry'
    return entries


def parse_options(text):
    """Sections in order, each a list of (key, value) as an INI reader sees them."""
    sections, current = [], None
    for line in text.split('\r\n'):
        if not line.strip() or line.startswith(';'):
            continue
        if line.startswith('[') and line.endswith(']'):
            current = (line[1:-1], [])
            sections.append(current)
        else:
            key, eq, value = line.partition('=')
            assert eq and current is not None, line
            current[1].append((key.strip(), value.strip()))
    return sections


def bmp_size(data):
    assert data[:2] == b'BM' and struct.unpack_from('<H', data, 28)[0] == 24
    w, h = struct.unpack_from('<ii', data, 18)
    return w, abs(h)


def bmp_pixel(data, x, y):
    w, h = bmp_size(data)
    stride = (w * 3 + 3) & ~3
    off = 54 + (h - 1 - y) * stride + 3 * x
    b, g, r = data[off:off + 3]
    return r, g, b


def jpeg_size(data):
    pos = 2
    while pos < len(data):
        marker, length = data[pos + 1], struct.unpack_from('>H', data, pos + 2)[0]
        if marker in (0xC0, 0xC1, 0xC2):
            h, w = struct.unpack_from('>HH', data, pos + 5)
            return w, h
        pos += 2 + length
    raise AssertionError('no frame header')


def picture_entry(value):
    """How the options readers classify a value, with the fields they read:
    (form, rect, image count, mask type, borders) or None for a plain value."""
    if value.startswith('~'):
        f = lambda a, b: int(value[a - 1:b])   # noqa: E731  1-based columns
        return ('~', (f(2, 5), f(7, 10), f(12, 15), f(17, 20)), 1,
                int(value[24]) if len(value) > 24 else 0, None)
    if value.startswith('@'):
        f = lambda a, b: int(value[a - 1:b])   # noqa: E731
        return ('@', (f(2, 5), f(7, 10), f(12, 15), f(17, 20)), f(22, 22), f(24, 24), None)
    if value.startswith('^'):
        f = lambda a, b: int(value[a - 1:b])   # noqa: E731
        return ('^', (f(2, 5), f(7, 10), f(12, 15), f(17, 20)), f(42, 42), f(44, 44),
                (f(22, 25), f(27, 30), f(32, 35), f(37, 40)))
    if value.startswith('!'):
        words = value[1:].split('!')
        return ('!', words[0], int(words[1]), int(words[2]), words[4:8] or None)
    up = value.upper()
    if '#' in value or '.BMP' in up:
        return ('?', value, 0, 0, None)
    if '.JPG' in up or '.JPEG' in up:
        return ('jpeg', value, 1, 0, None)
    return None


class SameBytes(unittest.TestCase):
    def test_two_runs_write_the_same_files(self):
        # The build's run and one here; two runs here without a build.
        with tempfile.TemporaryDirectory() as a, tempfile.TemporaryDirectory() as b:
            built = os.environ.get('SKIN_DIR')
            if built and os.path.exists(os.path.join(built, 'skins.txt')):
                first = {n: d for n, d in read_tree(built).items() if n != 'skins.stamp'}
            else:
                first = run_kit(a)
            second = run_kit(b)
        self.assertEqual(sorted(first), sorted(second))
        for name in first:
            self.assertEqual(first[name], second[name], name)
        self.assertIn('Clearwater.zvk', first)
        self.assertIn(os.path.join('sheets', 'Terracotta.png'), first)


BASE = open(os.path.join(DESCRIPTIONS, 'terracotta.skin'), encoding='utf-8').read()


def with_lines(text, after, *lines):
    """The description with lines put after the first line that is `after`."""
    out = []
    done = False
    for line in text.splitlines():
        out.append(line)
        if not done and line == after:
            out.extend(lines)
            done = True
    assert done, after
    return '\n'.join(out) + '\n'


def replaced(text, old, new):
    assert old in text, old
    return text.replace(old, new, 1)


REFUSED = [
    # A plain value that the readers would take for a picture entry.
    ('value starting with ~', with_lines(BASE, 'section BUTTON', '  FONTCOLOR2 = ~12'), 'marker "~"'),
    ('value starting with @', with_lines(BASE, 'section BUTTON', '  NOTE = @home'), 'marker "@"'),
    ('value starting with ^', with_lines(BASE, 'section BUTTON', '  NOTE = ^up'), 'marker "^"'),
    ('value starting with !', with_lines(BASE, 'section BUTTON', '  NOTE = !important'), 'marker "!"'),
    ('author holding #', replaced(BASE, 'author      = Skin kit', 'author      = Team #2'), '"#"'),
    ('value holding .bmp', with_lines(BASE, 'section BUTTON', '  NOTE = see logo.bmp'), '".BMP"'),
    ('description holding .jpg', replaced(BASE, 'bevelled buttons\n', 'photo.Jpg\n'), '".JPG"'),
    ('value holding .jpeg', with_lines(BASE, 'section PANEL', '  NOTE = a.jpeg'), '".JPEG"'),
    # Numbers, flags and gradients the section reader would read otherwise.
    ('colour that is no number', with_lines(BASE, 'section PANEL', '  HOTCOLOR = 0x00FF00'),
     'not a decimal 32-bit number'),
    ('number beyond 32 bits', with_lines(BASE, 'section PANEL', '  HOTCOLOR = 4294967296'),
     'not a decimal 32-bit number'),
    ('strict shadow number', replaced(BASE, 'SHADOW1BLUR         = 3', 'SHADOW1BLUR         = 3px'),
     'not a decimal 32-bit number'),
    ('flag written as 1', replaced(BASE, 'FADINGENABLED      = TRUE', 'FADINGENABLED      = 1'),
     'not TRUE or FALSE'),
    ('bevel beyond 4', replaced(BASE, '  BEVEL        = 1', '  BEVEL        = 5'), 'bevel from 0 to 4'),
    ('gradient with an incomplete band', with_lines(BASE, 'section PANEL', '  GRADIENTDATA = 1;2;100;0'),
     'groups of five'),
    ('gradient with a word', with_lines(BASE, 'section PANEL', '  GRADIENTDATA = 1;red;100;0;0'),
     'not a decimal number'),
    # Parents the section reader would not follow as meant.
    ('parent that is no section', with_lines(BASE, 'section PANEL', '  PARENTCLASS = PANELS'),
     'is no section'),
    ('parents in a ring', with_lines(BASE, 'section PANEL', '  PARENTCLASS = PANEL_LOW'),
     'come back to'),
    ('shadow on through the parent without its colour',
     replaced(BASE, 'section RADIOBUTTON\n  SHADOWCOLOR = $light\n', 'section RADIOBUTTON\n'),
     'RADIOBUTTON has its shadow on but no SHADOWCOLOR'),
    # Entries outside the atlas.
    ('atlas too low', replaced(BASE, 'atlas       = 240', 'atlas       = 240x100'), 'outside the atlas'),
    ('atlas too narrow', replaced(BASE, 'atlas       = 240', 'atlas       = 30'), 'outside an atlas'),
    # Frames that do not divide their rectangle.
    ('width not a multiple of the frames',
     BASE + 'entry BUTTON BORDERSMASK\n  size = 61x40\n', 'do not divide 61x40'),
    ('height not a multiple of the rows',
     BASE + 'entry EDIT BORDERSMASK\n  size = 24x25\n', 'do not divide 24x25'),
    # Mask entries without their mask row.
    ('glyph without mask row', BASE + 'entry COMBOBOX GLYPHMASK\n  rows = 1\n  size = 27x9\n',
     'needs its mask row'),
    ('soft border without mask row', BASE + 'entry EDIT BORDERSMASK\n  rows = 1\n  size = 24x12\n',
     'needs its mask row'),
    ('check mask of two frames', BASE + 'entry GLOBALINFO BOXCHECKED\n  frames = 2\n  size = 26x26\n',
     'three frames over a mask row'),
    ('own bitmap of one frame', BASE + 'entry FORM TITLEBAR\n  store = own\n  frames = 1\n  size = 20x40\n',
     'three frames over a mask row'),
    # Names and numbers the readers would not find or could not hold.
    ('lower-case section', with_lines(BASE, 'section PANEL_LOW', '', 'section Button', '  COLOR = 1'),
     'not upper case'),
    ('lower-case own bitmap name', replaced(BASE, 'entry STATUSBAR PATTERN',
                                            'entry GLOBALINFO BICONMIN\n  store = own\n  file = min.bmp\n'
                                            'entry STATUSBAR PATTERN'), 'must be upper case'),
    ('pattern picture below 90000 pixels', replaced(BASE, 'size  = 320x320', 'size  = 299x300'),
     '90000 pixels'),
    ('colour missing from the palette', with_lines(BASE, 'section PANEL', '  HOTCOLOR = $nothing'),
     'no colour "nothing"'),
    ('key given twice', with_lines(BASE, 'section GROUPBOX', '  BORDERSMASK = 1'), 'BORDERSMASK twice'),
    ('borders wider than a frame', BASE + 'entry PANEL BORDERSMASK\n  borders = 6 2 6 2\n',
     'wider than a frame'),
    ('unknown button style', replaced(BASE, 'button          = bevel', 'button          = shiny'),
     'style button = "shiny"'),
    ('shape argument that is no number', replaced(BASE, 'depth=0.08', 'depth=deep'),
     'cannot be drawn'),
    ('ten frames', BASE + 'entry BUTTON BORDERSMASK\n  frames = 10\n  size = 100x40\n', '1 to 9'),
]


class Outputs(unittest.TestCase):
    def test_a_skin_no_longer_described_is_taken_away(self):
        with tempfile.TemporaryDirectory() as out:
            source = os.path.join(out, 'a.skin')
            with open(source, 'w', encoding='utf-8') as f:
                f.write(BASE)
            self.assertEqual(skinkit.main(['--out', out, '--no-sheets', source]), 0)
            self.assertTrue(os.path.exists(os.path.join(out, 'Heather.zvk')))
            with open(source, 'w', encoding='utf-8') as f:
                f.write(BASE.replace('  variant     = Heather 255\n', ''))
            self.assertEqual(skinkit.main(['--out', out, '--no-sheets', source]), 0)
            self.assertEqual(sorted(os.listdir(out)),
                             ['Terracotta', 'Terracotta.zvk', 'a.skin', 'skins.txt'])


class Refusals(unittest.TestCase):
    def test_the_base_description_is_taken(self):
        self.assertEqual([s.name for s in Design(BASE, 'base').skins()], ['Terracotta', 'Heather'])

    def test_descriptions_the_readers_would_misread_are_refused(self):
        for name, text, why in REFUSED:
            with self.subTest(name):
                with self.assertRaises(DescriptionError) as caught:
                    list(Design(text, 'case').skins())
                self.assertIn(why, str(caught.exception))

    def test_a_refusal_writes_nothing(self):
        with tempfile.TemporaryDirectory() as out:
            bad = os.path.join(out, 'bad.skin')
            with open(bad, 'w', encoding='utf-8') as f:
                f.write(REFUSED[0][1])
            code = skinkit.main(['--out', os.path.join(out, 'skins'), bad])
            self.assertEqual(code, 1)
            self.assertFalse(os.path.exists(os.path.join(out, 'skins')))


class ShippedSkins(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # The skins the build wrote, or a fresh run of the kit without a build.
        cls.tmp = None
        folder = os.environ.get('SKIN_DIR')
        if not folder or not os.path.exists(os.path.join(folder, 'skins.txt')):
            cls.tmp = tempfile.TemporaryDirectory()
            folder = cls.tmp.name
            run_kit(folder)
        cls.folder = folder
        with open(os.path.join(folder, 'skins.txt')) as f:
            cls.names = f.read().split()

    @classmethod
    def tearDownClass(cls):
        if cls.tmp:
            cls.tmp.cleanup()

    def packed(self, name):
        with open(os.path.join(self.folder, name + '.zvk'), 'rb') as f:
            return unpack(f.read())

    def test_five_skins_in_build_order(self):
        self.assertEqual(self.names, list(SHIPPED))

    def test_packed_skin_and_folder_hold_the_same_files(self):
        for name in self.names:
            with self.subTest(name):
                entries = self.packed(name)
                self.assertEqual(entries[0][0], 'Options.dat')
                for entry, body, header in entries:
                    self.assertIn(header, (b'\x78\x9c', b'\x78\xda'))
                    with open(os.path.join(self.folder, name, entry), 'rb') as f:
                        self.assertEqual(f.read(), body, entry)
                self.assertEqual(sorted(os.listdir(os.path.join(self.folder, name))),
                                 sorted(e[0] for e in entries))

    def test_every_wanted_section_and_key_is_there_and_reads_as_meant(self):
        for name in self.names:
            with self.subTest(name):
                self.check_skin(name, self.packed(name))

    def check_skin(self, name, entries):
        files = {n.upper(): body for n, body, _ in entries}
        sections = parse_options(files['OPTIONS.DAT'].decode('ascii'))
        names = [s for s, _ in sections]
        self.assertEqual(len(names), len(set(names)), 'a section twice')
        options = dict(sections)
        for section, keys in WANTED.items():
            self.assertIn(section, options)
            present = [k for k, _ in options[section]]
            self.assertEqual(len(present), len(set(present)), section + ' has a key twice')
            for key in keys:
                self.assertIn(key, present, '%s %s' % (section, key))
        master = files[dict(options['GLOBALINFO'])['MASTERBITMAP']]
        aw, ah = bmp_size(master)
        for section, pairs in sections:
            for key, value in pairs:
                if section == 'GLOBALINFO' and key == 'MASTERBITMAP':
                    continue
                where = '%s %s %s=%s' % (name, section, key, value)
                entry = picture_entry(value)
                if entry is None:
                    continue
                form, rect, count, mask, borders = entry
                self.assertNotEqual(form, '?', where)
                if form == 'jpeg':
                    w, h = jpeg_size(files[value.upper()])
                    self.assertGreaterEqual(w * h, 90000, where)
                    continue
                if form == '!':
                    self.assertRegex(rect, r'^[A-Z0-9_]+\.BMP$', where)
                    w, h = bmp_size(files[rect])
                    # The engine measures own bitmaps as three frames over a mask row.
                    self.assertEqual((count, mask, w % 3, h % 2), (3, 1, 0, 0), where)
                    continue
                l, t, r, b = rect
                self.assertTrue(0 <= l < r <= aw and 0 <= t < b <= ah, where)
                self.assertEqual((r - l) % count, 0, where)
                self.assertEqual((b - t) % (mask + 1), 0, where)
                if form == '^':
                    fw, fh = (r - l) // count, (b - t) // (mask + 1)
                    self.assertLessEqual(borders[0] + borders[2], fw, where)
                    self.assertLessEqual(borders[1] + borders[3], fh, where)
                    self.assertGreater(sum(borders), 0, where)
                if section == 'GLOBALINFO' and key in GLOBAL_MASKS:
                    self.assertEqual((count, mask), (3, 1), where)
                if form == '@':
                    self.assertGreaterEqual(mask, 1, where)
        for section, pairs in sections:
            for key, value in pairs:
                if re.fullmatch(r'-?\d+', value) is None and picture_entry(value) is None:
                    self.assertNotIn('#', value)

    def corner_key_pixels(self, name):
        """Key-coloured pixels in the top rows of the title's border corners."""
        entries = dict((n.upper(), body) for n, body, _ in self.packed(name))
        options = dict(parse_options(entries['OPTIONS.DAT'].decode('ascii')))
        _, (l, t, r, b), _, _, borders = picture_entry(dict(options['FORMTITLE'])['BORDERSMASK'])
        master = entries['MASTER.BMP']
        wl, wt = borders[0], borders[1]
        return sum(1 for y in range(t, t + wt) for x in range(l, l + wl)
                   if bmp_pixel(master, x, y) == (255, 0, 255))

    def test_rounded_title_corners_cut_the_window_and_square_ones_do_not(self):
        self.assertGreater(self.corner_key_pixels('Clearwater'), 3)
        self.assertGreater(self.corner_key_pixels('Terracotta'), 0)
        self.assertEqual(self.corner_key_pixels('Basalt'), 0)

    def test_hue_variants_keep_the_layout_and_change_the_colours(self):
        for base, variant in (('Clearwater', 'Meadow'), ('Terracotta', 'Heather')):
            with self.subTest(variant):
                a = parse_options(dict((n, d) for n, d, _ in self.packed(base))['Options.dat'].decode())
                b = parse_options(dict((n, d) for n, d, _ in self.packed(variant))['Options.dat'].decode())
                self.assertEqual([(s, [k for k, _ in p]) for s, p in a],
                                 [(s, [k for k, _ in p]) for s, p in b])
                pictures_a = [v for _, p in a for _, v in p if picture_entry(v)]
                pictures_b = [v for _, p in b for _, v in p if picture_entry(v)]
                self.assertEqual(pictures_a, pictures_b)
                colour_a = dict(a)['FORMTITLE']
                colour_b = dict(b)['FORMTITLE']
                self.assertNotEqual(dict(colour_a)['HOTCOLOR'], dict(colour_b)['HOTCOLOR'])


if __name__ == '__main__':
    unittest.main()
