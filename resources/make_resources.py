#!/usr/bin/env python3
"""Draws the program's pictures and writes them beside this script.

    python3 resources/make_resources.py

Standard library only. Shapes are filled on a supersampled canvas (every output pixel is
SS x SS samples) and averaged down, so slanted and round edges come out smooth. The files:

    printer.png      32 x 32 RGBA  window icon and the "Change Printer" button
    label_sheet.png  32 x 32 RGBA  button icon: a yellow label sheet with three text lines
    landscape.png    32 x 32 RGBA  button icon: a framed landscape picture
    joke.bmp         516 x 339     the 1 April picture (24-bit BMP, 524,826 bytes)
    logo_large.bmp   192 x 94      the client company's logo (24-bit BMP)
    logo_small.bmp   134 x 66      the same logo drawn at the size printed on part labels

and, for the desktop's menu, the window icon's picture again in icons/: tagfoundry.svg (scalable)
and tagfoundry-N.png at N x N for N = 48, 64, 128, 256. These are installed, not compiled in.
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


# ---------------------------------------------------------------------------------------------
# Canvas: premultiplied RGBA samples, one bytearray per sample row.

class Canvas:
    """Shapes are given in drawing units; scale is output pixels per unit, so one drawing
    makes the same picture at any size."""

    def __init__(self, width, height, ss=4, background=(0, 0, 0, 0), scale=1):
        self.width, self.height, self.ss, self.scale = width, height, ss, scale
        self.sw, self.sh = width * ss, height * ss
        fill = bytes(_premultiply(_rgba(background)))
        self.rows = [bytearray(fill * self.sw) for _ in range(self.sh)]
        self.clip = None  # (x0, y0, x1, y1) in output pixels, or None

    # -- core: fill spans row by row ------------------------------------------------------------

    def _fill(self, y0, y1, spans_at, colour):
        """spans_at(y) gives [(xa, xb), ...] for a sample row whose centre is at y (output
        units); colour is an (r, g, b[, a]) tuple or a function of y giving one."""
        ss, unit = self.ss, self.scale
        if self.clip:
            cx0, cy0, cx1, cy1 = self.clip
            y0, y1 = max(y0, cy0), min(y1, cy1)
        j0 = max(0, math.ceil(y0 * unit * ss - 0.5))
        j1 = min(self.sh, math.ceil(y1 * unit * ss - 0.5))
        for j in range(j0, j1):
            y = (j + 0.5) / ss / unit
            c = colour(y) if callable(colour) else colour
            r, g, b, a = _rgba(c)
            pm = bytes(_premultiply((r, g, b, a)))
            row = self.rows[j]
            for xa, xb in spans_at(y):
                if self.clip:
                    xa, xb = max(xa, cx0), min(xb, cx1)
                i0 = max(0, math.ceil(xa * unit * ss - 0.5))
                i1 = min(self.sw, math.ceil(xb * unit * ss - 0.5))
                if i1 <= i0:
                    continue
                if a == 255:
                    row[i0 * 4:i1 * 4] = pm * (i1 - i0)
                else:
                    keep = 255 - a
                    for k in range(i0 * 4, i1 * 4, 4):
                        for ch in range(4):
                            row[k + ch] = pm[ch] + (row[k + ch] * keep + 127) // 255

    # -- shapes ---------------------------------------------------------------------------------

    def polygon(self, points, colour, holes=()):
        """Even-odd fill of a closed outline (and optional hole outlines)."""
        contours = [points] + list(holes)
        edges = []
        for pts in contours:
            n = len(pts)
            for k in range(n):
                (xa, ya), (xb, yb) = pts[k], pts[(k + 1) % n]
                if ya != yb:
                    edges.append((xa, ya, xb, yb))
        ys = [p[1] for p in points]

        def spans(y):
            xs = []
            for xa, ya, xb, yb in edges:
                if (ya <= y < yb) or (yb <= y < ya):
                    xs.append(xa + (y - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            return list(zip(xs[0::2], xs[1::2]))

        self._fill(min(ys), max(ys), spans, colour)

    def rect(self, x0, y0, x1, y1, colour):
        self._fill(y0, y1, lambda y: [(x0, x1)], colour)

    def ellipse(self, cx, cy, rx, ry, colour):
        def spans(y):
            d = (y - cy) / ry
            if abs(d) >= 1:
                return []
            hw = rx * math.sqrt(1 - d * d)
            return [(cx - hw, cx + hw)]

        self._fill(cy - ry, cy + ry, spans, colour)

    def circle(self, cx, cy, r, colour):
        self.ellipse(cx, cy, r, r, colour)

    def ring(self, cx, cy, r_out, r_in, colour):
        def spans(y):
            d = y - cy
            if abs(d) >= r_out:
                return []
            ho = math.sqrt(r_out * r_out - d * d)
            if abs(d) >= r_in:
                return [(cx - ho, cx + ho)]
            hi = math.sqrt(r_in * r_in - d * d)
            return [(cx - ho, cx - hi), (cx + hi, cx + ho)]

        self._fill(cy - r_out, cy + r_out, spans, colour)

    def round_rect(self, x0, y0, x1, y1, r, colour):
        self.polygon(round_rect_points(x0, y0, x1, y1, r), colour)

    def line(self, xa, ya, xb, yb, width, colour, caps=True):
        dx, dy = xb - xa, yb - ya
        length = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / length * width / 2, dx / length * width / 2
        self.polygon([(xa + nx, ya + ny), (xb + nx, yb + ny), (xb - nx, yb - ny), (xa - nx, ya - ny)],
                     colour)
        if caps:
            self.circle(xa, ya, width / 2, colour)
            self.circle(xb, yb, width / 2, colour)

    def polyline(self, points, width, colour):
        for a, b in zip(points, points[1:]):
            self.line(a[0], a[1], b[0], b[1], width, colour)

    def text(self, x, y, s, px, colour, font=None, gap=1):
        """Block letters from a pixel font, each font pixel a px x px square."""
        font = font or FONT_5X7
        for ch in s:
            glyph = font[ch]
            for gy, line in enumerate(glyph):
                for gx, bit in enumerate(line):
                    if bit == '#':
                        self.rect(x + gx * px, y + gy * px, x + (gx + 1) * px, y + (gy + 1) * px, colour)
            x += (len(glyph[0]) + gap) * px

    # -- output ---------------------------------------------------------------------------------

    def pixels(self):
        """Averages the samples down: rows of straight (not premultiplied) RGBA tuples."""
        ss, n = self.ss, self.ss * self.ss
        out = []
        for oy in range(self.height):
            acc = [sum(t) for t in zip(*self.rows[oy * ss:(oy + 1) * ss])]
            chans = []
            for ch in range(4):
                col = acc[ch::4]
                chans.append([sum(col[i:i + ss]) for i in range(0, self.sw, ss)])
            row = []
            for r, g, b, a in zip(*chans):
                if a == 0:
                    row.append((0, 0, 0, 0))
                else:
                    row.append((min(255, (r * 255 + a // 2) // a), min(255, (g * 255 + a // 2) // a),
                                min(255, (b * 255 + a // 2) // a), (a + n // 2) // n))
            out.append(row)
        return out


def _rgba(c):
    return tuple(c) if len(c) == 4 else (c[0], c[1], c[2], 255)


def _premultiply(c):
    r, g, b, a = c
    return ((r * a + 127) // 255, (g * a + 127) // 255, (b * a + 127) // 255, a)


def hexc(s, a=255):
    s = s.lstrip('#')
    return (int(s[0:2], 16), int(s[2:4], 16), int(s[4:6], 16), a)


class gradient:
    """A colour that runs from c0 at y0 to c1 at y1 (a function of y for Canvas fills)."""

    def __init__(self, y0, c0, y1, c1):
        self.y0, self.c0, self.y1, self.c1 = y0, _rgba(c0), y1, _rgba(c1)

    def __call__(self, y):
        t = min(1.0, max(0.0, (y - self.y0) / (self.y1 - self.y0)))
        return tuple(round(a + (b - a) * t) for a, b in zip(self.c0, self.c1))


class SvgCanvas:
    """The shapes a picture is drawn with, written out as SVG instead of filled: the same
    drawing function makes the bitmap icons and the scalable one."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.defs, self.shapes = [], []

    def _fill(self, colour):
        if isinstance(colour, gradient):
            name = f'g{len(self.defs)}'
            stops = ''.join(f'<stop offset="{o}" stop-color="{_svg_colour(c)}"{_svg_opacity(c, "stop-opacity")}/>'
                            for o, c in ((0, colour.c0), (1, colour.c1)))
            self.defs.append(f'<linearGradient id="{name}" gradientUnits="userSpaceOnUse" '
                             f'x1="0" y1="{_n(colour.y0)}" x2="0" y2="{_n(colour.y1)}">{stops}</linearGradient>')
            return f'fill="url(#{name})"'
        c = _rgba(colour)
        return f'fill="{_svg_colour(c)}"{_svg_opacity(c, "fill-opacity")}'

    def rect(self, x0, y0, x1, y1, colour):
        self.shapes.append(f'<rect x="{_n(x0)}" y="{_n(y0)}" width="{_n(x1 - x0)}" height="{_n(y1 - y0)}" '
                           f'{self._fill(colour)}/>')

    def round_rect(self, x0, y0, x1, y1, r, colour):
        self.shapes.append(f'<rect x="{_n(x0)}" y="{_n(y0)}" width="{_n(x1 - x0)}" height="{_n(y1 - y0)}" '
                           f'rx="{_n(r)}" {self._fill(colour)}/>')

    def polygon(self, points, colour, holes=()):
        d = ' '.join('M' + ' L'.join(f'{_n(x)},{_n(y)}' for x, y in pts) + ' Z' for pts in [points] + list(holes))
        self.shapes.append(f'<path d="{d}" fill-rule="evenodd" {self._fill(colour)}/>')

    def text_bytes(self):
        defs = f'<defs>{"".join(self.defs)}</defs>\n' if self.defs else ''
        body = ''.join(f'  {s}\n' for s in self.shapes)
        return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{self.width}" height="{self.height}" '
                f'viewBox="0 0 {self.width} {self.height}">\n{defs}{body}</svg>\n').encode()


