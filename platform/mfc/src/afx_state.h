// Per-thread and process state of the framework layer.
#pragma once

#include <unordered_map>

#include "afxwin.h"

namespace afx {

struct ThreadState {
    CWnd* pending_create = nullptr;  // window being created on this thread
    HHOOK cbt_hook = nullptr;
    HHOOK filter_hook = nullptr;
    MSG last_msg{};                  // the message being handled (for Default and reflection)
    CWinThread* thread = nullptr;    // the framework thread object running on this thread
    // Temporary wrappers handed out by FromHandle; freed at idle time and at thread exit.
    std::unordered_map<HWND, CWnd*> temp_wnds;
    std::unordered_map<HDC, CDC*> temp_dcs;
    std::unordered_map<HGDIOBJ, CGdiObject*> temp_gdi;
    std::unordered_map<HMENU, CMenu*> temp_menus;
    // The framework's tooltip for windows with tooltips enabled.
    HWND tooltip = nullptr;
    HWND tip_owner = nullptr;        // the window whose hit test produced the current tool
    INT_PTR tip_hit = -1;
    TOOLINFOA tip_info{};
    ~ThreadState();
};

ThreadState& State();
void FreeTempMaps(ThreadState& s);

}  // namespace afx

// Calls a window procedure of the framework with the thread's current-message bookkeeping.
LRESULT AfxCallWndProc(CWnd* wnd, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
BOOL AfxPumpMessage();
BOOL AfxPreTranslateMessage(MSG* msg);
void AfxSetThread(CWinThread* thread);
// A window that is gone stops being any thread's main or active window.
void AfxForgetWindow(CWnd* wnd);
