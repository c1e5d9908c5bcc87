"""The update offer: the version file with the installer's digest, the installer
served from a file (chosen on the command line or, inside --update-dir only, through
the control endpoint), and the switches that make the version file lie."""

import hashlib
import os
import subprocess
import sys
import tempfile
import unittest

import support
from support import BackendTestCase, user_check_text

VERSION_FILE = b"/ClientVersion/tunra/tunra_setup.php"
LOGIN = "/ClientLogin/user_check_v1.php"

# Installer-like bytes: every byte value, CR LF, NUL and ^Z, which a text-mode read or
# a transfer that is not byte-exact would change.
INSTALLER = b"MZ" + bytes(range(256)) * 40 + b"\r\n\x00\x1a\n"
OTHER = b"MZ other installer\r\n" + bytes(range(255, -1, -1)) * 3


def sha256(data):
    return hashlib.sha256(data).hexdigest()


class UpdateOffer(BackendTestCase):
    address = "127.0.0.64"

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory(prefix="tunra-update-test-")
        cls.dir = os.path.join(cls.tmp.name, "offered")
        os.mkdir(cls.dir)
        cls.source = os.path.join(cls.dir, "tunra_setup_1186.exe")
        for name, data in (("tunra_setup_1186.exe", INSTALLER), ("other.exe", OTHER)):
            with open(os.path.join(cls.dir, name), "wb") as f:
                f.write(data)
        with open(os.path.join(cls.tmp.name, "secret.txt"), "wb") as f:
            f.write(b"not to be served\n")
        os.symlink(os.path.join(cls.tmp.name, "secret.txt"), os.path.join(cls.dir, "link.exe"))
        os.mkdir(os.path.join(cls.dir, "sub"))
        cls.backend_args = ("--offer-version", "1186", "--update-source", cls.source,
                            "--update-dir", cls.dir)
        super().setUpClass()

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        cls.tmp.cleanup()

    def host(self):
        return "%s:%d" % (self.backend.address, self.backend.port)

    def version_lines(self):
        status, headers, body = self.backend.request(b"GET", VERSION_FILE)
        self.assertEqual(status, 200)
        self.assertTrue(body.endswith(b"\n"))
        return body.decode("latin-1").split("\n")[:-1]

    def download(self, target):
        return self.backend.request(b"GET", target)

    def control(self, command, **args):
        status, result = self.backend.control(command, **args)
        self.assertEqual(status, 200, result)
        return result

    def test_version_file_names_the_digest_of_the_bytes_served(self):
        url = "http://%s/download/tunra_setup_1186.exe" % self.host()
        self.assertEqual(self.version_lines(),
                         ["version=1186", "download=" + url, "sha256=" + sha256(INSTALLER)])
        status, headers, body = self.download(b"/download/tunra_setup_1186.exe")
        self.assertEqual((status, headers["content-length"]), (200, str(len(INSTALLER))))
        self.assertEqual(body, INSTALLER)

        # Another file of the update folder, by name; an empty name goes back.
        self.assertEqual(self.control("update", source="other.exe")["update_source"],
                         os.path.join(os.path.realpath(self.dir), "other.exe"))
        self.assertEqual(self.version_lines()[2], "sha256=" + sha256(OTHER))
        self.assertEqual(self.download(b"/download/tunra_setup_1186.exe")[2], OTHER)
        self.control("update", source="")
        self.assertEqual(self.download(b"/download/tunra_setup_1186.exe")[2], INSTALLER)
        # A reset also forgets the control endpoint's choice.
        self.control("update", source="other.exe")
        self.control("reset")
        self.assertEqual(self.version_lines()[2], "sha256=" + sha256(INSTALLER))

    def test_control_source_never_leaves_the_update_folder(self):
        for name in ("../secret.txt", os.path.join(self.tmp.name, "secret.txt"), "/etc/passwd",
                     "sub", "sub/../other.exe", "..", ".", "link.exe", "missing.exe",
                     "..\\secret.txt", "other.exe\x00"):
            with self.subTest(name=name):
                status, result = self.backend.control("update", source=name)
                self.assertEqual(status, 400, result)
                self.assertFalse(result["ok"])
                self.assertEqual(result["update_source"], self.source)
        self.assertEqual(self.download(b"/download/tunra_setup_1186.exe")[2], INSTALLER)

    def test_version_file_switches(self):
        real = sha256(INSTALLER)
        url = "http://%s/download/" % self.host()

        def well_formed_but_wrong(lines):
            digest = lines[2][len("sha256="):]
            self.assertRegex(digest, "^[0-9a-f]{64}$")
            self.assertNotEqual(digest, real)

        cases = [
            ("badhash", None, well_formed_but_wrong),
            ("badhash", "XYZ", lambda lines: self.assertEqual(lines[2], "sha256=XYZ")),
            ("nohash", None, lambda lines: self.assertEqual(
                lines, ["version=1186", "download=" + url + "tunra_setup_1186.exe"])),
            ("update_file", "..\\evil.exe", lambda lines: self.assertEqual(
                lines, ["version=1186", "download=" + url + "..\\evil.exe", "sha256=" + real])),
            ("update_file", "C:evil\x01.exe", lambda lines: self.assertEqual(
                lines[1], "download=" + url + "C:evil\x01.exe")),
        ]
        for name, arg, check in cases:
            with self.subTest(name=name, arg=arg):
                self.control("reset")
                args = {"name": name, "arg": arg} if arg is not None else {"name": name}
                self.control("fault", **args)
                check(self.version_lines())
                # The installer itself is served unchanged.
                self.assertEqual(self.download(b"/download/tunra_setup_1186.exe")[2], INSTALLER)

    def test_hostile_name_is_served_as_a_trusting_client_would_ask(self):
        self.control("fault", name="update_file", arg="..\\evil.exe", times="1")
        self.assertIn("download=http://%s/download/..\\evil.exe" % self.host(), self.version_lines())
        # The name as written, escaped, and what remains of the URL once its '..' is
        # resolved with '\' read as '/'.
        for target in (b"/download/..\\evil.exe", b"/download/..%5Cevil.exe", b"/evil.exe",
                       b"/download/EVIL.EXE"):
            with self.subTest(target=target):
                status, _, body = self.download(target)
                self.assertEqual((status, body), (200, INSTALLER))
        self.assertEqual(self.download(b"/download/evil.txt")[0], 404)
        self.control("reset")
        self.assertEqual(self.download(b"/evil.exe")[0], 404)

    def test_switches_apply_to_the_version_file_only(self):
        # A switch counted once is not used up by other requests on the way.
        self.control("fault", name="badhash", times="1")
        self.control("fault", name="update_file", arg="x\\y.exe", times="1")
        reply = self.backend.decoded("query", LOGIN, user_check_text("demo", "demo1234"))
        self.assertTrue(reply.startswith(b"login_tag=yes|"))
        self.assertEqual(self.download(b"/download/tunra_setup_1186.exe")[2], INSTALLER)
        lines = self.version_lines()
        self.assertTrue(lines[1].endswith("/download/x\\y.exe"))
        self.assertNotEqual(lines[2], "sha256=" + sha256(INSTALLER))
        # Used up: the next version file tells the truth.
        self.assertEqual(self.version_lines()[1:],
                         ["download=http://%s/download/tunra_setup_1186.exe" % self.host(),
                          "sha256=" + sha256(INSTALLER)])
        status, result = self.backend.control("status")
        self.assertEqual(result["faults"], [])


