#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The real game played from outside in a fresh working directory per locale, under a private Xvfb
with real input through xdotool: its trace, its files and its windows (titles and places).
Usage: suite.py PATH/TO/velmine [unittest arguments]. Needs Xvfb and xdotool."""

import gettext
import os
import pathlib
import re
import subprocess
import sys
import tempfile
import time
import unittest

BINARY = None
# C first: the others are held against it.
LOCALES = ["C", "de_DE.UTF-8", "fr_FR.UTF-8", "es_ES.UTF-8"]
MAIN = "Velm'Mine"
# Where the grid starts in the main window with the default theme: below the menu bar (27), the
# clock row (30) and the board's frame (2).
GRID_X, GRID_Y = 2, 59
# The menu bar as the keyboard walks it: F10 opens the first menu, separators are skipped.
MENUS = {"Game": ["Reset", "Beginner", "Medium", "Advance", "Exit"],
         "Option": ["Set Grid", "Score", "Save"], "Help": ["About"]}
# How long one expected effect may take on a busy machine.
PATIENCE = 15.0


def wait_until(what, probe):
    deadline = time.monotonic() + PATIENCE
    while not (result := probe()):
        if time.monotonic() > deadline:
            raise AssertionError("gave up waiting for " + what)
        time.sleep(0.05)
    return result


def end(proc):
    proc.terminate()
    proc.wait(PATIENCE)


class Playing(unittest.TestCase):
    def setUp(self):
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                 "1280x1024x24", "-nolisten", "tcp", "-noreset"],
                                pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        self.addCleanup(end, xvfb)
        os.close(write_end)
        self.env = {k: v for k, v in os.environ.items() if k not in ("XAUTHORITY", "LANGUAGE")}
        with os.fdopen(read_end) as numbers:
            self.env["DISPLAY"] = ":" + numbers.readline().strip()

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=PATIENCE).stdout.decode()

    def windows(self, title):
        """The shown windows titled title in the locale's language."""
        return self.xdotool("search", "--onlyvisible", "--name",
                            "^" + re.escape(self.language.gettext(title)) + "$").split()

    def window(self, title):
        return wait_until("a window titled " + title, lambda: self.windows(title))[0]

    def gone(self, title):
        wait_until("the window %s to go" % title, lambda: not self.windows(title))

    def keys(self, title, *names, command="key"):
        self.xdotool("windowfocus", "--sync", self.window(title), command, "--delay", "50", *names)

    def choose(self, menu, item):
        self.keys(MAIN, "F10", *["Right"] * list(MENUS).index(menu),
                  *["Down"] * (MENUS[menu].index(item) + 1), "Return")

    def click_cell(self, row, col, button=1):
        self.xdotool("mousemove", "--window", self.window(MAIN),
                     str(GRID_X + (2 * row + 1) * self.width // 20),
                     str(GRID_Y + (2 * col + 1) * self.height // 20), "click", str(button))

    def lines(self):
        return pathlib.Path(self.trace).read_text(errors="replace").splitlines()

    def wait_line(self, line, since=0):
        wait_until("the trace line %s" % line, lambda: line in self.lines()[since:])
        return self.lines().index(line, since)

    def start(self):
        """Starts the game, its trace appended to the locale's, and waits for its board:
        "width=W,height=H", "CHANGE"."""
        since = len(self.lines())
        with open(self.trace, "a") as trace:
            self.game = subprocess.Popen([BINARY], cwd=self.workdir, stdout=trace,
                                         stdin=subprocess.DEVNULL,
                                         env=dict(self.env, LC_ALL=self.locale))
        changed = self.wait_line("CHANGE", since)
        size = self.lines()[changed - 1]
        self.width, self.height = map(int, re.fullmatch(r"width=(\d+),height=(\d+)", size).groups())
        return since

    def test_a_game_opened_saved_resumed_won_and_quit_alike_in_every_language(self):
        """The trace and both files as under C, but for the values that differ from run to run
        (times, stamps, the draw): nothing of them is translated."""
        played = {}
        for locale in LOCALES:
            with self.subTest(locale=locale):
                self.workdir = self.enterContext(tempfile.TemporaryDirectory(prefix="velmine-e2e-"))
                self.trace = os.path.join(self.workdir, "trace")
                open(self.trace, "w").close()
                self.locale = locale
                self.language = gettext.translation(
                    "velmine", os.path.join(os.path.dirname(BINARY), "locale"), [locale],
                    fallback=locale == "C")
                try:
                    played[locale] = [re.sub(r"\d+", "#", text) for text in self.play()]
                finally:  # a game left behind would take the next one's input
                    end(self.game)
                self.assertEqual(played[locale], played["C"])

    def play(self):
        """Returns the trace of both runs, the saved game and the score file."""
        since = self.start()
        self.assertIn("CAN'T FIND SAVE.data", self.lines())
        self.click_cell(4, 4)
        self.choose("Option", "Save")
        self.keys("SAVE", "Return")
        self.assertEqual(self.game.wait(PATIENCE), 0)
        self.assertIn("Quit", self.lines()[since:])
        saved = pathlib.Path(self.workdir, "MINE_SAVE.data").read_text()
        # Its state line, then its cells by (across, down): state, bomb, count.
        rows = [[int(v) for v in line.split("\t")] for line in saved.split("\n")
                if re.fullmatch(r"-?\d+(\t-?\d+)*", line)]
        state, cells = rows[0], {(cell[0], cell[1]): cell[2:] for cell in rows[1:-1]}
        self.assertGreater(state[7], 0, "the clock did not run")

        since = self.start()
        self.wait_line("FIND SAVE.data", since)
        self.keys("LOAD", "Return")
        self.gone("LOAD")
        bombs = [cell for cell, (_, bomb, _) in cells.items() if bomb]
        for cell in bombs:
            self.click_cell(*cell, button=3)
        self.wait_line("CLEAR!", since)
        # Each key is a chunk for the name's filter: "B" and "!" are refused.
        self.keys("NAME", "Bob7x!", command="type")
        self.keys("NAME", "Return")
        # The record is on the disk once the list is read back after it.
        self.wait_line("OK! MATCH LIST", self.wait_line("[ob7x]", since))
        record = pathlib.Path(self.workdir, "MINE_SCORE.data").read_text()
        fields = record.split("\t")
        across, down, nbomb, tenths, mode, stamp = (int(v) for v in fields[1:7])
        self.assertEqual((across, down, nbomb, mode, fields[8:]),
                         (10, 10, len(bombs), 1, ["ob7x\n"]))
        self.assertAlmostEqual(stamp, time.time(), delta=60)
        # Flagging the bombs one by one takes well over a tenth of a second.
        self.assertGreater(tenths, state[7], "the clock did not run on from the save")
        since = len(self.lines())
        self.keys("SCORE", "Return")
        self.gone("SCORE")
        # Quitting asks first.
        self.choose("Game", "Exit")
        self.keys("EXIT", "Return")
        self.assertEqual(self.game.wait(PATIENCE), 0)
        self.assertEqual(self.lines()[since:], ["Return...", "Quit"])
        self.assertFalse(os.path.exists(os.path.join(self.workdir, "MINE_SAVE.data")),
                         "a game was saved")
        return self.lines() + [saved, record]


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
