"""Checks of how the harness reads its options and the first-frame helper,
which programs run where, and how round figures become ratios and targets:
python3 -m unittest discover bench/harness"""

import unittest

import measure
from kivrabench import parse_icon_size
from measure import BEAT0, BEAT1, FAIR0, FAIR1, REFERENCE, XCLOCK, Setup


def row(cpu, x=0.0, rss=1000, hwm=20000, **extra):
    return {"cpu_s_per_h": cpu, "x_cpu_s_per_h": x, "vm_hwm_kb": hwm, "rss_anon_kb": rss, **extra}


class Options(unittest.TestCase):
    def test_sizes(self):
        cases = [
            ("510x150", ((510, 150),)),
            ("510x150, 2040x600", ((510, 150), (2040, 600))),
            ("510x150,510x150", ((510, 150),)),
        ]
        for text, sizes in cases:
            with self.subTest(text):
                self.assertEqual(measure.parse_sizes(text), sizes)
        for bad in ("", "510", "510x", "0x150", "510x150x2", "510*150", "-5x10"):
            with self.subTest(bad):
                with self.assertRaises(ValueError):
                    measure.parse_sizes(bad)

    def test_icon_line(self):
        cases = [
            ("_NET_WM_ICON=128,128\n", (128, 128)),
            ("_NET_WM_ICON=128,38\n", (128, 38)),
            ("_NET_WM_ICON=128,<field not available>\n", None),
            ("_NET_WM_ICON:  not found.\n", None),
            ("", None),
        ]
        for text, size in cases:
            with self.subTest(text):
                self.assertEqual(parse_icon_size(text), size)

    def test_firstframe_line(self):
        cases = [
            ("map_ms=20.4 frame_ms=23.8 window=0x400005\n", {"map_ms": 20.4, "frame_ms": 23.8}),
            ("map_ms=24.6 frame_ms=26.0 change_ms=2026.3 window=0x400005\n",
             {"map_ms": 24.6, "frame_ms": 26.0, "change_ms": 2026.3}),
            ("map_ms=24.6 window=0x400005\n", None),
            ("", None),
        ]
        for text, figures in cases:
            with self.subTest(text):
                self.assertEqual(measure.parse_firstframe(text), figures)


class Setups(unittest.TestCase):
    def test_names_screens_and_programs(self):
        cases = [
            # setup, name, screen, programs, environment
            (Setup(510, 150), "510x150", "1600x1200x24", [XCLOCK, REFERENCE, FAIR0, FAIR1, BEAT0, BEAT1], {}),
            (Setup(2040, 600), "2040x600", "2240x1200x24", [REFERENCE, FAIR0, FAIR1, BEAT0, BEAT1], {}),
            (Setup(1020, 300, scale=2), "1020x300 scale 2", "2240x1200x24", [REFERENCE, FAIR0, FAIR1, BEAT0, BEAT1],
             {"QT_SCALE_FACTOR": "2"}),
            (Setup(510, 150, scale=2), "510x150 scale 2", "1600x1200x24", [REFERENCE, FAIR0, FAIR1, BEAT0, BEAT1],
             {"QT_SCALE_FACTOR": "2"}),
            (Setup(510, 150, desktop=True), "510x150 desktop", "1600x1200x24",
             [XCLOCK, REFERENCE, FAIR0, FAIR1, BEAT0, BEAT1], {}),
        ]
        for setup, name, screen, programs, env in cases:
            with self.subTest(name):
                self.assertEqual(setup.name, name)
                self.assertEqual(setup.screen(), screen)
                self.assertEqual(setup.programs(), programs)
                self.assertEqual(setup.env(), env)

    def test_scaled_and_desktop_setups_follow_the_sizes(self):
        names = [s.name for s in measure.setups(((1020, 300),))]
        self.assertEqual(names, ["1020x300", "510x150 scale 2", "510x150 desktop"])
        self.assertEqual([s.name for s in measure.setups(((1020, 300),), scale=False, desktop=False)],
                         ["1020x300"])


