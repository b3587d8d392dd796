// Menus: the data model, the menu bar in the frame, and tracking popup menus on windows of the
// class "#32768" that the layer draws (owner-drawn items through WM_MEASUREITEM/WM_DRAWITEM).
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gdi/objects.h"
#include "kernel/kobjects.h"
#include "user/classes.h"
#include "user/modal.h"
#include "user/queue.h"
#include "user/window.h"

namespace plat::user {
void FillSolid(HDC hdc, const RECT& r, COLORREF c);  // nonclient.cpp
void Frame3D(HDC hdc, const RECT& r, COLORREF tl, COLORREF br);

namespace {

struct MenuItem {
    UINT type = MFT_STRING;
    UINT state = 0;
    UINT id = 0;
    HMENU sub = nullptr;
    std::string text;
    ULONG_PTR data = 0;
    HBITMAP bitmap = nullptr;
    HBITMAP checked = nullptr;
    HBITMAP unchecked = nullptr;
};

struct Menu {
    bool popup = false;
    std::vector<MenuItem> items;
    DWORD style = 0;
    UINT max_height = 0;
    HBRUSH back = nullptr;
    DWORD help_id = 0;
    ULONG_PTR data = 0;
};

HandleTable<Menu>& Menus() {
    static auto* t = new HandleTable<Menu>(HandleKind::Menu);
    return *t;
}

Menu* M(HMENU h) { return Menus().GetRaw(h); }

// Finds an item by command (searching submenus too) or by position; fills the menu it is in.
MenuItem* FindItem(HMENU h, UINT item, bool by_position, HMENU* owner_menu = nullptr, int* index = nullptr, int depth = 0) {
    Menu* m = M(h);
    if (!m || depth > 16) return nullptr;
    if (by_position) {
        if (item >= m->items.size()) return nullptr;
        if (owner_menu) *owner_menu = h;
        if (index) *index = int(item);
        return &m->items[item];
    }
    for (size_t i = 0; i < m->items.size(); ++i) {
        MenuItem& it = m->items[i];
        if (!it.sub && it.id == item) {
            if (owner_menu) *owner_menu = h;
            if (index) *index = int(i);
            return &it;
        }
        if (it.sub) {
            if (MenuItem* r = FindItem(it.sub, item, false, owner_menu, index, depth + 1)) return r;
            if (it.id == item) {  // a popup item's own id, after its contents
                if (owner_menu) *owner_menu = h;
                if (index) *index = int(i);
                return &it;
            }
        }
    }
    return nullptr;
}

// Builds an item from the flags of AppendMenu/InsertMenu/ModifyMenu.
bool ItemFromFlags(UINT flags, UINT_PTR id, LPCSTR data, MenuItem* it) {
    it->type = flags & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_MENUBARBREAK | MF_MENUBREAK | MF_RIGHTJUSTIFY);
    it->state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
    if (flags & MF_POPUP) {
        it->sub = reinterpret_cast<HMENU>(id);
        if (!M(it->sub)) return false;
        M(it->sub)->popup = true;
        it->id = UINT(-1);
    } else {
        it->id = UINT(id);
        it->sub = nullptr;
    }
    it->text.clear();
    it->data = 0;
    it->bitmap = nullptr;
    if (flags & MF_OWNERDRAW) {
        it->data = reinterpret_cast<ULONG_PTR>(data);
    } else if (flags & MF_BITMAP) {
        it->bitmap = reinterpret_cast<HBITMAP>(const_cast<char*>(data));
    } else if (!(flags & MF_SEPARATOR) && data) {
        it->text = data;
    }
    return true;
}

UINT StateFlags(const MenuItem& it) {
    UINT f = it.type | it.state;
    if (it.sub) f |= MF_POPUP;
    return f;
}

HFONT MenuFont() {
    static HFONT font = [] {
        NONCLIENTMETRICSA m{};
        m.cbSize = sizeof(m);
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(m), &m, 0);
        HFONT f = CreateFontIndirectA(&m.lfMenuFont);
        gdi::KeepForever(f);
        return f;
    }();
    return font;
}

std::string Strip(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&' && i + 1 < s.size()) {
            if (s[i + 1] == '&') out += '&';
            else out += s[i + 1];
            ++i;
            continue;
        }
        out += s[i];
    }
    return out;
}

char Mnemonic(const std::string& s) {
    for (size_t i = 0; i + 1 < s.size(); ++i)
        if (s[i] == '&') {
            if (s[i + 1] == '&') {
                ++i;
                continue;
            }
            return char(toupper(static_cast<unsigned char>(s[i + 1])));
        }
    return 0;
}

SIZE TextSize(HDC dc, const std::string& s) {
    SIZE sz{0, 0};
    if (!s.empty()) GetTextExtentPoint32A(dc, s.c_str(), int(s.size()), &sz);
    if (sz.cy == 0) sz.cy = 13;
    return sz;
}

void DrawTextAt(HDC dc, int x, int y, const std::string& s, COLORREF c) {
    SetTextColor(dc, c);
    SetBkMode(dc, TRANSPARENT);
    ExtTextOutA(dc, x, y, 0, nullptr, s.c_str(), UINT(s.size()), nullptr);
}

// Menu bar layout: items left to right in one row.
std::vector<RECT> BarItemRects(HMENU menu, const RECT& bar) {
    std::vector<RECT> out;
    std::vector<std::string> texts;
    {
        Guard g(GlobalLock());
        Menu* m = M(menu);
        if (!m) return out;
        for (auto& it : m->items) texts.push_back(Strip(it.text));
    }
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, MenuFont());
    int x = bar.left;
    for (auto& t : texts) {
        SIZE sz = TextSize(dc, t);
        int w = sz.cx + 12;
        out.push_back(RECT{x, bar.top, x + w, bar.bottom - 1});
        x += w;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return out;
}

}  // namespace

int MenuBarHeight(HMENU menu, int) {
    Guard g(GlobalLock());
    return M(menu) ? GetSystemMetrics(SM_CYMENU) : 0;
}

