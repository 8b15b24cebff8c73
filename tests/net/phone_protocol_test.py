#!/usr/bin/env python3
"""A second client, written from the message formats alone, that drives vantle-phone through
every request type and its fault injection, and checks what vantle-cli ping says."""

import os
import plistlib
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "phone"))
from phone_client import (HANDSHAKE_MAGIC, PC, TIMEOUT, Phone, PhoneTestCase,  # noqa: E402
                          binary, take_bin_dir_argument)


class Requests(PhoneTestCase):
    def test_handshake_and_approval(self):
        self.assertEqual(self.their_handshake["name"], "Simulated iPhone")
        self.assertTrue(self.their_handshake["id"])
        self.assertIsInstance(self.their_handshake["info"], dict)
        self.assertEqual(self.approval["Notification"], "ConnectionAllowed")
        self.assertEqual(self.approval["RequestNum"], 1)

    def test_ping_is_echoed_byte_for_byte(self):
        ping = struct.pack(">I", HANDSHAKE_MAGIC) + plistlib.dumps({}, fmt=plistlib.FMT_BINARY)
        self.pc.send_frame(ping)
        self.assertEqual(self.pc.recv_frame(), ping)

    def test_version_check(self):
        r = self.pc.request("VersionCheck", ServerVersion=259)
        self.assertEqual(r["ClientVersion"], 259)
        self.assertEqual(r["AllowUpload"], True)
        self.assertEqual(r["ClientAppName"], "Vantle")
        self.assertEqual(r["ResponseNum"], 1)
        self.assertNotIn("RequestType", r)

    def test_listing_icons_and_existence(self):
        self.write("a.txt", b"12345")
        self.write("Folder/inner.txt", b"x" * 10)
        self.write("Folder/Sub/deep.txt", b"y")
        self.write("vantleMetadata/a.txt/Preview", b"<html>")
        r = self.pc.request("DirectoryList", Path="/")
        self.assertEqual(sorted(r["Listing"]), ["Folder", "a.txt", "vantleMetadata"])
        self.assertEqual(r["ListingPlus"], {"Folder": {"IsFolder": True},
                                            "a.txt": {"IsFolder": False}})
        r = self.pc.request("DirectoryList", Path="Folder")
        self.assertEqual(r["ListingPlus"], {"Sub": {"IsFolder": True},
                                            "inner.txt": {"IsFolder": False}})
        r = self.pc.request("DirectoryList", Path="nowhere")
        self.assertEqual(r["ListingPlus"], {})
        self.assertNotIn("Listing", r)

        r = self.pc.request("GetIconsAndSizes", Paths=["a.txt", "/Folder", "missing"])
        found = r["IconsAndSizes"]
        self.assertEqual(found["a.txt"]["Size"], 5)
        self.assertEqual(found["/Folder"]["Size"], 11)
        self.assertIn(found["a.txt"]["Icon"][:4], (b"II*\x00", b"MM\x00*"))
        self.assertEqual(found["missing"]["Size"], 0)

        r = self.pc.request("FileExists", Path="Folder")
        self.assertEqual((r["Exists"], r["IsDirectory"]), (True, True))
        r = self.pc.request("FileExists", Path="a.txt")
        self.assertEqual((r["Exists"], r["IsDirectory"]), (True, False))
        r = self.pc.request("FileExists", Path="b.txt")
        self.assertEqual((r["Exists"], r["IsDirectory"]), (False, False))

    def test_upload_in_pieces_then_listing_changed(self):
        r = self.pc.request("CreateDirectory", Path="Up")
        self.assertTrue(r["Success"])
        first, second = os.urandom(131072), os.urandom(7)
        r = self.pc.request("SendChunk", Path="Up/file.bin", ChunkData=first, ChunkNum=0,
                            LastChunk=False, TotalBytes=131079, CurrentBytes=0,
                            BaseFileName="Up")
        self.assertTrue(r["Success"])
        r = self.pc.request("SendChunk", Path="Up/file.bin", ChunkData=second, ChunkNum=1,
                            LastChunk=True, TotalBytes=131079, CurrentBytes=131072,
                            BaseFileName="Up", PreviewTIFF=b"II*\x00")
        self.assertTrue(r["Success"])
        with open(os.path.join(self.phone.store, "Up/file.bin"), "rb") as f:
            self.assertEqual(f.read(), first + second)
        # A new piece 0 starts the file afresh.
        self.pc.request("SendChunk", Path="Up/file.bin", ChunkData=b"new", ChunkNum=0,
                        LastChunk=True)
        with open(os.path.join(self.phone.store, "Up/file.bin"), "rb") as f:
            self.assertEqual(f.read(), b"new")
        r = self.pc.request("Notify", Notification="TransferFinished", UserInfo={"Path": "Up"})
        self.assertTrue(r["Success"])
        changed = self.pc.drain_until(lambda m: m.get("RequestType") == "Notify")
        self.assertEqual(changed["Notification"], "ServerListingChanged")

    def test_remove(self):
        self.write("gone/x.txt", b"x")
        r = self.pc.request("RemoveFile", Path="gone")
        self.assertTrue(r["Success"])
        self.assertFalse(os.path.exists(os.path.join(self.phone.store, "gone")))
        changed = self.pc.drain_until(lambda m: m.get("RequestType") == "Notify")
        self.assertEqual(changed["Notification"], "ServerListingChanged")
        self.assertFalse(self.pc.request("RemoveFile", Path="/")["Success"])
        self.assertFalse(self.pc.request("RemoveFile", Path="gone")["Success"])
        self.assertTrue(os.path.isdir(self.phone.store))

    def test_request_file_sends_the_item_back(self):
        body = os.urandom(131072 + 100)
        self.write("Docs/big.bin", body)
        self.write("Docs/Sub/small.txt", b"small")
        r = self.pc.request("RequestFile", Path="Docs")
        self.assertTrue(r["Success"])
        self.pc.drain_until(lambda m: m.get("Notification") == "TransferFinished")
        sent = self.pc.phone_requests
        folders = [m["Path"] for m in sent if m["RequestType"] == "CreateDirectory"]
        self.assertEqual(folders, ["Docs", "Docs/Sub"])
        pieces = [m for m in sent if m["RequestType"] == "SendChunk"]
        big = [m for m in pieces if m["Path"] == "Docs/big.bin"]
        self.assertEqual([m["ChunkNum"] for m in big], [0, 1])
        self.assertEqual(b"".join(m["ChunkData"] for m in big), body)
        self.assertEqual([m["LastChunk"] for m in big], [False, True])
        self.assertTrue(all(m["TotalBytes"] == len(body) + 5 for m in pieces))
        self.assertTrue(all(m["BaseFileName"] == "Docs" for m in pieces))
        sizes = [len(m["ChunkData"]) for m in pieces]
        self.assertEqual([m["CurrentBytes"] for m in pieces],
                         [sum(sizes[:i]) for i in range(len(sizes))])
        self.assertFalse(self.pc.request("RequestFile", Path="nothing")["Success"])

    def test_paths_stay_inside_the_store(self):
        outside = os.path.join(os.path.dirname(self.phone.store), "escape.txt")
        r = self.pc.request("SendChunk", Path="../escape.txt", ChunkData=b"x", ChunkNum=0,
                            LastChunk=True)
        self.assertFalse(r["Success"])
        self.assertFalse(os.path.exists(outside))
        self.assertFalse(self.pc.request("CreateDirectory", Path="a/../../up")["Success"])
        self.assertFalse(self.pc.request("FileExists", Path="..")["Exists"])
        self.assertFalse(self.pc.request("RemoveFile", Path="../store")["Success"])
        self.assertTrue(os.path.isdir(self.phone.store))
        os.symlink("/", os.path.join(self.phone.store, "root-link"))
        self.assertFalse(self.pc.request("FileExists", Path="root-link/etc")["Exists"])
        # A leading / stands for the store itself.
        self.write("inside.txt", b"i")
        self.assertTrue(self.pc.request("FileExists", Path="/inside.txt")["Exists"])

    def test_long_names_unknown_types_and_requests_without_number(self):
        r = self.pc.request("SendChunk", Path="n" * 256, ChunkData=b"x", ChunkNum=0,
                            LastChunk=True)
        self.assertEqual((r["Success"], r["ErrorCode"]), (False, -555))
        r = self.pc.request("Fly")
        self.assertEqual(r["Good"], "Nuthin")
        # No "RequestNum": no answer; the next request's answer comes first.
        self.pc.send_message({"MessageType": "Request", "RequestType": "VersionCheck"})
        r = self.pc.request("FileExists", Path="x")
        self.assertIn("Exists", r)


