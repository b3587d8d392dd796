#include "SkinMenuModel.h"

#include <cctype>

namespace {

constexpr int kMaxMenuDepth = 8;

HMENU CopyMenuLevel(HMENU source, int depth)
{
    HMENU copy = CreatePopupMenu();
    const int count = GetMenuItemCount(source);
    for (int i = 0; i < count && copy; ++i) {
        char text[400] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_DATA | MIIM_TYPE;
        info.dwTypeData = text;
        info.cch = sizeof text - 1;
        if (!GetMenuItemInfoA(source, UINT(i), TRUE, &info))
            continue;
        info.hSubMenu = info.hSubMenu && depth < kMaxMenuDepth ? CopyMenuLevel(info.hSubMenu, depth + 1) : nullptr;
        info.dwTypeData = text;
        InsertMenuItemA(copy, UINT(GetMenuItemCount(copy)), TRUE, &info);
    }
    return copy;
}

}  // namespace

CSkinMenuEntry* CSkinMenuModel::GetEntry(int index) const
{
    return index >= 0 && index < GetCount() ? m_entries[size_t(index)].get() : nullptr;
}

void CSkinMenuModel::LoadMenuItems(HMENU menu)
{
    m_entries.clear();
    m_hMenu = menu;
    const int count = IsMenu(menu) ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        auto e = std::make_unique<CSkinMenuEntry>();
        e->m_strText = GetMenuItemText(menu, UINT(i), TRUE);
        e->m_nId = GetMenuItemID(menu, i);
        e->m_nPos = i;
        e->m_chMnemonic = GetMnemonicChar(e->m_strText.c_str());
        e->m_nState = GetMenuState(menu, UINT(i), MF_BYPOSITION);
        e->m_hSubMenu = GetSubMenu(menu, i);
        e->m_hOwnerMenu = menu;
        m_entries.push_back(std::move(e));
    }
}

int GetMnemonicChar(const char* text)
{
    for (const char* p = text; p && *p; ++p) {
        if (*p != '&')
            continue;
        if (p[1] == '&') {
            ++p;
            continue;
        }
        return p[1] ? std::toupper(static_cast<unsigned char>(p[1])) : 0;
    }
    return 0;
}

std::string GetMenuItemText(HMENU menu, UINT item, BOOL byPosition)
{
    char text[400] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_TYPE;
    info.dwTypeData = text;
    info.cch = sizeof text - 1;
    if (!GetMenuItemInfoA(menu, item, byPosition, &info) || (info.fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW)))
        return std::string();
    text[sizeof text - 1] = 0;
    return text;
}

HBITMAP GetMenuItemBitmap(HMENU menu, UINT item, BOOL byPosition)
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_BITMAP;
    return GetMenuItemInfoA(menu, item, byPosition, &info) ? info.hbmpItem : nullptr;
}

HMENU CopyMenuItems(HMENU source) { return IsMenu(source) ? CopyMenuLevel(source, 0) : nullptr; }
