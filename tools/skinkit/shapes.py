"""The pictures of a skin, drawn as shapes from a design's palette and styles.

Every shape draws one state frame of an entry: draw(ctx, w, h, state, args)
returns a Layer. States of pushable things are 0 normal, 1 hot, 2 pressed;
those of window frames 0 inactive, 1 active. Border images are drawn so that
their edges are the same all along (the engine tiles or stretches the edges
and the centre); transparent pixels become the key colour, partly covered
ones go through the entry's mask row.
"""

from raster import (Layer, mix, lighten, darken, sd_rrect, sd_circle, sd_segment,
                    sd_polyline, sd_polygon, sd_ring, sd_cut, vgrad)

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


class Context:
    """A design's palette (name -> RGB) and styles (name -> text)."""

    def __init__(self, palette, styles):
        self.p = palette
        self.s = styles

    def num(self, name):
        return int(self.s[name])

    def pct(self, name):
        return int(self.s[name]) / 100.0


# Push buttons and everything shaped like one.

def button(ctx, w, h, state, args):
    p = ctx.p
    style = args.get('style', ctx.s['button'])
    r = float(args.get('radius', ctx.s['button_radius']))
    L = Layer(w, h)
    outer = sd_rrect(0, 0, w, h, r)
    inner = sd_rrect(1, 1, w - 1, h - 1, max(r - 1, 0))
    if style == 'glossy':
        edge = (p['frame'], mix(p['frame'], p['accent'], 0.75), darken(p['frame'], 0.2))[state]
        if state == 2:
            L.fill(inner, BLACK, 0.07)
            L.fill(sd_cut(inner, sd_rrect(1, 3, w - 1, h + 4, max(r - 1, 0))), BLACK, 0.14)
        else:
            L.fill(sd_ring(inner, 1.0), WHITE, 0.75 if state == 0 else 0.9)
        if state == 1:
            L.fill(sd_ring(sd_rrect(2, 2, w - 2, h - 2, max(r - 2, 0)), 1.0), p['accent'], 0.18)
        L.fill(sd_ring(outer, 1.0), edge)
    elif style == 'flat':
        edge = (p['frame'], p['accent'], darken(p['accent'], 0.15))[state]
        if state:
            L.fill(inner, p['accent'], 0.10 if state == 1 else 0.24)
        L.fill(sd_ring(outer, 1.0), edge)
    else:  # bevel: a raised plate, sunk while pressed
        lite, dark = lighten(p['light'], 0.2), p['shadow']
        if state == 2:
            lite, dark = dark, lite
        L.rect(1, 1, w - 1, 2, lite)
        L.rect(1, 1, 2, h - 1, lite)
        L.rect(1, h - 2, w - 1, h - 1, dark)
        L.rect(w - 2, 1, w - 1, h - 1, dark)
        L.rect(2, h - 3, w - 2, h - 2, dark, 0.35)
        L.rect(w - 3, 2, w - 2, h - 2, dark, 0.35)
        if state == 1:
            L.rect(2, 2, w - 2, 3, p['accent'], 0.45)
        edge = (darken(p['frame'], 0.1), darken(p['accent'], 0.2), darken(p['frame'], 0.25))[state]
        L.fill(sd_ring(outer, 1.0), edge)
    L.mark_outside(outer)
    return L


def edit_frame(ctx, w, h, state, args):
    p = ctx.p
    r = float(args.get('radius', ctx.s['edit_radius']))
    L = Layer(w, h)
    outer = sd_rrect(0, 0, w, h, r)
    L.rect(1, 1, w - 1, 2, BLACK, 0.06)
    L.fill(sd_ring(outer, 1.0), p['accent'] if state else p['frame'])
    L.mark_outside(outer)
    return L


def group_frame(ctx, w, h, state, args):
    p = ctx.p
    L = Layer(w, h)
    r = float(args.get('radius', 3))
    L.fill(sd_ring(sd_rrect(1, 1, w, h, r), 1.0), p['light'], 0.8)
    L.fill(sd_ring(sd_rrect(0, 0, w - 1, h - 1, r), 1.0), p['shadow'], 0.9)
    L.mark_outside(sd_rrect(0, 0, w, h, r))
    return L


