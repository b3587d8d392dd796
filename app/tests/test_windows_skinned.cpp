// Every window the program shows, at pixels: the small dialogs, the loading box, the open-file
// and folder dialogs, message boxes (the stop question asked while the worker runs among
// them), the file list's context menu and a tooltip are painted from the default skin; run
// without the skin, none of the same places are. The expected colours come from the skin
// file's own pictures and colours.
#include <sys/stat.h>

#include "AboutDlg.h"
#include "DecoderInfo.h"
#include "Peloran.h"
#include "SkinEngine.h"
#include "Skinners.h"
#include "TipDlg.h"
#include "WaitInfDlg.h"
#include "afxtest.h"
#include "app_test_support.h"
#include "skin_looks.h"
#include "test_dlg_support.h"

using namespace dlgtest;
using namespace skinlooks;

namespace {

apptest::TestApp g_app;

RECT WindowRect(HWND h) {
    RECT r{};
    ::GetWindowRect(h, &r);
    return r;
}

// A point of the window's client area (on the screen) that none of its controls covers.
POINT FreeClientPoint(HWND window) {
    RECT c;
    ::GetClientRect(window, &c);
    for (LONG y = c.bottom - 3; y > 2; y -= 3)
        for (LONG x = 3; x < c.right - 3; x += 3) {
            POINT p{x, y};
            ::ClientToScreen(window, &p);
            bool covered = false;
            for (HWND h = ::GetWindow(window, GW_CHILD); h && !covered; h = ::GetWindow(h, GW_HWNDNEXT)) {
                RECT r = WindowRect(h);
                ::InflateRect(&r, 2, 2);
                covered = ::IsWindowVisible(h) && ::PtInRect(&r, p);
            }
            if (!covered) return p;
        }
    return POINT{-1, -1};
}

// A dialog's frame and the given controls, by their classes.
Probes DialogProbes(SkinLooks& skin, HWND dialog, std::initializer_list<int> controls) {
    Probes out;
    FrameProbes(skin, WindowRect(dialog), FreeClientPoint(dialog), DWORD(::GetWindowLongA(dialog, GWL_STYLE)), false,
                &out);
    for (int id : controls) {
        HWND h = ::GetDlgItem(dialog, id);
        const std::string what = "control " + std::to_string(id);
        const std::string cls = peloran_auto::ClassName(h);
        const DWORD style = DWORD(::GetWindowLongA(h, GWL_STYLE));
        if (cls == "Button" && (style & 0xF) == BS_AUTOCHECKBOX)
            CheckBoxProbes(skin, what, WindowRect(h), style, &out);
        else if (cls == "Button")
            PushButtonProbes(skin, what, WindowRect(h), &out);
        else if (cls == "Edit")
            FieldProbes(skin, what, SKIN_EDIT, WindowRect(h), &out);
        else if (cls == "ListBox")
            FieldProbes(skin, what, SKIN_LISTBOX, WindowRect(h), &out);
        else if (cls == "ComboBox")
            FieldProbes(skin, what, SKIN_COMBOBOX, WindowRect(h), &out);
        else
            ADD_FAILURE() << what << " is a " << cls;
    }
    return out;
}

class EveryWindow : public DialogFixture, public testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        profile = apptest::TempPath("windows.ini");
        g_app.UseProfile(profile);
        ASSERT_TRUE(skin.Load(DefaultSkinPath()));
        if (Skinned()) {
            ASSERT_TRUE(StartProgramSkin()) << GetSkinLastError();
        }
        DialogFixture::SetUp();
        WinTestActivate(dlg.GetSafeHwnd());
        WinTestPumpUntilIdle();
    }
    void TearDown() override {
        DialogFixture::TearDown();
        if (Skinned()) StopProgramSkin();
        std::remove(profile.c_str());
    }
    bool Skinned() const { return GetParam(); }

    // Skinned, every probe finds the skin's colour; plain, none does.
    void ExpectLook(const Probes& probes, const char* window) {
        SCOPED_TRACE(window);
        ASSERT_GE(probes.size(), 4u);
        const std::vector<std::string> wrong = NotTheSkins(probes, WinTestScreenPixel);
        if (Skinned()) {
            EXPECT_EQ(Joined(wrong), "");
        } else {
            EXPECT_EQ(wrong.size(), probes.size()) << "the plain look has the skin's colours";
        }
    }

    // Runs `show` (which opens a modal window) and probes the window once its loop is idle,
    // then closes it with Escape or `close`.
    void ProbeModal(const std::function<void()>& show, const char* name, std::initializer_list<int> controls,
                    const std::function<void(HWND)>& close = nullptr) {
        bool probed = false;
        WinTestIdleScript script({[&](int, HWND) {
            HWND top = ::GetActiveWindow();
            ASSERT_NE(top, dlg.GetSafeHwnd()) << name << " is not on show";
            CapturePng(top, name);
            ExpectLook(DialogProbes(skin, top, controls), name);
            probed = true;
            if (close)
                close(top);
            else
                WinTestKeyPress(VK_ESCAPE);
        }});
        show();
        WinTestPumpUntilIdle();
        EXPECT_TRUE(probed) << name;
        EXPECT_EQ(script.Overruns(), 0) << name;
    }

    void CapturePng(HWND h, const std::string& name) {
        ::mkdir("captures", 0777);
        WinTestCaptureWindowPng(h, ("captures/" + name + (Skinned() ? "_skinned" : "_plain") + ".png").c_str());
    }

    SkinLooks skin;
    std::string profile;
};

