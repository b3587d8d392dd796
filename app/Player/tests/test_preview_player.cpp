// The preview player in a small host window of its own: a 320x240 picture area holding a
// placeholder bitmap, and a host that hands graph events back to the player, as the main
// dialog does. The clips come from the test media generator; the clock is driven by hand.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "CDXGraph.h"
#include "PreviewPlayer.h"
#include "preview_test_support.h"

using namespace previewtest;

namespace {

constexpr int kW = 320, kH = 240;          // the clip's size, and the area's
constexpr int kAreaX = 20, kAreaY = 20;    // the area inside the host
constexpr COLORREF kPlaceholder = RGB(10, 200, 60);

CPreviewPlayer* g_player = nullptr;
int g_notifications = 0;

LRESULT WINAPI HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_GRAPHNOTIFY) {
        ++g_notifications;
        if (g_player) g_player->OnGraphNotify();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

class PreviewPlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new testmedia::ScratchDir("preview_player");
        testmedia::Options o;
        o.seconds = 2.0;  // 50 frames, key frames every 12
        ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, *dir_ / "clip.avi", o));
        ASSERT_TRUE(testmedia::WriteJunk(*dir_ / "junk.avi"));
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }

    void SetUp() override {
        WinTestUseRealTime(FALSE);  // positions follow the hand-driven clock, also outside CTest
        static bool registered = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = HostProc;
            wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
            wc.lpszClassName = "PreviewTestHost";
            return RegisterClassA(&wc) != 0;
        }();
        ASSERT_TRUE(registered);
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        host_ = CreateWindowExA(0, "PreviewTestHost", "", WS_POPUP | WS_VISIBLE, 0, 0, 360, 280, nullptr, nullptr,
                                nullptr, nullptr);
        area_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BITMAP, kAreaX, kAreaY, kW, kH, host_,
                                reinterpret_cast<HMENU>(1028), nullptr, nullptr);
        ASSERT_TRUE(host_ && area_);
        placeholder_ = SolidBitmap(kW, kH, kPlaceholder);
        SendMessageA(area_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(placeholder_));
        g_notifications = 0;
        g_player = &player_;
        WinTestPumpUntilIdle();
        ASSERT_TRUE(ShowsPlaceholder());
    }
    void TearDown() override {
        player_.Close();
        g_player = nullptr;
        DestroyWindow(host_);
        DeleteObject(placeholder_);
        CoUninitialize();
    }

    void Open(const char* name) { player_.Open((*dir_ / name).c_str(), area_, host_); }
    double Position() {
        double p = -1;
        player_.GetPosition(&p);
        return p;
    }
    double Duration() {
        double d = 0;
        player_.GetDuration(&d);
        return d;
    }
    FrameMatch Shown() {
        WinTestWindowPicture pic(area_);
        return MatchFrame(pic, 0, 0, kW, kH, 50);
    }
    // The area shows clip frame `frame`, closely.
    bool ShowsFrame(int frame) {
        FrameMatch m = Shown();
        return m.frame == frame && m.error < 12;
    }
    bool ShowsPlaceholder() {
        WinTestWindowPicture pic(area_);
        return pic.w == kW && pic.h == kH && pic.Count(kPlaceholder) == kW * kH;
    }
    HWND VideoWindow() { return GetWindow(area_, GW_CHILD); }

    static testmedia::ScratchDir* dir_;
    HWND host_ = nullptr, area_ = nullptr;
    HBITMAP placeholder_ = nullptr;
    CPreviewPlayer player_;
};

testmedia::ScratchDir* PreviewPlayerTest::dir_ = nullptr;

