"""Runs a command while the scripted HTTP server of the HTTP client's edge cases
(tests/peer/raw_http_server.py: its cases and echo) listens on port 80 of two loopback
addresses, then ends with the command's exit code. On the first address the head and
the body of each answer go out in separate sends, as from raw_http_server.py; on the
second they go out in one send, so they arrive in one packet.

Usage: http_server_wrapper.py SPLIT_ADDRESS ONE_PACKET_ADDRESS -- COMMAND...
Exits 77 (a skip for CTest) when port 80 cannot be bound (it needs root)."""
import os
import socket
import subprocess
import sys
import threading

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "peer"))
import raw_http_server  # noqa: E402

SKIP = 77


def answer(request):
    path = request.split(b" ")[1] if request.count(b" ") >= 2 else b""
    path = path.split(b"?")[0]
    if path == b"/echo":
        return b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % len(request), request
    return raw_http_server.CASES.get(path, (b"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n", b""))


def serve_one_packet(conn):
    with conn:
        request = raw_http_server.read_request(conn)
        if request:
            head, body = answer(request)
            conn.sendall(head + body)


def listen(address):
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind((address, 80))
    server.listen(16)
    return server


def accept_loop(server, handler):
    while True:
        try:
            conn, _ = server.accept()
        except OSError:
            return
        threading.Thread(target=handler, args=(conn,), daemon=True).start()


def main():
    if len(sys.argv) < 5 or sys.argv[3] != "--":
        sys.exit(__doc__)
    try:
        split, one_packet = listen(sys.argv[1]), listen(sys.argv[2])
    except PermissionError as e:
        print("cannot bind port 80: %s" % e, file=sys.stderr)
        sys.exit(SKIP)
    for server, handler in ((split, raw_http_server.serve), (one_packet, serve_one_packet)):
        threading.Thread(target=accept_loop, args=(server, handler), daemon=True).start()
    sys.exit(subprocess.run(sys.argv[4:], stdin=subprocess.DEVNULL).returncode)


if __name__ == "__main__":
    main()
