"""Shared drawing helpers for the panel's artwork.

Everything is drawn at a multiple of the final size and scaled down once, which
gives smooth edges without per-shape anti-aliasing. Coordinates passed to the
helpers are in final pixels (floats welcome).
"""

import os
import random
import struct
import zlib

from PIL import Image, ImageDraw, ImageFilter, ImageFont

NAVY = (0x1A, 0x2C, 0x5E)
WHITE = (255, 255, 255)
ACCENT = (0xF0, 0x9A, 0x1E)  # the maker's amber accent

OUT_DIR = os.path.normpath(os.path.join(os.path.dirname(__file__), ".."))
FONT_DIR = "/usr/share/fonts/truetype/dejavu"


def font_file(bold=True, mono=False):
    name = "DejaVuSansMono" if mono else "DejaVuSans"
    if bold:
        name += "-Bold"
    return os.path.join(FONT_DIR, name + ".ttf")


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(len(a)))


def with_alpha(rgb, alpha=255):
    return tuple(rgb[:3]) + (alpha,)


class Canvas:
    def __init__(self, width, height, background=(0, 0, 0, 0), ss=4):
        self.w, self.h, self.ss = width, height, ss
        self.img = Image.new("RGBA", (width * ss, height * ss), background)
        self.draw = ImageDraw.Draw(self.img)
        random.seed(4720)

    # --- coordinates ------------------------------------------------------
    def s(self, v):
        return int(round(v * self.ss))

    def box(self, x0, y0, x1, y1):
        return [self.s(x0), self.s(y0), self.s(x1) - 1, self.s(y1) - 1]

    def pts(self, points):
        return [(self.s(x), self.s(y)) for x, y in points]

    # --- shapes -------------------------------------------------------------
    def rect(self, x0, y0, x1, y1, fill=None, outline=None, width=1.0, radius=0):
        b = self.box(x0, y0, x1, y1)
        w = max(1, self.s(width)) if outline else 0
        if radius:
            self.draw.rounded_rectangle(b, self.s(radius), fill=fill, outline=outline, width=w)
        else:
            self.draw.rectangle(b, fill=fill, outline=outline, width=w)

    def ellipse(self, cx, cy, rx, ry, fill=None, outline=None, width=1.0):
        b = self.box(cx - rx, cy - ry, cx + rx, cy + ry)
        w = max(1, self.s(width)) if outline else 0
        self.draw.ellipse(b, fill=fill, outline=outline, width=w)

    def circle(self, cx, cy, r, **kw):
        self.ellipse(cx, cy, r, r, **kw)

    def polygon(self, points, fill=None, outline=None):
        self.draw.polygon(self.pts(points), fill=fill, outline=outline)

    def line(self, points, fill, width=1.0):
        self.draw.line(self.pts(points), fill=fill, width=max(1, self.s(width)), joint="curve")

    # --- gradients ----------------------------------------------------------
    def gradient(self, x0, y0, x1, y1, stops, vertical=True, radius=0, mask=None):
        """Fills a box with a linear gradient through (position, colour) stops."""
        bw, bh = self.s(x1) - self.s(x0), self.s(y1) - self.s(y0)
        if bw <= 0 or bh <= 0:
            return
        n = bh if vertical else bw
        strip = Image.new("RGBA", (1, n) if vertical else (n, 1))
        for i in range(n):
            t = i / max(1, n - 1)
            strip.putpixel((0, i) if vertical else (i, 0), _at(stops, t))
        tile = strip.resize((bw, bh), Image.NEAREST)
        if mask is None:
            mask = Image.new("L", (bw, bh), 0)
            ImageDraw.Draw(mask).rounded_rectangle(
                [0, 0, bw - 1, bh - 1], self.s(radius), fill=255)
        self.img.alpha_composite(_masked(tile, mask), (self.s(x0), self.s(y0)))

    def radial_glow(self, cx, cy, r, colour, strength=255):
        """A soft round glow, brightest in the middle."""
        size = self.s(2 * r)
        if size <= 0:
            return
        layer = Image.new("RGBA", (size, size), with_alpha(colour, 0))
        mask = Image.new("L", (size, size), 0)
        md = ImageDraw.Draw(mask)
        steps = 24
        for i in range(steps):
            t = i / steps
            inset = int(size / 2 * t)
            md.ellipse([inset, inset, size - 1 - inset, size - 1 - inset],
                       fill=int(strength * (t ** 1.6)))
        layer.putalpha(mask)
        self.img.alpha_composite(layer, (self.s(cx - r), self.s(cy - r)))

    def shadow(self, shape_points, offset=(0, 2), blur=3.0, alpha=110):
        """A blurred drop shadow under a polygon."""
        layer = Image.new("L", self.img.size, 0)
        pts = [(x + offset[0], y + offset[1]) for x, y in shape_points]
        ImageDraw.Draw(layer).polygon(self.pts(pts), fill=alpha)
        layer = layer.filter(ImageFilter.GaussianBlur(self.s(blur)))
        black = Image.new("RGBA", self.img.size, (0, 0, 0, 255))
        black.putalpha(layer)
        self.img.alpha_composite(black)

    def brushed(self, x0, y0, x1, y1, amount=10, radius=0):
        """Fine horizontal streaks, as on brushed aluminium."""
        bw, bh = self.s(x1) - self.s(x0), self.s(y1) - self.s(y0)
        streaks = Image.new("RGBA", (bw, bh), (0, 0, 0, 0))
        sd = ImageDraw.Draw(streaks)
        for y in range(0, bh, 2):
            a = random.randint(0, amount)
            shade = 255 if random.random() < 0.5 else 0
            sd.line([(0, y), (bw, y)], fill=(shade, shade, shade, a))
        mask = Image.new("L", (bw, bh), 0)
        ImageDraw.Draw(mask).rounded_rectangle([0, 0, bw - 1, bh - 1], self.s(radius), fill=255)
        self.img.alpha_composite(_masked(streaks, mask), (self.s(x0), self.s(y0)))

    # --- text ---------------------------------------------------------------
    def font(self, size, bold=True, mono=False):
        return ImageFont.truetype(font_file(bold, mono), self.s(size))

    def text(self, x, y, text, size, fill, bold=True, anchor="la", mono=False, spacing=0.0):
        f = self.font(size, bold, mono)
        if not spacing:
            self.draw.text((self.s(x), self.s(y)), text, font=f, fill=fill, anchor=anchor)
            return
        # Letter-spaced text: lay the glyphs out one by one.
        total = sum(f.getlength(c) for c in text) + self.s(spacing) * (len(text) - 1)
        start = self.s(x)
        if anchor[0] == "m":
            start -= total / 2
        elif anchor[0] == "r":
            start -= total
        for c in text:
            self.draw.text((start, self.s(y)), c, font=f, fill=fill, anchor="l" + anchor[1])
            start += f.getlength(c) + self.s(spacing)

    # --- output -------------------------------------------------------------
    def final(self):
        return self.img.resize((self.w, self.h), Image.LANCZOS)

    def save_png(self, name):
        self.final().save(os.path.join(OUT_DIR, name), optimize=True)

    def save_bmp(self, name, background):
        """24-bit BMP: flattened onto the background colour it will sit on."""
        flat = Image.new("RGBA", (self.w, self.h), with_alpha(background))
        flat.alpha_composite(self.final())
        flat.convert("RGB").save(os.path.join(OUT_DIR, name), format="BMP")


