// Frame elements inside a skinned window: made from the window object's children, drawn with
// the frame, asked for hit tests, enabled by the window's boxes; tooltips of elements; the
// frame's own hit test.
#include <cstring>

#include "SkinDraw.h"
#include "SkinEngine.h"
#include "SkinEngineServices.h"
#include "test_skinwnd_support.h"
#include "winplat_test.h"

using namespace skinwnd;

namespace {

// A stand-in for the frame elements: a coloured rectangle at the object's design place.
class FakeElement : public CSkinElement, public ISkinFrameElement, public ISkinCaptionButtonElement {
public:
    explicit FakeElement(COLORREF c) : color(c) {}
    void Draw(HDC hdc) override { FillSolidRect(hdc, Rect(), color); }
    void GetElementRect(RECT* rc) const override { *rc = Rect(); }
    void SetVisible(bool) override {}
    void Redraw() override {}
    void SetEnabled(BOOL on) override { enabled = on; }
    int GetDrawState() const override { return state; }
    void SetDrawState(int s) override { state = s; }
    // A caption text answers by its role; 2 is the left border.
    LRESULT GetHitTestCode() override
    {
        auto* text = dynamic_cast<CSkinCaptionStaticObject*>(m_pSkinObject);
        return text && text->m_nRole == 2 ? HTLEFT : 0;
    }
    RECT Rect() const { return m_pSkinObject ? m_pSkinObject->m_rc : RECT{}; }
    COLORREF color;
    int enabled = -1;
    int state = 0;
};

std::vector<FakeElement*> g_made;
CSkinElement* MakeFake(int type, CSkinWindow*, CSkinObject*)
{
    auto* e = new FakeElement(type == SKIN_CAPTIONBUTTON ? RGB(1, 2, 3) : RGB(200, 0, 0));
    g_made.push_back(e);
    return e;
}

std::unique_ptr<CSkinObject> Child(int type, const char* name, RECT rc, DWORD extra = 0)
{
    auto o = CreateSkinObject(type);
    o->SetName(name);
    o->m_rc = rc;
    if (type == SKIN_CAPTIONBUTTON)
        static_cast<CSkinCaptionButtonObject*>(o.get())->m_nAction = extra;
    if (type == SKIN_CAPTIONSTATIC)
        static_cast<CSkinCaptionStaticObject*>(o.get())->m_nRole = extra;
    return o;
}

class ElementsTest : public ManagerFixture {
protected:
    void SetUp() override
    {
        ManagerFixture::SetUp();
        g_made.clear();
        EnsureClass("SkinWndTest");
        SetSkinElementCreator(&MakeFake);
        CSkinObject* dialog = Manager().GetSkinFile()->FindObject("Dialog");
        dialog->AddChild(Child(SKIN_CAPTIONBUTTON, "b-close", {130, 4, 146, 20}, CSkinCaptionButtonObject::ACTION_CLOSE));
        dialog->AddChild(Child(SKIN_CAPTIONBUTTON, "c-max", {110, 4, 126, 20}, CSkinCaptionButtonObject::ACTION_MAXIMIZE));
        dialog->AddChild(Child(SKIN_CAPTIONBUTTON, "d-min", {90, 4, 106, 20}, CSkinCaptionButtonObject::ACTION_MINIMIZE));
        dialog->AddChild(Child(SKIN_CAPTIONBUTTON, "e-cmd", {70, 4, 86, 20}, CSkinCaptionButtonObject::ACTION_COMMAND));
        dialog->AddChild(Child(SKIN_CAPTIONSTATIC, "f-grip", {0, 30, 4, 60}, 2));
        dialog->AddChild(Child(SKIN_BUTTON, "h-button", {0, 0, 5, 5}));  // a control look, not an element
    }
    void TearDown() override
    {
        ManagerFixture::TearDown();
        SetSkinElementCreator(nullptr);
        SetSkinElementTooltip(nullptr);
    }
};

TEST_F(ElementsTest, ElementsAreMadeFromTheWindowObjectsChildrenInNameOrder)
{
    CSkinWindow skin;
    skin.SetSkinObject(Manager().GetSkinFile()->FindObject("Dialog"));
    ASSERT_EQ(skin.GetElements().size(), 5u);
    std::vector<std::string> names;
    for (CSkinElement* e : skin.GetElements())
        names.push_back(e->GetObjectName());
    EXPECT_EQ(names, (std::vector<std::string>{"b-close", "c-max", "d-min", "e-cmd", "f-grip"}));
    // A new object replaces them all.
    skin.SetSkinObject(Manager().GetSkinFile()->FindObject("Frame"));
    EXPECT_TRUE(skin.GetElements().empty());
    SetSkinElementCreator(nullptr);
    skin.SetSkinObject(Manager().GetSkinFile()->FindObject("Dialog"));
    EXPECT_TRUE(skin.GetElements().empty());
}

TEST_F(ElementsTest, CaptionButtonsFollowTheWindowsBoxesAndElementsAreDrawnWithTheFrame)
{
    HWND h = Keep(CreateWindowExA(0, "SkinWndTest", "", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MAXIMIZEBOX | WS_VISIBLE,
                                  0, 0, 160, 110, nullptr, nullptr, Instance(), nullptr));
    ASSERT_TRUE(Manager().AttachDialogSkin(h, "Dialog"));
    ASSERT_EQ(g_made.size(), 5u);
    EXPECT_EQ(g_made[0]->enabled, 1);   // close: WS_SYSMENU
    EXPECT_EQ(g_made[1]->enabled, 1);   // maximise: WS_MAXIMIZEBOX
    EXPECT_EQ(g_made[2]->enabled, 0);   // minimise: no WS_MINIMIZEBOX
    EXPECT_EQ(g_made[3]->enabled, -1);  // a command button is left alone
    WinTestPumpUntilIdle();
    WinTestWindowPicture pic(h);
    EXPECT_EQ(pic.At(135, 10), RGB(1, 2, 3));
    EXPECT_EQ(pic.At(2, 40), RGB(200, 0, 0));
    EXPECT_EQ(pic.At(60, 10), PartColor(1));
}

TEST_F(ElementsTest, HitTestsOfCaptionElementsAndOfTheFrame)
{
    HWND h = Keep(CreateWindowExA(0, "SkinWndTest", "", WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_VISIBLE, 0, 0, 160,
                                  110, nullptr, nullptr, Instance(), nullptr));
    ASSERT_TRUE(Manager().AttachDialogSkin(h, "Dialog"));
    CSkinWindow* skin = Manager().FindSkinWindow(h);
    EXPECT_EQ(skin->HitTestCaptionElements({135, 10}), HTCAPTION);
    EXPECT_EQ(skin->HitTestCaptionElements({1, 40}), HTLEFT);
    EXPECT_EQ(skin->HitTestCaptionElements({60, 10}), 0);

    RECT wr;
    GetWindowRect(h, &wr);
    auto hit = [&](int x, int y) { return SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(wr.left + x, wr.top + y)); };
    EXPECT_EQ(hit(80, 60), HTCLIENT);
    EXPECT_EQ(hit(1, 1), HTTOPLEFT);
    EXPECT_EQ(hit(60, 1), HTTOP);
    EXPECT_EQ(hit(60, 12), HTCAPTION);
    EXPECT_EQ(hit(159, 1), HTTOPRIGHT);
    EXPECT_EQ(hit(159, 60), HTRIGHT);
    EXPECT_EQ(hit(2, 70), HTLEFT);
    EXPECT_EQ(hit(159, 109), HTBOTTOMRIGHT);
    EXPECT_EQ(hit(0, 109), HTBOTTOMLEFT);
    EXPECT_EQ(hit(80, 108), HTBOTTOM);

