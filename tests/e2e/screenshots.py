"""Takes the README's screenshots of the running program, frames included.

    /usr/bin/python3 screenshots.py PROGRAM OUTDIR      (inside xsession.sh --a11y)

main-window.png     after converting 100 Megabytes
about-window.png    the About window over it
main-window-2x.png  the same conversion with QT_SCALE_FACTOR=2
"""

import filecmp
import os
import subprocess
import sys
import tempfile

from desktop import ROLE, Program, key, poll, run, text_of, type_text

ENTRY_NAME = "Enter Number to Convert"


def frame_of(wid):
    """The window manager's frame around a client window: the ancestor below the root."""
    wid = int(wid, 0)
    while True:
        tree = run("xwininfo", "-tree", "-id", str(wid))
        root = int(tree.split("Root window id: ")[1].split()[0], 16)
        parent = int(tree.split("Parent window id: ")[1].split()[0], 16)
        if parent == root:
            return wid
        wid = parent


def capture(wid, path):
    """Captures until two shots in a row agree: the window has finished painting."""
    frame = str(frame_of(wid))
    with tempfile.TemporaryDirectory() as tmp:
        shots = [os.path.join(tmp, "a.png"), os.path.join(tmp, "b.png")]
        subprocess.run(["import", "-window", frame, shots[0]], check=True)

        def stable():
            subprocess.run(["import", "-window", frame, shots[1]], check=True)
            if filecmp.cmp(shots[0], shots[1], shallow=False):
                return True
            shots.reverse()
            return False
        poll(stable, "the window to stop changing")
        subprocess.run(["convert", shots[0], "-strip", path], check=True)
    print("wrote", path, run("identify", "-format", "%wx%h", path))


def convert_100_megabytes(p):
    entry = p.find(ROLE.TEXT, ENTRY_NAME)
    megabytes = p.find(ROLE.RADIO_BUTTON, "Megabytes")
    p.wait_focus(entry, "the entry box")
    key("Tab", "Tab", "Tab", "Tab", "Down")
    p.wait_focus(megabytes, "the Megabytes button")
    key("shift+Tab", "shift+Tab", "shift+Tab", "shift+Tab")
    p.wait_focus(entry, "the entry box")
    type_text("100")
    key("Return")
    gigabytes = p.find(ROLE.TEXT, "Gigabytes")
    poll(lambda: text_of(gigabytes) == "0.09766", "the results")


def main():
    exe, outdir = sys.argv[1], sys.argv[2]
    os.makedirs(outdir, exist_ok=True)
    p = Program(exe)
    try:
        convert_100_megabytes(p)
        capture(p.wid, os.path.join(outdir, "main-window.png"))
        key("alt+h", "b")
        p.top_level("About Pimbrel's Norvane", roles=(ROLE.DIALOG,))
        about = poll(lambda: run("xdotool", "search", "--onlyvisible", "--name",
                                 "^About Pimbrel's Norvane$").split(), "the About window")[0]
        capture(about, os.path.join(outdir, "about-window.png"))
        key("Escape")
    finally:
        p.kill()
    p = Program(exe, env={"QT_SCALE_FACTOR": "2"})
    try:
        convert_100_megabytes(p)
        capture(p.wid, os.path.join(outdir, "main-window-2x.png"))
    finally:
        p.kill()


if __name__ == "__main__":
    main()
