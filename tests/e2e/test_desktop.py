"""What a person sees of the clock on a desktop: the wheel with Alt, the About
window's notice and menus, the window icon, a time zone that changes and an
installed copy. The cases look only at sizes, pixels and properties, never at
where a window manager put a window."""

import datetime
import os
import shlex
import shutil
import subprocess
import time
import unittest

from kivra_e2e import (BEFORE_FIRST_BEAT, KIVRA_BIN, ClockTestCase, cpu_seconds, poll, start_binary,
                       write_settings)
from test_dock_icon import differences_from_own_icon, window_icon

ABOUT_SIZE = (284, 366)
# A point of the badge's dark background and its colour, and a point of the
# icon's black tile (resources/make_pictures.py).
BADGE_POINT, BADGE_COLOUR = (34 + 205, 324 + 15), 0x1E222A
ICON_POINT = (110 + 3, 8 + 40)
# The name label and the notice label of the About window (tall layout).
NAME_AREA = (20, 86, 244, 16)
NOTICE_AREA = (20, 280, 244, 32)
PICTURES = ("AboutIcon.bmp", "AboutMask.bmp", "Plenko.pct", "PlenkoMask.pct")
BUILD_DIR = os.path.dirname(os.path.dirname(os.path.abspath(KIVRA_BIN)))


def is_ink(colour):
    r, g, b = colour >> 16, (colour >> 8) & 0xFF, colour & 0xFF
    return r + g + b < 3 * 100


def text_lines(shot, left, top, width, height):
    """The lines of text shown in an area, as runs of rows with dark pixels:
    the width each line's ink spans."""
    lines, in_line = [], False
    for y in range(top, top + height):
        xs = [x for x in range(left, left + width) if is_ink(shot.pixel(x, y))]
        if xs and not in_line:
            lines.append((min(xs), max(xs)))
        elif xs:
            lines[-1] = (min(lines[-1][0], min(xs)), max(lines[-1][1], max(xs)))
        in_line = bool(xs)
    return [right - left + 1 for left, right in lines]


class Wheel(ClockTestCase):

    def test_alt_with_a_sideways_scroll_changes_nothing(self):
        clock = self.start()
        server = clock.server
        self.assertEqual(clock.wait_geometry((None, None, 510, 150))[2:], (510, 150))
        clock.move_mouse(60, 75)
        # Buttons 6 and 7 scroll sideways. The turn of the wheel after them
        # (button 4, away from the user) comes after they were handled: the
        # clock then stands one step larger than at the start, and no more.
        server.xdotool("keydown", "alt", "click", 6, "click", 7, "click", 6, "click", 4)
        grown = clock.wait_geometry((None, None, 561, 165))
        server.xdotool("keydown", "alt", "click", 7, "click", 5)
        back = clock.wait_geometry((None, None, 510, 150))
        server.xdotool("keyup", "alt")
        self.assertEqual(grown[2:], (561, 165), "Alt with buttons 6, 7, 6 and 4")
        self.assertEqual(back[2:], (510, 150), "Alt with buttons 7 and 5")
        self.assertEqual(clock.face().problems(), [])



class AboutWindowCase(ClockTestCase):
    """Opens the About window and reads it from the screen."""

    def geometry(self, window):
        return self.server.window_geometry(window)

    def open_about(self, clock):
        """Chooses About from the context menu; returns the About window and
        the height of the menu bar it shows above its client area."""
        before = set(clock.windows())
        clock.choose("About Kivra...")
        def found():
            for window in set(clock.windows()) - before:
                _, _, width, height = self.geometry(window)
                if width == ABOUT_SIZE[0] and 0 <= height - ABOUT_SIZE[1] <= 48:
                    return window, height - ABOUT_SIZE[1]
            return None
        about = poll(found, 5)
        self.assertTrue(about, "no About window: " + clock.output())
        return about

    def client_point(self, about, point):
        window, bar = about
        x, y, _, _ = self.geometry(window)
        return x + point[0], y + bar + point[1]

    def pixel(self, about, point, shot=None):
        return (shot or self.server.screenshot()).pixel(*self.client_point(about, point))

    def area_lines(self, about, area, shot=None):
        left, top = self.client_point(about, area[:2])
        return text_lines(shot or self.server.screenshot(), left, top, area[2], area[3])


