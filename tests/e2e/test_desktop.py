"""What a person sees of the clock on a desktop: the wheel with Alt, the About
window's notice and menus, the window icon, a time zone that changes and an
installed copy. The cases look only at sizes, pixels and properties, never at
where a window manager put a window."""

import os
import unittest

from kivra_e2e import ClockTestCase, poll


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


if __name__ == "__main__":
    unittest.main()
