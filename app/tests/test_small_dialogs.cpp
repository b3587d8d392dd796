// The small dialogs run modally and answered through injected input: the missing-decoder
// information, the About box with its version and links, the Tip of the Day over a tips file,
// the loading box, and the help pages beside the program.
#include <sys/stat.h>
#include <sys/time.h>

#include "AboutDlg.h"
#include "DecoderInfo.h"
#include "Peloran.h"
#include "TipDlg.h"
#include "WaitInfDlg.h"
#include "app_test_support.h"
#include "htmlhelp.h"
#include "text_fit.h"
#include "wait_until.h"

using namespace apptest;
using namespace peloran_auto;

namespace {

TestApp g_app;

class SmallDialogs : public testing::Test {
protected:
    void SetUp() override {
        profile = TempPath("profile.ini");
        std::remove(profile.c_str());
        g_app.UseProfile(profile);
        WinTestShellRecord(TRUE);
        WinTestShellClearRequests();
    }
    void TearDown() override {
        WinTestShellClearRequests();
        std::remove(profile.c_str());
        for (const std::string& f : files) std::remove(f.c_str());
    }
    std::string File(const std::string& name, const std::string& text) {
        std::string p = TempPath(name);
        WriteFile(p, text);
        files.push_back(p);
        return p;
    }
    std::string profile;
    std::vector<std::string> files;
};

// Opens the link with a click and waits for the recorded request.
std::string ClickLinkAndReadRequest(HWND link) {
    int before = WinTestShellRequestCount();
    ClickWindow(link);
    WaitUntil([&] { return WinTestShellRequestCount() > before; }, 5000);
    return WinTestShellRequestCount() > before ? RequestWord(before, 1) : std::string();
}

TEST_F(SmallDialogs, DecoderInfoNamesTheWholePathAndLinksToTheDecoderPack) {
    // Longer than the old 260-character buffers.
    std::string path = "/media/" + std::string(300, 'v') + "/clip with blanks.avi";
    CDecoderInfoDlg dlg;
    dlg.SetFileName(path.c_str());
    std::string shown, texts, title, link_text, opened;
    INT_PTR result = 0;
    RunDriven([&] { result = dlg.DoModal(); },
              [&] {
                  HWND d = WaitForDialog("No decoder to decode the video file:", 10000);
                  ASSERT_NE(d, nullptr);
                  title = WindowText(d);
                  ::mkdir("captures", 0777);
                  WinTestCaptureWindowPng(d, "captures/decoder_info.png");
                  shown = WindowText(GetDlgItem(d, IDC_DECODER_FILE));
                  texts = DialogStaticTexts(d);
                  link_text = WindowText(GetDlgItem(d, IDC_DECODER_LINK));
                  opened = ClickLinkAndReadRequest(GetDlgItem(d, IDC_DECODER_LINK));
                  ClickDlgItem(d, IDOK);
              });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(title, "Information");
    EXPECT_EQ(shown, path);
    EXPECT_NE(texts.find("Please download ffdshow decoder from:"), std::string::npos);
    EXPECT_EQ(link_text, DECODER_PACK_URL);
    EXPECT_EQ(opened, DECODER_PACK_URL);
}

TEST_F(SmallDialogs, AboutShowsTitleVersionAndOpensItsPages) {
    std::string ini = File("settings.ini", "[Version]\nMARDEVOLTA=2.3.4\n");
    CAboutDlg dlg(nullptr, ini.c_str());
    std::string title, product, version, homepage;
    std::vector<std::string> opened;
    RunDriven([&] { dlg.DoModal(); },
              [&] {
                  HWND d = WaitForDialog("About Velmora Corvane", 10000);
                  ASSERT_NE(d, nullptr);
                  title = WindowText(d);
                  ::mkdir("captures", 0777);
                  WinTestCaptureWindowPng(d, "captures/about.png");
                  product = WindowText(GetDlgItem(d, IDC_ABOUT_TITLE));
                  version = WindowText(GetDlgItem(d, IDC_ABOUT_VERSION));
                  homepage = WindowText(GetDlgItem(d, IDC_ABOUT_HOMEPAGE));
                  for (int id : {IDC_ABOUT_HOMEPAGE, IDC_ABOUT_SUPPORT, IDC_ABOUT_MAIL})
                      opened.push_back(ClickLinkAndReadRequest(GetDlgItem(d, id)));
                  WinTestKeyPress(VK_RETURN);
              });
    EXPECT_EQ(title, "About Velmora Corvane");
    EXPECT_EQ(product, "Velmora Corvane");
    EXPECT_EQ(version, "Version: 2.3.4");
    EXPECT_EQ(homepage, "Velmora Corvane Homepage");
    EXPECT_EQ(opened, (std::vector<std::string>{PELORAN_HOMEPAGE_URL, PELORAN_SUPPORT_URL, PELORAN_MAIL_URL}));
}

TEST_F(SmallDialogs, AboutVersionComesFromTheSettingsBesideTheProgramOrDefaults) {
    EXPECT_EQ(std::string(CAboutDlg::ReadVersion(PeloranFileBesideProgram("settings.ini").c_str())), "1.1.0");
    EXPECT_EQ(std::string(CAboutDlg::ReadVersion(TempPath("missing.ini").c_str())), "1.0.0");
    std::string no_key = File("nokey.ini", "[Version]\nOTHER=9\n");
    EXPECT_EQ(std::string(CAboutDlg::ReadVersion(no_key.c_str())), "1.0.0");
}

TEST_F(SmallDialogs, TipsSkipCommentsAndBlankLinesAndCycleThroughTheFile) {
    std::string tips = File("tips.txt",
                            "; a comment\n"
                            "First tip.\n"
                            "\n"
                            " indented, not a tip\n"
                            "\tnot a tip either\n"
                            "Second tip.\r\n"
                            "Third tip.");  // no line end at the end of the file
    std::vector<std::string> seen;
    {
        CTipDlg dlg(nullptr, tips.c_str());
        EXPECT_TRUE(dlg.HasTipsFile());
        RunDriven([&] { dlg.DoModal(); },
                  [&] {
                      HWND d = WaitForDialog("Tip of the Day", 10000);
                      ASSERT_NE(d, nullptr);
                      HWND text = GetDlgItem(d, IDC_TIP_TEXT);
                      seen.push_back(WindowText(text));
                      for (int i = 0; i < 4; ++i) {
                          std::string before = WindowText(text);
                          ClickDlgItem(d, IDC_TIP_NEXT);
                          WaitUntil([&] { return WindowText(text) != before; }, 5000);
                          seen.push_back(WindowText(text));
                      }
                      ClickDlgItem(d, IDOK);
                  });
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"First tip.", "Second tip.", "Third tip.", "First tip.", "Second tip."}));
    // The next dialog goes on where this one stopped.
    CTipDlg next(nullptr, tips.c_str());
    EXPECT_EQ(std::string(next.m_strTipText), "Third tip.");
}

