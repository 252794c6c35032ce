"""Helpers that drive the real kivra binary on a private Xvfb display.

Each test gets its own X server (Xvfb picks a free display number itself
through -displayfd, so cases can run in parallel), a fresh settings folder,
and talks to the clock only the way a user does: through the X server with
xdotool, by looking at the screen, and through the settings file.
"""

import datetime
import math
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
KIVRA_BIN = os.environ.get(
    "KIVRA_BIN", os.path.join(HERE, "..", "..", "build", "bin", "kivra"))
SCREEN_SIZE = (1600, 1200)
SETTINGS_FILE = "KivraPrefs.plist"

BACKGROUND = 0x000000
UNLIT = 0x7F7F7F

# The four digit groups, in square-index order: first square index, first
# cell column, number of squares and the default lit colour. Inside a group
# the squares run column by column, top to bottom.
GROUPS = (
    ("hour tens", 0, 0, 3, 0xFF0000),
    ("hour units", 3, 2, 9, 0x00FF00),
    ("minute tens", 12, 6, 6, 0x0055FF),
    ("minute units", 18, 9, 9, 0xFF0000),
)

# What the window shows right after it opens, before the first beat.
OPENING_LIT = frozenset({3, 6, 7, 8, 9, 12, 13, 14, 18, 20, 22, 24, 26})

# Only a screenshot taken this soon after the start is sure to come before
# the first beat, which cannot come before the timer's second firing.
BEFORE_FIRST_BEAT = 1.8

DEFAULT_SETTINGS = {
    "WinMain.Top": 40,
    "WinMain.Left": 10,
    "WinMain.Width": 510,
    "WinMain.Height": 150,
    "Rotation": 0,
    "24HrMode": False,
    "ChangeMode": 1,
    "Update Icon": True,
    "ColorBG": 0x000000,
    "ColorH0": 0x00FF00,
    "ColorH1": 0xFF0000,
    "ColorM0": 0xFF0000,
    "ColorM1": 0x0055FF,
    "ColorOff": 0x7F7F7F,
}

# The context menu's entries as keyboard navigation reaches them (the
# separators are skipped), counted from the first press of Down.
MENU_ENTRIES = (
    "About Kivra...", "Colors...", "Rotate", "24hr Mode", "12hr Mode",
    "Change every Second", "Change every 4 Seconds", "Change every Minute",
    "Update Dock Icon", "Quit",
)


def square_place(index):
    """Row and cell column of square `index` on the unturned grid."""
    for _, first, column, count, _ in GROUPS:
        if first <= index < first + count:
            k = index - first
            return k % 3, column + k // 3
    raise ValueError(f"no square {index}")


def group_of(index):
    for group in GROUPS:
        if group[1] <= index < group[1] + group[3]:
            return group
    raise ValueError(f"no square {index}")


def to_int(x):
    """The clock's Double-to-Int32 conversion: halves away from zero."""
    return math.floor(x + 0.5) if x >= 0 else -math.floor(-x + 0.5)


def base_unit(width, height, rotation):
    if rotation in (0, 2):
        return min(width / 51.0, height / 15.0)
    return min(width / 15.0, height / 51.0)


def square_rect(index, width, height, rotation):
    """(left, top, side) of a square in window coordinates."""
    row, col = square_place(index)
    u = base_unit(width, height, rotation)
    side = to_int(3.0 * u)
    if rotation == 0:
        left, top = u * (4 * col + 2), u * (4 * row + 2)
    elif rotation == 1:
        left, top = u * (4 * (2 - row) + 2), u * (4 * col + 2)
    elif rotation == 2:
        left = (width - u * (4 * col + 2)) - 3.0 * u
        top = (height - u * (4 * row + 2)) - 3.0 * u
    else:
        left = (width - u * (4 * (2 - row) + 2)) - 3.0 * u
        top = (height - u * (4 * col + 2)) - 3.0 * u
    return to_int(left), to_int(top), side


def face_size(unit, rotation):
    """The window size that fits the face exactly at a base unit."""
    w, h = to_int(51.0 * unit), to_int(15.0 * unit)
    return (w, h) if rotation in (0, 2) else (h, w)


