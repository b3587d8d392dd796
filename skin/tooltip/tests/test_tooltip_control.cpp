// The platform's tooltip controls under a skinned window: the tip the control shows is drawn in
// the skin's Tooltip look (frame, body, the style sheet's text), sized for that look, kept where
// the control meant it, and back in the control's own look once the skin is gone.
#include <commctrl.h>

#include "SkinManager.h"
#include "SkinObjectTypes.h"
#include "SkinTestKit.h"
#include "SkinTooltipControl.h"
#include "tooltip_test_support.h"

namespace {

using skinkit::CFlatSkin;
using skinkit::CPicture;

constexpr COLORREF kTextColour = RGB(0x12, 0xAB, 0x34);
constexpr int kEdge = 3;
const char kSheet[] = "body {font-size: 13px; color:#12ab34; font-family:DejaVu Sans}";

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// Lays the object's nine frame parts out on a w x h design: `edge` pixels on every side,
// `caption` pixels at the top.
void SetFrameParts(CSkinWindowObject& o, int w, int h, int edge, int caption)
{
    const int xs[4] = {0, edge, w - edge, w}, ys[4] = {0, caption, h - edge, h};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            o.m_frameRects[row * 3 + col] = RECT{xs[col], ys[row], xs[col + 1], ys[row + 1]};
    o.m_rc = {0, 0, w, h};
}

std::unique_ptr<CSkinObject> MakeFrame()
{
    auto f = std::make_unique<CSkinFrameWndObject>();
    f->SetName("Frame");
    SetFrameParts(*f, 120, 90, 6, 20);
    return f;
}

// A Tooltip object with a frame `edge` pixels thick on every side.
std::unique_ptr<CSkinObject> MakeTip(int edge = kEdge, const char* sheet = kSheet)
{
    auto t = std::make_unique<CSkinTooltipObject>();
    t->SetName("Tooltip");
    SetFrameParts(*t, 60, 30, edge, edge);
    t->SetStyleSheet(sheet);
    return t;
}

std::vector<std::unique_ptr<CSkinObject>> Objects(bool withTip = true, int edge = kEdge)
{
    std::vector<std::unique_ptr<CSkinObject>> o;
    o.push_back(MakeFrame());
    if (withTip) o.push_back(MakeTip(edge));
    return o;
}

class TooltipControl : public tooltiptest::TooltipWindow {
protected:
    void SetUp() override
    {
        TooltipWindow::SetUp();
        skin = std::make_unique<CFlatSkin>(Objects());
        skin->Apply();
        host = std::make_unique<skinkit::CSyntheticWindow>(
            skinkit::WindowSpec{"TipKitHost", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {40, 40, 440, 340}});
        ASSERT_TRUE(host->Attach("Frame"));
        tool = skinkit::CreateSyntheticWindow(
            skinkit::WindowSpec{"TipKitTool", WS_CHILD | WS_VISIBLE, {20, 20, 220, 80}, *host, 5});
        WinTestActivate(*host);
        WinTestPumpUntilIdle();
    }
    void TearDown() override
    {
        if (control && IsWindow(control)) DestroyWindow(control);
        host.reset();
        skin.reset();
        TooltipWindow::TearDown();
    }
    // The control for the tool window with the text, as programs make theirs.
    HWND MakeControl(const char* text, UINT flags = 0, DWORD style = 0)
    {
        control = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, *host, nullptr, nullptr, nullptr);
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS | flags;
        ti.hwnd = *host;
        ti.uId = reinterpret_cast<UINT_PTR>(tool);
        ti.lpszText = const_cast<char*>(text);
        SendMessageA(control, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
        return control;
    }
    // Rests the mouse on the tool's client point until the control's delay has passed.
    void Hover(POINT p)
    {
        WinTestMouseMove(tool, p.x, p.y);
        WinTestPumpUntilIdle();
        WinTestMouseMove(tool, p.x + 1, p.y);
        WinTestPumpUntilIdle();
        Advance(1200);
    }
    CSkinTooltipControl* Skinner() const
    {
        return dynamic_cast<CSkinTooltipControl*>(CSkinManager::Instance().FindSkinWindow(control));
    }
    RECT TipRect() const
    {
        RECT rc{};
        GetWindowRect(control, &rc);
        return rc;
    }
    // The window size the look gives the markup.
    SIZE LookSize(const char* markup, int edge = kEdge) const
    {
        CSkinMarkupRenderer renderer;
        renderer.SetStyleSheet(kSheet);
        HDC dc = CreateCompatibleDC(nullptr);
        const SIZE text = renderer.MeasureMarkup(dc, markup);
        DeleteDC(dc);
        return SIZE{text.cx + 2 * edge, text.cy + 2 * edge};
    }

