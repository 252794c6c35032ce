"""Ending the clock on every path: a signal whatever box, dialog or menu is
up, the X server going away under it, and no display to start on.

A signal ends the clock within seconds like its own Quit: every window closes,
the settings are saved, and a message that would come up as a box while it
ends goes to standard error instead. Losing the display saves the settings
the same way, with no box and no crash. Without a display the clock says so
and ends with status 1, writing nothing.
"""

import hashlib
import os
import signal
import subprocess
import time
import unittest

from kivra_e2e import (KIVRA_BIN, PERSONS_FILES, SETTINGS_FILE, ClockTestCase, persons_files_changed, poll,
                       put_persons_files)

# The clock ends within this many seconds of the signal or of the X server's end.
QUIT_WITHIN = 5.0
SIGNALS = (signal.SIGTERM, signal.SIGINT, signal.SIGHUP)
# The change each case makes before it brings something up, so the saved file
# tells a save at the end from the defaults written at the start.
CHANGED = {"ChangeMode": 2}
WRITE_FAILED = "couldn't write preferences File"
READ_FAILED = "couldn't read preferences File"
# More than the clock reads of a settings file: it counts as unreadable.
UNREADABLE_SIZE = 5 * 1024 * 1024
# The well of the background colour, in the colour window.
BACKGROUND_WELL = (36, 30)


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def tree(root):
    """Every path under root with its kind and size."""
    found = []
    for folder, dirs, files in os.walk(root):
        for name in dirs + files:
            path = os.path.join(folder, name)
            st = os.lstat(path)
            found.append((os.path.relpath(path, root), st.st_mode, st.st_size))
    return sorted(found)


