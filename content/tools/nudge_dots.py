#!/usr/bin/python3
"""Moves each dot that fails its check to the nearest spot on its part that
passes, as far from other parts and lines as the part allows.

    nudge_dots.py PLATE... [--write]

Without --write it only prints what it would move. A nudged dot still needs
a look by eye: the spot that passes is not always the spot a reader expects.
"""

import math
import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from drawing import Templates, read_drawing  # noqa: E402
from partcheck import PartChecker  # noqa: E402
from plates import layout, parse_plate  # noqa: E402

REACH = 14  # how far a dot may move, px


def clearance(checker: PartChecker, label, x: float, y: float) -> float:
    """Distance from (x, y) to the nearest pixel that is not the part's fill."""
    for r in range(1, 16):
        for v, _d in checker.map.disc(x, y, r):
            if not checker.belongs(v, label) or v & 3 != 1:
                return r
    return 16


def nudge(path: Path, write: bool) -> list[str]:
    plate = parse_plate(path)
    layout(plate)
    checker = PartChecker(plate, read_drawing(plate, Templates()))
    moves = []
    for label in plate.labels:
        if label.bracket or label.part not in checker.drawing.by_id:
            continue
        own = checker.own_shapes(label)
        if not own or not checker.dot_fault(label, own):
            continue
        x0, y0 = label.x, label.y
        best = None
        for dy in range(-REACH, REACH + 1):
            for dx in range(-REACH, REACH + 1):
                if math.hypot(dx, dy) > REACH:
                    continue
                label.x, label.y = x0 + dx, y0 + dy
                if checker.dot_fault(label, own) or checker.leader_fault(label):
                    continue
                score = clearance(checker, label, label.x, label.y) - math.hypot(dx, dy) / 4
                if best is None or score > best[0]:
                    best = (score, label.x, label.y)
        label.x, label.y = x0, y0
        if best is None:
            moves.append(f"{path}:{label.line_no}: '{label.term}': no spot within {REACH} px passes")
            continue
        moves.append(f"{path}:{label.line_no}: '{label.term}' {x0:g},{y0:g} -> {best[1]:g},{best[2]:g}")
        if write:
            lines = path.read_text(encoding="utf-8").split("\n")
            i = label.line_no - 1
            lines[i] = re.sub(rf"(@ #{re.escape(label.part)} )-?[\d.]+,-?[\d.]+", rf"\g<1>{best[1]:g},{best[2]:g}",
                              lines[i], count=1)
            path.write_text("\n".join(lines), encoding="utf-8")
    return moves


def main() -> int:
    write = "--write" in sys.argv
    for arg in (a for a in sys.argv[1:] if a != "--write"):
        for line in nudge(Path(arg), write):
            print(line)
    return 0


if __name__ == "__main__":
    sys.exit(main())
