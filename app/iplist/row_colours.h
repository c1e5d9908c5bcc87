// Row colours of the IP lists under custom draw, as pure functions of the panel's
// state. Colours are COLORREF (0x00BBGGRR).
#pragma once

#include <cstdint>

#include "app/iplist/used_rows.h"

namespace app {

constexpr std::uint32_t Rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

inline constexpr std::uint32_t kUsedRowText = Rgb(255, 0, 0);
inline constexpr std::uint32_t kChosenRowText = Rgb(41, 215, 49);
inline constexpr std::uint32_t kMarkedRowBack = Rgb(255, 255, 255);
inline constexpr std::uint32_t kClassRowText = Rgb(0, 0, 0);

// What to set before a row is drawn; a colour not set keeps the list's default.
struct RowColours {
  bool setText = false;
  std::uint32_t text = 0;
  bool setBack = false;
  std::uint32_t back = 0;

  bool operator==(const RowColours& o) const {
    return setText == o.setText && text == o.text && setBack == o.setBack && back == o.back;
  }
};

// The available-IP list: the chosen row green, other used rows red, both on white.
inline RowColours AvailableRowColours(int row, int currentRow, const UsedRowHistory& used) {
  if (row == currentRow) return {true, kChosenRowText, true, kMarkedRowBack};
  if (used.IsLive(row)) return {true, kUsedRowText, true, kMarkedRowBack};
  return {};
}

// The class list: the chosen class green, every other row black; the background is
// the list's own.
inline RowColours ClassRowColours(int row, int classRow) {
  return {true, row == classRow ? kChosenRowText : kClassRowText, false, 0};
}

}  // namespace app
