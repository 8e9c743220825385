#!/usr/bin/python3
"""Draws qv4720fp_splash.png: the 4720 DAC card seen from the front and a
little above, its board receding behind the front panel. 452 x 194, with a
transparent background so it sits on any splash."""

import math
import os
import random

from artkit import ACCENT, NAVY, OUT_DIR, WHITE, Canvas, mix, save_unfiltered_png

W, H = 452, 194

# Board plane in perspective: u runs left to right, v from the front panel
# (0) to the backplane edge (1).
FRONT_Y, BACK_Y = 117.0, 12.0
FRONT_X0, FRONT_X1 = 22.0, 430.0
SHRINK = 0.84  # back edge width / front edge width

PANEL = (6.0, 114.0, 446.0, 186.0)
CHANNELS = 8
CONNECTOR_X0, CONNECTOR_PITCH, CONNECTOR_Y = 184.0, 30.0, 157.0

PCB = (0x1E, 0x5C, 0x3A)
PCB_DARK = (0x14, 0x42, 0x2A)
TRACE = (0x3E, 0x86, 0x58)
CHIP = (0x24, 0x25, 0x28)
CHIP_SIDE = (0x10, 0x10, 0x12)
PIN = (0xC8, 0xCC, 0xD2)
GOLD = (0xD6, 0xAA, 0x42)


def scale_at(v):
    return 1.0 / (1.0 + (1.0 / SHRINK - 1.0) * v)


HORIZON = FRONT_Y - (FRONT_Y - BACK_Y) / (1.0 - scale_at(1.0))


def project(u, v, lift=0.0):
    """Board point to picture point; lift raises it off the board (pixels at the front)."""
    s = scale_at(v)
    cx = (FRONT_X0 + FRONT_X1) / 2.0
    x = cx + ((FRONT_X0 + (FRONT_X1 - FRONT_X0) * u) - cx) * s
    y = HORIZON + (FRONT_Y - HORIZON) * s - lift * s
    return x, y


def quad(u0, v0, u1, v1, lift=0.0):
    return [project(u0, v0, lift), project(u1, v0, lift), project(u1, v1, lift),
            project(u0, v1, lift)]


def channel_u(i):
    x = CONNECTOR_X0 + i * CONNECTOR_PITCH
    return (x - FRONT_X0) / (FRONT_X1 - FRONT_X0)


def block(c, u0, v0, u1, v1, height, top, side, outline=None):
    """A box standing on the board: front face, then top face."""
    c.polygon([project(u0, v0), project(u1, v0), project(u1, v0, height),
               project(u0, v0, height)], fill=side)
    c.polygon(quad(u0, v0, u1, v1, height), fill=top, outline=outline)


def cylinder(c, u, v, radius, height, body, top, band=None):
    x, y = project(u, v)
    s = scale_at(v)
    rx, ry = radius * s, radius * s * 0.5
    lift = height * s
    c.ellipse(x, y, rx, ry, fill=mix(body, (0, 0, 0), 0.3))
    c.rect(x - rx, y - lift, x + rx, y, fill=body)
    if band:
        c.rect(x + rx * 0.35, y - lift, x + rx * 0.8, y, fill=band)
    c.rect(x - rx * 0.55, y - lift, x - rx * 0.3, y, fill=mix(body, WHITE, 0.35))
    c.ellipse(x, y - lift, rx, ry, fill=top)


def draw_board(c):
    outline = quad(0, 0, 1, 1)
    c.shadow(outline, offset=(0, 3), blur=4, alpha=90)
    c.polygon(outline, fill=PCB)
    # Board edge catches the light along the far side.
    c.line([project(0, 1), project(1, 1)], fill=mix(PCB, WHITE, 0.35), width=1.2)
    c.line([project(0, 1), project(0, 0)], fill=PCB_DARK, width=1.0)
    c.line([project(1, 1), project(1, 0)], fill=PCB_DARK, width=1.0)
    for u, v in ((0.025, 0.93), (0.975, 0.93), (0.025, 0.45), (0.975, 0.45)):
        x, y = project(u, v)
        c.ellipse(x, y, 3.2, 1.8, fill=GOLD)
        c.ellipse(x, y, 1.6, 0.9, fill=(30, 30, 30))


