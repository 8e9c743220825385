#!/usr/bin/python3
"""Derives the desktop icon (64 x 64 PNG) from the maker's logo in resources/."""
from pathlib import Path

from PIL import Image

here = Path(__file__).resolve().parent
logo = Image.open(here.parent / "resources" / "quorvel-logo.bmp").convert("RGBA")
side = max(logo.size)
square = Image.new("RGBA", (side, side), logo.getpixel((0, 0)))
square.paste(logo, ((side - logo.width) // 2, (side - logo.height) // 2))
square.resize((64, 64), Image.LANCZOS).save(here / "zelvan-4720-sfp.png")
