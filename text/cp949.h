// Byte-string operations that respect code page 949 characters.
//
// Every narrow text in the client is a CP949 byte string. A byte from 0x81 to 0xFE
// starts a double-byte character, and its second (trail) byte may be an ASCII letter
// or punctuation, so byte-wise loops would change or match half of a Korean character.
// These helpers walk whole characters, as the Windows ANSI functions do.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace text {

// True for bytes that begin a double-byte character (0x81-0xFE).
constexpr bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Length in bytes (1 or 2) of the character starting at s[i]. A lead byte forms a
// double-byte character with the next byte unless it is the last byte or the next
// byte is zero (as CharNextExA would see it).
inline std::size_t CharLength(std::string_view s, std::size_t i) {
  if (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() && s[i + 1] != '\0')
    return 2;
  return 1;
}

// ASCII-only case mapping; double-byte characters stay whole (their trail bytes may be
// letters and must not change).
std::string ToLowerAscii(std::string_view s);
std::string ToUpperAscii(std::string_view s);

// First occurrence of `needle` at or after `from` that begins on a character boundary;
// npos when there is none (and for an empty needle). `from` must be a boundary.
std::size_t Find(std::string_view haystack, std::string_view needle, std::size_t from = 0);

inline bool Contains(std::string_view haystack, std::string_view needle) {
  return Find(haystack, needle) != std::string_view::npos;
}

// Replaces every occurrence of `from` by `to`: scanning left to right, non-overlapping,
// resuming after the inserted text, never matching from a trail byte. An empty `from`
// changes nothing. Linear in the length of the text.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

// `s` less its last character (a double-byte character goes whole).
std::string WithoutLastChar(std::string_view s);

// A Windows path with every backslash turned into '/', the form the client builds
// its working-file paths in.
inline std::string ForwardSlashes(std::string_view path) { return ReplaceAll(path, "\\", "/"); }

// Splits at every separator character (never at a trail byte). k separators give
// k + 1 pieces; an empty text gives one empty piece.
std::vector<std::string> Split(std::string_view s, char separator);

// Reverses the order of characters; a double-byte character keeps its byte order.
std::string ReverseChars(std::string_view s);

// Decimal text to integer with the C runtime's atoi rules: leading blanks skipped,
// optional sign, digits up to the first non-digit, 0 when there are none. Values out
// of the 32-bit range saturate (as the Microsoft runtime's atoi does) instead of
// wrapping.
int AtoI(std::string_view s);

}  // namespace text
