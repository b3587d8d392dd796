// DefWindowProc: what every window does unless its procedure says otherwise.
#include <algorithm>
#include <cstring>

#include "backend/backend.h"
#include "user/modal.h"
#include "user/queue.h"
#include "user/window.h"

namespace plat::user {
LRESULT NcHitTest(HWND hwnd, POINT screen);                 // nonclient.cpp
void PaintNonClient(HWND hwnd, HDC hdc);                     // nonclient.cpp
void FillSolid(HDC hdc, const RECT& r, COLORREF c);          // nonclient.cpp
void TrackWindowScrollBar(HWND hwnd, int bar, POINT screen);  // scroll.cpp
void TrackMenuBar(HWND hwnd, POINT screen, UINT key);        // menu.cpp
void TrackSystemMenu(HWND hwnd, POINT screen);               // menu.cpp
HWND CaptureWindow();                                         // focus.cpp

namespace {

// Runs a small modal loop until the left button goes up; `step` sees each mouse position
// (screen coordinates). Returns the final position.
template <class F>
POINT MouseLoop(HWND hwnd, LoopKind kind, F step) {
    ModalLoopScope loop(kind, hwnd);
    SetCapture(hwnd);
    POINT last = CursorPosInternal();
    MSG m;
    for (;;) {
        if (!GetMessageA(&m, nullptr, 0, 0)) {
            PostQuitMessage(int(m.wParam));
            break;
        }
        if (GetCapture() != hwnd) break;
        if (m.message == WM_MOUSEMOVE || m.message == WM_LBUTTONUP || m.message == WM_NCMOUSEMOVE ||
            m.message == WM_NCLBUTTONUP) {
            POINT p = m.pt;
            last = p;
            step(p);
            if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) break;
            continue;
        }
        if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) break;
        if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) continue;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    if (GetCapture() == hwnd) ReleaseCapture();
    return last;
}

void TrackCaptionButton(HWND hwnd, LRESULT hit, POINT start) {
    (void)start;
    POINT end = MouseLoop(hwnd, LoopKind::Track, [](POINT) {});
    if (!IsWindow(hwnd)) return;
    if (SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(end.x, end.y)) != hit) return;
    WPARAM cmd = 0;
    switch (hit) {
        case HTCLOSE: cmd = SC_CLOSE; break;
        case HTMAXBUTTON: cmd = IsZoomed(hwnd) ? SC_RESTORE : SC_MAXIMIZE; break;
        case HTMINBUTTON: cmd = IsIconic(hwnd) ? SC_RESTORE : SC_MINIMIZE; break;
        case HTHELP: cmd = SC_CONTEXTHELP; break;
    }
    if (cmd) SendMessageA(hwnd, WM_SYSCOMMAND, cmd, MAKELPARAM(end.x, end.y));
}

// Moving and sizing with the mouse: the window follows the pointer until the button goes up.
void MoveSizeLoop(HWND hwnd, LRESULT hit, POINT start) {
    RECT r0;
    GetWindowRect(hwnd, &r0);
    HWND parent = GetAncestor(hwnd, GA_PARENT);
    bool child = (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) != 0;
    if (child && parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r0), 2);
    MINMAXINFO mmi{};
    mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    SendMessageA(hwnd, WM_ENTERSIZEMOVE, 0, 0);
    MouseLoop(hwnd, LoopKind::MoveSize, [&](POINT p) {
        int dx = p.x - start.x, dy = p.y - start.y;
        RECT r = r0;
        if (hit == HTCAPTION) {
            OffsetRect(&r, dx, dy);
        } else {
            if (hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT) r.left += dx;
            if (hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT || hit == HTGROWBOX) r.right += dx;
            if (hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT) r.top += dy;
            if (hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT || hit == HTGROWBOX) r.bottom += dy;
            int w = std::clamp<int>(r.right - r.left, mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x);
            int h = std::clamp<int>(r.bottom - r.top, mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y);
            if (r.left != r0.left) r.left = r.right - w; else r.right = r.left + w;
            if (r.top != r0.top) r.top = r.bottom - h; else r.bottom = r.top + h;
            SendMessageA(hwnd, WM_SIZING, 0, reinterpret_cast<LPARAM>(&r));
        }
        if (hit == HTCAPTION) SendMessageA(hwnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
        SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateWindow(hwnd);
    });
    if (IsWindow(hwnd)) SendMessageA(hwnd, WM_EXITSIZEMOVE, 0, 0);
}

