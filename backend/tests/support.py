"""Helpers for the back-end tests: start and stop a server process, send raw
HTTP requests over sockets, build requests the way the client does."""

import json
import os
import re
import select
import socket
import subprocess
import sys
import tempfile
import time
import unittest

BACKEND = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LAUNCHER = os.path.join(BACKEND, "tunra_backend.py")
SHIPPED_FIXTURE = os.path.join(BACKEND, "fixtures", "accounts.json")
sys.path.insert(0, BACKEND)

from tunra_server import codec  # noqa: E402

# The client's fixed header block.
CLIENT_HEADERS = (b"Content-Type: application/x-www-form-urlencoded\r\n"
                  b"User-Agent: Moziila/4.0 (compatible; MSIE 7.0; Windows NT 6.0; SLCCC1; "
                  b".NET CLR 2.0.50728; Medla Centrr PC 5.0; .NET CLR 3.0.04506)")

USER_CHECK_FORMAT = ("client_code=%s|id=%s|password=%s|ccver=%d|ip_code=%s|client_mac=%s|"
                     "client_sysInfo=%s|ping_check=%d|session_key=%d|vpn_type=%d|auth_mode=%s|"
                     "vpn_conn_server_code=%s|ip_change_type=%d")
IP_POOL_FORMAT = ("client_code=%s|id=%s|password=%s|ccver=%d|ip_code=%s|client_mac=%s|"
                  "client_sysInfo=%s|ping_check=%d|session_key=%d|vpn_type=%d|auth_mode=%s|"
                  "vpn_conn_server_code=%s|class_code=%s")
SYSINFO = "Windows 7 , Ultimate Edition, x64, Service Pack 1\r\n#1. Realtek PCIe GBE (192.168.0.10)\r\n"


def user_check_text(user, password, server_code="", ip_code="0", auth_mode="user"):
    return (USER_CHECK_FORMAT % ("tunra", user, password, 1185, ip_code, "00FF00112233", SYSINFO,
                                 0, 4242, 4, auth_mode, server_code, 0)).encode("cp949")


def ip_pool_text(user, password, class_code=""):
    return (IP_POOL_FORMAT % ("tunra", user, password, 1185, "0", "", "", 0, 4242, 4, "user",
                              "", class_code)).encode("cp949")


def parse_response(raw):
    head, sep, body = raw.partition(b"\r\n\r\n")
    lines = head.split(b"\r\n")
    status = int(lines[0].split()[1]) if lines and lines[0] else None
    headers = {}
    for line in lines[1:]:
        name, _, value = line.partition(b":")
        headers[name.strip().lower().decode()] = value.strip().decode("latin-1")
    return status, headers, body


def parse_fields(plain):
    """Decoded reply bytes → {key: value} as text, split the plain way."""
    out = {}
    for field in plain.decode("cp949").split("|"):
        key, _, value = field.partition("=")
        out[key] = value
    return out


class Backend:
    """One server process on its own loopback address and a free port."""

    def __init__(self, address, *args, fixture=None, record=False):
        self.address = address
        self.tmp = tempfile.TemporaryDirectory(prefix="tunra-backend-test-")
        self.record_path = os.path.join(self.tmp.name, "record.jsonl") if record else None
        self.stderr_path = os.path.join(self.tmp.name, "stderr.txt")
        cmd = [sys.executable, LAUNCHER, address, "--port", "0"]
        if fixture is not None:
            if isinstance(fixture, dict):
                path = os.path.join(self.tmp.name, "fixture.json")
                with open(path, "w", encoding="utf-8") as f:
                    json.dump(fixture, f, ensure_ascii=False)
                fixture = path
            cmd += ["--fixture", fixture]
        if self.record_path:
            cmd += ["--record", self.record_path]
        cmd += list(args)
        self.started = time.monotonic()
        self._stderr = open(self.stderr_path, "wb")
        self.proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=self._stderr)
        line = self._read_line(5.0)
        m = re.search(rb"listening on [\d.]+:(\d+) pid (\d+)", line or b"")
        if not m:
            self.stop()
            raise RuntimeError("back end did not start: %r %r" % (line, self.stderr()))
        self.ready_after = time.monotonic() - self.started
        self.port = int(m.group(1))

    def _read_line(self, timeout):
        ready, _, _ = select.select([self.proc.stdout], [], [], timeout)
        return self.proc.stdout.readline() if ready else None

    def stderr(self):
        with open(self.stderr_path, "rb") as f:
            return f.read().decode("utf-8", "replace")

    def stop(self):
        """End the process this object started, by its PID, and clean up."""
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(5)
        self.proc.stdout.close()
        self._stderr.close()
        self.tmp.cleanup()

    # --- raw exchanges -------------------------------------------------

    def raw(self, data, half_close=True, timeout=10.0):
        with socket.create_connection((self.address, self.port), timeout=timeout) as s:
            s.sendall(data)
            if half_close:
                s.shutdown(socket.SHUT_WR)
            chunks = []
            while True:
                chunk = s.recv(65536)
                if not chunk:
                    break
                chunks.append(chunk)
        return b"".join(chunks)

    def request(self, method, target, body=None, headers=b""):
        data = method + b" " + target + b" HTTP/1.0\r\n" + CLIENT_HEADERS + b"\r\n"
        data += b"Host: %s:%d\r\n" % (self.address.encode(), self.port) + headers
        if body is not None:
            data += b"Content-Length: %d\r\n" % len(body)
        data += b"\r\n" + (body or b"")
        return parse_response(self.raw(data))

    def query(self, path, plain):
        """The client's query form: POST, encoded text raw in the URL, no body."""
        return self.request(b"POST", path.encode() + b"?bin=" + codec.encode(plain), b"")

    def form(self, path, plain):
        """The client's form form: POST, "bin=" and the encoded text as the body."""
        return self.request(b"POST", path.encode(), b"bin=" + codec.encode(plain))

    def decoded(self, kind, path, plain):
        status, headers, body = getattr(self, kind)(path, plain)
        assert status == 200, (status, body)
        return codec.decode(body)

    def control(self, command, **args):
        from urllib.parse import urlencode
        target = ("/_control/" + command + ("?" + urlencode(args) if args else "")).encode()
        status, _, body = self.request(b"GET", target)
        return status, json.loads(body)

    def records(self):
        with open(self.record_path, encoding="utf-8") as f:
            return [json.loads(line) for line in f]


class BackendTestCase(unittest.TestCase):
    """A test class sharing one server; fault switches are reset before each test."""

    address = "127.0.0.50"
    backend_args = ()
    fixture = None
    record = False

    @classmethod
    def setUpClass(cls):
        cls.backend = Backend(cls.address, *cls.backend_args, fixture=cls.fixture,
                              record=cls.record)

    @classmethod
    def tearDownClass(cls):
        cls.backend.stop()

    def setUp(self):
        status, _ = self.backend.control("reset")
        self.assertEqual(status, 200)
