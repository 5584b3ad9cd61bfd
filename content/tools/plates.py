"""Reading plate sources and laying out their labels.

A category is a folder with an `order.txt` (one plate name a line, `#` starts a
comment) and, for each plate, `<name>.plate` (title, canvas, glossary lines with
their label data) and `<name>.svg` (the drawing, no text). Item numbers come
from the position in `order.txt`.
"""

from __future__ import annotations

import re
from dataclasses import dataclass, field
from pathlib import Path


FONT_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
FONT_FAMILY = "DejaVu Sans"
FONT_SIZE = 12          # label text, pixels
LABEL_PITCH = 16        # smallest distance between two label baselines
EDGE_MARGIN = 6         # labels keep this far from the canvas edges
GAP = 4                 # between a label's text and its leader
ANCHOR_RADIUS = 2.5


class ContentError(Exception):
    """A fault in the content sources; the message names file and line."""


CONTENT_DIR = Path(__file__).resolve().parent.parent
PLATES_DIR = CONTENT_DIR / "plates"
STYLE_DIR = CONTENT_DIR / "style"


def read_categories(path: Path = CONTENT_DIR / "categories.txt") -> list[tuple[str, str, str]]:
    """(folder, letter, label) of every category, in list order; tags are 1..6."""
    rows = []
    for n, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), start=1):
        fields = raw.split("#", 1)[0].split()
        if not fields:
            continue
        if len(fields) != 4 or fields[0] != str(len(rows) + 1) or len(fields[1]) != 1:
            raise ContentError(f"{path}:{n}: a category reads 'tag letter folder label', tags from 1 in order")
        rows.append((fields[2], fields[1], fields[3]))
    return rows

CATEGORIES = read_categories()


@dataclass
class Label:
    term: str
    part: str           # id of the drawing element the label names
    x: float            # where the leader ends: the dot, or the middle of the bracket
    y: float
    side: str           # "left" or "right"
    preferred_y: float | None
    line_no: int
    # A whole is marked by a bracket instead of a dot: ("v", x, y1, y2) stands
    # beside the part, ("h", x1, x2, y) under it; None for a dot.
    bracket: tuple[str, float, float, float] | None = None
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


_NUM = r"-?\d+(?:\.\d+)?"
LABEL_DATA = re.compile(
    r"\s+@\s*(?:#(?P<part>[A-Za-z][\w.-]*)\s+)?"
    rf"(?:(?P<x>{_NUM})\s*,\s*(?P<y>{_NUM})|\[(?P<bracket>[^\]]*)\])"
    rf"\s+(?P<side>left|right)(?:\s+y=(?P<py>{_NUM}))?\s*$")
BRACKET_V = re.compile(rf"\s*(?P<x>{_NUM})\s*,\s*(?P<y1>{_NUM})\s*-\s*(?P<y2>{_NUM})\s*")
BRACKET_H = re.compile(rf"\s*(?P<x1>{_NUM})\s*-\s*(?P<x2>{_NUM})\s*,\s*(?P<y>{_NUM})\s*")
LABEL_FORMS = "'@ #part X,Y left|right [y=Y]' or, for a whole, '@ #part [X,Y1-Y2] side' / '[X1-X2,Y] side'"


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
            if not data["part"]:
                raise ContentError(f"{path}:{j + 1}: the label of '{term}' names no part; "
                                   f"write {LABEL_FORMS}")
            label = Label(term=term, part=data["part"], x=0.0, y=0.0, side=data["side"],
                          preferred_y=float(data["py"]) if data["py"] else None, line_no=j + 1)
            if data["bracket"] is None:
                label.x, label.y = float(data["x"]), float(data["y"])
            elif m := BRACKET_V.fullmatch(data["bracket"]):
                x, y1, y2 = float(m["x"]), *sorted((float(m["y1"]), float(m["y2"])))
                label.bracket, label.x, label.y = ("v", x, y1, y2), x, (y1 + y2) / 2
            elif m := BRACKET_H.fullmatch(data["bracket"]):
                x1, x2, y = *sorted((float(m["x1"]), float(m["x2"]))), float(m["y"])
                label.bracket, label.x, label.y = ("h", x1, x2, y), (x1 + x2) / 2, y
            else:
                raise ContentError(f"{path}:{j + 1}: bracket of '{term}' must read '[X,Y1-Y2]' "
                                   f"(beside the part) or '[X1-X2,Y]' (under it)")
            plate.labels.append(label)
        elif "@" in line:
            raise ContentError(f"{path}:{j + 1}: label data must read {LABEL_FORMS}")
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


