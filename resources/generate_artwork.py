#!/usr/bin/python3
"""Draws every image used by deskMemo.

Writes:
  resources/Image/close.ico, locked.ico, unlocked.ico, top.ico, cancelTop.ico
  resources/Image/Color.png, font.png, kuang.png, dataup.png, cancel.png,
  angel.png
  and beside each of these its twin at twice the size, NAME@2x.EXT, which
  Qt takes instead on a screen scaled above 100 %
  resources/translations/buttonFace.png and its twin: the button face
  without a word, on which a translation writes its own
  resources/windows/deskMemo.ico            (application icon, 24 x 24)
  resources/icons/hicolor/<N>x<N>/apps/deskMemo.png   (N = 16 ... 256)

Run from the repository root (any working directory works, paths are
resolved relative to this file):

    /usr/bin/python3 resources/generate_artwork.py

Needs Pillow and the WenQuanYi Zen Hei font
(/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc, Debian package
fonts-wqy-zenhei).  The output is deterministic: running the script twice
gives byte-identical files.

Everything is drawn at a multiple of the final size and scaled down, which
gives the edges their antialiasing.  A twin is the same drawing, made from
the same coordinates with the multiple doubled, so that a scaled screen shows
the 100 % picture, only sharper.  The .ico files are written by hand as
uncompressed 32-bit DIB icons (no embedded PNG) so that every Qt build and
the Windows resource compiler can read them.
"""

import colorsys
import math
import os
import random
import struct
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
IMAGE_DIR = os.path.join(HERE, "Image")
WINDOWS_DIR = os.path.join(HERE, "windows")
TRANSLATIONS_DIR = os.path.join(HERE, "translations")
HICOLOR_DIR = os.path.join(HERE, "icons", "hicolor")

FONT_PATH = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"

SS = 8  # supersampling factor for the small images
APP_ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


# ---------------------------------------------------------------------------
# helpers
# ---------------------------------------------------------------------------

def load_font(px):
    if not os.path.isfile(FONT_PATH):
        sys.exit("generate_artwork.py: font not found: %s\n"
                 "install the fonts-wqy-zenhei package and run again"
                 % FONT_PATH)
    return ImageFont.truetype(FONT_PATH, int(round(px)))


def clean_alpha(img, floor=3):
    """Drops the faint alpha left by the resampling filter and zeroes the
    colour of fully transparent pixels, so empty areas are exactly 0,0,0,0."""
    r, g, b, a = img.split()
    a = a.point(lambda v: 0 if v < floor else v)
    img = Image.merge("RGBA", (r, g, b, a))
    empty = Image.new("RGBA", img.size, (0, 0, 0, 0))
    return Image.composite(img, empty, a.point(lambda v: 255 if v else 0))


def downsample(img, size):
    """Scales a supersampled RGBA drawing to its final size."""
    return clean_alpha(img.resize(size, Image.LANCZOS))


def solid_from_mask(mask, size, rgb=(0, 0, 0)):
    """Final-size image of one colour whose alpha is the scaled-down mask."""
    a = mask.resize(size, Image.LANCZOS)
    img = Image.new("RGBA", size, rgb + (0,))
    img.putalpha(a)
    return clean_alpha(img)


def vgradient(size, top, bottom):
    """Vertical gradient from colour top to colour bottom (RGB or RGBA)."""
    top = tuple(top) + (255,) * (4 - len(top))
    bottom = tuple(bottom) + (255,) * (4 - len(bottom))
    mask = Image.linear_gradient("L").resize(size, Image.BILINEAR)
    return Image.composite(Image.new("RGBA", size, bottom),
                           Image.new("RGBA", size, top), mask)


def lerp(a, b, t):
    return a + (b - a) * t


def mix(c1, c2, t):
    return tuple(int(round(lerp(x, y, t))) for x, y in zip(c1, c2))


def scaled(points, k, dx=0.0, dy=0.0):
    return [((x + dx) * k, (y + dy) * k) for x, y in points]


def rotate(points, angle_deg, cx, cy):
    a = math.radians(angle_deg)
    ca, sa = math.cos(a), math.sin(a)
    return [(cx + (x - cx) * ca - (y - cy) * sa,
             cy + (x - cx) * sa + (y - cy) * ca) for x, y in points]


