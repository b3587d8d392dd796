// The program as a user sees it: started beside its default skin, the main dialog's frame,
// caption buttons and controls in its screen captures are the skin's own pictures; started
// without the skin, they are not. The expected colours are read from the skin file through the
// engine, the places from the program's report of where its windows are.
#include <map>
#include <sstream>
#include <vector>

#include "ButtonSkins.h"
#include "CheckButtonBase.h"
#include "SkinEngine.h"
#include "SkinFile.h"
#include "SkinManager.h"
#include "SkinObjectTypes.h"
#include "RasterImage.h"
#include "app_test_support.h"
#include "demo_run_support.h"
#include "program_run.h"
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

// A place on the screen and the colour the skin puts there (0xRRGGBB, as in the capture).
struct Probe {
    std::string what;
    LONG x, y;
    DWORD expected;
};

DWORD AsCapture(COLORREF c) { return DWORD(GetRValue(c)) << 16 | DWORD(GetGValue(c)) << 8 | GetBValue(c); }

// The default skin beside the program, loaded into this process to read its pictures.
class SkinLooks {
public:
    bool Load() {
        InitSkinLibrary(GetModuleHandleA(nullptr));
        return LoadSkinFile(ProgramPath("z-arud.qvk").c_str()) && File();
    }
    ~SkinLooks() { ExitSkinLibrary(); }
    CSkinFile* File() const { return CSkinManager::Instance().GetSkinFile(); }
    template <class T> const T* Object(const char* name) const { return dynamic_cast<const T*>(File()->FindObject(name)); }
    // The colour the skin's pictures leave transparent.
    DWORD Key() const {
        CSkinObject* app = File()->FindObjectByType(SKIN_APPLICATION);
        return app ? AsCapture(app->GetKeyColor()) : 0xFFFFFFFFu;
    }
    // A pixel of a skin picture, counted from its top row.
    DWORD Pixel(const char* image, LONG x, LONG y) const {
        CSkinImageObject* o = File()->FindImage(image);
        CRasterImage* picture = o ? o->GetImage() : nullptr;
        if (!picture) return 0xFFFFFFFFu;
        const RGBQUAD q = picture->GetPixelColor(x, LONG(picture->GetHeight()) - 1 - y, false);
        return DWORD(q.rgbRed) << 16 | DWORD(q.rgbGreen) << 8 | q.rgbBlue;
    }
};

LONG Width(const RECT& r) { return r.right - r.left; }
LONG Height(const RECT& r) { return r.bottom - r.top; }

// The dialog's frame: the caption band, the left and bottom edges and the client background.
void FrameProbes(const SkinLooks& skin, const Sight& s, std::vector<Probe>* out) {
    const auto* dialog = skin.Object<CSkinWindowObject>("Dialog");
    ASSERT_NE(dialog, nullptr);
    const RECT& w = s.window;
    const SkinImagePart& caption = dialog->m_parts[1];
    for (LONG y : {LONG(8), LONG(20)})
        out->push_back({"caption row " + std::to_string(y), w.left + Width(w) * 3 / 5, w.top + y,
                        skin.Pixel(caption.name, (caption.src.left + caption.src.right) / 2, caption.src.top + y)});
    const SkinImagePart& left = dialog->m_parts[3];
    out->push_back({"left edge", w.left + Width(left.src) / 2, w.top + Height(w) / 2,
                    skin.Pixel(left.name, (left.src.left + left.src.right) / 2, (left.src.top + left.src.bottom) / 2)});
    const SkinImagePart& bottom = dialog->m_parts[7];
    out->push_back({"bottom edge", w.left + Width(w) / 2, w.bottom - 1 - Height(bottom.src) / 2,
                    skin.Pixel(bottom.name, (bottom.src.left + bottom.src.right) / 2, (bottom.src.top + bottom.src.bottom) / 2)});
    const SkinImagePart& client = dialog->m_parts[4];
    const RECT list = s.Control(1002);
    out->push_back({"client background", (w.left + Width(left.src) + list.left) / 2, (list.top + list.bottom) / 2,
                    skin.Pixel(client.name, (client.src.left + client.src.right) / 2, (client.src.top + client.src.bottom) / 2)});
    // The caption buttons, anchored to the right edge as the frame's design places them.
    const LONG designRight = dialog->GetFrameBounds().right;
    for (const char* name : {"Close", "Minimize"}) {
        const auto* button = dynamic_cast<const CSkinCaptionButtonObject*>(dialog->FindChild(name));
        ASSERT_NE(button, nullptr) << name;
        const LONG left0 = w.right - (designRight - button->m_rc.left), top0 = w.top + button->m_rc.top;
        // The first and the last point of the face that the picture does not leave to the caption.
        const SkinImagePart& face = button->m_image;
        std::vector<Probe> opaque;
        for (LONG y = 0; y < Height(face.src); ++y)
            for (LONG x = 0; x < Width(face.src); ++x) {
                const DWORD c = skin.Pixel(face.name, face.src.left + x, face.src.top + y);
                if (c != skin.Key())
                    opaque.push_back({std::string(name) + " button " + std::to_string(x) + "," + std::to_string(y),
                                      left0 + x, top0 + y, c});
            }
        ASSERT_GE(opaque.size(), 2u) << name;
        out->push_back(opaque.front());
        out->push_back(opaque.back());
    }
}

