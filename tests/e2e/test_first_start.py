"""The clock's first start: place, size, opening face, settings file, and
the first beats showing the time."""

import math
import os
import unittest

from kivra_e2e import (BACKGROUND, BEFORE_FIRST_BEAT, OPENING_LIT, ClockTestCase,
                       fixed_zone_for_hour, poll, wait_for_change)


class FirstStart(ClockTestCase):

    def test_opens_at_default_place_showing_the_opening_pattern(self):
        # A slow machine can miss the opening face; a fresh start tries again.
        for _ in range(3):
            home = self.new_home()
            clock = self.start(home=home)
            face, taken = clock.first_painted_face()
            if taken is not None and taken < BEFORE_FIRST_BEAT:
                break
            clock.close()
        else:
            self.fail("no screenshot came early enough to see the opening face")

        self.assertEqual(face.geometry, (10, 40, 510, 150))
        self.assertEqual(face.lit(), OPENING_LIT)
        self.assertEqual(face.problems(), [])
        self.assertEqual(face.counts(), (0, 5, 3, 5))
        shot = clock.server.screenshot()
        # The gaps between the groups and the margins show the background.
        for x, y in ((60, 75), (220, 75), (340, 75), (5, 5), (505, 75), (250, 145)):
            self.assertEqual(clock.pixel(x, y, shot), BACKGROUND, f"at ({x}, {y})")

        self.assertTrue(poll(lambda: os.path.exists(clock.settings_path), 1),
                        "no settings file after the window opened")
        self.assert_settings(clock)
        folder = os.path.dirname(clock.settings_path)
        self.assertEqual(os.listdir(folder), ["KivraPrefs.plist"])
        self.assertEqual(os.stat(folder).st_mode & 0o777, 0o700, "settings folder open to others")


class FirstBeats(ClockTestCase):

    def test_shows_twelve_hour_time_after_the_first_beat(self):
        # Midnight shows 12 and the afternoon 1 to 11, whatever the real time.
        # One clock at a time: the first change is timed from the start.
        for hour in (0, 15):
            tz, zone = fixed_zone_for_hour(hour)
            server = self.new_server() if hour else self.server
            clock = self.start(home=self.new_home(), server=server, tz=tz)
            with self.subTest(hour=hour):
                # The opening pattern shows no time: the timer's second
                # firing replaces it, whatever the beat.
                face, before, after = wait_for_change(clock, OPENING_LIT)
                self.assertIsNotNone(face, "the opening face never changed")
                self.assertGreaterEqual(after - clock.started_wall, BEFORE_FIRST_BEAT,
                                        "the face changed before the timer's second firing")
                self.assertLess(before - clock.started_wall, 3.5, "the opening face stayed past the second firing")
                self.assert_time_shown(clock, zone, twenty_four=False)
                # From then on the default beat: a change at a second divisible
                # by 4; allow for the time the picture takes to reach the screen.
                face, before, after = wait_for_change(clock, clock.face().lit())
                self.assertIsNotNone(face, "the face never changed again")
                seconds = range(math.floor(before - 0.5), math.floor(after) + 1)
                self.assertTrue(any(s % 4 == 0 for s in seconds),
                                f"change between seconds {seconds.start % 60} "
                                f"and {seconds.stop % 60 - 1}")


if __name__ == "__main__":
    unittest.main()
