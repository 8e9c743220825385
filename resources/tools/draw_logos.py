#!/usr/bin/python3
"""Draws the three header logos as 24-bit BMPs on the header's navy, so they
join the title band seamlessly: quorvel-logo.bmp (86 x 84), vxi-logo.bmp
(146 x 84) and lxi-logo.bmp (121 x 84)."""

from artkit import ACCENT, NAVY, WHITE, Canvas, draw_mark, mix

CAPTION = mix(NAVY, WHITE, 0.62)
FRAME = mix(NAVY, WHITE, 0.35)


def maker_logo():
    c = Canvas(86, 84, background=NAVY + (255,))
    draw_mark(c, 40, 33, 20)
    c.text(43, 70, "QUORVEL", 9.5, WHITE, anchor="mm", spacing=1.2)
    c.save_bmp("quorvel-logo.bmp", NAVY)


def bus_logo(name, letters, caption, width):
    c = Canvas(width, 84, background=NAVY + (255,))
    c.rect(8, 10, width - 8, 74, outline=FRAME, width=1.2, radius=7)
    c.text(width / 2, 38, letters, 34, WHITE, anchor="mm", spacing=1.0)
    c.rect(width / 2 - 22, 56, width / 2 + 22, 58.5, fill=ACCENT)
    c.text(width / 2, 66, caption, 7.5, CAPTION, anchor="mm", spacing=1.4)
    c.save_bmp(name, NAVY)


if __name__ == "__main__":
    maker_logo()
    bus_logo("vxi-logo.bmp", "VXI", "MAINFRAME", 146)
    bus_logo("lxi-logo.bmp", "LXI", "LAN", 121)
