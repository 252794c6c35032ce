#!/usr/bin/env python3
"""Measures what a running Kivra costs, side by side with xclock and two
plain Qt programs with the clock's timer, and checks the targets: the floor
only reads the local time every 100 ms as Kivra does; the fair floor also
does the clock's visible work on the clock's beat (repaints the squares of
its face that changed and sets a 128 x 128 window icon).

Three phases, each optional:
  start-up   exec to the first frame on screen (the fixed opening pattern),
             and for kivra also to the current time shown (its first beat),
             each program alone on a fresh Xvfb, the programs taken in turn
             so drift hits them alike;
  running    the floor, the fair floor at beat 0 and at beat 1, kivra at
             beat 0 and kivra at beat 1 (both with the dock icon on), and
             xclock where the window is 510 x 150, at the same time, each on its own Xvfb, counted over the same
             window: CPU of all threads, the CPU of each program's X server,
             context switches, VmHWM and RssAnon; at each window size, at
             QT_SCALE_FACTOR=2, and on a desktop (each program with its own
             openbox and tint2 taskbar, whose CPU is counted too); in rounds;
  callgrind  kivra at beat 0 with the dock icon on under callgrind, at each
             window size: instructions per UpdateDisplay (without the dock
             icon), per repaint of the window, and per UpdateAppIcon,
             counted in a steady stretch.
"""

import argparse
import dataclasses
import json
import os
import re
import shutil
import subprocess
import sys
import time

import callgrind
from kivrabench import (Desktop, Sandbox, XServer, fail, fair_floor_binary, firstframe_binary,
                        kivra_binary, machine_description, median, read_counters, reference_binary,
                        require_tools, stop, wait_for_window, window_icon_size, window_size)

SIZES = ((510, 150), (1020, 300), (2040, 600))
SMALL = SIZES[0]

# CPU ratios count each program's X server (and, on the desktop, its window
# manager and taskbar): without shared memory the server copies the pixels.
# The CPU targets are set against the fair floor of the same beat, memory
# against the floor.
TARGETS = {
    "cpu_beat0": 1.15,           # beat 0 + icon / fair floor at beat 0, every size
    "cpu_beat1": 1.15,           # beat 1 + icon / fair floor at beat 1, every size
    "rss_anon": 1.3,             # every size
    "vmhwm": 1.1,                # at 510 x 150
    "startup": 1.2,              # to the first frame
    "icon_instructions": 0.15e6,  # every size
    "display_instructions": 0.6e6,  # at 510 x 150
}

UPDATE_DISPLAY = "kivra::WinMain::UpdateDisplay("
UPDATE_APP_ICON = "kivra::WinMain::UpdateAppIcon()"
REPAINT = "QWidgetRepaintManager::paintAndFlush()"
# Deep enough to reach UpdateDisplay from a repaint made inside it.
REPAINT_CALLERS = 60

REFERENCE, BEAT0, BEAT1, XCLOCK = "reference", "kivra beat 0", "kivra beat 1", "xclock"
FAIR0, FAIR1 = "fair beat 0", "fair beat 1"
# The fair floor that does what each clock does: it draws on the clock's beat.
FAIR_FLOOR = {BEAT0: FAIR0, BEAT1: FAIR1}
ICON_SIZE = (128, 128)


def size_name(size):
    return f"{size[0]}x{size[1]}"


def parse_sizes(text):
    """'510x150,2040x600' -> ((510, 150), (2040, 600))."""
    sizes = []
    for part in text.split(","):
        m = re.fullmatch(r"\s*(\d+)x(\d+)\s*", part)
        if not m or int(m.group(1)) < 1 or int(m.group(2)) < 1:
            raise ValueError(f"not a size WIDTHxHEIGHT: {part!r}")
        sizes.append((int(m.group(1)), int(m.group(2))))
    return tuple(dict.fromkeys(sizes))


