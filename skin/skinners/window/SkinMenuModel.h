// What a skinned popup menu knows of a menu: one record per item, read once when the popup
// loads the menu, and the small menu functions the popup, the menu bar and the system menu share.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class CSkinMenuEntry {
public:
    virtual ~CSkinMenuEntry() = default;

    // Neither disabled nor grayed.
    bool IsSelectable() const { return !(m_nState & (MF_DISABLED | MF_GRAYED)); }
    // A separator line (a submenu's state word may carry the same bit in its item count).
    bool IsSeparator() const { return (m_nState & MF_SEPARATOR) && !m_hSubMenu; }
    bool IsChecked() const { return (m_nState & MF_CHECKED) != 0; }

    BOOL m_bSelected = FALSE;
    std::string m_strText;   // with its '&' and an optional tab before the accelerator text
    UINT m_nId = 0;          // UINT(-1) for a submenu
    int m_nPos = 0;
    int m_chMnemonic = 0;    // upper case, 0 for none
    UINT m_nState = 0;       // GetMenuState by position
    HMENU m_hSubMenu = nullptr;
    HMENU m_hOwnerMenu = nullptr;
};

class CSkinMenuModel {
public:
    virtual ~CSkinMenuModel() = default;

    // Forgets the old records and reads one per item of the menu, separators included.
    void LoadMenuItems(HMENU menu);
    HMENU GetMenu() const { return m_hMenu; }
    int GetCount() const { return int(m_entries.size()); }
    // Null out of range.
    CSkinMenuEntry* GetEntry(int index) const;

private:
    HMENU m_hMenu = nullptr;
    std::vector<std::unique_ptr<CSkinMenuEntry>> m_entries;
};

// The character after the first single '&', in upper case; "&&" stands for itself; 0 for none.
int GetMnemonicChar(const char* text);
// The item's text as the menu holds it (empty for separators, bitmaps and owner-drawn items).
std::string GetMenuItemText(HMENU menu, UINT item, BOOL byPosition);
// The item's bitmap (hbmpItem); null when it has none or there is no such item.
HBITMAP GetMenuItemBitmap(HMENU menu, UINT item, BOOL byPosition);
// A new popup menu with copies of every item of the source; submenus are copied too, but a
// menu that holds itself is not followed for ever. The caller destroys it.
HMENU CopyMenuItems(HMENU source);
