#!/usr/bin/python3
"""Renders every plate picture, captioned with its key and title, onto one PNG.

    contact_sheet.py TEXT_DIR PICTURES_DIR OUT.png [CATEGORY]

With CATEGORY (a folder name such as animal), only that category's plates.
"""

import sys
from pathlib import Path

from PIL import Image, ImageDraw, ImageFont

sys.path.insert(0, str(Path(__file__).resolve().parent))
from plates import CATEGORIES  # noqa: E402

CELL_W, CELL_H, CAPTION = 260, 220, 18
COLUMNS = 6


def main() -> int:
    text_dir, pictures, out = (Path(a) for a in sys.argv[1:4])
    rows = [r.split("\t", 1) for r in (text_dir / "titles.txt").read_text("utf-8").splitlines()]
    if len(sys.argv) > 4 and sys.argv[4]:
        letters = {folder: letter for folder, letter, _label in CATEGORIES}
        if sys.argv[4] not in letters:
            print(f"no category '{sys.argv[4]}': one of {', '.join(letters)}", file=sys.stderr)
            return 2
        rows = [r for r in rows if r[0] == letters[sys.argv[4]]]
    font = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 11)
    lines = (len(rows) + COLUMNS - 1) // COLUMNS
    sheet = Image.new("RGB", (COLUMNS * CELL_W, max(1, lines) * (CELL_H + CAPTION)), "white")
    draw = ImageDraw.Draw(sheet)
    for n, (letter, title) in enumerate(rows):
        key = f"{letter.upper()}{title[:3]}"
        x, y = (n % COLUMNS) * CELL_W, (n // COLUMNS) * (CELL_H + CAPTION)
        picture = Image.open(pictures / f"{key}.jpg")
        picture.thumbnail((CELL_W - 10, CELL_H - 10))
        sheet.paste(picture, (x + (CELL_W - picture.width) // 2, y + (CELL_H - picture.height) // 2))
        draw.rectangle([x + 2, y + 2, x + CELL_W - 3, y + CELL_H - 3], outline="#c8ced3")
        draw.text((x + 6, y + CELL_H), f"{key}  {title[4:]}", fill="#22313f", font=font)
    sheet.save(out)
    print(f"{len(rows)} plates on {out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
