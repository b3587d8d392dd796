// The main dialog with the program's own skin: its caption carries the skin's close, minimise
// and system-menu buttons; the close button ends the dialog when no batch runs and gets the
// warning while one does; the minimise button minimises it; the buttons' tips show in the
// skin's tooltip; message boxes are skinned too.

#include "ButtonSkins.h"
#include "ComboSkin.h"
#include "DialogSkin.h"
#include "FrameElements.h"
#include "SkinEngine.h"
#include "SkinFile.h"
#include "SkinManager.h"
#include "SkinObjectTypes.h"
#include "SkinPopupMenu.h"
#include "ScrollControlSkin.h"
#include "SliderSkin.h"
#include "StaticSkin.h"
#include "SkinTooltip.h"
#include "SkinTooltipControl.h"
#include "afxtest.h"
#include "Skinners.h"
#include "GroupBoxSkin.h"
#include "RasterImage.h"
#include "skin_looks.h"
#include "test_dlg_support.h"

using namespace dlgtest;

namespace {

class SkinnedDlg : public DialogFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(skinlooks::StartProgramSkin()) << GetSkinLastError();
        DialogFixture::SetUp();
        WinTestActivate(dlg.GetSafeHwnd());
        WinTestPumpUntilIdle();
    }
    void TearDown() override {
        DialogFixture::TearDown();
        skinlooks::StopProgramSkin();
    }
public:
    CSkinCaptionButton* Button(HWND hwnd, const char* name) {
        CSkinWindow* skin = CSkinManager::Instance().FindSkinWindow(hwnd);
        if (!skin) return nullptr;
        skin->LayoutElements();
        for (CSkinElement* e : skin->GetElements())
            if (e->GetName() == name) return dynamic_cast<CSkinCaptionButton*>(e);
        return nullptr;
    }
protected:
    // Clicks the middle of the caption button and handles what follows as the dialog's loop.
    void ClickCaptionButton(const char* name) {
        CSkinCaptionButton* b = Button(dlg.GetSafeHwnd(), name);
        ASSERT_NE(b, nullptr) << name;
        RECT rc, wr;
        b->GetElementRect(&rc);
        ::GetWindowRect(dlg.GetSafeHwnd(), &wr);
        const int x = wr.left + (rc.left + rc.right) / 2, y = wr.top + (rc.top + rc.bottom) / 2;
        WinTestMouseMove(nullptr, x, y);
        WinTestClick(nullptr, WINTEST_LEFT, x, y);
        WinTestPumpUntilIdle();
        PumpAsModalLoop(dlg);
    }
    static constexpr const char* kRunning = "The convert is running, please first stop convert then exit.";
};

TEST_F(SkinnedDlg, TheCaptionHasTheSkinsButtonsAndTheCloseButtonEndsTheIdleDialog) {
    HWND h = dlg.GetSafeHwnd();
    ASSERT_NE(dynamic_cast<CSkinDialog*>(CSkinManager::Instance().FindSkinWindow(h)), nullptr);
    for (const char* name : {"Close", "Minimize", "SysMenu"}) EXPECT_NE(Button(h, name), nullptr) << name;
    // The dialog has no maximise box: the skin's dialog object has no such button either, and
    // every button it has is enabled.
    EXPECT_EQ(Button(h, "Maximize"), nullptr);
    EXPECT_TRUE(Button(h, "Close")->IsEnabled());
    EXPECT_TRUE(Button(h, "Minimize")->IsEnabled());
    ClickCaptionButton("Close");
    EXPECT_TRUE(dlg.boxes.empty());
    EXPECT_FALSE(::IsWindowVisible(h));  // ended
}

TEST_F(SkinnedDlg, TheCloseButtonIsRefusedWithTheWarningWhileABatchRuns) {
    Media("a.avi");
    AddFiles("a.avi");
    ::SetWindowTextA(H(IDC_OUTFOLDER), (scratch / "out").c_str());
    bool clicked = false;
    dlg.onBatchMessage = [&](UINT msg, WPARAM, LPARAM, LRESULT r) {
        if (clicked || msg != WM_BATCH_NEXTROW || r != 0) return;
        clicked = true;
        ClickCaptionButton("Close");
    };
    ClickButton(dlg, IDC_START);
    ASSERT_TRUE(WaitForBatchEnd());
    EXPECT_TRUE(clicked);
    ASSERT_FALSE(dlg.boxes.empty());
    EXPECT_EQ(dlg.boxes[0].text, kRunning);
    EXPECT_EQ(dlg.boxes[0].caption, "Warning");
    EXPECT_TRUE(::IsWindowVisible(dlg.GetSafeHwnd()));
    // It is idle again: now the button ends it.
    dlg.boxes.clear();
    ClickCaptionButton("Close");
    EXPECT_FALSE(::IsWindowVisible(dlg.GetSafeHwnd()));
}