TEST_F(PreviewPlayerTest, OpenShowsTheFirstFramePausedAndPlayFollowsTheClock) {
    Open("clip.avi");
    ASSERT_TRUE(player_.HasGraph());
    EXPECT_NEAR(2.0, Duration(), 0.05);
    EXPECT_EQ(0.0, Position());
    ASSERT_TRUE(Eventually([&] { return ShowsFrame(0); })) << Shown().frame << " " << Shown().error;
    // Paused after opening: the clock moving changes nothing.
    WinTestAdvanceClock(500);
    Settle();
    EXPECT_EQ(0.0, Position());
    EXPECT_TRUE(ShowsFrame(0));

    player_.Play();
    WinTestAdvanceClock(400);
    EXPECT_NEAR(0.4, Position(), 1e-9);
    EXPECT_TRUE(Eventually([&] { return ShowsFrame(10); })) << Shown().frame << " " << Shown().error;
    WinTestAdvanceClock(600);
    EXPECT_NEAR(1.0, Position(), 1e-9);
    EXPECT_TRUE(Eventually([&] { return ShowsFrame(25); })) << Shown().frame << " " << Shown().error;

    // Pause holds both the frame and the position; playing again goes on from there.
    player_.Pause();
    WinTestAdvanceClock(700);
    Settle();
    EXPECT_NEAR(1.0, Position(), 1e-9);
    EXPECT_TRUE(ShowsFrame(25));
    player_.Play();
    WinTestAdvanceClock(200);
    EXPECT_NEAR(1.2, Position(), 1e-9);
    EXPECT_TRUE(Eventually([&] { return ShowsFrame(30); })) << Shown().frame << " " << Shown().error;
    EXPECT_EQ(0, g_notifications);
}

TEST_F(PreviewPlayerTest, SeekShowsTheKeyFrameAtOrBeforeThePoint) {
    Open("clip.avi");
    ASSERT_TRUE(Eventually([&] { return ShowsFrame(0); }));
    // Key frames at 0, 12, 24, 36 and 48 (0.48 s apart).
    player_.Seek(1.0);
    EXPECT_NEAR(0.96, Position(), 1e-9);
    EXPECT_TRUE(Eventually([&] { return ShowsFrame(24); })) << Shown().frame << " " << Shown().error;
    player_.Seek(0.5);
    EXPECT_NEAR(0.48, Position(), 1e-9);
    EXPECT_TRUE(Eventually([&] { return ShowsFrame(12); })) << Shown().frame << " " << Shown().error;
    // Seeking while playing keeps playing from the key frame.
    player_.Play();
    player_.Seek(1.5);
    EXPECT_NEAR(1.44, Position(), 1e-9);
    EXPECT_TRUE(Eventually([&] { return ShowsFrame(36); })) << Shown().frame << " " << Shown().error;
    WinTestAdvanceClock(200);
    EXPECT_NEAR(1.64, Position(), 1e-9);
    EXPECT_TRUE(Eventually([&] { return ShowsFrame(41); })) << Shown().frame << " " << Shown().error;
    // Values that are no time at all are refused rather than turned into one.
    player_.Seek(std::nan(""));
    player_.Seek(HUGE_VAL);
    EXPECT_NEAR(1.64, Position(), 1e-9);
}

TEST_F(PreviewPlayerTest, TheEndOfTheClipStartsItAgainFromTheBeginning) {
    Open("clip.avi");
    player_.Play();
    WinTestAdvanceClock(1900);
    Settle();
    EXPECT_EQ(0, g_notifications);
    WinTestAdvanceClock(200);
    // The end reaches the host as WM_GRAPHNOTIFY; the player seeks to 0 and keeps playing.
    ASSERT_TRUE(Eventually([&] { return g_notifications >= 1; }));
    EXPECT_EQ(0.0, Position());
    EXPECT_TRUE(Eventually([&] { return ShowsFrame(0); })) << Shown().frame << " " << Shown().error;
    WinTestAdvanceClock(480);
    EXPECT_NEAR(0.48, Position(), 1e-9);
    EXPECT_TRUE(Eventually([&] { return ShowsFrame(12); })) << Shown().frame << " " << Shown().error;
    // And at the next end, again.
    WinTestAdvanceClock(1600);
    ASSERT_TRUE(Eventually([&] { return g_notifications >= 2; }));
    EXPECT_EQ(0.0, Position());
    // A late notification with nothing pending changes nothing.
    WinTestAdvanceClock(100);
    SendMessageA(host_, WM_GRAPHNOTIFY, 0, 0);
    EXPECT_NEAR(0.1, Position(), 1e-9);
}