// The check box's mark, the group boxes' left edges, the volume label's background, every combo box's
// frame and the drop-down buttons of two that offer several choices.
void ControlProbes(const SkinLooks& skin, const Sight& s, std::vector<Probe>* out) {
    const auto* check = skin.Object<CSkinCheckBoxObject>("CheckBox");
    const auto* group = skin.Object<CSkinGroupBoxObject>("GroupBox");
    const auto* combo = skin.Object<CSkinComboBoxObject>("ComboBox");
    ASSERT_TRUE(check && group && combo);

    const RECT c = s.Control(kIdCheck);
    int state = SKINMARK_UNCHECKED;
    if (s.locked)
        for (int candidate : {SKINMARK_DISABLED_UNCHECKED, SKINMARK_DISABLED, SKINMARK_UNCHECKED})
            if (!check->m_states[candidate].box.IsEmpty()) {
                state = candidate;
                break;
            }
    const SkinImagePart& mark = check->m_states[state].box;
    RECT markRect, textRect;
    LayoutCheckMark(RECT{0, 0, Width(c), Height(c)}, SIZE{Width(mark.src), Height(mark.src)}, BS_CHECKBOX, &markRect,
                    &textRect);
    // Inside its edge, and the middle of its left edge.
    for (POINT d : {POINT{1, 1}, POINT{0, Height(mark.src) / 2}})
        out->push_back({"check mark " + std::to_string(d.x) + "," + std::to_string(d.y), c.left + markRect.left + d.x,
                        c.top + markRect.top + d.y, skin.Pixel(mark.name, mark.src.left + d.x, mark.src.top + d.y)});

    // The group boxes are the only unnamed controls taller than a line of text.
    const SkinNineGrid& frame = group->m_background;
    auto groups = s.controls.equal_range(0xFFFF);  // IDC_STATIC as a control id
    int seen = 0;
    for (auto it = groups.first; it != groups.second; ++it) {
        const RECT& g = it->second;
        if (Height(g) < 40) continue;
        out->push_back({"group box " + std::to_string(++seen) + " left edge", g.left, g.top + Height(g) / 2,
                        skin.Pixel(frame.name, frame.src.left, (frame.src.top + frame.src.bottom) / 2)});
    }
    EXPECT_EQ(seen, 2);

    // The volume label ("100%") leaves the skin's client background beside its text.
    const auto* dialog = skin.Object<CSkinWindowObject>("Dialog");
    const SkinImagePart& client = dialog->m_parts[4];
    const RECT v = s.Control(kIdVolumeText);
    out->push_back({"volume label background", v.right - 2, v.top + 1,
                    skin.Pixel(client.name, (client.src.left + client.src.right) / 2, (client.src.top + client.src.bottom) / 2)});

    for (int id : kCombos) {
        const RECT r = s.Control(id);
        const SkinNineGrid& border = combo->m_background;
        out->push_back({"combo " + std::to_string(id) + " left edge", r.left, r.top + border.marginTop,
                        skin.Pixel(border.name, border.src.left, border.src.top + border.marginTop)});
        if (id != kIdCodec && id != kIdFrameSize) continue;
        const SkinNineGrid& button = combo->m_buttons[s.locked && !combo->m_buttons[3].IsEmpty() ? 3 : 0];
        const LONG bx = r.right - GetSystemMetrics(SM_CXVSCROLL), by = r.top + border.marginTop;
        out->push_back({"combo " + std::to_string(id) + " button", bx + button.marginLeft, by + button.marginTop,
                        skin.Pixel(button.name, button.src.left + button.marginLeft, button.src.top + button.marginTop)});
    }
}

