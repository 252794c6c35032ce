"""Ending the clock: the settings it saves and the next start that reads them."""

import os
import signal
import unittest

from kivra_e2e import (BEFORE_FIRST_BEAT, OPENING_LIT, SETTINGS_FILE, ClockTestCase,
                       fixed_zone_for_hour)


class Quit(ClockTestCase):

    def test_quit_saves_the_state_and_the_next_start_restores_it(self):
        clock = self.start()
        clock.drag(60, 75, 37, 21)
        self.assertEqual(clock.wait_geometry((47, 61, 510, 150)), (47, 61, 510, 150))
        for entry in ("Rotate", "24hr Mode", "Change every Second", "Update Dock Icon"):
            clock.choose(entry)
        self.assertEqual(clock.wait_geometry((47, 61, 150, 510)), (47, 61, 150, 510))
        # Nothing but the end of the clock writes the settings.
        self.assert_settings(clock)

        clock.choose("Quit")
        self.assertEqual(clock.wait_exit(), 0, clock.output())
        saved = {"WinMain.Left": 47, "WinMain.Top": 61, "WinMain.Width": 150,
                 "WinMain.Height": 510, "Rotation": 1, "24HrMode": True,
                 "ChangeMode": 0, "Update Icon": False}
        self.assert_settings(clock, saved)

        # An afternoon hour tells the restored 24-hour display from 12-hour.
        tz, zone = fixed_zone_for_hour(15)
        again = self.start(tz=tz)
        self.assertEqual(again.wait_geometry((47, 61, 150, 510)), (47, 61, 150, 510))
        face, taken = again.first_painted_face(rotation=1)
        self.assertEqual(face.problems(), [], "the face is not laid out turned")
        if taken < BEFORE_FIRST_BEAT:
            self.assertEqual(face.lit(), OPENING_LIT)
        self.assert_time_shown(again, zone, twenty_four=True, rotation=1, timeout=4)

        again.choose("Quit")
        self.assertEqual(again.wait_exit(), 0, again.output())
        self.assert_settings(again, saved)

    def test_signals_end_the_clock_cleanly_and_save_the_state(self):
        for number, signum in enumerate((signal.SIGTERM, signal.SIGINT, signal.SIGHUP)):
            with self.subTest(signal=signum.name):
                clock = self.start(home=self.new_home())
                dx, dy = 11 + number, 7 + number
                clock.drag(60, 75, dx, dy)
                moved = (10 + dx, 40 + dy, 510, 150)
                self.assertEqual(clock.wait_geometry(moved), moved)
                self.assert_settings(clock)

                clock.process.send_signal(signum)
                self.assertEqual(clock.wait_exit(), 0, clock.output())
                self.assert_settings(clock, {"WinMain.Left": moved[0], "WinMain.Top": moved[1]})
                # Written in place of the old file, with nothing left beside it.
                self.assertEqual(os.listdir(os.path.dirname(clock.settings_path)), [SETTINGS_FILE])


if __name__ == "__main__":
    unittest.main()
