"""Writes the small JPEG pictures the core tests decode.

Usage: make_jpeg_fixtures.py OUTPUT_DIR

The sizes are deliberately not multiples of 8 or 16, and the colour pictures
use chroma subsampling, so edge blocks and upsampling are exercised.
"""
import random
import sys
from pathlib import Path

from PIL import Image, ImageDraw


def colourful(width, height, seed):
    rng = random.Random(seed)
    image = Image.new("RGB", (width, height))
    pixels = image.load()
    for y in range(height):
        for x in range(width):
            pixels[x, y] = (x * 255 // width, y * 255 // height, (x + y) * 7 % 256)
    draw = ImageDraw.Draw(image)
    for _ in range(12):
        x0, y0 = rng.randrange(width), rng.randrange(height)
        x1, y1 = x0 + rng.randrange(10, 60), y0 + rng.randrange(10, 60)
        colour = tuple(rng.randrange(256) for _ in range(3))
        draw.ellipse((x0, y0, x1, y1), fill=colour, outline=(0, 0, 0))
    draw.line((0, 0, width - 1, height - 1), fill=(255, 255, 255), width=3)
    return image


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    colourful(203, 157, 1).save(out / "baseline.jpg", quality=85, subsampling=2)
    colourful(181, 139, 2).save(out / "progressive.jpg", quality=80, subsampling=1,
                                progressive=True)
    colourful(97, 61, 3).convert("L").save(out / "grey.jpg", quality=90)


if __name__ == "__main__":
    main()