def _n(v):
    return f'{v:.3f}'.rstrip('0').rstrip('.')


def _svg_colour(c):
    return '#%02x%02x%02x' % tuple(c[:3])


def _svg_opacity(c, attribute):
    return f' {attribute}="{_n(c[3] / 255)}"' if c[3] != 255 else ''


def round_rect_points(x0, y0, x1, y1, r, steps=8):
    pts = []
    for cx, cy, start in ((x1 - r, y0 + r, -90), (x1 - r, y1 - r, 0), (x0 + r, y1 - r, 90),
                          (x0 + r, y0 + r, 180)):
        for k in range(steps + 1):
            t = math.radians(start + 90 * k / steps)
            pts.append((cx + r * math.cos(t), cy + r * math.sin(t)))
    return pts


def bezier_path(start, curves, steps=16):
    """Points along cubic curves [(c1, c2, end), ...] starting at start."""
    pts = [start]
    p0 = start
    for c1, c2, p3 in curves:
        for k in range(1, steps + 1):
            t = k / steps
            u = 1 - t
            pts.append((u * u * u * p0[0] + 3 * u * u * t * c1[0] + 3 * u * t * t * c2[0] + t * t * t * p3[0],
                        u * u * u * p0[1] + 3 * u * u * t * c1[1] + 3 * u * t * t * c2[1] + t * t * t * p3[1]))
        p0 = p3
    return pts


