// The mouse on a real desktop, without a window manager: the wheel turns the file list under the
// pointer while a closed drop-down list holds the keyboard, idle and during a batch; a right
// click on a row selects it before the list's menu opens, so the menu's "Remove" removes it, in a
// scrolled list too, and one where no row is leaves that "Remove" nothing to remove; a minimised
// window waits at the foot of the screen and a click there brings it back.
#include <unistd.h>

#include "desktop_session.h"

namespace {

const int kIdList = 1002, kIdStart = 1004, kIdAdd = 1005, kIdUp = 1008, kIdVideoCodec = 1019, kIdNameEdit = 1152,
          kIdFolderField = 1137;

// `count` copies of one short clip in `folder`, named c01.avi, c02.avi...; their names.
std::vector<std::string> Clips(const std::string& folder, int count, double seconds) {
    std::vector<std::string> names;
    const std::string first = folder + "/c01.avi";
    if (!testmedia::Generate(testmedia::Kind::AviMpeg4, first, seconds, 320, 240, 25)) return names;
    for (int i = 1; i <= count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "c%02d.avi", i);
        if (i > 1 && ::link(first.c_str(), (folder + "/" + name).c_str()) != 0) return {};
        names.push_back(name);
    }
    return names;
}

// The names of the rows the program reports now.
std::vector<std::string> Names(const desktop::Session& s) {
    std::map<std::string, std::string> r = s.Report();
    std::vector<std::string> out;
    for (int i = 0, rows = std::atoi(r["rows"].c_str()); i < rows; ++i) out.push_back(r["name " + std::to_string(i)]);
    return out;
}

// The rows' names once they are `want`, or as they are when the wait gives up. The program
// reports the row count before the rows' names, so a look in between sees the count already
// changed beside the names from before.
std::vector<std::string> NamesOnceThey(const desktop::Session& s, const std::vector<std::string>& want) {
    std::vector<std::string> seen;
    desktop::PollFor([&] { return (seen = Names(s)) == want; }, 20);
    return seen;
}

// Adds the clips through the open-file dialog: their folder typed into its name box, then
// their names, quoted, all at once.
void AddClips(desktop::Session& s, const std::string& folder, const std::vector<std::string>& names) {
    const desktop::Rect add = s.Control(kIdAdd);
    s.Click(add.cx(), add.cy());
    ASSERT_TRUE(s.WaitForReport("box", "Open", 30)) << "the open-file dialog did not come up";
    ASSERT_TRUE(s.WaitForKeyboard("Open"));
    ASSERT_TRUE(desktop::PollFor([&] { return s.Focus() == kIdNameEdit; }, 20)) << "focus " << s.Focus();
    s.Xdo("type --delay 5 '" + folder + "'");
    s.Key("Return");
    // The names go in once the dialog has moved to the folder, or they would join its path.
    ASSERT_TRUE(s.WaitForReport("box field " + std::to_string(kIdFolderField), folder, 30))
        << "the dialog did not take the folder: " << s.Report()["box field " + std::to_string(kIdFolderField)];
    std::string quoted;
    for (const std::string& n : names) quoted += "\"" + n + "\" ";
    s.Xdo("type --delay 5 '" + quoted + "'");
    s.Key("Return");
    ASSERT_TRUE(s.WaitForReport("rows", std::to_string(names.size()), 60))
        << "the clips were not added: box " << s.Report()["box text"];
    // Where the rows are is reported with their names, after their count.
    ASSERT_EQ(NamesOnceThey(s, names), names);
    ASSERT_TRUE(s.WaitForReport("box", "none"));
    // The report names the rows after it counts them, and a row it could not read in time
    // comes in a later look.
    for (size_t i = 0; i < names.size(); ++i)
        ASSERT_TRUE(s.WaitForReport("name " + std::to_string(i), names[i], 20)) << "row " << i;
}

// The program started on its desktop, with or without a window manager, with `count` clips of
// `seconds` added to its list; their names in `names`.
void StartWithClips(desktop::Session& s, int count, double seconds, std::vector<std::string>* names,
                    bool with_manager = false) {
    *names = Clips(s.dir().path(), count, seconds);
    ASSERT_EQ(names->size(), size_t(count));
    ASSERT_TRUE(s.Start(with_manager));
    ASSERT_NO_FATAL_FAILURE(AddClips(s, s.dir().path(), *names));
}

