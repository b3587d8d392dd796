// The encoder wrapper's argument vector, its input script, its failure before the driver
// runs, and the engine log facility.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstring>
#include <future>
#include <thread>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "e2e_support.h"
#include "ffmpegEncoder.h"
#include "testmedia.h"

namespace {

using Args = std::vector<std::string>;

Args VectorOf(const CFFmpegEncoder& enc) {
    Args out;
    const CParamContainer& p = enc.GetParams();
    for (int i = 1; i < p.GetCount(); ++i) out.push_back(p.GetArg(i));
    return out;
}

// The settings the main dialog gives with its default choices.
void DialogDefaults(CFFmpegEncoder& enc, const std::string& in, const std::string& out) {
    enc.ResetDefaults();
    enc.SetInputFile(in);
    enc.SetOutputFile(out);
    enc.SetVideoCodec("mpeg4");
    enc.SetFrameSize(320, 240);
    enc.SetFrameRate(23.976);
    enc.SetVideoBitrate(512);
    enc.SetAudioCodec("aac");
    enc.SetSampleRate(44100);
    enc.SetChannels(2);
    enc.SetVolume(256);
    enc.SetAudioBitrate(64 / 2);
    enc.SetFixAspect(1);
}

std::size_t IndexOf(const Args& a, const std::string& word) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] == word) return i;
    return a.size();
}

std::string ValueOf(const Args& a, const std::string& option) {
    std::size_t i = IndexOf(a, option);
    return i + 1 < a.size() ? a[i + 1] : std::string("<missing>");
}

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class WrapperVector : public ::testing::Test {
protected:
    void SetUp() override { enc.SetScriptFolder(dir.path()); }
    testmedia::ScratchDir dir{"wrapper"};
    CFFmpegEncoder enc;
};

TEST_F(WrapperVector, DialogDefaultsGiveTheDocumentedVector) {
    DialogDefaults(enc, "/v/clip.avi", "/out/clip_new.mp4");
    ASSERT_EQ(0, enc.BuildArguments(PROFILE_IPOD));
    const Args expected = {"-i", "/v/clip.avi", "-title", "clip", "-bitexact", "-maxrate", "768",
                           "-bufsize", "4096", "-vcodec", "mpeg4", "-acodec", "aac", "-f", "ipod",
                           "-s", "320x240", "-r", "23.976000", "-fixaspect", "-b", "512", "-ac", "2",
                           "-ab", "32", "-vol", "256", "-ar", "44100", "/out/clip_new.mp4"};
    EXPECT_EQ(expected, VectorOf(enc));
    EXPECT_EQ(32, enc.GetParams().GetCount());
    EXPECT_EQ(nullptr, const_cast<CParamContainer&>(enc.GetParams()).GetSlots()[0]);
    EXPECT_FALSE(Exists(dir / "input.avs")) << "a directly read kind writes no script";
}

TEST_F(WrapperVector, TextSettersTakeWhatConvertsToACharacterPointer) {
    struct Text {  // a string class of the kind the dialog holds its texts in
        const char* s;
        operator const char*() const { return s; }
    };
    DialogDefaults(enc, "/v/clip.avi", "/o/x.mp4");
    enc.SetInputFile(Text{"/v/other.avi"});
    enc.SetOutputFile(Text{nullptr});
    enc.SetVideoCodec(Text{"h264"});
    ASSERT_EQ(0, enc.BuildArguments(PROFILE_IPOD));
    const Args a = VectorOf(enc);
    EXPECT_EQ("/v/other.avi", a[1]);
    EXPECT_EQ("h264", ValueOf(a, "-vcodec"));
    EXPECT_EQ("44100", a.back()) << "an empty output path adds no word";
}