LRESULT CtlColor(UINT msg, HDC hdc) {
    bool window_bg = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
    if (msg == WM_CTLCOLORSCROLLBAR) {
        SetBkColor(hdc, GetSysColor(COLOR_3DHILIGHT));
        SetTextColor(hdc, GetSysColor(COLOR_3DFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_SCROLLBAR));
    }
    SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(hdc, GetSysColor(window_bg ? COLOR_WINDOW : COLOR_3DFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(window_bg ? COLOR_WINDOW : COLOR_3DFACE));
}

HBRUSH ClassBrush(HWND hwnd) {
    HBRUSH b = reinterpret_cast<HBRUSH>(GetClassLongPtrA(hwnd, GCLP_HBRBACKGROUND));
    uintptr_t v = reinterpret_cast<uintptr_t>(b);
    // COLOR_* + 1 stands for the system colour's brush.
    if (v > 0 && v <= 31) return GetSysColorBrush(int(v - 1));
    return b;
}

void PrintWindowInto(HWND hwnd, HDC hdc, LPARAM flags) {
    if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(hwnd)) return;
    RECT wr, cr;
    GetWindowRect(hwnd, &wr);
    GetClientRect(hwnd, &cr);
    POINT co{0, 0};
    ClientToScreen(hwnd, &co);
    int cx = co.x - wr.left, cy = co.y - wr.top;
    if (flags & PRF_NONCLIENT) PaintNonClient(hwnd, hdc);
    POINT old;
    OffsetViewportOrgEx(hdc, cx, cy, &old);
    int saved = SaveDC(hdc);
    IntersectClipRect(hdc, 0, 0, cr.right, cr.bottom);
    if (flags & PRF_ERASEBKGND) SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    if (flags & PRF_CLIENT) SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(hdc), flags);
    if (flags & PRF_CHILDREN) {
        // Children bottom-up, so the topmost lands last.
        std::vector<HWND> kids;
        for (HWND k = GetWindow(hwnd, GW_CHILD); k; k = GetWindow(k, GW_HWNDNEXT)) kids.push_back(k);
        for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
            if (!(GetWindowLongA(*it, GWL_STYLE) & WS_VISIBLE)) continue;  // its own style: the parent may be hidden
            RECT kr;
            GetWindowRect(*it, &kr);
            POINT kold;
            OffsetViewportOrgEx(hdc, kr.left - co.x, kr.top - co.y, &kold);
            int ks = SaveDC(hdc);
            IntersectClipRect(hdc, 0, 0, kr.right - kr.left, kr.bottom - kr.top);
            SendMessageA(*it, WM_PRINT, reinterpret_cast<WPARAM>(hdc), flags & ~LPARAM(PRF_CHECKVISIBLE));
            RestoreDC(hdc, ks);
            SetViewportOrgEx(hdc, kold.x, kold.y, nullptr);
        }
    }
    RestoreDC(hdc, saved);
    SetViewportOrgEx(hdc, old.x, old.y, nullptr);
}

UINT CursorForHit(LRESULT hit) {
    switch (hit) {
        case HTLEFT: case HTRIGHT: return 32644;  // IDC_SIZEWE
        case HTTOP: case HTBOTTOM: return 32645;  // IDC_SIZENS
        case HTTOPLEFT: case HTBOTTOMRIGHT: case HTGROWBOX: return 32642;  // IDC_SIZENWSE
        case HTTOPRIGHT: case HTBOTTOMLEFT: return 32643;  // IDC_SIZENESW
        default: return 32512;  // IDC_ARROW
    }
}

}  // namespace
}  // namespace plat::user

using namespace plat;
using namespace plat::user;

