// System colours, metrics, parameters and monitors: the classic palette and a fixed metric table.
#include <cstring>
#include <mutex>

#include "backend/backend.h"
#include "core/handles.h"
#include "gdi/objects.h"
#include "user/hotpatch.h"
#include "user/queue.h"
#include "user/window.h"

using namespace plat;
using namespace plat::user;

namespace {

constexpr int kColors = 31;

// The classic ("Windows Standard") palette.
COLORREF g_colors[kColors] = {
    RGB(212, 208, 200),  // COLOR_SCROLLBAR
    RGB(58, 110, 165),   // COLOR_BACKGROUND
    RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(181, 181, 181),  // 25 (unused)
    RGB(0, 0, 128),      // COLOR_HOTLIGHT
    RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(10, 36, 106),    // COLOR_MENUHILIGHT
    RGB(212, 208, 200),  // COLOR_MENUBAR
};

HBRUSH g_brushes[kColors];
std::mutex g_colors_mu;

void MarkStock(HBRUSH b, COLORREF c) {
    if (auto obj = gdi::Brushes().Get(b)) {
        obj->stock = true;
        obj->color = c;
    }
}

// `screen` is the primary display, `work` its work area, `all` every display's bounds.
int MetricValue(int index, const RECT& screen, const RECT& work, const RECT& all, int monitors) {
    switch (index) {
        case SM_CXSCREEN: return screen.right - screen.left;
        case SM_CYSCREEN: return screen.bottom - screen.top;
        case SM_CXVSCROLL: return 16;
        case SM_CYHSCROLL: return 16;
        case SM_CYCAPTION: return 18;
        case SM_CXBORDER: return 1;
        case SM_CYBORDER: return 1;
        case SM_CXDLGFRAME: return 3;
        case SM_CYDLGFRAME: return 3;
        case SM_CYVTHUMB: return 16;
        case SM_CXHTHUMB: return 16;
        case SM_CXICON: return 32;
        case SM_CYICON: return 32;
        case SM_CXCURSOR: return 32;
        case SM_CYCURSOR: return 32;
        case SM_CYMENU: return 19;
        case SM_CXFULLSCREEN: return work.right - work.left;
        case SM_CYFULLSCREEN: return work.bottom - work.top - 18;
        case SM_MOUSEPRESENT: return 1;
        case SM_CYVSCROLL: return 16;
        case SM_CXHSCROLL: return 16;
        case SM_CXMIN: return 112;
        case SM_CYMIN: return 27;
        case SM_CXSIZE: return 18;
        case SM_CYSIZE: return 18;
        case SM_CXFRAME: return 4;
        case SM_CYFRAME: return 4;
        case SM_CXMINTRACK: return 112;
        case SM_CYMINTRACK: return 27;
        case SM_CXDOUBLECLK: return 4;
        case SM_CYDOUBLECLK: return 4;
        case SM_CXICONSPACING: return 75;
        case SM_CYICONSPACING: return 75;
        case SM_CXEDGE: return 2;
        case SM_CYEDGE: return 2;
        case SM_CXMINSPACING: return 160;
        case SM_CYMINSPACING: return 24;
        case SM_CXSMICON: return 16;
        case SM_CYSMICON: return 16;
        case SM_CYSMCAPTION: return 15;
        case SM_CXSMSIZE: return 12;
        case SM_CYSMSIZE: return 15;
        case SM_CXMENUSIZE: return 18;
        case SM_CYMENUSIZE: return 18;
        case SM_CXMINIMIZED: return 160;
        case SM_CYMINIMIZED: return 24;
        case SM_CXMAXTRACK: return all.right - all.left + 12;
        case SM_CYMAXTRACK: return all.bottom - all.top + 12;
        case SM_CXMAXIMIZED: return work.right - work.left + 8;
        case SM_CYMAXIMIZED: return work.bottom - work.top + 8;
        case SM_CXDRAG: return 4;
        case SM_CYDRAG: return 4;
        case SM_CXMENUCHECK: return 13;
        case SM_CYMENUCHECK: return 13;
        case SM_MOUSEWHEELPRESENT: return 1;
        case SM_XVIRTUALSCREEN: return all.left;
        case SM_YVIRTUALSCREEN: return all.top;
        case SM_CXVIRTUALSCREEN: return all.right - all.left;
        case SM_CYVIRTUALSCREEN: return all.bottom - all.top;
        case SM_CMONITORS: return monitors;
        case SM_SAMEDISPLAYFORMAT: return 1;
        default: return 0;
    }
}

RECT WorkAreaNow() {
    Backend* b = BackendOrNull();
    return b ? b->WorkArea() : RECT{0, 0, 1024, 768};
}

void FillLogFont(LOGFONTA* lf, int height, bool bold) {
    memset(lf, 0, sizeof(*lf));
    lf->lfHeight = -height;
    lf->lfWeight = bold ? 700 : 400;
    lf->lfCharSet = 1;  // DEFAULT_CHARSET
    strcpy(lf->lfFaceName, "Tahoma");
}

}  // namespace

