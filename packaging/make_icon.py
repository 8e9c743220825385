#!/usr/bin/python3
"""Draws the application icon: the maker's mark (a ring read as a Q whose tail
is a DAC's staircase, as in resources/tools/artkit.py) on a navy tile. One
drawing, two renderings: icons/scalable/<id>.svg and icons/<n>x<n>/<id>.png
for n = 48, 64, 128. Needs python3-pil; deterministic."""
import sys
from pathlib import Path

here = Path(__file__).resolve().parent
sys.path.insert(0, str(here.parent / "resources" / "tools"))
from artkit import ACCENT, NAVY, WHITE, Canvas, mix  # noqa: E402

APP_ID = "com.quorvel.zelvan4720sfp"
GRID = 128  # the drawing's own units; every size is a scale of it
PNG_SIZES = (48, 64, 128)

TILE = (8, 8, 120, 120)
TILE_RADIUS = 24
TILE_TOP = mix(NAVY, WHITE, 0.22)
RIM = mix(NAVY, WHITE, 0.45)
MARK_CENTRE, MARK_RADIUS = (58, 58), 36
STAIRS = [(0.18, 0.18), (0.56, 0.18), (0.56, 0.56), (0.94, 0.56), (0.94, 0.94), (1.3, 0.94)]


def hexcolour(rgb):
    return "#%02x%02x%02x" % tuple(rgb[:3])


def stairs():
    (cx, cy), r = MARK_CENTRE, MARK_RADIUS
    return [(cx + dx * r, cy + dy * r) for dx, dy in STAIRS]


def draw_png(size):
    k = size / GRID
    c = Canvas(size, size, ss=8)
    x0, y0, x1, y1 = (v * k for v in TILE)
    c.gradient(x0, y0, x1, y1, [(0.0, TILE_TOP), (1.0, NAVY)], radius=TILE_RADIUS * k)
    c.rect(x0, y0, x1, y1, outline=RIM, width=max(1.0, 1.5 * k), radius=TILE_RADIUS * k)
    (cx, cy), r = MARK_CENTRE, MARK_RADIUS
    c.circle(cx * k, cy * k, r * k, outline=WHITE, width=0.26 * r * k)
    pts = [(x * k, y * k) for x, y in stairs()]
    c.line(pts, fill=NAVY, width=0.38 * r * k)
    c.line(pts, fill=ACCENT, width=0.2 * r * k)
    out = here / "icons" / f"{size}x{size}" / f"{APP_ID}.png"
    out.parent.mkdir(parents=True, exist_ok=True)
    c.final().save(out, optimize=True)


def draw_svg():
    x0, y0, x1, y1 = TILE
    (cx, cy), r = MARK_CENTRE, MARK_RADIUS
    ring = 0.26 * r
    points = " ".join(f"{x:g},{y:g}" for x, y in stairs())
    # Strokes are centred on the path in SVG, drawn inside the box by PIL.
    rim = 1.5
    svg = f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="{GRID}" height="{GRID}" viewBox="0 0 {GRID} {GRID}">
  <defs>
    <linearGradient id="tile" x1="0" y1="{y0}" x2="0" y2="{y1}" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="{hexcolour(TILE_TOP)}"/>
      <stop offset="1" stop-color="{hexcolour(NAVY)}"/>
    </linearGradient>
  </defs>
  <rect x="{x0 + rim / 2:g}" y="{y0 + rim / 2:g}" width="{x1 - x0 - rim:g}" height="{y1 - y0 - rim:g}" rx="{TILE_RADIUS - rim / 2:g}" fill="url(#tile)" stroke="{hexcolour(RIM)}" stroke-width="{rim:g}"/>
  <circle cx="{cx}" cy="{cy}" r="{r - ring / 2:g}" fill="none" stroke="{hexcolour(WHITE)}" stroke-width="{ring:g}"/>
  <g fill="none" stroke-linejoin="round">
    <polyline points="{points}" stroke="{hexcolour(NAVY)}" stroke-width="{0.38 * r:g}"/>
    <polyline points="{points}" stroke="{hexcolour(ACCENT)}" stroke-width="{0.2 * r:g}"/>
  </g>
</svg>
"""
    out = here / "icons" / "scalable" / f"{APP_ID}.svg"
    out.parent.mkdir(parents=True, exist_ok=True)
    out.write_text(svg)


if __name__ == "__main__":
    for size in PNG_SIZES:
        draw_png(size)
    draw_svg()
