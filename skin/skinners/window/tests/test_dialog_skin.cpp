// The dialog skin: the skinned frame around the dialog's own client area, its hit codes, the
// caption dragging the dialog, double clicks, tracking sizes, closing and minimising from the
// caption buttons, dialogs without a frame, the colours of skinned edits, and removal.
#include <climits>

#include "DialogSkin.h"
#include "SkinMemDC.h"
#include "window_test_support.h"

using namespace wintest;

namespace {

constexpr DWORD kFixed = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | WS_VISIBLE;
constexpr DWORD kSizable = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_VISIBLE;

class DialogSkinTest : public WindowSkinTest {};

TEST_F(DialogSkinTest, TheSkinnedFrameGoesAroundTheClientAreaTheDialogWasLaidOutFor)
{
    HWND h = Dialog(kFixed);
    RECT before;
    GetClientRect(h, &before);
    ASSERT_TRUE(SetSingleDialogSkin(h, "Dialog"));
    ASSERT_NE(dynamic_cast<CSkinDialog*>(SkinOf(h)), nullptr);
    WinTestActivate(h);
    WinTestPumpUntilIdle();
    RECT after, wr;
    GetClientRect(h, &after);
    GetWindowRect(h, &wr);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_EQ(wr.right - wr.left, before.right + kLeft + kRight);
    EXPECT_EQ(wr.bottom - wr.top, before.bottom + kCaption + kBottom);
    const int W = wr.right - wr.left, H = wr.bottom - wr.top;
    EXPECT_EQ(PainterAt(h, {27, 21}), "Dialog.parts[0]");
    EXPECT_EQ(PainterAt(h, {W / 2 - 20, 10}), "Dialog.parts[1]");
    EXPECT_EQ(PainterAt(h, {W - 3, H / 2}), "Dialog.parts[5]");
    EXPECT_EQ(PainterAt(h, {W / 2, H - 2}), "Dialog.parts[7]");
    // The client background is the skin's, under and around the button.
    EXPECT_EQ(PainterAt(h, {kLeft + 2, H - kBottom - 2}), "Dialog.parts[4]");
    EXPECT_EQ(PainterAt(h, Middle(ElementRect(h, "Close"))), "Dialog/Close.image");
}

TEST_F(DialogSkinTest, HitCodesOfEveryFramePart)
{
    HWND h = SkinnedDialog(kSizable);
    RECT wr;
    GetWindowRect(h, &wr);
    const int W = wr.right - wr.left, H = wr.bottom - wr.top;
    struct Row {
        POINT at;
        LRESULT sizable, fixed;
    };
    const Row rows[] = {
        {{1, 1}, HTTOPLEFT, HTCAPTION},          {{20, 12}, HTCAPTION, HTCAPTION},
        {{60, 2}, HTTOP, HTCAPTION},             {{60, 12}, HTCAPTION, HTCAPTION},
        {{60, kTopMiddle + 1}, HTNOWHERE, HTNOWHERE},  // the gap under the middle part
        {{W - 2, 1}, HTTOPRIGHT, HTCAPTION},     {{W - 30, 20}, HTCAPTION, HTCAPTION},
        {{1, H / 2}, HTLEFT, HTNOWHERE},         {{W - 2, H / 2}, HTRIGHT, HTNOWHERE},
        {{1, H - 1}, HTBOTTOMLEFT, HTNOWHERE},   {{W / 2, H - 2}, HTBOTTOM, HTNOWHERE},
        {{W - 1, H - 1}, HTBOTTOMRIGHT, HTNOWHERE}, {{W / 2, H / 2}, HTCLIENT, HTCLIENT},
        {Middle(ElementRect(h, "Close")), HTCAPTION, HTCAPTION},
    };
    for (const Row& r : rows)
        EXPECT_EQ(HitAt(h, r.at), r.sizable) << "sizable at " << r.at.x << "," << r.at.y;
    HWND fixed = SkinnedDialog(kFixed);
    GetWindowRect(fixed, &wr);
    ASSERT_EQ(wr.right - wr.left, W);
    for (const Row& r : rows)
        EXPECT_EQ(HitAt(fixed, r.at), r.fixed) << "fixed at " << r.at.x << "," << r.at.y;
}

TEST_F(DialogSkinTest, DraggingTheCaptionMovesTheDialogAndAButtonClickDoesNot)
{
    HWND h = SkinnedDialog();
    RECT before, after;
    GetWindowRect(h, &before);
    const POINT from = OnScreen(h, {60, 10});
    WinTestDrag(nullptr, WINTEST_LEFT, from.x, from.y, from.x + 40, from.y + 30, 4);
    WinTestPumpUntilIdle();
    GetWindowRect(h, &after);
    EXPECT_EQ(after.left - before.left, 40);
    EXPECT_EQ(after.top - before.top, 30);
    // The frame moved with it and is whole.
    EXPECT_EQ(PainterAt(h, {27, 21}), "Dialog.parts[0]");

    // A press on a button is the button's: the dialog stays where it is.
    const POINT cmd = OnScreen(h, Middle(ElementRect(h, "Cmd")));
    WinTestDrag(nullptr, WINTEST_LEFT, cmd.x, cmd.y, cmd.x + 40, cmd.y + 30, 4);
    WinTestPumpUntilIdle();
    RECT still;
    GetWindowRect(h, &still);
    EXPECT_TRUE(EqualRect(&still, &after));
}

TEST_F(DialogSkinTest, ADoubleClickOnTheCaptionMaximisesButOneOnAButtonOnlyPressesIt)
{
    Log().letSysCommandsThrough = true;
    HWND h = SkinnedDialog(kSizable);
    const POINT cmd = OnScreen(h, Middle(ElementRect(h, "Cmd")));
    WinTestDoubleClick(nullptr, WINTEST_LEFT, cmd.x, cmd.y);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(IsZoomed(h));
    EXPECT_EQ(Log().commands, (std::vector<WPARAM>{77, 77}));
    const POINT caption = OnScreen(h, {60, 10});
    WinTestDoubleClick(nullptr, WINTEST_LEFT, caption.x, caption.y);
    WinTestPumpUntilIdle();
    EXPECT_TRUE(IsZoomed(h));
    // A zoomed dialog does not move; a double click gives it its size back.
    RECT zoomed, wr;
    GetWindowRect(h, &zoomed);
    const POINT top = OnScreen(h, {60, 10});
    WinTestDrag(nullptr, WINTEST_LEFT, top.x, top.y, top.x + 30, top.y + 30, 3);
    WinTestPumpUntilIdle();
    GetWindowRect(h, &wr);
    EXPECT_TRUE(EqualRect(&wr, &zoomed));
    WinTestAdvanceClock(1000);
    WinTestDoubleClick(nullptr, WINTEST_LEFT, top.x + 5, top.y);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(IsZoomed(h));
}

TEST_F(DialogSkinTest, TrackingSizesComeFromTheFrameAndTheDialogsOwnAnswerCanOnlyNarrowThem)
{
    HWND h = SkinnedDialog(kSizable);
    MINMAXINFO info{};
    info.ptMaxTrackSize = POINT{5000, 5000};
    SendMessageA(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    // The wider of the top and bottom corner pairs plus 2; the caption and bottom rows plus 2.
    EXPECT_EQ(info.ptMinTrackSize.x, 30 + 40 + 2);
    EXPECT_EQ(info.ptMinTrackSize.y, kCaption + kBottom + 2);
    int sw = 0, sh = 0;
    WinTestGetScreenSize(&sw, &sh);
    EXPECT_EQ(info.ptMaxSize.x, sw);
    EXPECT_EQ(info.ptMaxTrackSize.x, 5000);
    // Sizing from the corner stops at the minimum (the system's own, when it is larger).
    const POINT corner = OnScreen(h, {0, 0});
    RECT wr;
    GetWindowRect(h, &wr);
    const POINT far = {wr.right - 1, wr.bottom - 1};
    WinTestDrag(nullptr, WINTEST_LEFT, far.x, far.y, corner.x, corner.y, 3);
    WinTestPumpUntilIdle();
    GetWindowRect(h, &wr);
    EXPECT_EQ(wr.right - wr.left, std::max(30 + 40 + 2, GetSystemMetrics(SM_CXMINTRACK)));
    EXPECT_EQ(wr.bottom - wr.top, std::max(kCaption + kBottom + 2, GetSystemMetrics(SM_CYMINTRACK)));
}

TEST_F(DialogSkinTest, TheCloseButtonEndsAModalDialogAndTheMinimiseButtonMinimisesIt)
{
    Log().letSysCommandsThrough = true;
    dlgtest::TemplateBuilder t(kFixed | DS_SETFONT, 20, 20, 160, 90, "Modal");
    t.Item(dlgtest::kButton, "OK", IDOK, BS_PUSHBUTTON, 10, 10, 50, 14);
    SetDialogSkin("Dialog");
    bool wasIconic = false;
    WinTestIdleScript script({[&](int, HWND dialog) {
                                  const POINT min = OnScreen(dialog, Middle(ElementRect(dialog, "Min")));
                                  WinTestClick(nullptr, WINTEST_LEFT, min.x, min.y);
                              },
                              [&](int, HWND dialog) {
                                  wasIconic = IsIconic(dialog) != 0;
                                  SendMessageA(dialog, WM_SYSCOMMAND, SC_RESTORE, 0);
                                  const POINT close = OnScreen(dialog, Middle(ElementRect(dialog, "Close")));
                                  WinTestMouseMove(nullptr, close.x, close.y);
                                  WinTestClick(nullptr, WINTEST_LEFT, close.x, close.y);
                              }});
    const INT_PTR result =
        DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, &RecordingDialogProc, 0);
    SetDialogSkin(nullptr);
    EXPECT_TRUE(wasIconic);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(script.Overruns(), 0);
    EXPECT_EQ(Log().sysCommands, (std::vector<WPARAM>{SC_MINIMIZE, SC_RESTORE, SC_CLOSE}));
}

TEST_F(DialogSkinTest, ADialogWithoutAFrameKeepsItsOwnAndGetsOnlyTheSkinsBackground)
{
    HWND parent = Dialog(kFixed);
    dlgtest::TemplateBuilder t(WS_CHILD | WS_VISIBLE | DS_SETFONT, 5, 5, 80, 40, "");
    t.Item(dlgtest::kStatic, "Page", 1, SS_LEFT, 4, 4, 40, 10);
    HWND page = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), parent, &RecordingDialogProc, 0);
    ASSERT_NE(page, nullptr);
    RECT before;
    GetWindowRect(page, &before);
    ASSERT_TRUE(SetSingleDialogSkin(page, "Dialog"));
    WinTestPumpUntilIdle();
    RECT after;
    GetWindowRect(page, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(SendMessageA(page, WM_CTLCOLORDLG, 0, 0), reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)));
    RECT client;
    GetClientRect(page, &client);
    EXPECT_EQ(PainterAt(page, {client.right - 2, client.bottom - 2}), "Dialog.parts[4]");
    EXPECT_EQ(HitAt(page, {client.right / 2, client.bottom / 2}), HTCLIENT);
    // A child asks for the background under it.
    HWND label = GetDlgItem(page, 1);
    RECT lr;
    GetClientRect(label, &lr);
    HDC screen = GetDC(nullptr);
    {
        CSkinMemDC into(screen, lr.right, lr.bottom);
        SendMessageA(page, WM_SKIN_PAINTCHILDBACK, reinterpret_cast<WPARAM>(HDC(into)), reinterpret_cast<LPARAM>(label));
        EXPECT_EQ(skin->Describe(GetPixel(into, 1, 1)), "Dialog.parts[4]");
    }
    ReleaseDC(nullptr, screen);
}

