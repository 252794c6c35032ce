"""The clock on screens of every size. A saved size larger than the screen
opens cut to the screen in the face's proportions, wholly on it; the default
face fits a small screen the same way; and a clock that a shrinking screen
hides, wholly or in part, or leaves larger than the screen, comes back onto
it (under openbox too, which may first leave a sliver of it on the screen). Judged by
the server: the window's place and size, the screenshot, a resize from the
lower right corner, and the settings that Quit saves."""

import unittest

from kivra_e2e import (ClockTestCase, Face, XServer, base_unit, face_size, poll, write_settings)

# A background the empty screen never shows, so that a window covering the
# desktop in it is seen.
BACKGROUND = 0x203040


def corrected(width, height, rotation):
    """The size a release leaves: the face's box when more than 5 per cent off."""
    ratio = width / height if rotation in (0, 2) else height / width
    if abs(ratio / 3.4 - 1.0) > 0.05:
        return face_size(base_unit(width, height, rotation), rotation)
    return width, height


class Screens(ClockTestCase):

    def open_clock(self, server, rotation=0, **place):
        settings = {f"WinMain.{k}": v for k, v in place.items()}
        write_settings(self.home, ColorBG=f"&h00{BACKGROUND:06X}", Rotation=rotation, **settings)
        return self.start(server=server)

    def assert_face_fits_the_screen(self, clock, rotation, geometry):
        """The window stands at `geometry`, wholly on the screen, in the face's
        proportions, shows a whole face and leaves the rest of the screen
        uncovered."""
        server = clock.server
        self.assertEqual(clock.wait_geometry(geometry), geometry)
        x, y, w, h = geometry
        sw, sh = server.size
        self.assertTrue(0 <= x and 0 <= y and x + w <= sw and y + h <= sh,
                        f"the window at {geometry} is not wholly on the {sw} x {sh} screen")
        ratio = w / h if rotation in (0, 2) else h / w
        self.assertLessEqual(abs(ratio / 3.4 - 1.0), 0.05, f"{w} x {h} is off the face's proportions")

        def painted():
            shot = server.screenshot()
            face = Face(shot, geometry, rotation)
            return (face, shot) if not face.problems(unlit=0x7F7F7F) else None
        face, shot = poll(painted, 3) or (Face(server.screenshot(), geometry, rotation), None)
        self.assertEqual(face.problems(), [], "the face is not whole")
        covered = [(px, py) for px in range(0, shot.width, 8) for py in range(0, shot.height, 8)
                   if not (x <= px < x + w and y <= py < y + h) and shot.pixel(px, py) == BACKGROUND]
        self.assertEqual(covered[:5], [], "the clock's background shows outside its window")

    def assert_corner_resizes(self, clock, rotation):
        """A drag from the lower right corner shrinks the clock; returns its
        new place and size."""
        x, y, w, h = clock.geometry()
        clock.drag(w - 3, h - 3, -(w // 4), -(h // 4))
        wanted = (x, y) + corrected(w - w // 4, h - h // 4, rotation)
        self.assertEqual(clock.wait_geometry(wanted), wanted, "the corner did not resize the clock")
        return wanted

    def assert_quit_saves(self, clock, geometry):
        clock.choose("Quit")
        self.assertEqual(clock.wait_exit(), 0, clock.output())
        saved = clock.settings()
        self.assertEqual(tuple(saved[f"WinMain.{k}"] for k in ("Left", "Top", "Width", "Height")), geometry,
                         "Quit saved another place than the clock had")

    def test_a_saved_size_larger_than_the_screen_opens_cut_to_it_in_proportion(self):
        # 1600 x 1200: cut by the same factor on both sides, and brought wholly on the screen.
        cases = (
            (0, (100000, 30000), (0, 40, 1600, 480)),
            (1, (30000, 100000), (0, 0, 360, 1200)),
        )
        for rotation, (width, height), shown in cases:
            with self.subTest(rotation=rotation, size=(width, height)):
                server = self.new_server()
                clock = self.open_clock(server, rotation, Left=10, Top=40, Width=width, Height=height)
                self.assert_face_fits_the_screen(clock, rotation, shown)
                resized = self.assert_corner_resizes(clock, rotation)
                self.assert_quit_saves(clock, resized)

    def test_the_default_face_fits_a_small_screen(self):
        server = self.new_server(size=(320, 240))
        clock = self.open_clock(server)
        self.assert_face_fits_the_screen(clock, 0, (0, 40, 320, 94))
        self.assert_quit_saves(clock, (0, 40, 320, 94))

    def test_a_clock_the_shrinking_screen_leaves_behind_comes_back(self):
        # Xephyr's screen shrinks from 1600 x 1200 to 800 x 600 under the clock.
        cases = (
            ("on no screen", (1000, 900, 510, 150), (1000, 900, 510, 150), (290, 450, 510, 150)),
            ("partly hidden", (700, 300, 510, 150), (700, 300, 510, 150), (290, 300, 510, 150)),
            ("larger than the screen", (1000, 900, 1200, 353), (400, 847, 1200, 353), (0, 365, 800, 235)),
        )
        for name, place, shown, back in cases:
            with self.subTest(name):
                host = XServer(window_manager="", size=(1700, 1300))
                self.addCleanup(host.close)
                server = self.new_server(host=host)
                left, top, width, height = place
                clock = self.open_clock(server, Left=left, Top=top, Width=width, Height=height)
                self.assert_face_fits_the_screen(clock, 0, shown)
                server.resize_screen(800, 600)
                self.assert_face_fits_the_screen(clock, 0, back)
                self.assert_quit_saves(clock, back)


if __name__ == "__main__":
    unittest.main()