TEST_F(PreviewPlayerTest, CloseTakesThePictureAwayAndShowsThePlaceholder) {
    Open("clip.avi");
    player_.Play();
    WinTestAdvanceClock(300);
    ASSERT_TRUE(Eventually([&] { return ShowsFrame(7) || ShowsFrame(8); }));
    EXPECT_FALSE(ShowsPlaceholder());
    ASSERT_NE(nullptr, VideoWindow());
    player_.Close();
    EXPECT_FALSE(player_.HasGraph());
    EXPECT_EQ(nullptr, VideoWindow());
    EXPECT_TRUE(Eventually([&] { return ShowsPlaceholder(); }));
    // Nothing is left to ask or to drive.
    double p = 7;
    player_.GetPosition(&p);
    player_.GetDuration(&p);
    EXPECT_EQ(7, p);
    player_.Play();
    player_.Pause();
    player_.Seek(1.0);
    player_.OnGraphNotify();
    player_.Close();
    EXPECT_FALSE(player_.HasGraph());
    // The end of a clip that was closed never arrives.
    WinTestAdvanceClock(3000);
    Settle();
    EXPECT_EQ(0, g_notifications);
}

TEST_F(PreviewPlayerTest, OpeningAgainReplacesTheGraph) {
    Open("clip.avi");
    player_.Play();
    WinTestAdvanceClock(1000);
    ASSERT_TRUE(Eventually([&] { return ShowsFrame(25); }));
    Open("clip.avi");
    EXPECT_EQ(0.0, Position());
    EXPECT_TRUE(Eventually([&] { return ShowsFrame(0); })) << Shown().frame << " " << Shown().error;
    // One picture window, under the area.
    HWND video = VideoWindow();
    ASSERT_NE(nullptr, video);
    EXPECT_EQ(nullptr, GetWindow(video, GW_HWNDNEXT));
    RECT r{};
    GetClientRect(video, &r);
    EXPECT_EQ(kW, r.right);
    EXPECT_EQ(kH, r.bottom);
    EXPECT_EQ("clip.avi", player_.GetFileName().substr(player_.GetFileName().size() - 8));
}

TEST_F(PreviewPlayerTest, AFileThatCannotBePlayedLeavesThePlaceholderAndNoDuration) {
    for (const char* name : {"junk.avi", "missing.avi", ""}) {
        SCOPED_TRACE(name);
        if (*name)
            Open(name);
        else
            player_.Open("", area_, host_);
        // An empty graph stands: nothing plays, nothing is shown, no duration to divide by.
        EXPECT_TRUE(player_.HasGraph());
        EXPECT_EQ(nullptr, VideoWindow());
        double d = 0, p = 0;
        player_.GetDuration(&d);
        player_.GetPosition(&p);
        EXPECT_EQ(0, d);
        EXPECT_EQ(0, p);
        player_.Play();
        player_.Seek(1.0);
        WinTestAdvanceClock(3000);
        Settle();
        player_.Pause();
        player_.OnGraphNotify();
        EXPECT_TRUE(ShowsPlaceholder());
        EXPECT_EQ(0, g_notifications);
        player_.Close();
    }
}

// Names are handed to the media layer whole: long ones (past the old 260-character limit) and
// ones outside ASCII open the file they name.
TEST_F(PreviewPlayerTest, LongAndNonAsciiNamesOpenTheirFile) {
    std::string folder = *dir_ / std::string(200, 'd');
    ASSERT_EQ(0, mkdir(folder.c_str(), 0700));
    std::string names[] = {folder + "/" + std::string(120, 'n') + ".avi", *dir_ / "caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac.avi"};
    testmedia::Options o;
    o.seconds = 1.0;
    for (const std::string& path : names) {
        SCOPED_TRACE(path);
        ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, path, o));
        player_.Open(path.c_str(), area_, host_);
        EXPECT_EQ(path, player_.GetFileName());
        EXPECT_NEAR(1.0, Duration(), 0.05);
        EXPECT_TRUE(Eventually([&] { return ShowsFrame(0); }));
        player_.Close();
    }
    EXPECT_GT(names[0].size(), 330u);
}

