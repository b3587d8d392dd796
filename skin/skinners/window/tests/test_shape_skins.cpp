// Shaped and type-45 windows: the region of a shape picture with caption texts cutting and
// adding to it, translucency and task-bar styles, dragging by the whole shape, the styles given
// back; a type-45 window sized to its design with its frame painted in the client area and the
// program's content drawn into it, and its hit codes.
#include "RasterImage.h"
#include "ShapeSkin.h"
#include "SkinFile.h"
#include "window_test_support.h"

using namespace wintest;

namespace {

constexpr int kShapeW = 60, kShapeH = 40;
constexpr COLORREF kKey = RGB(255, 0, 255), kContent = RGB(7, 7, 7);
int g_drawClientCalls = 0;

LRESULT CALLBACK ContentProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_SKIN_DRAWCLIENT) {
        ++g_drawClientCalls;
        HBRUSH b = CreateSolidBrush(kContent);
        FillRect(reinterpret_cast<HDC>(w), reinterpret_cast<RECT*>(l), b);
        DeleteObject(b);
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

class ShapeSkinTest : public WindowSkinTest {
protected:
    void AddObjects(std::vector<std::unique_ptr<CSkinObject>>& objects) override
    {
        for (BYTE alpha : {BYTE(255), BYTE(200)}) {
            auto shape = std::make_unique<CSkinShapeWndObject>();
            shape->SetName(alpha == 255 ? "Shape" : "Glass");
            shape->m_shape.Set("", 0, 0, kShapeW, kShapeH, 0);
            shape->m_nByte = alpha;
            shape->m_values[0] = RGB(1, 1, 1);
            shape->m_values[1] = alpha == 255 ? 0 : 1;  // the glass keeps its task-bar button
            auto cut = Text("Cut", 0, {40, 0, 60, 10});
            cut->m_nRegionMode = 1;
            shape->AddChild(std::move(cut));
            auto add = Text("Add", 0, {0, 30, 20, 40});
            add->m_nRegionMode = 4;
            shape->AddChild(std::move(add));
            objects.push_back(std::move(shape));
        }
        auto panel = std::make_unique<CSkinType45Object>();
        panel->SetName("Panel");
        SetFrameRects(*panel, 150, 100);
        panel->AddChild(Button("PanelClose", CSkinCaptionButtonObject::ACTION_CLOSE, {128, 2, 144, 18}));
        objects.push_back(std::move(panel));
    }
    void SetUp() override
    {
        WindowSkinTest::SetUp();
        // The shape's picture: solid but for a key-coloured 10 x 10 hole at (10, 20) (the
        // picture's rows count from the bottom).
        CRasterImage holes;
        holes.Create(kShapeW, kShapeH, 24);
        for (int y = 0; y < kShapeH; ++y)
            for (int x = 0; x < kShapeW; ++x)
                holes.SetPixelColor(x, y, x >= 10 && x < 20 && y >= 10 && y < 20 ? kKey : RGB(40, 80, 120));
        auto picture = std::make_unique<CSkinImageObject>();
        picture->SetName("holes");
        picture->SetImage(holes, 1);
        CSkinFile* file = CSkinManager::Instance().GetSkinFile();
        ASSERT_TRUE(file->AddImage(std::move(picture)));
        for (const char* name : {"Shape", "Glass"})
            static_cast<CSkinShapeWndObject*>(file->FindObject(name))->m_shape.Set("holes", 0, 0, kShapeW, kShapeH, 0);
        WNDCLASSA wc{};
        wc.lpfnWndProc = &ContentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ShapeSkinContent";
        RegisterClassA(&wc);
        g_drawClientCalls = 0;
    }
    HWND Window(DWORD style, DWORD ex = 0)
    {
        HWND h = CreateWindowExA(ex, "ShapeSkinContent", "", style, 100, 100, 120, 90, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        windows.push_back(h);
        return h;
    }
    static bool InRegion(HWND h, int x, int y)
    {
        HRGN r = CreateRectRgn(0, 0, 0, 0);
        const bool in = GetWindowRgn(h, r) != ERROR && PtInRegion(r, x, y);
        DeleteObject(r);
        return in;
    }
};

TEST_F(ShapeSkinTest, TheShapePictureLessItsKeyColourAndTheCaptionTextsMakeTheRegion)
{
    HWND h = Window(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    const DWORD exBefore = DWORD(GetWindowLongA(h, GWL_EXSTYLE));
    ASSERT_TRUE(SetDialogWindowSkin(h, "Shape")) << GetSkinLastError();
    ASSERT_NE(dynamic_cast<CSkinShapeWnd*>(SkinOf(h)), nullptr);
    WinTestPumpUntilIdle();
    RECT wr;
    GetWindowRect(h, &wr);
    EXPECT_EQ(wr.right - wr.left, kShapeW);
    EXPECT_EQ(wr.bottom - wr.top, kShapeH);
    EXPECT_TRUE(InRegion(h, 5, 5));
    EXPECT_FALSE(InRegion(h, 15, 25));  // the key-coloured hole
    EXPECT_FALSE(InRegion(h, 50, 5));   // cut out by "Cut"
    EXPECT_TRUE(InRegion(h, 50, 15));
    EXPECT_TRUE(InRegion(h, 10, 35));   // "Add" puts its own shape back
    // The desktop shows through the hole; the picture everywhere else.
    EXPECT_EQ(WinTestScreenPixel(wr.left + 5, wr.top + 25), RGB(40, 80, 120));
    EXPECT_NE(WinTestScreenPixel(wr.left + 15, wr.top + 25), RGB(40, 80, 120));
    // Opaque: a tool window, not layered; its caption made the whole shape drag it.
    const DWORD ex = DWORD(GetWindowLongA(h, GWL_EXSTYLE));
    EXPECT_EQ(ex, DWORD(WS_EX_TOOLWINDOW));
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(wr.left + 30, wr.top + 30)), HTCAPTION);
    const DWORD styled = DWORD(GetWindowLongA(h, GWL_STYLE));
    EXPECT_EQ(styled & WS_CAPTION, 0u);
    const POINT from = {wr.left + 30, wr.top + 30};
    WinTestDrag(nullptr, WINTEST_LEFT, from.x, from.y, from.x + 20, from.y + 5, 3);
    WinTestPumpUntilIdle();
    RECT moved;
    GetWindowRect(h, &moved);
    EXPECT_EQ(moved.left - wr.left, 20);

    // The styles come back with the skin's removal.
    ASSERT_TRUE(RemoveWindowSkin(h));
    EXPECT_EQ(DWORD(GetWindowLongA(h, GWL_STYLE)) & WS_CAPTION, DWORD(WS_CAPTION));
    EXPECT_EQ(DWORD(GetWindowLongA(h, GWL_EXSTYLE)), exBefore);
    EXPECT_FALSE(InRegion(h, 5, 5));  // no region at all
}

TEST_F(ShapeSkinTest, ATranslucentShapeIsLayeredAndWithoutACaptionIsAClientEverywhere)
{
    HWND h = Window(WS_POPUP | WS_VISIBLE, WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    ASSERT_TRUE(SetDialogWindowSkin(h, "Glass"));
    WinTestPumpUntilIdle();
    const DWORD ex = DWORD(GetWindowLongA(h, GWL_EXSTYLE));
    EXPECT_TRUE(ex & WS_EX_LAYERED);
    EXPECT_FALSE(ex & WS_EX_TOOLWINDOW);  // the task-bar flag keeps it out of the tool windows
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(h, &key, &alpha, &flags));
    EXPECT_EQ(alpha, 200);
    EXPECT_EQ(key, RGB(1, 1, 1));
    EXPECT_EQ(flags, DWORD(LWA_COLORKEY | LWA_ALPHA));
    RECT wr;
    GetWindowRect(h, &wr);
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(wr.left + 30, wr.top + 30)), HTCLIENT);
}

