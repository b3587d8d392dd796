// The edit control's own messages: selection, text limit and undo, lines and scrolling, the
// formatting rectangle and margins, and the clipboard.
#include "controls/edit.h"

#include <cstring>

namespace plat::controls::edit {
namespace {

LRESULT OnGetSel(Edit* e, WPARAM wp, LPARAM lp) {
    if (wp) *reinterpret_cast<DWORD*>(wp) = DWORD(SelStart(e));
    if (lp) *reinterpret_cast<DWORD*>(lp) = DWORD(SelEnd(e));
    return MAKELONG(std::min<size_t>(SelStart(e), 0xFFFF), std::min<size_t>(SelEnd(e), 0xFFFF));
}

LRESULT OnSetSel(HWND h, Edit* e, WPARAM wp, LPARAM lp) {
    long a = long(int(wp)), b = long(int(lp));
    if (a == -1) {
        SetSel(h, e, e->caret, e->caret);
        return 0;
    }
    size_t n = e->text.size();
    size_t sa = a < 0 ? n : std::min(size_t(a), n);
    size_t sb = b < 0 ? n : std::min(size_t(b), n);
    SetSel(h, e, sa, sb);
    return 0;
}

LRESULT OnReplaceSel(HWND h, Edit* e, WPARAM wp, LPARAM lp) {
    const char* s = reinterpret_cast<const char*>(lp);
    ReplaceSel(h, e, s ? s : "", false, wp != 0);
    return 0;
}

LRESULT OnSetReadOnly(HWND h, WPARAM wp) {
    LONG s = GetWindowLongA(h, GWL_STYLE);
    SetWindowLongA(h, GWL_STYLE, wp ? (s | ES_READONLY) : (s & ~ES_READONLY));
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

// Undo swaps, so a second undo redoes.
LRESULT OnUndo(HWND h, Edit* e) {
    if (!e->can_undo) return FALSE;
    std::string t = e->text;
    size_t a = e->anchor, c = e->caret;
    e->text = e->undo_text;
    e->anchor = std::min(e->undo_anchor, e->text.size());
    e->caret = std::min(e->undo_caret, e->text.size());
    e->undo_text = t;
    e->undo_anchor = a;
    e->undo_caret = c;
    e->modified = true;
    Changed(h, e);
    return TRUE;
}

LRESULT OnEmptyUndo(Edit* e) {
    e->can_undo = false;
    e->undo_text.clear();
    return 0;
}

LRESULT OnSetPasswordChar(HWND h, Edit* e, WPARAM wp) {
    e->password = char(wp);
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnLineIndex(HWND h, Edit* e, WPARAM wp) {
    auto lines = Lines(h, e);
    long li = long(int(wp));
    if (li < 0) li = long(LineOf(lines, e->caret));
    if (size_t(li) >= lines.size()) return -1;
    return LRESULT(lines[size_t(li)].start);
}

// The character index a message names: -1 for the caret's, else clamped to the text.
size_t IndexOr(const Edit* e, WPARAM wp, size_t fallback) {
    long idx = long(int(wp));
    return idx < 0 ? fallback : std::min(size_t(idx), e->text.size());
}

LRESULT OnLineLength(HWND h, Edit* e, WPARAM wp) {
    auto lines = Lines(h, e);
    size_t li = LineOf(lines, IndexOr(e, wp, e->caret));
    return LRESULT(lines[li].end - lines[li].start);
}

LRESULT OnLineFromChar(HWND h, Edit* e, WPARAM wp) {
    return LRESULT(LineOf(Lines(h, e), IndexOr(e, wp, SelStart(e))));
}

LRESULT OnGetLine(HWND h, Edit* e, WPARAM wp, LPARAM lp) {
    auto lines = Lines(h, e);
    if (!lp || size_t(wp) >= lines.size()) return 0;
    WORD cap = *reinterpret_cast<WORD*>(lp);
    const Line& l = lines[wp];
    size_t n = std::min<size_t>(cap, l.end - l.start);
    memcpy(reinterpret_cast<char*>(lp), e->text.data() + l.start, n);
    if (n < cap) reinterpret_cast<char*>(lp)[n] = 0;
    return LRESULT(n);
}

LRESULT OnLineScroll(HWND h, Edit* e, WPARAM wp, LPARAM lp) {
    if (!Multi(h)) return FALSE;
    auto lines = Lines(h, e);
    e->top = std::clamp(e->top + int(lp), 0, std::max(0, int(lines.size()) - 1));
    FontDC f(h, e);
    TEXTMETRICA tm{};
    GetTextMetricsA(f.dc, &tm);
    e->xoff = std::max(0, e->xoff + int(wp) * std::max(1, int(tm.tmAveCharWidth)));
    UpdateScrollBars(h, e, f.dc);
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT OnScroll(HWND h, Edit* e, WPARAM wp) {
    if (!Multi(h)) return 0;
    int before = e->top;
    SendMessageA(h, WM_VSCROLL, wp, 0);
    return MAKELONG(WORD(e->top - before), TRUE);
}

LRESULT OnPosFromChar(HWND h, Edit* e, WPARAM wp) {
    if (size_t(wp) > e->text.size()) return -1;
    FontDC f(h, e);
    POINT p = PosOf(h, e, f.dc, size_t(wp));
    return MAKELONG(WORD(p.x), WORD(p.y));
}

LRESULT OnCharFromPos(HWND h, Edit* e, LPARAM lp) {
    FontDC f(h, e);
    size_t c = CharAt(h, e, f.dc, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    return MAKELONG(WORD(std::min<size_t>(c, 0xFFFF)), WORD(LineOf(Lines(h, e), c)));
}

LRESULT OnSetRect(HWND h, Edit* e, UINT msg, LPARAM lp) {
    if (lp) {
        e->fmt = *reinterpret_cast<const RECT*>(lp);
        e->fmt_set = true;
    } else {
        e->fmt_set = false;
    }
    if (msg == EM_SETRECT) InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnSetMargins(HWND h, Edit* e, WPARAM wp, LPARAM lp) {
    if (wp & 1) e->lmargin = LOWORD(lp);  // EC_LEFTMARGIN
    if (wp & 2) e->rmargin = HIWORD(lp);  // EC_RIGHTMARGIN
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnVScroll(HWND h, Edit* e, WPARAM wp) {
    if (!Multi(h)) return 0;
    auto lines = Lines(h, e);
    int old = e->top;
    FontDC f(h, e);
    RECT fr = FormatRect(h, e);
    int page = std::max(1, int(fr.bottom - fr.top) / LineHeight(f.dc));
    switch (LOWORD(wp)) {
        case SB_LINEUP: e->top -= 1; break;
        case SB_LINEDOWN: e->top += 1; break;
        case SB_PAGEUP: e->top -= page; break;
        case SB_PAGEDOWN: e->top += page; break;
        case SB_TOP: e->top = 0; break;
        case SB_BOTTOM: e->top = int(lines.size()); break;
        case SB_THUMBTRACK: case SB_THUMBPOSITION: e->top = int(HIWORD(wp)); break;
        default: break;
    }
    e->top = std::clamp(e->top, 0, std::max(0, int(lines.size()) - page));
    if (e->top != old) {
        UpdateScrollBars(h, e, f.dc);
        InvalidateRect(h, nullptr, TRUE);
        NotifyMasked(h, e, EN_VSCROLL);
    }
    return 0;
}

LRESULT OnCut(HWND h, Edit* e) {
    if (Style(h) & ES_READONLY) return 0;
    Copy(h, e);
    ReplaceSel(h, e, "", false);
    return 0;
}

LRESULT OnPaste(HWND h, Edit* e) {
    if (Style(h) & ES_READONLY) return 0;
    std::string s;
    if (ClipboardGetText(&s)) ReplaceSel(h, e, s, false);
    return 0;
}

LRESULT OnClear(HWND h, Edit* e) {
    if (Style(h) & ES_READONLY) return 0;
    ReplaceSel(h, e, "", false);
    return 0;
}

constexpr UINT kGetPasswordChar = 0x00D2;  // EM_GETPASSWORDCHAR

}  // namespace

LRESULT OnEditMessage(HWND h, Edit* e, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case EM_GETSEL: return OnGetSel(e, wp, lp);
        case EM_SETSEL: return OnSetSel(h, e, wp, lp);
        case EM_REPLACESEL: return OnReplaceSel(h, e, wp, lp);
        case EM_LIMITTEXT: e->limit = wp ? size_t(wp) : size_t(0x7FFFFFFEu); return 0;
        case EM_GETLIMITTEXT: return LRESULT(e->limit);
        case EM_SETREADONLY: return OnSetReadOnly(h, wp);
        case EM_GETMODIFY: return e->modified;
        case EM_SETMODIFY: e->modified = wp != 0; return 0;
        case EM_CANUNDO: return e->can_undo;
        case EM_UNDO:
        case WM_UNDO: return OnUndo(h, e);
        case EM_EMPTYUNDOBUFFER: return OnEmptyUndo(e);
        case EM_SETPASSWORDCHAR: return OnSetPasswordChar(h, e, wp);
        case kGetPasswordChar: return static_cast<unsigned char>(e->password);
        case EM_GETLINECOUNT: return LRESULT(Lines(h, e).size());
        case EM_LINEINDEX: return OnLineIndex(h, e, wp);
        case EM_LINELENGTH: return OnLineLength(h, e, wp);
        case EM_LINEFROMCHAR: return OnLineFromChar(h, e, wp);
        case EM_GETLINE: return OnGetLine(h, e, wp, lp);
        case EM_GETFIRSTVISIBLELINE: return Multi(h) ? e->top : 0;
        case EM_LINESCROLL: return OnLineScroll(h, e, wp, lp);
        case EM_SCROLL: return OnScroll(h, e, wp);
        case EM_SCROLLCARET: ScrollCaret(h, e); return TRUE;
        case EM_POSFROMCHAR: return OnPosFromChar(h, e, wp);
        case EM_CHARFROMPOS: return OnCharFromPos(h, e, lp);
        case EM_GETRECT:
            if (lp) *reinterpret_cast<RECT*>(lp) = FormatRect(h, e);
            return 0;
        case EM_SETRECT:
        case EM_SETRECTNP: return OnSetRect(h, e, msg, lp);
        case EM_SETMARGINS: return OnSetMargins(h, e, wp, lp);
        case EM_GETMARGINS: return MAKELONG(e->lmargin, e->rmargin);
        case WM_VSCROLL: return OnVScroll(h, e, wp);
        case WM_COPY: Copy(h, e); return 0;
        case WM_CUT: return OnCut(h, e);
        case WM_PASTE: return OnPaste(h, e);
        case WM_CLEAR: return OnClear(h, e);
        default: return DefWindowProcA(h, msg, wp, lp);
    }
}

}  // namespace plat::controls::edit
