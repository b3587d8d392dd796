// The bitmap button on the headless backend: which image each state paints, where images and
// captions go, colours, the embossed disabled caption, hover tracking, clicks and tooltips.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ImageButton.h"
#include "winplat_test.h"
#include "winplat_test_shell.h"

namespace {

const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0), kPink = RGB(255, 0, 255);

using Capture = WinTestWindowPicture;

// A bitmap of one colour with a centred square of another.
HBITMAP Bitmap(int w, int h, COLORREF outer, COLORREF inner, int inset) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all{0, 0, w, h}, in{inset, inset, w - inset, h - inset};
    HBRUSH a = CreateSolidBrush(outer), b = CreateSolidBrush(inner);
    FillRect(dc, &all, a);
    FillRect(dc, &in, b);
    DeleteObject(a);
    DeleteObject(b);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bmp;
}

HICON Icon(int size, COLORREF colour) {
    ICONINFO ii{};
    ii.fIcon = TRUE;
    ii.xHotspot = DWORD(size / 2);
    ii.yHotspot = DWORD(size / 2);
    ii.hbmColor = Bitmap(size, size, colour, colour, 0);
    ii.hbmMask = CreateBitmap(size, size, 1, 1, nullptr);
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    return icon;
}

// The parent: records clicks and the mouse-move notices its buttons post.
class CHost : public CWnd {
public:
    std::vector<std::pair<UINT, HWND>> clicks;
    std::vector<HWND> moves;
    BOOL OnCommand(WPARAM wp, LPARAM lp) override {
        if (HIWORD(wp) == BN_CLICKED) clicks.push_back({LOWORD(wp), reinterpret_cast<HWND>(lp)});
        return CWnd::OnCommand(wp, lp);
    }
    LRESULT OnButtonMove(WPARAM wp, LPARAM) {
        moves.push_back(reinterpret_cast<HWND>(wp));
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CHost, CWnd)
ON_MESSAGE(WM_USER + 1, OnButtonMove)
END_MESSAGE_MAP()

class ImageButtonTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0, nullptr, HBRUSH(GetStockObject(WHITE_BRUSH))), "host",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr));
        Pump();
    }
    void TearDown() override {
        host.DestroyWindow();
        Pump();
    }
    void Make(CImageButton& b, const char* caption, int x, int y, int w, int h, UINT id) {
        ASSERT_TRUE(b.Create(caption, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(x, y, x + w, y + h), &host, id));
    }
    static void Pump() {
        WinTestPumpUntilIdle();
        WinTestPumpUntilIdle();
    }
    // Moves the mouse into the host's empty corner.
    void Away() {
        WinTestMouseMove(host.m_hWnd, 390, 5);
        Pump();
    }
    CHost host;
};

