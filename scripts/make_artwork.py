#!/usr/bin/env python3
"""Draws Tallyhorn's toolbar and dialog images as 16-colour pixel art and writes them as PNG
files to resources/images/. Run it again after changing a drawing:

    python3 scripts/make_artwork.py

Every image's top-left pixel is the key colour (magenta), which the buttons draw as
transparent, so no picture may use magenta itself. Standard library only.
"""
import os
import struct
import zlib

# The classic 16-colour palette, plus the key colour.
K = (255, 0, 255)  # transparent key
BLACK = (0, 0, 0)
MAROON = (128, 0, 0)
GREEN = (0, 128, 0)
OLIVE = (128, 128, 0)
NAVY = (0, 0, 128)
PURPLE = (128, 0, 128)
TEAL = (0, 128, 128)
GRAY = (128, 128, 128)
SILVER = (192, 192, 192)
RED = (255, 0, 0)
LIME = (0, 255, 0)
YELLOW = (255, 255, 0)
BLUE = (0, 0, 255)
AQUA = (0, 255, 255)
WHITE = (255, 255, 255)


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[K] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        """Filled rectangle, corners inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        self.line(x0, y0, x1, y0, c)
        self.line(x0, y1, x1, y1, c)
        self.line(x0, y0, x0, y1, c)
        self.line(x1, y0, x1, y1, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disc(self, cx, cy, r, c):
        for y in range(self.h):
            for x in range(self.w):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def ring(self, cx, cy, r, c, width=1.0):
        for y in range(self.h):
            for x in range(self.w):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if r - width < d <= r + 0.35:
                    self.set(x, y, c)

    def pattern(self, x0, y0, rows, colours):
        """Pixel rows as strings; each character maps through `colours`, '.' is left alone."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch != '.':
                    self.set(x0 + dx, y0 + dy, colours[ch])

    def png(self, path):
        raw = b''.join(b'\x00' + bytes(v for p in row for v in p) for row in self.px)
        def chunk(kind, data):
            body = kind + data
            return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))
        data = (b'\x89PNG\r\n\x1a\n' +
                chunk(b'IHDR', struct.pack('>IIBBBBB', self.w, self.h, 8, 2, 0, 0, 0)) +
                chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))
        with open(path, 'wb') as f:
            f.write(data)


# --- Shared pieces -----------------------------------------------------------------------

def page(c, x0, y0, x1, y1, fold=3):
    """A white sheet with a folded top-right corner and ruled lines."""
    c.fill(x0, y0, x1, y1, WHITE)
    c.frame(x0, y0, x1, y1, BLACK)
    for i in range(fold):
        for j in range(fold - i):
            c.set(x1 - i, y0 + j, K)
    c.line(x1 - fold, y0, x1 - fold, y0 + fold, BLACK)
    c.line(x1 - fold, y0 + fold, x1, y0 + fold, BLACK)
    c.line(x1 - fold, y0, x1, y0 + fold, BLACK)


