#!/usr/bin/python3
"""Draws fp_splash.png, the common splash background (520 x 400).

The program paints onto it at run time: the card picture over x 67..519,
y 43..237, then the title, description and copyright lines in black within
x 87..500, y 236..400. Those areas stay light and calm; the maker's frame runs
along the top and the left edge."""

import os

from PIL import Image

from artkit import ACCENT, NAVY, OUT_DIR, WHITE, Canvas, draw_mark, mix, save_unfiltered_png

W, H = 520, 400
BAND = 30       # top band height
COLUMN = 46     # left column width


def backdrop(c):
    c.gradient(0, 0, W, H, [(0.0, (0xFF, 0xFF, 0xFF)), (0.55, (0xF6, 0xF8, 0xFB)),
                            (1.0, (0xE4, 0xE9, 0xF1))])
    # A soft pool of light under the card.
    c.radial_glow(300, 150, 190, (0xFF, 0xFF, 0xFF), strength=255)


def top_band(c):
    c.gradient(0, 0, W, BAND, [(0.0, mix(NAVY, WHITE, 0.1)), (1.0, NAVY)])
    c.rect(0, BAND, W, BAND + 2, fill=ACCENT)
    draw_mark(c, 22, 14.5, 8.5, backing=mix(NAVY, WHITE, 0.05))
    c.text(COLUMN + 8, 15.5, "QUORVEL", 12, WHITE, anchor="lm", spacing=2.4)
    c.text(W - 14, 15.5, "Soft Front Panel", 10.5, mix(NAVY, WHITE, 0.7), bold=False,
           anchor="rm")


def left_column(c):
    c.gradient(0, BAND + 2, COLUMN, H, [(0.0, NAVY), (1.0, mix(NAVY, (0, 0, 0), 0.25))],
               vertical=True)
    c.rect(COLUMN, BAND + 2, COLUMN + 2, H, fill=ACCENT)
    # Vertical legend, reading upwards.
    legend = Canvas(300, COLUMN, ss=c.ss)
    legend.text(150, COLUMN / 2, "MODULAR INSTRUMENTS", 9, mix(NAVY, WHITE, 0.45),
                anchor="mm", spacing=3.0)
    rotated = legend.img.rotate(90, expand=True)
    c.img.alpha_composite(rotated, (0, c.s(H - 310)))


def rule_under_card(c):
    c.gradient(87, 240, 500, 241, [(0.0, mix(WHITE, NAVY, 0.0)), (0.5, mix(WHITE, NAVY, 0.25)),
                                   (1.0, mix(WHITE, NAVY, 0.0))], vertical=False)


def draw():
    c = Canvas(W, H, background=(255, 255, 255, 255))
    backdrop(c)
    top_band(c)
    left_column(c)
    rule_under_card(c)
    flat = Image.new("RGB", (W, H))
    flat.paste(c.final().convert("RGB"))
    save_unfiltered_png(flat, os.path.join(OUT_DIR, "fp_splash.png"))


if __name__ == "__main__":
    draw()