def panel(ctx, w, h, state, args):
    p = ctx.p
    L = Layer(w, h)
    top, bottom = p['light'], p['shadow']
    if args.get('sunken'):
        top, bottom = bottom, top
    L.rect(0, 0, w, 1, top)
    L.rect(0, 0, 1, h, top)
    L.rect(0, h - 1, w, h, bottom)
    L.rect(w - 1, 0, w, h, bottom)
    return L


def line(ctx, w, h, state, args):
    """An etched line across (horizontal) or down (vertical) the middle."""
    p = ctx.p
    L = Layer(w, h)
    if args.get('vertical'):
        x = w // 2 - 1
        L.rect(x, 0, x + 1, h, p['shadow'], 0.9)
        L.rect(x + 1, 0, x + 2, h, p['light'], 0.9)
    else:
        y = h // 2 - 1
        L.rect(0, y, w, y + 1, p['shadow'], 0.9)
        L.rect(0, y + 1, w, y + 2, p['light'], 0.9)
    return L


def bottom_line(ctx, w, h, state, args):
    p = ctx.p
    L = Layer(w, h)
    L.rect(0, 0, w, 1, p['light'], 0.7)
    L.rect(0, h - 1, w, h, p['shadow'])
    return L


def hot_plate(ctx, w, h, state, args):
    """Nothing in the normal state; a tinted rounded plate when hot or pressed."""
    p = ctx.p
    L = Layer(w, h)
    if state == 0:
        return L
    strength = ctx.pct('hot_strength')
    r = float(args.get('radius', 3))
    plate = sd_rrect(0, 0, w, h, r)
    L.fill(plate, p['accent'], strength * (1.0 if state == 1 else 1.7))
    L.fill(sd_ring(plate, 1.0), darken(p['accent'], 0.1 * state), 0.8)
    L.mark_outside(plate)
    return L


def header(ctx, w, h, state, args):
    p = ctx.p
    L = Layer(w, h)
    if state == 2:
        L.rect(0, 0, w, h, BLACK, 0.08)
    L.rect(0, 0, w, 1, p['light'], 0.8)
    L.rect(w - 1, 0, w, h, p['shadow'], 0.55)
    L.rect(0, h - 1, w, h, p['shadow'])
    if state == 1:
        L.rect(0, h - 3, w, h - 1, p['accent'])
    return L


def track(ctx, w, h, state, args):
    """The groove of a scroll bar, opaque; lines along its long sides."""
    p = ctx.p
    L = Layer(w, h)
    base = (p['track'], darken(p['track'], 0.04), darken(p['track'], 0.1))[state]
    L.rect(0, 0, w, h, base)
    if args.get('vertical'):
        L.rect(0, 0, 1, h, darken(p['track'], 0.12))
        L.rect(w - 1, 0, w, h, lighten(p['track'], 0.3))
    else:
        L.rect(0, 0, w, 1, darken(p['track'], 0.12))
        L.rect(0, h - 1, w, h, lighten(p['track'], 0.3))
    return L


# Window frame, title and menus.

def _frame_radii(ctx):
    top, bottom = (int(v) for v in ctx.s['corners'].split())
    return float(top), float(bottom)


def form_frame(ctx, w, h, state, args):
    p = ctx.p
    rt, rb = _frame_radii(ctx)
    fw = ctx.num('frame')
    L = Layer(w, h)
    outer = sd_rrect(0, 0, w, h, (rt, rt, rb, rb))
    band = p['border'] if state else p['border_inactive']
    L.fill(sd_ring(outer, fw), band)
    inner = sd_rrect(fw - 1, fw - 1, w - fw + 1, h - fw + 1, 0)
    L.fill(sd_ring(inner, 1.0), darken(band, 0.25), 0.6)
    L.fill(sd_ring(sd_rrect(1, 1, w - 1, h - 1, (max(rt - 1, 0),) * 2 + (max(rb - 1, 0),) * 2), 1.0),
           WHITE, 0.25)
    L.fill(sd_ring(outer, 1.0), p['frame'] if state else lighten(p['frame'], 0.3))
    L.mark_outside(outer)
    return L