class Commands(unittest.TestCase):
    def test_floors_take_the_window_size_and_the_clock_its_settings(self):
        programs = measure.subjects("/b/kivra", "/b/kivra-reference", "/b/kivra-fair-floor")
        cases = [
            # program, command at 1020 x 300, sets an icon
            (XCLOCK, ["xclock", "-update", "1"], False),
            (REFERENCE, ["/b/kivra-reference", "--size", "1020x300"], False),
            (FAIR0, ["/b/kivra-fair-floor", "--beat", "0", "--size", "1020x300"], True),
            (FAIR1, ["/b/kivra-fair-floor", "--beat", "1", "--size", "1020x300"], True),
        ]
        for name, command, icon in cases:
            with self.subTest(name):
                self.assertEqual(programs[name].command_in(None, (1020, 300)), command)
                self.assertEqual(programs[name].icon, icon)
        for name, mode in ((BEAT0, 0), (BEAT1, 1)):
            with self.subTest(name):
                self.assertEqual(programs[name].change_mode, mode)
                self.assertTrue(programs[name].icon)


class Ratios(unittest.TestCase):
    def test_cpu_counts_what_runs_for_the_program_alone(self):
        self.assertEqual(measure.cpu_with_x(row(4.0, x=0.5)), 4.5)
        self.assertEqual(measure.cpu_with_x(row(4.0, x=0.5, wm_cpu_s_per_h=0.25, panel_cpu_s_per_h=1.0)), 5.75)

    def test_each_round_is_its_own_ratio(self):
        rows = {REFERENCE: [row(4.0, x=0.0, rss=2000), row(2.0, x=1.0, rss=2000)],
                BEAT0: [row(5.0, x=1.0, rss=3000), row(3.0, x=0.0, rss=4000)]}
        cases = [
            ("cpu", [5.0 / 4.0, 3.0 / 2.0]),
            ("cpu_with_x", [6.0 / 4.0, 3.0 / 3.0]),
            ("rss_anon", [1.5, 2.0]),
            ("vm_hwm", [1.0, 1.0]),
        ]
        for key, expected in cases:
            with self.subTest(key):
                self.assertEqual(measure.round_ratios(rows, BEAT0, REFERENCE, key), expected)

    def test_each_clock_is_set_against_both_floors_of_its_beat(self):
        everything = {name: [row(1.0)] for name in (XCLOCK, REFERENCE, FAIR0, FAIR1, BEAT0, BEAT1)}
        cases = [
            ("with xclock", everything,
             [(BEAT0, REFERENCE), (BEAT0, FAIR0), (BEAT0, XCLOCK), (BEAT1, REFERENCE), (BEAT1, FAIR1),
              (BEAT1, XCLOCK), (FAIR0, REFERENCE), (FAIR1, REFERENCE)]),
            ("without xclock", {k: v for k, v in everything.items() if k != XCLOCK},
             [(BEAT0, REFERENCE), (BEAT0, FAIR0), (BEAT1, REFERENCE), (BEAT1, FAIR1), (FAIR0, REFERENCE),
              (FAIR1, REFERENCE)]),
        ]
        for what, rows, pairs in cases:
            with self.subTest(what):
                self.assertEqual(measure.ratio_rows(rows), pairs)


