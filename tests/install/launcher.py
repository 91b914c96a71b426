#!/usr/bin/env python3
"""The installed launcher, started as the desktop entry says: the game's files go to the player's
data directory, whatever the working directory (the refusals are tests/install/validate's).
Usage: launcher.py BUILD-DIRECTORY [unittest arguments]"""

import os
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


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    BUILD = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
