// The main dialog outside a batch: initial settings, adding files through the open-file
// dialog, removing and moving rows by buttons, keys and the context menu, the output folder,
// the volume label, and the settings record the combo boxes make.
#include <cstdlib>
#include <string>

#include "test_dlg_support.h"
#include "text_fit.h"

using namespace dlgtest;

namespace {

class DlgList : public DialogFixture {
protected:
    // Three playable files a.avi, b.avi, c.avi in the list, c current.
    void AddThree() {
        Media("a.avi");
        Media("b.avi", 3.0);
        Media("c.avi");
        AddFiles("a.avi\nb.avi\nc.avi");
        ASSERT_EQ(Rows(), 3);
    }
    std::vector<std::string> Names() {
        std::vector<std::string> v;
        for (int i = 0; i < Rows(); ++i) v.push_back(Cell(i, COL_NAME));
        return v;
    }
    // Grey (224,224,224) pixels inside a row's status cell: a progress bar's inside.
    int ProgressPixels(int row) {
        CRect r;
        List().GetSubItemRect(row, COL_STATUS, LVIR_BOUNDS, r);
        WinTestWindowPicture pic(List().GetSafeHwnd());
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += pic.At(x, y) == RGB(224, 224, 224);
        return n;
    }
    void ClickRow(int row) {
        CRect r;
        List().GetSubItemRect(row, COL_NAME, LVIR_BOUNDS, r);
        WinTestAdvanceClock(1000);
        WinTestClick(List().GetSafeHwnd(), WINTEST_LEFT, r.left + 5, (r.top + r.bottom) / 2);
        WinTestPumpUntilIdle();
    }
};

const std::vector<std::string> ComboEntries(CWnd& dlg, int id) {
    std::vector<std::string> v;
    HWND h = Item(dlg, id);
    int n = int(::SendMessageA(h, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char buf[64] = {};
        ::SendMessageA(h, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
        v.push_back(buf);
    }
    return v;
}

TEST_F(DlgList, StartsWithTheTitleSettingsAndOutputFolder) {
    EXPECT_EQ(WindowText(dlg.GetSafeHwnd()), "Velmora Corvane");
    EXPECT_EQ(ComboEntries(dlg, IDC_VIDEOCODEC), (std::vector<std::string>{"mpeg4", "h264"}));
    EXPECT_EQ(ComboEntries(dlg, IDC_FRAMESIZE).size(), 16u);
    EXPECT_EQ(ComboEntries(dlg, IDC_FRAMERATE), (std::vector<std::string>{"14.985", "23.976", "29.97"}));
    EXPECT_EQ(ComboEntries(dlg, IDC_AUDIOBITRATE).back(), "576");
    EXPECT_EQ(ComboEntries(dlg, IDC_SAMPLERATE), (std::vector<std::string>{"24000", "44100", "48000"}));
    EXPECT_EQ(ComboEntries(dlg, IDC_CHANNELS), (std::vector<std::string>{"Mono", "Stereo"}));
    EXPECT_EQ(ComboText(dlg, IDC_VIDEOCODEC), "mpeg4");
    EXPECT_EQ(ComboText(dlg, IDC_FRAMESIZE), "320x240");
    EXPECT_EQ(ComboText(dlg, IDC_FRAMERATE), "23.976");
    EXPECT_EQ(ComboText(dlg, IDC_VIDEOBITRATE), "512");
    EXPECT_EQ(ComboText(dlg, IDC_AUDIOCODEC), "aac");
    EXPECT_EQ(ComboText(dlg, IDC_AUDIOBITRATE), "64");
    EXPECT_EQ(ComboText(dlg, IDC_SAMPLERATE), "44100");
    EXPECT_EQ(ComboText(dlg, IDC_CHANNELS), "Stereo");
    // A combo with one entry has nothing to choose.
    EXPECT_FALSE(::IsWindowEnabled(H(IDC_AUDIOCODEC)));
    EXPECT_TRUE(::IsWindowEnabled(H(IDC_VIDEOCODEC)));

    EXPECT_EQ(::SendMessageA(H(IDC_VOLUME), TBM_GETRANGEMAX, 0, 0), 768);
    EXPECT_EQ(::SendMessageA(H(IDC_VOLUME), TBM_GETPOS, 0, 0), 256);
    EXPECT_EQ(WindowText(H(IDC_VOLUME_TEXT)), "100%");
    EXPECT_EQ(::SendMessageA(H(IDC_POSITION), TBM_GETRANGEMAX, 0, 0), 100);
    EXPECT_EQ(::IsDlgButtonChecked(dlg.GetSafeHwnd(), IDC_SHUTDOWN), 0u);
    EXPECT_EQ(WindowText(H(IDC_HOMELINK)), "Welcome to Velmora software home");

    std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    EXPECT_EQ(WindowText(H(IDC_OUTFOLDER)), home + "/VelmoraiPod");

    // Columns and the header's check image on the first one.
    CHeaderCtrl* header = List().GetHeaderCtrl();
    ASSERT_NE(header, nullptr);
    ASSERT_EQ(header->GetItemCount(), 5);
    const char* titles[] = {"", "Video File", "Duration", "Size", "Status"};
    for (int i = 0; i < 5; ++i) {
        char buf[64] = {};
        HDITEMA hdi{};
        hdi.mask = HDI_TEXT | HDI_IMAGE;
        hdi.pszText = buf;
        hdi.cchTextMax = sizeof buf;
        header->GetItem(i, &hdi);
        EXPECT_STREQ(buf, titles[i]);
        EXPECT_EQ(hdi.iImage, i == 0 ? 1 : 0) << i;
    }
    EXPECT_EQ(List().GetExtendedStyle() & 0x21u, 0x21u);

    const std::pair<int, const char*> tips[] = {
        {IDC_PLAYPAUSE, "Play"}, {IDC_PREVIEWSTOP, "Stop"}, {IDC_ADD, "Add Media file"},
        {IDC_REMOVE, "Remove Media file"}, {IDC_UP, "Up"}, {IDC_DOWN, "Down"},
        {IDC_BROWSE, "Set output folder"}, {IDC_START, "Start Convert"}, {IDC_HELPBTN, "Help"},
        {IDC_ABOUT, "About"}};
    for (const auto& t : tips) EXPECT_EQ(ButtonTip(dlg, t.first), t.second) << t.first;

    // The system menu's About item and the dialog's icons.
    HMENU sys = ::GetSystemMenu(dlg.GetSafeHwnd(), FALSE);
    char item[128] = {};
    ::GetMenuStringA(sys, IDM_ABOUTBOX, item, sizeof item, MF_BYCOMMAND);
    EXPECT_STREQ(item, "关于 Tamberlyn(&A)...");
    EXPECT_NE(::SendMessageA(dlg.GetSafeHwnd(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(::SendMessageA(dlg.GetSafeHwnd(), WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(dlg.GetCurrentItem(), -1);
}

TEST_F(DlgList, TextsFitTheirControlsAndColumns) {
    std::vector<std::string> misfits = textfit::Misfits(dlg.GetSafeHwnd());
    EXPECT_TRUE(misfits.empty()) << textfit::Joined(misfits);
    // The list's cells draw their text whole in the column, clipped at its ends.
    HWND list = List().GetSafeHwnd();
    struct Column {
        int col;
        const char* widest;
    };
    for (const Column& c : {Column{COL_SIZE, "1280x720"}, Column{COL_SIZE, "1920x1080"}, Column{COL_DURATION, "00:00:00"},
                            Column{COL_STATUS, "Completed"}}) {
        const SIZE s = textfit::Measure(list, c.widest, DT_NOPREFIX);
        EXPECT_LE(s.cx + 2, List().GetColumnWidth(c.col)) << c.widest;
    }
}

TEST_F(DlgList, AddProbesEachFileAndRejectsTheUnreadable) {
    Media("a.avi");
    ASSERT_TRUE(testmedia::WriteJunk(scratch / "b.avi"));
    Media("c.avi", 3.0);
    AddFiles("a.avi\nb.avi\nc.avi");

    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(dlg.decoderInfo, (std::vector<std::string>{scratch / "b.avi"}));
    EXPECT_EQ(List().GetCheckbox(0, COL_CHECK), 1);
    EXPECT_EQ(Cell(0, COL_NAME), "a.avi");
    EXPECT_EQ(Cell(0, COL_DURATION), "00:00:02");
    EXPECT_EQ(Cell(0, COL_SIZE), "160x120");
    EXPECT_EQ(Cell(0, COL_STATUS), "Ready");
    EXPECT_EQ(Cell(1, COL_NAME), "c.avi");
    EXPECT_EQ(Cell(1, COL_DURATION), "00:00:03");
    EXPECT_EQ(dlg.GetRecord(1)->strPath, (scratch / "c.avi").c_str());
    EXPECT_EQ(dlg.GetRecord(1)->nStatus, 0);
    // The last row is current and selected; the preview file is the last name chosen.
    EXPECT_EQ(dlg.GetCurrentItem(), 1);
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(std::string((LPCSTR)dlg.GetPreviewFile()), scratch / "c.avi");

    // A clip shorter than a second has a duration all the same, of no whole second.
    Media("short.avi", 0.4);
    AddFiles("short.avi");
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(dlg.decoderInfo.size(), 1u);
    EXPECT_EQ(Cell(2, COL_NAME), "short.avi");
    EXPECT_EQ(Cell(2, COL_DURATION), "00:00:00");
    EXPECT_EQ(Cell(2, COL_STATUS), "Ready");
    // Cancel adds nothing.
    WinTestScriptOpenFile(nullptr, nullptr);
    ClickButton(dlg, IDC_ADD);
    EXPECT_EQ(Rows(), 3);
}

TEST_F(DlgList, ManyLongPathsFitInOneChoice) {
    std::string names;
    for (int i = 0; i < 8; ++i) {
        std::string n = std::string(40, char('a' + i)) + ".avi";
        Media(n);
        names += (i ? "\n" : "") + n;
    }
    AddFiles(names);
    EXPECT_EQ(Rows(), 8);
}

TEST_F(DlgList, RemoveUpAndDownFollowTheCurrentRow) {
    AddThree();
    // Down from the last row and Up from the first change nothing.
    ClickButton(dlg, IDC_DOWN);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.avi", "b.avi", "c.avi"}));
    ClickButton(dlg, IDC_UP);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.avi", "c.avi", "b.avi"}));
    EXPECT_EQ(dlg.GetCurrentItem(), 1);
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), 1);
    ClickButton(dlg, IDC_UP);
    ClickButton(dlg, IDC_UP);
    EXPECT_EQ(Names(), (std::vector<std::string>{"c.avi", "a.avi", "b.avi"}));
    EXPECT_EQ(dlg.GetCurrentItem(), 0);
    // The moved row keeps its texts, check state and record.
    EXPECT_EQ(Cell(0, COL_DURATION), "00:00:02");
    EXPECT_EQ(Cell(0, COL_STATUS), "Ready");
    EXPECT_EQ(List().GetCheckbox(0, COL_CHECK), 1);
    EXPECT_EQ(std::string((LPCSTR)dlg.GetRecord(0)->strPath), scratch / "c.avi");
    ClickButton(dlg, IDC_DOWN);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.avi", "c.avi", "b.avi"}));

    // Removing the last row makes the new last row current; the only row leaves none.
    ClickRow(2);
    EXPECT_EQ(dlg.GetCurrentItem(), 2);
    ClickButton(dlg, IDC_REMOVE);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.avi", "c.avi"}));
    EXPECT_EQ(dlg.GetCurrentItem(), 1);
    ClickButton(dlg, IDC_REMOVE);
    ClickButton(dlg, IDC_REMOVE);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(dlg.GetCurrentItem(), -1);
    ClickButton(dlg, IDC_REMOVE);  // nothing to remove
    ClickButton(dlg, IDC_UP);
    EXPECT_EQ(Rows(), 0);
}

TEST_F(DlgList, StoppedRowKeepsItsBarWhenMovedAndFinishedRowItsText) {
    AddThree();
    // Row 0 as a stopped file at 40 %, row 1 as a completed one.
    FileRecord* stopped = dlg.GetRecord(0);
    stopped->nStatus = FILE_STATUS_STOPPED;
    stopped->nPercent = 40;
    List().SetProgress(0, COL_STATUS);
    List().UpdateProgress(0, COL_STATUS, 40);
    List().SetItemText(1, COL_STATUS, "Completed");
    dlg.GetRecord(1)->nStatus = FILE_STATUS_FINISHED;
    WinTestPumpUntilIdle();
    ASSERT_GT(ProgressPixels(0), 50);

    ClickRow(0);
    ClickButton(dlg, IDC_DOWN);
    EXPECT_EQ(dlg.GetRecord(1), stopped);
    EXPECT_GT(ProgressPixels(1), 50);
    EXPECT_LT(ProgressPixels(0), 10);
    EXPECT_EQ(Cell(0, COL_STATUS), "Completed");
    ClickButton(dlg, IDC_DOWN);
    EXPECT_EQ(dlg.GetRecord(2), stopped);
    EXPECT_GT(ProgressPixels(2), 50);
    EXPECT_EQ(stopped->nPercent, 40);
}

TEST_F(DlgList, KeyboardSelectionMovesTheCurrentRow) {
    AddThree();
    ClickRow(0);
    EXPECT_EQ(dlg.GetCurrentItem(), 0);
    EXPECT_EQ(std::string((LPCSTR)dlg.GetPreviewFile()), scratch / "a.avi");
    // The arrow key highlights b: Remove must take b, not a.
    WinTestKeyPress(VK_DOWN);
    WinTestPumpUntilIdle();
    EXPECT_EQ(dlg.GetCurrentItem(), 1);
    EXPECT_EQ(std::string((LPCSTR)dlg.GetPreviewFile()), scratch / "b.avi");
    ClickButton(dlg, IDC_REMOVE);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.avi", "c.avi"}));
}

TEST_F(DlgList, ContextMenuAddsRemovesAndEmptiesTheList) {
    AddThree();
    CRect r;
    List().GetSubItemRect(1, COL_NAME, LVIR_BOUNDS, r);
    POINT at{r.left + 5, (r.top + r.bottom) / 2};
    // Remove all: the third command of the menu (the separator is skipped).
    WinTestClick(List().GetSafeHwnd(), WINTEST_RIGHT, at.x, at.y);
    for (int i = 0; i < 3; ++i) WinTestKeyPress(VK_DOWN);
    WinTestKeyPress(VK_RETURN);
    WinTestPumpUntilIdle();
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(dlg.GetCurrentItem(), -1);

    // Add from the menu opens the open-file dialog.
    Media("d.avi");
    WinTestScriptOpenFile(scratch.path().c_str(), "d.avi");
    RECT lc;
    ::GetClientRect(List().GetSafeHwnd(), &lc);
    WinTestClick(List().GetSafeHwnd(), WINTEST_RIGHT, lc.right / 2, lc.bottom / 2);
    WinTestKeyPress(VK_DOWN);
    WinTestKeyPress(VK_RETURN);
    ASSERT_TRUE(WaitForAddEnd());
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, COL_NAME), "d.avi");
}

TEST_F(DlgList, VolumeLabelShowsThePercentOfTheSlider) {
    ::SetFocus(H(IDC_VOLUME));
    WinTestKeyPress(VK_END);
    WinTestPumpUntilIdle();
    EXPECT_EQ(WindowText(H(IDC_VOLUME_TEXT)), "300%");
    WinTestKeyPress(VK_HOME);
    WinTestPumpUntilIdle();
    EXPECT_EQ(WindowText(H(IDC_VOLUME_TEXT)), "0%");
    ::SendMessageA(H(IDC_VOLUME), TBM_SETPOS, TRUE, 384);
    ::SendMessageA(dlg.GetSafeHwnd(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 384),
                   reinterpret_cast<LPARAM>(H(IDC_VOLUME)));
    EXPECT_EQ(WindowText(H(IDC_VOLUME_TEXT)), "150%");
}

TEST_F(DlgList, ShutdownCheckFlipsWithEachClick) {
    ClickButton(dlg, IDC_SHUTDOWN);
    EXPECT_TRUE(dlg.GetShutdownFlag());
    EXPECT_EQ(::IsDlgButtonChecked(dlg.GetSafeHwnd(), IDC_SHUTDOWN), 1u);
    ClickButton(dlg, IDC_SHUTDOWN);
    EXPECT_FALSE(dlg.GetShutdownFlag());
    EXPECT_EQ(::IsDlgButtonChecked(dlg.GetSafeHwnd(), IDC_SHUTDOWN), 0u);
}

TEST_F(DlgList, BrowsedFolderLosesOneTrailingSeparatorButNotTheRoot) {
    std::string out = scratch / "out";
    WinTestScriptFolder((out + "/").c_str());
    ClickButton(dlg, IDC_BROWSE);
    EXPECT_EQ(WindowText(H(IDC_OUTFOLDER)), out);
    WinTestScriptFolder(nullptr);  // cancelled
    ClickButton(dlg, IDC_BROWSE);
    EXPECT_EQ(WindowText(H(IDC_OUTFOLDER)), out);
    WinTestScriptFolder("/");
    ClickButton(dlg, IDC_BROWSE);
    EXPECT_EQ(WindowText(H(IDC_OUTFOLDER)), "/");
}

TEST_F(DlgList, AboutAndHelpButtonsAndTheSystemMenuItem) {
    ClickButton(dlg, IDC_ABOUT);
    ::SendMessageA(dlg.GetSafeHwnd(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    EXPECT_EQ(dlg.aboutShown, 2);
    ClickButton(dlg, IDC_HELPBTN);
    EXPECT_EQ(dlg.helpShown, 1);
    // The help opens its overview page beside the program in the desktop's viewer.
    WinTestShellClearRequests();
    dlg.RealHelp();
    ASSERT_EQ(WinTestShellRequestCount(), 1);
    char page[4096] = {};
    WinTestShellRequestWord(0, 1, page, sizeof page);
    std::string p = page;
    EXPECT_EQ(p.substr(p.size() - 17), "help/overview.htm") << p;
}

TEST_F(DlgList, EnterKeepsTheDialogOpenAndEscapeEndsIt) {
    ::SetFocus(H(IDC_OUTFOLDER));
    WinTestKeyPress(VK_RETURN);
    PumpAsModalLoop(dlg);
    EXPECT_TRUE(::IsWindowVisible(dlg.GetSafeHwnd()));
    EXPECT_TRUE(dlg.boxes.empty());
    // Escape outside a batch ends the dialog as the close box does.
    WinTestKeyPress(VK_ESCAPE);
    PumpAsModalLoop(dlg);
    EXPECT_FALSE(::IsWindowVisible(dlg.GetSafeHwnd()));
}

TEST(DlgOutputPath, NameUpToItsLastDotThenNewAndTheExtension) {
    EXPECT_EQ(CPeloranDlg::MakeOutputPath("/v/clip.avi", "/out", "mp4"), "/out/clip_new.mp4");
    EXPECT_EQ(CPeloranDlg::MakeOutputPath("/c/a.b.mp4", "/out/", "mp4"), "/out/a.b_new.mp4");
    EXPECT_EQ(CPeloranDlg::MakeOutputPath("C:\\v\\clip.avi", "D:\\out", "mp4"), "D:\\out/clip_new.mp4");
    EXPECT_EQ(CPeloranDlg::MakeOutputPath("/v/noext", "/out", "mp4"), "");
    // A dot in a folder name is not the file's.
    EXPECT_EQ(CPeloranDlg::MakeOutputPath("/v.d/clip", "/out", "mp4"), "");
    std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    while (!home.empty() && home.back() == '/') home.pop_back();
    EXPECT_EQ(CPeloranDlg::MakeOutputPath("/v/x.avi", "", "mp4"), (home + "/share/x_new.mp4").c_str());
}

TEST(DlgProgress, WholeSecondsReachedOverTheDurationCappedAt100) {
    EXPECT_EQ(CPeloranDlg::ProgressPercent(12.9, 60), 20);
    EXPECT_EQ(CPeloranDlg::ProgressPercent(61.0, 60), 100);
    EXPECT_EQ(CPeloranDlg::ProgressPercent(0.01, 60), 0);
    EXPECT_EQ(CPeloranDlg::ProgressPercent(5.0, 0), 0);
    EXPECT_EQ(CPeloranDlg::ProgressPercent(-3.0, 10), 0);
    EXPECT_EQ(CPeloranDlg::ProgressPercent(1e300, 10), 100);
}

// The settings record as the engine's argument vector shows it.
class DlgSettings : public DialogFixture {
protected:
    std::string Arg(const std::string& option) {
        const CParamContainer& p = dlg.GetEncoder().GetParams();
        for (int i = 1; i + 1 < p.GetCount(); ++i)
            if (option == p.GetArg(i)) return p.GetArg(i + 1);
        return "<none>";
    }
    void Build() {
        dlg.GetEncoder().SetScriptFolder(scratch.path());
        dlg.SetupEncoder((scratch / "in.avi").c_str(), (scratch / "in_new.mp4").c_str());
        ASSERT_EQ(dlg.GetEncoder().BuildArguments(PROFILE_IPOD), 0);
    }
    void SetUp() override {
        DialogFixture::SetUp();
        Media("in.avi");
    }
};

TEST_F(DlgSettings, DefaultsGiveStereoHalfTheAudioRate) {
    Build();
    EXPECT_EQ(Arg("-vcodec"), "mpeg4");
    EXPECT_EQ(Arg("-s"), "320x240");
    EXPECT_EQ(Arg("-b"), "512");
    EXPECT_EQ(Arg("-ac"), "2");
    EXPECT_EQ(Arg("-ab"), "32");
    EXPECT_EQ(Arg("-ar"), "44100");
    EXPECT_EQ(Arg("-vol"), "256");
    EXPECT_EQ(std::atof(Arg("-r").c_str()), 23.976);
}

TEST_F(DlgSettings, ChosenEntriesReachTheRecord) {
    ChooseCombo(dlg, IDC_VIDEOCODEC, 1);     // h264
    ChooseCombo(dlg, IDC_FRAMESIZE, 13);     // 640x360
    ChooseCombo(dlg, IDC_FRAMERATE, 2);      // 29.97
    ChooseCombo(dlg, IDC_VIDEOBITRATE, 8);   // 1500
    ChooseCombo(dlg, IDC_AUDIOBITRATE, 7);   // 128
    ChooseCombo(dlg, IDC_SAMPLERATE, 2);     // 48000
    ChooseCombo(dlg, IDC_CHANNELS, 0);       // Mono
    ::SendMessageA(H(IDC_VOLUME), TBM_SETPOS, TRUE, 512);
    Build();
    EXPECT_EQ(Arg("-vcodec"), "h264");
    EXPECT_EQ(Arg("-s"), "640x360");
    EXPECT_EQ(std::atof(Arg("-r").c_str()), 29.97);
    EXPECT_EQ(Arg("-b"), "1500");
    EXPECT_EQ(Arg("-ac"), "1");
    EXPECT_EQ(Arg("-ab"), "128");  // mono: the whole rate
    EXPECT_EQ(Arg("-ar"), "48000");
    EXPECT_EQ(Arg("-vol"), "512");

    ChooseCombo(dlg, IDC_CHANNELS, 1);
    ChooseCombo(dlg, IDC_AUDIOBITRATE, 14);  // 576 in stereo
    ChooseCombo(dlg, IDC_FRAMESIZE, 0);
    Build();
    EXPECT_EQ(Arg("-ab"), "288");
    EXPECT_EQ(Arg("-s"), "160x120");
}

}  // namespace
