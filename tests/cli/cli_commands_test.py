#!/usr/bin/env python3
"""vantle-cli info, ls, put, get, rm and ping run as a shell user runs them, against vantle-phone on
127.0.0.1: what they print, their exit status, their sentences, and what arrives in the store."""

import os
import pty
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "phone"))
from phone_client import TIMEOUT, Phone, binary, take_bin_dir_argument  # noqa: E402

PIECE = 131072
RUN_LIMIT = 30  # seconds any one run may take before the test fails


def pattern(size, seed=1):
    return bytes((i * 7 + seed + i // 251) % 256 for i in range(size))


# The phone as tests know it, and one that sends only what the PC may rely on ("" is the class
# itself). A class marked with for_each_phone_mode runs once per row.
PHONE_MODES = (("", ()), ("Strict", ("--strict",)))


def for_each_phone_mode(cls):
    for label, args in PHONE_MODES:
        if label:
            name = cls.__name__ + label
            globals()[name] = type(name, (cls,), {"phone_args": cls.phone_args + args})
    return cls


class CliTestCase(unittest.TestCase):
    phone_args = ()

    def setUp(self):
        self.phone = Phone(*self.phone_args)
        # Whichever phone the test ends with: some tests replace the first one.
        self.addCleanup(lambda: self.phone.stop())
        self.address = "127.0.0.1:%d" % self.phone.port
        self.local = tempfile.TemporaryDirectory()
        self.addCleanup(self.local.cleanup)

    def cli(self, *args, address=True):
        """vantle-cli with `args`; --address goes last, as options may stand anywhere."""
        return subprocess.run(self.command(*args, address=address), capture_output=True,
                              text=True, timeout=RUN_LIMIT, env=self.env)

    def command(self, *args, address=True):
        return [binary("vantle-cli"), *args] + (["--address", self.address] if address else [])

    @property
    def env(self):
        """The PC's store and temporary area in folders of the test's own."""
        if not hasattr(self, "_home"):
            self._home = tempfile.TemporaryDirectory()
            self.addCleanup(self._home.cleanup)
            os.makedirs(os.path.join(self._home.name, "tmp"))
        return dict(os.environ, HOME=self._home.name, XDG_DOCUMENTS_DIR="",
                    TMPDIR=os.path.join(self._home.name, "tmp"))

    def store_file(self, relative, data):
        path = os.path.join(self.phone.store, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)

    def local_file(self, relative, data):
        path = os.path.join(self.local.name, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def stored(self, relative):
        with open(os.path.join(self.phone.store, relative), "rb") as f:
            return f.read()

    def assertFails(self, run, *words):
        """Exit status 1 and one plain sentence on standard error that says `words`."""
        self.assertEqual(run.returncode, 1, run.stderr)
        sentences = [l for l in run.stderr.splitlines() if l.startswith("vantle-cli: ")]
        self.assertTrue(sentences, run.stderr)
        for word in words:
            self.assertIn(word, run.stderr)


class InfoAndListing(CliTestCase):
    def test_info_prints_labelled_lines_in_order_without_waiting_for_approval(self):
        self.phone.stop()
        self.phone = Phone("--no-approval", "--no-upload", "--name", "Pocket")
        self.address = "127.0.0.1:%d" % self.phone.port
        run = self.cli("info")
        self.assertEqual(run.returncode, 0, run.stderr)
        lines = run.stdout.splitlines()
        self.assertEqual([l.split(":")[0] for l in lines],
                         ["Name", "Unique ID", "Address", "Application", "Protocol version",
                          "Uploads allowed"])
        self.assertEqual(lines[0], "Name: Pocket")
        self.assertEqual(lines[2], "Address: " + self.address)
        self.assertEqual(lines[3], "Application: Vantle")
        self.assertEqual(lines[4], "Protocol version: 259")
        self.assertEqual(lines[5], "Uploads allowed: no")
        self.assertNotIn("Waiting for approval", run.stderr)

    def test_ls_sorts_ignoring_case_with_sizes_and_folder_slash(self):
        self.store_file("b.txt", b"abc")
        self.store_file("A folder/x", b"12345")
        self.store_file("A folder/deeper/y", b"1234567")
        self.store_file("C.bin", pattern(PIECE + 1))
        self.store_file("vantleMetadata/m", b"meta")
        self.store_file("vantleThumbs/t", b"thumb")
        run = self.cli("ls")
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(run.stdout, "12\tA folder/\n3\tb.txt\n%d\tC.bin\n" % (PIECE + 1))
        inner = self.cli("ls", "A folder/")
        self.assertEqual(inner.returncode, 0, inner.stderr)
        self.assertEqual(inner.stdout, "7\tdeeper/\n5\tx\n")

    def test_ls_of_a_file_or_a_missing_path_fails(self):
        self.store_file("b.txt", b"abc")
        self.assertFails(self.cli("ls", "b.txt"), "b.txt is not a folder on the phone")
        self.assertFails(self.cli("ls", "nowhere"), "nowhere is not a folder on the phone")


class Upload(CliTestCase):
    def test_put_a_file_and_a_folder_arrive_byte_for_byte(self):
        big = self.local_file("big.bin", pattern(2 * PIECE + 17))
        empty = self.local_file("empty.txt", b"")
        self.local_file("Album/one.txt", b"one")
        self.local_file("Album/sub/two.bin", pattern(PIECE, seed=5))
        run = self.cli("put", big, os.path.join(self.local.name, "Album") + "/", empty)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(run.stdout, "")
        self.assertEqual(self.stored("big.bin"), pattern(2 * PIECE + 17))
        self.assertEqual(self.stored("empty.txt"), b"")
        self.assertEqual(self.stored("Album/one.txt"), b"one")
        self.assertEqual(self.stored("Album/sub/two.bin"), pattern(PIECE, seed=5))
        self.assertNotIn("\r", run.stderr)  # no progress line without a terminal

    def test_existing_name_fails_unless_replace_or_unique(self):
        self.store_file("note.txt", b"old")
        mine = self.local_file("note.txt", b"new text")
        self.assertFails(self.cli("put", mine), "note.txt exists on the phone")
        self.assertEqual(self.stored("note.txt"), b"old")
        replaced = self.cli("put", mine, "--replace")
        self.assertEqual(replaced.returncode, 0, replaced.stderr)
        self.assertEqual(self.stored("note.txt"), b"new text")

    def test_unique_sends_under_the_first_free_name_and_leaves_the_original_alone(self):
        self.store_file("note.txt", b"old")
        unique = self.cli("put", "--unique", self.local_file("note.txt", b"new text"))
        self.assertEqual(unique.returncode, 0, unique.stderr)
        self.assertEqual(self.stored("note.txt"), b"old")
        self.assertEqual(self.stored("note-1.txt"), b"new text")
        # A name with no room for "-1" has no free name: said, and nothing written.
        longest = "n" * 250 + ".txt"
        self.store_file(longest, b"kept")
        self.assertFails(self.cli("put", "--unique", self.local_file(longest, b"mine")),
                         "no free name for " + longest)
        self.assertEqual(self.stored(longest), b"kept")

    def test_a_failed_item_does_not_stop_the_others(self):
        self.store_file("taken.txt", b"keep")
        files = [self.local_file("first.txt", b"1"), self.local_file("taken.txt", b"2"),
                 os.path.join(self.local.name, "missing.txt"), self.local_file("last.txt", b"3")]
        run = self.cli("put", *files)
        self.assertFails(run, "taken.txt exists on the phone", "missing.txt: no such file")
        self.assertEqual(self.stored("first.txt"), b"1")
        self.assertEqual(self.stored("taken.txt"), b"keep")
        self.assertEqual(self.stored("last.txt"), b"3")

    def test_rm_removes_and_a_missing_item_fails(self):
        self.store_file("gone.txt", b"x")
        self.store_file("Folder/inside.txt", b"y")
        run = self.cli("rm", "gone.txt", "Folder")
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(os.listdir(self.phone.store), [])
        self.store_file("still.txt", b"z")
        missing = self.cli("rm", "absent.txt", "still.txt")
        self.assertFails(missing, "there is no absent.txt on the phone")
        self.assertFalse(os.path.exists(os.path.join(self.phone.store, "still.txt")))


class NameTooLong(CliTestCase):
    phone_args = ("--max-name", "8")

    def test_name_too_long_reads_as_a_sentence(self):
        self.assertFails(self.cli("put", self.local_file("much-too-long.txt", b"x")),
                         "too long for the phone")


class LostConnection(CliTestCase):
    phone_args = ("--drop-after-chunks", "1")

    def test_connection_lost_during_put_fails(self):
        run = self.cli("put", self.local_file("three.bin", pattern(3 * PIECE)))
        self.assertFails(run, "connection to the phone was lost")


class Approval(CliTestCase):
    phone_args = ("--deny",)

    def test_refusal_fails_with_a_sentence(self):
        self.assertFails(self.cli("ls"), "the phone refused the connection")


class NoUploads(CliTestCase):
    phone_args = ("--no-upload",)

    def test_put_to_a_phone_that_takes_no_uploads_fails(self):
        run = self.cli("put", self.local_file("f.txt", b"x"))
        self.assertFails(run, "the phone does not accept uploads")
        self.assertEqual(os.listdir(self.phone.store), [])


class NoApproval(CliTestCase):
    phone_args = ("--no-approval",)

    def test_wait_approval_gives_up_after_its_time(self):
        started = time.monotonic()
        run = self.cli("rm", "--wait-approval", "1", "x")
        elapsed = time.monotonic() - started
        self.assertFails(run, "did not approve the connection within 1 s")
        self.assertIn("Waiting for approval on the phone...", run.stderr)
        self.assertLess(elapsed, 4)
        self.assertGreater(elapsed, 0.9)


class UsageAndConnecting(CliTestCase):
    def test_usage_errors_exit_2(self):
        for args in (["put"], ["get"], ["get", "a", "b", "c"], ["rm"], ["ls", "a", "b"], ["put", "--bogus", "f"],
                     ["ls", "--wait-approval", "soon"], ["ls", "--wait-approval", "0"],
                     ["put", "--replace", "--unique", "f"], ["info", "extra"], ["nonsense"],
                     ["ping"], ["ls", "--address"]):
            with self.subTest(args=args):
                run = self.cli(*args, address=False)
                self.assertEqual(run.returncode, 2, run.stderr)
                self.assertIn("sage", run.stderr)

    def test_help_per_command(self):
        for command in ("info", "ls", "put", "get", "rm", "ping"):
            with self.subTest(command=command):
                run = self.cli(command, "--help", address=False)
                self.assertEqual(run.returncode, 0, run.stderr)
                self.assertIn("Usage: vantle-cli " + command, run.stdout)
                self.assertIn("Exit status", run.stdout)

    def test_unreachable_or_bad_address_fails_with_a_sentence(self):
        spare = socket.socket()
        spare.bind(("127.0.0.1", 0))
        closed = "127.0.0.1:%d" % spare.getsockname()[1]
        spare.close()
        self.assertFails(self.cli("info", "--address", closed, address=False),
                         "cannot connect to " + closed)
        self.assertFails(self.cli("ls", "--address", "127.0.0.1:99999", address=False),
                         "is not an address")

    def test_without_address_no_phone_found_fails_with_a_sentence(self):
        # Whether DNS-SD runs here or not, the phone on 127.0.0.1 advertises nothing.
        run = self.cli("ls", address=False)
        self.assertFails(run)
        self.assertTrue("cannot look for phones" in run.stderr or "no phone found" in run.stderr,
                        run.stderr)
        self.assertIn("--address", run.stderr)

    def test_ping_takes_address_option(self):
        run = self.cli("ping")
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertIn("ping:", run.stdout)


def run_on_terminal(cmd, env=None):
    """Runs `cmd` with standard error on a terminal; its exit status and what it wrote there."""
    controller, terminal = pty.openpty()
    proc = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=terminal, env=env)
    os.close(terminal)
    seen = b""
    deadline = time.monotonic() + RUN_LIMIT
    while time.monotonic() < deadline:
        try:
            chunk = os.read(controller, 4096)
        except OSError:  # the terminal closed with the program
            break
        if not chunk:
            break
        seen += chunk
    os.close(controller)
    return proc.wait(TIMEOUT), seen


@for_each_phone_mode
class Download(CliTestCase):
    def setUp(self):
        super().setUp()
        self.dest = os.path.join(self.local.name, "dest")
        os.makedirs(self.dest)

    def read(self, path):
        with open(path, "rb") as f:
            return f.read()

    def test_file_and_folder_arrive_byte_for_byte_then_under_free_names(self):
        self.store_file("report.pdf", pattern(2 * PIECE + 3))
        self.store_file("Docs/inner.txt", b"inner")
        self.store_file("Docs/sub/deep.bin", pattern(PIECE, seed=9))
        self.store_file("Docs/empty", b"")
        for expected in ("report.pdf", "report-1.pdf"):
            run = self.cli("get", "/report.pdf", self.dest)
            self.assertEqual(run.returncode, 0, run.stderr)
            self.assertEqual(run.stdout, os.path.join(self.dest, expected) + "\n")
            self.assertEqual(self.read(run.stdout.strip()), pattern(2 * PIECE + 3))
        for expected in ("Docs", "Docs-1"):
            run = self.cli("get", "Docs", self.dest)
            self.assertEqual(run.returncode, 0, run.stderr)
            self.assertEqual(run.stdout, os.path.join(self.dest, expected) + "\n")
            self.assertEqual(self.read(os.path.join(self.dest, expected, "inner.txt")), b"inner")
            self.assertEqual(self.read(os.path.join(self.dest, expected, "sub/deep.bin")),
                             pattern(PIECE, seed=9))
            self.assertEqual(self.read(os.path.join(self.dest, expected, "empty")), b"")
        self.assertEqual(sorted(os.listdir(self.dest)),
                         ["Docs", "Docs-1", "report-1.pdf", "report.pdf"])

    def test_dest_defaults_to_the_current_folder(self):
        self.store_file("note.txt", b"note")
        run = subprocess.run(self.command("get", "note.txt"), capture_output=True, text=True,
                             timeout=RUN_LIMIT, env=self.env, cwd=self.dest)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(os.path.realpath(run.stdout.strip()),
                         os.path.realpath(os.path.join(self.dest, "note.txt")))
        self.assertEqual(self.read(os.path.join(self.dest, "note.txt")), b"note")

    def test_dest_not_a_folder_and_missing_item_fail_with_a_sentence(self):
        self.store_file("note.txt", b"note")
        not_folder = self.local_file("plain.txt", b"x")
        self.assertFails(self.cli("get", "note.txt", not_folder), "plain.txt is not a folder")
        self.assertFails(self.cli("get", "note.txt", os.path.join(self.local.name, "nowhere")),
                         "nowhere is not a folder")
        missing = self.cli("get", "absent.txt", self.dest)
        self.assertFails(missing, "there is no absent.txt on the phone")
        self.assertEqual(missing.stdout, "")
        self.assertEqual(os.listdir(self.dest), [])


@for_each_phone_mode
class BrokenDownload(CliTestCase):
    """Downloads that end without their item: get says why, exits 1 and leaves nothing behind."""
    phone_args = ("--stop-after-pieces", "2")

    def get(self, name, **env):
        dest = os.path.join(self.local.name, "dest")
        os.makedirs(dest)
        run = subprocess.run(self.command("get", name, dest), capture_output=True, text=True,
                             timeout=RUN_LIMIT, env=dict(self.env, **env))
        self.assertEqual(run.stdout, "")
        self.assertEqual(os.listdir(dest), [])
        return run

    def test_a_phone_that_stops_mid_item(self):
        self.store_file("big.bin", pattern(5 * PIECE))
        run = self.get("big.bin", VANTLE_DOWNLOAD_SILENCE_MS="1500")
        self.assertFails(run, "big.bin could not be downloaded: nothing arrived of it for 1.5 "
                              "seconds.")
        self.assertEqual(os.listdir(self.temp_area()), [])

    def test_a_piece_the_pc_cannot_write(self):
        # A file where the temporary area's folder is needed: not even root writes into that.
        self.store_file("note.txt", b"note")
        with open(self.temp_area(), "wb") as f:
            f.write(b"in the way")
        run = self.get("note.txt")
        self.assertFails(run, "note.txt could not be downloaded: ", self.temp_area())

    def temp_area(self):
        return os.path.join(self.env["TMPDIR"], "vantle-%d-downloads" % os.getuid())


class SlowPhone(CliTestCase):
    phone_args = ("--delay-ms", "40")

    def on_terminal(self, *args):
        return run_on_terminal(self.command(*args), self.env)

    def test_progress_line_only_on_a_terminal(self):
        path = self.local_file("slow.bin", pattern(12 * PIECE))
        status, seen = self.on_terminal("put", path)
        self.assertEqual(status, 0, seen)
        self.assertIn(b" left", seen)
        self.assertIn(b" of 1.5 MB", seen)
        self.assertEqual(self.stored("slow.bin"), pattern(12 * PIECE))

    def test_ctrl_c_cancels_at_a_piece_boundary_and_says_so(self):
        size = 100 * PIECE
        path = self.local_file("huge.bin", pattern(size))
        after = self.local_file("after.txt", b"never sent")
        proc = subprocess.Popen([binary("vantle-cli"), "put", path, after, "--address",
                                 self.address],
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        target = os.path.join(self.phone.store, "huge.bin")
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline and not (
                os.path.exists(target) and os.path.getsize(target) >= 2 * PIECE):
            time.sleep(0.02)
        proc.send_signal(signal.SIGINT)
        out, err = proc.communicate(timeout=TIMEOUT)
        self.assertEqual(proc.returncode, 1, err)
        self.assertIn("cancelled (Ctrl-C): huge.bin was not completely sent", err)
        self.assertIn("1 more item(s) not sent", err)
        self.assertFalse(os.path.exists(os.path.join(self.phone.store, "after.txt")))
        arrived = os.path.getsize(target)
        self.assertLess(arrived, size)
        self.assertEqual(arrived % PIECE, 0)  # whole pieces only


class SlowDownload(CliTestCase):
    # The PC's answers to the pieces are read slowly, so the push crawls.
    phone_args = ("--read-bytes-per-second", "2000")

    def start_slow_get(self):
        """A get of a large file, once two of its pieces have arrived; the process and DEST."""
        self.store_file("huge.bin", pattern(60 * PIECE))
        dest = os.path.join(self.local.name, "dest")
        os.makedirs(dest)
        proc = subprocess.Popen(self.command("get", "huge.bin", dest), stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True, env=self.env)
        self.addCleanup(proc.kill)
        # Each process downloads into a folder of its own in the user's temporary area.
        self.temp = os.path.join(self.env["TMPDIR"], "vantle-%d-downloads" % os.getuid(),
                                 "process-%d" % proc.pid, "huge.bin")
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline and not (
                os.path.exists(self.temp) and os.path.getsize(self.temp) >= 2 * PIECE):
            time.sleep(0.02)
        self.assertTrue(os.path.exists(self.temp), "no piece arrived")
        return proc, dest

    def assertNothingLeft(self, proc, dest, *words):
        out, err = proc.communicate(timeout=TIMEOUT)
        self.assertEqual(proc.returncode, 1, err)
        for word in words:
            self.assertIn(word, err)
        self.assertEqual(out, "")
        self.assertEqual(os.listdir(dest), [])
        self.assertFalse(os.path.exists(self.temp))

    def test_the_phone_sees_only_the_vantle_folder_of_documents(self):
        # The phone asks while the download crawls, then hangs up: the answers come first.
        documents = os.path.join(self.env["HOME"], "Documents")
        os.makedirs(os.path.join(documents, "Vantle"))
        for name, where in (("mine.txt", "Vantle"), ("private.txt", "")):
            with open(os.path.join(documents, where, name), "wb") as f:
                f.write(b"x")
        script = self.local_file("script", b"ask DirectoryList Path=/\n"
                                           b"ask FileExists Path=/private.txt\ndisconnect\n")
        self.phone.stop()
        self.phone = Phone("--script", script, *self.phone_args)
        self.address = "127.0.0.1:%d" % self.phone.port
        self.store_file("huge.bin", pattern(60 * PIECE))
        self.assertFails(self.cli("get", "huge.bin", self.local.name), "connection")
        self.assertTrue(self.phone.wait_for_output("answer to FileExists"), self.phone.output())
        # The numbers depend on how the pushed pieces interleave; the answers do not.
        output = self.phone.output()
        self.assertRegex(output, r"answer to DirectoryList: Response #\d+ \{Listing=\[mine\.txt\],")
        self.assertRegex(output, r"answer to FileExists: Response #\d+ \{Exists=false")

    def test_progress_line_on_a_terminal(self):
        self.store_file("slow.bin", pattern(12 * PIECE))
        dest = os.path.join(self.local.name, "dest")
        os.makedirs(dest)
        status, seen = run_on_terminal(self.command("get", "slow.bin", dest), self.env)
        self.assertEqual(status, 0, seen)
        self.assertIn(b" of 1.5 MB", seen)
        with open(os.path.join(dest, "slow.bin"), "rb") as f:
            self.assertEqual(f.read(), pattern(12 * PIECE))

    def test_ctrl_c_cancels_a_download_and_leaves_nothing_in_dest(self):
        proc, dest = self.start_slow_get()
        proc.send_signal(signal.SIGINT)
        self.assertNothingLeft(
            proc, dest, "cancelled (Ctrl-C): huge.bin was not downloaded; nothing was put in")

    def test_connection_lost_during_a_download_fails_with_a_sentence(self):
        proc, dest = self.start_slow_get()
        self.phone.stop()
        self.assertNothingLeft(proc, dest,
                               "the connection to the phone was lost before huge.bin was "
                               "downloaded")


class Doctor(CliTestCase):
    """vantle-cli doctor by address; the DNS-SD library is kept away, so nothing is browsed."""

    def doctor(self, *args):
        env = dict(self.env, VANTLE_DNSSD_LIBRARY="/nonexistent/libdns_sd.so.1")
        return subprocess.run([binary("vantle-cli"), "doctor", *args], capture_output=True,
                              text=True, timeout=RUN_LIMIT, env=env)

    def steps(self, output):
        return [line[10:] for line in output.splitlines() if line.startswith("[")]

    def test_a_phone_that_answers(self):
        run = self.doctor("--address", self.address)
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
        self.assertEqual(self.steps(run.stdout),
                         ["DNS-SD library", "DNS-SD daemon", "Network interfaces",
                          "Phones on the network", "Connection to " + self.address])
        self.assertIn("[FAILED]  DNS-SD library", run.stdout)
        self.assertIn("sudo apt install libavahi-compat-libdnssd1", run.stdout)
        self.assertIn("[SKIPPED] DNS-SD daemon", run.stdout)
        self.assertIn("[OK]      Connection to " + self.address, run.stdout)
        self.assertRegex(run.stdout, r'Answered as ".+" \(.+\); handshake [0-9.]+ ms, '
                                     r'round trip [0-9.]+ ms\.')
        self.assertTrue(run.stdout.endswith("Result: a phone answered.\n"), run.stdout)

    def test_a_closed_port_is_refused(self):
        spare = socket.socket()
        spare.bind(("127.0.0.1", 0))
        closed = "127.0.0.1:%d" % spare.getsockname()[1]
        spare.close()
        run = self.doctor("--address", closed)
        self.assertEqual(run.returncode, 1, run.stdout + run.stderr)
        self.assertIn("[FAILED]  Connection to " + closed + "\n          Refused", run.stdout)
        self.assertIn("What to do: open Vantle on the phone", run.stdout)
        self.assertTrue(run.stdout.endswith("Result: no phone answered.\n"), run.stdout)

    def test_usage_and_help(self):
        self.assertEqual(self.doctor("extra").returncode, 2)
        self.assertEqual(self.doctor("--address").returncode, 2)
        run = self.doctor("--help")
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertIn("Usage: vantle-cli doctor [--address HOST[:PORT]]", run.stdout)
        self.assertIn("Exit status: 0 when a phone answered", run.stdout)
        listing = subprocess.run([binary("vantle-cli"), "--help"], capture_output=True,
                                 text=True, timeout=RUN_LIMIT)
        self.assertIn("doctor [--address HOST[:PORT]]", listing.stdout)


if __name__ == "__main__":
    take_bin_dir_argument()
    unittest.main()
