// The edit control: single-line and multi-line text with selection, caret, keyboard and
// mouse editing, clipboard and one level of undo. Its own EM_ messages are in edit_messages.cpp.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "controls/edit.h"
#include "core/utf8.h"
#include "richedit.h"

namespace plat::controls::edit {

// Moves over whole UTF-8 sequences.
size_t NextChar(const std::string& s, size_t i) {
    if (i >= s.size()) return s.size();
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    if (i < s.size() && s[i - 1] == '\r' && s[i] == '\n') ++i;  // a line break is one step
    return i;
}
size_t PrevChar(const std::string& s, size_t i) {
    if (i == 0) return 0;
    --i;
    while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) --i;
    if (i > 0 && s[i] == '\n' && s[i - 1] == '\r') --i;
    return i;
}

// Lines as the text's line breaks make them.
std::vector<Line> HardLines(HWND h, const Edit* e) {
    std::vector<Line> v;
    if (!Multi(h)) {
        v.push_back({0, e->text.size()});
        return v;
    }
    size_t s = 0;
    for (size_t i = 0; i < e->text.size(); ++i) {
        if (e->text[i] == '\n') {
            size_t end = (i > s && e->text[i - 1] == '\r') ? i - 1 : i;
            v.push_back({s, end});
            s = i + 1;
        }
    }
    v.push_back({s, e->text.size()});
    return v;
}

std::string Shown(const Edit* e, size_t a, size_t b) {
    std::string s = e->text.substr(a, b - a);
    if (!e->password) return s;
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return std::string(n, e->password);
}

int Width(HDC dc, const std::string& s) {
    if (s.empty()) return 0;
    SIZE sz{0, 0};
    GetTextExtentPoint32A(dc, s.c_str(), int(s.size()), &sz);
    return sz.cx;
}

int LineHeight(HDC dc) {
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    return tm.tmHeight > 0 ? tm.tmHeight : 13;
}

RECT FormatRect(HWND h, const Edit* e) {
    if (e->fmt_set) return e->fmt;
    RECT r;
    GetClientRect(h, &r);
    r.left += e->lmargin;
    r.right -= e->rmargin;
    if (r.right < r.left) r.right = r.left;
    return r;
}

// Display lines: a multi-line edit without ES_AUTOHSCROLL wraps its lines at word breaks to
// the formatting rectangle's width.
std::vector<Line> Lines(HWND h, const Edit* e) {
    std::vector<Line> hard = HardLines(h, e);
    if (!Multi(h) || (Style(h) & ES_AUTOHSCROLL)) return hard;
    RECT fr = FormatRect(h, e);
    int avail = fr.right - fr.left;
    if (avail <= 0) return hard;
    FontDC f(h, e);
    std::vector<Line> v;
    for (const Line& l : hard) {
        size_t start = l.start;
        for (;;) {
            if (Width(f.dc, Shown(e, start, l.end)) <= avail) {
                v.push_back({start, l.end});
                break;
            }
            size_t fit = start;
            for (size_t i = start; i < l.end;) {
                size_t n = std::min(NextChar(e->text, i), l.end);
                if (Width(f.dc, Shown(e, start, n)) > avail) break;
                fit = n;
                i = n;
            }
            if (fit == start) fit = std::min(NextChar(e->text, start), l.end);  // at least one character
            size_t brk = fit;
            for (size_t i = fit; i > start; --i)
                if (e->text[i - 1] == ' ' || e->text[i - 1] == '\t') {
                    brk = i;
                    break;
                }
            // Blanks at the break stay on the line they end.
            while (brk < l.end && e->text[brk] == ' ') ++brk;
            if (brk >= l.end) {
                v.push_back({start, l.end});
                break;
            }
            v.push_back({start, brk});
            start = brk;
        }
    }
    return v;
}

// X of the line's start (alignment), before scrolling.
int LineX(HWND h, const Edit* e, HDC dc, const Line& l, const RECT& fr) {
    DWORD st = Style(h);
    int w = Width(dc, Shown(e, l.start, l.end));
    int avail = fr.right - fr.left;
    if (st & ES_RIGHT) return fr.left + std::max(0, avail - w);
    if (st & ES_CENTER) return fr.left + std::max(0, (avail - w) / 2);
    return fr.left;
}

