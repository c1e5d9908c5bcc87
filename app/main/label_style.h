// The look of an owner-painted label (CFontStatic) as data: what a dialog sets at its
// initialisation and the window binding applies. Colours are COLORREF (0x00BBGGRR).
#pragma once

#include <cstdint>

namespace app {

// SetFontStyle flags. Font flags once set stay set; the alignment is chosen anew on
// every call (left without kFontCenter and kFontRight).
inline constexpr unsigned kFontBold = 0x01;
inline constexpr unsigned kFontItalic = 0x02;
inline constexpr unsigned kFontUnderline = 0x04;
inline constexpr unsigned kFontStrikeOut = 0x08;
inline constexpr unsigned kFontCenter = 0x20;
inline constexpr unsigned kFontPlain = 0x40;  // passed by most labels; no effect
inline constexpr unsigned kFontRight = 0x80;

struct LabelStyle {
  int id;                  // control
  std::uint32_t backColor; // filled behind the text (hasBackColor on)
  const char* face;
  int height;              // logical units
  std::uint32_t textColor;
  unsigned flags;          // SetFontStyle flags
};

}  // namespace app
