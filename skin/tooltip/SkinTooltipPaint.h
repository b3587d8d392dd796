// How a tip looks, drawn alike for the engine's own tooltip window and for the platform's
// tooltip controls that the engine skins: the window size that holds a text, the client area
// inside the Tooltip object's frame, the frame, and the body with its markup.
#pragma once

#include <windows.h>

class CSkinWindow;
class CSkinMarkupRenderer;
class CSkinTooltipObject;

// The window size for `markup` set by the renderer (measured on the window's DC, or on a
// screen-compatible one without a window) inside the object's frame.
SIZE MeasureTooltipWindow(HWND hwnd, CSkinMarkupRenderer& renderer, const CSkinTooltipObject& object,
                          const char* markup);

// WM_NCCALCSIZE: the window rectangle of the message becomes the client area inside the
// object's frame; the skin's extra margins widen the top.
LRESULT CalcTooltipClientRect(CSkinWindow& skin, const CSkinTooltipObject& object, WPARAM wParam, LPARAM lParam);

// WM_NCPAINT: the skin's frame of the tip. A window of a new size (against `lastRegionRect`)
// first gets its region, and setting that brings the paint that draws the frame.
void PaintTooltipFrame(CSkinWindow& skin, RECT* lastRegionRect);

// WM_PAINT: the object's background picture (or colour) and the markup over it.
void PaintTooltipBody(HWND hwnd, const CSkinTooltipObject& object, CSkinMarkupRenderer& renderer,
                      const char* markup);
