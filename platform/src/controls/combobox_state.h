// The combo box's state and the helpers its window procedure and its message handlers share.
#pragma once

#include <string>

#include "controls/listbox.h"

namespace plat::controls::combo {

constexpr int kEditId = 1001;
constexpr int kListId = 1000;

struct Combo {
    UINT type = CBS_DROPDOWNLIST;
    HWND edit = nullptr, list = nullptr;
    bool dropped = false;
    bool focus = false;
    bool button_down = false;  // the arrow drawn pressed
    bool opened_by_press = false;
    bool moved_into_list = false;
    int sel_on_open = -1;
    HFONT font = nullptr;
    int face_height = 0;  // the selection field's item height
    int drop_height = 100;  // the height the creator gave: face plus list
    int dropped_width = 0;
    bool extended_ui = false;
    WNDPROC edit_proc = nullptr;
    DWORD list_scroll = 0;
};

inline DWORD Style(HWND h) { return DWORD(GetWindowLongA(h, GWL_STYLE)); }
inline bool OwnerDrawn(HWND h) { return (Style(h) & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0; }
inline bool HasStrings(HWND h) { return !OwnerDrawn(h) || (Style(h) & CBS_HASSTRINGS); }
inline int CurSel(Combo* c) { return int(SendMessageA(c->list, LB_GETCURSEL, 0, 0)); }

void UpdateField(HWND h, Combo* c);  // shows the list's selection in the field
void Layout(HWND h, Combo* c);
RECT DropRect(HWND h, Combo* c);  // where the drop-down list goes, on the screen
void Open(HWND h, Combo* c);
void Close(HWND h, Combo* c, bool ok);
void FitHeight(HWND h, Combo* c);

// CB_GETCOMBOBOXINFO: the field, the button and the windows of the combo box.
LRESULT OnGetComboBoxInfo(HWND h, Combo* c, LPARAM lp);

// The messages the combo box answers for its list and its edit field (CB_*).
LRESULT OnComboMessage(HWND h, Combo* c, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace plat::controls::combo
