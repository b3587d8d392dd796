// The rich edit control, as far as this system uses it: an edit control that keeps its own
// background and text colours instead of asking its parent, one character format for all of its
// text, the larger text limit, the rich edit forms of the selection and range messages, and the
// event mask that decides which change and scroll notices the parent gets.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "controls/common.h"
#include "controls/edit.h"
#include "richedit.h"

namespace plat::controls {
namespace {

constexpr int kRichSlot = int(sizeof(void*));  // the edit's own state is in the first slot
constexpr size_t kDefaultLimit = 32767;      // what the user may type before EM_EXLIMITTEXT
constexpr size_t kExDefaultLimit = 65536;    // EM_EXLIMITTEXT with 0
constexpr int kTwipsPerPixel = 15;           // 1440 twips an inch over 96 pixels

struct RichEdit {
    HFONT own_font = nullptr;  // made for a character format; deleted with the control
};

RichEdit* R(HWND h) { return reinterpret_cast<RichEdit*>(GetWindowLongPtrA(h, kRichSlot)); }
edit::Edit* E(HWND h) { return ctl::State<edit::Edit>(h); }

LRESULT CallEdit(HWND h, UINT m, WPARAM w, LPARAM l) { return EditProc(h, m, w, l); }

LRESULT OnNcCreate(HWND h, WPARAM w, LPARAM l) {
    SetWindowLongPtrA(h, kRichSlot, reinterpret_cast<LONG_PTR>(new RichEdit));
    LRESULT r = CallEdit(h, WM_NCCREATE, w, l);
    if (edit::Edit* e = E(h)) {
        e->own_colors = true;
        e->limit = kDefaultLimit;
        e->masked_notices = true;  // none until the parent asks
    }
    return r;
}

LRESULT OnNcDestroy(HWND h, WPARAM w, LPARAM l) {
    RichEdit* r = R(h);
    LRESULT res = CallEdit(h, WM_NCDESTROY, w, l);
    SetWindowLongPtrA(h, kRichSlot, 0);
    if (r && r->own_font) DeleteObject(r->own_font);
    delete r;
    return res;
}

LRESULT OnSetBackground(HWND h, edit::Edit* e, WPARAM use_system, LPARAM l) {
    COLORREF old = e->own_back == CLR_NONE ? GetSysColor(COLOR_WINDOW) : e->own_back;
    e->own_back = use_system ? CLR_NONE : COLORREF(l);
    InvalidateRect(h, nullptr, TRUE);
    return LRESULT(old);
}

LOGFONTA CurrentFont(const edit::Edit* e) {
    LOGFONTA lf{};
    GetObjectA(e->font ? e->font : DefaultFont(), sizeof lf, &lf);
    return lf;
}

// Changes the font's face, size and effects as the format's mask says; false when nothing of the
// font is asked for.
bool ApplyFontFormat(LOGFONTA& lf, const CHARFORMATA& cf) {
    const DWORD font_bits = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SIZE | CFM_FACE | CFM_CHARSET;
    if (!(cf.dwMask & font_bits)) return false;
    if (cf.dwMask & CFM_BOLD) lf.lfWeight = (cf.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
    if (cf.dwMask & CFM_ITALIC) lf.lfItalic = (cf.dwEffects & CFE_ITALIC) ? 1 : 0;
    if (cf.dwMask & CFM_UNDERLINE) lf.lfUnderline = (cf.dwEffects & CFE_UNDERLINE) ? 1 : 0;
    if (cf.dwMask & CFM_STRIKEOUT) lf.lfStrikeOut = (cf.dwEffects & CFE_STRIKEOUT) ? 1 : 0;
    if ((cf.dwMask & CFM_SIZE) && cf.yHeight > 0) lf.lfHeight = -std::max<LONG>(1, cf.yHeight / kTwipsPerPixel);
    if (cf.dwMask & CFM_FACE) lstrcpynA(lf.lfFaceName, cf.szFaceName, LF_FACESIZE);
    if (cf.dwMask & CFM_CHARSET) lf.lfCharSet = cf.bCharSet;
    return true;
}

// The whole text takes the format, whichever range is asked for: the control keeps one.
LRESULT OnSetCharFormat(HWND h, edit::Edit* e, LPARAM l) {
    auto* cf = reinterpret_cast<const CHARFORMATA*>(l);
    if (!cf || cf->cbSize < sizeof(CHARFORMATA)) return FALSE;
    if (cf->dwMask & CFM_COLOR) e->own_text = (cf->dwEffects & CFE_AUTOCOLOR) ? CLR_NONE : cf->crTextColor;
    LOGFONTA lf = CurrentFont(e);
    if (ApplyFontFormat(lf, *cf)) {
        HFONT made = CreateFontIndirectA(&lf);
        if (!made) return FALSE;
        RichEdit* r = R(h);
        HFONT old = r->own_font;
        r->own_font = made;
        CallEdit(h, WM_SETFONT, reinterpret_cast<WPARAM>(made), FALSE);
        if (old) DeleteObject(old);
    }
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT OnGetCharFormat(edit::Edit* e, LPARAM l) {
    auto* cf = reinterpret_cast<CHARFORMATA*>(l);
    if (!cf || cf->cbSize < sizeof(CHARFORMATA)) return 0;
    LOGFONTA lf = CurrentFont(e);
    cf->dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SIZE | CFM_FACE | CFM_CHARSET | CFM_COLOR;
    cf->dwEffects = (lf.lfWeight >= FW_BOLD ? CFE_BOLD : 0) | (lf.lfItalic ? CFE_ITALIC : 0) |
                    (lf.lfUnderline ? CFE_UNDERLINE : 0) | (lf.lfStrikeOut ? CFE_STRIKEOUT : 0) |
                    (e->own_text == CLR_NONE ? CFE_AUTOCOLOR : 0);
    cf->yHeight = std::abs(lf.lfHeight) * kTwipsPerPixel;
    cf->yOffset = 0;
    cf->crTextColor = e->own_text == CLR_NONE ? GetSysColor(COLOR_WINDOWTEXT) : e->own_text;
    cf->bCharSet = lf.lfCharSet;
    cf->bPitchAndFamily = lf.lfPitchAndFamily;
    lstrcpynA(cf->szFaceName, lf.lfFaceName, LF_FACESIZE);
    return LRESULT(cf->dwMask);
}

LRESULT OnExGetSel(HWND h, LPARAM l) {
    DWORD a = 0, b = 0;
    CallEdit(h, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    if (auto* r = reinterpret_cast<CHARRANGE*>(l)) *r = CHARRANGE{LONG(a), LONG(b)};
    return 0;
}

LRESULT OnExSetSel(HWND h, LPARAM l) {
    auto* r = reinterpret_cast<const CHARRANGE*>(l);
    if (!r) return 0;
    CallEdit(h, EM_SETSEL, WPARAM(r->cpMin), LPARAM(r->cpMax));
    DWORD a = 0, b = 0;
    CallEdit(h, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    return LRESULT(b);
}

// Copies the characters of the range (cpMax -1: to the end) into the caller's buffer, which the
// caller sizes for them and a terminator; returns how many were copied.
LRESULT OnGetTextRange(edit::Edit* e, LPARAM l) {
    auto* tr = reinterpret_cast<TEXTRANGEA*>(l);
    if (!tr || !tr->lpstrText) return 0;
    const LONG size = LONG(e->text.size());
    LONG from = std::clamp<LONG>(tr->chrg.cpMin, 0, size);
    LONG to = tr->chrg.cpMax < 0 ? size : std::clamp<LONG>(tr->chrg.cpMax, from, size);
    memcpy(tr->lpstrText, e->text.data() + from, size_t(to - from));
    tr->lpstrText[to - from] = 0;
    return to - from;
}

LRESULT OnRichMessage(HWND h, edit::Edit* e, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case EM_SETBKGNDCOLOR: return OnSetBackground(h, e, w, l);
        case EM_SETCHARFORMAT: return OnSetCharFormat(h, e, l);
        case EM_GETCHARFORMAT: return OnGetCharFormat(e, l);
        case EM_EXLIMITTEXT: return CallEdit(h, EM_LIMITTEXT, l ? WPARAM(l) : kExDefaultLimit, 0);
        case EM_EXGETSEL: return OnExGetSel(h, l);
        case EM_EXSETSEL: return OnExSetSel(h, l);
        case EM_EXLINEFROMCHAR: return CallEdit(h, EM_LINEFROMCHAR, WPARAM(l), 0);
        case EM_GETTEXTRANGE: return OnGetTextRange(e, l);
        case EM_GETEVENTMASK: return LRESULT(e->event_mask);
        case EM_SETEVENTMASK: return LRESULT(std::exchange(e->event_mask, DWORD(l)));
        default: return CallEdit(h, m, w, l);
    }
}

}  // namespace

LRESULT CALLBACK RichEditProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case WM_NCCREATE: return OnNcCreate(h, w, l);
        case WM_NCDESTROY: return OnNcDestroy(h, w, l);
        default: break;
    }
    edit::Edit* e = E(h);
    if (!e || !R(h)) return CallEdit(h, m, w, l);
    return OnRichMessage(h, e, m, w, l);
}

}  // namespace plat::controls