TEST(ImageButtonSettings, SettersCheckTheirArgumentsAndShadeColoursWithinRange) {
    CImageButton b;
    EXPECT_EQ(b.SetAlign(1, FALSE), DWORD(CImageButton::RESULT_OK));
    EXPECT_EQ(b.SetAlign(4, FALSE), DWORD(CImageButton::RESULT_BAD_ALIGN));
    CRect cap(0, 0, 100, 40), img;
    RECT item{0, 0, 100, 40};
    b.PlaceImage(TRUE, &item, &cap, FALSE, 16, 16, &img);
    EXPECT_EQ(img.top, 3);  // still aligned above the caption
    EXPECT_EQ(b.SetPressedStyle(2, FALSE), DWORD(CImageButton::RESULT_BAD_PRESS_STYLE));

    // The example: +50 on (240,10,10) adds only the red channel's headroom of 15 to every channel.
    COLORREF c = 0;
    ASSERT_EQ(b.SetColor(0, RGB(240, 10, 10), FALSE), DWORD(CImageButton::RESULT_OK));
    EXPECT_EQ(b.OffsetColor(0, 50, FALSE), DWORD(CImageButton::RESULT_OK));
    b.GetColor(0, &c);
    EXPECT_EQ(c, RGB(255, 25, 25));
    b.SetColor(2, RGB(20, 100, 200), FALSE);
    b.OffsetColor(2, -50, FALSE);
    b.GetColor(2, &c);
    EXPECT_EQ(c, RGB(0, 80, 180));
    b.SetColor(4, RGB(100, 100, 100), FALSE);
    b.OffsetColor(4, 30, FALSE);
    b.GetColor(4, &c);
    EXPECT_EQ(c, RGB(130, 130, 130));
    EXPECT_EQ(b.OffsetColor(6, 10, FALSE), DWORD(CImageButton::RESULT_BAD_COLOR_INDEX));
    EXPECT_EQ(b.OffsetColor(1, 256, FALSE), DWORD(CImageButton::RESULT_BAD_ARGUMENT));
    EXPECT_EQ(b.OffsetColor(1, -256, FALSE), DWORD(CImageButton::RESULT_BAD_ARGUMENT));
    EXPECT_EQ(b.SetColor(6, 0, FALSE), DWORD(CImageButton::RESULT_BAD_COLOR_INDEX));
    EXPECT_EQ(b.GetColor(9, &c), DWORD(CImageButton::RESULT_BAD_COLOR_INDEX));
    b.SetDefaultColors(FALSE);
    b.GetColor(0, &c);
    EXPECT_EQ(c, GetSysColor(COLOR_BTNFACE));
    b.GetColor(5, &c);
    EXPECT_EQ(c, GetSysColor(COLOR_BTNTEXT));

    // A sound file name that would not fit is refused rather than cut.
    std::string longname(MAX_PATH, 'a');
    EXPECT_EQ(b.SetSound(longname.c_str()), DWORD(CImageButton::RESULT_BAD_ARGUMENT));
    EXPECT_EQ(b.SetSound(longname.substr(1).c_str()), DWORD(CImageButton::RESULT_OK));
    EXPECT_EQ(b.SetSound(nullptr), DWORD(CImageButton::RESULT_OK));
}

TEST(ImageButtonLayout, EachAlignmentPlacesImageAndCaption) {
    CImageButton b;
    RECT item{0, 0, 100, 40};
    struct Case {
        BYTE align;
        BOOL title;
        RECT image, caption;
    } cases[] = {
        {0, TRUE, {3, 12, 19, 28}, {19, 0, 100, 40}},
        {0, FALSE, {42, 12, 58, 28}, {0, 0, 100, 40}},
        {1, TRUE, {42, 3, 58, 19}, {0, 16, 100, 40}},
        {1, FALSE, {42, 12, 58, 28}, {0, 0, 100, 40}},
        {2, TRUE, {81, 12, 97, 28}, {3, 0, 81, 40}},
        {2, FALSE, {42, 12, 58, 28}, {0, 0, 100, 40}},
        {3, TRUE, {0, 0, 16, 16}, {0, 0, 100, 40}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.align) * 10 + c.title);
        ASSERT_EQ(b.SetAlign(c.align, FALSE), DWORD(CImageButton::RESULT_OK));
        CRect cap(item), img;
        b.PlaceImage(c.title, &item, &cap, FALSE, 16, 16, &img);
        EXPECT_EQ(img, CRect(c.image));
        EXPECT_EQ(cap, CRect(c.caption));
    }
    // A pressed push button shifts the image by the pressed offset of its style.
    b.SetAlign(3, FALSE);
    CRect cap(item), img;
    b.PlaceImage(FALSE, &item, &cap, TRUE, 16, 16, &img);
    EXPECT_EQ(img, CRect(1, 1, 17, 17));
    b.SetPressedStyle(CImageButton::PRESS_SHIFT_DOWN, FALSE);
    b.PlaceImage(FALSE, &item, &cap, TRUE, 16, 16, &img);
    EXPECT_EQ(img, CRect(0, 2, 16, 18));
}

