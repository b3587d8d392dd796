// The dialog manager: dialogs from templates, the dialog class procedure, keyboard
// navigation, modal loops.
#include "controls/dialog.h"

#include <cctype>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace plat::controls {
namespace {

struct DialogInfo {
    WORD defid = IDOK;
    HWND focus = nullptr;  // the control that last had the focus
    bool ended = false;
    bool modal = false;
    bool disabled_owner = false;  // the modal loop disabled the owner and gives it back
    INT_PTR result = 0;
    HFONT font = nullptr;
    bool owns_font = false;
    SIZE units{6, 13};
};

std::mutex& InfoLock() {
    static std::mutex m;
    return m;
}
std::unordered_map<HWND, DialogInfo>& Infos() {
    static auto* m = new std::unordered_map<HWND, DialogInfo>;
    return *m;
}

// Set up by the creator for the window it is about to make: the dialog procedure must be in
// place before the window's first message.
struct Pending {
    DLGPROC proc = nullptr;
    HFONT font = nullptr;
    bool owns_font = false;
    SIZE units{6, 13};
    bool active = false;
};
thread_local Pending t_pending;

bool HasInfo(HWND h) {
    std::lock_guard<std::mutex> g(InfoLock());
    return Infos().count(h) != 0;
}

template <class F>
auto WithInfo(HWND h, F f) -> decltype(f(std::declval<DialogInfo&>())) {
    std::lock_guard<std::mutex> g(InfoLock());
    auto it = Infos().find(h);
    using R = decltype(f(std::declval<DialogInfo&>()));
    if (it == Infos().end()) return R();
    return f(it->second);
}

void Register(HWND h) {
    if (!t_pending.active) return;
    {
        std::lock_guard<std::mutex> g(InfoLock());
        if (Infos().count(h)) return;
        DialogInfo i;
        i.font = t_pending.font;
        i.owns_font = t_pending.owns_font;
        i.units = t_pending.units;
        Infos()[h] = i;
    }
    SetWindowLongPtrA(h, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(t_pending.proc));
    t_pending.active = false;
}

// The dialog's direct child that holds `h` (h itself, or an ancestor of it such as the
// combo box of a combo's edit).
HWND DirectChild(HWND dlg, HWND h) {
    while (h && GetParent(h) != dlg) {
        if (!(GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) return nullptr;
        h = GetParent(h);
    }
    return h;
}

bool Usable(HWND c) { return IsWindowVisible(c) && IsWindowEnabled(c); }

std::vector<HWND> Children(HWND dlg) {
    std::vector<HWND> v;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) v.push_back(c);
    return v;
}

UINT DlgCode(HWND h, MSG* m = nullptr) {
    return UINT(SendMessageA(h, WM_GETDLGCODE, m ? m->wParam : 0, reinterpret_cast<LPARAM>(m)));
}

void SetButtonType(HWND b, DWORD type) {
    SendMessageA(b, BM_SETSTYLE, (DWORD(GetWindowLongA(b, GWL_STYLE)) & 0xFFFF & ~BS_TYPEMASK) | type, TRUE);
}

// The default look goes to the focused push button, else to the default id's button.
void UpdateDefaultLook(HWND dlg, HWND focus) {
    WORD defid = WithInfo(dlg, [](DialogInfo& i) { return i.defid; });
    HWND target = nullptr;
    if (focus && (DlgCode(focus) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
        target = focus;
    else if (defid)
        target = GetDlgItem(dlg, defid);
    for (HWND c : Children(dlg)) {
        UINT code = DlgCode(c);
        if (c == target) {
            if (code & DLGC_UNDEFPUSHBUTTON) SetButtonType(c, BS_DEFPUSHBUTTON);
        } else if (code & DLGC_DEFPUSHBUTTON) {
            SetButtonType(c, BS_PUSHBUTTON);
        }
    }
}

HWND FirstTabItem(HWND dlg) { return GetNextDlgTabItem(dlg, nullptr, FALSE); }

void RestoreFocus(HWND dlg) {
    HWND f = WithInfo(dlg, [](DialogInfo& i) { return i.focus; });
    if (!f || !IsWindow(f) || !IsChild(dlg, f) || !Usable(f)) f = FirstTabItem(dlg);
    if (f) DialogSetFocus(dlg, f);
}

bool ResultReturningMessage(UINT msg) {
    switch (msg) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_INITDIALOG: return true;
        default: return false;
    }
}

LRESULT OnDialogErase(HWND h, WPARAM wp) {
    HDC dc = reinterpret_cast<HDC>(wp);
    HBRUSH b = reinterpret_cast<HBRUSH>(SendMessageA(h, WM_CTLCOLORDLG, wp, reinterpret_cast<LPARAM>(h)));
    if (!b) b = GetSysColorBrush(COLOR_BTNFACE);
    RECT rc;
    GetClientRect(h, &rc);
    FillRect(dc, &rc, b);
    return 1;
}

// The control with the focus, kept for when the dialog has it back.
void RememberFocus(HWND h) {
    HWND f = GetFocus();
    if (f && IsChild(h, f))
        WithInfo(h, [&](DialogInfo& i) {
            i.focus = f;
            return 0;
        });
}

// Activation gives the focus back to the control that last had it; deactivation remembers it.
LRESULT OnDialogActivate(HWND h, WPARAM wp) {
    if (LOWORD(wp) != WA_INACTIVE) {
        RestoreFocus(h);
        return 0;
    }
    RememberFocus(h);
    return 0;
}

// Closing is Cancel, unless the Cancel button is disabled.
LRESULT OnDialogClose(HWND h) {
    HWND cancel = GetDlgItem(h, IDCANCEL);
    if (cancel && !IsWindowEnabled(cancel)) {
        MessageBeep(0);
        return 0;
    }
    PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
    return 0;
}

LRESULT OnDialogNcDestroy(HWND h, WPARAM wp, LPARAM lp) {
    HFONT font = nullptr;
    {
        std::lock_guard<std::mutex> g(InfoLock());
        auto it = Infos().find(h);
        if (it != Infos().end()) {
            if (it->second.owns_font) font = it->second.font;
            Infos().erase(it);
        }
    }
    if (font) DeleteObject(font);
    return DefWindowProcA(h, WM_NCDESTROY, wp, lp);
}

HWND FocusedChild(HWND h) {
    HWND f = GetFocus();
    return f && IsChild(h, f) ? DirectChild(h, f) : nullptr;
}

LRESULT OnSetDefId(HWND h, WPARAM wp) {
    WithInfo(h, [&](DialogInfo& i) {
        i.defid = WORD(wp);
        return 0;
    });
    UpdateDefaultLook(h, FocusedChild(h));
    return TRUE;
}

LRESULT OnNextDlgCtl(HWND h, WPARAM wp, LPARAM lp) {
    HWND target = LOWORD(lp) ? reinterpret_cast<HWND>(wp) : GetNextDlgTabItem(h, FocusedChild(h), wp != 0);
    if (target && IsChild(h, target)) DialogSetFocus(h, target);
    return 0;
}

LRESULT DefaultDialogMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND: return OnDialogErase(h, wp);
        case WM_ACTIVATE: return OnDialogActivate(h, wp);
        case WM_ENABLE:
            // Disabled under a box opened over it, it loses the focus before the box takes it.
            if (!wp) RememberFocus(h);
            return DefWindowProcA(h, msg, wp, lp);
        case WM_SETFOCUS: RestoreFocus(h); return 0;
        case WM_CLOSE: return OnDialogClose(h);
        case WM_NCDESTROY: return OnDialogNcDestroy(h, wp, lp);
        case DM_GETDEFID: {
            WORD id = WithInfo(h, [](DialogInfo& i) { return i.defid; });
            return id ? MAKELONG(id, DC_HASDEFID) : 0;
        }
        case DM_SETDEFID: return OnSetDefId(h, wp);
        case DM_REPOSITION: return 0;
        case WM_NEXTDLGCTL: return OnNextDlgCtl(h, wp, lp);
        case WM_GETFONT: return reinterpret_cast<LRESULT>(WithInfo(h, [](DialogInfo& i) { return i.font; }));
        case WM_SETFONT:
            WithInfo(h, [&](DialogInfo& i) {
                i.font = reinterpret_cast<HFONT>(wp);
                return 0;
            });
            return 0;
        case WM_GETDLGCODE:
        case WM_COMMAND:
        case WM_INITDIALOG: return 0;
        default: return DefWindowProcA(h, msg, wp, lp);
    }
}

