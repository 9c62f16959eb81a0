"""End-to-end tests of the built program, used as a person uses it.

    /usr/bin/python3 test_norvane.py EXECUTABLE [TestClass ...]

inside scripts/xsession.sh --a11y (and scripts/cups-session.sh for PrintTest).
"""

import bisect
import glob
import itertools
import os
import re
import subprocess
import sys
import unittest

from desktop import (ROLE, STATE, Program, TextQueries, children, has_state, key, name, poll,
                     role, run, selection_of, text_of, type_text)
from screen_reader import ScreenReader

EXE = None  # set from the command line

TITLE = "Pimbrel's Norvane"
ENTRY_NAME = "Enter Number to Convert"
ENTRY_TIP = "Enter the number you wish to convert"
UNITS = ["Bytes", "Kilobytes", "Megabytes", "Gigabytes"]
# A print server that is not there: no default printer.
NO_PRINTER = {"CUPS_SERVER": "/nonexistent/cups.sock"}
INVALID = "You must enter a valid numeric amount ."
PRINT_FAILED = "There has been an error printing this form."
INSTRUCTIONS = (
    "To use the Norvane, simply add a numberical value in the ENTER NUMBER TO CONVERT box."
    " Select the appropriate criteria you wish to convert, byte, kilobyte, megabyte or gigabyte."
    " Next, click the Calculate button to view the results."
    " As an example, if you wanted to see how many bytes, kilobytes and gigabytess were in 100 megabytes,"
    " simply type 100 in the ENTER NUMBER TO CONVERT field and select MEGABYTES in the CRITERIA section,"
    " then click CALCULATE.  View the results in the RESULTS section.")


class Case(unittest.TestCase):
    env = None

    def setUp(self):
        self.p = Program(EXE, env=self.env)
        self.addCleanup(self.p.kill)
        self.entry = self.p.find(ROLE.TEXT, ENTRY_NAME)
        self.results = [self.p.find(ROLE.TEXT, unit) for unit in UNITS]
        self.units = [self.p.find(ROLE.RADIO_BUTTON, unit) for unit in UNITS]
        self.p.wait_focus(self.entry, "the entry box")

    def button(self, caption, within=None):
        return self.p.find(ROLE.PUSH_BUTTON, caption, within)

    def result_texts(self):
        return [text_of(r) for r in self.results]

    def wait_results(self, expected):
        poll(lambda: self.result_texts() == expected,
             lambda: f"results {expected} (they show {self.result_texts()})")

    def replace_entry(self, text):
        """Empties the entry with real keys, then types `text`."""
        key("ctrl+a", "BackSpace")
        self.p.wait_text(self.entry, "", "the emptied entry box")
        if text:
            type_text(text)
            self.p.wait_text(self.entry, text, "the entry box")

    def message_box(self, text, buttons):
        """Waits for the one message box; checks its title, text and buttons."""
        box = self.p.top_level(TITLE, roles=(ROLE.ALERT, ROLE.DIALOG))
        texts = [name(a) for a in self.p.all(ROLE.LABEL, box)]
        self.assertIn(text, texts)
        self.assertEqual([name(b) for b in self.p.all(ROLE.PUSH_BUTTON, box)], buttons)
        others = [name(w) for w in self.p.windows() if w != box and w != self.p.main]
        self.assertEqual(others, [], "only one message box is open")
        return box

    def settle(self):
        """Proves that the program has handled every earlier key: a key typed now shows."""
        before = text_of(self.entry)
        self.p.wait_focus(self.entry, "the entry box")
        key("End", "period")
        self.p.wait_text(self.entry, before + ".", "the entry box")
        key("BackSpace")
        self.p.wait_text(self.entry, before, "the entry box")

    def checked_units(self):
        return [u for u, acc in zip(UNITS, self.units) if has_state(acc, STATE.CHECKED)]

    def open_menu(self, title, entries):
        def shown():
            for item in self.p.all(ROLE.MENU_ITEM):
                if name(item) == title and role(item.get_parent()) == ROLE.MENU_BAR:
                    for menu in children(item):
                        if role(menu) == ROLE.POPUP_MENU and has_state(menu, STATE.SHOWING):
                            return menu
            return None
        menu = poll(shown, f"the {title} menu to open")
        self.assertEqual([name(i) for i in children(menu) if role(i) == ROLE.MENU_ITEM], entries)
        return menu


