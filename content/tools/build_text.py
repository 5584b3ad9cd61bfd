#!/usr/bin/python3
"""Builds the text content from the plate sources and checks it.

    build_text.py PLATES_DIR OUT_DIR
    build_text.py PLATES_DIR --list      every plate's picture key and .plate file,
                                         for the build's render rules

Writes into OUT_DIR:
  glossary.txt  the glossary, UTF-8, CR LF after every line, ending "[*c*]"
  titles.txt    one category row a line: letter, tab, item title
  terms.tsv     the terms each entry may define: heading, tab, term
  sources.tsv   for every glossary line, the plate line it came from
  plates.tsv    picture key, tab, plate file (for the picture rules)
Then runs the text checks on the written bytes; a fault stops the build with
its file and line, and prints how often each template is used.
"""

import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from check import check_text  # noqa: E402
from drawing import Templates  # noqa: E402
from plates import CATEGORIES, ContentError, layout, parse_plate, read_order  # noqa: E402


def plate_files(plates_dir: Path):
    """(letter, number, .plate path) of every plate, in list order."""
    for folder, letter, _label in CATEGORIES:
        category = plates_dir / folder
        if not (category / "order.txt").exists():
            continue
        for number, name in enumerate(read_order(category), start=1):
            path = category / f"{name}.plate"
            if not path.exists():
                raise ContentError(f"{category / 'order.txt'}: lists '{name}' but {path.name} does not exist")
            yield letter, number, path


def template_uses(paths: list[Path]) -> str:
    """How often each template is placed, and on how many plates."""
    uses: dict[str, list[int]] = {}
    for path in paths:
        if not path.with_suffix(".svg").exists():
            continue  # the text needs no drawing; the render rule reports a missing one
        text = path.with_suffix(".svg").read_text(encoding="utf-8")
        for name in set(re.findall(r"<template\b[^>]*\bname=\"([^\"]+)\"", text)) | {"inset"}:
            count = len(re.findall(rf"<template\b[^>]*\bname=\"{name}\"", text)) if name != "inset" \
                else len(re.findall(r"<inset\b", text))
            if count:
                uses.setdefault(name, [0, 0])
                uses[name][0] += count
                uses[name][1] += 1
    for name in Templates().names():
        uses.setdefault(name, [0, 0])
    return ", ".join(f"{name} {n}" + (f" ({k} plates)" if k > 1 else "")
                     for name, (n, k) in sorted(uses.items(), key=lambda kv: (-kv[1][0], kv[0])))


def build(plates_dir: Path, out: Path) -> None:
    glossary: list[str] = []
    sources: list[str] = []
    titles: list[str] = []
    terms: list[str] = []
    keys: list[str] = []
    for letter, number, path in plate_files(plates_dir):
        plate = parse_plate(path)
        layout(plate)  # label faults stop the build before any rendering
        title = f"{number:03d} {plate.title}"
        heading = f"[*{letter}*]{title}.jpg "
        titles.append(f"{letter}\t{title}")
        keys.append(f"{letter.upper()}{number:03d}\t{path}")
        glossary.append(heading)
        sources.append(f"{path}:1")
        terms.append(f"{heading}\t{plate.title}")
        terms.extend(f"{heading}\t{label.term}" for label in plate.labels)
        glossary.extend(plate.lines)
        sources.extend(f"{path}:{n}" for n in plate.line_numbers)
    glossary.append("[*c*]")
    sources.append("(closing heading)")

    out.mkdir(parents=True, exist_ok=True)
    files = {
        "glossary.txt": "".join(line + "\r\n" for line in glossary),
        "titles.txt": "".join(t + "\n" for t in titles),
        "terms.tsv": "".join(t + "\n" for t in terms),
        "sources.tsv": "".join(s + "\n" for s in sources),
        "plates.tsv": "".join(k + "\n" for k in keys),
    }
    for name, text in files.items():
        target = out / name
        data = text.encode("utf-8")
        if not target.exists() or target.read_bytes() != data:  # keep timestamps of unchanged files
            target.write_bytes(data)


def main() -> int:
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    plates_dir = Path(sys.argv[1])
    try:
        if sys.argv[2] == "--list":
            for letter, number, path in plate_files(plates_dir):
                print(f"{letter.upper()}{number:03d} {path}")
            return 0
        out = Path(sys.argv[2])
        build(plates_dir, out)
        faults = check_text(out)
    except ContentError as e:
        print(f"content error: {e}", file=sys.stderr)
        return 1
    for fault in faults:
        print(f"content error: {fault}", file=sys.stderr)
    if not faults:
        print(f"Templates used: {template_uses([p for _l, _n, p in plate_files(plates_dir)])}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