POINT PosOf(HWND h, const Edit* e, HDC dc, size_t idx) {
    auto lines = Lines(h, e);
    RECT fr = FormatRect(h, e);
    size_t li = LineOf(lines, idx);
    int lh = LineHeight(dc);
    int x = LineX(h, e, dc, lines[li], fr) + Width(dc, Shown(e, lines[li].start, idx)) - e->xoff;
    int y = fr.top + (int(li) - e->top) * lh;
    if (!Multi(h)) {
        RECT cr;
        GetClientRect(h, &cr);
        y = fr.top;
    }
    return {x, y};
}

size_t CharAt(HWND h, const Edit* e, HDC dc, POINT p) {
    auto lines = Lines(h, e);
    RECT fr = FormatRect(h, e);
    int lh = LineHeight(dc);
    long li = Multi(h) ? e->top + (p.y - fr.top) / lh - (p.y < fr.top ? 1 : 0) : 0;
    li = std::max(0L, std::min(li, long(lines.size()) - 1));
    const Line& l = lines[size_t(li)];
    int x0 = LineX(h, e, dc, l, fr) - e->xoff;
    size_t best = l.start;
    int prev_w = 0;
    for (size_t i = l.start; i < l.end;) {
        size_t n = NextChar(e->text, i);
        if (n > l.end) n = l.end;
        int w = Width(dc, Shown(e, l.start, n));
        if (p.x < x0 + (prev_w + w) / 2) return i;
        prev_w = w;
        i = n;
        best = i;
    }
    return best;
}

void UpdateScrollBars(HWND h, Edit* e, HDC dc) {
    if (!Multi(h) || !e->vscroll) return;
    auto lines = Lines(h, e);
    RECT fr = FormatRect(h, e);
    int lh = LineHeight(dc);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0, int(lines.size()) - 1,
                  UINT(std::max(1, int(fr.bottom - fr.top) / lh)), e->top, 0};
    SetScrollInfo(h, SB_VERT, &si, TRUE);
}

void ScrollCaret(HWND h, Edit* e) {
    FontDC f(h, e);
    RECT fr = FormatRect(h, e);
    int lh = LineHeight(f.dc);
    if (Multi(h)) {
        auto lines = Lines(h, e);
        int li = int(LineOf(lines, e->caret));
        int visible = std::max(1, int(fr.bottom - fr.top) / lh);
        int old_top = e->top;
        if (li < e->top) e->top = li;
        if (li >= e->top + visible) e->top = li - visible + 1;
        if (e->top != old_top) NotifyMasked(h, e, EN_VSCROLL);
    }
    POINT p = PosOf(h, e, f.dc, e->caret);
    int width = fr.right - fr.left;
    if (p.x < fr.left) e->xoff -= (fr.left - p.x) + width / 4;
    else if (p.x >= fr.right) e->xoff += (p.x - fr.right) + 1 + width / 4;
    if (e->xoff < 0) e->xoff = 0;
    UpdateScrollBars(h, e, f.dc);
    if (e->focus) {
        p = PosOf(h, e, f.dc, e->caret);
        SetCaretPos(p.x, p.y);
    }
    InvalidateRect(h, nullptr, TRUE);
}

void SyncWindowText(HWND h, const Edit* e) {
    // The window keeps a copy so that its text reads the same without a message.
    DefWindowProcA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(e->text.c_str()));
}

void NotifyMasked(HWND h, const Edit* e, int code) {
    if (e->masked_notices) {
        const DWORD bit = code == EN_CHANGE ? ENM_CHANGE : code == EN_UPDATE ? ENM_UPDATE : ENM_SCROLL;
        if (!(e->event_mask & bit)) return;
    }
    Notify(h, code);
}

void Changed(HWND h, Edit* e) {
    SyncWindowText(h, e);
    ScrollCaret(h, e);
    NotifyMasked(h, e, EN_UPDATE);
    NotifyMasked(h, e, EN_CHANGE);
}

void SaveUndo(Edit* e) {
    e->undo_text = e->text;
    e->undo_anchor = e->anchor;
    e->undo_caret = e->caret;
    e->can_undo = true;
}

