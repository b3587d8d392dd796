// Monitors: the backend's displays as monitor handles, nearest-monitor look-ups and the
// monitor of a window. A display keeps its handle while it stays where it is; one that goes
// takes its handle with it.
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "backend/backend.h"
#include "core/handles.h"
#include "user/queue.h"
#include "user/window.h"

using namespace plat;
using namespace plat::user;

namespace plat::user {
bool DcScreenOffset(HDC hdc, POINT* offset);  // paint.cpp
}

namespace {

struct Monitor {
    MonitorArea area;
    int number = 0;  // 1 for the primary, as the display names count
};

HandleTable<Monitor>& Table() {
    static auto* t = new HandleTable<Monitor>(HandleKind::Monitor);
    return *t;
}

struct Known {
    HMONITOR handle;
    std::shared_ptr<Monitor> monitor;
};

std::vector<Known>& KnownMonitors() {
    static auto* v = new std::vector<Known>;
    return *v;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The displays now, primary first, each with its handle.
std::vector<Known> Current() {
    Backend* b = BackendOrNull();
    std::vector<MonitorArea> now = b ? b->Monitors() : std::vector<MonitorArea>{};
    if (now.empty()) now.push_back(MonitorArea{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 768}});
    Guard g(GlobalLock());
    std::vector<Known>& known = KnownMonitors();
    std::vector<Known> next;
    for (size_t i = 0; i < now.size(); ++i) {
        Known k{nullptr, nullptr};
        for (const Known& old : known)
            if (SameRect(old.monitor->area.monitor, now[i].monitor)) k = old;
        if (!k.monitor) {
            k.monitor = std::make_shared<Monitor>();
            k.handle = Table().Add<HMONITOR>(k.monitor);
        }
        k.monitor->area = now[i];
        k.monitor->number = int(i) + 1;
        next.push_back(k);
    }
    for (const Known& old : known) {
        bool kept = false;
        for (const Known& k : next) kept = kept || k.handle == old.handle;
        if (!kept) Table().Remove(old.handle);
    }
    known = next;
    return next;
}

long long Area(const RECT& r) {
    return r.right > r.left && r.bottom > r.top ? (long long)(r.right - r.left) * (r.bottom - r.top) : 0;
}

// Squared distance between two rectangles (0 when they touch or overlap).
long long Distance2(const RECT& a, const RECT& b) {
    long long dx = 0, dy = 0;
    if (a.right <= b.left) dx = b.left - a.right + 1;
    else if (b.right <= a.left) dx = a.left - b.right + 1;
    if (a.bottom <= b.top) dy = b.top - a.bottom + 1;
    else if (b.bottom <= a.top) dy = a.top - b.bottom + 1;
    return dx * dx + dy * dy;
}

// The monitor sharing most of `r` with it; when none does, what `flags` ask for.
HMONITOR ForRect(const RECT& r, DWORD flags) {
    std::vector<Known> mons = Current();
    HMONITOR best = nullptr;
    long long best_area = 0;
    for (const Known& k : mons) {
        RECT i;
        long long a = IntersectRect(&i, &r, &k.monitor->area.monitor) ? Area(i) : 0;
        if (a > best_area) {
            best_area = a;
            best = k.handle;
        }
    }
    if (best) return best;
    if (flags == MONITOR_DEFAULTTOPRIMARY) return mons.front().handle;
    if (flags != MONITOR_DEFAULTTONEAREST) return nullptr;
    long long best_d = -1;
    for (const Known& k : mons) {
        long long d = Distance2(r, k.monitor->area.monitor);
        if (best_d < 0 || d < best_d) {
            best_d = d;
            best = k.handle;
        }
    }
    return best;
}

// The monitor's record as it is now (null for a handle that names no display).
std::shared_ptr<Monitor> Find(HMONITOR h) {
    Current();
    return Table().Get(h);
}

}  // namespace

namespace plat::user {

// The work area of the display most of `r` is on (the nearest display when it is on none).
RECT WorkAreaFor(const RECT& r) {
    auto m = Find(ForRect(r, MONITOR_DEFAULTTONEAREST));
    return m ? m->area.work : RECT{0, 0, 1024, 768};
}

int MonitorCount() { return int(Current().size()); }

}  // namespace plat::user

extern "C" {

HMONITOR WINAPI MonitorFromPoint(POINT pt, DWORD flags) {
    // A point is the one-pixel rectangle at it.
    RECT r{pt.x, pt.y, pt.x + 1, pt.y + 1};
    return ForRect(r, flags);
}

HMONITOR WINAPI MonitorFromRect(LPCRECT rect, DWORD flags) {
    if (!rect) return nullptr;
    RECT r = *rect;
    // An empty rectangle stands for its corner.
    if (r.right <= r.left || r.bottom <= r.top) r = RECT{r.left, r.top, r.left + 1, r.top + 1};
    return ForRect(r, flags);
}

HMONITOR WINAPI MonitorFromWindow(HWND hwnd, DWORD flags) {
    RECT r;
    {
        Guard g(GlobalLock());
        Window* w = W(hwnd);
        if (!w) return flags == MONITOR_DEFAULTTONULL ? nullptr : ForRect(RECT{0, 0, 1, 1}, MONITOR_DEFAULTTOPRIMARY);
        // A minimised window belongs where it will come back.
        Window* root = RootOf(w);
        r = root && (root->style & WS_MINIMIZE) ? root->normal : ScreenWindowRect(w);
    }
    return MonitorFromRect(&r, flags);
}

BOOL WINAPI GetMonitorInfoA(HMONITOR monitor, LPMONITORINFO info) {
    if (!info || (info->cbSize != sizeof(MONITORINFO) && info->cbSize != sizeof(MONITORINFOEXA))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::shared_ptr<Monitor> m = Find(monitor);
    if (!m) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    info->rcMonitor = m->area.monitor;
    info->rcWork = m->area.work;
    info->dwFlags = m->number == 1 ? MONITORINFOF_PRIMARY : 0;
    if (info->cbSize == sizeof(MONITORINFOEXA))
        std::snprintf(reinterpret_cast<MONITORINFOEXA*>(info)->szDevice, CCHDEVICENAME, "\\\\.\\DISPLAY%d",
                      m->number);
    return TRUE;
}

BOOL WINAPI EnumDisplayMonitors(HDC hdc, LPCRECT clip, MONITORENUMPROC proc, LPARAM data) {
    if (!proc) return FALSE;
    // With a DC, rectangles are in its coordinates and limited to what it can draw on.
    POINT off{0, 0};
    RECT limit{-(1 << 30), -(1 << 30), 1 << 30, 1 << 30};
    if (hdc) {
        if (GetClipBox(hdc, &limit) == ERROR) return FALSE;
        if (!DcScreenOffset(hdc, &off)) off = POINT{0, 0};
    }
    if (clip && !IntersectRect(&limit, &limit, clip)) return TRUE;
    for (const Known& k : Current()) {
        RECT m = k.monitor->area.monitor;
        OffsetRect(&m, -off.x, -off.y);
        RECT r;
        if (!IntersectRect(&r, &m, &limit)) continue;
        if (!proc(k.handle, hdc, &r, data)) return FALSE;
    }
    return TRUE;
}

}  // extern "C"
