#!/usr/bin/env python3
"""Measures what a running Kivra costs, side by side with xclock and a bare
Qt program that only polls the time every 100 ms, and checks the targets.

Three phases, each optional:
  start-up   exec to the first frame on screen, each program alone on a fresh
             Xvfb, the programs taken in turn so drift hits them alike;
  running    xclock, the reference, kivra at beat 0 and kivra at beat 1 (both
             with the dock icon on) at the same time, each on its own Xvfb,
             counted over the same window: CPU of all threads, the X server's
             CPU, context switches, VmHWM and RssAnon; repeated in rounds;
  callgrind  kivra at beat 0 with the dock icon on under callgrind: instructions
             per UpdateDisplay (without the dock icon), per repaint of the
             window, and per UpdateAppIcon, counted in a steady stretch.
"""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import time

import callgrind
from kivrabench import (Sandbox, XServer, fail, firstframe_binary, kivra_binary,
                        machine_description, median, read_counters,
                        reference_binary, require_tools, stop, wait_for_window)

TARGETS = {
    "cpu_beat0": 1.4,
    "cpu_beat1": 1.1,
    "startup": 1.2,
    "vmhwm": 1.1,
    "icon_instructions": 1.2e6,
    "display_instructions": 0.6e6,
}

UPDATE_DISPLAY = "kivra::WinMain::UpdateDisplay("
UPDATE_APP_ICON = "kivra::WinMain::UpdateAppIcon()"
REPAINT = "QWidgetRepaintManager::paintAndFlush()"
# Deep enough to reach UpdateDisplay from a repaint made inside it.
REPAINT_CALLERS = 60


class Subject:
    """One program as the harness runs it: its command and, for the clock,
    the settings it starts with."""

    def __init__(self, name, command, change_mode=None):
        self.name = name
        self.command = command
        self.change_mode = change_mode

    def sandbox(self):
        box = Sandbox(re.sub(r"\W+", "-", self.name))
        if self.change_mode is not None:
            box.write_clock_settings(self.change_mode, update_icon=True)
        return box

    def command_in(self, box):
        """The command, with kivra run from the sandbox's own copy."""
        if self.change_mode is None:
            return self.command
        return [box.private_kivra(self.command[0]), *self.command[1:]]


def subjects():
    kivra = kivra_binary()
    return {
        "xclock": Subject("xclock", ["xclock", "-update", "1"]),
        "reference": Subject("reference", [reference_binary()]),
        "kivra beat 0": Subject("kivra beat 0", [kivra], change_mode=0),
        "kivra beat 1": Subject("kivra beat 1", [kivra], change_mode=1),
    }


def log(message):
    print(message, file=sys.stderr, flush=True)


def first_frame(subject, helper):
    server = XServer()
    box = subject.sandbox()
    try:
        out = subprocess.run([helper, "--timeout", "30", "--", *subject.command_in(box)],
                             env=box.env(server.display), capture_output=True, text=True, timeout=60)
        m = re.search(r"map_ms=([\d.]+) frame_ms=([\d.]+)", out.stdout)
        if out.returncode != 0 or not m:
            raise RuntimeError(f"{subject.name}: no first frame: {out.stderr.strip()}")
        return float(m.group(1)), float(m.group(2))
    finally:
        server.close()
        box.remove()


def measure_startup(programs, runs):
    helper = firstframe_binary()
    order = ["xclock", "reference", "kivra beat 0"]
    results = {name: {"map_ms": [], "frame_ms": []} for name in order}
    for run in range(runs):
        log(f"start-up run {run + 1}/{runs}")
        for name in order:
            mapped, frame = first_frame(programs[name], helper)
            results[name]["map_ms"].append(mapped)
            results[name]["frame_ms"].append(frame)
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
        "threads_lost": len(before.threads - after.threads),
    }


