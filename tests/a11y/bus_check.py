"""Checks Pictolex's accessibility tree through the AT-SPI bus.

Runs inside a private session bus on an X display of its own (see
run_bus_check.sh): starts the accessibility bus launcher and the program,
waits for the program to register, prints the tree an assistive tool sees and
checks that every control is there with its spoken name and a fitting role.
Then clicks the first row of the first category list and checks that the
picture's new name is announced. The program is started with Qt's -reverse
option on its command line, which it must ignore: its menus still read left
to right. Exits 1 on any failure, including a bus or program that never
shows up.
"""

import contextlib
import os
import signal
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
gi.require_version("Gio", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

STARTUP_TIMEOUT_S = 30
UPDATE_TIMEOUT_S = 10
ROWS_PRINTED_PER_LIST = 3

# Spoken name -> the AT-SPI role it must have.
EXPECTED = {
    "Pictolex": "frame",
    "Vegetal": "list",
    "Animal": "list",
    "Human": "list",
    "Music": "list",
    "Transport": "list",
    "Clothing": "list",
    "Words": "text",
    "Word": "text",
    "Search": "push button",
    "Results": "list",
    "All forms": "check box",
}
BANNER_NAME = "Pictolex"


class CheckFailed(Exception):
    pass


def wait_until(what, timeout_s, probe):
    """Calls probe until it returns something true; raises after timeout_s."""
    deadline = time.monotonic() + timeout_s
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() > deadline:
            raise CheckFailed(f"{what} did not happen within {timeout_s} s")
        time.sleep(0.2)


def session_name_has_owner(name):
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    reply = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                          "NameHasOwner", GLib.Variant("(s)", (name,)), GLib.VariantType("(b)"),
                          Gio.DBusCallFlags.NONE, 2000, None)
    return reply.unpack()[0]


def find_application():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and (app.get_name() or "").lower() == "pictolex":
            return app
    return None


def describe(node):
    return f"{node.get_role_name()} \"{node.get_name() or ''}\""


def walk(node, depth, lines, found):
    """Prints the subtree under node and collects (name, role) of every node."""
    role = node.get_role_name()
    name = node.get_name() or ""
    found.append((name, role, node))
    lines.append("  " * depth + describe(node))
    count = node.get_child_count()
    for i in range(count):
        if role == "list" and i == ROWS_PRINTED_PER_LIST:
            lines.append("  " * (depth + 1) + f"... {count - i} more rows")
            break
        child = node.get_child_at_index(i)
        if child is not None:
            walk(child, depth + 1, lines, found)


def read_tree(app):
    lines, found = [], []
    walk(app, 0, lines, found)
    return lines, found


def check_names(found):
    failures = []
    for name, role in EXPECTED.items():
        roles = [r for n, r, _ in found if n == name]
        if role not in roles:
            failures.append(f"no {role} named \"{name}\" (roles with that name: {roles or 'none'})")
    images = [n for n, r, _ in found if r == "image"]
    if images != [BANNER_NAME]:
        failures.append(f"expected one image named \"{BANNER_NAME}\", found {images}")
    if failures:
        raise CheckFailed("\n".join(failures))


def node_named(found, name, role):
    for n, r, node in found:
        if n == name and r == role:
            return node
    raise CheckFailed(f"no {role} named \"{name}\"")


def check_left_to_right(found):
    """The menu bar reads File, then Help, from the left: the window is not mirrored."""
    file_menu = node_named(found, "File", "menu item").get_extents(Atspi.CoordType.SCREEN)
    help_menu = node_named(found, "Help", "menu item").get_extents(Atspi.CoordType.SCREEN)
    if not file_menu.x < help_menu.x:
        raise CheckFailed(f"the window is mirrored: File at x = {file_menu.x}, Help at x = {help_menu.x}")