@dataclasses.dataclass(frozen=True)
class Setup:
    """Where a round runs: the window's size (in Qt's units), Qt's scale
    factor, and whether each program gets a window manager and a taskbar."""
    width: int = 510
    height: int = 150
    scale: int = 1
    desktop: bool = False

    @property
    def size(self):
        return (self.width, self.height)

    @property
    def name(self):
        name = size_name(self.size)
        if self.scale != 1:
            name += f" scale {self.scale}"
        if self.desktop:
            name += " desktop"
        return name

    def screen(self):
        """A screen with room for the window: the clock keeps itself within it."""
        return (f"{max(1600, self.width * self.scale + 200)}x"
                f"{max(1200, self.height * self.scale + 200)}x24")

    def env(self):
        return {"QT_SCALE_FACTOR": str(self.scale)} if self.scale != 1 else {}

    def programs(self):
        """xclock keeps its own size, so it stands beside the others only
        where the window has the clock's default size and no scaling."""
        names = [REFERENCE, FAIR0, FAIR1, BEAT0, BEAT1]
        if self.size == SMALL and self.scale == 1:
            names.insert(0, XCLOCK)
        return names


def setups(sizes, scale=True, desktop=True):
    result = [Setup(w, h) for w, h in sizes]
    if scale:
        result.append(Setup(*SMALL, scale=2))
    if desktop:
        result.append(Setup(*SMALL, desktop=True))
    return result


class Subject:
    """One program as the harness runs it: its command, its window's title,
    whether it is told the window's size and sets a window icon, and, for
    the clock, the settings it starts with."""

    def __init__(self, name, command, title=None, change_mode=None, sized=False, icon=False):
        self.name = name
        self.command = command
        self.title = title
        self.change_mode = change_mode
        self.sized = sized
        self.icon = icon

    @property
    def is_kivra(self):
        return self.change_mode is not None

    def sandbox(self, size=SMALL):
        box = Sandbox(re.sub(r"\W+", "-", self.name))
        if self.is_kivra:
            box.write_clock_settings(self.change_mode, update_icon=True, size=size)
        return box

    def command_in(self, box, size=SMALL):
        """The command, with kivra run from the sandbox's own copy and the
        floors' windows at the clock's size."""
        if self.is_kivra:
            return [box.private_kivra(self.command[0]), *self.command[1:]]
        if self.sized:
            return [*self.command, "--size", size_name(size)]
        return self.command


def subjects(kivra, reference, fair_floor):
    return {
        XCLOCK: Subject(XCLOCK, ["xclock", "-update", "1"]),
        REFERENCE: Subject(REFERENCE, [reference], title="Kivra reference", sized=True),
        FAIR0: Subject(FAIR0, [fair_floor, "--beat", "0"], title="Kivra fair floor", sized=True, icon=True),
        FAIR1: Subject(FAIR1, [fair_floor, "--beat", "1"], title="Kivra fair floor", sized=True, icon=True),
        BEAT0: Subject(BEAT0, [kivra], title="Kivra", change_mode=0, icon=True),
        BEAT1: Subject(BEAT1, [kivra], title="Kivra", change_mode=1, icon=True),
    }


def log(message):
    print(message, file=sys.stderr, flush=True)


def parse_firstframe(text):
    """The helper's line 'map_ms=.. frame_ms=.. [change_ms=..] window=..'
    as numbers in ms; None when it has no map_ms and frame_ms."""
    values = dict(re.findall(r"(\w+_ms)=([\d.]+)", text))
    if "map_ms" not in values or "frame_ms" not in values:
        return None
    return {k: float(v) for k, v in values.items()}


def first_frame(subject, helper):
    server = XServer()
    box = subject.sandbox()
    # A clock opens on a fixed pattern; the time itself comes with a later drawing.
    until_change = ["--until-change"] if subject.is_kivra else []
    try:
        out = subprocess.run([helper, "--timeout", "30", *until_change, "--", *subject.command_in(box)],
                             env=box.env(server.display), capture_output=True, text=True, timeout=60)
        figures = parse_firstframe(out.stdout)
        if out.returncode != 0 or not figures or (until_change and "change_ms" not in figures):
            raise RuntimeError(f"{subject.name}: no first frame: {out.stderr.strip()}")
        return figures
    finally:
        server.close()
        box.remove()


