"""Drives the real program in an X session the way a person does: real key
events through the X server (xdotool), and what the windows show read back
through the accessibility interface (AT-SPI), the way a screen reader reads it.

Runs with Debian's /usr/bin/python3 (python3-pyatspi, gir1.2-atspi-2.0) inside
scripts/xsession.sh --a11y. Every wait is a condition poll with a deadline.
"""

import os
import signal
import subprocess
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

TIMEOUT = 10.0  # seconds; generous for a loaded CI machine
POLL = 0.02

ROLE = Atspi.Role
STATE = Atspi.StateType


class Timeout(AssertionError):
    pass


def poll(condition, what, timeout=TIMEOUT):
    """Calls condition() until it returns something true; returns that.
    `what` (a text, or a function giving one) names the awaited state in the failure."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = condition()
        except GLib.Error as e:  # the object went away or is not there yet
            value, last_error = None, e
        if value:
            return value
        if time.monotonic() > deadline:
            extra = f" (last error: {last_error})" if last_error else ""
            if callable(what):
                what = what()
            raise Timeout(f"timed out after {timeout:.0f} s waiting for {what}{extra}")
        time.sleep(POLL)


def run(*args, **kw):
    return subprocess.run(args, check=True, capture_output=True, text=True, **kw).stdout


def end(proc):
    """Asks a process to end; kills it if it has not within 5 s."""
    if proc.poll() is None:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


def xdotool(*args):
    return run("xdotool", *args)


def key(*keys):
    """Real key presses and releases through the X server, to the focused window."""
    xdotool("key", "--delay", "40", *keys)


def type_text(text):
    xdotool("type", "--delay", "40", "--", text)


def name(acc):
    return acc.get_name() or ""


def role(acc):
    return acc.get_role()


def states(acc):
    return acc.get_state_set()


def has_state(acc, state):
    return states(acc).contains(state)


def children(acc):
    return [acc.get_child_at_index(i) for i in range(acc.get_child_count())]


def walk(acc):
    yield acc
    for child in children(acc):
        if child is not None:
            yield from walk(child)


def text_of(acc):
    t = acc.get_text_iface()
    return t.get_text(0, t.get_character_count())


def selection_of(acc):
    """(start, end) of the selection of a text, or None when nothing is selected."""
    t = acc.get_text_iface()
    if t.get_n_selections() == 0:
        return None
    r = t.get_selection(0)
    return (r.start_offset, r.end_offset)


def describe(acc):
    try:
        return f"{role(acc).value_nick} {name(acc)!r}"
    except GLib.Error:
        return "<gone>"


class Program:
    """One run of the program under test, found on the accessibility bus by its PID."""

    def __init__(self, exe, env=None, title="Norvane", stderr=None):
        full_env = dict(os.environ)
        # Fixed locale: the decimal separator follows the user's locale.
        full_env.update(LANG="C.UTF-8", LC_ALL="C.UTF-8", LANGUAGE="")
        full_env.update(env or {})
        self.proc = subprocess.Popen([exe], env=full_env, stdin=subprocess.DEVNULL,
                                     stderr=stderr)
        try:
            self.app = poll(self._find_app, "the program on the accessibility bus")
            # Every read goes to the program; nothing is answered from a cache.
            self.app.set_cache_mask(Atspi.Cache.NONE)
            self.main = self.top_level(title, roles=(ROLE.FRAME,))
            # On Wayland a client can neither find other windows nor activate its own.
            if "DISPLAY" in full_env:
                self.wid = poll(self._find_xwindow, f"the X window {title!r}")
                self.activate(self.wid)
        except BaseException:
            self.kill()
            raise

    # ---- process -------------------------------------------------------------
    def _find_app(self):
        desktop = Atspi.get_desktop(0)
        for app in children(desktop):
            if app is not None and app.get_process_id() == self.proc.pid:
                return app
        return None

    def _find_xwindow(self):
        out = subprocess.run(
            ["xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.proc.pid),
             "--name", "^Norvane$"],
            capture_output=True, text=True).stdout.split()
        return out[0] if out else None

    def activate(self, wid):
        xdotool("windowactivate", wid)
        poll(lambda: xdotool("getactivewindow").strip() == wid, "the window to be active")

    def running(self):
        return self.proc.poll() is None

    def wait_exit(self, timeout=TIMEOUT):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Timeout(f"the program did not end within {timeout:.0f} s") from None

    def kill(self):
        end(self.proc)

    # ---- windows ---------------------------------------------------------------
    def windows(self):
        """The program's shown top-level windows."""
        return [w for w in children(self.app)
                if w is not None and has_state(w, STATE.SHOWING)]

    def top_level(self, title, roles=(ROLE.FRAME, ROLE.FILLER, ROLE.DIALOG, ROLE.ALERT)):
        def find():
            for w in self.windows():
                if name(w) == title and role(w) in roles:
                    return w
            return None
        return poll(find, f"a window titled {title!r}")

    def gone(self, window, what):
        def closed():
            try:
                return not has_state(window, STATE.SHOWING)
            except GLib.Error:
                return True
        poll(closed, f"{what} to close")

    def only_main_window(self):
        return [describe(w) for w in self.windows()] == [describe(self.main)]

    # ---- controls ----------------------------------------------------------------
    def find(self, role_, name_, within=None):
        def look():
            for acc in walk(within or self.main):
                if role(acc) == role_ and name(acc) == name_:
                    return acc
            return None
        return poll(look, f"{role_.value_nick} {name_!r}")

    def all(self, role_, within=None):
        return [a for a in walk(within or self.main) if role(a) == role_]

    def focused(self, within=None):
        for acc in walk(within or self.main):
            if role(acc) in (ROLE.FRAME, ROLE.DIALOG, ROLE.ALERT, ROLE.FILLER):
                continue
            if has_state(acc, STATE.FOCUSED):
                return acc
        return None

    def wait_focus(self, acc, what, within=None):
        def on_it():
            f = self.focused(within)
            return f is not None and f == acc
        def where():
            f = self.focused(within)
            return f"focus on {what} (it is on {describe(f) if f else 'nothing'})"
        poll(on_it, where)

    def wait_text(self, acc, expected, what):
        poll(lambda: text_of(acc) == expected,
             lambda: f"{what} to show {expected!r} (shows {text_of(acc)!r})")


class TextQueries:
    """Asks the program's text objects over the accessibility bus itself, each question with a
    timeout: a program that does not answer is killed, and the question named."""

    TIMEOUT_MS = 5000

    def __init__(self, program):
        self.program = program
        session = Gio.bus_get_sync(Gio.BusType.SESSION)
        address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                                    None, GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE,
                                    self.TIMEOUT_MS, None).unpack()[0]
        flags = (Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
                 | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
        self.bus = Gio.DBusConnection.new_for_address_sync(address, flags, None, None)

    def ask(self, acc, method, offset, boundary, what):
        """(text, start, end) of one Get*Offset question."""
        try:
            reply = self.bus.call_sync(acc.app.bus_name, acc.path, "org.a11y.atspi.Text", method,
                                       GLib.Variant("(iu)", (offset, boundary)),
                                       GLib.VariantType("(sii)"), Gio.DBusCallFlags.NONE,
                                       self.TIMEOUT_MS, None)
        except GLib.Error as e:
            self.program.kill()
            raise AssertionError(f"{what}: no answer ({e.message}); the program was killed")
        return tuple(reply.unpack())