class MainWindowTest(Case):
    def test_start_state_and_accessible_names(self):
        self.assertEqual(text_of(self.entry), "")
        self.assertEqual(self.result_texts(), ["", "", "", ""])
        self.assertEqual(self.checked_units(), ["Kilobytes"])
        self.assertEqual(name(self.p.main), "Norvane")
        # Every editable or output box says what it is for.
        names = sorted(name(t) for t in self.p.all(ROLE.TEXT))
        self.assertEqual(names, sorted([ENTRY_NAME] + UNITS))
        for caption in ["Calculate", "Print Form", "Close"]:
            self.button(caption)
        # Names are the words on screen; tip texts reach a screen reader as descriptions.
        self.assertEqual(self.entry.get_description(), ENTRY_TIP)
        frame = self.p.find(ROLE.PANEL, "Entry Criteria")
        self.assertEqual(frame.get_description(),
                         "Select the criteria for the number to convert you entered")
        self.assertEqual([name(u) for u in children(frame)], UNITS)
        self.assertEqual([name(m) for m in self.p.all(ROLE.MENU_ITEM)
                          if role(m.get_parent()) == ROLE.MENU_BAR], ["File", "Help"])

    def test_enter_in_entry_converts_with_and_without_modifiers(self):
        for keys, amount, expected in [
            (["Return"], "1", ["1024", "1", "0.00098", "0"]),
            (["shift+Return"], "2048", ["2097152", "2048", "2", "0.00195"]),
            (["ctrl+KP_Enter"], "-2", ["-2048", "-2", "-0.00195", "0"]),
            (["ctrl+shift+Return"], "0.5", ["512", "0.5", "0.00049", "0"]),
        ]:
            with self.subTest(keys=keys, amount=amount):
                self.replace_entry(amount)
                key(*keys)
                self.wait_results(expected)
                self.assertTrue(has_state(self.entry, STATE.FOCUSED))
                self.assertIsNone(selection_of(self.entry), "the selection is not changed")
                self.assertEqual(text_of(self.entry), amount)

    def test_enter_on_unit_buttons_converts_with_the_selected_unit(self):
        type_text("100")
        self.p.wait_text(self.entry, "100", "the entry box")
        key("Tab", "Tab", "Tab", "Tab")
        self.p.wait_focus(self.units[1], "the Kilobytes button")
        key("Down")
        self.p.wait_focus(self.units[2], "the Megabytes button")
        self.assertEqual(self.checked_units(), ["Megabytes"])
        self.assertEqual(self.result_texts(), ["", "", "", ""], "choosing a unit converts nothing")
        key("Return")
        self.wait_results(["104857600", "102400", "100", "0.09766"])
        key("Down")
        self.p.wait_focus(self.units[3], "the Gigabytes button")
        self.assertEqual(self.result_texts()[0], "104857600", "results wait for the command")
        key("shift+Return")
        self.wait_results(["107374182400", "104857600", "102400", "100"])
        self.assertEqual(self.checked_units(), ["Gigabytes"], "Enter does not change the unit")
        self.assertTrue(has_state(self.units[3], STATE.FOCUSED))

    def test_invalid_entry_message_then_whole_entry_selected(self):
        type_text("1")
        key("Return")
        self.wait_results(["1024", "1", "0.00098", "0"])
        for typed in ["abc", "1.2.3", "", "  "]:
            with self.subTest(entry=typed):
                self.replace_entry(typed)
                key("Return")
                box = self.message_box(INVALID, ["OK"])
                key("Return")
                self.p.gone(box, "the message box")
                self.p.wait_focus(self.entry, "the entry box")
                length = len(typed)
                poll(lambda: selection_of(self.entry) == ((0, length) if length else None)
                     or (not length and selection_of(self.entry) == (0, 0)),
                     lambda: f"the whole entry selected (selection {selection_of(self.entry)})")
                self.assertEqual(text_of(self.entry), typed)
                self.assertEqual(self.result_texts(), ["1024", "1", "0.00098", "0"])
                self.assertEqual(self.checked_units(), ["Kilobytes"])
        # The selection is the whole entry: the next keystroke replaces it.
        self.replace_entry("abc")
        key("Return")
        key("Return")  # OK on the message box
        self.p.wait_focus(self.entry, "the entry box")
        poll(lambda: selection_of(self.entry) == (0, 3), "the whole entry selected")
        type_text("7")
        self.p.wait_text(self.entry, "7", "the entry box")

    def test_tab_sequence_forward_and_back(self):
        texts = {name(t): t for t in self.p.all(ROLE.TEXT)}
        stops = [(self.entry, "the entry box"),
                 (self.button("Calculate"), "Calculate"),
                 (self.button("Print Form"), "Print Form"),
                 (self.button("Close"), "Close"),
                 (self.units[1], "the selected unit button")]
        # The result boxes, where they are Tab stops, follow in the order of their TabIndex.
        result_stops = [texts[u] for u in ["Bytes", "Megabytes", "Gigabytes", "Kilobytes"]
                        if has_state(texts[u], STATE.FOCUSABLE)]
        stops += [(r, f"the {name(r)} result box") for r in result_stops]
        stops.append((self.entry, "the entry box again"))
        for acc, what in stops[1:]:
            key("Tab")
            self.p.wait_focus(acc, what)
        for acc, what in reversed(stops[:-1]):
            key("shift+Tab")
            self.p.wait_focus(acc, what + " (backwards)")

    def test_access_keys_press_buttons_and_open_menus(self):
        type_text("1")
        key("alt+a")
        self.wait_results(["1024", "1", "0.00098", "0"])
        self.replace_entry("2")
        key("alt+f")
        file_menu = self.open_menu("File", ["Calculate", "Print Form", "Exit"])
        key("a")
        self.p.gone(file_menu, "the File menu")
        self.wait_results(["2048", "2", "0.00195", "0"])
        key("alt+h")
        help_menu = self.open_menu("Help", ["Instructions", "About"])
        key("Escape")
        self.p.gone(help_menu, "the Help menu")
        key("Escape")  # the first closes the menu, the second leaves the menu bar
        self.p.wait_focus(self.entry, "the entry box")
        key("alt+h")
        self.open_menu("Help", ["Instructions", "About"])
        key("i")
        box = self.message_box(INSTRUCTIONS, ["OK"])
        key("Return")
        self.p.gone(box, "the Instructions box")
        self.p.wait_focus(self.entry, "the entry box")
        self.assertEqual(self.result_texts(), ["2048", "2", "0.00195", "0"])


