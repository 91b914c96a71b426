"""A player at the keyboard and mouse of the real game: its own virtual X server, real pointer
and key input through xdotool, the game's trace on standard output, its files, and what its
windows show (screen captures, read back with OCR where a text matters).

Needs Xvfb, xdotool, xprop and xev, libX11 (read directly, for fast captures), tesseract, and
openbox for the cases that need a window manager. Everything started here is killed by its own
process id."""

import ctypes
import ctypes.util
import os
import re
import select
import shutil
import signal
import struct
import subprocess
import tempfile
import threading
import time
import zlib

MAIN_TITLE = "Velm'Mine"
SAVE_FILE = "MINE_SAVE.data"
SCORE_FILE = "MINE_SCORE.data"
# The menu bar lies within the main window's top rows, the status bar fills its bottom rows.
MENU_BAR_HEIGHT = 24
STATUS_BAR_HEIGHT = 30
# Polling interval while waiting for an effect.
POLL = 0.05
# How long the screen must stay the same to count as drawn.
SETTLE = 0.2


class Patience:
    """How long one expected effect may take on a busy two-core machine before a case fails;
    a case that plays a large board stretches it."""

    seconds = 15.0


class Timeout(AssertionError):
    pass


def wait_until(what, probe):
    """Polls probe() until it returns something true and returns that."""
    deadline = time.monotonic() + Patience.seconds
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Timeout("gave up waiting for " + what)
        time.sleep(POLL)


def _kill_group(proc, grace=2.0):
    """Ends a process started here in its own session, with everything it started."""
    if proc.poll() is None:
        try:
            os.killpg(proc.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        try:
            proc.wait(grace)
        except subprocess.TimeoutExpired:
            try:
                os.killpg(proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            proc.wait(grace)


class XServer:
    """A private Xvfb on the first free display number."""

    def __init__(self, width=1280, height=1024):
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
             "%dx%dx24" % (width, height), "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(write_end)
        number = b""
        try:
            deadline = time.monotonic() + Patience.seconds
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([read_end], [], [], left)[0]:
                    raise Timeout("Xvfb did not report its display")
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise Timeout("Xvfb ended before it reported its display")
                number += chunk
        except BaseException:
            _kill_group(self.proc)
            raise
        finally:
            os.close(read_end)
        self.display = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("XAUTHORITY", None)
        self.window_manager = self.connection = None

    def run(self, *args, check=True):
        done = subprocess.run(args, env=self.env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=Patience.seconds)
        if check and done.returncode != 0:
            raise AssertionError("%s failed: %s" % (" ".join(args), done.stderr.decode()))
        return done.stdout

    def start_window_manager(self):
        """Openbox, for the cases that need a real window manager (maximising, title bars)."""
        self.window_manager_home = tempfile.mkdtemp(prefix="velmine-wm-")
        self.window_manager = subprocess.Popen(
            ["openbox"], env=dict(self.env, HOME=self.window_manager_home),
            stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        wait_until("the window manager",
                   lambda: b"window id" in self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK",
                                                    check=False))

    def stop(self):
        if self.connection is not None:
            self.connection.close()
        if self.window_manager is not None:
            _kill_group(self.window_manager)
            shutil.rmtree(self.window_manager_home, True)
        _kill_group(self.proc)

    # Input: real X events through the XTEST extension, as a mouse and keyboard give them.

    def click(self, x, y, button=1):
        self.run("xdotool", "mousemove", str(x), str(y), "click", str(button))

    def move_away(self):
        """Puts the pointer in the screen's corner, off every window, so no cell is lit."""
        self.run("xdotool", "mousemove", "0", "0")

    def type_text(self, text):
        self.run("xdotool", "type", "--delay", "30", text)

    def key(self, *names):
        self.run("xdotool", "key", *names)

    # Windows.

    def windows(self, title):
        found = self.run("xdotool", "search", "--onlyvisible", "--name",
                         "^" + re.escape(title) + "$", check=False)
        return [int(word) for word in found.split()]

    def find_window(self, title):
        return wait_until("a window titled " + title, lambda: self.windows(title))[0]

    def wait_window_gone(self, title):
        wait_until("the window %s to go" % title, lambda: not self.windows(title))

    def geometry(self, window):
        """Absolute position and size of a window's inside, as (x, y, width, height)."""
        return self.xlib().geometry(window)

    def map_state(self, window):
        return self.xlib().map_state(window)

    def net_wm_state(self, window):
        return self.run("xprop", "-id", str(window), "_NET_WM_STATE").decode()

    def spy_sizes(self, window):
        return SizeSpy(self, window)

    def frame_extents(self, window):
        """The window manager's frame around a window: left, right, top, bottom."""
        found = self.run("xprop", "-id", str(window), "_NET_FRAME_EXTENTS").decode()
        return tuple(int(v) for v in re.findall(r"\d+", found.split("=", 1)[1]))

    def capture(self, window=None):
        """The screen, or the part of it a window covers, as the screen shows it."""
        return self.xlib().capture(None if window is None else self.geometry(window))

    def xlib(self):
        if self.connection is None:
            self.connection = _Xlib(self.display)
        return self.connection

    def save_png(self, path, box=None):
        """Writes the screen, or the part of it in box (x, y, width, height), as a PNG file."""
        self.xlib().capture(box).save_png(path)



class _XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


class _XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("border_width", ctypes.c_int),
                ("depth", ctypes.c_int), ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong),
                ("window_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
                ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int),
                ("all_event_masks", ctypes.c_long), ("your_event_mask", ctypes.c_long),
                ("do_not_propagate_mask", ctypes.c_long), ("override_redirect", ctypes.c_int),
                ("screen", ctypes.c_void_p)]


