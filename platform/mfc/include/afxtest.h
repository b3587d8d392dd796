// Test support for programs on the framework: the framework's own message loop step
// (PreTranslateMessage through the window tree, then translate and dispatch), run until the
// thread has nothing left to do, as CWinApp::Run would between two waits.
#pragma once

#include "afxwin.h"
#include "winplat_test.h"

inline void AfxTestPumpUntilIdle(int rounds = 50) {
    for (int round = 0; round < rounds; ++round) {
        bool any = false;
        MSG m;
        while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            if (!CWnd::WalkPreTranslateTree(nullptr, &m)) {
                ::TranslateMessage(&m);
                ::DispatchMessageA(&m);
            }
        }
        if (!any && WinTestPumpUntilIdle() == 0) break;
    }
}