def draw_traces(c):
    """Copper under solder mask: channel lanes to the front, a bus to the controller."""
    for i in range(CHANNELS):
        u = channel_u(i)
        for k, du in enumerate((-0.008, 0.0, 0.008)):
            c.line([project(u + du, 0.02), project(u + du, 0.34 + 0.02 * k)],
                   fill=TRACE, width=0.6)
        c.line([project(u, 0.34), project(u + (0.5 - u) * 0.5, 0.44),
                project(0.5 + (u - 0.5) * 0.25, 0.5)], fill=TRACE, width=0.6)
    for k in range(10):
        u = 0.44 + k * 0.013
        c.line([project(u, 0.72), project(u, 0.86)], fill=TRACE, width=0.5)
    for k in range(4):
        v = 0.58 + k * 0.03
        c.line([project(0.3, v), project(0.42, v)], fill=TRACE, width=0.5)


def draw_pins(c, u0, v0, u1, count):
    step = (u1 - u0) / count
    for k in range(count):
        u = u0 + step * (k + 0.5)
        x, y = project(u, v0)
        c.rect(x - 0.45, y - 0.3, x + 0.45, y + 1.3, fill=PIN)


def draw_chips(c):
    for i in range(CHANNELS):
        u = channel_u(i)
        # DAC
        draw_pins(c, u - 0.024, 0.24, u + 0.024, 7)
        block(c, u - 0.026, 0.24, u + 0.026, 0.36, 2.2, CHIP, CHIP_SIDE)
        x, y = project(u - 0.018, 0.33, 2.2)
        c.circle(x, y, 0.7, fill=(80, 80, 84))
        # output amplifier
        draw_pins(c, u - 0.012, 0.09, u + 0.012, 4)
        block(c, u - 0.014, 0.09, u + 0.014, 0.16, 1.8, CHIP, CHIP_SIDE)
        # passives beside the channel
        for k, (du, dv) in enumerate(((-0.03, 0.05), (0.02, 0.05), (0.03, 0.2), (-0.035, 0.2))):
            colour = (0xB8, 0x8E, 0x5A) if k % 2 else (0x3A, 0x3A, 0x3A)
            block(c, u + du - 0.005, dv, u + du + 0.005, dv + 0.025, 0.8, colour,
                  mix(colour, (0, 0, 0), 0.4))
    # controller
    draw_pins(c, 0.41, 0.52, 0.59, 16)
    block(c, 0.41, 0.52, 0.59, 0.74, 2.6, (0x33, 0x35, 0x3A), CHIP_SIDE)
    x, y = project(0.5, 0.64, 2.6)
    c.text(x, y, "QV-DAC8", 4.2, (150, 152, 158), anchor="mm")
    x, y = project(0.425, 0.71, 2.6)
    c.circle(x, y, 0.9, fill=(90, 92, 98))
    # memory and clock
    block(c, 0.33, 0.78, 0.39, 0.84, 1.6, CHIP, CHIP_SIDE)
    block(c, 0.615, 0.6, 0.655, 0.66, 2.4, (0xD8, 0xDB, 0xE0), (0x90, 0x94, 0x9A))
    # isolated supply module under its shield
    block(c, 0.71, 0.52, 0.86, 0.76, 6.0, (0xC9, 0xCD, 0xD3), (0x8C, 0x91, 0x98))
    x, y = project(0.785, 0.64, 6.0)
    c.text(x, y, "ISO 24V", 4.0, (0x60, 0x66, 0x70), anchor="mm")
    draw_power_section(c)
    # digital isolators between the controller and the supply
    for k in range(3):
        u = 0.635 + k * 0.026
        draw_pins(c, u - 0.009, 0.8, u + 0.009, 4)
        block(c, u - 0.01, 0.8, u + 0.01, 0.86, 1.6, CHIP, CHIP_SIDE)
    cylinder(c, 0.93, 0.62, 5.0, 9.0, (0x27, 0x3E, 0x7A), (0xC4, 0xC8, 0xCE),
             band=(0x9C, 0xA8, 0xC8))