TEST_F(SkinnedDlg, TheMinimiseButtonMinimisesTheDialog) {
    HWND h = dlg.GetSafeHwnd();
    ClickCaptionButton("Minimize");
    EXPECT_TRUE(::IsIconic(h));
    ::SendMessageA(h, WM_SYSCOMMAND, SC_RESTORE, 0);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(::IsIconic(h));
    EXPECT_TRUE(::IsWindowVisible(h));
}

// A pixel of a skin picture, counted from its top row.
COLORREF SkinPixel(const char* image, LONG x, LONG y) {
    CSkinImageObject* o = CSkinManager::Instance().GetSkinFile()->FindImage(image);
    CRasterImage* picture = o ? o->GetImage() : nullptr;
    if (!picture) return CLR_INVALID;
    const RGBQUAD q = picture->GetPixelColor(x, LONG(picture->GetHeight()) - 1 - y, false);
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

// A control's client point on the screen.
COLORREF ScreenPixelOf(HWND control, LONG x, LONG y) {
    POINT p{x, y};
    ClientToScreen(control, &p);
    return WinTestScreenPixel(p.x, p.y);
}

TEST_F(SkinnedDlg, MessageBoxesGetTheSkinnedFrameCaptionButtonsAndControls) {
    struct Probe {
        SkinnedDlg* test;
        bool skinned = false, closeButton = false, textSkinned = false, okFaceIsTheSkins = false;
        int okLook = -1;
        std::string png;
        static void Hook(int loop, HWND box, void* self) {
            auto* p = static_cast<Probe*>(self);
            if (loop != WINTEST_LOOP_MESSAGEBOX) return;
            CSkinManager& skins = CSkinManager::Instance();
            p->skinned = dynamic_cast<CSkinDialog*>(skins.FindSkinWindow(box)) != nullptr;
            p->closeButton = p->test->Button(box, "Close") != nullptr;
            for (HWND h = ::GetWindow(box, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
                if (WindowText(h).find("Mission accomplished!") != std::string::npos)
                    p->textSkinned = dynamic_cast<CSkinStatic*>(skins.FindSkinWindow(h)) != nullptr;
            // The OK button, focused and the default one, shows the state record for that.
            HWND ok = ::GetDlgItem(box, IDOK);
            if (auto* okSkin = dynamic_cast<CSkinButton*>(skins.FindSkinWindow(ok))) {
                p->okLook = okSkin->ChooseState();
                const auto* object = dynamic_cast<CSkinButtonObject*>(okSkin->GetSkinObject());
                const SkinNineGrid& face = object->m_states[p->okLook].grid;
                p->okFaceIsTheSkins = ScreenPixelOf(ok, face.marginLeft, face.marginTop) ==
                                      SkinPixel(face.name, face.src.left + face.marginLeft, face.src.top + face.marginTop);
            }
            p->png = testing::TempDir() + "peloran_message_box_" + std::to_string(getpid()) + ".png";
            WinTestCaptureWindowPng(box, p->png.c_str());
            WinTestKeyPress(VK_RETURN);
        }
    } probe{this, false, false, false, false, -1, {}};
    WinTestSetIdleHook(&Probe::Hook, &probe);
    ::MessageBoxA(dlg.GetSafeHwnd(), "    Mission accomplished!        ", "", MB_OK);
    WinTestSetIdleHook(nullptr, nullptr);
    std::printf("a skinned message box: %s\n", probe.png.c_str());
    EXPECT_TRUE(probe.skinned);
    EXPECT_TRUE(probe.closeButton);
    EXPECT_TRUE(probe.textSkinned);
    EXPECT_EQ(probe.okLook, SKINBTN_FOCUSED);
    EXPECT_TRUE(probe.okFaceIsTheSkins);
}

// Pixels of the screen that are within `tolerance` of the colour in every channel.
int CountNear(const RECT& r, COLORREF c, int tolerance) {
    int n = 0;
    for (LONG y = r.top; y < r.bottom; ++y)
        for (LONG x = r.left; x < r.right; ++x) {
            const COLORREF p = WinTestScreenPixel(x, y);
            n += std::abs(GetRValue(p) - GetRValue(c)) <= tolerance && std::abs(GetGValue(p) - GetGValue(c)) <= tolerance &&
                 std::abs(GetBValue(p) - GetBValue(c)) <= tolerance;
        }
    return n;
}

void CaptureScreen(const char* name, const char* what) {
    const std::string png = testing::TempDir() + name + std::to_string(getpid()) + ".png";
    ASSERT_TRUE(WinTestCaptureScreenPng(png.c_str()));
    std::printf("%s: %s\n", what, png.c_str());
}

// The skin's tooltip look on the screen at `tr`: its frame colour along the straight edges, its
// text colour, and none of the platform tooltip's black frame or text.
void ExpectTooltipLookOnScreen(const RECT& tr, const CSkinTooltipObject& object) {
    const COLORREF frame = object.m_crActiveFill;
    for (LONG x = tr.left + 3; x < tr.right - 3; ++x) {
        ASSERT_EQ(WinTestScreenPixel(x, tr.top), frame) << x;
        ASSERT_EQ(WinTestScreenPixel(x, tr.bottom - 1), frame) << x;
    }
    for (LONG y = tr.top + 3; y < tr.bottom - 3; ++y) {
        ASSERT_EQ(WinTestScreenPixel(tr.left, y), frame) << y;
        ASSERT_EQ(WinTestScreenPixel(tr.right - 1, y), frame) << y;
    }
    const RECT inside{tr.left + 1, tr.top + 1, tr.right - 1, tr.bottom - 1};
    EXPECT_GT(CountNear(inside, object.m_crText, 24), 15);
    EXPECT_EQ(CountNear(inside, RGB(0, 0, 0), 12), 0);
}

TEST_F(SkinnedDlg, ACaptionButtonsTipShowsInTheSkinsTooltipAfterItsDelayAndGoesWithTheMouse) {
    HWND h = dlg.GetSafeHwnd();
    CSkinCaptionButton* close = Button(h, "Close");
    ASSERT_NE(close, nullptr);
    CSkinTooltip* tip = GetSkinTooltip();
    ASSERT_NE(tip, nullptr);
    HWND tipWnd = tip->GetHwnd();
    auto* object = static_cast<CSkinTooltipObject*>(CSkinManager::Instance().GetSkinFile()->FindObjectByType(SKIN_TOOLTIP));
    ASSERT_NE(object, nullptr);

    RECT rc, wr;
    close->GetElementRect(&rc);
    ::GetWindowRect(h, &wr);
    const POINT at{wr.left + (rc.left + rc.right) / 2, wr.top + (rc.top + rc.bottom) / 2};
    WinTestMouseMove(nullptr, at.x, at.y);
    WinTestPumpUntilIdle();
    WinTestAdvanceClock(object->m_nShowDelay - 1);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(::IsWindowVisible(tipWnd));
    WinTestAdvanceClock(1);
    WinTestPumpUntilIdle();
    ASSERT_TRUE(::IsWindowVisible(tipWnd));
    EXPECT_EQ(tip->GetText(), "Close");  // the dialog answers no text request: the button's name
    EXPECT_EQ(tip->GetTooltipObject(), object);

    // Below and right of the pointer, inside the work area.
    RECT tr, work;
    ::GetWindowRect(tipWnd, &tr);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(tr.left >= work.left && tr.top >= work.top && tr.right <= work.right && tr.bottom <= work.bottom);
    EXPECT_LE(std::abs(tr.left - at.x), tr.right - tr.left);
    EXPECT_GT(tr.top, at.y);

    CaptureScreen("peloran_caption_tip_", "the main dialog with its caption button's tip");
    ExpectTooltipLookOnScreen(tr, *object);

    // Off the button the caption button's hover check hides the tip at its next tick.
    WinTestMouseMove(nullptr, wr.left + 60, wr.top + 120);
    WinTestPumpUntilIdle();
    WinTestAdvanceClock(100);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(::IsWindowVisible(tipWnd));
}

HWND ChildWithText(HWND parent, const char* cls, const char* text) {
    for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        char name[32] = {};
        ::GetClassNameA(h, name, sizeof name);
        if (WindowText(h) == text && std::string(name) == cls) return h;
    }
    return nullptr;
}

TEST_F(SkinnedDlg, TheDialogsCheckBoxGroupBoxesStaticsAndComboBoxesAreTheSkins) {
    HWND h = dlg.GetSafeHwnd();
    ::SetFocus(H(IDC_FILELIST));
    WinTestPumpUntilIdle();
    const std::string png = testing::TempDir() + "peloran_controls_" + std::to_string(getpid()) + ".png";
    ASSERT_TRUE(WinTestCaptureWindowPng(h, png.c_str()));
    std::printf("the skinned main dialog: %s\n", png.c_str());

    // The check box: the unchecked mark of its object, at the left of the control.
    HWND check = H(IDC_SHUTDOWN);
    auto* checkSkin = dynamic_cast<CSkinCheckBox*>(CSkinManager::Instance().FindSkinWindow(check));
    ASSERT_NE(checkSkin, nullptr);
    const auto* checkObject = dynamic_cast<CSkinCheckBoxObject*>(checkSkin->GetSkinObject());
    ASSERT_NE(checkObject, nullptr);
    const SkinImagePart& mark = checkObject->m_states[SKINMARK_UNCHECKED].box;
    RECT client, markRect, textRect;
    ::GetClientRect(check, &client);
    LayoutCheckMark(client, SIZE{mark.src.right - mark.src.left, mark.src.bottom - mark.src.top},
                    DWORD(::GetWindowLongA(check, GWL_STYLE)), &markRect, &textRect);
    for (LONG d : {1L, 4L}) {
        EXPECT_EQ(ScreenPixelOf(check, markRect.left + d, markRect.top + d),
                  SkinPixel(mark.name, mark.src.left + d, mark.src.top + d)) << d;
    }

    // Both group boxes: the frame's left edge, and the caption in the group's text colour.
    for (const char* caption : {"Video Setting", "Audio Setting"}) {
        SCOPED_TRACE(caption);
        HWND group = ChildWithText(h, "Button", caption);
        auto* groupSkin = dynamic_cast<CSkinGroupBox*>(CSkinManager::Instance().FindSkinWindow(group));
        ASSERT_NE(groupSkin, nullptr);
        const auto* groupObject = dynamic_cast<CSkinGroupBoxObject*>(groupSkin->GetSkinObject());
        const SkinNineGrid& frame = groupObject->m_background;
        const RECT title = groupSkin->GetLastCaptionRect();
        const LONG top = (title.top + title.bottom) / 2;
        EXPECT_EQ(ScreenPixelOf(group, 0, top + frame.marginTop),
                  SkinPixel(frame.name, frame.src.left, frame.src.top + frame.marginTop));
        RECT onScreen = title;
        MapWindowPoints(group, nullptr, reinterpret_cast<POINT*>(&onScreen), 2);
        EXPECT_GT(CountNear(onScreen, groupObject->m_style.GetTextColor(), 24), 10);
    }

    // The labels are skinned statics in the skin's text colour; the home link has its skin
    // taken away and keeps a font of its own.
    HWND label = ChildWithText(h, "Static", "Video Codec:");
    auto* labelSkin = dynamic_cast<CSkinStatic*>(CSkinManager::Instance().FindSkinWindow(label));
    ASSERT_NE(labelSkin, nullptr);
    const auto* staticObject = dynamic_cast<CSkinStaticObject*>(labelSkin->GetSkinObject());
    RECT labelRect;
    ::GetWindowRect(label, &labelRect);
    EXPECT_GT(CountNear(labelRect, staticObject->m_style.GetTextColor(), 24), 10);
    HWND link = H(IDC_HOMELINK);
    EXPECT_EQ(CSkinManager::Instance().FindSkinWindow(link), nullptr);
    EXPECT_NE(::SendMessageA(link, WM_GETFONT, 0, 0), ::SendMessageA(label, WM_GETFONT, 0, 0));

    // Every combo box: the frame's left edge and its drop-down button, disabled for the ones
    // with a single choice.
    for (int id : {IDC_VIDEOCODEC, IDC_FRAMESIZE, IDC_FRAMERATE, IDC_VIDEOBITRATE, IDC_AUDIOCODEC, IDC_AUDIOBITRATE,
                   IDC_SAMPLERATE, IDC_CHANNELS}) {
        SCOPED_TRACE(id);
        HWND combo = H(id);
        auto* comboSkin = dynamic_cast<CSkinComboBox*>(CSkinManager::Instance().FindSkinWindow(combo));
        ASSERT_NE(comboSkin, nullptr);
        const auto* comboObject = dynamic_cast<CSkinComboBoxObject*>(comboSkin->GetSkinObject());
        const SkinNineGrid& border = comboObject->m_background;
        EXPECT_EQ(ScreenPixelOf(combo, 0, border.marginTop), SkinPixel(border.name, border.src.left, border.src.top + border.marginTop));
        const SkinNineGrid& button = comboObject->m_buttons[::IsWindowEnabled(combo) ? 0 : 3];
        const RECT br = comboSkin->GetButtonRect();
        EXPECT_EQ(ScreenPixelOf(combo, br.left + button.marginLeft, br.top + button.marginTop),
                  SkinPixel(button.name, button.src.left + button.marginLeft, button.src.top + button.marginTop));
    }
}

TEST_F(SkinnedDlg, TheSlidersTheFolderEditAndTheFileListAreTheSkins) {
    HWND h = dlg.GetSafeHwnd();
    ::SetFocus(H(IDC_FILELIST));
    WinTestPumpUntilIdle();
    const std::string png = testing::TempDir() + "peloran_fields_" + std::to_string(getpid()) + ".png";
    ASSERT_TRUE(WinTestCaptureWindowPng(h, png.c_str()));
    std::printf("the skinned main dialog: %s\n", png.c_str());

    // Both sliders: the skin's thumb where the control has it, its channel beside it, and the
    // dialog's own background (the look is transparent) above the channel.
    for (int id : {IDC_VOLUME, IDC_POSITION}) {
        SCOPED_TRACE(id);
        HWND slider = H(id);
        auto* sliderSkin = dynamic_cast<CSkinSlider*>(CSkinManager::Instance().FindSkinWindow(slider));
        ASSERT_NE(sliderSkin, nullptr);
        const auto* o = dynamic_cast<CSkinSliderObject*>(sliderSkin->GetSkinObject());
        ASSERT_NE(o, nullptr);
        const RECT thumb = sliderSkin->GetThumbRect(), channel = sliderSkin->GetChannelRect();
        EXPECT_EQ(ScreenPixelOf(slider, thumb.left + 3, thumb.top + 3),
                  SkinPixel(o->m_thumb.name, o->m_thumb.src.left + 3, o->m_thumb.src.top + 3));
        const LONG x = thumb.left > (channel.left + channel.right) / 2 ? channel.left + 2 : channel.right - 12;
        RECT beside{x, channel.top, x + 10, channel.bottom};
        MapWindowPoints(slider, nullptr, reinterpret_cast<POINT*>(&beside), 2);
        EXPECT_GT(CountNear(beside, SkinPixel(o->m_channel.name, o->m_channel.src.left + 6, o->m_channel.src.top), 8), 5);
        POINT above{x + 5, 0};
        ClientToScreen(slider, &above);
        RECT left{};
        ::GetWindowRect(slider, &left);
        EXPECT_EQ(WinTestScreenPixel(above.x, above.y), WinTestScreenPixel(left.left - 2, above.y));
    }

    // The output-folder edit and the file list: the field's border, and the field colour in
    // the edit and in the list below its rows.
    for (int id : {IDC_OUTFOLDER, IDC_FILELIST}) {
        SCOPED_TRACE(id);
        HWND control = H(id);
        CSkinWindow* skin = CSkinManager::Instance().FindSkinWindow(control);
        ASSERT_NE(dynamic_cast<CSkinScrollControl*>(skin), nullptr);
        const auto* o = dynamic_cast<CSkinScrollControlObject*>(skin->GetSkinObject());
        ASSERT_NE(o, nullptr);
        RECT wr{}, cr{};
        ::GetWindowRect(control, &wr);
        ::GetClientRect(control, &cr);
        POINT origin{0, 0};
        ClientToScreen(control, &origin);
        ASSERT_GT(origin.x, wr.left) << "a control with an edge";
        const SkinNineGrid& border = o->m_background;
        EXPECT_EQ(WinTestScreenPixel(wr.left, (wr.top + wr.bottom) / 2),
                  SkinPixel(border.name, border.src.left, (border.src.top + border.src.bottom) / 2));
        EXPECT_EQ(ScreenPixelOf(control, cr.right - 3, cr.bottom - 3), o->m_crBack);
    }
    EXPECT_EQ(COLORREF(::SendMessageA(H(IDC_FILELIST), LVM_GETBKCOLOR, 0, 0)),
              dynamic_cast<CSkinScrollControlObject*>(CSkinManager::Instance().FindSkinWindow(H(IDC_FILELIST))->GetSkinObject())->m_crBack);
}

// Tab through the dialog shows where it is on every image button too: the focused button's
// dotted frame, 3 pixels inside its edges, and none once the focus moves on.
TEST_F(SkinnedDlg, EachImageButtonShowsTheKeyboardFocus) {
    for (int id : {IDC_ADD, IDC_REMOVE, IDC_UP, IDC_DOWN, IDC_PLAYPAUSE, IDC_PREVIEWSTOP, IDC_START, IDC_BROWSE,
                   IDC_ABOUT, IDC_HELPBTN}) {
        SCOPED_TRACE(id);
        HWND button = H(id);
        ::SendMessageA(dlg.GetSafeHwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(H(IDC_FILELIST)), TRUE);
        WinTestPumpUntilIdle();
        const WinTestWindowPicture before(button);
        ::SendMessageA(dlg.GetSafeHwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
        WinTestPumpUntilIdle();
        ASSERT_EQ(::GetFocus(), button);
        const WinTestWindowPicture focused(button);
        ASSERT_EQ(focused.w, before.w);
        int changed = 0, outside = 0;
        for (int y = 0; y < focused.h; ++y)
            for (int x = 0; x < focused.w; ++x) {
                if (focused.At(x, y) == before.At(x, y)) continue;
                const bool onFrame = ((x == 3 || x == focused.w - 4) && y >= 3 && y <= focused.h - 4) ||
                                     ((y == 3 || y == focused.h - 4) && x >= 3 && x <= focused.w - 4);
                ++(onFrame ? changed : outside);
            }
        EXPECT_GE(changed, (focused.w + focused.h) * 2 / 3);  // every other pixel of the frame
        EXPECT_EQ(outside, 0);
        ::SendMessageA(dlg.GetSafeHwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(H(IDC_FILELIST)), TRUE);
        WinTestPumpUntilIdle();
        const WinTestWindowPicture after(button);
        EXPECT_EQ(after.px, before.px);
    }
}

}  // namespace

namespace {

// ---- the program's own tips: the platform's tooltip controls in the skin's look -------------

std::string ShownTipText(HWND tip) {
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    if (!::SendMessageA(tip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&ti))) return "";
    char text[256] = {};
    ti.lpszText = text;
    ::SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
    return text;
}

class SkinnedDlgTips : public SkinnedDlg {
protected:
    // The tip on show is drawn in the skin's Tooltip look at its text's size: the object's
    // frame colour along the straight edges, its text colour inside, and none of the control's
    // own black frame, text or info-background colour.
    void ExpectSkinsLook(HWND tip, const std::string& text, const char* pngName) {
        auto* skinner = dynamic_cast<CSkinTooltipControl*>(CSkinManager::Instance().FindSkinWindow(tip));
        ASSERT_NE(skinner, nullptr);
        auto* object = dynamic_cast<CSkinTooltipObject*>(skinner->GetSkinObject());
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object, CSkinManager::Instance().GetSkinFile()->FindObjectByType(SKIN_TOOLTIP));
        EXPECT_EQ(skinner->GetMarkup(), text);

        RECT tr;
        ::GetWindowRect(tip, &tr);
        CSkinMarkupRenderer renderer;
        renderer.SetStyleSheet(object->GetStyleSheet());
        HDC dc = ::GetDC(tip);
        const SIZE measured = renderer.MeasureMarkup(dc, text.c_str());
        ::ReleaseDC(tip, dc);
        const RECT* f = object->m_frameRects;
        EXPECT_EQ(tr.right - tr.left, measured.cx + (f[3].right - f[3].left) + (f[5].right - f[5].left));
        EXPECT_EQ(tr.bottom - tr.top, measured.cy + (f[0].bottom - f[0].top) + (f[6].bottom - f[6].top));

        CaptureScreen(pngName, "the main dialog with a tip of its own in the skin's look");
        ExpectTooltipLookOnScreen(tr, *object);
        EXPECT_EQ(CountNear(RECT{tr.left + 1, tr.top + 1, tr.right - 1, tr.bottom - 1}, GetSysColor(COLOR_INFOBK), 0), 0);
    }
};

TEST_F(SkinnedDlgTips, TheStartButtonsTipIsTheSkinsTooltipLook) {
    HWND start = H(IDC_START);
    RECT br;
    ::GetWindowRect(start, &br);
    HWND tip = nullptr;
    ASSERT_TRUE(HoverUntilShown(POINT{(br.left + br.right) / 2, (br.top + br.bottom) / 2}, &tip, start));
    EXPECT_EQ(ShownTipText(tip), "Start Convert");
    ExpectSkinsLook(tip, "Start Convert", "peloran_start_tip_");
}

TEST_F(SkinnedDlgTips, AListCellsTipIsTheSkinsTooltipLook) {
    Media("clip.avi");
    AddFiles("clip.avi");
    ASSERT_EQ(Rows(), 1);
    const char* path = "/home/user/videos/clip.avi";
    ASSERT_TRUE(List().SetItemToolTipText(0, 1, path));
    RECT cell{};
    cell.top = 1;
    cell.left = LVIR_LABEL;
    ASSERT_TRUE(::SendMessageA(List().GetSafeHwnd(), LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&cell)));
    POINT at{cell.left + 10, (cell.top + cell.bottom) / 2};
    ::ClientToScreen(List().GetSafeHwnd(), &at);
    HWND tip = nullptr;
    ASSERT_TRUE(HoverUntilShown(at, &tip, List().GetSafeHwnd()));
    EXPECT_EQ(ShownTipText(tip), path);
    ExpectSkinsLook(tip, path, "peloran_cell_tip_");
}

}  // namespace

