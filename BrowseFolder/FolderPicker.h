// A small wrapper around the shell's folder-browsing dialog: set a title and flags, show it
// for an owner window, and receive the chosen folder's path.
#pragma once

#include <string>

#include "windows.h"
#include "shlobj.h"

class CFolderPicker {
public:
    CFolderPicker();
    ~CFolderPicker() {}

    // flags = (flags without `remove`) | `add`; returns the new flags.
    UINT ModifyStyle(UINT add, UINT remove);
    UINT GetStyle() const { return m_flags; }
    // The text shown above the folders; longer texts are cut to fit the title buffer.
    void SetTitle(LPCSTR title);
    LPCSTR GetTitle() const { return m_title; }
    // Display name of the item chosen by the last Show.
    LPCSTR GetDisplayName() const { return m_displayName; }

    // Shows the dialog. `path` holds at least MAX_PATH characters.
    // 2: a folder was chosen and its path written to `path`; 1: the chosen item has no
    // file-system path; 0: cancelled (`path` is left alone).
    int Show(HWND owner, LPSTR path);
    // The same for a path of any length (a folder deeper than MAX_PATH bytes is a folder too).
    int Show(HWND owner, std::string& path);

private:
    UINT m_flags;
    char m_displayName[MAX_PATH];
    LPITEMIDLIST m_root;
    char m_title[MAX_PATH];
};
