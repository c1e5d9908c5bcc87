"""Runs tunra-codec as support staff do: worked examples through standard input and
output, both ways, and a Korean text round trip. Usage: codec_tool_test.py COMMAND..."""
import subprocess
import sys

CASES = [
    (b"abc=1|x", b"\x14\x14Ae8FTPMJW1"),
    (b"id=ab,c|n=7", b"\x14\x14wNz4fGMdhXOIW1zQW5"),
    (b"a", b"\x14\x14Q1"),
    (b"", b""),
]


def run(command, mode, data):
    result = subprocess.run(command + [mode], input=data, capture_output=True, timeout=120)
    if result.returncode != 0:
        raise SystemExit(f"{mode} exited {result.returncode}: {result.stderr!r}")
    return result.stdout


def main():
    command = sys.argv[1:]
    failures = 0
    for plain, encoded in CASES:
        for mode, given, wanted in (("encode", plain, encoded), ("decode", encoded, plain)):
            got = run(command, mode, given)
            if got != wanted:
                failures += 1
                print(f"FAIL {mode} {given!r}: got {got!r}, wanted {wanted!r}")
    korean = "name=홍길동,memo=테스트\r\n".encode("cp949") * 50
    if run(command, "decode", run(command, "encode", korean)) != korean:
        failures += 1
        print("FAIL Korean round trip")
    bad = subprocess.run(command + ["frobnicate"], capture_output=True, timeout=120)
    if bad.returncode != 2:
        failures += 1
        print(f"FAIL unknown mode exited {bad.returncode}")
    print("codec tool:", "ok" if failures == 0 else f"{failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
