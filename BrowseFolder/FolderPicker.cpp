#include "FolderPicker.h"

#include <cstring>

#include "afx.h"

CFolderPicker::CFolderPicker() : m_flags(0), m_root(nullptr) {
    m_displayName[0] = 0;
    m_title[0] = 0;
}

UINT CFolderPicker::ModifyStyle(UINT add, UINT remove) {
    m_flags = (m_flags & ~remove) | add;
    return m_flags;
}

void CFolderPicker::SetTitle(LPCSTR title) {
    ASSERT(title != nullptr);
    if (!title) return;
    // Callers pass fixed texts, but a long one must not run past the buffer.
    size_t n = strnlen(title, sizeof m_title - 1);
    std::memcpy(m_title, title, n);
    m_title[n] = 0;
}

int CFolderPicker::Show(HWND owner, LPSTR path) {
    ASSERT(owner != nullptr);
    ASSERT(path != nullptr);
    if (!path) return 0;

    BROWSEINFOA bi = {};
    bi.hwndOwner = owner;
    bi.pidlRoot = m_root;
    bi.pszDisplayName = m_displayName;
    bi.lpszTitle = m_title;
    bi.ulFlags = m_flags;
    bi.lpfn = nullptr;
    bi.lParam = 0;

    LPITEMIDLIST pidl = SHBrowseForFolderA(&bi);
    if (!pidl) return 0;

    // Convert into a scratch buffer so that a path-less item leaves the caller's text alone.
    char chosen[MAX_PATH] = {};
    int result = 1;
    if (SHGetPathFromIDListA(pidl, chosen)) {
        std::memcpy(path, chosen, std::strlen(chosen) + 1);
        result = 2;
    }

    IMalloc* malloc = nullptr;
    if (SUCCEEDED(SHGetMalloc(&malloc)) && malloc) {
        malloc->Free(pidl);
        malloc->Release();
    }
    return result;
}