void DrawMenuBarInto(HWND hwnd, HDC hdc, const RECT& bar, bool) {
    HMENU menu = GetMenu(hwnd);
    std::vector<MenuItem> items;
    {
        Guard g(GlobalLock());
        Menu* m = M(menu);
        if (!m) return;
        items = m->items;
    }
    FillSolid(hdc, bar, GetSysColor(COLOR_MENU));
    std::vector<RECT> rects = BarItemRects(menu, bar);
    HGDIOBJ old = SelectObject(hdc, MenuFont());
    for (size_t i = 0; i < items.size() && i < rects.size(); ++i) {
        const MenuItem& it = items[i];
        RECT r = rects[i];
        bool hot = (it.state & MF_HILITE) != 0;
        if (hot) Frame3D(hdc, r, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHILIGHT));
        bool gray = (it.state & (MF_GRAYED | MF_DISABLED)) != 0;
        std::string t = Strip(it.text);
        SIZE sz = TextSize(hdc, t);
        DrawTextAt(hdc, r.left + 6 + (hot ? 1 : 0), r.top + (r.bottom - r.top - sz.cy) / 2 + (hot ? 1 : 0), t,
                   GetSysColor(gray ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
    }
    SelectObject(hdc, old);
}

}  // namespace plat::user

using namespace plat;
using namespace plat::user;

// ---- the data model ----

extern "C" {

HMENU WINAPI CreateMenu(void) { return Menus().Add<HMENU>(std::make_shared<Menu>()); }

HMENU WINAPI CreatePopupMenu(void) {
    auto m = std::make_shared<Menu>();
    m->popup = true;
    return Menus().Add<HMENU>(m);
}

BOOL WINAPI DestroyMenu(HMENU menu) {
    std::vector<HMENU> subs;
    {
        Guard g(GlobalLock());
        auto m = Menus().Remove(menu);
        if (!m) {
            SetLastError(ERROR_INVALID_MENU_HANDLE);
            return FALSE;
        }
        for (auto& it : m->items)
            if (it.sub) subs.push_back(it.sub);
    }
    for (HMENU s : subs) DestroyMenu(s);  // submenus go with their parent
    return TRUE;
}

BOOL WINAPI IsMenu(HMENU menu) { return Menus().Valid(menu); }

BOOL WINAPI InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR item) {
    Guard g(GlobalLock());
    Menu* m = M(menu);
    if (!m) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    MenuItem it;
    if (!ItemFromFlags(flags, id, item, &it)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    HMENU target = menu;
    int index = int(m->items.size());
    if (flags & MF_BYPOSITION) {
        if (position < m->items.size()) index = int(position);
    } else if (position != UINT(-1)) {
        if (!FindItem(menu, position, false, &target, &index)) {
            // Not found by command: the platform appends.
            target = menu;
            index = int(m->items.size());
        }
    }
    Menu* tm = M(target);
    tm->items.insert(tm->items.begin() + index, it);
    return TRUE;
}

BOOL WINAPI AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR item) {
    return InsertMenuA(menu, UINT(-1), (flags & ~UINT(MF_BYPOSITION)) | MF_BYPOSITION, id, item);
}

