// The skinned scroll bars of edits, list boxes, list views and tree views stay with the control
// however it is scrolled: by the program's messages, by keys, by the wheel and by the bar
// itself. The engine runs, so that the system identity decides how the bars learn of it
// (entry patching by default; on 98 and Me the skinners copy the control's state by hand). These
// tests are run under both identities.
#include <unistd.h>

#include <commctrl.h>

#include <string>

#include "ApiHook.h"
#include "ListBoxSkin.h"
#include "ListViewSkin.h"
#include "SkinEngine.h"
#include "TreeViewSkin.h"
#include "scroll_test_support.h"

using namespace sbtest;

namespace {

constexpr COLORREF kBack = RGB(250, 236, 20);

std::unique_ptr<CSkinScrollControlObject> Field(const char* name, int type)
{
    auto o = Named<CSkinScrollControlObject>(name, type);
    o->m_background.Set("", 0, 0, 12, 12, 2, 2, 2, 2, 1);
    o->m_crBack = kBack;
    o->m_crText = RGB(20, 60, 200);
    return o;
}

bool NinetyFiveFamily()
{
    const int os = skin::GetOsVersionClass();
    return os == 3 || os == 4;
}

SCROLLINFO ControlsOwn(HWND hwnd, int bar)
{
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    using Fn = BOOL(WINAPI*)(HWND, int, LPSCROLLINFO);
    reinterpret_cast<Fn>(skin::GetApiHookSystemFunction(skin::kHookGetScrollInfo))(hwnd, bar, &si);
    return si;
}

class ScrollFollowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<std::unique_ptr<CSkinObject>> objects = Objects();
        for (auto [name, type] : {std::pair<const char*, int>{"Edit", SKIN_EDIT},
                                  {"ListBox", SKIN_LISTBOX},
                                  {"ListView", SKIN_LISTVIEW},
                                  {"TreeView", SKIN_TREEVIEW}})
            objects.push_back(type == SKIN_TREEVIEW ? std::unique_ptr<CSkinScrollControlObject>(
                                                          Named<CSkinTreeViewObject>(name).release())
                                                    : Field(name, type));
        skin = std::make_unique<CFlatSkin>(std::move(objects));
        path = "/tmp/scroll_follow_" + std::to_string(getpid()) + ".qvk";
        ASSERT_TRUE(skin->SaveToFile(path.c_str()));
        InstallControlSkinners();
        ASSERT_TRUE(InitSkinLibrary(GetModuleHandleA(nullptr)));
        ASSERT_TRUE(LoadSkinFile(path.c_str())) << GetSkinLastError();
        host = std::make_unique<CHost>();
    }
    void TearDown() override
    {
        WinTestMouseButton(nullptr, WINTEST_LEFT, FALSE, 0, 0);
        WinTestPumpUntilIdle();
        counter.reset();
        host.reset();
        WinTestPumpUntilIdle();
        ExitSkinLibrary();
        ResetEngine();
        unlink(path.c_str());
    }
    HWND Add(const char* cls, DWORD style, RECT place = RECT{20, 20, 200, 180})
    {
        return host->Add(cls, "", style, place, ++lastId, WS_EX_CLIENTEDGE);
    }
    void Skin(HWND control)
    {
        ASSERT_TRUE(host->Skin());
        WinTestPumpUntilIdle();
        auto* skinner = SkinOf<CSkinScrollControl>(control);
        ASSERT_NE(skinner, nullptr);
        ASSERT_TRUE(skinner->HasSkinnedScrollBars());
        EXPECT_EQ(skinner->FollowsScrolling(), NinetyFiveFamily());
    }

    // The vertical bar's column (window coordinates of the control) and its rows.
    struct Column {
        int x = 0, top = 0, bottom = 0;
    };
    static Column VerticalBar(HWND control)
    {
        RECT wr, cr;
        GetWindowRect(control, &wr);
        GetClientRect(control, &cr);
        POINT origin{0, 0};
        ClientToScreen(control, &origin);
        return Column{origin.x - wr.left + cr.right + kBar / 2, origin.y - wr.top, origin.y - wr.top + cr.bottom};
    }
    // The first and last row of the column painted by the skin's thumb; {-1, -1} without one.
    std::pair<int, int> ThumbRows(HWND control) const
    {
        const Column c = VerticalBar(control);
        const CPicture p = CPicture::OfWindow(control);
        std::pair<int, int> rows{-1, -1};
        for (int y = c.top; y < c.bottom; ++y) {
            const skinkit::FlatRecord* r = skin->Find(p.At(POINT{c.x, y}));
            if (r && r->path.find(".thumb") != std::string::npos) {
                if (rows.first < 0)
                    rows.first = y;
                rows.second = y;
            }
        }
        return rows;
    }

    // The skinned vertical bar shows the row the control shows at its top (as the program asks
    // it too), shows only with something to scroll, and has its thumb drawn where the position
    // puts it. Where the bars follow by hand they say what the control's own record says.
    void ExpectBarAt(HWND control, int top, const char* when)
    {
        SCOPED_TRACE(when);
        WinTestPumpUntilIdle();
        SCROLLINFO skinned{sizeof skinned, SIF_ALL, 0, 0, 0, 0, 0};
        ASSERT_TRUE(SkinSB_GetScrollInfo(control, SB_VERT, &skinned));
        EXPECT_EQ(skinned.nPos, top);
        EXPECT_EQ(GetScrollPos(control, SB_VERT), top);
        if (NinetyFiveFamily()) {
            const SCROLLINFO own = ControlsOwn(control, SB_VERT);
            EXPECT_EQ(skinned.nPos, own.nPos);
            EXPECT_EQ(skinned.nMax, own.nMax);
            EXPECT_EQ(skinned.nPage, own.nPage);
        }
        const bool scrollable = skinned.nPage > 0 && skinsb::IsScrollable(skinned);
        // The bar takes its width from the client area only when it shows.
        RECT wr, cr;
        GetWindowRect(control, &wr);
        GetClientRect(control, &cr);
        const int besideClient = Width(wr) - cr.right - 2 * GetSystemMetrics(SM_CXEDGE);
        EXPECT_EQ(besideClient == kBar, scrollable) << besideClient;
        EXPECT_TRUE(besideClient == kBar || besideClient == 0) << besideClient;
        const std::pair<int, int> thumb = ThumbRows(control);
        if (!scrollable) {
            EXPECT_EQ(thumb.first, -1);
            return;
        }
        ASSERT_GE(thumb.first, 0);
        // The free track lies between the two arrows; the thumb's start divides it as the
        // position divides the positions.
        const Column c = VerticalBar(control);
        const int length = thumb.second - thumb.first + 1;
        const int freeTrack = (c.bottom - c.top) - 2 * kBar - length;
        const int last = skinned.nMax - int(skinned.nPage) + 1;
        ASSERT_GT(last, skinned.nMin);
        const double expected = c.top + kBar + double(freeTrack) * (top - skinned.nMin) / (last - skinned.nMin);
        EXPECT_NEAR(thumb.first, expected, 1.0) << "position " << top << " of " << last;
    }

    // The row (line, item) the control shows at its top, as the control itself tells it.
    static int TopRowOf(HWND control)
    {
        char cls[32] = {};
        GetClassNameA(control, cls, sizeof cls);
        const std::string name = cls;
        if (name == "ListBox")
            return int(SendMessageA(control, LB_GETTOPINDEX, 0, 0));
        if (name == "Edit")
            return int(SendMessageA(control, EM_GETFIRSTVISIBLELINE, 0, 0));
        if (name == WC_LISTVIEWA)
            return int(SendMessageA(control, LVM_GETTOPINDEX, 0, 0));
        const LPARAM first = SendMessageA(control, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0);
        int row = 0;
        for (LPARAM item = SendMessageA(control, TVM_GETNEXTITEM, TVGN_ROOT, 0); item && item != first;
             item = SendMessageA(control, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, item))
            ++row;
        return row;
    }
    void ExpectBarAgrees(HWND control, const char* when)
    {
        WinTestPumpUntilIdle();
        ExpectBarAt(control, TopRowOf(control), when);
    }

    std::unique_ptr<CFlatSkin> skin;
    std::string path;
    std::unique_ptr<CHost> host;
    std::unique_ptr<CMessageCounter> counter;
    int lastId = 10;
};

