import time
import unittest

from support import BackendTestCase, ip_pool_text, parse_fields, user_check_text
from tunra_server import fixtures

V1 = "/ClientLogin/user_check_v1.php"
V0 = "/ClientLogin/user_check_v0.php"
# The stand-in installer offered for 1185 (4,096 bytes): its digest, computed apart.
STAND_IN_1185_SHA256 = "8006a93b71f706d53245a5a1bc94ff7d63dabd274640dfbdb6a2f0043d708b37"


def client_view(plain):
    """What the client's reply parser stores: lower-cased, "==" read as '/',
    value cut at a second '='; empty keys and values skipped."""
    text = plain.lower().replace(b"==", b"/")
    out = {}
    for field in text.split(b"|"):
        parts = field.split(b"=")
        key, value = parts[0], parts[1] if len(parts) > 1 else b""
        if key and value:
            out.setdefault(key.decode(), value.decode("cp949"))
    return out


def minutes_from_now(date_text):
    return (time.mktime(time.strptime(date_text, fixtures.DATE_FORMAT)) - time.time()) / 60


class UserCheck(BackendTestCase):
    address = "127.0.0.50"

    def login(self, user, password, path=V1, **kw):
        return self.backend.decoded("query", path, user_check_text(user, password, **kw))

    def test_markers_of_refused_and_special_accounts(self):
        host = self.backend.address + ":%d" % self.backend.port
        cases = [
            ("wrong password", "demo", "wrong", b"login_auth=no"),
            ("unknown identifier", "nobody", "demo1234", b"login_auth=no"),
            ("empty identifier", "", "", b"login_auth=no"),
            ("suspended", "stop", "stop1234", b"login_auth=stop"),
            ("server messages", "notice", "notice1234",
             ("login_retry_count=3|server_error=서버 점검 중입니다. 잠시 후 다시 이용해 주세요."
              "^http://%s/customer/notice.php" % host).encode("cp949")),
        ]
        for name, user, password, expected in cases:
            with self.subTest(name):
                self.assertEqual(self.login(user, password), expected)

    def test_account_without_time_sends_both_empty_markers(self):
        reply = self.login("expired", "expired1234")
        self.assertIn(b"xxxtime=|", reply)
        self.assertIn(b"xxxdate=|", reply)
        self.assertNotIn(b"login_auth=", reply)

    def test_success_replies_per_account_kind(self):
        cases = [
            ("demo", "demo1234", {"vpntype": "4", "use_select": "1"}, 30 * 1440),
            ("pptp", "pptp1234", {"vpntype": "1", "use_select": "0",
                                  "ip_pool_class": "서울a^서울b^부산c^",
                                  "default_route": "192.0.2.10^192.0.2.11^"}, 7 * 1440),
            ("l2tp", "l2tp1234", {"vpntype": "3", "use_select": "1"}, 90 * 1440),
            ("full", "full1234", {"route_list": "0.0.0.0/0.0.0.0^10.8.0.0/255.255.255.0",
                                  "mac_addr": "00ff1a2b3c4d"}, 30 * 1440),
            ("테스터", "tester1234", {"name": "한글 사용자"}, 10 * 1440),
            # The client lower-cases what the user typed; the back end does not mind.
            ("DEMO", "DEMO1234", {"user_long_id": "demo"}, 30 * 1440),
        ]
        host = "http://%s:%d/" % (self.backend.address, self.backend.port)
        for user, password, expected, minutes in cases:
            with self.subTest(user=user):
                plain = self.login(user, password)
                self.assertNotIn(b"login_auth", plain)
                self.assertNotIn(b"server_error", plain)
                view = client_view(plain)
                for key, value in expected.items():
                    self.assertEqual(view.get(key), value, key)
                self.assertEqual(view["server_ip"], "127.0.0.1")
                self.assertEqual(view["crt_file"], host + "cert/ca.crt")
                self.assertEqual(view["update_url"], host + "download/tunra_setup_1185.exe")
                self.assertEqual(view["update_version"], "1185")
                self.assertEqual(view["vpn_server_list"], "서울 1/s01^서울 2/s02^")
                self.assertAlmostEqual(minutes_from_now(view["xxxdate"]), minutes, delta=2)
                self.assertAlmostEqual(int(view["xxxtime"]), minutes, delta=2)
                self.assertEqual(view["expire_time"], view["xxxdate"][:10])

    def test_every_field_keeps_the_grammar(self):
        for user, password in (("demo", "demo1234"), ("pptp", "pptp1234"), ("full", "full1234")):
            with self.subTest(user=user):
                fields = self.login(user, password).split(b"|")
                keys = [f.split(b"=")[0] for f in fields]
                self.assertEqual(len(keys), len(set(keys)))
                for field in fields:
                    key, _, value = field.partition(b"=")
                    self.assertTrue(key)
                    self.assertNotIn(b"=", value.replace(b"==", b""), field)

    def test_chosen_server_and_test_certificate(self):
        self.assertEqual(client_view(self.login("demo", "demo1234", server_code="s02"))["server_ip"],
                         "127.0.0.2")
        self.assertEqual(client_view(self.login("demo", "demo1234", server_code="zz"))["server_ip"],
                         "127.0.0.1")
        self.assertTrue(client_view(self.login("demo", "demo1234", path=V0))["crt_file"]
                        .endswith("/cert/ca_test.crt"))

    def test_server_time_is_now(self):
        view = client_view(self.login("full", "full1234"))
        self.assertAlmostEqual(minutes_from_now(view["server_time"]), 0, delta=0.1)