int Scale(int v, int num, int den) { return int((int64_t(v) * num + (v >= 0 ? den / 2 : -den / 2)) / den); }

// Mnemonic search: the next control (after `from`, wrapping) whose text carries `ch`.
HWND FindMnemonic(HWND dlg, HWND from, char ch) {
    auto kids = Children(dlg);
    if (kids.empty()) return nullptr;
    size_t start = 0;
    for (size_t i = 0; i < kids.size(); ++i)
        if (kids[i] == from) start = i + 1;
    for (size_t n = 0; n < kids.size(); ++n) {
        HWND c = kids[(start + n) % kids.size()];
        if (!Usable(c)) continue;
        UINT code = DlgCode(c);
        if ((code & DLGC_STATIC) && (GetWindowLongA(c, GWL_STYLE) & SS_NOPREFIX)) {
            char cls[16] = {};
            GetClassNameA(c, cls, sizeof cls);
            if (strcasecmp(cls, "Static") == 0) continue;
        }
        char m = Mnemonic(WindowText(c));
        if (m && std::tolower(static_cast<unsigned char>(m)) == std::tolower(static_cast<unsigned char>(ch))) return c;
    }
    return nullptr;
}

bool ActivateMnemonic(HWND dlg, HWND focus, char ch) {
    HWND c = FindMnemonic(dlg, focus, ch);
    if (!c) return false;
    UINT code = DlgCode(c);
    if (code & DLGC_STATIC) {
        // A label hands the focus to the control it labels.
        for (HWND n = GetWindow(c, GW_HWNDNEXT); n; n = GetWindow(n, GW_HWNDNEXT)) {
            if (Usable(n) && (GetWindowLongA(n, GWL_STYLE) & WS_TABSTOP)) {
                DialogSetFocus(dlg, n);
                break;
            }
        }
        return true;
    }
    if (code & DLGC_BUTTON) {
        DWORD type = DWORD(GetWindowLongA(c, GWL_STYLE)) & BS_TYPEMASK;
        if (type != BS_GROUPBOX) {
            DialogSetFocus(dlg, c);
            SendMessageA(c, BM_CLICK, 0, 0);
        }
        return true;
    }
    DialogSetFocus(dlg, c);
    return true;
}

}  // namespace

