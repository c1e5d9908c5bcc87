// The codec's steps are fused so that both directions are single linear passes; the
// result is byte-identical to doing the replacements, the reversal and the Base64 step
// one after another on whole texts (a test compares the two on random inputs).
#include "protocol/payload_codec.h"

#include <array>
#include <cstring>

#include "text/cp949.h"

namespace protocol {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::string_view kCommaMarker{"\x0E\x5E\x17", 3};
constexpr unsigned char kSkip = 0xFF;

// The seven exchanged pairs; disjoint, so together they are one byte permutation.
constexpr char kSwapPairs[][2] = {{'1', 'Y'}, {'5', 'a'}, {'7', '2'}, {'9', 'z'},
                                  {'B', 'L'}, {'f', 'G'}, {'M', 'j'}};

constexpr unsigned char Swap(unsigned char c) {
  for (const auto& pair : kSwapPairs) {
    if (c == static_cast<unsigned char>(pair[0])) return static_cast<unsigned char>(pair[1]);
    if (c == static_cast<unsigned char>(pair[1])) return static_cast<unsigned char>(pair[0]);
  }
  return c;
}

constexpr unsigned char Base64Value(unsigned char c) {
  for (unsigned char v = 0; v < 64; ++v)
    if (static_cast<unsigned char>(kAlphabet[v]) == c) return v;
  return kSkip;
}

// Encoded byte for each Base64 character: substitution rows (`=` `+` `/`) then swaps.
struct EncodeTable {
  std::array<unsigned char, 256> byte{};
  constexpr EncodeTable() {
    for (int i = 0; i < 256; ++i) {
      unsigned char c = static_cast<unsigned char>(i);
      if (c == '=') c = 0x14;
      else if (c == '+') c = 0x10;
      else if (c == '/') c = 0x04;
      byte[i] = Swap(c);
    }
  }
};

// Base64 value of a single-byte character of an encoded text after the swaps are
// undone and the substitution bytes turned back into their plain text. Of the plain
// texts only `+` and `/` belong to the alphabet; `=`, CR LF and the rest are skipped.
struct DecodeTable {
  std::array<unsigned char, 256> value{};
  constexpr DecodeTable() {
    for (int i = 0; i < 256; ++i) {
      unsigned char c = Swap(static_cast<unsigned char>(i));
      switch (c) {
        case 0x10: c = '+'; break;
        case 0x04: c = '/'; break;
        case 0x14: c = '='; break;
        default: break;
      }
      value[i] = Base64Value(c);
    }
  }
};

constexpr EncodeTable kEncode;
constexpr DecodeTable kDecode;

bool HasByte(std::string_view s, char c) {
  return !s.empty() && std::memchr(s.data(), c, s.size()) != nullptr;
}

}  // namespace

std::string EncodePayload(std::string_view plain) {
  std::string marked;
  if (HasByte(plain, ',')) {
    marked = text::ReplaceAll(plain, ",", kCommaMarker);
    plain = marked;
  }
  const std::size_t n = plain.size();
  const std::size_t groups = (n + 2) / 3;
  std::string out(groups * 4, '\0');
  const auto* in = reinterpret_cast<const unsigned char*>(plain.data());
  // Base64 character k lands at position size-1-k (the text is reversed), already
  // mapped through the substitution rows and the swaps.
  auto* dst = reinterpret_cast<unsigned char*>(&out[0]) + out.size();
  const auto& map = kEncode.byte;
  std::size_t i = 0;
  for (; i + 3 <= n; i += 3) {
    const unsigned b0 = in[i], b1 = in[i + 1], b2 = in[i + 2];
    dst -= 4;
    dst[3] = map[static_cast<unsigned char>(kAlphabet[b0 >> 2])];
    dst[2] = map[static_cast<unsigned char>(kAlphabet[((b0 & 0x03) << 4) | (b1 >> 4)])];
    dst[1] = map[static_cast<unsigned char>(kAlphabet[((b1 & 0x0F) << 2) | (b2 >> 6)])];
    dst[0] = map[static_cast<unsigned char>(kAlphabet[b2 & 0x3F])];
  }
  if (i < n) {
    const unsigned b0 = in[i];
    const unsigned b1 = (i + 1 < n) ? in[i + 1] : 0;
    dst -= 4;
    dst[3] = map[static_cast<unsigned char>(kAlphabet[b0 >> 2])];
    dst[2] = map[static_cast<unsigned char>(kAlphabet[((b0 & 0x03) << 4) | (b1 >> 4)])];
    dst[1] = (i + 1 < n) ? map[static_cast<unsigned char>(kAlphabet[(b1 & 0x0F) << 2])]
                         : map[static_cast<unsigned char>('=')];
    dst[0] = map[static_cast<unsigned char>('=')];
  }
  return out;
}

std::string DecodePayload(std::string_view encoded) {
  // Pass 1, forward: the Base64 value each character contributes after the swaps and
  // substitutions are undone. Characters are found as the ANSI functions find them, so
  // a trail byte is never swapped or substituted (it is still seen raw by the Base64
  // step). The two bytes A2 E0 are the swap placeholder: undoing the M-j exchange turns
  // such a character into `M`.
  const std::size_t n = encoded.size();
  std::string sextets;
  sextets.resize(n);
  auto* vals = reinterpret_cast<unsigned char*>(&sextets[0]);
  const auto* in = reinterpret_cast<const unsigned char*>(encoded.data());
  const auto& table = kDecode.value;
  std::size_t count = 0;
  for (std::size_t i = 0; i < n;) {
    const unsigned char c = in[i];
    if (!text::IsLeadByte(c) || i + 1 >= n || in[i + 1] == 0) {
      const unsigned char v = table[c];
      vals[count] = v;
      count += (v != kSkip);
      ++i;
      continue;
    }
    const unsigned char trail = in[i + 1];
    const unsigned char v = (c == 0xA2 && trail == 0xE0) ? Base64Value('M') : Base64Value(trail);
    vals[count] = v;
    count += (v != kSkip);
    i += 2;
  }

  // Pass 2, backward (the text is reversed before Base64 decoding): lenient decoding.
  std::string out;
  out.resize(count / 4 * 3 + 3);
  auto* dst = reinterpret_cast<unsigned char*>(&out[0]);
  std::size_t o = 0;
  std::size_t k = count;
  for (; k >= 4; k -= 4) {
    const unsigned a = vals[k - 1], b = vals[k - 2], c = vals[k - 3], d = vals[k - 4];
    dst[o] = static_cast<unsigned char>((a << 2) | (b >> 4));
    dst[o + 1] = static_cast<unsigned char>(((b & 0x0F) << 4) | (c >> 2));
    dst[o + 2] = static_cast<unsigned char>(((c & 0x03) << 6) | d);
    o += 3;
  }
  // A trailing partial group: one character yields nothing, two one byte, three two.
  if (k >= 2) {
    const unsigned a = vals[k - 1], b = vals[k - 2];
    dst[o++] = static_cast<unsigned char>((a << 2) | (b >> 4));
    if (k == 3) dst[o++] = static_cast<unsigned char>(((b & 0x0F) << 4) | (vals[0] >> 2));
  }
  out.resize(o);

  const void* zero = out.empty() ? nullptr : std::memchr(out.data(), 0, out.size());
  if (zero) out.resize(static_cast<const char*>(zero) - out.data());
  if (HasByte(out, kCommaMarker[0])) return text::ReplaceAll(out, kCommaMarker, ",");
  return out;
}

}  // namespace protocol