// Stands in for the edit skinner: answers its parent's colour messages with a brush of its own.
class ColouredEdit : public CSkinWindow, public ISkinControlColors {
public:
    ColouredEdit() : brush(CreateSolidBrush(RGB(1, 2, 3))) {}
    ~ColouredEdit() override { DeleteObject(brush); }
    HBRUSH OnParentCtlColor(UINT msg, HDC hdc) override
    {
        SetBkColor(hdc, msg == WM_CTLCOLORSTATIC ? RGB(9, 9, 9) : RGB(1, 2, 3));
        return brush;
    }
    HBRUSH brush;
};
CSkinWindow* MakeColouredEdit(int, CSkinWindow*) { return new ColouredEdit; }

class DialogEditTest : public WindowSkinTest {
protected:
    void AddObjects(std::vector<std::unique_ptr<CSkinObject>>& objects) override
    {
        auto edit = CreateSkinObject(SKIN_EDIT);
        edit->SetName("Edit");
        objects.push_back(std::move(edit));
    }
};

TEST_F(DialogEditTest, ASkinnedEditsColoursComeFromItsSkinAndOthersFromTheDialog)
{
    RegisterControlSkinner(SKIN_EDIT, &MakeColouredEdit);
    dlgtest::TemplateBuilder t(kFixed | DS_SETFONT, 20, 20, 160, 90, "Edits");
    t.Item(dlgtest::kEdit, "text", 5, ES_LEFT, 10, 10, 60, 12);
    HWND h = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, &RecordingDialogProc, 0);
    windows.push_back(h);
    ASSERT_TRUE(SetSingleDialogSkin(h, "Dialog"));
    HWND edit = GetDlgItem(h, 5);
    auto* coloured = dynamic_cast<ColouredEdit*>(SkinOf(edit));
    ASSERT_NE(coloured, nullptr);
    HDC dc = GetDC(edit);
    EXPECT_EQ(SendMessageA(h, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit)),
              reinterpret_cast<LRESULT>(coloured->brush));
    EXPECT_EQ(GetBkColor(dc), RGB(1, 2, 3));
    // Read-only or disabled, it asks with WM_CTLCOLORSTATIC.
    EXPECT_EQ(SendMessageA(h, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit)),
              reinterpret_cast<LRESULT>(coloured->brush));
    EXPECT_EQ(GetBkColor(dc), RGB(9, 9, 9));
    // A control without that skin gets the dialog's own answer.
    HWND ok = CreateWindowExA(0, "Edit", "", WS_CHILD, 0, 0, 10, 10, h, nullptr, nullptr, nullptr);
    RemoveWindowSkin(ok);
    EXPECT_NE(SendMessageA(h, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(ok)),
              reinterpret_cast<LRESULT>(coloured->brush));
    ReleaseDC(edit, dc);
    DestroyWindow(h);
    RegisterControlSkinner(SKIN_EDIT, nullptr);
}