TEST_F(SkinnedDlg, TheFileListsContextMenuIsTheSkinsPopupAndItsCommandsAct) {
    Media("a.avi");
    Media("b.avi");
    AddFiles("a.avi");
    AddFiles("b.avi");
    ASSERT_EQ(Rows(), 2);
    auto* object =
        static_cast<CSkinPopupMenuObject*>(CSkinManager::Instance().GetSkinFile()->FindObjectByType(SKIN_POPUPMENU));
    ASSERT_NE(object, nullptr);
    HWND popup = nullptr;
    RECT pr{}, first{};
    int selection = 0, white = 0;
    WinTestIdleScript script({
        [&](int, HWND) { WinTestKeyPress(VK_DOWN); },
        [&](int, HWND) {
            popup = VisibleWindowOfClass("QuorventaPopupMenuWnd");
            if (!popup) return;
            ::GetWindowRect(popup, &pr);
            auto* menu = static_cast<CSkinPopupMenu*>(::GetPropA(popup, "this"));
            first = menu->GetRowRect(0);
            POINT o{0, 0};
            ::ClientToScreen(popup, &o);
            OffsetRect(&first, o.x, o.y);
            const RECT second{first.left, first.bottom + menu->GetRowHeight(), first.right,
                              first.bottom + 2 * menu->GetRowHeight()};
            const std::string png = testing::TempDir() + "peloran_list_menu_" + std::to_string(getpid()) + ".png";
            WinTestCaptureScreenPng(png.c_str());
            std::printf("the file list's context menu: %s\n", png.c_str());
            selection = CountNear(first, object->m_crBack, 8);
            white = CountNear(second, RGB(255, 255, 255), 8);
            // Down to "Remove all" (past the separator) and choose it.
            WinTestKeyPress(VK_DOWN);
            WinTestKeyPress(VK_DOWN);
            WinTestKeyPress(VK_RETURN);
        },
    });
    CRect r;
    List().GetSubItemRect(0, COL_NAME, LVIR_BOUNDS, r);
    WinTestClick(List().GetSafeHwnd(), WINTEST_RIGHT, r.left + 5, (r.top + r.bottom) / 2);
    WinTestPumpUntilIdle();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(script.Overruns(), 0);
    // The highlighted first row in the skin's selection colour, the next one on white.
    EXPECT_GT(selection, (first.right - first.left) * (first.bottom - first.top) / 2);
    EXPECT_GT(white, 0);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(VisibleWindowOfClass("QuorventaPopupMenuWnd"), nullptr);
}
