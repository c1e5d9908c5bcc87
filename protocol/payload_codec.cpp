// The codec's steps are fused so that both directions are single linear passes that
// stream their output; the result is byte-identical to doing the replacements, the
// reversal and the Base64 step one after another on whole texts (a test compares the
// two on random inputs).
#include "protocol/payload_codec.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "text/cp949.h"
#include "text/field.h"

namespace protocol {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kMarker[] = {'\x0E', '\x5E', '\x17'};
constexpr unsigned char kSkip = 0xFF;
constexpr std::size_t kChunk = 1 << 16;         // decoded piece handed to the sink
constexpr std::size_t kEncodePiece = 1 << 18;  // encoded piece: fewer, larger writes

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

// Encoded form of a Base64 character: the substitution rows (only `=` `+` `/` occur in
// Base64 text) and then the swaps.
constexpr unsigned char EncodeChar(unsigned char c) {
  if (c == '=') c = 0x14;
  else if (c == '+') c = 0x10;
  else if (c == '/') c = 0x04;
  return Swap(c);
}

// For every 12-bit value, the two encoded characters it makes, second first (the
// encoded text is reversed, so they land in the output in that order), as a number
// whose low byte is the first of the two.
struct PairTable {
  std::array<std::uint16_t, 4096> pair{};
  constexpr PairTable() {
    for (int v = 0; v < 4096; ++v) {
      pair[v] = static_cast<std::uint16_t>(EncodeChar(static_cast<unsigned char>(kAlphabet[v & 63])) |
                                           EncodeChar(static_cast<unsigned char>(kAlphabet[v >> 6])) << 8);
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

constexpr PairTable kPairs;
constexpr DecodeTable kDecode;

bool HasHighByte(const unsigned char* p, std::size_t n) {
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    if (w & 0x8080808080808080ull) return true;
  }
  for (; i < n; ++i)
    if (p[i] & 0x80) return true;
  return false;
}

class StringSink : public PayloadSink {
 public:
  explicit StringSink(std::string& out) : out_(out) {}
  bool Write(const char* data, std::size_t size) override {
    out_.append(data, size);
    return true;
  }

 private:
  std::string& out_;
};

// ---- Encoding --------------------------------------------------------------------

// Positions of the commas that are characters of their own (a comma after a lone lead
// byte is its trail byte and stays); each becomes the marker.
std::vector<std::size_t> CommaPositions(std::string_view plain) {
  std::vector<std::size_t> commas;
  text::FieldCursor pieces(plain, ',');
  for (std::string_view piece; pieces.Next(piece);) {
    const std::size_t end = static_cast<std::size_t>(piece.data() - plain.data()) + piece.size();
    if (end < plain.size()) commas.push_back(end);
  }
  return commas;
}

// The comma-marked text, read from its end without being built: the runs of plain
// bytes between commas are used in place, and each comma reads as the marker.
class MarkedText {
 public:
  explicit MarkedText(std::string_view plain)
      : plain_(reinterpret_cast<const unsigned char*>(plain.data())),
        commas_(CommaPositions(plain)),
        pos_(plain.size()),
        comma_(commas_.size()),
        size_(plain.size() + 2 * commas_.size()) {}

  std::size_t size() const { return size_; }

  // Number of plain bytes just before the read position (0 inside a marker).
  std::size_t PlainRun() const {
    if (marker_left_ > 0) return 0;
    return pos_ - (comma_ > 0 ? commas_[comma_ - 1] + 1 : 0);
  }

  // The `count` (<= PlainRun()) plain bytes just before the read position, in place.
  const unsigned char* TakePlain(std::size_t count) {
    pos_ -= count;
    return plain_ + pos_;
  }

  // The marked byte just before the read position, which moves back over it.
  unsigned char ReadBack() {
    if (marker_left_ == 0) {
      if (PlainRun() > 0) return plain_[--pos_];
      --comma_;  // the byte before is a comma: read its marker
      --pos_;
      marker_left_ = 3;
    }
    return static_cast<unsigned char>(kMarker[--marker_left_]);
  }

 private:
  const unsigned char* plain_;
  std::vector<std::size_t> commas_;
  std::size_t pos_;     // plain bytes before this are not read yet
  std::size_t comma_;   // commas before pos_
  std::size_t size_;
  int marker_left_ = 0;  // marker bytes of the comma at pos_ not read yet
};

// Eight bytes, p[0] the most significant (one load and a byte swap where the machine
// has them; the shifts make it the same on any byte order).
std::uint64_t LoadBigEndian64(const unsigned char* p) {
  return std::uint64_t{p[0]} << 56 | std::uint64_t{p[1]} << 48 | std::uint64_t{p[2]} << 40 |
         std::uint64_t{p[3]} << 32 | std::uint64_t{p[4]} << 24 | std::uint64_t{p[5]} << 16 |
         std::uint64_t{p[6]} << 8 | std::uint64_t{p[7]};
}

// Stores v with its low byte first (one store where the machine is little-endian).
void StoreLittleEndian64(unsigned char* p, std::uint64_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
  p[4] = static_cast<unsigned char>(v >> 32);
  p[5] = static_cast<unsigned char>(v >> 40);
  p[6] = static_cast<unsigned char>(v >> 48);
  p[7] = static_cast<unsigned char>(v >> 56);
}

void StoreLittleEndian32(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

// The four encoded characters of a 24-bit group, reversed, low byte first.
std::uint32_t EncodeGroup(std::uint32_t group) {
  const std::uint16_t* pairs = kPairs.pair.data();
  return pairs[group & 0xFFF] | std::uint32_t{pairs[group >> 12]} << 16;
}

// Writes the encoded characters of the full groups in src[0, n) (n a multiple of 3),
// last group first and each group's characters reversed. Two groups (six bytes, read
// as the low bytes of the eight ending there) make eight characters at a time.
unsigned char* EncodeGroupsReversed(const unsigned char* src, std::size_t n, unsigned char* out) {
  std::size_t i = n;
  for (; i >= 8; i -= 6) {
    const std::uint64_t x = LoadBigEndian64(src + i - 8);
    const std::uint64_t later = EncodeGroup(static_cast<std::uint32_t>(x & 0xFFFFFF));
    const std::uint64_t earlier = EncodeGroup(static_cast<std::uint32_t>(x >> 24) & 0xFFFFFF);
    StoreLittleEndian64(out, later | earlier << 32);
    out += 8;
  }
  for (; i >= 3; i -= 3) {
    const std::uint32_t v = EncodeGroup(std::uint32_t{src[i - 3]} << 16 | std::uint32_t{src[i - 2]} << 8 | src[i - 1]);
    StoreLittleEndian32(out, v);
    out += 4;
  }
  return out;
}

// The encoded text in order, piece by piece. It begins with the last Base64 group, so
// the marked text is read from its end: first a trailing partial group, then whole
// groups, straight from the plain text wherever no marker lies inside the group.
class Encoder {
 public:
  explicit Encoder(std::string_view plain)
      : text_(plain), tail_(text_.size() % 3), groups_(text_.size() / 3) {}

  std::size_t size() const { return 4 * (groups_ + (tail_ > 0 ? 1 : 0)); }

  // Writes the next encoded characters into out[0, capacity) (capacity >= 4) and
  // returns how many; 0 at the end.
  std::size_t Fill(unsigned char* out, std::size_t capacity) {
    unsigned char* o = out;
    if (tail_ > 0) {
      const unsigned b1 = tail_ == 2 ? text_.ReadBack() : 0;
      const unsigned b0 = text_.ReadBack();
      o[0] = EncodeChar('=');
      o[1] = EncodeChar(tail_ == 2 ? static_cast<unsigned char>(kAlphabet[(b1 & 0x0F) << 2]) : '=');
      o[2] = EncodeChar(static_cast<unsigned char>(kAlphabet[((b0 & 0x03) << 4) | (b1 >> 4)]));
      o[3] = EncodeChar(static_cast<unsigned char>(kAlphabet[b0 >> 2]));
      o += 4;
      tail_ = 0;
    }
    std::size_t room = (capacity - static_cast<std::size_t>(o - out)) / 4;
    while (groups_ > 0 && room > 0) {
      std::size_t k = text_.PlainRun() / 3;
      if (k > groups_) k = groups_;
      if (k > room) k = room;
      if (k > 0) {
        o = EncodeGroupsReversed(text_.TakePlain(3 * k), 3 * k, o);
      } else {  // a group with marker bytes in it
        const std::uint32_t b2 = text_.ReadBack(), b1 = text_.ReadBack(), b0 = text_.ReadBack();
        StoreLittleEndian32(o, EncodeGroup(b0 << 16 | b1 << 8 | b2));
        o += 4;
        k = 1;
      }
      groups_ -= k;
      room -= k;
    }
    return static_cast<std::size_t>(o - out);
  }

 private:
  MarkedText text_;
  std::size_t tail_;    // bytes of the trailing partial group, written first
  std::size_t groups_;  // whole groups not written yet
};

// ---- Decoding --------------------------------------------------------------------

// Replaces the comma marker by a comma in decoded output arriving in pieces, matching
// only from character starts, and forwards the result.
class MarkerRestorer {
 public:
  explicit MarkerRestorer(PayloadSink& sink) : sink_(sink) {}

  bool Write(const unsigned char* p, std::size_t n) {
    std::size_t i = 0;
    if (held_ > 0) {  // a marker begun at the end of the previous piece
      while (held_ < 3 && i < n && p[i] == static_cast<unsigned char>(kMarker[held_])) ++held_, ++i;
      if (held_ < 3 && i == n) return true;
      out_.clear();
      if (held_ == 3) out_ += ',';
      else out_.append(kMarker, held_);  // the held bytes are single-byte characters
      held_ = 0;
      trail_next_ = false;
    } else {
      out_.clear();
    }
    while (i < n) {
      const void* hit = std::memchr(p + i, kMarker[0], n - i);
      if (!hit) {
        trail_next_ = TrailAfter(p + i, n - i, trail_next_);
        out_.append(reinterpret_cast<const char*>(p + i), n - i);
        break;
      }
      const std::size_t q = static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - p);
      const bool boundary = !TrailAfter(p + i, q - i, trail_next_);
      out_.append(reinterpret_cast<const char*>(p + i), q - i);
      std::size_t m = 1;
      if (boundary) {
        while (m < 3 && q + m < n && p[q + m] == static_cast<unsigned char>(kMarker[m])) ++m;
        if (m < 3 && q + m == n) {  // the piece ends inside a possible marker
          held_ = m;
          return Flush();
        }
      }
      if (boundary && m == 3) {
        out_ += ',';
        i = q + 3;
      } else {
        // 0E is a character of its own here, or the trail byte of one; either way the
        // next byte starts a character.
        out_ += static_cast<char>(p[q]);
        i = q + 1;
      }
      trail_next_ = false;
    }
    return Flush();
  }

  bool Finish() {
    if (held_ == 0) return true;
    const std::size_t held = held_;
    held_ = 0;
    return sink_.Write(kMarker, held);
  }

 private:
  bool Flush() { return out_.empty() || sink_.Write(out_.data(), out_.size()); }

  // Whether the byte after p[0, n) is a trail byte, given whether p[0] is one. Bytes
  // that are not lead bytes always end a character, so only the run of lead bytes at
  // the end matters: they pair up from its start.
  static bool TrailAfter(const unsigned char* p, std::size_t n, bool first_is_trail) {
    if (n == 0) return first_is_trail;
    const std::size_t start = first_is_trail ? 1 : 0;
    std::size_t run = 0;
    while (run + start < n && text::IsLeadByte(p[n - 1 - run])) ++run;
    return run % 2 == 1;
  }

  PayloadSink& sink_;
  std::string out_;
  bool trail_next_ = false;
  std::size_t held_ = 0;
};

// Lenient Base64 decoding of a value sequence read from its end to its start (the
// encoded text is reversed before decoding). Stops at the first zero byte produced.
class ReversedBase64Decoder {
 public:
  explicit ReversedBase64Decoder(MarkerRestorer& out) : out_(out) {}

  // Feeds values in the order they are decoded; kSkip values are ignored. Returns
  // false once a zero byte ended the text or the sink stopped.
  template <typename ValueAt>
  bool Feed(std::size_t count, ValueAt value_at) {
    std::size_t j = count;
    while (j > 0 && !ended_) {
      // Fast path: groups of four values that are all in the alphabet.
      while (phase_ == 0 && j >= 4 && used_ + 3 <= buffer_.size()) {
        const unsigned a = value_at(j - 1), b = value_at(j - 2), c = value_at(j - 3), d = value_at(j - 4);
        if ((a | b | c | d) >= 64) break;
        const std::uint32_t w = (a << 18) | (b << 12) | (c << 6) | d;
        const unsigned char b0 = static_cast<unsigned char>(w >> 16);
        const unsigned char b1 = static_cast<unsigned char>(w >> 8);
        const unsigned char b2 = static_cast<unsigned char>(w);
        if (b0 == 0 || b1 == 0 || b2 == 0) break;  // the slow path finds where it ends
        buffer_[used_] = b0;
        buffer_[used_ + 1] = b1;
        buffer_[used_ + 2] = b2;
        used_ += 3;
        j -= 4;
      }
      if (j == 0) break;
      const unsigned v = value_at(--j);
      if (v == kSkip) continue;
      switch (phase_) {
        case 0: break;
        case 1: Emit(static_cast<unsigned char>((previous_ << 2) | (v >> 4))); break;
        case 2: Emit(static_cast<unsigned char>(((previous_ & 0x0F) << 4) | (v >> 2))); break;
        case 3: Emit(static_cast<unsigned char>(((previous_ & 0x03) << 6) | v)); break;
      }
      phase_ = (phase_ + 1) & 3;
      previous_ = v;
      if (used_ + 3 > buffer_.size()) Drain();
    }
    return !ended_;
  }

  bool Finish() {
    Drain();
    return !sink_failed_ && out_.Finish();
  }

 private:
  void Emit(unsigned char byte) {
    if (ended_) return;
    if (byte == 0) {  // the text ends at the first zero byte
      Drain();
      ended_ = true;
      return;
    }
    buffer_[used_++] = byte;
  }

  void Drain() {
    if (used_ > 0 && !sink_failed_ && !out_.Write(buffer_.data(), used_)) sink_failed_ = ended_ = true;
    used_ = 0;
  }

  MarkerRestorer& out_;
  std::array<unsigned char, kChunk> buffer_{};
  std::size_t used_ = 0;
  int phase_ = 0;
  unsigned previous_ = 0;
  bool ended_ = false;
  bool sink_failed_ = false;
};

}  // namespace

bool EncodePayloadTo(std::string_view plain, PayloadSink& sink) {
  Encoder encoder(plain);
  std::vector<unsigned char> out(kEncodePiece);
  for (std::size_t n; (n = encoder.Fill(out.data(), out.size())) > 0;)
    if (!sink.Write(reinterpret_cast<const char*>(out.data()), n)) return false;
  return true;
}

bool DecodePayloadTo(std::string_view encoded, PayloadSink& sink) {
  const std::size_t n = encoded.size();
  const auto* in = reinterpret_cast<const unsigned char*>(encoded.data());
  const auto& table = kDecode.value;
  MarkerRestorer restorer(sink);
  auto decoder = std::make_unique<ReversedBase64Decoder>(restorer);

  if (!HasHighByte(in, n)) {
    // Every byte is a character of its own: read the text backwards directly.
    decoder->Feed(n, [&](std::size_t j) -> unsigned { return table[in[j]]; });
    return decoder->Finish();
  }

  // With bytes of 0x80 and up, characters are found front to back as the ANSI
  // functions find them: a trail byte is never swapped or substituted (the Base64
  // step still sees it raw), and the two bytes A2 E0 (the placeholder the swaps use)
  // become `M` when the M-j exchange is undone. Each character gives at most one value.
  std::vector<unsigned char> values;
  values.reserve(n);
  for (std::size_t i = 0; i < n;) {
    const unsigned char c = in[i];
    if (!text::IsLeadByte(c) || i + 1 >= n || in[i + 1] == 0) {
      values.push_back(table[c]);
      ++i;
    } else {
      const unsigned char trail = in[i + 1];
      values.push_back((c == 0xA2 && trail == 0xE0) ? Base64Value('M') : Base64Value(trail));
      i += 2;
    }
  }
  decoder->Feed(values.size(), [&](std::size_t j) -> unsigned { return values[j]; });
  return decoder->Finish();
}

std::string EncodePayload(std::string_view plain) {
  // Written in place: the encoder knows the exact length, commas included.
  Encoder encoder(plain);
  std::string out(encoder.size(), '\0');
  if (!out.empty()) encoder.Fill(reinterpret_cast<unsigned char*>(&out[0]), out.size());
  return out;
}

std::string DecodePayload(std::string_view encoded) {
  std::string out;
  out.reserve(encoded.size() / 4 * 3 + 3);
  StringSink sink(out);
  DecodePayloadTo(encoded, sink);
  return out;
}

}  // namespace protocol
