// A test dialog holding every shaded button type, XP-style buttons and text progress bars,
// captured as pictures in their main states and probed at chosen pixels.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "FlatXPButton.h"
#include "PercentProgressCtrl.h"
#include "ShadeButton.h"
#include "dialog_test_support.h"
#include "winplat_test.h"

namespace {

enum : WORD { kShade = 200, kXp = 300, kBar = 400 };
const int kShadeCount = 9, kXpCount = 4, kBarCount = 6;
const char* const kShadeNames[kShadeCount] = {"Noise", "Diagonal", "Vertical", "Horizontal", "V bump",
                                             "H bump", "Soft bump", "Hard bump", "Metal"};
const char* const kXpNames[kXpCount] = {"Square", "Rounded", "Disabled", "Focused"};

class CGallery : public CDialog {
public:
    CShadeButton shade[kShadeCount];
    CFlatXPButton xp[kXpCount];
    CPercentProgressCtrl bar[kBarCount];

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        for (int i = 0; i < kShadeCount; ++i) {
            shade[i].SubclassDlgItem(kShade + i, this);
            Place(shade[i], 10 + (i % 5) * 100, 10 + (i / 5) * 44, 92, 36);
            shade[i].SetShade(UINT(i), i == CShadeButton::PATTERN_NOISE ? 8 : 4, 30);
        }
        for (int i = 0; i < kXpCount; ++i) {
            xp[i].SubclassDlgItem(kXp + i, this);
            Place(xp[i], 10 + i * 100, 110, 92, 30);
            xp[i].SetColor(CImageButton::HOVER_FACE, RGB(193, 210, 238), FALSE);
        }
        xp[1].SetRounded(TRUE, FALSE);
        xp[2].EnableWindow(FALSE);
        xp[3].SetColor(CImageButton::FOCUS_FACE, RGB(255, 255, 225), FALSE);
        xp[3].DrawFlatFocus(TRUE, FALSE);
        const int positions[kBarCount] = {0, 29, 50, 100, 64, 70};
        for (int i = 0; i < kBarCount; ++i) {
            bar[i].SubclassDlgItem(kBar + i, this);
            if (i < 5)
                Place(bar[i], 10, 150 + i * 26, 380, 20);
            else
                Place(bar[i], 400, 150, 24, 124);
            bar[i].SetPos(positions[i]);
        }
        bar[3].SetBarColor(RGB(0, 128, 0));
        bar[4].SetWindowText("Converting...");
        bar[4].SetBarColor(RGB(128, 0, 0));
        bar[4].SetBkColor(RGB(255, 240, 200));
        return TRUE;
    }
    static void Place(CWnd& w, int x, int y, int cx, int cy) {
        w.SetWindowPos(nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }
};

class ShadeGalleryTest : public testing::Test {
protected:
    void SetUp() override {
        dlgtest::TemplateBuilder t(WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT, 0, 0, 360, 200, "Controls");
        for (int i = 0; i < kShadeCount; ++i)
            t.Item(dlgtest::kButton, kShadeNames[i], WORD(kShade + i), BS_OWNERDRAW | WS_TABSTOP, 0, 0, 40, 14);
        for (int i = 0; i < kXpCount; ++i)
            t.Item(dlgtest::kButton, kXpNames[i], WORD(kXp + i), BS_OWNERDRAW | WS_TABSTOP, 0, 0, 40, 14);
        for (int i = 0; i < kBarCount; ++i)
            t.Item(0, "", WORD(kBar + i), i == 5 ? PBS_VERTICAL : 0, 0, 0, 40, 14, PROGRESS_CLASSA);
        ASSERT_TRUE(dlg.CreateIndirect(t.Get(), nullptr));
        Pump();
        dlg.xp[3].SetFocus();
        Pump();
    }
    void TearDown() override {
        dlg.DestroyWindow();
        Pump();
    }
    static void Pump() {
        WinTestPumpUntilIdle();
        WinTestPumpUntilIdle();
    }
    // Saves the dialog's picture for a person to look at and returns it for probing.
    WinTestWindowPicture Shot(const char* name) {
        std::string path = testing::TempDir() + "controls_" + name + ".png";
        EXPECT_TRUE(WinTestCaptureWindowPng(dlg.m_hWnd, path.c_str()));
        std::printf("picture: %s\n", path.c_str());
        return WinTestWindowPicture(dlg.m_hWnd);
    }
    // A point of a control in the dialog's picture.
    POINT At(CWnd& w, int x, int y) {
        POINT p{x, y};
        ::ClientToScreen(w.m_hWnd, &p);
        RECT r;
        ::GetWindowRect(dlg.m_hWnd, &r);
        return POINT{p.x - r.left, p.y - r.top};
    }
    COLORREF Pixel(const WinTestWindowPicture& pic, CWnd& w, int x, int y) {
        POINT p = At(w, x, y);
        return pic.At(p.x, p.y);
    }
    CGallery dlg;
};

}  // namespace

