#!/usr/bin/env python3
"""Draws Verselume's icon and bitmaps and writes them beside this script.

    python3 make_images.py                  # writes the .ico and .bmp files
    python3 make_images.py --preview DIR    # also writes PNG previews to DIR

Every image uses the standard 16-colour Windows palette, so it stays crisp
on any display and the light grey (192,192,192) of the bitmaps is the exact
palette entry that LR_LOADMAP3DCOLORS replaces with the button-face colour.
The toolbar's images and the typefaces dialog's arrows are also drawn at
125, 150, 200 and 300 % of their size (toolbar125.bmp, arrowleft150.bmp, ...)
for dialogs on scaled displays: from the outlines below, not by stretching
the pixels, so each size has sharp edges of its own.
The output depends on nothing but this file: running it again gives the
same bytes.
"""

import argparse
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# The 16-colour Windows palette, in its usual order (index = colour).
PALETTE = [
    (0, 0, 0),        # 0  black
    (128, 0, 0),      # 1  dark red
    (0, 128, 0),      # 2  dark green
    (128, 128, 0),    # 3  olive
    (0, 0, 128),      # 4  navy
    (128, 0, 128),    # 5  purple
    (0, 128, 128),    # 6  teal
    (192, 192, 192),  # 7  light grey
    (128, 128, 128),  # 8  dark grey
    (255, 0, 0),      # 9  red
    (0, 255, 0),      # 10 green
    (255, 255, 0),    # 11 yellow
    (0, 0, 255),      # 12 blue
    (255, 0, 255),    # 13 magenta
    (0, 255, 255),    # 14 cyan
    (255, 255, 255),  # 15 white
]
BLACK, DKRED, NAVY, TEAL, LTGREY, DKGREY, RED, WHITE = 0, 1, 4, 6, 7, 8, 9, 15

# Letters used by the pixel maps below.
KEY = {
    '.': LTGREY,   # background, becomes the button face when loaded
    '#': BLACK,
    't': TEAL,
    'w': WHITE,
}

TRANSPARENT = None  # icon pixel that shows the desktop through the mask


class Image:
    """A grid of palette indices (or TRANSPARENT), row 0 at the top."""

    def __init__(self, width, height, fill):
        self.width = width
        self.height = height
        self.px = [[fill] * width for _ in range(height)]

    @classmethod
    def from_map(cls, rows):
        img = cls(len(rows[0]), len(rows), LTGREY)
        for y, row in enumerate(rows):
            if len(row) != img.width:
                raise ValueError('ragged pixel map at row %d' % y)
            for x, ch in enumerate(row):
                img.px[y][x] = KEY[ch]
        return img

    def get(self, x, y):
        if 0 <= x < self.width and 0 <= y < self.height:
            return self.px[y][x]
        return TRANSPARENT

    def set(self, x, y, c):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = c

    def paste(self, other, ox, oy):
        for y in range(other.height):
            for x in range(other.width):
                self.set(ox + x, oy + y, other.px[y][x])


# ---------------------------------------------------------------------------
# Toolbar and arrow bitmaps: small enough to draw pixel by pixel.

TOOLBAR_NEW = [
    '................',
    '...#######......',
    '...#wwwww##.....',
    '...#wwwww#w#....',
    '...#wwwww#ww#...',
    '...#wwwww####...',
    '...#wwwwwwwww#..',
    '...#wwwwwwwww#..',
    '...#wwwwwwwww#..',
    '...#wwwwwwwww#..',
    '...#wwwwwwwww#..',
    '...#wwwwwwwww#..',
    '...#wwwwwwwww#..',
    '...###########..',
    '................',
]

TOOLBAR_UP = [
    '................',
    '.......#........',
    '......#t#.......',
    '.....#ttt#......',
    '....#ttttt#.....',
    '...#ttttttt#....',
    '..#ttttttttt#...',
    '.#####ttt#####..',
    '.....#ttt#......',
    '.....#ttt#......',
    '.....#ttt#......',
    '.....#ttt#......',
    '.....#ttt#......',
    '.....#####......',
    '................',
]

TOOLBAR_DELETE = [
    '................',
    '................',
    '...##......##...',
    '...###....###...',
    '....###..###....',
    '.....######.....',
    '......####......',
    '......####......',
    '.....######.....',
    '....###..###....',
    '...###....###...',
    '...##......##...',
    '................',
    '................',
    '................',
]