def measure_startup(programs, runs):
    helper = firstframe_binary()
    order = [XCLOCK, REFERENCE, BEAT0]
    results = {name: {"map_ms": [], "frame_ms": [], "change_ms": []} for name in order}
    for run in range(runs):
        log(f"start-up run {run + 1}/{runs}")
        for name in order:
            for key, value in first_frame(programs[name], helper).items():
                results[name][key].append(value)
    return results


def delta(before, after, seconds):
    per_hour = 3600.0 / seconds
    per_minute = 60.0 / seconds
    return {
        "cpu_s_per_h": (after.cpu_ns - before.cpu_ns) / 1e9 * per_hour,
        "voluntary_per_min": (after.voluntary - before.voluntary) * per_minute,
        "involuntary_per_min": (after.involuntary - before.involuntary) * per_minute,
        "vm_hwm_kb": after.vm_hwm_kb,
        "rss_anon_kb": after.rss_anon_kb,
        "rss_shmem_kb": after.rss_shmem_kb,
        "threads_lost": len(before.threads - after.threads),
    }


# What runs beside each program and is counted with it, by the key of its CPU.
HELPERS = ("x_cpu_s_per_h", "wm_cpu_s_per_h", "panel_cpu_s_per_h")


def cpu_with_x(row):
    """CPU of the program and of what runs for it alone: its X server and,
    on the desktop, its window manager and taskbar."""
    return row["cpu_s_per_h"] + sum(row.get(key, 0.0) for key in HELPERS)


class Running:
    """One program started for a round, with what it runs on."""

    def __init__(self, subject, setup):
        self.subject = subject
        self.server = XServer(setup.screen())
        self.box = subject.sandbox(setup.size)
        self.desktop = None
        self.process = None
        try:
            if setup.desktop:
                self.desktop = Desktop(self.server, self.box)
            self.process = subprocess.Popen(subject.command_in(self.box, setup.size),
                                            env=self.box.env(self.server.display, setup.env()),
                                            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                            stderr=subprocess.DEVNULL)
        except BaseException:
            self.close()
            raise

    def pids(self):
        """Program first, then its helpers in the order of HELPERS."""
        pids = [self.process.pid, self.server.pid]
        if self.desktop:
            pids += [self.desktop.wm.pid, self.desktop.panel.pid]
        return pids

    def close(self):
        if self.process is not None:
            status = stop(self.process)
            if status not in (0, None) and self.subject.is_kivra:
                log(f"warning: {self.subject.name} exited with {status} when asked to quit")
        if self.desktop:
            self.desktop.close()
        self.server.close()
        self.box.remove()


def check_window(run, setup):
    """The program shows its window at the size asked for, in the server's
    pixels: a clock that kept itself smaller would flatter its figures; and
    one that sets an icon has set a 128 x 128 one."""
    subject = run.subject
    if subject.title is None:
        return
    window = wait_for_window(run.server, run.process.pid, subject.title, 5)
    if not window:
        raise RuntimeError(f"{subject.name} shows no window titled {subject.title}")
    expected = (setup.width * setup.scale, setup.height * setup.scale)
    shown = window_size(run.server, window)
    if shown != expected:
        raise RuntimeError(f"{subject.name} at {setup.name}: window is {shown[0]} x {shown[1]},"
                           f" not {expected[0]} x {expected[1]}")
    if subject.icon:
        icon = window_icon_size(run.server, window)
        if icon != ICON_SIZE:
            raise RuntimeError(f"{subject.name} at {setup.name}: window icon is {icon}, not {ICON_SIZE}")


