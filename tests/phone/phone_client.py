"""The PC's end of the protocol, written from the message formats alone, and vantle-phone run on
a free port of 127.0.0.1: shared by the suites that drive the simulated phone."""

import os
import plistlib
import re
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest

BIN_DIR = os.environ.get("VANTLE_BIN_DIR", "build/bin")


def take_bin_dir_argument():
    """The build's bin folder comes as the first argument (ctest passes it); unittest gets the rest."""
    global BIN_DIR
    if len(sys.argv) > 1 and not sys.argv[1].startswith("-"):
        BIN_DIR = sys.argv.pop(1)


def binary(name):
    return os.path.join(BIN_DIR, name)


FRAME_MAGIC = 0x1234ABCD
HANDSHAKE_MAGIC = 0xABCD1234
MESSAGE_MAGIC = 0xBCDA7373
TIMEOUT = 10


class Phone:
    """vantle-phone on a free port of 127.0.0.1, stopped by its process id."""

    def __init__(self, *args, store=None):
        self.tmp = tempfile.TemporaryDirectory()
        self.store = store or os.path.join(self.tmp.name, "store")
        os.makedirs(self.store, exist_ok=True)
        cmd = [binary("vantle-phone"), "--port", "0", "--store", self.store, *args]
        self.proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                     stdin=subprocess.PIPE, text=True)
        self.lines = []
        deadline = time.time() + TIMEOUT
        self.port = None
        while time.time() < deadline and self.port is None:
            line = self.proc.stdout.readline()
            if not line:
                break
            self.lines.append(line)
            m = re.search(r"listening on [0-9.]+:(\d+)", line)
            if m:
                self.port = int(m.group(1))
        assert self.port, "vantle-phone did not start: " + "".join(self.lines)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for line in self.proc.stdout:
            self.lines.append(line)

    def output(self):
        return "".join(self.lines)

    def wait_for_output(self, text, timeout=TIMEOUT):
        """True once the phone has printed `text`; false after `timeout` seconds."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            if text in self.output():
                return True
            time.sleep(0.01)
        return False

    def stop(self):
        self.proc.kill()
        self.proc.wait(TIMEOUT)
        self.reader.join(TIMEOUT)
        self.proc.stdin.close()
        self.proc.stdout.close()
        self.tmp.cleanup()


class PC:
    """The PC's end of the protocol, in the fewest lines that follow the formats."""

    def __init__(self, port, sock=None):
        """Dials `port`, or speaks over `sock`, a connection already made."""
        self.sock = sock or socket.create_connection(("127.0.0.1", port), timeout=TIMEOUT)
        self.num = 0
        self.phone_requests = []
        self.answer_for = {}  # request type -> extra keys of our answer

    def send_frame(self, payload):
        self.sock.sendall(struct.pack(">II", FRAME_MAGIC, len(payload)) + payload)

    def _recv_exact(self, n):
        data = b""
        while len(data) < n:
            chunk = self.sock.recv(n - len(data))
            if not chunk:
                raise EOFError("connection closed")
            data += chunk
        return data

    def recv_frame(self):
        magic, length = struct.unpack(">II", self._recv_exact(8))
        assert magic == FRAME_MAGIC, hex(magic)
        return self._recv_exact(length)

    def handshake(self):
        body = plistlib.dumps({"id": "PY-CLIENT", "name": "python"}, fmt=plistlib.FMT_BINARY)
        self.send_frame(struct.pack(">I", HANDSHAKE_MAGIC) + body)
        payload = self.recv_frame()
        assert struct.unpack(">I", payload[:4])[0] == HANDSHAKE_MAGIC
        return plistlib.loads(payload[4:])

    def send_message(self, message):
        body = plistlib.dumps(message, fmt=plistlib.FMT_BINARY)
        self.send_frame(struct.pack(">I", MESSAGE_MAGIC) + body)

    def recv_message(self):
        payload = self.recv_frame()
        magic = struct.unpack(">I", payload[:4])[0]
        if magic != MESSAGE_MAGIC:
            return {"_foreign": payload}
        try:
            return plistlib.loads(payload[4:])
        except Exception:
            return {"_unparsable": payload}

    def answer(self, request):
        self.phone_requests.append(request)
        response = {"Success": True}
        response.update(self.answer_for.get(request.get("RequestType"), {}))
        response.update(MessageType="Response", ResponseNum=request["RequestNum"])
        self.send_message(response)

    def send_request(self, request_type, **fields):
        """Sends a request without waiting; returns its number."""
        self.num += 1
        self.send_message(dict(fields, MessageType="Request", RequestType=request_type,
                               RequestNum=self.num))
        return self.num

    def request(self, request_type, expect_num=None, **fields):
        num = self.send_request(request_type, **fields)
        return self.wait_response(num if expect_num is None else expect_num)

    def responses(self, count):
        """The next `count` responses in arrival order; the phone's requests are answered."""
        got = []
        while len(got) < count:
            message = self.recv_message()
            if message.get("MessageType") == "Request":
                self.answer(message)
            else:
                got.append(message)
        return got

    def wait_response(self, num):
        while True:
            message = self.recv_message()
            if message.get("MessageType") == "Request":
                self.answer(message)
            elif message.get("MessageType") == "Response" and message.get("ResponseNum") == num:
                return message

    def drain_until(self, predicate):
        """Answers the phone's requests until one satisfies `predicate`."""
        while True:
            message = self.recv_message()
            if message.get("MessageType") == "Request":
                self.answer(message)
                if predicate(message):
                    return message

    def close(self):
        self.sock.close()


class PhoneTestCase(unittest.TestCase):
    phone_args = ()

    def setUp(self):
        self.phone = Phone(*self.phone_args)
        self.pc = PC(self.phone.port)
        self.their_handshake = self.pc.handshake()
        approval = self.pc.drain_until(lambda m: m.get("RequestType") == "Notify")
        self.approval = approval

    def tearDown(self):
        self.pc.close()
        if os.environ.get("VANTLE_SHOW_PHONE"):
            print(self.phone.output())
        self.phone.stop()

    def write(self, relative, data):
        path = os.path.join(self.phone.store, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