class DeniedNoUpload(PhoneTestCase):
    phone_args = ("--deny", "--no-upload", "--max-name", "4")

    def test_denied_and_no_upload(self):
        self.assertEqual(self.approval["Notification"], "ConnectionDenied")
        self.assertFalse(self.pc.request("VersionCheck", ServerVersion=259)["AllowUpload"])
        r = self.pc.request("SendChunk", Path="abcde", ChunkData=b"x", ChunkNum=0)
        self.assertEqual(r["ErrorCode"], -555)
        self.assertTrue(self.pc.request("SendChunk", Path="abcd", ChunkData=b"x",
                                        ChunkNum=0)["Success"])


class FailAndDrop(PhoneTestCase):
    phone_args = ("--fail-chunk", "2=-77", "--drop-after-chunks", "3", "--delay-ms", "20")

    def test_failed_piece_then_dropped_connection(self):
        piece = dict(Path="f.bin", ChunkData=b"1234", LastChunk=False)
        self.assertTrue(self.pc.request("SendChunk", ChunkNum=0, **piece)["Success"])
        r = self.pc.request("SendChunk", ChunkNum=1, **piece)
        self.assertEqual((r["Success"], r["ErrorCode"]), (False, -77))
        self.assertTrue(self.pc.request("SendChunk", ChunkNum=2, **piece)["Success"])
        with self.assertRaises((EOFError, ConnectionError)):
            self.pc.request("SendChunk", ChunkNum=3, **piece)


