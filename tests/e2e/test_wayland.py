"""The program on Wayland, in a headless Weston that has no keyboard or pointer: it starts and
looks right, and its message box and About window are children of its main window. Buttons and
menu entries are pressed the way an assistive technology presses them, over AT-SPI; nothing is
typed.

    /usr/bin/python3 test_wayland.py EXECUTABLE DESKTOP_FILE  (inside xsession.sh --a11y --wayland)
"""

import collections
import os
import re
import subprocess
import sys
import tempfile
import unittest

from desktop import ROLE, TIMEOUT, Program, name, poll, role, walk

from gi.repository import Atspi, Gio, GLib  # noqa: E402 (desktop.py has chosen the version)

EXE = DESKTOP_FILE = None  # set from the command line
TITLE = "Pimbrel's Norvane"
INVALID = "You must enter a valid numeric amount ."
# The nineteen controls of the main window, by what they are to a screen reader.
CONTROLS = {ROLE.TEXT: 5, ROLE.PANEL: 1, ROLE.PUSH_BUTTON: 3, ROLE.RADIO_BUTTON: 4,
            ROLE.LABEL: 6}
INK = 40  # a pixel this far from the window's background (sum over R, G, B) is drawn on


def toplevels(log):
    """The program's top-level windows in the order it made them, from its Wayland requests."""
    made, live = [], {}
    request = re.compile(r"-> xdg_(?:surface@\d+\.get_toplevel\(new id xdg_toplevel@(\d+)\)"
                         r"|toplevel@(\d+)\.(set_title|set_app_id|set_parent|destroy)\((.*)\))")
    with open(log, errors="replace") as f:
        for m in filter(None, map(request.search, f)):
            new, known, what, args = m.groups()
            if new:
                live[new] = {"title": None, "app_id": None, "parent": None}
                made.append(live[new])
            elif known in live:
                if what == "destroy":
                    del live[known]
                elif what == "set_parent":
                    parent = re.fullmatch(r"xdg_toplevel@(\d+)", args)
                    live[known]["parent"] = live.get(parent[1]) if parent else None
                else:
                    live[known][what[4:]] = args.strip('"')
    return made