def arc_points(cx, cy, rx, ry, deg0, deg1, steps=24):
    return [(cx + rx * math.cos(math.radians(deg0 + (deg1 - deg0) * k / steps)),
             cy + ry * math.sin(math.radians(deg0 + (deg1 - deg0) * k / steps))) for k in range(steps + 1)]


def transform(points, scale, dx, dy):
    return [(x * scale + dx, y * scale + dy) for x, y in points]


# ---------------------------------------------------------------------------------------------
# Pixel fonts (capitals, digits and a little punctuation).

def _font(table, height):
    glyphs = {}
    for key, rows in table.items():
        lines = rows.split('/')
        assert len(lines) == height, key
        glyphs[key] = lines
    return glyphs


FONT_5X7 = _font({
    'A': '.###./#...#/#...#/#####/#...#/#...#/#...#',
    'B': '####./#...#/#...#/####./#...#/#...#/####.',
    'C': '.###./#...#/#..../#..../#..../#...#/.###.',
    'D': '####./#...#/#...#/#...#/#...#/#...#/####.',
    'E': '#####/#..../#..../####./#..../#..../#####',
    'F': '#####/#..../#..../####./#..../#..../#....',
    'G': '.###./#...#/#..../#.###/#...#/#...#/.####',
    'H': '#...#/#...#/#...#/#####/#...#/#...#/#...#',
    'I': '.###./..#../..#../..#../..#../..#../.###.',
    'J': '..###/...#./...#./...#./...#./#..#./.##..',
    'K': '#...#/#..#./#.#../##.../#.#../#..#./#...#',
    'L': '#..../#..../#..../#..../#..../#..../#####',
    'M': '#...#/##.##/#.#.#/#.#.#/#...#/#...#/#...#',
    'N': '#...#/#...#/##..#/#.#.#/#..##/#...#/#...#',
    'O': '.###./#...#/#...#/#...#/#...#/#...#/.###.',
    'P': '####./#...#/#...#/####./#..../#..../#....',
    'Q': '.###./#...#/#...#/#...#/#.#.#/#..#./.##.#',
    'R': '####./#...#/#...#/####./#.#../#..#./#...#',
    'S': '.####/#..../#..../.###./....#/....#/####.',
    'T': '#####/..#../..#../..#../..#../..#../..#..',
    'U': '#...#/#...#/#...#/#...#/#...#/#...#/.###.',
    'V': '#...#/#...#/#...#/#...#/#...#/.#.#./..#..',
    'W': '#...#/#...#/#...#/#.#.#/#.#.#/#.#.#/.#.#.',
    'X': '#...#/#...#/.#.#./..#../.#.#./#...#/#...#',
    'Y': '#...#/#...#/.#.#./..#../..#../..#../..#..',
    'Z': '#####/....#/...#./..#../.#.../#..../#####',
    '0': '.###./#...#/#..##/#.#.#/##..#/#...#/.###.',
    '1': '..#../.##../..#../..#../..#../..#../.###.',
    '2': '.###./#...#/....#/...#./..#../.#.../#####',
    '3': '#####/...#./..#../...#./....#/#...#/.###.',
    '4': '...#./..##./.#.#./#..#./#####/...#./...#.',
    '5': '#####/#..../####./....#/....#/#...#/.###.',
    '6': '..##./.#.../#..../####./#...#/#...#/.###.',
    '7': '#####/....#/...#./..#../.#.../.#.../.#...',
    '8': '.###./#...#/#...#/.###./#...#/#...#/.###.',
    '9': '.###./#...#/#...#/.####/....#/...#./.##..',
    '!': '..#../..#../..#../..#../..#../...../..#..',
    ':': '...../.##../.##../...../.##../.##../.....',
    '.': '...../...../...../...../...../.##../.##..',
    '-': '...../...../...../.###./...../...../.....',
    ' ': '...../...../...../...../...../...../.....',
}, 7)

