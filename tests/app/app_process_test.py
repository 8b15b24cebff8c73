#!/usr/bin/env python3
"""The vantle program as a user starts it: its command line, one program per profile with the
hand-over of a second start, and an orderly end on Quit signals while connected."""
import os
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest

BIN = os.path.abspath(sys.argv.pop(1) if len(sys.argv) > 1 else "build/release/bin")
VANTLE = os.path.join(BIN, "vantle")
PHONE = os.path.join(BIN, "vantle-phone")
WAIT_S = 20


def wait_for(condition, limit=WAIT_S):
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.05)
    return condition()


class Profile:
    """A home of its own: settings, queue and logs never touch the user's."""

    def __init__(self, settings):
        self.dir = tempfile.TemporaryDirectory()
        self.home = self.dir.name
        config = os.path.join(self.home, "config", "Vantle")
        os.makedirs(config)
        with open(os.path.join(config, "Vantle.conf"), "w") as f:
            f.write("[General]\n")
            for key, value in settings.items():
                f.write(f"{key}={value}\n")
        self.env = dict(os.environ)
        self.env.update({
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, "config"),
            "XDG_DATA_HOME": os.path.join(self.home, "data"),
            "XDG_RUNTIME_DIR": os.path.join(self.home, "runtime"),
            "QT_QPA_PLATFORM": "offscreen",
            "ASAN_OPTIONS": "detect_leaks=0",
        })
        os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700)
        self.data = os.path.join(self.home, "data", "Vantle", "Vantle")

    def start(self, *args):
        return subprocess.Popen([VANTLE, *args], env=self.env, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, text=True)

    def run(self, *args, env=None):
        return subprocess.run([VANTLE, *args], env=env or self.env, capture_output=True,
                              text=True, timeout=WAIT_S)

    def queue_file(self):
        path = os.path.join(self.data, "MorrowQueue.plist")
        return open(path).read() if os.path.exists(path) else ""

    def log_text(self):
        text = ""
        for root, _, files in os.walk(self.home):
            for name in files:
                if name.endswith(".log") or "Log" in root:
                    with open(os.path.join(root, name), errors="replace") as f:
                        text += f.read()
        return text


class Output:
    """Collects a process's output on a thread of its own, so the test never blocks on it."""

    def __init__(self, process):
        self.lines = []
        self.reader = threading.Thread(target=self._collect, args=(process.stdout,), daemon=True)
        self.reader.start()

    def _collect(self, stream):
        for line in stream:
            self.lines.append(line)

    def read(self):
        return "".join(self.lines)

    def shows(self, pattern):
        return wait_for(lambda: re.search(pattern, self.read()) is not None)


def stop(process):
    if process.poll() is None:
        process.kill()  # our own child, by its process id
        process.wait(WAIT_S)
    if process.stdout:
        process.stdout.close()


class CommandLine(unittest.TestCase):
    def test_help_and_version_need_no_display(self):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM",
                                                                 "WAYLAND_DISPLAY")}
        profile = Profile({})
        version = profile.run("--version", env=env)
        self.assertEqual(version.returncode, 0, version.stderr)
        self.assertRegex(version.stdout, r"\d+\.\d+")
        helptext = profile.run("--help", env=env)
        self.assertEqual(helptext.returncode, 0)
        self.assertIn("--connect", helptext.stdout)
        bad = profile.run("--no-such-option", env=env)
        self.assertNotEqual(bad.returncode, 0)
        self.assertIn("no-such-option", bad.stderr)


class OneProgramPerProfile(unittest.TestCase):
    def setUp(self):
        self.profile = Profile({"AutoConnect": 0, "DontWarnAboutManual": 1, "LogToFile": 1})
        self.phone = subprocess.Popen([PHONE, "--port", "0", "--quiet"], stdout=subprocess.PIPE,
                                      text=True)
        line = self.phone.stdout.readline()
        match = re.search(r"listening on [0-9.]+:(\d+)", line)
        self.assertIsNotNone(match, line)
        self.address = "127.0.0.1:" + match.group(1)

    def tearDown(self):
        stop(self.phone)
        self.profile.dir.cleanup()

    def test_second_start_hands_over_and_quitting_while_connected_ends_cleanly(self):
        first = self.profile.start("--connect", self.address)
        out = Output(first)
        try:
            self.assertTrue(out.shows(r"connectionGranted"), out.read())
            with tempfile.NamedTemporaryFile(dir=self.profile.home, suffix=".txt") as f:
                relative = os.path.relpath(f.name, self.profile.home)
                second = subprocess.run([VANTLE, relative], cwd=self.profile.home,
                                        env=self.profile.env, capture_output=True, text=True,
                                        timeout=WAIT_S)
                self.assertEqual(second.returncode, 0, second.stdout + second.stderr)
                # Handed over into the queue, and sent at once to the connected phone.
                self.assertTrue(out.shows(r"uploadFinished for " + re.escape(f.name)),
                                out.read())
                self.assertTrue(wait_for(lambda: f.name not in self.profile.queue_file()),
                                self.profile.queue_file())
            self.assertIsNone(first.poll(), "the first program must keep running")
            started = time.monotonic()
            first.send_signal(signal.SIGTERM)
            self.assertEqual(first.wait(WAIT_S), 0, out.read())
            self.assertLess(time.monotonic() - started, 5.0)
            self.assertEqual(self.profile.log_text().count("App Terminating"), 1,
                             self.profile.log_text()[-2000:])
        finally:
            stop(first)

    def test_two_starts_at_once_end_with_one_program(self):
        starts = [self.profile.start(), self.profile.start()]
        try:
            self.assertTrue(wait_for(lambda: any(p.poll() is not None for p in starts)))
            ended = [p for p in starts if p.poll() is not None]
            running = [p for p in starts if p.poll() is None]
            self.assertEqual(len(ended), 1)
            self.assertEqual(ended[0].returncode, 0)
            self.assertEqual(len(running), 1)
            self.assertIsNone(running[0].poll())
            running[0].send_signal(signal.SIGTERM)
            self.assertEqual(running[0].wait(WAIT_S), 0)
        finally:
            for p in starts:
                stop(p)

    def test_a_crashed_program_leaves_no_obstacle(self):
        first = self.profile.start()
        out = Output(first)
        try:
            self.assertTrue(out.shows(r"setStatusToConnectionStatus"), out.read())
            first.kill()
            first.wait(WAIT_S)
            again = self.profile.start()
            out2 = Output(again)
            self.assertTrue(out2.shows(r"setStatusToConnectionStatus"), out2.read())
            self.assertIsNone(again.poll())
            again.send_signal(signal.SIGTERM)
            self.assertEqual(again.wait(WAIT_S), 0)
        finally:
            stop(first)


if __name__ == "__main__":
    unittest.main(verbosity=2)
