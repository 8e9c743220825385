#!/usr/bin/python3
"""Makes the card pictures the splash tests inject, under made-up model codes.
Plain colours, so a test can tell which picture (and which part of it) landed."""

import os

from PIL import Image, ImageDraw

os.chdir(os.path.dirname(os.path.abspath(__file__)))

GREEN, MAGENTA, CYAN = (0, 200, 0), (255, 0, 255), (0, 255, 255)

# 0x9101: a full-size BMP (black band where the card goes, white elsewhere)
# beside a correctly sized PNG: the BMP must win.
full = Image.new("1", (520, 400), 1)
ImageDraw.Draw(full).rectangle([67, 38, 67 + 453 - 1, 38 + 199 - 1], fill=0)
full.save("qv9101fp_splash.bmp")
Image.new("RGB", (452, 194), GREEN).save("qv9101fp_splash.png")

# 0x9102: one row too many.
Image.new("RGB", (452, 195), GREEN).save("qv9102fp_splash.png")

# 0x9103: a BMP of card size is not a full picture; the PNG is used.
Image.new("1", (452, 194), 0).save("qv9103fp_splash.bmp")
Image.new("RGB", (452, 194), MAGENTA).save("qv9103fp_splash.png")

# 18208: the DAC card's code written in decimal.
Image.new("RGB", (452, 194), CYAN).save("qv18208fp_splash.png")
