// Edits, list boxes, list views and IP-address controls under the flat-colour skin: the skin's
// border (the system's when the skin has none) with the control's own scroll bars inside it, the
// colours the control paints its content with by state, the notices the controls send, the kinds
// left alone, and a clean detach.
#include <gtest/gtest.h>

#include <commctrl.h>

#include <map>
#include <typeinfo>
#include <vector>

#include "EditSkin.h"
#include "ListBoxSkin.h"
#include "ListViewSkin.h"
#include "ScrollBarSkin.h"
#include "control_test_support.h"

using namespace ctltest;
using skinkit::ClientRectIn;
using skinkit::WindowRectIn;

namespace {

constexpr COLORREF kBack = RGB(250, 236, 20);
constexpr COLORREF kText = RGB(20, 60, 200);
constexpr COLORREF kReadOnly = RGB(40, 210, 170);

std::unique_ptr<CSkinScrollControlObject> Field(const char* name, int type)
{
    auto o = Named<CSkinScrollControlObject>(name, type);
    o->m_background.Set("", 0, 0, 12, 12, 2, 2, 2, 2, 1);
    o->m_crBack = kBack;
    o->m_crText = kText;
    o->m_nThird = kReadOnly;
    return o;
}

std::vector<std::unique_ptr<CSkinObject>> Objects()
{
    std::vector<std::unique_ptr<CSkinObject>> objects;
    objects.push_back(MakeFrameObject());
    objects.push_back(Field("Edit", SKIN_EDIT));
    objects.push_back(Field("ListBox", SKIN_LISTBOX));
    objects.push_back(Field("ListView", SKIN_LISTVIEW));
    objects.push_back(Field("ScrollControl", SKIN_SCROLLCONTROL));
    return objects;
}

class ScrollControlTest : public CHostedSkinnerTest {
protected:
    HWND Add(const char* cls, const char* text, DWORD style, RECT place, DWORD exStyle = WS_EX_CLIENTEDGE)
    {
        if (!host)
            host = std::make_unique<CHost>();
        return host->Add(cls, text, style, place, ++lastId, exStyle);
    }
    void Skin()
    {
        EXPECT_TRUE(host->Skin());
        WinTestPumpUntilIdle();
    }
    // The painter of a window point (window coordinates of the control) on the host.
    std::string WindowPainter(HWND control, POINT p) const
    {
        const RECT wr = WindowRectIn(control, *host);
        return skinkit::Painter(host->Picture(), POINT{wr.left + p.x, wr.top + p.y}, *skin);
    }
    HWND AddListBox(DWORD style = LBS_NOTIFY | WS_VSCROLL)
    {
        HWND list = Add("ListBox", "", style, RECT{20, 20, 180, 140});
        for (const char* item : {"Alpha", "Beta", "Gamma", "Delta"})
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        return list;
    }
    HWND AddAddress(RECT place = RECT{20, 20, 220, 46})
    {
        HWND ip = Add(WC_IPADDRESSA, "", 0, place);
        SendMessageA(ip, IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 10, 200));
        WinTestActivate(*host);
        WinTestPumpUntilIdle();
        return ip;
    }

    int lastId = 10;
};

HWND FillListView(HWND view);