TEST_P(EveryWindow, TheSmallDialogsAndTheLoadingBox) {
    ProbeModal([] { CAboutDlg(nullptr, PeloranFileBesideProgram("settings.ini").c_str()).DoModal(); }, "about", {IDOK});
    ProbeModal([] {
        CDecoderInfoDlg d;
        d.SetFileName("/media/videos/clip.avi");
        d.DoModal();
    }, "decoder_info", {IDOK});
    const std::string tips = apptest::TempPath("tips.txt");
    apptest::WriteFile(tips, "A tip.\n");
    COLORREF tipBack = CLR_INVALID;
    ProbeModal([&] { CTipDlg(nullptr, tips.c_str()).DoModal(); }, "tip_of_the_day", {IDC_TIP_STARTUP, IDC_TIP_NEXT, IDOK},
               [&](HWND d) {
                   const RECT t = WindowRect(::GetDlgItem(d, IDC_TIP_TEXT));
                   tipBack = WinTestScreenPixel(t.right - 2, t.bottom - 2);
                   WinTestKeyPress(VK_ESCAPE);
               });
    // The tip itself stays on the white of its frame, skinned or not.
    EXPECT_EQ(tipBack, RGB(255, 255, 255));
    std::remove(tips.c_str());
    // The loading box has no buttons: it is asked to close.
    ProbeModal([] { CWaitDlg().DoModal(); }, "loading", {}, [](HWND box) { WinTestCloseRequest(box); });
}

// The open-file dialog behind the Add button and the folder picker behind the browse button:
// the platform's own dialogs, shown over the main dialog.
TEST_P(EveryWindow, TheOpenFileDialogAndTheFolderPicker) {
    enum { kFileList = 1120, kFileName = 1152, kFileTypes = 1136, kFolderPath = 14148, kFolderList = 14146 };
    ProbeModal([&] { ClickButton(dlg, IDC_ADD); }, "open_file", {kFileList, kFileName, kFileTypes, IDOK, IDCANCEL});
    EXPECT_EQ(Rows(), 0);
    ProbeModal([&] { ClickButton(dlg, IDC_BROWSE); }, "folder_picker", {kFolderPath, kFolderList, IDOK, IDCANCEL});
}

