"""What the benchmark and soak commands share: finding the programs and
tools, private Xvfb servers (bare, or with a window manager and a
taskbar), the clock's settings file, and the counters of a running process
read from /proc."""

import dataclasses
import os
import re
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, "..", ".."))
SCREEN = "1600x1200x24"

# The tools each command needs, with the Debian package that brings each.
TOOL_PACKAGES = {
    "Xvfb": "xvfb",
    "xclock": "x11-apps",
    "xdotool": "xdotool",
    "xwd": "x11-apps",
    "valgrind": "valgrind",
    "callgrind_control": "valgrind",
    "openbox": "openbox",
    "tint2": "tint2",
    "xprop": "x11-utils",
}


def fail(message):
    print(f"kivra-bench: {message}", file=sys.stderr)
    sys.exit(2)


def require_tools(names):
    missing = [n for n in names if shutil.which(n) is None]
    if missing:
        packages = sorted({TOOL_PACKAGES.get(n, n) for n in missing})
        fail(f"missing tools: {', '.join(missing)} "
             f"(install with: apt-get install {' '.join(packages)})")


def find_program(env_name, candidates, what, how):
    """The first existing executable of `candidates` (paths relative to the
    repository), unless the environment names one."""
    named = os.environ.get(env_name)
    if named:
        if not os.access(named, os.X_OK):
            fail(f"{env_name}={named} is no executable")
        return named
    for path in candidates:
        full = os.path.join(REPO, path)
        if os.access(full, os.X_OK):
            return full
    fail(f"no {what} found (looked for {', '.join(candidates)}; set {env_name}); {how}")


def kivra_binary():
    return find_program("KIVRA_BIN", ["build/bin/kivra"], "kivra binary",
                        "build it with ./run.sh or bench/run.sh")


def reference_binary():
    return find_program("KIVRA_REFERENCE", ["build-bench/reference/kivra-reference",
                                             "build/bin/kivra-reference"],
                        "reference program", "bench/run.sh builds it")


def fair_floor_binary():
    return find_program("KIVRA_FAIR_FLOOR", ["build-bench/reference/kivra-fair-floor",
                                              "build/bin/kivra-fair-floor"],
                        "fair floor program", "bench/run.sh builds it")


def firstframe_binary():
    return find_program("KIVRA_FIRSTFRAME", ["build-bench/tools/kivra-firstframe",
                                              "build/bin/kivra-firstframe"],
                        "kivra-firstframe helper", "bench/run.sh builds it")


SETTINGS_TEMPLATE = """<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple Computer//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
{entries}\t</dict>
</plist>
"""


def settings_text(values):
    entries = "".join(f"\t<key>{k}</key>\n\t\n\t<string>{v}</string>\n" for k, v in values.items())
    return SETTINGS_TEMPLATE.format(entries=entries)


class Sandbox:
    """A home, settings and runtime folder of one program run, removed
    when the run is over."""

    def __init__(self, name):
        self.root = tempfile.mkdtemp(prefix=f"kivra-bench-{name}-")
        self.config = os.path.join(self.root, "config")
        self.runtime = os.path.join(self.root, "runtime")
        os.makedirs(self.config, mode=0o700)
        os.makedirs(self.runtime, mode=0o700)

    def write_clock_settings(self, change_mode, update_icon=True, size=None):
        """Only what is given; everything else takes the clock's default
        (a 510 x 150 window)."""
        values = {"ChangeMode": change_mode, "Update Icon": "True" if update_icon else "False"}
        if size is not None:
            values["WinMain.Width"], values["WinMain.Height"] = size
        with open(os.path.join(self.config, "KivraPrefs.plist"), "w", encoding="utf-8") as f:
            f.write(settings_text(values))

    def private_kivra(self, binary):
        """A copy of the kivra binary of its own, beside a link to the
        build's pictures (share/kivra): a relink of the build's binary while
        it runs rewrites the pages it runs from and kills it."""
        bin_dir = os.path.join(self.root, "kivra", "bin")
        os.makedirs(bin_dir)
        copy = os.path.join(bin_dir, os.path.basename(binary))
        shutil.copy2(binary, copy)
        pictures = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(binary))), "share", "kivra")
        if os.path.isdir(pictures):
            os.makedirs(os.path.join(self.root, "kivra", "share"))
            os.symlink(pictures, os.path.join(self.root, "kivra", "share", "kivra"))
        return copy

    def env(self, display, extra=None):
        env = dict(os.environ, DISPLAY=display, HOME=self.root,
                   XDG_CONFIG_HOME=self.config, XDG_RUNTIME_DIR=self.runtime,
                   XDG_CACHE_HOME=os.path.join(self.root, "cache"),
                   XDG_DATA_HOME=os.path.join(self.root, "data"))
        for name in ("QT_QPA_PLATFORM", "QT_SCALE_FACTOR", "WAYLAND_DISPLAY", "SESSION_MANAGER"):
            env.pop(name, None)
        env.update(extra or {})
        return env

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)