# A compact face for the smallest print on the small logo.
FONT_3X5 = _font({
    'A': '.#./#.#/###/#.#/#.#',
    'E': '###/#../##./#../###',
    'G': '.##/#../#.#/#.#/.##',
    'H': '#.#/#.#/###/#.#/#.#',
    'I': '###/.#./.#./.#./###',
    'L': '#../#../#../#../###',
    'N': '##./#.#/#.#/#.#/#.#',
    'P': '##./#.#/##./#../#..',
    'S': '.##/#../.#./..#/##.',
    'T': '###/.#./.#./.#./.#.',
    'U': '#.#/#.#/#.#/#.#/###',
    ' ': '.../.../.../.../...',
}, 5)


def text_width(s, px, font=None, gap=1):
    font = font or FONT_5X7
    return sum((len(font[ch][0]) + gap) * px for ch in s) - gap * px


# ---------------------------------------------------------------------------------------------
# Writers.

def write_png(path, pixels):
    height, width = len(pixels), len(pixels[0])
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # filter: none
        for p in row:
            raw.extend(p)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)

    ihdr = struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + chunk(b'IDAT', zlib.compress(bytes(raw), 9))
                + chunk(b'IEND', b''))


def write_bmp(path, pixels):
    """24 bits per pixel, uncompressed, bottom-up rows padded to 4 bytes, no resolution."""
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b, _a in row:
            line.extend((b, g, r))
        line.extend(b'\0' * (stride - len(line)))
        body.extend(line)
    header = struct.pack('<2sIHHI', b'BM', 54 + len(body), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(body), 0, 0, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + body)


