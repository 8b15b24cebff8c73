#!/usr/bin/env python3
"""vantle-phone as the partner of end-to-end tests: pushes one at a time, links and read failures
in a pushed folder, what downloads meet (companions, hostile names, restarts, a refusal),
reconnection right after a close, wrongly typed fields, and the options that control approval,
reading and the message record."""

import hashlib
import json
import os
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from phone_client import (MESSAGE_MAGIC, PC, TIMEOUT, Phone, PhoneTestCase,  # noqa: E402
                          binary, take_bin_dir_argument)

PIECE = 131072
INT64_MAX = 2**63 - 1


def start_approved(test, *args):
    """A phone started with `args` and a PC it has approved, both stopped after `test`."""
    phone = Phone(*args)
    test.addCleanup(phone.stop)
    pc = PC(phone.port)
    test.addCleanup(pc.close)
    pc.handshake()
    pc.drain_until(lambda m: m.get("RequestType") == "Notify")
    return phone, pc


def kinds(requests):
    return [(m["RequestType"], m.get("Path") or m.get("Notification")) for m in requests]


class Pushes(PhoneTestCase):
    def setUp(self):
        super().setUp()
        self.pc.phone_requests.clear()  # the approval

    def test_two_requested_items_are_pushed_one_after_the_other(self):
        self.write("A.bin", os.urandom(PIECE + 1))
        self.write("B.bin", os.urandom(PIECE + 2))
        # Both requests go out before anything of the first push is answered.
        for path in ("A.bin", "B.bin"):
            self.pc.send_request("RequestFile", Path=path)
        finished = []

        def second_finish(message):
            if message.get("Notification") == "TransferFinished":
                finished.append(message)
            return len(finished) == 2

        self.pc.drain_until(second_finish)
        self.assertEqual(kinds(self.pc.phone_requests), [
            ("SendChunk", "A.bin"), ("SendChunk", "A.bin"), ("Notify", "TransferFinished"),
            ("SendChunk", "B.bin"), ("SendChunk", "B.bin"), ("Notify", "TransferFinished")])
        self.assertEqual([m["UserInfo"]["Path"] for m in finished], ["A.bin", "B.bin"])

    def test_a_pushed_folder_keeps_its_links_inside_the_store(self):
        secret_dir = tempfile.mkdtemp()
        self.addCleanup(lambda: subprocess.run(["rm", "-rf", secret_dir]))
        with open(os.path.join(secret_dir, "secret.txt"), "wb") as f:
            f.write(b"secret")
        self.write("Docs/inside.txt", b"inside")
        os.symlink(os.path.join(secret_dir, "secret.txt"),
                   os.path.join(self.phone.store, "Docs", "out.txt"))
        os.symlink(secret_dir, os.path.join(self.phone.store, "Docs", "outdir"))
        os.symlink("inside.txt", os.path.join(self.phone.store, "Docs", "alias.txt"))
        self.assertTrue(self.pc.request("RequestFile", Path="Docs")["Success"])
        self.pc.drain_until(lambda m: m.get("Notification") == "TransferFinished")
        sent = {m["Path"]: m.get("ChunkData") for m in self.pc.phone_requests
                if m["RequestType"] in ("SendChunk", "CreateDirectory")}
        self.assertEqual(sent, {"Docs": None, "Docs/inside.txt": b"inside",
                                "Docs/alias.txt": b"inside"})

    def test_a_file_that_shrinks_during_the_push_stops_it(self):
        self.write("big.bin", os.urandom(2 * PIECE + 5))
        self.assertTrue(self.pc.request("RequestFile", Path="big.bin")["Success"])
        first = self.pc.recv_message()
        self.assertEqual((first["RequestType"], first["ChunkNum"]), ("SendChunk", 0))
        with open(os.path.join(self.phone.store, "big.bin"), "r+b") as f:
            f.truncate(10)
        self.pc.answer(first)
        # The phone handles our answer before this request: a next piece would come first.
        self.pc.request("FileExists", Path="big.bin")
        self.assertEqual(kinds(self.pc.phone_requests), [("SendChunk", "big.bin")])
        self.assertTrue(self.phone.wait_for_output("cannot read"), self.phone.output())


