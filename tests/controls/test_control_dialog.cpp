// One test dialog with every control of the control library: the cell list, bitmap buttons,
// shaded and XP-style buttons, text progress bars, links, the folder picker and the bitmap
// button's owner-drawn menu. Each main state is written as a PNG picture to the build's test
// output folder and probed at chosen pixels.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <deque>
#include <functional>
#include <string>

#include "CellListCtrl.h"
#include "FlatXPButton.h"
#include "FolderPicker.h"
#include "ImageButton.h"
#include "PercentProgressCtrl.h"
#include "ShadeButton.h"
#include "UrlLabel.h"
#include "afxtest.h"
#include "dialog_test_support.h"
#include "test_ownermenu_support.h"
#include "winplat_test.h"
#include "winplat_test_shell.h"

namespace {

using Picture = WinTestWindowPicture;

enum : UINT {
    kList = 1000,
    kIconButton = 1100,
    kHoverButton,
    kDisabledButton,
    kMenuButton,
    kShadeV,
    kShadeMetal,
    kXp,
    kXpRounded,
    kBrowse,
    kBar = 1200,
    kBarText,
    kLink = 1300,
    kVisitedLink,
    kFolderText = 1400,
};
const int kFolderPathEdit = 14148;  // the folder dialog's path field

enum Col { kCheck = 0, kName, kStatus };

const COLORREF kIconColour = RGB(0, 150, 0), kRowColour = RGB(255, 240, 200);
const COLORREF kLinkColour = RGB(0, 0, 238), kVisitedColour = RGB(85, 26, 139), kHoverColour = RGB(255, 0, 0);

HICON MakeIcon(int size, COLORREF colour) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ICONINFO ii{};
    ii.fIcon = TRUE;
    ii.xHotspot = DWORD(size / 2);
    ii.yHotspot = DWORD(size / 2);
    ii.hbmColor = CreateCompatibleBitmap(screen, size, size);
    ii.hbmMask = CreateBitmap(size, size, 1, 1, nullptr);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, ii.hbmColor);
    RECT all{0, 0, size, size};
    HBRUSH b = CreateSolidBrush(colour);
    FillRect(dc, &all, b);
    DeleteObject(b);
    SelectObject(dc, old);
    DeleteDC(dc);
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    return icon;
}

// Runs one queued step each time a modal dialog it owns goes idle.
std::deque<std::function<void(HWND)>> g_idle_steps;

class CControlsDialog : public CDialog {
public:
    CCellListCtrl list;
    CImageButton icon, hover, disabled, menu, browse;
    CShadeButton shadeV, shadeMetal;
    CFlatXPButton xp, xpRounded;
    CPercentProgressCtrl bar, barText;
    CUrlLabel link, visited;
    CStatic folderText;
    CFolderPicker picker;
    std::vector<UINT> commands;

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        const DWORD child = WS_CHILD | WS_VISIBLE;
        list.Create(child | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS, CRect(10, 10, 370, 130), this, kList);
        list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
        list.InsertColumn(kCheck, "", LVCFMT_CENTER, 30);
        list.InsertColumn(kName, "File", LVCFMT_LEFT, 160);
        list.InsertColumn(kStatus, "Status", LVCFMT_CENTER, 160);
        const char* names[] = {"holiday.avi", "concert.mkv", "lecture.mp4", "disabled.avi"};
        for (int i = 0; i < 4; ++i) {
            int row = list.InsertItem(i, "");
            list.SetItemText(row, kName, names[i]);
            list.SetCheckbox(row, kCheck, i == 1 ? 0 : 1);
        }
        list.SetProgress(0, kStatus);
        list.UpdateProgress(0, kStatus, 50);
        list.SetProgress(2, kStatus);
        list.UpdateProgress(2, kStatus, 100);
        list.SetItemTextEx(1, kStatus, "Waiting", RGB(0, 0, 0), kRowColour);
        list.SetBold(2, kName, TRUE);
        list.SetEnabled(3, FALSE);

        const DWORD owner_draw = child | WS_TABSTOP | BS_OWNERDRAW;
        icon.Create("Play", owner_draw, CRect(10, 140, 90, 190), this, kIconButton);
        hover.Create("Hover", owner_draw, CRect(100, 140, 180, 190), this, kHoverButton);
        disabled.Create("Off", owner_draw, CRect(190, 140, 270, 190), this, kDisabledButton);
        menu.Create("Menu", owner_draw, CRect(280, 140, 370, 170), this, kMenuButton);
        for (CImageButton* b : {&icon, &hover, &disabled}) {
            b->SetIcon(MakeIcon(16, kIconColour));
            b->SetAlign(CImageButton::ALIGN_IMAGE_ABOVE, FALSE);
        }
        hover.SetColor(CImageButton::HOVER_FACE, RGB(255, 255, 160), FALSE);
        disabled.EnableWindow(FALSE);
        menu.SetMenu(ownermenu_test::kMenuId, m_hWnd, TRUE, ownermenu_test::kToolbarId);