TEST_F(SmallDialogs, AReplacedTipsFileStartsFromItsFirstTip) {
    std::string tips = File("tips.txt", "One.\nTwo.\nThree.\n");
    {
        CTipDlg dlg(nullptr, tips.c_str());
        EXPECT_EQ(std::string(dlg.m_strTipText), "One.");
    }
    {
        CTipDlg dlg(nullptr, tips.c_str());
        EXPECT_EQ(std::string(dlg.m_strTipText), "Two.");
    }
    WriteFile(tips, "New one.\nNew two.\nNew three.\n");
    struct timeval later[2] = {{std::time(nullptr) + 120, 0}, {std::time(nullptr) + 120, 0}};
    ASSERT_EQ(utimes(tips.c_str(), later), 0);
    CTipDlg dlg(nullptr, tips.c_str());
    EXPECT_EQ(std::string(dlg.m_strTipText), "New one.");
}

TEST_F(SmallDialogs, TipsFilesWithoutTipsOrWithOverlongLines) {
    {
        CTipDlg dlg(nullptr, TempPath("no-such-tips.txt").c_str());
        EXPECT_FALSE(dlg.HasTipsFile());
        EXPECT_EQ(std::string(dlg.m_strTipText), "Tips file does not exist in the prescribed directory");
    }
    {
        // Only comments and blank lines: the dialog says so instead of reading for ever.
        CTipDlg dlg(nullptr, File("comments.txt", "; one\n\n ; two\n\t\n").c_str());
        EXPECT_EQ(std::string(dlg.m_strTipText), "The tips file holds no tips.");
        bool next_enabled = true;
        RunDriven([&] { dlg.DoModal(); },
                  [&] {
                      HWND d = WaitForDialog("Tip of the Day", 10000);
                      ASSERT_NE(d, nullptr);
                      next_enabled = IsWindowEnabled(GetDlgItem(d, IDC_TIP_NEXT));
                      ClickDlgItem(d, IDOK);
                  });
        EXPECT_FALSE(next_enabled);
    }
    {
        // The tail of a line longer than a tip is not taken for a tip of its own.
        std::string tips = File("long.txt", std::string(1500, 'x') + "\nShort tip.\n");
        CTipDlg dlg(nullptr, tips.c_str());
        EXPECT_EQ(dlg.m_strTipText.GetLength(), 1000);
        CString tip;
        dlg.GetNextTipString(tip);
        EXPECT_EQ(std::string(tip), "Short tip.");
    }
}

