// The program end to end on the headless backend: the real main dialog runs modally on this
// thread while a second thread works it with injected clicks and keys, as a user would. Files
// come from the media generator, outputs are checked by decoding them.
#include <sys/stat.h>

#include "PeloranDlg.h"
#include "app_test_support.h"
#include "testmedia.h"

using namespace apptest;
using namespace peloran_auto;

namespace {

TestApp g_app;

const char* const kTitle = "Velmora Corvane";

bool Exists(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0;
}

int ShutdownRequests() {
    int n = 0;
    for (int i = 0; i < WinTestShellRequestCount(); ++i) {
        std::string program = RequestWord(i, 0);
        n += program == "systemctl" || program == "loginctl";
    }
    return n;
}

// Captures go beside the test program, for people to look at.
std::string CapturePath(const char* name) { return std::string("captures/") + name + ".png"; }

// A picture of the main dialog with helpers to find controls and cells in it.
struct Shot {
    WinTestWindowPicture pic;
    RECT win{};
    explicit Shot(HWND main) : pic(main) { GetWindowRect(main, &win); }
    COLORREF At(POINT screen) const { return pic.At(screen.x - win.left, screen.y - win.top); }
    // Pixels of the rectangle (screen coordinates) that satisfy `is`.
    int Count(RECT r, bool (*is)(COLORREF)) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += is(At(POINT{x, y}));
        return n;
    }
};
RECT ScreenRectOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}
RECT CellRect(HWND list, int row, int column) {
    RECT r{};
    r.top = column;
    r.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETSUBITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(&r));
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
bool IsRed(COLORREF c) { return GetRValue(c) > 170 && GetGValue(c) < 100 && GetBValue(c) < 100; }
bool IsDark(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 240; }
bool IsLight(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) > 600; }
bool IsWhite(COLORREF c) { return c == RGB(255, 255, 255); }

class EndToEnd : public testing::Test {
protected:
    void SetUp() override {
        // Nothing a test does may power the machine off: every start request is recorded.
        WinTestShellRecord(TRUE);
        WinTestShellSetShutdownRecorder(TempPath("shutdown.log").c_str());
        WinTestShellSetOpenerRecorder(TempPath("opener.log").c_str());
        WinTestShellClearRequests();
        WinTestClearScripts();
        profile = TempPath("profile.ini");
        g_app.UseProfile(profile);
        ::mkdir("captures", 0777);
        out = media.path() + "/out folder";
    }
    void TearDown() override {
        WinTestClearScripts();
        WinTestShellSetShutdownRecorder(nullptr);
        WinTestShellSetOpenerRecorder(nullptr);
        std::remove(TempPath("shutdown.log").c_str());
        std::remove(TempPath("opener.log").c_str());
        std::remove(profile.c_str());
        SetUiInvoker(nullptr);
    }

    // Adds files through the open-file dialog and waits for `rows` rows, and for the loading box
    // of a slow add to have gone.
    static bool AddFiles(HWND main, const std::string& folder, const std::string& names, int rows) {
        WinTestScriptOpenFile(folder.c_str(), names.c_str());
        ClickDlgItem(main, IDC_ADD);
        return WaitUntil([&] { return ListRowCount(GetDlgItem(main, IDC_FILELIST)) == rows && IsWindowEnabled(main); },
                         60000);
    }

    static bool SetOutputAndVideo(HWND main, const std::string& folder) {
        HWND edit = GetDlgItem(main, IDC_OUTFOLDER);
        EXPECT_TRUE(TypeIntoEdit(edit, folder.c_str())) << WindowText(edit);
        HWND codec = GetDlgItem(main, IDC_VIDEOCODEC), size = GetDlgItem(main, IDC_FRAMESIZE);
        EXPECT_TRUE(ChooseComboEntry(codec, "h264")) << WindowText(codec);
        EXPECT_TRUE(ChooseComboEntry(size, "640x360")) << WindowText(size);
        return WindowText(edit) == folder && WindowText(codec) == "h264" && WindowText(size) == "640x360";
    }

    testmedia::ScratchDir media{"peloran_e2e"};
    std::string out;
    std::string profile;
};