extern "C" LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (!IsWindow(hwnd)) return 0;
    switch (msg) {
        case WM_NCCREATE: {
            auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
            Guard g(GlobalLock());
            Window* w = W(hwnd);
            if (w && cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) w->text = cs->lpszName;
            if (w && (w->style & (WS_HSCROLL | WS_VSCROLL))) {
                for (auto& s : w->scroll) s = ScrollState{};
            }
            return TRUE;
        }
        case WM_NCCALCSIZE: {
            RECT* r = reinterpret_cast<RECT*>(lp);  // rgrc[0] comes first in both forms
            if (!r) return 0;
            NcLayout l;
            {
                Guard g(GlobalLock());
                Window* w = W(hwnd);
                bool menu = w->menu && !(w->style & WS_CHILD);
                l = ComputeNcLayout(w->style, w->exstyle, menu, r->right - r->left, r->bottom - r->top,
                                    menu ? MenuBarHeight(w->menu, r->right - r->left) : 0);
            }
            RECT c{r->left + l.client.left, r->top + l.client.top, r->left + l.client.right, r->top + l.client.bottom};
            *r = c;
            return 0;
        }
        case WM_NCHITTEST: return NcHitTest(hwnd, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        case WM_NCPAINT: {
            HDC dc = wp > 1 ? GetDCEx(hwnd, reinterpret_cast<HRGN>(wp), DCX_WINDOW | DCX_INTERSECTRGN)
                            : GetWindowDC(hwnd);
            if (dc) {
                // The client area is not the frame's to paint.
                RECT wr, cr;
                GetWindowRect(hwnd, &wr);
                GetClientRect(hwnd, &cr);
                POINT co{0, 0};
                ClientToScreen(hwnd, &co);
                ExcludeClipRect(dc, co.x - wr.left, co.y - wr.top, co.x - wr.left + cr.right, co.y - wr.top + cr.bottom);
                PaintNonClient(hwnd, dc);
                ReleaseDC(hwnd, dc);
            }
            return 0;
        }
        case WM_NCACTIVATE: {
            {
                Guard g(GlobalLock());
                Window* w = W(hwnd);
                if (w) w->nc_active = wp != 0;
                if (w) w->frame_pending = true;
            }
            return TRUE;
        }
        case WM_ACTIVATE:
            if (LOWORD(wp) != WA_INACTIVE && !HIWORD(wp)) {
                HWND f = GetFocus();
                if (!f || !(f == hwnd || IsChild(hwnd, f))) SetFocus(hwnd);
            }
            return 0;
        case WM_MOUSEACTIVATE: {
            if (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) {
                HWND p = GetParent(hwnd);
                if (p) {
                    LRESULT r = SendMessageA(p, WM_MOUSEACTIVATE, wp, lp);
                    if (r) return r;
                }
            }
            return MA_ACTIVATE;
        }
        case WM_SETCURSOR: {
            LRESULT hit = LOWORD(lp);
            if (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) {
                HWND p = GetParent(hwnd);
                if (p && SendMessageA(p, WM_SETCURSOR, wp, lp)) return TRUE;
            }
            if (hit == HTCLIENT) {
                HCURSOR c = reinterpret_cast<HCURSOR>(GetClassLongPtrA(hwnd, GCLP_HCURSOR));
                if (c) SetCursor(c);
                return c ? TRUE : FALSE;
            }
            if (short(hit) == HTERROR && (HIWORD(lp) == WM_LBUTTONDOWN || HIWORD(lp) == WM_RBUTTONDOWN))
                MessageBeep(0);
            SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(CursorForHit(hit))));
            return FALSE;
        }
        case WM_ERASEBKGND: {
            HBRUSH b = ClassBrush(hwnd);
            if (!b) return 0;
            RECT r;
            GetClientRect(hwnd, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, b);
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_PRINT: PrintWindowInto(hwnd, reinterpret_cast<HDC>(wp), lp); return 0;
        case WM_SETTEXT: {
            const char* text = reinterpret_cast<const char*>(lp);
            bool top;
            std::string title = text ? text : "";
            {
                Guard g(GlobalLock());
                Window* w = W(hwnd);
                w->text = title;
                if ((w->style & WS_CAPTION) == WS_CAPTION) w->frame_pending = true;
                top = !w->parent;
            }
            if (top) {
                if (Backend* b = BackendOrNull()) b->SetTitle(hwnd, title.c_str());
            }
            return TRUE;
        }
        case WM_GETTEXT: {
            char* out = reinterpret_cast<char*>(lp);
            if (!out || wp == 0) return 0;
            Guard g(GlobalLock());
            const std::string& t = W(hwnd)->text;
            size_t n = std::min<size_t>(t.size(), size_t(wp) - 1);
            memcpy(out, t.data(), n);
            out[n] = 0;
            return LRESULT(n);
        }
        case WM_GETTEXTLENGTH: {
            Guard g(GlobalLock());
            return LRESULT(W(hwnd)->text.size());
        }
        case WM_SETICON: {
            Guard g(GlobalLock());
            Window* w = W(hwnd);
            HICON& slot = wp == ICON_BIG ? w->icon_big : w->icon_small;
            HICON old = slot;
            slot = reinterpret_cast<HICON>(lp);
            if ((w->style & WS_CAPTION) == WS_CAPTION) w->frame_pending = true;
            return reinterpret_cast<LRESULT>(old);
        }
        case WM_GETICON: {
            Guard g(GlobalLock());
            Window* w = W(hwnd);
            if (wp == ICON_BIG) return reinterpret_cast<LRESULT>(w->icon_big);
            return reinterpret_cast<LRESULT>(w->icon_small ? w->icon_small : (wp == ICON_SMALL2 ? w->icon_big : nullptr));
        }
        case WM_CLOSE: DestroyWindow(hwnd); return 0;
        case WM_SYSCOMMAND:
            switch (wp & 0xFFF0) {
                case SC_CLOSE: SendMessageA(hwnd, WM_CLOSE, 0, 0); return 0;
                case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); return 0;
                case SC_MAXIMIZE: ShowWindow(hwnd, SW_MAXIMIZE); return 0;
                case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); return 0;
                case SC_MOUSEMENU:
                    // The low bits say what was pressed: the system-menu box, or the menu bar.
                    if ((wp & 0xF) == HTSYSMENU)
                        TrackSystemMenu(hwnd, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
                    else
                        TrackMenuBar(hwnd, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, 0);
                    return 0;
                case SC_KEYMENU:
                    // Alt+Space: the system menu drops from the window's top-left corner, below
                    // its caption.
                    if (lp == ' ') {
                        RECT wr{};
                        GetWindowRect(hwnd, &wr);
                        POINT below{0, 0};
                        ClientToScreen(hwnd, &below);
                        TrackSystemMenu(hwnd, POINT{wr.left, below.y});
                        return 0;
                    }
                    TrackMenuBar(hwnd, POINT{0, 0}, UINT(lp) ? UINT(lp) : VK_MENU);
                    return 0;
                default: return 0;
            }
        case WM_NCLBUTTONDOWN: {
            POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            switch (wp) {
                case HTCAPTION:
                    if (!IsZoomed(hwnd)) MoveSizeLoop(hwnd, HTCAPTION, p);
                    return 0;
                case HTLEFT: case HTRIGHT: case HTTOP: case HTBOTTOM: case HTTOPLEFT: case HTTOPRIGHT:
                case HTBOTTOMLEFT: case HTBOTTOMRIGHT: case HTGROWBOX:
                    if (GetWindowLongA(hwnd, GWL_STYLE) & WS_THICKFRAME) MoveSizeLoop(hwnd, LRESULT(wp), p);
                    return 0;
                case HTCLOSE: case HTMAXBUTTON: case HTMINBUTTON: case HTHELP:
                    TrackCaptionButton(hwnd, LRESULT(wp), p);
                    return 0;
                case HTVSCROLL: TrackWindowScrollBar(hwnd, SB_VERT, p); return 0;
                case HTHSCROLL: TrackWindowScrollBar(hwnd, SB_HORZ, p); return 0;
                case HTMENU: case HTSYSMENU:
                    SendMessageA(hwnd, WM_SYSCOMMAND, SC_MOUSEMENU + (wp == HTSYSMENU ? HTSYSMENU : 0), lp);
                    return 0;
                default: return 0;
            }
        }
        case WM_NCLBUTTONDBLCLK:
            if (wp == HTCAPTION && (GetWindowLongA(hwnd, GWL_STYLE) & WS_MAXIMIZEBOX))
                SendMessageA(hwnd, WM_SYSCOMMAND, IsZoomed(hwnd) ? SC_RESTORE : SC_MAXIMIZE, lp);
            else if (wp == HTSYSMENU)
                SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, lp);
            else if (wp == HTVSCROLL || wp == HTHSCROLL)
                return DefWindowProcA(hwnd, WM_NCLBUTTONDOWN, wp, lp);
            return 0;
        case WM_RBUTTONUP: {
            POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            ClientToScreen(hwnd, &p);
            SendMessageA(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(p.x, p.y));
            return 0;
        }
        case WM_NCRBUTTONUP:
            if (wp == HTCAPTION || wp == HTSYSMENU)
                SendMessageA(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), lp);
            return 0;
        case WM_CONTEXTMENU:
        case WM_MOUSEWHEEL: {
            const DWORD style = DWORD(GetWindowLongA(hwnd, GWL_STYLE));
            if (style & WS_CHILD) {
                HWND p = GetParent(hwnd);
                if (p) return SendMessageA(p, msg, wp, lp);
                return 0;
            }
            // A right click on a caption nobody answered opens the window's system menu (as
            // a command, so that whoever draws the caption can show the menu in its own look).
            if (msg == WM_CONTEXTMENU && lp != -1 && (style & WS_SYSMENU)) {
                const LRESULT hit = SendMessageA(hwnd, WM_NCHITTEST, 0, lp);
                if (hit == HTCAPTION || hit == HTSYSMENU) SendMessageA(hwnd, WM_SYSCOMMAND, SC_MOUSEMENU + HTSYSMENU, lp);
            }
            return 0;
        }
        case WM_WINDOWPOSCHANGED: {
            auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
            RECT cr;
            DWORD style;
            {
                Guard g(GlobalLock());
                Window* w = W(hwnd);
                cr = w->cr;
                style = w->style;
            }
            if (pos && !(pos->flags & SWP_NOMOVE)) SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(cr.left, cr.top));
            if (pos && (!(pos->flags & SWP_NOSIZE) || (pos->flags & SWP_FRAMECHANGED))) {
                WPARAM kind = (style & WS_MINIMIZE) ? SIZE_MINIMIZED : (style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
                SendMessageA(hwnd, WM_SIZE, kind, MAKELPARAM(cr.right - cr.left, cr.bottom - cr.top));
            }
            return 0;
        }
        case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
            return CtlColor(msg, reinterpret_cast<HDC>(wp));
        case WM_SYSKEYDOWN:
            if (wp == VK_F4 && (HIWORD(lp) & 0x2000)) {
                HWND root = GetAncestor(hwnd, GA_ROOT);
                SendMessageA(root, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return 0;
        case WM_SYSKEYUP:
            // Alt pressed and released alone, or F10: keyboard access to the menu bar.
            if (wp == VK_MENU || wp == VK_F10) {
                HWND root = GetAncestor(hwnd, GA_ROOT);
                if (GetMenu(root)) SendMessageA(root, WM_SYSCOMMAND, SC_KEYMENU, 0);
            }
            return 0;
        case WM_SYSCHAR: {
            HWND root = GetAncestor(hwnd, GA_ROOT);
            if (wp == VK_SPACE) {
                if (GetWindowLongA(root, GWL_STYLE) & WS_SYSMENU) SendMessageA(root, WM_SYSCOMMAND, SC_KEYMENU, ' ');
            } else if (GetMenu(root)) {
                SendMessageA(root, WM_SYSCOMMAND, SC_KEYMENU, LPARAM(wp));
            }
            return 0;
        }
        case WM_CANCELMODE:
            if (CaptureWindow() == hwnd) ReleaseCapture();
            EndMenu();
            return 0;
        case WM_SETREDRAW: {
            Guard g(GlobalLock());
            Window* w = W(hwnd);
            if (wp)
                w->style |= WS_VISIBLE;
            else
                w->style &= ~DWORD(WS_VISIBLE);
            return 0;
        }
        case WM_QUERYENDSESSION:
        case WM_QUERYOPEN: return TRUE;
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM: return -1;
        case WM_HELP:
            if (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) return SendMessageA(GetParent(hwnd), msg, wp, lp);
            return 0;
        case WM_SHOWWINDOW:
        case WM_GETMINMAXINFO:
        case WM_WINDOWPOSCHANGING:
        default: return 0;
    }
}