class LateAndGarbage(PhoneTestCase):
    phone_args = ("--late-response", "--garbage")

    def test_garbage_then_late_answer(self):
        first = self.pc.recv_message()
        second = self.pc.recv_message()
        self.assertIn("_foreign", first)
        self.assertIn("_unparsable", second)
        self.assertEqual(self.pc.request("FileExists", Path="x")["ResponseNum"], 1)
        self.pc.num += 1
        self.pc.send_message({"MessageType": "Request", "RequestType": "FileExists",
                              "Path": "y", "RequestNum": self.pc.num})
        late = self.pc.recv_message()
        self.assertEqual(late["ResponseNum"], 1)  # out of order, before the real answer
        self.assertEqual(self.pc.recv_message()["ResponseNum"], 2)


class Script(unittest.TestCase):
    def test_script_pushes_asks_and_notifies(self):
        with tempfile.TemporaryDirectory() as tmp:
            store = os.path.join(tmp, "store")
            os.makedirs(store)
            with open(os.path.join(store, "note.txt"), "wb") as f:
                f.write(b"note")
            script = os.path.join(tmp, "script")
            with open(script, "w") as f:
                f.write("# a comment\n\npush note.txt\nask FileExists Path=/x\n"
                        "ask GetIconsAndSizes Paths=[a, b]\nnotify ServerListingChanged\n"
                        "sleep 10\ndisconnect\n")
            phone = Phone("--script", script, store=store)
            try:
                pc = PC(phone.port)
                pc.handshake()
                pc.answer_for["FileExists"] = {"Exists": True, "IsDirectory": False}
                with self.assertRaises((EOFError, ConnectionError)):
                    pc.drain_until(lambda m: False)
                kinds = [(m["RequestType"], m.get("Notification")) for m in pc.phone_requests]
                self.assertEqual(kinds, [("Notify", "ConnectionAllowed"), ("SendChunk", None),
                                         ("Notify", "TransferFinished"), ("FileExists", None),
                                         ("GetIconsAndSizes", None),
                                         ("Notify", "ServerListingChanged")])
                self.assertEqual(pc.phone_requests[4]["Paths"], ["a", "b"])
                time.sleep(0.2)
                self.assertIn("answer to FileExists", phone.output())
                self.assertIn("Exists=true", phone.output())
            finally:
                phone.stop()

    def test_interactive_actions_from_standard_input(self):
        phone = Phone("--interactive")
        try:
            pc = PC(phone.port)
            pc.handshake()
            pc.drain_until(lambda m: m.get("Notification") == "ConnectionAllowed")
            phone.proc.stdin.write("bogus\nnotify ServerListingChanged\n")
            phone.proc.stdin.flush()
            note = pc.drain_until(lambda m: m.get("RequestType") == "Notify")
            self.assertEqual(note["Notification"], "ServerListingChanged")
            time.sleep(0.1)
            self.assertIn("unknown action bogus", phone.output())
        finally:
            phone.stop()

    def test_help_lists_every_option(self):
        out = subprocess.run([binary("vantle-phone"), "--help"], capture_output=True,
                             text=True, timeout=TIMEOUT).stdout
        for option in ("--port", "--bind", "--id", "--name", "--deny", "--store", "--no-upload",
                       "--max-name", "--script", "--interactive", "--delay-ms",
                       "--drop-after-chunks", "--fail-chunk", "--late-response", "--garbage",
                       "--quiet", "push PATH", "ask TYPE"):
            self.assertIn(option, out)
        bad = subprocess.run([binary("vantle-phone"), "--bogus"], capture_output=True,
                             text=True, timeout=TIMEOUT)
        self.assertEqual(bad.returncode, 2)


