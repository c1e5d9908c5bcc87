"""The threaded server: accepts connections on one loopback address, answers
each request on its own thread, records it, applies fault switches, serves the
control endpoint, and stops on SIGTERM, SIGINT or a time limit."""

import argparse
import ipaddress
import json
import os
import re
import select
import signal
import socket
import sys
import threading
import time
import traceback
import urllib.parse

from . import codec, cp949text, faults, fixtures, handlers, httpio, pages, recorder, wire

DEFAULT_FIXTURE = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                               "fixtures", "accounts.json")
CONTROL_PREFIX = "/_control/"
_HOST = re.compile(r"^[A-Za-z0-9.\-]+(:\d{1,5})?$")


class Context:
    """State shared by all request threads."""

    def __init__(self, fixture, fixture_path, address, port, recorder_, fault_set, stop):
        self.fixture = fixture
        self.fixture_path = fixture_path
        self.address = address
        self.port = port
        self.recorder = recorder_
        self.faults = fault_set
        self.stop = stop
        self.version_option = None          # --offer-version
        self.version_override = None        # /_control/update?version=
        self.verbose = False
        self.update_source_option = None    # --update-source
        self.update_source_override = None  # /_control/update?source=
        self.update_dir = None              # --update-dir: where that source may lie
        self._announced = set()             # installer names sent through update_file
        self._lock = threading.Lock()

    def offered_version(self):
        for version in (self.version_override, self.version_option):
            if version is not None:
                return version
        return self.fixture.offered_version()

    def update_source(self):
        """The file served as the installer, or None for the generated stand-in."""
        return (self.update_source_override or self.update_source_option
                or self.fixture.update.get("source"))

    def choose_update_source(self, name):
        """The control endpoint's choice: a plain file name inside --update-dir, so a
        request can never make the back end serve an arbitrary file. Empty: back to
        the command line's or the fixture's source."""
        if not name:
            self.update_source_override = None
            return
        if not self.update_dir:
            raise ValueError("source needs the back end started with --update-dir")
        if name in (".", "..") or any(c in name for c in "/\\\0"):
            raise ValueError("source must be a plain file name inside --update-dir")
        folder = os.path.realpath(self.update_dir)
        path = os.path.realpath(os.path.join(folder, name))
        if os.path.dirname(path) != folder or not os.path.isfile(path):
            raise ValueError("no file %r in --update-dir" % name)
        self.update_source_override = path

    def announce_installer_name(self, name):
        with self._lock:
            self._announced.add(name)

    def announced_installer_names(self):
        with self._lock:
            return list(self._announced)

    def reset(self):
        """No switches, and the offer of the command line (or the fixture)."""
        self.faults.reset()
        self.version_override = None
        self.update_source_override = None
        with self._lock:
            self._announced.clear()

    def own_host(self):
        return self.address if self.port == 80 else "%s:%d" % (self.address, self.port)


def _hex(data):
    return data.hex() if data is not None else None


def _latin1(data):
    return data.decode("latin-1") if data is not None else None


def _host_for(ctx, request):
    host = request.header("Host")
    if host:
        host = host.decode("latin-1").strip()
        if _HOST.match(host):
            return host
    return ctx.own_host()


def build_record(request, peer, path, form, bin_value, escaped, text, pairs, by_schema,
                 reply, applied, error=None):
    entry = {
        "peer": peer,
        "method": _latin1(request.method) if request else None,
        "target": _latin1(request.target) if request else None,
        "path": path,
        "version": _latin1(request.version) if request else None,
        "headers": [[_latin1(k), _latin1(v)] for k, v in request.headers] if request else [],
        "body_length": len(request.body) if request else 0,
        "body_hex": _hex(request.body) if request else None,
        "form": form,
        "bin_latin1": _latin1(bin_value),
        "bin_hex": _hex(bin_value),
        "percent_escaped": escaped,
        "text_hex": _hex(text) if bin_value is not None else None,
        "text": cp949text.to_text(text) if bin_value is not None else None,
        "params": [[cp949text.to_text(k), cp949text.to_text(v)] for k, v in pairs],
        "params_by_schema": by_schema,
        "status": reply.status if reply else None,
        "reply_text": cp949text.to_text(reply.plain) if reply and reply.plain is not None else None,
        "reply_length": len(reply.body) if reply else None,
        "faults": applied,
    }
    if error:
        entry["error"] = error
    return entry


