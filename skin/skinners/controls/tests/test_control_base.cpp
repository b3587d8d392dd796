// The control skinner base, driven through a small skinner derived from it the way every control
// skinner derives: the parent's veto, the per-dialog look, fonts kept and given back, off-screen
// painting, the parent's background under the control, hover, skin changes and clean removal.
#include <gtest/gtest.h>

#include "ControlBase.h"
#include "SkinDraw.h"
#include "SkinFile.h"
#include "SkinMemDC.h"
#include "control_test_support.h"

using namespace ctltest;
using skinkit::ClientRectIn;

namespace {

constexpr COLORREF kHotColor = RGB(3, 200, 7);

// Paints the parent's background, then its object's background grid two pixels inside it (a
// flat colour while the mouse is over it), and notes how it was asked to paint.
class CProbeSkinner : public CSkinControlBase {
public:
    using CSkinControlBase::CSkinControlBase;
    void Draw(HDC dc) override
    {
        ++draws;
        drewOffScreen = ::GetObjectType(dc) == OBJ_MEMDC;
        RECT rc;
        GetClientRect(GetHwnd(), &rc);
        DrawParentBackground(dc);
        InflateRect(&rc, -2, -2);
        if (IsHovering())
            FillSolidRect(dc, rc, kHotColor);
        else if (CSkinFontObject* f = GetFontObject())
            DrawSkinImagePart(f->GetOwner(), dc, rc, f->m_background, RGB(0, 0, 0), 1, false);
    }
    int draws = 0;
    bool drewOffScreen = false;
};

CSkinWindow* MakeProbe(int type, CSkinWindow* owner) { return new CProbeSkinner(owner, type); }

// A parent that wants the control with id 1001 left alone, and notes what it was asked.
struct VetoLog {
    std::vector<std::pair<WPARAM, LPARAM>> asked;
} g_veto;

LRESULT CALLBACK VetoParentProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_SKIN_ASKUNSKINNED) {
        g_veto.asked.push_back({w, l});
        return w == 1001 ? 1 : 0;
    }
    return DefWindowProcA(h, m, w, l);
}

void RegisterVetoParent()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = &VetoParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "CtlTestVetoParent";
    RegisterClassA(&wc);
}

class ControlBaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int type : {SKIN_BUTTON, SKIN_EDIT, SKIN_SLIDER, SKIN_STATIC})
            RegisterControlSkinner(type, &MakeProbe);
        skin = MakeSkin("A");
        skin->Apply();
    }
    void TearDown() override { ResetEngine(); }

    // Edit, Button, Static and Slider objects, each with a font of the skin, and a frame whose
    // child gives the control with id 1 its own look, font and place.
    static std::unique_ptr<CFlatSkin> MakeSkin(const char* tag)
    {
        std::vector<std::unique_ptr<CSkinObject>> objects;
        auto frame = MakeFrameObject();
        auto ok = Named<CSkinButtonObject>("OkLook");
        ok->m_nControlId = 1;
        ok->m_rc = {30, 40, 130, 70};
        ok->m_font.SetFace("DejaVu Serif");
        ok->m_font.lfHeight = -17;
        frame->AddChild(std::move(ok));
        objects.push_back(std::move(frame));
        auto edit = Named<CSkinScrollControlObject>("Edit", int(SKIN_EDIT));
        edit->m_font.lfHeight = std::string(tag) == "A" ? -13 : -15;
        objects.push_back(std::move(edit));
        objects.push_back(Named<CSkinButtonObject>("Button"));
        objects.push_back(Named<CSkinStaticObject>("Static"));
        objects.push_back(Named<CSkinSliderObject>("Slider"));
        return std::make_unique<CFlatSkin>(std::move(objects));
    }
    static HFONT SkinFont(const char* object)
    {
        auto* f = dynamic_cast<CSkinFontObject*>(CSkinManager::Instance().GetSkinFile()->FindObject(object));
        return f ? f->GetFont() : nullptr;
    }

    std::unique_ptr<CFlatSkin> skin;
};