HWND Fill(HWND list, int count)
{
    for (int i = 0; i < count; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("Row " + std::to_string(i)).c_str()));
    return list;
}

TEST_F(ScrollFollowTest, AListBoxBarFollowsTheProgramTheKeysAndTheWheel)
{
    HWND list = Fill(Add("ListBox", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL), 100);
    Skin(list);
    ExpectBarAgrees(list, "skinned");
    EXPECT_EQ(ThumbRows(list).first, VerticalBar(list).top + kBar);

    SendMessageA(list, LB_SETTOPINDEX, 50, 0);
    ASSERT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 50);
    ExpectBarAgrees(list, "LB_SETTOPINDEX");
    EXPECT_EQ(SkinSB_GetScrollPos(list, SB_VERT), 50);

    SetFocus(list);
    WinTestKeyPress(VK_END);
    ExpectBarAgrees(list, "End");
    WinTestKeyPress(VK_HOME);
    ExpectBarAgrees(list, "Home");
    EXPECT_EQ(SkinSB_GetScrollPos(list, SB_VERT), 0);
    SendMessageA(list, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), 0);
    ExpectBarAgrees(list, "wheel");
    EXPECT_GT(SkinSB_GetScrollPos(list, SB_VERT), 0);
    SendMessageA(list, LB_SETCURSEL, 80, 0);
    ExpectBarAgrees(list, "LB_SETCURSEL");

    // Emptied and given fewer rows than fit, the list has no bar; filled, it has one again.
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    Fill(list, 3);
    ExpectBarAgrees(list, "three rows");
    Fill(list, 60);
    ExpectBarAgrees(list, "sixty-three rows");
}

