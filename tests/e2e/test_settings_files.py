"""What stands at the settings path, and what the disk does to a save.

Each case runs the real clock over a real file system: a link followed into a
dotfiles folder, things that are no file (a FIFO, a folder, a socket, a
private null device, links that lead nowhere), a two-gigabyte file, a full
disk, a folder named in bytes that are no UTF-8, and kills in the middle of
saves. In every case the clock shows its window promptly, says at most once
that it could not read its settings, ends within seconds of SIGTERM, writes
nothing outside its preferences folder, leaves the file whole and a person's
files beside it as they were.

The start-up box "couldn't read preferences File" is a dialog window titled
Kivra; the cases count such boxes and press Return in each.
"""

import ctypes
import errno
import os
import random
import signal
import socket
import stat
import subprocess
import sys
import time
import unittest

from kivra_e2e import (DEFAULT_SETTINGS, OWN_TEMPORARY, PERSONS_FILES, SETTINGS_FILE, ClockTestCase, parse_settings,
                       persons_files_changed, put_persons_files, settings_value)

# The window (or the box before it) comes within this many seconds.
WINDOW_WITHIN = 3.0
# The clock ends within this many seconds of SIGTERM.
QUIT_WITHIN = 5.0
# Reading a large file whole would take far more; the clock itself needs far less.
LARGEST_PEAK_MEMORY = 512 * 1024 * 1024

WRITE_FAILED = "couldn't write preferences File"

# Settings that differ from the defaults, so that a file written from defaults
# is told apart from the one the case put there.
SETTINGS = dict(DEFAULT_SETTINGS, **{"WinMain.Width": 612, "WinMain.Height": 180, "24HrMode": True})
# What the clock saves after the case's change ("Change every Minute").
CHANGED = dict(SETTINGS, ChangeMode=2)


def settings_text(values, extra=()):
    """A settings file as the clock writes it, with `extra` entries after its own."""
    def text(key, value):
        if isinstance(value, bool):
            return "True" if value else "False"
        if key.startswith("Color"):
            return "&h%08X" % value
        return str(value)
    entries = [(k, text(k, v)) for k, v in values.items()] + list(extra)
    body = "".join(f"\n\t<key>{k}</key>\n\t\n\t<string>{v}</string>\n\t" for k, v in entries)
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<!DOCTYPE plist PUBLIC "-//Apple Computer//DTD PLIST 1.0//EN" '
            '"http://www.apple.com/DTDs/PropertyList-1.0.dtd">\n'
            f'<plist version="1.0">\n<dict>{body}</dict>\n</plist>\n\n').encode()


def whole_settings(data):
    """The typed settings of a whole file of the clock's, or None."""
    raw = parse_settings(data.decode("utf-8", errors="replace"))
    if set(raw) != set(DEFAULT_SETTINGS) or not data.endswith(b"</plist>\n\n"):
        return None
    try:
        return {k: settings_value(k, v) for k, v in raw.items()}
    except ValueError:
        return None


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def write_bytes(path, data, mode=0o600):
    with open(path, "wb") as f:
        f.write(data)
    os.chmod(path, mode)


def snapshot(root, skip):
    """Everything under `root` but the paths in `skip`, as (type, inode, size,
    mtime, device, link) by path: whatever is written there shows."""
    skip = {os.fsencode(p) for p in skip}
    out = {}
    for folder, dirs, files in os.walk(os.fsencode(root)):
        dirs[:] = [d for d in dirs if os.path.join(folder, d) not in skip]
        for name in dirs + files:
            path = os.path.join(folder, name)
            if path in skip or name.startswith(b"kivra-") and name.endswith(b".log"):
                continue
            st = os.lstat(path)
            link = os.readlink(path) if stat.S_ISLNK(st.st_mode) else None
            out[path] = (stat.S_IFMT(st.st_mode), st.st_ino, st.st_size, st.st_mtime_ns, st.st_rdev, link)
    return out