TEST_F(ShapeSkinTest, ATypeFortyFiveWindowPaintsItsFrameAroundTheProgramsContent)
{
    HWND h = Window(WS_POPUP | WS_VISIBLE);
    ASSERT_TRUE(SetDialogWindowSkin(h, "Panel")) << GetSkinLastError();
    WinTestActivate(h);
    WinTestPumpUntilIdle();
    RECT wr, client;
    GetWindowRect(h, &wr);
    GetClientRect(h, &client);
    EXPECT_EQ(wr.right - wr.left, 150);  // its design's size
    EXPECT_EQ(wr.bottom - wr.top, 100);
    EXPECT_EQ(client.right, 150);  // the frame lies in the client area
    EXPECT_GE(g_drawClientCalls, 1);
    EXPECT_EQ(PainterAt(h, {2, 40}), "Panel.parts[3]");
    EXPECT_EQ(PainterAt(h, {75, 2}), "Panel.parts[1]");
    EXPECT_EQ(CPicture::OfWindow(h).At(75, 50), kContent);
    EXPECT_EQ(PainterAt(h, Middle(ElementRect(h, "PanelClose"))), "Panel/PanelClose.image");
    RECT margins;
    ASSERT_TRUE(GetType45WindowMargins(h, &margins));
    EXPECT_EQ(margins.left, kLeft);
    EXPECT_EQ(margins.top, kCaption);
    EXPECT_EQ(margins.right, kRight);
    EXPECT_EQ(margins.bottom, kBottom);

    auto hit = [&](int x, int y) { return SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(wr.left + x, wr.top + y)); };
    EXPECT_EQ(hit(75, 50), HTCLIENT);
    EXPECT_EQ(hit(1, 1), HTTOPLEFT);
    EXPECT_EQ(hit(75, 10), HTCAPTION);
    EXPECT_EQ(hit(75, kTopMiddle + 1), HTERROR);  // between the frame parts
    EXPECT_EQ(hit(149, 99), HTBOTTOMRIGHT);
    EXPECT_EQ(hit(136, 10), HTCLIENT);  // the close button takes the mouse as a client
    // A click on the close button asks the window to close.
    Click(h, Middle(ElementRect(h, "PanelClose")));
    EXPECT_FALSE(IsWindow(h));
}

}  // namespace