TEST_F(ScrollFollowTest, AListBoxBarDraggedAndClickedLeavesTheListWhereTheBarShows)
{
    HWND list = Fill(Add("ListBox", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL), 100);
    Skin(list);
    const Column c = VerticalBar(list);
    // The lower arrow, then a page below the thumb.
    Press(list, POINT{c.x, c.bottom - 3});
    Release(list, POINT{c.x, c.bottom - 3});
    ExpectBarAgrees(list, "arrow");
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 1);
    Press(list, POINT{c.x, c.bottom - kBar - 3});
    Release(list, POINT{c.x, c.bottom - kBar - 3});
    ExpectBarAgrees(list, "page");
    // The thumb dragged to the middle of the track.
    const std::pair<int, int> thumb = ThumbRows(list);
    Press(list, POINT{c.x, thumb.first + 2});
    WinTestPumpUntilIdle();
    MoveTo(list, POINT{c.x, (c.top + c.bottom) / 2});
    WinTestPumpUntilIdle();
    Release(list, POINT{c.x, (c.top + c.bottom) / 2});
    ExpectBarAgrees(list, "drag");
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), SkinSB_GetScrollPos(list, SB_VERT));
}

TEST_F(ScrollFollowTest, AnEditBarFollowsItsTextItsKeysAndWhatTheProgramAppends)
{
    HWND edit = Add("Edit", ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL);
    Skin(edit);
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "Line " + std::to_string(i) + "\r\n";
    SetWindowTextA(edit, text.c_str());
    ExpectBarAgrees(edit, "text set");
    SetFocus(edit);
    for (int i = 0; i < 3; ++i)
        WinTestKeyPress(VK_NEXT);
    ExpectBarAgrees(edit, "three pages down");
    EXPECT_GT(SkinSB_GetScrollPos(edit, SB_VERT), 0);
    SendMessageA(edit, EM_SETSEL, 0, 0);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    ExpectBarAgrees(edit, "caret at the start");
    EXPECT_EQ(SkinSB_GetScrollPos(edit, SB_VERT), 0);
    const int end = GetWindowTextLengthA(edit);
    SendMessageA(edit, EM_SETSEL, end, end);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("one more\r\nand another\r\n"));
    ExpectBarAgrees(edit, "appended");
    EXPECT_GT(SkinSB_GetScrollPos(edit, SB_VERT), 0);
}

