"""The sections and picture entries every skin of the kit carries.

These are what the two programs' windows ask the skin for. A description
gives their values and may change any entry's geometry, shape or storage; the
sizes here follow the design's styles.
"""

# Sections in the order the options list them, with their parent section.
SECTIONS = (
    ('GLOBALINFO', None), ('FORM', None), ('FORMTITLE', None), ('DIALOG', 'FORM'),
    ('MAINMENU', None), ('MENULINE', None), ('MENUITEM', None), ('DIVIDERV', None),
    ('ICOLINE', None), ('EXTRALINE', None), ('EDIT', None), ('BUTTON', None),
    ('CHECKBOX', None), ('RADIOBUTTON', 'CHECKBOX'), ('GROUPBOX', None),
    ('COMBOBOX', 'EDIT'), ('COMBOBTN', None), ('PANEL', None), ('PANEL_LOW', 'PANEL'),
    ('STATUSBAR', None), ('DIVIDER', None), ('TOOLBAR', None), ('TOOLBUTTON', None),
    ('SCROLLBAR1H', None), ('SCROLLBAR2H', 'SCROLLBAR1H'), ('SCROLLBAR1V', None),
    ('SCROLLBAR2V', 'SCROLLBAR1V'), ('SCROLLBTNTOP', None), ('SCROLLBTNBOTTOM', 'SCROLLBTNTOP'),
    ('SCROLLBTNLEFT', 'SCROLLBTNTOP'), ('SCROLLBTNRIGHT', 'SCROLLBTNTOP'),
    ('SCROLLSLIDERH', None), ('SCROLLSLIDERV', None), ('COLHEADER', None),
    ('SPEEDBUTTON_SMALL', None), ('BAR', None),
)

# The glyph masks of GLOBALINFO that the windows draw with three state frames
# over a mask row.
THREE_FRAME_MASKS = (
    'BOXCHECKED', 'BOXUNCHECKED', 'BOXGRAYED', 'RADIOCHECKED', 'RADIOUNCHECKED', 'RADIOGRAYED',
    'SMALLCHECKED', 'SMALLUNCHECKED', 'SMALLGRAYED', 'GRIPIMAGE', 'BICONCLOSE', 'BICONMAX',
    'BICONMIN', 'BICONNORM', 'BICONHELP', 'SICONCLOSE', 'SICONMAX', 'SICONMIN', 'SICONNORM',
    'SICONHELP', 'TITLEBUTTON')


def _size(styles, name):
    w, _, h = styles[name].partition('x')
    return int(w), int(h or w)