TEST_F(ControlBaseTest, AParentThatVetoesOneControlKeepsExactlyThatOneUnskinned)
{
    RegisterVetoParent();
    g_veto.asked.clear();
    CHost host("CtlTestVetoParent");
    HWND edits[3];
    for (int i = 0; i < 3; ++i)
        edits[i] = host.Add("Edit", "text", 0, RECT{20, 20 + 40 * i, 160, 50 + 40 * i}, 1000 + i);
    WinTestPumpUntilIdle();
    const CPicture vetoedBefore = CPicture::OfWindow(edits[1]);
    ASSERT_TRUE(host.Skin());

    EXPECT_EQ(SkinOf(edits[1]), nullptr);
    EXPECT_NE(SkinOf<CProbeSkinner>(edits[0]), nullptr);
    EXPECT_NE(SkinOf<CProbeSkinner>(edits[2]), nullptr);
    ASSERT_EQ(g_veto.asked.size(), 3u);
    EXPECT_EQ(g_veto.asked[1].first, WPARAM(1001));
    EXPECT_EQ(g_veto.asked[1].second, reinterpret_cast<LPARAM>(edits[1]));
    // The vetoed control still paints the platform's look; its siblings the skin's.
    const CPicture vetoedAfter = CPicture::OfWindow(edits[1]);
    EXPECT_EQ(vetoedAfter.CountDifferences(vetoedBefore, vetoedBefore.Whole()), 0);
    const CPicture after = host.Picture();
    EXPECT_EQ(skinkit::Painter(after, Mid(ClientRectIn(edits[0], host)), *skin), "Edit.background cell 4");
    EXPECT_EQ(skinkit::Painter(after, Mid(ClientRectIn(edits[2], host)), *skin), "Edit.background cell 4");
}

TEST_F(ControlBaseTest, TheDialogsOwnLookForAControlIdBringsItsImagesFontAndPlace)
{
    CHost host;
    HWND ok = host.Add("Button", "OK", BS_PUSHBUTTON, RECT{5, 5, 60, 25}, 1);
    HWND other = host.Add("Button", "Other", BS_PUSHBUTTON, RECT{5, 100, 60, 120}, 2);
    ASSERT_TRUE(host.Skin());

    auto* probe = SkinOf<CProbeSkinner>(ok);
    ASSERT_NE(probe, nullptr);
    EXPECT_STREQ(probe->GetObjectName(), "OkLook");
    EXPECT_STREQ(SkinOf(other)->GetObjectName(), "Button");
    // Placed where the look says, in the parent's client coordinates.
    RECT rc;
    GetWindowRect(ok, &rc);
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(rc.left, 30);
    EXPECT_EQ(rc.top, 40);
    EXPECT_EQ(Width(rc), 100);
    EXPECT_EQ(Height(rc), 30);
    auto* look = dynamic_cast<CSkinFontObject*>(probe->GetSkinObject());
    ASSERT_NE(look, nullptr);
    EXPECT_EQ(FontOf(ok), look->GetFont());
    EXPECT_EQ(FontOf(other), SkinFont("Button"));
    const CPicture p = host.Picture();
    EXPECT_EQ(skinkit::Painter(p, Mid(ClientRectIn(ok, host)), *skin), "Frame/OkLook.background cell 4");
}

TEST(ControlOverride, ARichEditWithoutALookOfItsOwnTakesTheEditLookOfItsId)
{
    auto frame = MakeFrameObject();
    auto edit = Named<CSkinScrollControlObject>("EditLook", int(SKIN_EDIT));
    edit->m_nControlId = 7;
    CSkinObject* editLook = edit.get();
    frame->AddChild(std::move(edit));
    auto otherId = Named<CSkinScrollControlObject>("RichOther", int(SKIN_RICHEDIT));
    otherId->m_nControlId = 8;
    CSkinObject* richLook = otherId.get();
    frame->AddChild(std::move(otherId));

    EXPECT_EQ(CSkinControlBase::FindControlOverride(frame.get(), 7, SKIN_RICHEDIT), editLook);
    EXPECT_EQ(CSkinControlBase::FindControlOverride(frame.get(), 8, SKIN_RICHEDIT), richLook);
    EXPECT_EQ(CSkinControlBase::FindControlOverride(frame.get(), 7, SKIN_EDIT), editLook);
    // Another type or another id has no look of its own.
    EXPECT_EQ(CSkinControlBase::FindControlOverride(frame.get(), 7, SKIN_LISTBOX), nullptr);
    EXPECT_EQ(CSkinControlBase::FindControlOverride(frame.get(), 9, SKIN_RICHEDIT), nullptr);
    EXPECT_EQ(CSkinControlBase::FindControlOverride(nullptr, 7, SKIN_EDIT), nullptr);
}