class AboutTest(Case):
    def test_about_by_alt_h_b_closed_by_esc_then_enter(self):
        for closing_key in ["Escape", "Return"]:
            with self.subTest(closed_by=closing_key):
                key("alt+h", "b")
                about = self.p.top_level("About " + TITLE, roles=(ROLE.DIALOG,))
                labels = [name(a) for a in self.p.all(ROLE.LABEL, about)]
                self.assertIn(TITLE, labels)
                self.assertIn("Version 1.0.2", labels)
                for layout_text in ["Pimbrel's Computers Norvane ", "Version 1.0"]:
                    self.assertNotIn(layout_text, labels)
                self.assertTrue(any(t.startswith("The Norvane was developed as a simple tool")
                                    for t in labels), labels)
                ok = self.button("OK", about)
                self.p.wait_focus(ok, "OK", within=about)
                # The main window takes no input meanwhile: a digit goes nowhere.
                key("7")
                key(closing_key)
                self.p.gone(about, "the About window")
                self.p.wait_focus(self.entry, "the entry box")
                self.assertEqual(text_of(self.entry), "")
                self.assertEqual([name(w) for w in self.p.windows()], ["Norvane"])
        type_text("1")
        key("Return")
        self.wait_results(["1024", "1", "0.00098", "0"])


