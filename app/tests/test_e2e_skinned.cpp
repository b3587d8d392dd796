// The program as a user sees it: started beside its default skin, the main dialog's frame,
// caption buttons and controls in its screen captures are the skin's own pictures; started
// without the skin or with a damaged one, they are not and the program still converts. The
// expected colours are read from the skin file, the places from the program's report of where
// its windows are.
#include <map>
#include <sstream>
#include <vector>

#include "app_test_support.h"
#include "demo_run_support.h"
#include "program_run.h"
#include "skin_looks.h"
#include "testmedia.h"

namespace {

using demorun::ProgramPath;
using demorun::Spawn;

constexpr int kIdCheck = 1022, kIdVolumeText = 1024, kIdCodec = 1019, kIdFrameSize = 1013;
constexpr int kCombos[] = {1019, 1013, 1015, 1016, 1032, 1017, 1023, 1018};

using programrun::WaitFor;

// One stage's capture and where the dialog and its controls were.
struct Sight {
    demorun::Picture picture;
    RECT window{};
    std::multimap<int, RECT> controls;
    bool locked = false;  // during a batch: the settings and the check box are disabled
    RECT Control(int id) const {
        auto it = controls.find(id);
        return it == controls.end() ? RECT{} : it->second;
    }
};

RECT ParseRect(const std::string& text) {
    RECT r{};
    std::istringstream(text) >> r.left >> r.top >> r.right >> r.bottom;
    return r;
}

bool ReadSight(const std::string& report, const std::string& png, Sight* s) {
    std::ifstream f(report);
    std::string line;
    while (std::getline(f, line)) {
        size_t c = line.find(": ");
        if (c == std::string::npos) continue;
        if (line.compare(0, 8, "control ") == 0)
            s->controls.emplace(std::stoi(line.substr(8, c - 8)), ParseRect(line.substr(c + 2)));
        else if (line.compare(0, c, "window") == 0)
            s->window = ParseRect(line.substr(c + 2));
    }
    return s->window.right > s->window.left && demorun::Load(png, &s->picture);
}

using skinlooks::Probes;
using skinlooks::SkinLooks;
using skinlooks::Width;
using skinlooks::Height;

// The dialog's frame: the caption band, the left and bottom edges, the client background left
// of the file list and the caption buttons.
void FrameProbes(SkinLooks& skin, const Sight& s, Probes* out) {
    const auto* dialog = skin.Object<CSkinWindowObject>("Dialog");
    ASSERT_NE(dialog, nullptr);
    const RECT list = s.Control(1002);
    const POINT client{(s.window.left + Width(dialog->m_parts[3].src) + list.left) / 2, (list.top + list.bottom) / 2};
    const size_t before = out->size();
    skinlooks::FrameProbes(skin, s.window, client, WS_SYSMENU | WS_MINIMIZEBOX, false, out);
    EXPECT_EQ(out->size() - before, 9u) << "five frame places and two of each caption button";
}

// The check box's mark, the group boxes' left edges, the volume label's background, every combo box's
// frame and the drop-down buttons of two that offer several choices.
void ControlProbes(SkinLooks& skin, const Sight& s, Probes* out) {
    const auto* group = skin.Object<CSkinGroupBoxObject>("GroupBox");
    const auto* combo = skin.Object<CSkinComboBoxObject>("ComboBox");
    ASSERT_TRUE(group && combo);
    skinlooks::CheckBoxProbes(skin, "check box", s.Control(kIdCheck), BS_AUTOCHECKBOX, out);

    // The group boxes are the only unnamed controls taller than a line of text.
    const SkinNineGrid& frame = group->m_background;
    auto groups = s.controls.equal_range(0xFFFF);  // IDC_STATIC as a control id
    int seen = 0;
    for (auto it = groups.first; it != groups.second; ++it) {
        const RECT& g = it->second;
        if (Height(g) < 40) continue;
        out->push_back({"group box " + std::to_string(++seen) + " left edge", g.left, g.top + Height(g) / 2,
                        {skin.Pixel(frame.name, frame.src.left, (frame.src.top + frame.src.bottom) / 2)}});
    }
    EXPECT_EQ(seen, 2);

    // The volume label ("100%") leaves the skin's client background beside its text.
    const auto* dialog = skin.Object<CSkinWindowObject>("Dialog");
    const RECT v = s.Control(kIdVolumeText);
    out->push_back({"volume label background", v.right - 2, v.top + 1, {skin.Middle(dialog->m_parts[4])}});

    for (int id : kCombos) {
        const RECT r = s.Control(id);
        skinlooks::FieldProbes(skin, "combo " + std::to_string(id), SKIN_COMBOBOX, r, out);
        if (id != kIdCodec && id != kIdFrameSize) continue;
        const SkinNineGrid& button = combo->m_buttons[s.locked && !combo->m_buttons[3].IsEmpty() ? 3 : 0];
        const LONG bx = r.right - GetSystemMetrics(SM_CXVSCROLL), by = r.top + combo->m_background.marginTop;
        out->push_back({"combo " + std::to_string(id) + " button", bx + button.marginLeft, by + button.marginTop,
                        {skin.GridInside(button)}});
    }
}

// What of the capture is not the skin's: one line per part, empty when everything is; the
// number of places looked at in `count`.
std::vector<std::string> NotTheSkins(SkinLooks& skin, const Sight& s, size_t* count = nullptr) {
    Probes probes;
    FrameProbes(skin, s, &probes);
    ControlProbes(skin, s, &probes);
    if (count) *count = probes.size();
    return skinlooks::NotTheSkins(probes, [&](LONG x, LONG y) {
        if (x < 0 || y < 0 || x >= s.picture.width || y >= s.picture.height) return COLORREF(CLR_INVALID);
        const DWORD c = s.picture.At(x, y);
        return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
    });
}

using skinlooks::Joined;

// Runs the program at `exe` through one conversion and returns its idle and batch sights.
struct ProgramRun {
    testmedia::ScratchDir dir{"peloran_skinned"};
    int exit = -1;
    Sight idle, batch;
    bool converted = false;  // the batch ended with its final box
    bool settled = true;     // every capture waited for the windows to be painted
    bool batchRunning = false;  // the batch capture was taken while the batch ran
    // The captures are also kept as captures/<name>_idle.png and _batch.png.
    bool Run(const std::string& exe, const std::string& name, const std::string& screen = "", double seconds = 20.0) {
        const std::string input = dir / "clip.avi", report = dir / "report.txt", capture = dir / "screen";
        if (!testmedia::Generate(testmedia::Kind::AviMpeg4, input, seconds, 320, 240, 25)) return false;
        pid_t pid = Spawn({exe}, {"VELMORA_BACKEND=headless", "PELORAN_AUTOMATION=convert",
                                  "PELORAN_AUTOMATION_INPUT=" + input, "PELORAN_AUTOMATION_OUTPUT=" + dir / "out",
                                  "PELORAN_AUTOMATION_REPORT=" + report, "PELORAN_AUTOMATION_CAPTURE=" + capture,
                                  "VELMORA_SHUTDOWN_RECORDER=" + dir / "shutdown.log",
                                  "VELMORA_OPENER_RECORDER=" + dir / "opener.log", "XDG_CONFIG_HOME=" + dir / "config",
                                  "VELMORA_SCREEN=" + screen});
        if (pid <= 0) return false;
        exit = WaitFor(pid, 300);
        // Kept beside the test for people to look at.
        ::mkdir("captures", 0777);
        for (const char* stage : {"idle", "batch"}) {
            std::ifstream in(capture + "_" + stage + ".png", std::ios::binary);
            std::ofstream keep("captures/" + name + "_" + stage + ".png", std::ios::binary);
            keep << in.rdbuf();
        }
        batch.locked = true;
        std::ifstream lines(report);
        bool started = false, running = false;
        for (std::string line; std::getline(lines, line);) {
            converted = converted || (line.rfind("final_box: ", 0) == 0 && line.find("Mission accomplished!") != std::string::npos);
            settled = settled && line.rfind("unsettled_", 0) != 0;
            started = started || line == "started: yes";
            running = running || line == "running_at_capture: yes";
        }
        batchRunning = started && running;
        return ReadSight(report, capture + "_idle.png", &idle) && ReadSight(report, capture + "_batch.png", &batch);
    }
};

std::string DefaultSkin() { return ProgramPath("z-arud.qvk"); }

TEST(ProgramSkinned, TheMainDialogIdleAndDuringABatchIsPaintedFromTheDefaultSkin) {
    SkinLooks skin;
    ASSERT_TRUE(skin.Load(DefaultSkin())) << "the default skin is not beside the program";
    ProgramRun run;
    // Long enough that the batch still runs when its capture is taken, short under a sanitizer.
    ASSERT_TRUE(run.Run(ProgramPath("peloran"), "skinned", "", 6.0));
    EXPECT_EQ(run.exit, 0);
    EXPECT_TRUE(run.settled) << "a capture was taken before the windows were painted";
    EXPECT_TRUE(run.batchRunning) << "the batch capture was not taken while the batch ran";
    EXPECT_EQ(Joined(NotTheSkins(skin, run.idle)), "");
    EXPECT_EQ(Joined(NotTheSkins(skin, run.batch)), "");
}

// The program alone in a folder with its settings and tips and, when `skinFile` is given, that
// in place of its skin: it converts its file and no part of its dialog is the skin's.
void ExpectPlainAndWorking(const char* name, const std::string* skinFile) {
    SkinLooks skin;
    ASSERT_TRUE(skin.Load(DefaultSkin()));
    ProgramRun run;
    const std::string exe = programrun::CopyWithoutSkin(run.dir / "program");
    ASSERT_NE(exe, "");
    if (skinFile) {
        std::ofstream(run.dir / "program/z-arud.qvk", std::ios::binary) << *skinFile;
    }
    ASSERT_TRUE(run.Run(exe, name, "", 3.0));  // the batch capture is not looked at
    EXPECT_EQ(run.exit, 0);
    EXPECT_TRUE(run.converted) << "the batch did not end with its final box";
    EXPECT_TRUE(run.settled) << "a capture was taken before the windows were painted";
    size_t probes = 0;
    const std::vector<std::string> wrong = NotTheSkins(skin, run.idle, &probes);
    EXPECT_EQ(wrong.size(), probes) << Joined(wrong);
}

TEST(ProgramSkinned, WithoutItsSkinFileNoPartOfTheDialogIsTheSkins) { ExpectPlainAndWorking("skinless", nullptr); }

std::string DefaultSkinBytes() {
    std::ifstream in(DefaultSkin(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A damaged skin file: cut in its body, cut inside its header, bytes that are no skin at all.
// One program run each, so that each stays well inside the time a test may take.
TEST(ProgramSkinned, WithASkinFileCutInItsBodyItWorksInThePlainLook) {
    const std::string whole = DefaultSkinBytes();
    ASSERT_GT(whole.size(), 4096u);
    const std::string cut = whole.substr(0, whole.size() / 2);
    ExpectPlainAndWorking("truncated_skin", &cut);
}

TEST(ProgramSkinned, WithASkinFileCutInItsHeaderItWorksInThePlainLook) {
    const std::string whole = DefaultSkinBytes();
    ASSERT_GT(whole.size(), 4096u);
    const std::string header = whole.substr(0, 100);
    ExpectPlainAndWorking("short_skin", &header);
}

TEST(ProgramSkinned, WithASkinFileOfOtherBytesItWorksInThePlainLook) {
    std::string garbage(DefaultSkinBytes().size(), '\0');
    ASSERT_GT(garbage.size(), 4096u);
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = char((i * 2654435761u) >> 13);
    ExpectPlainAndWorking("garbage_skin", &garbage);
}

// With VELMORA_PICTURES naming a folder (scripts/pictures), writes the README's pictures there:
// the program on a screen just the size of its main dialog, so the captures are the dialog.
TEST(ProgramPictures, TheMainDialogIdleAndDuringABatch) {
    const char* folder = std::getenv("VELMORA_PICTURES");
    if (!folder || !*folder) GTEST_SKIP() << "VELMORA_PICTURES names no folder";
    ProgramRun sizing;
    ASSERT_TRUE(sizing.Run(ProgramPath("peloran"), "sizing"));
    const RECT w = sizing.idle.window;
    ProgramRun run;
    ASSERT_TRUE(run.Run(ProgramPath("peloran"), "pictures", std::to_string(Width(w)) + "x" + std::to_string(Height(w))));
    EXPECT_EQ(run.exit, 0);
    ASSERT_EQ(run.idle.window.left, 0);
    ASSERT_EQ(run.idle.window.top, 0);
    for (const char* stage : {"idle", "batch"}) {
        std::ifstream in(run.dir / (std::string("screen_") + stage + ".png"), std::ios::binary);
        std::ofstream out(std::string(folder) + "/main-" + stage + ".png", std::ios::binary);
        out << in.rdbuf();
        EXPECT_TRUE(out.good()) << stage;
    }
}

}  // namespace
