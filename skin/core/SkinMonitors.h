// Where windows may go: the rectangle of the monitor nearest a window, a point or a rectangle
// (or that monitor's work area), and a rectangle moved inside another. Frames, dialogs, popup
// menus and the tooltip place themselves with these.
#pragma once

#include <windows.h>

// Each stores the nearest monitor's work area (workArea non-zero) or whole rectangle in `out`
// and answers TRUE; FALSE, leaving `out` alone, when an argument is null or the monitor cannot
// be asked.
BOOL GetMonitorRectOfWindow(HWND hwnd, RECT* out, BOOL workArea);
BOOL GetMonitorRectOfPoint(int x, int y, RECT* out, BOOL workArea);
BOOL GetMonitorRectOfRect(const RECT* rc, RECT* out, BOOL workArea);

// Moves r, keeping its size, so that it lies inside bounds; one wider or taller than bounds
// keeps its left or top edge on the bounds' edge.
void FitRectIntoRect(const RECT* bounds, RECT* r);
