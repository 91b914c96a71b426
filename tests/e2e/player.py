# SPDX-License-Identifier: GPL-3.0-or-later
"""A player at the real game: a private Xvfb, real input through xdotool, and what the game gives
out: its trace, its files, its windows (titles and places). Needs Xvfb and xdotool."""

import gettext
import os
import re
import select
import subprocess
import threading
import time

MAIN_TITLE = "Velm'Mine"
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
    try:
        proc.wait(2)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


class XServer:
    """A private Xvfb on the first free display number, and the X tools run on it."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten",
             "tcp", "-noreset"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        while not number.endswith(b"\n") and select.select([read_end], [], [], PATIENCE)[0]:
            number += os.read(read_end, 16) or b"\n"
        os.close(read_end)
        self.display = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("XAUTHORITY", None)

    def run(self, *args):
        return subprocess.run(args, env=self.env, stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=PATIENCE).stdout.decode()

    def windows(self, title):
        return [int(w) for w in self.run("xdotool", "search", "--onlyvisible", "--name",
                                         "^" + re.escape(title) + "$").split()]

    def find_window(self, title):
        return wait_until("a window titled " + title, lambda: self.windows(title))[0]

    def wait_window_gone(self, title):
        wait_until("the window %s to go" % title, lambda: not self.windows(title))

    def keys(self, window, *names, command="key"):
        self.run("xdotool", "windowfocus", "--sync", str(window), command, "--delay", "50", *names)


class Game:
    """The velmine process and the lines it writes to standard output."""

    def __init__(self, server, binary, workdir, locale):
        self.lines, self.changed = [], threading.Condition()
        env = dict(server.env, LC_ALL=locale)
        env.pop("LANGUAGE", None)
        self.proc = subprocess.Popen([binary], cwd=workdir, env=env, stdout=subprocess.PIPE,
                                     stdin=subprocess.DEVNULL)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for raw in self.proc.stdout:
            with self.changed:
                self.lines.append(raw.decode(errors="replace").rstrip("\n"))
                self.changed.notify_all()

    def mark(self):
        with self.changed:
            return len(self.lines)

    def wait_line(self, line, since=0):
        deadline = time.monotonic() + PATIENCE
        with self.changed:
            while line not in self.lines[since:]:
                if time.monotonic() > deadline or not self.reader.is_alive():
                    raise AssertionError("trace line %r never came; trace after it:\n%s" % (
                        line, "\n".join(self.lines[since:])))
                self.changed.wait(0.2)
            return self.lines.index(line, since)

    def wait_exit(self):
        status = self.proc.wait(PATIENCE)
        self.reader.join(PATIENCE)
        return status

    def stop(self):
        end(self.proc)
        self.reader.join(PATIENCE)
        self.proc.stdout.close()


class Player:
    """A player's actions on the game in one working directory, in a locale; the board is 10 x 10
    cells. Dialogs are found by their titles in the locale's language, from the catalogues the
    game built beside it finds."""

    def __init__(self, server, binary, workdir, locale="C"):
        self.x, self.binary, self.workdir, self.locale = server, binary, workdir, locale
        self.language = gettext.NullTranslations() if locale == "C" else gettext.translation(
            "velmine", os.path.join(os.path.dirname(binary), "locale"), [locale])

    def title(self, title):
        return self.language.gettext(title)

    def start(self):
        self.game = Game(self.x, self.binary, self.workdir, self.locale)
        self.board_size(0)
        self.window = self.x.find_window(MAIN_TITLE)
        return self.game

    def board_size(self, since):
        """The grid's size as traced after position since: "width=W,height=H", "CHANGE"."""
        changed = self.game.wait_line("CHANGE", since)
        size = re.fullmatch(r"width=(\d+),height=(\d+)", self.game.lines[changed - 1])
        self.width, self.height = int(size.group(1)), int(size.group(2))
        return self.width, self.height

    def click_cell(self, row, col, button=1):
        self.x.run("xdotool", "mousemove", "--window", str(self.window),
                   str(GRID_X + (2 * row + 1) * self.width // 20),
                   str(GRID_Y + (2 * col + 1) * self.height // 20), "click", str(button))

    def choose(self, menu, item):
        self.x.keys(self.window, "F10", *["Right"] * list(MENUS).index(menu),
                    *["Down"] * (MENUS[menu].index(item) + 1), "Return")

    def press(self, title, key="Return"):
        """Return answers a dialog's first button; Escape closes it as its close box would."""
        self.x.keys(self.x.find_window(self.title(title)), key)

    def save_path(self):
        return os.path.join(self.workdir, "MINE_SAVE.data")

    def save_and_exit(self):
        """Option > Save, Ok, and the exit with 0; returns the file's state line and its cells by
        (across, down): state, bomb, count."""
        since = self.game.mark()
        self.choose("Option", "Save")
        self.press("SAVE")
        if self.game.wait_exit() != 0 or "Quit" not in self.game.lines[since:]:
            raise AssertionError("no save and exit:\n" + "\n".join(self.game.lines[since:]))
        with open(self.save_path()) as saved:
            lines = [[int(v) for v in line.split("\t")] for line in saved.read().split("\n")
                     if re.fullmatch(r"-?\d+(\t-?\d+)*", line)]
        return lines[0], {(cell[0], cell[1]): cell[2:] for cell in lines[1:-1]}

    def resume(self):
        self.start()
        self.game.wait_line("FIND SAVE.data")
        self.press("LOAD")
        self.x.wait_window_gone(self.title("LOAD"))
        return self.game