// Replaces the selection; returns false when nothing could be inserted.
bool ReplaceSel(HWND h, Edit* e, std::string ins, bool user, bool undoable) {
    DWORD st = Style(h);
    if (user && (st & ES_READONLY)) {
        MessageBeep(0);
        return false;
    }
    if (!Multi(h)) {
        size_t br = ins.find_first_of("\r\n");
        if (br != std::string::npos) ins.resize(br);
    }
    if (st & ES_UPPERCASE) std::transform(ins.begin(), ins.end(), ins.begin(), [](char c) { return char(toupper(c)); });
    if (st & ES_LOWERCASE) std::transform(ins.begin(), ins.end(), ins.begin(), [](char c) { return char(tolower(c)); });
    size_t a = SelStart(e), b = SelEnd(e);
    size_t room = e->limit > e->text.size() - (b - a) ? e->limit - (e->text.size() - (b - a)) : 0;
    bool cut = false;
    if (ins.size() > room) {
        size_t n = room;
        while (n > 0 && n < ins.size() && (static_cast<unsigned char>(ins[n]) & 0xC0) == 0x80) --n;
        ins.resize(n);
        cut = true;
    }
    if (ins.empty() && a == b) {
        if (cut) Notify(h, EN_MAXTEXT);
        return false;
    }
    if (undoable) SaveUndo(e);
    e->text.replace(a, b - a, ins);
    e->anchor = e->caret = a + ins.size();
    e->modified = true;
    Changed(h, e);
    if (cut) Notify(h, EN_MAXTEXT);
    return true;
}

void SetSel(HWND h, Edit* e, size_t anchor, size_t caret) {
    e->anchor = std::min(anchor, e->text.size());
    e->caret = std::min(caret, e->text.size());
    ScrollCaret(h, e);
}

void Copy(HWND h, Edit* e) {
    if (e->password || SelStart(e) == SelEnd(e)) return;
    ClipboardSetText(h, e->text.substr(SelStart(e), SelEnd(e) - SelStart(e)));
}

void Paste(HWND h, Edit* e) {
    std::string s;
    if (ClipboardGetText(&s)) ReplaceSel(h, e, s, true);
}

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || (c & 0x80); }

size_t WordLeft(const std::string& s, size_t i) {
    while (i > 0 && !IsWordChar(s[i - 1])) --i;
    while (i > 0 && IsWordChar(s[i - 1])) --i;
    return i;
}
size_t WordRight(const std::string& s, size_t i) {
    while (i < s.size() && IsWordChar(s[i])) ++i;
    while (i < s.size() && !IsWordChar(s[i])) ++i;
    return i;
}

void KeyDown(HWND h, Edit* e, WPARAM vk) {
    bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
    auto lines = Lines(h, e);
    size_t li = LineOf(lines, e->caret);
    size_t c = e->caret;
    auto move = [&](size_t to) {
        if (!shift && e->anchor != e->caret && (vk == VK_LEFT || vk == VK_RIGHT) && !ctrl)
            to = vk == VK_LEFT ? SelStart(e) : SelEnd(e);
        e->caret = to;
        if (!shift) e->anchor = to;
        ScrollCaret(h, e);
    };
    auto to_line = [&](long target) {
        target = std::max(0L, std::min(target, long(lines.size()) - 1));
        FontDC f(h, e);
        POINT p = PosOf(h, e, f.dc, c);
        RECT fr = FormatRect(h, e);
        int lh = LineHeight(f.dc);
        p.y = fr.top + int(target - e->top) * lh;
        move(CharAt(h, e, f.dc, p));
    };
    bool multi = Multi(h);
    int page = 1;
    if (multi) {
        FontDC f(h, e);
        RECT fr = FormatRect(h, e);
        page = std::max(1, int(fr.bottom - fr.top) / LineHeight(f.dc));
    }
    switch (vk) {
        case VK_LEFT: move(ctrl ? WordLeft(e->text, c) : (shift || e->anchor == e->caret ? PrevChar(e->text, c) : c)); break;
        case VK_RIGHT: move(ctrl ? WordRight(e->text, c) : (shift || e->anchor == e->caret ? NextChar(e->text, c) : c)); break;
        case VK_UP: if (multi) to_line(long(li) - 1); else move(PrevChar(e->text, c)); break;
        case VK_DOWN: if (multi) to_line(long(li) + 1); else move(NextChar(e->text, c)); break;
        case VK_PRIOR: if (multi) to_line(long(li) - page); break;
        case VK_NEXT: if (multi) to_line(long(li) + page); break;
        case VK_HOME: move(ctrl || !multi ? 0 : lines[li].start); break;
        case VK_END: move(ctrl || !multi ? e->text.size() : lines[li].end); break;
        case VK_DELETE:
            if (Style(h) & ES_READONLY) break;
            if (shift) {
                Copy(h, e);
                ReplaceSel(h, e, "", true);
            } else {
                if (e->anchor == e->caret) {
                    if (c >= e->text.size()) break;
                    e->anchor = NextChar(e->text, c);
                }
                ReplaceSel(h, e, "", true);
            }
            break;
        case VK_INSERT:
            if (ctrl) Copy(h, e);
            else if (shift) Paste(h, e);
            break;
        default: break;
    }
}