BOOL WINAPI ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR item) {
    Guard g(GlobalLock());
    MenuItem* it = FindItem(menu, position, (flags & MF_BYPOSITION) != 0);
    if (!it) {
        SetLastError(M(menu) ? 1456 /* ERROR_MENU_ITEM_NOT_FOUND */ : ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    HMENU old_sub = it->sub;
    MenuItem n;
    if (!ItemFromFlags(flags, id, item, &n)) return FALSE;
    if (old_sub && old_sub != n.sub) DestroyMenu(old_sub);
    *it = n;
    return TRUE;
}

static BOOL RemoveItem(HMENU menu, UINT position, UINT flags, bool destroy_sub) {
    HMENU sub = nullptr;
    {
        Guard g(GlobalLock());
        HMENU owner = nullptr;
        int index = -1;
        MenuItem* it = FindItem(menu, position, (flags & MF_BYPOSITION) != 0, &owner, &index);
        if (!it) {
            SetLastError(M(menu) ? 1456 : ERROR_INVALID_MENU_HANDLE);
            return FALSE;
        }
        sub = it->sub;
        Menu* m = M(owner);
        m->items.erase(m->items.begin() + index);
    }
    if (destroy_sub && sub) DestroyMenu(sub);
    return TRUE;
}

BOOL WINAPI DeleteMenu(HMENU menu, UINT position, UINT flags) { return RemoveItem(menu, position, flags, true); }
BOOL WINAPI RemoveMenu(HMENU menu, UINT position, UINT flags) { return RemoveItem(menu, position, flags, false); }

BOOL WINAPI GetMenuItemInfoA(HMENU menu, UINT item, BOOL by_position, LPMENUITEMINFOA info) {
    if (!info || (info->cbSize != sizeof(MENUITEMINFOA) && info->cbSize != 44 && info->cbSize != 48)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Guard g(GlobalLock());
    MenuItem* it = FindItem(menu, item, by_position != FALSE);
    if (!it) {
        SetLastError(M(menu) ? 1456 : ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    UINT mask = info->fMask;
    if (mask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = it->type;
    if (mask & MIIM_STATE) info->fState = it->state;
    if (mask & MIIM_ID) info->wID = it->id;
    if (mask & MIIM_SUBMENU) info->hSubMenu = it->sub;
    if (mask & MIIM_CHECKMARKS) {
        info->hbmpChecked = it->checked;
        info->hbmpUnchecked = it->unchecked;
    }
    if (mask & MIIM_DATA) info->dwItemData = it->data;
    if (mask & MIIM_BITMAP) info->hbmpItem = it->bitmap;
    bool text_item = !(it->type & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW));
    if ((mask & MIIM_TYPE) && !text_item) {
        // Old-style type queries hand back the bitmap or owner data in dwTypeData.
        if (it->type & MFT_BITMAP) info->dwTypeData = reinterpret_cast<LPSTR>(it->bitmap);
        if (it->type & MFT_OWNERDRAW) info->dwTypeData = reinterpret_cast<LPSTR>(it->data);
        info->cch = 0;
    } else if (mask & (MIIM_TYPE | MIIM_STRING)) {
        UINT len = UINT(it->text.size());
        if (info->dwTypeData && info->cch > 0) {
            UINT n = std::min(len, info->cch - 1);
            memcpy(info->dwTypeData, it->text.data(), n);
            info->dwTypeData[n] = 0;
            info->cch = n;
        } else {
            info->cch = len;
        }
    }
    return TRUE;
}

BOOL WINAPI SetMenuItemInfoA(HMENU menu, UINT item, BOOL by_position, LPCMENUITEMINFOA info) {
    if (!info || (info->cbSize != sizeof(MENUITEMINFOA) && info->cbSize != 44 && info->cbSize != 48)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Guard g(GlobalLock());
    MenuItem* it = FindItem(menu, item, by_position != FALSE);
    if (!it) {
        SetLastError(M(menu) ? 1456 : ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    UINT mask = info->fMask;
    if (mask & MIIM_FTYPE) it->type = info->fType & ~UINT(MFT_BITMAP);
    if (mask & MIIM_TYPE) {
        it->type = info->fType;
        if (info->fType & MFT_BITMAP) it->bitmap = reinterpret_cast<HBITMAP>(info->dwTypeData);
        else if (info->fType & MFT_OWNERDRAW) it->data = reinterpret_cast<ULONG_PTR>(info->dwTypeData);
        else if (!(info->fType & MFT_SEPARATOR)) it->text = info->dwTypeData ? info->dwTypeData : "";
    }
    if (mask & MIIM_STRING) it->text = info->dwTypeData ? info->dwTypeData : "";
    if (mask & MIIM_STATE) it->state = info->fState;
    if (mask & MIIM_ID) it->id = info->wID;
    if (mask & MIIM_SUBMENU) {
        if (info->hSubMenu && !M(info->hSubMenu)) return FALSE;
        it->sub = info->hSubMenu;
        if (it->sub) M(it->sub)->popup = true;
    }
    if (mask & MIIM_CHECKMARKS) {
        it->checked = info->hbmpChecked;
        it->unchecked = info->hbmpUnchecked;
    }
    if (mask & MIIM_DATA) it->data = info->dwItemData;
    if (mask & MIIM_BITMAP) it->bitmap = info->hbmpItem;
    return TRUE;
}

BOOL WINAPI InsertMenuItemA(HMENU menu, UINT item, BOOL by_position, LPCMENUITEMINFOA info) {
    if (!info) return FALSE;
    {
        Guard g(GlobalLock());
        Menu* m = M(menu);
        if (!m) {
            SetLastError(ERROR_INVALID_MENU_HANDLE);
            return FALSE;
        }
        HMENU target = menu;
        int index = int(m->items.size());
        if (by_position) {
            if (item < m->items.size()) index = int(item);
        } else if (!FindItem(menu, item, false, &target, &index)) {
            target = menu;
            index = int(m->items.size());
        }
        M(target)->items.insert(M(target)->items.begin() + index, MenuItem{});
        MENUITEMINFOA copy = *info;
        copy.cbSize = sizeof(copy);
        if (!SetMenuItemInfoA(target, UINT(index), TRUE, &copy)) {
            M(target)->items.erase(M(target)->items.begin() + index);
            return FALSE;
        }
    }
    return TRUE;
}

DWORD WINAPI CheckMenuItem(HMENU menu, UINT item, UINT check) {
    Guard g(GlobalLock());
    MenuItem* it = FindItem(menu, item, (check & MF_BYPOSITION) != 0);
    if (!it) return DWORD(-1);
    DWORD old = it->state & MF_CHECKED;
    if (check & MF_CHECKED) it->state |= MF_CHECKED;
    else it->state &= ~UINT(MF_CHECKED);
    return old;
}

BOOL WINAPI CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
    Guard g(GlobalLock());
    bool found = false;
    if (flags & MF_BYPOSITION) {
        Menu* m = M(menu);
        if (!m) return FALSE;
        for (UINT i = first; i <= last && i < m->items.size(); ++i) {
            MenuItem& it = m->items[i];
            if (i == check) {
                it.state |= MF_CHECKED;
                it.type |= MFT_RADIOCHECK;
                found = true;
            } else {
                it.state &= ~UINT(MF_CHECKED);
            }
        }
    } else {
        for (UINT id = first; id <= last; ++id) {
            MenuItem* it = FindItem(menu, id, false);
            if (!it) continue;
            if (id == check) {
                it->state |= MF_CHECKED;
                it->type |= MFT_RADIOCHECK;
                found = true;
            } else {
                it->state &= ~UINT(MF_CHECKED);
            }
            if (id == UINT(-1)) break;
        }
    }
    return found;
}

BOOL WINAPI EnableMenuItem(HMENU menu, UINT item, UINT enable) {
    Guard g(GlobalLock());
    MenuItem* it = FindItem(menu, item, (enable & MF_BYPOSITION) != 0);
    if (!it) return -1;
    BOOL old = BOOL(it->state & (MF_GRAYED | MF_DISABLED));
    it->state = (it->state & ~UINT(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return old;
}

BOOL WINAPI SetMenuDefaultItem(HMENU menu, UINT item, UINT by_position) {
    Guard g(GlobalLock());
    Menu* m = M(menu);
    if (!m) return FALSE;
    for (auto& it : m->items) it.state &= ~UINT(MFS_DEFAULT);
    if (item == UINT(-1)) return TRUE;
    MenuItem* it = FindItem(menu, item, by_position != 0);
    if (!it) return FALSE;
    it->state |= MFS_DEFAULT;
    return TRUE;
}

UINT WINAPI GetMenuDefaultItem(HMENU menu, UINT by_position, UINT) {
    Guard g(GlobalLock());
    Menu* m = M(menu);
    if (!m) return UINT(-1);
    for (size_t i = 0; i < m->items.size(); ++i)
        if (m->items[i].state & MFS_DEFAULT) return by_position ? UINT(i) : m->items[i].id;
    return UINT(-1);
}

HMENU WINAPI GetSubMenu(HMENU menu, int position) {
    Guard g(GlobalLock());
    Menu* m = M(menu);
    if (!m || position < 0 || size_t(position) >= m->items.size()) return nullptr;
    return m->items[size_t(position)].sub;
}

int WINAPI GetMenuItemCount(HMENU menu) {
    Guard g(GlobalLock());
    Menu* m = M(menu);
    if (!m) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return -1;
    }
    return int(m->items.size());
}

UINT WINAPI GetMenuItemID(HMENU menu, int position) {
    Guard g(GlobalLock());
    Menu* m = M(menu);
    if (!m || position < 0 || size_t(position) >= m->items.size()) return UINT(-1);
    const MenuItem& it = m->items[size_t(position)];
    return it.sub ? UINT(-1) : it.id;
}

UINT WINAPI GetMenuState(HMENU menu, UINT id, UINT flags) {
    Guard g(GlobalLock());
    MenuItem* it = FindItem(menu, id, (flags & MF_BYPOSITION) != 0);
    if (!it) return UINT(-1);
    UINT f = StateFlags(*it);
    if (it->sub) {
        Menu* s = M(it->sub);
        f = (f & 0xFF) | (UINT(s ? s->items.size() : 0) << 8);
    }
    return f;
}

int WINAPI GetMenuStringA(HMENU menu, UINT item, LPSTR text, int max, UINT flags) {
    Guard g(GlobalLock());
    MenuItem* it = FindItem(menu, item, (flags & MF_BYPOSITION) != 0);
    if (!it) return 0;
    int len = int(it->text.size());
    if (!text || max <= 0) return len;
    int n = std::min(len, max - 1);
    memcpy(text, it->text.data(), size_t(n));
    text[n] = 0;
    return n;
}

BOOL WINAPI GetMenuInfo(HMENU menu, LPMENUINFO info) {
    Guard g(GlobalLock());
    Menu* m = M(menu);
    if (!m || !info || info->cbSize != sizeof(MENUINFO)) return FALSE;
    if (info->fMask & MIM_STYLE) info->dwStyle = m->style;
    if (info->fMask & MIM_MAXHEIGHT) info->cyMax = m->max_height;
    if (info->fMask & MIM_BACKGROUND) info->hbrBack = m->back;
    if (info->fMask & MIM_HELPID) info->dwContextHelpID = m->help_id;
    if (info->fMask & MIM_MENUDATA) info->dwMenuData = m->data;
    return TRUE;
}

BOOL WINAPI SetMenuInfo(HMENU menu, LPCMENUINFO info) {
    Guard g(GlobalLock());
    Menu* m = M(menu);
    if (!m || !info || info->cbSize != sizeof(MENUINFO)) return FALSE;
    if (info->fMask & MIM_STYLE) m->style = info->dwStyle;
    if (info->fMask & MIM_MAXHEIGHT) m->max_height = info->cyMax;
    if (info->fMask & MIM_BACKGROUND) m->back = info->hbrBack;
    if (info->fMask & MIM_HELPID) m->help_id = info->dwContextHelpID;
    if (info->fMask & MIM_MENUDATA) m->data = info->dwMenuData;
    return TRUE;
}

HMENU WINAPI GetSystemMenu(HWND hwnd, BOOL revert) {
    HMENU old = nullptr;
    {
        LockedWindow w(hwnd, Lookup::Quiet);
        if (!w) return nullptr;
        if (revert) {
            old = w->sysmenu;
            w->sysmenu = nullptr;
        } else if (w->sysmenu && M(w->sysmenu)) {
            return w->sysmenu;
        }
    }
    if (revert) {
        if (old) DestroyMenu(old);
        return nullptr;
    }
    HMENU m = CreatePopupMenu();
    AppendMenuA(m, MF_STRING, SC_RESTORE, "&Restore");
    AppendMenuA(m, MF_STRING, SC_MOVE, "&Move");
    AppendMenuA(m, MF_STRING, SC_SIZE, "&Size");
    AppendMenuA(m, MF_STRING, SC_MINIMIZE, "Mi&nimize");
    AppendMenuA(m, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
    AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(m, MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
    SetMenuDefaultItem(m, SC_CLOSE, FALSE);
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    if (!w) {
        DestroyMenu(m);
        return nullptr;
    }
    w->sysmenu = m;
    return m;
}

HMENU WINAPI GetMenu(HWND hwnd) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    if (!w || (w->style & WS_CHILD)) return nullptr;
    return w->menu;
}

BOOL WINAPI SetMenu(HWND hwnd, HMENU menu) {
    {
        Guard g(GlobalLock());
        Window* w = W(hwnd);
        if (!w || (w->style & WS_CHILD)) {
            SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (menu && !M(menu)) {
            SetLastError(ERROR_INVALID_MENU_HANDLE);
            return FALSE;
        }
        w->menu = menu;
    }
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return TRUE;
}

BOOL WINAPI DrawMenuBar(HWND hwnd) {
    LockedWindow w(hwnd);
    if (!w) return FALSE;
    w->frame_pending = true;
    return TRUE;
}

BOOL WINAPI HiliteMenuItem(HWND hwnd, HMENU menu, UINT item, UINT hilite) {
    {
        Guard g(GlobalLock());
        MenuItem* it = FindItem(menu, item, (hilite & MF_BYPOSITION) != 0);
        if (!it) return FALSE;
        if (hilite & MF_HILITE) it->state |= MF_HILITE;
        else it->state &= ~UINT(MF_HILITE);
    }
    DrawMenuBar(hwnd);
    return TRUE;
}

LONG WINAPI GetMenuCheckMarkDimensions(void) {
    return MAKELONG(GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK));
}

BOOL WINAPI GetMenuItemRect(HWND hwnd, HMENU menu, UINT item, LPRECT rect) {
    if (!rect) return FALSE;
    if (hwnd && GetMenu(hwnd) == menu) {
        NcLayout l;
        RECT wr;
        {
            LockedWindow w(hwnd, Lookup::Quiet);
            if (!w) return FALSE;
            l = LayoutOf(w);
            wr = ScreenWindowRect(w);
        }
        auto rects = BarItemRects(menu, l.menu_bar);
        if (item >= rects.size()) return FALSE;
        *rect = rects[item];
        OffsetRect(rect, wr.left, wr.top);
        return TRUE;
    }
    return FALSE;
}

}  // extern "C"

// ---- tracking ----

namespace plat::user {
void FillSolid(HDC hdc, const RECT& r, COLORREF c);
void Frame3D(HDC hdc, const RECT& r, COLORREF tl, COLORREF br);
POINT CursorPosInternal();
namespace {

constexpr int kBorder = 3;
constexpr int kItemHeight = 18;
constexpr int kSeparatorHeight = 9;
constexpr int kCheckColumn = 18;

struct Level {
    HMENU menu = nullptr;
    HWND wnd = nullptr;        // null for the menu bar level
    std::vector<RECT> rects;   // item rectangles in screen coordinates
    std::vector<MenuItem> items;
    int sel = -1;
    RECT screen{0, 0, 0, 0};
};

class Tracker;
Tracker* g_tracker = nullptr;  // the one menu being tracked (display thread)

class Tracker {
public:
    Tracker(HWND owner, UINT flags, bool bar, bool sys) : owner_(owner), flags_(flags), bar_(bar), sys_(sys) {}

    HWND owner_;
    UINT flags_;
    bool bar_;
    bool sys_;
    std::vector<Level> levels_;
    UINT result_ = 0;
    bool chosen_ = false;
    bool done_ = false;
    HWND bar_hwnd_ = nullptr;

    bool Notify() const { return !(flags_ & TPM_NONOTIFY); }

    void Measure(Level& lv, HDC dc, POINT at) {
        int y = kBorder;
        int text_w = 0, accel_w = 0;
        std::vector<int> heights;
        for (size_t i = 0; i < lv.items.size(); ++i) {
            const MenuItem& it = lv.items[i];
            int h = kItemHeight;
            if (it.type & MFT_OWNERDRAW) {  // the owner measures and draws even its separators
                MEASUREITEMSTRUCT mis{ODT_MENU, 0, it.id, 0, 0, it.data};
                SendMessageA(owner_, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
                h = int(mis.itemHeight);
                text_w = std::max(text_w, int(mis.itemWidth));
            } else if (it.type & MFT_SEPARATOR) {
                h = kSeparatorHeight;
            } else {
                std::string t = Strip(it.text);
                size_t tab = t.find('\t');
                SIZE a = TextSize(dc, t.substr(0, tab));
                text_w = std::max<int>(text_w, a.cx);
                if (tab != std::string::npos) accel_w = std::max<int>(accel_w, TextSize(dc, t.substr(tab + 1)).cx);
            }
            heights.push_back(h);
        }
        int width = kCheckColumn + text_w + (accel_w ? accel_w + 16 : 0) + kCheckColumn + 2 * kBorder;
        width = std::max(width, 60);
        lv.rects.clear();
        for (int h : heights) {
            lv.rects.push_back(RECT{at.x + kBorder, at.y + y, at.x + width - kBorder, at.y + y + h});
            y += h;
        }
        lv.screen = RECT{at.x, at.y, at.x + width, at.y + y + kBorder};
    }

    void OpenPopup(HMENU menu, POINT at, const RECT* exclude, bool right_of) {
        if (Notify() || bar_) {
            int pos = 0;
            SendMessageA(owner_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(pos, sys_ ? 1 : 0));
        }
        Level lv;
        lv.menu = menu;
        {
            Guard g(GlobalLock());
            Menu* m = M(menu);
            if (!m) return;
            lv.items = m->items;
        }
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, MenuFont());
        Measure(lv, dc, POINT{0, 0});
        SelectObject(dc, old);
        DeleteDC(dc);
        int w = lv.screen.right, h = lv.screen.bottom;
        // Alignment, then keep it on the screen (flipping to the other side when needed).
        if (!right_of && levels_.empty() && !bar_) {
            if (flags_ & TPM_RIGHTALIGN) at.x -= w;
            else if (flags_ & TPM_CENTERALIGN) at.x -= w / 2;
            if (flags_ & TPM_BOTTOMALIGN) at.y -= h;
            else if (flags_ & TPM_VCENTERALIGN) at.y -= h / 2;
        }
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        if (at.x + w > work.right) at.x = (right_of && exclude) ? exclude->left - w : work.right - w;
        if (at.y + h > work.bottom) at.y = (exclude && !right_of) ? exclude->top - h : work.bottom - h;
        if (at.x < work.left) at.x = work.left;
        if (at.y < work.top) at.y = work.top;
        for (auto& r : lv.rects) OffsetRect(&r, at.x, at.y);
        OffsetRect(&lv.screen, at.x, at.y);
        lv.wnd = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "#32768", "", WS_POPUP | WS_CLIPSIBLINGS, at.x, at.y,
                                 w, h, owner_, nullptr, nullptr, nullptr);
        SetPropA(lv.wnd, "velmora.menu.level", reinterpret_cast<HANDLE>(uintptr_t(levels_.size() + 1)));
        levels_.push_back(lv);
        ShowWindow(lv.wnd, SW_SHOWNA);
        UpdateWindow(lv.wnd);
    }

    void CloseFrom(size_t level) {
        while (levels_.size() > level) {
            Level lv = levels_.back();
            levels_.pop_back();
            if (lv.wnd) {
                DestroyWindow(lv.wnd);
                if (Notify() || bar_)
                    SendMessageA(owner_, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(lv.menu), 0);
            } else if (bar_hwnd_) {
                SetBarHilite(-1);
            }
        }
    }

    void SetBarHilite(int index) {
        if (levels_.empty() || levels_[0].wnd) return;
        HMENU menu = levels_[0].menu;
        {
            Guard g(GlobalLock());
            Menu* m = M(menu);
            if (!m) return;
            for (size_t i = 0; i < m->items.size(); ++i) {
                if (int(i) == index) m->items[i].state |= MF_HILITE;
                else m->items[i].state &= ~UINT(MF_HILITE);
            }
        }
        RedrawWindow(bar_hwnd_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
    }

    void Select(size_t level, int index, bool open_sub, bool mouse) {
        if (level >= levels_.size()) return;
        Level& lv = levels_[level];
        if (lv.sel == index && !open_sub) return;
        CloseFrom(level + 1);
        Level& l2 = levels_[level];
        l2.sel = index;
        if (!l2.wnd) SetBarHilite(index);
        else InvalidateRect(l2.wnd, nullptr, TRUE);
        if (index >= 0 && index < int(l2.items.size())) {
            const MenuItem& it = l2.items[size_t(index)];
            UINT f = StateFlags(it) | MF_HILITE | (mouse ? MF_MOUSESELECT : 0);
            UINT item = it.sub ? UINT(index) : it.id;
            if (Notify() || bar_)
                SendMessageA(owner_, WM_MENUSELECT, MAKEWPARAM(item, f & 0xFFFF), reinterpret_cast<LPARAM>(l2.menu));
            if (open_sub && it.sub && !(it.state & (MF_GRAYED | MF_DISABLED))) {
                RECT r = l2.rects[size_t(index)];
                if (l2.wnd)
                    OpenPopup(it.sub, POINT{r.right - 2, r.top - kBorder}, &r, true);
                else
                    OpenPopup(it.sub, POINT{r.left, r.bottom + 1}, &r, false);
            }
        }
        if (levels_[level].wnd) UpdateWindow(levels_[level].wnd);
    }

    bool HitTest(POINT p, size_t* level, int* index) const {
        for (size_t i = levels_.size(); i-- > 0;) {
            const Level& lv = levels_[i];
            for (size_t k = 0; k < lv.rects.size(); ++k) {
                const RECT& r = lv.rects[k];
                if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) {
                    *level = i;
                    *index = int(k);
                    return true;
                }
            }
            const RECT& s = lv.screen;
            if (lv.wnd && p.x >= s.left && p.x < s.right && p.y >= s.top && p.y < s.bottom) {
                *level = i;
                *index = -1;
                return true;
            }
        }
        return false;
    }

    void Execute(const MenuItem& it) {
        if (it.sub || (it.type & MFT_SEPARATOR) || (it.state & (MF_GRAYED | MF_DISABLED))) return;
        result_ = it.id;
        chosen_ = true;
        done_ = true;
    }

    bool Selectable(const MenuItem& it) const { return !(it.type & MFT_SEPARATOR); }

    void MoveSelection(int dir) {
        Level& lv = levels_.back();
        int n = int(lv.items.size());
        if (n == 0) return;
        int i = lv.sel < 0 ? (dir > 0 ? -1 : n) : lv.sel;
        for (int step = 0; step < n; ++step) {
            i = (i + dir + n) % n;
            if (Selectable(lv.items[size_t(i)])) break;
        }
        Select(levels_.size() - 1, i, false, false);
    }

    void Key(UINT vk) {
        if (levels_.empty()) return;
        Level& top = levels_.back();
        bool on_bar = !top.wnd;
        switch (vk) {
            case VK_ESCAPE:
                if (levels_.size() <= 1) {
                    done_ = true;
                } else if (levels_.size() == 2 && bar_) {
                    int s = levels_[0].sel;
                    CloseFrom(1);
                    Select(0, s, false, false);
                } else {
                    CloseFrom(levels_.size() - 1);
                }
                break;
            case VK_UP:
            case VK_DOWN:
                if (on_bar) {
                    Select(0, top.sel < 0 ? 0 : top.sel, true, false);
                    if (levels_.size() > 1) MoveSelection(1);
                } else {
                    MoveSelection(vk == VK_UP ? -1 : 1);
                }
                break;
            case VK_LEFT:
            case VK_RIGHT:
                if (on_bar) {
                    Level& b = levels_[0];
                    int n = int(b.items.size());
                    if (n) Select(0, ((b.sel < 0 ? 0 : b.sel) + (vk == VK_LEFT ? -1 : 1) + n) % n, false, false);
                } else if (vk == VK_RIGHT && top.sel >= 0 && top.items[size_t(top.sel)].sub) {
                    Select(levels_.size() - 1, top.sel, true, false);
                    if (levels_.back().wnd) MoveSelection(1);
                } else if (vk == VK_LEFT && levels_.size() > (bar_ ? 2u : 1u)) {
                    CloseFrom(levels_.size() - 1);
                } else if (bar_) {
                    Level& b = levels_[0];
                    int n = int(b.items.size());
                    int s = ((b.sel < 0 ? 0 : b.sel) + (vk == VK_LEFT ? -1 : 1) + n) % n;
                    Select(0, s, true, false);
                    if (levels_.size() > 1) MoveSelection(1);
                }
                break;
            case VK_RETURN:
            case VK_SPACE:
                if (top.sel >= 0) {
                    const MenuItem& it = top.items[size_t(top.sel)];
                    if (it.sub) {
                        Select(levels_.size() - 1, top.sel, true, false);
                        if (levels_.back().wnd && levels_.back().menu == it.sub) MoveSelection(1);
                    } else {
                        Execute(it);
                    }
                }
                break;
            default: break;
        }
    }

    void Char(UINT ch) {
        if (levels_.empty()) return;
        Level& top = levels_.back();
        char c = char(toupper(int(ch & 0xFF)));
        for (size_t i = 0; i < top.items.size(); ++i) {
            if (Mnemonic(top.items[i].text) != c) continue;
            if (top.items[i].sub) {
                Select(levels_.size() - 1, int(i), true, false);
                if (levels_.back().wnd) MoveSelection(1);
            } else {
                Select(levels_.size() - 1, int(i), false, false);
                Execute(top.items[i]);
            }
            return;
        }
        // No mnemonic of ours (owner-drawn items have no text here): the owner may know one.
        LRESULT r = SendMessageA(owner_, WM_MENUCHAR, MAKEWPARAM(ch & 0xFFFF, bar_ && levels_.size() == 1 ? 0 : MF_POPUP),
                                 reinterpret_cast<LPARAM>(top.menu));
        size_t index = LOWORD(r);
        if ((HIWORD(r) == MNC_EXECUTE || HIWORD(r) == MNC_SELECT) && index < levels_.back().items.size()) {
            bool sub = levels_.back().items[index].sub != nullptr;
            Select(levels_.size() - 1, int(index), sub && HIWORD(r) == MNC_EXECUTE, false);
            if (HIWORD(r) == MNC_EXECUTE && !sub) Execute(levels_[levels_.size() - 1].items[index]);
        } else if (HIWORD(r) == MNC_CLOSE) {
            done_ = true;
        }
    }

    void Mouse(UINT msg, POINT p) {
        size_t level;
        int index;
        bool hit = HitTest(p, &level, &index);
        bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_NCLBUTTONDOWN || msg == WM_NCRBUTTONDOWN;
        bool up = msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_NCLBUTTONUP || msg == WM_NCRBUTTONUP;
        bool move = msg == WM_MOUSEMOVE || msg == WM_NCMOUSEMOVE;
        if (hit && !levels_[level].wnd) {
            // On the menu bar: a press opens (or closes) the item's popup; moving while a popup
            // is open opens the neighbour's instead.
            bool was_open = levels_.size() > 1;
            if (down) {
                if (levels_[0].sel == index && was_open) CloseFrom(1);
                else Select(0, index, true, true);
            } else if (move && index >= 0 && levels_[0].sel != index) {
                Select(0, index, was_open, true);
            }
            return;
        }
        if (!hit) {
            if (down) done_ = true;  // a click outside ends the menu
            return;
        }
        if (msg == WM_MOUSEMOVE || msg == WM_NCMOUSEMOVE) {
            if (index < 0) return;
            bool sub = levels_[level].items[size_t(index)].sub != nullptr;
            Select(level, index, sub, true);
            return;
        }
        if (up && index >= 0) {
            const MenuItem& it = levels_[level].items[size_t(index)];
            if (!it.sub && levels_[level].wnd) Execute(it);
        }
    }

    std::vector<RECT> BarRects() {
        std::vector<RECT> out;
        if (!bar_hwnd_) return out;
        NcLayout l;
        RECT wr;
        HMENU menu;
        {
            LockedWindow w(bar_hwnd_, Lookup::Quiet);
            if (!w) return out;
            l = LayoutOf(w);
            wr = ScreenWindowRect(w);
            menu = w->menu;
        }
        out = BarItemRects(menu, l.menu_bar);
        for (auto& r : out) OffsetRect(&r, wr.left, wr.top);
        return out;
    }

    UINT Run() {
        HWND capture_wnd = levels_.empty() ? owner_ : (levels_.back().wnd ? levels_.back().wnd : owner_);
        SetCapture(capture_wnd);
        ModalLoopScope loop(LoopKind::Menu, capture_wnd);
        MSG m;
        while (!done_) {
            if (!GetMessageA(&m, nullptr, 0, 0)) {
                PostQuitMessage(int(m.wParam));
                break;
            }
            if (GetCapture() != capture_wnd && GetCapture() != nullptr) break;
            if (!IsWindow(owner_)) break;
            UINT msg = m.message;
            if ((msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || (msg >= WM_NCMOUSEMOVE && msg <= WM_NCMBUTTONDBLCLK)) {
                Mouse(msg, m.pt);
                continue;
            }
            if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) {
                if (m.wParam == VK_MENU || m.wParam == VK_F10) {
                    done_ = true;
                    continue;
                }
                Key(UINT(m.wParam));
                TranslateMessage(&m);
                continue;
            }
            if (msg == WM_CHAR || msg == WM_SYSCHAR) {
                Char(UINT(m.wParam));
                continue;
            }
            if (msg == WM_KEYUP || msg == WM_SYSKEYUP) continue;
            DispatchMessageA(&m);
        }
        CloseFrom(bar_ ? 1 : 0);
        if (bar_) {
            SetBarHilite(-1);
            levels_.clear();
        }
        if (GetCapture() == capture_wnd || GetCapture() == nullptr) ReleaseCapture();
        return chosen_ ? result_ : 0;
    }
};

LRESULT CALLBACK MenuWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_ERASEBKGND: return 1;
        case MN_GETHMENU: {
            size_t idx = size_t(reinterpret_cast<uintptr_t>(GetPropA(hwnd, "velmora.menu.level")));
            if (g_tracker && idx >= 1 && idx <= g_tracker->levels_.size())
                return reinterpret_cast<LRESULT>(g_tracker->levels_[idx - 1].menu);
            return 0;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            size_t idx = size_t(reinterpret_cast<uintptr_t>(GetPropA(hwnd, "velmora.menu.level")));
            if (dc && g_tracker && idx >= 1 && idx <= g_tracker->levels_.size()) {
                const Level& lv = g_tracker->levels_[idx - 1];
                RECT cr;
                GetClientRect(hwnd, &cr);
                FillSolid(dc, cr, GetSysColor(COLOR_MENU));
                Frame3D(dc, cr, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW));
                RECT in = cr;
                InflateRect(&in, -1, -1);
                Frame3D(dc, in, GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DSHADOW));
                HGDIOBJ old = SelectObject(dc, MenuFont());
                for (size_t i = 0; i < lv.items.size(); ++i) {
                    const MenuItem& it = lv.items[i];
                    RECT r = lv.rects[i];
                    OffsetRect(&r, -lv.screen.left, -lv.screen.top);
                    bool sel = int(i) == lv.sel;
                    bool gray = (it.state & (MF_GRAYED | MF_DISABLED)) != 0;
                    if ((it.type & MFT_SEPARATOR) && !(it.type & MFT_OWNERDRAW)) {
                        int y = (r.top + r.bottom) / 2 - 1;
                        FillSolid(dc, RECT{r.left + 1, y, r.right - 1, y + 1}, GetSysColor(COLOR_3DSHADOW));
                        FillSolid(dc, RECT{r.left + 1, y + 1, r.right - 1, y + 2}, GetSysColor(COLOR_3DHILIGHT));
                        continue;
                    }
                    if (it.type & MFT_OWNERDRAW) {
                        DRAWITEMSTRUCT dis{ODT_MENU, 0, it.id, ODA_DRAWENTIRE,
                                           UINT((sel ? ODS_SELECTED : 0) | (gray ? ODS_GRAYED : 0) |
                                                ((it.state & MF_DISABLED) ? ODS_DISABLED : 0) |
                                                ((it.state & MF_CHECKED) ? ODS_CHECKED : 0)),
                                           reinterpret_cast<HWND>(lv.menu), dc, r, it.data};
                        SendMessageA(g_tracker->owner_, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
                        continue;
                    }
                    if (sel) FillSolid(dc, r, GetSysColor(COLOR_HIGHLIGHT));
                    COLORREF tc = GetSysColor(gray ? COLOR_GRAYTEXT : sel ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
                    std::string t = Strip(it.text);
                    size_t tab = t.find('\t');
                    SIZE sz = TextSize(dc, t.substr(0, tab));
                    int ty = r.top + (r.bottom - r.top - sz.cy) / 2;
                    DrawTextAt(dc, r.left + kCheckColumn, ty, t.substr(0, tab), tc);
                    if (tab != std::string::npos) {
                        std::string acc = t.substr(tab + 1);
                        SIZE a = TextSize(dc, acc);
                        DrawTextAt(dc, r.right - kCheckColumn - a.cx, ty, acc, tc);
                    }
                    if (it.state & MF_CHECKED) {
                        int cx = r.left + 8, cy = (r.top + r.bottom) / 2;
                        for (int k = 0; k < 3; ++k) FillSolid(dc, RECT{cx - 3 + k, cy - 1 + k, cx - 2 + k, cy + 2 + k}, tc);
                        for (int k = 0; k < 4; ++k) FillSolid(dc, RECT{cx + k, cy + 1 - k, cx + 1 + k, cy + 4 - k}, tc);
                    }
                    if (it.sub) {
                        int cx = r.right - 9, cy = (r.top + r.bottom) / 2;
                        for (int k = 0; k < 4; ++k) FillSolid(dc, RECT{cx + k, cy - 3 + k, cx + k + 1, cy + 4 - k}, tc);
                    }
                }
                SelectObject(dc, old);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        default: return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

void EnsureMenuClass() {
    static std::once_flag once;
    std::call_once(once, [] {
        EnsureSystemClasses();
        ReplaceSystemClassProc("#32768", MenuWndProc, 0, CS_DBLCLKS | CS_SAVEBITS | CS_DROPSHADOW, nullptr);
    });
}

}  // namespace

// Menu-bar tracking from a click on the bar (key 0) or from the keyboard (Alt, F10, a mnemonic).
void TrackMenuBar(HWND hwnd, POINT screen, UINT key) {
    HMENU menu = GetMenu(hwnd);
    if (!menu || g_tracker) return;
    EnsureMenuClass();
    Tracker t(hwnd, 0, true, false);
    t.bar_hwnd_ = hwnd;
    Level bar;
    bar.menu = menu;
    {
        Guard g(GlobalLock());
        Menu* m = M(menu);
        if (!m) return;
        bar.items = m->items;
    }
    t.levels_.push_back(bar);
    g_tracker = &t;
    SendMessageA(hwnd, WM_ENTERMENULOOP, FALSE, 0);
    SendMessageA(hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    t.levels_[0].rects = t.BarRects();
    if (key == 0) {
        t.Mouse(WM_LBUTTONDOWN, screen);
    } else if (key == VK_MENU || key == VK_F10) {
        t.Select(0, 0, false, false);
    } else {
        t.Char(key);
    }
    UINT cmd = t.done_ ? (t.chosen_ ? t.result_ : 0) : t.Run();
    if (t.done_ && !t.levels_.empty()) {
        t.CloseFrom(1);
        t.SetBarHilite(-1);
    }
    g_tracker = nullptr;
    SendMessageA(hwnd, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    SendMessageA(hwnd, WM_EXITMENULOOP, FALSE, 0);
    if (cmd) PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(cmd, 0), 0);
}

// The window's system menu at `screen`, with only what its style and state allow enabled; the
// chosen command goes to the window as WM_SYSCOMMAND.
void TrackSystemMenu(HWND hwnd, POINT screen) {
    const DWORD style = DWORD(GetWindowLongA(hwnd, GWL_STYLE));
    HMENU menu = (style & WS_SYSMENU) ? GetSystemMenu(hwnd, FALSE) : nullptr;
    if (!menu || g_tracker) return;
    const bool iconic = (style & WS_MINIMIZE) != 0, zoomed = (style & WS_MAXIMIZE) != 0;
    auto enable = [menu](UINT command, bool on) {
        EnableMenuItem(menu, command, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    };
    enable(SC_RESTORE, iconic || zoomed);
    enable(SC_MOVE, !iconic && !zoomed);
    enable(SC_SIZE, !iconic && !zoomed && (style & WS_THICKFRAME));
    enable(SC_MINIMIZE, !iconic && (style & WS_MINIMIZEBOX));
    enable(SC_MAXIMIZE, !zoomed && (style & WS_MAXIMIZEBOX));
    const UINT command = UINT(TrackPopupMenuEx(menu, TPM_RETURNCMD, screen.x, screen.y, hwnd, nullptr));
    if (command && IsWindow(hwnd)) PostMessageA(hwnd, WM_SYSCOMMAND, command, MAKELPARAM(screen.x, screen.y));
}

}  // namespace plat::user

extern "C" {

BOOL WINAPI TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS params) {
    if (!IsMenu(menu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    if (!IsWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (g_tracker) {
        SetLastError(1401 + 0);  // one popup menu at a time
        return FALSE;
    }
    EnsureMenuClass();
    Tracker t(owner, flags, false, false);
    g_tracker = &t;
    if (t.Notify()) {
        SendMessageA(owner, WM_ENTERMENULOOP, TRUE, 0);
        SendMessageA(owner, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    }
    RECT ex{0, 0, 0, 0};
    if (params && params->cbSize == sizeof(TPMPARAMS)) ex = params->rcExclude;
    t.OpenPopup(menu, POINT{x, y}, params ? &ex : nullptr, false);
    UINT cmd = t.levels_.empty() ? 0 : t.Run();
    g_tracker = nullptr;
    if (t.Notify()) {
        SendMessageA(owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        SendMessageA(owner, WM_EXITMENULOOP, TRUE, 0);
    }
    if (flags & TPM_RETURNCMD) return BOOL(cmd);
    if (cmd && !(flags & TPM_NONOTIFY)) PostMessageA(owner, WM_COMMAND, MAKEWPARAM(cmd, 0), 0);
    return cmd ? TRUE : FALSE;
}

BOOL WINAPI TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
    return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

BOOL WINAPI EndMenu(void) {
    if (!g_tracker) return FALSE;
    g_tracker->done_ = true;
    PostMessageA(g_tracker->owner_, WM_NULL, 0, 0);
    return TRUE;
}

}  // extern "C"
