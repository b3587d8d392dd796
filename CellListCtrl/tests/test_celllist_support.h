// Scaffolding shared by the extended list control's tests: a framework parent that records the
// registered notifications, a report list laid out like the file list, the framework's own
// message loop, and pixel helpers.
#pragma once

#include <gtest/gtest.h>

#include <afxcmn.h>
#include <afxwin.h>

#include <functional>
#include <initializer_list>
#include <vector>

#include "CellListCtrl.h"
#include "afxtest.h"
#include "winplat_test.h"

namespace celltest {

// Adds one 16x16 image of each colour to the list (colours tell the images apart in pictures).
inline void AddSolidImages(CImageList& images, std::initializer_list<COLORREF> colours) {
    for (COLORREF c : colours) {
        CClientDC screen(nullptr);
        CBitmap bmp;
        bmp.CreateCompatibleBitmap(&screen, 16, 16);
        CDC mem;
        mem.CreateCompatibleDC(&screen);
        CBitmap* old = mem.SelectObject(&bmp);
        mem.FillSolidRect(0, 0, 16, 16, c);
        mem.SelectObject(old);
        images.Add(&bmp, RGB(255, 0, 255));
    }
}

struct Sent {
    UINT msg;
    WPARAM row;
    LPARAM col;
};

class Host : public CWnd {
public:
    std::vector<Sent> sent;
    // Runs inside the check-box notification (tests read the list from there).
    std::function<void(int, int)> on_checked;

    int Count(UINT msg) const {
        int n = 0;
        for (auto& s : sent) n += s.msg == msg;
        return n;
    }

protected:
    LRESULT OnChecked(WPARAM w, LPARAM l) {
        sent.push_back({WM_CELLLIST_CHECKBOX_CLICKED, w, l});
        if (on_checked) on_checked(int(w), int(l));
        return 0;
    }
    LRESULT OnCombo(WPARAM w, LPARAM l) {
        sent.push_back({WM_CELLLIST_COMBO_SELECTION, w, l});
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Host, CWnd)
    ON_REGISTERED_MESSAGE(WM_CELLLIST_CHECKBOX_CLICKED, OnChecked)
    ON_REGISTERED_MESSAGE(WM_CELLLIST_COMBO_SELECTION, OnCombo)
END_MESSAGE_MAP()

// The framework's own loop: PreTranslateMessage (tooltips, the combo popup's keys) runs before
// dispatching.
inline void Pump() { AfxTestPumpUntilIdle(); }

// Moves the layer's clock in small steps, so timers fire in order.
inline void Advance(DWORD ms) {
    for (DWORD t = 0; t < ms; t += 10) {
        WinTestAdvanceClock(10);
        Pump();
    }
}

enum Col { kCheck = 0, kName, kDuration, kSize, kStatus, kColumns };

class CellListTest : public ::testing::Test {
protected:
    Host host;
    CCellListCtrl list;

    virtual DWORD ListStyle() const { return WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS; }
    virtual DWORD ExStyle() const { return LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT; }

    void SetUp() override {
        ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), "host", WS_POPUP | WS_VISIBLE, 0, 0, 640, 420, nullptr,
                                  nullptr));
        ASSERT_TRUE(list.Create(ListStyle(), CRect(10, 10, 610, 400), &host, 1002));
        list.SetExtendedStyle(ExStyle());
        list.InsertColumn(kCheck, "", LVCFMT_CENTER, 40);
        list.InsertColumn(kName, "Name", LVCFMT_LEFT, 200);
        list.InsertColumn(kDuration, "Duration", LVCFMT_CENTER, 80);
        list.InsertColumn(kSize, "Size", LVCFMT_RIGHT, 90);
        list.InsertColumn(kStatus, "Status", LVCFMT_CENTER, 170);
        Pump();
    }
    void TearDown() override {
        if (list.m_hWnd) list.DestroyWindow();
        host.DestroyWindow();
        Pump();
    }

    // A file-list row: check box checked, name, duration, size, "Ready".
    int AddRow(const char* name) {
        int row = list.InsertItem(list.GetItemCount(), "");
        list.SetCheckbox(row, kCheck, 1);
        list.SetItemText(row, kName, name);
        list.SetItemText(row, kDuration, "00:01:00");
        list.SetItemText(row, kSize, "320x240");
        list.SetItemText(row, kStatus, "Ready");
        return row;
    }

    CRect Cell(int row, int col) {
        CRect r;
        list.GetSubItemRect(row, col, LVIR_BOUNDS, r);
        if (col == 0) {
            CRect next;
            list.GetSubItemRect(row, 1, LVIR_BOUNDS, next);
            r.right = next.left;
        }
        return r;
    }
    CPoint Middle(int row, int col) { return Cell(row, col).CenterPoint(); }

    void Click(int row, int col) {
        CPoint p = Middle(row, col);
        WinTestClick(list.m_hWnd, WINTEST_LEFT, p.x, p.y);
        Pump();
    }
};

inline bool Near(COLORREF a, COLORREF b, int tol = 8) {
    return std::abs(int(GetRValue(a)) - int(GetRValue(b))) <= tol &&
           std::abs(int(GetGValue(a)) - int(GetGValue(b))) <= tol &&
           std::abs(int(GetBValue(a)) - int(GetBValue(b))) <= tol;
}

// Pixels of colour `c` in a rectangle of a picture.
inline int CountIn(const WinTestWindowPicture& pic, const CRect& r, COLORREF c) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) n += pic.At(x, y) == c;
    return n;
}

// Pixels near colour `c` in a rectangle: text in that colour, by its antialiased ink.
inline int CountNearIn(const WinTestWindowPicture& pic, const CRect& r, COLORREF c, int tolerance = 40) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) n += WinTestNear(pic.At(x, y), c, tolerance);
    return n;
}

// Pixels in a rectangle that are neither of two colours (text, marks).
inline int CountOther(const WinTestWindowPicture& pic, const CRect& r, COLORREF a, COLORREF b) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            COLORREF p = pic.At(x, y);
            n += p != a && p != b && p != CLR_INVALID;
        }
    return n;
}

}  // namespace celltest