def digit_counts(hour, minute, twenty_four):
    """Lit squares per group, in GROUPS order, for a time of day."""
    if not twenty_four:
        hour = 12 if hour == 0 else hour - 12 if hour > 12 else hour
    return (hour // 10, hour % 10, minute // 10, minute % 10)


def poll(condition, timeout, interval=0.05):
    """Calls condition until it gives a true value or the time is up;
    returns the last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


class Screenshot:
    """A picture of the whole X screen, read from xwd's output."""

    def __init__(self, xwd):
        fields = struct.unpack(">25I", xwd[:100])
        header_size, _, _, _, self.width, self.height = fields[:6]
        byte_order, bits_per_pixel, self.stride = fields[7], fields[11], fields[12]
        masks = fields[14:17]
        ncolors = fields[19]
        if bits_per_pixel not in (24, 32):
            raise ValueError(f"xwd: {bits_per_pixel} bits per pixel")
        self.bytes_per_pixel = bits_per_pixel // 8
        self.byteorder = "little" if byte_order == 0 else "big"
        self.shifts = [(m, (m & -m).bit_length() - 1) for m in masks]
        self.data = memoryview(xwd)[header_size + 12 * ncolors:]

    def pixel(self, x, y):
        """0xRRGGBB at screen position (x, y)."""
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError(f"pixel ({x}, {y}) is off the screen")
        at = y * self.stride + x * self.bytes_per_pixel
        raw = int.from_bytes(self.data[at:at + self.bytes_per_pixel], self.byteorder)
        r, g, b = ((raw & m) >> s for m, s in self.shifts)
        return (r << 16) | (g << 8) | b


class Face:
    """The clock face read from a screenshot: each square's colour."""

    def __init__(self, shot, geometry, rotation):
        self.geometry = geometry
        self.rotation = rotation
        x, y, w, h = geometry
        self.colours = []
        for i in range(27):
            left, top, side = square_rect(i, w, h, rotation)
            self.colours.append(shot.pixel(x + left + side // 2, y + top + side // 2))

    def problems(self, lit_colours=None, unlit=UNLIT):
        """Squares showing neither their group's lit colour nor `unlit`."""
        lit_colours = lit_colours or [g[4] for g in GROUPS]
        out = []
        for i, colour in enumerate(self.colours):
            lit = lit_colours[GROUPS.index(group_of(i))]
            if colour not in (lit, unlit):
                out.append(f"square {i} is {colour:06X}, neither {lit:06X} nor {unlit:06X}")
        return out

    def lit(self, unlit=UNLIT):
        return frozenset(i for i, c in enumerate(self.colours) if c != unlit)

    def counts(self, unlit=UNLIT):
        lit = self.lit(unlit)
        return tuple(sum(1 for i in range(g[1], g[1] + g[3]) if i in lit) for g in GROUPS)


def parse_settings(text):
    """The settings file's entries, read the way the clock reads them: each
    <key> with the text of the next <string>."""
    return dict(re.findall(r"<key>(.*?)</key>.*?<string>(.*?)</string>", text, re.S))


def settings_value(key, text):
    """A settings text turned into the type that the key holds."""
    default = DEFAULT_SETTINGS[key]
    if isinstance(default, bool):
        if text not in ("True", "False"):
            raise ValueError(f"{key}: {text!r} is no Boolean")
        return text == "True"
    if key.startswith("Color"):
        match = re.fullmatch(r"&h([0-9A-Fa-f]{8})", text)
        if not match:
            raise ValueError(f"{key}: {text!r} is no colour")
        return int(match.group(1), 16)
    if not re.fullmatch(r"-?[0-9]+", text):
        raise ValueError(f"{key}: {text!r} is no integer")
    return int(text)


def fixed_zone_for_hour(hour):
    """A POSIX TZ text and its offset that make the local hour `hour` now,
    so a case can show an afternoon or midnight whatever the real time."""
    now = datetime.datetime.now(datetime.timezone.utc)
    offset = (hour - now.hour) % 24
    if offset > 12:
        offset -= 24
    # POSIX counts the offset westward: UTC+5 is "KVA-5".
    return f"KVA{-offset}", datetime.timezone(datetime.timedelta(hours=offset))


# KIVRA_E2E_WM=openbox runs every case under a window manager, as on a
# person's desktop: without one, the program's own moves are exact and the
# manager's moves, placement and size hints are never tried.
WINDOW_MANAGER = os.environ.get("KIVRA_E2E_WM", "")

# A private configuration: the bindings a person moves and sizes windows
# with (Alt with the left and right buttons, the title bar), and nothing on
# Alt with the wheel, which the clock takes for its zoom.
OPENBOX_RC = """<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <desktops><number>1</number></desktops>
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <mouse>
    <dragThreshold>1</dragThreshold>
    <context name="Frame">
      <mousebind button="A-Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="A-Left" action="Drag"><action name="Move"/></mousebind>
      <mousebind button="A-Right" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="A-Right" action="Drag"><action name="Resize"/></mousebind>
    </context>
    <context name="Titlebar">
      <mousebind button="Left" action="Drag"><action name="Move"/></mousebind>
      <mousebind button="Left" action="DoubleClick"><action name="ToggleMaximize"/></mousebind>
    </context>
    <context name="Client">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Right" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
    </context>
    <context name="BLCorner"><mousebind button="Left" action="Drag"><action name="Resize"/></mousebind></context>
    <context name="BRCorner"><mousebind button="Left" action="Drag"><action name="Resize"/></mousebind></context>
    <context name="Bottom"><mousebind button="Left" action="Drag"><action name="Resize"/></mousebind></context>
    <context name="Right"><mousebind button="Left" action="Drag"><action name="Resize"/></mousebind></context>
  </mouse>
</openbox_config>
"""


class XServer:
    """A private Xvfb of `size`, with openbox on it when KIVRA_E2E_WM says so.
    With a `host` server it is an Xephyr in a window on that one instead: a
    screen that RandR can shrink, which Xvfb's only screen cannot."""

    def __init__(self, window_manager=None, size=SCREEN_SIZE, host=None):
        read_end, write_end = os.pipe()
        # A file, not a pipe: nobody reads the server's chatter while it runs.
        self.log = tempfile.TemporaryFile()
        self.size = size
        if host is None:
            command, env = ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{size[0]}x{size[1]}x24"], None
        else:
            command = ["Xephyr", "-displayfd", str(write_end), "-screen", f"{size[0]}x{size[1]}x24", "-resizeable"]
            env = host.env
        self.process = subprocess.Popen(
            command + ["-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), env=env, stdout=subprocess.DEVNULL, stderr=self.log)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip().isdigit():
            self.process.kill()
            self.process.wait()
            self.log.seek(0)
            raise RuntimeError(f"{command[0]} did not start: " + self.log.read().decode(errors="replace"))
        self.display = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.display)
        self.wm = None
        self.wm_home = None
        wm = WINDOW_MANAGER if window_manager is None else window_manager
        if wm:
            try:
                self.start_window_manager(wm)
            except BaseException:
                self.close()
                raise

    def start_window_manager(self, name):
        if name != "openbox":
            raise ValueError(f"KIVRA_E2E_WM: no set-up for {name!r}")
        # openbox writes its session and cache files under HOME and XDG:
        # a folder of its own, never the user's.
        self.wm_home = tempfile.mkdtemp(prefix="kivra-e2e-openbox-")
        rc = os.path.join(self.wm_home, "rc.xml")
        with open(rc, "w", encoding="utf-8") as f:
            f.write(OPENBOX_RC)
        env = dict(self.env, HOME=self.wm_home, XDG_CONFIG_HOME=os.path.join(self.wm_home, "config"),
                   XDG_CACHE_HOME=os.path.join(self.wm_home, "cache"),
                   XDG_DATA_HOME=os.path.join(self.wm_home, "data"))
        self.wm = subprocess.Popen(["openbox", "--config-file", rc], env=env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=self.log)
        def managing():
            if self.wm.poll() is not None:
                raise RuntimeError(f"openbox ended with {self.wm.returncode}")
            return "window id" in self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK",
                                           check=False).stdout.decode()
        if not poll(managing, 10):
            raise RuntimeError("openbox did not take the screen")

    def run(self, *args, check=True):
        result = subprocess.run(args, env=self.env, capture_output=True, timeout=20)
        if check and result.returncode != 0:
            raise RuntimeError(f"{' '.join(map(str, args))}: {result.stderr.decode().strip()}")
        return result

    def xdotool(self, *args, check=True):
        return self.run("xdotool", *map(str, args), check=check).stdout.decode()

    def screenshot(self):
        return Screenshot(self.run("xwd", "-root", "-silent").stdout)

    def resize_screen(self, width, height):
        """Gives the screen another size through RandR, as a lower resolution
        or an unplugged monitor does."""
        self.run("xrandr", "-s", f"{width}x{height}")
        self.size = (width, height)

    def close(self):
        for process in (self.wm, self.process):
            if process is None:
                continue
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        if self.wm_home:
            shutil.rmtree(self.wm_home, ignore_errors=True)
        self.log.close()

    def window_geometry(self, window):
        """(left, top, width, height) of a window's own area on the screen.
        xwininfo measures from the root, also inside a manager's frame."""
        out = self.run("xwininfo", "-id", window).stdout.decode()
        def field(name):
            return int(re.search(rf"{name}:\s*(-?\d+)", out).group(1))
        return (field("Absolute upper-left X"), field("Absolute upper-left Y"),
                field("Width"), field("Height"))

    def settled_geometry(self, window):
        """A window's own area once it has stopped moving and changing size."""
        def settled():
            first = self.window_geometry(window)
            time.sleep(0.15)
            return first if self.window_geometry(window) == first else None
        return poll(settled, 5) or self.window_geometry(window)

    def settled_origin(self, window):
        """Where a window's own area stands once a move has settled: under a
        manager, the frame goes where the window was asked to go."""
        return self.settled_geometry(window)[:2]


class Clock:
    """One run of kivra on an X server, with its own settings folder."""

    def __init__(self, server, home, tz=None, extra_env=None):
        self.server = server
        self.home = home
        self.config = os.path.join(home, "config")
        self.settings_path = os.path.join(self.config, SETTINGS_FILE)
        self.log_path = os.path.join(home, f"kivra-{time.monotonic_ns()}.log")
        runtime = os.path.join(home, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env = dict(server.env, HOME=home, XDG_CONFIG_HOME=self.config, XDG_RUNTIME_DIR=runtime)
        for name in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY"):
            env.pop(name, None)
        if tz:
            env["TZ"] = tz
        env.update(extra_env or {})
        self.started = time.monotonic()
        self.started_wall = time.time()
        with open(self.log_path, "wb") as log:
            self.process = subprocess.Popen([KIVRA_BIN], env=env, stdin=subprocess.DEVNULL,
                                            stdout=log, stderr=subprocess.STDOUT)
        self.window = None

    def find_window(self, timeout=10):
        """Waits for the visible window titled "Kivra" and returns its id."""
        def search():
            if self.process.poll() is not None:
                raise AssertionError(f"kivra ended with {self.process.returncode}: {self.output()}")
            found = self.server.xdotool("search", "--all", "--onlyvisible", "--pid",
                                        self.process.pid, "--name", "^Kivra$", check=False)
            return found.split()
        ids = poll(search, timeout)
        if not ids:
            raise AssertionError("no visible window titled Kivra: " + self.output())
        self.window = ids[0]
        return self.window

    def windows(self):
        """Every visible top-level window of the process (the clock, menus)."""
        return self.server.xdotool("search", "--onlyvisible", "--pid", self.process.pid,
                                   check=False).split()

    def geometry(self):
        """(left, top, width, height) of the clock window on the screen."""
        return self.server.window_geometry(self.window)

    def wait_geometry(self, expected, timeout=5):
        """Waits until the window stands at `expected`, any None in it
        matching anything; returns the last geometry seen."""
        def matches():
            g = self.geometry()
            return g if all(e is None or e == v for e, v in zip(expected, g)) else None
        return poll(matches, timeout) or self.geometry()

    def face(self, rotation=0):
        """The squares' colours, sampled at their centres."""
        geometry = self.geometry()
        return Face(self.server.screenshot(), geometry, rotation)

    def first_painted_face(self, rotation=0, timeout=3):
        """The first screenshot on which every square shows a known colour,
        and the seconds since the start when it was taken (None if none)."""
        def painted():
            taken = time.monotonic() - self.started
            face = self.face(rotation)
            return None if face.problems() else (face, taken)
        return poll(painted, timeout) or (self.face(rotation), None)

    def pixel(self, x, y, shot=None):
        """Colour at a point in window coordinates."""
        left, top, _, _ = self.geometry()
        return (shot or self.server.screenshot()).pixel(left + x, top + y)

    def move_mouse(self, x, y):
        left, top, _, _ = self.geometry()
        self.server.xdotool("mousemove", left + x, top + y)

    def drag(self, x, y, dx, dy, steps=4, release=True):
        """Presses at window point (x, y) and moves by (dx, dy) in steps."""
        self.move_mouse(x, y)
        args = ["mousedown", 1]
        done_x = done_y = 0
        for step in range(1, steps + 1):
            to_x, to_y = dx * step // steps, dy * step // steps
            args += ["sleep", 0.03, "mousemove_relative", "--", to_x - done_x, to_y - done_y]
            done_x, done_y = to_x, to_y
        if release:
            args += ["sleep", 0.03, "mouseup", 1]
        self.server.xdotool(*args)

    def open_menu(self, x=60, y=75, timeout=5):
        """Right-clicks at window point (x, y) and waits for the menu."""
        before = set(self.windows())
        self.move_mouse(x, y)
        self.server.xdotool("click", 3)
        menus = poll(lambda: set(self.windows()) - before, timeout)
        if not menus:
            raise AssertionError("no context menu appeared: " + self.output())
        return menus.pop()

    def choose(self, entry):
        """Chooses an entry of the context menu with the keyboard."""
        menu = self.open_menu()
        presses = MENU_ENTRIES.index(entry) + 1
        self.server.xdotool("key", "--delay", 20, *(["Down"] * presses), "Return")
        if not poll(lambda: menu not in self.windows(), 5):
            raise AssertionError(f"the context menu stayed open after choosing {entry!r}")

    def settings(self):
        """The settings file's entries as typed values."""
        with open(self.settings_path, encoding="utf-8") as f:
            raw = parse_settings(f.read())
        return {k: settings_value(k, v) if k in DEFAULT_SETTINGS else v for k, v in raw.items()}

    def wait_exit(self, timeout=5):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def output(self):
        with open(self.log_path, "rb") as f:
            text = f.read().decode(errors="replace").strip()
        return f"\n--- kivra output ---\n{text}" if text else "(kivra printed nothing)"

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class ClockTestCase(unittest.TestCase):
    """Gives each test its own X server and settings folder."""

    def setUp(self):
        if not os.access(KIVRA_BIN, os.X_OK):
            self.fail(f"no kivra binary at {KIVRA_BIN}")
        self.server = self.new_server()
        self.home = self.new_home()

    def new_server(self, size=SCREEN_SIZE, host=None):
        server = XServer(size=size, host=host)
        self.addCleanup(server.close)
        return server

    def new_home(self):
        home = tempfile.mkdtemp(prefix="kivra-e2e-")
        self.addCleanup(shutil.rmtree, home, ignore_errors=True)
        return home

    def launch(self, home=None, server=None, tz=None, env=None):
        """Starts kivra without waiting for its window; `env` adds to its
        environment."""
        clock = Clock(server or self.server, home or self.home, tz, env)
        self.addCleanup(self.close_clock, clock)
        return clock

    def start(self, home=None, server=None, tz=None, env=None):
        """Starts kivra and waits for its window."""
        clock = self.launch(home, server, tz, env)
        clock.find_window()
        return clock

    def close_clock(self, clock):
        clock.close()
        # CTest shows this only when the case fails.
        print(clock.output(), file=sys.stderr)

    def assert_time_shown(self, clock, zone, twenty_four, rotation=0, timeout=3):
        """Waits until the face shows the time in `zone`, allowing for a
        minute that changes during the check."""
        def reading():
            before = datetime.datetime.now(zone)
            face = clock.face(rotation)
            after = datetime.datetime.now(zone)
            wanted = {digit_counts(t.hour, t.minute, twenty_four) for t in (before, after)}
            return face, wanted
        def shown():
            face, wanted = reading()
            return (face, wanted) if face.counts() in wanted and not face.problems() else None
        face, wanted = poll(shown, timeout) or reading()
        self.assertEqual(face.problems(), [])
        self.assertIn(face.counts(), wanted,
                      f"lit squares per group for {'24' if twenty_four else '12'}-hour time")
        return face

    def assert_settings(self, clock, changed=None):
        """The settings file holds the fourteen settings and nothing else:
        the defaults, but for those in `changed`."""
        wanted = dict(DEFAULT_SETTINGS, **(changed or {}))
        self.assertEqual(clock.settings(), wanted)


def wait_for_change(clock, from_lit, rotation=0, timeout=8):
    """Waits for a painted face whose lit squares differ from `from_lit`.
    Returns (face, before, after): the face, and the wall-clock times just
    before the last screenshot that still showed `from_lit` and just after
    the one that shows the change; (None, None, None) on time-out."""
    last_unchanged = [time.time()]
    def changed():
        before = time.time()
        face = clock.face(rotation)
        if not face.problems() and face.lit() != from_lit:
            return face, last_unchanged[0], time.time()
        last_unchanged[0] = before
        return None
    return poll(changed, timeout) or (None, None, None)


# Files a person keeps beside the settings, under names a save's temporary file
# might once have had; the clock leaves every one of them as it is.
PERSONS_FILES = {
    SETTINGS_FILE + ".backup": b'<?xml version="1.0"?>\n<plist><dict><key>Rotation</key><string>2</string></dict>',
    SETTINGS_FILE + ".old123": b"old123\n",
    SETTINGS_FILE + ".orig12": b"\xff\xfe not even text \x00",
    SETTINGS_FILE + "~": b"",
    SETTINGS_FILE + ".bak": b"<key>ChangeMode</key><string>0</string>",
    SETTINGS_FILE + ".Xy12Zq": b"six letters, as the clock's temporary files once were named",
}

# The one kind of file that the clock itself leaves beside the settings, when it
# is killed in the middle of a save.
OWN_TEMPORARY = re.compile(r"\." + re.escape(SETTINGS_FILE) + r"\.kivra-tmp-[A-Za-z0-9]{6}")


def put_persons_files(folder):
    """Writes PERSONS_FILES into `folder`; gives what persons_files_changed compares."""
    kept = {}
    for name, data in PERSONS_FILES.items():
        path = os.path.join(folder, name)
        with open(path, "wb") as f:
            f.write(data)
        os.chmod(path, 0o640)
        st = os.lstat(path)
        kept[name] = (data, st.st_ino, st.st_mode, st.st_mtime_ns)
    return kept


def persons_files_changed(folder, kept):
    """The names of the files of put_persons_files that are no longer as they were."""
    changed = []
    for name, before in kept.items():
        path = os.path.join(folder, name)
        try:
            with open(path, "rb") as f:
                data = f.read()
            st = os.lstat(path)
        except FileNotFoundError:
            changed.append(name)
            continue
        if (data, st.st_ino, st.st_mode, st.st_mtime_ns) != before:
            changed.append(name)
    return changed


def write_settings(home, **values):
    """A settings file in the case's own folder that holds only these
    entries, as text."""
    config = os.path.join(home, "config")
    os.makedirs(config, exist_ok=True)
    body = "".join(f"<key>{k}</key><string>{v}</string>" for k, v in values.items())
    with open(os.path.join(config, SETTINGS_FILE), "w", encoding="utf-8") as f:
        f.write(f'<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict>{body}</dict></plist>\n')


def start_binary(case, binary, home=None, server=None, tz=None):
    """Starts another kivra binary than KIVRA_BIN (an installed copy, or a
    layout in the test's own folder) and waits for its window."""
    global KIVRA_BIN
    saved, KIVRA_BIN = KIVRA_BIN, binary
    try:
        clock = case.launch(home, server, tz)
    finally:
        KIVRA_BIN = saved
    clock.find_window()
    return clock


def cpu_seconds(pid):
    """User and system CPU time the process has used so far."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
