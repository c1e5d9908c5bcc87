"""A scripted HTTP server for the HTTP client's edge cases: each path answers with
exact bytes (the head and the body in separate sends, as a real server often does).
Usage: raw_http_server.py ADDRESS PORT. Ends on SIGTERM,
when its parent ends, or after 120 seconds."""
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


def serve(conn):
    with conn:
        request = read_request(conn)
        if not request:  # a readiness probe
            return
        path = request.split(b" ")[1] if request.count(b" ") >= 2 else b""
        path = path.split(b"?")[0]
        if path == b"/echo":
            head = b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % len(request)
            body = request
        else:
            head, body = CASES.get(path, (b"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n", b""))
        conn.sendall(head)
        time.sleep(0.02)
        conn.sendall(body)


def main():
    address, port = sys.argv[1], int(sys.argv[2])
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind((address, port))
    server.listen(16)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    deadline = time.time() + 120
    parent = os.getppid()
    server.settimeout(0.5)
    # Ends with the test that started it, even when that test dies without cleaning up.
    while time.time() < deadline and os.getppid() == parent:
        try:
            conn, _ = server.accept()
        except socket.timeout:
            continue
        threading.Thread(target=serve, args=(conn,), daemon=True).start()


if __name__ == "__main__":
    main()
