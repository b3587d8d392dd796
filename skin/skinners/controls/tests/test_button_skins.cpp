// Push buttons, check boxes and radio buttons under the flat-colour skin: the state record each
// state shows (with the fall-backs of a sparse skin), clicks counted as the unskinned control
// counts them, the auto check and radio logic, and the push-like window region.
#include <gtest/gtest.h>

#include <map>

#include "ButtonSkins.h"
#include "ControlSkinners.h"
#include "RasterImage.h"
#include "SkinFile.h"
#include "control_test_support.h"

using namespace ctltest;
using skinkit::ClientRectIn;

namespace {

// ---- a host that counts the clicks its buttons report -----------------------------------------

std::map<int, int> g_clicks;

LRESULT CALLBACK ClickHostProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_COMMAND && HIWORD(w) == BN_CLICKED)
        ++g_clicks[LOWORD(w)];
    return DefWindowProcA(h, m, w, l);
}

const char* ClickHostClass()
{
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &ClickHostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "CtlTestClickHost";
        return RegisterClassA(&wc) != 0;
    }();
    return registered ? "CtlTestClickHost" : "SkinKitWindow";
}

// Text colours of the state records, distinct from every colour the flat skin hands out.
COLORREF StateTextColor(int state) { return RGB(200, 10 + 20 * state, 250); }

std::vector<std::unique_ptr<CSkinObject>> ButtonObjects()
{
    std::vector<std::unique_ptr<CSkinObject>> objects;
    objects.push_back(MakeFrameObject());
    for (const char* name : {"Button", "PushLikeButton"}) {
        auto b = Named<CSkinButtonObject>(name);
        for (int s = 0; s < SKINBTN_STATES; ++s)
            b->m_states[s].style.SetTextColor(StateTextColor(s));
        objects.push_back(std::move(b));
    }
    auto check = Named<CSkinCheckBoxObject>("CheckBox");
    auto radio = Named<CSkinRadioObject>("Radio");
    for (int s = 0; s < SKINMARK_STATES; ++s) {
        check->m_states[s].style.SetTextColor(StateTextColor(s));
        radio->m_states[s].style.SetTextColor(StateTextColor(s));
    }
    objects.push_back(std::move(check));
    objects.push_back(std::move(radio));
    return objects;
}

std::string Grid(const char* object, int state, int cell)
{
    return std::string(object) + ".states[" + std::to_string(state) + "].grid cell " + std::to_string(cell);
}
std::string MarkOf(const char* object, int state) { return std::string(object) + ".states[" + std::to_string(state) + "].box"; }

class ButtonSkinTest : public CSkinnerTest {
protected:
    void SetUp() override
    {
        CSkinnerTest::SetUp();
        g_clicks.clear();
    }

    void UseSkin(std::vector<std::string> leaveEmpty = {}) { ApplySkin(ButtonObjects(), std::move(leaveEmpty)); }

    std::unique_ptr<CHost> host;
};

// ---- push buttons ------------------------------------------------------------------------------------

enum class Push { Normal, Hover, Pressed, DraggedOut, Disabled, Focused, Default, DefaultFocused, SetState };

struct PushRow {
    const char* name;
    Push state;
    int full;    // the record shown with every record in the skin
    int sparse;  // ... with the hot, pressed, focused and disabled records empty
};

class PushButtonStates : public ButtonSkinTest, public ::testing::WithParamInterface<PushRow> {};

