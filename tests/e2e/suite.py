#!/usr/bin/env python3
"""The real velmine binary played from outside, as a player would: each case starts its own
virtual X server and the game in a fresh working directory, clicks and types with real X input,
and checks the trace on standard output, the files on disk and what the windows show.

Usage: suite.py PATH/TO/velmine [unittest arguments]"""

import os
import shutil
import sys
import tempfile
import time
import unittest

# No compiled copy of the player left in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from player import (MAIN_TITLE, SCORE_FILE, Patience, Player, XServer,  # noqa: E402
                    plain, reads, wait_until)

BINARY = None
# Each case's name and time in seconds, printed after the run.
DURATIONS = []


class PlayerCase(unittest.TestCase, Player):
    """One virtual screen and a fresh working directory per case; whatever a case started is
    ended by its cleanups, in reverse order, even when the case fails."""

    def setUp(self):
        started = time.monotonic()
        self.addCleanup(lambda: DURATIONS.append((self.id().split(".", 1)[1],
                                                  time.monotonic() - started)))
        workdir = tempfile.mkdtemp(prefix="velmine-e2e-")
        self.addCleanup(shutil.rmtree, workdir, True)
        server = XServer()
        self.addCleanup(server.stop)
        Player.__init__(self, server, BINARY, workdir)

    def start(self):
        game = Player.start(self)
        self.addCleanup(game.stop)
        return game

    def assert_shows(self, image, phrase):
        shown, text = reads(image, phrase)
        self.assertTrue(shown, "%r is not on screen; read: %r" % (phrase, text))

    def save_and_exit(self):
        """Option > Save, Ok in the save dialog: the game writes its file and ends with 0."""
        since = self.game.mark()
        self.choose("Option", "Save")
        self.game.wait_line("ACTIVATE SAVE", since)
        self.assert_shows(self.dialog("SAVE"), "Save & Exit ?")
        self.press("SAVE", "Ok")
        self.assertEqual(self.game.wait_exit(), 0)
        self.assertIn("Quit", self.game.trace_since(since))
        return self.read_saved()

    def play_and_save(self, mark=False):
        """A fresh game opened in its middle, optionally with one mark, saved through the menu;
        returns the saved game and the board's looks at the moment of saving."""
        self.start()
        board = self.board()
        looks = self.open_first(board, (4, 4))[1]
        if mark:
            looks = self.mark_one(board, looks)[1]
        return self.save_and_exit(), looks

    def resume(self):
        """Restarts on the saved game, which is deleted at once, and dismisses the load
        dialog."""
        self.start()
        self.game.wait_line("FIND SAVE.data")
        self.assert_shows(self.dialog("LOAD"), "Load State")
        self.assertFalse(os.path.exists(self.save_path()), "the saved game was not deleted")
        self.press("LOAD", "Ok")
        self.x.wait_window_gone("LOAD")
        return self.board()

    def clock_runs(self, board):
        first = board.clock_strip(self.steady_main())
        return wait_until("the clock to move",
                          lambda: board.clock_strip(self.steady_main()) != first)

    def clock_still(self, board, period=0.6):
        """True when the clock shows the same over several of its ticks."""
        first = board.clock_strip(self.steady_main())
        time.sleep(period)
        return board.clock_strip(self.steady_main()) == first


class FreshStart(PlayerCase):
    def test_fresh_board_and_first_opening(self):
        game = self.start()
        self.assertEqual(self.x.map_state(self.window), "IsViewable")
        self.assertIn("CAN'T FIND SAVE.data", game.lines)
        self.assertNotIn("FIND SAVE.data", game.lines)
        self.assertEqual(self.x.windows("LOAD"), [])
        # Ten equal cells each way; the window fits the grid with room for the bars around it.
        self.assertEqual((self.width % 10, self.width), (0, self.height))
        self.assertEqual(self.x.geometry(self.window)[2:], (self.width + 20, self.height + 105))
        self.assert_shows(self.status_bar(), "Beginner : 10 x 10 bomb 10 %")

        board = self.board()
        fresh_clock = board.clock_strip(self.steady_main())
        # Fails unless the opened cell and its neighbours all open: no bomb is left next to it.
        before, _ = self.open_first(board, (4, 4))
        self.assertEqual(len(set(before.values())), 1, "a fresh board has only covered cells")

        self.clock_runs(board)
        self.assertNotEqual(board.clock_strip(self.steady_main()), fresh_clock)
        _, shown = reads(board.clock_strip(self.steady_main()), "sec")
        self.assertRegex(plain(shown), r"time\d+sec")
        self.assertTrue(game.running())


