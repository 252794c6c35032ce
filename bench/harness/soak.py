#!/usr/bin/env python3
"""Runs kivra at beat 0 with the dock icon on under Xvfb for a given time,
works its context menu, a rotation, a colour change and a zoom step once a
minute as a user would with xdotool, and follows its memory (RssAnon).

Passes when RssAnon at the end is no more than 256 kB above its value at the
end of the first minute, and every action had its visible effect.
"""

import argparse
import os
import subprocess
import sys
import time

from kivrabench import (Sandbox, XServer, fail, kivra_binary, require_tools,
                        rss_anon_kb, stop, vm_hwm_kb, wait_for_window, window_pixel)

GROWTH_LIMIT_KB = 256
# Where the actions start within each minute; the first minute's samples
# therefore include one round of every action and what it allocates once.
DRIVE_AT = 10.0
# Two background colours the colour change switches between.
BACKGROUNDS = (0x203040, 0x000000)


class Clock:
    def __init__(self, server, box, binary):
        self.server = server
        self.log_path = os.path.join(box.root, "kivra.log")
        with open(self.log_path, "wb") as log:
            self.process = subprocess.Popen([box.private_kivra(binary)], env=box.env(server.display), stdin=subprocess.DEVNULL,
                                            stdout=log, stderr=subprocess.STDOUT)
        self.window = wait_for_window(server, self.process.pid, "Kivra", 20)
        if not self.window:
            stop(self.process)
            fail("kivra showed no window: " + self.output())

    def output(self):
        with open(self.log_path, "rb") as f:
            return f.read().decode(errors="replace").strip() or "(kivra printed nothing)"

    def xdotool(self, *args):
        return self.server.xdotool(*args)

    def windows(self):
        return set(self.server.xdotool("search", "--onlyvisible", "--pid", self.process.pid,
                                       check=False).split())

    def geometry(self, window=None):
        out = self.xdotool("getwindowgeometry", "--shell", window or self.window)
        values = dict(line.split("=", 1) for line in out.split())
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def at(self, x, y, *then):
        """Moves the mouse to a point of the clock window and does `then`
        there, in one xdotool run so nothing comes between. (A --sync move
        waits forever when the mouse is already there.)"""
        left, top, _, _ = self.geometry()
        self.xdotool("mousemove", left + x, top + y, *then)

    def new_window(self, action, timeout=5):
        """Does `action` and waits for a window of the clock's to appear."""
        before = self.windows()
        action()
        return poll(lambda: next(iter(self.windows() - before), None), timeout)

    def gone(self, window, timeout=5):
        return poll(lambda: window not in self.windows(), timeout)

    def open_menu(self):
        menu = self.new_window(lambda: self.at(30, 30, "click", "3"))
        if not menu:
            raise Failure("no context menu appeared")
        return menu

    def choose(self, downs):
        """Chooses a context menu entry by keyboard; the separators are
        skipped, so "Colors..." is 2 and "Rotate" 3 presses of Down."""
        menu = self.open_menu()
        self.xdotool("key", "--delay", "20", *(["Down"] * downs), "Return")
        if not self.gone(menu):
            raise Failure("the context menu stayed open")


class Failure(Exception):
    pass


def poll(condition, timeout, interval=0.1):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


def menu_and_escape(clock, minute):
    menu = clock.open_menu()
    clock.xdotool("key", "Escape")
    if not clock.gone(menu):
        raise Failure("Escape left the context menu open")


def rotate(clock, minute):
    _, _, w, h = clock.geometry()
    clock.choose(3)
    if not poll(lambda: clock.geometry()[2:] == (h, w), 5):
        raise Failure(f"Rotate left the window at {clock.geometry()[2:]}, not {(h, w)}")


def change_colour(clock, minute):
    """Colors..., a click on the background well, the new colour typed into
    the picker's HTML field, OK in the picker and OK in Kivra Colors."""
    colour = BACKGROUNDS[minute % 2]
    dialog = clock.new_window(lambda: clock.choose(2))
    if not dialog:
        raise Failure("Colors... opened no window")
    left, top, _, _ = clock.geometry(dialog)
    picker = clock.new_window(lambda: clock.xdotool("mousemove", left + 36, top + 30,
                                                    "mousedown", "1", "sleep", "0.1", "mouseup", "1"))
    if not picker:
        clock.xdotool("key", "Escape")
        raise Failure("the background well opened no colour picker")
    clock.xdotool("key", "alt+h", "ctrl+a")
    clock.xdotool("type", "--delay", "20", f"#{colour:06x}")
    clock.xdotool("key", "Return")
    if not clock.gone(picker):
        raise Failure("the colour picker stayed open")
    clock.xdotool("key", "Return")
    if not clock.gone(dialog):
        raise Failure("Kivra Colors stayed open after OK")
    shown = poll(lambda: window_pixel(clock.server, clock.window, 2, 2) == colour, 3)
    if not shown:
        raise Failure(f"the background is {window_pixel(clock.server, clock.window, 2, 2):06X}, not {colour:06X}")