class OtherScripts(BackendTestCase):
    address = "127.0.0.51"

    def test_account_information(self):
        reply = self.backend.decoded("query", "/ClientLogin/get_info.php",
                                     b"client_code=tunra|user_id=soon")
        fields = parse_fields(reply)
        self.assertAlmostEqual(minutes_from_now(fields["xxxdate"]), 1440, delta=2)
        self.assertEqual(fields["xxxtime"], "60")
        self.assertEqual(self.backend.decoded("query", "/ClientLogin/get_info.php",
                                              b"client_code=tunra|user_id=nobody"),
                         b"login_auth=no")

    def test_ip_pool(self):
        cases = [
            ("whole pool", ip_pool_text("demo", "demo1234"),
             b"101^203.0.113.11|102^203.0.113.12|", 8),
            # Class names come back lower-cased from the client.
            ("one class", ip_pool_text("pptp", "pptp1234", "서울a"),
             b"201^198.51.100.11|202^198.51.100.12|203^198.51.100.13|", 3),
            ("unknown class", ip_pool_text("pptp", "pptp1234", "nowhere"), b"server_error=", None),
            ("wrong password", ip_pool_text("demo", "nope"), b"server_error=", None),
            ("suspended", ip_pool_text("stop", "stop1234"), b"server_error=", None),
        ]
        for name, plain, start, count in cases:
            with self.subTest(name):
                reply = self.backend.decoded("form", "/Info/ip_pool_list.php", plain)
                self.assertTrue(reply.startswith(start), reply)
                if count is not None:
                    self.assertTrue(reply.endswith(b"|"))
                    self.assertEqual(reply.count(b"|"), count)
                else:
                    self.assertNotIn(b"=", reply.split(b"=", 1)[1])

    def test_ip_change(self):
        cases = [
            ("demo", "demo1234", "102", b"select_ip=203.0.113.12"),
            ("pptp", "pptp1234", "222", b"select_ip=198.51.100.32"),
            ("demo", "demo1234", "999", b"server_error="),
            ("demo", "bad", "102", b"server_error="),
        ]
        for user, password, code, expected in cases:
            with self.subTest(user=user, code=code):
                plain = ("client_code=tunra|id=%s|password=%s|ip_code=%s" % (user, password, code))
                reply = self.backend.decoded("form", "/ClientLogin/socket_change.php", plain.encode())
                self.assertTrue(reply.startswith(expected), reply)

    def test_one_way_messages_are_acknowledged(self):
        for path, plain in (
                ("/ClientLogin/client_logout.php", b"ccver=1185|longid=demo|cccode=tunra|auth_mode=user"),
                ("/ClientLogin/client_event_v1.php", b"client_code=tunra|client_id=demo|event=x")):
            with self.subTest(path=path):
                self.assertEqual(self.backend.decoded("form", path, plain), b"result=ok")

    def test_version_file_and_installer(self):
        host = "%s:%d" % (self.backend.address, self.backend.port)
        for method in (b"POST", b"GET"):
            status, headers, body = self.backend.request(
                method, b"/ClientVersion/tunra/tunra_setup.php", b"" if method == b"POST" else None)
            self.assertEqual(status, 200)
            # The stand-in installer of 1185: 4,096 bytes whose digest is fixed.
            self.assertEqual(body, ("version=1185\ndownload=http://%s/download/tunra_setup_1185.exe\n"
                                    "sha256=%s\n" % (host, STAND_IN_1185_SHA256)).encode())
        status, _ = self.backend.control("update", version="1186")
        self.assertEqual(status, 200)
        _, _, body = self.backend.request(b"GET", b"/ClientVersion/brand/brand_setup.php")
        self.assertIn(b"version=1186\n", body)
        self.assertIn(b"/download/tunra_setup_1186.exe", body)
        status, headers, installer = self.backend.request(b"GET", b"/download/tunra_setup_1186.exe")
        self.assertEqual((status, len(installer)), (200, 4096))
        self.assertEqual(headers["content-type"], "application/octet-stream")
        for target in (b"/download/tunra_setup_1185.exe", b"/ClientVersion/a/b_setup.php",
                       b"/download/../fixtures/accounts.json"):
            with self.subTest(target=target):
                self.assertEqual(self.backend.request(b"GET", target)[0], 404)

    def test_certificates_and_pages(self):
        cases = [
            (b"/cert/ca.crt", 200, "application/x-x509-ca-cert"),
            (b"/cert/CA_TEST.CRT", 200, "application/x-x509-ca-cert"),
            (b"/cert/other.crt", 404, None),
            (b"/customer/faq.php", 200, "text/html; charset=utf-8"),
            (b"/member/join1.php", 200, "text/html; charset=utf-8"),
            (b"/member/idpw.php", 200, "text/html; charset=utf-8"),
            (b"/vpn_program/banner.php", 200, "text/html; charset=utf-8"),
            (b"/vpn_program/update.php", 200, "text/html; charset=utf-8"),
            (b"/customer/notice.php", 200, "text/html; charset=utf-8"),
            (b"/nothing.php", 404, None),
        ]
        for target, status, content_type in cases:
            with self.subTest(target=target):
                got, headers, body = self.backend.request(b"GET", target)
                self.assertEqual(got, status)
                if content_type:
                    self.assertEqual(headers["content-type"], content_type)
                    if "html" in content_type:
                        body.decode("utf-8")


