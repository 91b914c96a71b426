#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The real game played from outside in a fresh working directory: its trace, files and windows.
Usage: suite.py PATH/TO/velmine [unittest arguments]"""

import os
import re
import shutil
import sys
import tempfile
import time
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from player import Player, XServer, end  # noqa: E402

BINARY = None


# C first: the others are held against it.
LOCALES = ["C", "de_DE.UTF-8", "fr_FR.UTF-8", "es_ES.UTF-8"]


class Playing(unittest.TestCase, Player):
    def setUp(self):
        self.server = XServer()
        self.addCleanup(end, self.server.proc)

    def start(self):
        self.addCleanup(Player.start(self).stop)
        return self.game

    def test_a_game_opened_saved_resumed_won_and_quit_alike_in_every_language(self):
        """The trace and both files as under C, but for the values that differ from run to run
        (times, stamps, the draw): nothing of them is translated."""
        played = {}
        for locale in LOCALES:
            with self.subTest(locale=locale):
                workdir = tempfile.mkdtemp(prefix="velmine-e2e-")
                self.addCleanup(shutil.rmtree, workdir, True)
                Player.__init__(self, self.server, BINARY, workdir, locale)
                played[locale] = [re.sub(r"\d+", "#", text) for text in self.play()]
                self.assertEqual(played[locale], played["C"])

    def play(self):
        """Returns the trace of both runs, the saved game and the score file."""
        game = self.start()
        self.assertIn("CAN'T FIND SAVE.data", game.lines)
        self.assertEqual((self.x.windows(self.title("LOAD")), self.width % 10), ([], 0))
        self.click_cell(4, 4)
        state, cells = self.save_and_exit()
        trace = game.lines
        with open(self.save_path()) as saved:
            saved = saved.read()
        # The opened cell and its neighbours hold no bomb, so they all open.
        self.assertEqual({cells[(r, c)][0] for r in range(3, 6) for c in range(3, 6)}, {0})
        self.assertEqual(([state[i] for i in (0, 1, 2, 8)], len(cells)), ([10, 10, 10, 1], 100))
        self.assertGreater(state[7], 0, "the clock did not run")

        game = self.resume()
        since = game.mark()
        bombs = [cell for cell, (_, bomb, _) in cells.items() if bomb]
        for cell in bombs:
            self.click_cell(*cell, button=3)
        game.wait_line("CLEAR!", since)
        # Each key is a chunk for the name's filter: "B" and "!" are refused.
        self.x.keys(self.x.find_window(self.title("NAME")), "Bob7x!", command="type")
        self.press("NAME")
        # The record is on the disk once the list is read back after it.
        game.wait_line("OK! MATCH LIST", game.wait_line("[ob7x]", since))
        with open(os.path.join(self.workdir, "MINE_SCORE.data")) as scores:
            record = scores.read()
        fields = record.split("\t")
        score, across, down, nbomb, tenths, mode, stamp, check = (int(v) for v in fields[:8])
        self.assertEqual((across, down, nbomb, mode, fields[8:]), (10, 10, len(bombs), 1, ["ob7x\n"]))
        self.assertAlmostEqual(stamp, time.time(), delta=60)
        self.assertEqual(check, 100 + nbomb + tenths + sum(map(ord, "ob7x")))
        self.assertEqual(score, nbomb * (nbomb * 10000 // 100) // (tenths // 30 + 10))
        self.assertGreaterEqual(tenths, state[7], "the clock did not go on from the save")
        since = game.mark()
        self.press("SCORE")
        self.x.wait_window_gone(self.title("SCORE"))
        # Quitting asks first; the close box's way (Escape) goes back to the game.
        self.choose("Game", "Exit")
        self.press("EXIT", "Escape")
        self.x.wait_window_gone(self.title("EXIT"))
        self.choose("Game", "Exit")
        self.press("EXIT")
        self.assertEqual(game.wait_exit(), 0)
        self.assertEqual(game.lines[since:], ["Return...", "delete...", "Quit"])
        self.assertFalse(os.path.exists(self.save_path()), "a game was saved")
        return trace + game.lines + [saved, record]

if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
