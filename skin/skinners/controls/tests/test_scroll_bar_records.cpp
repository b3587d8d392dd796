// The record of a window's skinned scroll bars lives exactly as long as it is needed, however
// the window's other subclasses come and go around the bars' procedure.
#include "ScrollBarSkinRecord.h"
#include "scroll_test_support.h"

using namespace sbtest;

namespace {

// A subclass of the program's own, put above whatever the window has; counts what it passes.
struct Above {
    static WNDPROC next;
    static int passed;
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        ++passed;
        return CallWindowProcA(next, h, m, w, l);
    }
    static void Install(HWND h)
    {
        passed = 0;
        next = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    static void Remove(HWND h) { SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next)); }
};
WNDPROC Above::next = nullptr;
int Above::passed = 0;

class ScrollBarRecordTest : public CSkinnerTest {
protected:
    void SetUp() override
    {
        CSkinnerTest::SetUp();
        ApplySkin(Objects());
        WinTestPumpUntilIdle();
        records = skinsb::RecordCount();
    }
    size_t records = 0;
};

TEST_F(ScrollBarRecordTest, AWindowDestroyedWithASubclassAboveTheBarsTakesItsRecordAlong)
{
    HWND h = MakeScrolled();
    ASSERT_TRUE(InitializeSkinSB(h));
    EXPECT_EQ(skinsb::RecordCount(), records + 1);
    Above::Install(h);
    DestroyWindow(h);
    WinTestPumpUntilIdle();
    EXPECT_GT(Above::passed, 0);
    EXPECT_FALSE(IsSkinSBWindow(h));
    EXPECT_EQ(skinsb::RecordCount(), records);
}

TEST_F(ScrollBarRecordTest, BarsTakenAwayUnderASubclassPassEverythingOnUntilTheWindowGoes)
{
    for (bool aboveLeavesFirst : {false, true}) {
        SCOPED_TRACE(aboveLeavesFirst ? "the subclass above leaves first" : "the subclass above stays");
        HWND h = MakeScrolled();
        CMessageCounter own(h, WM_VSCROLL);
        ASSERT_TRUE(InitializeSkinSB(h));
        Above::Install(h);
        EXPECT_EQ(UninitializeSkinSB(h), S_OK);
        EXPECT_FALSE(IsSkinSBWindow(h));
        // The window's own bars again, and its messages reach it through the released record.
        EXPECT_EQ(SetScrollPos(h, SB_VERT, 40, TRUE), 0);
        EXPECT_EQ(SkinSB_GetScrollPos(h, SB_VERT), 40);
        if (aboveLeavesFirst)
            Above::Remove(h);
        SendMessageA(h, WM_VSCROLL, SB_LINEDOWN, 0);
        EXPECT_EQ(own.Count(), 1);
        // Bars given again while the released record still sits in the chain: they work where
        // it sits, once.
        ASSERT_TRUE(InitializeSkinSB(h));
        EXPECT_FALSE(InitializeSkinSB(h));
        EXPECT_TRUE(IsSkinSBWindow(h));
        EXPECT_EQ(SkinSB_GetScrollPos(h, SB_VERT), 40);
        SCROLLINFO in{sizeof in, SIF_POS, 0, 0, 0, 7, 0};
        SkinSB_SetScrollInfo(h, SB_VERT, &in, TRUE);
        EXPECT_EQ(SkinSB_GetScrollPos(h, SB_VERT), 7);
        EXPECT_EQ(GetScrollPos(h, SB_VERT), 40);  // the window's own bar stays as it was
        SendMessageA(h, WM_VSCROLL, SB_LINEDOWN, 0);
        EXPECT_EQ(own.Count(), 2);
        EXPECT_EQ(skinsb::RecordCount(), records + 1);
        DestroyWindow(h);
        WinTestPumpUntilIdle();
        EXPECT_EQ(skinsb::RecordCount(), records);
    }
}

}  // namespace