def offset_polygon(points, d):
    """Offsets a convex, clockwise (y down) polygon outwards by d."""
    n = len(points)
    lines = []
    for i in range(n):
        (x1, y1), (x2, y2) = points[i], points[(i + 1) % n]
        ex, ey = x2 - x1, y2 - y1
        ln = math.hypot(ex, ey)
        nx, ny = ey / ln, -ex / ln  # outward normal for clockwise order
        lines.append(((x1 + nx * d, y1 + ny * d), (ex, ey)))
    out = []
    for i in range(n):
        (p, r), (q, s) = lines[i - 1], lines[i]
        cross = r[0] * s[1] - r[1] * s[0]
        t = ((q[0] - p[0]) * s[1] - (q[1] - p[1]) * s[0]) / cross
        out.append((p[0] + r[0] * t, p[1] + r[1] * t))
    return out


def edge_normals(points):
    n = len(points)
    res = []
    for i in range(n):
        (x1, y1), (x2, y2) = points[i], points[(i + 1) % n]
        ln = math.hypot(x2 - x1, y2 - y1)
        res.append(((y2 - y1) / ln, -(x2 - x1) / ln))
    return res


def closed_stroke(draw, points, fill, width):
    """Outline of a closed path with round joins at every corner."""
    pts = list(points) + [points[0], points[1]]
    draw.line(pts, fill=fill, width=int(round(width)), joint="curve")
    r = width / 2.0
    for x, y in points:
        draw.ellipse((x - r, y - r, x + r, y + r), fill=fill)


def round_line(draw, points, fill, width):
    """Open polyline with round joins and round caps, drawn as a dense row
    of discs so that thick curved strokes stay smooth."""
    r = width / 2.0
    step = max(1.0, width / 8.0)
    draw.line(points, fill=fill, width=int(round(width)))
    for (xa, ya), (xb, yb) in zip(points, points[1:]):
        n = max(1, int(math.ceil(math.hypot(xb - xa, yb - ya) / step)))
        for i in range(n + 1):
            x, y = lerp(xa, xb, i / n), lerp(ya, yb, i / n)
            draw.ellipse((x - r, y - r, x + r, y + r), fill=fill)


# ---------------------------------------------------------------------------
# file writers
# ---------------------------------------------------------------------------

def write_ico(img, path):
    """One uncompressed 32-bit BGRA image plus its 1-bit AND mask."""
    img = img.convert("RGBA")
    w, h = img.size
    px = img.load()
    and_stride = ((w + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in range(h - 1, -1, -1):  # DIB rows are stored bottom-up
        row = bytearray(and_stride)
        for x in range(w):
            r, g, b, a = px[x, y]
            if a == 0:
                r = g = b = 0
                row[x >> 3] |= 0x80 >> (x & 7)
            xor += bytes((b, g, r, a))
        mask += row
    image_size = len(xor) + len(mask)
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32,
                        40 + image_size, 6 + 16)
    info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, image_size,
                       0, 0, 0, 0)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(header + entry + info + bytes(xor) + bytes(mask))


def write_png(img, path):
    img = img.convert("RGBA")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img.save(path, "PNG", optimize=False, compress_level=9)


# ---------------------------------------------------------------------------
# black window-control icons
# ---------------------------------------------------------------------------

def draw_close(scale=1):
    """Black ring with a cross inside."""
    size = 64
    k = SS * scale
    m = Image.new("L", (size * k, size * k), 0)
    d = ImageDraw.Draw(m)
    c = size / 2.0
    ro, stroke = 30.0, 5.0
    d.ellipse([(c - ro) * k, (c - ro) * k, (c + ro) * k, (c + ro) * k],
              fill=255)
    ri = ro - stroke
    d.ellipse([(c - ri) * k, (c - ri) * k, (c + ri) * k, (c + ri) * k],
              fill=0)
    arm = 11.0
    for sx in (-1, 1):
        round_line(d, [((c - arm) * k, (c - sx * arm) * k),
                       ((c + arm) * k, (c + sx * arm) * k)], 255, stroke * k)
    return solid_from_mask(m, (size * scale, size * scale))