class Marks(PlayerCase):
    def test_right_button_marks_and_unmarks(self):
        game = self.start()
        board = self.board()
        fresh = board.looks(self.steady_main())
        board.click(0, 0, button=3)
        # Save is refused while no game runs: its trace shows the click before it was handled.
        since = game.mark()
        self.choose("Option", "Save")
        game.wait_line("ACTIVATE SAVE", since)
        self.assertEqual(board.looks(self.steady_main()), fresh, "marked before the first opening")
        self.assertEqual(self.x.windows("SAVE"), [])

        _, looks = self.open_first(board, (4, 4))
        covered = [cell for cell, look in looks.items() if look == board.covered]
        self.assertGreaterEqual(len(covered), 2)
        first, second = covered[0], covered[-1]
        board.click(*first, button=3)
        marked = wait_until("the first mark", lambda: self.changed_looks(board, looks))
        flag = marked[first]
        self.assertNotEqual(flag, board.covered)
        self.assertEqual({c for c in marked if marked[c] != looks[c]}, {first})

        board.click(*second, button=3)
        both = wait_until("the second mark", lambda: self.changed_looks(board, marked))
        self.assertEqual(both[second], flag)
        board.click(*first, button=3)
        one = wait_until("the unmark", lambda: self.changed_looks(board, both))
        self.assertEqual(one[first], board.covered)
        self.assertEqual(one[second], flag)

        # A left click on a marked cell leaves it marked and shut.
        board.click(*second)
        saved = self.save_and_exit()
        self.assertEqual(saved.with_state(2), {second})
        self.assertEqual(saved.cells[first][0], 1)
        bomb = saved.cells[second][1] > 0
        self.assertEqual((saved.bomb_count, saved.miss_count), (1, 0) if bomb else (0, 1))


class SaveAndResume(PlayerCase):
    def test_save_exit_and_resume_the_same_board(self):
        saved, looks = self.play_and_save(mark=True)
        board = self.board()
        shown_open = {cell for cell, look in looks.items()
                      if look != board.covered and cell not in saved.with_state(2)}
        self.assertEqual(saved.with_state(0), shown_open)
        self.assertEqual((saved.across, saved.down, saved.percent, saved.mode), (10, 10, 10, 1))
        self.assertEqual(len(saved.cells), 100)
        self.assertGreater(saved.tenths, 0)
        self.assertEqual([saved.tail[i] for i in (0, 1, 3, 4)], [">", "FILE<", ">", ""])
        self.assertEqual(len(saved.tail[2].split("\t")), 4)

        board = self.resume()
        self.assertEqual(board.looks(self.steady_main()), looks)
        self.assert_shows(self.status_bar(), "Beginner : 10 x 10 bomb 10 %")
        self.clock_runs(board)


class RefusedSave(PlayerCase):
    def test_copied_or_edited_file_is_refused_and_deleted(self):
        self.play_and_save()
        with open(self.save_path()) as original:
            text = original.read()
        # A copy keeps the contents and the times, but not the file's identity.
        shutil.copy2(self.save_path(), self.save_path() + ".copy")
        os.replace(self.save_path() + ".copy", self.save_path())
        self.refused("Can't Copy", lambda line: line.startswith(("INODE : ", "CTIME : ")))

        lines = text.split("\n")
        covered = next(i for i, line in enumerate(lines[4:104], 4) if line.split("\t")[2] == "1")
        fields = lines[covered].split("\t")
        fields[4] = str(int(fields[4]) + 1)
        lines[covered] = "\t".join(fields)
        self.write(self.save_path(), "\n".join(lines))
        self.refused("Can't Change", lambda line: line.startswith("MTIME : "))

        self.write(self.save_path(), "\n".join(text.split("\n")[:5] + text.split("\n")[6:]))
        self.refused("SAVE Broken", lambda line: line == "100!=10x10")

    @staticmethod
    def write(path, text):
        with open(path, "w") as changed:
            changed.write(text)

    def refused(self, message, traced):
        with self.subTest(message=message):
            game = self.start()
            try:
                self.assertTrue(any(traced(line) for line in game.lines), "\n".join(game.lines))
                self.assertNotIn("FIND SAVE.data", game.lines)
                self.assert_shows(self.dialog("LOAD"), message)
                self.assertFalse(os.path.exists(self.save_path()))
                self.press("LOAD", "Ok")
                self.x.wait_window_gone("LOAD")
                board = self.board()
                looks = board.looks(self.steady_main())
                self.assertEqual(set(looks.values()), {board.covered}, "not a fresh board")
            finally:
                # The next file is judged by a game of its own.
                game.stop()
                self.x.wait_window_gone(MAIN_TITLE)