class Reconnect(unittest.TestCase):
    ROUNDS = 40

    def test_a_pc_that_connects_right_after_a_close_is_served(self):
        phone = Phone("--quiet")
        self.addCleanup(phone.stop)
        for round_ in range(self.ROUNDS):
            pc = PC(phone.port)
            try:
                self.assertEqual(pc.handshake()["name"], "Simulated iPhone", round_)
                note = pc.drain_until(lambda m: m.get("RequestType") == "Notify")
                self.assertEqual(note["Notification"], "ConnectionAllowed", round_)
            except (ConnectionError, EOFError) as e:
                self.fail("round %d: %r" % (round_, e))
            finally:
                pc.close()


class WrongTypes(PhoneTestCase):
    def assert_refused(self, request_type, **fields):
        r = self.pc.request(request_type, **fields)
        self.assertIs(r.get("Success"), False, (request_type, fields, r))
        self.assertEqual(set(r), {"Success", "MessageType", "ResponseNum"}, r)

    def test_wrongly_typed_fields_are_refused_and_write_nothing(self):
        piece = dict(Path="f.bin", ChunkData=b"x", ChunkNum=0, LastChunk=True)
        for key, wrong in (("Path", 5), ("ChunkData", "text"), ("ChunkNum", "0"),
                           ("LastChunk", "yes"), ("TotalBytes", "9"), ("PreviewTIFF", 1)):
            self.assert_refused("SendChunk", **dict(piece, **{key: wrong}))
        self.assert_refused("SendChunk", Path="f.bin", ChunkNum=0)
        self.assertEqual(os.listdir(self.phone.store), [])

        self.write("1", b"keep")
        for request_type in ("RemoveFile", "RequestFile", "CreateDirectory", "FileExists",
                             "DirectoryList"):
            self.assert_refused(request_type, Path=1)
        self.assert_refused("DirectoryList", Path=["/"])
        self.assert_refused("GetIconsAndSizes", Paths="1")
        self.assert_refused("GetIconsAndSizes", Paths=["1", 2])
        self.assert_refused("Notify", Notification=5, UserInfo={})
        self.assert_refused("Notify", Notification="TransferFinished", UserInfo="x")
        self.assert_refused("VersionCheck", ServerVersion="259")
        self.assertEqual(os.listdir(self.phone.store), ["1"])
        # Well-typed requests still work.
        self.assertTrue(self.pc.request("SendChunk", **piece)["Success"])
        self.assertTrue(self.pc.request("FileExists", Path="1")["Exists"])


class Approval(unittest.TestCase):
    def start(self, *args):
        phone = Phone(*args)
        self.addCleanup(phone.stop)
        return phone

    def connect(self, phone):
        pc = PC(phone.port)
        self.addCleanup(pc.close)
        pc.handshake()
        return pc

    def verdict(self, pc):
        return pc.drain_until(lambda m: m.get("RequestType") == "Notify")["Notification"]

    def test_refused_first_then_approved_while_the_refused_connection_stays(self):
        phone = self.start("--deny-first")
        first = self.connect(phone)
        self.assertEqual(self.verdict(first), "ConnectionDenied")
        self.assertIn("Exists", first.request("FileExists", Path="x"))
        first.close()
        self.assertEqual(self.verdict(self.connect(phone)), "ConnectionAllowed")

    def test_close_on_deny_asks_every_connection_afresh(self):
        phone = self.start("--deny", "--close-on-deny")
        for _ in range(2):
            pc = self.connect(phone)
            self.assertEqual(self.verdict(pc), "ConnectionDenied")
            with self.assertRaises((EOFError, ConnectionError)):
                pc.recv_message()
            pc.close()

    def test_verdict_after_a_delay_and_requests_answered_meanwhile(self):
        phone = self.start("--approve-after-ms", "300")
        pc = self.connect(phone)
        shaken = time.monotonic()
        self.assertIn("Exists", pc.request("FileExists", Path="x"))
        self.assertEqual(pc.phone_requests, [])
        self.assertEqual(self.verdict(pc), "ConnectionAllowed")
        self.assertGreaterEqual(time.monotonic() - shaken, 0.25)

    def test_no_verdict_at_all(self):
        phone = self.start("--no-approval")
        pc = self.connect(phone)
        # Without the option the verdict goes out before this request is read.
        self.assertIn("Exists", pc.request("FileExists", Path="x"))
        self.assertEqual(pc.phone_requests, [])
        self.assertTrue(phone.wait_for_output("no verdict"), phone.output())

    def test_a_second_pc_is_turned_away_while_the_first_stays(self):
        phone = self.start()
        first = self.connect(phone)
        self.assertEqual(self.verdict(first), "ConnectionAllowed")
        second = PC(phone.port)
        self.addCleanup(second.close)
        with self.assertRaises((EOFError, ConnectionError)):
            second.handshake()
        self.assertIn("Exists", first.request("FileExists", Path="x"))


