#!/usr/bin/python3
"""The editorial review record: who looked at which plate, and what they found.

    review.py check [--content DIR]               every listed plate graded good or
                                                   better on the sources it has now
    review.py status [CATEGORY] [--content DIR]   the plates that need a review
    review.py grade CATEGORY/NAME GRADE NOTE...   record a grade for the plate's
                                                   current sources

content/review/<category>.tsv holds one row a plate: its name, a hash of its
sources (its .plate, its .svg and every template it uses), the grade of its
last review and a short note. A reviewer looks at the plate at twice its size
with a crop round every dot (render.py PLATE --review OUT.png) and grades it
against picture and text together:

  textbook      nothing to improve
  good          small faults a reader would not notice
  needs rework  a fault a reader would notice: redraw before it lands
  wrong         a fact or a part is wrong

A plate whose sources change after its review must be reviewed again.
"""

from __future__ import annotations

import fcntl
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from drawing import Templates, sources_hash  # noqa: E402
from plates import CATEGORIES, CONTENT_DIR, ContentError, parse_plate, read_order  # noqa: E402

GRADES = ("textbook", "good", "needs rework", "wrong")
PASSING = GRADES[:2]
HEADER = "# plate\tsources\tgrade\tnote\n"


def read_record(path: Path) -> dict[str, tuple[str, str, str, int]]:
    """name -> (hash, grade, note, line number)."""
    rows = {}
    if not path.exists():
        return rows
    for n, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), start=1):
        if not raw.strip() or raw.startswith("#"):
            continue
        fields = raw.split("\t")
        if len(fields) != 4 or fields[2] not in GRADES:
            raise ContentError(f"{path}:{n}: a row reads 'plate<TAB>sources<TAB>grade<TAB>note', "
                               f"the grade one of {', '.join(GRADES)}")
        rows[fields[0]] = (fields[1], fields[2], fields[3], n)
    return rows


def write_record(path: Path, rows: dict[str, tuple[str, str, str, int]], order: list[str]) -> None:
    listed = [name for name in order if name in rows] + sorted(set(rows) - set(order))
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_text(HEADER + "".join(f"{name}\t{rows[name][0]}\t{rows[name][1]}\t{rows[name][2]}\n"
                                     for name in listed), encoding="utf-8")


def problems(content: Path, only: str | None = None) -> list[str]:
    out = []
    templates = Templates(content / "style" / "templates")
    for folder, _letter, _label in CATEGORIES:
        if only and folder != only:
            continue
        plates = content / "plates" / folder
        if not (plates / "order.txt").exists():
            continue
        record_path = content / "review" / f"{folder}.tsv"
        shown = record_path.relative_to(content.parent) if content.parent in record_path.parents else record_path
        rows = read_record(record_path)
        for name in read_order(plates):
            plate = parse_plate(plates / f"{name}.plate")
            now = sources_hash(plate, templates)
            if name not in rows:
                out.append(f"{shown}: {name} has no review")
                continue
            graded, grade, note, n = rows[name]
            if graded != now:
                out.append(f"{shown}:{n}: {name} changed since its review (sources {graded}, now {now}); "
                           f"review it again")
            elif grade not in PASSING:
                out.append(f"{shown}:{n}: {name} is graded {grade}: {note}")
        for name, (_h, _g, _n, n) in rows.items():
            if not (plates / f"{name}.plate").exists():
                out.append(f"{shown}:{n}: {name} is no plate of {folder}")
    return out


def grade(content: Path, which: str, grade_name: str, note: str) -> None:
    folder, _, name = which.partition("/")
    plates = content / "plates" / folder
    if grade_name not in GRADES:
        raise ContentError(f"the grade is one of: {', '.join(GRADES)}")
    if not note.strip() or "\t" in note or "\n" in note:
        raise ContentError("the note is one line of text, not empty")
    plate = parse_plate(plates / f"{name}.plate")
    path = content / "review" / f"{folder}.tsv"
    path.parent.mkdir(parents=True, exist_ok=True)
    with open(path.with_suffix(".lock"), "w") as lock:  # reviewers may record at the same time
        fcntl.flock(lock, fcntl.LOCK_EX)
        rows = read_record(path)
        rows[name] = (sources_hash(plate, Templates(content / "style" / "templates")), grade_name,
                      note.strip(), 0)
        order = read_order(plates) if (plates / "order.txt").exists() else []
        write_record(path, rows, order)
    path.with_suffix(".lock").unlink(missing_ok=True)


def main(argv: list[str]) -> int:
    content = CONTENT_DIR
    if "--content" in argv:
        i = argv.index("--content")
        content = Path(argv[i + 1]).resolve()
        del argv[i:i + 2]
    try:
        if argv[:1] == ["check"] and len(argv) == 1:
            found = problems(content)
            for p in found:
                print(f"review: {p}", file=sys.stderr)
            return 1 if found else 0
        if argv[:1] == ["status"] and len(argv) <= 2:
            for p in problems(content, argv[1] if len(argv) == 2 else None):
                print(p)
            return 0
        if argv[:1] == ["grade"] and len(argv) >= 4:
            grade(content, argv[1], " ".join(argv[2:4]) if argv[2] == "needs" else argv[2],
                  " ".join(argv[4:] if argv[2] == "needs" else argv[3:]))
            return 0
    except ContentError as e:
        print(f"review: {e}", file=sys.stderr)
        return 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
