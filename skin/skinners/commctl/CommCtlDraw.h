// Drawing pieces the common-control skinners share: backgrounds from skin records, records
// drawn turned by quarter turns (tabs on the bottom or a side, bars docked at a side), the
// skinned border of controls with an edge, and texts read from controls without a fixed limit.
#pragma once

#include <windows.h>

#include <string>

#include "SkinObject.h"

class CSkinFile;
class CSkinWindow;

namespace commctl {

// The framework's dock-side bits of a control bar's style.
constexpr DWORD kAlignLeft = 0x1000, kAlignTop = 0x2000, kAlignRight = 0x4000, kAlignBottom = 0x8000;

enum class Side { Top, Bottom, Left, Right };

// The grid over rc, the fill colour where the skin has no picture.
void FillBackground(CSkinFile* file, HDC hdc, const RECT& rc, const SkinNineGrid& grid, COLORREF fill);

// The grid drawn into rc turned clockwise by quarterTurns (1: 90 degrees): it is laid out at the
// size that, once turned, covers rc. With `keyed`, pixels of the key colour leave hdc as it was.
void DrawGridTurned(CSkinFile* file, HDC hdc, const RECT& rc, const SkinNineGrid& grid, COLORREF fill,
                    int quarterTurns, bool keyed, COLORREF key);

// WM_NCPAINT of a control whose object has a border grid: the border widths come from the
// extended style (client edge, dialog frame, static edge); the saved procedure paints what lies
// inside them, and the grid's eight border parts are drawn over the rest. False, with nothing
// done, when the grid is empty: the control paints its own border then.
bool PaintSkinBorder(CSkinWindow& window, CSkinFile* file, WPARAM wParam, const SkinNineGrid& border,
                     COLORREF fill);

// A text style kept as a 16-byte block of a record.
SkinTextStyle TextStyleFromBlock(const BYTE (&block)[16]);
// A rectangle kept as a 16-byte block of a record (left, top, right, bottom).
RECT RectFromBlock(const BYTE (&block)[16]);

// The text of a status-bar part, a tool-bar button or the window, asked for its length first so
// that no length of text can overrun the buffer.
std::string StatusPartText(HWND statusBar, int part);
std::string ToolButtonText(HWND toolBar, int commandId);
std::string WindowText(HWND hwnd);

}  // namespace commctl
