// Skins changed while the program runs: with the main dialog and a message box over it open,
// another skin file loaded through the engine repaints both with its pictures (frame, caption
// buttons, controls, the file list's scroll bar); the skins taken off every window leave the
// plain look and no skin behind; applied again, the default skin is back, and the round leaves
// no drawing object behind.
#include <sys/stat.h>

#include <algorithm>

#include "SkinEngine.h"
#include "SkinManager.h"
#include "Skinners.h"
#include "skin_looks.h"
#include "test_dlg_support.h"

using namespace dlgtest;
using namespace skinlooks;

namespace {

// The default skin with every colour of its pictures turned over (the key colour left as it
// is): the same shapes, and not one pixel of the same colour.
bool WriteTurnedOverSkin(const std::string& from, const std::string& to) {
    CSkinFile file;
    if (!file.LoadFromFile(from.c_str())) return false;
    CSkinObject* app = file.FindObjectByType(SKIN_APPLICATION);
    const COLORREF key = app ? app->GetKeyColor() : CLR_INVALID;
    for (auto& entry : file.GetImages()) {
        CRasterImage* picture = entry.second->GetImage();
        if (!picture) continue;
        for (LONG y = 0; y < LONG(picture->GetHeight()); ++y)
            for (LONG x = 0; x < LONG(picture->GetWidth()); ++x) {
                RGBQUAD q = picture->GetPixelColor(x, y, false);
                if (RGB(q.rgbRed, q.rgbGreen, q.rgbBlue) == key) continue;
                q.rgbRed = BYTE(255 - q.rgbRed);
                q.rgbGreen = BYTE(255 - q.rgbGreen);
                q.rgbBlue = BYTE(255 - q.rgbBlue);
                if (RGB(q.rgbRed, q.rgbGreen, q.rgbBlue) == key) q.rgbGreen ^= 1;
                picture->SetPixelColor(x, y, q, false);
            }
    }
    return file.SaveToFile(to.c_str()) != FALSE;
}

RECT WindowRect(HWND h) {
    RECT r{};
    ::GetWindowRect(h, &r);
    return r;
}

RECT ClientOnScreen(HWND h) {
    RECT r{};
    ::GetClientRect(h, &r);
    ::MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The vertical scroll bar right of a control's client area: its up arrow and its track's left
// edge above the down arrow.
void ScrollBarProbes(SkinLooks& skin, HWND control, Probes* out) {
    const auto* bar = skin.OfType<CSkinScrollBarObject>(SKIN_SCROLLBAR);
    if (!bar) return;
    const RECT c = ClientOnScreen(control);
    const LONG cx = GetSystemMetrics(SM_CXVSCROLL);
    const SkinScrollBarState& normal = bar->m_vertical[0];
    out->push_back({"scroll bar's up arrow", c.right + cx / 2, c.top + cx / 2, {skin.Middle(normal.arrow1)}});
    out->push_back({"scroll bar's track", c.right, c.bottom - cx - 3, {skin.GridLeftEdge(normal.track)}});
}

// The main dialog, active or behind a box: its frame and caption buttons, the check box, a combo
// box, the folder edit, the file list's border and its scroll bar.
Probes MainDialogProbes(SkinLooks& skin, HWND dlg) {
    Probes out;
    const RECT list = WindowRect(::GetDlgItem(dlg, IDC_FILELIST)), w = WindowRect(dlg);
    const POINT client{(w.left + list.left) / 2, (list.top + list.bottom) / 2};
    FrameProbes(skin, w, client, DWORD(::GetWindowLongA(dlg, GWL_STYLE)), true, &out);
    // Behind a box the caption buttons take their inactive look: only the frame's parts are asked.
    out.erase(std::remove_if(out.begin(), out.end(), [](const Probe& p) { return p.what.find("button") != std::string::npos; }),
              out.end());
    const HWND check = ::GetDlgItem(dlg, IDC_SHUTDOWN);
    CheckBoxProbes(skin, "check box", WindowRect(check), DWORD(::GetWindowLongA(check, GWL_STYLE)), &out);
    FieldProbes(skin, "video codec", SKIN_COMBOBOX, WindowRect(::GetDlgItem(dlg, IDC_VIDEOCODEC)), &out);
    FieldProbes(skin, "output folder", SKIN_EDIT, WindowRect(::GetDlgItem(dlg, IDC_OUTFOLDER)), &out);
    FieldProbes(skin, "file list", SKIN_LISTVIEW, list, &out);
    ScrollBarProbes(skin, ::GetDlgItem(dlg, IDC_FILELIST), &out);
    return out;
}

// A message box: its frame with the close button, and its OK button.
Probes BoxProbes(SkinLooks& skin, HWND box) {
    Probes out;
    RECT ok = WindowRect(::GetDlgItem(box, IDOK)), w = WindowRect(box);
    FrameProbes(skin, w, POINT{w.left + 12, ok.bottom + 2}, WS_SYSMENU, false, &out);
    PushButtonProbes(skin, "OK", ok, &out);
    return out;
}

// The screen's pixels over a window.
std::vector<COLORREF> PixelsOver(HWND h) {
    RECT r{};
    ::GetWindowRect(h, &r);
    std::vector<COLORREF> out;
    for (LONG y = r.top; y < r.bottom; ++y)
        for (LONG x = r.left; x < r.right; ++x) out.push_back(WinTestScreenPixel(x, y));
    return out;
}

// Whether the skin puts at the probe one of its system colours that the plain look fills and
// edges with (window, button face, the 3-D edge colours).
bool IsSystemColour(SkinLooks& skin, const Probe& p) {
    const CSkinSysColorTableObject* table = skin.File().GetSysColorTable();
    for (int i : {COLOR_WINDOW, COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT})
        if (table && std::find(p.expected.begin(), p.expected.end(), table->m_colors[i]) != p.expected.end()) return true;
    return false;
}

class SkinSwitching : public DialogFixture {
protected:
    void SetUp() override {
        second = scratch / "turned_over.qvk";
        ASSERT_TRUE(WriteTurnedOverSkin(DefaultSkinPath(), second));
        ASSERT_TRUE(defaultLooks.Load(DefaultSkinPath()));
        ASSERT_TRUE(secondLooks.Load(second));
        ASSERT_TRUE(StartProgramSkin()) << GetSkinLastError();
        DialogFixture::SetUp();
        WinTestActivate(dlg.GetSafeHwnd());
        WinTestPumpUntilIdle();
    }
    void TearDown() override {
        DialogFixture::TearDown();
        StopProgramSkin();
    }

    // Every probe of both windows finds the skin's colour (`looks`), or, with null, none does
    // for either skin. The home link keeps its own look throughout.
    void ExpectBoth(HWND box, SkinLooks* looks, const char* stage) {
        SCOPED_TRACE(stage);
        EXPECT_EQ(CSkinManager::Instance().FindSkinWindow(H(IDC_HOMELINK)), nullptr);
        // (Plain, only the default skin is asked: a mid grey of the plain look may well be the
        // turned-over skin's too.)
        for (SkinLooks* l : {&defaultLooks, &secondLooks}) {
            if (!looks && l != &defaultLooks) continue;
            Probes main = MainDialogProbes(*l, dlg.GetSafeHwnd()), boxed = BoxProbes(*l, box);
            if (!looks) {
                // With a skin file loaded the system colours are the skin's: the plain look's
                // background and edges drawn in them are left out.
                for (Probes* p : {&main, &boxed})
                    p->erase(std::remove_if(p->begin(), p->end(), [&](const Probe& q) { return IsSystemColour(*l, q); }),
                             p->end());
            }
            ASSERT_GE(main.size(), looks ? 10u : 5u);
            ASSERT_GE(boxed.size(), looks ? 6u : 3u);
            const auto wrongMain = NotTheSkins(main, WinTestScreenPixel), wrongBox = NotTheSkins(boxed, WinTestScreenPixel);
            if (l == looks) {
                EXPECT_EQ(Joined(wrongMain), "") << "the main dialog";
                EXPECT_EQ(Joined(wrongBox), "") << "the box";
            } else {
                EXPECT_EQ(wrongMain.size(), main.size()) << "the main dialog has colours of the other skin:\n" << Joined(wrongMain);
                EXPECT_EQ(wrongBox.size(), boxed.size()) << "the box has colours of the other skin";
            }
        }
    }

    // Off every window: the dialog's skin takes its controls' with it.
    void Remove(HWND box) {
        EXPECT_TRUE(RemoveWindowSkin(box));
        EXPECT_TRUE(RemoveWindowSkin(dlg.GetSafeHwnd()));
        ::RedrawWindow(dlg.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    void ApplyAgain(HWND box) {
        EXPECT_TRUE(SetSingleDialogSkin(dlg.GetSafeHwnd(), "Dialog"));
        EXPECT_TRUE(SetSingleDialogSkin(box, "Dialog"));
    }
    void RemoveAndApplyAgain(HWND box) {
        Remove(box);
        WinTestPumpUntilIdle();
        ApplyAgain(box);
    }

    void Capture(const char* stage) {
        ::mkdir("captures", 0777);
        WinTestCaptureScreenPng((std::string("captures/skin_switch_") + stage + ".png").c_str());
    }

    std::string second;
    SkinLooks defaultLooks, secondLooks;
};

TEST_F(SkinSwitching, EveryOpenWindowRepaintsWithTheNewSkinThePlainLookWithoutAndTheSkinAgain) {
    // Enough rows for the list's scroll bar.
    Media("clip.avi");
    std::string names;
    for (int i = 0; i < 30; ++i) {
        const std::string name = "clip" + std::to_string(i) + ".avi";
        ASSERT_EQ(::link((scratch / "clip.avi").c_str(), (scratch / name).c_str()), 0);
        names += (i ? "\n" : "") + name;
    }
    AddFiles(names);
    ASSERT_EQ(Rows(), 30);
    HWND box = nullptr;
    std::vector<COLORREF> startButton;
    WinTestLiveCounts before;
    CSkinManager& manager = CSkinManager::Instance();
    WinTestIdleScript script({
        [&](int, HWND) {
            box = ::GetActiveWindow();
            ASSERT_NE(box, dlg.GetSafeHwnd());
            ExpectBoth(box, &defaultLooks, "the default skin");
            startButton = PixelsOver(H(IDC_START));
            before = WinTestLiveCounts::Now();

            ASSERT_TRUE(LoadSkinFile(second.c_str())) << GetSkinLastError();
        },
        [&](int, HWND) {
            Capture("second");

            ExpectBoth(box, &secondLooks, "the second skin");
            // Off every window: the dialog's skin takes its controls' with it.
            Remove(box);
        },
        [&](int, HWND) {
            Capture("removed");

            EXPECT_EQ(manager.GetWindowCount(), 0u);
            ExpectBoth(box, nullptr, "no skin");
            // The program still draws its own buttons: its procedures stayed in the chain.
            EXPECT_EQ(PixelsOver(H(IDC_START)), startButton);
            ASSERT_TRUE(LoadSkinFile(DefaultSkinPath().c_str()));
            ApplyAgain(box);
        },
        [&](int, HWND) {
            Capture("again");
            ExpectBoth(box, &defaultLooks, "the default skin again");
            // Once more round: what the first round left is what the second leaves.
            before = WinTestLiveCounts::Now();
            RemoveAndApplyAgain(box);
        },
        [&](int, HWND) {
            ExpectBoth(box, &defaultLooks, "the default skin after another round");
            const WinTestLiveCounts after = WinTestLiveCounts::Now();
            EXPECT_EQ(after, before) << after.ChangesFrom(before);
            WinTestKeyPress(VK_RETURN);
        },
    });
    ::MessageBoxA(dlg.GetSafeHwnd(), "    Mission accomplished!        ", "", MB_OK);
    WinTestPumpUntilIdle();
    EXPECT_EQ(script.Left(), 0u);
    EXPECT_EQ(script.Overruns(), 0);
}

}  // namespace
