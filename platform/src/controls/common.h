// Shared plumbing of the standard controls and the dialog manager.
#pragma once

#include <string>

#include "controls/control_window.h"
#include "windows.h"
#include "windlg.h"

namespace plat::controls {

// Gives every standard control's procedure to its system class (from the library's start-up).
void RegisterStandardClasses();

// Control procedures (one per class).
LRESULT CALLBACK ButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK StaticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK RichEditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ListBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ComboLBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ComboProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ScrollBarProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK MdiClientProc(HWND, UINT, WPARAM, LPARAM);

using ctl::AttachState;
using ctl::FreeState;
using ctl::PaintOrPrint;
using ctl::SetState;
using ctl::State;

// WM_COMMAND notification to the parent (owner for popups).
void Notify(HWND ctl, int code);
// The brush the parent answers for WM_CTLCOLOR<kind>; sets up the DC's colours.
HBRUSH ControlColor(HWND ctl, HDC dc, UINT msg);
// The font the control draws with (WM_SETFONT's, else the GUI font).
HFONT DefaultFont();
// Called by every control that takes the focus: a dialog moves its default-button look.
void DialogFocusMoved(HWND ctl);
// Text helpers.
std::string WindowText(HWND h);
// Removes '&' prefixes ("&&" stays one '&'); returns the mnemonic letter (0 when none).
char Mnemonic(const std::string& text);

// In-process clipboard text (also the SDL clipboard when that backend runs).
bool ClipboardSetText(HWND owner, const std::string& text);
bool ClipboardGetText(std::string* text);

}  // namespace plat::controls