ARROW_RIGHT = [
    '....#.....',
    '....##....',
    '....#t#...',
    '#####tt#..',
    '#ttttttt#.',
    '#tttttttt#',
    '#ttttttt#.',
    '#####tt#..',
    '....#t#...',
    '....##....',
    '....#.....',
]


# The same images as outlines, in the pixel units of the 100 % maps (pixel
# (x, y) covers x..x+1, y..y+1), for the larger sizes. Each shape is a
# polygon, its fill colour and whether it has a black outline.

OUTLINE_NEW = [
    ([(3, 1), (10, 1), (14, 5), (14, 14), (3, 14)], WHITE, True),
    ([(9, 1), (9, 6), (14, 6)], WHITE, True),   # the folded corner
]
OUTLINE_UP = [
    ([(7.5, 1), (14, 7.5), (14, 8), (10, 8), (10, 14), (5, 14), (5, 8),
      (1, 8), (1, 7.5)], TEAL, True),
]
OUTLINE_DELETE = [
    ([(3, 2), (5, 2), (13, 10), (13, 12), (11, 12), (3, 4)], BLACK, False),
    ([(13, 2), (11, 2), (3, 10), (3, 12), (5, 12), (13, 4)], BLACK, False),
]
OUTLINE_ARROW_RIGHT = [
    ([(4, 0), (10, 5.5), (4, 11), (4, 8), (0, 8), (0, 3), (4, 3)], TEAL,
     True),
]
SCALES = (125, 150, 200, 300)


def scaled_size(n, percent):
    return (n * percent + 50) // 100


def inside(polygon, x, y):
    """Even-odd rule: whether the point lies inside the polygon."""
    result = False
    for (x0, y0), (x1, y1) in zip(polygon, polygon[1:] + polygon[:1]):
        if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
            result = not result
    return result


def drawn(shapes, width, height, percent):
    """The shapes on light grey at percent of a width x height image: a pixel
    takes a shape's colour when its centre lies inside it; an outlined shape
    inks the pixels within the line's width of its edge."""
    img = Image(scaled_size(width, percent), scaled_size(height, percent),
                LTGREY)
    kx, ky = img.width / width, img.height / height
    line = max(1, percent // 100)
    for polygon, colour, outlined in shapes:
        cover = [[inside(polygon, (x + 0.5) / kx, (y + 0.5) / ky)
                  for x in range(img.width)] for y in range(img.height)]
        core = cover
        for _ in range(line if outlined else 0):
            core = [[core[y][x] and all(
                0 <= nx < img.width and 0 <= ny < img.height and core[ny][nx]
                for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))
                for x in range(img.width)] for y in range(img.height)]
        for y in range(img.height):
            for x in range(img.width):
                if cover[y][x]:
                    img.set(x, y, colour if core[y][x] else BLACK)
    return img


def flipped_shapes(shapes, width, height, horizontally):
    return [([(width - x, y) if horizontally else (x, height - y)
              for x, y in polygon], colour, outlined)
            for polygon, colour, outlined in shapes]


def scaled_toolbar(percent):
    cells = [OUTLINE_NEW, OUTLINE_UP,
             flipped_shapes(OUTLINE_UP, 16, 15, False), OUTLINE_DELETE]
    images = [drawn(shapes, 16, 15, percent) for shapes in cells]
    strip = Image(4 * images[0].width, images[0].height, LTGREY)
    for i, img in enumerate(images):
        strip.paste(img, img.width * i, 0)
    return strip


def scaled_arrows(percent):
    return (drawn(flipped_shapes(OUTLINE_ARROW_RIGHT, 10, 11, True), 10, 11,
                  percent),
            drawn(OUTLINE_ARROW_RIGHT, 10, 11, percent))


def flipped_vertically(rows):
    return list(reversed(rows))


def flipped_horizontally(rows):
    return [row[::-1] for row in rows]


def toolbar_image():
    strip = Image(64, 15, LTGREY)
    cells = [TOOLBAR_NEW, TOOLBAR_UP, flipped_vertically(TOOLBAR_UP),
             TOOLBAR_DELETE]
    for i, rows in enumerate(cells):
        strip.paste(Image.from_map(rows), 16 * i, 0)
    return strip