TEST_F(ControlBaseTest, TheControlGetsItsOwnFontBackWhenTheSkinGoes)
{
    HFONT own = MakeFont(-19);
    CHost host;
    HWND edit = host.Add("Edit", "text", 0, RECT{20, 20, 160, 50}, 1000);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(own), FALSE);
    ASSERT_TRUE(host.Skin());
    EXPECT_EQ(FontOf(edit), SkinFont("Edit"));

    ASSERT_TRUE(CSkinManager::Instance().RemoveSkin(edit, FALSE));
    WinTestPumpUntilIdle();
    EXPECT_EQ(FontOf(edit), own);
    host.Unskin();
    DestroyWindow(edit);
    DeleteObject(own);
}

TEST_F(ControlBaseTest, ASkinTakenAwayBeforeTheControlsNextTurnLeavesItsFontUntouched)
{
    // Hyperlinks have their skin removed right after the dialog set them up.
    HFONT own = MakeFont(-19);
    CHost host;
    HWND edit = host.Add("Edit", "text", 0, RECT{20, 20, 160, 50}, 1000);
    WinTestActivate(host);
    ASSERT_TRUE(skinkit::AttachSkin(host, "Frame"));
    // Set up after the skin came, as a dialog sets up its controls.
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(own), FALSE);
    ASSERT_TRUE(CSkinManager::Instance().RemoveSkin(edit, FALSE));
    WinTestPumpUntilIdle();
    EXPECT_EQ(FontOf(edit), own);
    DestroyWindow(edit);
    DeleteObject(own);
}

TEST_F(ControlBaseTest, AFontSetUpAfterTheSkinCameIsTheOneThatComesBack)
{
    HFONT own = MakeFont(-19);
    CHost host;
    HWND edit = host.Add("Edit", "text", 0, RECT{20, 20, 160, 50}, 1000);
    WinTestActivate(host);
    ASSERT_TRUE(skinkit::AttachSkin(host, "Frame"));
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(own), FALSE);
    // A skin change before the control's next turn: still one font to keep, the control's own.
    MakeSkin("B")->Apply();
    WinTestPumpUntilIdle();
    EXPECT_EQ(FontOf(edit), SkinFont("Edit"));
    ASSERT_TRUE(CSkinManager::Instance().RemoveSkin(edit, FALSE));
    WinTestPumpUntilIdle();
    EXPECT_EQ(FontOf(edit), own);
    DestroyWindow(edit);
    DeleteObject(own);
}

TEST_F(ControlBaseTest, AControlWithTheSystemFontGetsTheSystemFontBack)
{
    CHost host;
    HWND edit = host.Add("Edit", "text", 0, RECT{20, 20, 160, 50}, 1000);
    ASSERT_EQ(FontOf(edit), nullptr);
    ASSERT_TRUE(host.Skin());
    ASSERT_NE(FontOf(edit), nullptr);
    ASSERT_TRUE(CSkinManager::Instance().RemoveSkin(edit, FALSE));
    // Not the skin's font, which goes with the skin.
    EXPECT_EQ(FontOf(edit), nullptr);
}

TEST_F(ControlBaseTest, BarLikeControlsAreNeverGivenAFont)
{
    CHost host;
    HWND slider = host.Add("msctls_trackbar32", "", 0, RECT{20, 20, 160, 50}, 1000);
    CMessageCounter fonts(slider, WM_SETFONT);
    ASSERT_TRUE(host.Skin());
    ASSERT_NE(SkinOf<CProbeSkinner>(slider), nullptr);
    MakeSkin("B")->Apply();
    WinTestPumpUntilIdle();
    ASSERT_TRUE(CSkinManager::Instance().RemoveSkin(slider, FALSE));
    WinTestPumpUntilIdle();
    EXPECT_EQ(fonts.Count(), 0);
}

TEST_F(ControlBaseTest, PaintsOffScreenAndNeverErases)
{
    CHost host;
    HWND edit = host.Add("Edit", "text", 0, RECT{20, 20, 160, 50}, 1000);
    ASSERT_TRUE(host.Skin());
    auto* probe = SkinOf<CProbeSkinner>(edit);
    ASSERT_NE(probe, nullptr);
    const int drawn = probe->draws;
    InvalidateRect(edit, nullptr, TRUE);
    UpdateWindow(edit);
    EXPECT_EQ(probe->draws, drawn + 1);
    EXPECT_TRUE(probe->drewOffScreen);

    // Erasing leaves the control's pixels alone: the paint covers them all.
    HDC screen = GetDC(nullptr);
    {
        CSkinMemDC surface(screen, 40, 20);
        FillSolidRect(surface, RECT{0, 0, 40, 20}, RGB(9, 9, 9));
        EXPECT_EQ(SendMessageA(edit, WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface.GetSafeHdc()), 0), 1);
        EXPECT_EQ(GetPixel(surface, 5, 5), RGB(9, 9, 9));
    }
    ReleaseDC(nullptr, screen);
}