int Top(const desktop::Session& s) { return std::atoi(s.Report()["top"].c_str()); }

// Turns the wheel `notches` times over the middle of the list (down when positive).
void Turn(const desktop::Session& s, int notches) {
    const desktop::Rect list = s.Control(kIdList);
    s.Xdo("mousemove --sync " + std::to_string(list.cx()) + " " + std::to_string(list.cy()) + " click --repeat " +
          std::to_string(std::abs(notches)) + " " + (notches > 0 ? "5" : "4"));
}

TEST(DesktopInput, TheWheelTurnsTheListUnderThePointerNotTheDropDownWithTheKeyboard) {
    std::string missing = desktop::Session::Missing(false);
    if (!missing.empty()) GTEST_SKIP() << missing;
    desktop::Session s;
    // Long enough that the batch still runs while the wheel turns.
    std::vector<std::string> names;
    ASSERT_NO_FATAL_FAILURE(StartWithClips(s, 24, 4.0, &names));
    // The list shows its last rows, the ones just added.
    ASSERT_TRUE(desktop::PollFor([&] { return Top(s) > 0; }, 20)) << "top " << s.Report()["top"];
    const std::string codec = s.Report()["video codec"];
    ASSERT_NE(codec, "");

    // The keyboard on the video codec's drop-down, closed again: one click opens it, one closes it.
    const desktop::Rect combo = s.Control(kIdVideoCodec);
    const int shown = s.VisibleWindows();
    s.Click(combo.cx(), combo.cy());
    ASSERT_TRUE(desktop::PollFor([&] { return s.VisibleWindows() == shown + 1; }, 20)) << "the drop-down did not open";
    s.Click(combo.cx(), combo.cy());
    ASSERT_TRUE(desktop::PollFor([&] { return s.VisibleWindows() == shown; }, 20)) << "the drop-down did not close";
    ASSERT_TRUE(desktop::PollFor([&] { return s.Focus() == kIdVideoCodec; }, 20)) << "focus " << s.Focus();

    const int last = Top(s);
    Turn(s, -3);
    EXPECT_TRUE(desktop::PollFor([&] { return Top(s) < last; }, 20)) << "the list under the pointer did not scroll";
    EXPECT_EQ(s.Report()["video codec"], codec) << "the drop-down with the keyboard took the wheel";
    EXPECT_EQ(s.Focus(), kIdVideoCodec);

    // During a batch too.
    const desktop::Rect start = s.Control(kIdStart);
    s.Click(start.cx(), start.cy());
    ASSERT_TRUE(s.WaitForReport("settings", "locked", 30)) << "the batch did not start";
    const int before = Top(s);
    Turn(s, 3);
    EXPECT_TRUE(desktop::PollFor([&] { return Top(s) > before; }, 20)) << "the list did not scroll during the batch";
    EXPECT_EQ(s.Report()["settings"], "locked") << "the batch ended before the wheel was seen";
    EXPECT_EQ(s.Report()["video codec"], codec);
}

// The screen rectangle of row `row` of the list as it is scrolled now, from the first row's.
desktop::Rect RowRect(const desktop::Session& s, int row) {
    desktop::Rect r = s.Reported("row 0");
    const int height = r.bottom - r.top;
    r.top += row * height;
    r.bottom += row * height;
    return r;
}

// Right-clicks at (x, y) and chooses "Remove" from the list's menu with the keyboard (its
// entries: Add, a separator, Remove, Remove all); `selected` is the row the list shows selected
// once the menu is open ("-1": none).
void RemoveFromTheMenuAt(desktop::Session& s, int x, int y, const std::string& selected) {
    const int shown = s.VisibleWindows();
    s.Click(x, y, 3);
    ASSERT_TRUE(desktop::PollFor([&] { return s.VisibleWindows() == shown + 1; }, 20)) << "the menu did not open";
    EXPECT_TRUE(s.WaitForReport("selected", selected)) << "selected " << s.Report()["selected"];
    s.Key("Down");
    s.Key("Down");
    s.Key("Return");
    ASSERT_TRUE(desktop::PollFor([&] { return s.VisibleWindows() == shown; }, 20)) << "the menu did not close";
}

