// CFrameWnd: a top-level window created with its menu, routing commands on to the application.
#include "afx_api.h"
#include "afxwin.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

CFrameWnd::CFrameWnd() = default;
CFrameWnd::~CFrameWnd() = default;

BOOL CFrameWnd::Create(LPCSTR class_name, LPCSTR window_name, DWORD style, const RECT& rect, CWnd* parent,
                       LPCSTR menu_name, DWORD ex_style, void*) {
    HMENU menu = nullptr;
    if (menu_name) {
        menu = ::LoadMenuA(AfxGetResourceHandle(), menu_name);
        if (!menu) return FALSE;
    }
    const bool chosen = rect.left == CW_USEDEFAULT;
    const int x = chosen ? CW_USEDEFAULT : rect.left, y = chosen ? CW_USEDEFAULT : rect.top;
    const int w = chosen ? CW_USEDEFAULT : rect.right - rect.left, h = chosen ? CW_USEDEFAULT : rect.bottom - rect.top;
    if (!CreateEx(ex_style, class_name, window_name, style, x, y, w, h, parent ? parent->GetSafeHwnd() : nullptr,
                  menu)) {
        // The window that never was cannot destroy its menu.
        if (menu) ::DestroyMenu(menu);
        return FALSE;
    }
    m_hMenuDefault = menu;
    return TRUE;
}

BOOL CFrameWnd::OnCmdMsg(UINT id, int code, void* extra, void* info) {
    if (CWnd::OnCmdMsg(id, code, extra, info)) return TRUE;
    if (!extra && code == 0) {
        CWinApp* app = AfxGetApp();
        if (app && app->OnCmdMsg(id, code, extra, info)) return TRUE;
    }
    return FALSE;
}

void CFrameWnd::PostNcDestroy() { delete this; }