class Screenshot:
    """What the compositor shows."""

    def __init__(self):
        with tempfile.TemporaryDirectory() as tmp:
            subprocess.run(["weston-screenshooter"], cwd=tmp, check=True, capture_output=True,
                           timeout=TIMEOUT)
            [png] = os.listdir(tmp)
            ppm = subprocess.run(["convert", os.path.join(tmp, png), "-depth", "8", "ppm:-"],
                                 check=True, capture_output=True).stdout
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
        self.width, self.height, self.rgb = int(header[1]), int(header[2]), ppm[header.end():]

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return self.rgb[i:i + 3]

    def drawn(self):
        """(left, top, right, bottom) round everything not black: the windows and decorations."""
        rows = []
        for y in range(self.height):
            row = self.rgb[y * self.width * 3:(y + 1) * self.width * 3]
            if row.strip(b"\0"):
                rows.append((y, (len(row) - len(row.lstrip(b"\0"))) // 3,
                             (len(row.rstrip(b"\0")) - 1) // 3))
        if not rows:
            return None
        return min(r[1] for r in rows), rows[0][0], max(r[2] for r in rows), rows[-1][0]


def start_action(acc):
    """Asks over AT-SPI for the action of `acc` without waiting for the answer, which a menu
    entry that opens a modal window gives only once the window has closed. Returns the
    connection, to keep open meanwhile."""
    address = Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
        "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
        GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, -1)[0]
    bus = Gio.DBusConnection.new_for_address_sync(
        address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
        | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
    bus.call(acc.app.bus_name, acc.path, "org.a11y.atspi.Action", "DoAction",
             GLib.Variant("(i)", (0,)), None, Gio.DBusCallFlags.NONE, -1)
    return bus


def extents(acc):
    """Where the control stands on its window (Qt counts from the top left of the menu bar)."""
    e = acc.get_extents(Atspi.CoordType.WINDOW)
    return e.x, e.y, e.width, e.height


class StartsAndLooksWithoutInputDevices(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.addCleanup(self.tmp.cleanup)
        self.log = os.path.join(self.tmp.name, "wayland.log")
        with open(self.log, "w") as stderr:
            self.p = Program(EXE, env={"WAYLAND_DEBUG": "client"}, stderr=stderr)
        self.addCleanup(self.p.kill)

    def test_maps_with_its_app_id_shows_its_controls_and_owns_its_boxes(self):
        app_id = os.path.basename(DESKTOP_FILE).removesuffix(".desktop")
        self.assertTrue(os.path.isfile(DESKTOP_FILE), DESKTOP_FILE)
        main = poll(lambda: next((w for w in toplevels(self.log) if w["title"] == "Norvane"),
                                 None), "the main window's Wayland requests")
        self.assertEqual(main["app_id"], app_id)
        self.assertIsNone(main["parent"])

        controls = [a for a in walk(self.p.main) if role(a) in CONTROLS]
        self.assertEqual(collections.Counter(role(a) for a in controls), CONTROLS)
        problems = []
        poll(lambda: self.shows(controls, problems),
             lambda: f"the window and its controls on screen ({problems[-1]})")

        # With an empty entry, Calculate refuses it in a message box.
        self.p.find(ROLE.PUSH_BUTTON, "Calculate").do_action(0)
        box = self.p.top_level(TITLE, roles=(ROLE.ALERT, ROLE.DIALOG))
        self.assertIn(INVALID, [name(a) for a in self.p.all(ROLE.LABEL, box)])
        self.assertOwned(TITLE, app_id)
        self.p.find(ROLE.PUSH_BUTTON, "OK", box).do_action(0)
        self.p.gone(box, "the message box")

        about_entry = next(a for a in self.p.all(ROLE.MENU_ITEM) if name(a) == "About")
        pending = start_action(about_entry)
        about = self.p.top_level("About " + TITLE, roles=(ROLE.DIALOG,))
        self.assertOwned("About " + TITLE, app_id)
        self.p.find(ROLE.PUSH_BUTTON, "OK", about).do_action(0)
        self.p.gone(about, "the About window")
        pending.close_sync()
        self.p.find(ROLE.PUSH_BUTTON, "Close").do_action(0)
        self.assertEqual(self.p.wait_exit(), 0)
        # Every line the program wrote is a Wayland request or event: Qt had nothing to complain of.
        with open(self.log, errors="replace") as f:
            self.assertEqual([line for line in f if not line.startswith("[")], [])

    def assertOwned(self, title, app_id):
        """The last window made is `title`, a child of the main window, the first."""
        def made():
            windows = toplevels(self.log)
            return windows if windows and windows[-1]["title"] == title else None
        windows = poll(made, f"the Wayland requests of {title!r}")
        self.assertEqual((windows[0]["title"], windows[-1]["app_id"]), ("Norvane", app_id))
        self.assertIs(windows[-1]["parent"], windows[0], f"{title!r} is a child of the main window")

    def shows(self, controls, problems):
        """Whether a screenshot shows the window with every control drawn where it stands and
        nothing drawn between them; if not, notes in `problems` what it shows instead."""
        shot = Screenshot()
        drawn = shot.drawn()
        width, height = extents(self.p.main)[2:]
        if not drawn:
            problems.append("nothing drawn yet")
            return False
        left, top, right, bottom = drawn
        # Qt draws the decoration itself: a title bar above and an even border round the rest.
        border = (right - left + 1 - width) // 2
        x0, y0 = left + border, bottom + 1 - border - height
        if right - left + 1 != width + 2 * border or border < 0 or y0 - top <= border:
            problems.append(f"drawn {drawn}, not a decorated window of {width}x{height}")
            return False
        area = [(x, y) for x in range(width) for y in range(height)]
        pixels = collections.Counter(shot.pixel(x0 + x, y0 + y) for x, y in area)
        ground = pixels.most_common(1)[0][0]

        def ink(x, y):
            return sum(abs(a - b) for a, b in zip(shot.pixel(x0 + x, y0 + y), ground)) > INK

        boxes = [extents(a) for a in controls]
        blank = [f"{role(a).value_nick} {name(a)!r}" for a, (x, y, w, h) in zip(controls, boxes)
                 if not any(ink(i, j) for i in range(x, x + w) for j in range(y, y + h))]
        if blank:
            problems.append(f"nothing drawn for {', '.join(blank)}")
            return False
        menu_bar = extents(self.p.all(ROLE.MENU_BAR)[0])
        stray = sum(1 for x, y in area if y >= menu_bar[3] and ink(x, y) and not any(
            bx <= x < bx + bw and by <= y < by + bh for bx, by, bw, bh in boxes))
        if stray:
            problems.append(f"{stray} pixels drawn outside the controls")
            return False
        return True


def main():
    global EXE, DESKTOP_FILE
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    EXE, DESKTOP_FILE = os.path.abspath(sys.argv[1]), sys.argv[2]
    suite = unittest.TestLoader().loadTestsFromTestCase(StartsAndLooksWithoutInputDevices)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