TEST(DesktopInput, RemoveFromTheListsMenuRemovesTheRowRightClicked) {
    std::string missing = desktop::Session::Missing(false);
    if (!missing.empty()) GTEST_SKIP() << missing;
    desktop::Session s;
    std::vector<std::string> names;
    ASSERT_NO_FATAL_FAILURE(StartWithClips(s, 5, 1.0, &names));
    const desktop::Rect row0 = s.Reported("row 0");
    ASSERT_GT(row0.bottom, row0.top);
    const int x = (row0.left + s.Control(kIdList).right) / 2;

    // The first row chosen with the left button, then the fourth clicked with the right.
    s.Click(x, row0.cy());
    ASSERT_TRUE(s.WaitForReport("selected", "0"));
    ASSERT_NO_FATAL_FAILURE(RemoveFromTheMenuAt(s, x, RowRect(s, 3).cy(), "3"));
    const std::vector<std::string> kept{"c01.avi", "c02.avi", "c03.avi", "c05.avi"};
    EXPECT_EQ(NamesOnceThey(s, kept), kept) << "not the row right-clicked was removed";
}

// Where no row is, the right button leaves no row selected, as the left one does, and the
// menu's "Remove" removes nothing: below the last row, and just past the last column. Each
// edge is tried from both sides: the last pixel row and column of a row are the row's.
void RightClickWhereNoRowIs(bool with_manager) {
    desktop::Session s;
    std::vector<std::string> names;
    ASSERT_NO_FATAL_FAILURE(StartWithClips(s, 5, 1.0, &names, with_manager));
    const desktop::Rect row0 = s.Reported("row 0"), list = s.Control(kIdList);
    ASSERT_GT(row0.bottom, row0.top);
    // Five rows leave room below them, and the columns end inside the list.
    ASSERT_LT(RowRect(s, 5).bottom, list.bottom - 2);
    ASSERT_LT(row0.right, list.right - 1);
    const int x = (row0.left + row0.right) / 2;

    // Below the last row, right under its last pixel row.
    s.Click(x, row0.cy());
    ASSERT_TRUE(s.WaitForReport("selected", "0"));
    ASSERT_NO_FATAL_FAILURE(RemoveFromTheMenuAt(s, x, RowRect(s, 4).bottom, "-1"));
    // Just past the last column, on the third row.
    s.Click(x, row0.cy());
    ASSERT_TRUE(s.WaitForReport("selected", "0"));
    ASSERT_NO_FATAL_FAILURE(RemoveFromTheMenuAt(s, row0.right, RowRect(s, 2).cy(), "-1"));
    // Neither removed a row: the next Remove, on the last pixel column of the third row, is the
    // first to take one, and the first row is still there.
    ASSERT_NO_FATAL_FAILURE(RemoveFromTheMenuAt(s, row0.right - 1, RowRect(s, 2).cy(), "2"));
    const std::vector<std::string> four{"c01.avi", "c02.avi", "c04.avi", "c05.avi"}, three{"c01.avi", "c02.avi", "c04.avi"};
    EXPECT_EQ(NamesOnceThey(s, four), four);
    // The last pixel row of the last row is that row's.
    ASSERT_NO_FATAL_FAILURE(RemoveFromTheMenuAt(s, x, RowRect(s, 3).bottom - 1, "3"));
    EXPECT_EQ(NamesOnceThey(s, three), three);
}

TEST(DesktopInput, ARightClickWhereNoRowIsLeavesNothingForTheMenusRemove) {
    std::string missing = desktop::Session::Missing(false);
    if (!missing.empty()) GTEST_SKIP() << missing;
    RightClickWhereNoRowIs(false);
}

TEST(DesktopInput, ARightClickWhereNoRowIsLeavesNothingForTheMenusRemoveUnderAWindowManager) {
    std::string missing = desktop::Session::Missing(true);
    if (!missing.empty()) GTEST_SKIP() << missing;
    RightClickWhereNoRowIs(true);
}

