"""Fault switches: ways for a test to make the back end misbehave.

delay=SECONDS   wait before answering (default 1)
status=CODE     answer with that status and a small HTML page (default 500)
redirect=URL    answer 302 with that Location (default the help page)
empty           answer 200 with an empty body
garbage=TEXT    answer 200 with bytes that are not the codec's output
drop=BYTES      send the head (announcing the whole length) and only the first
                BYTES of the body (default half), then close
slow=SECONDS    send the body in small pieces spread over SECONDS (default 5)
close           close the connection without answering

Switches for the update's version file (they change what it says, never how a
reply is sent, and apply to version-file requests only):

badhash=TEXT    the sha256 line names TEXT, or without TEXT a well-formed digest
                of other bytes than the installer's
nohash          no sha256 line, as a back end from before it
update_file=NAME
                the download line names NAME (for example ..\\evil.exe) as the
                installer's file, and the installer is served under it

A switch applies to every path or to one path (matched without regard to
case), and optionally only to the next N matching requests. Several delays
add up; of the other switches the first one added wins.
"""

import threading

NAMES = ("delay", "status", "redirect", "empty", "garbage", "drop", "slow", "close",
         "badhash", "nohash", "update_file")
# Switches that change the version file's text instead of the way a reply is sent.
VERSION_FILE = ("badhash", "nohash", "update_file")

GARBAGE = (b"\xff\xfe<b>Warning</b>: the service is temporarily unavailable"
           b" (code 0x1F)\r\n<br>\r\n")

MAX_SECONDS = 3600


class FaultError(ValueError):
    pass


class Fault:
    def __init__(self, name, arg=None, path=None, times=None):
        if name not in NAMES:
            raise FaultError("unknown fault %r (known: %s)" % (name, ", ".join(NAMES)))
        self.name = name
        self.arg = arg if arg not in ("",) else None
        self.path = path.lower() if path else None
        self.times = times
        if times is not None and times < 1:
            raise FaultError("times must be at least 1")
        self.value = self._check()

    def _number(self, kind, default, low, high):
        if self.arg is None:
            return default
        try:
            value = kind(self.arg)
        except ValueError:
            raise FaultError("%s needs a number, not %r" % (self.name, self.arg))
        if not low <= value <= high:
            raise FaultError("%s: %s is out of range %s..%s" % (self.name, self.arg, low, high))
        return value

    def _check(self):
        if self.name in ("delay", "slow"):
            return self._number(float, 1.0 if self.name == "delay" else 5.0, 0, MAX_SECONDS)
        if self.name == "status":
            return self._number(int, 500, 100, 599)
        if self.name == "drop":
            return self._number(int, None, 0, 1 << 30)
        if self.name in ("empty", "close", "nohash") and self.arg is not None:
            raise FaultError("%s takes no argument" % self.name)
        if self.name == "update_file":
            if not self.arg:
                raise FaultError("update_file needs a file name")
            try:
                self.arg.encode("latin-1")
            except UnicodeEncodeError:
                raise FaultError("update_file: the name must be single-byte text")
        return self.arg

    def applies_to(self, path, version_file=False):
        if self.name in VERSION_FILE and not version_file:
            return False
        return self.path is None or self.path == path

    def describe(self):
        return {"name": self.name, "arg": self.arg, "path": self.path, "times": self.times}


def parse_option(text):
    """Command-line form NAME[=ARG][@PATH]; the path starts with '/'."""
    path = None
    cut = text.rfind("@/")
    if cut >= 0:
        text, path = text[:cut], text[cut + 1:]
    name, sep, arg = text.partition("=")
    return Fault(name.strip(), arg if sep else None, path)


class FaultSet:
    def __init__(self, faults=()):
        self._lock = threading.Lock()
        self._faults = list(faults)

    def add(self, fault):
        with self._lock:
            self._faults.append(fault)

    def reset(self):
        with self._lock:
            self._faults = []

    def describe(self):
        with self._lock:
            return [f.describe() for f in self._faults]

    def take(self, path, version_file=False):
        """The switches that apply to one request on path (version_file: whether it
        asks for the version file); counted ones are used up."""
        with self._lock:
            chosen = []
            for fault in self._faults:
                if fault.applies_to(path, version_file):
                    chosen.append(fault)
                    if fault.times is not None:
                        fault.times -= 1
            self._faults = [f for f in self._faults if f.times is None or f.times > 0]
            return chosen
