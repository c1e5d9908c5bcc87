"""Raw HTTP/1.0 request reading and reply writing on a socket.

The request line and body are read as bytes and cut by hand: the client puts
raw control bytes into the URL and the body, and a general HTTP parser would
treat some of them as white space.
"""

import socket

MAX_HEAD = 64 * 1024
# Event reports carry the client's whole OpenVPN log, so bodies may be large;
# beyond this the request is refused instead of filling memory.
MAX_BODY = 32 * 1024 * 1024
# A body without Content-Length ends when the peer half-closes the connection,
# or after this many seconds without data.
BODY_IDLE_SECONDS = 2.0

REASONS = {
    200: "OK", 204: "No Content", 301: "Moved Permanently", 302: "Found",
    400: "Bad Request", 403: "Forbidden", 404: "Not Found",
    405: "Method Not Allowed", 408: "Request Timeout", 411: "Length Required",
    413: "Payload Too Large", 500: "Internal Server Error",
    502: "Bad Gateway", 503: "Service Unavailable", 504: "Gateway Timeout",
}

ENCODED_TYPE = "text/plain; charset=euc-kr"


class Reply:
    def __init__(self, body=b"", status=200, content_type=ENCODED_TYPE,
                 headers=(), plain=None):
        self.body = body
        self.status = status
        self.content_type = content_type
        self.headers = list(headers)
        self.plain = plain   # the plain text of an encoded reply, for the record


class BadRequest(Exception):
    def __init__(self, status, message, request=None):
        super().__init__(message)
        self.status = status
        self.request = request


class Request:
    def __init__(self, method, target, version, headers, body=b""):
        self.method = method      # bytes
        self.target = target      # bytes, exactly as sent
        self.version = version    # bytes, empty for a bare request line
        self.headers = headers    # [(name bytes, value bytes)]
        self.body = body

    def header(self, name):
        name = name.lower().encode()
        for key, value in self.headers:
            if key.lower() == name:
                return value
        return None


def _head_end(buf):
    """Index just past the empty line that ends the head, or -1."""
    ends = [i + n for i, n in ((buf.find(b"\r\n\r\n"), 4), (buf.find(b"\n\n"), 2)) if i >= 0]
    return min(ends) if ends else -1


def parse_head(head):
    lines = head.split(b"\n")
    lines = [line[:-1] if line.endswith(b"\r") else line for line in lines]
    request_line = lines[0]
    method, sep, rest = request_line.partition(b" ")
    if not sep or not method.isalpha() or not method.isupper():
        raise BadRequest(400, "malformed request line")
    # The target is everything between the method and " HTTP/x.y"; it is not
    # split at other white space or control bytes.
    version = b""
    cut = rest.rfind(b" HTTP/")
    if cut >= 0:
        version = rest[cut + 1:]
        rest = rest[:cut]
    if not rest:
        raise BadRequest(400, "empty request target")
    headers = []
    for line in lines[1:]:
        if not line:
            continue
        if line[:1] in (b" ", b"\t") and headers:
            name, value = headers[-1]
            headers[-1] = (name, value + b" " + line.strip())
            continue
        name, sep, value = line.partition(b":")
        if not sep:
            raise BadRequest(400, "malformed header line")
        headers.append((name.strip(), value.strip()))
    return Request(method, rest, version, headers)


def _recv(sock, what):
    try:
        return sock.recv(65536)
    except socket.timeout:
        raise BadRequest(408, "timed out reading the " + what)


def _read_chunked(sock, buf, request):
    body = bytearray()
    while True:
        while b"\n" not in buf:
            chunk = _recv(sock, "body")
            if not chunk:
                raise BadRequest(400, "chunked body cut short", request)
            buf += chunk
        line, _, buf = buf.partition(b"\n")
        try:
            size = int(line.split(b";")[0].strip(), 16)
        except ValueError:
            raise BadRequest(400, "bad chunk size", request)
        if size == 0:
            return bytes(body)
        if len(body) + size > MAX_BODY:
            raise BadRequest(413, "body too large", request)
        while len(buf) < size + 2:
            chunk = _recv(sock, "body")
            if not chunk:
                raise BadRequest(400, "chunked body cut short", request)
            buf += chunk
        body += buf[:size]
        buf = buf[size:]
        for ending in (b"\r\n", b"\n"):
            if buf.startswith(ending):
                buf = buf[len(ending):]
                break


def read_request(sock, timeout=30.0):
    """Read one request. Returns None when the peer closed before sending
    anything; raises BadRequest for a request that cannot be served."""
    sock.settimeout(timeout)
    buf = b""
    while True:
        end = _head_end(buf)
        if end >= 0:
            break
        if len(buf) > MAX_HEAD:
            raise BadRequest(400, "request head too large")
        chunk = _recv(sock, "request head")
        if not chunk:
            if not buf.strip():
                return None
            raise BadRequest(400, "connection closed inside the request head")
        buf += chunk
    request = parse_head(buf[:end])
    rest = buf[end:]

    encoding = request.header("Transfer-Encoding")
    length = request.header("Content-Length")
    if encoding is not None and encoding.lower() != b"identity":
        if b"chunked" not in encoding.lower():
            raise BadRequest(400, "unsupported transfer encoding", request)
        request.body = _read_chunked(sock, rest, request)
    elif length is not None:
        if not length.isdigit():
            raise BadRequest(400, "bad Content-Length", request)
        size = int(length)
        if size > MAX_BODY:
            raise BadRequest(413, "body too large", request)
        while len(rest) < size:
            chunk = _recv(sock, "body")
            if not chunk:
                request.body = rest
                raise BadRequest(400, "body shorter than its Content-Length", request)
            rest += chunk
        request.body = rest[:size]
    elif request.method in (b"GET", b"HEAD", b"OPTIONS", b"DELETE"):
        request.body = b""
    else:
        # HTTP/1.0 without a length: the body ends at the peer's half-close.
        sock.settimeout(BODY_IDLE_SECONDS)
        while True:
            try:
                chunk = sock.recv(65536)
            except socket.timeout:
                break
            if not chunk:
                break
            rest += chunk
            if len(rest) > MAX_BODY:
                raise BadRequest(413, "body too large", request)
        request.body = rest
    return request


def head_bytes(status, content_type, length, headers=()):
    lines = ["HTTP/1.0 %d %s" % (status, REASONS.get(status, "Status"))]
    lines.append("Server: tunra-backend")
    if content_type:
        lines.append("Content-Type: " + content_type)
    lines.append("Content-Length: %d" % length)
    lines.append("Connection: close")
    for name, value in headers:
        lines.append("%s: %s" % (name, value))
    return ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1")


def finish(sock):
    """Half-close, let the peer read the reply, then close. Closing at once
    with unread request bytes pending would reset the connection and could
    throw the reply away on the peer's side."""
    try:
        sock.shutdown(socket.SHUT_WR)
        sock.settimeout(0.5)
        while sock.recv(65536):
            pass
    except OSError:
        pass
    finally:
        sock.close()
