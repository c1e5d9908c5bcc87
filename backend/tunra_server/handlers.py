"""One handler per back-end script, plus the version file and the downloads.

A handler takes the shared context and one decoded call and returns a Reply.
Script replies are plain key=value texts encoded with the payload codec; the
plain text is kept in the Reply so the recorder can show it.
"""

import hashlib
import re
import time

from . import codec, cp949text, fixtures, pages, wire
from .httpio import Reply

# Texts the back end shows through the client's message boxes. They contain
# no '=', '|' or '^', which the client would take as separators.
MSG_BAD_ACCOUNT = "아이디 또는 비밀번호가 올바르지 않습니다."
MSG_SUSPENDED = "일시 정지된 계정입니다. 고객 센터로 문의 바랍니다."
MSG_NO_CLASS = "선택하신 대역을 찾을 수 없습니다."
MSG_NO_IP = "선택하신 아이피를 사용할 수 없습니다."


class Call:
    """One request as the handlers see it."""

    def __init__(self, method, path, host, params=None, form=None, switches=None):
        self.method = method
        self.path = path            # lower-cased path, text
        self.host = host            # host[:port] the client used, for URLs in replies
        self.params = params or {}  # key (text) → value (CP949 bytes)
        self.form = form
        self.switches = switches or {}  # version-file switches: name → argument or None

    def param(self, key):
        return self.params.get(key, b"")


def coded(plain):
    return Reply(codec.encode(plain), plain=plain)


def _fields(pairs):
    """[(key, text or None)] → plain reply bytes."""
    return wire.build_reply([(k.encode(), None if v is None else cp949text.from_text(v))
                             for k, v in pairs])


def _fill(value, call):
    if value is None:
        return None
    return value.replace("{host}", call.host)


def _server_error(message):
    return coded(_fields([("server_error", message)]))