# ---------------------------------------------------------------------------------------------
# The pictures.

def draw_printer_icon(c=None):
    """The window icon, drawn on a 32 x 32 grid."""
    c = c or Canvas(32, 32, ss=8)
    outline, paper_edge = hexc('3a3f47'), hexc('7b8490')
    # Blank sheet waiting in the feeder at the back.
    c.rect(8, 2, 24, 12, paper_edge)
    c.rect(9, 3, 23, 12, hexc('ffffff'))
    # Body: dark outline, lighter top face, front panel.
    c.round_rect(1, 10, 31, 25, 2.5, outline)
    c.round_rect(2, 11, 30, 24, 1.5, gradient(11, hexc('d7dde4'), 24, hexc('9ba6b3')))
    c.rect(2, 14, 30, 15, hexc('7d8794'))
    # Paper slot and the ready light.
    c.rect(5, 19, 27, 21, hexc('2a2e35'))
    c.rect(25, 16, 27, 18, hexc('37c24a'))
    # Printed page coming out of the slot, with lines of text.
    c.rect(7, 20, 25, 31, paper_edge)
    c.rect(8, 20, 24, 30, hexc('ffffff'))
    for y, x1 in ((23, 22), (25, 20), (27, 17)):
        c.rect(10, y, x1, y + 1, hexc('2f6fc0'))
    return c


def draw_label_sheet_icon():
    c = Canvas(32, 32, ss=8)
    fold = 7
    sheet = [(5, 2), (27 - fold, 2), (27, 2 + fold), (27, 30), (5, 30)]
    # Soft shadow, then the sheet with its edge, then the turned-down corner.
    c.polygon(transform(sheet, 1, 1, 1), (0, 0, 0, 60))
    c.polygon(sheet, hexc('a67c00'))
    c.polygon([(6, 3), (26 - fold, 3), (26, 3 + fold), (26, 29), (6, 29)],
              gradient(3, hexc('ffe45c'), 29, hexc('ffc928')))
    c.polygon([(27 - fold, 2), (27 - fold, 2 + fold), (27, 2 + fold)], hexc('a67c00'))
    c.polygon([(27 - fold + 1, 3.6), (27 - fold + 1, 2 + fold - 1), (27 - 1.6, 2 + fold - 1)], hexc('fff3b8'))
    # Three lines of text.
    ink = hexc('3b3420')
    c.rect(9, 11, 23, 13, ink)
    c.rect(9, 17, 22, 19, ink)
    c.rect(9, 23, 18, 25, ink)
    return c


