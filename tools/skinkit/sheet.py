"""The contact sheet of a skin: a sample window put together from the skin's
entries and values, then every entry enlarged with its frames, its mask row
and its key colour, each with its options value."""

from writers import Picture

MAGENTA = (255, 0, 255)

# A 5 x 7 pixel font: each character is seven rows of five bits.
FONT = {
    'A': (14, 17, 17, 31, 17, 17, 17), 'B': (30, 17, 17, 30, 17, 17, 30),
    'C': (14, 17, 16, 16, 16, 17, 14), 'D': (30, 17, 17, 17, 17, 17, 30),
    'E': (31, 16, 16, 30, 16, 16, 31), 'F': (31, 16, 16, 30, 16, 16, 16),
    'G': (14, 17, 16, 23, 17, 17, 15), 'H': (17, 17, 17, 31, 17, 17, 17),
    'I': (14, 4, 4, 4, 4, 4, 14), 'J': (7, 2, 2, 2, 2, 18, 12),
    'K': (17, 18, 20, 24, 20, 18, 17), 'L': (16, 16, 16, 16, 16, 16, 31),
    'M': (17, 27, 21, 21, 17, 17, 17), 'N': (17, 17, 25, 21, 19, 17, 17),
    'O': (14, 17, 17, 17, 17, 17, 14), 'P': (30, 17, 17, 30, 16, 16, 16),
    'Q': (14, 17, 17, 17, 21, 18, 13), 'R': (30, 17, 17, 30, 20, 18, 17),
    'S': (15, 16, 16, 14, 1, 1, 30), 'T': (31, 4, 4, 4, 4, 4, 4),
    'U': (17, 17, 17, 17, 17, 17, 14), 'V': (17, 17, 17, 17, 17, 10, 4),
    'W': (17, 17, 17, 21, 21, 21, 10), 'X': (17, 17, 10, 4, 10, 17, 17),
    'Y': (17, 17, 17, 10, 4, 4, 4), 'Z': (31, 1, 2, 4, 8, 16, 31),
    '0': (14, 17, 19, 21, 25, 17, 14), '1': (4, 12, 4, 4, 4, 4, 14),
    '2': (14, 17, 1, 2, 4, 8, 31), '3': (31, 2, 4, 2, 1, 17, 14),
    '4': (2, 6, 10, 18, 31, 2, 2), '5': (31, 16, 30, 1, 1, 17, 14),
    '6': (6, 8, 16, 30, 17, 17, 14), '7': (31, 1, 2, 4, 8, 8, 8),
    '8': (14, 17, 17, 14, 17, 17, 14), '9': (14, 17, 17, 15, 1, 2, 12),
    ' ': (0,) * 7, '.': (0, 0, 0, 0, 0, 12, 12), '_': (0, 0, 0, 0, 0, 0, 31),
    '-': (0, 0, 0, 31, 0, 0, 0), ':': (0, 12, 12, 0, 12, 12, 0),
    'x': (0, 0, 17, 10, 4, 10, 17), '(': (2, 4, 8, 8, 8, 4, 2), ')': (8, 4, 2, 2, 2, 4, 8),
    '/': (0, 1, 2, 4, 8, 16, 0), ',': (0, 0, 0, 0, 12, 4, 8), '=': (0, 0, 31, 0, 31, 0, 0),
    '!': (4, 4, 4, 4, 4, 0, 4), '^': (4, 10, 17, 0, 0, 0, 0), '~': (0, 0, 8, 21, 2, 0, 0),
    '@': (14, 17, 23, 21, 23, 16, 14), '#': (10, 10, 31, 10, 31, 10, 10),
}


def text(pic, x, y, s, colour, scale=1):
    for ch in s:
        rows = FONT.get(ch, FONT.get(ch.upper(), FONT['#']))
        for j, bits in enumerate(rows):
            for i in range(5):
                if bits >> (4 - i) & 1:
                    for dy in range(scale):
                        for dx in range(scale):
                            pic.put(x + i * scale + dx, y + j * scale + dy, colour)
        x += 6 * scale
    return x


def text_width(s, scale=1):
    return len(s) * 6 * scale


def fill(pic, x0, y0, x1, y1, colour):
    for y in range(max(0, y0), min(pic.h, y1)):
        pic.rows[y][3 * max(0, x0):3 * min(pic.w, x1)] = bytes(colour) * (min(pic.w, x1) - max(0, x0))


