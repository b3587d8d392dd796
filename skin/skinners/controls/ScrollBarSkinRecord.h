// The per-window record of the skinned scroll bars and the helpers its files share.
#pragma once

#include <windows.h>

#include <cstddef>

#include "ScrollBarSkin.h"

class CSkinScrollBarObject;

struct SkinSBRecord {
    DWORD flags = 0;
    WNDPROC savedProc = nullptr;
    SkinSBBar bars[2];  // SB_HORZ, SB_VERT
    BOOL leftScrollBar = FALSE;
    DWORD reserved = 0;
    int insetLeft = 0, insetRight = 0, insetTop = 0, insetBottom = 0;
    BOOL thumbTracking = FALSE;
    BOOL styleGuard = FALSE;  // the bars' own style changes are under way
    bool released = false;    // unhooked while another subclass sat above: only passes on
};

namespace skinsb {

SkinSBRecord* RecordOf(HWND hwnd);
// Records held, released ones included.
size_t RecordCount();
// Arrow length and thickness of a bar in pixels.
int ArrowLength(const SkinSBBar& bar);
int Thickness(const SkinSBBar& bar);
// The bar's rectangle in window coordinates; empty when it is not visible.
RECT BarRect(HWND hwnd, const SkinSBRecord& rec, int bar);
// The bar's parts along its axis.
SkinSBLayout LayoutOf(const SkinSBBar& bar, const RECT& rc);
// The part of the bar under a window-coordinate point.
int PartAt(const SkinSBBar& bar, const RECT& rc, POINT p);
int PartAt(const SkinSBBar& bar, const RECT& rc, const SkinSBLayout& l, POINT p);
// A part's rectangle (window coordinates); empty when the part has no extent. The second form
// takes the layout as drawn (a dragged thumb lies where the mouse holds it).
RECT PartRect(const SkinSBBar& bar, const RECT& rc, int part);
RECT PartRect(const SkinSBBar& bar, const RECT& rc, const SkinSBLayout& l, int part);
bool BothArrowsDisabled(const SkinSBBar& bar);

// Painting (ScrollBarSkinPaint.cpp): the bar into the window DC with the part drawn pressed
// and the part drawn hot (kSBNone for none).
void PaintBar(HWND hwnd, const SkinSBRecord& rec, int bar, HDC windowDc, int pressed, int hot);
void PaintCorner(HWND hwnd, const SkinSBRecord& rec, HDC windowDc);
// The current skin's ScrollBar object; null without one.
CSkinScrollBarObject* ScrollBarObject();

}  // namespace skinsb
