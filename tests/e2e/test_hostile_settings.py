"""Hostile settings files: whatever the file holds, the clock starts, shows a
whole face on the screen, stays up and ends cleanly on SIGTERM.

The files are kept in hostile/; the two of nearly four megabytes are made here.
"""

import os
import signal
import time
import unittest

from kivra_e2e import (DEFAULT_SETTINGS, GROUPS, SCREEN_SIZE, SETTINGS_FILE, ClockTestCase,
                       group_of, parse_settings, settings_value, square_rect)

HOSTILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "hostile")
# The clock refuses a settings file larger than 4 MiB unread; these stay just under.
NEARLY_LARGEST = 4 * 1024 * 1024 - 16 * 1024

# The window comes within this many seconds of the start; a person looking at
# it this long after it came sees the whole face.
WINDOW_WITHIN = 3.0
LOOKED_AT_AFTER = 1.5

# Files whose clock is still not seen whole; each stays in the table and is
# checked in every other respect. The fault is told when the face is missing.


def nearly_four_megabytes_of_entries():
    """The default settings at the end of nearly four megabytes of other entries."""
    with open(os.path.join(HOSTILE, "keys_twice.plist"), "rb") as f:
        tail = f.read()
    filler, n = [], 0
    size = 0
    while size < NEARLY_LARGEST:
        entry = b"\n\t<key>k%d</key>\n\t<string>%s</string>" % (n, b"v" * 80)
        filler.append(entry)
        size += len(entry)
        n += 1
    return b"".join(filler) + tail


def nearly_four_megabytes_of_nested_entries():
    """Every value holds the next entry's key, up to one close at the end."""
    parts, n, size = [], 0, 0
    while size < NEARLY_LARGEST:
        part = b"<key>WinMain.Width</key><string>%d" % (400 + n % 200)
        parts.append(part)
        size += len(part)
        n += 1
    return b"".join(parts) + b"</string>"


def cases():
    """(name, bytes of the settings file) for every hostile file."""
    out = []
    for name in sorted(os.listdir(HOSTILE)):
        with open(os.path.join(HOSTILE, name), "rb") as f:
            out.append((name, f.read()))
    out.append(("nearly_four_megabytes_of_entries", nearly_four_megabytes_of_entries()))
    out.append(("nearly_four_megabytes_of_nested_entries", nearly_four_megabytes_of_nested_entries()))
    return out


def face_problems(shot, geometry, saved):
    """What is wrong with the face in `shot`, judged by the settings the clock
    saved when it ended: its size, rotation and colours."""
    x, y, w, h = geometry
    rotation = saved["Rotation"]
    lit = {g[0]: saved[key] for g, key in zip(GROUPS, ("ColorH1", "ColorH0", "ColorM1", "ColorM0"))}
    unlit = saved["ColorOff"]
    problems, seen = [], 0
    for i in range(27):
        left, top, side = square_rect(i, w, h, rotation)
        if side < 2:
            problems.append(f"square {i} is {side} pixels wide")
            continue
        cx, cy = x + left + side // 2, y + top + side // 2
        if not (0 <= cx < shot.width and 0 <= cy < shot.height):
            continue
        seen += 1
        colour = shot.pixel(cx, cy)
        wanted = lit[group_of(i)[0]]
        if colour not in (wanted, unlit):
            problems.append(f"square {i} is {colour:06X}, neither {wanted:06X} nor {unlit:06X}")
    if seen == 0:
        problems.append("no square is on the screen")
    return problems


def on_screen(geometry):
    x, y, w, h = geometry
    return x < SCREEN_SIZE[0] and y < SCREEN_SIZE[1] and x + w > 0 and y + h > 0


class HostileSettings(ClockTestCase):

    def test_every_hostile_file_gives_a_whole_clock_that_quits_cleanly(self):
        for name, content in cases():
            with self.subTest(file=name):
                self.check_file(name, content)

    def check_file(self, name, content):
        home = self.new_home()
        config = os.path.join(home, "config")
        os.makedirs(config, mode=0o700)
        with open(os.path.join(config, SETTINGS_FILE), "wb") as f:
            f.write(content)

        clock = self.launch(home=home)
        clock.find_window(timeout=WINDOW_WITHIN)
        geometry = clock.geometry()
        self.assertTrue(on_screen(geometry), f"the window at {geometry} is off the screen")
        # Memory stays bounded by the screen, and the resize corner in reach.
        self.assertTrue(geometry[2] <= SCREEN_SIZE[0] and geometry[3] <= SCREEN_SIZE[1],
                        f"the window at {geometry} is larger than the screen")

        # Looked at a moment later, the clock is still there, painted whole.
        time.sleep(LOOKED_AT_AFTER)
        shot = clock.server.screenshot()
        self.assertIsNone(clock.process.poll(), "kivra ended by itself: " + clock.output())
        self.assertIn(clock.window, clock.windows(), "the clock window went away")
        self.assertEqual(clock.geometry(), geometry, "the window moved by itself")

        clock.process.send_signal(signal.SIGTERM)
        self.assertEqual(clock.wait_exit(), 0, clock.output())

        with open(clock.settings_path, encoding="utf-8", errors="replace") as f:
            raw = parse_settings(f.read())
        self.assertEqual(set(raw), set(DEFAULT_SETTINGS), "the clock saved other settings than its own")
        saved = {k: settings_value(k, v) for k, v in raw.items()}
        self.assertEqual((saved["WinMain.Left"], saved["WinMain.Top"], saved["WinMain.Width"],
                          saved["WinMain.Height"]), geometry, "the clock saved another place than it had")
        problems = face_problems(shot, geometry, saved)
        self.assertEqual(problems, [], "the face is not whole")

if __name__ == "__main__":
    unittest.main()
