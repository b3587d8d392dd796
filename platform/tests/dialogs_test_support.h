// An owner window whose WM_ENTERIDLE runs one queued step per idle turn of a modal dialog, so
// tests drive the common dialogs with injected input while they run.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "windows.h"
#include "winplat_test.h"

namespace dlgsteps {

inline std::deque<std::function<void(HWND)>>& Steps() {
    static std::deque<std::function<void(HWND)>> s;
    return s;
}

inline LRESULT CALLBACK OwnerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_ENTERIDLE && w == MSGF_DIALOGBOX && !Steps().empty()) {
        auto step = Steps().front();
        Steps().pop_front();
        step(reinterpret_cast<HWND>(l));
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

inline HWND Owner() {
    static bool registered = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = OwnerProc;
        wc.lpszClassName = "CommonDialogTestOwner";
        return RegisterClassA(&wc) != 0;
    }();
    (void)registered;
    HWND h = CreateWindowExA(0, "CommonDialogTestOwner", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 300,
                             nullptr, nullptr, nullptr, nullptr);
    WinTestPumpUntilIdle();
    return h;
}

inline std::vector<std::string> ListTexts(HWND list) {
    std::vector<std::string> out;
    LRESULT n = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char buf[512] = {};
        SendMessageA(list, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(buf));
        out.push_back(buf);
    }
    return out;
}

inline int IndexOf(HWND list, const std::string& text) {
    std::vector<std::string> all = ListTexts(list);
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i] == text) return int(i);
    return -1;
}

// Client point in the middle of list item `index` (scrolled into view first).
inline POINT ItemPoint(HWND list, int index) {
    SendMessageA(list, LB_SETTOPINDEX, WPARAM(index), 0);
    RECT r = {};
    SendMessageA(list, LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r));
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

inline void ClickItem(HWND list, const std::string& text, bool ctrl = false, bool twice = false) {
    int i = IndexOf(list, text);
    if (i < 0) {
        // End the dialog rather than wait for a click that never comes.
        ADD_FAILURE() << "no list item " << text;
        Steps().clear();
        WinTestKeyPress(VK_ESCAPE);
        return;
    }
    POINT p = ItemPoint(list, i);
    if (ctrl) WinTestKey(VK_CONTROL, TRUE);
    if (twice) WinTestDoubleClick(list, WINTEST_LEFT, p.x, p.y);
    else WinTestClick(list, WINTEST_LEFT, p.x, p.y);
    if (ctrl) WinTestKey(VK_CONTROL, FALSE);
}

inline void ClickButton(HWND dlg, int id) {
    HWND b = GetDlgItem(dlg, id);
    ASSERT_NE(b, nullptr);
    RECT r;
    GetClientRect(b, &r);
    WinTestClick(b, WINTEST_LEFT, r.right / 2, r.bottom / 2);
}

inline std::string Text(HWND dlg, int id) {
    char buf[1024] = {};
    GetDlgItemTextA(dlg, id, buf, sizeof buf);
    return buf;
}

class TempTree {
public:
    TempTree() {
        char tmpl[] = "/tmp/velmora-dlg-XXXXXX";
        root_ = mkdtemp(tmpl);
    }
    ~TempTree() {
        std::string cmd = "rm -rf '" + root_ + "'";
        (void)system(cmd.c_str());
    }
    void File(const std::string& rel) { std::ofstream(root_ + "/" + rel) << "x"; }
    void Dir(const std::string& rel) { mkdir((root_ + "/" + rel).c_str(), 0777); }
    const std::string& root() const { return root_; }

private:
    std::string root_;
};

}  // namespace dlgsteps
