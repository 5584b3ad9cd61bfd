"""A plate's drawing: reading it, expanding its templates and insets, and
writing the finished plate or its part map.

A drawing is an SVG document of the canvas size holding shapes only. Besides
plain SVG it may hold two forms that the build expands:

  <template name="wheel-car-36" id="front-wheel" x="120" y="200"
            [width="80"] [height="80"] [flip="x|y"] [rotate="30"] [paint="line"]/>
      the template style/templates/<name>.svg with its origin (0, 0) at (x, y),
      scaled so that its viewBox is width wide and/or height high (one of them
      alone keeps the proportions), mirrored about its origin by flip, turned
      about it by rotate (degrees, clockwise), and with every shape in one class
      by paint (paint="line" draws a ghost outline). Coordinates are rewritten,
      not transformed, so every outline stays 2 px. The instance is a group
      with the given id; an id inside the template becomes <instance id>-<id>.

  <inset id="stoma" cx="420" cy="150" r="80" at="215,120" [at-r="13"]> ... </inset>
      a round close-up: a white disc at (cx, cy) whose content is clipped to
      it, a ring round the spot it enlarges (at) and a plain line joining them.

Ids written in a drawing are the names labels use. In the composed document
every id is prefixed with the plate's name, so no id can clash with another
plate's, a template's or a pattern's.
"""

from __future__ import annotations

import hashlib
import html
import io
import math
import re
import xml.parsers.expat
from dataclasses import dataclass, field
from pathlib import Path

from plates import (ANCHOR_RADIUS, STYLE_DIR, ContentError, Plate, bracket_path, layout,
                    leader)

TEMPLATES_DIR = STYLE_DIR / "templates"
SHAPES = {"path", "circle", "ellipse", "rect", "polyline", "polygon", "line"}
UNPAINTED = {"defs", "clipPath", "mask", "pattern", "symbol"}
# Classes that shade a part rather than being one: a dot on them is on the part below.
OVERLAYS = {"shade", "light"}
# A ground or water band may hold any part and be crossed by any leader.
BAND = "band"
# A rope, stay, cable or wire drawn as a line may be crossed squarely by any leader.
ROPE = "rope"


@dataclass
class Node:
    tag: str
    attrs: dict[str, str]
    line: int                       # source line, 0 for nodes the build made
    source: str = ""                # the file the node comes from
    children: list[Node] = field(default_factory=list)
    template: str = ""              # the template this node was expanded from
    local_id: str = ""              # the id as the drawing names it (before prefixing)
    column: int = 0                 # source column of the element's "<"

    def classes(self) -> list[str]:
        return self.attrs.get("class", "").split()

    def walk(self):
        yield self
        for child in self.children:
            yield from child.walk()


def parse_svg(text: str, source: str) -> Node:
    """The element tree of an SVG text, each element with its source line."""
    root = Node("#document", {}, 0, source)
    stack = [root]
    parser = xml.parsers.expat.ParserCreate()

    def start(tag, attrs):
        node = Node(tag, dict(attrs), parser.CurrentLineNumber, source,
                    column=parser.CurrentColumnNumber)
        stack[-1].children.append(node)
        stack.append(node)

    def end(_tag):
        stack.pop()

    parser.StartElementHandler = start
    parser.EndElementHandler = end
    try:
        parser.Parse(text, True)
    except xml.parsers.expat.ExpatError as e:
        raise ContentError(f"{source}:{e.lineno}: not well-formed SVG ({xml.parsers.expat.ErrorString(e.code)})")
    if len(root.children) != 1 or root.children[0].tag != "svg":
        raise ContentError(f"{source}:1: no <svg> element")
    return root.children[0]


def serialise(node: Node, out: list[str]) -> None:
    attrs = "".join(f' {k}="{html.escape(v, quote=True)}"' for k, v in node.attrs.items())
    if node.children:
        out.append(f"<{node.tag}{attrs}>")
        for child in node.children:
            serialise(child, out)
        out.append(f"</{node.tag}>")
    else:
        out.append(f"<{node.tag}{attrs}/>")


# --- templates ---------------------------------------------------------------

_NUMBER = re.compile(r"-?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?")


