// Pixel probes over window and screen pictures, and the nine-grid check against a flat skin.
#include <gtest/gtest.h>

#include "FlatSkin.h"
#include "PixelProbe.h"
#include "SkinDraw.h"
#include "SkinObjectTypes.h"
#include "SyntheticWindow.h"
#include "winplat_test.h"

using namespace skinkit;

namespace {

const COLORREF kLeft = RGB(200, 30, 40), kRight = RGB(20, 60, 210), kMark = RGB(250, 220, 10);

// Left half one colour, right half another, and a 3 x 2 mark at (10, 10) of the client.
LRESULT CALLBACK PatternProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_PAINT)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    RECT left = rc, right = rc;
    left.right = right.left = rc.right / 2;
    FillSolidRect(dc, left, kLeft);
    FillSolidRect(dc, right, kRight);
    FillSolidRect(dc, RECT{10, 10, 13, 12}, kMark);
    EndPaint(hwnd, &ps);
    return 0;
}

void RegisterPatternClass()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = &PatternProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KitPattern";
    RegisterClassA(&wc);  // fails harmlessly once the class exists
}

class ProbeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterPatternClass();
        WindowSpec spec;
        spec.cls = "KitPattern";
        spec.style = WS_POPUP | WS_BORDER | WS_VISIBLE;
        spec.rect = {50, 40, 110, 80};
        window = CreateSyntheticWindow(spec);
        ASSERT_NE(window, nullptr);
        WinTestPumpUntilIdle();
    }
    void TearDown() override { DestroyWindow(window); }
    HWND window = nullptr;
};

TEST_F(ProbeTest, AWindowPictureAnswersInWindowCoordinates)
{
    const CPicture p = CPicture::OfWindow(window);
    ASSERT_EQ(p.Width(), 60);
    ASSERT_EQ(p.Height(), 40);
    const RECT client = ClientRectIn(window, window);
    EXPECT_GT(client.left, 0);  // the border is outside the client
    const LONG cw = client.right - client.left, ch = client.bottom - client.top;
    EXPECT_EQ(p.At(client.left, client.top), kLeft);
    EXPECT_EQ(p.At(client.right - 1, client.bottom - 1), kRight);
    EXPECT_EQ(p.At(client.left + 10, client.top + 10), kMark);
    EXPECT_EQ(p.At(-1, 0), CLR_INVALID);
    EXPECT_EQ(p.At(60, 0), CLR_INVALID);

    EXPECT_EQ(p.Count(client, kMark), 6);
    EXPECT_EQ(p.Count(client, kLeft), (cw / 2) * ch - 6);
    RECT rightHalf = client;
    rightHalf.left += cw / 2;
    EXPECT_TRUE(p.IsUniform(rightHalf, kRight));
    EXPECT_FALSE(p.IsUniform(client, kLeft));
    EXPECT_FALSE(p.IsUniform(RECT{5, 5, 5, 9}, kLeft));  // no pixels: not uniform

    RECT leftHalf = client;
    leftHalf.right = client.left + cw / 2;
    const RECT mark = p.BoundsOfOthers(leftHalf, kLeft);
    EXPECT_EQ(mark.left, client.left + 10);
    EXPECT_EQ(mark.top, client.top + 10);
    EXPECT_EQ(mark.right, client.left + 13);
    EXPECT_EQ(mark.bottom, client.top + 12);
    const RECT none = p.BoundsOfOthers(rightHalf, kRight);
    EXPECT_TRUE(IsRectEmpty(&none));
}

TEST_F(ProbeTest, DifferencesAreCountedWhereTheyAreOnly)
{
    const CPicture before = CPicture::OfWindow(window);
    HDC dc = GetDC(window);
    FillSolidRect(dc, RECT{0, 0, 4, 5}, kMark);
    ReleaseDC(window, dc);
    const CPicture after = CPicture::OfWindow(window);
    EXPECT_EQ(after.CountDifferences(before, after.Whole()), 4 * 5 - 0);
    const RECT client = ClientRectIn(window, window);
    RECT away = client;
    away.left += 20;
    EXPECT_EQ(after.CountDifferences(before, away), 0);
    // A pixel only one picture has differs.
    EXPECT_EQ(after.CountDifferences(CPicture(), RECT{0, 0, 2, 2}), 4);
}

TEST_F(ProbeTest, TheScreenPictureAnswersInScreenCoordinates)
{
    const CPicture screen = CPicture::OfScreen();
    ASSERT_FALSE(screen.IsEmpty());
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_EQ(screen.At(client.left + 10, client.top + 10), kMark);
    EXPECT_EQ(screen.At(client.left + 2, client.top + 2), kLeft);
    EXPECT_EQ(screen.At(client.right - 2, client.top + 2), kRight);
    EXPECT_EQ(screen.At(screen.Width(), 0), CLR_INVALID);
}