    std::unique_ptr<CFlatSkin> skin;
    std::unique_ptr<skinkit::CSyntheticWindow> host;
    HWND tool = nullptr;
    HWND control = nullptr;
};

TEST(TooltipControlText, ShowsTheControlsTextPlainlyAsTheControlWould)
{
    // Markup characters are text, never tags or entities.
    EXPECT_EQ(TooltipTextAsMarkup("<b>bold</b> &lt; x>y", false, false), "<<b>bold<</b> &lt; x>y");
    EXPECT_EQ(TooltipTextAsMarkup("<<", false, false), "<<<<");
    // The prefix rule: '&' goes, "&&" shows one; without it every '&' stays.
    EXPECT_EQ(TooltipTextAsMarkup("Save && &Quit", true, false), "Save & Quit");
    EXPECT_EQ(TooltipTextAsMarkup("a&", true, false), "a");
    EXPECT_EQ(TooltipTextAsMarkup("Save && &Quit", false, false), "Save && &Quit");
    // One line unless the control wraps: breaks and tabs are spaces; returns never show.
    EXPECT_EQ(TooltipTextAsMarkup("one\r\ntwo\tthree", false, false), "one two three");
    EXPECT_EQ(TooltipTextAsMarkup("one\r\ntwo\tthree", false, true), "one\ntwo\tthree");
}

TEST_F(TooltipControl, TheControlsTipIsDrawnInTheSkinsLookAndSizedForItsText)
{
    MakeControl("Start <Convert>");
    CSkinTooltipControl* skinner = Skinner();
    ASSERT_NE(nullptr, skinner) << "the control is skinned when it is made under the skinned window";
    EXPECT_EQ(SKIN_TOOLTIP, skinner->GetObjectType());
    Hover(POINT{50, 30});
    ASSERT_TRUE(IsWindowVisible(control));
    EXPECT_EQ("Start <<Convert>", skinner->GetMarkup());

    const RECT tr = TipRect();
    const SIZE want = LookSize("Start <<Convert>");
    EXPECT_EQ(want.cx, Width(tr));
    EXPECT_EQ(want.cy, Height(tr));
    // Below the cursor, where the control put it.
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_GT(tr.top, cursor.y);

    const CPicture pic = CPicture::OfWindow(control);
    ASSERT_EQ(Width(tr), pic.Width());
    const int w = pic.Width(), h = pic.Height();
    EXPECT_EQ("Tooltip.parts[0]", skinkit::Painter(pic, POINT{1, 1}, *skin));
    EXPECT_EQ("Tooltip.parts[1]", skinkit::Painter(pic, POINT{w / 2, 1}, *skin));
    EXPECT_EQ("Tooltip.parts[3]", skinkit::Painter(pic, POINT{1, h / 2}, *skin));
    EXPECT_EQ("Tooltip.parts[5]", skinkit::Painter(pic, POINT{w - 2, h / 2}, *skin));
    EXPECT_EQ("Tooltip.parts[8]", skinkit::Painter(pic, POINT{w - 2, h - 2}, *skin));
    EXPECT_EQ("Tooltip.parts[4]", skinkit::Painter(pic, POINT{w - kEdge - 1, h - kEdge - 1}, *skin));
    const RECT body{kEdge, kEdge, w - kEdge, h - kEdge};
    EXPECT_GT(pic.Count(body, kTextColour), 20) << "the text in the style sheet's colour";
    EXPECT_EQ(0, pic.Count(body, GetSysColor(COLOR_INFOBK)));
    // The mouse still goes through the tip, as through the control's own.
    const POINT mid{(tr.left + tr.right) / 2, (tr.top + tr.bottom) / 2};
    EXPECT_EQ(HTTRANSPARENT, SendMessageA(control, WM_NCHITTEST, 0, MAKELPARAM(mid.x, mid.y)));

    // A new text for the tip on show: the window takes its size.
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = *host;
    ti.uId = reinterpret_cast<UINT_PTR>(tool);
    ti.lpszText = const_cast<char*>("Stop");
    SendMessageA(control, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    WinTestPumpUntilIdle();
    EXPECT_EQ(LookSize("Stop").cx, Width(TipRect()));
    EXPECT_EQ("Stop", skinner->GetMarkup());
}

TEST_F(TooltipControl, AGrownTipStaysWhereTheControlMeantItInsideTheScreen)
{
    // At the right and bottom edges the control moved its own size inside; the look's size
    // stays inside too, and a tip put above the cursor grows upwards, off the cursor.
    SetWindowPos(*host, nullptr, 800 - 240, 600 - 120, 240, 120, SWP_NOZORDER | SWP_NOACTIVATE);
    MoveWindow(tool, 0, 0, 230, 80, TRUE);
    MakeControl("A long text that the look's larger font makes wider");
    Hover(POINT{225, 70});
    ASSERT_TRUE(IsWindowVisible(control));
    const RECT tr = TipRect();
    EXPECT_EQ(LookSize("A long text that the look's larger font makes wider").cx, Width(tr));
    EXPECT_LE(tr.right, 800);
    EXPECT_LE(tr.bottom, 600);
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_LE(tr.bottom, cursor.y);

    // A centred tip stays centred under its tool.
    DestroyWindow(control);
    SetWindowPos(*host, nullptr, 40, 40, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    MoveWindow(tool, 20, 20, 200, 60, TRUE);
    MakeControl("Centred", TTF_CENTERTIP);
    Hover(POINT{30, 30});
    ASSERT_TRUE(IsWindowVisible(control));
    RECT toolRect;
    GetWindowRect(tool, &toolRect);
    const RECT centred = TipRect();
    EXPECT_LE(std::abs((centred.left + centred.right) / 2 - (toolRect.left + toolRect.right) / 2), 1);
}

TEST_F(TooltipControl, WithoutTheSkinTheControlHasItsOwnLookAndSizeAgain)
{
    MakeControl("Start Convert");
    Hover(POINT{50, 30});
    ASSERT_TRUE(IsWindowVisible(control));
    const RECT skinned = TipRect();

    // The host's skin goes, and with it the control's: the tip on show is the control's own.
    ASSERT_TRUE(host->Detach());
    WinTestPumpUntilIdle();
    EXPECT_EQ(nullptr, CSkinManager::Instance().FindSkinWindow(control));
    ASSERT_TRUE(IsWindowVisible(control));
    const RECT plain = TipRect();
    // The size of an unskinned control's tip of the same text.
    HWND own = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(nullptr, CSkinManager::Instance().FindSkinWindow(own));
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    ti.hwnd = tool;
    ti.lpszText = const_cast<char*>("Start Convert");
    SendMessageA(own, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageA(own, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
    RECT ownRect;
    GetWindowRect(own, &ownRect);
    DestroyWindow(own);
    EXPECT_EQ(Width(ownRect), Width(plain));
    EXPECT_EQ(Height(ownRect), Height(plain));
    EXPECT_NE(Height(skinned), Height(plain));
    const CPicture pic = CPicture::OfWindow(control);
    ASSERT_EQ(Width(plain), pic.Width());
    const COLORREF frame = GetSysColor(COLOR_WINDOWFRAME);
    EXPECT_EQ(frame, pic.At(0, 0)) << "no window region of the look is left";
    EXPECT_EQ(frame, pic.At(pic.Width() - 1, pic.Height() - 1));
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), pic.At(2, pic.Height() - 2));
    EXPECT_EQ(0, pic.Count(pic.Whole(), kTextColour));

    // A skin with no Tooltip object leaves a new control as it is too.
    DestroyWindow(control);
    skin = std::make_unique<CFlatSkin>(Objects(false));
    skin->Apply();
    ASSERT_TRUE(host->Attach("Frame"));
    MakeControl("Start Convert");
    EXPECT_EQ(nullptr, CSkinManager::Instance().FindSkinWindow(control));
}

TEST_F(TooltipControl, ANewSkinResizesTheTipOnShowForItsFrame)
{
    MakeControl("Start Convert");
    Hover(POINT{50, 30});
    ASSERT_TRUE(IsWindowVisible(control));
    EXPECT_EQ(LookSize("Start Convert").cx, Width(TipRect()));
    skin = std::make_unique<CFlatSkin>(Objects(true, 7));
    skin->Apply();
    WinTestPumpUntilIdle();
    ASSERT_NE(nullptr, Skinner());
    ASSERT_TRUE(IsWindowVisible(control));
    EXPECT_EQ(LookSize("Start Convert", 7).cx, Width(TipRect()));
    EXPECT_EQ(LookSize("Start Convert", 7).cy, Height(TipRect()));
    const CPicture pic = CPicture::OfWindow(control);
    EXPECT_EQ("Tooltip.parts[3]", skinkit::Painter(pic, POINT{5, pic.Height() / 2}, *skin));
}

TEST_F(TooltipControl, ShowingAndDestroyingSkinnedTipsLeavesNothingBehind)
{
    const WinTestLiveCounts baseline = WinTestLiveCounts::Now();
    for (int round = 0; round < 2; ++round) {
        MakeControl("Start Convert");
        Hover(POINT{50, 30});
        ASSERT_TRUE(IsWindowVisible(control));
        Hover(POINT{150, 30});
        SendMessageA(control, TTM_POP, 0, 0);
        DestroyWindow(control);
        control = nullptr;
        WinTestPumpUntilIdle();
    }
    const WinTestLiveCounts after = WinTestLiveCounts::Now();
    EXPECT_EQ(after, baseline) << after.ChangesFrom(baseline);
}

}  // namespace