def measure_round(programs, setup, seconds, warmup):
    running = []
    try:
        for name in setup.programs():
            running.append(Running(programs[name], setup))
        time.sleep(warmup)
        for run in running:
            if run.process.poll() is not None:
                raise RuntimeError(f"{run.subject.name} ended during the warm-up with {run.process.returncode}")
        before = [[read_counters(pid) for pid in run.pids()] for run in running]
        start = time.monotonic()
        time.sleep(seconds)
        after = [[read_counters(pid) for pid in run.pids()] for run in running]
        elapsed = time.monotonic() - start
        result = {}
        for run, b, a in zip(running, before, after):
            if run.process.poll() is not None:
                raise RuntimeError(f"{run.subject.name} ended while measured with {run.process.returncode}")
            row = delta(b[0], a[0], elapsed)
            for key, hb, ha in zip(HELPERS, b[1:], a[1:]):
                row[key] = delta(hb, ha, elapsed)["cpu_s_per_h"]
            # The server sleeps between requests: each of its wake-ups is one
            # the program caused.
            row["x_voluntary_per_min"] = delta(b[1], a[1], elapsed)["voluntary_per_min"]
            check_window(run, setup)
            result[run.subject.name] = row
        return result
    finally:
        for run in running:
            run.close()


def measure_running(programs, setup_list, rounds, seconds, warmup):
    """Rounds outermost, so that a drift of the machine's load meets every
    setup alike."""
    results = {setup.name: {name: [] for name in setup.programs()} for setup in setup_list}
    for n in range(rounds):
        for setup in setup_list:
            log(f"running round {n + 1}/{rounds} at {setup.name}: {seconds:g} s,"
                f" {len(setup.programs())} programs at once")
            for name, row in measure_round(programs, setup, seconds, warmup).items():
                results[setup.name][name].append(row)
    return results


def measure_callgrind(kivra, size, seconds, warmup, keep=None):
    setup = Setup(*size)
    server = XServer(setup.screen())
    box = Sandbox("callgrind")
    box.write_clock_settings(0, update_icon=True, size=size)
    out_file = os.path.join(box.root, "callgrind.out")
    log_file = os.path.join(box.root, "valgrind.log")
    try:
        with open(log_file, "wb") as valgrind_log:
            process = subprocess.Popen(
                ["valgrind", "--tool=callgrind", f"--callgrind-out-file={out_file}",
                 f"--separate-callers{REPAINT_CALLERS}={REPAINT}", box.private_kivra(kivra)],
                env=box.env(server.display), stdin=subprocess.DEVNULL,
                stdout=valgrind_log, stderr=subprocess.STDOUT)
        try:
            if not wait_for_window(server, process.pid, "Kivra", 180):
                raise RuntimeError("kivra under callgrind showed no window: see " + log_file)
            # The first beats come about 2 s after the timer starts, slower
            # under valgrind; what the first icon allocates is start-up cost.
            time.sleep(warmup)
            control(process.pid, "-z")
            time.sleep(seconds)
            control(process.pid, "-d")
            dump = out_file + ".1"
            deadline = time.monotonic() + 60
            while not os.path.exists(dump) and time.monotonic() < deadline:
                time.sleep(0.2)
            time.sleep(1)  # the dump is written in one go, but let it finish
            profile = callgrind.parse(dump)
            if keep:
                shutil.copyfile(dump, keep)
        finally:
            stop(process, grace=60)
        return callgrind_figures(profile, seconds)
    finally:
        server.close()
        box.remove()


def control(pid, flag):
    out = subprocess.run(["callgrind_control", flag, str(pid)], capture_output=True, text=True, timeout=60)
    if out.returncode != 0 or "OK" not in out.stdout:
        raise RuntimeError(f"callgrind_control {flag} {pid}: {out.stdout.strip()} {out.stderr.strip()}")


