"""Records every request the back end receives as one JSON object per line.

The file holds account identifiers and passwords exactly as the client sent
them, so it is created readable by its owner only. It is emptied when the
server starts. The latest records are also kept in memory for the control
endpoint.
"""

import collections
import json
import os
import sys
import threading
import time


class Recorder:
    def __init__(self, path=None, keep=1000):
        self.path = path
        self._lock = threading.Lock()
        self._seq = 0
        self._recent = collections.deque(maxlen=keep)
        self._file = None
        if path:
            fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600)
            os.fchmod(fd, 0o600)
            self._file = os.fdopen(fd, "w", encoding="utf-8")

    def record(self, entry):
        now = time.time()
        with self._lock:
            self._seq += 1
            entry = dict(entry)
            entry["seq"] = self._seq
            entry["time"] = time.strftime("%Y-%m-%dT%H:%M:%S", time.localtime(now)) + \
                ".%03d" % int((now % 1) * 1000)
            entry["epoch"] = round(now, 3)
            self._recent.append(entry)
            if self._file:
                try:
                    self._file.write(json.dumps(entry, ensure_ascii=False) + "\n")
                    self._file.flush()
                except OSError as e:
                    # A full disk must not stop the back end from answering.
                    sys.stderr.write("tunra-backend: cannot write the record: %s\n" % e)
        return entry

    def recent(self):
        with self._lock:
            return list(self._recent)

    def clear(self):
        with self._lock:
            self._recent.clear()

    def close(self):
        with self._lock:
            if self._file:
                self._file.close()
                self._file = None
