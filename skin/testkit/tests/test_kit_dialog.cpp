// The kit at work: a dialog with a push button skinned from a flat-colour skin, every pixel traced
// to the record that painted it, and nothing left behind once the skin is taken off again.
#include <gtest/gtest.h>
#include <unistd.h>

#include "SkinDraw.h"
#include "SkinEngine.h"
#include "SkinMemDC.h"
#include "SkinObjectTypes.h"
#include "SkinTestKit.h"
#include "SkinWindow.h"
#include "SkinnerRegistry.h"
#include "dialog_test_support.h"

using namespace skinkit;

namespace {

// Stands in for the button skinner: the normal state's nine-grid over the whole client,
// painted off-screen and copied in one block.
class FlatButtonSkinner : public CSkinWindow {
public:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        switch (msg) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        default:
            return CSkinWindow::WindowProc(msg, wParam, lParam);
        }
    }

private:
    void OnPaint()
    {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(GetHwnd(), &ps);
        RECT rc;
        GetClientRect(GetHwnd(), &rc);
        {
            CSkinMemDC surface(dc, rc.right, rc.bottom);
            auto* button = static_cast<CSkinButtonObject*>(GetSkinObject());
            DrawSkinImagePart(button->GetOwner(), surface, rc, button->m_states[0].grid, RGB(0, 0, 0), 1, false);
            BitBlt(dc, 0, 0, rc.right, rc.bottom, surface, 0, 0, SRCCOPY);
        }
        EndPaint(GetHwnd(), &ps);
    }
};

CSkinWindow* MakeFlatButtonSkinner(int, CSkinWindow*) { return new FlatButtonSkinner; }

// Frame geometry of the test dialog object: caption 22, sides 6 and 8, bottom 5.
constexpr int kCaption = 22, kLeft = 6, kRight = 8, kBottom = 5, kDesignW = 120, kDesignH = 90;

std::unique_ptr<CSkinFrameWndObject> MakeDialogObject()
{
    auto d = std::make_unique<CSkinFrameWndObject>();
    d->SetName("Dialog");
    const int W = kDesignW, H = kDesignH;
    const RECT rects[9] = {{0, 0, 10, kCaption},          {10, 0, W - 12, kCaption},       {W - 12, 0, W, kCaption},
                           {0, kCaption, kLeft, H - kBottom}, {kLeft, kCaption, W - kRight, H - kBottom},
                           {W - kRight, kCaption, W, H - kBottom}, {0, H - kBottom, kLeft, H},
                           {kLeft, H - kBottom, W - kRight, H}, {W - kRight, H - kBottom, W, H}};
    for (int i = 0; i < 9; ++i)
        d->m_frameRects[i] = rects[i];
    d->m_rc = {0, 0, W, H};
    d->m_bClientBackground = 1;
    return d;
}

std::unique_ptr<CSkinButtonObject> MakeButtonObject()
{
    auto b = std::make_unique<CSkinButtonObject>();
    b->SetName("Button");
    b->m_states[0].grid.Set("", 0, 0, 24, 24, 6, 5, 7, 4, 1);
    return b;
}

// Where the base lays the nine frame parts out over a window of that size: the caption row has
// its own corner widths, the rows below share the side widths.
RECT FramePart(int part, int w, int h)
{
    const int col = part % 3, row = part / 3;
    const LONG xs[4] = {0, row == 0 ? 10 : kLeft, w - (row == 0 ? 12 : kRight), w};
    const LONG ys[4] = {0, kCaption, h - kBottom, h};
    return RECT{xs[col], ys[row], xs[col + 1], ys[row + 1]};
}

POINT Middle(const RECT& r) { return POINT{(r.left + r.right - 1) / 2, (r.top + r.bottom - 1) / 2}; }

class SkinnedDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<std::unique_ptr<CSkinObject>> objects;
        objects.push_back(MakeDialogObject());
        objects.push_back(MakeButtonObject());
        skin = std::make_unique<CFlatSkin>(std::move(objects));
        path = testing::TempDir() + "kit_dialog_" + std::to_string(getpid()) + ".qvk";
        ASSERT_TRUE(skin->SaveToFile(path.c_str()));
        RegisterControlSkinner(SKIN_BUTTON, &MakeFlatButtonSkinner);
    }
    void TearDown() override
    {
        if (IsWindow(dialog))
            DestroyWindow(dialog);
        ExitSkinLibrary();
        RegisterControlSkinner(SKIN_BUTTON, nullptr);
        unlink(path.c_str());
    }
    HWND MakeDialog()
    {
        dlgtest::TemplateBuilder t(WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT, 10, 10, 160, 100, "");
        t.Item(dlgtest::kButton, "OK", IDOK, BS_PUSHBUTTON, 50, 60, 50, 14);
        return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, nullptr, 0);
    }
    int UntracedPixels(const CPicture& p) const
    {
        int n = 0;
        for (int y = 0; y < p.Height(); ++y)
            for (int x = 0; x < p.Width(); ++x)
                n += skin->Find(p.At(x, y)) == nullptr;
        return n;
    }

    std::unique_ptr<CFlatSkin> skin;
    std::string path;
    HWND dialog = nullptr;
};

TEST_F(SkinnedDialogTest, EveryPixelComesFromItsRecordAndRemovingTheSkinLeavesNothingBehind)
{
    const WinTestLiveCounts beforeEngine = WinTestLiveCounts::Now();
    ASSERT_TRUE(InitSkinLibrary(GetModuleHandleA(nullptr)));
    ASSERT_TRUE(LoadSkinFile(path.c_str())) << GetSkinLastError();
    dialog = MakeDialog();
    ASSERT_NE(dialog, nullptr);
    HWND button = GetDlgItem(dialog, IDOK);
    WinTestActivate(dialog);
    WinTestPumpUntilIdle();
    const CPicture unskinned = CPicture::OfWindow(dialog);
    ASSERT_FALSE(unskinned.IsEmpty());
    // The system's own look has no colour the skin gave a record.
    EXPECT_EQ(UntracedPixels(unskinned), unskinned.Width() * unskinned.Height());
    const WinTestLiveCounts unskinnedCounts = WinTestLiveCounts::Now();

    ASSERT_TRUE(SetSingleDialogSkin(dialog, "Dialog"));
    WinTestPumpUntilIdle();
    const CPicture skinned = CPicture::OfWindow(dialog);
    const int w = skinned.Width(), h = skinned.Height();
    for (int part = 0; part < 9; ++part)
        EXPECT_EQ(Painter(skinned, Middle(FramePart(part, w, h)), *skin), "Dialog.parts[" + std::to_string(part) + "]")
            << "frame part " << part;
    const RECT client = ClientRectIn(dialog, dialog);
    EXPECT_EQ(client.top, kCaption);
    EXPECT_EQ(client.left, kLeft);
    EXPECT_EQ(w - client.right, kRight);
    EXPECT_EQ(h - client.bottom, kBottom);
    EXPECT_EQ(Painter(skinned, POINT{client.left + 3, client.top + 3}, *skin), "Dialog.parts[4]");
    EXPECT_EQ(CheckNineGrid(skinned, WindowRectIn(button, dialog), *skin, "Button.states[0].grid"), "");
    EXPECT_EQ(UntracedPixels(skinned), 0);

    ASSERT_TRUE(RemoveWindowSkin(dialog));
    WinTestPumpUntilIdle();
    const WinTestLiveCounts removed = WinTestLiveCounts::Now();
    EXPECT_EQ(removed, unskinnedCounts) << removed.ChangesFrom(unskinnedCounts);
    const CPicture after = CPicture::OfWindow(dialog);
    EXPECT_EQ(after.CountDifferences(unskinned, unskinned.Whole()), 0);

    DestroyWindow(dialog);
    ExitSkinLibrary();
    WinTestPumpUntilIdle();
    const WinTestLiveCounts end = WinTestLiveCounts::Now();
    EXPECT_EQ(end, beforeEngine) << end.ChangesFrom(beforeEngine);
}

}  // namespace