class About(AboutWindowCase):

    def test_the_notice_stands_on_two_lines(self):
        clock = self.start()
        about = self.open_about(clock)
        lines = poll(lambda: self.area_lines(about, NOTICE_AREA), 5)
        self.assertEqual(len(lines), 2, f"widths of the notice's lines: {lines}")
        # "All rights reserved." is about half as wide as the first line; a
        # first line wrapped at the label's edge leaves only "reserved.".
        self.assertGreater(lines[1] / lines[0], 0.4, f"widths of the notice's lines: {lines}")


class WindowIcon(AboutWindowCase):
    """Every window carries Kivra's own icon (_NET_WM_ICON) from the moment
    it appears, before the face is first drawn into it and when it never is."""

    def own_icon_problems(self, window):
        icon = window_icon(self.server, window)
        if icon is None:
            return "no _NET_WM_ICON"
        if icon[:2] != (128, 128):
            return f"an icon of {icon[0]} x {icon[1]}"
        wrong = differences_from_own_icon(icon[2])
        return f"{len(wrong)} pixels differ from Kivra's icon" if wrong else None

    def test_on_a_fresh_start_before_the_first_beat(self):
        # A slow machine can miss the time before the first beat; a fresh
        # start tries again.
        for _ in range(3):
            clock = self.start(home=self.new_home())
            problems = self.own_icon_problems(clock.window)
            if time.monotonic() - clock.started < BEFORE_FIRST_BEAT:
                break
            clock.close()
        else:
            self.fail("the window never appeared early enough to look before the first beat")
        self.assertIsNone(problems)

    def test_with_the_dock_icon_option_off(self):
        write_settings(self.home, **{"Update Icon": False})
        clock = self.start()
        self.assertIsNone(self.own_icon_problems(clock.window), "as the clock appeared")
        about = self.open_about(clock)
        self.assertIsNone(self.own_icon_problems(about[0]), "on the About window")
        # Beats with the option off leave it as it is.
        time.sleep(4.5)
        self.assertIsNone(self.own_icon_problems(clock.window), "after a beat")


class MissingPictures(AboutWindowCase):

    def layout(self, pictures):
        """A copy of the binary in the test's own folder, with `pictures`
        (file name to content) as its pictures."""
        prefix = os.path.join(self.home, "prefix")
        os.makedirs(os.path.join(prefix, "bin"))
        os.makedirs(os.path.join(prefix, "share", "kivra"))
        binary = os.path.join(prefix, "bin", "kivra")
        shutil.copy2(KIVRA_BIN, binary)
        for name, content in pictures.items():
            with open(os.path.join(prefix, "share", "kivra", name), "wb") as f:
                f.write(content)
        return binary

    def boxes(self, clock, known):
        return set(clock.windows()) - known

    def test_one_box_and_no_spin_for_pictures_that_cannot_be_read(self):
        cases = {
            "missing": {},
            "garbage": {name: os.urandom(600) for name in PICTURES},
            "empty": {name: b"" for name in PICTURES},
        }
        for name, pictures in cases.items():
            with self.subTest(pictures=name):
                self.home = self.new_home()
                clock = start_binary(self, self.layout(pictures), home=self.home)
                known = set(clock.windows())
                about = self.open_about(clock)
                known.add(about[0])
                self.assertTrue(poll(lambda: self.boxes(clock, known), 5), "no box came up")
                # What can be drawn is: the name, above the missing icon.
                self.assertTrue(poll(lambda: len(self.area_lines(about, NAME_AREA)) == 1, 5), "no name shown")
                for _ in range(2):
                    start = cpu_seconds(clock.process.pid)
                    time.sleep(2)
                    used = cpu_seconds(clock.process.pid) - start
                    # A hang or spin check, not a measure: a spinning clock uses 2 s.
                    self.assertLess(used, 0.5, f"{used:.2f} s of CPU in 2 s with the box up")
                    boxes = self.boxes(clock, known)
                    self.assertEqual(len(boxes), 1, "boxes up at once")
                    box = boxes.pop()
                    self.server.xdotool("windowfocus", "--sync", box)
                    self.server.xdotool("key", "Return")
                    self.assertTrue(poll(lambda: box not in clock.windows(), 5), "the box stayed")
                    # No box comes back as the About window is drawn again.
                    time.sleep(1)
                    if not self.boxes(clock, known):
                        break
                self.assertEqual(self.boxes(clock, known), set(), "the box came again")
                self.assertIn(about[0], clock.windows())
                clock.close()


