#!/usr/bin/python3
"""Proposes, for every label that names no part yet, the drawing element under
its dot, and writes the proposal into the sources: an id on the element in the
.svg and "#id" in the label data of the .plate.

    propose_ids.py PLATE...

A proposal is only a start: the element under a dot is often the wrong one
(a dot on an outline, on white, on a neighbour). Look at every plate with
`render.py PLATE --review OUT.png` and fix what the checks report.
"""

import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from drawing import Templates, read_drawing  # noqa: E402
from partcheck import PartChecker  # noqa: E402
from plates import LABEL_DATA, Label, parse_plate  # noqa: E402


def slug(term: str) -> str:
    return re.sub(r"[^a-z0-9]+", "-", term.lower()).strip("-") or "part"


def propose(plate_path: Path) -> list[str]:
    text = plate_path.read_text(encoding="utf-8")
    # Read the plate with placeholder part names so that it parses.
    marked = re.sub(r"(\s@\s*)(?=-?\d|\[)", r"\1#unnamed ", text)
    tmp = plate_path.with_suffix(".proposal.plate")
    tmp.write_text(marked, encoding="utf-8")
    try:
        plate = parse_plate(tmp)
    finally:
        tmp.unlink()
    plate.path = plate_path
    plate.labels = [lb for lb in plate.labels]
    drawing = read_drawing(plate, Templates())
    plate_labels: list[Label] = [lb for lb in plate.labels if lb.part == "unnamed"]
    for lb in plate.labels:
        lb.part = f"unnamed-{lb.line_no}"
    checker = PartChecker(plate, drawing)
    svg_lines = plate.drawing.read_text(encoding="utf-8").split("\n")
    plate_lines = text.split("\n")
    taken: dict[str, str] = {}
    inserts: dict[tuple[int, int], str] = {}
    report = []
    used_ids = set(drawing.by_id)
    for lb in plate_labels:
        x, y = int(lb.x), int(lb.y)
        value = checker.map.at(x, y)
        note = ""
        if value == 0:
            near = sorted((d, v) for v, d in checker.map.disc(lb.x, lb.y, 8) if v)
            value = near[0][1] if near else 0
            note = " (dot on white: nearest element taken)"
        if value == 0:
            report.append(f"  line {lb.line_no} {lb.term}: nothing near the dot")
            continue
        shape = checker.shapes[value >> 2]
        if shape.part is not None:
            part = shape.part.local_id
        else:
            node = shape.node
            part = slug(lb.term)
            while part in used_ids:
                part += "-2"
            used_ids.add(part)
            key = (node.line, node.column)
            if key in inserts:
                part = inserts[key]
            else:
                inserts[key] = part
        if part in taken:
            note += f" (same element as '{taken[part]}')"
        taken.setdefault(part, lb.term)
        i = lb.line_no - 1
        plate_lines[i] = re.sub(r"(\s@\s*)(?=-?\d|\[)", rf"\1#{part} ", plate_lines[i], count=1)
        report.append(f"  line {lb.line_no} {lb.term} -> #{part}{note}")
    for (line, column), part in sorted(inserts.items(), reverse=True):
        row = svg_lines[line - 1]
        m = re.match(r"<[\w:-]+", row[column:])
        cut = column + m.end()
        svg_lines[line - 1] = f'{row[:cut]} id="{part}"{row[cut:]}'
    plate.drawing.write_text("\n".join(svg_lines), encoding="utf-8")
    plate_path.write_text("\n".join(plate_lines), encoding="utf-8")
    return report


def main() -> int:
    for arg in sys.argv[1:]:
        print(arg)
        for line in propose(Path(arg)):
            print(line)
    return 0


if __name__ == "__main__":
    sys.exit(main())
