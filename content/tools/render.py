#!/usr/bin/python3
"""Renders one plate (or a standalone SVG such as the banner) to a JPEG.

    render.py PLATE_OR_SVG OUT.jpg [--progressive] [--quality Q]
    render.py PLATE_OR_SVG OUT.png --scale 2        (preview)

A plate is laid out first; a layout fault stops the render with its message.
"""

import argparse
import io
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from plates import ContentError, compose, parse_plate  # noqa: E402

STYLE_DIR = Path(__file__).resolve().parent.parent / "style"


def svg_of(source: Path) -> tuple[str, bool]:
    if source.suffix == ".plate":
        plate = parse_plate(source)
        return compose(plate, STYLE_DIR), plate.progressive
    return source.read_text(encoding="utf-8"), False


def rasterise(svg: str, scale: float = 1.0) -> bytes:
    done = subprocess.run(["rsvg-convert", "--zoom", str(scale), "--format", "png",
                           "--background-color", "white"],
                          input=svg.encode("utf-8"), capture_output=True)
    if done.returncode != 0:
        raise ContentError(f"rsvg-convert failed: {done.stderr.decode(errors='replace').strip()}")
    return done.stdout


def main() -> int:
    ap = argparse.ArgumentParser()
    ap.add_argument("source", type=Path)
    ap.add_argument("out", type=Path)
    ap.add_argument("--progressive", action="store_true")
    ap.add_argument("--quality", type=int, default=92)
    ap.add_argument("--scale", type=float, default=1.0)
    args = ap.parse_args()
    try:
        svg, progressive = svg_of(args.source)
        png = rasterise(svg, args.scale)
    except ContentError as e:
        print(f"error: {e}", file=sys.stderr)
        return 1
    args.out.parent.mkdir(parents=True, exist_ok=True)
    if args.out.suffix == ".png":
        args.out.write_bytes(png)
        return 0
    from PIL import Image
    image = Image.open(io.BytesIO(png)).convert("RGB")
    tmp = args.out.with_suffix(".tmp")
    image.save(tmp, "JPEG", quality=args.quality, progressive=progressive or args.progressive,
               optimize=True, subsampling=0)
    tmp.replace(args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
