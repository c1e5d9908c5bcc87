// One running client per desktop session.
#pragma once

namespace ui {

// True when this process may run the client. Otherwise another instance holds the
// mutex (it has then been asked to show its window) or the mutex could not be created,
// and the process should end without a window. The mutex handle stays open for the
// life of the process.
bool ClaimSingleInstance();

}  // namespace ui