TEST_F(ShadeGalleryTest, EveryControlInItsMainStates) {
    WinTestWindowPicture rest = Shot("rest");
    // Vertical shade dark at the top and light at the bottom; horizontal light at the left.
    EXPECT_LE(GetRValue(Pixel(rest, dlg.shade[2], 3, 0)), 136);
    EXPECT_GE(GetRValue(Pixel(rest, dlg.shade[2], 3, 35)), 240);
    EXPECT_GT(GetRValue(Pixel(rest, dlg.shade[3], 1, 3)), GetRValue(Pixel(rest, dlg.shade[3], 90, 3)) + 80);
    // XP buttons without borders; the focused one in its focus colour.
    EXPECT_EQ(Pixel(rest, dlg.xp[0], 0, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Pixel(rest, dlg.xp[2], 0, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Pixel(rest, dlg.xp[3], 1, 1), RGB(255, 255, 225));
    // Bars: 29 % of 380 columns is 110; the text bar's 64 % is 243; 70 % of 124 rows is 86.
    EXPECT_EQ(Pixel(rest, dlg.bar[1], 109, 1), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(Pixel(rest, dlg.bar[1], 110, 1), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(Pixel(rest, dlg.bar[3], 379, 1), RGB(0, 128, 0));
    EXPECT_EQ(Pixel(rest, dlg.bar[4], 242, 1), RGB(128, 0, 0));
    EXPECT_EQ(Pixel(rest, dlg.bar[4], 243, 1), RGB(255, 240, 200));
    EXPECT_EQ(Pixel(rest, dlg.bar[5], 5, 37), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(Pixel(rest, dlg.bar[5], 5, 38), GetSysColor(COLOR_HIGHLIGHT));

    WinTestMouseMove(dlg.shade[1].m_hWnd, 46, 18);
    Pump();
    WinTestWindowPicture over = Shot("shade_hover");
    EXPECT_GT(GetRValue(Pixel(over, dlg.shade[1], 40, 10)), GetRValue(Pixel(rest, dlg.shade[1], 40, 10)));
    EXPECT_EQ(Pixel(over, dlg.shade[1], 0, 10), GetSysColor(COLOR_BTNHIGHLIGHT));

    WinTestMouseMove(dlg.xp[0].m_hWnd, 46, 15);
    Pump();
    WinTestWindowPicture xp_over = Shot("xp_hover");
    EXPECT_EQ(Pixel(xp_over, dlg.xp[0], 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(Pixel(xp_over, dlg.xp[0], 2, 2), RGB(193, 210, 238));
    EXPECT_EQ(Pixel(xp_over, dlg.shade[1], 40, 10), Pixel(rest, dlg.shade[1], 40, 10));

    WinTestMouseMove(dlg.xp[1].m_hWnd, 46, 15);
    WinTestMouseButton(dlg.xp[1].m_hWnd, WINTEST_LEFT, TRUE, 46, 15);
    Pump();
    WinTestWindowPicture pressed = Shot("xp_rounded_pressed");
    EXPECT_EQ(Pixel(pressed, dlg.xp[1], 10, 0), RGB(0, 0, 0));
    EXPECT_NE(Pixel(pressed, dlg.xp[1], 0, 0), RGB(0, 0, 0));
    WinTestMouseButton(dlg.xp[1].m_hWnd, WINTEST_LEFT, FALSE, 46, 15);

    WinTestMouseMove(dlg.shade[7].m_hWnd, 46, 18);
    WinTestMouseButton(dlg.shade[7].m_hWnd, WINTEST_LEFT, TRUE, 46, 18);
    Pump();
    Shot("shade_pressed");
    WinTestMouseButton(dlg.shade[7].m_hWnd, WINTEST_LEFT, FALSE, 46, 18);
    Pump();
}