def draw_landscape_icon():
    c = Canvas(32, 32, ss=8)
    # Wooden frame with a darker rim and a light inner edge.
    c.rect(1, 4, 31, 28, hexc('5a3714'))
    c.rect(2, 5, 30, 27, gradient(5, hexc('c98a45'), 27, hexc('9a6127')))
    c.rect(4, 7, 28, 25, hexc('f0e2c4'))
    # The picture inside, clipped to its opening.
    c.clip = (5, 8, 27, 24)
    c.rect(5, 8, 27, 24, gradient(8, hexc('4f9be8'), 20, hexc('bfe3ff')))
    c.circle(21.5, 12.5, 2.8, hexc('ffd23a'))
    c.ellipse(10, 26, 12, 8.5, hexc('5aa83a'))
    c.ellipse(23, 27, 11, 7, hexc('3f8a2c'))
    c.clip = None
    return c


def draw_joke():
    W, H = 516, 339
    c = Canvas(W, H, ss=3, background=hexc('ffffff'))
    desk_top = 268
    # Sky, a few clouds, the desk.
    c.rect(0, 0, W, desk_top, gradient(0, hexc('8fd0ff'), desk_top, hexc('e6f6ff')))
    for cx, cy, s in ((70, 100, 1.0), (488, 112, 0.6), (300, 112, 0.6)):
        for dx, dy, r in ((-22, 4, 15), (0, -6, 20), (22, 4, 15), (0, 8, 15)):
            c.circle(cx + dx * s, cy + dy * s, r * s, hexc('ffffff'))
    c.rect(0, desk_top, W, H, gradient(desk_top, hexc('c98d52'), H, hexc('a86d37')))
    c.rect(0, desk_top, W, desk_top + 4, hexc('7a4a1f'))

    # Title with a drop shadow.
    title, px = 'APRIL FOOL!', 7
    tx = (W - text_width(title, px)) // 2
    c.text(tx + 4, 18 + 4, title, px, hexc('7a1d12'))
    c.text(tx, 18, title, px, hexc('f0452b'))

    # The label printer: shadow, body, lid, face.
    c.ellipse(135, desk_top + 6, 110, 9, (60, 35, 10, 90))
    c.round_rect(38, 140, 232, desk_top + 2, 18, hexc('1f4e8a'))
    c.round_rect(43, 145, 227, desk_top - 3, 14, gradient(145, hexc('5fa4ef'), desk_top, hexc('3a7bc8')))
    c.polygon(arc_points(135, 146, 80, 42, 180, 360, 40), hexc('1f4e8a'))
    c.polygon(arc_points(135, 146, 75, 37, 180, 360, 40), hexc('8cc3ff'))
    c.rect(52, 142, 218, 150, hexc('1f4e8a'))
    # Eyes and a grin.
    for ex in (100, 160):
        c.ellipse(ex, 185, 15, 18, hexc('ffffff'))
        c.ellipse(ex + 4, 189, 7, 9, hexc('1b1b1b'))
        c.circle(ex + 6, 185, 2.5, hexc('ffffff'))
    c.polyline(arc_points(130, 212, 30, 20, 20, 160, 20), 5, hexc('1b1b1b'))
    # Ready light and a button.
    c.circle(200, 246, 6, hexc('1f4e8a'))
    c.circle(200, 246, 4.5, hexc('44e05a'))
    c.round_rect(62, 240, 92, 252, 5, hexc('1f4e8a'))
    c.round_rect(64, 242, 90, 250, 3.5, hexc('ffd23a'))

    # The label strip coming out of the side slot, with a fish printed on it.
    c.rect(222, 166, 236, 254, hexc('14355e'))
    strip = round_rect_points(232, 172, 498, 248, 10)
    c.polygon(transform(strip, 1, 3, 4), (40, 60, 90, 70))
    c.polygon(strip, hexc('9aa7b5'))
    c.polygon(round_rect_points(233, 173, 497, 247, 9), hexc('fffdf5'))
    for x in range(300, 500, 70):
        for y in range(175, 246, 8):
            c.rect(x, y, x + 1.5, y + 4, hexc('c3ccd6'))
    fish_x, fish_y = 375, 210
    c.polygon([(fish_x - 62, fish_y), (fish_x - 98, fish_y - 26), (fish_x - 88, fish_y),
               (fish_x - 98, fish_y + 26)], hexc('e0661a'))
    c.polygon([(fish_x - 20, fish_y - 26), (fish_x + 5, fish_y - 45), (fish_x + 22, fish_y - 26)], hexc('e0661a'))
    c.ellipse(fish_x, fish_y, 70, 30, hexc('c4520f'))
    c.ellipse(fish_x, fish_y, 67, 27, gradient(fish_y - 27, hexc('ffb347'), fish_y + 27, hexc('ff8a1f')))
    for sx in (-30, -10, 10):
        c.polyline(arc_points(fish_x + sx, fish_y, 10, 14, -60, 60, 10), 2.2, hexc('e0661a'))
    c.polyline(arc_points(fish_x + 34, fish_y, 6, 22, -70, 70, 10), 2.5, hexc('c4520f'))
    c.circle(fish_x + 48, fish_y - 8, 7, hexc('ffffff'))
    c.circle(fish_x + 50, fish_y - 8, 3.5, hexc('1b1b1b'))
    c.polyline(arc_points(fish_x + 58, fish_y + 8, 6, 4, 100, 200, 8), 2, hexc('1b1b1b'))
    # Bubbles rising from the fish.
    for bx, by, r in ((438, 160, 7.5), (450, 139, 5.5), (443, 121, 4)):
        c.ring(bx, by, r, r - 2, hexc('2f7fd0'))

    # Caption on the desk.
    caption, px = 'FRESH LABEL: ONE FISH', 3
    cx = (W - text_width(caption, px)) // 2
    c.text(cx + 2, 290 + 2, caption, px, hexc('6b3f17'))
    c.text(cx, 290, caption, px, hexc('fff4dc'))
    return c


