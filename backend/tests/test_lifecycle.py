import os
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest

import support
from support import Backend


def run_refused(*args):
    """Run the launcher with arguments it must refuse; returns (rc, stderr)."""
    proc = subprocess.run([sys.executable, support.LAUNCHER, *args], capture_output=True,
                          timeout=10)
    return proc.returncode, proc.stderr.decode()


class Lifecycle(unittest.TestCase):
    def test_sigterm_stops_even_while_a_request_waits(self):
        backend = Backend("127.0.0.56", "--fault", "delay=30")
        try:
            self.assertLess(backend.ready_after, 1.0)
            conn = socket.create_connection((backend.address, backend.port))
            conn.sendall(b"GET /customer/faq.php HTTP/1.0\r\n\r\n")
            time.sleep(0.2)
            start = time.monotonic()
            os.kill(backend.proc.pid, signal.SIGTERM)
            self.assertEqual(backend.proc.wait(5), 0)
            self.assertLess(time.monotonic() - start, 3.0)
            conn.settimeout(2)
            self.assertEqual(conn.recv(100), b"")  # closed without an answer
            conn.close()
            self.assertIn(b"stopped", backend.proc.stdout.read())
        finally:
            backend.stop()

    def test_time_limit_ends_the_process(self):
        backend = Backend("127.0.0.57", "--time-limit", "0.5")
        try:
            self.assertEqual(backend.proc.wait(5), 0)
            self.assertIn(b"stopped (time limit)", backend.proc.stdout.read())
            with self.assertRaises(OSError):
                socket.create_connection((backend.address, backend.port), timeout=1).close()
        finally:
            backend.stop()

    def test_refuses_to_start(self):
        with tempfile.TemporaryDirectory() as tmp:
            bad = os.path.join(tmp, "bad.json")
            with open(bad, "w") as f:
                f.write('{"accounts": [{"id": "a", "password": "p", "mygame": "x|y"}]}')
            cases = [
                ("not loopback", ["0.0.0.0", "--port", "0"], 2, "loopback"),
                ("not an address", ["example", "--port", "0"], 2, "not an IPv4 address"),
                ("bad fixture", ["127.0.0.58", "--port", "0", "--fixture", bad], 2, "may not contain"),
                ("bad fault", ["127.0.0.58", "--port", "0", "--fault", "boom"], 2, "unknown fault"),
            ]
            for name, args, rc, message in cases:
                with self.subTest(name):
                    got_rc, err = run_refused(*args)
                    self.assertEqual(got_rc, rc)
                    self.assertIn(message, err)

    def test_port_in_use(self):
        backend = Backend("127.0.0.59")
        try:
            rc, err = run_refused("127.0.0.59", "--port", str(backend.port), "--time-limit", "2")
            self.assertEqual(rc, 1)
            self.assertIn("cannot listen", err)
        finally:
            backend.stop()

    def test_record_file_starts_empty(self):
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "old.jsonl")
            with open(path, "w") as f:
                f.write('{"stale": true}\n')
            backend = Backend("127.0.0.60", "--record", path)
            try:
                backend.request(b"GET", b"/")
                with open(path) as f:
                    lines = f.read().splitlines()
                self.assertEqual(len(lines), 1)
                self.assertNotIn("stale", lines[0])
            finally:
                backend.stop()


if __name__ == "__main__":
    unittest.main()