    // A dialog that cannot be sized is only dragged by its caption.
    HWND fixed = Keep(CreateWindowExA(0, "SkinWndTest", "", WS_POPUP | WS_CAPTION | DS_MODALFRAME | WS_VISIBLE, 0, 0,
                                      160, 110, nullptr, nullptr, Instance(), nullptr));
    ASSERT_TRUE(Manager().AttachDialogSkin(fixed, "Frame"));
    GetWindowRect(fixed, &wr);
    auto hitFixed = [&](int x, int y) {
        return SendMessageA(fixed, WM_NCHITTEST, 0, MAKELPARAM(wr.left + x, wr.top + y));
    };
    EXPECT_EQ(hitFixed(1, 1), HTCAPTION);
    EXPECT_EQ(hitFixed(159, 60), HTNOWHERE);
    EXPECT_EQ(hitFixed(80, 109), HTNOWHERE);
    EXPECT_EQ(hitFixed(80, 60), HTCLIENT);
}

// The one tooltip window as a recorder.
class FakeTooltip : public ISkinElementTooltip {
public:
    CSkinObject* SetSkinObject(CSkinObject* o) override
    {
        object = o;
        return nullptr;
    }
    void SetOwner(CSkinElement* e) override { owner = e; }
    CSkinElement* GetOwner() const override { return owner; }
    void ShowDelayed(const char* t) override { shown.push_back(t); }
    void Hide() override { ++hidden; }
    CSkinObject* object = nullptr;
    CSkinElement* owner = nullptr;
    std::vector<std::string> shown;
    int hidden = 0;
};