def draw_padlock(open_, scale=1):
    """Black padlock; when open the shackle is lifted and its left leg
    comes out of the body."""
    w, h = 40, 64
    k = SS * scale
    m = Image.new("L", (w * k, h * k), 0)
    d = ImageDraw.Draw(m)

    stroke = 6.0
    lx, rx = 10.5, 29.5           # leg centre lines
    radius = (rx - lx) / 2.0
    cx = (lx + rx) / 2.0
    body_top = 29.0
    arc_cy = 15.5 if open_ else 22.0
    left_end = 22.0 if open_ else body_top + 4

    # shackle: half circle plus two legs
    steps = 48
    arc = [(cx - radius * math.cos(math.pi * i / steps),
            arc_cy - radius * math.sin(math.pi * i / steps))
           for i in range(steps + 1)]
    path = [(lx, left_end)] + arc + [(rx, body_top + 4)]
    if open_:
        round_line(d, scaled(path, k), 255, stroke * k)
    else:
        d.line(scaled(path, k), fill=255, width=int(stroke * k),
               joint="curve")

    # body
    d.rounded_rectangle([1 * k, body_top * k, 39 * k, 63 * k],
                        radius=6 * k, fill=255)
    # keyhole punched through
    kx, ky = 20.0, 42.0
    r = 4.2
    d.ellipse([(kx - r) * k, (ky - r) * k, (kx + r) * k, (ky + r) * k],
              fill=0)
    d.polygon(scaled([(kx - 1.9, ky), (kx + 1.9, ky),
                      (kx + 2.6, 54.0), (kx - 2.6, 54.0)], k), fill=0)
    d.ellipse([(kx - 2.6) * k, 52.7 * k, (kx + 2.6) * k, 55.3 * k], fill=0)
    return solid_from_mask(m, (w * scale, h * scale))


# push pin outline, in units of a 24 x 24 box, pointing down
PIN_BODY = [(-4.6, 1.8), (4.6, 1.8), (4.6, 3.9), (2.9, 5.2), (2.9, 10.2),
            (6.6, 12.6), (6.6, 14.0), (-6.6, 14.0), (-6.6, 12.6),
            (-2.9, 10.2), (-2.9, 5.2), (-4.6, 3.9)]
PIN_NEEDLE = [(0.0, 14.0), (0.0, 22.4)]
PIN_INK = (34, 34, 38)


def draw_pin(w, h, angle, scale=1):
    k = SS * scale
    body = [(x + 12.0, y) for x, y in PIN_BODY]
    needle = [(x + 12.0, y) for x, y in PIN_NEEDLE]
    stroke = 1.45
    if angle:
        body = rotate(body, angle, 12.0, 12.0)
        needle = rotate(needle, angle, 12.0, 12.0)
        pts = body + needle
        margin = 0.4 + stroke / 2
        x0 = min(p[0] for p in pts); x1 = max(p[0] for p in pts)
        y0 = min(p[1] for p in pts); y1 = max(p[1] for p in pts)
        s = min((w - 2 * margin) / (x1 - x0), (h - 2 * margin) / (y1 - y0),
                1.0)
        ox = (w - (x1 - x0) * s) / 2 - x0 * s
        oy = (h - (y1 - y0) * s) / 2 - y0 * s
        body = [(x * s + ox, y * s + oy) for x, y in body]
        needle = [(x * s + ox, y * s + oy) for x, y in needle]
    m = Image.new("L", (w * k, h * k), 0)
    d = ImageDraw.Draw(m)
    closed_stroke(d, scaled(body, k), 255, stroke * k)
    # the needle narrows to a point
    (ax, ay), (bx, by) = needle
    ln = math.hypot(bx - ax, by - ay)
    nx, ny = -(by - ay) / ln, (bx - ax) / ln
    hw = 0.85
    d.polygon(scaled([(ax + nx * hw, ay + ny * hw), (ax - nx * hw, ay - ny * hw),
                      (bx - nx * 0.3, by - ny * 0.3),
                      (bx + nx * 0.3, by + ny * 0.3)], k), fill=255)
    return solid_from_mask(m, (w * scale, h * scale), PIN_INK)