def callgrind_figures(profile, seconds):
    displays = profile.find("^" + re.escape(UPDATE_DISPLAY))
    if len(displays) != 1:
        raise RuntimeError(f"expected one UpdateDisplay in the profile, found {displays}")
    display = displays[0]
    n_display = profile.calls(display)
    n_icon = profile.calls(UPDATE_APP_ICON)
    if n_display == 0 or n_icon == 0:
        raise RuntimeError(f"no beats in the profile (UpdateDisplay {n_display}, UpdateAppIcon {n_icon} calls)")
    # Each repaint is profiled with its chain of callers. Wherever it ran
    # (later from the event loop, or inside UpdateAppIcon, which sends the
    # window's pending repaint before the icon), it is the window's repaint:
    # it is taken out of the function it ran in and counted as such.
    repaint_total = repaint_in_icon = repaint_in_display = 0
    n_repaint = n_inside = 0
    for name in profile.find("^" + re.escape(REPAINT)):
        callers = name[len(REPAINT):]
        cost, calls = profile.inclusive(name), profile.calls(name)
        repaint_total += cost
        n_repaint += calls
        if UPDATE_APP_ICON in callers:
            repaint_in_icon += cost
            n_inside += calls
        elif UPDATE_DISPLAY in callers:
            repaint_in_display += cost
            n_inside += calls
    icon_in_display = profile.arc_cost(display, UPDATE_APP_ICON)
    display_only = (profile.inclusive(display) - icon_in_display - repaint_in_display) / n_display
    return {
        "seconds": seconds,
        "update_display_calls": n_display,
        "update_app_icon_calls": n_icon,
        "repaint_calls": n_repaint,
        "repaint_calls_inside": n_inside,
        "update_display_per_call": display_only,
        "repaint_per_beat": repaint_total / n_display,
        "repaint_per_call": repaint_total / n_repaint if n_repaint else 0.0,
        "update_app_icon_per_call": (profile.inclusive(UPDATE_APP_ICON) - repaint_in_icon) / n_icon,
        "process_per_beat": profile.total() / n_display,
    }


RATIO_KEYS = {
    "cpu": lambda row: row["cpu_s_per_h"],
    "cpu_with_x": cpu_with_x,
    "vm_hwm": lambda row: row["vm_hwm_kb"],
    "rss_anon": lambda row: row["rss_anon_kb"],
}


def round_ratios(rows, name, base, key):
    """Each round's own ratio of `name` to `base`: the programs of a round
    shared the same stretch of the machine."""
    value = RATIO_KEYS[key]
    return [value(a) / value(b) for a, b in zip(rows[name], rows[base])]


def targets(running, startup, cg):
    """(what, measured, limit, unit) of every target the figures allow."""
    found = []

    def ratio(what, rows, name, base, key, limit):
        found.append((what, median(round_ratios(rows, name, base, key)), limit, "x"))

    for setup_name, rows in (running or {}).items():
        m = re.fullmatch(r"(\d+)x(\d+)", setup_name)
        if not m:
            continue  # scaled and desktop setups are reported, not judged
        size = (int(m.group(1)), int(m.group(2)))
        at = f"at {size[0]} x {size[1]}"
        for name, beat, target in ((BEAT0, "beat 0", "cpu_beat0"), (BEAT1, "beat 1", "cpu_beat1")):
            ratio(f"CPU+X, {beat} + icon / fair floor {at}", rows, name, FAIR_FLOOR[name], "cpu_with_x",
                  TARGETS[target])
        for name, beat in ((BEAT0, "beat 0"), (BEAT1, "beat 1")):
            ratio(f"RssAnon, {beat} + icon / floor {at}", rows, name, REFERENCE, "rss_anon", TARGETS["rss_anon"])
        if size == SMALL:
            for name, beat in ((BEAT0, "beat 0"), (BEAT1, "beat 1")):
                ratio(f"VmHWM, {beat} + icon / floor {at}", rows, name, REFERENCE, "vm_hwm", TARGETS["vmhwm"])

    if startup:
        kivra = median(startup[BEAT0]["frame_ms"])
        found.append(("first frame (opening pattern), kivra / floor",
                      kivra / median(startup[REFERENCE]["frame_ms"]), TARGETS["startup"], "x"))

    for name, figures in (cg or {}).items():
        w, h = name.split("x")
        found.append((f"UpdateAppIcon at {w} x {h}, instructions",
                      figures["update_app_icon_per_call"], TARGETS["icon_instructions"], "M"))
        if (int(w), int(h)) == SMALL:
            found.append((f"UpdateDisplay + repaint at {w} x {h}, instr.",
                          figures["update_display_per_call"] + figures["repaint_per_beat"],
                          TARGETS["display_instructions"], "M"))
    return found