def entries(styles):
    """Default entries: dicts of section, key, kind, shape, args, frame size,
    frames, rows, borders (None for glyphs and textures) and stretch mode."""
    fw = int(styles['frame'])
    rt, rb = (int(v) for v in styles['corners'].split())
    br = int(styles['button_radius'])
    cs = int(styles['check_size'])
    big = _size(styles, 'title_button')
    small = _size(styles, 'small_title_button')
    sb = int(styles['scroll_size'])
    ar = int(styles['arrow_size'])
    out = []

    def add(section, key, kind, shape, args, size, frames=3, rows=2, borders=None, stretch=0):
        out.append(dict(section=section, key=key, kind=kind, shape=shape, args=dict(args),
                        frame=size, frames=frames, rows=rows, borders=borders,
                        stretch=stretch))

    def nine(section, key, shape, args, b, frames=3, inner=6, stretch=0):
        """A border image: corners b = (l, t, r, b) around a centre of inner pixels."""
        add(section, key, 'border', shape, args, (b[0] + b[2] + inner, b[1] + b[3] + inner),
            frames, 2, b, stretch)

    g = 'GLOBALINFO'
    for state, mark in (('UNCHECKED', 'off'), ('CHECKED', 'on'), ('GRAYED', 'mixed')):
        add(g, 'BOX' + state, 'glyph', 'check', {'mark': mark}, (cs, cs))
        add(g, 'RADIO' + state, 'glyph', 'radio', {'mark': mark}, (cs, cs))
        add(g, 'SMALL' + state, 'glyph', 'check', {'mark': mark}, (cs - 2, cs - 2))
    add(g, 'CHECK', 'glyph', 'menucheck', {}, (14, 14))
    add(g, 'GRIPIMAGE', 'glyph', 'grip', {}, (12, 12))
    for key, kind in (('CLOSE', 'close'), ('MAX', 'max'), ('MIN', 'min'),
                      ('NORM', 'norm'), ('HELP', 'help')):
        add(g, 'BICON' + key, 'glyph', 'titlebutton', {'kind': kind}, big)
        add(g, 'SICON' + key, 'glyph', 'titlebutton', {'kind': kind}, small)
    add(g, 'TITLEBUTTON', 'glyph', 'titlebutton', {'kind': 'blank'}, big)

    side = max(fw, rt, rb)
    nine('FORM', 'BORDERSMASK', 'form', {}, (side, max(fw, rt), side, max(fw, rb)), 2)
    nine('FORM', 'TITLEBAR', 'tray', {}, (8, 8, 8, 8), 2, 8)
    nine('FORMTITLE', 'BORDERSMASK', 'title', {}, (max(rt, 3), max(rt, 3), max(rt, 3), 2), 2)
    nine('MAINMENU', 'BORDERSMASK', 'menu', {'band': 3}, (3, 3, 3, 3), 1)
    nine('MENUITEM', 'BORDERSMASK', 'hotplate', {'radius': 3}, (4, 4, 4, 4), 2)
    add('DIVIDERV', 'BORDERSMASK', 'border', 'line', {}, (12, 8), 1, 2, (3, 0, 3, 0))
    nine('EDIT', 'BORDERSMASK', 'edit', {}, (3, 3, 3, 3), 2)
    nine('BUTTON', 'BORDERSMASK', 'button', {}, (br + 3,) * 4, 3)
    nine('GROUPBOX', 'BORDERSMASK', 'group', {}, (4, 4, 4, 4), 1)
    nine('COMBOBOX', 'BORDERSMASK', 'edit', {}, (3, 3, 3, 3), 2)
    add('COMBOBOX', 'GLYPHMASK', 'glyph', 'arrow', {'dir': 'down'}, (ar, ar))
    nine('COMBOBTN', 'BORDERSMASK', 'button', {'radius': min(br, 2)}, (3, 3, 3, 3), 3)
    nine('PANEL', 'BORDERSMASK', 'panel', {}, (2, 2, 2, 2), 1)
    nine('PANEL_LOW', 'BORDERSMASK', 'panel', {'sunken': '1'}, (2, 2, 2, 2), 1)
    nine('STATUSBAR', 'STATUSPANELMASK', 'panel', {'sunken': '1'}, (2, 2, 2, 2), 1)
    add('DIVIDER', 'BORDERSMASK', 'border', 'line', {'vertical': '1'}, (8, 12), 1, 2, (0, 3, 0, 3))
    nine('TOOLBAR', 'BORDERSMASK', 'bottomline', {}, (2, 2, 2, 2), 1)
    nine('TOOLBUTTON', 'BORDERSMASK', 'hotplate', {'radius': 3}, (4, 4, 4, 4), 3)
    nine('BAR', 'BORDERSMASK', 'bottomline', {}, (2, 2, 2, 2), 1)
    nine('COLHEADER', 'BORDERSMASK', 'header', {}, (3, 3, 3, 4), 3)
    nine('SPEEDBUTTON_SMALL', 'BORDERSMASK', 'button', {'radius': min(br, 2)}, (3, 3, 3, 3), 3)
    nine('SCROLLBAR1H', 'BORDERSMASK', 'track', {}, (2, 2, 2, 2), 3, sb - 4)
    nine('SCROLLBAR2H', 'BORDERSMASK', 'track', {}, (2, 2, 2, 2), 3, sb - 4)
    nine('SCROLLBAR1V', 'BORDERSMASK', 'track', {'vertical': '1'}, (2, 2, 2, 2), 3, sb - 4)
    nine('SCROLLBAR2V', 'BORDERSMASK', 'track', {'vertical': '1'}, (2, 2, 2, 2), 3, sb - 4)
    for section, d in (('SCROLLBTNTOP', 'up'), ('SCROLLBTNBOTTOM', 'down'),
                       ('SCROLLBTNLEFT', 'left'), ('SCROLLBTNRIGHT', 'right')):
        nine(section, 'BORDERSMASK', 'button', {'radius': min(br, 3)}, (4, 4, 4, 4), 3, sb - 8)
        add(section, 'GLYPHMASK', 'glyph', 'arrow', {'dir': d}, (ar, ar))
    nine('SCROLLSLIDERH', 'BORDERSMASK', 'button', {'radius': min(br, 3)}, (4, 4, 4, 4), 3, sb - 8)
    add('SCROLLSLIDERH', 'GLYPHMASK', 'glyph', 'thumbgrip', {}, (10, 10))
    nine('SCROLLSLIDERV', 'BORDERSMASK', 'button', {'radius': min(br, 3)}, (4, 4, 4, 4), 3, sb - 8)
    add('SCROLLSLIDERV', 'GLYPHMASK', 'glyph', 'thumbgrip', {'vertical': '1'}, (10, 10))
    return out


STYLE_DEFAULTS = {
    'check_size': '13', 'title_button': '21x19', 'small_title_button': '17x15',
    'scroll_size': '17', 'arrow_size': '9', 'edit_radius': '0', 'check_radius': '2',
    'radio': 'dot', 'title_tray': '0', 'hot_strength': '20',
}