        shadeV.Create("Shaded", owner_draw, CRect(10, 200, 100, 236), this, kShadeV);
        shadeV.SetShade(CShadeButton::PATTERN_VERTICAL, 4, 30);
        shadeMetal.Create("Metal", owner_draw, CRect(110, 200, 200, 236), this, kShadeMetal);
        shadeMetal.SetShade(CShadeButton::PATTERN_BRUSHED_METAL, 4, 30);
        xp.Create("XP", owner_draw, CRect(210, 200, 285, 236), this, kXp);
        xpRounded.Create("Rounded", owner_draw, CRect(295, 200, 370, 236), this, kXpRounded);
        xpRounded.SetRounded(TRUE, FALSE);

        bar.Create(child, CRect(10, 246, 370, 266), this, kBar);
        bar.SetBarColor(RGB(0, 128, 0));
        bar.SetBkColor(RGB(255, 255, 255));
        bar.SetPos(50);
        barText.Create(child, CRect(10, 272, 370, 292), this, kBarText);
        barText.SetWindowText("Converting...");
        barText.SetPos(25);

        link.Create("Home page", child | SS_NOTIFY | SS_LEFT, CRect(10, 302, 150, 320), this, kLink);
        link.SetLinkUrl("https://example.org/");
        link.SetLinkColors(kLinkColour, kVisitedColour, kHoverColour);
        visited.Create("Help", child | SS_NOTIFY | SS_LEFT, CRect(160, 302, 260, 320), this, kVisitedLink);
        visited.SetLinkUrl("https://example.org/help");
        visited.SetLinkColors(kLinkColour, kVisitedColour, kHoverColour);
        visited.SetVisited(TRUE);

        browse.Create("Browse...", owner_draw, CRect(10, 330, 100, 356), this, kBrowse);
        folderText.Create("(no folder)", child | SS_LEFT, CRect(110, 334, 370, 352), this, kFolderText);
        picker.SetTitle("Please select output directory:");
        return TRUE;
    }

    BOOL OnCommand(WPARAM wp, LPARAM lp) override {
        if (lp == 0) commands.push_back(LOWORD(wp));  // from the drop-down menu
        if (LOWORD(wp) == kBrowse && HIWORD(wp) == BN_CLICKED) {
            char path[MAX_PATH] = {};
            if (picker.Show(m_hWnd, path) == 2) folderText.SetWindowText(path);
            return TRUE;
        }
        return CDialog::OnCommand(wp, lp);
    }

    LRESULT OnEnterIdle(WPARAM wp, LPARAM lp) {
        if (wp == MSGF_DIALOGBOX && !g_idle_steps.empty()) {
            auto step = g_idle_steps.front();
            g_idle_steps.pop_front();
            step(reinterpret_cast<HWND>(lp));
        }
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CControlsDialog, CDialog)
ON_MESSAGE(WM_ENTERIDLE, OnEnterIdle)
END_MESSAGE_MAP()

// The menu's loop runs steps started by a marker key that this hook takes out of the queue.
const UINT kMarkerKey = 0x87;
std::deque<std::function<void()>> g_menu_steps;
HHOOK g_hook = nullptr;

LRESULT CALLBACK MarkerHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && wp == kMarkerKey) {
        if (!(lp & 0x80000000) && !g_menu_steps.empty()) {
            auto step = g_menu_steps.front();
            g_menu_steps.pop_front();
            step();
        }
        return 1;
    }
    return CallNextHookEx(g_hook, code, wp, lp);
}

std::string PictureDir() {
    std::string dir = CONTROLS_PICTURE_DIR;
    for (size_t i = 1; i <= dir.size(); ++i)
        if (i == dir.size() || dir[i] == '/') mkdir(dir.substr(0, i).c_str(), 0777);
    return dir + "/";
}

class ControlDialogTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ownermenu_test::RegisterResources(); }
    void SetUp() override {
        WinTestClearScripts();
        g_idle_steps.clear();
        g_menu_steps.clear();
        g_hook = SetWindowsHookExA(WH_KEYBOARD, MarkerHook, nullptr, GetCurrentThreadId());
        dlgtest::TemplateBuilder t(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_SETFONT, 0, 0, 254, 250,
                                   "Control library");
        ASSERT_TRUE(dlg.CreateIndirect(t.Get(), nullptr));
        dlg.SetWindowPos(nullptr, 20, 20, 384, 400, SWP_NOZORDER);
        Pump();
    }
    void TearDown() override {
        UnhookWindowsHookEx(g_hook);
        dlg.DestroyWindow();
        Pump();
        WinTestClearScripts();
    }
    static void Pump() { AfxTestPumpUntilIdle(); }
    // The dialog's picture, written for a person to look at.
    Picture Shot(const char* name) {
        std::string path = PictureDir() + "controls_" + name + ".png";
        EXPECT_TRUE(WinTestCaptureWindowPng(dlg.m_hWnd, path.c_str()));
        std::printf("picture: %s\n", path.c_str());
        std::fflush(stdout);
        return Picture(dlg.m_hWnd);
    }
    // The whole screen, for states with popups of their own.
    void ScreenShot(const char* name) {
        std::string path = PictureDir() + "controls_" + name + ".png";
        EXPECT_TRUE(WinTestCaptureScreenPng(path.c_str()));
        std::printf("picture: %s\n", path.c_str());
        std::fflush(stdout);
    }
    // A pixel of a control, in the dialog's picture.
    COLORREF Pixel(const Picture& pic, CWnd& w, int x, int y) {
        POINT p{x, y};
        ClientToScreen(w.m_hWnd, &p);
        RECT r;
        GetWindowRect(dlg.m_hWnd, &r);
        return pic.At(p.x - r.left, p.y - r.top);
    }
    // Whether the control shows the colour: text in it counts by its antialiased ink.
    bool Has(const Picture& pic, CWnd& w, COLORREF c) {
        RECT r;
        GetClientRect(w.m_hWnd, &r);
        for (int y = 0; y < r.bottom; ++y)
            for (int x = 0; x < r.right; ++x)
                if (WinTestNear(Pixel(pic, w, x, y), c)) return true;
        return false;
    }
    COLORREF Cell(const Picture& pic, int row, int col, int dx, int dy) {
        CRect c;
        dlg.list.GetSubItemRect(row, col, LVIR_BOUNDS, c);
        return Pixel(pic, dlg.list, c.left + dx, c.top + dy);
    }
    void Click(CWnd& w, int x, int y) {
        WinTestAdvanceClock(1000);  // apart from the last click: never a double-click
        WinTestClick(w.m_hWnd, WINTEST_LEFT, x, y);
    }
    CControlsDialog dlg;
};

}  // namespace