class TextQueriesTest(Case):
    """Every text query a screen reader may ask, on the entry and a result box, empty and filled:
    each answers at once (a program that does not is killed) and with the right piece."""

    AMOUNT = " -1.75555970201398E+305 "
    LONGEST = "-1.79769313486232E+308"  # what AMOUNT in Kilobytes is in bytes
    # Pieces by character, word (what Ctrl+Right skips), sentence and line, start to end.
    PIECES = {
        "": {},
        AMOUNT: {"word": [" ", "-", "1", ".", "75555970201398E", "+", "305 "]},
        LONGEST: {"word": ["-", "1", ".", "79769313486232E", "+", "308"]},
    }
    # AT-SPI's boundaries; Qt's bridge asks one question for the start and end kinds of each.
    BOUNDARIES = [("char", 0), ("word", 1), ("word", 2), ("sentence", 3), ("sentence", 4),
                  ("line", 5), ("line", 6)]
    SIDES = [("GetTextBeforeOffset", -1), ("GetTextAtOffset", 0), ("GetTextAfterOffset", 1)]

    @classmethod
    def expected(cls, text, kind, offset, side):
        pieces = list(text) if kind == "char" else cls.PIECES[text].get(kind, [text] if text else [])
        if offset > len(text):
            return ("", -1, -1)
        stops = [0] + list(itertools.accumulate(len(p) for p in pieces))
        index = bisect.bisect_right(stops, offset) - 1
        if index == len(pieces) and pieces and kind != "char":
            index -= 1  # the caret at the end stands in the last piece, but at no character
        index += side
        if index < 0:
            return ("", 0, 0)
        if index >= len(pieces):
            return ("", len(text), len(text))
        return (pieces[index], stops[index], stops[index + 1])

    def wrong_answers(self, queries, acc, what):
        text = text_of(acc)
        wrong = []
        for offset in range(len(text) + 2):
            for (kind, boundary), (method, side) in itertools.product(self.BOUNDARIES, self.SIDES):
                asked = f"{method}({offset}, {kind} {boundary}) on {what} {text!r}"
                answer = queries.ask(acc, method, offset, boundary, asked)
                expected = self.expected(text, kind, offset, side)
                if answer != expected:
                    wrong.append(f"{asked}: {answer}, not {expected}")
        return wrong

    def test_every_text_query_answers_at_once_and_right(self):
        queries = TextQueries(self.p)
        bytes_box = self.results[0]
        wrong = (self.wrong_answers(queries, self.entry, "the empty entry")
                 + self.wrong_answers(queries, bytes_box, "the empty Bytes box"))
        type_text(self.AMOUNT)
        self.p.wait_text(self.entry, self.AMOUNT, "the entry box")
        key("Return")
        poll(lambda: text_of(bytes_box) == self.LONGEST, "the Bytes result")
        wrong += (self.wrong_answers(queries, self.entry, "the entry")
                  + self.wrong_answers(queries, bytes_box, "the Bytes box"))
        self.assertEqual(wrong[:20], [], f"{len(wrong)} wrong answers")


