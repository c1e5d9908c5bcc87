#include "protocol/payload_codec.h"

#include <random>

#include <gtest/gtest.h>

#include "text/cp949.h"
#include "unit/protocol/payload_codec_reference.h"

namespace {

using protocol::DecodePayload;
using protocol::EncodePayload;

std::string Hex(const std::string& s) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    out += digits[c >> 4];
    out += digits[c & 15];
    out += ' ';
  }
  return out;
}

TEST(PayloadCodec, WorkedExamples) {
  struct Row { std::string plain, encoded; };
  const Row rows[] = {
      {"abc=1|x", "\x14\x14" "Ae8FTPMJW1"},
      {"id=ab,c|n=7", "\x14\x14" "wNz4fGMdhXOIW1zQW5"},
      {"a", "\x14\x14Q1"},
      {"", ""},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(Hex(EncodePayload(r.plain)), Hex(r.encoded)) << r.plain;
    EXPECT_EQ(DecodePayload(r.encoded), r.plain) << r.plain;
  }
}

TEST(PayloadCodec, CommasTravelAsTheMarker) {
  const std::string marker("\x0E\x5E\x17", 3);
  EXPECT_EQ(EncodePayload(",,"), EncodePayload(marker + marker));
  EXPECT_EQ(DecodePayload(EncodePayload(",,")), ",,");
  // The marker bytes in a plain text come back as a comma.
  EXPECT_EQ(DecodePayload(EncodePayload("a" + marker + "b")), "a,b");
}

TEST(PayloadCodec, KoreanTextSurvivesByteForByte) {
  const std::string plain = "name=홍길동|memo=갂A똠c,힝|x=1";
  EXPECT_EQ(DecodePayload(EncodePayload(plain)), plain);
}

TEST(PayloadCodec, LineBreaksAddedByATransportAreIgnored) {
  const std::string encoded = EncodePayload("id=user01|pw=secret|auth_mode=user");
  std::string broken;
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    broken += encoded[i];
    if (i % 5 == 4) broken += "\r\n";
  }
  broken += "\n";
  EXPECT_EQ(DecodePayload(broken), "id=user01|pw=secret|auth_mode=user");
}

TEST(PayloadCodec, LenientDecodingOfPartialAndInvalidInput) {
  EXPECT_EQ(DecodePayload("!!! \x80\xFF"), "");
  EXPECT_EQ(DecodePayload("\x14\x14"), "");
  // Decoding stops at the first zero byte of the decoded bytes. The text is reversed
  // before Base64 decoding, so "AAAA" at the end gives three leading zero bytes.
  EXPECT_EQ(DecodePayload(EncodePayload("xy") + "AAAA"), "");
  EXPECT_EQ(DecodePayload("AAAA" + EncodePayload("xyz")), std::string("xyz"));
  // A trailing group of one, two or three characters yields zero, one or two bytes.
  const std::string three = EncodePayload("abc");  // four characters, no padding
  ASSERT_EQ(three.size(), 4u);
  EXPECT_EQ(DecodePayload(three.substr(1)), "ab");
  EXPECT_EQ(DecodePayload(three.substr(2)), "a");
  EXPECT_EQ(DecodePayload(three.substr(3)), "");
}

TEST(PayloadCodec, DecodesTextsBeyondTheOldFixedBufferWhole) {
  // The historical decoder wrote into a fixed 655,350-byte buffer; longer texts must
  // neither overflow nor come back cut.
  std::string plain;
  for (int i = 0; plain.size() < 700000; ++i) plain += "ip_pool_list=" + std::to_string(i) + "^10.0.0.1|";
  const std::string decoded = DecodePayload(EncodePayload(plain));
  EXPECT_EQ(decoded.size(), plain.size());
  EXPECT_TRUE(decoded == plain);
}

std::string RandomPlain(std::mt19937& rng) {
  // Bytes 1..255 with commas, the marker bytes, CR LF and Korean characters mixed in.
  static const char* pieces[] = {",", "\x0E\x5E\x17", "\r\n", "갂A", "똠", "=", "|", "^"};
  std::uniform_int_distribution<int> len(0, 200), byte(1, 255), kind(0, 9), piece(0, 7);
  std::string s;
  for (int i = len(rng); i > 0; --i) {
    if (kind(rng) == 0) s += pieces[piece(rng)];
    else s += static_cast<char>(byte(rng));
  }
  return s;
}