class Installed(AboutWindowCase):

    def test_an_installed_copy_finds_its_pictures(self):
        if not os.path.exists(os.path.join(BUILD_DIR, "cmake_install.cmake")):
            self.skipTest(f"{KIVRA_BIN} is not in a build tree")
        prefix = os.path.join(self.home, "installed")
        result = subprocess.run(["cmake", "--install", BUILD_DIR, "--prefix", prefix],
                                capture_output=True, text=True, timeout=60)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertEqual(sorted(os.listdir(prefix)), ["bin", "share"])
        self.assertEqual(sorted(os.listdir(os.path.join(prefix, "share", "kivra"))), sorted(PICTURES))
        clock = start_binary(self, os.path.join(prefix, "bin", "kivra"))
        known = set(clock.windows())
        about = self.open_about(clock)
        self.assertTrue(poll(lambda: self.pixel(about, BADGE_POINT) == BADGE_COLOUR, 5),
                        f"the badge is not shown: {self.pixel(about, BADGE_POINT):06X}")
        self.assertEqual(self.pixel(about, ICON_POINT), 0x000000, "the icon is not shown")
        self.assertEqual(set(clock.windows()) - known - {about[0]}, set(), "a box came up")



class TimeZone(ClockTestCase):
    """The system's zone changes while the clock runs. The clock runs in a
    mount namespace of its own, where the test's zone files stand in for
    /etc/localtime; the real one is never touched."""

    ZONES = {3: "Etc/GMT-3", -7: "Etc/GMT+7"}  # UTC offset in hours: zone file

    def setUp(self):
        super().setUp()
        if shutil.which("unshare") is None or shutil.which("nsenter") is None:
            self.skipTest("no unshare or nsenter")
        if subprocess.run(["unshare", "-m", "--propagation", "private", "true"],
                          capture_output=True).returncode != 0:
            self.skipTest("no mount namespace for the test")
        if not os.path.exists("/etc/localtime"):
            self.skipTest("no /etc/localtime to stand in for")
        self.zone_files = {}
        for offset, name in self.ZONES.items():
            source = os.path.join("/usr/share/zoneinfo", name)
            if not os.path.exists(source):
                self.skipTest(f"no {source} (tzdata)")
            self.zone_files[offset] = os.path.join(self.home, f"zone{offset:+d}")
            shutil.copy(source, self.zone_files[offset])

    def set_zone(self, clock, offset):
        """Puts the zone file over /etc/localtime in the clock's namespace: a
        new file at the path, as a zone set with timedatectl is."""
        subprocess.run(["nsenter", "-t", str(clock.process.pid), "-m", "mount", "--bind",
                        self.zone_files[offset], "/etc/localtime"], check=True, timeout=10)

    def test_the_face_follows_a_new_system_zone(self):
        # Without TZ the system's zone counts; the first zone stands in
        # before the clock starts.
        wrapper = os.path.join(self.home, "kivra-in-zone")
        with open(wrapper, "w") as f:
            f.write("#!/bin/sh\n"
                    "exec env -u TZ unshare -m --propagation private sh -c "
                    "'mount --bind \"$1\" /etc/localtime && exec \"$2\"' sh "
                    f"{shlex.quote(self.zone_files[3])} {shlex.quote(KIVRA_BIN)}\n")
        os.chmod(wrapper, 0o755)
        clock = start_binary(self, wrapper)
        for offset in (3, -7, 3):
            with self.subTest(utc_offset=offset):
                self.set_zone(clock, offset)
                zone = datetime.timezone(datetime.timedelta(hours=offset))
                # The next beat (every 4 seconds) after the clock sees the zone.
                self.assert_time_shown(clock, zone, twenty_four=False, timeout=8)


if __name__ == "__main__":
    unittest.main()
