"""Accounts, pools, servers, the offered client version and the certificate,
read from a JSON fixture file (format in backend/README.md).

Texts are kept as given in the file and turned into CP949 bytes when a reply is
built. Dates may be written relative to the moment of the request ("+30d",
"-1d", "+2h30m", "now") and are resolved then into "YYYY-MM-DD hh:mm:ss".
Everything that would break the reply grammar is refused at load time, so a
typo in a fixture shows up as an error message, not as a client that
misreads its reply.
"""

import json
import re
import time

from . import cp949text

# Reply keys of a successful user check, in the order the back end sends them.
# xxxdate and xxxtime stay in the middle so that an empty value is always
# followed by a bar ("xxxdate=|"), which is how the client recognises an
# account without time.
LOGIN_KEYS = (
    "login_tag", "user_long_id", "name", "server_code", "xxxdate", "xxxtime",
    "refund_money", "my_point", "search_time", "search_word", "expire_time",
    "mygame", "game_proc_count", "vpntype", "server_ip", "open_config",
    "gateway_ip", "route_list", "crt_ver", "crt_file", "vpnport", "mac_addr",
    "login_dealy", "server_time", "game_list", "gamefastmode",
    "auto_conn_change", "vpn_server_list", "use_select", "ip_pool_list",
    "ip_pool_class", "default_route", "update_version", "update_url",
)

# Keys an account (or the defaults) may set directly; the others are computed.
SETTABLE_KEYS = frozenset(LOGIN_KEYS) - {
    "xxxdate", "xxxtime", "vpntype", "use_select", "ip_pool_class",
    "vpn_server_list", "update_version", "update_url", "crt_ver",
}

TIME_KEYS = frozenset({"xxxdate", "expire_time", "server_time"})

ACCOUNT_KEYS = frozenset({
    "id", "password", "kind", "comment", "status", "vpntype", "use_select",
    "pool", "classes", "end", "minutes", "info_end", "info_minutes",
    "long_id", "server_error", "login_retry_count", "pool_error",
    "ip_change_error", "reply", "reply_raw",
}) | SETTABLE_KEYS

TOP_KEYS = frozenset({
    "comment", "defaults", "vpn_servers", "pools", "update", "certificate",
    "accounts",
})

_RELATIVE = re.compile(r"^[+-](?:\d+[dhms])+$")
_UNIT_SECONDS = {"d": 86400, "h": 3600, "m": 60, "s": 1}
DATE_FORMAT = "%Y-%m-%d %H:%M:%S"


class FixtureError(ValueError):
    pass


def is_relative_time(when):
    return isinstance(when, str) and (when == "now" or bool(_RELATIVE.match(when)))


def resolve_time(when, now=None):
    """"now", "+30d", "-1d", "+2h30m" → local "YYYY-MM-DD hh:mm:ss" at now;
    any other text is returned unchanged; None stays None."""
    if when is None or not is_relative_time(when):
        return when
    now = time.time() if now is None else now
    offset = 0
    if when != "now":
        sign = -1 if when[0] == "-" else 1
        for number, unit in re.findall(r"(\d+)([dhms])", when):
            offset += int(number) * _UNIT_SECONDS[unit]
        offset *= sign
    return time.strftime(DATE_FORMAT, time.localtime(now + offset))


def seconds_until(when, now=None):
    """Seconds from now to a resolved or absolute end date; None when unknown."""
    now = time.time() if now is None else now
    text = resolve_time(when, now)
    if not text:
        return None
    try:
        return time.mktime(time.strptime(text, DATE_FORMAT)) - now
    except (ValueError, OverflowError):
        return None


def text_value(value):
    """A fixture value as reply text: numbers become decimal, None stays None."""
    if value is None or isinstance(value, str):
        return value
    if isinstance(value, bool):
        return "1" if value else "0"
    if isinstance(value, (int, float)):
        return str(value)
    raise FixtureError("value %r is neither text nor a number" % (value,))


