#!/usr/bin/python3
"""Runs the content checker on each case folder under checker/ and compares
what it prints with the case's expected.txt, whole.

A case is a small plates tree (<case>/plates/<category>/...) and the exact
messages it must produce ("" for content that must pass). Paths in messages
are written relative to the case folder. A case may also hold
  pictures.txt  lines "KEY WIDTH HEIGHT [progressive]": JPEGs made for check.py;
  render.txt    plates (paths in the case) to render, with their label checks;
  review/       a review record, checked against the case's plates.
"""

import subprocess
import sys
import tempfile
from pathlib import Path

from PIL import Image

TOOLS = Path(sys.argv[1])
CASES = Path(__file__).resolve().parent / "checker"


def make_pictures(case: Path, out: Path) -> None:
    out.mkdir()
    for row in (case / "pictures.txt").read_text().splitlines():
        key, width, height, *flags = row.split()
        Image.new("RGB", (int(width), int(height)), "white").save(
            out / f"{key}.jpg", "JPEG", progressive="progressive" in flags)


def run_case(case: Path) -> list[str]:
    with tempfile.TemporaryDirectory() as tmp:
        text_dir = Path(tmp) / "text"
        done = subprocess.run([str(TOOLS / "build_text.py"), str(case / "plates"), str(text_dir)],
                              capture_output=True, text=True)
        printed = done.stderr if done.returncode else ""
        if done.returncode == 0 and (case / "render.txt").exists():
            failed = False
            for plate in (case / "render.txt").read_text().split():
                done = subprocess.run([str(TOOLS / "render.py"), str(case / plate), str(Path(tmp) / "plate.jpg")],
                                      capture_output=True, text=True)
                printed += done.stderr
                failed |= done.returncode != 0
            done.returncode = int(failed)
        if done.returncode == 0 and (case / "review").is_dir():
            done = subprocess.run([str(TOOLS / "review.py"), "check", "--content", str(case)],
                                  capture_output=True, text=True)
            printed += done.stderr.replace(f" {case.name}/", " ")
        if done.returncode == 0 and (case / "pictures.txt").exists():
            make_pictures(case, Path(tmp) / "pictures")
            done = subprocess.run([str(TOOLS / "check.py"), str(text_dir), "--pictures",
                                   str(Path(tmp) / "pictures")], capture_output=True, text=True)
            printed = done.stderr.replace(tmp + "/", "")
    printed = printed.replace(str(case) + "/", "")
    expected = (case / "expected.txt").read_text()
    problems = []
    if printed != expected:
        problems.append(f"{case.name}: printed\n{printed}--- but expected\n{expected}---")
    if (done.returncode == 0) != (expected == ""):
        problems.append(f"{case.name}: exit status {done.returncode} does not match the expectation")
    return problems


def main() -> int:
    cases = sorted(p for p in CASES.iterdir() if p.is_dir())
    problems = [p for case in cases for p in run_case(case)]
    for p in problems:
        print(p)
    print(f"{len(cases) - len({p.split(':')[0] for p in problems})} passed, "
          f"{len({p.split(':')[0] for p in problems})} failed")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
