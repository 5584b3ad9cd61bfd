#!/usr/bin/python3
"""Renders one plate (or a standalone SVG such as the banner) to a picture.

    render.py PLATE OUT.jpg [--depfile OUT.d]    the plate's picture, after its checks
    render.py PLATE OUT.png [--scale 2]          a preview
    render.py PLATE --review OUT.png             twice the size, beside a crop round
                                                 every dot, each captioned with its term
    render.py BANNER.svg OUT.jpg                 a standalone drawing

A plate's picture for the program comes with OUT.labels, its labels as the
picture shows them, in the order of their lines (UTF-8, one label a row, tab
between the fields):

    LINE  TERM  LEFT TOP RIGHT BOTTOM  dot X Y RADIUS
    LINE  TERM  LEFT TOP RIGHT BOTTOM  bracket X1 Y1 X2 Y2 X3 Y3 X4 Y4

LINE is the index of the label's line among the entry's body lines (0 for
the first line under the heading); LEFT TOP RIGHT BOTTOM is the box of every
pixel the label's text inks in the picture (right and bottom exclusive),
measured on the render; the dot's centre and radius, or the four corners of
the bracket's path, are where the drawing puts them.

A plate is laid out and its labels are checked against the drawing (see
partcheck.py); a fault is printed with its file, line and term and fails the
render. A picture for the program is then not written; a preview or a review
sheet is, so that the fault can be seen. The depfile names everything the picture was drawn from,
so the build renders a plate again exactly when one of those changes.
"""

import argparse
import re
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from check import PICTURE_MAX_BYTES, body_line_faults  # noqa: E402
from drawing import Templates, compose, read_drawing  # noqa: E402
from plates import STYLE_DIR, ContentError, Plate, parse_plate  # noqa: E402

TOOLS = Path(__file__).resolve().parent
JPEG_QUALITY = 92


def checked_plate(source: Path, templates: Templates) -> tuple[Plate, str, list[str]]:
    """The plate, its composed SVG and the faults its labels' checks found."""
    from partcheck import PartChecker
    plate = parse_plate(source)
    drawing = read_drawing(plate, templates)
    svg = compose(plate, drawing)
    faults = [f"{plate.path}:{n}: {fault}" for line, n in zip(plate.lines, plate.line_numbers)
              for fault in body_line_faults(line)]  # the text's own faults, for a plate not yet listed
    return plate, svg, faults + PartChecker(plate, drawing).faults()


def to_image(surface):
    from PIL import Image
    return Image.frombuffer("RGB", (surface.get_width(), surface.get_height()), bytes(surface.get_data()),
                            "raw", "BGRX", surface.get_stride(), 1)


def write_depfile(path: Path, targets: list[Path], plate: Plate, templates: Templates) -> None:
    inputs = [plate.path, plate.drawing, STYLE_DIR / "plate.css", STYLE_DIR / "patterns.svg"]
    inputs += [templates.path(t) for t in templates.used_by(plate.drawing)]
    inputs += sorted(TOOLS.glob("*.py"))
    path.write_text(" ".join(map(str, targets)) + ": " + " ".join(str(p).replace(" ", "\\ ") for p in inputs)
                    + "\n")


def label_rows(plate: Plate, svg: str) -> list[str]:
    """The rows of OUT.labels. Each label's text is rendered alone, exactly as
    in the picture, and its box is that of every pixel it inks."""
    from PIL import ImageChops
    from drawing import label_id
    from partcheck import render_svg
    from plates import ANCHOR_RADIUS, mark_points
    rows = []
    for n, label in enumerate(plate.labels):
        alone = to_image(render_svg(svg, plate.width, plate.height, element=f"#{label_id(n)}"))
        box = ImageChops.invert(alone.convert("L")).getbbox()  # white is 0 once inverted
        if box is None:
            raise ContentError(f"{plate.path}:{label.line_no}: the label '{label.term}' inks no pixel")
        points = mark_points(label)
        mark = (f"dot {points[0][0]:g} {points[0][1]:g} {ANCHOR_RADIUS:g}" if label.bracket is None
                else "bracket " + " ".join(f"{x:g} {y:g}" for x, y in points))
        line = plate.line_numbers.index(label.line_no)
        rows.append(f"{line}\t{label.term}\t{' '.join(map(str, box))}\t{mark}")
    return rows


