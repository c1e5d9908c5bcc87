// The controls of the two IP list panels as data: each list's column and the bitmaps
// of each bitmap button. The panels' logic sets the bitmaps; the window layer sets up
// the lists from the same tables.
#pragma once

#include <cstddef>
#include <iterator>

#include "app/iplist/texts.h"
#include "resources/resource_ids.h"

namespace app {

// Every list: report view with no header, grid lines, full-row selection, rows of this
// height (the height of the small-image list's pictures). One column, and on the
// available IPs a second one, the latency column, right-aligned.
inline constexpr int kIpListRowHeight = 18;
inline constexpr int kLatencyColumn = 1;

struct IpListSetup {
  int id;
  const char* column;  // title of the first column
  int width;           // its width in pixels
  bool centred;
  int latencyWidth;  // the latency column's width; 0: the list has none
};

// A button given one bitmap shows it in every state (pressed == normal).
struct IpButtonBitmaps {
  int id, normal, pressed;
};

struct IpPanelLook {
  const IpListSetup* lists;
  std::size_t listCount;
  const IpButtonBitmaps* buttons;
  std::size_t buttonCount;
};

// The whole pool (IDD_IP_POOL).
inline constexpr IpListSetup kPoolPanelLists[] = {
    // 145 pixels together, as the single column had: "255.255.255.255" and "999 ms"
    // in the lists' 9-point GulimChe (6 pixels a character) with the cells' margins
    // (about 7 pixels before the IP, 6 on each side of a right-aligned cell).
    {IDC_IP_AVAILABLE, kPoolAvailableColumn, 97, false, 48},
    {IDC_IP_FAVOURITES, kPoolFavouritesColumn, 145, false, 0},
};
inline constexpr IpButtonBitmaps kPoolPanelButtons[] = {
    {IDC_IP_ADD, IDB_IP_ADD, IDB_IP_ADD},
    {IDC_IP_REMOVE, IDB_IP_REMOVE, IDB_IP_REMOVE},
    {IDC_POOL_RANDOM, IDB_IP_RANDOM, IDB_IP_RANDOM_PRESSED},
    {IDC_POOL_RANDOM_FAVOURITE, IDB_IP_RANDOM, IDB_IP_RANDOM_PRESSED},
    {IDC_POOL_AVAILABLE_TITLE, IDB_IP_AVAILABLE_TITLE, IDB_IP_AVAILABLE_TITLE},
    {IDC_POOL_FAVOURITES_TITLE, IDB_IP_FAVOURITES_TITLE, IDB_IP_FAVOURITES_TITLE},
};
inline constexpr IpPanelLook kPoolPanelLook{kPoolPanelLists, std::size(kPoolPanelLists), kPoolPanelButtons,
                                            std::size(kPoolPanelButtons)};

// The IP classes (IDD_IP_CLASSES).
inline constexpr IpListSetup kClassPanelLists[] = {
    {IDC_CLASS_LIST, kClassListColumn, 110, true, 0},
    // The same two columns as the pool panel's: 97 pixels are the least that shows
    // "255.255.255.255" whole. They are wider together than this list (83 dialog
    // units, 122 pixels inside its border), which then scrolls sideways to the last
    // 23 pixels of the latency column; a narrower IP column would cut addresses.
    {IDC_IP_AVAILABLE, kClassAvailableColumn, 97, false, 48},
    {IDC_IP_FAVOURITES, kClassFavouritesColumn, 120, false, 0},
};
inline constexpr IpButtonBitmaps kClassPanelButtons[] = {
    {IDC_IP_ADD, IDB_IP_ADD, IDB_IP_ADD},
    {IDC_IP_REMOVE, IDB_IP_REMOVE, IDB_IP_REMOVE},
    {IDC_CLASS_RANDOM, IDB_IP_CLASS_RANDOM, IDB_IP_CLASS_RANDOM_PRESSED},
    {IDC_CLASS_NEXT_FAVOURITE, IDB_IP_RANDOM, IDB_IP_RANDOM_PRESSED},
    {IDC_CLASS_LIST_TITLE, IDB_IP_CLASSES_TITLE, IDB_IP_CLASSES_TITLE},
    {IDC_CLASS_AVAILABLE_TITLE, IDB_IP_AVAILABLE_TITLE, IDB_IP_AVAILABLE_TITLE},
    {IDC_CLASS_FAVOURITES_TITLE, IDB_IP_FAVOURITES_TITLE, IDB_IP_FAVOURITES_TITLE},
};
inline constexpr IpPanelLook kClassPanelLook{kClassPanelLists, std::size(kClassPanelLists), kClassPanelButtons,
                                             std::size(kClassPanelButtons)};

}  // namespace app
