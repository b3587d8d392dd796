// The tip of a frame element in the default skin's look: an element of a window skinned with
// the skin's "Dialog" object shows its tip the way caption buttons do, the tooltip takes the
// skin's Tooltip object, and the tip appears in that object's frame, body and style sheet.
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "RasterImage.h"
#include "SkinFile.h"
#include "SkinManager.h"
#include "SkinTestKit.h"
#include "markup_test_support.h"
#include "tooltip_test_support.h"

namespace {

using tooltiptest::RingIs;
using tooltiptest::Text;
using tooltiptest::TooltipWindow;

std::string ProgramFolder()
{
    char exe[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string dir(exe, n > 0 ? size_t(n) : 0);
    return dir.substr(0, dir.rfind('/') + 1);
}

// Stands for a caption button of the host: it draws from the host object's child of that name
// and is named after it, as caption buttons are.
class CaptionTip : public CSkinElement {
public:
    void Draw(HDC) override {}
};

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

int Brightness(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }

class DefaultSkinTip : public TooltipWindow {
protected:
    void SetUp() override
    {
        TooltipWindow::SetUp();
        ASSERT_TRUE(LoadSkinFile((ProgramFolder() + "z-arud.qvk").c_str()))
            << "the default skin z-arud.qvk is built beside the tests; error " << GetSkinLastError();
        skin = CSkinManager::Instance().GetSkinFile();
        host = std::make_unique<skinkit::CSyntheticWindow>(skinkit::WindowSpec{
            "SkinTipHost", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, {80, 60, 420, 260}, nullptr, 0, "Peloran"});
        ASSERT_TRUE(host->Attach("Dialog"));
        CSkinObject* close = skin->FindObject("Dialog")->FindChildRecursive("Close");
        ASSERT_NE(nullptr, close);
        element.SetSkinObject(close);
        element.SetName(close->GetName());
        WinTestPumpUntilIdle();
    }
    void TearDown() override
    {
        element.HideTooltip();
        host.reset();
        TooltipWindow::TearDown();
    }
    CSkinFile* skin = nullptr;
    std::unique_ptr<skinkit::CSyntheticWindow> host;
    CaptionTip element;
};

// The colour of the skin picture's pixel (x, y), counted from its top.
COLORREF PicturePixel(CSkinFile* skin, const char* name, LONG x, LONG y)
{
    CSkinImageObject* object = skin->FindImage(name);
    const CRasterImage* image = object ? object->GetImage() : nullptr;
    if (!image) return CLR_INVALID;
    const RGBQUAD q = image->GetPixelColor(x, LONG(image->GetHeight()) - 1 - y);
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

std::string SavePicture(const char* what)
{
    const std::string png = testing::TempDir() + "tooltip_" + what + "_" + std::to_string(getpid()) + ".png";
    if (!WinTestCaptureScreenPng(png.c_str())) return "";
    std::printf("%s: %s\n", what, png.c_str());
    return png;
}

TEST_F(DefaultSkinTip, AnElementsTipShowsInTheSkinsTooltipLookAfterItsDelay)
{
    auto* object = static_cast<CSkinTooltipObject*>(skin->FindObjectByType(SKIN_TOOLTIP));
    ASSERT_NE(nullptr, object);
    RECT hostRect;
    GetWindowRect(*host, &hostRect);
    const POINT at{hostRect.right - 20, hostRect.top + 12};  // over the close button
    ASSERT_TRUE(WinTestMouseMove(nullptr, at.x, at.y));
    WinTestPumpUntilIdle();
    const skinkit::CPicture before = skinkit::CPicture::OfScreen();
    element.ShowTooltip();
    Advance(object->m_nShowDelay - 1);
    EXPECT_FALSE(Shown());
    Advance(1);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(object, tip->GetTooltipObject());
    EXPECT_EQ("Close", tip->GetText());
    EXPECT_EQ(&element, tip->GetOwner());

    // The frame the skin's frame rectangles reserve, round the text.
    const RECT rc = WindowRect();
    const RECT* f = object->m_frameRects;
    HDC dc = GetDC(hwnd);
    const SIZE text = tip->GetMarkupRenderer().MeasureMarkup(dc, "Close");
    ReleaseDC(hwnd, dc);
    EXPECT_EQ(text.cx + (f[3].right - f[3].left) + (f[5].right - f[5].left), rc.right - rc.left);
    EXPECT_EQ(text.cy + (f[0].bottom - f[0].top) + (f[6].bottom - f[6].top), rc.bottom - rc.top);

    SavePicture("default_skin");
    const skinkit::CPicture screen = skinkit::CPicture::OfScreen();
    // The straight runs of the border in the object's frame colour; the rounded corners cut
    // away by the region, showing what lies under the tip.
    const COLORREF border = object->m_crActiveFill;
    const LONG r = 3;
    EXPECT_TRUE(screen.IsUniform(RECT{rc.left + r, rc.top, rc.right - r, rc.top + 1}, border));
    EXPECT_TRUE(screen.IsUniform(RECT{rc.left + r, rc.bottom - 1, rc.right - r, rc.bottom}, border));
    EXPECT_TRUE(screen.IsUniform(RECT{rc.left, rc.top + r, rc.left + 1, rc.bottom - r}, border));
    EXPECT_TRUE(screen.IsUniform(RECT{rc.right - 1, rc.top + r, rc.right, rc.bottom - r}, border));
    for (POINT corner : {POINT{rc.left, rc.top}, POINT{rc.right - 1, rc.top}, POINT{rc.left, rc.bottom - 1},
                         POINT{rc.right - 1, rc.bottom - 1}})
        EXPECT_EQ(before.At(corner), screen.At(corner)) << corner.x << "," << corner.y;
    EXPECT_EQ(0, screen.Count(rc, RGB(255, 0, 255)));

    // The body: the picture's wash, from its top colour under the top edge to its bottom colour
    // over the bottom edge, never lighter lower down (the left padding has no text).
    const COLORREF washTop = PicturePixel(skin, "tooltip", 5, 5);
    const COLORREF washBottom = PicturePixel(skin, "tooltip", 5, 34);
    ASSERT_GT(Brightness(washTop), Brightness(washBottom));
    const LONG x = rc.left + 2, top = rc.top + f[0].bottom, bottom = rc.bottom - (f[6].bottom - f[6].top) - 1;
    EXPECT_TRUE(Near(washTop, screen.At(x, top), 2)) << std::hex << screen.At(x, top);
    EXPECT_TRUE(Near(washBottom, screen.At(x, bottom), 3)) << std::hex << screen.At(x, bottom);
    for (LONG y = top; y < bottom; ++y)
        ASSERT_GE(Brightness(screen.At(x, y)), Brightness(screen.At(x, y + 1))) << y;

    // The text in the skin's text colour, none of the default sheet's black.
    const RECT client{rc.left + f[3].right, rc.top + f[0].bottom, rc.right - 5, rc.bottom - 5};
    int inked = 0, black = 0;
    for (LONG yy = client.top; yy < client.bottom; ++yy)
        for (LONG xx = client.left; xx < client.right; ++xx) {
            inked += Near(screen.At(xx, yy), object->m_crText, 24);
            black += Near(screen.At(xx, yy), RGB(0, 0, 0), 12);
        }
    EXPECT_GT(inked, 15);
    EXPECT_EQ(0, black);

    Advance(object->m_nHideDelay);
    EXPECT_FALSE(Shown());
}

TEST_F(DefaultSkinTip, MarkupIsSetInTheSkinsFacesAndColours)
{
    const char* rich =
        "<h3>Start Convert</h3><br>Converts every <b>checked</b> file<br>to <code>holiday clip_new.mp4</code> "
        "<a href=help>more</a>";
    element.ShowTooltip();  // takes the skin's Tooltip object and its style sheet
    tip->Hide();
    const RECT rc = ShowAt(rich, POINT{120, 300});
    ASSERT_TRUE(Shown());
    SavePicture("default_skin_markup");
    const skinkit::CPicture screen = skinkit::CPicture::OfScreen();
    int accent = 0, code = 0, black = 0;
    for (LONG y = rc.top + 1; y < rc.bottom - 1; ++y)
        for (LONG x = rc.left + 1; x < rc.right - 1; ++x) {
            const COLORREF c = screen.At(x, y);
            accent += Near(c, RGB(0x3a, 0x72, 0xbc), 20);  // the third heading and the link
            code += Near(c, RGB(0x8a, 0x3b, 0x12), 20);
            black += Near(c, RGB(0, 0, 0), 12);
        }
    EXPECT_GT(accent, 40);
    EXPECT_GT(code, 20);
    EXPECT_EQ(0, black);
    // Three lines, the first a larger heading: taller than three lines of body text.
    EXPECT_GT(rc.bottom - rc.top, 3 * markuptest::FontHeight({13, FW_NORMAL, false, "DejaVu Sans"}) + 10);
}

TEST_F(DefaultSkinTip, AfterASkinChangeTheTipTakesTheNewSkinsObjectAndKeepsNothingOfTheOld)
{
    element.ShowTooltip();
    Advance(1000);
    ASSERT_TRUE(Shown());
    CSkinObject* before = tip->GetTooltipObject();
    ASSERT_EQ(skin, before->GetOwner());
    tip->Hide();
    element.SetSkinObject(nullptr);  // the element's object goes with the old skin too

    // The same file loaded again is a new skin: the old one and its objects are freed.
    ASSERT_TRUE(LoadSkinFile((ProgramFolder() + "z-arud.qvk").c_str()));
    CSkinFile* now = CSkinManager::Instance().GetSkinFile();
    ASSERT_NE(skin, now);
    EXPECT_EQ(now->FindObjectByType(SKIN_TOOLTIP), tip->GetTooltipObject());
    const POINT at{200, 200};
    ASSERT_TRUE(ShowSkinTooltip(0, "after the change", &at));
    WinTestPumpUntilIdle();
    ASSERT_TRUE(Shown());
    const RECT rc = WindowRect();
    const skinkit::CPicture screen = skinkit::CPicture::OfScreen();
    EXPECT_TRUE(screen.IsUniform(RECT{rc.left + 3, rc.top, rc.right - 3, rc.top + 1},
                                 static_cast<CSkinTooltipObject*>(tip->GetTooltipObject())->m_crActiveFill));

    // A skin with a Tooltip object of another name: that one, and the tip shown in the old look
    // goes. A skin with none: the built-in look.
    std::vector<std::unique_ptr<CSkinObject>> objects;
    objects.push_back(std::make_unique<CSkinFrameWndObject>());
    objects.back()->SetName("Dialog");
    objects.push_back(std::make_unique<CSkinTooltipObject>());
    objects.back()->SetName("Tip of the skin");
    skinkit::CFlatSkin(std::move(objects)).Apply();
    EXPECT_FALSE(Shown());
    CSkinObject* flat = tip->GetTooltipObject();
    EXPECT_STREQ("Tip of the skin", flat->GetName());
    EXPECT_EQ(CSkinManager::Instance().GetSkinFile(), flat->GetOwner());
    objects.clear();
    objects.push_back(std::make_unique<CSkinFrameWndObject>());
    objects.back()->SetName("Dialog");
    skinkit::CFlatSkin(std::move(objects)).Apply();
    EXPECT_EQ(nullptr, tip->GetTooltipObject()->GetOwner());
    ASSERT_TRUE(ShowSkinTooltip(0, "built-in", &at));
    WinTestPumpUntilIdle();
    EXPECT_TRUE(RingIs(WinTestWindowPicture(hwnd), RGB(0, 0, 0)));
}

}  // namespace