def draw_power_section(c):
    """Supply filtering and regulation in the free corner left of the channels."""
    for u, v in ((0.22, 0.36), (0.22, 0.18)):
        block(c, u - 0.03, v, u + 0.03, v + 0.05, 1.4, (0xB8, 0xBC, 0xC2), (0x80, 0x84, 0x8A))
        block(c, u - 0.026, v - 0.045, u + 0.026, v, 3.0, CHIP, CHIP_SIDE)
    for u in (0.07, 0.13):
        block(c, u - 0.024, 0.4, u + 0.024, 0.5, 4.0, (0x52, 0x55, 0x5A), (0x30, 0x32, 0x36))
        x, y = project(u, 0.45, 4.0)
        c.text(x, y, "100", 3.4, (0xB0, 0xB4, 0xBA), anchor="mm")
    for u in (0.06, 0.11, 0.16):
        cylinder(c, u, 0.2, 5.0, 9.0, (0x27, 0x3E, 0x7A), (0xC4, 0xC8, 0xCE),
                 band=(0x9C, 0xA8, 0xC8))
    # voltage reference in its metal can
    cylinder(c, 0.31, 0.6, 4.0, 4.0, (0xB8, 0xBC, 0xC2), (0xDE, 0xE1, 0xE5))


def draw_backplane_connectors(c):
    for u0, u1 in ((0.06, 0.44), (0.56, 0.94)):
        block(c, u0, 0.89, u1, 0.97, 5.0, (0x2C, 0x2D, 0x31), (0x18, 0x18, 0x1A))
        n = 24
        for k in range(n):
            u = u0 + (u1 - u0) * (k + 0.5) / n
            for v in (0.915, 0.945):
                x, y = project(u, v, 5.0)
                c.rect(x - 0.5, y - 0.35, x + 0.5, y + 0.35, fill=GOLD)


def draw_silkscreen(c):
    x, y = project(0.08, 0.78)
    c.text(x, y, "QV4720  REV C", 5.0, (0xE8, 0xEE, 0xE8), anchor="lm")
    x, y = project(0.08, 0.72)
    c.text(x, y, "8CH 18BIT DAC", 4.2, (0xC8, 0xD8, 0xCC), anchor="lm")
    for i in range(CHANNELS):
        x, y = project(channel_u(i), 0.405)
        c.text(x, y, "CH%d" % (i + 1), 3.6, (0xD8, 0xE4, 0xDA), anchor="mm")


def draw_panel_body(c):
    x0, y0, x1, y1 = PANEL
    c.shadow([(x0 + 4, y1 - 6), (x1 - 4, y1 - 6), (x1 - 4, y1), (x0 + 4, y1)],
             offset=(0, 3), blur=2.5, alpha=120)
    c.gradient(x0, y0, x1, y1, [(0.0, (0xF2, 0xF4, 0xF7)), (0.06, (0xDD, 0xE1, 0xE7)),
                                (0.55, (0xC7, 0xCC, 0xD4)), (1.0, (0xA4, 0xAA, 0xB4))],
               radius=3)
    c.brushed(x0, y0, x1, y1, amount=16, radius=3)
    c.rect(x0, y0, x1, y1, outline=(0x80, 0x86, 0x90), width=0.8, radius=3)
    c.line([(x0 + 3, y0 + 1.2), (x1 - 3, y0 + 1.2)], fill=(255, 255, 255, 200), width=0.8)


def draw_handle(c, x0, x1):
    y0, y1 = PANEL[1] + 3, PANEL[3] - 3
    c.gradient(x0, y0, x1, y1, [(0.0, (0x5A, 0x60, 0x6A)), (0.5, (0x3A, 0x3F, 0x47)),
                                (1.0, (0x24, 0x27, 0x2D))], radius=3)
    for k in range(9):
        y = y0 + 10 + k * 5.6
        c.line([(x0 + 4, y), (x1 - 4, y)], fill=(0x1A, 0x1C, 0x20), width=1.1)
        c.line([(x0 + 4, y + 1.1), (x1 - 4, y + 1.1)], fill=(0x6A, 0x70, 0x7A), width=0.6)
    c.rect(x0 + 3, y0 + 2.5, x1 - 3, y0 + 6.5, fill=NAVY, radius=1.5)


def draw_screw(c, x, y):
    c.circle(x, y + 0.6, 5.6, fill=(0x70, 0x76, 0x80))
    c.gradient(x - 5, y - 5, x + 5, y + 5, [(0.0, (0xF4, 0xF5, 0xF7)), (1.0, (0x8E, 0x94, 0x9E))],
               radius=5)
    c.circle(x, y, 5, outline=(0x6A, 0x70, 0x7A), width=0.6)
    hexagon = [(x + 2.2 * math.cos(a), y + 2.2 * math.sin(a))
               for a in (math.pi / 3 * k + math.pi / 6 for k in range(6))]
    c.polygon(hexagon, fill=(0x3A, 0x3E, 0x45))