class SpokenTest(Case):
    """What Debian's screen reader says at every Tab stop before and after a conversion, on a
    refusal and as About opens: the names and the values that the window shows, whole. And
    that every access key works while it runs."""

    env = NO_PRINTER

    AMOUNT = "-1.75555970201398E+305"
    NUMBER = re.compile(r"[-+]?\d[\d.]*(?:E[-+]?\d+)?")

    def setUp(self):
        super().setUp()
        self.orca = ScreenReader()
        self.addCleanup(self.orca.stop)
        self.orca.wait_until(lambda said: any(self.names(u, ENTRY_NAME) for u in said),
                             "name the focused entry as it starts")

    @staticmethod
    def names(utterance, name):
        """Whether the utterance is the name of a control, with Orca's words for its kind."""
        return utterance.rstrip(".") == name or utterance.startswith(name + " ")

    @staticmethod
    def tells(said, value):
        """Whether `value` is said whole, not as a part of a longer or shorter number."""
        whole = re.compile(rf"(?<![\w.+-]){re.escape(value)}(?![\w.+-])")
        return any(whole.search(u) for u in said)

    def stop_at(self, keys, name_, value):
        """Presses the keys; waits until Orca has said the name, and then the value."""
        def said_both(said):
            named = [i for i, u in enumerate(said) if self.names(u, name_)]
            return named and (not value or self.tells(said[named[0]:], value))
        since = len(self.orca.said)
        key(*keys)
        return self.orca.wait_until(said_both, f"say {name_!r}, then {value!r}", since)

    def round_of_tab_stops(self):
        texts = {name(t): t for t in self.p.all(ROLE.TEXT)}
        stops = [("Calculate", ""), ("Print Form", ""), ("Close", ""), ("Kilobytes", "")]
        stops += [(unit, text_of(texts[unit]))
                  for unit in ["Bytes", "Megabytes", "Gigabytes", "Kilobytes"]]
        stops.append((ENTRY_NAME, text_of(self.entry)))
        said = []
        for name_, value in stops:
            said += self.stop_at(["Tab"], name_, value)
        # No number that the window does not show, such as one cut short.
        spoken = {n for u in said for n in self.NUMBER.findall(u)}
        self.assertLessEqual(spoken, {value for _, value in stops}, said)

    def test_tab_stops_refusal_and_about_are_said_as_shown(self):
        self.round_of_tab_stops()
        type_text(self.AMOUNT)
        self.p.wait_text(self.entry, self.AMOUNT, "the entry box")
        key("Return")
        poll(lambda: text_of(self.results[0]) == TextQueriesTest.LONGEST, "the Bytes result")
        self.round_of_tab_stops()

        self.replace_entry("abc")
        self.stop_at(["Return"], "OK", "")
        self.assertIn(INVALID, self.orca.said)
        self.stop_at(["Return"], ENTRY_NAME, "abc")

        # By keys alone, as a screen reader's user works: every access key acts once, and the
        # focus stays where it was. Qt hands each key to Orca before the program sees it, but
        # not an access key, so the Alt of one arrives after the key itself.
        self.replace_entry("1")
        key("alt+a")
        self.wait_results(["1024", "1", "0.00098", "0"])
        self.settle()
        key("alt+p")
        box = self.message_box(PRINT_FAILED, ["OK", "Cancel"])
        key("Escape")
        self.p.gone(box, "the print failure message")
        self.settle()
        self.replace_entry("2")
        key("alt+f")
        self.open_menu("File", ["Calculate", "Print Form", "Exit"])
        key("a")
        self.wait_results(["2048", "2", "0.00195", "0"])
        self.settle()
        key("alt+h")
        self.open_menu("Help", ["Instructions", "About"])
        since = len(self.orca.said)
        key("b")
        about = self.p.top_level("About " + TITLE, roles=(ROLE.DIALOG,))
        shown = [name(a).strip() for a in self.p.all(ROLE.LABEL, about) if name(a).strip()]
        self.assertEqual(len(shown), 5, shown)
        self.orca.wait_until(
            lambda said: any(u.startswith("About " + TITLE + " dialog") for u in said)
            and all(any(text in u for u in said) for text in shown),
            f"say the About window's name and every text it shows, {shown}", since)
        key("Escape")
        self.p.gone(about, "the About window")
        self.settle()
        key("alt+c")
        self.assertGreaterEqual(self.p.wait_exit(), 0)


class PrintFailureTest(Case):
    env = NO_PRINTER

    def test_print_form_failure_message_by_button_and_menu(self):
        type_text("1")
        key("Return")
        self.wait_results(["1024", "1", "0.00098", "0"])
        for keys, answer in [(["alt+p"], "Escape"), (["alt+f", "p"], "Return")]:
            with self.subTest(keys=keys, answer=answer):
                key(*keys)
                box = self.message_box(PRINT_FAILED, ["OK", "Cancel"])
                key(answer)
                self.p.gone(box, "the print failure message")
                self.settle()
                self.assertTrue(self.p.only_main_window(), "the message is shown once")
                self.assertEqual(self.result_texts(), ["1024", "1", "0.00098", "0"])
                self.assertEqual(text_of(self.entry), "1")


