// The system menu of a skinned window, opened from its caption's system-menu button.
#pragma once

#include <windows.h>

// Opens a copy of the window's system menu at `at` (the cursor when null), with Restore, Move,
// Size, Minimize and Maximize enabled as the window's state allows, and sends the chosen command
// to the window as WM_SYSCOMMAND. The engine's skinned popup menu shows it; without one the
// window system's own popup menu does. The chosen command, or 0.
int ShowSkinSystemMenu(HWND hwnd, const POINT* at = nullptr);

// The window system asks for the system menu with WM_SYSCOMMAND: SC_KEYMENU with a space
// (Alt+Space), SC_MOUSEMENU with HTSYSMENU (a right click on the caption, a click on the
// system-menu box). A skinned frame shows it in the skin's look: true when `msg` was such a
// request and the menu has been shown.
bool ShowSkinSystemMenuOnRequest(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
