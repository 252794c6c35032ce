"""The dock icon: the window icon (_NET_WM_ICON) shows the face upright,
and switching the option off puts Kivra's own icon back, also after a restart."""

import datetime
import os
import struct
import subprocess
import unittest

from kivra_e2e import (BACKGROUND, GROUPS, KIVRA_BIN, UNLIT, ClockTestCase, digit_counts,
                       fixed_zone_for_hour, group_of, poll, square_rect, write_settings)

TILE = 128
# The default 510 x 150 face is 128 x 38 on the tile, 45 pixels down.
STRIP_TOP, STRIP_HEIGHT = 45, 38
RESOURCES = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(KIVRA_BIN))), "share", "kivra")


def window_icon(server, window):
    """The window's icon as (width, height, ARGB pixels row by row), or None."""
    out = server.run("xprop", "-id", window, "-notype", "-f", "_NET_WM_ICON", "32c", "=$0+",
                     "_NET_WM_ICON", check=False).stdout.decode()
    if "=" not in out:
        return None
    values = [int(v) for v in out.split("=", 1)[1].replace(",", " ").split()]
    if len(values) < 2:
        return None
    width, height = values[0], values[1]
    pixels = values[2:2 + width * height]
    return (width, height, pixels) if len(pixels) == width * height else None


def read_bmp(path):
    """An uncompressed 24- or 32-bit BMP as rows of 0xRRGGBB, top row first."""
    with open(path, "rb") as f:
        data = f.read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    step = bits // 8
    stride = (width * step + 3) // 4 * 4
    rows = []
    for r in range(abs(height)):
        start = offset + r * stride
        rows.append([int.from_bytes(data[start + x * step:start + x * step + 3], "little") for x in range(width)])
    return rows[::-1] if height > 0 else rows


def own_icon():
    """Kivra's own icon as the tile shows it: the icon where its mask is black,
    nothing where it is white (greys, partly drawn, are left out: None)."""
    icon = read_bmp(os.path.join(RESOURCES, "AboutIcon.bmp"))
    mask = read_bmp(os.path.join(RESOURCES, "AboutMask.bmp"))
    assert len(icon) == TILE and len(icon[0]) == TILE, "the icon picture is no longer 128 x 128"
    pixels = []
    for y in range(TILE):
        for x in range(TILE):
            m = mask[y][x]
            pixels.append(0xFF000000 | icon[y][x] if m == 0 else 0 if m == 0xFFFFFF else None)
    return pixels


def differences_from_own_icon(pixels):
    return [i for i, (got, want) in enumerate(zip(pixels, own_icon())) if want is not None and got != want]


def strip_problems(pixels):
    """What keeps the tile from holding the upright strip: its edge must be
    the background colour and every square's centre a lit or unlit colour of
    its group."""
    problems = []
    at = lambda x, y: pixels[y * TILE + x]
    opaque_background = 0xFF000000 | BACKGROUND
    for x in range(TILE):
        for y in (STRIP_TOP, STRIP_TOP + STRIP_HEIGHT - 1):
            if at(x, y) != opaque_background:
                problems.append(f"edge ({x}, {y}) is {at(x, y):#010x}")
    for index in range(27):
        colour = square_colour(pixels, index)
        if colour not in (UNLIT, group_of(index)[4]):
            problems.append(f"square {index} shows {colour:#08x}")
    return problems


def square_colour(pixels, index):
    x, y, size = square_rect(index, 510, 150, 0)
    cx = int((x + size / 2) * TILE / 510)
    cy = STRIP_TOP + int((y + size / 2) * STRIP_HEIGHT / 150)
    argb = pixels[cy * TILE + cx]
    return argb & 0xFFFFFF if argb >> 24 == 0xFF else -1


def lit_counts(pixels):
    counts = [0, 0, 0, 0]
    for index in range(27):
        if square_colour(pixels, index) not in (UNLIT, -1):
            counts[GROUPS.index(group_of(index))] += 1
    return tuple(counts)