class PrintTest(Case):
    """Under scripts/cups-session.sh: the default queue writes PDF files."""

    def test_print_form_prints_the_window_image_without_a_message(self):
        outdir = os.environ["NORVANE_PDF_DIR"]
        before = set(glob.glob(os.path.join(outdir, "*.pdf")))
        type_text("1")
        key("Return")
        self.wait_results(["1024", "1", "0.00098", "0"])
        key("alt+p")
        pdf = poll(lambda: sorted(set(glob.glob(os.path.join(outdir, "*.pdf"))) - before),
                   "a PDF from the default printer", timeout=30)
        poll(lambda: subprocess.run(["lpstat", "-o"], capture_output=True, text=True).stdout == "",
             "the print job to finish", timeout=30)
        self.assertEqual(len(pdf), 1)
        self.settle()
        self.assertTrue(self.p.only_main_window(), "no message after a good print")
        # The page holds one picture: the window's client area, 416 x 290 device pixels.
        lines = subprocess.run(["pdfimages", "-list", pdf[0]], check=True, capture_output=True,
                               text=True).stdout.splitlines()[2:]
        self.assertEqual(len(lines), 1, lines)
        width, height = int(lines[0].split()[3]), int(lines[0].split()[4])
        self.assertAlmostEqual(width / height, 416 / 290, delta=0.05)
        self.assertGreaterEqual(width, 416)


class GermanKeyboardTest(Case):
    """A layout where AltGr types characters: Q gives @."""

    def setUp(self):
        run("setxkbmap", "-layout", "de")
        self.addCleanup(run, "setxkbmap", "-layout", "us")
        super().setUp()

    def test_alt_types_nothing_and_altgr_types_its_character(self):
        type_text("100")
        key("Return")
        self.wait_results(["102400", "100", "0.09766", "0.0001"])
        key("ctrl+a")
        poll(lambda: selection_of(self.entry) == (0, 3), "the whole entry selected")
        key("alt+e", "alt+x", "alt+1", "alt+shift+e")
        # Had any of those typed, the entry would not be selected whole for this one.
        key("ISO_Level3_Shift+q")
        self.p.wait_text(self.entry, "@", "the entry box")
        key("alt+a")  # the access keys still work on this layout
        box = self.message_box(INVALID, ["OK"])
        key("Return")
        self.p.gone(box, "the message box")
        self.assertEqual(self.result_texts(), ["102400", "100", "0.09766", "0.0001"])


class EndTest(Case):
    def test_close_by_access_key_ends_the_program(self):
        key("alt+c")
        self.assertGreaterEqual(self.p.wait_exit(), 0, "ended normally, not by a signal")

    def test_exit_from_file_menu_ends_the_program(self):
        key("alt+f", "e")
        self.assertGreaterEqual(self.p.wait_exit(), 0)

    def test_window_close_button_ends_the_program(self):
        key("alt+F4")  # the window manager's close command
        self.assertGreaterEqual(self.p.wait_exit(), 0)

    def test_about_open_blocks_the_close_key(self):
        key("alt+h", "b")
        about = self.p.top_level("About " + TITLE, roles=(ROLE.DIALOG,))
        key("alt+c")  # reaches the About window, not the main window's Close button
        key("Escape")
        self.p.gone(about, "the About window")
        self.settle()
        self.assertTrue(self.p.running())


def main():
    global EXE
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    EXE = os.path.abspath(sys.argv[1])
    names = sys.argv[2:] or None
    loader = unittest.TestLoader()
    module = sys.modules[__name__]
    suite = (loader.loadTestsFromNames(names, module) if names
             else loader.loadTestsFromModule(module))
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