// Typed text arrives in the narrow encoding (UTF-8) a byte a message: a character beyond ASCII
// comes as its lead byte and then its continuation bytes. True with the whole sequence in *out
// once its last byte is in; a byte that fits no sequence is dropped.
bool TakeTypedByte(Edit* e, BYTE b, std::string* out) {
    if ((b & 0xC0) == 0x80) {
        if (e->typed_partial.empty()) return false;
        e->typed_partial += char(b);
    } else {
        e->typed_partial.assign(1, char(b));
    }
    BYTE lead = BYTE(e->typed_partial[0]);
    size_t need = lead >= 0xF8 ? 0 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (need == 0) {
        e->typed_partial.clear();
        return false;
    }
    if (e->typed_partial.size() < need) return false;
    out->swap(e->typed_partial);
    return true;
}

void Char(HWND h, Edit* e, WPARAM ch) {
    std::string s;
    if (ch >= 0x80 && ch <= 0xFF) {
        if (!TakeTypedByte(e, BYTE(ch), &s)) return;
    } else {
        e->typed_partial.clear();
    }
    switch (ch) {
        case 1:  // Ctrl+A
            SetSel(h, e, 0, e->text.size());
            return;
        case 3: Copy(h, e); return;
        case 22: Paste(h, e); return;
        case 24:
            if (Style(h) & ES_READONLY) return;
            Copy(h, e);
            ReplaceSel(h, e, "", true);
            return;
        case 26:
            SendMessageA(h, EM_UNDO, 0, 0);
            return;
        case 8:
            if (Style(h) & ES_READONLY) return;
            if (e->anchor == e->caret) {
                if (e->caret == 0) return;
                e->anchor = PrevChar(e->text, e->caret);
            }
            ReplaceSel(h, e, "", true);
            return;
        case '\r':
        case '\n':
            if (Multi(h)) ReplaceSel(h, e, "\r\n", true);
            return;
        case '\t':
            if (Multi(h)) ReplaceSel(h, e, "\t", true);
            return;
        default: break;
    }
    if (ch < 32 || ch == 127) return;
    if ((Style(h) & ES_NUMBER) && !(ch >= '0' && ch <= '9')) {
        MessageBeep(0);
        return;
    }
    if (s.empty()) plat::core::AppendUtf8(s, uint32_t(ch));  // a character a program sent whole
    ReplaceSel(h, e, s, true);
}

void OwnColors(HDC dc, const Edit* e, const RECT& cr) {
    HBRUSH b = CreateSolidBrush(e->own_back == CLR_NONE ? GetSysColor(COLOR_WINDOW) : e->own_back);
    FillRect(dc, &cr, b);
    DeleteObject(b);
    SetTextColor(dc, e->own_text == CLR_NONE ? GetSysColor(COLOR_WINDOWTEXT) : e->own_text);
}