HFONT DialogFont() { return DefaultFont(); }

SIZE FontBaseUnits(HFONT font) {
    HDC dc = GetDC(nullptr);
    HFONT old = static_cast<HFONT>(SelectObject(dc, font ? font : DialogFont()));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SIZE s{0, 0};
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    GetTextExtentPoint32A(dc, kAlphabet, 52, &s);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    SIZE u{(s.cx / 26 + 1) / 2, tm.tmHeight};
    if (u.cx <= 0) u.cx = 6;
    if (u.cy <= 0) u.cy = 13;
    return u;
}

void DialogSetFocus(HWND dlg, HWND ctl) {
    if (!ctl) return;
    if (DlgCode(ctl) & DLGC_HASSETSEL) SendMessageA(ctl, EM_SETSEL, 0, -1);
    WithInfo(dlg, [&](DialogInfo& i) {
        i.focus = ctl;
        return 0;
    });
    SetFocus(ctl);
    // Controls of other classes don't report their focus: move the default look here too.
    HWND child = DirectChild(dlg, ctl);
    if (child) UpdateDefaultLook(dlg, child);
}

void DialogFocusMoved(HWND ctl) {
    HWND dlg = GetParent(ctl);
    if (!dlg || !(GetWindowLongA(ctl, GWL_STYLE) & WS_CHILD) || !HasInfo(dlg)) return;
    WithInfo(dlg, [&](DialogInfo& i) {
        i.focus = ctl;
        return 0;
    });
    UpdateDefaultLook(dlg, ctl);
}

