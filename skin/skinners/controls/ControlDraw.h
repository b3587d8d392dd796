// Drawing pieces that control skinners of more than one group share: pictures laid out for the
// horizontal orientation and shown turned by quarter turns (vertical sliders and progress bars,
// tabs at the bottom or a side, bars docked at a side), and the skinned border of controls
// that have an edge.
#pragma once

#include <windows.h>

#include <functional>

#include "SkinObject.h"

class CSkinFile;
class CSkinWindow;

namespace ctldraw {

// Draws what `paint` lays out into rc turned clockwise by quarterTurns (1: 90 degrees). `paint`
// draws into a surface of the size that, once turned, covers rc; it gets that surface's whole
// rectangle. The surface starts in `fill`, or with `keyed` in the key colour, whose pixels then
// leave hdc as it was.
void DrawTurned(HDC hdc, const RECT& rc, int quarterTurns, COLORREF fill, bool keyed, COLORREF key,
                const std::function<void(HDC, const RECT&)>& paint);

// The grid drawn into rc turned clockwise by quarterTurns: it is laid out at the size that, once
// turned, covers rc. With `keyed`, pixels of the key colour leave hdc as it was.
void DrawGridTurned(CSkinFile* file, HDC hdc, const RECT& rc, const SkinNineGrid& grid, COLORREF fill,
                    int quarterTurns, bool keyed, COLORREF key);

// WM_NCPAINT of a control whose object has a border grid: the border widths come from the
// extended style (client edge, dialog frame, static edge); the saved procedure paints what lies
// inside them, and the grid's eight border parts are drawn over the rest. False, with nothing
// done, when the grid is empty: the control paints its own border then. With `plainBorder` a
// WS_BORDER line counts as an edge too (dialog controls here get it where a three-dimensional
// look would have given them a client edge).
bool PaintSkinBorder(CSkinWindow& window, CSkinFile* file, WPARAM wParam, const SkinNineGrid& border,
                     COLORREF fill, bool plainBorder = false);

// The grid's eight border parts over the border widths PaintSkinBorder finds, and nothing else:
// for a border that something drew over after the control's WM_NCPAINT. False when there is no
// grid or no border.
bool DrawSkinBorder(CSkinWindow& window, CSkinFile* file, const SkinNineGrid& border, COLORREF fill,
                    bool plainBorder = false);

}  // namespace ctldraw