class Account:
    def __init__(self, raw, fixture):
        self.raw = raw
        self.fixture = fixture
        self.id = raw["id"]
        self.password = raw["password"]
        self.key = cp949text.ascii_lower(cp949text.from_text(self.id))
        self.password_key = cp949text.ascii_lower(cp949text.from_text(self.password))

    def get(self, name, default=None):
        return self.raw.get(name, default)

    @property
    def suspended(self):
        return self.raw.get("status", "active") == "suspended"

    def password_matches(self, sent):
        # The client lower-cases the password before it sends it, so the
        # comparison ignores ASCII letter case on both sides.
        return cp949text.ascii_lower(sent) == self.password_key

    def pool(self):
        return self.fixture.entries(self.raw.get("pool", []), "pool of %s" % self.id)

    def classes(self):
        """[(class name, [(code, ip), ...]), ...] in fixture order."""
        raw = self.raw.get("classes") or {}
        return [(name, self.fixture.entries(entries, "class %s of %s" % (name, self.id)))
                for name, entries in raw.items()]

    def setting(self, key):
        """An account's own value for a reply key, else the fixture default."""
        if key in self.raw:
            return text_value(self.raw[key])
        return text_value(self.fixture.defaults.get(key))


class Fixture:
    def __init__(self, data, path=None):
        self.path = path
        self.data = data
        self.defaults = data.get("defaults", {})
        self.vpn_servers = data.get("vpn_servers", [])
        self.pools = data.get("pools", {})
        self.update = data.get("update", {})
        self.certificate = data.get("certificate", {})
        self.accounts = {}
        for raw in data.get("accounts", []):
            account = Account(raw, self)
            if account.key in self.accounts:
                raise FixtureError("account %r is listed twice" % account.id)
            self.accounts[account.key] = account

    def find(self, sent_id):
        """The account for an identifier as sent (CP949 bytes), or None."""
        return self.accounts.get(cp949text.ascii_lower(sent_id))

    def entries(self, pool, where):
        """A pool given inline ([[code, ip], ...]) or by name of a shared pool."""
        if isinstance(pool, str):
            if pool not in self.pools:
                raise FixtureError("%s names unknown pool %r" % (where, pool))
            pool = self.pools[pool]
        return [(str(code), str(ip)) for code, ip in pool]

    def offered_version(self):
        return int(self.update.get("version", 1185))

    def installer_name(self, version):
        name = self.update.get("file")
        return name if name else "tunra_setup_%d.exe" % version


def _check_text(value, where, forbidden="|"):
    if value is None:
        return
    if not isinstance(value, str):
        value = text_value(value)
    try:
        cp949text.from_text(value)
    except UnicodeEncodeError:
        raise FixtureError("%s: %r has characters code page 949 cannot carry" % (where, value))
    for ch in forbidden:
        if ch in value:
            raise FixtureError("%s: %r may not contain %r" % (where, value, ch))


def _check_reply_value(key, value, where):
    # A bar would start a new field; a single '=' would cut the value short
    # ("==" is the written form of '/', which the client turns back).
    _check_text(value, where + "." + key)
    if value is not None and "=" in text_value(value).replace("==", ""):
        raise FixtureError("%s.%s: %r contains a single '=' (write '/' as '==')" % (where, key, value))


def _check_entries(fixture, pool, where):
    if isinstance(pool, str):
        if pool not in fixture.pools:
            raise FixtureError("%s names unknown pool %r" % (where, pool))
        return
    if not isinstance(pool, list):
        raise FixtureError("%s must be a list of [code, ip] pairs or a pool name" % where)
    for entry in pool:
        if not (isinstance(entry, list) and len(entry) == 2):
            raise FixtureError("%s: entry %r is not a [code, ip] pair" % (where, entry))
        for part in entry:
            _check_text(part, where, "|^=")


def _check_time(value, where):
    if value is None or is_relative_time(value):
        return
    if not isinstance(value, str):
        raise FixtureError("%s: %r is not a date" % (where, value))
    if value[:1] in ("+", "-"):
        raise FixtureError("%s: %r is not a relative date like +30d, -1d or +2h30m"
                           % (where, value))
    _check_text(value, where, "|=")