TEST_P(EveryWindow, AMessageBoxAndTheStopQuestionAskedWhileTheWorkerRuns) {
    ProbeModal([&] { ::MessageBoxA(dlg.GetSafeHwnd(), "    Mission accomplished!        ", "", MB_OK); }, "message_box",
               {IDOK}, [](HWND) { WinTestKeyPress(VK_RETURN); });

    Media("a.avi", 20.0);
    AddFiles("a.avi");
    ::SetWindowTextA(H(IDC_OUTFOLDER), (scratch / "out").c_str());
    bool asked = false;
    dlg.onBatchMessage = [&](UINT msg, WPARAM, LPARAM, LRESULT) {
        if (asked || msg != WM_BATCH_NEXTROW) return;
        asked = true;
        // The worker waits for this answer while the question is up: Yes stops the batch.
        dlg.realBoxes = true;
        ProbeModal([&] { ClickButton(dlg, IDC_START); }, "stop_question", {IDYES, IDNO}, [&](HWND) {
            dlg.realBoxes = false;
            WinTestKeyPress(VK_RETURN);
        });
    };
    ClickButton(dlg, IDC_START);
    ASSERT_TRUE(WaitForBatchEnd());
    EXPECT_TRUE(asked);
    ASSERT_FALSE(dlg.boxes.empty());
    EXPECT_EQ(dlg.boxes[0].text, "  Stop the video convert operation?   ");
}

// The popup's frame edges and its highlighted first row, placed by the skin's popup design.
Probes PopupMenuProbes(SkinLooks& skin, const RECT& w) {
    Probes out;
    const auto* menu = skin.OfType<CSkinPopupMenuObject>(SKIN_POPUPMENU);
    if (!menu) return out;
    const RECT* f = menu->m_frameRects;
    const SkinImagePart &leftEdge = menu->m_parts[3], &topEdge = menu->m_parts[1];
    out.push_back({"menu left edge", w.left, (w.top + w.bottom) / 2,
                   {skin.Pixel(leftEdge.name, leftEdge.src.left, (leftEdge.src.top + leftEdge.src.bottom) / 2)}});
    out.push_back({"menu top edge", (w.left + w.right) / 2, w.top,
                   {skin.Pixel(topEdge.name, (topEdge.src.left + topEdge.src.right) / 2, topEdge.src.top)}});
    const SkinNineGrid& selection = menu->m_grids[0];
    const LONG left = w.left + Width(f[3]), top = w.top + Height(f[0]);
    out.push_back({"selected row's edge", left, top + selection.marginTop, {skin.GridLeftEdge(selection)}});
    out.push_back({"selected row", left + selection.marginLeft, top + selection.marginTop, {skin.GridInside(selection)}});
    return out;
}

TEST_P(EveryWindow, TheFileListsContextMenu) {
    Media("a.avi");
    AddFiles("a.avi");
    ASSERT_EQ(Rows(), 1);
    Probes probes;
    WinTestIdleScript script({
        [&](int, HWND) { WinTestKeyPress(VK_DOWN); },
        [&](int, HWND) {
            HWND popup = VisibleWindowOfClass(Skinned() ? "QuorventaPopupMenuWnd" : "#32768");
            ASSERT_NE(popup, nullptr);
            CapturePng(popup, "context_menu");
            probes = PopupMenuProbes(skin, WindowRect(popup));
            ExpectLook(probes, "context menu");
            WinTestKeyPress(VK_ESCAPE);
        },
    });
    CRect r;
    List().GetSubItemRect(0, COL_NAME, LVIR_BOUNDS, r);
    WinTestClick(List().GetSafeHwnd(), WINTEST_RIGHT, r.left + 5, (r.top + r.bottom) / 2);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(probes.empty());
    EXPECT_EQ(Rows(), 1);
}

