"""Checks of the callgrind reader on small hand-written profiles:
python3 -m unittest discover bench/harness"""

import os
import tempfile
import unittest

import callgrind

PROFILE = """# callgrind format
version: 1
creator: callgrind-3.19.0
cmd:  ./kivra
positions: line
events: Ir Dr
summary: 1000 10

ob=(1) /bin/kivra
fl=(1) main.cpp
fn=(1) main
3 100 1
+2 50 1
cfl=(2) beat.cpp
cfn=(2) Beat(int, int)
calls=2 10
* 700 5
fn=(2)
10 300 1
cfn=(3) Icon()
calls=2 20
11 380 2
cfn=(2)
calls=1 10
12 60 0
fn=(3)
20 380 2
fn=(4) paint()'loop()'main
1 20 0
fn=(4)
2 20 0
totals: 1000 10
"""


class ReadProfile(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        fd, cls.path = tempfile.mkstemp(suffix=".callgrind")
        with os.fdopen(fd, "w") as f:
            f.write(PROFILE)
        cls.profile = callgrind.parse(cls.path)

    @classmethod
    def tearDownClass(cls):
        os.remove(cls.path)

    def test_costs_and_calls(self):
        p = self.profile
        cases = [
            # name, own cost, inclusive cost, calls
            ("main", 150, 850, 0),
            ("Beat(int, int)", 300, 680, 3),
            ("Icon()", 380, 380, 2),
            ("paint()'loop()'main", 40, 40, 0),
        ]
        for name, own, inclusive, calls in cases:
            with self.subTest(name):
                self.assertEqual(p.self_cost[name], own)
                self.assertEqual(p.inclusive(name), inclusive)
                self.assertEqual(p.calls(name), calls)

    def test_arc_cost_and_total(self):
        self.assertEqual(self.profile.arc_cost("Beat(int, int)", "Icon()"), 380)
        self.assertEqual(self.profile.arc_cost("Icon()", "main"), 0)
        self.assertEqual(self.profile.total(), 1000)

    def test_find_matches_names_with_callers(self):
        self.assertEqual(self.profile.find(r"^paint\(\)"), ["paint()'loop()'main"])

    def test_other_event_and_missing_event(self):
        self.assertEqual(callgrind.parse(self.path, event="Dr").self_cost["Icon()"], 2)
        with self.assertRaises(ValueError):
            callgrind.parse(self.path, event="Bc")


if __name__ == "__main__":
    unittest.main()