# ---------------------------------------------------------------------------
# colour wheel, font badge, emblem
# ---------------------------------------------------------------------------

def draw_color_wheel(scale=1):
    size = 32
    k = SS * scale
    n = size * k
    img = Image.new("RGBA", (n, n))
    px = img.load()
    c = n / 2.0
    rmax = c - 0.5 * k
    for y in range(n):
        dy = y + 0.5 - c
        for x in range(n):
            dx = x + 0.5 - c
            r = math.hypot(dx, dy) / rmax
            hue = (math.atan2(-dy, dx) / (2 * math.pi)) % 1.0
            sat = min(1.0, 0.08 + r * 1.05)
            val = 1.0 - 0.08 * max(0.0, r - 0.75) / 0.25
            rr, gg, bb = colorsys.hsv_to_rgb(hue, sat, val)
            px[x, y] = (int(rr * 255 + 0.5), int(gg * 255 + 0.5),
                        int(bb * 255 + 0.5), 255)
    mask = Image.new("L", (n, n), 0)
    ImageDraw.Draw(mask).ellipse([0.5 * k, 0.5 * k, n - 0.5 * k, n - 0.5 * k],
                                 fill=255)
    img.putalpha(mask)
    # thin soft rim so the wheel reads on white as well as on dark notes
    rim = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    ImageDraw.Draw(rim).ellipse([0.5 * k, 0.5 * k, n - 0.5 * k, n - 0.5 * k],
                                outline=(60, 60, 70, 90), width=int(0.9 * k))
    img = Image.alpha_composite(img, rim)
    img.putalpha(mask)
    return downsample(img, (size * scale, size * scale))


def draw_font_badge(scale=1):
    size = 80
    k = SS * scale
    n = size * k
    c = n / 2.0
    r = 39.0 * k
    circle = [c - r, c - r, c + r, c + r]

    mask = Image.new("L", (n, n), 0)
    ImageDraw.Draw(mask).ellipse(circle, fill=255)

    img = vgradient((n, n), (168, 220, 252), (92, 170, 236))
    # soft glossy cap on the upper half
    gloss = Image.new("L", (n, n), 0)
    ImageDraw.Draw(gloss).ellipse([c - 31 * k, c - 37 * k, c + 31 * k,
                                   c + 2 * k], fill=70)
    gloss = gloss.filter(ImageFilter.GaussianBlur(4 * k))
    img = Image.composite(Image.new("RGBA", (n, n), (255, 255, 255, 255)),
                          img, gloss)
    d = ImageDraw.Draw(img)
    d.ellipse(circle, outline=(62, 140, 212, 255), width=int(2.2 * k))
    d.ellipse([c - r + 2.2 * k, c - r + 2.2 * k, c + r - 2.2 * k,
               c + r - 2.2 * k], outline=(210, 238, 255, 255),
              width=int(0.9 * k))

    # a large and a small "A" sharing one baseline
    big = load_font(44 * k)
    small = load_font(27 * k)
    baseline = 57.0 * k
    wb = big.getlength("A")
    ws = small.getlength("A")
    gap = 1.5 * k
    x0 = c - (wb + gap + ws) / 2.0 - 0.5 * k
    text = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    td = ImageDraw.Draw(text)
    shadow = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    sd = ImageDraw.Draw(shadow)
    for font, x, fill in ((big, x0, (255, 255, 255, 255)),
                          (small, x0 + wb + gap, (236, 246, 255, 255))):
        sd.text((x + 0.8 * k, baseline + 1.1 * k), "A", font=font,
                fill=(20, 70, 140, 150), anchor="ls",
                stroke_width=int(0.5 * k), stroke_fill=(20, 70, 140, 150))
        td.text((x, baseline), "A", font=font, fill=fill, anchor="ls",
                stroke_width=int(0.5 * k), stroke_fill=fill)
    shadow = shadow.filter(ImageFilter.GaussianBlur(0.8 * k))
    img = Image.alpha_composite(img, shadow)
    img = Image.alpha_composite(img, text)
    img.putalpha(mask)
    return downsample(img, (size * scale, size * scale))