def review_sheet(plate: Plate, svg: str, out: Path) -> None:
    """The plate at twice its size and, beside it, a crop round every dot."""
    from PIL import Image, ImageDraw, ImageFont
    from partcheck import render_svg
    scale, half, caption = 2, 36, 16
    big = to_image(render_svg(svg, plate.width, plate.height, scale))
    font = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 12)
    cell = 2 * half * scale
    rows_fit = max(1, big.height // (cell + caption))
    columns = max(1, -(-len(plate.labels) // rows_fit))
    sheet = Image.new("RGB", (big.width + 16 + columns * (cell + 8), max(big.height, rows_fit * (cell + caption))),
                      "white")
    sheet.paste(big, (0, 0))
    draw = ImageDraw.Draw(sheet)
    for n, label in enumerate(plate.labels):
        cx, cy = round(label.x * scale), round(label.y * scale)
        crop = Image.new("RGB", (cell, cell), "white")  # white, not black, beyond the picture's edge
        crop.paste(big, (half * scale - cx, half * scale - cy))
        x = big.width + 16 + (n // rows_fit) * (cell + 8)
        y = (n % rows_fit) * (cell + caption)
        sheet.paste(crop, (x, y))
        draw.rectangle([x, y, x + cell - 1, y + cell - 1], outline="#c8ced3")
        draw.text((x + 2, y + cell + 1), f"{label.line_no}: {label.term}"[:28], fill="#22313f", font=font)
    sheet.save(out)


def main() -> int:
    ap = argparse.ArgumentParser()
    ap.add_argument("source", type=Path)
    ap.add_argument("out", type=Path, nargs="?")
    ap.add_argument("--review", type=Path, metavar="OUT.png")
    ap.add_argument("--scale", type=float, default=1.0)
    ap.add_argument("--depfile", type=Path)
    ap.add_argument("--timing", action="store_true", help="print how long the checks took")
    args = ap.parse_args()
    if (args.out is None) == (args.review is None):
        ap.error("give either OUT or --review OUT.png")
    templates = Templates()
    faults: list[str] = []
    try:
        if args.source.suffix == ".plate":
            started = time.perf_counter()
            plate, svg, faults = checked_plate(args.source, templates)
            if args.timing:
                print(f"{args.source.name}: checked in {time.perf_counter() - started:.3f} s")
            width, height, progressive = plate.width, plate.height, plate.progressive
        else:
            plate, svg = None, args.source.read_text(encoding="utf-8")
            m = re.search(r'width="(\d+)"[^>]*height="(\d+)"', svg)
            width, height, progressive = int(m[1]), int(m[2]), False
        for fault in faults:
            print(f"content error: {fault}", file=sys.stderr)
        preview = args.review is not None or args.out.suffix == ".png"
        if faults and not preview:
            return 1  # a picture with a label off its part never reaches the program
        from partcheck import render_svg
        if args.review:
            review_sheet(plate, svg, args.review)
            return 1 if faults else 0
        image = to_image(render_svg(svg, width, height, args.scale))
        labels = label_rows(plate, svg) if plate is not None and args.out.suffix != ".png" else None
    except ContentError as e:
        for line in str(e).splitlines():
            print(f"content error: {line}", file=sys.stderr)
        return 1
    args.out.parent.mkdir(parents=True, exist_ok=True)
    if args.out.suffix == ".png":
        image.save(args.out)  # a preview shows the plate even when its labels have faults
        return 1 if faults else 0
    tmp = args.out.with_suffix(".tmp")
    image.save(tmp, "JPEG", quality=JPEG_QUALITY, progressive=progressive, optimize=True, subsampling=0)
    if plate is not None and tmp.stat().st_size > PICTURE_MAX_BYTES:  # seen at once, not at the content check
        print(f"content error: {plate.path}: the picture takes {tmp.stat().st_size} bytes, more than "
              f"{PICTURE_MAX_BYTES}; simplify the drawing", file=sys.stderr)
        tmp.unlink()
        return 1
    tmp.replace(args.out)
    if labels is not None:
        args.out.with_suffix(".labels").write_text("".join(row + "\n" for row in labels), encoding="utf-8")
    if args.depfile and plate is not None:
        write_depfile(args.depfile, [args.out, args.out.with_suffix(".labels")], plate, templates)
    return 0


if __name__ == "__main__":
    sys.exit(main())