// What a list view's own procedure is asked (installed before the skin, so below it): its
// LVM_SCROLL distances and its WM_VSCROLL codes.
struct ViewCalls {
    std::vector<LPARAM> scrolls;
    std::vector<int> tracks;  // positions of SB_THUMBTRACK
    WNDPROC old = nullptr;
};
ViewCalls g_view;

LRESULT CALLBACK RecordViewCalls(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == LVM_SCROLL)
        g_view.scrolls.push_back(l);
    if (m == WM_VSCROLL && LOWORD(w) == SB_THUMBTRACK)
        g_view.tracks.push_back(HIWORD(w));
    return CallWindowProcA(g_view.old, h, m, w, l);
}

HWND FillView(HWND view, int rows)
{
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 120;
    column.pszText = const_cast<char*>("Name");
    SendMessageA(view, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    for (int i = 0; i < rows; ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        const std::string text = "Row " + std::to_string(i);
        item.pszText = const_cast<char*>(text.c_str());
        SendMessageA(view, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    return view;
}

TEST_F(ScrollFollowTest, AReportViewBarFollowsTheViewAndItsThumbDragScrollsTheRows)
{
    HWND view = FillView(Add(WC_LISTVIEWA, LVS_REPORT), 80);
    g_view = ViewCalls{};
    g_view.old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordViewCalls)));
    Skin(view);
    ExpectBarAgrees(view, "skinned");
    SendMessageA(view, LVM_ENSUREVISIBLE, 60, FALSE);
    ExpectBarAgrees(view, "row 60 shown");
    EXPECT_GT(SkinSB_GetScrollPos(view, SB_VERT), 0);
    SendMessageA(view, LVM_ENSUREVISIBLE, 0, FALSE);
    ExpectBarAgrees(view, "row 0 shown");

    g_view.scrolls.clear();
    // Four rows' worth of thumb travel, tracked.
    SendMessageA(view, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 4), 0);
    ExpectBarAgrees(view, "tracked");
    EXPECT_EQ(SendMessageA(view, LVM_GETTOPINDEX, 0, 0), 4);
    if (NinetyFiveFamily()) {
        // The view scrolls itself by 16 pixels a row; the track code never reaches it.
        EXPECT_EQ(g_view.scrolls, std::vector<LPARAM>{4 * 16});
        EXPECT_TRUE(g_view.tracks.empty());
    } else {
        EXPECT_TRUE(g_view.scrolls.empty());
        EXPECT_EQ(g_view.tracks, std::vector<int>{4});
    }
    SendMessageA(view, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 4), 0);
    SendMessageA(view, LVM_DELETEALLITEMS, 0, 0);
    ExpectBarAgrees(view, "emptied");
}

TEST_F(ScrollFollowTest, ATreeViewBarFollowsItemsShownExpandedAndScrolled)
{
    HWND tree = Add(WC_TREEVIEWA, TVS_HASBUTTONS | TVS_HASLINES | WS_VSCROLL);
    Skin(tree);
    HTREEITEM parent = nullptr, last = nullptr;
    for (int i = 0; i < 40; ++i) {
        TVINSERTSTRUCTA ins{};
        ins.hParent = i < 20 ? TVI_ROOT : parent;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT;
        const std::string text = "Node " + std::to_string(i);
        ins.item.pszText = const_cast<char*>(text.c_str());
        last = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
        if (i == 19)
            parent = last;
    }
    ExpectBarAgrees(tree, "filled");
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    ExpectBarAgrees(tree, "expanded");
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(last));
    ExpectBarAgrees(tree, "last shown");
    EXPECT_GT(SkinSB_GetScrollPos(tree, SB_VERT), 0);
    SendMessageA(tree, WM_VSCROLL, SB_TOP, 0);
    ExpectBarAgrees(tree, "top");
    EXPECT_EQ(SkinSB_GetScrollPos(tree, SB_VERT), 0);
}

}  // namespace