std::string RandomEncoded(std::mt19937& rng) {
  // Garbage made of the bytes an encoded text and its neighbours can hold: alphabet
  // characters, every substitution byte, the swap placeholder A2 E0, lead bytes
  // followed by letters, zero bytes, CR LF and anything else.
  static const char* pieces[] = {"\xA2\xE0", "\xA2", "\xE0", "\x81" "A", "\r\n", "\x19", "\x14\x14",
                                 "\x01\x02\x04\x0F\x10\x13\x15\x16\x18\x1A", "="};
  std::uniform_int_distribution<int> len(0, 120), kind(0, 9), piece(0, 8), any(0, 255);
  std::string s;
  for (int i = len(rng); i > 0; --i) {
    const int k = kind(rng);
    if (k < 5) s += "ABMjYz19fGLa5Q27+/"[any(rng) % 18];
    else if (k < 8) s += pieces[piece(rng)];
    else if (k == 8) s += '\0';
    else s += static_cast<char>(any(rng));
  }
  if (kind(rng) < 3) s = EncodePayload(RandomPlain(rng)) + s;
  return s;
}

TEST(PayloadCodec, RoundTripsEveryTextWithoutZeroBytes) {
  std::mt19937 rng(20261210);
  for (int i = 0; i < 3000; ++i) {
    const std::string plain = RandomPlain(rng);
    const std::string encoded = EncodePayload(plain);
    // Marker bytes in the plain text come back as commas; all else is exact.
    const std::string expected = text::ReplaceAll(plain, std::string("\x0E\x5E\x17", 3), ",");
    ASSERT_EQ(DecodePayload(encoded), expected) << Hex(plain);
    for (unsigned char c : encoded) {
      const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == 0x14 || c == 0x10 || c == 0x04;
      ASSERT_TRUE(allowed) << Hex(encoded);
    }
  }
}

TEST(PayloadCodec, FusedCodecEqualsTheStepByStepDefinition) {
  std::mt19937 rng(7);
  for (int i = 0; i < 3000; ++i) {
    std::string plain = RandomPlain(rng);
    if (i % 4 == 0) plain.insert(plain.size() / 2, 1, '\0');  // encoding keeps zero bytes
    ASSERT_EQ(Hex(EncodePayload(plain)), Hex(reference::EncodePayload(plain))) << Hex(plain);
    const std::string garbage = RandomEncoded(rng);
    ASSERT_EQ(Hex(DecodePayload(garbage)), Hex(reference::DecodePayload(garbage))) << Hex(garbage);
  }
}

// The output of a streaming form, its pieces joined.
std::string Streamed(bool (*convert)(std::string_view, protocol::PayloadSink&), const std::string& input) {
  struct Joined : protocol::PayloadSink {
    std::string text;
    bool Write(const char* data, std::size_t size) override {
      text.append(data, size);
      return true;
    }
  } sink;
  EXPECT_TRUE(convert(input, sink));
  return sink.text;
}

TEST(PayloadCodec, LargeTextsAcrossStreamingPiecesEqualTheDefinition) {
  // Texts of a few hundred kilobytes dense with commas, markers and Korean characters,
  // so markers and double-byte characters straddle the pieces the codec streams in.
  std::mt19937 rng(99);
  static const char* pieces[] = {",", "\x0E\x5E\x17", "\x0E\x5E", "\x0E", "갂A", "\x81", "x", "ab"};
  std::uniform_int_distribution<int> piece(0, 7);
  for (int round = 0; round < 4; ++round) {
    std::string plain;
    while (plain.size() < 300000) plain += pieces[piece(rng)];
    const std::string encoded = reference::EncodePayload(plain);
    ASSERT_TRUE(EncodePayload(plain) == encoded);
    ASSERT_TRUE(Streamed(protocol::EncodePayloadTo, plain) == encoded);
    const std::string decoded = reference::DecodePayload(encoded);
    ASSERT_TRUE(DecodePayload(encoded) == decoded);
    ASSERT_TRUE(Streamed(protocol::DecodePayloadTo, encoded) == decoded);
  }
}

TEST(PayloadCodec, StreamingFormsStopWhenTheSinkFails) {
  struct FailingSink : protocol::PayloadSink {
    int calls = 0;
    bool Write(const char*, std::size_t) override { return ++calls < 2; }
  } encode_sink, decode_sink;
  const std::string plain(1 << 20, 'q');
  EXPECT_FALSE(protocol::EncodePayloadTo(plain, encode_sink));
  EXPECT_EQ(encode_sink.calls, 2);
  EXPECT_FALSE(protocol::DecodePayloadTo(EncodePayload(plain), decode_sink));
  EXPECT_EQ(decode_sink.calls, 2);
}

}  // namespace
