// This project's framework layer: extension classes (tool bars for menu images).
#pragma once

#include "afxwin.h"

// A tool bar whose only use here is to supply button images from a tool-bar resource. The
// platform has no tool-bar resources, so loading one fails and callers fall back.
class CToolBar : public CWnd {
    DECLARE_DYNAMIC(CToolBar)
public:
    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE, UINT id = AFX_IDW_TOOLBAR);
    BOOL CreateEx(CWnd* parent, DWORD ctrl_style = 0, DWORD style = WS_CHILD | WS_VISIBLE, CRect borders = CRect(0, 0, 0, 0),
                  UINT id = AFX_IDW_TOOLBAR);
    using CWnd::CreateEx;
    BOOL LoadToolBar(UINT id);
    BOOL LoadToolBar(LPCSTR name);
    int GetCount() const { return 0; }
    UINT GetItemID(int) const { return 0; }
    CSize m_sizeButton{23, 22};
    CSize m_sizeImage{16, 15};
};