def title_border(ctx, w, h, state, args):
    p = ctx.p
    rt, _ = _frame_radii(ctx)
    L = Layer(w, h)
    outer = sd_rrect(0, 0, w, h + 40, (rt, rt, 0, 0))
    L.fill(sd_ring(sd_rrect(1, 1, w - 1, h + 40, (max(rt - 1, 0),) * 2 + (0, 0)), 1.0),
           WHITE, ctx.pct('title_highlight') * (1.0 if state else 0.5))
    L.rect(0, h - 1, w, h, darken(p['title_b'], 0.3), 0.45)
    L.fill(sd_ring(outer, 1.0), p['frame'] if state else lighten(p['frame'], 0.3))
    L.mark_outside(outer)
    return L


def title_tray(ctx, w, h, state, args):
    """A faint plate behind the title buttons, rounded at its lower left."""
    p = ctx.p
    L = Layer(w, h)
    a = ctx.pct('title_tray') * (1.0 if state else 0.5)
    if a > 0:
        L.fill(sd_rrect(0, -10, w + 10, h - 1, (0, 0, 0, 6)), p['title_text'], a)
    return L


def menu_border(ctx, w, h, state, args):
    p = ctx.p
    bw = int(args.get('band', 3))
    L = Layer(w, h)
    L.fill(sd_ring(sd_rrect(0, 0, w, h, 0), bw), p['menu'])
    L.fill(sd_ring(sd_rrect(0, 0, w, h, 0), 1.0), p['frame'])
    return L


def grip(ctx, w, h, state, args):
    p = ctx.p
    L = Layer(w, h)
    for i in range(3):
        for j in range(3 - i):
            x, y = w - 3 - 4 * i, h - 3 - 4 * j
            L.rect(x, y, x + 2, y + 2, WHITE, 0.8)
            L.rect(x - 1, y - 1, x + 1, y + 1, p['shadow'])
    return L


# Glyphs.

def _glyph_colour(ctx, state):
    p = ctx.p
    return (p['glyph'], p['accent'], darken(p['accent'], 0.25))[state]


def check(ctx, w, h, state, args):
    p = ctx.p
    mark = args.get('mark', 'off')
    r = float(ctx.s['check_radius'])
    L = Layer(w, h)
    box = sd_rrect(0, 0, w, h, r)
    top = p['window'] if state != 2 else darken(p['window'], 0.1)
    L.fill(box, vgrad(top, mix(top, p['face'], 0.6), 0, h))
    L.fill(sd_ring(box, 1.0), p['accent'] if state else p['frame'])
    ink = p['check']
    if mark == 'on':
        style = ctx.s['check']
        sw = max(1.5, w * 0.15)
        if style == 'cross':
            m = w * 0.3
            L.fill(sd_segment(m, m, w - m, h - m, sw), ink)
            L.fill(sd_segment(w - m, m, m, h - m, sw), ink)
        elif style == 'block':
            L.fill(sd_rrect(3, 3, w - 3, h - 3, 1), ink)
        else:
            pts = [(w * 0.24, h * 0.52), (w * 0.43, h * 0.72), (w * 0.77, h * 0.28)]
            L.fill(sd_polyline(pts, sw), ink)
    elif mark == 'mixed':
        L.fill(sd_rrect(3, 3, w - 3, h - 3, 1), ink, 0.45)
    return L