TEST_F(SmallDialogs, StartUpFlagIsKeptInTheProfileWhenClosed) {
    std::string tips = File("tips.txt", "Only tip.\n");
    {
        CTipDlg dlg(nullptr, tips.c_str());
        EXPECT_TRUE(dlg.m_bShowAtStartup);  // on until the user turns it off
        bool checked = false;
        RunDriven([&] { dlg.DoModal(); },
                  [&] {
                      HWND d = WaitForDialog("Tip of the Day", 10000);
                      ASSERT_NE(d, nullptr);
                      HWND box = GetDlgItem(d, IDC_TIP_STARTUP);
                      checked = SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
                      ClickWindow(box);
                      WaitUntil([&] { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, 5000);
                      ClickDlgItem(d, IDOK);
                  });
        EXPECT_TRUE(checked);
    }
    EXPECT_EQ(GetPrivateProfileIntA(TIP_SECTION, TIP_ENTRY_STARTUP, -1, profile.c_str()), 1);
    CTipDlg again(nullptr, tips.c_str());
    EXPECT_FALSE(again.m_bShowAtStartup);
}

TEST_F(SmallDialogs, TipIsDrawnOnWhiteBesideTheBulb) {
    std::string tips = File("tips.txt", "A tip.\n");
    CTipDlg dlg(nullptr, tips.c_str());
    COLORREF frame_inside = 0, bulb = 0, text_back = 0;
    RunDriven([&] { dlg.DoModal(); },
              [&] {
                  HWND d = WaitForDialog("Tip of the Day", 10000);
                  ASSERT_NE(d, nullptr);
                  RECT fr, tr;
                  GetWindowRect(GetDlgItem(d, IDC_TIP_FRAME), &fr);
                  GetWindowRect(GetDlgItem(d, IDC_TIP_TEXT), &tr);
                  RECT wr;
                  GetWindowRect(d, &wr);  // the picture is of the whole window
                  POINT o{wr.left, wr.top};
                  // Looks again until the dialog has painted its frame (the UI thread paints
                  // in its own time); what the last look saw is checked.
                  testwait::Until(
                      [&] {
                          WinTestWindowPicture pic(d);
                          // Inside the frame, right of the heading; the bulb's glass; behind
                          // the text.
                          frame_inside = pic.At(fr.right - o.x - 6, fr.bottom - o.y - 6);
                          bulb = pic.At(fr.left - o.x + 16, fr.top - o.y + 8);
                          text_back = pic.At(tr.right - o.x - 2, tr.bottom - o.y - 2);
                          return frame_inside == RGB(255, 255, 255) && text_back == RGB(255, 255, 255);
                      },
                      std::chrono::seconds(10));
                  ::mkdir("captures", 0777);
                  WinTestCaptureWindowPng(d, "captures/tip_of_the_day.png");
                  ClickDlgItem(d, IDOK);
              });
    EXPECT_EQ(frame_inside, RGB(255, 255, 255));
    EXPECT_EQ(bulb, RGB(0xFF, 0xE0, 0x40));
    EXPECT_EQ(text_back, RGB(255, 255, 255));
}

TEST_F(SmallDialogs, EveryLabelAndButtonHoldsItsText) {
    auto misfits = [&](CDialog& dlg, const char* title) {
        std::vector<std::string> found;
        RunDriven([&] { dlg.DoModal(); },
                  [&] {
                      HWND d = WaitForDialog(title, 10000);
                      ASSERT_NE(d, nullptr);
                      found = textfit::Misfits(d);
                      WinTestCloseRequest(d);
                  });
        return found;
    };
    CDecoderInfoDlg info;
    info.SetFileName("/home/user/Videos/holiday clip.avi");
    std::vector<std::string> found = misfits(info, "No decoder to decode the video file:");
    EXPECT_TRUE(found.empty()) << textfit::Joined(found);
    CAboutDlg about(nullptr, File("settings.ini", "[Version]\nMARDEVOLTA=12.34.56\n").c_str());
    found = misfits(about, "About Velmora Corvane");
    EXPECT_TRUE(found.empty()) << textfit::Joined(found);
    CTipDlg tips(nullptr, File("tips.txt", "A tip of a few words.\n").c_str());
    found = misfits(tips, "Tip of the Day");
    EXPECT_TRUE(found.empty()) << textfit::Joined(found);
    std::atomic<int> never{0};
    CWaitDlg wait(nullptr, &never);
    found = misfits(wait, "Loading media file, please wait...");
    EXPECT_TRUE(found.empty()) << textfit::Joined(found);
}

TEST_F(SmallDialogs, WaitBoxClosesWhenReadyOrAskedToClose) {
    std::atomic<int> ready{0};
    CWaitDlg dlg(nullptr, &ready);
    INT_PTR result = 0;
    std::string text;
    RunDriven([&] { result = dlg.DoModal(); },
              [&] {
                  HWND d = WaitForDialog("Loading media file, please wait...", 10000);
                  ASSERT_NE(d, nullptr);
                  text = DialogStaticTexts(d);
                  ::mkdir("captures", 0777);
                  WinTestCaptureWindowPng(d, "captures/wait.png");
                  ready = 1;
              });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(text, "Loading media file, please wait...");

    CWaitDlg closing;
    RunDriven([&] { result = closing.DoModal(); },
              [&] {
                  HWND d = WaitForDialog("Loading media file", 10000);
                  ASSERT_NE(d, nullptr);
                  WinTestCloseRequest(d);
              });
    EXPECT_EQ(result, IDOK);
}

TEST_F(SmallDialogs, HelpPagesLieBesideTheProgramAndOpenWithTheOpener) {
    std::string folder = PeloranProgramFolder();
    struct stat st;
    ASSERT_EQ(stat((folder + "/help/overview.htm").c_str(), &st), 0);
    ASSERT_EQ(stat((folder + "/tips.txt").c_str(), &st), 0);
    std::string chm = folder + "/help.chm::/overview.htm";
    EXPECT_NE(HtmlHelpA(nullptr, chm.c_str(), HH_DISPLAY_TOPIC, 0), nullptr);
    ASSERT_EQ(WinTestShellRequestCount(), 1);
    EXPECT_NE(RequestWord(0, 1).find(folder + "/help/overview.htm"), std::string::npos) << RequestWord(0, 1);
    // The shipped tips file has tips.
    CTipDlg dlg;
    EXPECT_TRUE(dlg.HasTipsFile());
    EXPECT_FALSE(dlg.m_strTipText.IsEmpty());
    EXPECT_NE(std::string(dlg.m_strTipText), "The tips file holds no tips.");
}

}  // namespace