_X = ctypes.CDLL(ctypes.util.find_library("X11"))
_X.XOpenDisplay.restype = ctypes.c_void_p
_X.XOpenDisplay.argtypes = [ctypes.c_char_p]
_X.XCloseDisplay.argtypes = [ctypes.c_void_p]
_X.XDefaultRootWindow.restype = ctypes.c_ulong
_X.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_X.XGetImage.restype = ctypes.POINTER(_XImage)
_X.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                         ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
_X.XDestroyImage.argtypes = [ctypes.POINTER(_XImage)]
_X.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                    ctypes.POINTER(_XWindowAttributes)]
_X.XTranslateCoordinates.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong,
                                     ctypes.c_int, ctypes.c_int,
                                     ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
                                     ctypes.POINTER(ctypes.c_ulong)]
# A window can go between finding and reading it; Xlib's own handler would end the process.
_X_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(
    lambda display, event: 0)
_X.XSetErrorHandler(_X_ERROR_HANDLER)


class _Xlib:
    """A connection of our own to the X server, for captures and window geometry: a few
    milliseconds each, where a helper program costs a process start on a busy machine."""

    ZPIXMAP, ALL_PLANES, VIEWABLE = 2, (1 << 64) - 1, 2
    MAP_STATES = {0: "IsUnmapped", 1: "IsUnviewable", 2: "IsViewable"}

    def __init__(self, display):
        self.display = _X.XOpenDisplay(display.encode())
        if not self.display:
            raise AssertionError("cannot open display " + display)
        self.root = _X.XDefaultRootWindow(self.display)

    def close(self):
        _X.XCloseDisplay(self.display)

    def attributes(self, window):
        attributes = _XWindowAttributes()
        if not _X.XGetWindowAttributes(self.display, window, ctypes.byref(attributes)):
            raise AssertionError("window %d is gone" % window)
        return attributes

    def geometry(self, window):
        attributes = self.attributes(window)
        x, y, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        _X.XTranslateCoordinates(self.display, window, self.root, 0, 0, ctypes.byref(x),
                                 ctypes.byref(y), ctypes.byref(child))
        return x.value, y.value, attributes.width, attributes.height

    def map_state(self, window):
        return self.MAP_STATES[self.attributes(window).map_state]

    def capture(self, box):
        """The screen's pixels in box (x, y, width, height), clipped to the screen."""
        screen = self.attributes(self.root)
        x, y, width, height = box if box else (0, 0, screen.width, screen.height)
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(screen.width, x + width), min(screen.height, y + height)
        image = _X.XGetImage(self.display, self.root, x0, y0, x1 - x0, y1 - y0,
                             self.ALL_PLANES, self.ZPIXMAP)
        if not image:
            raise AssertionError("the X server gave no image of %r" % (box,))
        try:
            shape = image.contents
            if shape.bits_per_pixel != 32 or shape.byte_order != 0:
                raise AssertionError("captures need a 24-bit screen")
            raw = ctypes.string_at(shape.data, shape.bytes_per_line * shape.height)
            if shape.bytes_per_line != shape.width * 4:
                raw = b"".join(raw[i:i + shape.width * 4]
                               for i in range(0, len(raw), shape.bytes_per_line))
            # Blue, green, red and a pad byte per pixel, to red, green, blue.
            rgb = bytearray(shape.width * shape.height * 3)
            rgb[0::3], rgb[1::3], rgb[2::3] = raw[2::4], raw[1::4], raw[0::4]
            return Image(shape.width, shape.height, bytes(rgb))
        finally:
            _X.XDestroyImage(image)