def arrow_images():
    return (Image.from_map(flipped_horizontally(ARROW_RIGHT)),
            Image.from_map(ARROW_RIGHT))


# ---------------------------------------------------------------------------
# The icon: an open book seen slightly from above, with a red ribbon.
#
# The book is drawn column by column.  Two profiles, listed from the spine
# outwards, say how many rows the top and the foot of the pages sink (or,
# when negative, rise) in each column: the pages dip into the gutter and
# arch up a little across their width, and the foot bends more than the
# top, which gives the perspective.  The cover shows as a navy rim.  Each
# size is tuned by hand so that every edge lands on whole pixels.

BOOK = {
    32: dict(spine=15, top=3, height=14, stack=2, cover_side=2,
             cover_below=2, shade=1, line_gap=2, line_first=3, margin=2,
             ribbon=3, ribbon_above=4, ribbon_below=4, notch=2,
             top_profile=[4, 3, 2, 1, 1, 0, 0, 0, -1, -1, -1, -1, -1, 0],
             foot_profile=[5, 4, 3, 2, 2, 1, 1, 1, 0, 0, 0, 0, 0, 0]),
    48: dict(spine=23, top=5, height=22, stack=3, cover_side=2,
             cover_below=3, shade=2, line_gap=3, line_first=4, margin=3,
             ribbon=5, ribbon_above=6, ribbon_below=5, notch=3,
             top_profile=[5, 4, 3, 2, 1, 1, 0, 0, 0, -1, -1, -1, -1, -2, -2,
                          -2, -2, -2, -2, -2, -1, 0],
             foot_profile=[7, 6, 5, 4, 3, 3, 2, 2, 1, 1, 1, 0, 0, 0, -1, -1,
                           -1, -1, -1, -1, 0, 0]),
}


def book_icon(size):
    p = BOOK[size]
    img = Image(size, size, TRANSPARENT)
    spine = p['spine']
    half = len(p['top_profile']) - 1
    if len(p['foot_profile']) != half + 1:
        raise ValueError('profiles of the %d-pixel book differ' % size)

    def top(x):
        return p['top'] + p['top_profile'][min(abs(x - spine), half)]

    def bottom(x):
        return (p['top'] + p['height']
                + p['foot_profile'][min(abs(x - spine), half)])

    left, right = spine - half, spine + half

    def clamp(x):
        return max(left, min(right, x))

    # Cover: shows as a navy rim beside and below the pages.
    for x in range(left - p['cover_side'], right + p['cover_side'] + 1):
        for y in range(top(clamp(x)) + 2,
                       bottom(clamp(x)) + p['stack'] + p['cover_below'] + 1):
            img.set(x, y, NAVY)
    outline(img, NAVY, BLACK)

    # Pages, with the edges of the page block under them.
    for x in range(left, right + 1):
        for y in range(top(x), bottom(x) + 1):
            img.set(x, y, WHITE)
        for k in range(1, p['stack'] + 1):
            img.set(x, bottom(x) + k, LTGREY if k % 2 == 0 else WHITE)
    outline_region(img, left, right, top,
                   lambda x: bottom(x) + p['stack'])
    # A dark line where the pages end and the page block begins.
    for x in range(left, right + 1):
        img.set(x, bottom(x), BLACK)

    # Gutter: the spine and a little shadow either side of it.
    for y in range(top(spine), bottom(spine) + p['stack'] + 1):
        img.set(spine, y, BLACK)
    for d in range(1, p['shade'] + 1):
        for x in (spine - d, spine + d):
            for y in range(top(x) + 1, bottom(x)):
                img.set(x, y, LTGREY)

    # Lines of text following the bend, set flush with the outer margin;
    # every fourth line ends a paragraph and is shorter.
    inner = p['shade'] + 2
    outer = half - p['margin']
    for n, off in enumerate(range(p['line_first'], p['height'] - 1,
                                  p['line_gap'])):
        length = outer - inner
        if n % 4 == 3:
            length //= 2
        for d in range(outer - length, outer + 1):
            for x in (spine - d, spine + outer - d + inner):
                if top(x) + off < bottom(x) - 1:
                    img.set(x, top(x) + off, DKGREY)

    # Ribbon: lies in the gutter and hangs over the foot of the book,
    # ending in a notch.
    w = p['ribbon']
    x0 = spine - w // 2
    y0 = bottom(spine) - p['ribbon_above']
    y1 = bottom(x0 - 1) + p['stack'] + p['cover_below'] + p['ribbon_below']
    for y in range(y0, y1 + 1):
        img.set(x0 - 1, y, BLACK)
        img.set(x0 + w, y, BLACK)
        for x in range(x0, x0 + w):
            img.set(x, y, DKRED if x == x0 + w - 1 else RED)
    for x in range(x0 - 1, x0 + w + 1):
        img.set(x, y0 - 1, BLACK)
    mid = x0 + w // 2
    for k in range(p['notch']):
        y = y1 - k
        gap = p['notch'] - 1 - k
        for x in range(mid - gap, mid + gap + 1):
            img.set(x, y, TRANSPARENT)
        img.set(mid - gap - 1, y, BLACK)
        img.set(mid + gap + 1, y, BLACK)
    return centred_vertically(img)