namespace {

TEST(ProgramFolder, FilesBesideTheProgramGetOneSeparator) {
    EXPECT_EQ(PeloranFileBesideProgram("/opt/peloran", "z-arud.qvk"), "/opt/peloran/z-arud.qvk");
    EXPECT_EQ(PeloranFileBesideProgram("/opt/peloran/", "z-arud.qvk"), "/opt/peloran/z-arud.qvk");
    EXPECT_EQ(PeloranFileBesideProgram("/", "tips.txt"), "/tips.txt");
    EXPECT_EQ(PeloranFileBesideProgram("", "tips.txt"), "tips.txt");
    // The running test program's own folder holds the shipped files.
    std::string folder = PeloranProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '/');
    struct stat st;
    EXPECT_EQ(stat(PeloranFileBesideProgram("settings.ini").c_str(), &st), 0);
    EXPECT_EQ(stat(PeloranFileBesideProgram("z-arud.qvk").c_str(), &st), 0);
}

}  // namespace

namespace {

// The program's boxes keep blanks around their texts ("    Mission accomplished!        "):
// a box sized to the measured text must show it on one line, not push the last word out.
TEST(MessageTexts, BlanksAroundATextDoNotWrapItInTheWidthItWasMeasuredAt) {
    HDC dc = GetDC(nullptr);
    for (const char* text : {"    Mission accomplished!        ", "  Stop the video convert operation?   "}) {
        const UINT fmt = DT_WORDBREAK | DT_NOPREFIX | DT_LEFT;
        RECT measured{0, 0, 1000, 0};
        DrawTextA(dc, text, -1, &measured, fmt | DT_CALCRECT);
        RECT again{0, 0, measured.right, 0};
        DrawTextA(dc, text, -1, &again, fmt | DT_CALCRECT);
        EXPECT_EQ(again.bottom, measured.bottom) << text;
    }
    ReleaseDC(nullptr, dc);
}

}  // namespace
