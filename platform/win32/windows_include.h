// <windows.h> for the Win32 implementations, without the A/W name macros that
// collide with the seam's method names (CreateDirectory, MessageBox, ...). Include
// this instead of <windows.h> wherever a seam header is also used.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#undef CreateDirectory
#undef CreateMutex
#undef CreateProcess
#undef GetVersionEx
#undef LoadIcon
#undef MessageBox
#undef SendMessage
#undef SetCurrentDirectory
#undef ShellExecute
