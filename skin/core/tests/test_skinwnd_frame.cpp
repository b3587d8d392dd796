// The skinned frame: the nine parts where the nine-grid rules put them, the client area inside
// them, the window region from the part pictures, and the style change that keeps the window
// system from drawing its own frame.
#include <unistd.h>

#include <climits>
#include <string>

#include "SkinDraw.h"
#include "SkinMemDC.h"
#include "test_skinwnd_support.h"
#include "winplat_test.h"

using namespace skinwnd;

namespace {

// The styles the window's own procedure saw during the messages of interest.
std::map<UINT, DWORD> g_styleDuring;
bool g_addScrollOnEnable = false;

LRESULT CALLBACK StyleSpyProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    switch (m) {
    case WM_NCACTIVATE:
    case WM_SETTEXT:
    case WM_SETICON:
    case WM_ENABLE:
    case WM_SETCURSOR:
    case WM_INITMENU:
        g_styleDuring[m] = DWORD(GetWindowLongA(h, GWL_STYLE));
        if (m == WM_ENABLE && g_addScrollOnEnable)
            SetWindowLongA(h, GWL_STYLE, GetWindowLongA(h, GWL_STYLE) | WS_VSCROLL);
        break;
    default:
        break;
    }
    return DefWindowProcA(h, m, w, l);
}

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
constexpr int kW = 160, kH = 110;

class FrameTest : public ManagerFixture {
protected:
    void SetUp() override
    {
        ManagerFixture::SetUp();
        EnsureClass("SkinWndStyleSpy", &StyleSpyProc);
        g_styleDuring.clear();
        g_addScrollOnEnable = false;
    }
    HWND Dialog(const char* title = "")
    {
        HWND h = Keep(CreateWindowExA(0, "SkinWndStyleSpy", title, kDialogStyle, 30, 30, kW, kH, nullptr, nullptr,
                                      Instance(), nullptr));
        return h;
    }
};

TEST_F(FrameTest, NinePartsArePaintedWhereTheNineGridRulesPutThem)
{
    HWND h = Dialog();
    ASSERT_TRUE(Manager().AttachDialogSkin(h, "Dialog"));
    WinTestPumpUntilIdle();
    WinTestWindowPicture pic(h);
    ASSERT_EQ(pic.w, kW);
    ASSERT_EQ(pic.h, kH);
    // Corners keep their design size at the window's corners, the edges stretch between them.
    const RECT parts[9] = {{0, 0, 12, kTop},
                           {12, 0, kW - 20, kTop},
                           {kW - 20, 0, kW, kTop},
                           {0, kTop, kLeft, kH - kBottom},
                           {kLeft, kTop, kW - kRight, kH - kBottom},
                           {kW - kRight, kTop, kW, kH - kBottom},
                           {0, kH - kBottom, 9, kH},
                           {9, kH - kBottom, kW - 11, kH},
                           {kW - 11, kH - kBottom, kW, kH}};
    for (int i = 0; i < 9; ++i) {
        const RECT& r = parts[i];
        for (POINT p : {POINT{r.left, r.top}, POINT{r.right - 1, r.bottom - 1}, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}})
            EXPECT_EQ(pic.At(p.x, p.y), PartColor(i)) << "part " << i << " at " << p.x << "," << p.y;
    }
    // The client area is the centre part.
    RECT client;
    GetClientRect(h, &client);
    EXPECT_EQ(client.right, kW - kLeft - kRight);
    EXPECT_EQ(client.bottom, kH - kTop - kBottom);
    POINT origin{0, 0};
    ClientToScreen(h, &origin);
    RECT wr;
    GetWindowRect(h, &wr);
    EXPECT_EQ(origin.x - wr.left, kLeft);
    EXPECT_EQ(origin.y - wr.top, kTop);
}

