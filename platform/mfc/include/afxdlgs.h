// This project's framework layer: common dialog wrappers (open and save file names).
#pragma once

#include "afxwin.h"
#include "commdlg.h"

class CCommonDialog : public CDialog {
    DECLARE_DYNAMIC(CCommonDialog)
public:
    explicit CCommonDialog(CWnd* parent) : CDialog() { m_pParentWnd = parent; }
};

class CFileDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CFileDialog)
public:
    // `filter` is "Text|*.a;*.b|All|*.*||"; the default name buffer holds 260 characters for
    // the folder and every chosen name together, as the framework's does.
    explicit CFileDialog(BOOL open, LPCSTR default_ext = nullptr, LPCSTR file_name = nullptr,
                         DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR filter = nullptr,
                         CWnd* parent = nullptr);
    INT_PTR DoModal() override;
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    CString GetFolderPath() const;
    BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }
    POSITION GetStartPosition() const;
    CString GetNextPathName(POSITION& pos) const;

    OPENFILENAMEA m_ofn;

protected:
    BOOL m_bOpenFileDialog;
    CString m_strFilter;
    char m_szFileTitle[64];
    char m_szFileName[MAX_PATH];
};
