"""Runs a command while the scripted HTTP server of the HTTP client's edge cases
(tests/peer/raw_http_server.py: its cases, stalls and echo) listens on port 80 of
loopback addresses, then ends with the command's exit code. On the first address the
head and the body of each answer go out in separate sends, as from raw_http_server.py;
on the second they go out in one send, so they arrive in one packet. The third address
never accepts and its backlog is full: a connection attempt there is never answered.

Usage: http_server_wrapper.py SPLIT_ADDRESS ONE_PACKET_ADDRESS FULL_QUEUE_ADDRESS -- COMMAND...
Exits 77 (a skip for CTest) when port 80 cannot be bound (it needs root); fails when
another program already listens on one of the addresses, which would otherwise answer
in this server's place."""
import os
import socket
import subprocess
import sys
import threading

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "peer"))
import raw_http_server  # noqa: E402

SKIP = 77


def accept_loop(server, one_packet):
    while True:
        try:
            conn, _ = server.accept()
        except OSError:
            return
        threading.Thread(target=raw_http_server.serve, args=(conn, one_packet), daemon=True).start()


def main():
    if len(sys.argv) < 6 or sys.argv[4] != "--":
        sys.exit(__doc__)
    split, one_packet, full_queue = sys.argv[1:4]
    try:
        servers = [raw_http_server.listen(split, 80), raw_http_server.listen(one_packet, 80),
                   raw_http_server.listen(full_queue, 80, full_queue=True)]
    except PermissionError as e:
        print("cannot bind port 80: %s" % e, file=sys.stderr)
        sys.exit(SKIP)
    except OSError as e:
        # Binding fails while another socket listens there (SO_REUSEADDR does not share
        # a listening address): most likely a server left over from an earlier run.
        sys.exit("cannot listen on port 80 of %s, %s or %s: %s; is a server of an earlier run "
                 "still listening? (ss -ltnp 'sport = :80')" % (split, one_packet, full_queue, e))
    for (server, _), packet in ((servers[0], False), (servers[1], True)):
        threading.Thread(target=accept_loop, args=(server, packet), daemon=True).start()
    sys.exit(subprocess.run(sys.argv[5:], stdin=subprocess.DEVNULL).returncode)


if __name__ == "__main__":
    main()