def standing(path):
    """What stands at a path, told apart well enough to see it was not replaced."""
    try:
        st = os.lstat(path)
    except FileNotFoundError:
        return None
    link = os.readlink(path) if stat.S_ISLNK(st.st_mode) else None
    return stat.S_IFMT(st.st_mode), st.st_ino, st.st_rdev, link


def peak_memory(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) * 1024
    return 0


def require_root(what):
    if os.geteuid() != 0:
        raise unittest.SkipTest(f"{what} needs root")


_private_mounts = False


def enter_private_mount_namespace():
    """Moves this test process (and the clocks it starts) into a mount
    namespace of its own, so that its mounts are seen by nobody else and go
    with it."""
    global _private_mounts
    if _private_mounts:
        return
    require_root("a mount namespace of the test's own")
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.unshare(0x00020000) != 0:  # CLONE_NEWNS
        raise unittest.SkipTest("unshare(CLONE_NEWNS): " + os.strerror(ctypes.get_errno()))
    subprocess.run(["mount", "--make-rprivate", "/"], check=True)
    _private_mounts = True


# The kinds of thing at the settings path. Each make() puts its thing there
# (and may add paths to `owned`, which the case checks itself); readable ones
# hold SETTINGS.

def make_regular_file(case, home, path, owned):
    write_bytes(path, settings_text(SETTINGS))


def make_link_into_dotfiles(case, home, path, owned):
    dotfiles = os.path.join(home, "dotfiles")
    os.mkdir(dotfiles)
    write_bytes(os.path.join(dotfiles, "kivra.plist"), settings_text(SETTINGS), mode=0o644)
    os.symlink(os.path.join(dotfiles, "kivra.plist"), path)
    owned.append(dotfiles)


def check_link_into_dotfiles(case, home, path):
    dotfiles = os.path.join(home, "dotfiles")
    target = os.path.join(dotfiles, "kivra.plist")
    case.assertEqual(os.readlink(path), target, "the link was replaced")
    case.assertEqual(os.listdir(dotfiles), ["kivra.plist"], "a temporary file was left in the dotfiles folder")
    st = os.lstat(target)
    case.assertTrue(stat.S_ISREG(st.st_mode))
    case.assertEqual(stat.S_IMODE(st.st_mode), 0o644, "the target lost its permissions")
    case.assertEqual(whole_settings(read_bytes(target)), CHANGED, "the change was not saved in the target")


def make_null_device(case, home, path, owned):
    require_root("mknod")
    os.mknod(os.path.join(home, "null"), 0o666 | stat.S_IFCHR, os.makedev(1, 3))
    os.symlink(os.path.join(home, "null"), path)


def make_fifo(case, home, path, owned):
    os.mkfifo(path, 0o600)


def make_folder(case, home, path, owned):
    os.makedirs(os.path.join(path, "inside"))
    write_bytes(os.path.join(path, "inside", "kept"), b"kept")


def check_folder(case, home, path):
    case.assertEqual(read_bytes(os.path.join(path, "inside", "kept")), b"kept")


def make_socket(case, home, path, owned):
    with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as s:
        s.bind(path)


def make_dangling_link(case, home, path, owned):
    os.symlink(os.path.join(home, "nowhere", "kivra.plist"), path)


def make_looping_link(case, home, path, owned):
    os.symlink(SETTINGS_FILE, path)


TWO_GB = 2 * 1024 * 1024 * 1024


def make_sparse_file(case, home, path, owned):
    write_bytes(path, settings_text(SETTINGS))
    os.truncate(path, TWO_GB)


def check_sparse_file(case, home, path):
    st = os.stat(path)
    case.assertEqual(st.st_size, TWO_GB)
    case.assertLess(st.st_blocks * 512, 1024 * 1024, "the file was filled in")


