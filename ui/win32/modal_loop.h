// The loop of a dialog run modally over its owner by hand (not DialogBox), so that its
// keys can be dropped before the dialog manager turns Enter and Escape into commands.
#pragma once

#include "platform/win32/windows_include.h"

namespace ui {

// Runs `dialog`'s messages until `done` is set, the dialog is gone or the program
// quits (the quit is posted again for the main loop); timers and other windows'
// messages go on. Then enables `owner` again, destroys the dialog and gives the owner
// the activation.
void RunOwnedModalLoop(HWND dialog, HWND owner, const bool& done);

}  // namespace ui