TEST_P(PushButtonStates, ShowTheRecordTheStateChooses)
{
    const PushRow& row = GetParam();
    for (bool sparse : {false, true}) {
        SCOPED_TRACE(sparse ? "sparse skin" : "full skin");
        UseSkin(sparse ? std::vector<std::string>{"Button.states[1]", "Button.states[3]", "Button.states[4]",
                                                  "Button.states[5]"}
                       : std::vector<std::string>{});
        host = std::make_unique<CHost>();
        const bool isDefault = row.state == Push::Default || row.state == Push::DefaultFocused;
        HWND button = host->Add("Button", "", isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, RECT{20, 20, 100, 50}, 1);
        HWND other = host->Add("Edit", "", 0, RECT{20, 100, 100, 120}, 2);
        ASSERT_TRUE(host->Skin());
        SetFocus(other);
        switch (row.state) {
        case Push::Hover: WinTestMouseMove(button, 40, 15); break;
        case Push::Pressed: WinTestMouseButton(button, WINTEST_LEFT, TRUE, 40, 15); break;
        case Push::DraggedOut:
            WinTestMouseButton(button, WINTEST_LEFT, TRUE, 40, 15);
            WinTestPumpUntilIdle();
            WinTestMouseMove(button, 40, 80);
            break;
        case Push::Disabled: EnableWindow(button, FALSE); break;
        case Push::Focused:
        case Push::DefaultFocused: SetFocus(button); break;
        case Push::SetState: SendMessageA(button, BM_SETSTATE, TRUE, 0); break;
        default: break;
        }
        WinTestPumpUntilIdle();
        EXPECT_EQ(PainterAt(button, POINT{40, 15}), Grid("Button", sparse ? row.sparse : row.full, 4));
        EXPECT_EQ(PainterAt(button, POINT{2, 2}), Grid("Button", sparse ? row.sparse : row.full, 0));
        WinTestMouseButton(nullptr, WINTEST_LEFT, FALSE, 0, 0);
        WinTestPumpUntilIdle();
        host.reset();
        ResetEngine();
        InstallControlSkinners();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PushButtonStates,
    ::testing::Values(PushRow{"Normal", Push::Normal, SKINBTN_NORMAL, SKINBTN_NORMAL},
                      PushRow{"Hover", Push::Hover, SKINBTN_HOT, SKINBTN_NORMAL},
                      PushRow{"Pressed", Push::Pressed, SKINBTN_PRESSED, SKINBTN_NORMAL},
                      // Held outside it: no longer pressed; the button holding the mouse keeps its
                      // hover until the release.
                      PushRow{"DraggedOut", Push::DraggedOut, SKINBTN_HOT, SKINBTN_NORMAL},
                      PushRow{"Disabled", Push::Disabled, SKINBTN_DISABLED, SKINBTN_NORMAL},
                      PushRow{"Focused", Push::Focused, SKINBTN_FOCUSED, SKINBTN_NORMAL},
                      PushRow{"Default", Push::Default, SKINBTN_DEFAULT, SKINBTN_DEFAULT},
                      PushRow{"DefaultFocused", Push::DefaultFocused, SKINBTN_FOCUSED, SKINBTN_DEFAULT},
                      PushRow{"SetState", Push::SetState, SKINBTN_PRESSED, SKINBTN_NORMAL}),
    [](const ::testing::TestParamInfo<PushRow>& info) { return std::string(info.param.name); });

TEST_F(ButtonSkinTest, TheTextTakesTheStatesColourAndSitsInTheMiddle)
{
    UseSkin();
    host = std::make_unique<CHost>();
    HWND button = host->Add("Button", "Wide", BS_PUSHBUTTON, RECT{20, 20, 140, 60}, 1);
    ASSERT_TRUE(host->Skin());
    EnableWindow(button, FALSE);
    WinTestPumpUntilIdle();
    const CPicture p = host->Picture();
    const RECT rc = ClientRectIn(button, *host);
    const COLORREF back = skin->ColorOf("Button.states[5].grid", 4);
    const RECT text = p.BoundsOfOthers(RECT{rc.left + 10, rc.top + 10, rc.right - 10, rc.bottom - 10}, back);
    ASSERT_FALSE(IsRectEmpty(&text));
    EXPECT_NEAR((text.left + text.right) / 2.0, (rc.left + rc.right) / 2.0, 1.5);
    EXPECT_NEAR((text.top + text.bottom) / 2.0, (rc.top + rc.bottom) / 2.0, 1.5);
    EXPECT_GT(p.CountNear(text, StateTextColor(SKINBTN_DISABLED)), 0);
    EXPECT_EQ(p.CountNear(text, StateTextColor(SKINBTN_NORMAL)), 0);
}

TEST_F(ButtonSkinTest, TheDefaultLookFollowsTheStyleTheDialogGivesAtRunTime)
{
    UseSkin();
    host = std::make_unique<CHost>();
    HWND button = host->Add("Button", "", BS_PUSHBUTTON, RECT{20, 20, 100, 50}, 1);
    HWND other = host->Add("Edit", "", 0, RECT{20, 100, 100, 120}, 2);
    ASSERT_TRUE(host->Skin());
    SetFocus(other);
    SendMessageA(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    WinTestPumpUntilIdle();
    EXPECT_EQ(PainterAt(button, POINT{40, 15}), Grid("Button", SKINBTN_DEFAULT, 4));
    SendMessageA(button, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    WinTestPumpUntilIdle();
    EXPECT_EQ(PainterAt(button, POINT{40, 15}), Grid("Button", SKINBTN_NORMAL, 4));
}

TEST_F(ButtonSkinTest, ImageButtonsShowTheirImageOnTheStatesFaceAndOnlyTheFaceWithoutOne)
{
    UseSkin();
    const COLORREF picture = RGB(12, 230, 99);
    HBITMAP bitmap = MakeBitmap(20, 10, picture);
    host = std::make_unique<CHost>();
    HWND withBitmap = host->Add("Button", "", BS_PUSHBUTTON | BS_BITMAP, RECT{20, 20, 100, 50}, 1);
    HWND withoutIcon = host->Add("Button", "Text", BS_PUSHBUTTON | BS_ICON, RECT{20, 60, 100, 90}, 2);
    SendMessageA(withBitmap, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    ASSERT_TRUE(host->Skin());
    const CPicture p = host->Picture();
    // Centred on the face: 30..50 across, 10..20 down.
    EXPECT_EQ(p.At(InHost(withBitmap, *host, POINT{30, 10})), picture);
    EXPECT_EQ(p.At(InHost(withBitmap, *host, POINT{49, 19})), picture);
    EXPECT_EQ(PainterAt(withBitmap, POINT{28, 15}), Grid("Button", SKINBTN_NORMAL, 4));
    EXPECT_EQ(PainterAt(withBitmap, POINT{2, 2}), Grid("Button", SKINBTN_NORMAL, 0));
    const RECT face = ClientRectIn(withoutIcon, *host);
    const RECT inner{face.left + 10, face.top + 10, face.right - 10, face.bottom - 10};
    EXPECT_EQ(p.Count(inner, skin->ColorOf("Button.states[0].grid", 4)), Width(inner) * Height(inner));
    DestroyWindow(withBitmap);
    DeleteObject(bitmap);
}

// ---- clicks, counted as the unskinned button counts them -------------------------------------------------

enum class Gesture { ClickInside, DragOutAndRelease, SpaceBar, ButtonClickMessage };

int ClicksAfter(Gesture gesture, bool skinned)
{
    g_clicks.clear();
    CHost host(ClickHostClass());
    HWND button = host.Add("Button", "OK", BS_PUSHBUTTON, RECT{20, 20, 100, 50}, 7);
    if (skinned) {
        EXPECT_TRUE(host.Skin());
    }
    WinTestActivate(host);
    SetFocus(button);
    WinTestPumpUntilIdle();
    switch (gesture) {
    case Gesture::ClickInside: WinTestClick(button, WINTEST_LEFT, 30, 10); break;
    case Gesture::DragOutAndRelease: WinTestDrag(button, WINTEST_LEFT, 30, 10, 30, 90, 4); break;
    case Gesture::SpaceBar: WinTestKeyPress(VK_SPACE); break;
    case Gesture::ButtonClickMessage: SendMessageA(button, BM_CLICK, 0, 0); break;
    }
    WinTestPumpUntilIdle();
    return g_clicks[7];
}

TEST_F(ButtonSkinTest, ClicksAreCountedAsTheSystemsButtonCountsThem)
{
    UseSkin();
    const struct {
        Gesture gesture;
        int expected;
    } rows[] = {{Gesture::ClickInside, 1}, {Gesture::DragOutAndRelease, 0}, {Gesture::SpaceBar, 1},
                {Gesture::ButtonClickMessage, 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(int(row.gesture));
        const int plain = ClicksAfter(row.gesture, false);
        const int skinned = ClicksAfter(row.gesture, true);
        EXPECT_EQ(plain, row.expected);
        EXPECT_EQ(skinned, plain);
    }
}

TEST_F(ButtonSkinTest, ACharacterTypedDuringAPressCancelsIt)
{
    UseSkin();
    CHost host(ClickHostClass());
    HWND button = host.Add("Button", "OK", BS_PUSHBUTTON, RECT{20, 20, 100, 50}, 7);
    ASSERT_TRUE(host.Skin());
    WinTestMouseButton(button, WINTEST_LEFT, TRUE, 30, 10);
    WinTestPumpUntilIdle();
    EXPECT_TRUE(SkinOf<CSkinButton>(button)->IsPressed());
    SendMessageA(button, WM_CHAR, 'a', 0);
    EXPECT_FALSE(SkinOf<CSkinButton>(button)->IsPressed());
    EXPECT_NE(GetCapture(), button);
    WinTestMouseButton(button, WINTEST_LEFT, FALSE, 30, 10);
    WinTestPumpUntilIdle();
    EXPECT_EQ(g_clicks[7], 0);
}

TEST_F(ButtonSkinTest, ASpacePressEndsWithoutAClickWhenTheFocusMovesAway)
{
    UseSkin();
    CHost host(ClickHostClass());
    HWND button = host.Add("Button", "OK", BS_PUSHBUTTON, RECT{20, 20, 100, 50}, 7);
    HWND other = host.Add("Button", "Other", BS_PUSHBUTTON, RECT{20, 60, 100, 90}, 8);
    ASSERT_TRUE(host.Skin());
    WinTestActivate(host);
    SetFocus(button);
    WinTestKey(VK_SPACE, TRUE);
    WinTestPumpUntilIdle();
    ASSERT_TRUE(SkinOf<CSkinButton>(button)->IsPressed());
    SetFocus(other);
    WinTestKey(VK_SPACE, FALSE);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(SkinOf<CSkinButton>(button)->IsPressed());
    EXPECT_EQ(g_clicks[7], 0);
    EXPECT_EQ(g_clicks[8], 0);
    EXPECT_EQ(PainterAt(button, POINT{12, 15}), Grid("Button", SKINBTN_NORMAL, 4));  // beside the text
}

TEST_F(ButtonSkinTest, OwnerDrawnButtonsKeepTheLookTheirOwnerDraws)
{
    UseSkin();
    CHost host;
    HWND drawn = host.Add("Button", "", BS_OWNERDRAW, RECT{20, 20, 100, 50}, 1);
    ASSERT_TRUE(host.Skin());
    EXPECT_EQ(SkinOf(drawn), nullptr);
}

// ---- check boxes and radio buttons ----------------------------------------------------------------------

enum class Mark { Plain, Hover, Focused, Checked, CheckedHover, Indeterminate, Disabled, DisabledChecked, Pressed,
                  SetState };

struct MarkRow {
    const char* name;
    const char* object;
    Mark state;
    int background, mark, text;  // full skin
    int sparseBackground, sparseMark;  // hot and disabled-checked/unchecked records empty
};

class MarkButtonStates : public ButtonSkinTest, public ::testing::WithParamInterface<MarkRow> {};

TEST_P(MarkButtonStates, ShowTheBackgroundMarkAndTextTheStateChooses)
{
    const MarkRow& row = GetParam();
    const bool radio = std::string(row.object) == "Radio";
    for (bool sparse : {false, true}) {
        SCOPED_TRACE(sparse ? "sparse skin" : "full skin");
        const std::string o = row.object;
        UseSkin(sparse ? std::vector<std::string>{o + ".states[3]", o + ".states[4]", o + ".states[5]", o + ".states[6]"}
                       : std::vector<std::string>{});
        host = std::make_unique<CHost>();
        DWORD style = radio ? BS_AUTORADIOBUTTON : row.state == Mark::Indeterminate ? BS_AUTO3STATE : BS_AUTOCHECKBOX;
        HWND control = host->Add("Button", "Mm", style, RECT{20, 20, 140, 50}, 1);
        HWND other = host->Add("Edit", "", 0, RECT{20, 100, 100, 120}, 2);
        ASSERT_TRUE(host->Skin());
        SetFocus(other);
        const bool checked = row.state == Mark::Checked || row.state == Mark::CheckedHover ||
                             row.state == Mark::DisabledChecked;
        if (checked)
            SendMessageA(control, BM_SETCHECK, BST_CHECKED, 0);
        switch (row.state) {
        case Mark::Hover:
        case Mark::CheckedHover: WinTestMouseMove(control, 60, 25); break;
        case Mark::Focused: SetFocus(control); break;
        case Mark::Indeterminate: SendMessageA(control, BM_SETCHECK, BST_INDETERMINATE, 0); break;
        case Mark::Disabled:
        case Mark::DisabledChecked: EnableWindow(control, FALSE); break;
        case Mark::Pressed: WinTestMouseButton(control, WINTEST_LEFT, TRUE, 60, 25); break;
        case Mark::SetState: SendMessageA(control, BM_SETSTATE, TRUE, 0); break;
        default: break;
        }
        WinTestPumpUntilIdle();
        const int background = sparse ? row.sparseBackground : row.background;
        const int mark = sparse ? row.sparseMark : row.mark;
        EXPECT_EQ(PainterAt(control, POINT{2, 2}), Grid(row.object, background, 0));
        // The mark stands at the content's left edge, centred in its height.
        EXPECT_EQ(PainterAt(control, POINT{18, 15}), MarkOf(row.object, mark));
        if (!sparse) {
            const CPicture p = host->Picture();
            const RECT rc = ClientRectIn(control, *host);
            EXPECT_GT(p.Count(RECT{rc.left + 28, rc.top, rc.right, rc.bottom}, StateTextColor(row.text)), 0);
        }
        WinTestMouseButton(nullptr, WINTEST_LEFT, FALSE, 0, 0);
        WinTestPumpUntilIdle();
        host.reset();
        ResetEngine();
        InstallControlSkinners();
    }
}

constexpr int U = SKINMARK_UNCHECKED, C = SKINMARK_CHECKED, D = SKINMARK_DISABLED, DU = SKINMARK_DISABLED_UNCHECKED,
              DC = SKINMARK_DISABLED_CHECKED, HU = SKINMARK_HOT_UNCHECKED, HC = SKINMARK_HOT_CHECKED;

INSTANTIATE_TEST_SUITE_P(
    Rows, MarkButtonStates,
    ::testing::Values(MarkRow{"Plain", "CheckBox", Mark::Plain, U, U, U, U, U},
                      MarkRow{"Hover", "CheckBox", Mark::Hover, HU, HU, HU, U, U},
                      MarkRow{"Focused", "CheckBox", Mark::Focused, HU, HU, HU, U, U},
                      MarkRow{"Checked", "CheckBox", Mark::Checked, C, C, C, C, C},
                      MarkRow{"CheckedHover", "CheckBox", Mark::CheckedHover, HC, HC, HC, C, C},
                      MarkRow{"Indeterminate", "CheckBox", Mark::Indeterminate, U, U, U, U, U},
                      MarkRow{"Disabled", "CheckBox", Mark::Disabled, DU, DU, DU, D, D},
                      MarkRow{"DisabledChecked", "CheckBox", Mark::DisabledChecked, DC, DC, DC, D, D},
                      // Held down (and so focused), an unchecked box already looks checked.
                      MarkRow{"Pressed", "CheckBox", Mark::Pressed, HC, HC, HC, C, C},
                      MarkRow{"SetState", "CheckBox", Mark::SetState, C, C, C, C, C},
                      MarkRow{"RadioPlain", "Radio", Mark::Plain, U, U, U, U, U},
                      MarkRow{"RadioChecked", "Radio", Mark::Checked, C, C, C, C, C},
                      MarkRow{"RadioPressed", "Radio", Mark::Pressed, HU, HU, HU, U, U},
                      MarkRow{"RadioDisabled", "Radio", Mark::Disabled, DU, DU, DU, D, D},
                      MarkRow{"RadioDisabledChecked", "Radio", Mark::DisabledChecked, DC, DC, DC, C, C}),
    [](const ::testing::TestParamInfo<MarkRow>& info) { return std::string(info.param.name); });

TEST_F(ButtonSkinTest, LeftTextPutsTheMarkAtTheRightAndTheTopStylePutsItAtTheTop)
{
    UseSkin();
    host = std::make_unique<CHost>();
    HWND right = host->Add("Button", "", BS_AUTOCHECKBOX | BS_LEFTTEXT, RECT{20, 20, 140, 60}, 1);
    HWND top = host->Add("Button", "", BS_AUTOCHECKBOX | BS_TOP, RECT{20, 70, 140, 110}, 2);
    HWND bottom = host->Add("Button", "", BS_AUTOCHECKBOX | BS_BOTTOM, RECT{20, 120, 140, 160}, 3);
    ASSERT_TRUE(host->Skin());
    // Content: the client less the 10-pixel margins; the mark is 16 x 16.
    EXPECT_EQ(PainterAt(right, POINT{110 - 8, 20}), MarkOf("CheckBox", U));
    EXPECT_NE(PainterAt(right, POINT{18, 20}), MarkOf("CheckBox", U));
    EXPECT_EQ(PainterAt(top, POINT{18, 11}), MarkOf("CheckBox", U));
    EXPECT_EQ(PainterAt(top, POINT{18, 25}), MarkOf("CheckBox", U));
    EXPECT_NE(PainterAt(top, POINT{18, 27}), MarkOf("CheckBox", U));
    EXPECT_EQ(PainterAt(bottom, POINT{18, 29}), MarkOf("CheckBox", U));
    EXPECT_NE(PainterAt(bottom, POINT{18, 12}), MarkOf("CheckBox", U));
}

TEST_F(ButtonSkinTest, AnAutoThreeStateBoxCyclesThroughCheckedAndIndeterminate)
{
    UseSkin();
    CHost host(ClickHostClass());
    HWND box = host.Add("Button", "Three", BS_AUTO3STATE, RECT{20, 20, 140, 50}, 4);
    ASSERT_TRUE(host.Skin());
    const LRESULT expected[] = {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED};
    for (LRESULT e : expected) {
        WinTestClick(box, WINTEST_LEFT, 10, 10);
        WinTestPumpUntilIdle();
        EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), e);
    }
    EXPECT_EQ(g_clicks[4], 3);
}

TEST_F(ButtonSkinTest, ARadioClickChecksItselfAndUnchecksTheOtherRadiosOfItsGroupOnly)
{
    UseSkin();
    CHost host(ClickHostClass());
    HWND r1 = host.Add("Button", "1", BS_AUTORADIOBUTTON | WS_GROUP, RECT{20, 20, 140, 40}, 11);
    HWND r2 = host.Add("Button", "2", BS_AUTORADIOBUTTON, RECT{20, 45, 140, 65}, 12);
    HWND box = host.Add("Button", "box", BS_AUTOCHECKBOX, RECT{20, 70, 140, 90}, 13);
    HWND r3 = host.Add("Button", "3", BS_AUTORADIOBUTTON, RECT{20, 95, 140, 115}, 14);
    HWND next = host.Add("Button", "4", BS_AUTORADIOBUTTON | WS_GROUP, RECT{20, 120, 140, 140}, 15);
    ASSERT_TRUE(host.Skin());
    SendMessageA(r1, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(r3, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(next, BM_SETCHECK, BST_CHECKED, 0);
    WinTestClick(r2, WINTEST_LEFT, 10, 10);
    WinTestPumpUntilIdle();
    EXPECT_EQ(SendMessageA(r1, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(r2, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(r3, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(next, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(g_clicks[12], 1);
    // The unchecked ones show it at once.
    EXPECT_EQ(PainterAt(r1, POINT{18, 10}), MarkOf("Radio", U));
    EXPECT_EQ(PainterAt(r2, POINT{18, 10}), MarkOf("Radio", HC));
}

// ---- push-like buttons and their window region -------------------------------------------------------------

// The flat skin with the push-like button's normal image replaced by one whose corners have the
// key colour.
void ApplySkinWithRoundedPushLike(const CFlatSkin& flat)
{
    std::unique_ptr<CSkinFile> file = flat.MakeFile();
    CRasterImage picture;
    picture.Create(30, 30, 24);
    for (LONG y = 0; y < 30; ++y)
        for (LONG x = 0; x < 30; ++x) {
            const bool corner = (x < 3 || x >= 27) && (y < 3 || y >= 27);
            picture.SetPixelColor(x, y, corner ? RGB(255, 0, 255) : RGB(40, 90, 160));
        }
    auto image = Named<CSkinImageObject>("rounded");
    image->SetImage(picture, RASTER_FORMAT_BMP);
    file->AddImage(std::move(image));
    auto* push = static_cast<CSkinButtonObject*>(file->FindObject("PushLikeButton"));
    push->m_states[0].grid.Set("rounded", 0, 0, 30, 30, 10, 10, 10, 10, 1);
    CSkinManager::Instance().ApplySkinToAllWindows(file.release());
}

bool HasRegion(HWND hwnd, bool* cornerOut = nullptr)
{
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    const bool has = GetWindowRgn(hwnd, rgn) != ERROR;
    if (has && cornerOut)
        *cornerOut = !PtInRegion(rgn, 0, 0) && PtInRegion(rgn, 15, 15);
    DeleteObject(rgn);
    return has;
}

TEST_F(ButtonSkinTest, APushLikeCheckBoxGetsTheButtonsShapeAndLosesItAgain)
{
    UseSkin();
    ApplySkinWithRoundedPushLike(*skin);
    CHost host;
    HWND box = host.Add("Button", "Push", BS_AUTOCHECKBOX, RECT{20, 20, 120, 50}, 1);
    ASSERT_TRUE(host.Skin());
    EXPECT_FALSE(HasRegion(box));  // a plain check box keeps its rectangle
    SetWindowLongA(box, GWL_STYLE, GetWindowLongA(box, GWL_STYLE) | BS_PUSHLIKE);
    bool cornerCut = false;
    EXPECT_TRUE(HasRegion(box, &cornerCut));
    EXPECT_TRUE(cornerCut);
    // Resized, the shape follows.
    SetWindowPos(box, nullptr, 0, 0, 140, 40, SWP_NOMOVE | SWP_NOZORDER);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(box, rgn);
    EXPECT_FALSE(PtInRegion(rgn, 139, 39));
    EXPECT_TRUE(PtInRegion(rgn, 136, 36));
    DeleteObject(rgn);
    SetWindowLongA(box, GWL_STYLE, GetWindowLongA(box, GWL_STYLE) & ~BS_PUSHLIKE);
    EXPECT_FALSE(HasRegion(box));
}

TEST_F(ButtonSkinTest, APushLikeCheckBoxDrawsThePushLikeButtonsRecords)
{
    UseSkin();
    CHost host;
    HWND box = host.Add("Button", "", BS_AUTOCHECKBOX | BS_PUSHLIKE, RECT{20, 20, 120, 50}, 1);
    ASSERT_TRUE(host.Skin());
    EXPECT_EQ(PainterAt(box, POINT{50, 15}), Grid("PushLikeButton", SKINBTN_NORMAL, 4));
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(PainterAt(box, POINT{50, 15}), Grid("PushLikeButton", SKINBTN_PRESSED, 4));
    EnableWindow(box, FALSE);
    WinTestPumpUntilIdle();
    EXPECT_EQ(PainterAt(box, POINT{50, 15}), Grid("PushLikeButton", SKINBTN_DEFAULT, 4));
}

}  // namespace
