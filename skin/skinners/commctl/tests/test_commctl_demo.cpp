// A demonstration dialog with one of each common control, skinned from the default skin and
// from the flat-colour test skin: each control gets its skinner and its look, keeps its place,
// drives its calendar drop-down and plays a clip; the skin comes off again leaving nothing.
#include "commctl_test_support.h"

#include "AnimateSkins.h"
#include "CommCtlSkins.h"
#include "DateSkins.h"
#include "SkinBuilder.h"
#include "SkinEngine.h"
#include "SkinFile.h"
#include "Skinners.h"
#include "dialog_test_support.h"
#include "platres.h"

using namespace cctest;

namespace {

enum DemoId : WORD { kTab = 100, kHeader, kTool, kRebar, kStatus, kDate, kCalendar, kAnimation, kLink };

struct DemoControl {
    DemoId id;
    const char* cls;
    DWORD style;
    short x, y, cx, cy;
};

const DemoControl kControls[] = {
    {kTab, WC_TABCONTROLA, WS_CLIPSIBLINGS, 5, 5, 150, 80},
    {kHeader, WC_HEADERA, 0, 160, 5, 150, 14},
    {kTool, TOOLBARCLASSNAMEA, TBSTYLE_FLAT | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 160, 22, 150, 16},
    {kRebar, REBARCLASSNAMEA, CCS_NORESIZE | CCS_NOPARENTALIGN, 160, 42, 150, 18},
    {kStatus, STATUSCLASSNAMEA, CCS_NORESIZE | CCS_NOPARENTALIGN, 0, 190, 320, 12},
    {kDate, DATETIMEPICK_CLASSA, 0, 160, 64, 100, 14},
    {kCalendar, MONTHCAL_CLASSA, 0, 5, 90, 150, 95},
    {kAnimation, ANIMATE_CLASSA, ACS_CENTER, 270, 64, 40, 30},
    {kLink, "Link Window", 0, 160, 100, 150, 12},
};

HIMAGELIST g_images = nullptr;

void FillControls(HWND dlg)
{
    HWND tab = GetDlgItem(dlg, kTab);
    for (int i = 0; i < 2; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(i ? "Audio" : "Video");
        SendMessageA(tab, TCM_INSERTITEMA, WPARAM(i), reinterpret_cast<LPARAM>(&item));
    }
    HDITEMA column{};
    column.mask = HDI_TEXT | HDI_WIDTH;
    column.cxy = 120;
    column.pszText = const_cast<char*>("File");
    SendMessageA(GetDlgItem(dlg, kHeader), HDM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&column));
    HWND tool = GetDlgItem(dlg, kTool);
    SendMessageA(tool, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(tool, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(g_images));
    TBBUTTON b[2] = {};
    for (int i = 0; i < 2; ++i) {
        b[i].idCommand = 500 + i;
        b[i].fsState = TBSTATE_ENABLED;
    }
    SendMessageA(tool, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(b));
    REBARBANDINFOA band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_TEXT | RBBIM_SIZE;
    band.lpText = const_cast<char*>("Band");
    band.cx = 200;
    SendMessageA(GetDlgItem(dlg, kRebar), RB_INSERTBANDA, WPARAM(-1), reinterpret_cast<LPARAM>(&band));
    const int edges[2] = {200, -1};
    HWND status = GetDlgItem(dlg, kStatus);
    SendMessageA(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    SendMessageA(status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("Ready"));
    SetWindowTextA(GetDlgItem(dlg, kLink), "Visit <a>the site</a>");
}

INT_PTR CALLBACK DemoProc(HWND dlg, UINT msg, WPARAM, LPARAM)
{
    if (msg == WM_INITDIALOG) {
        FillControls(dlg);
        return TRUE;
    }
    return FALSE;
}

std::vector<std::unique_ptr<CSkinObject>> FlatObjects()
{
    std::vector<std::unique_ptr<CSkinObject>> o = CommonObjects();
    auto dialog = MakeFrameObject("Dialog");
    o.push_back(std::move(dialog));
    return o;
}

// One run per skin: false the default skin, true the flat-colour one.
class DemoDialogTest : public CommCtlTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        CommCtlTest::SetUp();
        path = testing::TempDir() + "commctl_demo_" + std::to_string(getpid()) + ".qvk";
        if (GetParam()) {
            skin = std::make_unique<CFlatSkin>(FlatObjects());
            ASSERT_TRUE(skin->SaveToFile(path.c_str()));
        } else {
            CSkinFile file;
            skinbuild::BuildDefaultSkin(file);
            ASSERT_TRUE(file.SaveToFile(path.c_str()));
        }
        baseline = WinTestLiveCounts::Now();
        g_images = ImageList_Create(16, 16, ILC_COLOR32, 1, 0);
        InstallSkinners();
        ASSERT_TRUE(InitSkinLibrary(GetModuleHandleA(nullptr)));
        ASSERT_TRUE(LoadSkinFile(path.c_str())) << GetSkinLastError();
    }
    void TearDown() override
    {
        if (IsWindow(dlg))
            DestroyWindow(dlg);
        WinTestPumpUntilIdle();
        ExitSkinLibrary();
        ImageList_Destroy(g_images);
        g_images = nullptr;
        CommCtlTest::TearDown();
        unlink(path.c_str());
        WinTestPumpUntilIdle();
        const WinTestLiveCounts end = WinTestLiveCounts::Now();
        EXPECT_EQ(end, baseline) << end.ChangesFrom(baseline);
    }
    HWND Open()
    {
        dlgtest::TemplateBuilder t(WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT, 20, 20, 320, 205, "Demo");
        for (const DemoControl& c : kControls)
            t.Item(0, "", c.id, c.style, c.x, c.y, c.cx, c.cy, c.cls);
        dlg = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, &DemoProc, 0);
        WinTestActivate(dlg);
        WinTestPumpUntilIdle();
        return dlg;
    }
    // The dialog with the skin's dialog look and its controls' skinners.
    bool OpenSkinned()
    {
        Open();
        const bool ok = SetSingleDialogSkin(dlg, "Dialog") != FALSE;
        WinTestPumpUntilIdle();
        return ok;
    }
    HWND Item(DemoId id) const { return GetDlgItem(dlg, id); }
    std::vector<RECT> Places() const
    {
        std::vector<RECT> r;
        for (const DemoControl& c : kControls)
            r.push_back(ClientRectIn(Item(c.id), dlg));
        return r;
    }

    std::string path;
    WinTestLiveCounts baseline;
    HWND dlg = nullptr;
};