// The caption's system menu, opened by a right click on the caption and by Alt+Space: the
// skin's popup under the skin, the window system's own without it; its last entry is About.
TEST_P(EveryWindow, TheCaptionsSystemMenuOpensWithTheMouseAndTheKeyboard) {
    const char* popupClass = Skinned() ? "QuorventaPopupMenuWnd" : "#32768";
    const HWND main = dlg.GetSafeHwnd();
    RECT frame = WindowRect(main);
    POINT client{0, 0};
    ::ClientToScreen(main, &client);
    int rows = 0;
    RECT byKeys{};
    auto popupStep = [&](RECT* where, bool about) {
        return [&, where, about](int, HWND) {
            HWND popup = VisibleWindowOfClass(popupClass);
            EXPECT_NE(popup, nullptr) << "no system menu of class " << popupClass;
            if (!popup) {
                WinTestKeyPress(VK_ESCAPE);  // whatever is open goes
                return;
            }
            if (where) *where = WindowRect(popup);
            ++rows;
            if (about) {
                CapturePng(popup, "system_menu");
                WinTestKeyPress(VK_UP);  // from the first entry round to the last
                WinTestKeyPress(VK_RETURN);
            } else {
                WinTestKeyPress(VK_ESCAPE);
            }
        };
    };
    {
        WinTestIdleScript script({popupStep(nullptr, true)});
        // On the caption, halfway between the icon and the buttons.
        const POINT at{(frame.left + frame.right) / 2 - 60, (frame.top + client.y) / 2};
        WinTestClick(main, WINTEST_RIGHT, at.x - client.x, at.y - client.y);
        WinTestPumpUntilIdle();
        EXPECT_EQ(script.Left(), 0u);
    }
    EXPECT_EQ(dlg.aboutShown, 1);
    {
        WinTestIdleScript script({popupStep(&byKeys, false)});
        WinTestKey(VK_MENU, TRUE);
        WinTestKeyPress(VK_SPACE);
        WinTestKey(VK_MENU, FALSE);
        WinTestPumpUntilIdle();
        EXPECT_EQ(script.Left(), 0u);
    }
    EXPECT_EQ(rows, 2);
    // From the keyboard it drops from the window's corner, below the caption.
    EXPECT_LE(std::abs(byKeys.left - frame.left), 4) << byKeys.left << " " << frame.left;
    EXPECT_LE(std::abs(byKeys.top - client.y), 4) << byKeys.top << " " << client.y;
    EXPECT_EQ(dlg.aboutShown, 1);
    EXPECT_TRUE(::IsWindow(main));
}

TEST_P(EveryWindow, TheStartButtonsTooltip) {
    HWND tip = nullptr;
    const RECT b = WindowRect(H(IDC_START));
    ASSERT_TRUE(HoverUntilShown(POINT{(b.left + b.right) / 2, (b.top + b.bottom) / 2}, &tip, H(IDC_START)));
    const auto* object = skin.OfType<CSkinTooltipObject>(SKIN_TOOLTIP);
    ASSERT_NE(object, nullptr);
    const RECT w = WindowRect(tip);
    CapturePng(tip, "tooltip");
    const COLORREF frame = object->m_crActiveFill;
    // The inside is the stretched middle of the tip's picture: its first row is the picture's.
    const SkinImagePart& inside = object->m_parts[4];
    ExpectLook({{"tip top edge", (w.left + w.right) / 2, w.top, {frame}},
                {"tip bottom edge", (w.left + w.right) / 2, w.bottom - 1, {frame}},
                {"tip left edge", w.left, (w.top + w.bottom) / 2, {frame}},
                {"tip right edge", w.right - 1, (w.top + w.bottom) / 2, {frame}},
                {"tip inside", w.left + Width(object->m_frameRects[3]) + 2, w.top + Height(object->m_frameRects[0]),
                 {skin.Pixel(inside.name, (inside.src.left + inside.src.right) / 2, inside.src.top)}}},
               "tooltip");
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(SkinnedAndPlain, EveryWindow, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& p) { return p.param ? "Skinned" : "Plain"; });