void CenterWindow(HWND h, HWND owner) {
    RECT area{};
    if (owner && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &area);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT r;
    GetWindowRect(h, &r);
    int w = r.right - r.left, hh = r.bottom - r.top;
    int x = area.left + (area.right - area.left - w) / 2;
    int y = area.top + (area.bottom - area.top - hh) / 2;
    RECT screen{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
    if (x + w > screen.right) x = screen.right - w;
    if (y + hh > screen.bottom) y = screen.bottom - hh;
    if (x < screen.left) x = screen.left;
    if (y < screen.top) y = screen.top;
    SetWindowPos(h, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CreateEmptyDialog(DWORD style, DWORD ex_style, const char* title, int cx, int cy, HWND owner, DLGPROC proc,
                       HFONT font) {
    RECT r{0, 0, cx, cy};
    AdjustWindowRectEx(&r, style, FALSE, ex_style);
    t_pending = Pending{proc, font, false, FontBaseUnits(font), true};
    HWND h = CreateWindowExA(ex_style, "#32770", title ? title : "", style & ~WS_VISIBLE, 0, 0, r.right - r.left,
                             r.bottom - r.top, owner, nullptr, nullptr, nullptr);
    if (h) Register(h);
    t_pending.active = false;
    return h;
}

HWND CreateDialogFromTemplate(const res::DialogTemplate& t, HINSTANCE inst, HWND parent, DLGPROC proc, LPARAM param) {
    DWORD style = t.style;
    DWORD ex = t.ex_style;
    if (style & DS_CONTROL) {
        style &= ~(WS_CAPTION | WS_SYSMENU);
        style |= WS_CHILD;
        ex |= WS_EX_CONTROLPARENT;
    }
    if (style & DS_MODALFRAME) ex |= WS_EX_DLGMODALFRAME;
    bool child = (style & WS_CHILD) != 0;
    HWND owner = parent;
    if (!child && owner) owner = GetAncestor(owner, GA_ROOT);
    if (child && !parent) return nullptr;

    HFONT font = nullptr;
    bool owns = false;
    if ((style & DS_SETFONT) && !t.font.empty()) {
        // Points to pixels at 96 dots per inch.
        int height = -Scale(t.point_size ? t.point_size : 8, 96, 72);
        font = CreateFontA(height, 0, 0, 0, t.weight ? t.weight : FW_NORMAL, t.italic, 0, 0, t.charset, 0, 0, 0, 0,
                           t.font.c_str());
        owns = font != nullptr;
    }
    if (!font) font = DialogFont();
    SIZE u = FontBaseUnits(font);
    RECT r{0, 0, Scale(t.cx, u.cx, 4), Scale(t.cy, u.cy, 8)};
    HMENU menu = nullptr;
    if (!t.menu.empty() && !child) menu = LoadMenuA(inst, t.menu.c_str());
    AdjustWindowRectEx(&r, style, menu != nullptr, ex);
    int x = Scale(t.x, u.cx, 4), y = Scale(t.y, u.cy, 8);
    if (!child && owner) {
        POINT o{0, 0};
        ClientToScreen(owner, &o);
        x += o.x;
        y += o.y;
    }
    x += r.left;
    y += r.top;
    const char* cls = t.class_name.empty() ? "#32770" : t.class_name.c_str();
    t_pending = Pending{proc, font, owns, u, true};
    HWND h = CreateWindowExA(ex, cls, t.title.c_str(), style & ~WS_VISIBLE, x, y, r.right - r.left, r.bottom - r.top,
                             child ? parent : owner, child ? nullptr : menu, inst, nullptr);
    if (!h) {
        t_pending.active = false;
        if (owns) DeleteObject(font);
        if (menu) DestroyMenu(menu);
        return nullptr;
    }
    Register(h);
    t_pending.active = false;
    if (!HasInfo(h)) {
        // The program's own class never passed its creation through DefDlgProc.
        t_pending = Pending{proc, font, owns, u, true};
        Register(h);
    }
    if (style & DS_CENTER) CenterWindow(h, owner);
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // Restore what WM_SETFONT stored: the dialog keeps the font it was built with.
    WithInfo(h, [&](DialogInfo& i) {
        i.font = font;
        return 0;
    });

    for (const auto& it : t.items) {
        RECT cr{Scale(it.x, u.cx, 4), Scale(it.y, u.cy, 8), Scale(it.x + it.cx, u.cx, 4), Scale(it.y + it.cy, u.cy, 8)};
        const void* data = it.creation_data.empty() ? nullptr : it.creation_data.data();
        HWND c = CreateWindowExA(it.ex_style | WS_EX_NOPARENTNOTIFY, it.class_name.c_str(), it.text.c_str(),
                                 it.style | WS_CHILD, cr.left, cr.top, cr.right - cr.left, cr.bottom - cr.top, h,
                                 reinterpret_cast<HMENU>(uintptr_t(it.id)), inst, const_cast<void*>(data));
        if (!c) continue;
        SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    if (!IsWindow(h)) return nullptr;
    HWND first = FirstTabItem(h);
    LRESULT set = SendMessageA(h, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    if (!IsWindow(h)) return nullptr;
    if (set && first && IsWindow(first))
        DialogSetFocus(h, first);
    else
        UpdateDefaultLook(h, nullptr);
    bool ended = WithInfo(h, [](DialogInfo& i) { return i.ended; });
    if ((style & WS_VISIBLE) && !ended) {
        ShowWindow(h, SW_SHOWNORMAL);
        UpdateWindow(h);
    }
    return h;
}

INT_PTR RunModalDialog(HWND dlg, HWND owner, user::LoopKind kind) {
    user::ModalLoopScope loop(kind, dlg);
    // A box over an owner that another box already disabled leaves the owner to that box.
    bool reenable = owner && IsWindowEnabled(owner);
    if (reenable) EnableWindow(owner, FALSE);
    WithInfo(dlg, [&](DialogInfo& i) {
        i.modal = true;
        i.disabled_owner = reenable;
        return 0;
    });
    if (!WithInfo(dlg, [](DialogInfo& i) { return i.ended; })) {
        ShowWindow(dlg, SW_SHOWNORMAL);
        UpdateWindow(dlg);
    }
    bool quit = false;
    WPARAM quit_code = 0;
    for (;;) {
        if (!IsWindow(dlg) || WithInfo(dlg, [](DialogInfo& i) { return i.ended; })) break;
        MSG m;
        if (!PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) {
            if (owner) SendMessageA(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dlg));
            if (!IsWindow(dlg) || WithInfo(dlg, [](DialogInfo& i) { return i.ended; })) break;
            if (!PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) WaitMessage();
            continue;
        }
        if (!GetMessageA(&m, nullptr, 0, 0)) {
            quit = true;
            quit_code = m.wParam;
            break;
        }
        if (!IsDialogMessageA(dlg, &m)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
    INT_PTR result = IsWindow(dlg) ? WithInfo(dlg, [](DialogInfo& i) { return i.result; }) : -1;
    if (reenable && IsWindow(owner)) EnableWindow(owner, TRUE);
    if (IsWindow(dlg)) {
        // Hiding already handed activation on; a dialog never hidden hands it on here, to the
        // owner or, while the owner waits for another box, to that box.
        if (owner && GetActiveWindow() == dlg) {
            HWND next = IsWindowEnabled(owner) ? owner : GetWindow(owner, GW_ENABLEDPOPUP);
            SetActiveWindow(next && next != dlg ? next : owner);
        }
        DestroyWindow(dlg);
    }
    if (quit) PostQuitMessage(int(quit_code));  // the outer loop sees it too
    return result;
}

LRESULT CALLBACK DialogClassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) { return DefDlgProcA(h, msg, wp, lp); }

}  // namespace plat::controls

using namespace plat::controls;

namespace {

bool ParseNamed(HINSTANCE inst, LPCSTR name, plat::res::DialogTemplate* t) {
    HRSRC r = FindResourceA(inst, name, RT_DIALOG);
    if (!r) return false;
    HGLOBAL g = LoadResource(inst, r);
    const void* p = g ? LockResource(g) : nullptr;
    return p && plat::res::ParseDialogTemplate(p, SizeofResource(inst, r), t);
}

// In-memory templates carry no size; the reader stops at the last item.
constexpr size_t kIndirectLimit = size_t(1) << 24;

HWND Owner(HWND parent) { return parent ? GetAncestor(parent, GA_ROOT) : nullptr; }

}  // namespace

extern "C" {

LRESULT WINAPI DefDlgProcA(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) Register(h);
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(h, DWLP_DLGPROC));
    if (proc) {
        SetWindowLongPtrA(h, DWLP_MSGRESULT, 0);
        INT_PTR r = proc(h, msg, wp, lp);
        if (r) {
            if (ResultReturningMessage(msg)) return r;
            return IsWindow(h) ? GetWindowLongPtrA(h, DWLP_MSGRESULT) : 0;
        }
        if (!IsWindow(h)) return 0;
    }
    return DefaultDialogMessage(h, msg, wp, lp);
}

HWND WINAPI CreateDialogIndirectParamA(HINSTANCE inst, LPCDLGTEMPLATEA tmpl, HWND parent, DLGPROC proc, LPARAM param) {
    plat::res::DialogTemplate t;
    if (!tmpl || !plat::res::ParseDialogTemplate(tmpl, kIndirectLimit, &t)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateDialogFromTemplate(t, inst, parent, proc, param);
}

HWND WINAPI CreateDialogParamA(HINSTANCE inst, LPCSTR name, HWND parent, DLGPROC proc, LPARAM param) {
    plat::res::DialogTemplate t;
    if (!ParseNamed(inst, name, &t)) {
        SetLastError(1814);  // the resource name is not found
        return nullptr;
    }
    return CreateDialogFromTemplate(t, inst, parent, proc, param);
}

INT_PTR WINAPI DialogBoxIndirectParamA(HINSTANCE inst, LPCDLGTEMPLATEA tmpl, HWND parent, DLGPROC proc, LPARAM param) {
    plat::res::DialogTemplate t;
    if (!tmpl || !plat::res::ParseDialogTemplate(tmpl, kIndirectLimit, &t)) return -1;
    HWND owner = Owner(parent);
    t.style &= ~DWORD(WS_CHILD);
    HWND h = CreateDialogFromTemplate(t, inst, owner, proc, param);
    if (!h) return -1;
    return RunModalDialog(h, owner);
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE inst, LPCSTR name, HWND parent, DLGPROC proc, LPARAM param) {
    plat::res::DialogTemplate t;
    if (!ParseNamed(inst, name, &t)) return -1;
    HWND owner = Owner(parent);
    t.style &= ~DWORD(WS_CHILD);
    HWND h = CreateDialogFromTemplate(t, inst, owner, proc, param);
    if (!h) return -1;
    return RunModalDialog(h, owner);
}

BOOL WINAPI EndDialog(HWND dlg, INT_PTR result) {
    bool modal = false;
    bool known = WithInfo(dlg, [&](DialogInfo& i) {
        i.ended = true;
        i.result = result;
        modal = i.modal && i.disabled_owner;
        return true;
    });
    if (!known) return FALSE;
    if (modal) {
        // Give the owner its input back before the dialog goes, so activation returns to it.
        HWND owner = GetWindow(dlg, GW_OWNER);
        if (owner) EnableWindow(owner, TRUE);
    }
    ShowWindow(dlg, SW_HIDE);
    PostMessageA(dlg, WM_NULL, 0, 0);  // wakes the modal loop
    return TRUE;
}

BOOL WINAPI IsDialogMessageA(HWND dlg, LPMSG msg) {
    if (!dlg || !msg || !IsWindow(dlg)) return FALSE;
    if (msg->hwnd != dlg && !IsChild(dlg, msg->hwnd)) return FALSE;
    HWND focus = GetFocus();
    HWND target = msg->hwnd;
    switch (msg->message) {
        case WM_KEYDOWN: {
            UINT code = DlgCode(target, msg);
            if (code & (DLGC_WANTMESSAGE)) break;
            HWND cur = focus && IsChild(dlg, focus) ? DirectChild(dlg, focus) : nullptr;
            switch (msg->wParam) {
                case VK_TAB: {
                    if (code & DLGC_WANTTAB) break;
                    bool back = GetKeyState(VK_SHIFT) < 0;
                    HWND n = GetNextDlgTabItem(dlg, cur, back);
                    if (n) DialogSetFocus(dlg, n);
                    return TRUE;
                }
                case VK_LEFT:
                case VK_UP:
                case VK_RIGHT:
                case VK_DOWN: {
                    if (code & DLGC_WANTARROWS) break;
                    if (!cur) return TRUE;
                    bool back = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
                    HWND n = GetNextDlgGroupItem(dlg, cur, back);
                    if (n && n != cur) {
                        DialogSetFocus(dlg, n);
                        UINT ncode = DlgCode(n);
                        if ((ncode & DLGC_RADIOBUTTON) &&
                            (DWORD(GetWindowLongA(n, GWL_STYLE)) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                            SendMessageA(n, BM_CLICK, 0, 0);
                    }
                    return TRUE;
                }
                case VK_RETURN: {
                    HWND btn = nullptr;
                    WORD id = IDOK;
                    if (cur && (DlgCode(cur) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
                        btn = cur;
                        id = WORD(GetDlgCtrlID(cur));
                    } else {
                        LRESULT d = SendMessageA(dlg, DM_GETDEFID, 0, 0);
                        if (HIWORD(d) == DC_HASDEFID) id = LOWORD(d);
                        btn = GetDlgItem(dlg, id);
                    }
                    if (btn && !IsWindowEnabled(btn)) {
                        MessageBeep(0);
                        return TRUE;
                    }
                    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(btn));
                    return TRUE;
                }
                case VK_ESCAPE: {
                    HWND btn = GetDlgItem(dlg, IDCANCEL);
                    if (btn && !IsWindowEnabled(btn)) return TRUE;
                    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(btn));
                    return TRUE;
                }
                default: break;
            }
            break;
        }
        case WM_CHAR: {
            UINT code = DlgCode(target, msg);
            if (code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)) break;
            // The keys handled on their key-down give no character to the control.
            if (msg->wParam == '\t' || msg->wParam == '\r' || msg->wParam == 27) {
                if (!(code & (DLGC_WANTTAB | DLGC_WANTALLKEYS))) return TRUE;
                break;
            }
            char ch = char(msg->wParam);
            if (std::isalnum(static_cast<unsigned char>(ch)) &&
                ActivateMnemonic(dlg, focus && IsChild(dlg, focus) ? DirectChild(dlg, focus) : nullptr, ch))
                return TRUE;
            break;
        }
        case WM_SYSCHAR: {
            char ch = char(msg->wParam);
            if (std::isalnum(static_cast<unsigned char>(ch)) &&
                ActivateMnemonic(dlg, focus && IsChild(dlg, focus) ? DirectChild(dlg, focus) : nullptr, ch))
                return TRUE;
            break;
        }
        default: break;
    }
    TranslateMessage(msg);
    DispatchMessageA(msg);
    return TRUE;
}

HWND WINAPI GetNextDlgTabItem(HWND dlg, HWND ctl, BOOL previous) {
    auto kids = Children(dlg);
    if (kids.empty()) return nullptr;
    if (ctl) ctl = DirectChild(dlg, ctl);
    long n = long(kids.size());
    long start = -1;
    for (long i = 0; i < n; ++i)
        if (kids[size_t(i)] == ctl) start = i;
    for (long k = 1; k <= n; ++k) {
        long i;
        if (start < 0)
            i = previous ? n - k : k - 1;
        else
            i = ((previous ? start - k : start + k) % n + n) % n;
        HWND c = kids[size_t(i)];
        if (Usable(c) && (GetWindowLongA(c, GWL_STYLE) & WS_TABSTOP)) return c;
    }
    return ctl;
}

HWND WINAPI GetNextDlgGroupItem(HWND dlg, HWND ctl, BOOL previous) {
    auto kids = Children(dlg);
    if (kids.empty()) return nullptr;
    if (ctl) ctl = DirectChild(dlg, ctl);
    long n = long(kids.size());
    long at = 0;
    for (long i = 0; i < n; ++i)
        if (kids[size_t(i)] == ctl) at = i;
    // The group runs from the last WS_GROUP control at or before `at` up to the next one.
    long first = at;
    while (first > 0 && !(GetWindowLongA(kids[size_t(first)], GWL_STYLE) & WS_GROUP)) --first;
    long last = at + 1;
    while (last < n && !(GetWindowLongA(kids[size_t(last)], GWL_STYLE) & WS_GROUP)) ++last;
    long len = last - first;
    for (long k = 1; k <= len; ++k) {
        long i = first + (((at - first) + (previous ? -k : k)) % len + len) % len;
        HWND c = kids[size_t(i)];
        if (Usable(c)) return c;
    }
    return ctl;
}

BOOL WINAPI SetDlgItemTextA(HWND dlg, int id, LPCSTR text) {
    HWND c = GetDlgItem(dlg, id);
    return c ? SetWindowTextA(c, text) : FALSE;
}

UINT WINAPI GetDlgItemTextA(HWND dlg, int id, LPSTR text, int max) {
    HWND c = GetDlgItem(dlg, id);
    if (!c) {
        if (text && max > 0) text[0] = 0;
        return 0;
    }
    return UINT(GetWindowTextA(c, text, max));
}

BOOL WINAPI SetDlgItemInt(HWND dlg, int id, UINT value, BOOL is_signed) {
    char buf[32];
    if (is_signed)
        snprintf(buf, sizeof buf, "%d", int(value));
    else
        snprintf(buf, sizeof buf, "%u", value);
    return SetDlgItemTextA(dlg, id, buf);
}

UINT WINAPI GetDlgItemInt(HWND dlg, int id, BOOL* translated, BOOL is_signed) {
    if (translated) *translated = FALSE;
    char buf[64] = {};
    HWND c = GetDlgItem(dlg, id);
    if (!c) return 0;
    GetWindowTextA(c, buf, sizeof buf);
    const char* p = buf;
    while (*p == ' ' || *p == '\t') ++p;
    bool neg = false;
    if (*p == '-' || *p == '+') {
        if (*p == '-' && !is_signed) return 0;
        neg = *p == '-';
        ++p;
    }
    if (!std::isdigit(static_cast<unsigned char>(*p))) return 0;
    uint64_t v = 0;
    while (std::isdigit(static_cast<unsigned char>(*p))) {
        v = v * 10 + uint64_t(*p - '0');
        if (v > 0xFFFFFFFFull) return 0;  // overflow: not translated
        ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    if (*p) return 0;
    if (is_signed) {
        if ((!neg && v > 0x7FFFFFFFull) || (neg && v > 0x80000000ull)) return 0;
        if (translated) *translated = TRUE;
        return UINT(neg ? -int64_t(v) : int64_t(v));
    }
    if (translated) *translated = TRUE;
    return UINT(v);
}

BOOL WINAPI CheckDlgButton(HWND dlg, int id, UINT check) {
    HWND c = GetDlgItem(dlg, id);
    if (!c) return FALSE;
    SendMessageA(c, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dlg, int id) {
    HWND c = GetDlgItem(dlg, id);
    return c ? UINT(SendMessageA(c, BM_GETCHECK, 0, 0)) : 0;
}

BOOL WINAPI CheckRadioButton(HWND dlg, int first, int last, int check) {
    bool any = false;
    for (HWND c : Children(dlg)) {
        int id = GetDlgCtrlID(c);
        if (id < first || id > last) continue;
        SendMessageA(c, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
        any = true;
    }
    return any ? TRUE : FALSE;
}

LRESULT WINAPI SendDlgItemMessageA(HWND dlg, int id, UINT msg, WPARAM wp, LPARAM lp) {
    HWND c = GetDlgItem(dlg, id);
    return c ? SendMessageA(c, msg, wp, lp) : 0;
}

BOOL WINAPI MapDialogRect(HWND dlg, LPRECT r) {
    if (!r) return FALSE;
    bool known = false;
    SIZE u = WithInfo(dlg, [&](DialogInfo& i) {
        known = true;
        return i.units;
    });
    if (!known) return FALSE;
    r->left = Scale(r->left, u.cx, 4);
    r->right = Scale(r->right, u.cx, 4);
    r->top = Scale(r->top, u.cy, 8);
    r->bottom = Scale(r->bottom, u.cy, 8);
    return TRUE;
}

LONG WINAPI GetDialogBaseUnits(void) {
    static SIZE u = FontBaseUnits(DialogFont());
    return MAKELONG(u.cx, u.cy);
}

}  // extern "C"