TEST_F(WrapperVector, ResetDefaultsKeepsTheCodecNames) {
    enc.SetVideoCodec("h264");
    enc.SetAudioCodec("aac");
    enc.SetFrameSize(1, 1);
    enc.SetVolume(5);
    enc.SetDisableAudio(1);
    enc.SetFixAspect(0);
    enc.ResetDefaults();
    enc.SetInputFile("/v/a.avi");
    enc.SetOutputFile("/o/a.mp4");
    ASSERT_EQ(0, enc.BuildArguments(PROFILE_IPOD));
    const Args a = VectorOf(enc);
    EXPECT_EQ("h264", ValueOf(a, "-vcodec"));
    EXPECT_EQ("320x240", ValueOf(a, "-s"));
    EXPECT_EQ("29.970000", ValueOf(a, "-r"));
    EXPECT_EQ("768", ValueOf(a, "-b"));
    EXPECT_EQ("64", ValueOf(a, "-ab"));
    EXPECT_EQ("24000", ValueOf(a, "-ar"));
    EXPECT_EQ("2", ValueOf(a, "-ac"));
    EXPECT_EQ("100", ValueOf(a, "-vol"));
    EXPECT_NE(a.size(), IndexOf(a, "-fixaspect"));
    EXPECT_EQ(a.size(), IndexOf(a, "-an"));
}

TEST_F(WrapperVector, ProfilesChooseCodecsAndFormat) {
    struct Row {
        int profile;
        const char *v, *a, *f;
    } rows[] = {{0, "mpeg4", "aac", "mp4"},   {1, "mpeg4", "aac", "mov"}, {2, "h263", "amr_nb", "3gp"},
                {3, "xvid", "aac", "psp"},    {4, "mpeg4", "aac", "3g2"}, {5, "h263", "aac", "ipod"},
                {7, "mpeg4", "aac", "mp4"},   {-1, "mpeg4", "aac", "mp4"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.profile);
        DialogDefaults(enc, "/v/clip.avi", "/o/clip_new.mp4");
        enc.SetVideoCodec("h263");
        enc.SetAudioCodec("amr_nb");
        ASSERT_EQ(0, enc.BuildArguments(r.profile));
        const Args a = VectorOf(enc);
        ASSERT_EQ(31u, a.size());
        EXPECT_EQ(r.v, a[10]);
        EXPECT_EQ(r.a, a[12]);
        EXPECT_EQ(r.f, a[14]);
    }
    DialogDefaults(enc, "/v/clip.avi", "/o/clip_new.mp4");
    enc.BuildArguments(7);
    const Args seven = VectorOf(enc);
    enc.BuildArguments(0);
    EXPECT_EQ(VectorOf(enc), seven);
}

TEST_F(WrapperVector, TitlesComeFromTheFileName) {
    DialogDefaults(enc, "/v/clip.part1.avi", "/o/x.mp4");
    ASSERT_EQ(0, enc.BuildArguments(PROFILE_IPOD));
    EXPECT_EQ("clip.part1", ValueOf(VectorOf(enc), "-title"));

    DialogDefaults(enc, "C:\\v\\win.avi", "/o/x.mp4");
    ASSERT_EQ(0, enc.BuildArguments(PROFILE_IPOD));
    EXPECT_EQ("win", ValueOf(VectorOf(enc), "-title"));

    // No extension: read through the script, and the empty title leaves "-title" bare.
    DialogDefaults(enc, "/v.d/noext", "/o/x.mp4");
    ASSERT_EQ(0, enc.BuildArguments(PROFILE_IPOD));
    Args a = VectorOf(enc);
    EXPECT_EQ(dir / "input.avs", a[1]);
    EXPECT_EQ("-title", a[2]);
    EXPECT_EQ("-bitexact", a[3]);
    EXPECT_EQ(30u, a.size());
}