// In a list scrolled away from its start the row under the pointer is the one right-clicked,
// at the first and at the last pixel row of a row, in every column; a row moved with the Up
// button, or chosen with the keyboard, gives way to the row clicked.
TEST(DesktopInput, InAScrolledListTheMenusRemoveTakesTheRowUnderThePointer) {
    std::string missing = desktop::Session::Missing(false);
    if (!missing.empty()) GTEST_SKIP() << missing;
    desktop::Session s;
    std::vector<std::string> names;
    ASSERT_NO_FATAL_FAILURE(StartWithClips(s, 40, 1.0, &names));
    // The list shows its last rows, the ones just added, then a page up from there: the first
    // Page Up goes to the top of the page, the second scrolls, once.
    ASSERT_TRUE(desktop::PollFor([&] { return Top(s) > 0; }, 20)) << "top " << s.Report()["top"];
    const int end = Top(s);
    s.Key("Prior Prior");
    ASSERT_TRUE(desktop::PollFor([&] { return Top(s) < end && Top(s) > 0; }, 20)) << "top " << s.Report()["top"];
    const int top = Top(s);
    const desktop::Rect list = s.Control(kIdList);
    std::vector<std::string> rows(names);

    struct Step {
        int row, x, y;
    };
    const int name_x = (list.left * 3 + list.right) / 4, status_x = (list.left + list.right * 5) / 6 - 20;
    const int check_x = RowRect(s, 0).left + 4;
    const Step steps[] = {
        {top + 3, name_x, RowRect(s, top + 3).top},          // its first pixel row
        {top + 4, status_x, RowRect(s, top + 4).bottom - 1},  // its last pixel row
        {top + 6, check_x, RowRect(s, top + 6).cy()},         // the check box column
    };
    for (const Step& step : steps) {
        // The row moved up a place first, so that the list selects another.
        s.Click(name_x, RowRect(s, top + 2).cy());
        const desktop::Rect up = s.Control(kIdUp);
        s.Click(up.cx(), up.cy());
        ASSERT_TRUE(s.WaitForReport("selected", std::to_string(top + 1)))
            << "row " << step.row << ": selected " << s.Report()["selected"];
        ASSERT_TRUE(desktop::PollFor([&] { return Top(s) == top; }, 20)) << "top " << s.Report()["top"];
        std::swap(rows[size_t(top + 1)], rows[size_t(top + 2)]);
        ASSERT_NO_FATAL_FAILURE(RemoveFromTheMenuAt(s, step.x, step.y, std::to_string(step.row)));
        rows.erase(rows.begin() + step.row);
        ASSERT_EQ(NamesOnceThey(s, rows), rows) << "row " << step.row << ": not the row right-clicked was removed";
    }
    // The keyboard's choice gives way too.
    s.Click(name_x, RowRect(s, top + 1).cy());
    ASSERT_TRUE(s.WaitForReport("selected", std::to_string(top + 1)));
    s.Key("Down");
    ASSERT_TRUE(s.WaitForReport("selected", std::to_string(top + 2)));
    ASSERT_NO_FATAL_FAILURE(RemoveFromTheMenuAt(s, name_x, RowRect(s, top + 5).cy(), std::to_string(top + 5)));
    rows.erase(rows.begin() + top + 5);
    EXPECT_EQ(NamesOnceThey(s, rows), rows);
}

TEST(DesktopInput, AWindowMinimisedWithoutAWindowManagerComesBackWithAClickAtTheFootOfTheScreen) {
    std::string missing = desktop::Session::Missing(false);
    if (!missing.empty()) GTEST_SKIP() << missing;
    desktop::Session s;
    ASSERT_TRUE(s.Start(false));
    const desktop::Rect w = s.Reported("window");
    const desktop::Spot minimise = desktop::MinimiseButton(w);
    s.Click(minimise.x, minimise.y);
    ASSERT_TRUE(desktop::PollFor([&] { return s.Window("Velmora Corvane") == 0; }, 20)) << "the window did not go";
    // What stands for it: one window of the program, in the screen's lower left corner.
    unsigned long stub = 0;
    desktop::Rect at;
    ASSERT_TRUE(desktop::PollFor(
        [&] {
            std::vector<unsigned long> shown = s.Windows();
            if (shown.size() != 1) return false;
            stub = shown[0];
            at = s.Geometry(stub);
            return at.left == 0 && at.bottom == 768 && at.right > at.left;
        },
        20))
        << "nothing of the window at the foot of the screen: " << at.left << "," << at.top << " " << at.right << ","
        << at.bottom;
    s.Click(at.cx(), at.cy());
    EXPECT_TRUE(desktop::PollFor([&] { return s.InPlace("Velmora Corvane", w); }, 20)) << "the window did not come back";
    EXPECT_TRUE(desktop::PollFor([&] { return s.Windows().size() == 1 && s.Windows()[0] != stub; }, 20))
        << "the stand-in stayed";
    EXPECT_TRUE(s.WaitForKeyboard("Velmora Corvane"));
}

}  // namespace
