// Message boxes: a dialog of the layer's own controls, sized to its text.
#include <algorithm>
#include <string>
#include <vector>

#include "controls/dialog.h"

namespace plat::controls {
namespace {

struct BoxButton {
    int id;
    const char* text;
};

std::vector<BoxButton> ButtonsFor(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
        case MB_ABORTRETRYIGNORE: return {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}};
        case MB_YESNOCANCEL: return {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
        case MB_YESNO: return {{IDYES, "&Yes"}, {IDNO, "&No"}};
        case MB_RETRYCANCEL: return {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}};
        default: return {{IDOK, "OK"}};
    }
}

LPCSTR IconFor(UINT type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONHAND: return IDI_HAND;
        case MB_ICONQUESTION: return IDI_QUESTION;
        case MB_ICONEXCLAMATION: return IDI_EXCLAMATION;
        case MB_ICONASTERISK: return IDI_ASTERISK;
        default: return nullptr;
    }
}

INT_PTR CALLBACK BoxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG:
            return FALSE;  // the creator places the focus on the default button
        case WM_COMMAND: {
            int id = LOWORD(wp);
            if (HIWORD(wp) != BN_CLICKED) return FALSE;
            if (GetDlgItem(h, id) && id >= IDOK && id <= IDNO) {
                EndDialog(h, id);
                return TRUE;
            }
            // Escape or the close box: Cancel when there is one, else OK when it is alone.
            if (id == IDCANCEL) {
                if (GetDlgItem(h, IDOK) && !GetDlgItem(h, IDNO) && !GetDlgItem(h, IDRETRY)) EndDialog(h, IDOK);
                return TRUE;
            }
            return FALSE;
        }
        default:
            (void)lp;
            return FALSE;
    }
}

constexpr int kTextId = 0xFFFF;
constexpr int kIconId = 20;

}  // namespace

int ShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    std::string body = text ? text : "";
    std::string title = caption ? caption : "Error";
    HFONT font = DialogFont();
    SIZE u = FontBaseUnits(font);
    // Text size: wrapped at about three fifths of the screen.
    int sw = GetSystemMetrics(SM_CXSCREEN);
    int max_w = std::max(200, sw * 3 / 5);
    HDC dc = GetDC(nullptr);
    HFONT old = static_cast<HFONT>(SelectObject(dc, font));
    RECT tr{0, 0, max_w, 0};
    const UINT fmt = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_LEFT;
    DrawTextA(dc, body.empty() ? " " : body.c_str(), -1, &tr, fmt | DT_CALCRECT);
    SIZE cap{0, 0};
    GetTextExtentPoint32A(dc, title.c_str(), int(title.size()), &cap);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    int text_w = tr.right - tr.left + 2, text_h = std::max<int>(tr.bottom - tr.top, u.cy);

    LPCSTR icon_name = IconFor(type);
    HICON icon = icon_name ? LoadIconA(nullptr, icon_name) : nullptr;
    const int margin = 12, icon_sz = 32, gap = 12;
    const int bw = std::max(75, u.cx * 50 / 4), bh = std::max(23, u.cy * 14 / 8), bgap = 6;
    auto buttons = ButtonsFor(type);
    int buttons_w = int(buttons.size()) * bw + (int(buttons.size()) - 1) * bgap;
    int content_w = (icon ? icon_sz + gap : 0) + text_w;
    int cw = std::max({content_w, buttons_w, int(cap.cx) + 40}) + 2 * margin;
    int content_h = std::max(icon ? icon_sz : 0, text_h);
    int ch = margin + content_h + margin + bh + margin;

    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    DWORD ex = WS_EX_DLGMODALFRAME;
    if (type & (MB_TOPMOST | MB_SYSTEMMODAL)) ex |= WS_EX_TOPMOST;
    HWND top_owner = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    HWND dlg = CreateEmptyDialog(style, ex, title.c_str(), cw, ch, top_owner, BoxProc, font);
    if (!dlg) return 0;
    HINSTANCE inst = nullptr;
    int x = margin;
    if (icon) {
        HWND ic = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_ICON, x,
                                  margin + (content_h - icon_sz) / 2, icon_sz, icon_sz, dlg,
                                  reinterpret_cast<HMENU>(uintptr_t(kIconId)), inst, nullptr);
        SendMessageA(ic, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        x += icon_sz + gap;
    }
    HWND st = CreateWindowExA(0, "Static", body.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, x,
                              margin + (content_h - text_h) / 2, text_w, text_h, dlg,
                              reinterpret_cast<HMENU>(uintptr_t(kTextId)), inst, nullptr);
    SendMessageA(st, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    int def = int((type & MB_DEFMASK) >> 8);
    if (def >= int(buttons.size())) def = 0;
    int bx = (cw - buttons_w) / 2, by = ch - margin - bh;
    HWND def_btn = nullptr;
    for (size_t i = 0; i < buttons.size(); ++i) {
        DWORD bs = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (int(i) == def ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        if (i == 0) bs |= WS_GROUP;
        HWND b = CreateWindowExA(0, "Button", buttons[i].text, bs, bx + int(i) * (bw + bgap), by, bw, bh, dlg,
                                 reinterpret_cast<HMENU>(uintptr_t(buttons[i].id)), inst, nullptr);
        SendMessageA(b, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (int(i) == def) def_btn = b;
    }
    bool has_cancel = GetDlgItem(dlg, IDCANCEL) != nullptr;
    bool ok_only = buttons.size() == 1;
    if (!has_cancel && !ok_only) EnableMenuItem(GetSystemMenu(dlg, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    SendMessageA(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(def_btn), 0);
    SendMessageA(dlg, DM_SETDEFID, WPARAM(GetDlgCtrlID(def_btn)), 0);
    CenterWindow(dlg, top_owner);
    if (type & MB_SETFOREGROUND) SetForegroundWindow(dlg);
    if (icon_name) MessageBeep(type & MB_ICONMASK);
    // Task-modal boxes without an owner disable the thread's other top levels.
    std::vector<HWND> disabled;
    if ((type & MB_TASKMODAL) && !top_owner) {
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM p) -> BOOL {
                auto* v = reinterpret_cast<std::vector<HWND>*>(p);
                if (IsWindowEnabled(w) && IsWindowVisible(w)) v->push_back(w);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&disabled));
        disabled.erase(std::remove(disabled.begin(), disabled.end(), dlg), disabled.end());
        for (HWND w : disabled) EnableWindow(w, FALSE);
    }
    ShowWindow(dlg, SW_SHOWNORMAL);
    DialogSetFocus(dlg, def_btn);
    INT_PTR r = RunModalDialog(dlg, top_owner, user::LoopKind::MessageBox);
    for (HWND w : disabled)
        if (IsWindow(w)) EnableWindow(w, TRUE);
    return int(r);
}

}  // namespace plat::controls

extern "C" {

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return plat::controls::ShowMessageBox(owner, text, caption, type);
}

int WINAPI MessageBoxExA(HWND owner, LPCSTR text, LPCSTR caption, UINT type, WORD) {
    return plat::controls::ShowMessageBox(owner, text, caption, type);
}

}  // extern "C"