// The four fields of an IP-address control.
std::vector<HWND> FieldsOf(HWND ip)
{
    std::vector<HWND> fields;
    for (HWND child = GetWindow(ip, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        fields.push_back(child);
    return fields;
}

// ---- edits ----------------------------------------------------------------------------------------

TEST_F(ScrollControlTest, AnEditHasTheSkinsBorderAndColoursAndTheReadOnlyColourWhenReadOnlyOrDisabled)
{
    ApplySkin(Objects());
    HWND edit = Add("Edit", "Some text", ES_AUTOHSCROLL, RECT{20, 20, 220, 46});
    Skin();
    ASSERT_NE(SkinOf<CSkinEdit>(edit), nullptr);
    const RECT wr = WindowRectIn(edit, *host), cr = ClientRectIn(edit, *host);
    ASSERT_GT(cr.left, wr.left);
    EXPECT_EQ(WindowPainter(edit, POINT{0, Height(wr) / 2}), "Edit.background cell 3");
    EXPECT_EQ(WindowPainter(edit, POINT{Width(wr) - 1, Height(wr) - 1}), "Edit.background cell 8");
    CPicture p = host->Picture();
    EXPECT_EQ(p.At(POINT{cr.right - 2, cr.bottom - 2}), kBack);
    EXPECT_GT(p.Count(cr, kText), 0);

    for (const char* state : {"read-only", "disabled"}) {
        SCOPED_TRACE(state);
        if (std::string(state) == "read-only") {
            SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
        } else {
            SendMessageA(edit, EM_SETREADONLY, FALSE, 0);
            EnableWindow(edit, FALSE);
        }
        InvalidateRect(edit, nullptr, TRUE);
        WinTestPumpUntilIdle();
        p = host->Picture();
        EXPECT_EQ(p.At(POINT{cr.right - 2, cr.bottom - 2}), kReadOnly);
        EXPECT_EQ(p.Count(cr, kBack), 0);
        EXPECT_EQ(WindowPainter(edit, POINT{0, Height(wr) / 2}), "Edit.background cell 3");
    }
    EXPECT_EQ(p.Count(cr, kText), 0);  // disabled text is the system's grey
}

TEST_F(ScrollControlTest, AControlWithAPlainBorderGetsTheSkinsBorderThere)
{
    ApplySkin(Objects());
    HWND edit = Add("Edit", "Text", WS_BORDER, RECT{20, 20, 220, 46}, 0);
    HWND view = FillListView(Add(WC_LISTVIEWA, "", LVS_REPORT | WS_BORDER, RECT{20, 60, 220, 180}, 0));
    Skin();
    for (HWND control : {edit, view}) {
        const RECT wr = WindowRectIn(control, *host), cr = ClientRectIn(control, *host);
        ASSERT_EQ(cr.left - wr.left, 1);
        EXPECT_EQ(WindowPainter(control, POINT{0, Height(wr) / 2}), std::string(control == edit ? "Edit" : "ListView") +
                                                                         ".background cell 3");
        EXPECT_EQ(host->Picture().At(POINT{cr.left, cr.bottom - 1}), kBack);
    }
}

TEST_F(ScrollControlTest, AnEditWithoutABorderPictureKeepsTheSystemBorderAndScrollBarsShowInsideASkinnedOne)
{
    ApplySkin(Objects(), {"Edit.background"});
    HWND plain = Add("Edit", "", 0, RECT{20, 20, 220, 46});
    Skin();
    ASSERT_NE(SkinOf<CSkinEdit>(plain), nullptr);
    // The system's edge, in its own colours, around the skin's field colour.
    const CPicture edges = CPicture::OfWindow(plain);
    const RECT wr = WindowRectIn(plain, plain), cr = ClientRectIn(plain, plain);
    ASSERT_GT(cr.left, 0);
    for (POINT edge : {POINT{0, Height(wr) / 2}, POINT{1, 1}, POINT{Width(wr) - 1, Height(wr) - 1}}) {
        EXPECT_EQ(skin->Find(edges.At(edge)), nullptr) << skin->Describe(edges.At(edge));
        EXPECT_NE(edges.At(edge), kBack);
    }
    EXPECT_EQ(edges.At(POINT{cr.left, cr.top}), kBack);
    TearDown();
    SetUp();

    ApplySkin(Objects());
    HWND multi = Add("Edit", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8", ES_MULTILINE | WS_VSCROLL, RECT{20, 20, 220, 80});
    Skin();
    const RECT w = WindowRectIn(multi, *host), c = ClientRectIn(multi, *host);
    ASSERT_GT(w.right - c.right, 10);  // the border and the bar
    EXPECT_EQ(WindowPainter(multi, POINT{Width(w) - 1, Height(w) / 2}), "Edit.background cell 5");
    // Between the client area and the border lies the control's own bar, painted by the system.
    const RECT bar{c.right, c.top, w.right - 2, c.bottom};
    const CPicture p = host->Picture();
    int skinPixels = 0;
    for (int x = bar.left; x < bar.right; ++x)
        for (int y = bar.top; y < bar.bottom; ++y)
            if (skin->Find(p.At(x, y)))
                ++skinPixels;
    EXPECT_EQ(skinPixels, 0);
    EXPECT_FALSE(p.IsUniform(bar, p.At(bar.left, bar.top)));
}

// ---- list boxes -------------------------------------------------------------------------------------

TEST_F(ScrollControlTest, AListBoxDrawsItsItemsInTheSkinsColoursAndTheSelectionInTheHighlight)
{
    ApplySkin(Objects());
    HWND list = AddListBox();
    Skin();
    auto* skinner = SkinOf<CSkinListBox>(list);
    ASSERT_NE(skinner, nullptr);
    EXPECT_FALSE(skinner->IsComboList());
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    WinTestPumpUntilIdle();
    RECT first{}, second{};
    SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
    const RECT onHost = ClientRectIn(list, *host);
    OffsetRect(&first, onHost.left, onHost.top);
    OffsetRect(&second, onHost.left, onHost.top);
    const CPicture p = host->Picture();
    EXPECT_EQ(p.At(POINT{first.right - 2, first.top}), kBack);
    EXPECT_GT(p.CountNear(first, kText), 0);
    EXPECT_EQ(p.At(POINT{second.right - 2, second.top + 1}), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_GT(p.CountNear(second, GetSysColor(COLOR_HIGHLIGHTTEXT)), 0);
    EXPECT_EQ(p.CountNear(second, kText), 0);
    // Below the items the list's background.
    EXPECT_EQ(p.At(POINT{onHost.left + 5, onHost.bottom - 3}), kBack);
    EXPECT_EQ(WindowPainter(list, POINT{0, 30}), "ListBox.background cell 3");
}

std::map<int, int> ListNoticesAfterUse(HWND list, HWND host)
{
    CMessageCounter commands(host, WM_COMMAND);
    RECT third{};
    SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&third));
    const POINT p = Mid(third);
    WinTestClick(list, WINTEST_LEFT, p.x, p.y);
    WinTestPumpUntilIdle();
    WinTestKeyPress(VK_DOWN);
    WinTestKeyPress(VK_HOME);
    WinTestPumpUntilIdle();
    WinTestClick(list, WINTEST_LEFT, p.x, p.y);
    WinTestClick(list, WINTEST_LEFT, p.x, p.y);
    WinTestPumpUntilIdle();
    return commands.CodesFrom(list, true);
}

TEST_F(ScrollControlTest, AListBoxSendsTheNoticesItSendsWithoutTheSkin)
{
    ApplySkin(Objects());
    HWND plain = AddListBox();
    WinTestActivate(*host);
    WinTestPumpUntilIdle();
    const std::map<int, int> unskinned = ListNoticesAfterUse(plain, *host);
    host.reset();
    HWND list = AddListBox();
    Skin();
    ASSERT_NE(SkinOf<CSkinListBox>(list), nullptr);
    const std::map<int, int> withSkin = ListNoticesAfterUse(list, *host);
    EXPECT_EQ(unskinned.at(LBN_SELCHANGE), 3);
    EXPECT_EQ(unskinned.at(LBN_DBLCLK), 1);
    EXPECT_EQ(withSkin, unskinned);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);
}

TEST_F(ScrollControlTest, OwnerDrawnListsStayUnskinnedAndTheComboListTakesTheListBoxLook)
{
    auto objects = Objects();
    objects.push_back(Named<CSkinComboBoxObject>("ComboBox"));
    ApplySkin(std::move(objects));
    HWND fixed = AddListBox(LBS_OWNERDRAWFIXED | LBS_HASSTRINGS);
    HWND variable = Add("ListBox", "", LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS, RECT{200, 20, 300, 100});
    HWND ownerView = Add(WC_LISTVIEWA, "", LVS_REPORT | LVS_OWNERDRAWFIXED, RECT{20, 150, 180, 250});
    HWND combo = Add("ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL, RECT{200, 150, 340, 260}, 0);
    for (const char* item : {"One", "Two", "Three"})
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    Skin();
    EXPECT_EQ(SkinOf(fixed), nullptr);
    EXPECT_EQ(SkinOf(variable), nullptr);
    EXPECT_EQ(SkinOf(ownerView), nullptr);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    auto* listSkin = SkinOf<CSkinListBox>(info.hwndList);
    ASSERT_NE(listSkin, nullptr);
    EXPECT_TRUE(listSkin->IsComboList());
    WinTestClick(combo, WINTEST_LEFT, 60, 10);
    WinTestPumpUntilIdle();
    ASSERT_TRUE(IsWindowVisible(info.hwndList));
    RECT last{};
    SendMessageA(info.hwndList, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&last));
    const CPicture p = CPicture::OfWindow(info.hwndList);
    const RECT cr = ClientRectIn(info.hwndList, info.hwndList);
    EXPECT_EQ(p.At(POINT{cr.left + last.right - 2, cr.top + last.top + 1}), kBack);
    WinTestKeyPress(VK_ESCAPE);
    WinTestPumpUntilIdle();
}

// ---- scroll bars ------------------------------------------------------------------------------------

TEST_F(ScrollControlTest, WithAScrollBarObjectTheListsBarsAreTheSkinsAndScrollItAndGoWithTheSkin)
{
    for (bool withBars : {true, false}) {
        SCOPED_TRACE(withBars ? "a ScrollBar object" : "no ScrollBar object");
        auto objects = Objects();
        if (withBars)
            objects.push_back(Named<CSkinScrollBarObject>("ScrollBar"));
        ApplySkin(std::move(objects));
        HWND list = Add("ListBox", "", LBS_NOTIFY | WS_VSCROLL, RECT{20, 20, 180, 140});
        for (int i = 0; i < 30; ++i)
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("Item " + std::to_string(i)).c_str()));
        WinTestActivate(*host);
        WinTestPumpUntilIdle();
        const WinTestLiveCounts baseline = WinTestLiveCounts::Now();
        Skin();
        auto* skinner = SkinOf<CSkinListBox>(list);
        ASSERT_NE(skinner, nullptr);
        EXPECT_EQ(skinner->HasSkinnedScrollBars(), withBars);
        EXPECT_EQ(IsSkinSBWindow(list) != FALSE, withBars);
        RECT wr{}, cr{};
        ::GetWindowRect(list, &wr);
        GetClientRect(list, &cr);
        POINT origin{0, 0};
        ClientToScreen(list, &origin);
        const int barLeft = origin.x + cr.right, barRight = wr.right - 2;
        ASSERT_GT(barRight - barLeft, 8);
        const std::string middle = WindowPainter(list, POINT{(barLeft + barRight) / 2 - wr.left, Height(wr) / 2});
        EXPECT_EQ(middle.rfind("ScrollBar.", 0) == 0, withBars) << middle;
        // The lower arrow scrolls the list by one item.
        const int arrowX = (barLeft + barRight) / 2, arrowY = origin.y + cr.bottom - 5;
        WinTestMouseMove(nullptr, arrowX, arrowY);
        WinTestClick(nullptr, WINTEST_LEFT, arrowX, arrowY);
        WinTestPumpUntilIdle();
        EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 1);
        ASSERT_TRUE(host->Unskin());
        EXPECT_FALSE(IsSkinSBWindow(list));
        const WinTestLiveCounts after = WinTestLiveCounts::Now();
        EXPECT_EQ(after, baseline) << after.ChangesFrom(baseline);
        TearDown();
        SetUp();
    }
}