def _short_numbers(d: str) -> str:
    def short(m):
        v = round(float(m[0]), 2)
        return str(int(v)) if v == int(v) else f"{v:g}"
    return _NUMBER.sub(short, d)


class Templates:
    """Reads templates once per run and counts their uses."""

    def __init__(self, folder: Path = TEMPLATES_DIR):
        self.folder = folder
        self._parsed: dict[str, tuple[Node, tuple[float, float, float, float]]] = {}
        self.uses: dict[str, int] = {}

    def path(self, name: str) -> Path:
        return self.folder / f"{name}.svg"

    def names(self) -> list[str]:
        return sorted(p.stem for p in self.folder.glob("*.svg"))

    def load(self, name: str, where: str) -> tuple[Node, tuple[float, float, float, float]]:
        if name not in self._parsed:
            path = self.path(name)
            if not re.fullmatch(r"[a-z0-9-]+", name) or not path.exists():
                raise ContentError(f"{where}: no template '{name}' (style/templates/{name}.svg)")
            root = parse_svg(path.read_text(encoding="utf-8"), str(path))
            box = [float(v) for v in root.attrs.get("viewBox", "").replace(",", " ").split()]
            if len(box) != 4 or box[2] <= 0 or box[3] <= 0:
                raise ContentError(f"{path}:{root.line}: a template needs viewBox=\"X Y W H\"")
            self._parsed[name] = (root, tuple(box))
        return self._parsed[name]

    def used_by(self, drawing: Path) -> list[str]:
        """Every template a drawing uses, directly or through other templates."""
        found: set[str] = set()
        todo = [drawing]
        while todo:
            text = todo.pop().read_text(encoding="utf-8")
            for name in re.findall(r"<template\b[^>]*\bname=\"([^\"]+)\"", text):
                if name not in found and self.path(name).exists():
                    found.add(name)
                    todo.append(self.path(name))
        return sorted(found)


def _expand_template(node: Node, templates: Templates, id_prefix: str) -> Node:
    """The group that stands for one <template> reference."""
    from svgelements import SVG, Group, Matrix, Path as SvgPath, Shape

    where = f"{node.source}:{node.line}"
    name = node.attrs.get("name", "")
    root, (vx, vy, vw, vh) = templates.load(name, where)
    templates.uses[name] = templates.uses.get(name, 0) + 1
    try:
        x, y = float(node.attrs.get("x", 0)), float(node.attrs.get("y", 0))
        width = float(node.attrs["width"]) if "width" in node.attrs else None
        height = float(node.attrs["height"]) if "height" in node.attrs else None
        turn = math.radians(float(node.attrs.get("rotate", 0)))
    except ValueError:
        raise ContentError(f"{where}: template '{name}' needs numbers for x, y, width, height and rotate") from None
    sx = width / vw if width is not None else None
    sy = height / vh if height is not None else None
    sx, sy = sx or sy or 1.0, sy or sx or 1.0
    flip = node.attrs.get("flip", "")
    if flip not in ("", "x", "y"):
        raise ContentError(f"{where}: flip must be \"x\" or \"y\"")
    sx *= -1.0 if flip == "x" else 1.0
    sy *= -1.0 if flip == "y" else 1.0
    # template point (u, v) -> (x, y) + rotate(turn) . scale(sx, sy) . (u, v)
    cos, sin = math.cos(turn), math.sin(turn)
    matrix = Matrix(cos * sx, sin * sx, -sin * sy, cos * sy, x, y)

    instance_id = node.attrs.get("id", "")
    prefix = f"{id_prefix}{instance_id}-" if instance_id else None
    group = Node("g", {}, node.line, node.source, template=name, column=node.column)
    if instance_id:
        group.attrs["id"] = id_prefix + instance_id
        group.local_id = id_prefix + instance_id
    for k in ("class",):
        if k in node.attrs:
            group.attrs[k] = node.attrs[k]

    # Nested templates first, in the template's own coordinates.
    # Without its viewBox and size, so that the parser keeps the template's own coordinates.
    body = Node("svg", {"xmlns": "http://www.w3.org/2000/svg"}, root.line, root.source)
    body.children = [expand(child, templates, "") for child in root.children]
    text: list[str] = []
    serialise(body, text)
    parsed = SVG.parse(io.StringIO("".join(text)), reify=True)

    def convert(element, parent: Node) -> None:
        for child in element:
            if isinstance(child, Group):
                g = Node("g", {}, node.line, node.source, template=name, column=node.column)
                _copy_template_attrs(child, g, prefix)
                parent.children.append(g)
                convert(child, g)
            elif isinstance(child, Shape):
                path = SvgPath(child) * matrix
                path.reify()
                d = path.d()
                if not d:
                    continue
                shape = Node("path", {}, node.line, node.source, template=name, column=node.column)
                _copy_template_attrs(child, shape, prefix)
                shape.attrs["d"] = _short_numbers(d)
                parent.children.append(shape)

    convert(parsed, group)
    paint = node.attrs.get("paint")
    if paint:  # one class for the whole instance, as for a ghost outline; overlays and marks stay
        for n in group.walk():
            if n.tag in SHAPES and not set(n.classes()) & (OVERLAYS | {"dot"}):
                # a part without an outline keeps none: a ghost shows its body's outline only
                n.attrs["class"] = f"{paint} flat" if "flat" in n.classes() else paint
    return group


