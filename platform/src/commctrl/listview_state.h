// The list view's state and the helpers its window procedure, its painting and its message
// handlers share.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "commctrl/common.h"
#include "commctrl/imagelist.h"
#include "windlg.h"

namespace plat::commctrl::listview {
constexpr int kCellPad = 4;  // text inset inside a cell
constexpr int kStateWidth = 16;

struct Item {
    std::vector<std::string> text;  // by sub-item
    std::vector<bool> text_callback;  // LPSTR_TEXTCALLBACKA given for that sub-item
    std::vector<int> image;  // by sub-item; -1 none
    UINT state = 0;
    LPARAM param = 0;
    int indent = 0;
};

struct Column {
    int cx = 0;
    int fmt = LVCFMT_LEFT;
    int sub = 0;
    int image = -1;
};

struct ListView {
    HWND hwnd = nullptr;
    HWND header = nullptr;
    std::vector<Item> items;
    std::vector<Column> cols;
    DWORD ex = 0;
    HIMAGELIST il_normal = nullptr, il_small = nullptr, il_state = nullptr;
    // Colours the program set; those it did not follow the system colours, read when used
    // (never kept across WM_SYSCOLORCHANGE).
    std::optional<COLORREF> set_bk, set_text, set_textbk;
    COLORREF Bk() const { return set_bk ? *set_bk : GetSysColor(COLOR_WINDOW); }
    COLORREF Text() const { return set_text ? *set_text : GetSysColor(COLOR_WINDOWTEXT); }
    COLORREF TextBk() const { return set_textbk ? *set_textbk : GetSysColor(COLOR_WINDOW); }
    HFONT font = nullptr;
    int top = 0;  // first visible row
    int scroll_x = 0;  // horizontal scroll in pixels
    int anchor = -1;  // selection mark for Shift ranges
    int wheel = 0;  // unused wheel delta
    UINT callback_mask = 0;
    bool in_layout = false;
    bool focused = false;
    bool click_pending = false;
    bool rclick_pending = false;
    POINT click_pt{};
};

inline ListView* L(HWND h) { return State<ListView>(h); }

inline DWORD Style(HWND h) { return DWORD(GetWindowLongA(h, GWL_STYLE)); }
inline bool Report(HWND h) { return (Style(h) & LVS_TYPEMASK) == LVS_REPORT; }
inline bool HasChecks(const ListView& s) { return (s.ex & LVS_EX_CHECKBOXES) || s.il_state; }
inline int CheckIndex(UINT state) { return int((state & LVIS_STATEIMAGEMASK) >> 12); }

// Geometry of the report view, in client coordinates.
int RowHeight(const ListView& s);
int TotalWidth(const ListView& s);  // all columns side by side
int ColumnLeft(const ListView& s, int col);
RECT ContentRect(HWND h, const ListView& s);  // the client area below the header
int PerPage(HWND h, const ListView& s);
RECT RowBounds(HWND h, const ListView& s, int i);
RECT CellRect(HWND h, const ListView& s, int i, int col);
void FirstCellParts(HWND h, const ListView& s, int i, RECT* state, RECT* icon, RECT* label);

// A cell's text and image, asked of the parent where the program gave a callback.
inline std::string RawText(const Item& it, int sub) {
    return sub < int(it.text.size()) ? it.text[size_t(sub)] : std::string();
}
std::string CellText(HWND h, const ListView& s, int i, int sub);
int CellImage(HWND h, const ListView& s, int i, int sub);
void EnsureSub(Item& it, int sub);
void SetText(Item& it, int sub, LPCSTR text);

void InvalidateRow(HWND h, const ListView& s, int i);
void Layout(HWND h);
void ScrollTo(HWND h, int top, int x);
void EnsureVisible(HWND h, int i);
bool SetItemState(HWND h, int i, UINT state, UINT mask);  // with the change notices
int SubItemHitTest(HWND h, const ListView& s, LVHITTESTINFO* ht);
int HitTest(HWND h, const ListView& s, LVHITTESTINFO* ht);

void Paint(HWND h, HDC dc, const RECT& clip);

bool DeleteAll(HWND h);
// After the header's items changed under the list; whether a column's width or alignment did.
bool SyncColumnsFromHeader(HWND h);
bool SetColumnWidth(HWND h, int at, int cx);

// The list view's own messages (LVM_*).
LRESULT OnListViewMessage(HWND h, ListView* s, UINT m, WPARAM w, LPARAM l);

}  // namespace plat::commctrl::listview
