// Geometry of the main window's two layouts and of the panels it places, as pure
// functions of the rectangles involved. Rectangles as RECT: right and bottom exclusive.
#pragma once

#include "platform/types.h"
#include "resources/resource_ids.h"

namespace app {

// Places of the minimize and close buttons and the bitmaps of the account panel's
// ">>" button in one layout.
struct LayoutButtons {
  platform::Rect minimize;
  platform::Rect close;
  int expandNormal;
  int expandPressed;
};

inline constexpr LayoutButtons kNarrowButtons{{387, 10, 412, 32}, {417, 10, 442, 32}, IDB_EXPAND, IDB_EXPAND_PRESSED};
inline constexpr LayoutButtons kWideButtons{{835, 10, 860, 32}, {865, 10, 890, 32}, IDB_COLLAPSE, IDB_COLLAPSE_PRESSED};

// The screen's logical DPI at 100 %: every pixel figure of the skin is made for it.
inline constexpr int kBaseDpi = 96;

// `pixels` at 100 % scaled to `dpi` (120 = 125 %, 144 = 150 %, 192 = 200 %), rounded to
// the nearest pixel as MulDiv rounds. A DPI that is not positive counts as 100 %.
inline int ScaleForDpi(int pixels, int dpi) {
  if (dpi <= 0 || dpi == kBaseDpi) return pixels;
  const long long product = static_cast<long long>(pixels) * dpi;
  return static_cast<int>((product >= 0 ? product + kBaseDpi / 2 : product - kBaseDpi / 2) / kBaseDpi);
}

// A rectangle of the 100 % skin scaled to `dpi`: each edge scaled, so rectangles that
// touch at 100 % still touch.
inline platform::Rect ScaleForDpi(const platform::Rect& r, int dpi) {
  return {ScaleForDpi(r.left, dpi), ScaleForDpi(r.top, dpi), ScaleForDpi(r.right, dpi), ScaleForDpi(r.bottom, dpi)};
}

// The main window resized to `width`: same left edge, same bottom, the full client
// height (the window is borderless, so its client area is the whole window).
inline platform::Rect ResizedMainWindow(const platform::Rect& window, int width, int client_height) {
  return {window.left, window.bottom - client_height, window.left + width, window.bottom};
}

// A panel in the bottom-left corner of the client area, in its own size.
inline platform::Rect BottomLeft(const platform::Rect& client, const platform::Rect& panel) {
  return {0, client.Height() - panel.Height(), panel.Width(), client.Height()};
}

// The IP list panels: x 460, width 428, from 2 above their own height to 8 above the
// bottom of the client area (pixels at 100 %, scaled to `dpi`).
inline platform::Rect IpPanelPlace(const platform::Rect& client, const platform::Rect& panel, int dpi = kBaseDpi) {
  const int left = ScaleForDpi(460, dpi);
  return {left, client.Height() - panel.Height() - ScaleForDpi(2, dpi), left + ScaleForDpi(428, dpi),
          client.Height() - ScaleForDpi(8, dpi)};
}

// `window` moved so that its centre is the centre of `area`, keeping its size.
inline platform::Rect CenteredOn(const platform::Rect& area, const platform::Rect& window) {
  const int left = area.left + (area.Width() - window.Width()) / 2;
  const int top = area.top + (area.Height() - window.Height()) / 2;
  return {left, top, left + window.Width(), top + window.Height()};
}

}  // namespace app