def sphere_dot(diameter, base, light, dark):
    """Shaded round dot, lit from the upper left."""
    n = int(diameter)
    img = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    px = img.load()
    c = n / 2.0
    hx, hy = c - n * 0.18, c - n * 0.2
    for y in range(n):
        for x in range(n):
            dx, dy = x + 0.5 - c, y + 0.5 - c
            rr = math.hypot(dx, dy) / c
            if rr > 1.0:
                continue
            hl = max(0.0, 1.0 - math.hypot(x + 0.5 - hx, y + 0.5 - hy)
                     / (n * 0.55))
            col = mix(base, light, hl ** 1.6)
            col = mix(col, dark, max(0.0, rr - 0.72) / 0.28 * 0.7)
            px[x, y] = col + (255,)
    mask = Image.new("L", (n, n), 0)
    ImageDraw.Draw(mask).ellipse([0, 0, n - 1, n - 1], fill=255)
    img.putalpha(mask)
    return img


def draw_angel(scale=1):
    """Six light-blue dots stacked as steps: one, two, three."""
    size = 128
    k = 4 * scale
    n = size * k
    img = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    dot = sphere_dot(33 * k, (112, 186, 242), (214, 240, 255), (58, 132, 210))
    pitch = 41.0
    first = 64.0 - pitch
    for row in range(3):
        for col in range(2 - row, 3):
            cx = first + col * pitch
            cy = first + row * pitch
            img.alpha_composite(dot, (int(round(cx * k - dot.width / 2)),
                                      int(round(cy * k - dot.height / 2))))
    return downsample(img, (size * scale, size * scale))


# ---------------------------------------------------------------------------
# dialog buttons
# ---------------------------------------------------------------------------

