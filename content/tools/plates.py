"""Reading plate sources and laying out their labels.

A category is a folder with an `order.txt` (one plate name a line, `#` starts a
comment) and, for each plate, `<name>.plate` (title, canvas, glossary lines with
their label data) and `<name>.svg` (the drawing, no text). Item numbers come
from the position in `order.txt`.
"""

from __future__ import annotations

import html
import re
from dataclasses import dataclass, field
from pathlib import Path

CATEGORIES = [  # (folder, letter, label) in list order; tags are 1..6
    ("vegetal", "v", "Vegetal"),
    ("animal", "a", "Animal"),
    ("human", "h", "Human"),
    ("music", "m", "Music"),
    ("transport", "t", "Transport"),
    ("clothing", "c", "Clothing"),
]

FONT_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
FONT_FAMILY = "DejaVu Sans"
FONT_SIZE = 12          # label text, pixels
LABEL_PITCH = 16        # smallest distance between two label baselines
EDGE_MARGIN = 6         # labels keep this far from the canvas edges
GAP = 4                 # between a label's text and its leader
ANCHOR_RADIUS = 2.5


class ContentError(Exception):
    """A fault in the content sources; the message names file and line."""


@dataclass
class Label:
    term: str
    x: float            # the point on the drawing the label names
    y: float
    side: str           # "left" or "right"
    preferred_y: float | None
    line_no: int
    baseline: float = 0.0   # set by the layout
    width: float = 0.0


@dataclass
class Plate:
    path: Path
    name: str
    title: str
    width: int
    height: int
    progressive: bool
    left_edge: float | None    # left labels end here
    right_edge: float | None   # right labels start here
    lines: list[str] = field(default_factory=list)          # glossary body lines
    line_numbers: list[int] = field(default_factory=list)   # source line of each
    labels: list[Label] = field(default_factory=list)

    @property
    def drawing(self) -> Path:
        return self.path.with_suffix(".svg")


LABEL_DATA = re.compile(
    r"\s+@\s*(?P<x>-?\d+(?:\.\d+)?)\s*,\s*(?P<y>-?\d+(?:\.\d+)?)\s+(?P<side>left|right)"
    r"(?:\s+y=(?P<py>-?\d+(?:\.\d+)?))?\s*$")


def read_order(folder: Path) -> list[str]:
    names = []
    for raw in (folder / "order.txt").read_text(encoding="utf-8").splitlines():
        name = raw.split("#", 1)[0].strip()
        if name:
            names.append(name)
    return names


def parse_plate(path: Path) -> Plate:
    text = path.read_text(encoding="utf-8")
    rows = text.split("\n")
    if rows and rows[-1] == "":
        rows.pop()
    header: dict[str, tuple[str, int]] = {}
    i = 0
    while i < len(rows) and rows[i].strip():
        key, sep, value = rows[i].partition(":")
        if not sep:
            raise ContentError(f"{path}:{i + 1}: header line needs 'name: value'")
        header[key.strip()] = (value.strip(), i + 1)
        i += 1
    for required in ("title", "canvas"):
        if required not in header:
            raise ContentError(f"{path}:1: header has no '{required}:' line")
    title = header["title"][0]
    m = re.fullmatch(r"(\d+)\s*x\s*(\d+)", header["canvas"][0])
    if not m:
        raise ContentError(f"{path}:{header['canvas'][1]}: canvas must read 'W x H'")

    def edge(key: str) -> float | None:
        if key not in header:
            return None
        try:
            return float(header[key][0])
        except ValueError:
            raise ContentError(f"{path}:{header[key][1]}: {key} must be a number") from None

    plate = Plate(path=path, name=path.stem, title=title, width=int(m[1]), height=int(m[2]),
                  progressive=header.get("progressive", ("no", 0))[0] == "yes",
                  left_edge=edge("labels-left"), right_edge=edge("labels-right"))
    for j in range(i + 1, len(rows)):
        line = rows[j]
        if not line.strip():
            continue  # blank lines between body lines only separate them for the reader
        data = LABEL_DATA.search(line)
        if data:
            line = line[:data.start()]
            term = line.split(":", 1)[0]
            if ":" not in line:
                raise ContentError(f"{path}:{j + 1}: a labelled line needs 'Term: definition'")
            plate.labels.append(Label(term=term, x=float(data["x"]), y=float(data["y"]),
                                      side=data["side"],
                                      preferred_y=float(data["py"]) if data["py"] else None,
                                      line_no=j + 1))
        elif "@" in line:
            raise ContentError(f"{path}:{j + 1}: label data must read '@ X,Y left|right [y=Y]'")
        plate.lines.append(line)
        plate.line_numbers.append(j + 1)
    return plate


_font = None


def text_width(text: str) -> float:
    """Advance width of `text` in the label font, in pixels."""
    global _font
    if _font is None:
        from fontTools.ttLib import TTFont
        tt = TTFont(FONT_FILE)
        _font = (tt.getBestCmap(), tt["hmtx"].metrics, tt["head"].unitsPerEm)
    cmap, metrics, units = _font
    total = 0
    for ch in text:
        glyph = cmap.get(ord(ch), ".notdef")
        total += metrics[glyph][0]
    return total * FONT_SIZE / units


