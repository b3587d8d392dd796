// The main dialog with a thousand files: one choice in the open-file dialog adds them all, each
// probed on the add's worker while the window answers; the long list scrolls, selects and
// moves rows as a short one does, and a batch over a few of its rows converts just those. How
// fast the window answers meanwhile is measured in app/bench (bench_scale), not here.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "test_dlg_support.h"

using namespace dlgtest;

namespace {

constexpr int kRows = 1000;

class DlgScale : public DialogFixture {
protected:
    // f0000.avi .. f0999.avi, links to two generated files: even rows last one second, odd
    // rows two, so each row's duration shows it was probed on its own.
    void AddThousand() {
        Media("one.avi", 1.0);
        Media("two.avi", 2.0);
        std::string names;
        for (int i = 0; i < kRows; ++i) {
            std::string n = Name(i);
            ASSERT_EQ(::link((scratch / (i % 2 ? "two.avi" : "one.avi")).c_str(), (scratch / n).c_str()), 0);
            names += (i ? "\n" : "") + n;
        }
        // Half-way the probe is held: the rows so far are listed and the window answers.
        dlg.HoldProbes(kRows / 2);
        WinTestScriptOpenFile(scratch.path().c_str(), names.c_str());
        ClickButton(dlg, IDC_ADD);
        ASSERT_TRUE(PumpUntil([&] { return Rows() == kRows / 2; }));
        EXPECT_EQ(SendFromOtherThread(List().GetSafeHwnd(), LVM_GETITEMCOUNT), kRows / 2);
        EXPECT_TRUE(dlg.IsAdding());
        dlg.HoldProbes(INT_MAX);
        ASSERT_TRUE(WaitForAddEnd());
    }
    static std::string Name(int i) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "f%04d.avi", i);
        return buf;
    }
    int TopRow() { return int(::SendMessageA(List().GetSafeHwnd(), LVM_GETTOPINDEX, 0, 0)); }
    void Key(UINT vk) {
        WinTestKeyPress(vk);
        WinTestPumpUntilIdle();
    }
};

// One list for all of it: adding a thousand probed files is the slow part.
TEST_F(DlgScale, AThousandFilesAddedInOneGoAreProbedScrolledMovedAndAFewConverted) {
    AddThousand();
    ASSERT_EQ(Rows(), kRows);
    // Nothing was refused, and nothing was asked.
    EXPECT_TRUE(dlg.decoderInfo.empty());
    EXPECT_TRUE(dlg.boxes.empty());
    for (int i = 0; i < kRows; ++i) {
        ASSERT_EQ(Cell(i, COL_NAME), Name(i));
        ASSERT_EQ(Cell(i, COL_DURATION), i % 2 ? "00:00:02" : "00:00:01") << i;
        ASSERT_EQ(Cell(i, COL_SIZE), "160x120");
        ASSERT_EQ(List().GetCheckbox(i, COL_CHECK), 1);
        ASSERT_EQ(std::string((LPCSTR)dlg.GetRecord(i)->strPath), scratch / Name(i));
    }
    // The last file added is the current row and the one a preview plays.
    EXPECT_EQ(dlg.GetCurrentItem(), kRows - 1);
    EXPECT_EQ(std::string((LPCSTR)dlg.GetPreviewFile()), scratch / Name(kRows - 1));
    // What a row keeps beside its texts is its path and the probe's record: a thousand rows
    // cost well under a megabyte of records.
    EXPECT_LE(sizeof(FileRecord) * kRows, size_t(1) << 20);

    // Scrolling and selecting.
    ::SetFocus(List().GetSafeHwnd());
    // The newest row was brought into view.
    EXPECT_GT(TopRow(), kRows - 50);
    Key(VK_HOME);
    EXPECT_EQ(dlg.GetCurrentItem(), 0);
    EXPECT_EQ(TopRow(), 0);
    // The first page key goes to the foot of the view, the second turns the page.
    Key(VK_NEXT);
    const int foot = dlg.GetCurrentItem();
    EXPECT_GT(foot, 1);
    EXPECT_EQ(TopRow(), 0);
    Key(VK_NEXT);
    EXPECT_GT(dlg.GetCurrentItem(), foot);
    EXPECT_GT(TopRow(), 0);
    Key(VK_END);
    EXPECT_EQ(dlg.GetCurrentItem(), kRows - 1);
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), kRows - 1);
    // The scroll bar moves the view without changing the current row.
    ::SendMessageA(List().GetSafeHwnd(), WM_VSCROLL, SB_TOP, 0);
    WinTestPumpUntilIdle();
    EXPECT_EQ(TopRow(), 0);
    EXPECT_EQ(dlg.GetCurrentItem(), kRows - 1);

    // Moving: row 500 moved up twice and down once sits at 499 with its record and texts.
    Key(VK_HOME);
    for (int i = 0; i < 500; ++i) WinTestKeyPress(VK_DOWN);
    WinTestPumpUntilIdle();
    ASSERT_EQ(dlg.GetCurrentItem(), 500);
    ClickButton(dlg, IDC_UP);
    ClickButton(dlg, IDC_UP);
    ClickButton(dlg, IDC_DOWN);
    EXPECT_EQ(dlg.GetCurrentItem(), 499);
    EXPECT_EQ(Cell(499, COL_NAME), Name(500));
    EXPECT_EQ(Cell(499, COL_DURATION), "00:00:01");
    EXPECT_EQ(std::string((LPCSTR)dlg.GetRecord(499)->strPath), scratch / Name(500));
    EXPECT_EQ(Cell(498, COL_NAME), Name(498));
    EXPECT_EQ(Cell(500, COL_NAME), Name(499));
    ClickButton(dlg, IDC_REMOVE);
    EXPECT_EQ(Rows(), kRows - 1);
    EXPECT_EQ(Cell(499, COL_NAME), Name(499));
    ASSERT_EQ(Rows(), kRows - 1);

    // A short batch over three of the rows converts just those.
    for (int i = 0; i < kRows - 1; ++i) List().SetCheckbox(i, COL_CHECK, i == 3 || i == 500 || i == 997);
    std::string out = scratch / "out";
    ::SetWindowTextA(H(IDC_OUTFOLDER), out.c_str());
    ClickButton(dlg, IDC_START);
    ASSERT_TRUE(WaitForBatchEnd());
    EXPECT_EQ(dlg.GetBatchState(), BATCH_FINISHED);
    for (int i : {3, 500, 997}) {
        std::string name = Cell(i, COL_NAME).substr(0, 5) + "_new.mp4";
        testmedia::Report rep = testmedia::Check(out + "/" + name);
        EXPECT_TRUE(rep.opened) << name;
        EXPECT_EQ(rep.decodeErrors, 0) << name;
        EXPECT_EQ(Cell(i, COL_STATUS), "Completed") << i;
    }
    EXPECT_FALSE(testmedia::Check(out + "/f0004_new.mp4", false).opened);
    EXPECT_EQ(Cell(4, COL_STATUS), "Ready");
}

}  // namespace
