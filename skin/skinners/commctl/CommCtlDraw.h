// Drawing pieces the common-control skinners share: backgrounds from skin records, records
// drawn turned by quarter turns and the skinned border of controls with an edge (both from
// ControlDraw.h), and texts read from controls without a fixed limit.
#pragma once

#include <windows.h>

#include <string>

#include "ControlDraw.h"
#include "SkinObject.h"

class CSkinFile;
class CSkinWindow;

namespace commctl {

// The framework's dock-side bits of a control bar's style.
constexpr DWORD kAlignLeft = 0x1000, kAlignTop = 0x2000, kAlignRight = 0x4000, kAlignBottom = 0x8000;

enum class Side { Top, Bottom, Left, Right };

// The grid over rc, the fill colour where the skin has no picture.
void FillBackground(CSkinFile* file, HDC hdc, const RECT& rc, const SkinNineGrid& grid, COLORREF fill);

// Shared with the standard-control skinners.
using ctldraw::DrawGridTurned;
using ctldraw::PaintSkinBorder;

// A text style kept as a 16-byte block of a record.
SkinTextStyle TextStyleFromBlock(const BYTE (&block)[16]);
// A rectangle kept as a 16-byte block of a record (left, top, right, bottom).
RECT RectFromBlock(const BYTE (&block)[16]);

// The text of a status-bar part, a tool-bar button or the window, asked for its length first so
// that no length of text can overrun the buffer.
std::string StatusPartText(HWND statusBar, int part);
std::string ToolButtonText(HWND toolBar, int commandId);
std::string WindowText(HWND hwnd);
// As much of a text as one line `width` pixels wide can show: every character drawn takes at
// least a pixel, so what lies beyond width + 1 characters is cut or ellipsised away anyway, and
// measuring it would only cost time (the layout of a line grows with the square of its length).
std::string OneLineShown(const std::string& text, int width);

}  // namespace commctl