TEST_P(DemoDialogTest, EveryControlGetsItsSkinnerAndLookInItsPlaceAndLosesBothWithTheSkin)
{
    Open();
    ASSERT_TRUE(dlg);
    const std::vector<RECT> before = Places();
    const CPicture plain = CPicture::OfWindow(dlg);
    ASSERT_TRUE(SetSingleDialogSkin(dlg, "Dialog")) << GetSkinLastError();
    WinTestPumpUntilIdle();
    EXPECT_NE(SkinOf<CSkinTab>(Item(kTab)), nullptr);
    EXPECT_NE(SkinOf<CSkinHeader>(Item(kHeader)), nullptr);
    EXPECT_NE(SkinOf<CSkinToolBar>(Item(kTool)), nullptr);
    EXPECT_NE(SkinOf<CSkinRebar>(Item(kRebar)), nullptr);
    EXPECT_NE(SkinOf<CSkinStatusBar>(Item(kStatus)), nullptr);
    EXPECT_NE(SkinOf<CSkinDateTime>(Item(kDate)), nullptr);
    EXPECT_NE(SkinOf<CSkinMonthCalendar>(Item(kCalendar)), nullptr);
    EXPECT_NE(SkinOf<CSkinAnimate>(Item(kAnimation)), nullptr);
    EXPECT_NE(SkinOf<CSkinLinkWnd>(Item(kLink)), nullptr);

    // The skin moves no control; each looks different from its plain self.
    const std::vector<RECT> after = Places();
    const CPicture skinned = CPicture::OfWindow(dlg);
    for (size_t i = 0; i < after.size(); ++i) {
        const RECT was = ClientRectIn(Item(kControls[i].id), dlg);
        EXPECT_EQ(after[i].right - after[i].left, before[i].right - before[i].left) << kControls[i].cls;
        EXPECT_EQ(after[i].bottom - after[i].top, before[i].bottom - before[i].top) << kControls[i].cls;
        if (kControls[i].id != kAnimation) {  // nothing to play yet: both show a plain field
            EXPECT_GT(skinned.CountDifferences(plain, was), 0) << kControls[i].cls;
        }
    }
    if (GetParam()) {
        const RECT page = SkinOf<CSkinTab>(Item(kTab))->GetPageRect();
        EXPECT_EQ(PainterAt(Item(kTab), Mid(page)), skin->Describe(Cell("Tab.page")));
        RECT part{};
        SendMessageA(Item(kStatus), SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
        EXPECT_EQ(PainterAt(Item(kStatus), POINT{part.left + 1, part.top + 1}), skin->Describe(Cell("StatusBar.pane", 0)));
    }

    ASSERT_TRUE(RemoveWindowSkin(dlg));
    WinTestPumpUntilIdle();
    for (const DemoControl& c : kControls)
        EXPECT_EQ(SkinOf(Item(c.id)), nullptr) << c.cls;
    const CPicture again = CPicture::OfWindow(dlg);
    EXPECT_EQ(again.CountDifferences(plain, ClientRectIn(Item(kStatus), dlg)), 0);
}

TEST_P(DemoDialogTest, TheSkinnedCalendarDropsDownOverTheDialogAndKeysAndTheMouseDriveIt)
{
    ASSERT_TRUE(OpenSkinned());
    HWND picker = Item(kDate);
    SYSTEMTIME st{};
    st.wYear = 2026;
    st.wMonth = 5;
    st.wDay = 12;
    SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    bool calendarSkinned = false;
    RECT next{};
    HWND cal = nullptr;
    WinTestIdleScript script({[&](int, HWND) {
                                  cal = reinterpret_cast<HWND>(SendMessageA(picker, DTM_GETMONTHCAL, 0, 0));
                                  auto* s = cal ? SkinOf<CSkinMonthCalendar>(cal) : nullptr;
                                  calendarSkinned = s != nullptr;
                                  if (s)
                                      next = s->GetNextButton();
                                  WinTestKeyPress(VK_DOWN);  // keys reach the calendar: a week on
                              },
                              [&](int, HWND) {
                                  MCHITTESTINFO hit{};
                                  hit.cbSize = sizeof hit;
                                  SendMessageA(cal, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&hit.st));
                                  EXPECT_EQ(hit.st.wDay, 19);
                                  // The next month by its title button, then a day of it.
                                  WinTestClick(cal, WINTEST_LEFT, (next.left + next.right) / 2,
                                               (next.top + next.bottom) / 2);
                              },
                              [&](int, HWND) {
                                  POINT day{};
                                  ASSERT_TRUE(FindDay(cal, 20, &day));
                                  WinTestClick(cal, WINTEST_LEFT, day.x, day.y);
                              }});
    RECT rc;
    GetClientRect(picker, &rc);
    WinTestClick(picker, WINTEST_LEFT, rc.right - 8, rc.bottom / 2);
    WinTestPumpUntilIdle();
    EXPECT_EQ(script.Overruns(), 0);
    EXPECT_TRUE(calendarSkinned);
    EXPECT_FALSE(IsRectEmpty(&next));
    SYSTEMTIME now{};
    SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&now));
    EXPECT_EQ(now.wMonth, 6);
    EXPECT_EQ(now.wDay, 20);
    EXPECT_FALSE(IsWindow(cal));
}

