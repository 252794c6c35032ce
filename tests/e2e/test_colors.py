"""The colour settings window: opened from the context menu, previewing a
picked or dropped colour live, cancelled with Escape, reset with "Use Defaults"
and kept with OK."""

import unittest

from kivra_e2e import BACKGROUND, ClockTestCase, poll

# A point of the clock window right of the last column of squares: always background.
BACKGROUND_POINT = (500, 75)
# Centres of controls in the colour window.
BACKGROUND_WELL = (36, 30)
HOUR_UNITS_WELL = (203, 68)
USE_DEFAULTS = (71, 149)
# Where the colour window is moved, clear of the clock and of the picker.
COLORS_PLACE = (700, 400)
PICKED = 0x3366CC


class Colors(ClockTestCase):

    def open_colors(self, clock):
        clock.choose("Colors...")
        found = poll(lambda: self.server.xdotool("search", "--all", "--onlyvisible", "--pid", clock.process.pid,
                                                 "--name", "^Kivra Colors$", check=False).split(), 5)
        self.assertTrue(found, "no window titled Kivra Colors: " + clock.output())
        window = found[0]
        self.server.xdotool("windowmove", "--sync", window, *COLORS_PLACE)
        # Every point below is measured from where its own area really is.
        self.origin = self.server.settled_origin(window)
        self.focus(window)
        return window

    def focus(self, window):
        # Focus the dialog as clicking it would, with or without a manager.
        self.server.xdotool("windowfocus", "--sync", window)

    def is_open(self, window):
        return window in self.server.xdotool("search", "--onlyvisible", "--name", "^Kivra Colors$",
                                             check=False).split()

    def click(self, point):
        self.server.xdotool("mousemove", self.origin[0] + point[0], self.origin[1] + point[1], "click", 1)

    def pick(self, clock, well, colour):
        """Clicks a well, types a colour into the picker it opens and confirms it."""
        before = set(clock.windows())
        self.click(well)
        picker = poll(lambda: set(clock.windows()) - before, 5)
        self.assertTrue(picker, "the well opened no colour picker: " + clock.output())
        picker = picker.pop()
        self.assertEqual(self.server.xdotool("getwindowname", picker).strip(), "Pick a color:")
        self.focus(picker)
        # Alt+H goes to the picker's HTML field.
        self.server.xdotool("key", "--delay", 40, "alt+h", "ctrl+a")
        self.server.xdotool("type", "--delay", 40, f"#{colour:06X}")
        self.server.xdotool("key", "Return")

    def drag_colour(self, source, target):
        """Drags a well's colour text onto another well, Ctrl held as the drag needs."""
        x, y = self.origin[0] + source[0], self.origin[1] + source[1]
        tx, ty = self.origin[0] + target[0], self.origin[1] + target[1]
        args = ["mousemove", x, y, "keydown", "ctrl", "mousedown", 1]
        for step in range(1, 6):
            args += ["sleep", 0.1, "mousemove", x + (tx - x) * step // 5, y + (ty - y) * step // 5]
        args += ["sleep", 0.2, "mouseup", 1, "keyup", "ctrl"]
        self.server.xdotool(*args)

    def background(self, clock):
        return clock.pixel(*BACKGROUND_POINT)

    def wait_background(self, clock, colour):
        return poll(lambda: self.background(clock) == colour, 5)

    def test_picked_colour_previews_and_escape_cancels_it(self):
        clock = self.start()
        window = self.open_colors(clock)
        self.assertEqual(self.background(clock), BACKGROUND)
        # In the active dialog the wells show their colours undimmed.
        well = (self.origin[0] + HOUR_UNITS_WELL[0], self.origin[1] + HOUR_UNITS_WELL[1])
        self.assertTrue(poll(lambda: self.server.screenshot().pixel(*well) == 0x00FF00, 5),
                        f"the hour units well shows {self.server.screenshot().pixel(*well):06X}")

        self.pick(clock, BACKGROUND_WELL, PICKED)
        self.assertTrue(self.wait_background(clock, PICKED),
                        f"background is {self.background(clock):06X} " + clock.output())
        self.assertEqual(clock.face().problems(), [])

        self.focus(window)
        self.server.xdotool("key", "Escape")
        self.assertTrue(poll(lambda: not self.is_open(window), 5), "Escape left the window open")
        self.assertTrue(self.wait_background(clock, BACKGROUND), "Cancel did not restore the background")

    def test_ok_keeps_the_colour_and_use_defaults_can_be_cancelled(self):
        clock = self.start()
        window = self.open_colors(clock)
        self.pick(clock, BACKGROUND_WELL, PICKED)
        self.assertTrue(self.wait_background(clock, PICKED))
        self.focus(window)
        self.server.xdotool("key", "Return")
        self.assertTrue(poll(lambda: not self.is_open(window), 5), "Return left the window open")
        self.assertEqual(self.background(clock), PICKED)

        # A second opening starts from the kept colour: Cancel after
        # "Use Defaults" brings it back.
        window = self.open_colors(clock)
        self.click(USE_DEFAULTS)
        self.assertTrue(self.wait_background(clock, BACKGROUND), "Use Defaults kept the background")
        self.assertTrue(self.is_open(window), "Use Defaults closed the window")
        self.focus(window)
        self.server.xdotool("key", "Escape")
        self.assertTrue(poll(lambda: not self.is_open(window), 5))
        self.assertTrue(self.wait_background(clock, PICKED))

        clock.choose("Quit")
        self.assertEqual(clock.wait_exit(), 0, clock.output())
        self.assert_settings(clock, {"ColorBG": PICKED})

    def test_dropped_colour_text_previews_and_ok_keeps_it(self):
        clock = self.start()
        window = self.open_colors(clock)
        self.drag_colour(HOUR_UNITS_WELL, BACKGROUND_WELL)
        self.assertTrue(self.wait_background(clock, 0x00FF00),
                        f"background is {self.background(clock):06X} after the drop")
        # The well that was dragged from still answers a click.
        self.pick(clock, HOUR_UNITS_WELL, 0x00FF00)
        self.focus(window)
        self.server.xdotool("key", "Return")
        self.assertTrue(poll(lambda: not self.is_open(window), 5), "Return left the window open")

        clock.choose("Quit")
        self.assertEqual(clock.wait_exit(), 0, clock.output())
        self.assert_settings(clock, {"ColorBG": 0x00FF00})


if __name__ == "__main__":
    unittest.main()