class Shutdown(ClockTestCase):

    def dialogs(self, clock, title="^Kivra$"):
        """The process's visible dialog windows under a title."""
        found = self.server.xdotool("search", "--all", "--onlyvisible", "--pid", clock.process.pid,
                                    "--name", title, check=False).split()
        return [w for w in found
                if b"_NET_WM_WINDOW_TYPE_DIALOG" in
                self.server.run("xprop", "-id", w, "_NET_WM_WINDOW_TYPE", check=False).stdout]

    def wait_dialog(self, clock, title="^Kivra$"):
        found = poll(lambda: clock.process.poll() is None and self.dialogs(clock, title), 5)
        self.assertTrue(found, f"no dialog titled {title} came up: {clock.output()}")
        return found[0]

    def wait_end(self, clock, what):
        status = clock.wait_exit(QUIT_WITHIN)
        self.assertIsNotNone(status, f"kivra did not end within {QUIT_WITHIN} s of {what}: {clock.output()}")
        self.assertGreaterEqual(status, 0, f"kivra was killed by signal {-status}: {clock.output()}")
        return status

    # What each case brings up before the signal. Each gives what the saved
    # settings must then hold (None: the file must not change at all).

    def nothing(self, clock):
        return CHANGED

    def context_menu(self, clock):
        clock.open_menu()
        return CHANGED

    def colour_window(self, clock):
        clock.choose("Colors...")
        self.wait_dialog(clock, "^Kivra Colors$")
        return CHANGED

    def colour_picker(self, clock):
        self.colour_window(clock)
        colours = self.wait_dialog(clock, "^Kivra Colors$")
        self.server.xdotool("windowmove", "--sync", colours, 700, 400)
        # Under a window manager the frame goes there: click from where the
        # window's own area really is.
        left, top = self.server.settled_origin(colours)
        before = set(clock.windows())
        self.server.xdotool("mousemove", left + BACKGROUND_WELL[0], top + BACKGROUND_WELL[1], "click", 1)
        picker = poll(lambda: set(clock.windows()) - before, 5)
        self.assertTrue(picker, "the well opened no colour picker: " + clock.output())
        return CHANGED

    def break_folder(self, clock):
        """Puts a file where the preferences folder stands, so a save fails."""
        config = clock.config
        os.rename(config, config + ".moved")
        with open(config, "wb") as f:
            f.write(b"in the way")
        clock.settings_path = os.path.join(config + ".moved", SETTINGS_FILE)

    def failing_save(self, clock):
        self.break_folder(clock)
        return "told"

    def failed_save_box(self, clock):
        self.break_folder(clock)
        clock.choose("Quit")
        self.wait_dialog(clock)
        return "shown"

    def test_a_signal_ends_the_clock_whatever_is_up(self):
        situations = (self.nothing, self.context_menu, self.colour_window, self.colour_picker,
                      self.failing_save, self.failed_save_box)
        for bring_up in situations:
            for signum in SIGNALS:
                with self.subTest(up=bring_up.__name__, signal=signum.name):
                    self.server = self.new_server()
                    clock = self.start(home=self.new_home())
                    clock.choose("Change every Minute")
                    expected = bring_up(clock)
                    clock.process.send_signal(signum)
                    self.assertEqual(self.wait_end(clock, signum.name), 0, clock.output())
                    if expected == CHANGED:
                        self.assert_settings(clock, CHANGED)
                        self.assertNotIn("kivra: ", clock.output())
                        continue
                    # The save failed: the defaults written at the start stay.
                    self.assert_settings(clock)
                    with open(clock.config, "rb") as f:
                        self.assertEqual(f.read(), b"in the way")
                    told = clock.output().count("kivra: " + WRITE_FAILED)
                    # A box already up was seen; one that comes up after the signal is told.
                    self.assertEqual(told, 1 if expected == "told" else 0, clock.output())

    def launch_over_unreadable_file(self):
        """Starts the clock over a settings file too large to read, with a
        person's backups beside it, and waits for the box that says so; gives
        the clock, the file and its digest."""
        home = self.new_home()
        config = os.path.join(home, "config")
        os.makedirs(config, mode=0o700)
        path = os.path.join(config, SETTINGS_FILE)
        with open(path, "wb") as f:
            f.write(b"<key>Rotation</key><string>1</string>" * (UNREADABLE_SIZE // 37 + 1))
        self.persons = put_persons_files(config)
        clock = self.launch(home=home)
        self.wait_dialog(clock)
        return clock, path, digest(path)

    def assert_unreadable_file_and_backups_kept(self, path, before):
        config = os.path.dirname(path)
        self.assertEqual(digest(path), before, "the unreadable file was replaced")
        self.assertEqual(persons_files_changed(config, self.persons), [], "a person's backup was touched")
        self.assertEqual(sorted(os.listdir(config)), sorted([SETTINGS_FILE, *PERSONS_FILES]))

    def test_a_signal_during_the_unreadable_file_box_leaves_the_file_alone(self):
        for signum in SIGNALS:
            with self.subTest(signal=signum.name):
                clock, path, before = self.launch_over_unreadable_file()
                clock.process.send_signal(signum)
                self.assertEqual(self.wait_end(clock, signum.name), 0, clock.output())
                self.assert_unreadable_file_and_backups_kept(path, before)
                # The box that was up was the one report: the file was not read again.
                self.assertNotIn(READ_FAILED, clock.output())

    def test_losing_the_x_server_saves_the_settings_and_ends_without_a_crash(self):
        for bring_up in (self.nothing, self.context_menu, self.colour_window, self.colour_picker):
            with self.subTest(up=bring_up.__name__):
                self.server = self.new_server()
                clock = self.start(home=self.new_home())
                clock.drag(60, 75, 23, 17)
                self.assertEqual(clock.wait_geometry((33, 57, 510, 150)), (33, 57, 510, 150))
                clock.choose("Change every Minute")
                bring_up(clock)
                self.server.process.kill()
                self.server.process.wait()
                self.assertEqual(self.wait_end(clock, "the X server's end"), 1, clock.output())
                self.assert_settings(clock, dict(CHANGED, **{"WinMain.Left": 33, "WinMain.Top": 57}))
                self.assertNotIn("AddressSanitizer", clock.output())

    def test_losing_the_x_server_during_the_unreadable_file_box_leaves_the_file_alone(self):
        clock, path, before = self.launch_over_unreadable_file()
        self.server.process.kill()
        self.server.process.wait()
        self.assertEqual(self.wait_end(clock, "the X server's end"), 1, clock.output())
        self.assert_unreadable_file_and_backups_kept(path, before)

    def run_without_display(self, display):
        home = self.new_home()
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
                   XDG_RUNTIME_DIR=os.path.join(home, "runtime"))
        if display is not None:
            env["DISPLAY"] = display
        started = time.monotonic()
        try:
            result = subprocess.run([KIVRA_BIN], env=env, stdin=subprocess.DEVNULL,
                                    capture_output=True, timeout=QUIT_WITHIN)
        except subprocess.TimeoutExpired:
            self.fail(f"kivra still ran {QUIT_WITHIN} s after starting without a display")
        self.assertLess(time.monotonic() - started, QUIT_WITHIN)
        self.assertEqual(tree(home), [], "kivra wrote something")
        return result

    def test_without_a_display_the_clock_says_so_and_writes_nothing(self):
        # A display number that no server serves: none has its socket.
        number = next(n for n in range(4000, 5000) if not os.path.exists(f"/tmp/.X11-unix/X{n}"))
        for display, message in ((f":{number}", f"kivra: cannot open display :{number}\n"),
                                 ("", "kivra: cannot open display: DISPLAY is not set\n"),
                                 (None, "kivra: cannot open display: DISPLAY is not set\n")):
            with self.subTest(display=display):
                result = self.run_without_display(display)
                self.assertEqual(result.returncode, 1, result.stderr.decode(errors="replace"))
                self.assertEqual(result.stderr.decode(errors="replace"), message)
                self.assertEqual(result.stdout, b"")


if __name__ == "__main__":
    unittest.main()