TEST_F(FrameTest, ALargerWindowMovesTheRightAndBottomPartsAlong)
{
    HWND h = Dialog();
    ASSERT_TRUE(Manager().AttachDialogSkin(h, "Dialog"));
    SetWindowPos(h, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    WinTestPumpUntilIdle();
    WinTestWindowPicture pic(h);
    ASSERT_EQ(pic.w, 300);
    EXPECT_EQ(pic.At(299, 0), PartColor(2));
    EXPECT_EQ(pic.At(280, 0), PartColor(2));
    EXPECT_EQ(pic.At(279, 0), PartColor(1));
    EXPECT_EQ(pic.At(299, 100), PartColor(5));
    EXPECT_EQ(pic.At(300 - kRight - 1, 100), PartColor(4));
    EXPECT_EQ(pic.At(0, 199), PartColor(6));
    EXPECT_EQ(pic.At(150, 199), PartColor(7));
    EXPECT_EQ(pic.At(299, 199), PartColor(8));
    EXPECT_EQ(pic.At(289, 199 - kBottom + 1), PartColor(8));
}

TEST_F(FrameTest, CaptionTextIsDrawnUnlessATitleElementTakesItsPlace)
{
    // Text pixels: anything in the top part that is not the part's own colour.
    auto whiteInCaption = [&](HWND h) {
        WinTestWindowPicture pic(h);
        int n = 0;
        for (int y = 0; y < kTop; ++y)
            for (int x = 12; x < kW - 20; ++x)
                n += pic.At(x, y) != PartColor(1);
        return n;
    };
    HWND titled = Dialog("Hello skin");
    ASSERT_TRUE(Manager().AttachDialogSkin(titled, "Dialog"));
    WinTestPumpUntilIdle();
    EXPECT_GT(whiteInCaption(titled), 10);

    auto title = Named<CSkinCaptionStaticObject>("Title");
    title->m_nRole = 1;
    Manager().GetSkinFile()->FindObject("Frame")->AddChild(std::move(title));
    HWND other = Dialog("Hello skin");
    ASSERT_TRUE(Manager().AttachDialogSkin(other, "Frame"));
    WinTestPumpUntilIdle();
    EXPECT_EQ(whiteInCaption(other), 0);

    // A new title is painted by the skin at once.
    SetWindowTextA(other, "");
    SetWindowTextA(titled, "");
    WinTestPumpUntilIdle();
    EXPECT_EQ(whiteInCaption(titled), 0);
}

TEST_F(FrameTest, RegionLeavesOutTheKeyColourOfThePartPictures)
{
    auto file = MakeTestSkin(true);
    // The top-left part's picture gets a 4 x 4 key-coloured corner (picture rows are bottom-up).
    CRasterImage img;
    img.Create(8, 8, 24);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            img.SetPixelColor(x, y, x < 4 && y >= 4 ? RGB(255, 0, 255) : PartColor(0));
    auto picture = Named<CSkinImageObject>("p0");
    picture->SetImage(img, 1);
    file->AddImage(std::move(picture));
    CSkinObject* dialog = file->FindObject("Dialog");
    dialog->ReleaseResources();
    dialog->CreateResources();
    ASSERT_EQ(Manager().ApplySkinToAllWindows(file.release()), 1);

    HWND h = Dialog();
    ASSERT_TRUE(Manager().AttachDialogSkin(h, "Dialog"));
    WinTestPumpUntilIdle();
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(h, rgn), ERROR);
    // The top-left frame piece is 12 x 24 drawn from 8 x 8: the corner scales to 6 x 12.
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(PtInRegion(rgn, 5, 11));
    EXPECT_TRUE(PtInRegion(rgn, 6, 11));
    EXPECT_TRUE(PtInRegion(rgn, 5, 12));
    EXPECT_TRUE(PtInRegion(rgn, kW - 1, 0));
    EXPECT_TRUE(PtInRegion(rgn, kW / 2, kH / 2));
    EXPECT_TRUE(PtInRegion(rgn, kW - 1, kH - 1));
    DeleteObject(rgn);

    // Without an Application object there is no region at all.
    HWND plain = Dialog();
    ASSERT_EQ(Manager().ApplySkinToAllWindows(MakeTestSkin(false).release()), 1);
    ASSERT_TRUE(Manager().AttachDialogSkin(plain, "Dialog"));
    WinTestPumpUntilIdle();
    rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(plain, rgn), ERROR);
    EXPECT_EQ(GetWindowRgn(h, rgn), ERROR);  // the skin change dropped the old one
    DeleteObject(rgn);

    // Removing the skin gives the window back without a region.
    EXPECT_TRUE(Manager().RemoveSkin(h, FALSE));
}

