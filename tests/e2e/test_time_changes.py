"""The face shows the current time whatever the beat: from the timer's
second firing on, and after the system clock is set forward or back."""

import datetime
import glob
import os
import time
import unittest

from kivra_e2e import ClockTestCase, digit_counts, poll, write_settings

FAKETIME = sorted(glob.glob("/usr/lib/*/faketime/libfaketime.so.1"))


class CurrentTimeWhateverTheBeat(ClockTestCase):

    def test_every_minute_shows_the_time_at_the_second_firing(self):
        # Early in a minute, so that the minute's own beat is far off.
        poll(lambda: time.localtime().tm_sec < 40, 25, interval=0.2)
        write_settings(self.home, ChangeMode=2, **{"24HrMode": "True"})
        clock = self.start(tz="UTC0")
        self.assert_time_shown(clock, datetime.timezone.utc, twenty_four=True,
                               timeout=max(0.5, 3.5 - (time.monotonic() - clock.started)))

    @unittest.skipUnless(FAKETIME, "libfaketime is not installed")
    def test_a_clock_set_forward_or_back_is_followed_within_a_second(self):
        stamp = os.path.join(self.home, "faketime")

        def set_clock(text):
            with open(stamp + ".new", "w", encoding="ascii") as f:
                f.write(text + "\n")
            os.replace(stamp + ".new", stamp)

        # A stopped clock: its second never reaches the minute's beat, so
        # only a face mended for a wrong time can follow it.
        set_clock("2026-12-11 10:00:30")
        env = {
            "LD_PRELOAD": FAKETIME[0],
            "FAKETIME_TIMESTAMP_FILE": stamp,
            "FAKETIME_NO_CACHE": "1",
            "FAKETIME_DONT_FAKE_MONOTONIC": "1",
            # The sanitizer build's runtime must come first, or it refuses to run.
            "ASAN_OPTIONS": os.environ.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0",
        }
        for beat in (2, 1, 0):
            with self.subTest(beat=beat):
                home = self.new_home()
                write_settings(home, ChangeMode=beat, **{"24HrMode": "True"})
                set_clock("2026-12-11 10:00:30")
                clock = self.start(home=home, tz="UTC0", env=env)
                self.assert_face_shows(clock, (10, 0), 3.5 - (time.monotonic() - clock.started))
                for when, shown in (("2026-12-11 10:07:15", (10, 7)), ("2026-12-11 09:58:41", (9, 58)),
                                    ("2026-12-12 23:07:41", (23, 7))):
                    set_clock(when)
                    # A tick comes every 100 ms; the rest is for the screenshots.
                    self.assert_face_shows(clock, shown, 2.0, f"after the clock was set to {when}")
                clock.close()

    def assert_face_shows(self, clock, hour_minute, timeout, msg=None):
        wanted = digit_counts(*hour_minute, True)
        face = poll(lambda: (lambda f: f if f.counts() == wanted and not f.problems() else None)(clock.face()),
                    max(0.5, timeout))
        self.assertIsNotNone(face, msg or f"{hour_minute[0]:02}:{hour_minute[1]:02} never shown")


if __name__ == "__main__":
    unittest.main()