// What of the capture is not the skin's: one line per part, empty when everything is.
std::vector<std::string> NotTheSkins(const SkinLooks& skin, const Sight& s) {
    std::vector<Probe> probes;
    FrameProbes(skin, s, &probes);
    ControlProbes(skin, s, &probes);
    std::vector<std::string> wrong;
    char line[160];
    for (const Probe& p : probes) {
        const DWORD got = p.x >= 0 && p.y >= 0 && p.x < s.picture.width && p.y < s.picture.height ? s.picture.At(p.x, p.y)
                                                                                                  : 0xFFFFFFFFu;
        if (got == p.expected) continue;
        std::snprintf(line, sizeof line, "%s at (%ld,%ld): %06X, the skin's %06X", p.what.c_str(), long(p.x), long(p.y),
                      unsigned(got), unsigned(p.expected));
        wrong.push_back(line);
    }
    return wrong;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& l : lines) all += l + "\n";
    return all;
}

// Runs the program at `exe` through one conversion and returns its idle and batch sights.
struct ProgramRun {
    testmedia::ScratchDir dir{"peloran_skinned"};
    int exit = -1;
    Sight idle, batch;
    // The captures are also kept as captures/<name>_idle.png and _batch.png.
    bool Run(const std::string& exe, const std::string& name, const std::string& screen = "") {
        const std::string input = dir / "clip.avi", report = dir / "report.txt", capture = dir / "screen";
        if (!testmedia::Generate(testmedia::Kind::AviMpeg4, input, 20.0, 320, 240, 25)) return false;
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
        return ReadSight(report, capture + "_idle.png", &idle) && ReadSight(report, capture + "_batch.png", &batch);
    }
};

TEST(ProgramSkinned, TheMainDialogIdleAndDuringABatchIsPaintedFromTheDefaultSkin) {
    SkinLooks skin;
    ASSERT_TRUE(skin.Load()) << "the default skin is not beside the program: " << GetSkinLastError();
    ProgramRun run;
    ASSERT_TRUE(run.Run(ProgramPath("peloran"), "skinned"));
    EXPECT_EQ(run.exit, 0);
    EXPECT_EQ(Joined(NotTheSkins(skin, run.idle)), "");
    EXPECT_EQ(Joined(NotTheSkins(skin, run.batch)), "");
}

TEST(ProgramSkinned, WithoutItsSkinFileNoPartOfTheDialogIsTheSkins) {
    SkinLooks skin;
    ASSERT_TRUE(skin.Load()) << GetSkinLastError();
    // The program alone in a folder with its settings and tips but no skin.
    ProgramRun run;
    const std::string exe = programrun::CopyWithoutSkin(run.dir / "program");
    ASSERT_NE(exe, "");
    ASSERT_TRUE(run.Run(exe, "skinless"));
    EXPECT_EQ(run.exit, 0);
    std::vector<Probe> probes;
    FrameProbes(skin, run.idle, &probes);
    ControlProbes(skin, run.idle, &probes);
    // Every probe finds the plain look instead.
    EXPECT_EQ(NotTheSkins(skin, run.idle).size(), probes.size()) << Joined(NotTheSkins(skin, run.idle));
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
