"""File formats the kit writes: BMP, PNG, JPEG (through cjpeg), the packed skin."""

import struct
import subprocess
import zlib


class Picture:
    """A w x h picture of RGB byte triples, row 0 at the top."""

    def __init__(self, w, h, fill=(255, 0, 255)):
        self.w, self.h = w, h
        self.rows = [bytearray(bytes(fill) * w) for _ in range(h)]

    def put(self, x, y, rgb):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.rows[y][3 * x:3 * x + 3] = bytes(rgb)

    def get(self, x, y):
        return tuple(self.rows[y][3 * x:3 * x + 3])

    def blit(self, other, ox, oy, sx=0, sy=0, w=None, h=None):
        w = other.w if w is None else w
        h = other.h if h is None else h
        for y in range(h):
            if 0 <= oy + y < self.h:
                x0, x1 = max(0, -ox), min(w, self.w - ox)
                if x0 < x1:
                    src = other.rows[sy + y][3 * (sx + x0):3 * (sx + x1)]
                    self.rows[oy + y][3 * (ox + x0):3 * (ox + x1)] = src


def bmp_bytes(pic):
    """A 24-bit bottom-up Windows bitmap with a 40-byte info header."""
    stride = (pic.w * 3 + 3) & ~3
    pad = bytes(stride - pic.w * 3)
    body = bytearray()
    for row in reversed(pic.rows):
        bgr = bytearray(len(row))
        bgr[0::3], bgr[1::3], bgr[2::3] = row[2::3], row[1::3], row[0::3]
        body += bgr + pad
    header = struct.pack('<2sIHHI', b'BM', 54 + len(body), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, pic.w, pic.h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    return header + info + bytes(body)


def png_bytes(pic):
    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b''.join(b'\x00' + bytes(r) for r in pic.rows)
    return (b'\x89PNG\r\n\x1a\n' +
            chunk(b'IHDR', struct.pack('>IIBBBBB', pic.w, pic.h, 8, 2, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def jpeg_bytes(pic, quality=90):
    """Encodes with cjpeg of libjpeg-turbo from a binary PPM on its input."""
    ppm = b'P6\n%d %d\n255\n' % (pic.w, pic.h) + b''.join(bytes(r) for r in pic.rows)
    try:
        done = subprocess.run(['cjpeg', '-quality', str(quality), '-optimize'],
                              input=ppm, capture_output=True, check=True)
    except FileNotFoundError:
        raise RuntimeError('cjpeg (libjpeg-turbo-progs) is needed to encode pattern pictures')
    return done.stdout


def packed_skin(files):
    """The packed container: magic, count, then per entry the name's length,
    the name, the unpacked size and the data as one zlib stream."""
    out = bytearray(b'ZVpk' + struct.pack('<i', len(files)))
    for name, data in files:
        raw = name.encode('ascii')
        out += struct.pack('<i', len(raw)) + raw + struct.pack('<i', len(data))
        out += zlib.compress(data, 9)
    return bytes(out)