def passed(found):
    return all(value <= limit for _, value, limit, _ in found)


def spread(values, fmt):
    if not values:
        return "-"
    return f"{fmt.format(min(values))} / {fmt.format(median(values))}"


def verdict(value, limit):
    return "PASS" if value <= limit else "FAIL"


def base_label(base):
    return {REFERENCE: "floor", FAIR0: "fair floor", FAIR1: "fair floor"}.get(base, base)


def ratio_rows(rows):
    """(program, base) of each ratio printed: each clock against the floor,
    the fair floor of its beat and xclock; each fair floor against the
    floor, which is what the drawing itself costs."""
    pairs = []
    for name in (BEAT0, BEAT1):
        pairs += [(name, base) for base in (REFERENCE, FAIR_FLOOR[name], XCLOCK)]
    pairs += [(FAIR0, REFERENCE), (FAIR1, REFERENCE)]
    return [(name, base) for name, base in pairs if name in rows and base in rows]


def report_running(add, setup_name, rows, seconds):
    desktop = setup_name.endswith("desktop")
    n = len(next(iter(rows.values())))
    add("")
    where = "each with its own Xvfb, openbox and tint2" if desktop else "each on its own Xvfb"
    add(f"Running at {setup_name}, {seconds:g} s per round, {n} round(s), {len(rows)} at once, {where} (min / median)")
    columns = [("CPU s/h", "cpu_s_per_h", "{:.2f}", 1.0), ("Xvfb CPU s/h", "x_cpu_s_per_h", "{:.2f}", 1.0)]
    if desktop:
        columns += [("openbox s/h", "wm_cpu_s_per_h", "{:.2f}", 1.0), ("tint2 s/h", "panel_cpu_s_per_h", "{:.2f}", 1.0)]
    columns += [("vol. cs/min", "voluntary_per_min", "{:.0f}", 1.0),
                ("invol. cs/min", "involuntary_per_min", "{:.0f}", 1.0),
                ("Xvfb cs/min", "x_voluntary_per_min", "{:.0f}", 1.0),
                ("VmHWM MB", "vm_hwm_kb", "{:.1f}", 1 / 1024), ("RssAnon MB", "rss_anon_kb", "{:.1f}", 1 / 1024),
                ("RssShmem MB", "rss_shmem_kb", "{:.1f}", 1 / 1024)]
    add(f"{'program':<14}" + "".join(f" {title:>13}" for title, *_ in columns))
    for name, program_rows in rows.items():
        cells = [spread([r[key] * scale for r in program_rows], fmt) for _, key, fmt, scale in columns]
        add(f"{name:<14}" + "".join(f" {cell:>13}" for cell in cells))
    lost = [name for name, program_rows in rows.items() if any(r["threads_lost"] for r in program_rows)]
    if lost:
        add(f"(a thread of {', '.join(lost)} ended while measured: its CPU in the window is not counted)")

    with_x = "CPU+X+openbox+tint2" if desktop else "CPU with its Xvfb"
    add(f"Ratios at {setup_name}, median of the rounds' own ratios (min - max)")
    add(f"{'':<26} {'CPU':>18} {with_x:>19} {'VmHWM':>18} {'RssAnon':>18}")
    for name, base in ratio_rows(rows):
        label = f"{name} / {base_label(base)}"
        cells = []
        for key in ("cpu", "cpu_with_x", "vm_hwm", "rss_anon"):
            v = round_ratios(rows, name, base, key)
            cells.append(f"{median(v):.2f} ({min(v):.2f}-{max(v):.2f})")
        add(f"{label:<26} {cells[0]:>18} {cells[1]:>19} {cells[2]:>18} {cells[3]:>18}")