def _segments_cross(a, b) -> bool:
    (p1, p2), (p3, p4) = a, b

    def orient(p, q, r):
        v = (q[0] - p[0]) * (r[1] - p[1]) - (q[1] - p[1]) * (r[0] - p[0])
        return 0 if abs(v) < 1e-9 else (1 if v > 0 else -1)

    o1, o2 = orient(p1, p2, p3), orient(p1, p2, p4)
    o3, o4 = orient(p3, p4, p1), orient(p3, p4, p2)
    return o1 * o2 < 0 and o3 * o4 < 0


def _leader(label: Label, edge: float) -> tuple[tuple[float, float], tuple[float, float]]:
    mid = label.baseline - FONT_SIZE * 0.35
    start = edge + GAP if label.side == "left" else edge - GAP
    return (start, mid), (label.x, label.y)


def layout(plate: Plate) -> None:
    """Places every label in its column; raises ContentError on a label that
    is clipped, overlaps the drawing's side, or whose leader crosses another."""
    where = f"{plate.path}"
    for label in plate.labels:
        if not (0 <= label.x <= plate.width and 0 <= label.y <= plate.height):
            raise ContentError(f"{where}:{label.line_no}: point of '{label.term}' lies outside the canvas")
        edge = plate.left_edge if label.side == "left" else plate.right_edge
        if edge is None:
            raise ContentError(f"{where}:{label.line_no}: '{label.term}' is on the {label.side} but the "
                               f"header has no labels-{label.side}: line")
        label.width = text_width(label.term)
        if label.side == "left" and edge - label.width < EDGE_MARGIN:
            raise ContentError(f"{where}:{label.line_no}: label '{label.term}' is clipped at the left edge "
                               f"({label.width:.0f} px wide, {edge - EDGE_MARGIN:.0f} px room)")
        if label.side == "right" and edge + label.width > plate.width - EDGE_MARGIN:
            raise ContentError(f"{where}:{label.line_no}: label '{label.term}' is clipped at the right edge "
                               f"({label.width:.0f} px wide, {plate.width - EDGE_MARGIN - edge:.0f} px room)")

    top = EDGE_MARGIN + FONT_SIZE
    bottom = plate.height - EDGE_MARGIN - 3
    for side in ("left", "right"):
        column = [lb for lb in plate.labels if lb.side == side]
        column.sort(key=lambda lb: (lb.preferred_y if lb.preferred_y is not None else lb.y + 4))
        if len(column) > 1 and (len(column) - 1) * LABEL_PITCH > bottom - top:
            raise ContentError(f"{where}: {len(column)} labels do not fit in the {side} column")
        previous = None
        for lb in column:  # push down past the label above
            want = lb.preferred_y if lb.preferred_y is not None else lb.y + 4
            lb.baseline = max(want, top if previous is None else previous + LABEL_PITCH)
            previous = lb.baseline
        following = None
        for lb in reversed(column):  # then pull up what fell off the bottom
            limit = bottom if following is None else following - LABEL_PITCH
            lb.baseline = min(lb.baseline, limit)
            following = lb.baseline

    leaders = [(lb, _leader(lb, plate.left_edge if lb.side == "left" else plate.right_edge))
               for lb in plate.labels]
    for i, (a, seg_a) in enumerate(leaders):
        for b, seg_b in leaders[i + 1:]:
            if _segments_cross(seg_a, seg_b):
                raise ContentError(f"{where}:{a.line_no}: leader of '{a.term}' crosses the leader of "
                                   f"'{b.term}' (line {b.line_no}); move a point or set y= on one")


def drawing_body(plate: Plate) -> str:
    """The drawing's content without its outer <svg> element."""
    svg = plate.drawing.read_text(encoding="utf-8")
    if re.search(r"<text\b", svg):
        raise ContentError(f"{plate.drawing}: the drawing holds text; labels come from the plate file")
    m = re.search(r"<svg\b[^>]*>(.*)</svg>", svg, re.S)
    if not m:
        raise ContentError(f"{plate.drawing}: no <svg> element")
    return m[1]


def style_sheet(style_dir: Path) -> tuple[str, str]:
    css = (style_dir / "plate.css").read_text(encoding="utf-8")
    symbols = "\n".join(p.read_text(encoding="utf-8")
                        for p in sorted((style_dir / "symbols").glob("*.svg")))
    return css, symbols


def compose(plate: Plate, style_dir: Path) -> str:
    """The finished plate as one SVG document: style, symbols, drawing, labels."""
    layout(plate)
    css, symbols = style_sheet(style_dir)
    out = [f'<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" '
           f'width="{plate.width}" height="{plate.height}" viewBox="0 0 {plate.width} {plate.height}">',
           f"<style>{css}</style>", f"<defs>{symbols}</defs>",
           f'<rect width="{plate.width}" height="{plate.height}" fill="#ffffff"/>',
           drawing_body(plate), '<g id="labels">']
    for lb in plate.labels:
        (sx, sy), (ex, ey) = _leader(lb, plate.left_edge if lb.side == "left" else plate.right_edge)
        out.append(f'<path class="leader" d="M{sx:.1f},{sy:.1f} L{ex:.1f},{ey:.1f}"/>')
        out.append(f'<circle class="anchor" cx="{ex:.1f}" cy="{ey:.1f}" r="{ANCHOR_RADIUS}"/>')
        anchor, x = ("end", plate.left_edge) if lb.side == "left" else ("start", plate.right_edge)
        out.append(f'<text class="label" x="{x:.1f}" y="{lb.baseline:.1f}" '
                   f'text-anchor="{anchor}">{html.escape(lb.term)}</text>')
    out.append("</g></svg>")
    return "\n".join(out)