FLAME_OUTER = bezier_path((0.0, -1.0), [
    ((0.25, -0.55), (0.66, -0.35), (0.62, 0.2)),
    ((0.6, 0.6), (0.3, 0.8), (0.0, 0.8)),
    ((-0.3, 0.8), (-0.6, 0.6), (-0.6, 0.2)),
    ((-0.62, -0.2), (-0.45, -0.4), (-0.32, -0.62)),
    ((-0.28, -0.45), (-0.2, -0.35), (-0.12, -0.32)),
    ((-0.05, -0.55), (-0.05, -0.8), (0.0, -1.0)),
])
FLAME_INNER = bezier_path((0.02, -0.3), [
    ((0.15, -0.08), (0.35, 0.1), (0.33, 0.36)),
    ((0.32, 0.6), (0.15, 0.68), (0.0, 0.68)),
    ((-0.15, 0.68), (-0.33, 0.6), (-0.33, 0.38)),
    ((-0.33, 0.1), (-0.12, -0.08), (0.02, -0.3)),
])


def draw_logo(width, height, name_font_px, small):
    """The logo laid out on a 192 x 94 grid and drawn at width x height: a round flame emblem
    on the left; "VHS" with a red rule and the company name on the right. The small print is
    set in a pixel font at whole pixels so it stays readable at either size."""
    k = width / 192.0
    navy, red = hexc('1d3557'), hexc('d62828')
    c = Canvas(width, height, ss=6, background=hexc('ffffff'))

    # Emblem: navy disc, thin white ring, flame.
    ex, ey, er = 46 * k, 47 * k, 40 * k
    c.circle(ex, ey, er, navy)
    c.ring(ex, ey, er - 3.2 * k, er - 5.2 * k, hexc('ffffff'))
    c.polygon(transform(FLAME_OUTER, 28 * k, ex, ey + 3 * k), hexc('f26b1d'))
    c.polygon(transform(FLAME_INNER, 28 * k, ex, ey + 3 * k), hexc('ffc93c'))

    # "VHS" monogram in block letters: each letter on a 10 x 12 grid.
    col_x0, col_x1 = 94 * k, 188 * k
    top, cap = 9 * k, 34 * k
    u = cap / 12.0
    letter_w, spacing = 10 * u, 2.2 * u
    x = (col_x0 + col_x1 - (3 * letter_w + 2 * spacing)) / 2

    def g(px, py):
        return (x + px * u, top + py * u)

    c.polygon([g(0, 0), g(3.2, 0), g(5, 8.2), g(6.8, 0), g(10, 0), g(6.6, 12), g(3.4, 12)], navy)
    x += letter_w + spacing
    c.polygon([g(0, 0), g(3, 0), g(3, 4.8), g(7, 4.8), g(7, 0), g(10, 0), g(10, 12), g(7, 12), g(7, 7.2),
               g(3, 7.2), g(3, 12), g(0, 12)], navy)
    x += letter_w + spacing
    stroke = 2.9
    upper = arc_points(5, 1.45 + 2.3, 3.55, 2.3, -25, -270, 30)
    lower = arc_points(5, 12 - 1.45 - 2.3, 3.55, 2.3, -90, 155, 30)
    c.polyline([g(*p) for p in upper + lower], stroke * u, navy)

    # Red rule, then the company name.
    rule_y = top + cap + 5 * k
    c.rect(col_x0, rule_y, col_x1, rule_y + max(1.0, 2.5 * k), red)
    y = round(rule_y + 7 * k)
    name_px = name_font_px
    nx = round((col_x0 + col_x1 - text_width('VELTRANE', name_px)) / 2)
    c.text(nx, y, 'VELTRANE', name_px, navy)
    y += 7 * name_px + (3 if small else 4)
    sub_font = FONT_3X5 if small else FONT_5X7
    sx = round((col_x0 + col_x1 - text_width('HEATING SUPPLIES', 1, sub_font)) / 2)
    c.text(sx, y, 'HEATING SUPPLIES', 1, red, sub_font)
    return c


