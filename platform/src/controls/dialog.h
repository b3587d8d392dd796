// The dialog manager's internal interface (message boxes build on it).
#pragma once

#include "controls/common.h"
#include "res/resources.h"
#include "user/modal.h"

namespace plat::controls {

// Creates a dialog from a parsed template. `owner_or_parent` is the parent of a DS_CONTROL /
// WS_CHILD dialog, else the owner. Returns null when the window can't be made.
HWND CreateDialogFromTemplate(const res::DialogTemplate& t, HINSTANCE inst, HWND owner_or_parent, DLGPROC proc,
                              LPARAM param);
// Creates an empty dialog window of pixel size (client) `cx`×`cy`; the caller adds controls.
HWND CreateEmptyDialog(DWORD style, DWORD ex_style, const char* title, int cx, int cy, HWND owner, DLGPROC proc,
                       HFONT font);
// Runs a modal loop until EndDialog; the owner stays disabled meanwhile. Destroys the dialog.
INT_PTR RunModalDialog(HWND dlg, HWND owner, user::LoopKind kind = user::LoopKind::Dialog);
// Centres a top-level window over its owner's window, or over the work area.
void CenterWindow(HWND h, HWND owner);
// Moves the focus to a dialog control as the keyboard does (an edit gets its text selected).
void DialogSetFocus(HWND dlg, HWND ctl);
// The default dialog font and its base units.
HFONT DialogFont();
SIZE FontBaseUnits(HFONT font);

}  // namespace plat::controls