def zoom(clock, minute):
    """One Alt+wheel step, growing on even minutes and shrinking on odd ones
    so the size stays where it was."""
    before = clock.geometry()[2:]
    clock.at(30, 30, "keydown", "alt", "click", "4" if minute % 2 == 0 else "5")
    changed = poll(lambda: clock.geometry()[2:] != before, 5)
    clock.xdotool("keyup", "alt")
    if not changed:
        raise Failure(f"Alt+wheel left the window at {before}")


ACTIONS = (("context menu", menu_and_escape), ("rotation", rotate),
           ("colour change", change_colour), ("zoom", zoom))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("minutes", nargs="?", type=float, default=10.0, help="how long to run (10)")
    parser.add_argument("--sample", type=float, default=10.0, help="seconds between memory samples (10)")
    args = parser.parse_args()
    if args.minutes < 2 or args.sample <= 0:
        fail("the soak needs at least 2 minutes and a positive sample interval")

    require_tools(["Xvfb", "xdotool", "xwd"])
    binary = kivra_binary()
    server = XServer()
    box = Sandbox("soak")
    box.write_clock_settings(0, update_icon=True)
    clock = Clock(server, box, binary)
    failures = []
    samples = []  # (seconds, RssAnon kB)
    try:
        start = time.monotonic()
        end = start + args.minutes * 60
        next_drive, minute = start + DRIVE_AT, 0
        next_sample = start
        print(f"kivra soak: {args.minutes:g} min, beat 0, dock icon on, display {server.display}", flush=True)
        print(f"{'time':>8} {'RssAnon kB':>11} {'VmHWM kB':>9}", flush=True)
        while True:
            now = time.monotonic()
            if clock.process.poll() is not None:
                raise Failure(f"kivra ended with {clock.process.returncode}: {clock.output()}")
            if now >= next_sample:
                samples.append((now - start, rss_anon_kb(clock.process.pid)))
                print(f"{now - start:7.0f}s {samples[-1][1]:>11} {vm_hwm_kb(clock.process.pid):>9}", flush=True)
                if now >= end:
                    break
                while next_sample <= now:
                    next_sample += args.sample
                next_sample = min(next_sample, end)
            if now >= next_drive and now >= end - 5:
                next_drive = float("inf")  # no round that cannot finish before the end
            elif now >= next_drive:
                for name, action in ACTIONS:
                    try:
                        action(clock, minute)
                    except (Failure, RuntimeError, subprocess.TimeoutExpired) as error:
                        failures.append(f"minute {minute}: {name}: {error}")
                        print(f"  ! {failures[-1]}", flush=True)
                minute += 1
                next_drive = start + DRIVE_AT + 60 * minute
            time.sleep(max(0.0, min(next_sample, next_drive) - time.monotonic()))
    except Failure as error:
        failures.append(str(error))
        print(f"  ! {error}", flush=True)
    finally:
        status = stop(clock.process)
        server.close()
        log = clock.output()
        box.remove()

    base = next((kb for t, kb in samples if t >= 60), None)
    print()
    if base is None or len(samples) < 2:
        print("too few samples to judge")
        return 1
    last = samples[-1][1]
    peak = max(kb for t, kb in samples if t >= 60)
    growth = last - base
    by_minute = {}
    for t, kb in samples:
        by_minute.setdefault(int(t // 60), kb)
    print("RssAnon kB at each minute: " + " ".join(f"{m}:{kb}" for m, kb in sorted(by_minute.items())))
    print(f"RssAnon after the first minute {base} kB, at the end {last} kB, highest since {peak} kB")
    print(f"growth after the first minute: {growth:+d} kB (limit {GROWTH_LIMIT_KB} kB)")
    print(f"actions: {minute} round(s) of context menu, rotation, colour change and zoom; "
          f"{len(failures)} failed")
    if status not in (0, None):
        failures.append(f"kivra exited with {status} when asked to quit: {log}")
        print(f"! {failures[-1]}")
    passed = growth <= GROWTH_LIMIT_KB and not failures
    print("PASS" if passed else "FAIL")
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main())
