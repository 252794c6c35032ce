"""Checks of how the harness turns a profile into figures per beat:
python3 -m unittest discover bench/harness"""

import unittest

import callgrind
import measure

DISPLAY = measure.UPDATE_DISPLAY + "kivra::framework::Ref<kivra::framework::Date>)"
ICON = measure.UPDATE_APP_ICON
REPAINT = measure.REPAINT


class CallgrindFigures(unittest.TestCase):
    def profile(self):
        """Two beats. Each sends the window's repaint from inside
        UpdateAppIcon; one more repaint runs inside UpdateDisplay itself and
        one later from the event loop. Names of repaints carry their callers."""
        p = callgrind.Profile()
        in_icon = f"{REPAINT}'QCoreApplication::sendPostedEvents(QObject*, int)'{ICON}'{DISPLAY}'loop"
        in_display = f"{REPAINT}'{DISPLAY}'loop"
        later = f"{REPAINT}'QWidget::event(QEvent*)'loop"
        p.self_cost.update({"loop": 10, DISPLAY: 100, ICON: 700, in_icon: 300, in_display: 40, later: 50})
        p.arcs[("loop", DISPLAY)] = [2, 1140]
        p.arcs[(DISPLAY, ICON)] = [2, 1000]
        p.arcs[(ICON, in_icon)] = [2, 300]
        p.arcs[(DISPLAY, in_display)] = [1, 40]
        p.arcs[("loop", later)] = [1, 50]
        p.totals = 1200
        return p

    def test_a_repaint_counts_as_the_window_repaint_wherever_it_ran(self):
        figures = measure.callgrind_figures(self.profile(), 20)
        expected = {
            "update_display_calls": 2,
            "update_app_icon_calls": 2,
            "repaint_calls": 4,
            "repaint_calls_inside": 3,
            "update_display_per_call": (1140 - 1000 - 40) / 2,
            "update_app_icon_per_call": (1000 - 300) / 2,
            "repaint_per_beat": (300 + 40 + 50) / 2,
            "repaint_per_call": (300 + 40 + 50) / 4,
            "process_per_beat": 1200 / 2,
        }
        for key, value in expected.items():
            with self.subTest(key):
                self.assertAlmostEqual(figures[key], value)

    def test_no_beats_is_an_error(self):
        p = callgrind.Profile()
        p.self_cost[DISPLAY] = 5
        with self.assertRaises(RuntimeError):
            measure.callgrind_figures(p, 20)


if __name__ == "__main__":
    unittest.main()
