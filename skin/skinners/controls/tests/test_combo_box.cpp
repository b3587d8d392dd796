// Combo boxes under the flat-colour skin: the drop-down button's looks (with the fall-backs of a
// sparse skin), the current item's colours by state, the edit field's colours, the notices the
// control sends, the kinds left alone and a clean detach.
#include <gtest/gtest.h>

#include <map>

#include "ComboSkin.h"
#include "ControlSkinners.h"
#include "control_test_support.h"

using namespace ctltest;
using skinkit::ClientRectIn;

namespace {

constexpr COLORREF kFieldBack = RGB(251, 243, 7);
constexpr COLORREF kFieldText = RGB(3, 97, 151);
constexpr COLORREF kItemText = RGB(170, 20, 190);
constexpr COLORREF kDisabledBack = RGB(44, 211, 180);
constexpr COLORREF kDisabledText = RGB(120, 60, 5);

constexpr COLORREF kOwnLookBack = RGB(6, 250, 120);

std::unique_ptr<CSkinComboBoxObject> ComboObject(const char* name, COLORREF back)
{
    auto combo = Named<CSkinComboBoxObject>(name);
    combo->m_background.Set("", 0, 0, 12, 12, 2, 2, 2, 2, 1);
    for (auto& button : combo->m_buttons)
        button.Set("", 0, 0, 12, 12, 3, 3, 3, 3, 1);
    combo->m_crBack = back;
    combo->m_crText = kFieldText;
    combo->m_font.color = kItemText;
    combo->m_crColor1 = kDisabledBack;
    combo->m_crColor2 = kDisabledText;
    return combo;
}

// The skin's ComboBox object, and a look of the host's own for the combo box with id 9.
std::vector<std::unique_ptr<CSkinObject>> Objects()
{
    std::vector<std::unique_ptr<CSkinObject>> objects;
    auto frame = MakeFrameObject();
    auto own = ComboObject("OwnCombo", kOwnLookBack);
    own->m_nControlId = 9;
    frame->AddChild(std::move(own));
    objects.push_back(std::move(frame));
    objects.push_back(ComboObject("ComboBox", kFieldBack));
    objects.push_back(Named<CSkinScrollControlObject>("ListBox", int(SKIN_LISTBOX)));
    return objects;
}

const RECT kComboPlace{20, 20, 220, 46};

class ComboSkinTest : public CHostedSkinnerTest {
protected:
    void UseSkin(std::vector<std::string> leaveEmpty = {}) { ApplySkin(Objects(), std::move(leaveEmpty)); }
    // A host with a combo box of three items, the second one current, and an edit to take the
    // focus; skinned unless told otherwise.
    HWND MakeCombo(DWORD style = CBS_DROPDOWNLIST, bool skinned = true)
    {
        host = std::make_unique<CHost>();
        HWND combo = host->Add("ComboBox", "", style | WS_VSCROLL, RECT{kComboPlace.left, kComboPlace.top,
                                                                       kComboPlace.right, 160}, 5);
        other = host->Add("Edit", "", 0, RECT{20, 200, 120, 220}, 6);
        for (const char* item : {"One", "Two", "Three"})
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageA(combo, CB_SETCURSEL, 1, 0);
        if (skinned)
            EXPECT_TRUE(host->Skin());
        else
            WinTestActivate(*host);
        SetFocus(other);
        WinTestPumpUntilIdle();
        return combo;
    }
    POINT ButtonMiddle(HWND combo) const { return Mid(SkinOf<CSkinComboBox>(combo)->GetButtonRect()); }
    // The text area's rectangle on the host: right of the border, left of the button.
    RECT TextArea(HWND combo) const
    {
        RECT area = SkinOf<CSkinComboBox>(combo)->GetButtonRect();
        area.right = area.left - 2;
        area.left = 3;
        const RECT onHost = ClientRectIn(combo, *host);
        OffsetRect(&area, onHost.left, onHost.top);
        return area;
    }