def _copy_template_attrs(element, node: Node, prefix: str | None) -> None:
    values = element.values
    if values.get("id") and prefix is not None:
        node.attrs["id"] = prefix + values["id"]
        node.local_id = node.attrs["id"]
    for k in ("class", "fill-rule"):
        if values.get(k):
            node.attrs[k] = values[k]


def _expand_inset(node: Node, templates: Templates, id_prefix: str) -> Node:
    where = f"{node.source}:{node.line}"
    try:
        cx, cy, r = (float(node.attrs[k]) for k in ("cx", "cy", "r"))
        ax, ay = (float(v) for v in node.attrs["at"].split(","))
        ar = float(node.attrs.get("at-r", 12))
    except (KeyError, ValueError):
        raise ContentError(f"{where}: an inset needs cx, cy, r and at=\"X,Y\"") from None
    inset_id = node.attrs.get("id") or f"inset-{node.line}"
    distance = math.hypot(cx - ax, cy - ay)
    if distance <= r + ar:
        raise ContentError(f"{where}: the inset's disc covers the spot it enlarges")
    ux, uy = (cx - ax) / distance, (cy - ay) / distance
    group = Node("g", {}, node.line, node.source, template="inset")
    if node.attrs.get("id"):
        group.attrs["id"] = id_prefix + node.attrs["id"]
        group.local_id = group.attrs["id"]
    clip_id = f"{id_prefix}{inset_id}-clip"
    made = [
        Node("circle", {"class": "line", "cx": f"{ax:g}", "cy": f"{ay:g}", "r": f"{ar:g}"}, node.line, node.source),
        Node("path", {"class": "line", "d": f"M{ax + ux * ar:.1f},{ay + uy * ar:.1f} "
                                            f"L{cx - ux * r:.1f},{cy - uy * r:.1f}"}, node.line, node.source),
        Node("circle", {"class": "white", "cx": f"{cx:g}", "cy": f"{cy:g}", "r": f"{r:g}"}, node.line, node.source),
        Node("clipPath", {"id": clip_id}, node.line, node.source,
             children=[Node("circle", {"cx": f"{cx:g}", "cy": f"{cy:g}", "r": f"{r - 1:g}"}, node.line,
                            node.source)]),
        Node("g", {"clip-path": f"url(#{clip_id})"}, node.line, node.source,
             children=[expand(child, templates, id_prefix) for child in node.children]),
        Node("circle", {"class": "line", "cx": f"{cx:g}", "cy": f"{cy:g}", "r": f"{r:g}"}, node.line, node.source),
    ]
    for n in made:
        n.template = "inset"
    group.children = made
    templates.uses["inset"] = templates.uses.get("inset", 0) + 1
    return group