# (name, make, readable, check of what is at the path afterwards)
CASES = (
    ("regular file", make_regular_file, True, None),
    ("link to a regular file in a dotfiles folder", make_link_into_dotfiles, True, check_link_into_dotfiles),
    ("link to a private null device", make_null_device, False, None),
    ("FIFO", make_fifo, False, None),
    ("folder", make_folder, False, check_folder),
    ("socket", make_socket, False, None),
    ("dangling link", make_dangling_link, False, None),
    ("looping link", make_looping_link, False, None),
    ("two-gigabyte sparse file", make_sparse_file, False, check_sparse_file),
)


class SettingsFiles(ClockTestCase):

    def kivra_windows(self, clock):
        """(boxes, other windows) among the process's visible windows titled Kivra."""
        found = self.server.xdotool("search", "--all", "--onlyvisible", "--pid", clock.process.pid,
                                    "--name", "^Kivra$", check=False).split()
        boxes, others = [], []
        for window in found:
            kind = self.server.run("xprop", "-id", window, "_NET_WM_WINDOW_TYPE", check=False).stdout
            (boxes if b"_NET_WM_WINDOW_TYPE_DIALOG" in kind else others).append(window)
        return boxes, others

    def dismiss(self, box):
        # A real key press: one sent to the window alone leaves Qt's keyboard
        # state behind, and the context menu then takes no keys.
        self.server.xdotool("windowfocus", box, "sleep", 0.05, "key", "Return", check=False)

    def open_past_boxes(self, clock):
        """Waits for the clock window, pressing Return in every box that comes
        first; returns the number of boxes."""
        seen = set()
        deadline = time.monotonic() + WINDOW_WITHIN
        while True:
            if clock.process.poll() is not None:
                self.fail(f"kivra ended with {clock.process.returncode} before its window: {clock.output()}")
            boxes, others = self.kivra_windows(clock)
            if set(boxes) - seen:
                deadline = time.monotonic() + WINDOW_WITHIN
            seen.update(boxes)
            # A box that has only just appeared may miss the first press.
            for box in boxes:
                self.dismiss(box)
            if others and not boxes:
                clock.window = others[0]
                return len(seen)
            if time.monotonic() > deadline:
                self.fail(f"no window within {WINDOW_WITHIN} s: {clock.output()}")
            time.sleep(0.1)

    def terminate(self, clock):
        """SIGTERM, pressing Return in every box until the clock ends;
        returns (exit status, number of boxes)."""
        clock.process.send_signal(signal.SIGTERM)
        seen = set()
        deadline = time.monotonic() + QUIT_WITHIN
        while clock.process.poll() is None:
            if time.monotonic() > deadline:
                self.fail(f"kivra did not end within {QUIT_WITHIN} s of SIGTERM: {clock.output()}")
            boxes, _ = self.kivra_windows(clock)
            seen.update(boxes)
            for box in boxes:
                self.dismiss(box)
            time.sleep(0.1)
        return clock.process.returncode, len(seen)

    def test_every_thing_at_the_settings_path(self):
        for name, make, readable, check in CASES:
            with self.subTest(thing=name):
                self.check_thing(make, readable, check)

    def check_thing(self, make, readable, check):
        home = self.new_home()
        config = os.path.join(home, "config")
        os.makedirs(config, mode=0o700)
        path = os.path.join(config, SETTINGS_FILE)
        owned = [config, os.path.join(home, "runtime")]
        make(self, home, path, owned)
        persons = put_persons_files(config)
        outside = snapshot(home, owned)
        before = standing(path)

        clock = self.launch(home=home)
        boxes = self.open_past_boxes(clock)
        self.assertEqual(boxes, 0 if readable else 1, "boxes at the start")
        self.assertLess(peak_memory(clock.process.pid), LARGEST_PEAK_MEMORY, "the start took too much memory")
        clock.choose("Change every Minute")
        status, boxes = self.terminate(clock)
        self.assertEqual(status, 0, clock.output())
        self.assertEqual(boxes, 0, "boxes at the end")

        self.assertEqual(snapshot(home, owned), outside, "something outside the preferences folder was written")
        self.assertEqual(persons_files_changed(config, persons), [], "a person's file beside the settings was touched")
        self.assertEqual(sorted(os.listdir(config)), sorted([SETTINGS_FILE, *PERSONS_FILES]),
                         "the preferences folder holds more than the file and the person's files")
        if readable and check is None:
            self.assertTrue(stat.S_ISREG(os.lstat(path).st_mode))
            self.assertEqual(whole_settings(read_bytes(path)), CHANGED, "the change was not saved")
        else:
            self.assertEqual(standing(path), before, "the thing at the settings path was replaced")
        if check:
            check(self, home, path)

    def test_a_full_disk_keeps_the_old_file_and_says_so(self):
        enter_private_mount_namespace()
        config = os.path.join(self.home, "config")
        os.makedirs(config, mode=0o700)
        subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k,mode=0700", "kivra-full", config], check=True)
        self.addCleanup(subprocess.run, ["umount", "-l", config], check=False)
        path = os.path.join(config, SETTINGS_FILE)
        old = settings_text(SETTINGS)
        write_bytes(path, old)
        filler = os.open(os.path.join(config, "filler"), os.O_WRONLY | os.O_CREAT, 0o600)
        try:
            while True:
                os.write(filler, b"f" * 4096)
        except OSError as e:
            self.assertEqual(e.errno, errno.ENOSPC)
        finally:
            os.close(filler)
        outside = snapshot(self.home, [config, os.path.join(self.home, "runtime")])

        clock = self.launch()
        self.assertEqual(self.open_past_boxes(clock), 0, "boxes at the start")
        clock.choose("Change every Minute")
        status, boxes = self.terminate(clock)
        # A save that fails at a signal may be told on standard error instead of
        # in a box that nobody may be there to press.
        told = clock.output().count(WRITE_FAILED)
        self.assertGreaterEqual(status, 0, "kivra was killed by a signal: " + clock.output())
        self.assertEqual(boxes + told, 1, "the failed save was not reported once: " + clock.output())
        self.assertEqual(read_bytes(path), old, "the old settings did not survive the full disk")
        self.assertEqual(sorted(os.listdir(config)), [SETTINGS_FILE, "filler"], "a temporary file was left")
        self.assertEqual(snapshot(self.home, [config, os.path.join(self.home, "runtime")]), outside)

    def test_a_folder_named_in_bytes_that_are_no_utf8(self):
        home = os.path.join(self.home, os.fsdecode(b"h\xff\xfe\xc3("))
        os.mkdir(home)
        clock = self.launch(home=home)
        self.assertEqual(self.open_past_boxes(clock), 0, "boxes at the start")
        self.assertEqual(whole_settings(read_bytes(clock.settings_path)), DEFAULT_SETTINGS,
                         "the first start did not write the defaults")
        clock.choose("Change every Minute")
        status, boxes = self.terminate(clock)
        self.assertEqual(status, 0, clock.output())
        self.assertEqual(boxes, 0, "boxes at the end")
        self.assertEqual(whole_settings(read_bytes(clock.settings_path)), dict(DEFAULT_SETTINGS, ChangeMode=2))
        self.assertEqual(os.listdir(os.fsencode(self.home)), [os.fsencode(os.path.basename(home))],
                         "something was written beside the folder")

    def test_kills_during_saves_leave_a_whole_file_and_no_leftovers(self):
        path = os.path.join(self.home, "config", SETTINGS_FILE)
        config = os.path.dirname(path)
        os.makedirs(config, mode=0o700)
        persons = put_persons_files(config)
        # The entry that the clock does not keep tells the old file from a new one.
        old = settings_text(SETTINGS, extra=[("Kept until a save", "yes")])
        rng = random.Random(13)
        saw_new = left = 0
        for kill in range(25):
            write_bytes(path, old)
            clock = self.launch()
            time.sleep(rng.uniform(0.0, 0.4))
            clock.process.send_signal(signal.SIGTERM)
            time.sleep(rng.uniform(0.0, 0.03))
            clock.close()
            data = read_bytes(path)
            if data != old:
                self.assertIsNotNone(whole_settings(data), f"after kill {kill} the file is not whole: {data!r}")
                saw_new += 1
            # A kill between naming the temporary file and its rename leaves it;
            # the next start removes it. Nothing else of the clock's may stay.
            extra = set(os.listdir(config)) - {SETTINGS_FILE, *PERSONS_FILES}
            self.assertTrue(all(OWN_TEMPORARY.fullmatch(name) for name in extra),
                            f"after kill {kill} the folder holds {sorted(extra)}")
            left += len(extra)
            self.assertEqual(persons_files_changed(config, persons), [], f"kill {kill} touched a person's file")
        print(f"{saw_new} of 25 kills came after a save, {left} left a temporary file", flush=True)

        # A temporary file as a killed save leaves it goes at the next start; the
        # person's files, the old temporary names among them, stay byte for byte.
        write_bytes(os.path.join(config, "." + SETTINGS_FILE + ".kivra-tmp-Xy12Zq"), old[:100])
        clock = self.launch()
        self.assertEqual(self.open_past_boxes(clock), 0, "boxes at the start")
        self.assertEqual(sorted(os.listdir(config)), sorted([SETTINGS_FILE, *PERSONS_FILES]),
                         "the start did not remove what killed saves left, or removed more")
        status, boxes = self.terminate(clock)
        self.assertEqual((status, boxes), (0, 0), clock.output())
        self.assertIsNotNone(whole_settings(read_bytes(path)))
        self.assertEqual(persons_files_changed(config, persons), [], "a person's file beside the settings was touched")

    def test_a_start_during_another_instances_save_leaves_that_save_whole(self):
        """Another instance writing its save holds a lock on its temporary
        file; a clock that starts and quits meanwhile leaves that file alone,
        and removes it once nothing holds it."""
        config = os.path.join(self.home, "config")
        os.makedirs(config, mode=0o700)
        write_bytes(os.path.join(config, SETTINGS_FILE), settings_text(SETTINGS))
        temporary = os.path.join(config, "." + SETTINGS_FILE + ".kivra-tmp-Sav1ng")
        half = settings_text(CHANGED)[:300]
        # A process of its own, as the other instance is.
        saver = subprocess.Popen(
            [sys.executable, "-c",
             "import fcntl, os, sys\n"
             "fd = os.open(sys.argv[1], os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o600)\n"
             "fcntl.flock(fd, fcntl.LOCK_EX)\n"
             "os.write(fd, sys.stdin.buffer.read(int(sys.argv[2])))\n"
             "print('writing', flush=True)\n"
             "sys.stdin.read()\n",
             temporary, str(len(half))],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE)

        def kill_saver():
            saver.kill()
            saver.wait()
            saver.stdin.close()
            saver.stdout.close()
        self.addCleanup(kill_saver)
        saver.stdin.write(half)
        saver.stdin.flush()
        self.assertEqual(saver.stdout.readline(), b"writing\n", "the other save did not start")
        before = os.lstat(temporary)

        clock = self.launch()
        self.assertEqual(self.open_past_boxes(clock), 0, "boxes at the start")
        clock.choose("Change every Minute")
        status, boxes = self.terminate(clock)
        self.assertEqual((status, boxes), (0, 0), clock.output())
        self.assertEqual(whole_settings(read_bytes(os.path.join(config, SETTINGS_FILE))), CHANGED)
        self.assertTrue(os.path.exists(temporary), "the other instance's save was removed")
        self.assertEqual(read_bytes(temporary), half, "the other instance's save was touched")
        self.assertEqual(os.lstat(temporary).st_ino, before.st_ino, "the other instance's save was replaced")

        # That instance is killed before it renames: its file is a leftover now.
        kill_saver()
        clock = self.launch()
        self.assertEqual(self.open_past_boxes(clock), 0, "boxes at the start")
        self.assertEqual(os.listdir(config), [SETTINGS_FILE], "the start kept a save that nobody writes any more")
        self.assertEqual(self.terminate(clock), (0, 0), clock.output())

if __name__ == "__main__":
    unittest.main()
