// The edit control's state and the text-model helpers its window procedure and its message
// handlers share.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "controls/common.h"

namespace plat::controls::edit {

struct Edit {
    std::string text;
    size_t anchor = 0, caret = 0;
    int xoff = 0;  // horizontal scroll, pixels
    int top = 0;   // first visible line
    size_t limit = 0;
    bool modified = false;
    bool focus = false;
    bool tracking = false;
    char password = 0;
    HFONT font = nullptr;
    int lmargin = 1, rmargin = 1;
    RECT fmt{0, 0, 0, 0};
    bool fmt_set = false;
    std::string undo_text;
    size_t undo_anchor = 0, undo_caret = 0;
    bool can_undo = false;
    bool vscroll = false;  // made with WS_VSCROLL (the window system hides the bar when idle)
    // A rich edit paints in colours of its own instead of asking its parent; CLR_NONE stands
    // for the window colours of the moment.
    bool own_colors = false;
    COLORREF own_back = CLR_NONE, own_text = CLR_NONE;
    // A rich edit tells its parent of changes and scrolling only as its event mask asks.
    bool masked_notices = false;
    DWORD event_mask = 0;  // ENM_*
    // Typed bytes of a character beyond ASCII still waiting for the rest of its sequence.
    std::string typed_partial;
};

inline DWORD Style(HWND h) { return DWORD(GetWindowLongA(h, GWL_STYLE)); }
inline bool Multi(HWND h) { return (Style(h) & ES_MULTILINE) != 0; }
inline size_t SelStart(const Edit* e) { return std::min(e->anchor, e->caret); }
inline size_t SelEnd(const Edit* e) { return std::max(e->anchor, e->caret); }

struct Line {
    size_t start, end;  // end excludes the line break
};
inline size_t LineOf(const std::vector<Line>& lines, size_t idx) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (idx <= lines[i].end) return i;
    return lines.size() - 1;
}

// Drawing context with the control's font selected.
struct FontDC {
    HWND h;
    HDC dc;
    HGDIOBJ old;
    FontDC(HWND hwnd, const Edit* e) : h(hwnd), dc(GetDC(hwnd)) {
        old = SelectObject(dc, e->font ? e->font : DefaultFont());
    }
    ~FontDC() {
        SelectObject(dc, old);
        ReleaseDC(h, dc);
    }
    FontDC(const FontDC&) = delete;
    FontDC& operator=(const FontDC&) = delete;
};

// Display lines: a multi-line edit without ES_AUTOHSCROLL wraps at word breaks.
std::vector<Line> Lines(HWND h, const Edit* e);
RECT FormatRect(HWND h, const Edit* e);
int LineHeight(HDC dc);
POINT PosOf(HWND h, const Edit* e, HDC dc, size_t idx);
size_t CharAt(HWND h, const Edit* e, HDC dc, POINT p);
void UpdateScrollBars(HWND h, Edit* e, HDC dc);
void ScrollCaret(HWND h, Edit* e);
void SyncWindowText(HWND h, const Edit* e);
void Changed(HWND h, Edit* e);
// EN_CHANGE, EN_UPDATE and the scroll notices, unless a rich edit's mask leaves them out.
void NotifyMasked(HWND h, const Edit* e, int code);
// Replaces the selection; returns false when nothing could be inserted.
bool ReplaceSel(HWND h, Edit* e, std::string ins, bool user, bool undoable = true);
void SetSel(HWND h, Edit* e, size_t anchor, size_t caret);
void Copy(HWND h, Edit* e);

// The edit control's own messages (EM_*), its clipboard and undo messages and WM_VSCROLL.
LRESULT OnEditMessage(HWND h, Edit* e, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace plat::controls::edit
