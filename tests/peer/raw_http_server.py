"""A scripted HTTP server for the HTTP client's edge cases: each path answers with
exact bytes (the head and the body in separate sends, as a real server often does).
Usage: raw_http_server.py ADDRESS PORT [--full-queue]. Ends on SIGTERM,
when its parent ends, or after 120 seconds.

With --full-queue it answers nothing at all: it listens but never accepts, and fills
its own backlog, so the kernel drops every further SYN and a client's connection
attempt hangs until the client gives up."""
import os
import signal
import socket
import sys
import threading
import time

BODY_3000 = b"".join(b"line%04d|" % i for i in range(334))[:3000]

CASES = {
    b"/ok": (b"HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\n", b"a=1|b"),
    b"/nolength": (b"HTTP/1.0 200 OK\r\n\r\n", BODY_3000),
    b"/short": (b"HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\n", b"abcdefgh"),
    b"/zerolength": (b"HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n", b"xyz"),
    b"/zerobyte": (b"HTTP/1.0 200 OK\r\n\r\n", b"ab\0cd" + b"x" * 1019 + b"tail"),
    b"/redirect": (b"HTTP/1.0 302 Found\r\nLocation: http://127.0.0.1/ok\r\nContent-Length: 2\r\n\r\n", b"no"),
    b"/status500": (b"HTTP/1.0 500 Oops\r\nContent-Length: 3\r\n\r\n", b"bad"),
    b"/empty": (b"HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n", b""),
    b"/form-crlf": (b"HTTP/1.0 200 OK\r\n\r\n", b"a=1\r\nb=2\r\n"),
    b"/form-blank": (b"HTTP/1.0 200 OK\r\n\r\n", b"a=1\n\nb=2"),
    b"/form-nolf": (b"HTTP/1.0 200 OK\r\n\r\n", b"a=1\nb=2"),
    b"/close-early": (b"HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n", b"0123456789"),
}

# Paths whose answer stops part-way: these bytes are sent, then nothing more while the
# connection stays open, until the client gives up and closes it (or HOLD_SECONDS pass).
STALLS = {
    b"/silent": b"",  # reads the request, never answers
    b"/silent-body": b"HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n0123456789",
}
HOLD_SECONDS = 60

# A body that trickles in: one byte every TRICKLE_SECONDS, 100 in all.
TRICKLE_HEAD = b"HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n"
TRICKLE_BODY = b"0123456789" * 10
TRICKLE_SECONDS = 0.25


def read_request(conn):
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = conn.recv(65536)
        if not chunk:
            return data
        data += chunk
    head, _, body = data.partition(b"\r\n\r\n")
    length = 0
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            length = int(value.strip() or b"0")
    while len(body) < length:
        chunk = conn.recv(65536)
        if not chunk:
            break
        body += chunk
    return head + b"\r\n\r\n" + body


def request_path(request):
    path = request.split(b" ")[1] if request.count(b" ") >= 2 else b""
    return path.split(b"?")[0]


def answer(request):
    """The head and the body that answer `request`."""
    path = request_path(request)
    if path == b"/echo":
        return b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % len(request), request
    return CASES.get(path, (b"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n", b""))


def hold(conn, sent):
    conn.sendall(sent)
    conn.settimeout(HOLD_SECONDS)
    try:
        while conn.recv(65536):
            pass
    except OSError:
        pass


def trickle(conn):
    try:
        conn.sendall(TRICKLE_HEAD)
        for i in range(len(TRICKLE_BODY)):
            time.sleep(TRICKLE_SECONDS)
            conn.sendall(TRICKLE_BODY[i:i + 1])
    except OSError:  # the client gave up
        pass


def serve(conn, one_packet=False):
    """Answers one request; with `one_packet` the head and the body go out in one send."""
    with conn:
        request = read_request(conn)
        if not request:  # a readiness probe
            return
        path = request_path(request)
        if path in STALLS:
            hold(conn, STALLS[path])
            return
        if path == b"/trickle":
            trickle(conn)
            return
        head, body = answer(request)
        if one_packet:
            conn.sendall(head + body)
            return
        conn.sendall(head)
        time.sleep(0.02)
        conn.sendall(body)


def listen(address, port, full_queue=False):
    """A listening socket; with `full_queue`, one that never accepts and whose backlog
    is already full (the fillers must stay referenced)."""
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind((address, port))
    if not full_queue:
        server.listen(16)
        return server, []
    server.listen(0)
    fillers = []
    for _ in range(4):
        filler = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        filler.setblocking(False)
        filler.connect_ex((address, port))
        fillers.append(filler)
    return server, fillers


def main():
    address, port = sys.argv[1], int(sys.argv[2])
    full_queue = sys.argv[3:] == ["--full-queue"]
    server, fillers = listen(address, port, full_queue)  # the fillers keep the backlog full
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    deadline = time.time() + 120
    parent = os.getppid()
    server.settimeout(0.5)
    # Ends with the test that started it, even when that test dies without cleaning up.
    while time.time() < deadline and os.getppid() == parent:
        if full_queue:
            time.sleep(0.5)
            continue
        try:
            conn, _ = server.accept()
        except socket.timeout:
            continue
        threading.Thread(target=serve, args=(conn,), daemon=True).start()


if __name__ == "__main__":
    main()