def _service_minutes(account, now):
    if "minutes" in account.raw:
        minutes = account.raw["minutes"]
        return None if minutes is None else str(minutes)
    left = fixtures.seconds_until(account.get("end"), now)
    if left is None:
        return None
    return str(max(0, int(left // 60)))


def _choose_server(fixture, sent_code):
    servers = fixture.vpn_servers
    wanted = cp949text.ascii_lower(sent_code)
    for server in servers:
        if cp949text.ascii_lower(cp949text.from_text(server["code"])) == wanted:
            return server
    return servers[0] if servers else None


def login_fields(ctx, account, call, test_variant, now):
    """The field list of a successful user check."""
    fx = ctx.fixture
    value = {key: account.setting(key) for key in fixtures.SETTABLE_KEYS}
    server = _choose_server(fx, call.param("vpn_conn_server_code"))
    end = fixtures.resolve_time(account.get("end"), now)
    cert = fx.certificate
    cert_name = cert.get("test_file", "ca_test.crt") if test_variant else cert.get("file", "ca.crt")
    version = ctx.offered_version()
    classes = account.classes()
    has_pool = "pool" in account.raw

    computed = {
        "login_tag": value["login_tag"] or "yes",
        "user_long_id": value["user_long_id"] or account.get("long_id") or account.id,
        "name": value["name"] or account.id,
        "server_code": value["server_code"] or (server["code"] if server else None),
        "xxxdate": end or "",
        "xxxtime": _service_minutes(account, now) or "",
        "expire_time": value["expire_time"] or (end[:10] if end else None),
        "vpntype": str(account.get("vpntype", 4)),
        "server_ip": value["server_ip"] or (server["ip"] if server else "127.0.0.1"),
        "crt_ver": str(cert.get("version", 1001)),
        "crt_file": value["crt_file"] or "http://{host}/cert/" + cert_name,
        "vpn_server_list": "".join("%s/%s^" % (s["name"], s["code"]) for s in fx.vpn_servers) or None,
        "use_select": str(account.get("use_select", 1 if has_pool else 0)),
        "ip_pool_class": "".join(name + "^" for name, _ in classes) or None,
        "update_version": str(version),
        "update_url": "http://{host}/download/" + fx.installer_name(version),
    }
    pairs = []
    for key in fixtures.LOGIN_KEYS:
        v = computed[key] if key in computed else value.get(key)
        if key in fixtures.TIME_KEYS:
            v = fixtures.resolve_time(v, now)
        if v == "" and key not in ("xxxdate", "xxxtime"):
            v = None
        pairs.append([key, _fill(v, call)])
    for key, extra in (account.get("reply") or {}).items():
        extra = _fill(fixtures.resolve_time(extra, now) if key in fixtures.TIME_KEYS else extra, call)
        for pair in pairs:
            if pair[0] == key:
                pair[1] = extra
                break
        else:
            pairs.append([key, extra])
    return pairs


def _checked_account(ctx, call):
    account = ctx.fixture.find(call.param("id"))
    if account is None or not account.password_matches(call.param("password")):
        return None
    return account


def _pool_account(ctx, call, error_key):
    """The account an IP pool or IP change request names, or the error reply to send:
    a wrong account, a suspended one, or the error the fixture sets under error_key."""
    account = _checked_account(ctx, call)
    if account is None:
        return None, _server_error(MSG_BAD_ACCOUNT)
    if account.suspended:
        return None, _server_error(MSG_SUSPENDED)
    if account.get(error_key):
        return None, _server_error(account.get(error_key))
    return account, None


def user_check(ctx, call, test_variant=False):
    account = _checked_account(ctx, call)
    if account is None:
        return coded(b"login_auth=no")
    now = time.time()
    raw = account.get("reply_raw")
    if raw is not None:
        return coded(cp949text.from_text(_fill(raw, call)))
    if account.suspended:
        return coded(b"login_auth=stop")
    messages = account.get("server_error")
    if messages:
        pairs = []
        if account.get("login_retry_count") is not None:
            pairs.append(("login_retry_count", str(account.get("login_retry_count"))))
        pairs.append(("server_error", "^".join(_fill(m, call) for m in messages)))
        return coded(_fields(pairs))
    return coded(_fields(login_fields(ctx, account, call, test_variant, now)))


def account_info(ctx, call):
    account = ctx.fixture.find(call.param("user_id"))
    if account is None:
        return coded(b"login_auth=no")
    now = time.time()
    end = account.get("info_end") if "info_end" in account.raw else account.get("end")
    return coded(_fields([
        ("xxxdate", fixtures.resolve_time(end, now) or ""),
        ("xxxtime", str(account.get("info_minutes", 0))),
    ]))


def _pool_reply(entries):
    # The client drops the last character of the list: the final bar.
    return coded(cp949text.from_text("".join("%s^%s|" % e for e in entries)))


def ip_pool(ctx, call):
    account, error = _pool_account(ctx, call, "pool_error")
    if error is not None:
        return error
    wanted = cp949text.ascii_lower(call.param("class_code"))
    classes = account.classes()
    if not wanted:
        if "pool" in account.raw or not classes:
            return _pool_reply(account.pool())
        return _pool_reply([e for _, entries in classes for e in entries])
    # The client lower-cases the class names it received, so compare that way.
    for name, entries in classes:
        if cp949text.ascii_lower(cp949text.from_text(name)) == wanted:
            return _pool_reply(entries)
    return _server_error(MSG_NO_CLASS)


def ip_change(ctx, call):
    account, error = _pool_account(ctx, call, "ip_change_error")
    if error is not None:
        return error
    code = call.param("ip_code")
    entries = account.pool() + [e for _, es in account.classes() for e in es]
    for entry_code, ip in entries:
        if cp949text.from_text(entry_code) == code:
            return coded(_fields([("select_ip", ip)]))
    return _server_error(MSG_NO_IP)


def acknowledge(ctx, call):
    # The client ignores what the logout notice and the event report get back.
    return coded(b"result=ok")


def version_file(ctx, call):
    """version=N, download=<URL of the installer>, sha256=<its digest>: LF-separated
    lines; clients that predate the sha256 line ignore it. The switches badhash,
    nohash and update_file (call.switches) make it lie or leave the digest out."""
    version = ctx.offered_version()
    switches = call.switches
    name = switches.get("update_file") or ctx.fixture.installer_name(version)
    lines = ["version=%d" % version, "download=http://%s/download/%s" % (call.host, name)]
    if "nohash" not in switches:
        data = installer_bytes(ctx, version)
        digest = hashlib.sha256(data).hexdigest()
        if "badhash" in switches:
            # Well-formed, but the digest of other bytes (unless the test names one).
            digest = switches["badhash"] or hashlib.sha256(data + b"\n").hexdigest()
        lines.append("sha256=" + digest)
    if "update_file" in switches:
        ctx.announce_installer_name(name)
    data = ("\n".join(lines) + "\n").encode("latin-1", "replace")
    return Reply(data, content_type="text/plain; charset=us-ascii", plain=data)


def _file_bytes(source, generated):
    if source:
        with open(source, "rb") as f:
            return f.read()
    return generated


def installer_bytes(ctx, version):
    """The exact bytes /download/<file> serves: the source file (the control
    endpoint's, the command line's or the fixture's), or a stand-in."""
    size = int(ctx.fixture.update.get("size", 4096))
    head = ("TUNRA reference back end: stand-in installer for client version %d.\r\n"
            "It installs nothing.\r\n" % version).encode()
    return _file_bytes(ctx.update_source(), head + b"." * max(0, size - len(head)))


def _installer_reply(ctx):
    return Reply(installer_bytes(ctx, ctx.offered_version()), content_type="application/octet-stream")


def installer(ctx, call, name):
    if name != ctx.fixture.installer_name(ctx.offered_version()).lower():
        return pages.not_found()
    return _installer_reply(ctx)


def certificate(ctx, call, name):
    cert = ctx.fixture.certificate
    for kind, default in (("file", "ca.crt"), ("test_file", "ca_test.crt")):
        if name == cert.get(kind, default).lower():
            source = cert.get("source" if kind == "file" else "test_source")
            generated = ("# TUNRA reference back end: stand-in CA certificate (%s).\n"
                         "# Not a real certificate; set certificate.source in the fixture\n"
                         "# to serve one.\n" % ("test" if kind == "test_file" else "normal")).encode()
            return Reply(_file_bytes(source, generated), content_type="application/x-x509-ca-cert")
    return pages.not_found()


SCRIPTS = {
    "/clientlogin/user_check_v1.php": lambda ctx, call: user_check(ctx, call, False),
    "/clientlogin/user_check_v0.php": lambda ctx, call: user_check(ctx, call, True),
    "/clientlogin/get_info.php": account_info,
    "/info/ip_pool_list.php": ip_pool,
    "/clientlogin/socket_change.php": ip_change,
    "/clientlogin/client_logout.php": acknowledge,
    "/clientlogin/client_event_v1.php": acknowledge,
}

_VERSION_PATH = re.compile(r"^/clientversion/([^/]+)/([^/]+)_setup\.php$")
_NAME_PARTS = re.compile(r"[/\\]")
_DOWNLOAD_PATH = re.compile(r"^/download/([^/]+)$")
_CERT_PATH = re.compile(r"^/cert/([^/]+)$")


def is_version_file(path):
    m = _VERSION_PATH.match(path)
    return bool(m) and m.group(1) == m.group(2)


def _last_part(text):
    return _NAME_PARTS.split(text)[-1]


def _announced_download(ctx, path):
    """Whether path asks for an installer name a version file announced through
    update_file: as written after /download/, or by its last part (after the last
    '/' or '\\'), which is what remains once a URL holding '..' is resolved."""
    for name in ctx.announced_installer_names():
        name = name.lower()
        if path == "/download/" + name:
            return True
        last = _last_part(name)
        if last and _last_part(path) == last:
            return True
    return False


def dispatch(ctx, call):
    """Route a call by its (lower-cased) path. Paths are matched without
    regard to case: the client lower-cases every URL it receives in a reply."""
    handler = SCRIPTS.get(call.path)
    if handler:
        return handler(ctx, call)
    if is_version_file(call.path):
        return version_file(ctx, call)
    if _announced_download(ctx, call.path):
        return _installer_reply(ctx)
    m = _DOWNLOAD_PATH.match(call.path)
    if m:
        return installer(ctx, call, m.group(1))
    m = _CERT_PATH.match(call.path)
    if m:
        return certificate(ctx, call, m.group(1))
    return pages.page(ctx, call)