class SizeSpy:
    """Every size the X server gives a window from now on, in order, as xev reports it."""

    def __init__(self, server, window):
        self.proc = subprocess.Popen(
            ["xev", "-id", str(window), "-event", "structure", "-event", "property"],
            env=server.env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL, start_new_session=True)
        self.seen, self.ready = [], threading.Event()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        # A property of no meaning to the game, set until xev shows it: from then on it listens.
        wait_until("xev to listen", lambda: self._ping(server, window))

    def _ping(self, server, window):
        server.run("xprop", "-id", str(window), "-f", "VELMINE_E2E_SPY", "8s", "-set",
                   "VELMINE_E2E_SPY", "listening")
        return self.ready.wait(0.2)

    def _read(self):
        for line in self.proc.stdout:
            size = re.search(rb"width (\d+), height (\d+)", line)
            if size:
                self.seen.append((int(size.group(1)), int(size.group(2))))
            elif b"VELMINE_E2E_SPY" in line:
                self.ready.set()

    def sizes(self):
        return list(self.seen)

    def stop(self):
        _kill_group(self.proc)
        self.reader.join(Patience.seconds)
        self.proc.stdout.close()


class Image:
    """An RGB screen capture, compared pixel for pixel."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    def row(self, y, x0=0, x1=None):
        x1 = self.width if x1 is None else x1
        start = (y * self.width + x0) * 3
        return self.data[start:start + (x1 - x0) * 3]

    def column(self, x, y0, y1):
        return bytes(b for y in range(y0, y1) for b in self.data[(y * self.width + x) * 3:
                                                                  (y * self.width + x) * 3 + 3])

    def rows(self, which):
        """The pixels of a slice of rows."""
        start, stop, _ = which.indices(self.height)
        return self.data[start * self.width * 3:stop * self.width * 3]

    def crop(self, x, y, width, height):
        x, y = max(0, x), max(0, y)
        width, height = min(width, self.width - x), min(height, self.height - y)
        return Image(width, height, b"".join(self.row(y + i, x, x + width) for i in range(height)))

    def __eq__(self, other):
        return (self.width, self.height, self.data) == (other.width, other.height, other.data)

    def __hash__(self):
        return hash((self.width, self.height, self.data))

    def to_ppm(self):
        return b"P6\n%d %d\n255\n" % (self.width, self.height) + self.data

    def save_png(self, path):
        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body +
                    struct.pack(">I", zlib.crc32(kind + body)))

        # Eight bits per channel, truecolour; each row starts with filter type 0 (none).
        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        rows = b"".join(b"\0" + self.row(y) for y in range(self.height))
        with open(path, "wb") as png:
            png.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                      chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


# One thread: OCR of a few words is no faster with more, and the machine is shared.
_OCR_ENV = dict(os.environ, OMP_THREAD_LIMIT="1")


def _tesseract(image, scale, *options):
    with tempfile.NamedTemporaryFile(suffix=".ppm") as picture:
        picture.write(_scale(image, scale).to_ppm())
        picture.flush()
        done = subprocess.run(["tesseract", picture.name, "-"] + list(options),
                              capture_output=True, timeout=Patience.seconds,
                              stdin=subprocess.DEVNULL, env=_OCR_ENV)
    return done.stdout.decode(errors="replace")


def plain(text):
    """Lower case letters, digits and % only: what OCR reads reliably."""
    return re.sub(r"[^0-9a-z%]", "", text.lower())


def reads(image, phrase):
    """Whether a capture shows a phrase, and the text read: at the screen's own size first,
    then enlarged, since neither reads every size of text well."""
    texts = []
    for scale in (1, 3):
        texts.append(" ".join(_tesseract(image, scale, "--psm", "6").split()))
        if plain(phrase) in plain(texts[-1]):
            return True, texts[-1]
    return False, " | ".join(texts)


def find_phrase(image, phrase):
    """The box (x, y, width, height) of a phrase in a capture, or None."""
    wanted = [plain(word) for word in phrase.split()]
    for scale in (1, 3):
        # Word lines of tesseract's table: level 5, then page, block, paragraph, line, word,
        # left, top, width, height, confidence and text.
        words = [line.split("\t") for line in _tesseract(image, scale, "--psm", "11", "tsv")
                 .splitlines()]
        words = [w for w in words if len(w) == 12 and w[0] == "5" and w[11].strip()]
        for i in range(len(words) - len(wanted) + 1):
            run = words[i:i + len(wanted)]
            if [plain(w[11]) for w in run] == wanted and len({tuple(w[1:5]) for w in run}) == 1:
                left = min(int(w[6]) for w in run)
                top = min(int(w[7]) for w in run)
                right = max(int(w[6]) + int(w[8]) for w in run)
                bottom = max(int(w[7]) + int(w[9]) for w in run)
                return (left // scale, top // scale, (right - left) // scale,
                        (bottom - top) // scale)
    return None


def _scale(image, factor):
    """Nearest-neighbour enlargement: small screen text reads better for OCR when larger."""
    if factor == 1:
        return image
    rows = []
    for y in range(image.height):
        row = image.row(y)
        wide = b"".join(row[i:i + 3] * factor for i in range(0, len(row), 3))
        rows.append(wide * factor)
    return Image(image.width * factor, image.height * factor, b"".join(rows))


class Game:
    """The velmine process and what it writes to standard output and standard error."""

    def __init__(self, server, binary, workdir):
        self.lines, self.errors = [], []
        self.changed = threading.Condition()
        self.proc = subprocess.Popen([binary], cwd=workdir, env=server.env,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, start_new_session=True)
        self.readers = [threading.Thread(target=self._read, args=(self.proc.stdout, self.lines),
                                         daemon=True),
                        threading.Thread(target=self._read, args=(self.proc.stderr, self.errors),
                                         daemon=True)]
        for reader in self.readers:
            reader.start()

    def _read(self, stream, into):
        for raw in stream:
            with self.changed:
                into.append(raw.decode(errors="replace").rstrip("\n"))
                self.changed.notify_all()

    def mark(self):
        """The trace's length now: later waits can look only at what comes after it."""
        with self.changed:
            return len(self.lines)

    def wait_line(self, line, since=0):
        """Waits for an exact trace line at or after position since; returns its position."""
        deadline = time.monotonic() + Patience.seconds
        with self.changed:
            while True:
                for i in range(since, len(self.lines)):
                    if self.lines[i] == line:
                        return i
                left = deadline - time.monotonic()
                if left <= 0 or self.proc.poll() is not None and not self._more_coming():
                    raise Timeout("trace line %r never came; trace after %d:\n%s\nerrors:\n%s" %
                                  (line, since, "\n".join(self.lines[since:]),
                                   "\n".join(self.errors)))
                self.changed.wait(min(left, 0.2))

    def _more_coming(self):
        return any(reader.is_alive() for reader in self.readers)

    def trace_since(self, since):
        with self.changed:
            return list(self.lines[since:])

    def wait_exit(self):
        status = self.proc.wait(Patience.seconds)
        for reader in self.readers:
            reader.join(Patience.seconds)
        return status

    def running(self):
        return self.proc.poll() is None

    def stop(self):
        _kill_group(self.proc)
        for reader in self.readers:
            reader.join(Patience.seconds)
        self.proc.stdout.close()
        self.proc.stderr.close()