TEST(ScreenPicture, AMonitorLeftOfThePrimaryGivesNegativeCoordinates)
{
    const RECT monitors[2] = {{0, 0, 640, 480}, {-320, 0, 0, 240}};
    ASSERT_TRUE(WinTestSetMonitors(monitors, nullptr, 2));
    RegisterPatternClass();
    WindowSpec spec;
    spec.cls = "KitPattern";
    spec.style = WS_POPUP | WS_VISIBLE;
    spec.rect = {-300, 30, -240, 70};
    CSyntheticWindow window(spec);
    WinTestPumpUntilIdle();
    const CPicture screen = CPicture::OfScreen();
    EXPECT_EQ(screen.Origin().x, -320);
    EXPECT_EQ(screen.Origin().y, 0);
    EXPECT_EQ(screen.Width(), 960);
    EXPECT_EQ(screen.At(-300 + 10, 30 + 10), kMark);
    EXPECT_EQ(screen.At(-300 + 2, 30 + 2), kLeft);
    EXPECT_EQ(screen.Count(RECT{-300, 30, -240, 70}, kMark), 6);
    EXPECT_EQ(screen.At(-321, 10), CLR_INVALID);
    EXPECT_NE(screen.At(-320, 10), CLR_INVALID);
    WinTestSetScreenSize(1024, 768);
}

// ---- the nine-grid check ------------------------------------------------------------------------

struct GridPaint {
    CSkinFile* file;
    const SkinNineGrid* grid;
    RECT where;
};
GridPaint* g_paint = nullptr;

LRESULT CALLBACK GridProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_PAINT || !g_paint)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    DrawSkinImagePart(g_paint->file, dc, g_paint->where, *g_paint->grid, RGB(0, 0, 0), 1, false);
    EndPaint(hwnd, &ps);
    return 0;
}

TEST(NineGridCheck, FindsTheGridWhereItWasDrawnAndNamesWhatIsThereInstead)
{
    auto button = std::make_unique<CSkinButtonObject>();
    button->SetName("Button");
    button->m_states[0].grid.Set("g", 0, 0, 24, 18, 5, 4, 7, 3, 1);
    std::vector<std::unique_ptr<CSkinObject>> objects;
    objects.push_back(std::move(button));
    const CFlatSkin skin(std::move(objects));
    auto file = skin.MakeFile();
    auto* b = static_cast<CSkinButtonObject*>(file->FindObject("Button"));

    WNDCLASSA wc{};
    wc.lpfnWndProc = &GridProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "KitGrid";
    RegisterClassA(&wc);
    GridPaint paint{file.get(), &b->m_states[0].grid, RECT{10, 8, 90, 48}};
    g_paint = &paint;
    WindowSpec spec;
    spec.cls = "KitGrid";
    spec.style = WS_POPUP | WS_VISIBLE;
    spec.rect = {0, 0, 100, 60};
    CSyntheticWindow window(spec);
    WinTestPumpUntilIdle();
    const CPicture p = CPicture::OfWindow(window);

    EXPECT_EQ(CheckNineGrid(p, paint.where, skin, "Button.states[0].grid"), "");
    EXPECT_EQ(Painter(p, POINT{11, 9}, skin), "Button.states[0].grid cell 0");
    EXPECT_EQ(Painter(p, POINT{89, 47}, skin), "Button.states[0].grid cell 8");
    EXPECT_EQ(Painter(p, POINT{-3, 0}, skin), "outside");
    // Looked for ten pixels too far left, the right column is where the centre was drawn and
    // the left one where nothing of the skin was.
    const std::string shifted = CheckNineGrid(p, RECT{0, 8, 80, 48}, skin, "Button.states[0].grid");
    EXPECT_NE(shifted.find("cell 2"), std::string::npos) << shifted;
    EXPECT_NE(shifted.find("cell 2 at (76, 9) is Button.states[0].grid cell 1"), std::string::npos) << shifted;
    EXPECT_NE(shifted.find("cell 0 at (2, 9) is no record"), std::string::npos) << shifted;
    // Another record, or one the skin lacks.
    EXPECT_NE(CheckNineGrid(p, paint.where, skin, "Button.states[1].grid"), "");
    EXPECT_EQ(CheckNineGrid(p, paint.where, skin, "Nothing.grid"), "Nothing.grid is not a nine-grid of the skin\n");
    g_paint = nullptr;
}

}  // namespace