    HWND other = nullptr;
};

// ---- the drop-down button ------------------------------------------------------------------------

enum class Mouse { Away, OverButton, OverButtonThenText, Left, Held, Disabled };

TEST_F(ComboSkinTest, TheButtonShowsTheRecordOfItsStateOrTheNormalOneWhenThatIsEmpty)
{
    const struct {
        const char* name;
        Mouse mouse;
        int record;  // 0 normal, 1 pressed, 2 hot, 3 disabled
    } rows[] = {{"away", Mouse::Away, 0},
                {"over the button", Mouse::OverButton, 2},
                {"over the button, then the text", Mouse::OverButtonThenText, 2},
                {"gone", Mouse::Left, 0},
                {"held", Mouse::Held, 1},
                {"disabled", Mouse::Disabled, 3}};
    for (bool sparse : {false, true}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (sparse ? ", sparse skin" : ""));
            UseSkin(sparse ? std::vector<std::string>{"ComboBox.buttons[1]", "ComboBox.buttons[2]",
                                                      "ComboBox.buttons[3]"}
                           : std::vector<std::string>{});
            HWND combo = MakeCombo();
            const POINT button = ButtonMiddle(combo);
            switch (row.mouse) {
            case Mouse::OverButton: WinTestMouseMove(combo, button.x, button.y); break;
            case Mouse::OverButtonThenText:
                WinTestMouseMove(combo, button.x, button.y);
                WinTestPumpUntilIdle();
                WinTestMouseMove(combo, 20, button.y);
                break;
            case Mouse::Left:
                WinTestMouseMove(combo, button.x, button.y);
                WinTestPumpUntilIdle();
                WinTestMouseMove(*host, 5, 150);
                break;
            case Mouse::Held: WinTestMouseButton(combo, WINTEST_LEFT, TRUE, button.x, button.y); break;
            case Mouse::Disabled: EnableWindow(combo, FALSE); break;
            default: break;
            }
            WinTestPumpUntilIdle();
            const int expected = sparse ? 0 : row.record;
            EXPECT_EQ(PainterAt(combo, button), "ComboBox.buttons[" + std::to_string(expected) + "] cell 4");
            // The border around it all is the frame's.
            EXPECT_EQ(PainterAt(combo, POINT{0, 0}), "ComboBox.background cell 0");
            RECT rc;
            GetClientRect(combo, &rc);
            EXPECT_EQ(PainterAt(combo, POINT{100, rc.bottom - 1}), "ComboBox.background cell 7");
            TearDown();
            SetUp();
        }
    }
}

TEST_F(ComboSkinTest, OpeningTheListWithTheMouseKeepsTheButtonPressedUntilTheRelease)
{
    UseSkin();
    HWND combo = MakeCombo();
    const POINT button = ButtonMiddle(combo);
    WinTestMouseMove(combo, button.x, button.y);
    WinTestPumpUntilIdle();
    WinTestMouseButton(combo, WINTEST_LEFT, TRUE, button.x, button.y);
    WinTestPumpUntilIdle();
    ASSERT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    // Into the open list and back out over the dialog: still held.
    WinTestMouseMove(combo, 40, 40);
    WinTestPumpUntilIdle();
    WinTestMouseMove(combo, 40, 170);
    WinTestPumpUntilIdle();
    EXPECT_EQ(PainterAt(combo, button), "ComboBox.buttons[1] cell 4");
    WinTestMouseButton(combo, WINTEST_LEFT, FALSE, 40, 170);
    WinTestPumpUntilIdle();
    EXPECT_EQ(SkinOf<CSkinComboBox>(combo)->GetButtonState(), CSkinComboBox::BUTTON_NORMAL);
    EXPECT_EQ(PainterAt(combo, button), "ComboBox.buttons[0] cell 4");
}

// ---- the current item ------------------------------------------------------------------------------

TEST_F(ComboSkinTest, TheCurrentItemTakesTheColoursOfTheState)
{
    UseSkin();
    HWND combo = MakeCombo();
    RECT area = TextArea(combo);
    CPicture p = host->Picture();
    EXPECT_EQ(p.At(POINT{area.right - 2, area.top + 1}), kFieldBack);
    EXPECT_GT(p.Count(area, kItemText), 0);

    SetFocus(combo);
    WinTestPumpUntilIdle();
    p = host->Picture();
    EXPECT_EQ(p.At(POINT{area.right - 2, area.top + 1}), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_GT(p.Count(area, GetSysColor(COLOR_HIGHLIGHTTEXT)), 0);
    EXPECT_EQ(p.Count(area, kItemText), 0);

    SetFocus(other);
    EnableWindow(combo, FALSE);
    WinTestPumpUntilIdle();
    p = host->Picture();
    EXPECT_EQ(p.At(POINT{area.right - 2, area.top + 1}), kDisabledBack);
    EXPECT_GT(p.Count(area, kDisabledText), 0);
    EXPECT_EQ(p.Count(area, kItemText), 0);

    EnableWindow(combo, TRUE);
    SendMessageA(combo, CB_SETCURSEL, WPARAM(-1), 0);
    WinTestPumpUntilIdle();
    p = host->Picture();
    EXPECT_EQ(p.Count(area, kItemText), 0);
    EXPECT_EQ(p.Count(area, kFieldBack), Width(area) * Height(area));
}

// The control's procedure below the skin answers the text length of every item with an error.
LRESULT CALLBACK NoLengthProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    auto old = reinterpret_cast<WNDPROC>(GetPropA(h, "CtlTestOldProc"));
    if (m == CB_GETLBTEXTLEN)
        return CB_ERR;
    return CallWindowProcA(old, h, m, w, l);
}