TEST_F(WrapperVector, NumbersAndOptionalFlags) {
    DialogDefaults(enc, "/v/a.avi", "/o/a.mp4");
    enc.SetFrameRate(29.97);
    enc.SetFrameSize(720, 320);
    enc.SetFixAspect(0);
    enc.SetDisableAudio(1);
    enc.SetChannels(1);
    enc.SetAudioBitrate(64);
    enc.SetVolume(0);
    ASSERT_EQ(0, enc.BuildArguments(PROFILE_IPOD));
    const Args a = VectorOf(enc);
    EXPECT_EQ("29.970000", ValueOf(a, "-r"));
    EXPECT_EQ("720x320", ValueOf(a, "-s"));
    EXPECT_EQ(a.size(), IndexOf(a, "-fixaspect"));
    std::size_t ab = IndexOf(a, "-ab");
    ASSERT_LT(ab + 3, a.size());
    EXPECT_EQ("64", a[ab + 1]);
    EXPECT_EQ("-an", a[ab + 2]);
    EXPECT_EQ("-vol", a[ab + 3]);
    EXPECT_EQ("0", ValueOf(a, "-vol"));
    EXPECT_EQ("1", ValueOf(a, "-ac"));
    EXPECT_EQ("/o/a.mp4", a.back());

    enc.SetFrameRate(14.985);
    enc.BuildArguments(PROFILE_IPOD);
    EXPECT_EQ("14.985000", ValueOf(VectorOf(enc), "-r"));
}

TEST_F(WrapperVector, MaximumRateNeverBelowTheChosenRate) {
    // Every rate the dialog offers must be accepted by the encoders.
    for (int rate : {128, 256, 384, 512, 768, 900, 1500, 2500}) {
        SCOPED_TRACE(rate);
        DialogDefaults(enc, "/v/a.avi", "/o/a.mp4");
        enc.SetVideoBitrate(rate);
        ASSERT_EQ(0, enc.BuildArguments(PROFILE_IPOD));
        const Args a = VectorOf(enc);
        EXPECT_EQ(std::to_string(rate), ValueOf(a, "-b"));
        EXPECT_EQ(std::to_string(rate > 768 ? rate : 768), ValueOf(a, "-maxrate"));
        EXPECT_EQ(31u, a.size());
    }
}

TEST_F(WrapperVector, LongPathsAreCarriedWhole) {
    const std::string folder = "/" + std::string(290, 'd');
    const std::string in = folder + "/clip.avi";
    const std::string out = folder + "/clip_new.mp4";
    DialogDefaults(enc, in, out);
    ASSERT_EQ(0, enc.BuildArguments(PROFILE_IPOD));
    const Args a = VectorOf(enc);
    EXPECT_EQ(in, a[1]);
    EXPECT_EQ(out, a.back());
}

TEST_F(WrapperVector, ScriptKindsAreReadThroughTheScript) {
    DialogDefaults(enc, "/media/Movie.WMV", "/o/Movie_new.mp4");
    ASSERT_EQ(0, enc.BuildArguments(PROFILE_IPOD));
    const Args a = VectorOf(enc);
    EXPECT_EQ(dir / "input.avs", a[1]);
    EXPECT_EQ("Movie", a[3]);
    EXPECT_EQ("LoadPlugin(\"directshowsource.dll\")\r\n"
              "DirectShowSource(\"/media/Movie.WMV\", fps=23.976, convertfps=true )\r\n"
              "return last",
              ReadFile(dir / "input.avs"));
}

TEST_F(WrapperVector, UnwritableScriptFailsTheFileWithoutRunningTheDriver) {
    testmedia::ScratchDir work("wrapper");
    const std::string input = work / "clip.mkv";
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::MkvSurround, input, 0.5, 160, 120, 25));
    // A first file converts its script; the second cannot write one.
    std::ofstream(work / "blocker") << "x";
    enc.SetScriptFolder(work / "blocker");
    static int calls = 0;
    calls = 0;
    enc.SetProgressCallback([](const ProgressInfo*, void*) { ++calls; }, nullptr);
    DialogDefaults(enc, input, work / "clip_new.mp4");
    EXPECT_EQ(-1, enc.StartEncode(PROFILE_IPOD));
    EXPECT_FALSE(Exists(work / "clip_new.mp4"));
    EXPECT_EQ(0, calls);
    enc.SetProgressCallback(nullptr, nullptr);
}