def save_unfiltered_png(img, path):
    """PNG with no row filters (filter type 0 on every row): about as small as
    the filtered files for these pictures, and decoded in half the time, which
    the splash screen waits for at start-up."""
    colour_type, channels = {"RGB": (2, 3), "RGBA": (6, 4)}[img.mode]
    width, height = img.size
    pixels = img.tobytes()
    stride = width * channels
    rows = b"".join(b"\0" + pixels[y * stride:(y + 1) * stride] for y in range(height))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                  chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def _rgba(c):
    return tuple(c) if len(c) == 4 else tuple(c) + (255,)


def _at(stops, t):
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            u = 0 if p1 == p0 else (t - p0) / (p1 - p0)
            return mix(_rgba(c0), _rgba(c1), u)
    return _rgba(stops[-1][1])


def _masked(tile, mask):
    alpha = tile.getchannel("A")
    alpha = Image.composite(alpha, Image.new("L", alpha.size, 0), mask)
    tile = tile.copy()
    tile.putalpha(alpha)
    return tile


def draw_mark(c, cx, cy, r, ring=WHITE, tail=ACCENT, backing=NAVY):
    """The maker's mark: a ring read as a Q whose tail is a DAC's staircase,
    set off from the ring by a rim of the backing colour."""
    c.circle(cx, cy, r, outline=ring, width=r * 0.26)
    steps = [(0.18, 0.18), (0.56, 0.18), (0.56, 0.56), (0.94, 0.56), (0.94, 0.94), (1.3, 0.94)]
    pts = [(cx + dx * r, cy + dy * r) for dx, dy in steps]
    c.line(pts, fill=backing, width=r * 0.38)
    c.line(pts, fill=tail, width=r * 0.2)