TEST_F(EndToEnd, AddsThreeFilesConvertsTheTwoGoodOnesAndShutsDownOnce) {
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, media / "first.avi", 2.0, 320, 240, 25));
    ASSERT_TRUE(testmedia::WriteJunk(media / "broken.avi"));
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::Mov, media / "second.mov", 2.0, 320, 240, 25));

    CPeloranDlg dlg;
    UiInvoker ui;
    SetUiInvoker(&ui);
    std::string decoder_path, final_text, about_version;
    std::vector<std::string> names, ready, done;
    std::vector<int> percent, status, checked;
    bool help_opened = false;
    int shutdowns_during_batch = -1;

    RunDriven([&] { dlg.DoModal(); },
              [&] {
                  HWND main = nullptr;
                  ASSERT_TRUE(WaitUntil([&] { return (main = FindTopLevel(kTitle)) != nullptr; }, 20000));
                  HWND list = GetDlgItem(main, IDC_FILELIST);
                  // The pictures below are of the window as painted, not as it was half-way.
                  ASSERT_TRUE(ui.WaitUntilPainted(20000));
                  WinTestCaptureWindowPng(main, CapturePath("main_idle").c_str());
                  {
                      // Idle: an empty white list, a dark preview picture, no red Stop face.
                      Shot idle(main);
                      RECT lr = ScreenRectOf(list), pr = ScreenRectOf(GetDlgItem(main, IDC_PREVIEW));
                      EXPECT_TRUE(IsWhite(idle.At(POINT{(lr.left + lr.right) / 2, lr.bottom - 20})));
                      EXPECT_TRUE(IsDark(idle.At(POINT{pr.left + 20, (pr.top + pr.bottom) / 2})));
                      EXPECT_LT(idle.Count(ScreenRectOf(GetDlgItem(main, IDC_START)), IsRed), 20);
                  }

                  // Three files at once; the junk one is named in the missing-decoder box.
                  WinTestScriptOpenFile(media.path().c_str(), "first.avi\nbroken.avi\nsecond.mov");
                  ClickDlgItem(main, IDC_ADD);
                  HWND info = WaitForDialog("No decoder to decode the video file:", 60000, main);
                  ASSERT_NE(info, nullptr);
                  decoder_path = WindowText(GetDlgItem(info, 1049));
                  ClickDlgItem(info, IDOK);
                  ASSERT_TRUE(WaitUntil([&] { return ListRowCount(list) == 2 && IsWindowEnabled(main); }, 60000));
                  for (int r = 0; r < 2; ++r) {
                      names.push_back(ListCellText(list, r, 1));
                      ready.push_back(ListCellText(list, r, 4));
                  }

                  // About reads the settings beside the program; Help opens the overview page.
                  ClickDlgItem(main, IDC_ABOUT);
                  HWND about = WaitForDialog("About Velmora Corvane", 10000, main);
                  ASSERT_NE(about, nullptr);
                  about_version = WindowText(GetDlgItem(about, 1031));
                  ClickDlgItem(about, IDOK);
                  WaitUntil([&] { return !IsWindow(about); }, 5000);
                  int before = WinTestShellRequestCount();
                  ClickDlgItem(main, IDC_HELPBTN);
                  WaitUntil([&] { return WinTestShellRequestCount() > before; }, 5000);
                  help_opened = WinTestShellRequestCount() > before &&
                                RequestWord(before, 1).find("/help/overview.htm") != std::string::npos;

                  ASSERT_TRUE(SetOutputAndVideo(main, out));
                  HWND shutdown = GetDlgItem(main, IDC_SHUTDOWN);
                  ClickWindow(shutdown);
                  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(shutdown, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 5000));

                  ClickDlgItem(main, IDC_START);
                  ASSERT_TRUE(WaitUntil([&] { return ListCellText(list, 0, 4) != "Ready"; }, 30000));
                  WinTestCaptureWindowPng(main, CapturePath("main_batch").c_str());

                  HWND box = WaitForDialog("Mission accomplished!", 300000, main);
                  ASSERT_NE(box, nullptr);
                  final_text = DialogStaticTexts(box);
                  shutdowns_during_batch = ShutdownRequests();
                  ClickDlgItem(box, IDOK);
                  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 10000));
                  ASSERT_TRUE(ui.WaitUntilPainted(20000));
                  WinTestCaptureWindowPng(main, CapturePath("main_after").c_str());
                  {
                      // After: the Start face is back and the status cells are plain again.
                      Shot after(main);
                      EXPECT_LT(after.Count(ScreenRectOf(GetDlgItem(main, IDC_START)), IsRed), 20);
                      RECT cell = CellRect(list, 0, 4);
                      EXPECT_FALSE(IsDark(after.At(POINT{cell.left + 3, (cell.top + cell.bottom) / 2})));
                  }
                  for (int r = 0; r < 2; ++r) done.push_back(ListCellText(list, r, 4));
                  ui.Run([&] {
                      for (int r = 0; r < 2; ++r) {
                          FileRecord* rec = dlg.GetRecord(r);
                          percent.push_back(rec ? rec->nPercent : -1);
                          status.push_back(rec ? rec->nStatus : -1);
                          checked.push_back(dlg.GetFileList().GetCheckbox(r, 0));
                      }
                  });
                  WinTestCloseRequest(main);
              });

    EXPECT_EQ(decoder_path, media / "broken.avi");
    EXPECT_EQ(names, (std::vector<std::string>{"first.avi", "second.mov"}));
    EXPECT_EQ(ready, (std::vector<std::string>{"Ready", "Ready"}));
    EXPECT_EQ(about_version, "Version: 1.1.0");
    EXPECT_TRUE(help_opened);
    EXPECT_NE(final_text.find("    Mission accomplished!        "), std::string::npos) << final_text;
    EXPECT_EQ(done, (std::vector<std::string>{"Completed", "Completed"}));
    EXPECT_EQ(percent, (std::vector<int>{100, 100}));
    EXPECT_EQ(status, (std::vector<int>{FILE_STATUS_FINISHED, FILE_STATUS_FINISHED}));
    EXPECT_EQ(checked, (std::vector<int>{0, 0}));
    EXPECT_EQ(shutdowns_during_batch, 1);
    EXPECT_EQ(ShutdownRequests(), 1);

    for (const char* name : {"first_new.mp4", "second_new.mp4"}) {
        std::string path = out + "/" + name;
        ASSERT_TRUE(Exists(path)) << path;
        testmedia::Report r = testmedia::Check(path);
        ASSERT_TRUE(r.opened) << path;
        EXPECT_EQ(r.decodeErrors, 0) << path;
        const testmedia::StreamReport* v = r.FirstOf("video");
        const testmedia::StreamReport* a = r.FirstOf("audio");
        ASSERT_NE(v, nullptr);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(v->codec, "h264");
        EXPECT_EQ(v->width, 640);
        EXPECT_EQ(v->height, 360);
        EXPECT_EQ(a->codec, "aac");
        EXPECT_NEAR(r.duration, 2.0, 0.3) << path;
    }
    EXPECT_FALSE(Exists(out + "/broken_new.mp4"));
}

