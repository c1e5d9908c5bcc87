"""Byte-string helpers for code page 949 text.

The client treats its texts as CP949 byte strings: a byte from 0x81 to 0xFE
starts a two-byte character and takes the next byte with it, whatever that byte
is. Searching, replacing and reversing therefore work on characters, so that a
match never starts on the second byte of a double-byte character. Pure ASCII
text (the normal case on the wire) takes a fast path on plain bytes.
"""


def is_lead_byte(b):
    return 0x81 <= b <= 0xFE


def _is_single_byte_text(data):
    return all(b < 0x81 or b == 0xFF for b in data)


def chars(data):
    """Split bytes into characters: one byte, or a lead byte and its follower."""
    out = []
    i, n = 0, len(data)
    while i < n:
        if is_lead_byte(data[i]) and i + 1 < n:
            out.append(data[i:i + 2])
            i += 2
        else:
            out.append(data[i:i + 1])
            i += 1
    return out


def replace(data, old, new):
    """Replace every non-overlapping occurrence of old by new, scanning left to
    right and matching only at character boundaries."""
    if not old or old not in data:
        return data
    if _is_single_byte_text(data):
        return data.replace(old, new)
    out = bytearray()
    i, n, m = 0, len(data), len(old)
    while i < n:
        if data.startswith(old, i):
            out += new
            i += m
        elif is_lead_byte(data[i]) and i + 1 < n:
            out += data[i:i + 2]
            i += 2
        else:
            out.append(data[i])
            i += 1
    return bytes(out)


def contains(data, part):
    """True when part occurs in data starting at a character boundary."""
    if part not in data:
        return False
    if _is_single_byte_text(data):
        return True
    return replace(data, part, b"") != data


def reverse(data):
    """Reverse the order of characters; a double-byte character keeps its byte order."""
    if _is_single_byte_text(data):
        return data[::-1]
    return b"".join(reversed(chars(data)))


def ascii_lower(data):
    """Lower-case ASCII letters only; double-byte characters stay as they are
    (their second byte may look like an ASCII letter)."""
    if _is_single_byte_text(data):
        return data.lower()
    return b"".join(c.lower() if len(c) == 1 else c for c in chars(data))


def to_text(data):
    """CP949 bytes to str for display and JSON; undecodable bytes become U+FFFD."""
    return data.decode("cp949", errors="replace")


def from_text(text):
    """str to CP949 bytes; raises UnicodeEncodeError for characters CP949 lacks."""
    return text.encode("cp949")