BRACKET_TICK = 5  # the ends of a bracket turn this far towards its part
LEVEL_WITH_BAR = 4  # a shallow leader this close to an under-bracket's near end meets it there
SHALLOW = 0.18      # ... shallow: rising less than this for each pixel it runs (10 degrees)


def leader(plate: Plate, label: Label) -> tuple[tuple[float, float], tuple[float, float]]:
    """The leader from beside the label's text to its dot or bracket."""
    edge = plate.left_edge if label.side == "left" else plate.right_edge
    mid = label.baseline - FONT_SIZE * 0.35
    start = edge + GAP if label.side == "left" else edge - GAP
    if label.bracket and label.bracket[0] == "h":
        # a leader that would reach the bar's near end within a few pixels of
        # it would run on along half the bar, a thick wedge: it meets that end
        _kind, x1, x2, y = label.bracket
        near = x1 if label.side == "left" else x2
        run = abs(label.x - start)
        if run > abs(near - start) and abs(mid - y) <= SHALLOW * run:
            height_at_near = mid + (label.y - mid) * (near - start) / (label.x - start)
            if abs(height_at_near - y) <= LEVEL_WITH_BAR:
                return (start, mid), (near, y)
    return (start, mid), (label.x, label.y)


def mark_points(label: Label) -> list[tuple[float, float]]:
    """Where a label's mark is drawn, to the tenth of a pixel the drawing uses:
    a dot's centre, or the four corners of its bracket's path - a line along
    the whole with its ends turned towards it (away from the label column, or
    up for one underneath)."""
    if label.bracket is None:
        points = [(label.x, label.y)]
    elif label.bracket[0] == "v":
        _kind, a, b, c = label.bracket
        tick = BRACKET_TICK if label.side == "left" else -BRACKET_TICK
        points = [(a + tick, b), (a, b), (a, c), (a + tick, c)]
    else:
        _kind, a, b, c = label.bracket
        points = [(a, c - BRACKET_TICK), (a, c), (b, c), (b, c - BRACKET_TICK)]
    return [(round(x, 1), round(y, 1)) for x, y in points]


def bracket_path(label: Label) -> str:
    """SVG path data of a label's bracket."""
    return " ".join(f"{'L' if i else 'M'}{x:.1f},{y:.1f}" for i, (x, y) in enumerate(mark_points(label)))


def _segments(plate: Plate, label: Label) -> list:
    segments = [leader(plate, label)]
    if label.bracket:
        kind, a, b, c = label.bracket
        segments.append(((a, b), (a, c)) if kind == "v" else ((a, c), (b, c)))
    return segments


def layout(plate: Plate) -> None:
    """Places every label in its column; raises ContentError on two labels that
    name one part, a label that is clipped or does not fit its column, or a
    leader that crosses another."""
    where = f"{plate.path}"
    first: dict[str, Label] = {}
    for label in plate.labels:
        other = first.setdefault(label.part, label)
        if other is not label:
            raise ContentError(f"{where}:{label.line_no}: '{label.term}' names #{label.part}, which "
                               f"'{other.term}' (line {other.line_no}) names too")
    for label in plate.labels:
        if not (0 <= label.x <= plate.width and 0 <= label.y <= plate.height):
            raise ContentError(f"{where}:{label.line_no}: point of '{label.term}' lies outside the canvas")
        edge = plate.left_edge if label.side == "left" else plate.right_edge
        if edge is None:
            raise ContentError(f"{where}:{label.line_no}: '{label.term}' is on the {label.side} but the "
                               f"header has no labels-{label.side}: line")
        if (label.side == "left" and label.x < edge + GAP) or (label.side == "right" and label.x > edge - GAP):
            raise ContentError(f"{where}:{label.line_no}: point of '{label.term}' lies in its label column "
                               f"(x {label.x:g}, labels-{label.side} {edge:g}); keep the drawing out of the "
                               f"label columns")
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

    for i, a in enumerate(plate.labels):
        for b in plate.labels[i + 1:]:
            if any(_segments_cross(sa, sb) for sa in _segments(plate, a) for sb in _segments(plate, b)):
                raise ContentError(f"{where}:{a.line_no}: leader of '{a.term}' crosses the leader of "
                                   f"'{b.term}' (line {b.line_no}); move a point or set y= on one")