TEST_F(ComboSkinTest, AnItemWhoseLengthCannotBeToldDrawsNoText)
{
    UseSkin();
    host = std::make_unique<CHost>();
    HWND combo = host->Add("ComboBox", "", CBS_DROPDOWNLIST, RECT{20, 20, 220, 120}, 5);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("An item"));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    SetPropA(combo, "CtlTestOldProc",
             reinterpret_cast<HANDLE>(SetWindowLongPtrA(combo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NoLengthProc))));
    ASSERT_TRUE(host->Skin());
    ASSERT_NE(SkinOf<CSkinComboBox>(combo), nullptr);
    EXPECT_EQ(host->Picture().Count(ClientRectIn(combo, *host), kItemText), 0);
}

TEST_F(ComboSkinTest, TheEditFieldTakesTheFieldColoursAndTheDisabledPairWhenReadOnlyOrDisabled)
{
    UseSkin();
    HWND combo = MakeCombo(CBS_DROPDOWN);
    HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "Typed");
    WinTestPumpUntilIdle();
    RECT field = ClientRectIn(edit, *host);
    CPicture p = host->Picture();
    EXPECT_EQ(p.At(POINT{field.right - 2, field.bottom - 2}), kFieldBack);
    EXPECT_GT(p.CountNear(field, kFieldText), 0);

    SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
    InvalidateRect(edit, nullptr, TRUE);
    WinTestPumpUntilIdle();
    p = host->Picture();
    EXPECT_EQ(p.At(POINT{field.right - 2, field.bottom - 2}), kDisabledBack);
    EXPECT_GT(p.CountNear(field, kDisabledText), 0);
    EXPECT_EQ(p.CountNear(field, kFieldText), 0);
}

// ---- notices, the kinds left alone, detaching --------------------------------------------------

HWND DropDownListOf(HWND combo)
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(combo, &info) ? info.hwndList : nullptr;
}

std::map<int, int> NoticesAfterUse(HWND combo, HWND host)
{
    CMessageCounter commands(host, WM_COMMAND);
    // Open by a click, choose the third item in the list, then step back with the keyboard.
    WinTestClick(combo, WINTEST_LEFT, 100, 12);
    WinTestPumpUntilIdle();
    HWND list = DropDownListOf(combo);
    EXPECT_TRUE(list && IsWindowVisible(list));
    RECT third{};
    SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&third));
    POINT p = Mid(third);
    MapWindowPoints(list, combo, &p, 1);
    WinTestMouseMove(combo, p.x, p.y);
    WinTestMouseButton(combo, WINTEST_LEFT, TRUE, p.x, p.y);
    WinTestMouseButton(combo, WINTEST_LEFT, FALSE, p.x, p.y);
    WinTestPumpUntilIdle();
    SetFocus(combo);
    WinTestKeyPress(VK_UP);
    WinTestPumpUntilIdle();
    return commands.CodesFrom(combo, true);
}