class DockIcon(ClockTestCase):

    def icon(self, clock):
        return window_icon(clock.server, clock.window)

    def wait_for_face(self, clock, zone, timeout=10):
        """Waits until the icon is the upright strip showing the time in `zone`."""
        def shows_face():
            before = datetime.datetime.now(zone)
            icon = self.icon(clock)
            after = datetime.datetime.now(zone)
            if not icon or icon[:2] != (TILE, TILE) or strip_problems(icon[2]):
                return None
            wanted = {digit_counts(t.hour, t.minute, False) for t in (before, after)}
            return icon if lit_counts(icon[2]) in wanted else None
        icon = poll(shows_face, timeout)
        if not icon:
            last = self.icon(clock)
            detail = strip_problems(last[2])[:5] if last and last[:2] == (TILE, TILE) else last and last[:2]
            self.fail(f"the window icon never showed the face: {detail}")
        return icon[2]

    def test_icon_shows_the_face_upright_also_when_turned(self):
        tz, zone = fixed_zone_for_hour(15)
        clock = self.start(tz=tz)
        pixels = self.wait_for_face(clock, zone)
        # Above and below the strip: Kivra's own icon.
        outside = [i for i in differences_from_own_icon(pixels)
                   if not STRIP_TOP <= i // TILE < STRIP_TOP + STRIP_HEIGHT]
        self.assertEqual(outside, [], "around the strip the tile is not Kivra's icon")

        clock.choose("Rotate")
        self.assertEqual(clock.wait_geometry((10, 40, 150, 510)), (10, 40, 150, 510))
        turned = self.wait_for_face(clock, zone, timeout=5)
        outside = [i for i in differences_from_own_icon(turned)
                   if not STRIP_TOP <= i // TILE < STRIP_TOP + STRIP_HEIGHT]
        self.assertEqual(outside, [], "the turned face is not drawn as the upright strip")

    def test_every_new_icon_is_announced_and_the_clock_keeps_listening(self):
        # The clock hushes the server's echo of its own icon writes. Whoever
        # else watches the window (a taskbar; here xprop) must still hear of
        # each new icon, and the clock's own interest in the window's
        # properties (the window manager's state) must be back after each.
        write_settings(self.home, ChangeMode=0)
        tz, zone = fixed_zone_for_hour(15)
        clock = self.start(tz=tz)
        self.wait_for_face(clock, zone)
        spy = subprocess.Popen(["xprop", "-spy", "-id", clock.window, "-notype", "-f", "_NET_WM_ICON", "32c",
                                " $0x$1\\n", "_NET_WM_ICON"], env=clock.server.env,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        try:
            out, _ = spy.communicate(timeout=4.5)
        except subprocess.TimeoutExpired:
            spy.terminate()
            out, _ = spy.communicate()
        announced = [line for line in out.decode().splitlines() if line.startswith("_NET_WM_ICON")]
        # The first line is xprop's own reading; a new pattern every second follows.
        self.assertGreaterEqual(len(announced), 4, f"other clients heard of {len(announced) - 1} new icons in 4.5 s")
        self.assertTrue(all(line.endswith(f"{TILE}x{TILE}") for line in announced), announced[:3])

        events = clock.server.run("xwininfo", "-events", "-id", clock.window).stdout.decode()
        wanted = events.split("Someone wants these events:", 1)[1].split("Do not propagate", 1)[0]
        self.assertIn("PropertyChange", wanted, "the clock no longer hears of its window's property changes")

    def test_switching_off_shows_kivras_icon_and_stays_off_after_a_restart(self):
        tz, zone = fixed_zone_for_hour(15)
        clock = self.start(tz=tz)
        self.wait_for_face(clock, zone)

        clock.choose("Update Dock Icon")
        own = poll(lambda: (lambda icon: icon if icon and not differences_from_own_icon(icon[2]) else None)(
            self.icon(clock)), 3)
        self.assertTrue(own, "switching the option off did not put Kivra's own icon back")
        # Later beats leave it alone.
        self.assertFalse(poll(lambda: self.icon(clock) != own, 5.5, interval=0.5),
                         "the icon changed with the option off")

        clock.choose("Quit")
        self.assertEqual(clock.wait_exit(), 0)
        self.assertIs(clock.settings()["Update Icon"], False)

        again = self.start(tz=tz)
        # Two beats at least; the face must never reach the icon.
        def face_shown():
            icon = self.icon(again)
            return icon and icon[:2] == (TILE, TILE) and not strip_problems(icon[2])
        self.assertFalse(poll(face_shown, 9, interval=0.5), "the face reached the icon after the restart")
        icon = self.icon(again)
        if icon:
            self.assertEqual(differences_from_own_icon(icon[2]), [])


if __name__ == "__main__":
    unittest.main()