TEST_F(ElementsTest, ElementTooltipsNeedANameAndAreHiddenOnlyByTheirOwner)
{
    FakeTooltip tip;
    SetSkinElementTooltip(&tip);
    auto tipObject = Named<CSkinTooltipObject>("Tooltip");
    CSkinObject* tipRaw = tipObject.get();
    Manager().GetSkinFile()->AddObject(std::move(tipObject));

    auto a = std::make_unique<FakeElement>(0);
    FakeElement b(0);
    a->SetSkinObject(Manager().GetSkinFile()->FindObject("Button"));
    a->ShowTooltip();  // no name: nothing
    EXPECT_TRUE(tip.shown.empty());
    a->SetName("Close the window");
    a->ShowTooltip();
    ASSERT_EQ(tip.shown.size(), 1u);
    EXPECT_EQ(tip.shown[0], "Close the window");
    EXPECT_EQ(tip.owner, a.get());
    EXPECT_EQ(tip.object, tipRaw);
    b.HideTooltip();  // not the owner
    EXPECT_EQ(tip.hidden, 0);
    a->HideTooltip();
    EXPECT_EQ(tip.hidden, 1);
    // An element that goes while it owns the tooltip leaves no owner behind.
    a.reset();
    EXPECT_EQ(tip.owner, nullptr);
    b.SetName(nullptr);
    EXPECT_EQ(b.GetName(), "");
    EXPECT_EQ(b.FindTooltipObject(), nullptr);  // no object, no skin file
}


TEST_F(ElementsTest, ThePublicElementFunctionsAtTheEndsOfTheirRanges)
{
    ASSERT_TRUE(InitSkinLibrary(Instance()));
    HWND h = Keep(CreateWindowExA(0, "SkinWndTest", "", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0, 160,
                                  110, nullptr, nullptr, Instance(), nullptr));
    ASSERT_TRUE(Manager().AttachDialogSkin(h, "Dialog"));

    // Button states 0 to 3 are taken; those beyond either end leave the state and still answer 1.
    int state = -9;
    for (int s : {0, 3, 1, 2}) {
        EXPECT_TRUE(SetSkinCaptionButtonState(h, "b-close", s));
        ASSERT_TRUE(GetSkinCaptionButtonState(h, "b-close", &state));
        EXPECT_EQ(s, state);
    }
    for (int s : {-1, 4, 1000}) {
        EXPECT_TRUE(SetSkinCaptionButtonState(h, "b-close", s));
        ASSERT_TRUE(GetSkinCaptionButtonState(h, "b-close", &state));
        EXPECT_EQ(2, state);
    }
    EXPECT_FALSE(GetSkinCaptionButtonState(h, "b-close", nullptr));
    EXPECT_FALSE(SetSkinCaptionButtonState(h, "f-grip", 1));  // not a button
    EXPECT_TRUE(EnableSkinCaptionButton(h, "c-max", FALSE));

    // The caption text: whole when shorter than the buffer, else cut to size - 1 and size answered.
    ASSERT_TRUE(SetSkinCaptionText(h, "f-grip", "0123456789"));
    char buffer[16];
    memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(10, GetSkinCaptionText(h, "f-grip", buffer, 11));
    EXPECT_STREQ("0123456789", buffer);
    memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(10, GetSkinCaptionText(h, "f-grip", buffer, 10));
    EXPECT_STREQ("012345678", buffer);
    memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(5, GetSkinCaptionText(h, "f-grip", buffer, 5));
    EXPECT_STREQ("0123", buffer);
    EXPECT_EQ('#', buffer[5]);  // nothing written past the buffer
    EXPECT_EQ(1, GetSkinCaptionText(h, "f-grip", buffer, 1));
    EXPECT_STREQ("", buffer);
    EXPECT_EQ(0, GetSkinCaptionText(h, "f-grip", buffer, 0));
    // A text longer than the object holds is kept to its 50 characters.
    const std::string longText(80, 'w');
    ASSERT_TRUE(SetSkinCaptionText(h, "f-grip", longText.c_str()));
    char wide[100];
    EXPECT_EQ(50, GetSkinCaptionText(h, "f-grip", wide, sizeof wide));
    EXPECT_EQ(std::string(50, 'w'), wide);
    ExitSkinLibrary();
}

}  // namespace
