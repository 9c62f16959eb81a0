"""Debian's screen reader Orca, run in the session as a blind user runs it, and what it says.

Orca has no sound here: it writes every utterance to its debug file, which a ScreenReader reads
as it grows. Run as a script, this file is Orca itself, with that file written line by line
(Orca's own file is block-buffered, so a reader would see utterances late and in chunks).
"""

import builtins
import os
import re
import runpy
import subprocess
import sys
import time

from desktop import end

ORCA = "/usr/bin/orca"
# "SPEECH OUTPUT: 'Calculate push button.'{...}"; the echo of a key or of a typed character
# stands apart: "SPEECH OUTPUT: 'tab ' {...}", "SPEECH OUTPUT: '5' {...}".
UTTERANCE = re.compile(r"SPEECH OUTPUT: '(.*)'( ?)\{")
POLL = 0.02


class ScreenReader:
    def __init__(self):
        home = os.path.join(os.environ["XSESSION_DIR"], "orca")
        os.makedirs(os.path.join(home, "settings"), exist_ok=True)
        self.log = os.path.join(home, "debug.out")
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
                   XDG_DATA_HOME=os.path.join(home, "data"),
                   XDG_CACHE_HOME=os.path.join(home, "cache"))
        with open(os.path.join(home, "orca.err"), "w") as err:
            self.proc = subprocess.Popen(
                [sys.executable, __file__, "--debug-file=" + self.log,
                 "-u", os.path.join(home, "settings")],
                env=env, stdin=subprocess.DEVNULL, stdout=err, stderr=err)
        self.said = []  # every utterance so far, echoes left out
        self._read = 0
        self._partial = b""

    def stop(self):
        end(self.proc)

    def _take_new_lines(self):
        try:
            with open(self.log, "rb") as f:
                f.seek(self._read)
                chunk = f.read()
        except FileNotFoundError:
            return
        self._read += len(chunk)
        lines = (self._partial + chunk).split(b"\n")
        self._partial = lines.pop()
        for line in lines:
            line = line.decode("utf-8", "replace")
            m = UTTERANCE.search(line)
            if m and not m.group(2):
                self.said.append(m.group(1))

    def wait_until(self, condition, what, since=0, timeout=20.0):
        """Calls condition(what Orca has said since `since`) as Orca writes, until it is true."""
        deadline = time.monotonic() + timeout
        while True:
            self._take_new_lines()
            if condition(self.said[since:]):
                return self.said[since:]
            if self.proc.poll() is not None:
                raise AssertionError(f"Orca ended ({self.proc.returncode}) before it could {what}")
            if time.monotonic() > deadline:
                raise AssertionError(f"timed out after {timeout:.0f} s waiting for Orca to {what}; "
                                     f"it said {self.said[since:]}")
            time.sleep(POLL)


def run_orca():
    """Orca with its debug file line-buffered. It would refuse to start beside another Orca of
    the same user, which here runs in another session: let it."""
    debug_file = next(a.split("=", 1)[1] for a in sys.argv if a.startswith("--debug-file="))

    def line_buffered(file, mode="r", *args, **kw):
        if file == debug_file:
            kw["buffering"] = 1
        return builtins.open(file, mode, *args, **kw)

    orca = runpy.run_path(ORCA, init_globals={"open": line_buffered}, run_name="orca_script")
    orca["main"].__globals__["otherOrcas"] = lambda: []
    sys.argv[0] = ORCA
    sys.exit(orca["main"]())


if __name__ == "__main__":
    run_orca()
