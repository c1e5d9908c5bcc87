"""Request parameters and reply fields of the back-end scripts.

A request carries one parameter, `bin`, either in the query string or in a
form body, unescaped: the encoded text holds raw control bytes. Decoded, it is
a list of key=value pairs joined by bars, in an order fixed per script.
Replies are key=value fields joined by bars, encoded the same way.
"""

import re
import urllib.parse

from . import codec

# The parameter order each script receives. Values are inserted by the client
# without escaping, so the system report and the event text may themselves
# hold '|' and '='; knowing the keys lets the back end cut them correctly.
SCHEMAS = {
    "/clientlogin/user_check_v1.php": (
        "client_code", "id", "password", "ccver", "ip_code", "client_mac",
        "client_sysInfo", "ping_check", "session_key", "vpn_type", "auth_mode",
        "vpn_conn_server_code", "ip_change_type"),
    "/info/ip_pool_list.php": (
        "client_code", "id", "password", "ccver", "ip_code", "client_mac",
        "client_sysInfo", "ping_check", "session_key", "vpn_type", "auth_mode",
        "vpn_conn_server_code", "class_code"),
    "/clientlogin/socket_change.php": ("client_code", "id", "password", "ip_code"),
    "/clientlogin/get_info.php": ("client_code", "user_id"),
    "/clientlogin/client_logout.php": ("ccver", "longid", "cccode", "auth_mode"),
    "/clientlogin/client_event_v1.php": ("client_code", "client_id", "event"),
}
SCHEMAS["/clientlogin/user_check_v0.php"] = SCHEMAS["/clientlogin/user_check_v1.php"]

_PERCENT = re.compile(rb"%[0-9A-Fa-f]{2}")


def find_bin(data):
    """The value of the `bin` parameter in a query string or form body.

    Returns (value, percent_escaped) or (None, False). The client sends the
    value raw; '%' never occurs in an encoded text, so a value holding %XX was
    escaped by some HTTP stack on the way and is unescaped here (and flagged in
    the record). '+' is part of the Base64 alphabet and is never a blank."""
    if data is None:
        return None, False
    for piece in data.split(b"&"):
        if piece.startswith(b"bin="):
            value = piece[4:]
            if _PERCENT.search(value):
                return urllib.parse.unquote_to_bytes(value), True
            return value, False
    return None, False


def _split_generic(text):
    pairs = []
    for field in text.split(b"|"):
        key, sep, value = field.partition(b"=")
        pairs.append((key, value))
    return pairs


def parse_params(text, schema=None):
    """Decoded parameter text → ([(key, value), ...], parsed_by_schema).

    With a schema, each value runs up to "|<next key>=", so '|' and '=' inside
    a value survive; anything after the last expected key belongs to the last
    value. A text that does not follow the schema is split at every bar, each
    field at its first '='."""
    if schema:
        pairs = []
        head = schema[0].encode() + b"="
        if text.startswith(head):
            pos = len(head)
            for i, key in enumerate(schema):
                if i + 1 < len(schema):
                    marker = b"|" + schema[i + 1].encode() + b"="
                    end = text.find(marker, pos)
                    if end < 0:
                        break
                    pairs.append((key.encode(), text[pos:end]))
                    pos = end + len(marker)
                else:
                    pairs.append((key.encode(), text[pos:]))
            else:
                return pairs, True
    return _split_generic(text), False


def build_reply(fields):
    """[(key, value), ...] of bytes → plain reply text; None values are left out."""
    return b"|".join(k + b"=" + v for k, v in fields if v is not None)


def encode_reply(plain):
    return codec.encode(plain)
