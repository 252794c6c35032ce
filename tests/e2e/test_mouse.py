"""Moving, resizing and zooming the clock with the mouse."""

import unittest

from kivra_e2e import ClockTestCase, base_unit, face_size, poll, write_settings

START = (10, 40, 510, 150)


class Mouse(ClockTestCase):

    def setUp(self):
        super().setUp()
        self.clock = self.start()
        self.assertEqual(self.clock.wait_geometry(START), START)

    def test_drag_moves_the_window_by_the_mouse_movement(self):
        # (window point pressed, movement): first on the empty column
        # between the hour groups, then on a lit or unlit square.
        drags = (((60, 75), (37, 21)), ((115, 35), (-30, 12)), ((460, 140), (5, -9)))
        left, top = START[:2]
        for (x, y), (dx, dy) in drags:
            with self.subTest(press=(x, y), move=(dx, dy)):
                self.clock.drag(x, y, dx, dy)
                left, top = left + dx, top + dy
                wanted = (left, top, 510, 150)
                self.assertEqual(self.clock.wait_geometry(wanted), wanted)
        self.assertEqual(self.clock.face().problems(), [])

    def test_drag_from_the_lower_right_corner_resizes_and_keeps_the_proportions(self):
        self.clock.drag(505, 145, 100, 20, release=False)
        during = (10, 40, 610, 170)
        self.assertEqual(self.clock.wait_geometry(during), during, "size while dragging")

        self.clock.server.xdotool("mouseup", 1)
        w, h = face_size(base_unit(610, 170, 0), 0)
        self.assertEqual((w, h), (578, 170))
        self.assertEqual(self.clock.wait_geometry((10, 40, w, h)), (10, 40, w, h))
        self.assertLessEqual(abs(w / h / 3.4 - 1.0), 0.05)
        self.assertEqual(self.clock.face().problems(), [], "squares laid out for the new size")

    def test_alt_wheel_zooms_and_a_plain_wheel_does_not(self):
        clock, server = self.clock, self.clock.server
        clock.move_mouse(60, 75)
        # Button 4 is the wheel turned away from the user: it grows the clock.
        for button, size in ((4, (561, 165)), (5, (510, 150)), (5, (464, 136))):
            with self.subTest(button=button):
                # Alt stays down until the step shows, as a hand holds it.
                server.xdotool("keydown", "alt", "click", button)
                geometry = clock.wait_geometry((10, 40) + size)
                server.xdotool("keyup", "alt")
                self.assertEqual(geometry, (10, 40) + size)
                self.assertEqual(clock.face().problems(), [])

        server.xdotool("click", 4, "click", 5, "click", 4)
        # The menu opens only after the wheel turns before it were handled.
        menu = clock.open_menu()
        server.xdotool("key", "Escape")
        self.assertTrue(poll(lambda: menu not in clock.windows(), 5), "menu stayed open")
        self.assertEqual(clock.geometry(), (10, 40, 464, 136))


class EditedRotation(ClockTestCase):

    def test_a_rotation_out_of_range_is_taken_in_quarter_turns_and_saved_so(self):
        # (stored, what it means): 7 and -1 are a quarter turn counter-clockwise.
        for stored, turns in ((7, 3), (-1, 3), (6, 2)):
            with self.subTest(rotation=stored):
                home = self.new_home()
                width, height = (150, 510) if turns % 2 else (510, 150)
                write_settings(home, **{"Rotation": stored, "WinMain.Width": width, "WinMain.Height": height})
                clock = self.start(home=home)
                self.assertEqual(clock.wait_geometry((10, 40, width, height)), (10, 40, width, height))
                self.assertEqual(clock.face(turns).problems(), [], "squares not where that rotation puts them")

                # The zoom and the grip work as at that rotation.
                clock.move_mouse(width // 2, height // 2)
                clock.server.xdotool("keydown", "alt", "click", 4)
                grown = (10, 40) + face_size(base_unit(width, height, turns) * 1.1, turns)
                geometry = clock.wait_geometry(grown)
                clock.server.xdotool("keyup", "alt")
                self.assertEqual(geometry, grown, "Alt and the wheel did not zoom")
                self.assertEqual(clock.face(turns).problems(), [])
                clock.drag(grown[2] - 4, grown[3] - 4, 40, 40)
                self.assertTrue(poll(lambda: clock.geometry()[2:] != grown[2:], 5), "the grip did not resize")

                clock.choose("Quit")
                self.assertEqual(clock.wait_exit(), 0, clock.output())
                self.assertEqual(clock.settings()["Rotation"], turns)


if __name__ == "__main__":
    unittest.main()