def centred_vertically(img):
    used = [y for y in range(img.height)
            if any(c is not TRANSPARENT for c in img.px[y])]
    shift = (img.height - 1 - used[-1] - used[0]) // 2
    out = Image(img.width, img.height, TRANSPARENT)
    out.paste(img, 0, shift)
    return out


def outline(img, colour, ink):
    """Inks every pixel of `colour` that touches a pixel of another colour
    or the transparent background (4-neighbourhood)."""
    marks = []
    for y in range(img.height):
        for x in range(img.width):
            if img.px[y][x] != colour:
                continue
            for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
                if img.get(nx, ny) != colour:
                    marks.append((x, y))
                    break
    for x, y in marks:
        img.set(x, y, ink)


def outline_region(img, x0, x1, top, bottom):
    """Inks the border of the region between two per-column curves."""
    for x in range(x0, x1 + 1):
        t, b = top(x), bottom(x)
        img.set(x, t, BLACK)
        img.set(x, b, BLACK)
        # Close steps between neighbouring columns so the edge stays whole.
        for nx in (x - 1, x + 1):
            if x0 <= nx <= x1:
                for y in range(t, top(nx)):
                    img.set(x, y, BLACK)
                for y in range(bottom(nx) + 1, b + 1):
                    img.set(x, y, BLACK)
        if x in (x0, x1):
            for y in range(t, b + 1):
                img.set(x, y, BLACK)


# ---------------------------------------------------------------------------
# File formats.


def palette_bytes():
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)