class CliPing(unittest.TestCase):
    def cli(self, *args, timeout=30):
        return subprocess.run([binary("vantle-cli"), *args], capture_output=True,
                              text=True, timeout=timeout)

    def test_ping_a_phone(self):
        phone = Phone("--name", "Pocket")
        try:
            r = self.cli("ping", "127.0.0.1:%d" % phone.port)
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertIn('"Pocket"', r.stdout)
            self.assertIn("127.0.0.1:%d" % phone.port, r.stdout)
            self.assertRegex(r.stdout, r"median of 5")
        finally:
            phone.stop()

    def test_failures_in_plain_words(self):
        with socket.socket() as free:
            free.bind(("127.0.0.1", 0))
            port = free.getsockname()[1]
        r = self.cli("ping", "127.0.0.1:%d" % port)
        self.assertEqual(r.returncode, 1)
        self.assertIn("connection refused", r.stderr)

        with socket.socket() as server:
            server.bind(("127.0.0.1", 0))
            server.listen(1)
            def talk_http():
                conn, _ = server.accept()
                conn.recv(1024)
                conn.sendall(b"HTTP/1.1 400 Bad Request\r\n\r\n")
                conn.close()
            threading.Thread(target=talk_http, daemon=True).start()
            r = self.cli("ping", "127.0.0.1:%d" % server.getsockname()[1])
            self.assertEqual(r.returncode, 1)
            self.assertIn("not a Vantle phone", r.stderr)

        r = self.cli("ping", "127.0.0.1:notaport")
        self.assertEqual(r.returncode, 1)

    def test_silent_server_times_out(self):
        with socket.socket() as server:
            server.bind(("127.0.0.1", 0))
            server.listen(1)
            r = self.cli("ping", "127.0.0.1:%d" % server.getsockname()[1])
            self.assertEqual(r.returncode, 1)
            self.assertIn("no handshake within 10 s", r.stderr)


if __name__ == "__main__":
    take_bin_dir_argument()
    unittest.main(verbosity=2)