// The log line the wrapper writes when another conversion holds the script.
std::atomic<bool> g_waitingForScript{false};
void WatchForTheWait(int, const char* format, va_list) {
    if (std::strstr(format, "in use by another conversion")) g_waitingForScript = true;
}

TEST_F(WrapperVector, StopReachesAFileWaitingForTheScript) {
    testmedia::ScratchDir work("wrapper");
    const std::string input = work / "clip.mkv";
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::MkvSurround, input, 0.5, 160, 120, 25));
    enc.SetScriptFolder(work.path());
    AvsScriptLock other;  // another conversion's script, not yet read by its driver
    ASSERT_EQ(AvsScriptLock::Locked, other.Acquire(work / "input.avs"));
    DialogDefaults(enc, input, work / "clip_new.mp4");
    g_waitingForScript = false;
    SetLogCallback(&WatchForTheWait);
    auto result = std::async(std::launch::async, [this] { return enc.StartEncode(PROFILE_IPOD); });
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!g_waitingForScript && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_TRUE(g_waitingForScript.load());
    enc.Stop();
    const bool ended = result.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    other.Release();  // lets a worker that missed the stop go on, so the test itself ends
    SetLogCallback(nullptr);
    EXPECT_TRUE(ended) << "the stop did not reach the wait";
    EXPECT_EQ(-2, result.get());
    EXPECT_FALSE(Exists(work / "clip_new.mp4"));
    EXPECT_EQ(0, stop_pending()) << "the stopped file took its stop";
}

TEST_F(WrapperVector, NumbersIgnoreADecimalCommaLocale) {
    e2e::CommaLocale locale(dir.path());
    if (!locale.active()) GTEST_SKIP() << "no locale with a decimal comma can be built here";
    DialogDefaults(enc, "/v/a.avi", "/o/a.mp4");
    enc.SetFrameRate(29.97);
    ASSERT_EQ(0, enc.BuildArguments(PROFILE_IPOD));
    EXPECT_EQ("29.970000", ValueOf(VectorOf(enc), "-r"));
}

TEST(WrapperFolders, ModuleFolderIsTheExecutablesFolder) {
    const std::string folder = CFFmpegEncoder::GetModuleFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ('/', folder.front());
    EXPECT_EQ('/', folder.back());
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    exe[n] = '\0';
    EXPECT_EQ(0, std::string(exe).rfind(folder, 0));
    EXPECT_EQ(std::string::npos, std::string(exe).find('/', folder.size()));

    CFFmpegEncoder enc;
    // The build's program folder is writable, so the script lands beside the program.
    EXPECT_EQ(folder, enc.GetScriptFolder());
    enc.SetScriptFolder("/somewhere");
    EXPECT_EQ("/somewhere/", enc.GetScriptFolder());
}

// Runs a check as an ordinary user (nobody), for whom the program folder is not writable.
// Returns the child's exit code: 0 when every check held, otherwise the number of the first
// failed check.
int AsNobody(const std::string& tmp, int (*check)(const std::string& tmp)) {
    pid_t pid = fork();
    if (pid == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(100);
        unsetenv("XDG_RUNTIME_DIR");
        setenv("TMPDIR", tmp.c_str(), 1);
        _exit(check(tmp));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 200;
}

class UnwritableProgramFolder : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
        ASSERT_EQ(0, chmod(dir.path().c_str(), 01777));
    }
    testmedia::ScratchDir dir{"wrapper"};
};

TEST_F(UnwritableProgramFolder, ScriptGoesToAPrivateTemporaryFolder) {
    EXPECT_EQ(0, AsNobody(dir.path(), [](const std::string& tmp) {
        CFFmpegEncoder enc;
        const std::string folder = enc.GetScriptFolder();
        if (folder != tmp + "/velmora-65534/") return 1;
        struct stat st;
        if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return 2;
        if ((st.st_mode & 0777) != 0700 || st.st_uid != 65534) return 3;
        enc.SetInputFile("/v/a.mkv");
        enc.SetOutputFile("/o/a.mp4");
        if (enc.BuildArguments(PROFILE_IPOD) != 0) return 4;
        if (std::string(enc.GetParams().GetArg(2)) != folder + "input.avs") return 5;
        return 0;
    }));
}