def rows_4bpp(img):
    """Bottom-up rows of 4-bit pixels, each padded to 4 bytes."""
    stride = ((img.width * 4 + 31) // 32) * 4
    out = []
    for y in range(img.height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(img.width):
            c = img.px[y][x]
            if c is TRANSPARENT:
                # Black under a set mask bit leaves the screen unchanged.
                c = BLACK
            row[x // 2] |= (c << 4) if x % 2 == 0 else c
        out.append(bytes(row))
    return b''.join(out)


def rows_mask(img):
    """Bottom-up AND mask: bit set where the pixel is transparent."""
    stride = ((img.width + 31) // 32) * 4
    out = []
    for y in range(img.height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(img.width):
            if img.px[y][x] is TRANSPARENT:
                row[x // 8] |= 0x80 >> (x % 8)
        out.append(bytes(row))
    return b''.join(out)


def info_header(width, height, image_size):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0,
                       image_size, 0, 0, 16, 0)


def bmp_bytes(img):
    pixels = rows_4bpp(img)
    offset = 14 + 40 + 64
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    return (header + info_header(img.width, img.height, len(pixels))
            + palette_bytes() + pixels)


def ico_bytes(images):
    entries = []
    blobs = []
    offset = 6 + 16 * len(images)
    for img in images:
        xor = rows_4bpp(img)
        mask = rows_mask(img)
        # An icon's header counts the XOR and AND bitmaps as one image of
        # twice the height.
        blob = (info_header(img.width, img.height * 2, len(xor) + len(mask))
                + palette_bytes() + xor + mask)
        entries.append(struct.pack('<BBBBHHII', img.width % 256,
                                   img.height % 256, 16, 0, 1, 4,
                                   len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack('<HHH', 0, 1, len(images)) + b''.join(entries + blobs)


def png_bytes(rgb_rows):
    height = len(rgb_rows)
    width = len(rgb_rows[0])

    def chunk(tag, data):
        body = tag + data
        return (struct.pack('>I', len(data)) + body
                + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF))

    raw = b''.join(b'\x00' + bytes(c for px in row for c in px)
                   for row in rgb_rows)
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2,
                                         0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9))
            + chunk(b'IEND', b''))


# ---------------------------------------------------------------------------
# Previews: how the images look once Windows has loaded them.

BUTTON_FACE = (240, 240, 240)   # Windows 10/11 button face
DESKTOPS = [(255, 255, 255), (0, 120, 215), (32, 32, 32)]


def rgb_rows(img, grey_to=None, behind=(255, 0, 255)):
    rows = []
    for y in range(img.height):
        row = []
        for x in range(img.width):
            c = img.px[y][x]
            if c is TRANSPARENT:
                row.append(behind)
            elif c == LTGREY and grey_to is not None:
                row.append(grey_to)
            else:
                row.append(PALETTE[c])
        rows.append(row)
    return rows


def scaled(rows, k):
    return [[px for px in row for _ in range(k)]
            for row in rows for _ in range(k)]


def side_by_side(parts, gap, colour):
    height = max(len(p) for p in parts)
    out = [[] for _ in range(height)]
    for i, p in enumerate(parts):
        if i:
            for row in out:
                row.extend([colour] * gap)
        width = len(p[0])
        for y in range(height):
            out[y].extend(p[y] if y < len(p) else [colour] * width)
    return out


def write_previews(directory, icons, toolbar, arrows):
    os.makedirs(directory, exist_ok=True)
    for k in (1, 2, 8):
        sheet = []
        for desk in DESKTOPS:
            sheet.append(side_by_side(
                [scaled(rgb_rows(i, behind=desk), k) for i in icons],
                4 * k, desk))
        with open(os.path.join(directory, 'icon_x%d.png' % k), 'wb') as f:
            f.write(png_bytes(stack_rows(sheet)))
        tb = scaled(rgb_rows(toolbar, grey_to=BUTTON_FACE), k)
        with open(os.path.join(directory, 'toolbar_x%d.png' % k), 'wb') as f:
            f.write(png_bytes(tb))
        ar = side_by_side([scaled(rgb_rows(a, grey_to=BUTTON_FACE), k)
                           for a in arrows], 4 * k, (255, 255, 255))
        with open(os.path.join(directory, 'arrows_x%d.png' % k), 'wb') as f:
            f.write(png_bytes(ar))


def stack_rows(parts):
    width = max(len(p[0]) for p in parts)
    out = []
    for p in parts:
        for row in p:
            out.append(row + [row[-1]] * (width - len(row)))
    return out


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--preview', metavar='DIR',
                        help='also write enlarged PNG previews into DIR')
    args = parser.parse_args(argv)

    icons = [book_icon(32), book_icon(48)]
    toolbar = toolbar_image()
    arrows = arrow_images()

    outputs = {
        'verselume.ico': ico_bytes(icons),
        'toolbar.bmp': bmp_bytes(toolbar),
        'arrowleft.bmp': bmp_bytes(arrows[0]),
        'arrowright.bmp': bmp_bytes(arrows[1]),
    }
    for percent in SCALES:
        left, right = scaled_arrows(percent)
        outputs['toolbar%d.bmp' % percent] = bmp_bytes(scaled_toolbar(percent))
        outputs['arrowleft%d.bmp' % percent] = bmp_bytes(left)
        outputs['arrowright%d.bmp' % percent] = bmp_bytes(right)
    for name, data in outputs.items():
        with open(os.path.join(HERE, name), 'wb') as f:
            f.write(data)
    if args.preview:
        write_previews(args.preview, icons, toolbar, arrows)
        for percent in SCALES:
            for name, img in (('toolbar', scaled_toolbar(percent)),
                              ('arrows', side_by_side(
                                  [rgb_rows(a, grey_to=BUTTON_FACE)
                                   for a in scaled_arrows(percent)],
                                  4, (255, 255, 255)))):
                rows = (img if isinstance(img, list)
                        else rgb_rows(img, grey_to=BUTTON_FACE))
                with open(os.path.join(args.preview, '%s%d.png'
                                       % (name, percent)), 'wb') as f:
                    f.write(png_bytes(scaled(rows, 4)))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
