// The system menu of a skinned window, opened from its caption's system-menu button.
#pragma once

#include <windows.h>

// Opens a copy of the window's system menu at the cursor, with Restore, Move, Size, Minimize
// and Maximize enabled as the window's state allows, and sends the chosen command to the window
// as WM_SYSCOMMAND. The engine's skinned popup menu shows it; without one the window system's
// own popup menu does. The chosen command, or 0.
int ShowSkinSystemMenu(HWND hwnd);