// ---- list views ---------------------------------------------------------------------------------------

HWND FillListView(HWND view)
{
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 120;
    column.pszText = const_cast<char*>("Name");
    SendMessageA(view, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    for (int i = 0; i < 3; ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<char*>("Row");
        SendMessageA(view, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    return view;
}

TEST_F(ScrollControlTest, AListViewTakesTheSkinsColoursAndBorderAndGetsItsOwnColoursBack)
{
    ApplySkin(Objects());
    HWND view = FillListView(Add(WC_LISTVIEWA, "", LVS_REPORT, RECT{20, 20, 220, 180}));
    const COLORREF ownBack = COLORREF(SendMessageA(view, LVM_GETBKCOLOR, 0, 0));
    const COLORREF ownText = COLORREF(SendMessageA(view, LVM_GETTEXTCOLOR, 0, 0));
    Skin();
    ASSERT_NE(SkinOf<CSkinListView>(view), nullptr);
    EXPECT_EQ(COLORREF(SendMessageA(view, LVM_GETBKCOLOR, 0, 0)), kBack);
    EXPECT_EQ(COLORREF(SendMessageA(view, LVM_GETTEXTBKCOLOR, 0, 0)), kBack);
    EXPECT_EQ(COLORREF(SendMessageA(view, LVM_GETTEXTCOLOR, 0, 0)), kText);
    RECT row{};
    row.left = LVIR_BOUNDS;
    SendMessageA(view, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    const RECT cr = ClientRectIn(view, *host);
    OffsetRect(&row, cr.left, cr.top);
    const CPicture p = host->Picture();
    EXPECT_GT(p.Count(row, kText), 0);
    EXPECT_EQ(p.At(POINT{cr.left + 5, cr.bottom - 5}), kBack);
    EXPECT_EQ(WindowPainter(view, POINT{0, 100}), "ListView.background cell 3");

    ASSERT_TRUE(host->Unskin());
    EXPECT_EQ(COLORREF(SendMessageA(view, LVM_GETBKCOLOR, 0, 0)), ownBack);
    EXPECT_EQ(COLORREF(SendMessageA(view, LVM_GETTEXTCOLOR, 0, 0)), ownText);
    EXPECT_EQ(host->Picture().Count(cr, kBack), 0);
}

TEST_F(ScrollControlTest, RemovingTheSkinGivesEachControlItsOwnLookAndFreesWhatTheSkinMade)
{
    ApplySkin(Objects());
    HWND edit = Add("Edit", "Text", 0, RECT{20, 20, 220, 46});
    HWND readOnly = Add("Edit", "Fixed", ES_READONLY, RECT{20, 50, 220, 76});
    HWND list = AddListBox();
    HWND view = FillListView(Add(WC_LISTVIEWA, "", LVS_REPORT, RECT{200, 100, 340, 260}));
    HWND ip = AddAddress(RECT{20, 150, 190, 176});
    const CPicture before = host->Picture();
    const WinTestLiveCounts baseline = WinTestLiveCounts::Now();
    Skin();
    for (HWND control : {edit, readOnly, list, view, ip})
        ASSERT_NE(host->Picture().CountDifferences(before, WindowRectIn(control, *host)), 0);
    ASSERT_TRUE(host->Unskin());
    for (HWND control : {edit, readOnly, list, view, ip})
        EXPECT_EQ(host->Picture().CountDifferences(before, WindowRectIn(control, *host)), 0);
    for (HWND field : FieldsOf(ip))
        EXPECT_EQ(SkinOf(field), nullptr);
    DWORD address = 0;
    EXPECT_EQ(SendMessageA(ip, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address)), 4);
    EXPECT_EQ(address, DWORD(MAKEIPADDRESS(192, 168, 10, 200)));
    const WinTestLiveCounts after = WinTestLiveCounts::Now();
    EXPECT_EQ(after, baseline) << after.ChangesFrom(baseline);
}

// ---- IP-address controls -------------------------------------------------------------------------

TEST_F(ScrollControlTest, AnIpAddressControlHasTheSkinsBorderAroundFourReadableFieldsAndTheDots)
{
    ApplySkin(Objects());
    HWND ip = AddAddress();
    ASSERT_TRUE(host->Skin());
    CSkinWindow* skinner = SkinOf(ip);
    ASSERT_NE(skinner, nullptr);
    EXPECT_EQ(typeid(*skinner), typeid(CSkinScrollControl));
    EXPECT_EQ(skinner->GetObjectType(), SKIN_SCROLLCONTROL);

    const RECT wr = WindowRectIn(ip, *host);
    ASSERT_GT(ClientRectIn(ip, *host).left, wr.left);
    EXPECT_EQ(WindowPainter(ip, POINT{0, Height(wr) / 2}), "ScrollControl.background cell 3");
    EXPECT_EQ(WindowPainter(ip, POINT{Width(wr) / 2, 0}), "ScrollControl.background cell 1");
    EXPECT_EQ(WindowPainter(ip, POINT{Width(wr) - 1, Height(wr) - 1}), "ScrollControl.background cell 8");

    const std::vector<HWND> fields = FieldsOf(ip);
    ASSERT_EQ(fields.size(), 4u);
    const CPicture p = host->Picture();
    for (size_t k = 0; k < fields.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_NE(SkinOf<CSkinEdit>(fields[k]), nullptr);
        const RECT fr = ClientRectIn(fields[k], *host);
        EXPECT_EQ(p.At(POINT{fr.left + 1, fr.top + 1}), kBack);
        EXPECT_GT(p.CountNear(fr, kText), 10);
        if (k + 1 < fields.size()) {
            // The dot between this field and the next one.
            const RECT next = ClientRectIn(fields[k + 1], *host);
            const RECT gap{fr.right, fr.top, next.left, fr.bottom};
            ASSERT_GT(Width(gap), 0);
            EXPECT_FALSE(p.IsUniform(gap, p.At(gap.left, gap.top)));
        }
    }
}

}  // namespace