def radio(ctx, w, h, state, args):
    p = ctx.p
    mark = args.get('mark', 'off')
    L = Layer(w, h)
    cx, cy, rr = w / 2.0, h / 2.0, min(w, h) / 2.0
    disc = sd_circle(cx, cy, rr)
    top = p['window'] if state != 2 else darken(p['window'], 0.1)
    L.fill(disc, vgrad(top, mix(top, p['face'], 0.6), 0, h))
    L.fill(sd_ring(disc, 1.0), p['accent'] if state else p['frame'])
    if mark == 'on':
        if ctx.s['radio'] == 'ring':
            L.fill(sd_ring(sd_circle(cx, cy, rr - 2), 1.3), p['check'], 0.7)
        L.fill(sd_circle(cx, cy, rr * 0.4), p['check'])
    elif mark == 'mixed':
        L.fill(sd_circle(cx, cy, rr * 0.4), p['check'], 0.45)
    return L


def menu_check(ctx, w, h, state, args):
    ink = ctx.p['menu_text'] if state == 0 else ctx.p['accent_text']
    L = Layer(w, h)
    pts = [(w * 0.22, h * 0.52), (w * 0.42, h * 0.72), (w * 0.78, h * 0.28)]
    L.fill(sd_polyline(pts, max(1.5, w * 0.13)), ink)
    return L


def arrow(ctx, w, h, state, args):
    d = args['dir']
    ink = _glyph_colour(ctx, state)
    L = Layer(w, h)
    cx, cy = w / 2.0, h / 2.0
    s = min(w, h) * 0.3
    # Points of a downward arrow, turned for the other directions.
    tip = [(-s, -s * 0.5), (0, s * 0.5), (s, -s * 0.5)]
    turn = {'down': lambda x, y: (x, y), 'up': lambda x, y: (x, -y),
            'right': lambda x, y: (y, x), 'left': lambda x, y: (-y, x)}[d]
    pts = [(cx + turn(x, y)[0], cy + turn(x, y)[1]) for x, y in tip]
    if ctx.s['arrows'] == 'triangle':
        L.fill(sd_polygon(pts), ink)
    else:
        L.fill(sd_polyline(pts, max(1.6, s * 0.55)), ink)
    return L


