"""Checks that every label points at the part it names.

The drawing is rendered once as a part map (see drawing.part_map): each shape
in flat colours of its own, without anti-aliasing, so one pixel read says
which shape, and whether its fill or its outline, is topmost there. librsvg
renders the map, the same renderer and the same geometry as the picture, so
what the check sees is what the reader sees. A leader that crosses a fill asks
one more question, whether that shape holds the labelled point; librsvg then
renders that single shape by its id.

A label fails when:
  - its dot is not on its part: on a filled part it must lie at least 3 px
    inside the fill (nothing else within 4 px of it but unlabelled detail
    lines drawn over the part, such as veins or seams, and not on one of
    those either); on a part drawn as a line
    it must lie on the line (within 1 px) and 4 px from any other line;
  - its dot lies on a part another label names;
  - its leader passes through the fill of a shape that is not its part and
    does not hold its point (ground and water bands excepted), or crosses a
    line that another label names (a filament, a string) or that stands free
    on white (a leg, an antenna), rather than a detail drawn over a fill;
    a rope (a stay, a cable: class `rope`) it may cross squarely;
  - its bracket does not span its part, or stands across it.
"""

from __future__ import annotations

import math

import gi

gi.require_version("Rsvg", "2.0")
from gi.repository import Rsvg  # noqa: E402
import cairo  # noqa: E402

from drawing import FILL, OUTLINE, STROKE, Drawing, MapShape, Node, part_map  # noqa: E402
from plates import Label, Plate, leader  # noqa: E402

INSIDE = 4          # a dot on a filled part has nothing else this close (3 px of fill)
ON_LINE = 1         # a dot on a line part is this close to it
LINE_CLEAR = 4      # ...and this far from any other line
ON_DETAIL = 3       # a dot on a filled part does not touch the lines drawn over it
BRACKET_SLACK = 6   # a bracket's ends lie this close to its part's extent
ROPE_CROSSING = 4   # a leader crosses a rope squarely when it is on the rope no longer than this
DOT_WIDTH = 7       # a part no wider than the dot and its outline cannot hold one


def render_svg(svg: str, width: int, height: int, scale: float = 1.0, antialias: bool = True,
               element: str | None = None) -> cairo.ImageSurface:
    handle = Rsvg.Handle.new_from_data(svg.encode("utf-8"))
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, round(width * scale), round(height * scale))
    context = cairo.Context(surface)
    if not antialias:
        context.set_antialias(cairo.ANTIALIAS_NONE)
    if antialias:  # a picture: on white (a part map stays black where nothing is painted)
        context.set_source_rgb(1, 1, 1)
        context.paint()
    viewport = Rsvg.Rectangle()
    viewport.x, viewport.y = 0, 0
    viewport.width, viewport.height = width * scale, height * scale
    if element is None:
        handle.render_document(context, viewport)
    else:
        handle.render_layer(context, element, viewport)
    surface.flush()
    return surface


class PixelMap:
    def __init__(self, surface: cairo.ImageSurface):
        self.width, self.height = surface.get_width(), surface.get_height()
        self.stride = surface.get_stride() // 4
        self.data = surface.get_data().cast("I")

    def at(self, x: int, y: int) -> int:
        if 0 <= x < self.width and 0 <= y < self.height:
            return self.data[y * self.stride + x] & 0xFFFFFF
        return 0

    def disc(self, cx: float, cy: float, radius: float):
        """(value, distance) of every pixel whose centre lies within radius of (cx, cy)."""
        r = int(math.ceil(radius)) + 1
        px, py = int(math.floor(cx)), int(math.floor(cy))
        for y in range(py - r, py + r + 1):
            for x in range(px - r, px + r + 1):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if d <= radius:
                    yield self.at(x, y), d