def main():
    outputs = [
        ('printer.png', draw_printer_icon, write_png),
        ('label_sheet.png', draw_label_sheet_icon, write_png),
        ('landscape.png', draw_landscape_icon, write_png),
        ('joke.bmp', draw_joke, write_bmp),
        ('logo_large.bmp', lambda: draw_logo(192, 94, 2, False), write_bmp),
        ('logo_small.bmp', lambda: draw_logo(134, 66, 1, True), write_bmp),
    ]
    for name, draw, write in outputs:
        path = os.path.join(HERE, name)
        write(path, draw().pixels())
        print(f'{name}: {os.path.getsize(path)} bytes')

    # The desktop's icons: the window icon's drawing at the sizes a menu asks for.
    os.makedirs(os.path.join(HERE, 'icons'), exist_ok=True)
    icons = [(f'tagfoundry-{n}.png', n) for n in ICON_SIZES] + [('tagfoundry.svg', None)]
    for name, n in icons:
        path = os.path.join(HERE, 'icons', name)
        if n is None:
            with open(path, 'wb') as f:
                f.write(draw_printer_icon(SvgCanvas(32, 32)).text_bytes())
        else:
            write_png(path, draw_printer_icon(Canvas(n, n, ss=8 if n <= 64 else 4, scale=n / 32)).pixels())
        print(f'icons/{name}: {os.path.getsize(path)} bytes')


ICON_SIZES = (48, 64, 128, 256)


if __name__ == '__main__':
    main()