class FixtureDriven(BackendTestCase):
    """Relative dates, explicit and raw reply fields from a fixture of the test's own."""

    address = "127.0.0.52"
    fixture = {
        "accounts": [
            {"id": "past", "password": "Mixed", "end": "-1d", "pool": [["1", "10.0.0.1"]]},
            {"id": "short", "password": "p", "end": "+59s", "minutes": 5,
             "reply": {"server_time": "now", "extra_key": "x", "mygame": None}},
            {"id": "raw", "password": "p", "reply_raw": "route_list=10.0.0.0==8^ 1.2.3.0/24|a=b=c"},
        ],
    }

    def login(self, user, password):
        return self.backend.decoded("query", V1, user_check_text(user, password))

    def test_dates_minutes_and_extra_fields(self):
        past = parse_fields(self.login("past", "mixed"))
        self.assertAlmostEqual(minutes_from_now(past["xxxdate"]), -1440, delta=2)
        self.assertEqual(past["xxxtime"], "0")
        short = self.login("short", "p")
        fields = parse_fields(short)
        self.assertAlmostEqual(minutes_from_now(fields["xxxdate"]), 1, delta=0.1)
        self.assertEqual(fields["xxxtime"], "5")
        self.assertEqual(fields["extra_key"], "x")
        self.assertNotIn("mygame", fields)
        self.assertAlmostEqual(minutes_from_now(fields["server_time"]), 0, delta=0.1)

    def test_raw_reply_is_sent_as_written(self):
        self.assertEqual(self.login("raw", "p"), b"route_list=10.0.0.0==8^ 1.2.3.0/24|a=b=c")


if __name__ == "__main__":
    unittest.main()