# Reading back our own options, for the sample window.

class Options:
    def __init__(self, skin):
        self.sections = {}
        current = None
        for line in skin.options.split('\r\n'):
            if line.startswith('['):
                current = self.sections.setdefault(line[1:-1], {})
            elif '=' in line:
                k, _, v = line.partition('=')
                current[k] = v
        self.entries = {(e.section, e.key): e for e in skin.entries}
        self.patterns = {(p.section, p.key): p for p in skin.patterns}

    def value(self, section, key, default=None, depth=0):
        s = self.sections.get(section, {})
        if key in s:
            return s[key]
        parent = s.get('PARENTCLASS')
        if parent and depth < 8:
            return self.value(parent, key, default, depth + 1)
        return default

    def colour(self, section, key, default=0xFFFFFF):
        v = int(self.value(section, key, default))
        return (v & 255, v >> 8 & 255, v >> 16 & 255)

    def entry(self, section, key, depth=0):
        e = self.entries.get((section, key))
        parent = self.sections.get(section, {}).get('PARENTCLASS')
        if e is None and parent and depth < 8:
            return self.entry(parent, key, depth + 1)
        return e


def paint_background(pic, opts, section, x0, y0, x1, y1, hot=False):
    """The section's colour, then its gradient bands or its pattern over it."""
    pre = 'HOT' if hot else ''
    if int(opts.value(section, pre + 'TRANSPARENCY', 0)) >= 100:
        return
    base = opts.colour(section, pre + 'COLOR' if hot else 'COLOR')
    fill(pic, x0, y0, x1, y1, base)
    pattern = opts.patterns.get((section, 'PATTERN')) or (
        opts.patterns.get(('FORM', 'PATTERN')) if section in ('DIALOG',) else None)
    if pattern and int(opts.value(section, pre + 'IMAGEPERCENT', 0)) > 0:
        src = pattern.picture
        for y in range(y0, y1):
            for x in range(x0, x1):
                pic.put(x, y, src.get((x - x0) % src.w, (y - y0) % src.h))
        return
    grad = opts.value(section, pre + 'GRADIENTDATA', '')
    if int(opts.value(section, pre + 'GRADIENTPERCENT', 0)) <= 0 or not grad.strip():
        return
    fields = [int(f) for f in grad.split(';') if f.strip()]
    bands = [fields[i:i + 5] for i in range(0, len(fields) - 4, 5)]
    if not bands:
        return
    vertical = bands[0][3] == 0
    length = (y1 - y0) if vertical else (x1 - x0)
    pos = 0
    for n, (c1, c2, pct, _, _) in enumerate(bands):
        end = length if n == len(bands) - 1 else min(length, pos + pct * length // 100)
        for k in range(pos, end):
            t = (k - pos) / max(1, end - 1 - pos)
            c = tuple(int(((c1 >> s) & 255) * (1 - t) + ((c2 >> s) & 255) * t + 0.5)
                      for s in (0, 8, 16))
            if vertical:
                fill(pic, x0, y0 + k, x1, y0 + k + 1, c)
            else:
                fill(pic, x0 + k, y0, x0 + k + 1, y1, c)
        pos = end


def _masked(pic, e, sx, sy, dx, dy, parent):
    """One pixel of an entry's frame over pic, through its mask row."""
    src = e.picture
    i = src.get(sx, sy)
    if i == MAGENTA:
        if parent is not None:
            pic.put(dx, dy, parent)
        return
    if e.rows == 2:
        m = src.get(sx, sy + e.frame[1])
        if not (0 <= dx < pic.w and 0 <= dy < pic.h):
            return
        d = pic.get(dx, dy)
        pic.put(dx, dy, tuple(max(0, min(255, ((d[k] - i[k]) * m[k] + i[k] * 256) >> 8))
                              for k in range(3)))
    else:
        pic.put(dx, dy, i)


def paint_border(pic, e, state, x0, y0, x1, y1, parent=None):
    """Nine parts: corners as they are, edges and centre tiled."""
    if e is None:
        return
    fw, fh = e.frame
    state = min(state, e.frames - 1)
    bl, bt, br, bb = e.borders if e.borders else (0, 0, 0, 0)
    w, h = x1 - x0, y1 - y0
    ox = state * fw

    def source(p, size, near, far, frame):
        """Where pixel p of a span of size comes from: the near or far border
        as it is, the part between tiled."""
        if p < near:
            return p
        if p >= size - far:
            return frame - (size - p)
        return near + (p - near) % max(1, frame - near - far)

    clear = _clear_centre(e, ox, bl, bt, br, bb)
    for y in range(h):
        for x in range(w):
            edge_x, edge_y = x < bl or x >= w - br, y < bt or y >= h - bb
            if clear and not edge_x and not edge_y:
                continue
            _masked(pic, e, ox + source(x, w, bl, br, fw), source(y, h, bt, bb, fh), x0 + x, y0 + y,
                    parent if edge_x and edge_y else None)


def _clear_centre(e, ox, bl, bt, br, bb):
    """Whether the frame's centre only shows what lies under it."""
    if e.rows != 2:
        return False
    fw, fh = e.frame
    return all(e.picture.get(ox + x, fh + y) == (255, 255, 255)
               for y in range(bt, fh - bb) for x in range(bl, fw - br))


def paint_glyph(pic, e, state, x, y):
    if e is None:
        return
    state = min(state, e.frames - 1)
    for j in range(e.frame[1]):
        for i in range(e.frame[0]):
            _masked(pic, e, state * e.frame[0] + i, j, x + i, y + j, None)


def centred_glyph(pic, e, state, cx, cy):
    if e is not None:
        paint_glyph(pic, e, state, cx - e.frame[0] // 2, cy - e.frame[1] // 2)


def control(pic, opts, section, state, x0, y0, x1, y1, label=None):
    paint_background(pic, opts, section, x0, y0, x1, y1, hot=state > 0)
    paint_border(pic, opts.entry(section, 'BORDERSMASK'), state, x0, y0, x1, y1)
    if label:
        c = opts.colour(section, 'HOTFONTCOLOR' if state else 'FONTCOLOR', 0)
        text(pic, (x0 + x1 - text_width(label)) // 2 + (state == 2), (y0 + y1) // 2 - 3 + (state == 2),
             label, c)


def sample_window(pic, opts, ox, oy, title):
    W, H, TH = 430, 300, 26
    desk = pic.get(ox - 1, oy - 1)
    paint_background(pic, opts, 'FORM', ox, oy, ox + W, oy + H)
    paint_border(pic, opts.entry('FORM', 'BORDERSMASK'), 1, ox, oy, ox + W, oy + H, desk)
    paint_background(pic, opts, 'FORMTITLE', ox, oy, ox + W, oy + TH, hot=True)
    paint_border(pic, opts.entry('FORMTITLE', 'BORDERSMASK'), 1, ox, oy, ox + W, oy + TH, desk)
    paint_border(pic, opts.entry('FORM', 'TITLEBAR'), 1, ox + W - 86, oy, ox + W, oy + TH)
    text(pic, ox + 10, oy + 9, title, opts.colour('FORMTITLE', 'HOTFONTCOLOR', 0))
    x = ox + W - 5
    for key, state in (('BICONCLOSE', 1), ('BICONMAX', 0), ('BICONMIN', 0)):
        e = opts.entry('GLOBALINFO', key)
        if e is not None:
            x -= e.frame[0] + 1
            paint_glyph(pic, e, state, x, oy + (TH - e.frame[1]) // 2)
    # Menu line and tool bar.
    y = oy + TH
    fw = 4
    paint_background(pic, opts, 'MENULINE', ox + fw, y, ox + W - fw, y + 18)
    mx = ox + fw + 8
    for word in ('FILE', 'EDIT', 'VIEW'):
        text(pic, mx, y + 6, word, opts.colour('MENULINE', 'FONTCOLOR', 0))
        mx += text_width(word) + 14
    y += 18
    control(pic, opts, 'TOOLBAR', 0, ox + fw, y, ox + W - fw, y + 26)
    for n in range(4):
        control(pic, opts, 'TOOLBUTTON', (0, 1, 2, 0)[n], ox + fw + 4 + 26 * n, y + 2, ox + fw + 28 + 26 * n, y + 24)
    y += 32
    # Buttons in their three states.
    for n, label in enumerate(('NORMAL', 'HOT', 'DOWN')):
        control(pic, opts, 'BUTTON', n, ox + 14 + 82 * n, y, ox + 90 + 82 * n, y + 25, label)
    # Check boxes and radio buttons.
    y += 36
    fc = opts.colour('CHECKBOX', 'FONTCOLOR', 0)
    for n, key in enumerate(('BOXUNCHECKED', 'BOXCHECKED', 'BOXGRAYED')):
        e = opts.entry('GLOBALINFO', key)
        paint_glyph(pic, e, 1 if n == 1 else 0, ox + 14 + 82 * n, y)
        text(pic, ox + 32 + 82 * n, y + 3, ('OFF', 'ON', 'MIXED')[n], fc)
    for n, key in enumerate(('RADIOUNCHECKED', 'RADIOCHECKED')):
        paint_glyph(pic, opts.entry('GLOBALINFO', key), n, ox + 260 + 60 * n, y)
        text(pic, ox + 278 + 60 * n, y + 3, ('ONE', 'TWO')[n], fc)
    # Edit, combo box, group box with a panel.
    y += 26
    control(pic, opts, 'EDIT', 0, ox + 14, y, ox + 150, y + 22)
    text(pic, ox + 20, y + 8, 'TEXT', opts.colour('EDIT', 'FONTCOLOR', 0))
    control(pic, opts, 'COMBOBOX', 1, ox + 166, y, ox + 320, y + 22)
    control(pic, opts, 'COMBOBTN', 0, ox + 302, y + 2, ox + 318, y + 20)
    centred_glyph(pic, opts.entry('COMBOBOX', 'GLYPHMASK'), 0, ox + 310, y + 11)
    y += 32
    paint_border(pic, opts.entry('GROUPBOX', 'BORDERSMASK'), 0, ox + 14, y, ox + 210, y + 70)
    text(pic, ox + 22, y - 3, 'GROUP', opts.colour('GROUPBOX', 'FONTCOLOR', 0))
    control(pic, opts, 'PANEL_LOW', 0, ox + 226, y, ox + 330, y + 70)
    control(pic, opts, 'COLHEADER', 0, ox + 227, y + 1, ox + 280, y + 19, 'NAME')
    control(pic, opts, 'COLHEADER', 1, ox + 280, y + 1, ox + 329, y + 19, 'SIZE')
    # A vertical scroll bar at the right.
    sx, sy0, sy1 = ox + W - fw - 17, oy + TH + 18 + 26, oy + H - 24
    control(pic, opts, 'SCROLLBAR1V', 0, sx, sy0, sx + 17, sy1)
    for section, top in (('SCROLLBTNTOP', sy0), ('SCROLLBTNBOTTOM', sy1 - 17)):
        control(pic, opts, section, 0, sx, top, sx + 17, top + 17)
        centred_glyph(pic, opts.entry(section, 'GLYPHMASK'), 0, sx + 8, top + 8)
    control(pic, opts, 'SCROLLSLIDERV', 1, sx, sy0 + 40, sx + 17, sy0 + 100)
    centred_glyph(pic, opts.entry('SCROLLSLIDERV', 'GLYPHMASK'), 1, sx + 8, sy0 + 70)
    # Status bar with two panels and the grip.
    y = oy + H - fw - 20
    control(pic, opts, 'STATUSBAR', 0, ox + fw, y, ox + W - fw, oy + H - fw)
    paint_border(pic, opts.entry('STATUSBAR', 'STATUSPANELMASK'), 0, ox + fw + 2, y + 2, ox + 200, y + 18)
    paint_border(pic, opts.entry('STATUSBAR', 'STATUSPANELMASK'), 0, ox + 202, y + 2, ox + W - 24, y + 18)
    text(pic, ox + fw + 8, y + 7, 'READY', opts.colour('STATUSBAR', 'FONTCOLOR', 0))
    e = opts.entry('GLOBALINFO', 'GRIPIMAGE')
    if e is not None:
        paint_glyph(pic, e, 0, ox + W - fw - e.frame[0], oy + H - fw - e.frame[1])
    return W, H


def sample_menu(pic, opts, ox, oy):
    W, H = 150, 104
    paint_background(pic, opts, 'MAINMENU', ox, oy, ox + W, oy + H)
    paint_background(pic, opts, 'ICOLINE', ox + 3, oy + 3, ox + 25, oy + H - 3)
    paint_border(pic, opts.entry('MAINMENU', 'BORDERSMASK'), 0, ox, oy, ox + W, oy + H)
    tc = opts.colour('MENUITEM', 'FONTCOLOR', 0)
    y = oy + 6
    for n, label in enumerate(('OPEN', 'SAVE', '-', 'SHOW GRID', 'CLOSE')):
        if label == '-':
            paint_border(pic, opts.entry('DIVIDERV', 'BORDERSMASK'), 0, ox + 28, y, ox + W - 6, y + 8)
            y += 8
            continue
        hot = n == 1
        if hot:
            paint_background(pic, opts, 'MENUITEM', ox + 4, y, ox + W - 4, y + 20, hot=True)
            paint_border(pic, opts.entry('MENUITEM', 'BORDERSMASK'), 1, ox + 4, y, ox + W - 4, y + 20)
        if label == 'SHOW GRID':
            paint_glyph(pic, opts.entry('GLOBALINFO', 'CHECK'), 0, ox + 7, y + 3)
        text(pic, ox + 32, y + 7, label,
             opts.colour('MENUITEM', 'HOTFONTCOLOR', 0) if hot else tc)
        y += 20
    return W, H


def enlarged(pic, e, x0, y0, scale):
    """The whole entry, every pixel scale x scale, frames and rows parted by lines."""
    src = e.picture
    fw, fh = e.frame
    for y in range(src.h):
        for x in range(src.w):
            fill(pic, x0 + x * scale, y0 + y * scale, x0 + (x + 1) * scale, y0 + (y + 1) * scale,
                 src.get(x, y))
    line = (40, 40, 40)
    for f in range(1, e.frames):
        fill(pic, x0 + f * fw * scale, y0, x0 + f * fw * scale + 1, y0 + src.h * scale, line)
    for r in range(1, e.rows):
        fill(pic, x0, y0 + r * fh * scale, x0 + src.w * scale, y0 + r * fh * scale + 1, line)


def contact_sheet(skin, value_of):
    entries = sorted(skin.entries, key=lambda e: (e.section != 'GLOBALINFO', e.section, e.key))
    W = 1200
    atlas_scale = 2 if skin.atlas.w * 2 <= W - 690 else 1
    pattern_h = sum(p.picture.h + 24 for p in skin.patterns)
    top = max(400, 40 + skin.atlas.h * atlas_scale + 10 + pattern_h)
    cells = []
    for e in entries:
        scale = max(1, min(6, 150 // max(e.size)))
        label = '%s %s' % (e.section, e.key)
        w = max(e.size[0] * scale, text_width(label), text_width(value_of(e)[:40]))
        cells.append((e, scale, label, w, e.size[1] * scale + 22))
    # Place the cells in rows.
    x, y, row_h = 10, 0, 0
    places = []
    for e, scale, label, w, h in cells:
        if x + w > W - 10:
            x, y, row_h = 10, y + row_h + 12, 0
        places.append((x, top + y))
        x += w + 16
        row_h = max(row_h, h)
    height = top + y + row_h + 10
    pic = Picture(W, height, (214, 214, 218))
    text(pic, 10, 8, skin.name, (20, 20, 20), 2)
    text(pic, 10 + text_width(skin.name, 2) + 12, 13,
         'ATLAS %dx%d, %d ENTRIES' % (skin.atlas.w, skin.atlas.h, len(skin.entries)), (60, 60, 60))
    text(pic, 10, 21, 'MAGENTA: KEY COLOUR (TRANSPARENT).  LOWER ROW: MASK (BLACK SHOWS THE PICTURE, '
         'WHITE WHAT LIES UNDER IT)', (60, 60, 60))
    fill(pic, 10, 30, 660, 390, (92, 112, 128))
    opts = Options(skin)
    sample_window(pic, opts, 24, 44, skin.name)
    sample_menu(pic, opts, 470, 90)
    ax = 680
    text(pic, ax, 20, 'MASTER.BMP', (20, 20, 20))
    enlarged(pic, _Whole(skin.atlas), ax, 30, atlas_scale)
    py = 40 + skin.atlas.h * atlas_scale
    for p in skin.patterns:
        text(pic, ax, py, '%s %s %s' % (p.section, p.key, p.file), (20, 20, 20))
        pic.blit(p.picture, ax, py + 10, 0, 0, min(p.picture.w, W - ax), p.picture.h)
        py += p.picture.h + 24
    for (e, scale, label, w, h), (x, y) in zip(cells, places):
        text(pic, x, y, label, (20, 20, 20))
        text(pic, x, y + 9, value_of(e)[:40], (70, 70, 90))
        enlarged(pic, e, x, y + 20, scale)
    return pic


class _Whole:
    """An atlas shown like an entry of one frame."""

    def __init__(self, picture):
        self.picture, self.frame, self.frames, self.rows = picture, (picture.w, picture.h), 1, 1