class Reading(unittest.TestCase):
    def test_a_phone_that_stops_reading_stalls_the_pc(self):
        phone, pc = start_approved(self, "--stop-reading-after", "20000")
        self.assertIn("Exists", pc.request("FileExists", Path="x"))
        pc.sock.setsockopt(socket.SOL_SOCKET, socket.SO_SNDBUF, 65536)
        pc.sock.settimeout(1.0)
        body = b"\0" * (32 * 1024 * 1024)  # more than both ends' buffers hold
        with self.assertRaises(TimeoutError):
            pc.send_frame(struct.pack(">I", MESSAGE_MAGIC) + body)
        self.assertTrue(phone.wait_for_output("no longer reading"), phone.output())

    def test_a_phone_that_reads_slowly(self):
        phone, pc = start_approved(self, "--read-bytes-per-second", "200000")
        started = time.monotonic()
        data = os.urandom(300000)
        self.assertTrue(pc.request("SendChunk", Path="slow.bin", ChunkData=data,
                                   ChunkNum=0)["Success"])
        self.assertGreaterEqual(time.monotonic() - started, 1.2)  # 1.5 s at that rate
        with open(os.path.join(phone.store, "slow.bin"), "rb") as f:
            self.assertEqual(f.read(), data)


class Record(unittest.TestCase):
    def test_every_message_in_both_directions_with_data_as_length_and_hash(self):
        tmp = tempfile.TemporaryDirectory()
        self.addCleanup(tmp.cleanup)
        path = os.path.join(tmp.name, "record.jsonl")
        phone, pc = start_approved(self, "--record", path)
        data = os.urandom(1000)
        pc.request("SendChunk", Path="r.bin", ChunkData=data, ChunkNum=0, LastChunk=True)
        # Read while the phone runs: every line is on disk once its message has gone out.
        with open(path) as f:
            lines = [json.loads(line) for line in f]
        seen = [(r["connection"], r["direction"], r["kind"],
                 r["dictionary"].get("RequestType") or r["dictionary"].get("MessageType")
                 or r["dictionary"].get("name")) for r in lines]
        self.assertEqual(seen, [
            (1, "received", "handshake", "python"),
            (1, "sent", "handshake", "Simulated iPhone"),
            (1, "sent", "message", "Notify"),
            (1, "received", "message", "Response"),
            (1, "received", "message", "SendChunk"),
            (1, "sent", "message", "Response")])
        self.assertEqual(lines[4]["dictionary"]["ChunkData"],
                         {"length": 1000, "sha256": hashlib.sha256(data).hexdigest()})
        self.assertEqual(lines[5]["dictionary"]["Success"], True)
        self.assertRegex(lines[0]["time"], r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z$")


def numbers(responses):
    return [r.get("ResponseNum") for r in responses]


class AnswerFaults(unittest.TestCase):
    """Each fault seen from the wire; the phone answers in arrival order, so an answer that
    is missing before a later one will never come."""

    def test_withheld_by_count_the_request_is_carried_out_and_later_ones_answered(self):
        phone, pc = start_approved(self, "--withhold", "2")
        pc.send_request("FileExists", Path="x")
        pc.send_request("CreateDirectory", Path="made")
        pc.send_request("FileExists", Path="made")
        answers = pc.responses(2)
        self.assertEqual(numbers(answers), [1, 3])
        self.assertTrue(answers[1]["Exists"])
        self.assertTrue(os.path.isdir(os.path.join(phone.store, "made")))
        self.assertTrue(phone.wait_for_output("withholding the answer to #2"), phone.output())

    def test_withheld_by_type_every_one_or_only_the_nth(self):
        phone, pc = start_approved(self, "--withhold", "RemoveFile", "--withhold",
                                   "SendChunk:2")
        piece = dict(ChunkData=b"data", ChunkNum=0, LastChunk=True)
        pc.send_request("SendChunk", Path="a.bin", **piece)        # 1
        pc.send_request("SendChunk", Path="b.bin", **piece)        # 2: withheld
        pc.send_request("RemoveFile", Path="a.bin")                # 3: withheld
        pc.send_request("SendChunk", Path="c.bin", **piece)        # 4
        pc.send_request("RemoveFile", Path="c.bin")                # 5: withheld
        pc.send_request("FileExists", Path="b.bin")                # 6
        answers = pc.responses(3)
        self.assertEqual(numbers(answers), [1, 4, 6])
        self.assertTrue(answers[2]["Exists"])
        self.assertEqual(os.listdir(phone.store), ["b.bin"])

    def test_misnumbered_and_unnumbered_answers_keep_their_content(self):
        phone, pc = start_approved(self, "--response-num", "2=+1", "--response-num",
                                   "FileExists:2=none", "--response-num", "4=-3",
                                   "--response-num", "5=+%d" % INT64_MAX)
        os.makedirs(os.path.join(phone.store, "d"))
        pc.send_request("FileExists", Path="d")        # FileExists number 1
        pc.send_request("DirectoryList", Path="/")     # 2
        pc.send_request("FileExists", Path="d")        # FileExists number 2
        pc.send_request("FileExists", Path="nothing")  # 4, also FileExists number 3
        pc.send_request("FileExists", Path="d")        # 5: past the range, it stops at its end
        answers = pc.responses(5)
        self.assertEqual(numbers(answers), [1, 3, None, 1, INT64_MAX])
        self.assertEqual(answers[1]["Listing"], ["d"])
        self.assertNotIn("ResponseNum", answers[2])
        self.assertEqual((answers[2]["Exists"], answers[2]["MessageType"]), (True, "Response"))
        self.assertFalse(answers[3]["Exists"])

    def test_late_copy_just_before_the_next_answer(self):
        phone, pc = start_approved(self, "--late-response=2")
        pc.request("FileExists", Path="x")
        original = pc.request("FileExists", Path="y")
        pc.send_request("FileExists", Path="z")
        answers = pc.responses(2)
        self.assertEqual(numbers(answers), [2, 3])
        self.assertEqual(answers[0], original)
        pc.send_request("FileExists", Path="w")
        self.assertEqual(numbers(pc.responses(1)), [4])  # one copy only

    def test_late_copy_after_a_delay_follows_the_next_answer(self):
        delay_ms = 300
        phone, pc = start_approved(self, "--late-response=CreateDirectory@%d" % delay_ms)
        sent = time.monotonic()
        original = pc.request("CreateDirectory", Path="late")
        answered = time.monotonic()
        pc.send_request("FileExists", Path="late")
        answers = pc.responses(2)
        copied = time.monotonic()
        self.assertEqual(numbers(answers), [2, 1])
        self.assertEqual(answers[1], original)
        self.assertGreaterEqual(copied - sent, delay_ms / 1000)
        self.assertLess(answered - sent, delay_ms / 1000)

    def test_withheld_with_a_late_copy_is_one_late_answer(self):
        phone, pc = start_approved(self, "--withhold", "1", "--late-response=1@200")
        pc.send_request("FileExists", Path="x")
        pc.send_request("FileExists", Path="y")
        self.assertEqual(numbers(pc.responses(2)), [2, 1])
        pc.send_request("FileExists", Path="z")
        self.assertEqual(numbers(pc.responses(1)), [3])

    def test_version_answer_modes(self):
        envelope = {"MessageType", "ResponseNum"}
        full = {"ClientVersion", "ClientAppName", "AllowUpload"}
        for mode, expected in (("full", full), ("good-only", {"Good"}),
                               ("no-allow-upload", full - {"AllowUpload"}),
                               ("no-app-name", full - {"ClientAppName"})):
            with self.subTest(mode=mode):
                phone = Phone("--version-answer", mode, "--app-name", "Pocket")
                pc = PC(phone.port)
                try:
                    pc.handshake()
                    answer = pc.request("VersionCheck", ServerVersion=259)
                    self.assertEqual(set(answer), expected | envelope)
                    if "ClientAppName" in expected:
                        self.assertEqual(answer["ClientAppName"], "Pocket")
                    if "AllowUpload" in expected:
                        self.assertIs(answer["AllowUpload"], True)
                finally:
                    pc.close()
                    phone.stop()


class DownloadPushes(unittest.TestCase):
    """What the desktop's download side meets: companions from the metadata layout, hostile
    names on the wire, a file that starts over, and a refusal that ends the push."""

    def push(self, pc, path):
        """Asks for `path` and answers the phone until the push ends; the phone's requests."""
        pc.phone_requests.clear()
        self.assertTrue(pc.request("RequestFile", Path=path)["Success"])
        pc.drain_until(lambda m: m.get("Notification") == "TransferFinished")
        return list(pc.phone_requests)

    def write(self, phone, relative, data):
        path = os.path.join(phone.store, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)

    def test_previews_and_html_ride_on_the_folder_and_the_last_piece(self):
        phone, pc = start_approved(self)
        self.write(phone, "Docs/a.bin", os.urandom(PIECE + 1))
        self.write(phone, "Docs/b.txt", b"plain")
        self.write(phone, "vantleMetadata/Docs/Thumbnail.tif", b"docs-tiff")
        self.write(phone, "vantleMetadata/Docs/Preview", b"<p>docs</p>")
        self.write(phone, "Docs/vantleMetadata/a.bin/Thumbnail.tif", b"a-tiff")
        self.write(phone, "Docs/vantleMetadata/a.bin/Preview", b"<p>a</p>")
        sent = [(m["RequestType"], m.get("Path"), m.get("ChunkNum"), m.get("PreviewTIFF"),
                 m.get("HTMLSubstitute")) for m in self.push(pc, "Docs")]
        self.assertEqual(sent, [
            ("CreateDirectory", "Docs", None, b"docs-tiff", b"<p>docs</p>"),
            ("SendChunk", "Docs/a.bin", 0, None, None),
            ("SendChunk", "Docs/a.bin", 1, b"a-tiff", b"<p>a</p>"),
            ("SendChunk", "Docs/b.txt", 0, None, None),
            ("Notify", None, None, None, None)])

    def test_hostile_wire_names_arrive_exactly_as_given(self):
        names = ["..", "a/../../x", "\\", '|<>?*":', "nul\0here", "%", "n" * 4096]
        given = [n.replace("%", "%25").replace("\0", "%00") for n in names]
        args = [arg for name in given for arg in ("--push-as", name)]
        phone, pc = start_approved(self, *args)
        self.write(phone, "f.bin", b"payload")
        self.write(phone, "D/inner.txt", b"inner")
        for name in names[:-1]:
            with self.subTest(name=name):
                sent = self.push(pc, "f.bin")
                self.assertEqual([(m.get("Path"), m.get("BaseFileName")) for m in sent[:-1]],
                                 [(name, name)])
                self.assertEqual(sent[-1]["UserInfo"]["Path"], name)
        sent = self.push(pc, "D")  # a folder under the last, longest name
        self.assertEqual([m.get("Path") for m in sent[:-1]], [names[-1], names[-1] + "/inner.txt"])
        self.assertEqual(len(names[-1].encode()), 4096)
        # The names are used up: the next push goes under the item's own name.
        self.assertEqual(self.push(pc, "f.bin")[0]["Path"], "f.bin")

    def test_a_file_starts_again_at_piece_zero(self):
        phone, pc = start_approved(self, "--restart-after-piece", "2")
        data = os.urandom(3 * PIECE + 1)
        self.write(phone, "big.bin", data)
        self.write(phone, "small.bin", b"one piece")
        pieces = [m for m in self.push(pc, "big.bin") if m["RequestType"] == "SendChunk"]
        self.assertEqual([(m["ChunkNum"], m["LastChunk"]) for m in pieces],
                         [(0, False), (1, False), (0, False), (1, False), (2, False), (3, True)])
        for m in pieces:
            start = m["ChunkNum"] * PIECE
            self.assertEqual(m["ChunkData"], data[start:start + PIECE])
        small = [m["ChunkNum"] for m in self.push(pc, "small.bin")
                 if m["RequestType"] == "SendChunk"]
        self.assertEqual(small, [0])

    def test_a_cancelled_download_gets_no_more_pieces_and_no_finish(self):
        phone, pc = start_approved(self)
        self.write(phone, "big.bin", os.urandom(3 * PIECE))
        self.write(phone, "next.bin", b"next")
        pc.phone_requests.clear()
        self.assertTrue(pc.request("RequestFile", Path="big.bin")["Success"])
        first = pc.recv_message()
        self.assertEqual((first["RequestType"], first["ChunkNum"]), ("SendChunk", 0))
        pc.send_message({"MessageType": "Response", "ResponseNum": first["RequestNum"],
                         "Success": False, "ErrorCode": -441})
        # The phone handles our refusal before this request: a next piece would come first.
        pc.request("FileExists", Path="big.bin")
        self.assertEqual(pc.phone_requests, [])
        self.assertTrue(phone.wait_for_output("ErrorCode -441"), phone.output())
        # The phone is free for the next push.
        self.assertEqual(kinds(self.push(pc, "next.bin")),
                         [("SendChunk", "next.bin"), ("Notify", "TransferFinished")])


class Help(unittest.TestCase):
    def test_help_lists_the_partner_options_and_approvals_exclude_each_other(self):
        out = subprocess.run([binary("vantle-phone"), "--help"], capture_output=True, text=True,
                             timeout=TIMEOUT).stdout
        for option in ("--deny-first", "--no-approval", "--approve-after-ms N",
                       "--close-on-deny", "--stop-reading-after BYTES",
                       "--read-bytes-per-second N", "--record FILE", "--withhold WHICH",
                       "--response-num WHICH=SHIFT", "--late-response[=WHICH[@MS]]",
                       "--version-answer MODE", "TYPE:N", "--push-as NAME", "%00",
                       "--restart-after-piece K"):
            self.assertIn(option, out)
        bad = subprocess.run([binary("vantle-phone"), "--deny", "--no-approval"],
                             capture_output=True, text=True, timeout=TIMEOUT)
        self.assertEqual(bad.returncode, 2)
        self.assertIn("cannot be combined", bad.stderr)

    def test_bad_fault_values_are_refused(self):
        for args in (("--withhold", "0"), ("--withhold", "SendChunk:0"), ("--withhold", ":2"),
                     ("--response-num", "2=0"), ("--response-num", "2"),
                     ("--response-num", "2=+x"), ("--late-response=2@-5"),
                     ("--late-response", "2"), ("--version-answer", "short"),
                     ("--push-as", ""), ("--restart-after-piece", "0")):
            with self.subTest(args=args):
                bad = subprocess.run([binary("vantle-phone"), "--port", "0", *args],
                                     capture_output=True, text=True, timeout=TIMEOUT)
                self.assertEqual(bad.returncode, 2, bad.stderr)


if __name__ == "__main__":
    take_bin_dir_argument()
    unittest.main(verbosity=2)