TEST_F(ImageButtonTest, BitmapsFollowTheStateAndTransparentPixelsTurnBlack) {
    CImageButton b;
    Make(b, "", 20, 20, 60, 40, 101);
    // In: red with a pink (transparent) centre; out: blue.
    ASSERT_EQ(b.SetBitmaps(Bitmap(20, 20, kRed, kPink, 6), kPink, Bitmap(20, 20, kBlue, kPink, 6), kPink),
              DWORD(CImageButton::RESULT_OK));
    Away();
    Capture idle(b.m_hWnd);
    EXPECT_EQ(idle.At(21, 11), kBlue);  // image centred at (20, 10)
    EXPECT_EQ(idle.At(5, 5), GetSysColor(COLOR_BTNFACE));

    WinTestMouseMove(b.m_hWnd, 30, 20);
    Pump();
    EXPECT_TRUE(b.IsHovering());
    Capture over(b.m_hWnd);
    EXPECT_EQ(over.At(21, 11), kRed);
    EXPECT_EQ(over.At(30, 20), RGB(0, 0, 0));  // the masked colour is black in a plain copy
    EXPECT_EQ(over.At(0, 0), GetSysColor(COLOR_BTNHILIGHT));  // flat border shows while hovering

    // Disabled: hover ends, and the masked pixels show the disabled background.
    b.EnableWindow(FALSE);
    Pump();
    EXPECT_FALSE(b.IsHovering());
    Capture off(b.m_hWnd);
    EXPECT_EQ(off.At(30, 20), RGB(73, 76, 104));
    EXPECT_EQ(off.At(21, 11), RGB(142, 142, 142));  // the out image, greyed and washed out

    // A bad handle frees everything and reports it; the button paints without images.
    EXPECT_EQ(b.SetBitmaps(reinterpret_cast<HBITMAP>(intptr_t(0x1234)), 0), DWORD(CImageButton::RESULT_BAD_RESOURCE));
    b.EnableWindow(TRUE);
    Pump();
    Capture plain(b.m_hWnd);
    EXPECT_EQ(plain.Count(kRed) + plain.Count(kBlue), 0);
}

TEST_F(ImageButtonTest, ThreeBitmapsShowOutInAndPressedFaces) {
    CImageButton b;
    Make(b, "", 20, 20, 30, 30, 102);
    b.SetAlign(3, FALSE);
    ASSERT_EQ(b.SetThreeBitmaps(Bitmap(30, 30, kRed, kRed, 0), 0, Bitmap(30, 30, kBlue, kBlue, 0), 0,
                                Bitmap(30, 30, kGreen, kGreen, 0), 0),
              DWORD(CImageButton::RESULT_OK));
    Away();
    EXPECT_EQ(Capture(b.m_hWnd).At(15, 15), kBlue);
    WinTestMouseMove(b.m_hWnd, 15, 15);
    Pump();
    EXPECT_EQ(Capture(b.m_hWnd).At(15, 15), kRed);
    WinTestMouseButton(b.m_hWnd, WINTEST_LEFT, TRUE, 15, 15);
    Pump();
    Capture down(b.m_hWnd);
    EXPECT_EQ(down.At(0, 0), kGreen);  // no pressed offset with three bitmaps
    EXPECT_EQ(down.At(29, 29), kGreen);
    WinTestMouseButton(b.m_hWnd, WINTEST_LEFT, FALSE, 15, 15);
    Pump();
    EXPECT_EQ(host.clicks.size(), 1u);
}

TEST_F(ImageButtonTest, GreyOutCopyAndIconsChosenByHover) {
    CImageButton grey, icons;
    Make(grey, "", 20, 20, 40, 40, 103);
    Make(icons, "", 100, 20, 40, 40, 104);
    ASSERT_EQ(grey.SetBitmaps(Bitmap(20, 20, RGB(200, 100, 50), RGB(200, 100, 50), 0), kPink,
                              reinterpret_cast<HBITMAP>(intptr_t(CImageButton::OUT_GREY_COPY)), 0),
              DWORD(CImageButton::RESULT_OK));
    ASSERT_EQ(icons.SetIcon(Icon(16, kRed), Icon(16, kBlue)), DWORD(CImageButton::RESULT_OK));
    Away();
    int v = int(0.299 * 200 + 0.587 * 100 + 0.114 * 50);
    EXPECT_EQ(Capture(grey.m_hWnd).At(20, 20), RGB(v, v, v));
    EXPECT_EQ(Capture(icons.m_hWnd).At(20, 20), kBlue);
    WinTestMouseMove(icons.m_hWnd, 20, 20);
    Pump();
    EXPECT_EQ(Capture(icons.m_hWnd).At(20, 20), kRed);
    Away();
    EXPECT_FALSE(icons.IsHovering());
    EXPECT_EQ(Capture(icons.m_hWnd).At(20, 20), kBlue);
    // A disabled icon is drawn in the disabled look, neither of its own colours.
    icons.EnableWindow(FALSE);
    Pump();
    COLORREF off = Capture(icons.m_hWnd).At(20, 20);
    EXPECT_NE(off, kRed);
    EXPECT_NE(off, kBlue);
    icons.EnableWindow(TRUE);
    // A darker out copy takes a quarter off each channel.
    ASSERT_EQ(
        icons.SetIcon(Icon(16, RGB(200, 100, 40)), reinterpret_cast<HICON>(intptr_t(CImageButton::OUT_DARKER_COPY))),
        DWORD(CImageButton::RESULT_OK));
    Pump();
    EXPECT_EQ(Capture(icons.m_hWnd).At(20, 20), RGB(150, 75, 30));
}