class PartChecker:
    def __init__(self, plate: Plate, drawing: Drawing):
        self.plate, self.drawing = plate, drawing
        self.svg, self.shapes = part_map(plate, drawing)
        self.map = PixelMap(render_svg(self.svg, plate.width, plate.height, antialias=False))
        self.named: dict[str, Label] = {lb.part: lb for lb in plate.labels}
        self._holds: dict[tuple[str, float, float], bool] = {}
        self._boxes: dict[int, list[int]] | None = None

    # What a shape is, for the checks and for the messages.

    def labelled_owner(self, shape: MapShape) -> Node | None:
        """The nearest element holding the shape that some label names."""
        return next((n for n in shape.ancestors if n.local_id in self.named), None)

    def describe(self, value: int) -> str:
        if value == 0:
            return "white"
        shape = self.shapes[value >> 2]
        n = shape.node
        if n.local_id:
            what = f"#{n.local_id}"
        else:
            what = f"an unnamed {n.tag}"
            if shape.part is not None:
                what += f" of #{shape.part.local_id}"
            elif n.template:
                what += f" of template {n.template}"
            what += f" (line {n.line})"
        return f"the outline of {what}" if value & 3 == OUTLINE else what

    def belongs(self, value: int, label: Label) -> bool:
        """Whether a map value is the labelled part itself (not a labelled sub-part)."""
        if value == 0:
            return False
        return self.labelled_owner(self.shapes[value >> 2]) is self.drawing.by_id[label.part]

    def detail(self, value: int, label: Label) -> bool:
        """An unlabelled line drawn over a part (a vein, a seam, a fold) belongs
        to whatever it is drawn on: a line that no label names, or one that
        belongs to a whole holding the labelled part (a vein of the leaf for
        a dot on one of its lobes)."""
        if value & 3 != STROKE:
            return False
        owner = self.labelled_owner(self.shapes[value >> 2])
        return owner is None or owner in self.wholes_of(label)

    def wholes_of(self, label: Label) -> list[Node]:
        """The elements that hold the labelled part, nearest first."""
        node = self.drawing.by_id[label.part]
        for shape in self.shapes:
            if shape is not None and node in shape.ancestors:
                return shape.ancestors[shape.ancestors.index(node) + 1:]
        return []

    def own_shapes(self, label: Label) -> list[int]:
        return [i for i, s in enumerate(self.shapes) if s is not None and self.labelled_owner(s) is
                self.drawing.by_id[label.part]]

    # The checks.

    def faults(self) -> list[str]:
        out: list[str] = []
        for label in self.plate.labels:
            where = f"{self.plate.path}:{label.line_no}"
            node = self.drawing.by_id.get(label.part)
            if node is None:
                out.append(f"{where}: '{label.term}' names #{label.part}, which {self.plate.drawing.name} "
                           f"does not have")
                continue
            own = self.own_shapes(label)
            if not own and not label.bracket:
                out.append(f"{where}: '{label.term}' names #{label.part}, which paints nothing of its own")
                continue
            fault = self.bracket_fault(label) if label.bracket else self.dot_fault(label, own)
            if fault:
                out.append(f"{where}: {fault}")
            fault = self.leader_fault(label)
            if fault:
                out.append(f"{where}: {fault}")
        return out

    def other_label(self, value: int) -> Label | None:
        if value == 0:
            return None
        owner = self.labelled_owner(self.shapes[value >> 2])
        return self.named[owner.local_id] if owner is not None else None

    def dot_fault(self, label: Label, own: list[int]) -> str | None:
        term, part = label.term, label.part
        centre = self.map.at(int(label.x), int(label.y))
        line_part = all(self.shapes[i].line_part for i in own)
        if line_part:
            near = list(self.map.disc(label.x, label.y, LINE_CLEAR))
            if not any(self.belongs(v, label) and d <= ON_LINE + 0.5 for v, d in near):
                other = self.other_label(centre)
                if other is not None and other is not label:
                    return f"dot of '{term}' lies on #{other.part}, which '{other.term}' (line {other.line_no}) names"
                return f"dot of '{term}' is not on the line #{part}"
            strokes = [(d, v) for v, d in near if v and v & 3 != FILL and not self.belongs(v, label)]
            if strokes:
                d, v = min(strokes)
                return (f"dot of '{term}' on the line #{part} is {d:.1f} px from {self.describe(v)}; "
                        f"keep {LINE_CLEAR} px from other lines")
            return None

        if not self.belongs(centre, label):
            other = self.other_label(centre)
            if other is not None and other is not label:
                return f"dot of '{term}' lies on #{other.part}, which '{other.term}' (line {other.line_no}) names"
            if self.smaller_than_dot(own):
                return f"#{part} is smaller than the dot; leave '{term}' unlabelled"
            return f"dot of '{term}' lies on {self.describe(centre)}, not on #{part}"
        if centre & 3 == OUTLINE:
            return f"dot of '{term}' lies on {self.describe(centre)}"
        outside = [(d, v) for v, d in self.map.disc(label.x, label.y, INSIDE)
                   if not self.belongs(v, label) and not self.detail(v, label)]
        if outside:
            d, v = min(outside)
            if self.smaller_than_dot(own):
                return f"#{part} is smaller than the dot; leave '{term}' unlabelled"
            return f"dot of '{term}' is less than 3 px inside #{part} ({self.describe(v)} {d:.1f} px from its centre)"
        lines = [(d, v) for v, d in self.map.disc(label.x, label.y, ON_DETAIL) if v & 3 == STROKE]
        if lines:
            return f"dot of '{term}' sits on {self.describe(min(lines)[1])}; move it into the fill of #{part}"
        return None

    def boxes(self) -> dict[int, list[int]]:
        """Bounding box [x0, y0, x1, y1] of what each shape paints, read once from the map."""
        if self._boxes is None:
            boxes: dict[int, list[int]] = {}
            m = self.map
            for y in range(m.height):
                row = m.data[y * m.stride:y * m.stride + m.width]
                for x, value in enumerate(row):
                    if value & 0xFFFFFF:
                        box = boxes.get(value >> 2 & 0x3FFFFF)
                        if box is None:
                            boxes[value >> 2 & 0x3FFFFF] = [x, y, x, y]
                        else:
                            if x < box[0]:
                                box[0] = x
                            elif x > box[2]:
                                box[2] = x
                            box[3] = y
            self._boxes = boxes
        return self._boxes

    def extent(self, shapes) -> tuple[int, int, int, int] | None:
        """Bounding box (x0, y0, x1, y1) of everything the shapes paint, edges included."""
        found = [self.boxes()[i] for i in shapes if i in self.boxes()]
        if not found:
            return None
        return (min(b[0] for b in found), min(b[1] for b in found),
                max(b[2] for b in found) + 1, max(b[3] for b in found) + 1)

    def smaller_than_dot(self, own: list[int]) -> bool:
        box = self.extent(own)
        return box is None or min(box[2] - box[0], box[3] - box[1]) <= DOT_WIDTH

    def bracket_fault(self, label: Label) -> str | None:
        node = self.drawing.by_id[label.part]
        box = self.extent([i for i, s in enumerate(self.shapes) if s is not None and node in s.ancestors])
        if box is None:
            return f"bracket of '{label.term}': #{label.part} paints nothing"
        x0, y0, x1, y1 = box
        kind, a, b, c = label.bracket
        if kind == "v":
            if abs(b - y0) > BRACKET_SLACK or abs(c - y1) > BRACKET_SLACK:
                return f"bracket of '{label.term}' (y {b:g}-{c:g}) does not span #{label.part} (y {y0}-{y1})"
            if (label.side == "left" and a > x0) or (label.side == "right" and a < x1):
                return (f"bracket of '{label.term}' at x {a:g} stands across #{label.part} (x {x0}-{x1}); "
                        f"set it beside the part, on the label's side")
        else:
            if abs(a - x0) > BRACKET_SLACK or abs(b - x1) > BRACKET_SLACK:
                return f"bracket of '{label.term}' (x {a:g}-{b:g}) does not span #{label.part} (x {x0}-{x1})"
            if c < y1:
                return (f"bracket of '{label.term}' at y {c:g} stands across #{label.part} (y {y0}-{y1}); "
                        f"set it under the part")
        return None

    def holds(self, element: str, x: float, y: float) -> bool:
        """Whether an element of the part map (a shape "m12" or a part "p-nucleus")
        holds the point: covers it, or surrounds it on every side."""
        key = (element, x, y)
        if key not in self._holds:
            surface = render_svg(self.svg, self.plate.width, self.plate.height, antialias=False,
                                 element=f"#{self.drawing.prefix}{element}")
            alone = PixelMap(surface)
            px, py = int(x), int(y)
            held = alone.at(px, py) != 0
            if not held:
                held = True
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1), (1, 1), (1, -1), (-1, 1), (-1, -1)):
                    sx, sy = px, py
                    while 0 <= sx < alone.width and 0 <= sy < alone.height and alone.at(sx, sy) == 0:
                        sx, sy = sx + dx, sy + dy
                    if not (0 <= sx < alone.width and 0 <= sy < alone.height):
                        held = False
                        break
            self._holds[key] = held
        return self._holds[key]

    def leader_fault(self, label: Label) -> str | None:
        (sx, sy), (ex, ey) = leader(self.plate, label)
        length = math.hypot(ex - sx, ey - sy)
        steps = max(1, int(length * 2))
        values = [self.map.at(int(sx + (ex - sx) * k / steps), int(sy + (ey - sy) * k / steps))
                  for k in range(steps + 1)]
        crossed: list[int] = []
        for k, value in enumerate(values):
            if value == 0:
                continue
            if value & 3 == STROKE:
                fault = self.line_crossing(label, values, k, ex, ey, length / steps)
                if fault:
                    return fault
                continue
            index = value >> 2
            shape = self.shapes[index]
            if index in crossed or shape.band or self.belongs(value, label):
                continue
            if self.drawing.by_id[label.part] in shape.ancestors:
                continue  # a labelled sub-part of a whole that has a bracket
            crossed.append(index)
        for index in crossed:
            part = self.shapes[index].part
            if self.holds(f"m{index}", ex, ey):
                continue
            if part is not None and part is not self.shapes[index].node and \
                    part not in self.wholes_of(label) and self.holds(f"p-{part.local_id}", ex, ey):
                continue  # a detail of a part that holds the point, as chromatin in a nucleus
            return f"leader of '{label.term}' passes through {self.describe(index << 2 | FILL)}"
        return None

    def line_crossing(self, label: Label, values: list[int], k: int, ex: float, ey: float,
                      step: float) -> str | None:
        """A fault when the leader, at sample k, crosses a line that is a part of
        its own: one another label names, or one standing free on white (a leg,
        an antenna, a spoke), rather than a detail drawn over a fill. A rope (a
        stay, a cable) may be crossed by any leader that crosses it squarely."""
        value = values[k]
        shape = self.shapes[value >> 2]
        target = self.drawing.by_id[label.part]
        if self.belongs(value, label) or target in shape.ancestors or \
                any(n in self.wholes_of(label) for n in shape.ancestors[:1]):
            return None
        if shape.rope:
            start, end = k, k
            while start > 0 and values[start - 1] == value:
                start -= 1
            while end + 1 < len(values) and values[end + 1] == value:
                end += 1
            if (end - start) * step <= ROPE_CROSSING:
                return None
            return (f"leader of '{label.term}' runs {(end - start) * step:.1f} px along "
                    f"{self.describe(value)}, a rope; cross it squarely")
        other = self.other_label(value)
        before = next((v for v in reversed(values[:k]) if v & ~3 != value & ~3), 0)
        after = next((v for v in values[k + 1:] if v & ~3 != value & ~3), None)
        free = before == 0 and after == 0
        if (other is None or other is label) and not free:
            return None
        if self.holds(f"m{value >> 2}", ex, ey):
            return None  # a membrane round its cell's parts
        if other is not None and other is not label:
            return (f"leader of '{label.term}' crosses the line {self.describe(value)}, "
                    f"which '{other.term}' (line {other.line_no}) names")
        return f"leader of '{label.term}' crosses {self.describe(value)}, a line standing free"