extern "C" {

PLAT_HOTPATCH DWORD WINAPI GetSysColor(int index) {
    if (index < 0 || index >= kColors) return 0;
    std::lock_guard<std::mutex> g(g_colors_mu);
    return g_colors[index];
}

PLAT_HOTPATCH HBRUSH WINAPI GetSysColorBrush(int index) {
    if (index < 0 || index >= kColors) return nullptr;
    // Making a brush takes the global lock; take it first so the order is always global lock,
    // then colour lock (GetSysColor is called with the global lock held).
    Guard global(GlobalLock());
    std::lock_guard<std::mutex> g(g_colors_mu);
    if (!g_brushes[index]) {
        g_brushes[index] = CreateSolidBrush(g_colors[index]);
        MarkStock(g_brushes[index], g_colors[index]);
    }
    return g_brushes[index];
}

BOOL WINAPI SetSysColors(int count, const INT* indices, const COLORREF* colors) {
    if (count < 0 || (count > 0 && (!indices || !colors))) return FALSE;
    {
        Guard global(GlobalLock());  // MarkStock takes it: same order as GetSysColorBrush
        std::lock_guard<std::mutex> g(g_colors_mu);
        for (int i = 0; i < count; ++i) {
            int k = indices[i];
            if (k < 0 || k >= kColors) continue;
            g_colors[k] = colors[i] & 0xFFFFFF;
            if (g_brushes[k]) MarkStock(g_brushes[k], g_colors[k]);
        }
    }
    // Every top level hears of it and repaints.
    std::vector<HWND> tops;
    {
        Guard g(GlobalLock());
        tops = TopLevels();
    }
    for (HWND t : tops) {
        SendMessageA(t, WM_SYSCOLORCHANGE, 0, 0);
        RedrawWindow(t, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    return TRUE;
}

PLAT_HOTPATCH int WINAPI GetSystemMetrics(int index) {
    Backend* b = BackendOrNull();
    if (!b) return MetricValue(index, RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 768}, 1);
    std::vector<MonitorArea> mons = b->Monitors();
    return MetricValue(index, mons.front().monitor, mons.front().work, b->VirtualScreen(), int(mons.size()));
}

BOOL WINAPI SystemParametersInfoA(UINT action, UINT param, PVOID pv, UINT) {
    switch (action) {
        case SPI_GETWORKAREA:
            if (!pv) return FALSE;
            *static_cast<RECT*>(pv) = WorkAreaNow();
            return TRUE;
        case SPI_GETNONCLIENTMETRICS: {
            auto* m = static_cast<NONCLIENTMETRICSA*>(pv);
            if (!m || (m->cbSize != sizeof(NONCLIENTMETRICSA) && param != sizeof(NONCLIENTMETRICSA) &&
                       m->cbSize != 0)) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return FALSE;
            }
            memset(m, 0, sizeof(*m));
            m->cbSize = sizeof(*m);
            m->iBorderWidth = 1;
            m->iScrollWidth = 16;
            m->iScrollHeight = 16;
            m->iCaptionWidth = 18;
            m->iCaptionHeight = 18;
            FillLogFont(&m->lfCaptionFont, 11, true);
            m->iSmCaptionWidth = 12;
            m->iSmCaptionHeight = 15;
            FillLogFont(&m->lfSmCaptionFont, 11, true);
            m->iMenuWidth = 18;
            m->iMenuHeight = 18;
            FillLogFont(&m->lfMenuFont, 11, false);
            FillLogFont(&m->lfStatusFont, 11, false);
            FillLogFont(&m->lfMessageFont, 11, false);
            return TRUE;
        }
        case SPI_GETWHEELSCROLLLINES:
            if (!pv) return FALSE;
            *static_cast<UINT*>(pv) = 3;
            return TRUE;
        case SPI_GETMOUSEHOVERTIME:
        case SPI_GETMENUSHOWDELAY:
            if (!pv) return FALSE;
            *static_cast<UINT*>(pv) = 400;
            return TRUE;
        case SPI_GETMOUSEHOVERWIDTH:
        case SPI_GETMOUSEHOVERHEIGHT:
            if (!pv) return FALSE;
            *static_cast<UINT*>(pv) = 4;
            return TRUE;
        case SPI_GETKEYBOARDDELAY:
            if (!pv) return FALSE;
            *static_cast<int*>(pv) = 1;
            return TRUE;
        case SPI_GETKEYBOARDSPEED:
            if (!pv) return FALSE;
            *static_cast<DWORD*>(pv) = 31;
            return TRUE;
        case SPI_GETBORDER:
            if (!pv) return FALSE;
            *static_cast<int*>(pv) = 1;
            return TRUE;
        case SPI_GETDRAGFULLWINDOWS:
        case SPI_GETKEYBOARDCUES:
        case SPI_GETMENUDROPALIGNMENT:
        case SPI_GETFLATMENU:
        case SPI_GETDROPSHADOW:
        case SPI_GETMENUANIMATION:
        case SPI_GETCOMBOBOXANIMATION:
        case SPI_GETLISTBOXSMOOTHSCROLLING:
        case SPI_GETMENUFADE:
        case SPI_GETSELECTIONFADE:
        case SPI_GETTOOLTIPANIMATION:
        case SPI_GETTOOLTIPFADE:
        case SPI_GETCURSORSHADOW:
        case SPI_GETHIGHCONTRAST:
        case SPI_GETSCREENREADER:
        case SPI_GETHOTTRACKING:
            // The classic look: no animations, no flat menus, cues always shown.
            if (!pv) return FALSE;
            *static_cast<BOOL*>(pv) = action == SPI_GETKEYBOARDCUES || action == SPI_GETHOTTRACKING;
            return TRUE;
        case SPI_GETGRADIENTCAPTIONS:
        case SPI_GETUIEFFECTS:
        case SPI_GETFONTSMOOTHING:
            if (!pv) return FALSE;
            *static_cast<BOOL*>(pv) = action == SPI_GETFONTSMOOTHING;
            return TRUE;
        default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
    }
}

UINT WINAPI GetDoubleClickTime(void) { return 500; }

BOOL WINAPI MessageBeep(UINT) {
    if (Backend* b = BackendOrNull()) b->PlaySoundFile(nullptr);
    return TRUE;
}

}  // extern "C"
