#include "ui/win32/modal_loop.h"

#include "app/main/window_rules.h"

namespace ui {

void RunOwnedModalLoop(HWND dialog, HWND owner, const bool& done) {
  MSG message;
  while (!done && IsWindow(dialog)) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // The program is ending: the main loop must see the quit too.
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    const bool inDialog = message.hwnd == dialog || IsChild(dialog, message.hwnd);
    if (inDialog && app::SwallowKey(message.message, message.wParam)) continue;
    if (IsDialogMessageW(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // The owner first, so activation returns to it rather than to another program.
  EnableWindow(owner, TRUE);
  if (IsWindow(dialog)) DestroyWindow(dialog);
  if (IsWindow(owner)) SetActiveWindow(owner);
}

}  // namespace ui
