"""The accounts the dialled-tunnel flows log in with: tunnel kind, panel choice,
pools per class, and end dates that lie a fixed time after each request."""

import time
import unittest

from support import BackendTestCase, ip_pool_text, parse_fields, user_check_text
from tunra_server import fixtures

LOGIN = "/ClientLogin/user_check_v1.php"
INFO = "/ClientLogin/get_info.php"
POOL = "/Info/ip_pool_list.php"
DAY = 86400

MAIN_POOL = ("101^203.0.113.11|102^203.0.113.12|103^203.0.113.13|104^203.0.113.14|"
             "105^203.0.113.15|106^203.0.113.16|107^203.0.113.17|108^203.0.113.18|")


def seconds_ahead(date_text):
    return time.mktime(time.strptime(date_text, fixtures.DATE_FORMAT)) - time.time()


class TunnelAccounts(BackendTestCase):
    address = "127.0.0.61"

    def login(self, user, password):
        return parse_fields(self.backend.decoded("query", LOGIN, user_check_text(user, password)))

    def test_logins_give_tunnel_kind_panel_and_end_date(self):
        # xxxtime is the whole minutes to the end, counted from the same instant, so a
        # date N seconds ahead (whole seconds) leaves floor((N - fraction) / 60).
        cases = [
            # id, password, vpntype, use_select, end seconds ahead, xxxtime
            ("pptpdemo", "pptpdemo1234", "1", "1", 30 * DAY, str(30 * 1440 - 1)),
            ("l2tp", "l2tp1234", "3", "1", 90 * DAY, str(90 * 1440 - 1)),
            ("pptp", "pptp1234", "1", "0", 7 * DAY, str(7 * 1440 - 1)),
            ("end30m", "end30m1234", "1", "1", 1800, "29"),
            ("end3m", "end3m1234", "1", "1", 180, "2"),
            ("end59s", "end59s1234", "1", "1", 59, "0"),
        ]
        for user, password, vpntype, use_select, ahead, minutes in cases:
            with self.subTest(user=user):
                fields = self.login(user, password)
                self.assertEqual((fields["vpntype"], fields["use_select"]), (vpntype, use_select))
                self.assertAlmostEqual(seconds_ahead(fields["xxxdate"]), ahead, delta=2)
                self.assertEqual(fields["xxxtime"], minutes)
                self.assertEqual(fields["server_ip"], "127.0.0.1")
                # A whole-pool account sends no classes; the class account sends its three.
                self.assertEqual(fields.get("ip_pool_class"),
                                 "서울A^서울B^부산C^" if use_select == "0" else None)

    def test_openvpn_accounts_of_the_end_to_end_scenarios(self):
        # The time allowed to come up decides how long a failing scenario runs; the
        # extra directives are sent as written (the client drops what it must); the
        # certificate's address leads back to this back end, which serves it.
        cases = [
            # id, password, login_dealy, open_config
            ("ovpn", "ovpn1234", "10", "proto udp^^connect-retry 2^script-security 2^up evil.bat^"),
            ("ovpnquick", "ovpnquick1234", "2", "proto udp^connect-retry 2^"),
        ]
        host = "http://%s:%d/" % (self.backend.address, self.backend.port)
        for user, password, delay, open_config in cases:
            with self.subTest(user=user):
                fields = self.login(user, password)
                self.assertEqual((fields["vpntype"], fields["use_select"]), ("4", "1"))
                self.assertEqual(fields["login_dealy"], delay)
                self.assertEqual(fields["open_config"], open_config)
                self.assertEqual((fields["server_ip"], fields["vpnport"]), ("127.0.0.1", "1194"))
                self.assertEqual((fields["crt_ver"], fields["crt_file"]), ("1001", host + "cert/ca.crt"))
        status, _, body = self.backend.request(b"GET", b"/cert/ca.crt")
        self.assertEqual(status, 200)
        self.assertIn(b"stand-in CA certificate", body)

    def test_end_dates_follow_the_moment_of_each_request(self):
        # The client checks the user again before each tunnel: the end must be
        # computed then, not when the back end started.
        first = self.login("end59s", "end59s1234")["xxxdate"]
        time.sleep(1.1)
        second = self.login("end59s", "end59s1234")["xxxdate"]
        self.assertGreater(seconds_ahead(second), seconds_ahead(first))
        self.assertAlmostEqual(seconds_ahead(second), 59, delta=2)

    def test_account_refresh(self):
        cases = [
            # id, end seconds ahead, xxxtime
            ("end3m", DAY, "1440"),      # moved a day ahead: text 1036 changes
            ("end59s", 59, "0"),         # no refresh of its own: the login's rule
            ("end30m", 1800, "0"),
        ]
        for user, ahead, minutes in cases:
            with self.subTest(user=user):
                fields = parse_fields(self.backend.decoded(
                    "query", INFO, ("client_code=tunra|user_id=%s" % user).encode()))
                self.assertAlmostEqual(seconds_ahead(fields["xxxdate"]), ahead, delta=2)
                self.assertEqual(fields["xxxtime"], minutes)
        login_end = self.login("end3m", "end3m1234")["xxxdate"]
        info = parse_fields(self.backend.decoded("query", INFO, b"client_code=tunra|user_id=end3m"))
        self.assertGreater(info["xxxdate"], login_end)

    def test_pool_exchange_per_class_and_whole_pool(self):
        # The client lower-cases the class names of the login reply and sends them back.
        cases = [
            ("pptp", "pptp1234", "서울a", "201^198.51.100.11|202^198.51.100.12|203^198.51.100.13|"),
            ("pptp", "pptp1234", "서울b", "211^198.51.100.21|212^198.51.100.22|"),
            ("pptp", "pptp1234", "부산c",
             "221^198.51.100.31|222^198.51.100.32|223^198.51.100.33|"),
            ("pptpdemo", "pptpdemo1234", "", MAIN_POOL),
            ("l2tp", "l2tp1234", "", MAIN_POOL),
            ("end30m", "end30m1234", "", MAIN_POOL),
            ("end3m", "end3m1234", "", MAIN_POOL),
            ("end59s", "end59s1234", "", MAIN_POOL),
        ]
        for user, password, class_code, expected in cases:
            with self.subTest(user=user, class_code=class_code):
                reply = self.backend.decoded("form", POOL, ip_pool_text(user, password, class_code))
                self.assertEqual(reply.decode("cp949"), expected)

    def test_ip_change_answers_codes_of_every_class(self):
        cases = [
            ("pptp", "pptp1234", "212", "select_ip=198.51.100.22"),
            ("pptpdemo", "pptpdemo1234", "108", "select_ip=203.0.113.18"),
            ("pptpdemo", "pptpdemo1234", "201", "server_error="),  # another account's class
        ]
        for user, password, code, expected in cases:
            with self.subTest(user=user, code=code):
                plain = "client_code=tunra|id=%s|password=%s|ip_code=%s" % (user, password, code)
                reply = self.backend.decoded("form", "/ClientLogin/socket_change.php",
                                             plain.encode()).decode("cp949")
                self.assertTrue(reply.startswith(expected), reply)


if __name__ == "__main__":
    unittest.main()
