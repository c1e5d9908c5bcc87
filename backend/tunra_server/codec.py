"""The keyless `bin` payload codec shared by the client and this back end.

Encoding: commas become a three-byte marker, the bytes are Base64-encoded, the
Base64 text is reversed, punctuation is replaced by control bytes and seven
pairs of letters and digits are exchanged. Decoding undoes the steps in the
opposite order and is lenient: anything that is not Base64 is skipped and the
text ends at the first zero byte.

Both directions work on byte strings (code page 949); nothing is converted.
"""

from . import cp949text

COMMA = b","
COMMA_MARKER = b"\x0e\x5e\x17"

# Applied in this order when encoding, in reverse order when decoding.
SUBSTITUTIONS = (
    (b"&", b"\x1a"),
    (b"?", b"\x16"),
    (b"=", b"\x14"),
    (b"*", b"\x0f"),
    (b"%", b"\x13"),
    (b"-", b"\x15"),
    (b"+", b"\x10"),
    (b"|", b"\x18"),
    (b"/", b"\x04"),
    (b"\\", b"\x01"),
    (b"\r\n", b"\x19"),
    (b"'", b"\x02"),
)

# Exchanged in this order when encoding, in reverse order when decoding.
SWAP_PAIRS = (
    (b"1", b"Y"),
    (b"5", b"a"),
    (b"7", b"2"),
    (b"9", b"z"),
    (b"B", b"L"),
    (b"f", b"G"),
    (b"M", b"j"),
)
SWAP_TEMP = b"\xa2\xe0"

ALPHABET = b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"
_VALUE = {c: i for i, c in enumerate(ALPHABET)}


def _base64(data):
    out = bytearray()
    for i in range(0, len(data), 3):
        group = data[i:i + 3]
        b0 = group[0]
        b1 = group[1] if len(group) > 1 else 0
        b2 = group[2] if len(group) > 2 else 0
        out.append(ALPHABET[b0 >> 2])
        out.append(ALPHABET[((b0 & 0x03) << 4) | (b1 >> 4)])
        out.append(ALPHABET[((b1 & 0x0F) << 2) | (b2 >> 6)] if len(group) > 1 else 0x3D)
        out.append(ALPHABET[b2 & 0x3F] if len(group) > 2 else 0x3D)
    return bytes(out)


def _unbase64_lenient(text):
    """Decode Base64, skipping every byte outside the alphabet ('=' included).
    A trailing incomplete group yields the bytes its characters produced."""
    out = bytearray()
    phase = 0
    prev = 0
    for c in text:
        v = _VALUE.get(c)
        if v is None:
            continue
        if phase == 1:
            out.append(((prev << 2) | (v >> 4)) & 0xFF)
        elif phase == 2:
            out.append((((prev & 0x0F) << 4) | (v >> 2)) & 0xFF)
        elif phase == 3:
            out.append((((prev & 0x03) << 6) | v) & 0xFF)
        phase = (phase + 1) % 4
        prev = v
    return bytes(out)


def _swap(text, x, y):
    text = cp949text.replace(text, x, SWAP_TEMP)
    text = cp949text.replace(text, y, x)
    return cp949text.replace(text, SWAP_TEMP, y)


def encode(plain):
    """Plain parameter text (bytes) to the encoded `bin` value (bytes)."""
    text = cp949text.replace(bytes(plain), COMMA, COMMA_MARKER)
    text = _base64(text)
    text = cp949text.reverse(text)
    for old, new in SUBSTITUTIONS:
        text = cp949text.replace(text, old, new)
    for x, y in SWAP_PAIRS:
        text = _swap(text, x, y)
    return text


def decode(encoded):
    """Encoded text (bytes) to plain text (bytes); never fails.

    Unlike the client, whose decode buffer holds 655,349 bytes, the back end
    decodes texts of any length: event reports carry whole OpenVPN logs and a
    cut would lose the end of them silently."""
    text = bytes(encoded)
    for x, y in reversed(SWAP_PAIRS):
        text = _swap(text, y, x)
    for plain, byte in reversed(SUBSTITUTIONS):
        text = cp949text.replace(text, byte, plain)
    text = cp949text.reverse(text)
    data = _unbase64_lenient(text)
    zero = data.find(b"\x00")
    if zero >= 0:
        data = data[:zero]
    return cp949text.replace(data, COMMA_MARKER, COMMA)