def check_picture_follows_selection(found):
    """A click on a Vegetal row shows its plate; the image is renamed."""
    vegetal = node_named(found, "Vegetal", "list")
    image = node_named(found, BANNER_NAME, "image")
    first_row = vegetal.get_child_at_index(0)
    if first_row is None:
        raise CheckFailed("the Vegetal list has no rows")
    expected = (first_row.get_name() or "").strip()

    # A screen reader learns that the name changed from an event, then asks
    # for it. (Qt's event carries the object rather than the new text.)
    announced = []

    def on_rename(event):
        if event.source is not None and event.source.get_role_name() == "image":
            announced.append(event.source)

    listener = Atspi.EventListener.new(on_rename)
    listener.register("object:property-change:accessible-name")

    def heard():
        while GLib.MainContext.default().iteration(False):
            pass
        return bool(announced) and image.get_name() == expected

    # A click on the row's centre, through the X server as a user's would be.
    box = first_row.get_extents(Atspi.CoordType.SCREEN)
    if box.width <= 0 or box.height <= 0:
        raise CheckFailed(f"the first Vegetal row has no place on the screen ({box.x}, {box.y}, {box.width} x {box.height})")
    Atspi.generate_mouse_event(box.x + box.width // 2, box.y + box.height // 2, "b1c")
    try:
        wait_until(f"the image announcing its new name \"{expected}\"", UPDATE_TIMEOUT_S, heard)
    except CheckFailed as error:
        raise CheckFailed(f"{error}: {len(announced)} name events, name now \"{image.get_name()}\"") from None
    listener.deregister("object:property-change:accessible-name")
    print(f"after a click on \"{expected}\" in Vegetal: {describe(image)}")


@contextlib.contextmanager
def running(program):
    """Starts the accessibility bus and the program on it; gives the program's
    accessible application, its tree as printed lines and its (name, role,
    node) list, once every control is there. Ends both afterwards."""
    launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                start_new_session=True)
    app = None
    try:
        wait_until("the accessibility bus (org.a11y.Bus) appearing", STARTUP_TIMEOUT_S,
                   lambda: launcher.poll() is None and session_name_has_owner("org.a11y.Bus"))
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                   QT_QPA_PLATFORM="xcb")
        env.pop("QT_SCALE_FACTOR", None)
        # The program reads no command line, so Qt's own options must not act on it either.
        app = subprocess.Popen([program, "-reverse"], env=env)

        def registered():
            if app.poll() is not None:
                raise CheckFailed(f"the program ended with status {app.returncode} before registering")
            return find_application()

        accessible = wait_until("Pictolex registering on the accessibility bus", STARTUP_TIMEOUT_S, registered)
        # The window and its controls register a moment after the application.
        wait_until("the Pictolex window appearing in the tree", STARTUP_TIMEOUT_S,
                   lambda: accessible.get_child_count() > 0)
        lines, found = wait_until("every control appearing in the tree", STARTUP_TIMEOUT_S,
                                  lambda: (lambda t: t if len(t[1]) > len(EXPECTED) else None)(read_tree(accessible)))
        yield accessible, lines, found
    finally:
        if app is not None and app.poll() is None:
            app.terminate()
            try:
                app.wait(5)
            except subprocess.TimeoutExpired:
                app.kill()
        if launcher.poll() is None:
            # The launcher's own bus and the registry are in its process group.
            os.killpg(launcher.pid, signal.SIGTERM)
            try:
                launcher.wait(5)
            except subprocess.TimeoutExpired:
                os.killpg(launcher.pid, signal.SIGKILL)


def run(program):
    with running(program) as (_accessible, lines, found):
        print("Accessibility tree of Pictolex (list rows shortened):")
        print("\n".join(lines))
        check_names(found)
        check_left_to_right(found)
        check_picture_follows_selection(found)


def main(run=run, passed="every control is named on the accessibility bus"):
    if len(sys.argv) != 2:
        print(f"usage: {os.path.basename(sys.argv[0])} PATH/TO/pictolex", file=sys.stderr)
        return 2
    try:
        run(sys.argv[1])
    except (CheckFailed, GLib.Error) as error:
        print(f"FAIL: {error}", file=sys.stderr)
        return 1
    print(f"PASS: {passed}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
