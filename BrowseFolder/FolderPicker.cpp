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

namespace {

// The item's file-system path, however long; false for an item that has none.
bool PathOfItem(LPCITEMIDLIST pidl, std::string& path) {
    char shortPath[MAX_PATH] = {};
    if (SHGetPathFromIDListA(pidl, shortPath)) {
        path = shortPath;
        return true;
    }
    // Longer than MAX_PATH: the wide form takes the longest path the system allows.
    std::u16string wide(32768, u'\0');
    if (!SHGetPathFromIDListEx(pidl, wide.data(), DWORD(wide.size()), GPFIDL_DEFAULT)) return false;
    int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return false;
    path.assign(size_t(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, path.data(), n, nullptr, nullptr);
    path.resize(size_t(n - 1));
    return true;
}

}  // namespace

int CFolderPicker::Show(HWND owner, LPSTR path) {
    ASSERT(path != nullptr);
    if (!path) return 0;
    std::string chosen;
    int result = Show(owner, chosen);
    if (result != 2) return result;
    // The caller's buffer holds MAX_PATH characters: a longer path is not one it can take.
    if (chosen.size() >= MAX_PATH) return 1;
    std::memcpy(path, chosen.c_str(), chosen.size() + 1);
    return 2;
}

int CFolderPicker::Show(HWND owner, std::string& path) {
    ASSERT(owner != nullptr);

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

    // A path-less item leaves the caller's text alone.
    std::string chosen;
    int result = 1;
    if (PathOfItem(pidl, chosen)) {
        path = chosen;
        result = 2;
    }

    IMalloc* malloc = nullptr;
    if (SUCCEEDED(SHGetMalloc(&malloc)) && malloc) {
        malloc->Free(pidl);
        malloc->Release();
    }
    return result;
}