TEST_F(EndToEnd, CloseIsRefusedDuringABatchAndAStopFreezesTheRowLeavingAPlayablePart) {
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, media / "long.avi", 60.0, 640, 480, 25));
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, media / "next.avi", 1.5, 320, 240, 25));

    CPeloranDlg dlg;
    UiInvoker ui;
    SetUiInvoker(&ui);
    std::string question, question_caption, final_text, second_status, refused_text, refused_caption;
    bool main_survived_close = false;
    int first_percent = -1, first_status = -1, first_checked = -1, second_checked = -1;
    bool start_enabled_after = false;

    RunDriven([&] { dlg.DoModal(); },
              [&] {
                  HWND main = nullptr;
                  ASSERT_TRUE(WaitUntil([&] { return (main = FindTopLevel(kTitle)) != nullptr; }, 20000));
                  HWND list = GetDlgItem(main, IDC_FILELIST);
                  ASSERT_TRUE(AddFiles(main, media.path(), "long.avi\nnext.avi", 2));
                  ASSERT_TRUE(SetOutputAndVideo(main, out));
                  ClickDlgItem(main, IDC_START);
                  // Stop once the first file is under way.
                  ASSERT_TRUE(WaitUntil(
                      [&] {
                          int p = 0;
                          ui.Run([&] {
                              FileRecord* r = dlg.GetRecord(0);
                              p = r ? r->nPercent : 0;
                          });
                          return p >= 5;
                      },
                      120000));
                  WinTestCaptureWindowPng(main, CapturePath("main_batch_progress").c_str());
                  {
                      // During the batch: the red Stop face, and a bar filling the start of the
                      // status cell while its end is still empty.
                      Shot batch(main);
                      EXPECT_GT(batch.Count(ScreenRectOf(GetDlgItem(main, IDC_START)), IsRed), 200);
                      RECT cell = CellRect(list, 0, 4);
                      int mid = (cell.top + cell.bottom) / 2;
                      EXPECT_TRUE(IsDark(batch.At(POINT{cell.left + 4, mid})));
                      EXPECT_TRUE(IsLight(batch.At(POINT{cell.right - 8, mid - 4})));
                  }
                  // Closing is refused while the batch runs.
                  WinTestCloseRequest(main);
                  HWND warning = WaitForDialog("The convert is running, please first stop convert then exit.", 30000, main);
                  if (warning) {
                      refused_caption = WindowText(warning);
                      refused_text = DialogStaticTexts(warning);
                      ClickDlgItem(warning, IDOK);
                      WaitUntil([&] { return !IsWindow(warning); }, 10000);
                  }
                  main_survived_close = IsWindow(main) && IsWindowVisible(main);

                  ClickDlgItem(main, IDC_START);
                  HWND ask = WaitForDialog("Stop the video convert operation?", 10000, main);
                  ASSERT_NE(ask, nullptr);
                  question = DialogStaticTexts(ask);
                  question_caption = WindowText(ask);
                  ClickDlgItem(ask, IDYES);
                  HWND box = WaitForDialog("Mission accomplished!", 120000, main);
                  ASSERT_NE(box, nullptr);
                  final_text = DialogStaticTexts(box);
                  ClickDlgItem(box, IDOK);
                  WaitUntil([&] { return !IsWindow(box); }, 10000);
                  WaitUntil([&] { return IsWindowEnabled(GetDlgItem(main, IDC_START)) != FALSE; }, 10000);
                  start_enabled_after = IsWindowEnabled(GetDlgItem(main, IDC_START));
                  second_status = ListCellText(list, 1, 4);
                  ui.Run([&] {
                      FileRecord* r = dlg.GetRecord(0);
                      first_percent = r ? r->nPercent : -1;
                      first_status = r ? r->nStatus : -1;
                      first_checked = dlg.GetFileList().GetCheckbox(0, 0);
                      second_checked = dlg.GetFileList().GetCheckbox(1, 0);
                  });
                  WinTestCloseRequest(main);
              });

    EXPECT_EQ(refused_caption, "Warning");
    EXPECT_NE(refused_text.find("The convert is running, please first stop convert then exit."), std::string::npos);
    EXPECT_TRUE(main_survived_close);
    EXPECT_NE(question.find("  Stop the video convert operation?   "), std::string::npos) << question;
    EXPECT_EQ(question_caption, "Warning");
    EXPECT_NE(final_text.find("    Mission accomplished!        "), std::string::npos);
    EXPECT_TRUE(start_enabled_after);
    EXPECT_EQ(first_status, FILE_STATUS_STOPPED);
    EXPECT_GE(first_percent, 5);
    EXPECT_LT(first_percent, 100);
    EXPECT_EQ(first_checked, 0);
    EXPECT_EQ(second_status, "Ready");
    EXPECT_EQ(second_checked, 1);
    EXPECT_EQ(ShutdownRequests(), 0);
    EXPECT_FALSE(Exists(out + "/next_new.mp4"));

    std::string part = out + "/long_new.mp4";
    ASSERT_TRUE(Exists(part));
    testmedia::Report r = testmedia::Check(part);
    ASSERT_TRUE(r.opened);
    EXPECT_EQ(r.decodeErrors, 0);
    const testmedia::StreamReport* v = r.FirstOf("video");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->codec, "h264");
    EXPECT_GT(v->framesDecoded, 0);
    EXPECT_GT(r.duration, 0.5);
    EXPECT_LT(r.duration, 59.0);
}

}  // namespace