def printer(c, x0, y0, w, h):
    """A printer seen from the front, paper coming out at the top."""
    paper_top, body_top = y0, y0 + h * 2 // 5
    c.fill(x0 + w // 4, paper_top, x0 + w - 1 - w // 4, body_top, WHITE)
    c.frame(x0 + w // 4, paper_top, x0 + w - 1 - w // 4, body_top, BLACK)
    for y in range(paper_top + 2, body_top - 1, 2):
        c.line(x0 + w // 4 + 2, y, x0 + w - 3 - w // 4, y, GRAY)
    c.fill(x0, body_top, x0 + w - 1, y0 + h - 2, SILVER)
    c.frame(x0, body_top, x0 + w - 1, y0 + h - 2, BLACK)
    c.line(x0 + 1, body_top + 1, x0 + w - 2, body_top + 1, WHITE)
    c.fill(x0 + 1, y0 + h - 1, x0 + w - 1, y0 + h - 1, GRAY)
    c.set(x0 + w - 4, body_top + 3, LIME)
    slot = y0 + h - 5
    c.line(x0 + 2, slot, x0 + w - 3, slot, BLACK)
    c.line(x0 + 3, slot + 1, x0 + w - 4, slot + 1, GRAY)


def magnifier(c, cx, cy, r, sign=None):
    """A lens with a handle to the bottom right; sign '+', '-' or '1' inside."""
    c.disc(cx, cy, r, AQUA)
    c.disc(cx - r / 3, cy - r / 3, r / 3, WHITE)
    c.ring(cx, cy, r, BLACK, 1.2)
    hx, hy = int(cx + r * 0.7), int(cy + r * 0.7)
    for i in range(4):
        c.set(hx + i, hy + i, MAROON)
        c.set(hx + i + 1, hy + i, MAROON)
        c.set(hx + i, hy + i + 1, BLACK)
    icx, icy = int(round(cx)), int(round(cy))
    if sign in ('+', '-'):
        c.line(icx - 2, icy, icx + 2, icy, NAVY)
    if sign == '+':
        c.line(icx, icy - 2, icx, icy + 2, NAVY)
    if sign == '1':
        c.pattern(icx - 2, icy - 2, ['.X..X', 'XX.XX', '.X..X', '.X..X', 'XXXXX'], {'X': NAVY})


def red_cross(c, x0, y0, size):
    for i in range(size):
        for t in (-1, 0, 1):
            c.set(x0 + i + t, y0 + i, RED)
            c.set(x0 + size - 1 - i + t, y0 + i, RED)
        c.set(x0 + i, y0 + i + 1, MAROON)
        c.set(x0 + size - 1 - i, y0 + i + 1, MAROON)


def door(c, x0, y0, w, h):
    """An open door in its frame with an arrow leaving through it."""
    c.fill(x0, y0, x0 + w - 1, y0 + h - 1, GRAY)
    c.frame(x0, y0, x0 + w - 1, y0 + h - 1, BLACK)
    c.fill(x0 + 1, y0 + 1, x0 + w - 2, y0 + h - 2, BLACK)
    # The door leaf, swung open toward the viewer.
    c.fill(x0 + 1, y0 + 2, x0 + w // 2, y0 + h - 1, OLIVE)
    c.line(x0 + w // 2, y0 + 1, x0 + w // 2, y0 + h - 1, BLACK)
    c.set(x0 + w // 2 - 2, y0 + h // 2, YELLOW)


def arrow_right(c, x0, y0, length, colour, outline=BLACK):
    """A fat arrow pointing right; (x0, y0) is the middle of its tail."""
    head = 4
    c.fill(x0, y0 - 1, x0 + length - head, y0 + 1, colour)
    for i in range(head):
        c.line(x0 + length - head + i, y0 - (head - 1 - i), x0 + length - head + i,
               y0 + (head - 1 - i), colour)
    c.line(x0, y0 - 2, x0 + length - head, y0 - 2, outline)
    c.line(x0, y0 + 2, x0 + length - head, y0 + 2, outline)
    c.line(x0 + length - head, y0 - head, x0 + length, y0, outline)
    c.line(x0 + length - head, y0 + head, x0 + length, y0, outline)
    c.line(x0, y0 - 2, x0, y0 + 2, outline)


def globe(c, cx, cy, r):
    c.disc(cx, cy, r, BLUE)
    land = [(-3, -4), (-2, -4), (-4, -3), (-3, -3), (-2, -3), (-1, -3), (-4, -2), (-3, -2),
            (-2, -2), (-3, -1), (-2, -1), (-2, 0), (-1, 0), (-1, 1), (2, -2), (3, -2), (1, -1),
            (2, -1), (3, -1), (4, -1), (2, 0), (3, 0), (2, 1), (3, 1), (2, 2), (1, 3), (-2, 3),
            (-1, 3), (-1, 4)]
    for dx, dy in land:
        if dx * dx + dy * dy <= r * r:
            c.set(cx + dx, cy + dy, LIME)
    c.ring(cx, cy, r + 0.5, NAVY, 1.0)


def check_mark(c, x0, y0, colour=GREEN, shade=LIME):
    rows = ['..........X',
            '.........XX',
            '........XX.',
            'X......XX..',
            'XX....XX...',
            '.XX..XX....',
            '..XXXX.....',
            '...XX......']
    c.pattern(x0, y0, rows, {'X': colour})
    c.pattern(x0, y0 - 1, [r.replace('X', 'S') for r in rows[:1]], {'S': shade})


# --- The images --------------------------------------------------------------------------

def print_preview():
    c = Canvas(16, 16)
    page(c, 1, 0, 11, 14)
    for y in range(4, 12, 2):
        c.line(3, y, 9, y, GRAY)
    magnifier(c, 9.5, 9.5, 3.5)
    return c


def printer_setup():
    c = Canvas(16, 16)
    printer(c, 0, 1, 14, 12)
    # A small check box beside the printer: the settings.
    c.fill(9, 10, 15, 15, WHITE)
    c.frame(9, 10, 15, 15, BLACK)
    c.pattern(10, 11, ['....X', '...X.', 'X.X..', '.X...'], {'X': RED})
    return c


def reset():
    import math
    c = Canvas(16, 16)
    cx, cy = 7.5, 8.5
    for y in range(16):
        for x in range(16):
            d = math.hypot(x - cx, y - cy)
            angle = math.degrees(math.atan2(cy - y, x - cx))
            if 4.3 < d <= 6.6 and not 5 < angle < 80:
                c.set(x, y, GREEN)
    # The arrow head at the top end, pointing on round the circle.
    c.pattern(8, 0, ['X....',
                     'XX...',
                     'XXX..',
                     'XXXX.',
                     'XXX..',
                     'XX...',
                     'X....'], {'X': GREEN})
    return c


def disclaimer():
    c = Canvas(16, 16)
    # A yellow warning triangle with an exclamation mark.
    for y in range(1, 15):
        half = (y - 1) * 7 // 13
        c.line(7 - half, y, 8 + half, y, YELLOW)
        c.set(7 - half, y, BLACK)
        c.set(8 + half, y, BLACK)
    c.line(1, 14, 14, 14, BLACK)
    c.fill(7, 5, 8, 10, BLACK)
    c.fill(7, 12, 8, 12, BLACK)
    return c


def update():
    c = Canvas(16, 16)
    globe(c, 7, 7, 6)
    # A green arrow coming down onto the globe.
    c.pattern(9, 8, ['.XXX..',
                     '.XGX..',
                     '.XGX..',
                     'XXGXX.',
                     'XGGGX.',
                     '.XGX..',
                     '..X...'], {'X': BLACK, 'G': LIME})
    return c


def help_icon():
    c = Canvas(16, 16)
    c.disc(7.5, 7.5, 7, NAVY)
    c.disc(7.5, 7.5, 6, BLUE)
    c.pattern(5, 3, ['.XXXX.',
                     'XX..XX',
                     '....XX',
                     '...XX.',
                     '..XX..',
                     '..XX..',
                     '......',
                     '..XX..',
                     '..XX..'], {'X': WHITE})
    return c


def exit_icon():
    c = Canvas(16, 16)
    door(c, 1, 1, 9, 14)
    arrow_right(c, 7, 8, 8, RED)
    return c


def calculate():
    c = Canvas(16, 16)
    c.fill(2, 0, 13, 15, SILVER)
    c.frame(2, 0, 13, 15, BLACK)
    c.line(3, 1, 12, 1, WHITE)
    c.fill(4, 2, 11, 5, TEAL)
    c.frame(4, 2, 11, 5, BLACK)
    c.pattern(6, 3, ['X.XX', 'X.XX'], {'X': LIME})
    for row in range(3):
        for col in range(3):
            x, y = 4 + col * 3, 7 + row * 3
            colour = RED if (row, col) == (2, 2) else WHITE
            c.fill(x, y, x + 1, y + 1, colour)
            c.set(x + 1, y + 1, GRAY)
    return c


def ok():
    c = Canvas(16, 16)
    c.pattern(1, 3, ['............XX',
                     '...........XXX',
                     '..........XXX.',
                     '.........XXX..',
                     'XX......XXX...',
                     'XXX....XXX....',
                     '.XXX..XXX.....',
                     '..XXXXXX......',
                     '...XXXX.......',
                     '....XX........'], {'X': GREEN})
    return c


def prev_page():
    c = Canvas(15, 12)
    c.pattern(0, 0, ['...............',
                     '.....X.........',
                     '....XX.........',
                     '...XAXXXXXXXX..',
                     '..XAABBBBBBBX..',
                     '.XAABBBBBBBBX..',
                     '.XBBBBBBBBBBX..',
                     '..XBBBBBBBBBX..',
                     '...XBXXXXXXXX..',
                     '....XX.........',
                     '.....X.........',
                     '...............'], {'X': BLACK, 'B': BLUE, 'A': AQUA})
    return c


def next_page():
    c = prev_page()
    c.px = [list(reversed(row)) for row in c.px]
    return c


def zoom(sign):
    c = Canvas(16, 17)
    page(c, 1, 1, 11, 14)
    for y in range(4, 12, 2):
        c.line(3, y, 8, y, GRAY)
    magnifier(c, 9.5, 9.5, 4.2, sign)
    return c


def print_big():
    c = Canvas(20, 20)
    printer(c, 1, 1, 18, 17)
    return c


def close_door():
    c = Canvas(17, 17)
    door(c, 1, 1, 10, 15)
    arrow_right(c, 7, 9, 9, RED)
    return c


def check_update():
    c = Canvas(16, 16)
    globe(c, 6, 6, 5)
    magnifier(c, 10, 10, 3.2)
    return c


def retrieve_update():
    c = Canvas(15, 14)
    # A tray with a green arrow pointing into it.
    c.fill(0, 9, 14, 13, SILVER)
    c.frame(0, 9, 14, 13, BLACK)
    c.fill(3, 9, 11, 10, GRAY)
    c.pattern(4, 0, ['..XXX..',
                     '..XGX..',
                     '..XGX..',
                     '..XGX..',
                     'XXXGXXX',
                     '.XGGGX.',
                     '..XGX..',
                     '...X...'], {'X': BLACK, 'G': LIME})
    return c


def close_cross():
    c = Canvas(17, 17)
    red_cross(c, 2, 2, 12)
    return c


def update_centre():
    """The update centre's picture (144 x 155): a globe sending a release down to a computer."""
    import math
    c = Canvas(144, 155)
    # The globe with its meridians and parallels.
    cx, cy, r = 72, 48, 40
    c.disc(cx, cy, r, BLUE)
    for y in range(c.h):
        for x in range(c.w):
            dx, dy = x - cx, y - cy
            if dx * dx + dy * dy > r * r:
                continue
            # Continents: a few soft blobs.
            for bx, by, br in ((-16, -14, 13), (-6, 2, 9), (18, -6, 11), (14, 16, 8),
                               (-20, 20, 6)):
                if (dx - bx) ** 2 + ((dy - by) * 1.2) ** 2 <= br * br:
                    c.set(x, y, GREEN if (x + y) % 5 else LIME)
    for k in (-2, -1, 1, 2):
        w = r * math.cos(math.asin(k / 3))
        c.line(int(cx - w), cy + k * r // 3, int(cx + w), cy + k * r // 3, AQUA)
    c.line(cx - r, cy, cx + r, cy, AQUA)
    for a in (0.35, 0.7):
        for y in range(cy - r, cy + r + 1):
            dy = y - cy
            half = (r * r - dy * dy) ** 0.5
            for s in (-1, 1):
                c.set(int(round(cx + s * a * half)), y, AQUA)
    c.line(cx, cy - r, cx, cy + r, AQUA)
    c.ring(cx, cy, r, NAVY, 2.0)
    c.disc(cx - 16, cy - 18, 5, WHITE)
    c.disc(cx - 16, cy - 18, 3, AQUA)

    # A green arrow down from the globe.
    for y in range(86, 104):
        c.line(64, y, 80, y, LIME)
        c.set(64, y, BLACK)
        c.set(80, y, BLACK)
    for i in range(14):
        c.line(56 + i, 104 + i, 88 - i, 104 + i, LIME)
        c.set(56 + i, 104 + i, BLACK)
        c.set(88 - i, 104 + i, BLACK)
    c.line(56, 104, 64, 104, BLACK)
    c.line(80, 104, 88, 104, BLACK)

    # The computer receiving it: a monitor on a stand.
    c.fill(20, 118, 124, 146, SILVER)
    c.frame(20, 118, 124, 146, BLACK)
    c.line(21, 119, 123, 119, WHITE)
    c.line(21, 119, 21, 145, WHITE)
    c.fill(26, 122, 118, 141, NAVY)
    c.frame(26, 122, 118, 141, GRAY)
    for i, x in enumerate(range(30, 114, 6)):
        h = 4 + (i * 7) % 11
        c.fill(x, 139 - h, x + 3, 139, YELLOW if i % 3 else AQUA)
    c.set(114, 144, LIME)
    c.fill(60, 147, 84, 150, GRAY)
    c.fill(44, 151, 100, 154, SILVER)
    c.frame(44, 151, 100, 154, BLACK)
    return c


# --- The application icon ------------------------------------------------------------------
# The window icon and the hicolor theme's PNGs (resources/desktop/icons/tallyhorn-N.png): the
# scalable icon's shapes (a dark blue tile, four rising bars on a base line, a percent sign),
# hand-placed on whole pixels at 16 and 24 so the small sizes stay crisp, and sampled 4 x 4 per
# pixel from the scalable icon's shapes at 32 and above.

ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)
TILE_TOP, TILE_BOTTOM = (0x1d, 0x4f, 0x86), (0x0f, 0x2c, 0x4d)
BAR_TOP, BAR_BOTTOM = (0xff, 0xd3, 0x6b), (0xf0, 0xa0, 0x30)
ICON_WHITE = (0xff, 0xff, 0xff)

ICON_16 = [
    '.oooooooooooooo.',
    'onnnnnnnnnnnnnno',
    'onwwnnwnnnnnnnno',
    'onwwnwnnnnnnnnno',
    'onnnwnnnnnnYYnno',
    'onnwnwwnnnnyynno',
    'onwnnwwnnnnyynno',
    'onnnnnnnYYnyynno',
    'onnnnnnnyynyynno',
    'onnnnYYnyynyynno',
    'onnnnyynyynyynno',
    'onYYnyynyynyynno',
    'onyynyynyynyynno',
    'onwwwwwwwwwwwwno',
    'onnnnnnnnnnnnnno',
    '.oooooooooooooo.',
]

ICON_24 = [
    '..oooooooooooooooooooo..',
    '.onnnnnnnnnnnnnnnnnnnno.',
    'onnnnnnnnnnnnnnnnnnnnnno',
    'onnwwwnnnnwnnnnnnnnnnnno',
    'onnwnwnnnwnnnnnnnnnnnnno',
    'onnwwwnnwnnnnnnnnnnnnnno',
    'onnnnnnwnnnnnnnnnnYYYnno',
    'onnnnnwnnnnnnnnnnnyyynno',
    'onnnnwnnwwwnnnnnnnyyynno',
    'onnnwnnnwnwnnnnnnnyyynno',
    'onnwnnnnwwwnnnYYYnyyynno',
    'onnnnnnnnnnnnnyyynyyynno',
    'onnnnnnnnnnnnnyyynyyynno',
    'onnnnnnnnnYYYnyyynyyynno',
    'onnnnnnnnnyyynyyynyyynno',
    'onnnnnnnnnyyynyyynyyynno',
    'onnnnnYYYnyyynyyynyyynno',
    'onnnnnyyynyyynyyynyyynno',
    'onnnnnyyynyyynyyynyyynno',
    'onnnnnyyynyyynyyynyyynno',
    'onnwwwwwwwwwwwwwwwwwwnno',
    'onnnnnnnnnnnnnnnnnnnnnno',
    '.onnnnnnnnnnnnnnnnnnnno.',
    '..oooooooooooooooooooo..',
]


def icon_png(path, rows):
    """Writes rows of RGBA tuples as an 8-bit RGBA PNG."""
    raw = b''.join(b'\x00' + bytes(v for p in row for v in p) for row in rows)
    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))
    h, w = len(rows), len(rows[0])
    data = (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))
    with open(path, 'wb') as f:
        f.write(data)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def icon_from_pattern(rows):
    size = len(rows)
    out = []
    for y, row in enumerate(rows):
        assert len(row) == size, 'icon rows must be square'
        t = y / (size - 1)
        colours = {'.': (0, 0, 0, 0), 'o': TILE_BOTTOM + (255,), 'n': mix(TILE_TOP, TILE_BOTTOM, t) + (255,),
                   'w': ICON_WHITE + (255,), 'y': BAR_BOTTOM + (255,), 'Y': BAR_TOP + (255,)}
        out.append([colours[ch] for ch in row])
    return out


def icon_colour_at(x, y):
    """The scalable icon's colour at (x, y) on its 128-unit square, or None outside the tile."""
    def in_round_rect(x0, y0, x1, y1, r):
        cx, cy = min(max(x, x0 + r), x1 - r), min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r and x0 <= x <= x1 and y0 <= y <= y1

    def near_segment(ax, ay, bx, by, width):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        return (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= (width / 2) ** 2

    if not in_round_rect(6, 6, 122, 122, 18):
        return None
    colour = mix(TILE_TOP, TILE_BOTTOM, (y - 6) / 116)
    for bx, top in ((24, 84), (44, 72), (64, 58), (84, 40)):
        if bx <= x <= bx + 14 and top <= y <= 106:
            colour = mix(BAR_TOP, BAR_BOTTOM, (y - top) / (106 - top))
    if near_segment(18, 107, 110, 107, 3):
        colour = ICON_WHITE
    for cx, cy in ((34, 33), (58, 49)):
        if abs(((x - cx) ** 2 + (y - cy) ** 2) ** 0.5 - 8) <= 2.5:
            colour = ICON_WHITE
    if near_segment(30, 62, 62, 20, 5):
        colour = ICON_WHITE
    return colour


def icon_sampled(size, samples=4):
    scale = 128 / size
    out = []
    for py in range(size):
        row = []
        for px in range(size):
            total, covered = [0, 0, 0], 0
            for sy in range(samples):
                for sx in range(samples):
                    c = icon_colour_at((px + (sx + 0.5) / samples) * scale,
                                       (py + (sy + 0.5) / samples) * scale)
                    if c is not None:
                        covered += 1
                        for i in range(3):
                            total[i] += c[i]
            if covered:
                row.append(tuple(round(v / covered) for v in total) +
                           (round(255 * covered / samples ** 2),))
            else:
                row.append((0, 0, 0, 0))
        out.append(row)
    return out


def write_icons(root):
    out = os.path.join(root, 'resources', 'desktop', 'icons')
    os.makedirs(out, exist_ok=True)
    for size in ICON_SIZES:
        rows = {16: ICON_16, 24: ICON_24}.get(size)
        pixels = icon_from_pattern(rows) if rows else icon_sampled(size)
        icon_png(os.path.join(out, 'tallyhorn-%d.png' % size), pixels)


IMAGES = {
    # toolbar of the calculator window, 25 x 24 buttons
    'print_preview': print_preview,
    'printer_setup': printer_setup,
    'reset': reset,
    'disclaimer': disclaimer,
    'update': update,
    'help': help_icon,
    'exit': exit_icon,
    'calculate': calculate,
    # dialogs
    'ok': ok,
    # print preview window
    'preview_prev': prev_page,
    'preview_next': next_page,
    'preview_zoom_out': lambda: zoom('-'),
    'preview_zoom_100': lambda: zoom('1'),
    'preview_zoom_in': lambda: zoom('+'),
    'preview_print': print_big,
    'preview_close': close_door,
    # update centre
    'update_check': check_update,
    'update_retrieve': retrieve_update,
    'update_close': close_cross,
    'update_centre': update_centre,
}


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = os.path.join(root, 'resources', 'images')
    os.makedirs(out, exist_ok=True)
    for name, draw in IMAGES.items():
        canvas = draw()
        assert canvas.px[0][0] == K, name + ': the top-left pixel must be the key colour'
        canvas.png(os.path.join(out, name + '.png'))
    qrc = os.path.join(root, 'controls', 'controls.qrc')
    with open(qrc, 'w') as f:
        f.write('<!DOCTYPE RCC>\n<RCC version="1.0">\n<qresource prefix="/images">\n')
        for name in IMAGES:
            f.write('  <file alias="%s.png">../resources/images/%s.png</file>\n' % (name, name))
        f.write('</qresource>\n</RCC>\n')
    write_icons(root)


if __name__ == '__main__':
    main()