void Paint(HWND h, Edit* e, HDC dc) {
    DWORD st = Style(h);
    bool ro = (st & ES_READONLY) || !IsWindowEnabled(h);
    HGDIOBJ oldf = SelectObject(dc, e->font ? e->font : DefaultFont());
    RECT cr;
    GetClientRect(h, &cr);
    if (e->own_colors) {
        OwnColors(dc, e, cr);
    } else if (HBRUSH bg = ControlColor(h, dc, ro ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT)) {
        FillRect(dc, &cr, bg);
    }
    COLORREF text_color = IsWindowEnabled(h) ? GetTextColor(dc) : GetSysColor(COLOR_GRAYTEXT);
    RECT fr = FormatRect(h, e);
    IntersectClipRect(dc, fr.left, fr.top, fr.right, fr.bottom);
    auto lines = Lines(h, e);
    int lh = LineHeight(dc);
    bool show_sel = e->focus || (st & ES_NOHIDESEL);
    size_t sa = SelStart(e), sb = SelEnd(e);
    SetBkMode(dc, TRANSPARENT);
    for (size_t i = size_t(std::max(0, e->top)); i < lines.size(); ++i) {
        int y = fr.top + int(i - size_t(e->top)) * lh;
        if (!Multi(h)) y = fr.top;
        if (y >= fr.bottom) break;
        const Line& l = lines[i];
        int x = LineX(h, e, dc, l, fr) - e->xoff;
        // Three runs: before, inside and after the selection.
        size_t cuts[4] = {l.start, std::clamp(sa, l.start, l.end), std::clamp(sb, l.start, l.end), l.end};
        if (!show_sel) cuts[1] = cuts[2] = l.end;
        for (int run = 0; run < 3; ++run) {
            if (cuts[run + 1] <= cuts[run]) continue;
            std::string s = Shown(e, cuts[run], cuts[run + 1]);
            int w = Width(dc, s);
            if (run == 1) {
                RECT sr{x, y, x + w, y + lh};
                FillRect(dc, &sr, GetSysColorBrush(COLOR_HIGHLIGHT));
                SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            } else {
                SetTextColor(dc, text_color);
            }
            TextOutA(dc, x, y, s.c_str(), int(s.size()));
            x += w;
        }
    }
    SelectObject(dc, oldf);
}

void OnNcCreate(Edit* e, const CREATESTRUCTA& cs) {
    e->limit = (cs.style & ES_MULTILINE) ? 0x7FFFFFFEu : 0x7FFEu;
    e->vscroll = (cs.style & WS_VSCROLL) != 0;
    if (cs.style & ES_PASSWORD) e->password = '*';
    if (cs.lpszName && !IS_INTRESOURCE(cs.lpszName)) e->text = cs.lpszName;
    if (!(cs.style & ES_MULTILINE)) {
        size_t br = e->text.find_first_of("\r\n");
        if (br != std::string::npos) e->text.resize(br);
    }
}

LRESULT OnGetDlgCode(HWND h, LPARAM lp) {
    LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    auto* m = reinterpret_cast<MSG*>(lp);
    if (Multi(h) && (Style(h) & ES_WANTRETURN) && m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN)
        code |= DLGC_WANTALLKEYS;
    return code;
}

LRESULT OnSetFont(HWND h, Edit* e, WPARAM wp) {
    e->font = reinterpret_cast<HFONT>(wp);
    if (e->focus) {
        FontDC f(h, e);
        CreateCaret(h, nullptr, 1, LineHeight(f.dc));
        ShowCaret(h);
    }
    ScrollCaret(h, e);
    return 0;
}

LRESULT OnSetText(HWND h, Edit* e, LPARAM lp) {
    std::string s = lp ? reinterpret_cast<const char*>(lp) : "";
    if (!Multi(h)) {
        size_t br = s.find_first_of("\r\n");
        if (br != std::string::npos) s.resize(br);
    }
    if (s.size() > e->limit) s.resize(e->limit);
    e->text = s;
    e->anchor = e->caret = 0;
    e->xoff = 0;
    e->top = 0;
    e->modified = false;
    e->can_undo = false;
    // Single-line edits report a text set by the program; multi-line ones don't.
    if (Multi(h)) {
        SyncWindowText(h, e);
        ScrollCaret(h, e);
    } else {
        Changed(h, e);
    }
    return TRUE;
}

LRESULT OnGetText(Edit* e, WPARAM wp, LPARAM lp) {
    if (!lp || wp == 0) return 0;
    size_t n = std::min(e->text.size(), size_t(wp) - 1);
    memcpy(reinterpret_cast<char*>(lp), e->text.data(), n);
    reinterpret_cast<char*>(lp)[n] = 0;
    return LRESULT(n);
}

LRESULT OnSetFocus(HWND h, Edit* e) {
    e->focus = true;
    FontDC f(h, e);
    CreateCaret(h, nullptr, 1, LineHeight(f.dc));
    POINT p = PosOf(h, e, f.dc, e->caret);
    SetCaretPos(p.x, p.y);
    ShowCaret(h);
    InvalidateRect(h, nullptr, TRUE);
    DialogFocusMoved(h);
    Notify(h, EN_SETFOCUS);
    return 0;
}

