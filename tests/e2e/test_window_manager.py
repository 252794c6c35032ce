"""The clock and its dialogs where a window manager moves and sizes windows
too: the clock works from where it really is, saves that, lays itself out
for the size it was given, and no window of the program can be resized or
maximised by the manager.

Run on a bare X server, "the manager" is xdotool configuring the window
directly, as a manager that ignores size hints would; under openbox it is a
person's Alt-drag, Alt-right-drag and a double click on the title bar."""

import re
import time
import unittest

from kivra_e2e import ClockTestCase, base_unit, face_size, poll, write_settings

START = (10, 40, 510, 150)
# Motif function bits.
MWM_FUNC_RESIZE, MWM_FUNC_MINIMIZE, MWM_FUNC_MAXIMIZE = 0x2, 0x8, 0x10
MWM_HINTS_FUNCTIONS = 0x1


class ManagerCase(ClockTestCase):

    def managed(self):
        return self.server.wm is not None

    def manager_move(self, clock, to):
        """Moves the clock to `to` the way the manager does."""
        if self.managed():
            left, top, _, _ = clock.geometry()
            dx, dy = to[0] - left, to[1] - top
            clock.move_mouse(60, 75)
            args = ["keydown", "alt", "mousedown", 1]
            for step in range(1, 5):
                args += ["sleep", 0.05, "mousemove_relative", "--", dx // 4, dy // 4]
            args += ["sleep", 0.1, "mouseup", 1, "keyup", "alt"]
            self.server.xdotool(*args)
        else:
            self.server.xdotool("windowmove", "--sync", clock.window, *to)

    def manager_resize(self, window, grip, by):
        """Tries to resize a window from a point of its own area, the way
        the manager does; returns the size a manager that ignores hints
        gives it."""
        left, top, width, height = self.server.window_geometry(window)
        if self.managed():
            self.server.xdotool("mousemove", left + grip[0], top + grip[1])
            args = ["keydown", "alt", "mousedown", 3]
            for _ in range(4):
                args += ["sleep", 0.05, "mousemove_relative", "--", by[0] // 4, by[1] // 4]
            args += ["sleep", 0.1, "mouseup", 3, "keyup", "alt"]
            self.server.xdotool(*args)
        else:
            self.server.xdotool("windowsize", "--sync", window, width + by[0], height + by[1])
        return width + by[0], height + by[1]

    def hints(self, window):
        """Minimum and maximum size of WM_NORMAL_HINTS, the Motif functions
        (None if the window sets none), and the manager's allowed actions."""
        out = self.server.run("xprop", "-id", window, "WM_NORMAL_HINTS", "_MOTIF_WM_HINTS",
                              "_NET_WM_ALLOWED_ACTIONS").stdout.decode()
        def size(kind):
            m = re.search(rf"{kind} size: (\d+) by (\d+)", out)
            return (int(m.group(1)), int(m.group(2))) if m else None
        functions = None
        m = re.search(r"_MOTIF_WM_HINTS\(_MOTIF_WM_HINTS\) = (.*)", out)
        if m:
            fields = [int(v, 0) for v in m.group(1).split(",")]
            if fields[0] & MWM_HINTS_FUNCTIONS:
                functions = fields[1]
        m = re.search(r"_NET_WM_ALLOWED_ACTIONS\(ATOM\) = (.*)", out)
        actions = set(a.strip() for a in m.group(1).split(",")) if m else None
        return size("minimum"), size("maximum"), functions, actions

    def assert_fixed(self, window, minimizable, what):
        _, _, width, height = self.server.settled_geometry(window)
        least, most, functions, actions = self.hints(window)
        self.assertEqual((least, most), ((width, height), (width, height)), f"{what}: size hints")
        if functions is not None:
            self.assertFalse(functions & (MWM_FUNC_RESIZE | MWM_FUNC_MAXIMIZE), f"{what}: Motif functions {functions:#x}")
            self.assertEqual(bool(functions & MWM_FUNC_MINIMIZE), minimizable, f"{what}: Motif functions {functions:#x}")
        if self.managed():
            self.assertIsNotNone(actions, f"{what}: openbox set no allowed actions")
            for action in ("RESIZE", "MAXIMIZE_HORZ", "MAXIMIZE_VERT"):
                self.assertNotIn("_NET_WM_ACTION_" + action, actions, what)
            # openbox lets no hints take away its buttons, so minimising is
            # not asked; moving must stay.
            self.assertIn("_NET_WM_ACTION_MOVE", actions, what)


class ClockUnderTheManager(ManagerCase):

    def setUp(self):
        super().setUp()
        self.clock = self.start()
        self.assertEqual(self.clock.wait_geometry(START), START)

    def moved(self):
        self.manager_move(self.clock, (210, 140))
        self.assertEqual(self.clock.wait_geometry((210, 140, 510, 150)), (210, 140, 510, 150),
                         "the manager's move")

    def test_a_drag_goes_on_from_where_the_manager_put_it(self):
        self.moved()
        self.clock.drag(60, 75, 12, 8)
        self.assertEqual(self.clock.wait_geometry((222, 148, 510, 150)), (222, 148, 510, 150))

    def test_the_real_lower_right_corner_resizes_after_a_move(self):
        self.moved()
        self.clock.drag(505, 145, 100, 20)
        w, h = face_size(base_unit(610, 170, 0), 0)
        self.assertEqual(self.clock.wait_geometry((210, 140, w, h)), (210, 140, w, h))
        self.assert_fixed(self.clock.window, False, "the clock after its own resize")

    def test_quit_saves_where_the_manager_put_it(self):
        self.moved()
        self.clock.choose("Quit")
        self.assertEqual(self.clock.wait_exit(), 0, self.clock.output())
        self.assert_settings(self.clock, {"WinMain.Left": 210, "WinMain.Top": 140})

    def test_a_size_from_the_manager_is_laid_out_and_saved(self):
        self.assert_fixed(self.clock.window, False, "the clock")
        given = self.manager_resize(self.clock.window, (500, 140), (190, 150))
        if self.managed():
            # openbox keeps to the hints: nothing changes.
            given = START[2:]
        geometry = self.clock.wait_geometry((10, 40) + given)
        self.assertEqual(geometry, (10, 40) + given)
        face = poll(lambda: (lambda f: f if not f.problems() else None)(self.clock.face()), 3) or self.clock.face()
        self.assertEqual(face.problems(), [], f"the squares are not laid out for {given}")
        self.clock.choose("Quit")
        self.assertEqual(self.clock.wait_exit(), 0, self.clock.output())
        self.assert_settings(self.clock, {"WinMain.Width": given[0], "WinMain.Height": given[1]})


class Turning(ManagerCase):

    def test_a_clock_turned_higher_than_the_screen_is_cut_to_it_in_proportion(self):
        # 1530 x 450 fits the 1600 x 1200 screen; turned it would be 1530 high,
        # so it is cut to the screen's height as a turned face, wholly on the
        # screen, and keeps that size when turned back.
        write_settings(self.home, **{"WinMain.Left": 10, "WinMain.Top": 40,
                                     "WinMain.Width": 1530, "WinMain.Height": 450})
        clock = self.start()
        self.assertEqual(clock.wait_geometry((10, 40, 1530, 450)), (10, 40, 1530, 450))
        for turn in range(1, 5):
            clock.choose("Rotate")
            wanted = (10, 0) + ((353, 1200) if turn % 2 else (1200, 353))
            self.assertEqual(clock.wait_geometry(wanted), wanted, f"after {turn} turns")
            face = poll(lambda: (lambda f: f if not f.problems() else None)(clock.face(turn % 4)), 3)
            self.assertIsNotNone(face, f"the face is not whole after {turn} turns")
        clock.choose("Quit")
        self.assertEqual(clock.wait_exit(), 0, clock.output())
        saved = clock.settings()
        self.assertEqual((saved["WinMain.Width"], saved["WinMain.Height"], saved["Rotation"]), (1200, 353, 0))


class Dialogs(ManagerCase):

    def new_window(self, clock, before):
        found = poll(lambda: set(clock.windows()) - set(before), 5)
        self.assertTrue(found, "no new window: " + clock.output())
        return found.pop()

    def assert_keeps_its_size(self, window, what):
        before = self.server.settled_geometry(window)
        self.manager_resize(window, (before[2] - 5, before[3] - 5), (80, 60))
        if not self.managed():
            return  # a manager that ignores hints is not tried on dialogs
        self.assertEqual(self.server.settled_geometry(window)[2:], before[2:], f"{what}: resized by the manager")
        # A double click on the title bar maximises what may be maximised.
        self.server.xdotool("mousemove", before[0] + 40, before[1] - 8, "click", "--repeat", 2, "--delay", 80, 1)
        time.sleep(0.5)
        self.assertEqual(self.server.settled_geometry(window)[2:], before[2:], f"{what}: maximised")

    def test_no_dialog_can_be_resized_or_maximised(self):
        clock = self.start()
        for entry, minimizable, what in (("Colors...", True, "Kivra Colors"),
                                          ("About Kivra...", False, "About")):
            with self.subTest(what):
                before = clock.windows()
                clock.choose(entry)
                window = self.new_window(clock, before)
                self.server.xdotool("windowmove", "--sync", window, 300, 300)
                try:
                    self.assert_fixed(window, minimizable, what)
                    self.assert_keeps_its_size(window, what)
                finally:
                    if what == "Kivra Colors":
                        # Modal: it must end before anything else can open.
                        self.server.xdotool("windowfocus", "--sync", window)
                        self.server.xdotool("key", "Escape")
                        poll(lambda: window not in clock.windows(), 5)
                if what == "About":
                    # Its Help menu opens the Help window.
                    before = clock.windows()
                    self.server.xdotool("windowfocus", "--sync", window)
                    self.server.xdotool("key", "--delay", 60, "alt+h", "Return")
                    help_window = self.new_window(clock, before)
                    self.server.xdotool("windowmove", "--sync", help_window, 700, 300)
                    self.assert_fixed(help_window, True, "Kivra Help")
                    self.assert_keeps_its_size(help_window, "Kivra Help")
        self.assert_fixed(clock.window, False, "the clock")


if __name__ == "__main__":
    unittest.main()