def report(machine, startup, running, cg, args):
    lines = []
    add = lines.append
    add("Machine: {nproc} CPUs, {cpu}, {memory}, Qt {qt}, Linux {kernel}".format(**machine))
    add("The floor is the reference program: a Qt window of the same size that reads the local time"
        " every 100 ms as kivra does.")
    add("The fair floor does that too, and on the clock's beat (fair beat 0: every second, fair beat 1:"
        " every 4 s) repaints the squares of its face that changed and sets a 128 x 128 window icon.")

    for setup_name, rows in (running or {}).items():
        report_running(add, setup_name, rows, args.seconds)

    if startup:
        runs = len(next(iter(startup.values()))["frame_ms"])
        add("")
        add(f"Start-up at 510 x 150, {runs} run(s) each on a fresh Xvfb (ms from exec, min / median)")
        add("  first frame: the first drawing, for kivra its fixed opening pattern;")
        add("  current time shown: kivra's first beat, when the pattern gives way to the time (about 2 s)")
        add(f"{'program':<14} {'mapped':>15} {'first frame':>15} {'current time':>15}")
        for name, r in startup.items():
            add(f"{name:<14} {spread(r['map_ms'], '{:.1f}'):>15} {spread(r['frame_ms'], '{:.1f}'):>15}"
                f" {spread(r['change_ms'], '{:.0f}'):>15}")
        kivra = median(startup[BEAT0]["frame_ms"])
        add(f"first frame: kivra / floor {kivra / median(startup[REFERENCE]['frame_ms']):.2f}, "
            f"kivra / xclock {kivra / median(startup[XCLOCK]['frame_ms']):.2f} (medians)")

    for name, figures in (cg or {}).items():
        w, h = name.split("x")
        add("")
        add(f"Instructions under callgrind, kivra beat 0 + icon at {w} x {h}, {figures['seconds']:g} s steady")
        add(f"  UpdateDisplay calls {figures['update_display_calls']}, UpdateAppIcon calls"
            f" {figures['update_app_icon_calls']}, window repaints {figures['repaint_calls']}")
        add(f"  UpdateDisplay without the icon     {figures['update_display_per_call'] / 1e6:8.3f} M per call")
        add(f"  repaint of the window              {figures['repaint_per_beat'] / 1e6:8.3f} M per beat"
            f" ({figures['repaint_per_call'] / 1e6:.3f} M per repaint)")
        add(f"  UpdateAppIcon                      {figures['update_app_icon_per_call'] / 1e6:8.3f} M per call")
        add(f"  whole process                      {figures['process_per_beat'] / 1e6:8.3f} M per beat"
            " (polls, timers and X included)")
        if figures["repaint_calls_inside"]:
            add(f"  ({figures['repaint_calls_inside']} of the repaints ran inside UpdateDisplay or UpdateAppIcon;"
                " they count as repaints, not there)")

    found = targets(running, startup, cg)
    if found:
        add("")
        add("Targets (CPU+X: the program and its own X server, against the fair floor of the same beat;"
            " ratios measured in this run)")
        add(f"{'target':<48} {'measured':>10} {'limit':>10} {'ratio':>7}  result")
        for what, value, limit, unit in found:
            if unit == "M":
                shown, bound = f"{value / 1e6:.3f} M", f"{limit / 1e6:.2f} M"
            else:
                shown, bound = f"{value:.2f} x", f"{limit:.2f} x"
            add(f"{what:<48} {shown:>10} {bound:>10} {value / limit:>7.2f}  {verdict(value, limit)}")
    return "\n".join(lines), found