namespace {

TEST_F(ShapeSkinTest, ShapedTranslucentAndPanelSkinsComeOffWithoutLeavingAnythingBehind)
{
    HWND h = Window(WS_POPUP | WS_CAPTION | WS_VISIBLE);
    WinTestPumpUntilIdle();
    const DWORD style = DWORD(GetWindowLongA(h, GWL_STYLE)), ex = DWORD(GetWindowLongA(h, GWL_EXSTYLE));
    const WinTestLiveCounts unskinned = WinTestLiveCounts::Now();
    for (const char* name : {"Shape", "Glass", "Panel", "Shape"}) {
        ASSERT_TRUE(SetDialogWindowSkin(h, name)) << name;
        WinTestPumpUntilIdle();
        ASSERT_TRUE(RemoveWindowSkin(h)) << name;
        WinTestPumpUntilIdle();
        EXPECT_EQ(DWORD(GetWindowLongA(h, GWL_STYLE)), style) << name;
        EXPECT_EQ(DWORD(GetWindowLongA(h, GWL_EXSTYLE)), ex) << name;
        EXPECT_FALSE(InRegion(h, 0, 0)) << name << " left its region";
        const WinTestLiveCounts now = WinTestLiveCounts::Now();
        EXPECT_EQ(now, unskinned) << name << ": " << now.ChangesFrom(unskinned);
    }
}

TEST_F(ShapeSkinTest, AnAttachThatFailsPutsTheWindowsStylesBackAndSparesTheOneAttached)
{
    HWND a = Window(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    HWND b = Window(WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_VISIBLE, WS_EX_APPWINDOW);
    const DWORD aStyle = DWORD(GetWindowLongA(a, GWL_STYLE)), aEx = DWORD(GetWindowLongA(a, GWL_EXSTYLE));
    const DWORD bStyle = DWORD(GetWindowLongA(b, GWL_STYLE)), bEx = DWORD(GetWindowLongA(b, GWL_EXSTYLE));
    CSkinFile* file = CSkinManager::Instance().GetSkinFile();
    for (const char* name : {"Shape", "Panel"}) {
        std::unique_ptr<CSkinWindow> skin;
        if (std::string(name) == "Shape")
            skin = std::make_unique<CSkinShapeWnd>();
        else
            skin = std::make_unique<CSkinType45Wnd>();
        skin->SetSkinObject(file->FindObject(name));
        ASSERT_TRUE(skin->Attach(a)) << name;
        // A window that is gone, and one while the skin holds another: neither is changed.
        HWND gone = Window(WS_POPUP);
        DestroyWindow(gone);
        EXPECT_FALSE(skin->Attach(gone)) << name;
        EXPECT_FALSE(skin->Attach(b)) << name;
        EXPECT_EQ(DWORD(GetWindowLongA(b, GWL_STYLE)), bStyle) << name;
        EXPECT_EQ(DWORD(GetWindowLongA(b, GWL_EXSTYLE)), bEx) << name;
        skin->Detach();
        EXPECT_EQ(DWORD(GetWindowLongA(a, GWL_STYLE)), aStyle) << name;
        EXPECT_EQ(DWORD(GetWindowLongA(a, GWL_EXSTYLE)), aEx) << name;
    }
}

}  // namespace
