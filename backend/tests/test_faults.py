import threading
import time
import unittest

import support
from support import Backend, BackendTestCase, codec, user_check_text

LOGIN = "/ClientLogin/user_check_v1.php"
INFO = "/ClientLogin/get_info.php"


class ControlledFaults(BackendTestCase):
    address = "127.0.0.54"
    record = True

    def login_raw(self):
        """Raw reply bytes and the time taken by one user check."""
        data = (b"POST " + LOGIN.encode() + b"?bin=" + codec.encode(user_check_text("demo", "demo1234"))
                + b" HTTP/1.0\r\nContent-Length: 0\r\n\r\n")
        start = time.monotonic()
        raw = self.backend.raw(data)
        return raw, time.monotonic() - start

    def fault(self, name, arg=None, **more):
        args = {"name": name, **more}
        if arg is not None:
            args["arg"] = arg
        status, result = self.backend.control("fault", **args)
        self.assertEqual(status, 200, result)
        return result

    def test_each_switch(self):
        faq = "http://127.0.0.54:%d/customer/faq.php" % self.backend.port

        def check_normal(status, headers, body, took):
            self.assertEqual(status, 200)
            self.assertTrue(codec.decode(body).startswith(b"login_tag=yes|"))

        def check_drop(status, headers, body, took):
            self.assertEqual(status, 200)
            self.assertEqual(len(body), 10)
            self.assertGreater(int(headers["content-length"]), 10)

        cases = [
            ("delay", "0.4", lambda *r: (check_normal(*r), self.assertGreaterEqual(r[3], 0.4))),
            ("status", "503", lambda s, h, b, t: self.assertEqual(s, 503)),
            ("status", None, lambda s, h, b, t: self.assertEqual(s, 500)),
            ("redirect", None, lambda s, h, b, t: self.assertEqual((s, h["location"]), (302, faq))),
            ("redirect", "http://127.0.0.9/x",
             lambda s, h, b, t: self.assertEqual(h["location"], "http://127.0.0.9/x")),
            ("empty", None, lambda s, h, b, t: self.assertEqual((s, b, h["content-length"]),
                                                               (200, b"", "0"))),
            ("garbage", None, lambda s, h, b, t: (self.assertEqual(s, 200),
                                                  self.assertFalse(codec.decode(b).startswith(b"login")),
                                                  self.assertNotEqual(codec.encode(codec.decode(b)), b))),
            ("drop", "10", check_drop),
            ("slow", "0.4", lambda *r: (check_normal(*r), self.assertGreaterEqual(r[3], 0.35))),
        ]
        for name, arg, check in cases:
            with self.subTest(name=name, arg=arg):
                self.backend.control("reset")
                self.fault(name, arg)
                raw, took = self.login_raw()
                check(*support.parse_response(raw), took)
                self.assertEqual(self.backend.records()[-1]["faults"][0]["name"], name)

    def test_close_sends_nothing(self):
        self.fault("close")
        self.assertEqual(self.login_raw()[0], b"")

    def test_path_limit_count_and_reset(self):
        self.fault("status", "500", path=INFO, times=2)
        self.fault("status", "404", path=LOGIN.upper())
        info = lambda: self.backend.query(INFO, b"client_code=tunra|user_id=demo")[0]  # noqa: E731
        self.assertEqual(support.parse_response(self.login_raw()[0])[0], 404)
        self.assertEqual([info(), info(), info()], [500, 500, 200])
        self.backend.control("reset")
        self.assertEqual(support.parse_response(self.login_raw()[0])[0], 200)

    def test_bad_switches_are_refused(self):
        for args in ({"name": "explode"}, {"name": "delay", "arg": "soon"},
                     {"name": "status", "arg": "99"}, {"name": "empty", "arg": "1"}):
            with self.subTest(args=args):
                status, result = self.backend.control("fault", **args)
                self.assertEqual(status, 400)
                self.assertFalse(result["ok"])
                self.assertEqual(result["faults"], [])

    def test_slow_request_does_not_hold_up_another(self):
        self.fault("delay", "1.5", path=LOGIN)
        done = []
        thread = threading.Thread(target=lambda: done.append(self.login_raw()))
        thread.start()
        time.sleep(0.1)
        start = time.monotonic()
        status, _, _ = self.backend.request(b"GET", b"/customer/faq.php")
        self.assertEqual(status, 200)
        self.assertLess(time.monotonic() - start, 0.5)
        thread.join(5)
        self.assertGreaterEqual(done[0][1], 1.5)


class CommandLineFaults(unittest.TestCase):
    def test_fault_option_limited_to_a_path(self):
        backend = Backend("127.0.0.55", "--fault", "status=502@" + INFO, "--fault", "delay=0.3")
        try:
            start = time.monotonic()
            self.assertEqual(backend.query(INFO, b"client_code=tunra|user_id=demo")[0], 502)
            self.assertEqual(backend.request(b"GET", b"/customer/faq.php")[0], 200)
            self.assertGreaterEqual(time.monotonic() - start, 0.6)
            status, result = backend.control("status")
            self.assertEqual([f["name"] for f in result["faults"]], ["status", "delay"])
        finally:
            backend.stop()


if __name__ == "__main__":
    unittest.main()
