"""Anti-aliased drawing into small RGBA layers.

Shapes are given as signed distance functions (negative inside, in pixels); a
pixel's coverage is 0.5 minus the distance at its centre, clamped to 0..1, which
gives one pixel of smooth edge. Only arithmetic and square roots are used, so
the same description gives the same bytes on every machine.
"""

from math import sqrt

MAGENTA = (255, 0, 255)


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    """Colour a moved toward colour b by the fraction t."""
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def lighten(c, t):
    return mix(c, (255, 255, 255), t)


def darken(c, t):
    return mix(c, (0, 0, 0), t)


class Layer:
    """A w x h picture of premultiplied RGBA floats (colour 0..255, alpha 0..1)."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [0.0] * (w * h * 4)
        # Pixels that lie outside the shape: they take the key colour, so that
        # the engine shows what lies under them (and cuts window corners).
        self.key = bytearray(w * h)

    def mark_outside(self, sdf):
        """Marks the pixels whose centres lie outside sdf by half a pixel or more."""
        for y in range(self.h):
            for x in range(self.w):
                if sdf(x + 0.5, y + 0.5) >= 0.5:
                    self.key[y * self.w + x] = 1
                    self.px[(y * self.w + x) * 4:(y * self.w + x) * 4 + 4] = [0.0] * 4

    def blend(self, x, y, colour, alpha):
        """Paints colour over the pixel with the given coverage (source over)."""
        if alpha <= 0.0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        alpha = min(alpha, 1.0)
        i = (y * self.w + x) * 4
        p = self.px
        keep = 1.0 - alpha
        p[i] = colour[0] * alpha + p[i] * keep
        p[i + 1] = colour[1] * alpha + p[i + 1] * keep
        p[i + 2] = colour[2] * alpha + p[i + 2] * keep
        p[i + 3] = alpha + p[i + 3] * keep

    def fill(self, sdf, colour, alpha=1.0, box=None):
        """Paints the inside of sdf; colour is a tuple or a function of (x, y)."""
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(x0) - 1), max(0, int(y0) - 1)
        x1, y1 = min(self.w, int(x1) + 2), min(self.h, int(y1) + 2)
        for y in range(y0, y1):
            cy = y + 0.5
            for x in range(x0, x1):
                cov = clamp(0.5 - sdf(x + 0.5, cy))
                if cov > 0.0:
                    c = colour(x + 0.5, cy) if callable(colour) else colour
                    self.blend(x, y, c, cov * alpha)

    def rect(self, x0, y0, x1, y1, colour, alpha=1.0):
        """Paints whole pixels x0..x1-1, y0..y1-1."""
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                c = colour(x + 0.5, y + 0.5) if callable(colour) else colour
                self.blend(x, y, c, alpha)

    def rgba(self, x, y):
        """Straight colour (rounded bytes) and alpha of one pixel."""
        i = (y * self.w + x) * 4
        a = self.px[i + 3]
        if a <= 0.0:
            return (0, 0, 0), 0.0
        c = tuple(int(clamp(self.px[i + k] / a, 0.0, 255.0) + 0.5) for k in range(3))
        return c, min(a, 1.0)


# Signed distance functions. Each returns a function of the point (x, y).

def sd_rrect(x0, y0, x1, y1, r=0.0):
    """Rectangle with the given edges and one corner radius or a tuple (tl, tr, br, bl)."""
    rs = r if isinstance(r, tuple) else (r, r, r, r)
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hw, hh = (x1 - x0) / 2.0, (y1 - y0) / 2.0

    def f(x, y):
        px, py = x - cx, y - cy
        if px < 0:
            rad = rs[0] if py < 0 else rs[3]
        else:
            rad = rs[1] if py < 0 else rs[2]
        qx = abs(px) - hw + rad
        qy = abs(py) - hh + rad
        ox, oy = max(qx, 0.0), max(qy, 0.0)
        return sqrt(ox * ox + oy * oy) + min(max(qx, qy), 0.0) - rad
    return f


def sd_circle(cx, cy, r):
    return lambda x, y: sqrt((x - cx) ** 2 + (y - cy) ** 2) - r


def sd_segment(ax, ay, bx, by, width):
    """A stroke of the given width from a to b with round ends."""
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy or 1e-9

    def f(x, y):
        t = clamp(((x - ax) * dx + (y - ay) * dy) / ll)
        qx, qy = x - ax - t * dx, y - ay - t * dy
        return sqrt(qx * qx + qy * qy) - width / 2.0
    return f


def sd_polyline(points, width):
    segs = [sd_segment(*points[i], *points[i + 1], width) for i in range(len(points) - 1)]
    return lambda x, y: min(s(x, y) for s in segs)


def sd_polygon(points):
    """A convex or concave polygon, filled."""
    n = len(points)

    def f(x, y):
        d = float('inf')
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            dx, dy = bx - ax, by - ay
            ll = dx * dx + dy * dy or 1e-9
            t = clamp(((x - ax) * dx + (y - ay) * dy) / ll)
            qx, qy = x - ax - t * dx, y - ay - t * dy
            d = min(d, qx * qx + qy * qy)
            if (ay > y) != (by > y) and x < ax + (y - ay) * dx / (by - ay):
                inside = not inside
        d = sqrt(d)
        return -d if inside else d
    return f


def sd_ring(sdf, width):
    """The band of the given width just inside the edge of sdf."""
    return lambda x, y: max(sdf(x, y), -(sdf(x, y) + width))


def sd_cut(a, b):
    """a without b."""
    return lambda x, y: max(a(x, y), -b(x, y))


def vgrad(c1, c2, y0, y1):
    """Colour function: c1 at row y0 to c2 at row y1."""
    span = (y1 - y0) or 1.0
    return lambda x, y: mix(c1, c2, clamp((y - y0) / span))
