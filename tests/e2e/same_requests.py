#!/usr/bin/env python3
"""same_requests.py EXPECTED_JSONL ACTUAL_JSONL

Compares two recordings of the reference back end (--record) request by request: the
method, the target and body with their `bin` value taken out, the headers, and the
decoded text of `bin` byte for byte (code page 949 as sent). The one value allowed to
differ is `session_key`, a random number per login (and so Content-Length). The keyless codec maps equal texts
to equal `bin` values, so equal texts mean equal bytes on the wire apart from that key.
Prints each difference; exits 1 when there is one, 2 when a file cannot be read.
"""

import json
import re
import sys

SESSION_KEY = re.compile(rb"(session_key=)[0-9]*")
BIN = re.compile(r"(bin=)[^&]*")


def load(path):
    try:
        with open(path, encoding="utf-8") as f:
            return [json.loads(line) for line in f if line.strip()]
    except (OSError, ValueError) as e:
        print("cannot read %s: %s" % (path, e))
        sys.exit(2)


def wire(record):
    """The request as sent, with the per-login key and the bin value that carries it
    replaced by markers."""
    text = record.get("text_hex")
    if text is not None:
        text = SESSION_KEY.sub(rb"\1*", bytes.fromhex(text)).hex()
    body = record.get("body_hex")
    if body is not None:
        body = BIN.sub(r"\1*", bytes.fromhex(body).decode("latin-1"))
    return {
        "method": record.get("method"),
        "target": BIN.sub(r"\1*", record.get("target") or ""),
        "version": record.get("version"),
        # The length follows the key's digits; the body itself is compared.
        "headers": [h for h in record.get("headers") or [] if h[0].lower() != "content-length"],
        "body": body,
        "percent_escaped": record.get("percent_escaped"),
        "text (hex, session_key masked)": text,
    }


def main():
    expected, actual = load(sys.argv[1]), load(sys.argv[2])
    differences = 0
    if len(expected) != len(actual):
        print("%d requests instead of %d" % (len(actual), len(expected)))
        differences += 1
    for n, (want, got) in enumerate(zip(expected, actual), 1):
        a, b = wire(want), wire(got)
        for field in a:
            if a[field] != b[field]:
                print("request %d (%s) %s:\n  expected %r\n  got      %r" % (
                    n, want.get("path"), field, a[field], b[field]))
                differences += 1
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
