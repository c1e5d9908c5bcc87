import random
import unittest

import support  # noqa: F401  (puts the back end on the import path)
from tunra_server import codec, cp949text


class WorkedExamples(unittest.TestCase):
    CASES = [
        (b"abc=1|x", b"\x14\x14Ae8FTPMJW1"),
        (b"id=ab,c|n=7", b"\x14\x14wNz4fGMdhXOIW1zQW5"),
        (b"a", b"\x14\x14Q1"),
        (b"", b""),
    ]

    def test_encode_and_decode_byte_for_byte(self):
        for plain, encoded in self.CASES:
            with self.subTest(plain=plain):
                self.assertEqual(codec.encode(plain), encoded)
                self.assertEqual(codec.decode(encoded), plain)


class Edges(unittest.TestCase):
    def test_commas_travel_as_the_marker(self):
        self.assertEqual(codec.encode(b",,"), codec.encode(b"\x0e\x5e\x17" * 2))
        self.assertEqual(codec.decode(codec.encode(b",,")), b",,")
        # A raw marker in the plain text comes back as a comma.
        self.assertEqual(codec.decode(codec.encode(b"a\x0e\x5e\x17b")), b"a,b")

    def test_lenient_decoding(self):
        encoded = codec.encode(b"client_code=tunra|id=demo")
        cases = [
            ("line breaks inserted by a transport", encoded[:7] + b"\r\n" + encoded[7:] + b"\n",
             b"client_code=tunra|id=demo"),
            ("blanks and high bytes skipped", b"  " + encoded + b"\xff", b"client_code=tunra|id=demo"),
            ("wholly invalid", b"!!!~~~", b""),
            ("empty", b"", b""),
            ("ends at the first zero byte", codec.encode(b"ab\x00cd"), b"ab"),
        ]
        for name, data, expected in cases:
            with self.subTest(name):
                self.assertEqual(codec.decode(data), expected)

    def test_trailing_incomplete_group(self):
        # Reversed, "=" padding comes first: drop it and cut the text short.
        full = codec.encode(b"abcd")          # Base64 YWJjZA==
        self.assertEqual(codec.decode(full[2:]), b"abcd")
        self.assertEqual(codec.decode(codec.encode(b"abc")[1:]), b"ab")  # three characters left

    def test_encoded_text_needs_no_escaping(self):
        rng = random.Random(7)
        for _ in range(200):
            plain = bytes(rng.randrange(1, 256) for _ in range(rng.randrange(1, 60)))
            encoded = codec.encode(plain)
            self.assertFalse(set(encoded) & set(b"&?=%+/ #"), encoded)

    def test_random_round_trip(self):
        rng = random.Random(1185)
        korean = "접속오류 테스트 서버, 한글".encode("cp949")
        samples = [korean, b"event=<<<  Version =  1185  X >>>\r\nlog|a=b\r\n"]
        for _ in range(400):
            n = rng.randrange(0, 300)
            alphabet = rng.choice([b"abc,=|%+/\r\n\x14", bytes(range(1, 256)), korean])
            samples.append(bytes(rng.choice(alphabet) for _ in range(n)))
        for plain in samples:
            if b"\x0e\x5e\x17" in plain:
                continue
            with self.subTest(plain=plain[:40]):
                self.assertEqual(codec.decode(codec.encode(plain)), plain)


class Cp949Text(unittest.TestCase):
    def test_matches_only_at_character_boundaries(self):
        # 0xB0 0x41 is one double-byte character whose second byte is 'A'.
        cases = [
            (cp949text.replace, (b"\xb0\x41A", b"A", b"B"), b"\xb0\x41B"),
            (cp949text.replace, (b"xAx", b"A", b"B"), b"xBx"),
            (cp949text.reverse, (b"a\xb0\x41b",), b"b\xb0\x41a"),
            (cp949text.ascii_lower, (b"ID\xb0\x41Z",), b"id\xb0\x41z"),
            (cp949text.contains, (b"\xb0\x41", b"A"), False),
        ]
        for func, args, expected in cases:
            with self.subTest(func=func.__name__, args=args):
                self.assertEqual(func(*args), expected)


if __name__ == "__main__":
    unittest.main()
