import copy
import ipaddress
import time
import unittest

import support
from tunra_server import fixtures


class RelativeTimes(unittest.TestCase):
    def test_resolution(self):
        now = time.mktime((2026, 3, 31, 12, 0, 0, 0, 0, -1))
        cases = [
            ("now", "2026-03-31 12:00:00"),
            ("+30d", "2026-04-30 12:00:00"),
            ("-1d", "2026-03-30 12:00:00"),
            ("+2h30m", "2026-03-31 14:30:00"),
            ("+30m", "2026-03-31 12:30:00"),
            ("+3m", "2026-03-31 12:03:00"),
            ("+1d", "2026-04-01 12:00:00"),
            ("+59s", "2026-03-31 12:00:59"),
            ("2030-01-01 00:00:00", "2030-01-01 00:00:00"),
            (None, None),
        ]
        for when, expected in cases:
            with self.subTest(when=when):
                self.assertEqual(fixtures.resolve_time(when, now), expected)


def minimal(**account):
    base = {"id": "a", "password": "p", "vpntype": 4, "pool": [["1", "10.0.0.1"]]}
    base.update(account)
    return {"accounts": [base]}


class Validation(unittest.TestCase):
    def test_shipped_fixture_has_every_account_kind(self):
        fx = fixtures.load(support.SHIPPED_FIXTURE)
        accounts = list(fx.accounts.values())

        def has(pred):
            return any(pred(a.raw) for a in accounts)

        self.assertTrue(has(lambda r: r["vpntype"] == 4 and r.get("use_select") == 1 and r.get("pool")))
        self.assertTrue(has(lambda r: r["vpntype"] == 1 and r.get("use_select") == 0 and r.get("classes")))
        self.assertTrue(has(lambda r: r["vpntype"] == 3))
        self.assertTrue(has(lambda r: r.get("status") == "suspended"))
        self.assertTrue(has(lambda r: r.get("end", 0) is None and r.get("minutes", 0) is None))
        self.assertTrue(has(lambda r: any("http://" in m for m in r.get("server_error", []))
                            and any("http://" not in m for m in r.get("server_error", []))))
        self.assertEqual(fx.find(b"demo").password, "demo1234")

    def test_shipped_pools_name_no_real_host(self):
        # The client may route to or show these addresses: only loopback and the
        # documentation ranges, so no test or demo sends anything to a real host.
        allowed = [ipaddress.ip_network(n) for n in
                   ("127.0.0.0/8", "192.0.2.0/24", "198.51.100.0/24", "203.0.113.0/24")]
        fx = fixtures.load(support.SHIPPED_FIXTURE)
        addresses = [("vpn_servers", s["ip"]) for s in fx.vpn_servers]
        for account in fx.accounts.values():
            for where, entries in [("pool", account.pool())] + account.classes():
                addresses += [("%s %s" % (account.id, where), ip) for _, ip in entries]
        self.assertGreater(len(addresses), 2)
        for where, ip in addresses:
            with self.subTest(where=where, ip=ip):
                self.assertTrue(any(ipaddress.ip_address(ip) in n for n in allowed))

    def test_refuses_what_would_break_the_reply(self):
        cases = [
            ("bar in a value", minimal(mygame="a|b"), "may not contain '|'"),
            ("single '=' in a value", minimal(route_list="10.0.0.0=8"), "single '='"),
            ("caret in a message", minimal(server_error=["a^b"]), "may not contain '^'"),
            ("'=' in a message", minimal(server_error=["a=b"]), "may not contain '='"),
            ("caret in a pool entry", minimal(pool=[["1^2", "10.0.0.1"]]), "may not contain '^'"),
            ("unknown pool", minimal(pool="nowhere"), "unknown pool"),
            ("unknown account key", minimal(pasword="x"), "unknown keys pasword"),
            ("bad status", minimal(status="paused"), "status must be"),
            ("not code page 949", minimal(name="\u0e01"), "code page 949"),
            ("bad relative date", minimal(end="+3x"), "not a relative date"),
        ]
        for name, data, message in cases:
            with self.subTest(name):
                with self.assertRaises(fixtures.FixtureError) as caught:
                    fixtures.validate(data)
                self.assertIn(message, str(caught.exception))

    def test_identifiers_are_unique_whatever_their_case(self):
        data = minimal()
        data["accounts"].append(copy.deepcopy(data["accounts"][0]))
        data["accounts"][1]["id"] = "A"
        with self.assertRaises(fixtures.FixtureError):
            fixtures.validate(data)

    def test_raw_reply_fields_are_not_checked(self):
        # Tests send malformed replies on purpose through these.
        fixtures.validate(minimal(reply={"x": "a=b|c"}, reply_raw="server_error=a=b"))


if __name__ == "__main__":
    unittest.main()
