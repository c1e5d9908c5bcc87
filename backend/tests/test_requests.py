"""Raw request handling and the request record."""

import os
import stat
import unittest

import support
from support import CLIENT_HEADERS, BackendTestCase, codec, user_check_text

LOGOUT = "/ClientLogin/client_logout.php"
LOGOUT_TEXT = b"ccver=1185|longid=demo|cccode=tunra|auth_mode=vpn"


class Recording(BackendTestCase):
    address = "127.0.0.53"
    record = True

    def last(self):
        return self.backend.records()[-1]

    def test_query_form_login_is_recorded_byte_for_byte(self):
        plain = user_check_text("테스터", "tester1234")
        self.backend.query("/ClientLogin/user_check_v1.php", plain)
        rec = self.last()
        encoded = codec.encode(plain)
        self.assertEqual((rec["method"], rec["path"], rec["form"]),
                         ("POST", "/clientlogin/user_check_v1.php", "query"))
        self.assertEqual(rec["bin_hex"], encoded.hex())
        self.assertEqual(rec["bin_latin1"].encode("latin-1"), encoded)
        self.assertEqual(rec["target"].encode("latin-1"),
                         b"/ClientLogin/user_check_v1.php?bin=" + encoded)
        self.assertEqual(bytes.fromhex(rec["text_hex"]), plain)
        self.assertEqual(rec["text"], plain.decode("cp949"))
        self.assertTrue(rec["params_by_schema"])
        params = dict(rec["params"])
        self.assertEqual(params["id"], "테스터")
        self.assertEqual(params["client_sysInfo"], support.SYSINFO)
        self.assertEqual(len(rec["params"]), 13)
        self.assertEqual(rec["status"], 200)
        self.assertTrue(rec["reply_text"].startswith("login_tag=yes|"))
        self.assertFalse(rec["percent_escaped"])
        self.assertIn(["User-Agent", CLIENT_HEADERS.split(b": ", 2)[-1].decode()], rec["headers"])
        for key in ("time", "epoch", "seq", "peer", "body_hex", "faults"):
            self.assertIn(key, rec)

    def test_event_text_with_bars_and_equals_stays_whole(self):
        event = ("<<<<<<  Version =  1185  OPEN_STATUS : VPN SERVER FORCE ERROR  >>>>>>\r\n"
                 "Windows 7 , Ultimate Edition, x64, \r\n\r\n"
                 "Mon Jan 1 OpenVPN 2.1 |x=y| auth=none\r\n한글 로그\r\n")
        plain = ("client_code=tunra|client_id=demo|event=" + event).encode("cp949")
        self.assertEqual(self.backend.decoded("form", "/ClientLogin/client_event_v1.php", plain),
                         b"result=ok")
        rec = self.last()
        self.assertEqual(rec["form"], "body")
        self.assertTrue(rec["params_by_schema"])
        self.assertEqual(rec["params"], [["client_code", "tunra"], ["client_id", "demo"],
                                         ["event", event]])

    def test_text_off_the_schema_is_split_at_every_bar(self):
        self.backend.form(LOGOUT, b"longid=demo|x=1=2|bare")
        rec = self.last()
        self.assertFalse(rec["params_by_schema"])
        self.assertEqual(rec["params"], [["longid", "demo"], ["x", "1=2"], ["bare", ""]])

    def test_ways_a_request_can_carry_its_body(self):
        body = b"bin=" + codec.encode(LOGOUT_TEXT)
        head = b"POST " + LOGOUT.encode() + b" HTTP/1.0\r\n" + CLIENT_HEADERS + b"\r\n"
        chunked = b"%x\r\n%s\r\n0\r\n\r\n" % (len(body), body)
        escaped = body[:4] + b"".join(b"%%%02X" % c if c < 0x20 else bytes([c]) for c in body[4:])
        cases = [
            ("content length", head + b"Content-Length: %d\r\n\r\n" % len(body) + body, False),
            ("ends at half-close", head + b"\r\n" + body, True),
            ("chunked", head + b"Transfer-Encoding: chunked\r\n\r\n" + chunked, False),
            ("bare LF line ends", head.replace(b"\r\n", b"\n") + b"\n" + body, True),
            ("absolute URL", head.replace(b"POST /", b"POST http://127.0.0.53/", 1)
             + b"Content-Length: %d\r\n\r\n" % len(body) + body, False),
            ("percent-escaped", head + b"Content-Length: %d\r\n\r\n" % len(escaped) + escaped,
             False),
        ]
        for name, raw, half_close in cases:
            with self.subTest(name):
                status, _, reply = support.parse_response(self.backend.raw(raw, half_close))
                self.assertEqual(status, 200)
                self.assertEqual(codec.decode(reply), b"result=ok")
                rec = self.last()
                self.assertEqual(rec["path"], LOGOUT.lower())
                self.assertEqual(rec["form"], "body")
                self.assertEqual(rec["text"], LOGOUT_TEXT.decode())
                self.assertEqual(rec["percent_escaped"], name == "percent-escaped")

    def test_bytes_a_general_parser_takes_for_blanks_survive(self):
        # 0x1C-0x1F, 0x85 and 0xA0 count as white space to str.split().
        odd = b"\x1c\x1d\x1e\x1f\x85\xa0"
        encoded = codec.encode(LOGOUT_TEXT)
        self.backend.request(b"POST", LOGOUT.encode() + b"?bin=" + odd + encoded, b"")
        rec = self.last()
        self.assertEqual(bytes.fromhex(rec["bin_hex"]), odd + encoded)
        self.assertEqual(rec["form"], "query")

    def test_refused_requests_get_a_status_and_a_record(self):
        cases = [
            ("malformed request line", b"\x00\x01 nonsense\r\n\r\n", 400),
            ("bad length", b"POST /x HTTP/1.0\r\nContent-Length: 12x\r\n\r\n", 400),
            ("body too large", b"POST /x HTTP/1.0\r\nContent-Length: 999999999999\r\n\r\n", 413),
            ("body cut short", b"POST /x HTTP/1.0\r\nContent-Length: 50\r\n\r\nbin=abc", 400),
        ]
        for name, raw, status in cases:
            with self.subTest(name):
                got, _, _ = support.parse_response(self.backend.raw(raw))
                self.assertEqual(got, status)
                self.assertEqual(self.last()["status"], status)
                self.assertIn("error", self.last())

    def test_head_request_has_no_body(self):
        status, headers, body = self.backend.request(b"HEAD", b"/customer/faq.php")
        self.assertEqual((status, body), (200, b""))
        self.assertGreater(int(headers["content-length"]), 0)

    def test_record_file_is_private(self):
        mode = stat.S_IMODE(os.stat(self.backend.record_path).st_mode)
        self.assertEqual(mode, 0o600)

    def test_pool_ip_change_and_logout_notice_are_recorded_with_their_choice(self):
        # The tunnel tests read these keys: class_code of a class double-click, ip_code
        # of an IP change and auth_mode of the logout notice after a lost link.
        cases = [
            ("/Info/ip_pool_list.php", support.ip_pool_text("pptp", "pptp1234", "서울b"),
             "class_code", "서울b", "211^198.51.100.21|212^198.51.100.22|"),
            ("/ClientLogin/socket_change.php",
             b"client_code=tunra|id=pptpdemo|password=pptpdemo1234|ip_code=103",
             "ip_code", "103", "select_ip=203.0.113.13"),
            (LOGOUT, b"ccver=1185|longid=pptpdemo|cccode=tunra|auth_mode=vpn",
             "auth_mode", "vpn", "result=ok"),
        ]
        for path, plain, key, value, reply in cases:
            with self.subTest(path=path):
                self.backend.form(path, plain)
                rec = self.last()
                self.assertEqual(rec["path"], path.lower())
                self.assertTrue(rec["params_by_schema"])
                self.assertEqual(dict(rec["params"])[key], value)
                self.assertEqual(rec["reply_text"], reply)

    def test_control_lists_one_path_after_a_given_record(self):
        self.backend.form(LOGOUT, LOGOUT_TEXT)
        seen = self.last()["seq"]
        self.backend.request(b"GET", b"/member/join1.php")
        self.backend.form(LOGOUT, LOGOUT_TEXT.replace(b"=vpn", b"=user"))
        cases = [
            ({"after": seen}, ["/member/join1.php", LOGOUT.lower()]),
            ({"after": seen, "path": LOGOUT}, [LOGOUT.lower()]),
            ({"after": seen + 2, "path": LOGOUT}, []),
        ]
        for args, paths in cases:
            with self.subTest(**args):
                status, result = self.backend.control("requests", **args)
                self.assertEqual(status, 200)
                self.assertEqual([r["path"] for r in result["requests"]], paths)
        _, result = self.backend.control("requests", after=seen, path=LOGOUT.upper())
        self.assertEqual(dict(result["requests"][0]["params"])["auth_mode"], "user")
        self.assertEqual(self.backend.control("requests", after="x")[0], 400)

    def test_control_requests_are_not_recorded_but_listed(self):
        self.backend.request(b"GET", b"/member/join1.php")
        count = len(self.backend.records())
        status, result = self.backend.control("requests")
        self.assertEqual(status, 200)
        self.assertEqual(result["requests"][-1]["path"], "/member/join1.php")
        self.assertEqual(len(self.backend.records()), count)


if __name__ == "__main__":
    unittest.main()