class XServer:
    """A private Xvfb with no window manager; it picks its own display."""

    def __init__(self, screen=SCREEN):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen,
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip().isdigit():
            self.process.kill()
            self.process.wait()
            fail("Xvfb did not start")
        self.display = ":" + number.decode().strip()
        self.pid = self.process.pid

    def run(self, *args, check=True, timeout=30):
        result = subprocess.run([str(a) for a in args], env=dict(os.environ, DISPLAY=self.display),
                                capture_output=True, timeout=timeout)
        if check and result.returncode != 0:
            raise RuntimeError(f"{' '.join(map(str, args))}: {result.stderr.decode().strip()}")
        return result

    def xdotool(self, *args, check=True):
        return self.run("xdotool", *args, check=check).stdout.decode()

    def close(self):
        stop(self.process)


OPENBOX_RC = """<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <desktops><number>1</number></desktops>
</openbox_config>
"""

# A taskbar and nothing else: its cost is what a window's title and icon
# make it do, which is the part a clock adds to a person's desktop.
TINT2_RC = """panel_items = T
panel_size = 100% 30
panel_position = bottom center horizontal
taskbar_mode = single_desktop
task_icon = 1
task_text = 1
task_maximum_size = 150 30
"""


class Desktop:
    """openbox and a tint2 taskbar on one private X server, each from a
    configuration file of its own in the sandbox's folder (never the
    user's)."""

    def __init__(self, server, box):
        self.processes = []
        rc = os.path.join(box.root, "openbox-rc.xml")
        tint2rc = os.path.join(box.root, "tint2rc")
        for path, text in ((rc, OPENBOX_RC), (tint2rc, TINT2_RC)):
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
        env = box.env(server.display)
        try:
            self.wm = self._start(["openbox", "--config-file", rc], env, box, "openbox")
            if not _poll(lambda: "window id" in server.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK",
                                                              check=False).stdout.decode(), 10):
                raise RuntimeError("openbox did not take the screen")
            self.panel = self._start(["tint2", "-c", tint2rc], env, box, "tint2")
            if not _poll(lambda: server.xdotool("search", "--pid", self.panel.pid, check=False).split(), 10):
                raise RuntimeError("tint2 showed no panel")
        except BaseException:
            self.close()
            raise

    def _start(self, command, env, box, name):
        with open(os.path.join(box.root, name + ".log"), "wb") as log:
            process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=log,
                                       stderr=subprocess.STDOUT)
        self.processes.append(process)
        return process

    def close(self):
        for process in reversed(self.processes):
            stop(process)


def _poll(condition, timeout, interval=0.1):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(interval)
    return False


def stop(process, grace=10):
    """Ends a process politely (a clock writes its settings on SIGTERM),
    for good when it does not go in time; returns its exit status."""
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(grace)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
    return process.returncode


def window_size(server, window):
    """(width, height) of a window in the server's pixels."""
    out = server.xdotool("getwindowgeometry", "--shell", window)
    values = dict(line.split("=", 1) for line in out.split())
    return int(values["WIDTH"]), int(values["HEIGHT"])


def parse_icon_size(text):
    """(width, height) of the first icon in xprop's line
    '_NET_WM_ICON=128,128', or None when the window has none."""
    m = re.search(r"_NET_WM_ICON=(\d+),(\d+)\s*$", text)
    return (int(m.group(1)), int(m.group(2))) if m else None