TEST_F(FrameTest, TheSystemFrameNeverSeesTheSystemMenuWhileTheSkinPaints)
{
    HWND h = Dialog("Styles");
    ASSERT_TRUE(Manager().AttachDialogSkin(h, "Dialog"));
    const DWORD style = DWORD(GetWindowLongA(h, GWL_STYLE));
    ASSERT_TRUE(style & WS_SYSMENU);

    SendMessageA(h, WM_SETICON, ICON_SMALL, 0);
    SendMessageA(h, WM_INITMENU, 0, 0);
    SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCAPTION, WM_MOUSEMOVE));
    for (UINT m : {UINT(WM_SETICON), UINT(WM_INITMENU), UINT(WM_SETCURSOR)}) {
        ASSERT_TRUE(g_styleDuring.count(m)) << m;
        EXPECT_EQ(g_styleDuring[m], style & ~WS_SYSMENU) << m;
    }
    // Activation and a new title are handled by a bare popup.
    SendMessageA(h, WM_NCACTIVATE, TRUE, 0);
    SendMessageA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("New title"));
    EXPECT_EQ(g_styleDuring[WM_NCACTIVATE], DWORD(WS_POPUP));
    EXPECT_EQ(g_styleDuring[WM_SETTEXT], DWORD(WS_POPUP));
    // The style is back after every call, and the title was taken.
    EXPECT_EQ(DWORD(GetWindowLongA(h, GWL_STYLE)), style);
    char text[32] = {};
    GetWindowTextA(h, text, sizeof text);
    EXPECT_STREQ(text, "New title");

    // What the procedure itself changes during the call stays changed.
    g_addScrollOnEnable = true;
    SendMessageA(h, WM_ENABLE, TRUE, 0);
    EXPECT_EQ(g_styleDuring[WM_ENABLE], style & ~WS_SYSMENU);
    EXPECT_EQ(DWORD(GetWindowLongA(h, GWL_STYLE)), style | WS_VSCROLL);

    // The frame is the skin's after all of it.
    WinTestPumpUntilIdle();
    WinTestWindowPicture pic(h);
    EXPECT_EQ(pic.At(kW - 1, kH / 2), PartColor(5));
    EXPECT_EQ(pic.At(1, 1), PartColor(0));
}

TEST_F(FrameTest, AChildWithoutADialogFrameKeepsItsOwnFrame)
{
    HWND parent = Keep(MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN));
    HWND page = Keep(MakeChild(parent, "SkinWndStyleSpy", WS_BORDER, 5, {10, 10, 110, 80}));
    ASSERT_TRUE(Manager().AttachDialogSkin(page, "Dialog"));
    CSkinWindow* skin = Manager().FindSkinWindow(page);
    EXPECT_FALSE(skin->HasSkinnedFrame());
    RECT client;
    GetClientRect(page, &client);
    EXPECT_EQ(client.right, 100 - 2);  // the system's one-pixel border
    // Its background is still the skin's, and it hands no brush of its own to the system.
    EXPECT_EQ(SendMessageA(page, WM_CTLCOLORDLG, 0, 0), reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)));
    WinTestPumpUntilIdle();
    WinTestWindowPicture pic(page);
    EXPECT_EQ(pic.At(50, 35), PartColor(4));
}

// A skin that draws its frame itself turns the base's frame handling off.
class OwnFrameSkin : public CSkinWindow {
public:
    OwnFrameSkin() { m_bBaseFrameHandling = false; }
};