// Check-box mode is switched on by derived buttons.
class CCheckImageButton : public CImageButton {
public:
    CCheckImageButton() { m_bCheckMode = TRUE; }
};

TEST_F(ImageButtonTest, CheckBoxShowsTheInImageWhileCheckedAndClicksToggle) {
    CCheckImageButton b;
    Make(b, "", 20, 20, 40, 40, 111);
    HICON same = Icon(16, kGreen);
    ASSERT_EQ(b.SetIcon(Icon(16, kRed), Icon(16, kBlue)), DWORD(CImageButton::RESULT_OK));
    Away();
    EXPECT_EQ(Capture(b.m_hWnd).At(20, 20), kBlue);
    b.SetCheck(1);
    Pump();
    EXPECT_EQ(b.SendMessage(BM_GETCHECK), 1);
    EXPECT_EQ(Capture(b.m_hWnd).At(20, 20), kRed);  // checked: no pressed offset moves it away
    WinTestClick(b.m_hWnd, WINTEST_LEFT, 5, 5);
    Pump();
    EXPECT_EQ(b.GetCheck(), 0);
    EXPECT_EQ(host.clicks.size(), 1u);
    b.SendMessage(BM_SETCHECK, BST_INDETERMINATE);
    EXPECT_EQ(b.GetCheck(), 1);
    b.SendMessage(BM_SETCHECK, 7);
    EXPECT_EQ(b.GetCheck(), 0);
    // The same handle as in and out image is owned once (freed once on replacement).
    EXPECT_EQ(b.SetIcon(same, same), DWORD(CImageButton::RESULT_OK));
    EXPECT_EQ(b.SetIcon(static_cast<HICON>(nullptr)), DWORD(CImageButton::RESULT_OK));
}

TEST_F(ImageButtonTest, TransparentFaceShowsTheParentAndSizeFollowsTheImage) {
    // Made transparent before its first paint, as dialogs do while they initialise: the copy
    // is taken from what the parent painted under the button.
    CImageButton b, solid;
    Make(b, "", 20, 20, 60, 40, 112);
    Make(solid, "", 100, 20, 60, 40, 113);
    b.DrawTransparent(FALSE);
    Away();
    EXPECT_EQ(Capture(solid.m_hWnd).At(5, 5), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Capture(b.m_hWnd).At(5, 5), RGB(255, 255, 255));  // the host's white background
    WinTestMouseMove(b.m_hWnd, 10, 10);  // repaints reuse the copy
    Pump();
    EXPECT_EQ(Capture(b.m_hWnd).At(30, 20), RGB(255, 255, 255));
    // Only a transparent button takes a background copy from a DC.
    CImageButton opaque;
    CClientDC dc(&host);
    EXPECT_EQ(opaque.SetBk(&dc), DWORD(CImageButton::RESULT_BAD_ARGUMENT));
    EXPECT_EQ(b.SetBk(&dc), DWORD(CImageButton::RESULT_OK));

    ASSERT_EQ(b.SetBitmaps(Bitmap(24, 18, kRed, kRed, 0), kPink), DWORD(CImageButton::RESULT_OK));
    b.SizeToContent();
    CRect r;
    b.GetClientRect(&r);
    EXPECT_EQ(r.Size(), CSize(24, 18));
}