TEST_F(DialogSkinTest, TakingTheSkinOffLeavesTheClientAreaAndNothingElseBehind)
{
    HWND h = Dialog(kFixed);
    WinTestPumpUntilIdle();
    RECT before;
    GetClientRect(h, &before);
    const WinTestLiveCounts unskinned = WinTestLiveCounts::Now();
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(SetSingleDialogSkin(h, "Dialog"));
        const POINT close = Middle(ElementRect(h, "Close"));
        MoveTo(h, close);  // a hover timer running when the skin goes
        ASSERT_TRUE(ButtonOf(h, "Close")->IsHoverTimerRunning());
        ASSERT_TRUE(RemoveWindowSkin(h));
        WinTestPumpUntilIdle();
        RECT after;
        GetClientRect(h, &after);
        EXPECT_EQ(after.right, before.right);
        EXPECT_EQ(after.bottom, before.bottom);
        const WinTestLiveCounts now = WinTestLiveCounts::Now();
        EXPECT_EQ(now, unskinned) << now.ChangesFrom(unskinned);
    }
}

}  // namespace

namespace {

// A damaged skin whose frame parts are as wide and high as a file can say.
class HostileFrameTest : public WindowSkinTest {
protected:
    void AddObjects(std::vector<std::unique_ptr<CSkinObject>>& objects) override
    {
        auto d = std::make_unique<CSkinFrameWndObject>();
        d->SetName("Huge");
        SetFrameRects(*d, kDesignW, kDesignH);
        d->m_frameRects[0] = {0, 0, INT_MAX, INT_MAX};
        d->m_frameRects[3] = {INT_MIN, 0, INT_MAX, 40};
        d->m_frameRects[6] = {0, INT_MIN, 30, INT_MAX};
        objects.push_back(std::move(d));
    }
};

TEST_F(HostileFrameTest, ADialogIsNeverSizedBeyondWhatTheDesktopLetsAWindowBe)
{
    HWND h = Dialog(kFixed);
    ASSERT_TRUE(SetSingleDialogSkin(h, "Huge")) << GetSkinLastError();
    WinTestActivate(h);
    WinTestPumpUntilIdle();
    RECT wr;
    GetWindowRect(h, &wr);
    EXPECT_LE(wr.right - wr.left, GetSystemMetrics(SM_CXMAXTRACK));
    EXPECT_LE(wr.bottom - wr.top, GetSystemMetrics(SM_CYMAXTRACK));
    EXPECT_GT(wr.right - wr.left, 0);
    // Nor does its frame ask for a smallest size beyond the largest.
    MINMAXINFO mmi{};
    mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    SendMessageA(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_LE(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x);
    EXPECT_LE(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y);
}

}  // namespace