class LostGame(PlayerCase):
    def test_opening_a_bomb_loses(self):
        saved, _ = self.play_and_save()
        bombs = saved.bomb_cells()
        self.assertTrue(bombs, "no bomb left on the board")
        board = self.resume()
        before = board.looks(self.steady_main())
        target = min(bombs)
        board.click(*target)

        def shown():
            looks = board.looks(self.steady_main())
            return looks if all(looks[cell] != before[cell] for cell in bombs) else None

        after = wait_until("every bomb shown", shown)
        changed = {cell for cell in after if after[cell] != before[cell]}
        self.assertEqual(changed - bombs, set(), "only the bombs change at a loss")
        self.assertEqual(len({after[cell] for cell in bombs}), 1, "bombs shown alike")

        since = self.game.mark()
        others = sorted(set(before) - bombs - saved.with_state(0)) or sorted(bombs - {target})
        if others:
            board.click(*others[0])
        self.choose("Option", "Save")
        self.game.wait_line("ACTIVATE SAVE", since)
        self.assertEqual(board.looks(self.steady_main()), after, "a lost board takes no clicks")
        self.assertEqual(self.x.windows("SAVE"), [], "a lost game cannot be saved")
        self.assertNotIn("CLEAR!", self.game.lines)
        self.assertTrue(self.clock_still(board))