TEST_F(ImageButtonTest, DisabledCaptionIsEmbossed) {
    CImageButton on, off;
    Make(on, "Convert", 20, 20, 100, 30, 105);
    Make(off, "Convert", 20, 60, 100, 30, 106);
    off.EnableWindow(FALSE);
    Away();
    Capture a(on.m_hWnd), b(off.m_hWnd);
    EXPECT_GT(a.Count(GetSysColor(COLOR_BTNTEXT)), 10);
    // The embossed highlight by its antialiased ink: near white, clear of the button face.
    EXPECT_GT(b.CountNear(GetSysColor(COLOR_3DHILIGHT), 24), 10);
    EXPECT_GT(b.Count(GetSysColor(COLOR_3DSHADOW)), 10);
    EXPECT_EQ(b.CountNear(GetSysColor(COLOR_BTNTEXT)), 0);
}

TEST(ImageButtonInDialog, HoverKeepsTheDialogsDefaultButton) {
    // An empty dialog template: no menu, the dialog class, no title.
    struct {
        DLGTEMPLATE t;
        WORD menu, cls, title;
    } tmpl{{WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 200, 120}, 0, 0, 0};
    HWND dlg = CreateDialogIndirectParamA(nullptr, &tmpl.t, nullptr, nullptr, 0);
    ASSERT_NE(dlg, nullptr);
    SendMessageA(dlg, DM_SETDEFID, IDOK, 0);
    {
        CImageButton b;
        ASSERT_TRUE(b.Create("Go", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 90, 40),
                             CWnd::FromHandle(dlg), 107));
        WinTestMouseMove(b.m_hWnd, 10, 10);
        WinTestPumpUntilIdle();
        WinTestMouseMove(b.m_hWnd, 12, 12);
        WinTestPumpUntilIdle();
        EXPECT_TRUE(b.IsHovering());
        EXPECT_EQ(LOWORD(SendMessageA(dlg, DM_GETDEFID, 0, 0)), IDOK);
        b.DestroyWindow();
    }
    DestroyWindow(dlg);
    WinTestPumpUntilIdle();
}

TEST_F(ImageButtonTest, HoverEntersAndLeavesAndNotifiesTheParent) {
    CImageButton flat, raised;
    Make(flat, "Go", 20, 20, 80, 30, 107);
    Make(raised, "Go", 20, 80, 80, 30, 108);
    raised.SetFlat(FALSE);
    flat.SetColor(CImageButton::HOVER_FACE, RGB(255, 255, 0));
    Away();
    EXPECT_NE(Capture(flat.m_hWnd).At(5, 5), RGB(255, 255, 0));
    host.moves.clear();
    WinTestMouseMove(flat.m_hWnd, 10, 10);
    Pump();
    EXPECT_TRUE(flat.IsHovering());
    EXPECT_EQ(Capture(flat.m_hWnd).At(5, 5), RGB(255, 255, 0));
    ASSERT_FALSE(host.moves.empty());
    EXPECT_EQ(host.moves.back(), flat.m_hWnd);
    Away();
    EXPECT_FALSE(flat.IsHovering());
    EXPECT_NE(Capture(flat.m_hWnd).At(5, 5), RGB(255, 255, 0));

    // A raised button never hovers but still tells the parent, and has its raised border.
    WinTestMouseMove(raised.m_hWnd, 10, 10);
    Pump();
    EXPECT_FALSE(raised.IsHovering());
    EXPECT_EQ(host.moves.back(), raised.m_hWnd);
    Capture r(raised.m_hWnd);
    EXPECT_EQ(r.At(0, 0), GetSysColor(COLOR_BTNHILIGHT));
    EXPECT_EQ(r.At(79, 29), GetSysColor(COLOR_3DDKSHADOW));

    // Losing the window's activation cancels hover.
    WinTestMouseMove(flat.m_hWnd, 12, 12);
    Pump();
    ASSERT_TRUE(flat.IsHovering());
    flat.SendMessage(WM_CANCELMODE);
    EXPECT_FALSE(flat.IsHovering());
}