LRESULT OnKillFocus(HWND h, Edit* e) {
    e->focus = false;
    e->tracking = false;
    DestroyCaret();
    InvalidateRect(h, nullptr, TRUE);
    Notify(h, EN_KILLFOCUS);
    return 0;
}

POINT PointOf(LPARAM lp) { return POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}; }

LRESULT OnLButtonDown(HWND h, Edit* e, WPARAM wp, LPARAM lp) {
    if (GetFocus() != h) SetFocus(h);
    FontDC f(h, e);
    size_t c = CharAt(h, e, f.dc, PointOf(lp));
    e->caret = c;
    if (!(wp & MK_SHIFT)) e->anchor = c;
    e->tracking = true;
    SetCapture(h);
    ScrollCaret(h, e);
    return 0;
}

LRESULT OnMouseMove(HWND h, Edit* e, LPARAM lp) {
    if (!e->tracking) return 0;
    FontDC f(h, e);
    e->caret = CharAt(h, e, f.dc, PointOf(lp));
    ScrollCaret(h, e);
    return 0;
}

LRESULT OnLButtonUp(Edit* e) {
    if (e->tracking) {
        e->tracking = false;
        ReleaseCapture();
    }
    return 0;
}

// A double click selects the word under the mouse.
LRESULT OnLButtonDblClk(HWND h, Edit* e, LPARAM lp) {
    FontDC f(h, e);
    size_t c = CharAt(h, e, f.dc, PointOf(lp));
    size_t a = c, b = c;
    while (a > 0 && IsWordChar(e->text[a - 1])) --a;
    while (b < e->text.size() && IsWordChar(e->text[b])) ++b;
    SetSel(h, e, a, b);
    return 0;
}

LRESULT OnMouseWheel(HWND h, WPARAM wp, LPARAM lp) {
    // A single line has nothing to scroll: the turn goes on to the parent.
    if (!Multi(h)) return DefWindowProcA(h, WM_MOUSEWHEEL, wp, lp);
    SendMessageA(h, WM_VSCROLL, short(HIWORD(wp)) > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
    return 0;
}

}  // namespace plat::controls::edit

namespace plat::controls {

LRESULT CALLBACK EditProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    using namespace edit;
    Edit* e = AttachState<Edit>(h, msg);
    if (!e) return DefWindowProcA(h, msg, wp, lp);
    switch (msg) {
        case WM_NCCREATE:
            OnNcCreate(e, *reinterpret_cast<CREATESTRUCTA*>(lp));
            return DefWindowProcA(h, msg, wp, lp);
        case WM_NCDESTROY: return FreeState(h, msg, wp, lp, e);
        case WM_GETDLGCODE: return OnGetDlgCode(h, lp);
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return PaintOrPrint(h, msg, wp, [&](HDC dc) { Paint(h, e, dc); });
        case WM_SIZE: ScrollCaret(h, e); return 0;
        case WM_SETFONT: return OnSetFont(h, e, wp);
        case WM_GETFONT: return reinterpret_cast<LRESULT>(e->font);
        case WM_SETTEXT: return OnSetText(h, e, lp);
        case WM_GETTEXT: return OnGetText(e, wp, lp);
        case WM_GETTEXTLENGTH: return LRESULT(e->text.size());
        case WM_ENABLE: InvalidateRect(h, nullptr, TRUE); return 0;
        case WM_SETFOCUS: return OnSetFocus(h, e);
        case WM_KILLFOCUS: return OnKillFocus(h, e);
        case WM_KEYDOWN: KeyDown(h, e, wp); return 0;
        case WM_CHAR: Char(h, e, wp); return 0;
        case WM_LBUTTONDOWN: return OnLButtonDown(h, e, wp, lp);
        case WM_MOUSEMOVE: return OnMouseMove(h, e, lp);
        case WM_LBUTTONUP: return OnLButtonUp(e);
        case WM_CAPTURECHANGED: e->tracking = false; return 0;
        case WM_LBUTTONDBLCLK: return OnLButtonDblClk(h, e, lp);
        case WM_MOUSEWHEEL: return OnMouseWheel(h, wp, lp);
        default: return OnEditMessage(h, e, msg, wp, lp);
    }
}

}  // namespace plat::controls
