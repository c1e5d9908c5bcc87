#include "unit/protocol/payload_codec_reference.h"

#include <utility>

#include "text/cp949.h"

namespace reference {

namespace {

const std::string kMarker("\x0E\x5E\x17", 3);
const std::string kTemp("\xA2\xE0", 2);
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

const std::pair<std::string, std::string> kRows[] = {
    {"&", "\x1A"}, {"?", "\x16"}, {"=", "\x14"}, {"*", "\x0F"},
    {"%", "\x13"}, {"-", "\x15"}, {"+", "\x10"}, {"|", "\x18"},
    {"/", "\x04"}, {"\\", "\x01"}, {"\r\n", "\x19"}, {"'", "\x02"},
};
const std::pair<std::string, std::string> kPairs[] = {
    {"1", "Y"}, {"5", "a"}, {"7", "2"}, {"9", "z"}, {"B", "L"}, {"f", "G"}, {"M", "j"},
};

std::string Base64Encode(const std::string& in) {
  std::string out;
  for (std::size_t i = 0; i < in.size(); i += 3) {
    const std::size_t real = std::min<std::size_t>(3, in.size() - i);
    const unsigned b0 = static_cast<unsigned char>(in[i]);
    const unsigned b1 = real > 1 ? static_cast<unsigned char>(in[i + 1]) : 0;
    const unsigned b2 = real > 2 ? static_cast<unsigned char>(in[i + 2]) : 0;
    out += kAlphabet[b0 >> 2];
    out += kAlphabet[((b0 & 0x03) << 4) | (b1 >> 4)];
    out += real >= 2 ? kAlphabet[((b1 & 0x0F) << 2) | (b2 >> 6)] : '=';
    out += real >= 3 ? kAlphabet[b2 & 0x3F] : '=';
  }
  return out;
}

std::string Base64DecodeLenient(const std::string& in) {
  std::string out;
  int phase = 0;
  unsigned previous = 0;
  for (char ch : in) {
    const char* hit = ch ? std::char_traits<char>::find(kAlphabet, 64, ch) : nullptr;
    if (!hit) continue;
    const unsigned v = static_cast<unsigned>(hit - kAlphabet);
    switch (phase) {
      case 0: break;
      case 1: out += static_cast<char>((previous << 2) | (v >> 4)); break;
      case 2: out += static_cast<char>(((previous & 0x0F) << 4) | (v >> 2)); break;
      case 3: out += static_cast<char>(((previous & 0x03) << 6) | v); break;
    }
    phase = (phase + 1) % 4;
    previous = v;
  }
  return out;
}

}  // namespace

std::string EncodePayload(std::string_view plain) {
  std::string s = text::ReplaceAll(plain, ",", kMarker);
  s = Base64Encode(s);
  s = text::ReverseChars(s);
  for (const auto& row : kRows) s = text::ReplaceAll(s, row.first, row.second);
  for (const auto& pair : kPairs) {
    s = text::ReplaceAll(s, pair.first, kTemp);
    s = text::ReplaceAll(s, pair.second, pair.first);
    s = text::ReplaceAll(s, kTemp, pair.second);
  }
  return s;
}

std::string DecodePayload(std::string_view encoded) {
  std::string s(encoded);
  for (auto it = std::rbegin(kPairs); it != std::rend(kPairs); ++it) {
    s = text::ReplaceAll(s, it->second, kTemp);
    s = text::ReplaceAll(s, it->first, it->second);
    s = text::ReplaceAll(s, kTemp, it->first);
  }
  for (auto it = std::rbegin(kRows); it != std::rend(kRows); ++it)
    s = text::ReplaceAll(s, it->second, it->first);
  s = text::ReverseChars(s);
  s = Base64DecodeLenient(s);
  s = s.substr(0, s.find('\0'));
  return text::ReplaceAll(s, kMarker, ",");
}

}  // namespace reference
