// The file dialog over GetOpenFileNameA/GetSaveFileNameA.
#include <cstring>

#include "afx_api.h"
#include "afxdlgs.h"
#include "afxext.h"

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)
IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)

CFileDialog::CFileDialog(BOOL open, LPCSTR ext, LPCSTR name, DWORD flags, LPCSTR filter, CWnd* parent)
    : CCommonDialog(parent), m_bOpenFileDialog(open) {
    std::memset(&m_ofn, 0, sizeof m_ofn);
    std::memset(m_szFileName, 0, sizeof m_szFileName);
    std::memset(m_szFileTitle, 0, sizeof m_szFileTitle);
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrDefExt = ext;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = sizeof m_szFileTitle;
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
    if (name) std::snprintf(m_szFileName, sizeof m_szFileName, "%s", name);
    if (filter) {
        // "a|b|c|d||" becomes "a\0b\0c\0d\0\0".
        m_strFilter = filter;
        int n = m_strFilter.GetLength();
        char* p = m_strFilter.GetBuffer(n + 1);
        for (int i = 0; i < n; ++i)
            if (p[i] == '|') p[i] = 0;
        p[n] = 0;
        p[n + 1] = 0;
        m_strFilter.ReleaseBuffer(n);
        m_ofn.lpstrFilter = m_strFilter;
    }
}

INT_PTR CFileDialog::DoModal() {
    CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    m_ofn.hwndOwner = owner ? owner->GetSafeHwnd() : nullptr;
    m_ofn.hInstance = AfxGetInstanceHandle();
    auto fn = m_bOpenFileDialog ? ::GetOpenFileNameA : ::GetSaveFileNameA;
    if (!fn) return IDCANCEL;
    BOOL ok = fn(&m_ofn);
    // A selection too long for the buffer counts as a cancel, as the framework does.
    return ok ? IDOK : IDCANCEL;
}

namespace {
const char* LastSeparator(const char* s) {
    const char* a = std::strrchr(s, '/');
    const char* b = std::strrchr(s, '\\');
    return a > b ? a : b;
}
}  // namespace

CString CFileDialog::GetPathName() const {
    if ((m_ofn.Flags & OFN_ALLOWMULTISELECT) == 0) return m_ofn.lpstrFile;
    POSITION pos = GetStartPosition();
    return pos ? GetNextPathName(pos) : CString();
}
CString CFileDialog::GetFileName() const {
    CString path = GetPathName();
    const char* sep = LastSeparator(path);
    return sep ? CString(sep + 1) : path;
}
CString CFileDialog::GetFileExt() const {
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}
CString CFileDialog::GetFileTitle() const {
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? name : name.Left(dot);
}
CString CFileDialog::GetFolderPath() const {
    CString path = GetPathName();
    const char* sep = LastSeparator(path);
    return sep ? path.Left(int(sep - LPCSTR(path))) : CString();
}

POSITION CFileDialog::GetStartPosition() const {
    if (!m_ofn.lpstrFile || !m_ofn.lpstrFile[0]) return nullptr;
    return reinterpret_cast<POSITION>(m_ofn.lpstrFile);
}

// Multi-select results are "folder\0name\0name\0\0"; a single choice is one full path. Every
// read stays inside the caller's buffer, even when the terminating double NUL is missing.
CString CFileDialog::GetNextPathName(POSITION& pos) const {
    const char* buf = m_ofn.lpstrFile;
    const char* end = buf + m_ofn.nMaxFile;
    const char* p = reinterpret_cast<const char*>(pos);
    auto span = [&](const char* s) { return CString(s, int(strnlen(s, size_t(end - s)))); };
    if (!p || p < buf || p >= end) {
        pos = nullptr;
        return CString();
    }
    if (p == buf) {
        if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT)) {
            pos = nullptr;
            return span(buf);
        }
        size_t n = strnlen(buf, size_t(end - buf));
        p = buf + n + 1;
        if (p >= end || *p == 0) {  // one file: the whole path
            pos = nullptr;
            return span(buf);
        }
    }
    CString folder = span(buf);
    CString name = span(p);
    const char* next = p + name.GetLength() + 1;
    pos = (next < end && *next) ? reinterpret_cast<POSITION>(const_cast<char*>(next)) : nullptr;
    if (!folder.IsEmpty() && (folder.Right(1) == "/" || folder.Right(1) == "\\")) return folder + name;
    return folder + "/" + name;
}