def _error_reply(status, message):
    body = ("<html><body><h1>%d</h1><p>%s</p></body></html>\n" % (status, message)).encode()
    return httpio.Reply(body, status=status, content_type=pages.HTML_TYPE)


def _fault_reply(fault, reply, host):
    if fault.name == "status":
        return _error_reply(fault.value, "fault switch: status %d" % fault.value)
    if fault.name == "redirect":
        target = fault.value or "http://%s/customer/faq.php" % host
        return httpio.Reply(b"", status=302, content_type=pages.HTML_TYPE,
                            headers=[("Location", target)])
    if fault.name == "empty":
        return httpio.Reply(b"", content_type=reply.content_type)
    if fault.name == "garbage":
        data = fault.value.encode("cp949", "replace") if fault.value else faults.GARBAGE
        return httpio.Reply(data, content_type=reply.content_type)
    return reply


def send_reply(sock, method, reply, primary, stop):
    body = b"" if method == b"HEAD" else reply.body
    if primary is not None and primary.name == "close":
        return
    length = len(reply.body)
    if primary is not None and primary.name == "drop":
        keep = primary.value if primary.value is not None else len(body) // 2
        keep = min(keep, len(body))
        length = max(length, keep + 1)
        body = body[:keep]
    sock.sendall(httpio.head_bytes(reply.status, reply.content_type, length, reply.headers))
    if primary is not None and primary.name == "slow" and body:
        pieces = min(len(body), 10)
        step = -(-len(body) // pieces)
        pause = primary.value / pieces
        for i in range(0, len(body), step):
            if stop.wait(pause):
                return
            sock.sendall(body[i:i + step])
    elif body:
        # The body goes in a send of its own, after the head.
        sock.sendall(body)


def handle_control(ctx, request, path, peer):
    if not ipaddress.ip_address(peer).is_loopback:
        return _error_reply(403, "the control endpoint answers loopback peers only")
    query = request.target.partition(b"?")[2].decode("latin-1")
    args = {k: v[-1] for k, v in urllib.parse.parse_qs(query, keep_blank_values=True).items()}
    name = path[len(CONTROL_PREFIX):].strip("/")
    result = {"ok": True}
    try:
        if name == "fault":
            times = args.get("times")
            fault = faults.Fault(args.get("name", ""), args.get("arg"), args.get("path") or None,
                                 int(times) if times else None)
            ctx.faults.add(fault)
        elif name == "reset":
            ctx.reset()
        elif name == "update":
            if "version" in args:
                version = args["version"]
                ctx.version_override = int(version) if version else None
            if "source" in args:
                ctx.choose_update_source(args["source"])
        elif name == "reload":
            ctx.fixture = fixtures.load(ctx.fixture_path)
        elif name == "requests":
            # A test waiting for one exchange (say the logout notice after a lost
            # link) asks for its path and for what came after the records it has seen.
            wanted = args.get("path", "").lower() or None
            after = int(args.get("after") or 0)
            result["requests"] = [r for r in ctx.recorder.recent()
                                  if r["seq"] > after and (wanted is None or r["path"] == wanted)]
        elif name == "clear-requests":
            ctx.recorder.clear()
        elif name != "status":
            return _error_reply(404, "unknown control command")
    except (faults.FaultError, fixtures.FixtureError, ValueError) as e:
        result = {"ok": False, "error": str(e)}
    result.update({
        "faults": ctx.faults.describe(),
        "offered_version": ctx.offered_version(),
        "update_source": ctx.update_source(),
        "address": ctx.address, "port": ctx.port, "pid": os.getpid(),
        "record": ctx.recorder.path,
    })
    body = (json.dumps(result, ensure_ascii=False) + "\n").encode("utf-8")
    return httpio.Reply(body, status=200 if result["ok"] else 400,
                        content_type="application/json; charset=utf-8")


def handle_connection(ctx, sock, peer):
    request = None
    try:
        try:
            request = httpio.read_request(sock)
        except httpio.BadRequest as e:
            reply = _error_reply(e.status, str(e))
            ctx.recorder.record(build_record(e.request, peer, None, None, None, False, b"", [],
                                             False, reply, [], error=str(e)))
            send_reply(sock, b"GET", reply, None, ctx.stop)
            return
        if request is None:
            return
        raw_path, _, query = request.target.partition(b"?")
        if raw_path.lower().startswith(b"http://"):
            # An absolute URL, as a proxy would receive it.
            raw_path = b"/" + raw_path[7:].partition(b"/")[2]
        path = urllib.parse.unquote_to_bytes(raw_path).decode("latin-1").lower()
        if path.startswith(CONTROL_PREFIX):
            send_reply(sock, request.method, handle_control(ctx, request, path, peer), None, ctx.stop)
            return

        bin_value, escaped = wire.find_bin(query)
        form = "query" if bin_value is not None else None
        if bin_value is None:
            bin_value, escaped = wire.find_bin(request.body)
            form = "body" if bin_value is not None else None
        text = codec.decode(bin_value) if bin_value is not None else b""
        pairs, by_schema = ([], False)
        if bin_value is not None:
            pairs, by_schema = wire.parse_params(text, wire.SCHEMAS.get(path))
        params = {}
        for key, value in pairs:
            params.setdefault(cp949text.to_text(key), value)
        host = _host_for(ctx, request)
        applied = ctx.faults.take(path, handlers.is_version_file(path))
        switches = {f.name: f.value for f in applied if f.name in faults.VERSION_FILE}
        call = handlers.Call(request.method.decode("latin-1"), path, host, params, form, switches)

        error = None
        try:
            reply = handlers.dispatch(ctx, call)
        except Exception:
            error = traceback.format_exc()
            sys.stderr.write(error)
            reply = _error_reply(500, "internal error")

        delay = sum(f.value for f in applied if f.name == "delay")
        primary = next((f for f in applied
                        if f.name != "delay" and f.name not in faults.VERSION_FILE), None)
        if primary is not None:
            reply = _fault_reply(primary, reply, host)
        ctx.recorder.record(build_record(request, peer, path, form, bin_value, escaped, text,
                                         pairs, by_schema, reply,
                                         [f.describe() for f in applied], error))
        if ctx.verbose:
            sys.stderr.write("%s %s %s -> %d%s\n" % (
                peer, call.method, path, reply.status,
                " [%s]" % ",".join(f.name for f in applied) if applied else ""))
        if delay and ctx.stop.wait(delay):
            return
        send_reply(sock, request.method, reply, primary, ctx.stop)
    except OSError:
        pass
    finally:
        httpio.finish(sock)


class Server:
    def __init__(self, ctx):
        self.ctx = ctx
        self.threads = set()
        self.lock = threading.Lock()
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.listener.bind((ctx.address, ctx.port))
        self.listener.listen(64)
        ctx.port = self.listener.getsockname()[1]

    def _serve_one(self, sock, peer):
        try:
            sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
            handle_connection(self.ctx, sock, peer)
        finally:
            with self.lock:
                self.threads.discard(threading.current_thread())

    def run(self, deadline=None):
        """Accept until stopped or until the monotonic deadline; returns the reason."""
        reason = "stopped"
        while not self.ctx.stop.is_set():
            timeout = 0.2
            if deadline is not None:
                left = deadline - time.monotonic()
                if left <= 0:
                    reason = "time limit"
                    break
                timeout = min(timeout, left)
            try:
                ready, _, _ = select.select([self.listener], [], [], timeout)
            except InterruptedError:
                continue
            if not ready:
                continue
            try:
                sock, (peer, _) = self.listener.accept()
            except OSError:
                continue
            thread = threading.Thread(target=self._serve_one, args=(sock, peer), daemon=True)
            with self.lock:
                self.threads.add(thread)
            thread.start()
        self.ctx.stop.set()
        self.listener.close()
        end = time.monotonic() + 2.0
        with self.lock:
            pending = list(self.threads)
        for thread in pending:
            thread.join(max(0.0, end - time.monotonic()))
        return reason


def loopback_address(text):
    if text == "localhost":
        text = "127.0.0.1"
    try:
        address = ipaddress.ip_address(text)
    except ValueError:
        raise argparse.ArgumentTypeError("%r is not an IPv4 address" % text)
    if address.version != 4 or not address.is_loopback:
        raise argparse.ArgumentTypeError("%s is not a loopback address (127.0.0.0/8)" % text)
    return str(address)


def fault_option(text):
    try:
        return faults.parse_option(text)
    except faults.FaultError as e:
        raise argparse.ArgumentTypeError(str(e))


def existing_file(text):
    if not os.path.isfile(text):
        raise argparse.ArgumentTypeError("%s is not a file" % text)
    return os.path.abspath(text)


def existing_dir(text):
    if not os.path.isdir(text):
        raise argparse.ArgumentTypeError("%s is not a folder" % text)
    return os.path.abspath(text)


def parse_args(argv):
    p = argparse.ArgumentParser(
        prog="tunra_backend.py",
        description="Reference back end of the TUNRA VPN client (loopback only).")
    p.add_argument("address", nargs="?", default="127.0.0.1", type=loopback_address,
                   help="loopback address to listen on (default 127.0.0.1)")
    p.add_argument("--port", type=int, default=80,
                   help="port (default 80, the only port the client uses; 0 picks a free one)")
    p.add_argument("--fixture", default=DEFAULT_FIXTURE,
                   help="accounts fixture, JSON (default backend/fixtures/accounts.json)")
    p.add_argument("--record", metavar="FILE", help="write every request as a JSON line to FILE")
    p.add_argument("--fault", metavar="NAME[=ARG][@PATH]", action="append", default=[],
                   type=fault_option, help="turn on a fault switch; repeatable")
    p.add_argument("--time-limit", metavar="SECONDS", type=float,
                   help="stop by itself after SECONDS")
    p.add_argument("--offer-version", metavar="N", type=int,
                   help="client version the version file offers (overrides the fixture)")
    p.add_argument("--update-source", metavar="FILE", type=existing_file,
                   help="serve FILE as the offered installer (its sha256 goes in the version file)")
    p.add_argument("--update-dir", metavar="DIR", type=existing_dir,
                   help="folder from which /_control/update?source=NAME may choose a file")
    p.add_argument("--verbose", "-v", action="store_true", help="log each request to stderr")
    return p.parse_args(argv)


def main(argv=None):
    args = parse_args(sys.argv[1:] if argv is None else argv)
    try:
        fixture = fixtures.load(args.fixture)
    except fixtures.FixtureError as e:
        sys.stderr.write("tunra-backend: %s\n" % e)
        return 2
    stop = threading.Event()
    ctx = Context(fixture, args.fixture, args.address, args.port, None,
                  faults.FaultSet(args.fault), stop)
    ctx.verbose = args.verbose
    ctx.version_option = args.offer_version
    ctx.update_source_option = args.update_source
    ctx.update_dir = args.update_dir
    try:
        server = Server(ctx)
        ctx.recorder = recorder.Recorder(args.record)
    except OSError as e:
        sys.stderr.write("tunra-backend: cannot listen on %s:%d: %s\n"
                         % (args.address, args.port, e.strerror or e))
        return 1

    def on_signal(signum, frame):
        stop.set()

    signal.signal(signal.SIGTERM, on_signal)
    signal.signal(signal.SIGINT, on_signal)
    deadline = time.monotonic() + args.time_limit if args.time_limit is not None else None
    print("tunra-backend listening on %s:%d pid %d" % (ctx.address, ctx.port, os.getpid()),
          flush=True)
    reason = server.run(deadline)
    ctx.recorder.close()
    print("tunra-backend stopped (%s)" % reason, flush=True)
    return 0