class UpdateCommandLine(unittest.TestCase):
    def test_switches_from_the_command_line(self):
        backend = support.Backend("127.0.0.69", "--offer-version", "1186",
                                  "--fault", "update_file=..\\evil.exe", "--fault", "badhash=bad")
        try:
            _, _, body = backend.request(b"GET", VERSION_FILE)
            lines = body.decode("latin-1").split("\n")
            self.assertTrue(lines[1].endswith("/download/..\\evil.exe"), lines)
            self.assertEqual(lines[2], "sha256=bad")
            # Without --update-dir the control endpoint chooses no file at all.
            status, result = backend.control("update", source="tunra_setup_1186.exe")
            self.assertEqual(status, 400)
            self.assertIn("--update-dir", result["error"])
        finally:
            backend.stop()

    def test_refused_options(self):
        with tempfile.TemporaryDirectory() as tmp:
            for args, error in (
                    (["--update-source", os.path.join(tmp, "missing.exe")], "is not a file"),
                    (["--update-source", tmp], "is not a file"),
                    (["--update-dir", os.path.join(tmp, "missing")], "is not a folder"),
                    (["--fault", "update_file"], "needs a file name"),
                    (["--fault", "nohash=1"], "takes no argument")):
                with self.subTest(args=args):
                    proc = subprocess.run([sys.executable, support.LAUNCHER, "127.0.0.70", "--port", "0",
                                           *args], capture_output=True, timeout=10)
                    self.assertEqual(proc.returncode, 2)
                    self.assertIn(error, proc.stderr.decode())


if __name__ == "__main__":
    unittest.main()
