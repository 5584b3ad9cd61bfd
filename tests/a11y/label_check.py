"""Checks a plate's labels through the AT-SPI bus, as a screen reader meets them.

Runs like bus_check.py (see run_bus_check.sh), with whose help it starts the
program: it clicks the first row of the Vegetal list ("001 Plant cell"), then
reads the picture's children. There must be one link per label of the plate
file, in the order of its lines, each named by its term, described by its
definition and offering one action, press. Pressing one through the bus must
select that label's line in the entry text box "Words" while the focus stays
in the list. Prints what a screen reader is told about the plate.
"""

import os
import sys
import warnings

from bus_check import (UPDATE_TIMEOUT_S, Atspi, CheckFailed, GLib, check_picture_follows_selection,  # noqa: F401
                       describe, main, node_named, running, wait_until)

PLATE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "content", "plates", "vegetal",
                     "plant-cell.plate")
PRESSED_TERM = "Nucleus"


def plate_labels():
    """(term, definition) of every labelled line of the plate file, in order."""
    labels = []
    with open(PLATE, encoding="utf-8") as plate:
        for line in plate:
            if "@" not in line:
                continue
            text = line[:line.rindex("@")].rstrip()
            term, definition = text.split(":", 1)
            labels.append((term, definition.strip()))
    return labels


def children(node):
    node.clear_cache()
    return [node.get_child_at_index(i) for i in range(node.get_child_count())]


def check_labels(found):
    expected = plate_labels()
    image = node_named(found, "Pictolex", "image")
    check_picture_follows_selection(found)
    words = node_named(found, "Words", "text")
    vegetal = node_named(found, "Vegetal", "list")
    links = wait_until(f"the picture offering {len(expected)} children", UPDATE_TIMEOUT_S,
                       lambda: (lambda c: c if len(c) == len(expected) else None)(children(image)))

    print(f"The picture {describe(image)} offers {len(links)} children:")
    told = []
    for link in links:
        with warnings.catch_warnings():
            # Qt answers no newer call for an action's name than this one.
            warnings.simplefilter("ignore", DeprecationWarning)
            actions = [Atspi.Action.get_action_name(link, i) for i in range(Atspi.Action.get_n_actions(link))]
        told.append((link.get_name(), link.get_description()))
        print(f"  {link.get_role_name()} \"{link.get_name()}\": {link.get_description()}  (actions: {actions})")
        if link.get_role_name() != "link" or [a.lower() for a in actions] != ["press"]:
            raise CheckFailed(f"{describe(link)} is not a link with one action, press: {actions}")
    if told != expected:
        raise CheckFailed(f"the children say {told}, the plate file {expected}")

    text = words
    line = next(f"{term}: {definition}" for term, definition in expected if term == PRESSED_TERM)
    link = next(link for link in links if link.get_name() == PRESSED_TERM)
    Atspi.Action.do_action(link, 0)

    def selected():
        while GLib.MainContext.default().iteration(False):
            pass
        if Atspi.Text.get_n_selections(text) < 1:
            return None
        span = Atspi.Text.get_selection(text, 0)
        return Atspi.Text.get_text(text, span.start_offset, span.end_offset) == line

    wait_until(f"pressing \"{PRESSED_TERM}\" selecting its line in Words", UPDATE_TIMEOUT_S, selected)
    if not vegetal.get_state_set().contains(Atspi.StateType.FOCUSED):
        raise CheckFailed("pressing a label took the focus from the Vegetal list")
    print(f"pressing \"{PRESSED_TERM}\" selects in Words: {line}")


def run(program):
    with running(program) as (_accessible, _lines, found):
        check_labels(found)


if __name__ == "__main__":
    sys.exit(main(run, "every label of the plate is a link on the accessibility bus, and pressing one works"))