def window_icon_size(server, window):
    """(width, height) of the first icon in the window's _NET_WM_ICON (only
    its first two numbers are read), or None."""
    out = server.run("xprop", "-id", window, "-notype", "-len", "16", "-f", "_NET_WM_ICON", "32c",
                     "=$0,$1\n", "_NET_WM_ICON", check=False)
    return parse_icon_size(out.stdout.decode())


def wait_for_window(server, pid, name, timeout):
    """The id of the process's visible window with the given title, or None."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        out = server.xdotool("search", "--all", "--onlyvisible", "--pid", pid,
                             "--name", f"^{name}$", check=False)
        if out.split():
            return out.split()[0]
        time.sleep(0.2)
    return None


@dataclasses.dataclass
class Counters:
    """What a process has used so far, summed over its threads."""
    cpu_ns: int
    voluntary: int
    involuntary: int
    threads: frozenset
    vm_hwm_kb: int
    rss_anon_kb: int
    rss_shmem_kb: int


def _status_fields(path):
    fields = {}
    with open(path, encoding="ascii") as f:
        for line in f:
            key, _, value = line.partition(":")
            fields[key] = value.split()
    return fields


def read_counters(pid):
    """Counters of a live process. CPU time is the first field of each
    thread's schedstat (ns on a CPU), context switches come per thread from
    its status; memory from the process's status."""
    task_dir = f"/proc/{pid}/task"
    cpu = voluntary = involuntary = 0
    threads = []
    for tid in os.listdir(task_dir):
        try:
            with open(f"{task_dir}/{tid}/schedstat", encoding="ascii") as f:
                cpu += int(f.read().split()[0])
            fields = _status_fields(f"{task_dir}/{tid}/status")
        except (FileNotFoundError, ProcessLookupError):
            continue  # a thread that ended while being read
        voluntary += int(fields["voluntary_ctxt_switches"][0])
        involuntary += int(fields["nonvoluntary_ctxt_switches"][0])
        threads.append(tid)
    fields = _status_fields(f"/proc/{pid}/status")
    return Counters(cpu, voluntary, involuntary, frozenset(threads),
                    int(fields["VmHWM"][0]), int(fields["RssAnon"][0]), int(fields["RssShmem"][0]))


def rss_anon_kb(pid):
    return int(_status_fields(f"/proc/{pid}/status")["RssAnon"][0])


def vm_hwm_kb(pid):
    return int(_status_fields(f"/proc/{pid}/status")["VmHWM"][0])


def median(values):
    return statistics.median(values) if values else float("nan")


def machine_description():
    """The facts the results table is worth nothing without."""
    model = "unknown"
    with open("/proc/cpuinfo", encoding="utf-8", errors="replace") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    with open("/proc/meminfo", encoding="ascii") as f:
        mem_kb = int(f.readline().split()[1])
    qt = "unknown"
    try:
        out = subprocess.run(["dpkg-query", "-W", "-f=${Version}", "libqt6core6"],
                             capture_output=True, text=True, timeout=10)
        if out.returncode == 0 and out.stdout:
            qt = out.stdout.strip()
    except FileNotFoundError:
        pass
    return {
        "nproc": os.cpu_count(),
        "cpu": model,
        "memory": f"{mem_kb / 1024 / 1024:.1f} GiB",
        "qt": qt,
        "kernel": os.uname().release,
    }


def window_pixel(server, window, x, y):
    """0xRRGGBB at (x, y) inside a window, read from xwd's picture of it."""
    xwd = server.run("xwd", "-id", window, "-silent").stdout
    fields = struct.unpack(">25I", xwd[:100])
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, stride = fields[7], fields[11], fields[12]
    masks, ncolors = fields[14:17], fields[19]
    if bits_per_pixel not in (24, 32) or not (0 <= x < width and 0 <= y < height):
        raise RuntimeError(f"xwd: cannot read pixel ({x}, {y}) of a {width} x {height} x {bits_per_pixel} picture")
    size = bits_per_pixel // 8
    at = header_size + 12 * ncolors + y * stride + x * size
    raw = int.from_bytes(xwd[at:at + size], "little" if byte_order == 0 else "big")
    r, g, b = ((raw & m) >> ((m & -m).bit_length() - 1) for m in masks)
    return (r << 16) | (g << 8) | b
