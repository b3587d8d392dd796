// The file list's context menu on a real desktop, opened with the right mouse button: beside its
// skin the program shows the skin's popup (its frame and its highlighted entry in the skin's
// colours, read from the skin file); without the skin, the plain menu, which has neither.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "desktop_session.h"
#include "program_run.h"
#include "skin_looks.h"

namespace {

const int kIdList = 1002;

// A colour as the screen capture holds it (0xRRGGBB).
DWORD AsCapture(COLORREF c) { return DWORD(GetRValue(c)) << 16 | DWORD(GetGValue(c)) << 8 | GetBValue(c); }

// The menu as the screen showed it once an entry was highlighted.
struct MenuSight {
    demorun::Picture picture;
    desktop::Rect popup;
    // How many pixels of the menu have `colour`, or are the plain look's dark blue highlight.
    long Count(DWORD colour) const {
        return CountIf([&](DWORD c) { return c == colour; });
    }
    long CountPlainHighlight() const {
        return CountIf([](DWORD c) { return (c >> 16 & 0xFF) < 64 && (c >> 8 & 0xFF) < 64 && (c & 0xFF) >= 96; });
    }
    template <class F> long CountIf(F is) const {
        long n = 0;
        for (int y = std::max(popup.top, 0); y < std::min(popup.bottom, picture.height); ++y)
            for (int x = std::max(popup.left, 0); x < std::min(popup.right, picture.width); ++x)
                n += is(picture.At(x, y));
        return n;
    }
    // How many pixels of the menu's left edge, its corners left out, have `colour`.
    int EdgeCount(DWORD colour, int* of) const {
        int n = 0;
        *of = 0;
        for (int y = popup.top + 4; y < popup.bottom - 4 && y < picture.height; ++y, ++*of)
            n += popup.left >= 0 && picture.At(popup.left, y) == colour;
        return n;
    }
};

// Opens the menu over the list, highlights its first entry with the Down key and waits until the
// screen shows a highlight in either colour; then closes the menu and the program.
void OpenTheMenu(const std::string& program, DWORD skins, MenuSight* sight) {
    desktop::Session s;
    ASSERT_TRUE(s.Start(false, {}, program)) << "the program did not come up on the X server";
    const std::vector<unsigned long> before = s.Windows();
    unsigned long menu = 0;
    const desktop::Rect list = s.Control(kIdList);
    s.Click(list.cx(), list.cy(), 3);
    ASSERT_TRUE(desktop::PollFor(
        [&] {
            for (unsigned long w : s.Windows())
                if (std::find(before.begin(), before.end(), w) == before.end()) menu = w;
            return menu != 0;
        },
        20))
        << "the menu did not open";
    ASSERT_TRUE(desktop::PollFor([&] { return (sight->popup = s.Geometry(menu)).right > sight->popup.left; }, 10));
    s.Key("Down");
    const std::string png = s.dir() / "menu.png";
    const bool highlighted = desktop::PollFor(
        [&] {
            return s.Screenshot(png) && demorun::Load(png, &sight->picture) &&
                   sight->Count(skins) + sight->CountPlainHighlight() > 100;
        },
        30);
    // Kept beside the test for people to look at.
    ::mkdir("captures", 0777);
    std::ifstream in(png, std::ios::binary);
    std::ofstream keep("captures/desktop_menu_" + std::string(program.empty() ? "skinned" : "plain") + ".png",
                       std::ios::binary);
    keep << in.rdbuf();
    ASSERT_TRUE(highlighted) << "no entry of the menu was highlighted";
    s.Key("Escape");
    ASSERT_TRUE(desktop::PollFor([&] { return s.Windows().size() == before.size(); }, 20)) << "the menu did not close";
    s.Key("Escape");
    EXPECT_EQ(s.WaitForExit(30), 0);
}

class DesktopMenu : public testing::Test {
protected:
    void SetUp() override {
        std::string missing = desktop::Session::Missing(false);
        for (const char* p : {"xwd", "convert"})
            if (missing.empty() && !xvfb::HaveProgram(p)) missing = std::string(p) + " is not installed";
        if (!missing.empty()) GTEST_SKIP() << missing;
        ASSERT_TRUE(skin.Load(demorun::ProgramPath("z-arud.qvk"))) << "the default skin is not beside the program";
        object = skin.Object<CSkinPopupMenuObject>("PopupMenu");
        ASSERT_NE(object, nullptr);
        const SkinImagePart& left = object->m_parts[3];
        edge = AsCapture(skin.Pixel(left.name, left.src.left, (left.src.top + left.src.bottom) / 2));
        const SkinNineGrid& selection = object->m_grids[0];
        highlight = AsCapture(skin.Pixel(selection.name, (selection.src.left + selection.src.right) / 2,
                                         (selection.src.top + selection.src.bottom) / 2));
        ASSERT_FALSE((highlight >> 16 & 0xFF) < 64 && (highlight >> 8 & 0xFF) < 64) << "the skin's highlight looks plain";
    }
    skinlooks::SkinLooks skin;
    const CSkinPopupMenuObject* object = nullptr;
    DWORD edge = 0, highlight = 0;
};

TEST_F(DesktopMenu, TheFileListsContextMenuIsTheSkinsPopup) {
    MenuSight sight;
    ASSERT_NO_FATAL_FAILURE(OpenTheMenu("", highlight, &sight));
    int of = 0;
    const int matches = sight.EdgeCount(edge, &of);
    EXPECT_GT(of, 10);
    EXPECT_EQ(matches, of) << "the menu's left edge is not the skin's";
    EXPECT_GT(sight.Count(highlight), 100) << "the highlighted entry is not in the skin's colour";
    EXPECT_EQ(sight.CountPlainHighlight(), 0);
}

TEST_F(DesktopMenu, WithoutTheSkinTheMenuIsThePlainOne) {
    testmedia::ScratchDir dir{"peloran_plain_menu"};
    const std::string exe = programrun::CopyWithoutSkin(dir / "program");
    ASSERT_NE(exe, "");
    MenuSight sight;
    ASSERT_NO_FATAL_FAILURE(OpenTheMenu(exe, highlight, &sight));
    int of = 0;
    const int matches = sight.EdgeCount(edge, &of);
    EXPECT_GT(of, 10);
    EXPECT_LT(matches, of / 2);
    EXPECT_EQ(sight.Count(highlight), 0);
    EXPECT_GT(sight.CountPlainHighlight(), 100);
}

}  // namespace