TEST_P(DemoDialogTest, TheAnimationPlaysAClipFrameByFrameAndEndsItsThreadWithTheDialog)
{
    ASSERT_TRUE(OpenSkinned());
    HWND anim = Item(kAnimation);
    auto* skinner = SkinOf<CSkinAnimate>(anim);
    ASSERT_NE(skinner, nullptr);
    const std::vector<COLORREF> colours = {RGB(240, 10, 10), RGB(10, 240, 10), RGB(10, 10, 240)};
    const std::string clip = ClipFile(colours, 12, 10);
    ASSERT_EQ(SendMessageA(anim, ACM_OPENA, 0, reinterpret_cast<LPARAM>(clip.c_str())), 1);
    ASSERT_EQ(SendMessageA(anim, ACM_PLAY, UINT(-1), MAKELPARAM(0, 0xFFFF)), 1);
    RECT rc;
    GetClientRect(anim, &rc);
    const POINT middle{rc.right / 2, rc.bottom / 2};
    EXPECT_EQ(PixelAt(anim, middle), colours[0]);
    for (int frame : {1, 2, 0}) {
        const unsigned shown = skinner->GetFramesShown();
        WinTestAdvanceClock(100);
        ASSERT_TRUE(Eventually([&] { return skinner->GetFramesShown() != shown; }));
        EXPECT_EQ(PixelAt(anim, middle), colours[size_t(frame)]);
    }
    // Around the centred frame: the skin's own background for the control.
    if (GetParam()) {
        EXPECT_EQ(PainterAt(anim, POINT{1, 1}), skin->Describe(Cell("Animate.image", -1)));
    } else {
        EXPECT_EQ(PixelAt(anim, POINT{1, 1}), RGB(255, 255, 255));
    }
    EXPECT_TRUE(skinner->IsPlaying());
    DestroyWindow(dlg);  // the thread ends with it; the counts in TearDown tell
    dlg = nullptr;
}


