// Tree views under the flat-colour skin: the skin's background, text and line colours pushed
// into the control after attach, its items drawn in them inside the skin's border, and the
// control's own colours back when the skin goes.
#include <gtest/gtest.h>

#include <commctrl.h>

#include "TreeViewSkin.h"
#include "control_test_support.h"

using namespace ctltest;

namespace {

constexpr COLORREF kBack = RGB(250, 236, 20);
constexpr COLORREF kText = RGB(20, 60, 200);
constexpr COLORREF kLine = RGB(200, 30, 120);

std::vector<std::unique_ptr<CSkinObject>> Objects()
{
    std::vector<std::unique_ptr<CSkinObject>> objects;
    objects.push_back(MakeFrameObject());
    auto tree = Named<CSkinTreeViewObject>("TreeView");
    tree->m_background.Set("", 0, 0, 12, 12, 2, 2, 2, 2, 1);
    tree->m_crBack = kBack;
    tree->m_crText = kText;
    tree->m_values[0] = kLine;
    objects.push_back(std::move(tree));
    return objects;
}

HTREEITEM Insert(HWND tree, const char* text, HTREEITEM parent)
{
    TVINSERTSTRUCTA ins{};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = const_cast<char*>(text);
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
}

class TreeViewSkinTest : public CSkinnerTest {};

TEST_F(TreeViewSkinTest, ATreeViewTakesTheSkinsColoursAndGetsItsOwnBack)
{
    ApplySkin(Objects());
    CHost host;
    HWND tree = host.Add(WC_TREEVIEWA, "", TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT, RECT{20, 20, 220, 180}, 5,
                         WS_EX_CLIENTEDGE);
    HTREEITEM top = Insert(tree, "Videos", TVI_ROOT);
    Insert(tree, "clip.avi", top);
    Insert(tree, "Music", TVI_ROOT);
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(top));
    const COLORREF ownBack = COLORREF(SendMessageA(tree, TVM_GETBKCOLOR, 0, 0));
    const COLORREF ownLine = COLORREF(SendMessageA(tree, TVM_GETLINECOLOR, 0, 0));
    ASSERT_TRUE(host.Skin());
    ASSERT_NE(SkinOf<CSkinTreeView>(tree), nullptr);
    EXPECT_EQ(COLORREF(SendMessageA(tree, TVM_GETBKCOLOR, 0, 0)), kBack);
    EXPECT_EQ(COLORREF(SendMessageA(tree, TVM_GETTEXTCOLOR, 0, 0)), kText);
    EXPECT_EQ(COLORREF(SendMessageA(tree, TVM_GETLINECOLOR, 0, 0)), kLine);

    const RECT cr = skinkit::ClientRectIn(tree, host);
    const CPicture p = host.Picture();
    EXPECT_GT(p.Count(cr, kBack), Width(cr) * Height(cr) / 2);
    EXPECT_GT(p.Count(cr, kText), 10);
    EXPECT_GT(p.Count(cr, kLine), 5);

    ASSERT_TRUE(host.Unskin());
    EXPECT_EQ(COLORREF(SendMessageA(tree, TVM_GETBKCOLOR, 0, 0)), ownBack);
    EXPECT_EQ(COLORREF(SendMessageA(tree, TVM_GETLINECOLOR, 0, 0)), ownLine);
    InvalidateRect(tree, nullptr, TRUE);
    WinTestPumpUntilIdle();
    EXPECT_EQ(host.Picture().Count(cr, kBack), 0);
}

}  // namespace