// The wrapper on its own: building, releasing and the forwards the preview does not use.
TEST(DXGraph, CreateReleaseAndForwards) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    {
        CDXGraph graph;
        EXPECT_EQ(nullptr, graph.GetGraph());
        // Nothing built: every operation fails quietly.
        double v = 3;
        EXPECT_FALSE(graph.Run());
        EXPECT_FALSE(graph.GetDuration(&v));
        EXPECT_FALSE(graph.SetCurrentPosition(1));
        EXPECT_FALSE(graph.RenderFile("x.avi"));
        EXPECT_EQ(3, v);

        ASSERT_TRUE(graph.Create());
        IGraphBuilder* first = graph.GetGraph();
        ASSERT_NE(nullptr, first);
        EXPECT_NE(nullptr, graph.GetEventHandler());
        EXPECT_TRUE(graph.Create()) << "a second Create keeps the graph";
        EXPECT_EQ(first, graph.GetGraph());
        EXPECT_TRUE(graph.IsStopped());
        EXPECT_FALSE(graph.IsRunning());

        testmedia::ScratchDir dir("dxgraph");
        testmedia::Options o;
        o.seconds = 1.0;
        ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, dir / "clip.avi", o));
        EXPECT_LT(0, CDXGraph::GetFileSizeByName((dir / "clip.avi").c_str()));
        EXPECT_EQ(0, CDXGraph::GetFileSizeByName((dir / "none.avi").c_str()));
        EXPECT_EQ(0, CDXGraph::GetFileSizeByName(dir.path().c_str()));

        ASSERT_TRUE(graph.RenderFile((dir / "clip.avi").c_str()));
        EXPECT_TRUE(graph.GetDuration(&v));
        EXPECT_NEAR(1.0, v, 0.05);
        EXPECT_TRUE(graph.Pause());
        EXPECT_TRUE(graph.IsPaused());
        EXPECT_TRUE(graph.Pause()) << "already paused";
        EXPECT_TRUE(graph.Run());
        EXPECT_TRUE(graph.IsRunning());
        EXPECT_TRUE(graph.Stop());
        EXPECT_TRUE(graph.IsStopped());
        graph.HandleEvents();

        // Another graph taken over in place of this one.
        IGraphBuilder* other = nullptr;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                         reinterpret_cast<void**>(&other)));
        EXPECT_TRUE(graph.Attach(other));
        EXPECT_EQ(other, graph.GetGraph());
        EXPECT_NE(nullptr, graph.GetEventHandler());
        EXPECT_FALSE(graph.Attach(nullptr));
        EXPECT_EQ(nullptr, graph.GetGraph());
        EXPECT_EQ(nullptr, graph.GetEventHandler());
        // Every reference the wrapper took is given back: ours is the last one.
        EXPECT_EQ(0u, other->Release());
        graph.Release();  // twice is harmless
    }
    CoUninitialize();
}

}  // namespace

namespace {

// Sizes that are no multiple of the scaler's vector width, drawn scaled into the area.
TEST_F(PreviewPlayerTest, ClipsOfUnevenSizesPlayAndFillTheirPlace) {
    for (auto size : {std::make_pair(152, 124), std::make_pair(98, 74), std::make_pair(322, 242)}) {
        SCOPED_TRACE(size.first);
        testmedia::Options o;
        o.seconds = 0.5;
        o.width = size.first;
        o.height = size.second;
        std::string name = "size" + std::to_string(size.first) + ".avi";
        ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, *dir_ / name, o));
        Open(name.c_str());
        player_.Play();
        WinTestAdvanceClock(300);
        RECT fit = FitPicture(kW, kH, size.first, size.second);
        EXPECT_TRUE(Eventually([&] {
            WinTestWindowPicture pic(area_);
            FrameMatch m = MatchScaledFrame(pic, fit, size.first, size.second, 13);
            return m.frame >= 6 && m.frame <= 8 && m.error < 20;
        }));
        player_.Close();
    }
}

}  // namespace