TEST_F(ControlDialogTest, EveryControlInItsMainStates) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE), highlight = GetSysColor(COLOR_HIGHLIGHT);

    // ---- at rest ----
    Picture rest = Shot("rest");
    // The list: a 100 % progress cell filled, a coloured cell, check boxes.
    EXPECT_EQ(Cell(rest, 2, kStatus, 6, 4), highlight);
    EXPECT_EQ(Cell(rest, 1, kStatus, 3, 2), kRowColour);
    EXPECT_NE(Cell(rest, 0, kStatus, 6, 4), Cell(rest, 0, kStatus, 150, 4));  // half full
    // Bitmap buttons: flat faces, the icon above the caption; the disabled icon is greyed.
    EXPECT_EQ(Pixel(rest, dlg.icon, 2, 2), face);
    EXPECT_EQ(Pixel(rest, dlg.icon, 40, 3 + 8), kIconColour);
    EXPECT_NE(Pixel(rest, dlg.disabled, 40, 3 + 8), kIconColour);
    // Shaded buttons: the vertical shade darker at the top than at the bottom.
    EXPECT_LT(GetRValue(Pixel(rest, dlg.shadeV, 3, 1)) + 60, GetRValue(Pixel(rest, dlg.shadeV, 3, 34)));
    EXPECT_EQ(Pixel(rest, dlg.xp, 0, 0), face);
    // Progress bars: half of the first one filled with its colour.
    EXPECT_EQ(Pixel(rest, dlg.bar, 3, 3), RGB(0, 128, 0));
    EXPECT_EQ(Pixel(rest, dlg.bar, 355, 3), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(rest, dlg.barText, 3, 3), highlight);
    // Links in their colours.
    EXPECT_TRUE(Has(rest, dlg.link, kLinkColour));
    EXPECT_TRUE(Has(rest, dlg.visited, kVisitedColour));
    EXPECT_FALSE(Has(rest, dlg.link, kHoverColour));

    // ---- the mouse over a button, a check box clicked, a row selected ----
    CRect box;
    dlg.list.GetSubItemRect(1, kCheck, LVIR_BOUNDS, box);
    Click(dlg.list, 15, box.top + box.Height() / 2);
    Pump();
    EXPECT_EQ(dlg.list.GetCheckbox(1, kCheck), 1);
    dlg.list.SetCurSel(0);
    dlg.bar.SetPos(100);
    WinTestMouseMove(dlg.hover.m_hWnd, 40, 40);
    Pump();
    Picture active = Shot("hover");
    EXPECT_EQ(Pixel(active, dlg.hover, 2, 2), RGB(255, 255, 160));
    EXPECT_EQ(Pixel(active, dlg.hover, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));  // the hover border
    EXPECT_EQ(Pixel(active, dlg.bar, 355, 3), RGB(0, 128, 0));
    EXPECT_EQ(Cell(active, 0, kName, 3, 2), highlight);  // the selected row

    // ---- the mouse over a link ----
    WinTestMouseMove(dlg.link.m_hWnd, 4, 4);
    Pump();
    Picture over = Shot("link_hover");
    EXPECT_TRUE(Has(over, dlg.link, kHoverColour));
    EXPECT_EQ(Pixel(over, dlg.hover, 2, 2), face);  // no longer hovering

    // ---- a button held down ----
    WinTestAdvanceClock(1000);
    WinTestMouseButton(dlg.xp.m_hWnd, WINTEST_LEFT, TRUE, 30, 18);
    Pump();
    Picture pressed = Shot("pressed");
    EXPECT_NE(Pixel(pressed, dlg.xp, 0, 0), face);  // framed while held down
    WinTestMouseButton(dlg.xp.m_hWnd, WINTEST_LEFT, FALSE, 30, 18);
    Pump();

    // ---- the bitmap button's drop-down menu ----
    bool menu_seen = false;
    g_menu_steps = {
        [&] {
            ScreenShot("menu");
            HWND popup = FindWindowA("#32768", nullptr);
            ASSERT_TRUE(popup);
            menu_seen = true;
            Picture m(popup);
            EXPECT_EQ(m.At(3 + 4 + 8, 3 + 4 + 7), ownermenu_test::kImageRed);  // Open's image
            EXPECT_EQ(m.At(4, 4), face);                                          // the image strip
            Picture button(dlg.menu.m_hWnd);
            EXPECT_EQ(button.At(0, 0), GetSysColor(COLOR_BTNSHADOW));  // pressed while open
            WinTestKeyPress(VK_DOWN);
            WinTestKeyPress(VK_RETURN);  // Open
        },
    };
    Click(dlg.menu, 20, 10);
    WinTestKeyPress(kMarkerKey);
    Pump();
    EXPECT_TRUE(menu_seen);
    EXPECT_EQ(dlg.commands, std::vector<UINT>{ownermenu_test::ID_OPEN});

    // ---- the folder picker's dialog, then the chosen folder ----
    std::string folder;
    g_idle_steps = {
        [&](HWND box_dlg) {
            ScreenShot("folder");
            EXPECT_TRUE(IsWindowVisible(box_dlg));
            folder = "/tmp";
            SetDlgItemTextA(box_dlg, kFolderPathEdit, folder.c_str());
            SendMessageA(box_dlg, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
            PostMessageA(box_dlg, WM_NULL, 0, 0);  // a message, so the dialog goes idle again
        },
        [&](HWND box_dlg) {
            HWND ok = GetDlgItem(box_dlg, IDOK);
            RECT r;
            GetClientRect(ok, &r);
            WinTestClick(ok, WINTEST_LEFT, r.right / 2, r.bottom / 2);
        },
        [&](HWND box_dlg) {  // only reached when OK left the dialog open
            ADD_FAILURE() << "the folder dialog stayed open after OK";
            EndDialog(box_dlg, IDCANCEL);
        },
    };
    Click(dlg.browse, 20, 10);
    Pump();
    EXPECT_EQ(g_idle_steps.size(), 1u);  // the fallback was not needed
    char shown[MAX_PATH] = {};
    dlg.folderText.GetWindowText(shown, sizeof shown);
    EXPECT_STREQ(shown, "/tmp");
    Picture chosen = Shot("folder_chosen");
    EXPECT_TRUE(Has(chosen, dlg.folderText, GetSysColor(COLOR_WINDOWTEXT)));
}