def draw_button(label, scale=1):
    w, h = 121, 39
    k = SS * scale
    W, H = w * k, h * k
    box = [0, 0, W - 1, H - 1]
    radius = 3 * k

    mask = Image.new("L", (W, H), 0)
    ImageDraw.Draw(mask).rounded_rectangle(box, radius=radius, fill=255)

    img = vgradient((W, H), (70, 106, 158), (26, 46, 86))
    # sheen on the upper half
    sheen = vgradient((W, H // 2), (255, 255, 255, 60), (255, 255, 255, 8))
    img.alpha_composite(sheen, (0, 2 * k))
    rim = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    d = ImageDraw.Draw(rim)
    d.rounded_rectangle(box, radius=radius, outline=(56, 150, 245, 255),
                        width=int(2 * k))
    d.rounded_rectangle([2 * k, 2 * k, W - 1 - 2 * k, H - 1 - 2 * k],
                        radius=radius - k, outline=(150, 200, 250, 110),
                        width=int(0.8 * k))
    img = Image.alpha_composite(img, rim)
    if not label:
        img.putalpha(mask)
        return downsample(img, (w * scale, h * scale))

    font = load_font(22 * k)
    tx, ty = W / 2.0, H / 2.0 + 0.3 * k
    shadow = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    ImageDraw.Draw(shadow).text((tx + 0.7 * k, ty + 1.0 * k), label,
                                font=font, anchor="mm",
                                fill=(6, 14, 36, 190))
    shadow = shadow.filter(ImageFilter.GaussianBlur(0.7 * k))
    img = Image.alpha_composite(img, shadow)
    ImageDraw.Draw(img).text((tx, ty), label, font=font, anchor="mm",
                             fill=(250, 252, 255, 255),
                             stroke_width=int(0.25 * k),
                             stroke_fill=(250, 252, 255, 255))
    img.putalpha(mask)
    return downsample(img, (w * scale, h * scale))


# ---------------------------------------------------------------------------
# editor frame
# ---------------------------------------------------------------------------
#
# The settings page shows kuang.png stretched to 591 x 231 ("view"
# coordinates below) while the file itself is 578 x 348.  All geometry is
# laid out in view coordinates so the frame looks right on screen, and is
# mapped to the file when drawn.  The editor sits at view x 120..501,
# y 50..171 behind the transparent hole.

FRAME_SIZE = (578, 348)
FRAME_VIEW = (591.0, 231.0)
FRAME_PANEL_LEFT = 49.0      # view x; the label is placed at page x -50
FRAME_PANEL_TOP = 5.0        # file y; thin transparent strip above
FRAME_HOLE = (118.0, 48.5, 503.0, 172.5)
FRAME_HOLE_CUT = 22.0        # diagonal cut at the lower right corner
FRAME_BEVEL = 6.0


def frame_hole_polygon():
    x0, y0, x1, y1 = FRAME_HOLE
    c = FRAME_HOLE_CUT
    return [(x0, y0), (x1, y0), (x1, y1 - c), (x1 - c, y1), (x0, y1)]


def to_1x(x, scale):
    """The 1x pixel coordinate of the centre of pixel x of a drawing at
    `scale` (x itself at 1x)."""
    return (x + 0.5) / scale - 0.5


def brushed_metal(w, h, seed, scale=1):
    """Grey level per pixel of horizontally brushed metal (mean ~128), for a
    w x h plate drawn at `scale`.  The streaks and rows are those of the 1x
    plate at every scale; only the fine grain is drawn per final pixel."""
    rnd = random.Random(seed)
    fine = rnd if scale == 1 else random.Random(seed + 1)
    raw = [rnd.gauss(0.0, 1.0) for _ in range(h + 2)]
    rows = [0.25 * raw[y] + 0.5 * raw[y + 1] + 0.25 * raw[y + 2]
            for y in range(h)]
    width = w * scale
    out = bytearray(width * h * scale)
    knot = 14
    nk = w // knot + 3
    for y in range(h):
        knots = [rnd.random() - 0.5 for _ in range(nk)]
        phase = rnd.random() * knot
        level = rows[y]
        if scale != 1:  # the grain the 1x plate draws here, skipped
            for _ in range(w):
                rnd.random()
        for sub in range(scale):
            base = (y * scale + sub) * width
            for x in range(width):
                u = max(0.0, to_1x(x, scale) + phase) / knot
                i = int(u)
                f = u - i
                f = f * f * (3 - 2 * f)
                streak = knots[i] + (knots[i + 1] - knots[i]) * f
                v = (128 + 11.0 * level + 16.0 * streak
                     + 7.0 * (fine.random() - 0.5))
                out[base + x] = max(0, min(255, int(v)))
    return Image.frombytes("L", (width, h * scale), bytes(out))


def draw_frame(scale=1):
    w, h = FRAME_SIZE  # the 1x file's pixels, the unit of everything below
    sx, sy = w / FRAME_VIEW[0], h / FRAME_VIEW[1]
    k = 4 * scale
    W, H = w * k, h * k
    out = (w * scale, h * scale)

    def v2s(points):
        """view coordinates -> supersampled file coordinates"""
        return [(x * sx * k, y * sy * k) for x, y in points]

    # --- metal plate ------------------------------------------------------
    grain = brushed_metal(w, h, 20240611, scale).load()
    plate = Image.new("RGB", out)
    pp = plate.load()
    top_c, bot_c = (60, 65, 74), (27, 30, 36)
    for y in range(out[1]):
        t = to_1x(y, scale) / (h - 1.0)
        base = mix(top_c, bot_c, t)
        for x in range(out[0]):
            # broad soft sheen across the plate
            u = (to_1x(x, scale) - 0.28 * w) / (0.30 * w)
            sheen = 1.0 + 0.13 * math.exp(-u * u) * (1.0 - 0.6 * t)
            g = 1.0 + (grain[x, y] - 128) / 128.0 * 0.30
            m = sheen * g
            pp[x, y] = tuple(max(0, min(255, int(ch * m))) for ch in base)
    plate = plate.convert("RGBA")

    # --- soft shadow around the inner frame --------------------------------
    hole = frame_hole_polygon()
    sk = 2 * scale
    shadow = Image.new("L", (w * sk, h * sk), 0)
    ImageDraw.Draw(shadow).polygon(
        [(x * sx * sk, (y + 1.5) * sy * sk) for x, y in
         offset_polygon(hole, FRAME_BEVEL + 1.5)], fill=170)
    shadow = shadow.filter(ImageFilter.GaussianBlur(4 * sk))
    shadow = shadow.resize(out, Image.LANCZOS)
    black = Image.new("RGBA", out, (6, 8, 12, 255))
    plate = Image.composite(black, plate, shadow)

    # --- bevelled light grey inner frame -----------------------------------
    over = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    od = ImageDraw.Draw(over)
    light = (-0.6, -0.8)  # light comes from the upper left
    normals = edge_normals(hole)
    steps = 24
    rings = [offset_polygon(hole, FRAME_BEVEL * i / steps)
             for i in range(steps + 1)]
    for i in range(steps):
        t = (i + 0.5) / steps          # 0 at the hole, 1 at the outside
        inner_ring, outer_ring = rings[i], rings[i + 1]
        slope = (2 * t - 1) * 0.9      # rounded rim: rises, then falls
        for e, (nx, ny) in enumerate(normals):
            lit = slope * (nx * light[0] + ny * light[1])
            g = 188 + 62 * lit
            if t < 0.14 or t > 0.88:   # crisp darker edges on both sides
                g -= 46
            g = max(0, min(255, int(g)))
            col = (g, min(255, g + 2), min(255, g + 6), 255)
            a, b = inner_ring[e], inner_ring[(e + 1) % len(hole)]
            c, d = outer_ring[(e + 1) % len(hole)], outer_ring[e]
            od.polygon(v2s([a, b, c, d]), fill=col)

    # --- blue glowing top edge ----------------------------------------------
    top = FRAME_PANEL_TOP * k
    glow_h = 16 * k
    for j in range(glow_h):
        t = j / float(glow_h)
        alpha = int(150 * (1 - t) ** 2.2)
        od.line([(0, top + j), (W, top + j)], fill=(40, 140, 255, alpha))
    od.rectangle([0, top, W, top + 1.3 * k], fill=(150, 215, 255, 255))
    od.rectangle([0, top + 1.3 * k, W, top + 2.4 * k],
                 fill=(60, 150, 255, 230))

    # darker lip along the right and bottom edges of the plate
    od.rectangle([W - 1.2 * k, top, W, H], fill=(10, 12, 16, 170))
    od.rectangle([0, H - 1.2 * k, W, H], fill=(10, 12, 16, 170))

    over = over.resize(out, Image.LANCZOS)
    img = Image.alpha_composite(plate, over)

    # --- plate outline with the hole punched out ----------------------------
    mask = Image.new("L", (W, H), 0)
    md = ImageDraw.Draw(mask)
    left = FRAME_PANEL_LEFT * sx * k
    rad = 7.0
    md.rounded_rectangle([left, top, W + 20 * k, H + 20 * k],
                         radius=rad * k, fill=255)
    md.polygon(v2s(hole), fill=0)
    # plain area averaging: exact coverage, no ringing into the clear strips
    mask = mask.resize(out, Image.BOX)
    img.putalpha(mask)
    return clean_alpha(img, floor=1)


# ---------------------------------------------------------------------------
# application icon
# ---------------------------------------------------------------------------

def draw_app_icon(size):
    """Yellow sticky note, lower right corner curled, with a blue ink
    stroke written across it."""
    k = SS if size <= 64 else 4
    n = size * k
    s = float(size)
    small = size <= 24
    px = s / 24.0  # one pixel of the 24 px icon, in icon units

    m = 0.06 * s if size >= 32 else 1.0
    x0, y0, x1, y1 = m, m + 0.02 * s, s - m, s - m
    fold = 0.28 * (x1 - x0)
    note = [(x0, y0), (x1, y0), (x1, y1 - fold), (x1 - fold, y1), (x0, y1)]

    img = Image.new("RGBA", (n, n), (0, 0, 0, 0))

    # drop shadow
    if size >= 32:
        sh = Image.new("L", (n, n), 0)
        ImageDraw.Draw(sh).polygon(scaled(note, k, 0.01 * s, 0.025 * s),
                                   fill=110)
        sh = sh.filter(ImageFilter.GaussianBlur(0.025 * s * k))
        img = Image.composite(Image.new("RGBA", (n, n), (40, 30, 0, 255)),
                              img, sh)
        img.putalpha(sh)

    paper = vgradient((n, n), (255, 236, 120), (250, 206, 58))
    paper_mask = Image.new("L", (n, n), 0)
    ImageDraw.Draw(paper_mask).polygon(scaled(note, k), fill=255)
    layer = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    layer.paste(paper, (0, 0), paper_mask)
    img = Image.alpha_composite(img, layer)

    # adhesive strip along the top
    strip = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    ImageDraw.Draw(strip).rectangle(
        [x0 * k, y0 * k, x1 * k, (y0 + 0.13 * (y1 - y0)) * k],
        fill=(236, 188, 40, 90))
    img = Image.alpha_composite(img, strip)
    d = ImageDraw.Draw(img)
    # paper edge
    edge_w = max(0.75 * px, 0.022 * s) if not small else 0.9
    closed_stroke(d, scaled(note, k), (196, 150, 20, 255), edge_w * k)

    # curled corner
    curl = [(x1, y1 - fold), (x1 - fold, y1), (x1 - fold * 0.86,
                                                y1 - fold * 0.86)]
    d.polygon(scaled(curl, k), fill=(226, 176, 40, 255))
    d.polygon(scaled([(x1 - fold * 0.86, y1 - fold * 0.86), (x1, y1 - fold),
                      (x1 - fold * 0.55, y1 - fold * 0.62)], k),
              fill=(245, 212, 96, 255))
    round_line(d, scaled([(x1, y1 - fold), (x1 - fold * 0.86,
                                            y1 - fold * 0.86),
                          (x1 - fold, y1)], k),
               (180, 132, 14, 255), edge_w * k)

    # ink: a handwritten wave, plus a short second line on larger icons
    ink = (36, 70, 214, 255)
    ink_w = max(1.25, 0.075 * s) if small else max(1.4, 0.055 * s)

    def wave(xa, xb, yc, amp, waves):
        pts = []
        for i in range(61):
            t = i / 60.0
            x = lerp(xa, xb, t)
            y = yc + amp * math.sin(t * waves * 2 * math.pi + 0.4) \
                - 0.04 * s * t
            pts.append((x * k, y * k))
        return pts

    if small:
        round_line(d, wave(x0 + 0.2 * s, x1 - 0.18 * s, 0.52 * s,
                           0.075 * s, 1.5), ink, ink_w * k)
    else:
        round_line(d, wave(x0 + 0.15 * s, x1 - 0.14 * s, 0.44 * s,
                           0.06 * s, 2.0), ink, ink_w * k)
        round_line(d, wave(x0 + 0.15 * s, x0 + 0.46 * s, 0.66 * s,
                           0.045 * s, 1.0), ink, ink_w * k)
    return downsample(img, (size, size))


# ---------------------------------------------------------------------------

def twin_name(name):
    """close.ico -> close@2x.ico: where Qt looks for the 2x twin."""
    stem, ext = os.path.splitext(name)
    return stem + "@2x" + ext


def main():
    load_font(10)  # fail early and clearly when the font is missing

    icons = {
        "close.ico": draw_close,
        "locked.ico": lambda scale: draw_padlock(False, scale),
        "unlocked.ico": lambda scale: draw_padlock(True, scale),
        "top.ico": lambda scale: draw_pin(24, 24, 0, scale),
        "cancelTop.ico": lambda scale: draw_pin(20, 24, 38, scale),
    }
    pngs = {
        "Color.png": draw_color_wheel,
        "font.png": draw_font_badge,
        "kuang.png": draw_frame,
        "dataup.png": lambda scale: draw_button("提交", scale),
        "cancel.png": lambda scale: draw_button("取消", scale),
        "angel.png": draw_angel,
    }
    blank = {"buttonFace.png": lambda scale: draw_button("", scale)}
    for images, write, folder in ((icons, write_ico, IMAGE_DIR),
                                  (pngs, write_png, IMAGE_DIR),
                                  (blank, write_png, TRANSLATIONS_DIR)):
        for name, draw in images.items():
            write(draw(1), os.path.join(folder, name))
            write(draw(2), os.path.join(folder, twin_name(name)))

    write_ico(draw_app_icon(24), os.path.join(WINDOWS_DIR, "deskMemo.ico"))
    for size in APP_ICON_SIZES:
        write_png(draw_app_icon(size),
                  os.path.join(HICOLOR_DIR, "%dx%d" % (size, size), "apps",
                               "deskMemo.png"))


if __name__ == "__main__":
    main()