class WonGame(PlayerCase):
    def test_marking_every_bomb_wins_and_records_the_score(self):
        saved, _ = self.play_and_save()
        bombs = saved.bomb_cells()
        board = self.resume()
        since = self.game.mark()
        for cell in sorted(bombs):
            board.click(*cell, button=3)
        self.game.wait_line("CLEAR!", since)
        name = self.x.find_window("NAME")
        x0, y0, width, height = self.x.geometry(name)
        # The entry fills the right of the dialog's only line.
        self.x.click(x0 + width * 3 // 4, y0 + height // 4)
        self.x.type_text("Bob7x!")
        self.press("NAME", "Ok")
        self.game.wait_line("[ob7x]", since)
        self.x.wait_window_gone("NAME")

        with open(os.path.join(self.workdir, SCORE_FILE)) as scores:
            records = scores.read().split("\n")
        self.assertEqual(records[1:], [""], "one record, ended by a newline")
        fields = records[0].split("\t")
        self.assertEqual(len(fields), 9)
        score, across, down, nbomb, tenths, mode, stamp, check = (int(v) for v in fields[:8])
        self.assertEqual((across, down, nbomb, mode, fields[8]), (10, 10, len(bombs), 1, "ob7x"))
        self.assertAlmostEqual(stamp, time.time(), delta=60)
        self.assertEqual(check, 100 + nbomb + tenths + sum(map(ord, "ob7x")))
        self.assertEqual(score, nbomb * (nbomb * 10000 // 100) // (tenths // 30 + 10))
        self.assertGreaterEqual(tenths, saved.tenths)

        table = self.dialog("SCORE")
        self.assert_shows(table, "ob7x")
        self.assert_shows(table, "%d.%d sec" % (tenths // 10, tenths % 10))
        self.press("SCORE", "OK")
        self.x.wait_window_gone("SCORE")
        self.assertIn("Return...", self.game.trace_since(since))


class Quitting(PlayerCase):
    def setUp(self):
        super().setUp()
        self.use_window_manager()

    def title_button(self, from_right):
        """A button of the window manager's title bar, counted from the right (0 = close).
        Openbox's stock theme puts square buttons, 4 pixels less than the title bar is high
        and 2 apart, at the bar's right end."""
        x0, y0, width, _ = self.x.geometry(self.window)
        _, right, top, _ = self.x.frame_extents(self.window)
        size = top - 4
        return (x0 + width + right - 2 - size // 2 - from_right * (size + 2), y0 - top // 2)

    def test_close_box_and_exit_ask_first(self):
        game = self.start()
        board = self.board()
        self.open_first(board, (4, 4))
        self.x.click(*self.title_button(0))
        self.assert_shows(self.dialog("EXIT"), "Quit ?")
        self.assertTrue(self.clock_still(board), "the clock runs behind the quit question")
        since = game.mark()
        self.press("EXIT", "Cancel")
        game.wait_line("Return...", since)
        self.x.wait_window_gone("EXIT")
        self.assertEqual(self.x.map_state(self.window), "IsViewable")
        self.clock_runs(board)

        self.choose("Game", "Exit")
        self.x.find_window("EXIT")
        self.press("EXIT", "OK")
        self.assertEqual(game.wait_exit(), 0)
        self.assertEqual(game.lines[-1], "Quit")
        self.assertFalse(os.path.exists(self.save_path()))

    def test_maximising_is_undone(self):
        self.start()
        self.board()
        size = self.x.geometry(self.window)[2:]
        spy = self.x.spy_sizes(self.window)
        self.addCleanup(spy.stop)
        self.x.click(*self.title_button(1))
        # Maximised, the window grows to the largest size the game allows, a little beyond the
        # board; the game then has it restored.
        wait_until("the window maximised and restored",
                   lambda: any(seen[0] > size[0] and seen[1] > size[1] for seen in spy.sizes()) and
                   spy.sizes()[-1] == size)
        self.assertNotIn("MAXIMIZED", self.x.net_wm_state(self.window))
        self.assertEqual(self.x.geometry(self.window)[2:], size)
        self.assertEqual(self.x.map_state(self.window), "IsViewable")


class CustomGrid(PlayerCase):
    def setUp(self):
        super().setUp()
        # Five thousand cells take the game many seconds to build, fit and draw.
        self.addCleanup(setattr, Patience, "seconds", Patience.seconds)
        Patience.seconds = 180.0

    def test_set_grid_to_100_by_50_and_play(self):
        game = self.start()
        since = game.mark()
        self.choose("Option", "Set Grid")
        self.assert_shows(self.dialog("SET GRID"), "bomb:")
        dialog = self.x.find_window("SET GRID")
        x0, y0, _, _ = self.x.geometry(dialog)
        # The cells across are the first field of the dialog's top line; Tab moves on to the
        # next field and selects its text.
        self.x.click(x0 + 12, y0 + 12)
        self.x.key("ctrl+a")
        self.x.type_text("100\t50\t10\t")
        self.press("SET GRID", "Reset")
        game.wait_line("Reset...", since)
        self.width, self.height = self.board_size(since)
        self.assertEqual((self.width % 100, self.width // 100), (0, self.height / 50))
        self.assertIn("100\t50\t10", game.trace_since(since))
        # At most 800 x 600 at first, whatever the board; the scroll bars show the rest.
        fitted = (min(self.width + 20, 800), min(self.height + 105, 600))
        wait_until("the window fitted to the board",
                   lambda: self.x.geometry(self.window)[2:] == fitted)
        self.press("SET GRID", "Close")
        self.x.wait_window_gone("SET GRID")
        self.assert_shows(self.status_bar(), "Free : 100 x 50 bomb 10 %")

        board = self.board(100, 50)
        _, looks = self.open_first(board, (3, 3))
        saved = self.save_and_exit()
        self.assertEqual((saved.across, saved.down, saved.percent, saved.size, saved.mode),
                         (100, 50, 10, 8, 4))
        self.assertEqual(len(saved.cells), 5000)
        shown_open = {cell for cell, look in looks.items() if look != board.covered}
        self.assertEqual(saved.with_state(0) & set(looks), shown_open)
        self.assertLessEqual({(r, c) for r in range(2, 5) for c in range(2, 5)}, shown_open)


def main():
    global BINARY
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    BINARY = os.path.abspath(sys.argv.pop(1))
    started = time.monotonic()
    result = unittest.main(exit=False, verbosity=2).result
    for name, seconds in DURATIONS:
        print("%6.1f s  %s" % (seconds, name))
    print("e2e: %.1f s" % (time.monotonic() - started))
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