def measure_round(programs, seconds, warmup):
    running = []
    try:
        for subject in programs.values():
            server = XServer()
            box = subject.sandbox()
            process = subprocess.Popen(subject.command_in(box), env=box.env(server.display),
                                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            running.append((subject, server, box, process))
        time.sleep(warmup)
        for subject, _, _, process in running:
            if process.poll() is not None:
                raise RuntimeError(f"{subject.name} ended during the warm-up with {process.returncode}")
        before = [(read_counters(p.pid), read_counters(s.pid)) for _, s, _, p in running]
        start = time.monotonic()
        time.sleep(seconds)
        after = [(read_counters(p.pid), read_counters(s.pid)) for _, s, _, p in running]
        elapsed = time.monotonic() - start
        result = {}
        for (subject, server, _, process), (b, bx), (a, ax) in zip(running, before, after):
            if process.poll() is not None:
                raise RuntimeError(f"{subject.name} ended while measured with {process.returncode}")
            row = delta(b, a, elapsed)
            row["x_cpu_s_per_h"] = delta(bx, ax, elapsed)["cpu_s_per_h"]
            if subject.change_mode is not None and not wait_for_window(server, process.pid, "Kivra", 5):
                raise RuntimeError(f"{subject.name} shows no window titled Kivra")
            result[subject.name] = row
        return result
    finally:
        for subject, server, box, process in running:
            status = stop(process)
            if status not in (0, None) and subject.change_mode is not None:
                log(f"warning: {subject.name} exited with {status} when asked to quit")
            server.close()
            box.remove()


def measure_running(programs, rounds, seconds, warmup):
    results = {name: [] for name in programs}
    for n in range(rounds):
        log(f"running round {n + 1}/{rounds}: {seconds:g} s, all four at once")
        for name, row in measure_round(programs, seconds, warmup).items():
            results[name].append(row)
    return results


def measure_callgrind(kivra, seconds, warmup, keep=None):
    server = XServer()
    box = Sandbox("callgrind")
    box.write_clock_settings(0, update_icon=True)
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


def spread(values, fmt):
    if not values:
        return "-"
    return f"{fmt.format(min(values))} / {fmt.format(median(values))}"


def verdict(value, limit):
    return "PASS" if value <= limit else "FAIL"


def report(machine, startup, running, cg, args):
    lines = []
    add = lines.append
    add("Machine: {nproc} CPUs, {cpu}, {memory}, Qt {qt}, Linux {kernel}".format(**machine))
    targets = []

    if running:
        n = len(next(iter(running.values())))
        add("")
        add(f"Running, {args.seconds:g} s per round, {n} round(s), all four at once on their own Xvfb (min / median)")
        head = f"{'program':<14} {'CPU s/h':>15} {'Xvfb CPU s/h':>15} {'vol. cs/min':>15} {'invol. cs/min':>15} {'VmHWM MB':>15} {'RssAnon MB':>15}"
        add(head)
        for name, rows in running.items():
            col = lambda key, fmt, scale=1.0: spread([r[key] * scale for r in rows], fmt)
            add(f"{name:<14} {col('cpu_s_per_h', '{:.2f}'):>15} {col('x_cpu_s_per_h', '{:.2f}'):>15}"
                f" {col('voluntary_per_min', '{:.0f}'):>15} {col('involuntary_per_min', '{:.0f}'):>15}"
                f" {col('vm_hwm_kb', '{:.1f}', 1 / 1024):>15} {col('rss_anon_kb', '{:.1f}', 1 / 1024):>15}")
        lost = [name for name, rows in running.items() if any(r["threads_lost"] for r in rows)]
        if lost:
            add(f"(a thread of {', '.join(lost)} ended while measured: its CPU in the window is not counted)")

        add("")
        add("Ratios, median of the rounds' own ratios (min - max)")
        add(f"{'':<28} {'CPU':>20} {'CPU with Xvfb':>20} {'VmHWM':>20}")

        def ratios(a, b, key):
            if key == "both":
                vals = [(x["cpu_s_per_h"] + x["x_cpu_s_per_h"]) / (y["cpu_s_per_h"] + y["x_cpu_s_per_h"])
                        for x, y in zip(running[a], running[b])]
            else:
                vals = [x[key] / y[key] for x, y in zip(running[a], running[b])]
            return vals

        for a in ("kivra beat 0", "kivra beat 1"):
            for b in ("reference", "xclock"):
                cells = []
                for key in ("cpu_s_per_h", "both", "vm_hwm_kb"):
                    v = ratios(a, b, key)
                    cells.append(f"{median(v):.2f} ({min(v):.2f}-{max(v):.2f})")
                add(f"{a + ' / ' + b:<28} {cells[0]:>20} {cells[1]:>20} {cells[2]:>20}")
        targets.append(("CPU/h, kivra beat 0 + icon / reference", median(ratios("kivra beat 0", "reference", "cpu_s_per_h")), TARGETS["cpu_beat0"], "x"))
        targets.append(("CPU/h, kivra beat 1 + icon / reference", median(ratios("kivra beat 1", "reference", "cpu_s_per_h")), TARGETS["cpu_beat1"], "x"))
        targets.append(("VmHWM, kivra beat 0 + icon / reference", median(ratios("kivra beat 0", "reference", "vm_hwm_kb")), TARGETS["vmhwm"], "x"))
        targets.append(("VmHWM, kivra beat 1 + icon / reference", median(ratios("kivra beat 1", "reference", "vm_hwm_kb")), TARGETS["vmhwm"], "x"))

    if startup:
        runs = len(next(iter(startup.values()))["frame_ms"])
        add("")
        add(f"Start-up, exec to first frame, {runs} run(s) each on a fresh Xvfb (ms, min / median)")
        add(f"{'program':<14} {'mapped':>15} {'first frame':>15}")
        for name, r in startup.items():
            add(f"{name:<14} {spread(r['map_ms'], '{:.1f}'):>15} {spread(r['frame_ms'], '{:.1f}'):>15}")
        kivra = median(startup["kivra beat 0"]["frame_ms"])
        add(f"kivra / reference {kivra / median(startup['reference']['frame_ms']):.2f}, "
            f"kivra / xclock {kivra / median(startup['xclock']['frame_ms']):.2f} (medians)")
        targets.append(("start-up to first frame, kivra / reference",
                        kivra / median(startup["reference"]["frame_ms"]), TARGETS["startup"], "x"))

    if cg:
        add("")
        add(f"Instructions under callgrind, kivra beat 0 + icon at 510 x 150, {cg['seconds']:g} s steady")
        add(f"  UpdateDisplay calls {cg['update_display_calls']}, UpdateAppIcon calls {cg['update_app_icon_calls']},"
            f" window repaints {cg['repaint_calls']}")
        add(f"  UpdateDisplay without the icon     {cg['update_display_per_call'] / 1e6:8.3f} M per call")
        add(f"  repaint of the window              {cg['repaint_per_beat'] / 1e6:8.3f} M per beat"
            f" ({cg['repaint_per_call'] / 1e6:.3f} M per repaint)")
        add(f"  UpdateAppIcon                      {cg['update_app_icon_per_call'] / 1e6:8.3f} M per call")
        add(f"  whole process                      {cg['process_per_beat'] / 1e6:8.3f} M per beat"
            " (polls, timers and X included)")
        if cg["repaint_calls_inside"]:
            add(f"  ({cg['repaint_calls_inside']} of the repaints ran inside UpdateDisplay or UpdateAppIcon;"
                " they count as repaints, not there)")
        targets.append(("UpdateAppIcon at 510 x 150, instructions",
                        cg["update_app_icon_per_call"], TARGETS["icon_instructions"], "M"))
        targets.append(("UpdateDisplay + its repaint, instructions",
                        cg["update_display_per_call"] + cg["repaint_per_beat"], TARGETS["display_instructions"], "M"))

    if targets:
        add("")
        add(f"{'target':<46} {'measured':>10} {'limit':>10} {'ratio':>7}  result")
        for what, value, limit, unit in targets:
            if unit == "M":
                shown, bound = f"{value / 1e6:.3f} M", f"{limit / 1e6:.1f} M"
            else:
                shown, bound = f"{value:.2f} x", f"{limit:.2f} x"
            add(f"{what:<46} {shown:>10} {bound:>10} {value / limit:>7.2f}  {verdict(value, limit)}")
    return "\n".join(lines), targets


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--rounds", type=int, default=3, help="rounds of the running phase (3)")
    parser.add_argument("--seconds", type=float, default=60, help="measured seconds per round (60)")
    parser.add_argument("--warmup", type=float, default=5, help="seconds before a round is measured (5)")
    parser.add_argument("--startup-runs", type=int, default=5, help="start-ups per program (5)")
    parser.add_argument("--callgrind-seconds", type=float, default=20, help="steady seconds under callgrind (20)")
    parser.add_argument("--skip", action="append", default=[], choices=["startup", "running", "callgrind"],
                        help="leave a phase out (repeatable)")
    parser.add_argument("--json", help="also write the raw figures to this file")
    parser.add_argument("--callgrind-out", help="keep the steady profile here, for callgrind_annotate")
    args = parser.parse_args()
    if args.rounds < 1 or args.seconds <= 0 or args.startup_runs < 1:
        fail("rounds, seconds and start-up runs must be positive")

    tools = ["Xvfb", "xclock", "xdotool"]
    if "callgrind" not in args.skip:
        tools += ["valgrind", "callgrind_control"]
    require_tools(tools)
    programs = subjects()
    if "startup" not in args.skip:
        firstframe_binary()

    machine = machine_description()
    try:
        startup = None if "startup" in args.skip else measure_startup(programs, args.startup_runs)
        running = None if "running" in args.skip else measure_running(programs, args.rounds, args.seconds, args.warmup)
        if "callgrind" in args.skip:
            cg = None
        else:
            log(f"callgrind: kivra beat 0 + icon, {args.callgrind_seconds:g} s")
            cg = measure_callgrind(programs["kivra beat 0"].command[0], args.callgrind_seconds, warmup=10,
                                   keep=args.callgrind_out)
    except RuntimeError as error:
        fail(str(error))

    text, targets = report(machine, startup, running, cg, args)
    print(text)
    if args.json:
        with open(args.json, "w", encoding="utf-8") as f:
            json.dump({"machine": machine, "startup": startup, "running": running, "callgrind": cg,
                       "targets": [{"what": w, "value": v, "limit": l} for w, v, l, _ in targets]}, f, indent=1)
    return 0 if all(v <= l for _, v, l, _ in targets) else 1


if __name__ == "__main__":
    sys.exit(main())