class Targets(unittest.TestCase):
    def setup_rows(self, beat0_cpu=4.0, beat1_cpu=3.0, rss=1000):
        """The fair floors cost 4 and 3, the floor 2: a clock at the same
        CPU+X as the fair floor of its beat is at 1.0."""
        return {
            REFERENCE: [row(2.0, x=0.0, rss=1000)],
            FAIR0: [row(3.6, x=0.4, rss=1000)],
            FAIR1: [row(3.0, x=0.0, rss=1000)],
            BEAT0: [row(beat0_cpu - 0.4, x=0.4, rss=rss)],
            BEAT1: [row(beat1_cpu, x=0.0, rss=rss)],
        }

    def cg(self, icon, display=10000, repaint=100000):
        return {"update_app_icon_per_call": icon, "update_display_per_call": display, "repaint_per_beat": repaint}

    def test_every_target_judged_where_it_applies(self):
        running = {
            "510x150": self.setup_rows(4.4),
            "1020x300": self.setup_rows(4.0),
            "2040x600": self.setup_rows(4.0, beat1_cpu=3.3),
            "510x150 scale 2": self.setup_rows(40.0),
            "510x150 desktop": self.setup_rows(40.0),
        }
        startup = {REFERENCE: {"frame_ms": [20.0, 22.0, 30.0]}, BEAT0: {"frame_ms": [24.0, 25.0, 26.0]}}
        cg = {"510x150": self.cg(0.1e6), "2040x600": self.cg(0.1e6)}
        found = {what: (value, limit) for what, value, limit, _ in measure.targets(running, startup, cg)}
        expected = {
            "CPU+X, beat 0 + icon / fair floor at 510 x 150": (1.1, 1.15),
            "CPU+X, beat 0 + icon / fair floor at 1020 x 300": (1.0, 1.15),
            "CPU+X, beat 0 + icon / fair floor at 2040 x 600": (1.0, 1.15),
            "CPU+X, beat 1 + icon / fair floor at 510 x 150": (1.0, 1.15),
            "CPU+X, beat 1 + icon / fair floor at 1020 x 300": (1.0, 1.15),
            "CPU+X, beat 1 + icon / fair floor at 2040 x 600": (1.1, 1.15),
            "VmHWM, beat 0 + icon / floor at 510 x 150": (1.0, 1.1),
            "VmHWM, beat 1 + icon / floor at 510 x 150": (1.0, 1.1),
            "first frame (opening pattern), kivra / floor": (25.0 / 22.0, 1.2),
            "UpdateAppIcon at 510 x 150, instructions": (0.1e6, 0.15e6),
            "UpdateAppIcon at 2040 x 600, instructions": (0.1e6, 0.15e6),
            "UpdateDisplay + repaint at 510 x 150, instr.": (0.11e6, 0.6e6),
        }
        for size in ("510 x 150", "1020 x 300", "2040 x 600"):
            for beat in ("beat 0", "beat 1"):
                expected[f"RssAnon, {beat} + icon / floor at {size}"] = (1.0, 1.3)
        self.assertEqual(sorted(found), sorted(expected))
        for what, (value, limit) in expected.items():
            with self.subTest(what):
                self.assertAlmostEqual(found[what][0], value)
                self.assertEqual(found[what][1], limit)
        self.assertTrue(measure.passed(measure.targets(running, startup, cg)))

    def test_cpu_is_judged_against_the_fair_floor_of_the_same_beat(self):
        # Against the floor, or the other beat's fair floor, each would pass or fail the other way.
        rows = self.setup_rows(beat0_cpu=4.8, beat1_cpu=3.6)
        rows[FAIR0] = [row(4.0, x=1.0)]
        rows[FAIR1] = [row(3.0, x=0.0)]
        found = {what: value for what, value, _, _ in measure.targets({"1020x300": rows}, None, None)}
        self.assertAlmostEqual(found["CPU+X, beat 0 + icon / fair floor at 1020 x 300"], 4.8 / 5.0)
        self.assertAlmostEqual(found["CPU+X, beat 1 + icon / fair floor at 1020 x 300"], 3.6 / 3.0)

    def test_one_target_over_its_limit_fails_the_run(self):
        cases = [
            # what is changed, the failing targets
            ({"510x150": self.setup_rows(4.7)}, None, ["CPU+X, beat 0 + icon / fair floor at 510 x 150"]),
            ({"1020x300": self.setup_rows(4.7)}, None, ["CPU+X, beat 0 + icon / fair floor at 1020 x 300"]),
            ({"2040x600": self.setup_rows(4.0, beat1_cpu=3.5)}, None,
             ["CPU+X, beat 1 + icon / fair floor at 2040 x 600"]),
            ({"1020x300": self.setup_rows(rss=1400)}, None,
             ["RssAnon, beat 0 + icon / floor at 1020 x 300", "RssAnon, beat 1 + icon / floor at 1020 x 300"]),
            (None, {"1020x300": self.cg(0.16e6)}, ["UpdateAppIcon at 1020 x 300, instructions"]),
        ]
        for running, cg, failing in cases:
            with self.subTest(failing[0]):
                found = measure.targets(running, None, cg)
                self.assertFalse(measure.passed(found))
                self.assertEqual([w for w, v, l, _ in found if v > l], failing)

    def test_nothing_measured_judges_nothing(self):
        self.assertEqual(measure.targets(None, None, None), [])
        self.assertTrue(measure.passed([]))


if __name__ == "__main__":
    unittest.main()