TEST_F(ImageButtonTest, ClicksReachTheParentAndOpenTheUrl) {
    CImageButton b;
    Make(b, "Site", 20, 20, 80, 30, 109);
    WinTestShellRecord(TRUE);
    WinTestShellClearRequests();
    b.SetURL("");
    WinTestClick(b.m_hWnd, WINTEST_LEFT, 10, 10);
    Pump();
    ASSERT_EQ(host.clicks.size(), 1u);
    EXPECT_EQ(host.clicks[0], std::make_pair(UINT(109), b.m_hWnd));
    EXPECT_EQ(GetFocus(), b.m_hWnd);
    EXPECT_EQ(WinTestShellRequestCount(), 0);

    b.SetURL("https://example.org/");
    WinTestAdvanceClock(1000);
    WinTestClick(b.m_hWnd, WINTEST_LEFT, 10, 10);
    Pump();
    EXPECT_EQ(host.clicks.size(), 2u);
    ASSERT_EQ(WinTestShellRequestCount(), 1);
    char word[300];
    bool found = false;
    for (int w = 0; WinTestShellRequestWord(0, w, word, sizeof word) >= 0; ++w)
        found |= std::string(word) == "https://example.org/";
    EXPECT_TRUE(found);
    WinTestShellClearRequests();
    WinTestShellRecord(FALSE);

    // The default-button style is remembered but the button stays owner-drawn.
    b.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_TRUE(b.GetDefault());
    EXPECT_EQ(b.GetStyle() & BS_TYPEMASK, DWORD(BS_OWNERDRAW));
    EXPECT_TRUE(b.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
    b.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(b.GetDefault());
    EXPECT_TRUE(b.SendMessage(WM_GETDLGCODE) & DLGC_UNDEFPUSHBUTTON);
    // A menu id with no menu resource behind it is refused.
    EXPECT_EQ(b.SetMenu(500, host.m_hWnd), DWORD(CImageButton::RESULT_BAD_RESOURCE));
}

TEST_F(ImageButtonTest, TooltipCarriesTheText) {
    CImageButton b;
    Make(b, "Tip", 20, 20, 80, 30, 110);
    b.SetTooltipText(static_cast<LPCSTR>(nullptr));
    EXPECT_EQ(b.GetToolTipWindow(), nullptr);
    b.SetTooltipText("Play the selected file");
    ASSERT_NE(b.GetToolTipWindow(), nullptr);
    EXPECT_EQ(SendMessageA(b.GetToolTipWindow(), TTM_GETTOOLCOUNT, 0, 0), 1);
    char text[100] = {};
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = b.m_hWnd;
    ti.uId = 1;
    ti.lpszText = text;
    SendMessageA(b.GetToolTipWindow(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, "Play the selected file");
    b.SetTooltipText("Stop");  // replaces the text of the one tool
    EXPECT_EQ(SendMessageA(b.GetToolTipWindow(), TTM_GETTOOLCOUNT, 0, 0), 1);
    SendMessageA(b.GetToolTipWindow(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, "Stop");
}

TEST_F(ImageButtonTest, DialogPictureOfButtonStates) {
    CImageButton normal, hover, disabled, bitmap, focused;
    Make(normal, "Normal", 10, 10, 110, 40, 201);
    Make(hover, "Hover", 130, 10, 110, 40, 202);
    Make(disabled, "Disabled", 250, 10, 110, 40, 203);
    Make(bitmap, "Bitmap", 10, 70, 110, 60, 204);
    Make(focused, "Focused", 130, 70, 110, 40, 205);
    bitmap.SetAlign(1, FALSE);
    bitmap.SetBitmaps(Bitmap(20, 20, kRed, kPink, 6), kPink);
    hover.SetColor(CImageButton::HOVER_FACE, RGB(255, 255, 0));
    focused.SetFlat(FALSE);
    disabled.EnableWindow(FALSE);
    focused.SetFocus();
    WinTestMouseMove(hover.m_hWnd, 50, 20);
    Pump();
    std::string path = testing::TempDir() + "imagebutton_states.png";
    ASSERT_TRUE(WinTestCaptureWindowPng(host.m_hWnd, path.c_str()));
    Capture all(host.m_hWnd);
    Capture h(hover.m_hWnd), f(focused.m_hWnd), bm(bitmap.m_hWnd);
    EXPECT_EQ(h.At(3, 3), RGB(255, 255, 0));
    EXPECT_EQ(f.At(0, 0), RGB(0, 0, 0));  // focused raised button: black frame
    EXPECT_EQ(bm.At(45 + 2, 3 + 2), kRed);  // image above the caption
    EXPECT_EQ(bm.At(55, 13), RGB(0, 0, 0));
    EXPECT_GT(all.w, 0);
}

}  // namespace