def draw_id_block(c):
    x0, y0, x1, y1 = 48.0, 121.0, 138.0, 179.0
    c.gradient(x0, y0, x1, y1, [(0.0, mix(NAVY, WHITE, 0.12)), (1.0, NAVY)], radius=2.5)
    c.rect(x0, y0 + 40.5, x1, y0 + 42, fill=ACCENT)
    c.text((x0 + x1) / 2, y0 + 19, "4720", 21, WHITE, anchor="mm")
    c.text((x0 + x1) / 2, y0 + 34, "8-CH 18-BIT DAC", 6.6, (0xC8, 0xD2, 0xE8), anchor="mm")
    c.text((x0 + x1) / 2, y0 + 50, "QUORVEL", 7.0, WHITE, anchor="mm", spacing=1.6)


def draw_led(c, x, y):
    c.text(x, y - 14, "RDY", 6.4, NAVY, anchor="mm")
    c.circle(x, y, 4.6, fill=(0x50, 0x55, 0x5E))
    c.radial_glow(x, y, 11, (0x60, 0xFF, 0x70), strength=120)
    c.circle(x, y, 3.4, fill=(0x2C, 0xD8, 0x48))
    c.circle(x - 1.1, y - 1.1, 1.1, fill=(0xD8, 0xFF, 0xDC))


def draw_connector(c, x, y, label):
    c.text(x, y - 23, label, 9.5, NAVY, anchor="mm")
    c.circle(x + 0.6, y + 1.4, 11.5, fill=(0, 0, 0, 70))
    nut = [(x + 11.5 * math.cos(a), y + 11.5 * math.sin(a))
           for a in (math.pi / 3 * k for k in range(6))]
    c.polygon(nut, fill=(0x9A, 0xA0, 0xA8))
    top = [(x + 10.3 * math.cos(a), y + 10.3 * math.sin(a) - 0.6)
           for a in (math.pi / 3 * k for k in range(6))]
    c.polygon(top, fill=(0xC8, 0xCC, 0xD2))
    c.gradient(x - 8, y - 8, x + 8, y + 8, [(0.0, (0xFA, 0xFB, 0xFC)), (0.5, (0xC2, 0xC7, 0xCE)),
                                            (1.0, (0x84, 0x8A, 0x94))], radius=8)
    c.circle(x, y, 8, outline=(0x6C, 0x72, 0x7C), width=0.5)
    c.circle(x, y, 5.6, fill=(0x4A, 0x4E, 0x55))
    c.circle(x, y, 4.8, fill=(0xEC, 0xE8, 0xDC))
    c.circle(x, y, 1.9, fill=GOLD)
    c.circle(x - 0.6, y - 0.6, 0.7, fill=(0xFF, 0xF0, 0xC0))


def draw_output_legend(c):
    first = CONNECTOR_X0
    last = CONNECTOR_X0 + (CHANNELS - 1) * CONNECTOR_PITCH
    y = 177.0
    c.line([(first - 8, y - 3), (first - 8, y), (last + 8, y), (last + 8, y - 3)],
           fill=NAVY, width=0.8)
    mid = (first + last) / 2
    c.rect(mid - 40, y - 3, mid + 40, y + 3, fill=(0xC0, 0xC5, 0xCD))
    c.text(mid, y, "OUTPUT  \u00b110 V", 6.6, NAVY, anchor="mm")


def draw():
    random.seed(4720)
    c = Canvas(W, H)
    draw_board(c)
    draw_traces(c)
    draw_silkscreen(c)
    draw_backplane_connectors(c)
    draw_chips(c)
    draw_panel_body(c)
    draw_handle(c, PANEL[0] + 2, PANEL[0] + 26)
    draw_handle(c, PANEL[2] - 26, PANEL[2] - 2)
    draw_screw(c, PANEL[0] + 35, 150)
    draw_screw(c, PANEL[2] - 35, 150)
    draw_id_block(c)
    draw_led(c, 158, 152)
    for i in range(CHANNELS):
        draw_connector(c, CONNECTOR_X0 + i * CONNECTOR_PITCH, CONNECTOR_Y, str(i + 1))
    draw_output_legend(c)
    save_unfiltered_png(c.final(), os.path.join(OUT_DIR, "qv4720fp_splash.png"))


if __name__ == "__main__":
    draw()
