#!/usr/bin/python3
"""Draws about.png (110 x 345): a tall side panel in the maker's colours. The
bundle carries it for panels that show a side image; this one does not."""

from artkit import ACCENT, NAVY, WHITE, Canvas, draw_mark, mix

W, H = 110, 345


def draw():
    c = Canvas(W, H, background=NAVY + (255,))
    c.gradient(0, 0, W, H, [(0.0, mix(NAVY, WHITE, 0.12)), (1.0, mix(NAVY, (0, 0, 0), 0.3))])
    draw_mark(c, 52, 52, 26, backing=mix(NAVY, WHITE, 0.09))
    c.text(W / 2, 104, "QUORVEL", 12, WHITE, anchor="mm", spacing=1.6)
    c.rect(20, 118, W - 20, 120, fill=ACCENT)
    legend = Canvas(200, 40, ss=c.ss)
    legend.text(100, 20, "Soft Front Panel", 15, mix(NAVY, WHITE, 0.75), bold=False,
                anchor="mm")
    c.img.alpha_composite(legend.img.rotate(90, expand=True), (c.s(35), c.s(132)))
    c.save_png("about.png")


if __name__ == "__main__":
    draw()
