#!/usr/bin/env python3
"""The installed launcher, started as the desktop entry says: the game's files go to the player's
data directory; one that cannot be made or written is refused with a message and no game.
Usage: launcher.py BUILD-DIRECTORY [unittest arguments]"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

import suite  # noqa: E402

ROOT = None
LAUNCHER = None


def setUpModule():
    global ROOT, LAUNCHER
    ROOT = tempfile.mkdtemp(prefix="velmine-install-")
    os.chmod(ROOT, 0o755)
    subprocess.run(["cmake", "--install", BUILD, "--prefix", "/usr"], check=True,
                   env=dict(os.environ, DESTDIR=ROOT), stdout=subprocess.DEVNULL)
    with open(os.path.join(ROOT, "usr/share/applications/velmine.desktop")) as entry:
        command = next(line[5:].strip() for line in entry if line.startswith("Exec="))
    LAUNCHER = ROOT + command
    suite.BINARY = LAUNCHER


def tearDownModule():
    shutil.rmtree(ROOT, True)


class FromTheMenu(suite.PlayerCase):
    def setUp(self):
        super().setUp()
        data_home = tempfile.mkdtemp(prefix="velmine-data-")
        self.addCleanup(shutil.rmtree, data_home, True)
        self.x.env["XDG_DATA_HOME"] = data_home
        self.data = os.path.join(data_home, "velmine")

    def save_path(self):
        return os.path.join(self.data, "MINE_SAVE.data")

    def test_files_stay_in_the_data_directory(self):
        self.start()
        self.click_cell(4, 4)
        self.save_and_exit()
        self.assertEqual(os.listdir(self.workdir), [])
        # From another working directory the game finds the save, checks it sound and takes it.
        self.workdir = tempfile.mkdtemp(prefix="velmine-elsewhere-")
        self.addCleanup(shutil.rmtree, self.workdir, True)
        self.assertIn("OPEN MINE_SAVE.data", self.resume().lines)
        self.assertFalse(os.path.exists(self.save_path()), "the saved game was not taken")


class BadDataDirectory(unittest.TestCase):
    NOBODY = 65534

    def setUp(self):
        self.home = tempfile.mkdtemp(prefix="velmine-home-")
        self.addCleanup(shutil.rmtree, self.home, True)
        os.chmod(self.home, 0o755)
        if os.geteuid() == 0:
            os.chown(self.home, self.NOBODY, self.NOBODY)

    def launch(self, data_home):
        # Permissions do not bind root: there the launcher runs as nobody.
        env = {"PATH": os.environ["PATH"], "HOME": self.home, "XDG_DATA_HOME": data_home}
        drop = (["setpriv", "--reuid=%d" % self.NOBODY, "--regid=%d" % self.NOBODY,
                 "--clear-groups"] if os.geteuid() == 0 else [])
        return subprocess.run(drop + [LAUNCHER], env=env, cwd=self.home, capture_output=True,
                              text=True, timeout=30)

    def refused(self, data_home, reason):
        done = self.launch(data_home)
        self.assertEqual(done.returncode, 1, done.stderr)
        # One line of the launcher's own: the game never started (nor complained of no display).
        self.assertRegex(done.stderr, "^velmine-launcher: .*%s.*%s\n$" %
                         (re.escape(os.path.join(data_home, "velmine")), reason))

    def test_a_directory_that_cannot_be_made_or_written_is_refused(self):
        data_home = os.path.join(self.home, "data")
        os.mkdir(data_home, 0o555)
        self.refused(data_home, "Permission denied")
        os.chmod(data_home, 0o755)
        os.mkdir(os.path.join(data_home, "velmine"), 0o555)
        self.refused(data_home, "Permission denied")
        os.rmdir(os.path.join(data_home, "velmine"))
        open(os.path.join(data_home, "velmine"), "w").close()
        self.refused(data_home, "not a directory")

    def test_a_relative_data_home_falls_back_to_the_home_directory(self):
        self.launch("relative/data")
        made = os.path.join(self.home, ".local/share/velmine")
        self.assertEqual(os.stat(made).st_mode & 0o777, 0o700)
        self.assertFalse(os.path.exists(os.path.join(self.home, "relative")))


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    BUILD = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