EPILOG = """\
The full run (the defaults) takes about 20 minutes: three rounds of 65 s at
each of five setups (510x150, 1020x300, 2040x600, 510x150 at
QT_SCALE_FACTOR=2, 510x150 on a desktop), start-ups, and callgrind at each
size. A quick check that everything runs:
  --rounds 1 --seconds 5 --warmup 3 --startup-runs 1 --callgrind-seconds 4 --sizes 510x150
Targets are judged only on what was measured; a CPU ratio target needs its
size in --sizes. The CPU targets are set against the fair floor
(kivra-fair-floor --beat 0|1), which draws on the clock's beat; memory
against the floor (kivra-reference)."""


def main():
    parser = argparse.ArgumentParser(description=__doc__, epilog=EPILOG,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--rounds", type=int, default=3, help="rounds of the running phase (3)")
    parser.add_argument("--seconds", type=float, default=60, help="measured seconds per round and setup (60)")
    parser.add_argument("--warmup", type=float, default=5, help="seconds before a round is measured (5)")
    parser.add_argument("--sizes", default=",".join(size_name(s) for s in SIZES),
                        help="window sizes for the running phase and callgrind (%(default)s)")
    parser.add_argument("--startup-runs", type=int, default=5, help="start-ups per program (5)")
    parser.add_argument("--callgrind-seconds", type=float, default=20,
                        help="steady seconds under callgrind, per size (20)")
    parser.add_argument("--skip", action="append", default=[],
                        choices=["startup", "running", "callgrind", "scale", "desktop"],
                        help="leave a phase, or the scaled or desktop setup of the running phase, out (repeatable)")
    parser.add_argument("--json", help="also write the raw figures to this file")
    parser.add_argument("--callgrind-out", help="keep the steady profile here, for callgrind_annotate"
                        " (with several sizes: the name gets .WIDTHxHEIGHT)")
    args = parser.parse_args()
    if args.rounds < 1 or args.seconds <= 0 or args.startup_runs < 1:
        fail("rounds, seconds and start-up runs must be positive")
    try:
        sizes = parse_sizes(args.sizes)
    except ValueError as error:
        fail(str(error))

    setup_list = setups(sizes, scale="scale" not in args.skip, desktop="desktop" not in args.skip)
    tools = ["Xvfb", "xclock", "xdotool", "xprop"]
    if "running" not in args.skip and "desktop" not in args.skip:
        tools += ["openbox", "tint2"]
    if "callgrind" not in args.skip:
        tools += ["valgrind", "callgrind_control"]
    require_tools(tools)
    programs = subjects(kivra_binary(), reference_binary(), fair_floor_binary())
    if "startup" not in args.skip:
        firstframe_binary()

    machine = machine_description()
    try:
        startup = None if "startup" in args.skip else measure_startup(programs, args.startup_runs)
        running = None if "running" in args.skip else measure_running(
            programs, setup_list, args.rounds, args.seconds, args.warmup)
        cg = None
        if "callgrind" not in args.skip:
            cg = {}
            for size in sizes:
                log(f"callgrind: kivra beat 0 + icon at {size_name(size)}, {args.callgrind_seconds:g} s")
                keep = args.callgrind_out
                if keep and len(sizes) > 1:
                    keep = f"{keep}.{size_name(size)}"
                cg[size_name(size)] = measure_callgrind(programs[BEAT0].command[0], size, args.callgrind_seconds,
                                                        warmup=10, keep=keep)
    except RuntimeError as error:
        fail(str(error))

    text, found = report(machine, startup, running, cg, args)
    print(text)
    if args.json:
        with open(args.json, "w", encoding="utf-8") as f:
            json.dump({"machine": machine, "startup": startup, "running": running, "callgrind": cg,
                       "targets": [{"what": w, "value": v, "limit": l} for w, v, l, _ in found]}, f, indent=1)
    return 0 if passed(found) else 1


if __name__ == "__main__":
    sys.exit(main())