TEST_F(ComboSkinTest, TheControlSendsTheNoticesItSendsWithoutTheSkin)
{
    UseSkin();
    HWND plain = MakeCombo(CBS_DROPDOWNLIST, false);
    const std::map<int, int> unskinned = NoticesAfterUse(plain, *host);
    EXPECT_EQ(SendMessageA(plain, CB_GETCURSEL, 0, 0), 1);
    HWND skinned = MakeCombo(CBS_DROPDOWNLIST, true);
    ASSERT_NE(SkinOf<CSkinComboBox>(skinned), nullptr);
    const std::map<int, int> withSkin = NoticesAfterUse(skinned, *host);
    EXPECT_EQ(SendMessageA(skinned, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(unskinned.at(CBN_SELCHANGE), 2);
    EXPECT_EQ(unskinned.at(CBN_DROPDOWN), 1);
    EXPECT_EQ(unskinned.at(CBN_CLOSEUP), 1);
    EXPECT_EQ(withSkin, unskinned);
}

TEST_F(ComboSkinTest, SimpleAndVariableOwnerDrawnCombosKeepTheirOwnLook)
{
    UseSkin();
    host = std::make_unique<CHost>();
    HWND simple = host->Add("ComboBox", "", CBS_SIMPLE, RECT{20, 20, 200, 120}, 1);
    HWND variable = host->Add("ComboBox", "", CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE, RECT{20, 130, 200, 230}, 2);
    HWND fixed = host->Add("ComboBox", "", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED, RECT{220, 20, 340, 120}, 3);
    ASSERT_TRUE(host->Skin());
    EXPECT_EQ(SkinOf(simple), nullptr);
    EXPECT_EQ(SkinOf(variable), nullptr);
    ASSERT_NE(SkinOf<CSkinComboBox>(fixed), nullptr);
    // A fixed owner-drawn one keeps its own item inside the skin's frame and button.
    EXPECT_EQ(PainterAt(fixed, POINT{0, 0}), "ComboBox.background cell 0");
    EXPECT_EQ(PainterAt(fixed, ButtonMiddle(fixed)), "ComboBox.buttons[0] cell 4");
    EXPECT_EQ(host->Picture().Count(ClientRectIn(simple, *host), kFieldBack), 0);
}

TEST_F(ComboSkinTest, TheHostsOwnLookForTheComboGivesItItsPicturesAndColours)
{
    UseSkin();
    host = std::make_unique<CHost>();
    HWND own = host->Add("ComboBox", "", CBS_DROPDOWNLIST, RECT{20, 20, 220, 120}, 9);
    HWND plain = host->Add("ComboBox", "", CBS_DROPDOWNLIST, RECT{20, 60, 220, 160}, 10);
    ASSERT_TRUE(host->Skin());
    ASSERT_NE(SkinOf<CSkinComboBox>(own), nullptr);
    EXPECT_EQ(PainterAt(own, ButtonMiddle(own)), "Frame/OwnCombo.buttons[0] cell 4");
    EXPECT_EQ(PainterAt(plain, ButtonMiddle(plain)), "ComboBox.buttons[0] cell 4");
    // The field is filled with the brush of the look the control ended up with.
    const CPicture p = host->Picture();
    EXPECT_EQ(p.At(InHost(own, *host, POINT{5, 5})), kOwnLookBack);
    EXPECT_EQ(p.At(InHost(plain, *host, POINT{5, 5})), kFieldBack);
}

TEST_F(ComboSkinTest, TheDropDownListTakesTheSkinsListBoxLookAndGivesItBackWithTheCombo)
{
    RegisterControlSkinner(SKIN_LISTBOX, [](int type, CSkinWindow* owner) -> CSkinWindow* {
        return new CSkinControlBase(owner, type);
    });
    UseSkin();
    HWND combo = MakeCombo(CBS_DROPDOWNLIST, false);
    HWND list = DropDownListOf(combo);
    ASSERT_NE(list, nullptr);
    const WinTestLiveCounts baseline = WinTestLiveCounts::Now();
    ASSERT_TRUE(host->Skin());
    auto* listSkin = SkinOf<CSkinControlBase>(list);
    ASSERT_NE(listSkin, nullptr);
    EXPECT_EQ(listSkin->GetControlType(), int(SKIN_LISTBOX));
    EXPECT_STREQ(listSkin->GetObjectName(), "ListBox");
    ASSERT_TRUE(host->Unskin());
    EXPECT_EQ(SkinOf(list), nullptr);
    const WinTestLiveCounts after = WinTestLiveCounts::Now();
    EXPECT_EQ(after, baseline) << after.ChangesFrom(baseline);
}

TEST_F(ComboSkinTest, RemovingTheSkinGivesTheComboItsOwnLookAndFreesWhatTheSkinMade)
{
    UseSkin();
    HWND combo = MakeCombo(CBS_DROPDOWN, false);
    const CPicture before = CPicture::OfWindow(combo);
    const WinTestLiveCounts baseline = WinTestLiveCounts::Now();
    ASSERT_TRUE(host->Skin());
    SetFocus(combo);
    EnableWindow(combo, FALSE);
    EnableWindow(combo, TRUE);
    SetFocus(other);
    WinTestPumpUntilIdle();
    ASSERT_NE(CPicture::OfWindow(combo).CountDifferences(before, before.Whole()), 0);
    ASSERT_TRUE(host->Unskin());
    EXPECT_EQ(CPicture::OfWindow(combo).CountDifferences(before, before.Whole()), 0);
    const WinTestLiveCounts after = WinTestLiveCounts::Now();
    EXPECT_EQ(after, baseline) << after.ChangesFrom(baseline);
}

}  // namespace
