"""Commands of the clock's context menu."""

import unittest

from kivra_e2e import BACKGROUND, ClockTestCase, fixed_zone_for_hour, square_rect


class ContextMenu(ClockTestCase):

    def test_rotate_turns_the_face_a_quarter_turn_clockwise(self):
        clock = self.start()
        clock.choose("Rotate")
        self.assertEqual(clock.wait_geometry((10, 40, 150, 510)), (10, 40, 150, 510))

        face = clock.face(rotation=1)
        self.assertEqual(face.problems(), [])
        shot = clock.server.screenshot()
        # Row 0, column 0 (square 0) now stands at the top right: 30 pixels
        # from (100, 20); just outside it is background.
        self.assertEqual(square_rect(0, 150, 510, 1), (100, 20, 30))
        for x, y in ((102, 35), (127, 35), (115, 22), (115, 47)):
            self.assertNotEqual(clock.pixel(x, y, shot), BACKGROUND, f"inside at ({x}, {y})")
        for x, y in ((97, 35), (133, 35), (115, 17), (115, 53), (75, 75), (75, 215)):
            self.assertEqual(clock.pixel(x, y, shot), BACKGROUND, f"outside at ({x}, {y})")

    def test_hour_modes_redraw_at_once(self):
        # Afternoon and midnight: the two hours whose display differs in
        # both hour groups between the modes.
        for hour in (15, 0):
            with self.subTest(hour=hour):
                tz, zone = fixed_zone_for_hour(hour)
                clock = self.start(home=self.new_home(), tz=tz)
                # Sooner than the next beat could: the command itself redraws.
                clock.choose("24hr Mode")
                self.assert_time_shown(clock, zone, twenty_four=True, timeout=2)
                clock.choose("12hr Mode")
                self.assert_time_shown(clock, zone, twenty_four=False, timeout=2)
                clock.close()


if __name__ == "__main__":
    unittest.main()
