#include "ui/win32/ip_panel_view.h"

#include <string>

#include "platform/win32/cp949_wide.h"
#include "resources/resource_ids.h"
#include "ui/win32/screen_dpi.h"

namespace ui {

namespace {

constexpr UINT_PTR kSubclassId = 1;

}  // namespace

void IpPanelView::Prepare() {
  // The list-view class must be registered before the template names it.
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  router_.SetBackground(IDB_IP_PANEL_BACKGROUND);
  router_.onInit = [this] {
    echo_.SetTarget(router_.hwnd());
    SetUpLists();
    // Notifications come to the dialog's window procedure, not through the router.
    SetWindowSubclass(router_.hwnd(), &IpPanelView::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    if (logic_ != nullptr) {
      logic_->OnInitDialog();
    } else {  // no logic yet: the buttons still show their bitmaps
      for (std::size_t i = 0; i < look_.buttonCount; ++i) {
        const app::IpButtonBitmaps& b = look_.buttons[i];
        router_.window().SetBitmaps(b.id, b.normal, b.pressed);
      }
    }
  };
  router_.onCommand = [this](int id, int code) {
    if (code == BN_CLICKED && logic_ != nullptr) logic_->OnCommand(id);
  };
}

void IpPanelView::SetUpLists() {
  for (std::size_t i = 0; i < look_.listCount; ++i) {
    const app::IpListSetup& setup = look_.lists[i];
    HWND list = GetDlgItem(router_.hwnd(), setup.id);
    if (list == nullptr) continue;
    const DWORD extended = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    std::wstring title = platform::win32::Cp949ToWide(setup.column);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = setup.centred ? LVCFMT_CENTER : LVCFMT_LEFT;
    column.cx = Scaled(setup.width);
    column.pszText = &title[0];
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    if (setup.latencyWidth > 0) {
      LVCOLUMNW latency{};
      latency.mask = LVCF_FMT | LVCF_WIDTH;
      latency.fmt = LVCFMT_RIGHT;
      latency.cx = Scaled(setup.latencyWidth);
      SendMessageW(list, LVM_INSERTCOLUMNW, app::kLatencyColumn, reinterpret_cast<LPARAM>(&latency));
    }
    // A small-image list of 1 x 18 pictures makes every row 18 pixels high (at 100 %).
    // Each list gets its own and destroys it with itself.
    HIMAGELIST rows = ImageList_Create(1, Scaled(app::kIpListRowHeight), ILC_COLOR, 1, 0);
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(rows));
  }
}

bool IpPanelView::IsList(int id) const {
  for (std::size_t i = 0; i < look_.listCount; ++i)
    if (look_.lists[i].id == id) return true;
  return false;
}

LRESULT IpPanelView::CustomDraw(int listId, NMLVCUSTOMDRAW& draw) const {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      if (logic_ == nullptr) return CDRF_DODEFAULT;
      const app::RowColours colours = logic_->RowColoursOf(listId, static_cast<int>(draw.nmcd.dwItemSpec));
      if (colours.setText) draw.clrText = colours.text;
      if (colours.setBack) draw.clrTextBk = colours.back;
      return CDRF_DODEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

LRESULT CALLBACK IpPanelView::SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                           DWORD_PTR self_data) {
  auto* self = reinterpret_cast<IpPanelView*>(self_data);
  if (message == WM_NOTIFY && self->IsList(static_cast<int>(reinterpret_cast<NMHDR*>(lparam)->idFrom))) {
    auto& header = *reinterpret_cast<NMHDR*>(lparam);
    const int id = static_cast<int>(header.idFrom);
    if (header.code == NM_CUSTOMDRAW) return self->CustomDraw(id, *reinterpret_cast<NMLVCUSTOMDRAW*>(lparam));
    if (header.code == NM_DBLCLK) {
      if (self->logic_ != nullptr) self->logic_->OnDoubleClick(id);
      return 0;
    }
  } else if (message == kEchoResultsMessage) {
    self->echo_.DeliverResults();
    return 0;
  } else if (message == WM_NCDESTROY) {
    self->echo_.Stop();
    RemoveWindowSubclass(window, &IpPanelView::SubclassProc, kSubclassId);
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace ui