def validate(data):
    if not isinstance(data, dict):
        raise FixtureError("the fixture must be a JSON object")
    unknown = set(data) - TOP_KEYS
    if unknown:
        raise FixtureError("unknown top-level keys: %s" % ", ".join(sorted(unknown)))
    fixture = Fixture({k: v for k, v in data.items() if k != "accounts"})
    for key, value in fixture.defaults.items():
        if key not in SETTABLE_KEYS:
            raise FixtureError("defaults: %r is not a reply key that can be set" % key)
        _check_reply_value(key, value, "defaults")
    for name, entries in fixture.pools.items():
        if isinstance(entries, str):
            raise FixtureError("pools.%s must be a list" % name)
        _check_entries(fixture, entries, "pools." + name)
    for i, server in enumerate(fixture.vpn_servers):
        for part in ("name", "code", "ip"):
            if part not in server:
                raise FixtureError("vpn_servers[%d] lacks %r" % (i, part))
            _check_text(server[part], "vpn_servers[%d].%s" % (i, part), "|^=/")
    for key in ("version", "size"):
        if key in fixture.update and not isinstance(fixture.update[key], int):
            raise FixtureError("update.%s must be an integer" % key)
    seen = set()
    for i, raw in enumerate(data.get("accounts", [])):
        where = "accounts[%d]" % i
        if not isinstance(raw, dict):
            raise FixtureError(where + " must be an object")
        for key in ("id", "password"):
            if not isinstance(raw.get(key), str):
                raise FixtureError("%s needs a text %r" % (where, key))
            _check_text(raw[key], where + "." + key, "|=")
        where = "account %r" % raw["id"]
        unknown = set(raw) - ACCOUNT_KEYS
        if unknown:
            raise FixtureError("%s: unknown keys %s" % (where, ", ".join(sorted(unknown))))
        key = cp949text.ascii_lower(cp949text.from_text(raw["id"]))
        if key in seen:
            raise FixtureError("%s is listed twice" % where)
        seen.add(key)
        if raw.get("status", "active") not in ("active", "suspended"):
            raise FixtureError("%s: status must be 'active' or 'suspended'" % where)
        for key in ("vpntype", "use_select", "login_retry_count", "info_minutes"):
            if key in raw and not isinstance(raw[key], int):
                raise FixtureError("%s: %s must be an integer" % (where, key))
        if "minutes" in raw and raw["minutes"] is not None and not isinstance(raw["minutes"], int):
            raise FixtureError("%s: minutes must be an integer or null" % where)
        for key in ("end", "info_end"):
            _check_time(raw.get(key), where + "." + key)
        for key in SETTABLE_KEYS & set(raw):
            _check_reply_value(key, raw[key], where)
        if "pool" in raw:
            _check_entries(fixture, raw["pool"], where + ".pool")
        classes = raw.get("classes", {})
        if not isinstance(classes, dict):
            raise FixtureError(where + ".classes must be an object of class name → pool")
        for name, entries in classes.items():
            _check_text(name, where + ".classes", "|^=")
            _check_entries(fixture, entries, "%s.classes.%s" % (where, name))
        messages = raw.get("server_error")
        if messages is not None:
            if not isinstance(messages, list) or not messages:
                raise FixtureError(where + ".server_error must be a non-empty list of messages")
            for message in messages:
                # '^' separates messages, '=' would cut the list, '|' the field.
                _check_text(message, where + ".server_error", "|=^")
        for key in ("pool_error", "ip_change_error"):
            _check_text(raw.get(key), where + "." + key, "|=")
        reply = raw.get("reply", {})
        if not isinstance(reply, dict):
            raise FixtureError(where + ".reply must be an object of key → value")
        for key, value in reply.items():
            # Extra fields are sent as written, so that a test can send a
            # malformed reply on purpose; they only have to fit code page 949.
            _check_text(key, where + ".reply", "")
            _check_text(value, where + ".reply." + key, "")
        if "reply_raw" in raw:
            _check_text(raw["reply_raw"], where + ".reply_raw", "")


def load(path):
    try:
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
    except OSError as e:
        raise FixtureError("cannot read fixture %s: %s" % (path, e))
    except json.JSONDecodeError as e:
        raise FixtureError("fixture %s is not valid JSON: %s" % (path, e))
    validate(data)
    return Fixture(data, path)
