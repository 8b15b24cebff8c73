#!/usr/bin/env python3
"""The vantle program as a user starts it: its command line, one program per profile with the
hand-over of a second start, and an orderly end on Quit signals while connected, that keeps the
queue as it was and never waits on the phone."""
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
# Quit ends the program within this, whatever it is doing.
QUIT_S = 2.0
# Rounds of a race that a fault would lose now and then.
RACE_ROUNDS = 4
# How often a race is watched: a step short enough to beat the program's own reaction.
RACE_STEP_S = 0.0005


def wait_for(condition, limit=WAIT_S, step=0.05):
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(step)
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
        if not os.path.exists(path):
            return ""
        with open(path) as f:
            return f.read()

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

    def shows(self, pattern, step=0.05):
        return wait_for(lambda: re.search(pattern, self.read()) is not None, step=step)


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
        self.assertIn("--hidden", helptext.stdout)
        bad = profile.run("--no-such-option", env=env)
        self.assertNotEqual(bad.returncode, 0)
        self.assertIn("no-such-option", bad.stderr)


def start_phone(test, *options):
    """A simulated phone on a port of its own; its address."""
    phone = subprocess.Popen([PHONE, "--port", "0", "--quiet", *options], stdout=subprocess.PIPE,
                             text=True)
    test.addCleanup(stop, phone)
    line = phone.stdout.readline()
    match = re.search(r"listening on [0-9.]+:(\d+)", line)
    test.assertIsNotNone(match, line)
    return "127.0.0.1:" + match.group(1)


class OneProgramPerProfile(unittest.TestCase):
    def setUp(self):
        self.profile = Profile({"AutoConnect": 0, "DontWarnAboutManual": 1, "LogToFile": 1})
        self.address = start_phone(self)

    def tearDown(self):
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

    def test_hidden_start_connects_and_takes_a_hidden_hand_over(self):
        first = self.profile.start("--hidden", "--connect", self.address)
        out = Output(first)
        try:
            self.assertTrue(out.shows(r"connectionGranted"), out.read())
            with tempfile.NamedTemporaryFile(dir=self.profile.home, suffix=".txt") as f:
                second = self.profile.run("--hidden", f.name)
                self.assertEqual(second.returncode, 0, second.stdout + second.stderr)
                self.assertTrue(out.shows(r"uploadFinished for " + re.escape(f.name)),
                                out.read())
            self.assertIsNone(first.poll(), "the first program must keep running")
            first.send_signal(signal.SIGTERM)
            self.assertEqual(first.wait(WAIT_S), 0, out.read())
        finally:
            stop(first)

    def test_second_start_hands_its_activation_token_to_the_raise(self):
        first = self.profile.start()
        out = Output(first)
        try:
            self.assertTrue(out.shows(r"starting up"), out.read())
            cases = [({"XDG_ACTIVATION_TOKEN": "abc", "DESKTOP_STARTUP_ID": "x11-id"}, "abc"),
                     ({"DESKTOP_STARTUP_ID": "host;42-0 vantle_TIME7"}, "host;42-0 vantle_TIME7")]
            for tokens, raised_with in cases:
                env = {k: v for k, v in self.profile.env.items()
                       if k not in ("XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID")}
                env.update(tokens)
                second = self.profile.run(env=env)
                self.assertEqual(second.returncode, 0, second.stdout + second.stderr)
                self.assertTrue(out.shows("Raising the window with activation token " +
                                          re.escape(raised_with)), out.read())
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


class QuitKeepsTheQueue(unittest.TestCase):
    """Quit signals end the program promptly, and the queue file then holds what the program
    acknowledged or had taken in."""

    def setUp(self):
        self.profile = Profile({"AutoConnect": 0, "DontWarnAboutManual": 1})

    def tearDown(self):
        self.profile.dir.cleanup()

    def new_files(self, round_, count):
        paths = []
        for i in range(count):
            path = os.path.join(self.profile.home, f"round{round_}-{i}.txt")
            with open(path, "w") as f:
                f.write(path)
            paths.append(path)
        return paths

    def start_ready(self, *args):
        program = self.profile.start(*args)
        self.addCleanup(stop, program)
        out = Output(program)
        self.assertTrue(out.shows(r"setStatusToConnectionStatus"), out.read())
        return program, out

    def quit(self, program, out):
        started = time.monotonic()
        program.send_signal(signal.SIGTERM)
        try:
            status = program.wait(WAIT_S)
        except subprocess.TimeoutExpired:
            self.fail("still running %.0f s after SIGTERM: %s" % (WAIT_S, out.read()[-2000:]))
        self.assertEqual(status, 0, out.read()[-2000:])
        return time.monotonic() - started

    def test_acknowledged_hand_over_survives_an_immediate_quit(self):
        for round_ in range(RACE_ROUNDS):
            program, out = self.start_ready()
            files = self.new_files(round_, 3)
            second = self.profile.run(*files)
            self.assertEqual(second.returncode, 0, second.stdout + second.stderr)
            self.quit(program, out)
            queued = self.profile.queue_file()
            for path in files:
                self.assertIn(path, queued, f"round {round_}: {out.read()[-2000:]}")

    def test_hand_over_taken_just_before_quit_is_kept(self):
        for round_ in range(RACE_ROUNDS):
            program, out = self.start_ready()
            files = self.new_files(round_, 2)
            second = subprocess.Popen([VANTLE, *files], env=self.profile.env,
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.addCleanup(stop, second)
            # The quit comes as the program takes the files in.
            self.assertTrue(out.shows(r"Hand-over: 2 files", step=RACE_STEP_S), out.read())
            self.quit(program, out)
            second.wait(WAIT_S)
            queued = self.profile.queue_file()
            for path in files:
                self.assertIn(path, queued, f"round {round_}: {out.read()[-2000:]}")

    def test_quit_while_the_window_waits_on_a_slow_phone_is_prompt(self):
        # The version check on connecting is asked on the main thread; the phone takes 1.5 s to
        # answer each of its requests.
        address = start_phone(self, "--delay-ms", "1500")
        program = self.profile.start("--connect", address)
        self.addCleanup(stop, program)
        out = Output(program)
        self.assertTrue(out.shows(r"sendRequest for VersionCheck",
                                  step=RACE_STEP_S), out.read())
        self.assertLess(self.quit(program, out), QUIT_S, out.read()[-2000:])

    def test_quit_mid_upload_to_a_slow_phone_is_prompt_and_keeps_the_item(self):
        # Each answer of the phone takes a second: the quit comes while the worker waits on one.
        address = start_phone(self, "--delay-ms", "1000")
        [item] = self.new_files("upload", 1)
        program = self.profile.start("--connect", address, item)
        self.addCleanup(stop, program)
        out = Output(program)
        self.assertTrue(out.shows(r"Uploading " + re.escape(item)), out.read())
        self.assertLess(self.quit(program, out), QUIT_S, out.read()[-2000:])
        self.assertIn(item, self.profile.queue_file())


if __name__ == "__main__":
    unittest.main(verbosity=2)