def thumb_grip(ctx, w, h, state, args):
    p = ctx.p
    L = Layer(w, h)
    style = ctx.s['thumb']
    vertical = args.get('vertical')
    ink = _glyph_colour(ctx, state)
    for k in (-1, 0, 1):
        if style == 'dots':
            x, y = (w // 2 + 3 * k, h // 2) if not vertical else (w // 2, h // 2 + 3 * k)
            L.fill(sd_circle(x, y, 1.1), ink, 0.8)
        elif style == 'lines':
            if vertical:
                y = h // 2 + 2 * k
                L.rect(2, y, w - 2, y + 1, ink, 0.75)
            else:
                x = w // 2 + 2 * k
                L.rect(x, 2, x + 1, h - 2, ink, 0.75)
    return L


def title_button(ctx, w, h, state, args):
    p = ctx.p
    kind = args['kind']
    style = ctx.s['titlebuttons']
    L = Layer(w, h)
    hot_base = p['close'] if kind == 'close' else lighten(p['title_a'], 0.25)
    if style == 'round':
        plate = sd_circle(w / 2.0, h / 2.0, min(w, h) / 2.0 - 0.5)
    else:
        plate = sd_rrect(0.5, 0.5, w - 0.5, h - 0.5, 3 if style == 'square' else 2)
    if style != 'plain' or state:
        base = (p['title_text'], hot_base, darken(hot_base, 0.25))[state]
        a = (0.22 if style != 'plain' else 0.0, 0.95, 1.0)[state]
        if state == 0:
            L.fill(plate, base, a)
        else:
            L.fill(plate, vgrad(lighten(base, 0.3), base, 0, h), a)
        L.fill(sd_ring(plate, 1.0), p['title_text'] if state == 0 else darken(base, 0.3), 0.55)
    ink = p['title_text']
    cx, cy = w / 2.0, h / 2.0
    s = min(w, h) * 0.22
    sw = max(1.4, min(w, h) * 0.1)
    if kind == 'close':
        L.fill(sd_segment(cx - s, cy - s, cx + s, cy + s, sw), ink)
        L.fill(sd_segment(cx + s, cy - s, cx - s, cy + s, sw), ink)
    elif kind == 'max':
        L.fill(sd_ring(sd_rrect(cx - s, cy - s, cx + s, cy + s, 0), sw * 0.8), ink)
        L.rect(int(cx - s), int(cy - s), int(cx + s + 0.5), int(cy - s) + 2, ink)
    elif kind == 'min':
        L.fill(sd_segment(cx - s, cy + s * 0.8, cx + s, cy + s * 0.8, sw), ink)
    elif kind == 'norm':
        q = s * 0.8
        L.fill(sd_ring(sd_rrect(cx - s + q * 0.5, cy - s, cx + s, cy + s - q * 0.5, 0), sw * 0.7), ink)
        L.fill(sd_rrect(cx - s, cy - s + q * 0.5, cx + s - q * 0.5, cy + s, 0),
               p['title_a'] if state == 0 else hot_base, 1.0)
        L.fill(sd_ring(sd_rrect(cx - s, cy - s + q * 0.5, cx + s - q * 0.5, cy + s, 0), sw * 0.7), ink)
    elif kind == 'help':
        q = [(-0.7, -0.45), (-0.45, -0.95), (0.1, -1.05), (0.6, -0.75), (0.55, -0.25),
             (0.0, 0.1), (0.0, 0.45)]
        L.fill(sd_polyline([(cx + x * s, cy + y * s) for x, y in q], sw), ink)
        L.fill(sd_circle(cx, cy + s * 1.05, sw * 0.7), ink)
    return L


# Pictures without a mask: textures and the pattern.

def _hash(n):
    n = (n * 0x9E3779B1) & 0xFFFFFFFF
    n ^= n >> 15
    n = (n * 0x85EBCA77) & 0xFFFFFFFF
    n ^= n >> 13
    return n


def weave(ctx, w, h, state, args):
    """A linen-like weave that tiles seamlessly: threads of cells of 4 pixels."""
    base = ctx.p[args.get('colour', 'face')]
    depth = float(args.get('depth', 0.07))
    seed = int(args.get('seed', 1))
    L = Layer(w, h)
    rows = [(_hash(seed * 7919 + y) % 1000) / 500.0 - 1.0 for y in range(h)]
    cols = [(_hash(seed * 104729 + x) % 1000) / 500.0 - 1.0 for x in range(w)]
    # Across a thread: dark at its edge, light along its middle.
    profile = (-0.9, 0.35, 0.8, 0.25)
    for y in range(h):
        for x in range(w):
            over = ((x // 4) + (y // 4)) % 2
            v = cols[x] if over else rows[y]
            across = profile[x % 4] if over else profile[y % 4]
            grain = (_hash(y * 65537 + x * 257 + seed) % 1000) / 1000.0 - 0.5
            t = depth * (0.35 * v + 0.3 * grain + 0.55 * across)
            c = lighten(base, t) if t > 0 else darken(base, -t)
            L.blend(x, y, c, 1.0)
    return L


SHAPES = {
    'button': button, 'edit': edit_frame, 'group': group_frame, 'panel': panel,
    'line': line, 'bottomline': bottom_line, 'hotplate': hot_plate, 'header': header,
    'track': track, 'form': form_frame, 'title': title_border, 'tray': title_tray,
    'menu': menu_border, 'grip': grip, 'check': check, 'radio': radio,
    'menucheck': menu_check, 'arrow': arrow, 'thumbgrip': thumb_grip,
    'titlebutton': title_button, 'weave': weave,
}

# Palette colours and styles every design gives (the shapes use them).
PALETTE_NAMES = (
    'face', 'text', 'frame', 'light', 'shadow', 'accent', 'accent_text', 'window',
    'window_text', 'glyph', 'check', 'track', 'menu', 'menu_text', 'border',
    'border_inactive', 'title_a', 'title_b', 'title_text', 'close')
STYLE_NAMES = (
    'corners', 'frame', 'button', 'button_radius', 'edit_radius', 'check', 'check_radius',
    'radio', 'arrows', 'thumb', 'titlebuttons', 'title_highlight', 'title_tray',
    'hot_strength')
