// Arithmetic of the two-colour progress bar (the connection and update progress
// dialogs): how much of the bar is filled, and so where its caption changes colour.
#pragma once

namespace app {

// The filled width in pixels of a bar `width` pixels wide at `position` of the range
// [minValue, maxValue]: (position - min) / (max - min) x width, in floating point,
// truncated toward zero, and kept within 0..width. An empty range (max <= min) fills
// nothing.
inline int ProgressFillWidth(int position, int minValue, int maxValue, int width) {
  if (maxValue <= minValue || width <= 0) return 0;
  const double fraction = (static_cast<double>(position) - minValue) / (static_cast<double>(maxValue) - minValue);
  const double filled = fraction * width;
  if (filled <= 0) return 0;
  if (filled >= width) return width;
  return static_cast<int>(filled);
}

}  // namespace app
