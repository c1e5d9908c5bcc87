// The screen's logical DPI and the skin made for 96 DPI scaled to it. The program is
// DPI-aware (its manifest says so): Windows no longer stretches its windows, and the
// dialogs grow with their fonts, so every pixel figure of the skin (bitmaps, fonts of
// the labels, list rows and columns) is scaled here to match.
#pragma once

#include "platform/win32/windows_include.h"

namespace ui {

// The screen's logical DPI (96 = 100 %), read once: a DPI-aware process of the
// system-wide kind keeps the DPI it started with.
int ScreenDpi();

// `pixels` at 100 % in pixels at ScreenDpi().
int Scaled(int pixels);

// Skin bitmap `id` of the program's resources in the screen's scale: at 100 % as
// stored; otherwise stretched with halftone filtering into a new bitmap of the scaled
// size. Null when the resource is missing.
HBITMAP LoadSkinBitmap(int id);

// `bitmap` stretched to `dpi` (the original is deleted); the original itself at 96 DPI
// or when the copy cannot be made.
HBITMAP ScaleBitmap(HBITMAP bitmap, int dpi);

}  // namespace ui
