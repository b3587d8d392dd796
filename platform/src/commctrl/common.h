// Shared plumbing of the common controls (list view, header, trackbar, progress bar, tooltips).
#pragma once

#include <string>

#include "controls/control_window.h"
#include "commctrl.h"
#include "windows.h"

namespace plat::commctrl {

// Gives every common control's procedure to its system class (from the library's start-up).
void RegisterCommonClasses();

LRESULT CALLBACK ListViewProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK HeaderProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK TrackbarProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ProgressProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK TooltipProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK TabProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK StatusBarProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ToolbarProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK RebarProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK MonthCalProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK DateTimeProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK AnimateProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK LinkProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK UpDownProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK IpAddressProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK TreeViewProc(HWND, UINT, WPARAM, LPARAM);

using ctl::AttachState;
using ctl::FreeState;
using ctl::PaintOrPrint;
using ctl::SetState;
using ctl::State;

// Fills the header and sends WM_NOTIFY to the control's parent; returns the parent's answer.
LRESULT SendNotify(HWND ctl, UINT code, NMHDR* hdr);
// Same, to an explicit receiver.
LRESULT SendNotifyTo(HWND to, HWND ctl, UINT code, NMHDR* hdr);
// The font the control draws with: WM_SETFONT's, else the GUI font.
HFONT FontOr(HFONT f);
// A system-colour COLORREF.
inline COLORREF Sys(int index) { return GetSysColor(index); }
void FillSolid(HDC dc, const RECT& r, COLORREF c);
// Copies s into a caller buffer of cap chars (always terminated when cap > 0).
void CopyOut(const std::string& s, char* buf, int cap);
// Height of the control font's line.
int LineHeight(HFONT font);
// Width of a single line of text in the font (the GUI font when null).
int TextWidth(HFONT font, const std::string& text);

}  // namespace plat::commctrl