TEST_F(FrameTest, ASkinWithItsOwnFrameGetsNoneFromTheBase)
{
    HWND plain = Dialog("x");
    RECT before;
    GetClientRect(plain, &before);
    auto* skin = new OwnFrameSkin;
    ASSERT_EQ(Manager().RegisterWindow(skin, plain), 1);
    skin->SetSkinObject(Manager().GetSkinFile()->FindObject("Dialog"));
    ASSERT_TRUE(skin->Attach(plain));
    SetWindowPos(plain, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    RECT after;
    GetClientRect(plain, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    SendMessageA(plain, WM_SETICON, ICON_SMALL, 0);
    EXPECT_EQ(g_styleDuring[WM_SETICON], DWORD(GetWindowLongA(plain, GWL_STYLE)));
}

// Frame parts whose rectangles end before they start claim a negative band: the client area
// still lies inside the window (a client millions of pixels tall was painted in full).
TEST_F(FrameTest, InvertedFramePartsLeaveTheClientInsideTheWindow)
{
    auto file = MakeTestSkin(true);
    auto* dialog = static_cast<CSkinWindowObject*>(file->FindObject("Dialog"));
    dialog->m_frameRects[0] = RECT{0, 40, 12, -10000000};     // top band 10,000,040 tall, upside down
    dialog->m_frameRects[3] = RECT{12, 0, -5000, 10};         // left column, right to left
    dialog->m_frameRects[5] = RECT{4000, 0, 2, 10};           // right column, right to left
    dialog->m_frameRects[6] = RECT{0, 10000000, 12, -40};     // bottom band, upside down
    ASSERT_EQ(Manager().ApplySkinToAllWindows(file.release()), 1);

    HWND h = Dialog("Inverted");
    ASSERT_TRUE(Manager().AttachDialogSkin(h, "Dialog"));
    WinTestPumpUntilIdle();
    RECT window, client;
    GetWindowRect(h, &window);
    GetClientRect(h, &client);
    POINT origin{0, 0};
    ClientToScreen(h, &origin);
    EXPECT_GE(origin.x, window.left);
    EXPECT_GE(origin.y, window.top);
    EXPECT_LE(origin.x + client.right, window.right);
    EXPECT_LE(origin.y + client.bottom, window.bottom);

    // Bands taller and wider than the window leave an empty client at its far corner.
    file = MakeTestSkin(true);
    dialog = static_cast<CSkinWindowObject*>(file->FindObject("Dialog"));
    dialog->m_frameRects[0] = RECT{0, 0, 12, 10000000};
    dialog->m_frameRects[3] = RECT{0, 0, 5000, 10};
    ASSERT_EQ(Manager().ApplySkinToAllWindows(file.release()), 1);
    HWND tall = Dialog("Tall");
    ASSERT_TRUE(Manager().AttachDialogSkin(tall, "Dialog"));
    WinTestPumpUntilIdle();
    GetWindowRect(tall, &window);
    GetClientRect(tall, &client);
    origin = POINT{0, 0};
    ClientToScreen(tall, &origin);
    EXPECT_EQ(client.right, 0);
    EXPECT_EQ(client.bottom, 0);
    EXPECT_LE(origin.x, window.right);
    EXPECT_LE(origin.y, window.bottom);
}

TEST_F(FrameTest, PartsClaimingTheWholeIntegerRangeStayWithinTheWindow)
{
    auto file = MakeTestSkin(true);
    // The top-right part's picture: solid, one key-coloured pixel in each 4 x 4 tile's corner.
    CRasterImage holes;
    holes.Create(4, 4, 24);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            holes.SetPixelColor(x, y, x == 0 && y == 3 ? RGB(255, 0, 255) : PartColor(2));
    auto picture = Named<CSkinImageObject>("holes");
    picture->SetImage(holes, 1);
    file->AddImage(std::move(picture));
    auto* dialog = static_cast<CSkinWindowObject*>(file->FindObject("Dialog"));
    dialog->m_frameRects[0] = RECT{INT_MIN, INT_MIN, 12, INT_MAX};  // as tall as the range
    dialog->m_frameRects[2] = RECT{INT_MIN, 0, INT_MAX, kTop};      // as wide as the range
    dialog->m_parts[1].Set("p1", INT_MIN, INT_MIN, INT_MAX, INT_MAX, 1);
    dialog->m_parts[2].Set("holes", 0, 0, 4, 4, 1);
    dialog->m_rc = RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    auto far = Named<CSkinButtonObject>("FarButton");
    far->m_nControlId = 31;
    far->m_nAnchoring = 1;
    far->m_anchor[2] = far->m_anchor[3] = 1;
    far->m_rc = RECT{INT_MIN, INT_MAX - 20, INT_MIN + 40, INT_MAX};
    dialog->AddChild(std::move(far));
    dialog->ReleaseResources();
    dialog->CreateResources();
    ASSERT_EQ(Manager().ApplySkinToAllWindows(file.release()), 1);

    HWND h = Dialog("Far");
    Keep(MakeChild(h, "Button", BS_PUSHBUTTON, 31));
    ASSERT_TRUE(Manager().AttachDialogSkin(h, "Dialog"));
    WinTestPumpUntilIdle();
    // The wide part covers the caption band from the window's left edge, tiled from a corner
    // far outside it; the tall one leaves no room for a client area.
    WinTestWindowPicture pic(h);
    EXPECT_EQ(pic.At(kW / 2 + 1, 2), PartColor(2));
    RECT client;
    GetClientRect(h, &client);
    EXPECT_EQ(client.bottom - client.top, 0);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(h, rgn), ERROR);
    EXPECT_FALSE(PtInRegion(rgn, 16, 4));
    EXPECT_TRUE(PtInRegion(rgn, 17, 4));
    EXPECT_FALSE(PtInRegion(rgn, kW - 4, 0));
    EXPECT_TRUE(PtInRegion(rgn, kW - 1, 0));
    DeleteObject(rgn);
    // Resizing lays the far-anchored control out without running over.
    SetWindowPos(h, nullptr, 0, 0, kW + 40, kH + 30, SWP_NOMOVE | SWP_NOZORDER);
    WinTestPumpUntilIdle();
    EXPECT_EQ(Manager().FindSkinWindow(h)->LayoutChildren(kW + 40, kH + 30), 1);
}

// The default skin on a test dialog, saved as a picture to look at.
TEST_F(FrameTest, DefaultSkinOnATestDialog)
{
    char exe[PATH_MAX] = {};
    ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    std::string dir = exe;
    dir.resize(dir.rfind('/') + 1);
    auto* file = new CSkinFile;
    if (!file->LoadFromFile((dir + "z-arud.qvk").c_str())) {
        delete file;
        FAIL() << "the default skin z-arud.qvk is built beside the tests (target default_skin)";
    }
    ASSERT_EQ(Manager().ApplySkinToAllWindows(file), 1);
    HWND h = Keep(CreateWindowExA(0, "SkinWndStyleSpy", "Velmora test dialog", kDialogStyle, 40, 40, 320, 200, nullptr,
                                  nullptr, Instance(), nullptr));
    Keep(CreateWindowExA(0, "Button", "OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 200, 120, 90, 26, h,
                         reinterpret_cast<HMENU>(IDOK), Instance(), nullptr));
    Keep(CreateWindowExA(0, "Static", "Files to convert:", WS_CHILD | WS_VISIBLE, 16, 16, 200, 18, h, nullptr,
                         Instance(), nullptr));
    ASSERT_TRUE(Manager().AttachDialogSkin(h, "Dialog"));
    WinTestActivate(h);
    WinTestPumpUntilIdle();

    auto* dialog = dynamic_cast<CSkinWindowObject*>(file->FindObject("Dialog"));
    ASSERT_NE(dialog, nullptr);
    RECT client;
    GetClientRect(h, &client);
    const RECT* f = dialog->m_frameRects;
    EXPECT_EQ(client.right, 320 - (f[3].right - f[3].left) - (f[5].right - f[5].left));
    EXPECT_EQ(client.bottom, 200 - (f[0].bottom - f[0].top) - (f[6].bottom - f[6].top));

    // The left border is the skin's part 3, as the drawing helper paints it.
    CSkinWindow* skin = Manager().FindSkinWindow(h);
    const RECT& left = skin->GetFramePart(3);
    CSkinMemDC expected(nullptr, left.right - left.left, left.bottom - left.top);
    DrawSkinImage(file, expected, RECT{0, 0, left.right - left.left, left.bottom - left.top}, dialog->m_parts[3],
                  dialog->m_crActiveFill, 1, false);
    WinTestWindowPicture pic(h);
    const int midY = (left.top + left.bottom) / 2;
    EXPECT_EQ(pic.At(left.left, midY), GetPixel(expected, 0, midY - left.top));

    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(h, rgn), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));  // rounded corners
    EXPECT_TRUE(PtInRegion(rgn, 160, 100));
    DeleteObject(rgn);

    const std::string png = testing::TempDir() + "skinwnd_default_dialog.png";
    EXPECT_TRUE(WinTestCaptureWindowPng(h, png.c_str()));
    // The screen shows the window through its region.
    if (const char* keep = getenv("SKINWND_PNG")) {
        WinTestCaptureWindowPng(h, keep);
        WinTestCaptureScreenPng((std::string(keep) + ".screen.png").c_str());
    }
}

}  // namespace