def expand(node: Node, templates: Templates, id_prefix: str) -> Node:
    """A copy of `node` with its templates and insets expanded and its ids prefixed."""
    if node.tag == "template":
        return _expand_template(node, templates, id_prefix)
    if node.tag == "inset":
        return _expand_inset(node, templates, id_prefix)
    if node.tag == "text":
        raise ContentError(f"{node.source}:{node.line}: the drawing holds text; labels come from the plate file")
    if node.tag == "use":
        raise ContentError(f"{node.source}:{node.line}: <use> is not expanded; place a <template> instead")
    copy = Node(node.tag, dict(node.attrs), node.line, node.source, template=node.template,
                column=node.column)
    if "id" in node.attrs:
        copy.attrs["id"] = id_prefix + node.attrs["id"]
        copy.local_id = copy.attrs["id"]
    copy.children = [expand(child, templates, id_prefix) for child in node.children]
    return copy


# --- the composed plate ------------------------------------------------------

@dataclass
class Drawing:
    """A plate's drawing with its templates expanded, ids as the drawing names them."""
    root: Node
    prefix: str
    by_id: dict[str, Node]


def read_drawing(plate: Plate, templates: Templates) -> Drawing:
    source = plate.drawing
    if not source.exists():
        raise ContentError(f"{plate.path}: no drawing {source.name}")
    root = parse_svg(source.read_text(encoding="utf-8"), str(source))
    size = (root.attrs.get("width"), root.attrs.get("height"))
    if size != (str(plate.width), str(plate.height)):
        raise ContentError(f"{source}:{root.line}: the drawing is {size[0]} x {size[1]}, the plate's canvas "
                           f"{plate.width} x {plate.height}")
    expanded = expand(root, templates, "")
    by_id: dict[str, Node] = {}
    for node in expanded.walk():
        if node.local_id:
            if node.local_id in by_id:
                raise ContentError(f"{node.source}:{node.line}: id \"{node.local_id}\" is used twice")
            by_id[node.local_id] = node
    return Drawing(expanded, f"{plate.name}--", by_id)


def _prefixed(root: Node, prefix: str) -> Node:
    """A copy with every id, and every reference to one, prefixed."""
    ids = {n.attrs["id"] for n in root.walk() if "id" in n.attrs}

    def ref(m):
        return f"url(#{prefix}{m[1]})" if m[1] in ids else m[0]

    def copy(node: Node) -> Node:
        attrs = {}
        for k, v in node.attrs.items():
            if k == "id":
                v = prefix + v
            elif k in ("href", "xlink:href") and v.startswith("#") and v[1:] in ids:
                v = "#" + prefix + v[1:]
            elif "url(#" in v:
                v = re.sub(r"url\(#([^)]+)\)", ref, v)
            attrs[k] = v
        return Node(node.tag, attrs, node.line, node.source, [copy(c) for c in node.children])

    return copy(root)


def style_sheet(style_dir: Path = STYLE_DIR) -> tuple[str, str]:
    css = (style_dir / "plate.css").read_text(encoding="utf-8")
    patterns = (style_dir / "patterns.svg").read_text(encoding="utf-8")
    m = re.search(r"<defs>(.*)</defs>", patterns, re.S)
    return css, m[1] if m else ""


def _document(plate: Plate, body: list[str], css: str = "", defs: str = "", background: bool = True) -> str:
    return "\n".join([
        f'<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" '
        f'width="{plate.width}" height="{plate.height}" viewBox="0 0 {plate.width} {plate.height}">',
        f"<style>{css}</style>", f"<defs>{defs}</defs>",
        f'<rect width="{plate.width}" height="{plate.height}" fill="#ffffff"/>' if background else "",
        *body, "</svg>"])


def label_id(n: int) -> str:
    """The id of the text of a plate's label n (0 first) in the composed plate.
    Drawing ids are all prefixed with the plate's name, so none is like it."""
    return f"label-{n}"