TEST_F(UnwritableProgramFolder, SomeoneElsesFolderIsNotUsed) {
    // A folder of that name made by another user (here root) could be swapped under us.
    ASSERT_EQ(0, mkdir((dir / "velmora-65534").c_str(), 0777));
    EXPECT_EQ(0, AsNobody(dir.path(), [](const std::string& tmp) {
        CFFmpegEncoder enc;
        if (!enc.GetScriptFolder().empty()) return 1;
        enc.SetInputFile("/v/a.mkv");
        enc.SetOutputFile("/o/a.mp4");
        if (enc.BuildArguments(PROFILE_IPOD) != -1) return 2;
        struct stat st;
        if (stat((tmp + "/velmora-65534/input.avs").c_str(), &st) == 0) return 3;
        enc.SetInputFile("/v/a.avi");  // a directly read kind needs no script folder
        if (enc.BuildArguments(PROFILE_IPOD) != 0) return 4;
        return 0;
    }));
}

// The log facility is process-wide; each case puts the defaults back.
class LogFacility : public ::testing::Test {
protected:
    void TearDown() override {
        SetLogCallback(nullptr);
        SetLogLevel(1);
    }
};

TEST_F(LogFacility, DefaultSinkWritesLevelsUpToTheLogLevelToStandardError) {
    EXPECT_EQ(1, GetLogLevel());
    ::testing::internal::CaptureStderr();
    LogPrintf(0, "zero %d\n", 0);
    LogPrintf(1, "one %s\n", "x");
    LogPrintf(2, "two\n");
    EXPECT_EQ("zero 0\none x\n", ::testing::internal::GetCapturedStderr());

    SetLogLevel(2);
    ::testing::internal::CaptureStderr();
    LogPrintf(2, "two\n");
    EXPECT_EQ("two\n", ::testing::internal::GetCapturedStderr());

    SetLogLevel(-1);
    ::testing::internal::CaptureStderr();
    LogPrintf(0, "[ERROR] quiet\n");
    EXPECT_EQ("", ::testing::internal::GetCapturedStderr());
}

TEST_F(LogFacility, LongLinesAreCutAt1023Characters) {
    const std::string big(5000, 'L');
    ::testing::internal::CaptureStderr();
    LogPrintf(0, "%s", big.c_str());
    EXPECT_EQ(std::string(1023, 'L'), ::testing::internal::GetCapturedStderr());
}

TEST_F(LogFacility, CallbackReplacesTheSinkAndNullRestoresIt) {
    static std::vector<std::pair<int, std::string>> seen;
    seen.clear();
    SetLogCallback([](int level, const char* fmt, va_list args) {
        char buf[256];
        vsnprintf(buf, sizeof buf, fmt, args);
        seen.emplace_back(level, buf);
    });
    ::testing::internal::CaptureStderr();
    LogPrintf(5, "deep %d", 7);  // the replacement gets every level
    CFFmpegEncoder enc;
    enc.AddParam("-s", "1x1");
    enc.ResetParams();
    EXPECT_EQ("", ::testing::internal::GetCapturedStderr());
    ASSERT_EQ(3u, seen.size());
    EXPECT_EQ(5, seen[0].first);
    EXPECT_EQ("deep 7", seen[0].second);
    EXPECT_EQ(std::make_pair(2, std::string("command param add: -s = 1x1\n")), seen[1]);
    EXPECT_EQ(std::make_pair(2, std::string("command param reset!\n")), seen[2]);

    SetLogCallback(nullptr);
    ::testing::internal::CaptureStderr();
    LogPrintf(0, "back\n");
    EXPECT_EQ("back\n", ::testing::internal::GetCapturedStderr());
}

}  // namespace