class Board:
    """Where the cells of the main window are on the screen, found from the grid's size that the
    game traces and the regular pattern of identical covered cells."""

    # The grid's offset inside the window and the look of a covered cell, learnt from a fresh
    # board of each size and reused for boards that are no longer fresh (a resumed game): a
    # process must meet a fresh board of a size before any other board of that size.
    layouts = {}

    def __init__(self, server, window, across, down, width, height, managed=False):
        self.server, self.window = server, window
        self.across, self.down = across, down
        self.width, self.height = width, height
        self.pitch_x, self.pitch_y = width // across, height // down
        key = (across, down, width, height, managed)
        if key not in Board.layouts:
            Board.layouts[key] = self._locate()
        self.x0, self.y0, self.covered = Board.layouts[key]

    def _locate(self):
        self.server.move_away()
        image = wait_until("a steady capture of the board", self._steady_capture)
        span = min(image.width - 30, self.width)
        cells = min(3, self.down - 1)
        y0 = self._first_periodic(
            image.height - (cells + 1) * self.pitch_y,
            lambda y: image.row(y, 0, span) == image.row(y + self.pitch_y, 0, span),
            cells * self.pitch_y)
        cells_x = min(3, self.across - 1)
        rows = (y0, y0 + cells * self.pitch_y)
        x0 = self._first_periodic(
            image.width - (cells_x + 1) * self.pitch_x,
            lambda x: image.column(x, *rows) == image.column(x + self.pitch_x, *rows),
            cells_x * self.pitch_x)
        self.x0, self.y0 = x0, y0
        return x0, y0, self.cell(image, 0, 0)

    def _steady_capture(self):
        first = self.server.capture(self.window)
        second = self.server.capture(self.window)
        return first if first == second else None

    @staticmethod
    def _first_periodic(limit, same, length):
        """The first offset from which `length` consecutive lines repeat one pitch later."""
        start = 0
        while start < limit:
            for offset in range(start, start + length):
                if not same(offset):
                    start = offset + 1
                    break
            else:
                return start
        raise AssertionError("no regular grid of cells found in the window")

    def centre(self, row, col):
        """Absolute screen position of the middle of cell (row across, col down)."""
        x, y = self.server.geometry(self.window)[:2]
        return (x + self.x0 + row * self.pitch_x + self.pitch_x // 2,
                y + self.y0 + col * self.pitch_y + self.pitch_y // 2)

    def click(self, row, col, button=1):
        self.server.click(*self.centre(row, col), button=button)

    def cell(self, image, row, col):
        return image.crop(self.x0 + row * self.pitch_x, self.y0 + col * self.pitch_y,
                          self.pitch_x, self.pitch_y)

    def visible(self, image):
        """The cells wholly inside the board's view, as (row, col) pairs: the view ends at the
        window's edge, above the status bar, and leaves room for scroll bars when it scrolls."""
        right, bottom = image.width - 2, image.height - 32
        scrolls_down = self.y0 + self.height > bottom
        scrolls_across = self.x0 + self.width > right
        right -= 20 if scrolls_down else 0
        bottom -= 20 if scrolls_across else 0
        return [(r, c) for c in range(self.down) for r in range(self.across)
                if self.x0 + (r + 1) * self.pitch_x <= right
                and self.y0 + (c + 1) * self.pitch_y <= bottom]

    def looks(self, image):
        """Each visible cell's picture, for comparing boards and cells."""
        return {cell: self.cell(image, *cell) for cell in self.visible(image)}

    def clock_strip(self, image):
        """The row between the menu bar and the grid that holds the clock and the reset button."""
        return image.crop(0, self.y0 - 34, image.width, 32)


class SavedGame:
    """MINE_SAVE.data read back: the state line and every cell."""

    def __init__(self, text):
        lines = text.split("\n")
        if lines[0] != "STATE<" or lines[2] != ">" or lines[3] != "BOARD<":
            raise AssertionError("not a saved game:\n" + text[:200])
        (self.across, self.down, self.percent, self.bombs, self.size, self.bomb_count,
         self.miss_count, self.tenths, self.mode) = (int(v) for v in lines[1].split("\t"))
        n = self.across * self.down
        self.cells = {}
        for line in lines[4:4 + n]:
            row, col, state, bomb, num = (int(v) for v in line.split("\t"))
            self.cells[(row, col)] = (state, bomb, num)
        self.tail = lines[4 + n:]

    def with_state(self, state):
        return {cell for cell, value in self.cells.items() if value[0] == state}

    def bomb_cells(self):
        return {cell for cell, value in self.cells.items() if value[1] > 0}


class Player:
    """A player's actions on one game in one working directory: starting it, finding the
    board, choosing from the menus, pressing dialog buttons, reading the screen."""

    # Positions found by reading the screen once and reused: the same program with the same
    # fonts lays its menus and dialogs out the same way every time.
    places = {}

    def __init__(self, server, binary, workdir):
        self.x, self.binary, self.workdir = server, binary, workdir
        self.managed = False
        self.game = self.window = self.grid_top = None

    def use_window_manager(self):
        self.x.start_window_manager()
        self.managed = True

    def start(self):
        """Starts the game and waits until its window is up and fitted to the first board."""
        self.game = Game(self.x, self.binary, self.workdir)
        windows = wait_until("the main window", lambda: self.x.windows(MAIN_TITLE) or
                             not self.game.running())
        if windows is True:
            raise AssertionError("the game ended at start with status %d:\n%s" %
                                 (self.game.wait_exit(), "\n".join(self.game.lines)))
        self.window = windows[0]
        self.width, self.height = self.board_size(0)
        return self.game

    def board_size(self, since):
        """The grid's size in pixels, from the trace of each change of board size."""
        changed = self.game.wait_line("CHANGE", since)
        size = re.fullmatch(r"width=(\d+),height=(\d+)", self.game.lines[changed - 1])
        if size is None:
            raise AssertionError("no grid size traced before CHANGE")
        return int(size.group(1)), int(size.group(2))

    def board(self, across=10, down=10):
        board = Board(self.x, self.window, across, down, self.width, self.height, self.managed)
        self.grid_top = board.y0
        return board

    def save_path(self):
        return os.path.join(self.workdir, SAVE_FILE)

    def read_saved(self):
        with open(self.save_path()) as saved:
            return SavedGame(saved.read())

    def place(self, key, capture, phrase):
        """Where phrase shows in the picture that capture() takes, polled until it is drawn."""
        if key not in Player.places:
            box = wait_until("%r on screen" % phrase, lambda: find_phrase(capture(), phrase))
            Player.places[key] = (box[0] + box[2] // 2, box[1] + box[3] // 2)
        return Player.places[key]

    def choose(self, menu, item):
        """Opens a menu of the menu bar with the mouse and clicks one of its entries."""
        x0, y0, width, _ = self.x.geometry(self.window)
        mx, my = self.place(("menu bar", menu),
                            lambda: self.x.capture(self.window).crop(0, 0, width, MENU_BAR_HEIGHT),
                            menu)
        self.x.click(x0 + mx, y0 + my)
        # The open menu is a window of its own, named after the program.
        popup = self.x.find_window("velmine")
        px, py, _, _ = self.x.geometry(popup)
        ix, iy = self.place(("menu", menu, item), lambda: self.x.capture(popup), item)
        self.x.click(px + ix, py + iy)
        wait_until("the menu to close", lambda: not self.x.windows("velmine"))

    def press(self, title, label):
        """Clicks a labelled button of the dialog with that title."""
        dialog = self.x.find_window(title)
        x0, y0, width, height = self.x.geometry(dialog)
        bx, by = self.place(("button", title, label, width, height),
                            lambda: self.x.capture(dialog), label)
        self.x.click(x0 + bx, y0 + by)

    def dialog(self, title):
        """A capture of the dialog with that title, once it is drawn."""
        dialog = self.x.find_window(title)
        return wait_until("the dialog %s drawn" % title, lambda: self.steady(dialog))

    def steady(self, window, still=None):
        """A capture of the window once it has stayed the same, in the rows `still` (a
        slice), for a moment: long enough for the game to take in a pointer that left a cell
        and draw it unlit again, which it does only when it is not busy with something else."""
        first = self.x.capture(window)
        time.sleep(SETTLE)
        second = self.x.capture(window)
        rows = slice(None) if still is None else still
        return second if first.rows(rows) == second.rows(rows) else None

    def steady_main(self):
        """The main window with the pointer out of the way, once its drawing has settled. Once
        the board is known only the rows from the board down are compared: the clock above it
        moves every tenth of a second."""
        self.x.move_away()
        still = slice(None) if self.grid_top is None else slice(self.grid_top, None)
        return wait_until("a steady main window", lambda: self.steady(self.window, still))

    def status_bar(self):
        image = self.steady_main()
        return image.crop(0, image.height - STATUS_BAR_HEIGHT, image.width, STATUS_BAR_HEIGHT)

    def open_first(self, board, cell):
        """The first left click of a game; returns the looks before and after. The opened cell
        and its neighbours always open: until they all show so, the game is still at work."""
        before = board.looks(self.steady_main())
        board.click(*cell)
        row, col = cell
        block = [(r, c) for r in range(row - 1, row + 2) for c in range(col - 1, col + 2)
                 if (r, c) in before]

        def opened():
            looks = board.looks(self.steady_main())
            return looks if all(looks[c] != board.covered for c in block) else None

        return before, wait_until("the first opening", opened)

    def mark_one(self, board, looks):
        """Marks the first covered cell; returns it and the looks after."""
        cell = next(cell for cell, look in looks.items() if look == board.covered)
        board.click(*cell, button=3)
        return cell, wait_until("the mark", lambda: self.changed_looks(board, looks))

    def changed_looks(self, board, before):
        looks = board.looks(self.steady_main())
        return looks if looks != before else None