TEST_F(ControlBaseTest, TheParentsBackgroundShowsUnderTheControl)
{
    CHost host;
    HWND edit = host.Add("Edit", "text", 0, RECT{20, 20, 160, 50}, 1000);
    ASSERT_TRUE(host.Skin());
    const CPicture p = host.Picture();
    const RECT rc = ClientRectIn(edit, host);
    // The frame object's client background in the two-pixel margin the probe leaves.
    EXPECT_EQ(skinkit::Painter(p, POINT{rc.left, rc.top}, *skin), "Frame.parts[4]");
    EXPECT_EQ(skinkit::Painter(p, POINT{rc.right - 1, rc.bottom - 1}, *skin), "Frame.parts[4]");
    EXPECT_EQ(skinkit::Painter(p, POINT{rc.left + 2, rc.top + 2}, *skin), "Edit.background cell 0");
}

TEST_F(ControlBaseTest, TheHotLookFollowsTheMouseInAndOut)
{
    CHost host;
    HWND edit = host.Add("Edit", "text", 0, RECT{20, 20, 160, 50}, 1000);
    ASSERT_TRUE(host.Skin());
    const POINT mid = InHost(edit, host, POINT{70, 15});
    WinTestMouseMove(edit, 70, 15);
    WinTestPumpUntilIdle();
    EXPECT_TRUE(SkinOf<CProbeSkinner>(edit)->IsHovering());
    EXPECT_EQ(host.Picture().At(mid), kHotColor);

    WinTestMouseMove(host, 300, 200);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(SkinOf<CProbeSkinner>(edit)->IsHovering());
    EXPECT_EQ(skinkit::Painter(host.Picture(), mid, *skin), "Edit.background cell 4");
}

TEST_F(ControlBaseTest, ANewSkinRepaintsTheControlFromItsObjects)
{
    CHost host;
    HWND edit = host.Add("Edit", "text", 0, RECT{20, 20, 160, 50}, 1000);
    ASSERT_TRUE(host.Skin());
    auto next = MakeSkin("B");
    next->Apply();
    WinTestPumpUntilIdle();
    const POINT mid = Mid(ClientRectIn(edit, host));
    EXPECT_EQ(next->Describe(host.Picture().At(mid)), "Edit.background cell 4");
    EXPECT_EQ(FontOf(edit), SkinFont("Edit"));
}

TEST_F(ControlBaseTest, AttachingAndRemovingLeavesNothingBehindAndTheControlLooksAsBefore)
{
    HFONT own = MakeFont(-19);
    CHost host;
    HWND edit = host.Add("Edit", "text", 0, RECT{20, 20, 160, 50}, 1000);
    HWND slider = host.Add("msctls_trackbar32", "", 0, RECT{20, 60, 160, 90}, 1001);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(own), TRUE);
    WinTestActivate(host);
    WinTestPumpUntilIdle();
    const CPicture before = CPicture::OfWindow(edit);
    const WinTestLiveCounts baseline = WinTestLiveCounts::Now();

    ASSERT_TRUE(host.Skin());
    WinTestMouseMove(edit, 10, 10);
    WinTestPumpUntilIdle();
    ASSERT_NE(SkinOf(edit), nullptr);
    ASSERT_TRUE(host.Unskin());

    EXPECT_EQ(SkinOf(edit), nullptr);
    EXPECT_EQ(SkinOf(slider), nullptr);
    const WinTestLiveCounts after = WinTestLiveCounts::Now();
    EXPECT_EQ(after, baseline) << after.ChangesFrom(baseline);
    const CPicture restored = CPicture::OfWindow(edit);
    EXPECT_EQ(restored.CountDifferences(before, before.Whole()), 0);
    EXPECT_EQ(FontOf(edit), own);
    DestroyWindow(edit);
    DeleteObject(own);
}

TEST_F(ControlBaseTest, ADestroyedControlLeavesItsOwner)
{
    CHost host;
    HWND edit = host.Add("Edit", "text", 0, RECT{20, 20, 160, 50}, 1000);
    ASSERT_TRUE(host.Skin());
    CSkinWindow* frame = SkinOf(host);
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(frame->GetChildControls().count(edit), 1u);
    DestroyWindow(edit);
    EXPECT_EQ(frame->GetChildControls().count(edit), 0u);
    EXPECT_EQ(SkinOf(edit), nullptr);
}

}  // namespace
