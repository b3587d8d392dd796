#include "SkinMonitors.h"

#include <algorithm>

namespace {

BOOL MonitorRect(HMONITOR monitor, RECT* out, BOOL workArea)
{
    if (!out)
        return FALSE;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!monitor || !GetMonitorInfoA(monitor, &info))
        return FALSE;
    *out = workArea ? info.rcWork : info.rcMonitor;
    return TRUE;
}

}  // namespace

BOOL GetMonitorRectOfWindow(HWND hwnd, RECT* out, BOOL workArea)
{
    return MonitorRect(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), out, workArea);
}

BOOL GetMonitorRectOfPoint(int x, int y, RECT* out, BOOL workArea)
{
    return MonitorRect(MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONEAREST), out, workArea);
}

BOOL GetMonitorRectOfRect(const RECT* rc, RECT* out, BOOL workArea)
{
    if (!rc)
        return FALSE;
    return MonitorRect(MonitorFromRect(rc, MONITOR_DEFAULTTONEAREST), out, workArea);
}

void FitRectIntoRect(const RECT* bounds, RECT* r)
{
    if (!bounds || !r)
        return;
    const LONG width = r->right - r->left, height = r->bottom - r->top;
    const LONG left = std::max(bounds->left, std::min(r->left, bounds->right - width));
    const LONG top = std::max(bounds->top, std::min(r->top, bounds->bottom - height));
    *r = RECT{left, top, left + width, top + height};
}