def compose(plate: Plate, drawing: Drawing, style_dir: Path = STYLE_DIR) -> str:
    """The finished plate as one SVG document: style, patterns, drawing, labels."""
    layout(plate)
    css, defs = style_sheet(style_dir)
    body: list[str] = []
    for child in _prefixed(drawing.root, drawing.prefix).children:
        serialise(child, body)
    body.append('<g id="labels">')
    for n, lb in enumerate(plate.labels):
        (sx, sy), (ex, ey) = leader(plate, lb)
        body.append(f'<path class="leader" d="M{sx:.1f},{sy:.1f} L{ex:.1f},{ey:.1f}"/>')
        if lb.bracket:
            body.append(f'<path class="leader" d="{bracket_path(lb)}"/>')
        else:
            body.append(f'<circle class="anchor" cx="{ex:.1f}" cy="{ey:.1f}" r="{ANCHOR_RADIUS}"/>')
        anchor, x = ("end", plate.left_edge) if lb.side == "left" else ("start", plate.right_edge)
        body.append(f'<text id="{label_id(n)}" class="label" x="{x:.1f}" y="{lb.baseline:.1f}" '
                    f'text-anchor="{anchor}">{html.escape(lb.term)}</text>')
    body.append("</g>")
    return _document(plate, body, css, defs)


# --- the part map --------------------------------------------------------------

FILL, OUTLINE, STROKE = 1, 2, 3   # what of a shape a map colour stands for


@dataclass
class MapShape:
    node: Node
    part: Node | None       # the nearest element with an id, the shape itself included
    ancestors: list[Node]   # every element with an id that holds the shape, nearest first
    band: bool
    line_part: bool         # drawn as a line only (no fill)
    rope: bool              # a stay or cable: leaders may cross it squarely


def part_map(plate: Plate, drawing: Drawing) -> tuple[str, list[MapShape | None]]:
    """The drawing alone, every shape painted in flat colours of its own, without
    anti-aliasing: colour (index << 2 | FILL, OUTLINE or STROKE) tells which shape,
    and which of it, is topmost at a pixel. Overlays (shade, light) are left out,
    so a dot on one is on the part beneath. Returns the SVG and the shapes by index."""
    shapes: list[MapShape | None] = [None]

    def paint(node: Node, ids: list[Node], classes: list[str], band: bool, rope: bool) -> Node:
        own = node.classes() or classes
        band = band or BAND in node.classes()
        rope = rope or ROPE in node.classes()
        if node.local_id:
            ids = [node] + ids
        attrs = {k: v for k, v in node.attrs.items() if k not in ("class", "style", "id")}
        if node.tag in UNPAINTED:
            attrs = dict(node.attrs)
            return Node(node.tag, attrs, node.line, node.source, list(node.children))
        out = Node(node.tag, attrs, node.line, node.source)
        if node.tag in SHAPES:
            if OVERLAYS & set(own):
                attrs["display"] = "none"
                return out
            index = len(shapes)
            line_only = "line" in own or node.tag in ("line", "polyline") and "dot" not in own and not own
            shapes.append(MapShape(node, ids[0] if ids else None, ids, band, line_only, rope))
            fill = "none" if line_only else f"#{index << 2 | FILL:06x}"
            unstroked = "dot" in own or "flat" in own
            stroke = "none" if unstroked else f"#{index << 2 | (STROKE if line_only else OUTLINE):06x}"
            attrs["id"] = f"m{index}"
            attrs["style"] = (f"fill:{fill};stroke:{stroke};stroke-width:2;stroke-linecap:round;"
                              f"stroke-linejoin:round;shape-rendering:crispEdges;opacity:1")
            return out
        if node.local_id:
            attrs["id"] = f"p-{node.local_id}"  # a part that is a group, for rendering it alone
        out.children = [paint(c, ids, own, band, rope) for c in node.children]
        return out

    painted = paint(drawing.root, [], [], False, False)
    body: list[str] = []
    for child in _prefixed(painted, drawing.prefix).children:
        serialise(child, body)
    if len(shapes) >= 1 << 22:
        raise ContentError(f"{plate.drawing}: too many shapes for the part map")
    return _document(plate, body, background=False), shapes


def sources_hash(plate: Plate, templates: Templates) -> str:
    """A short hash of everything a plate's picture is drawn from: its .plate,
    its .svg and the templates it uses."""
    digest = hashlib.sha256()
    for path in [plate.path, plate.drawing] + [templates.path(t) for t in templates.used_by(plate.drawing)]:
        digest.update(path.name.encode() + b"\0" + path.read_bytes() + b"\0")
    return digest.hexdigest()[:12]
