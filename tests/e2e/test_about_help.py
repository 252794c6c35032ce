"""The About and Help windows and the menu bar: opened from the context menu
and from the Help menu of a document window, and Ctrl+Q, which quits from any
window and saves the clock's settings."""

import unittest

from kivra_e2e import ClockTestCase, poll

ABOUT_SIZE = (284, 366)
HELP_SIZE = (300, 86)
# A point of the About window's badge where its dark background shows, and
# that colour (resources/make_pictures.py).
BADGE_POINT = (34 + 205, 324 + 15)
BADGE_COLOUR = 0x1E222A
# A point of the icon's black tile, below where a menu bar inside the window
# could reach.
ICON_POINT = (110 + 3, 8 + 40)


def ink_rows(shot, left, top, width, height):
    """The runs of screen rows in that area that hold dark pixels (text),
    each a range; rows dark all across (a frame) count as none."""
    runs, run = [], None
    for y in range(top, top + height):
        dark = sum(1 for x in range(left, left + width) if luminance(shot.pixel(x, y)) < 100)
        if 0 < dark < width * 0.8:
            run = range(run.start, y + 1) if run else range(y, y + 1)
        elif run:
            runs.append(run)
            run = None
    return runs + ([run] if run else [])


def luminance(rgb):
    return (299 * (rgb >> 16) + 587 * ((rgb >> 8) & 0xFF) + 114 * (rgb & 0xFF)) // 1000


class AboutAndHelp(ClockTestCase):

    def setUp(self):
        super().setUp()
        self.client_top = {}

    def geometry(self, window):
        return self.server.window_geometry(window)

    def new_window(self, clock, before, size, timeout=5):
        """Waits for a window of that client size that was not among `before`;
        a menu bar the window shows itself stands above the client area."""
        def found():
            for window in set(clock.windows()) - set(before):
                _, _, width, height = self.geometry(window)
                if width == size[0] and 0 <= height - size[1] <= 48:
                    self.client_top[window] = height - size[1]
                    return window
            return None
        window = poll(found, timeout)
        self.assertTrue(window, f"no new {size[0]} x {size[1]} window: " + clock.output())
        return window

    def pixel(self, window, point):
        x, y, _, _ = self.geometry(window)
        top = self.client_top.get(window, 0)
        return self.server.screenshot().pixel(x + point[0], y + top + point[1])

    def help_menu(self, window, presses):
        """Chooses an entry of a window's Help menu with the keyboard: Alt+H
        opens the menu on its first entry, Down goes on."""
        self.server.xdotool("windowfocus", "--sync", window)
        self.server.xdotool("key", "--delay", 60, "alt+h", *(["Down"] * presses), "Return")

    def open_about(self, clock):
        before = clock.windows()
        clock.choose("About Kivra...")
        about = self.new_window(clock, before, ABOUT_SIZE)
        self.assertTrue(poll(lambda: self.pixel(about, BADGE_POINT) == BADGE_COLOUR, 5),
                        f"the badge is not shown: {self.pixel(about, BADGE_POINT):06X}")
        return about

    def test_the_context_menu_opens_the_about_window(self):
        clock = self.start()
        about = self.open_about(clock)
        self.assertEqual(self.pixel(about, ICON_POINT), 0x000000, "the icon is not shown")
        # A second choice shows the same window again.
        before = clock.windows()
        clock.choose("About Kivra...")
        self.assertTrue(poll(lambda: about in clock.windows(), 5))
        self.assertEqual(set(clock.windows()) - set(before), set())

    def test_the_about_window_shows_no_title_and_its_name_is_its_largest_text(self):
        clock = self.start()
        about = self.open_about(clock)
        for name in ("WM_NAME", "_NET_WM_NAME"):
            with self.subTest(property=name):
                out = self.server.run("xprop", "-id", about, name).stdout.decode().strip()
                self.assertRegex(out, r"=( \"\")?$", f"the About window is named: {out}")
        # What a manager shows is its own word for a window without a name
        # (openbox: "Unnamed Window"), never the application's name.
        shown = self.server.run("xprop", "-id", about, "_NET_WM_VISIBLE_NAME").stdout.decode()
        self.assertNotIn("Kivra", shown)

        # The name's letters stand taller than those of the credits' first
        # line (a size in points would be a third larger at 96 dpi).
        shot = self.server.screenshot()
        x, y, _, _ = self.geometry(about)
        y += self.client_top.get(about, 0)
        name = ink_rows(shot, x + 20, y + 86, 244, 16)
        credits = ink_rows(shot, x + 4, y + 134, 250, 136)
        self.assertTrue(name and credits, "no text found in the About window")
        self.assertGreater(len(name[0]), len(credits[0]),
                           f"the name is {len(name[0])} pixels high, the credits {len(credits[0])}")

    def test_the_help_menu_opens_help_and_brings_the_about_window_forward(self):
        clock = self.start()
        about = self.open_about(clock)

        before = clock.windows()
        self.help_menu(about, 0)
        help_window = self.new_window(clock, before, HELP_SIZE)
        self.assertEqual(self.server.xdotool("getwindowname", help_window).strip(), "Kivra Help")

        # Laid over the badge, the Help window hides it until "About Kivra..."
        # in its own Help menu brings the About window forward.
        left, top, _, _ = self.geometry(about)
        self.server.xdotool("windowmove", "--sync", help_window, left, top + BADGE_POINT[1] - 40)
        self.assertTrue(poll(lambda: self.pixel(about, BADGE_POINT) != BADGE_COLOUR, 5),
                        "the Help window does not cover the badge")
        before = clock.windows()
        self.help_menu(help_window, 1)
        self.assertTrue(poll(lambda: self.pixel(about, BADGE_POINT) == BADGE_COLOUR, 5),
                        "the About window did not come forward: " + clock.output())
        self.assertEqual(set(clock.windows()) - set(before), set(), "a second About window was made")

        # "OK" closes the Help window; the next "Help..." opens a new one.
        self.server.xdotool("windowfocus", "--sync", help_window)
        self.server.xdotool("key", "Return")
        self.assertTrue(poll(lambda: help_window not in clock.windows(), 5), "OK did not close the Help window")
        before = clock.windows()
        self.help_menu(about, 0)
        self.new_window(clock, before, HELP_SIZE)

    def test_ctrl_q_quits_from_the_clock_and_saves_the_settings(self):
        clock = self.start()
        clock.drag(60, 75, 30, 20)
        self.assertEqual(clock.wait_geometry((40, 60, 510, 150)), (40, 60, 510, 150))
        self.server.xdotool("windowfocus", "--sync", clock.window)
        self.server.xdotool("key", "ctrl+q")
        self.assertEqual(clock.wait_exit(), 0, clock.output())
        self.assert_settings(clock, {"WinMain.Left": 40, "WinMain.Top": 60})

    def test_ctrl_q_quits_from_the_about_window_too(self):
        clock = self.start()
        clock.choose("Rotate")
        self.assertEqual(clock.wait_geometry((None, None, 150, 510)), (10, 40, 150, 510))
        about = self.open_about(clock)
        self.server.xdotool("windowfocus", "--sync", about)
        self.server.xdotool("key", "ctrl+q")
        self.assertEqual(clock.wait_exit(), 0, clock.output())
        self.assert_settings(clock, {"WinMain.Width": 150, "WinMain.Height": 510, "Rotation": 1})


if __name__ == "__main__":
    unittest.main()