// String block 32 holds ids 496..511; 500 = "Open\nOpen a clip".
std::vector<BYTE> StringBlock()
{
    std::vector<BYTE> b;
    auto put = [&](const char* text) {
        const size_t n = std::strlen(text);
        b.push_back(BYTE(n));
        b.push_back(0);
        for (size_t i = 0; i < n; ++i) {
            b.push_back(BYTE(text[i]));
            b.push_back(0);
        }
    };
    for (int i = 0; i < 16; ++i)
        put(i == 4 ? "Open\nOpen a clip" : "");
    return b;
}

TEST_P(DemoDialogTest, AToolButtonUnderTheMouseOwnsTheTipWhichShowsTheSecondFieldOfItsCommandsString)
{
    static std::vector<BYTE> strings;
    strings = StringBlock();
    PLATRES_ENTRY entry{nullptr, 6, nullptr, 32, strings.data(), DWORD(strings.size())};
    PlatRegisterResources(&entry, 1);
    ASSERT_TRUE(OpenSkinned());
    HWND tool = Item(kTool);
    auto* skinner = SkinOf<CSkinToolBar>(tool);
    ASSERT_NE(skinner, nullptr);
    skinner->SetName("Tools");
    RECT r{};
    SendMessageA(tool, TB_GETRECT, 500, reinterpret_cast<LPARAM>(&r));
    WinTestMouseMove(tool, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    WinTestPumpUntilIdle();
    EXPECT_EQ(skinner->GetTipButton(), 0);
    ASSERT_NE(GetSkinElementTooltip(), nullptr);
    EXPECT_EQ(GetSkinElementTooltip()->GetOwner(), skinner);
    EXPECT_EQ(skinner->GetTooltipText(), "Open a clip");
    // Off the buttons there is no tip to show.
    RECT client;
    GetClientRect(tool, &client);
    WinTestMouseMove(tool, client.right - 2, client.bottom / 2);
    WinTestPumpUntilIdle();
    EXPECT_EQ(skinner->GetTipButton(), -1);
    EXPECT_EQ(skinner->GetTooltipText(), "");
    DestroyWindow(dlg);
    dlg = nullptr;
    PlatUnregisterResources(&entry);
}

INSTANTIATE_TEST_SUITE_P(Skins, DemoDialogTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "FlatSkin" : "DefaultSkin");
                         });

}  // namespace
