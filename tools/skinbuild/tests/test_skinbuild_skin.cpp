// The default skin: complete for the skinners that look its objects up, coherent pictures,
// and a file that loads, saves byte for byte and builds the same every time.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Canvas.h"
#include "MemoryStream.h"
#include "SkinBuilder.h"
#include "SkinObjectTypes.h"
#include "SkinRecords.h"

using namespace skinbuild;

namespace {

std::vector<BYTE> Body(CSkinFile& skin)
{
    CMemoryStream s;
    EXPECT_TRUE(skin.SaveBody(s));
    return std::vector<BYTE>(s.GetBuffer(), s.GetBuffer() + s.GetSize());
}

std::vector<BYTE> Record(CSkinObject& o)
{
    CMemoryStream s;
    EXPECT_TRUE(o.Save(s));
    return std::vector<BYTE>(s.GetBuffer(), s.GetBuffer() + s.GetSize());
}

// One picture reference of a record: an image part, or a nine-grid with its margins.
struct Ref {
    std::string where;
    std::string image;
    RECT src;
    LONG margins[4];
    bool grid;
};

// Every picture reference of the skin: the image records that are not empty, of every object
// and its children.
std::vector<Ref> Collect(CSkinFile& skin)
{
    std::vector<Ref> refs;
    for (const auto& o : skin.GetObjects())
        for (const skinkit::ImageRecord& r : skinkit::ListImageRecords(*o.second)) {
            if (r.part && !r.part->IsEmpty())
                refs.push_back({r.path, r.part->name, r.part->src, {0, 0, 0, 0}, false});
            const SkinNineGrid* g = r.grid;
            if (g && !g->IsEmpty())
                refs.push_back({r.path, g->name, g->src, {g->marginLeft, g->marginTop, g->marginRight, g->marginBottom},
                                true});
        }
    return refs;
}

SIZE PictureSize(CSkinFile& skin, const char* name)
{
    CSkinImageObject* img = skin.FindImage(name);
    if (!img || !img->GetImage() || !img->GetImage()->IsValid())
        return {0, 0};
    return {LONG(img->GetImage()->GetWidth()), LONG(img->GetImage()->GetHeight())};
}

COLORREF Pixel(CSkinFile& skin, const char* name, int x, int y)
{
    const CRasterImage* img = skin.FindImage(name)->GetImage();
    RGBQUAD q = img->GetPixelColor(x, int(img->GetHeight()) - 1 - y, false);
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

LONG W(const RECT& r) { return r.right - r.left; }
LONG H(const RECT& r) { return r.bottom - r.top; }

double Luminance(COLORREF c)
{
    auto lin = [](int v) {
        double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(GetRValue(c)) + 0.7152 * lin(GetGValue(c)) + 0.0722 * lin(GetBValue(c));
}

double Contrast(COLORREF a, COLORREF b)
{
    double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

class DefaultSkin : public ::testing::Test {
protected:
    void SetUp() override { BuildDefaultSkin(skin); }
    CSkinFile skin;
};

}  // namespace

TEST_F(DefaultSkin, HoldsEveryObjectTheSkinnersLookUp)
{
    // The dialog skin is selected by name; controls look their type up, which prefers the
    // object named after the type.
    const struct {
        const char* name;
        int type;
        bool firstOfType;
    } expected[] = {
        {"Application", SKIN_APPLICATION, true}, {"SysColorTable", SKIN_SYSCOLORTABLE, true},
        {"Dialog", SKIN_FRAMEWND, false},        {"FrameWnd", SKIN_FRAMEWND, true},
        {"Button", SKIN_BUTTON, true},           {"PushLikeButton", SKIN_BUTTON, false},
        {"CheckBox", SKIN_CHECKBOX, true},       {"Radio", SKIN_RADIO, true},
        {"GroupBox", SKIN_GROUPBOX, true},       {"Static", SKIN_STATIC, true},
        {"Edit", SKIN_EDIT, true},               {"ComboBox", SKIN_COMBOBOX, true},
        {"ListBox", SKIN_LISTBOX, true},         {"ListView", SKIN_LISTVIEW, true},
        {"TreeView", SKIN_TREEVIEW, true},       {"Header", SKIN_HEADER, true},           {"ScrollBar", SKIN_SCROLLBAR, true},
        {"Slider", SKIN_SLIDER, true},           {"ProgressBar", SKIN_PROGRESSBAR, true},
        {"Tooltip", SKIN_TOOLTIP, true},         {"PopupMenu", SKIN_POPUPMENU, true},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        CSkinObject* o = skin.FindObject(e.name);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o->GetType(), e.type);
        if (e.firstOfType) {
            EXPECT_EQ(skin.FindObjectByType(e.type), o);
        }
    }
    EXPECT_EQ(skin.GetSysColorTable(), skin.FindObject("SysColorTable"));

    auto* app = static_cast<CSkinApplicationObject*>(skin.FindObject("Application"));
    EXPECT_EQ(app->GetKeyColor(), kKeyColor);
    EXPECT_EQ(app->m_bTransparent, 1u);
    // Check boxes and radios name an existing push-like button object.
    auto* check = static_cast<CSkinCheckBoxObject*>(skin.FindObject("CheckBox"));
    for (const char* name : {check->m_szPushLike, check->m_szExtraName}) {
        ASSERT_NE(skin.FindObject(name), nullptr) << name;
        EXPECT_EQ(skin.FindObject(name)->GetType(), SKIN_BUTTON);
    }
}

TEST_F(DefaultSkin, CaptionButtonsCarryTheirActionsAndSitOverTheRightCorner)
{
    const struct {
        const char* frame;
        std::vector<std::pair<const char*, DWORD>> buttons;
    } frames[] = {
        {"Dialog", {{"Close", 1}, {"Minimize", 4}, {"SysMenu", 2}}},
        {"FrameWnd", {{"Close", 1}, {"Maximize", 3}, {"Minimize", 4}, {"SysMenu", 2}}},
    };
    for (const auto& f : frames) {
        SCOPED_TRACE(f.frame);
        auto* frame = static_cast<CSkinFrameWndObject*>(skin.FindObject(f.frame));
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->GetChildren().size(), f.buttons.size());
        const RECT& right = frame->m_frameRects[2];
        const RECT& left = frame->m_frameRects[0];
        std::vector<RECT> placed;
        for (const auto& b : f.buttons) {
            SCOPED_TRACE(b.first);
            auto* btn = dynamic_cast<CSkinCaptionButtonObject*>(frame->FindChild(b.first));
            ASSERT_NE(btn, nullptr);
            EXPECT_EQ(btn->m_nAction, b.second);
            const RECT& r = btn->m_rc;
            const RECT& corner = b.second == CSkinCaptionButtonObject::ACTION_SYSMENU ? left : right;
            // Inside its caption corner, so stretching the caption never runs under it.
            EXPECT_GE(r.left, corner.left);
            EXPECT_LE(r.right, corner.right);
            EXPECT_GE(r.top, corner.top);
            EXPECT_LE(r.bottom, corner.bottom);
            for (const RECT& o : placed)
                EXPECT_TRUE(r.right <= o.left || r.left >= o.right) << "caption buttons overlap";
            placed.push_back(r);
            if (b.second != CSkinCaptionButtonObject::ACTION_SYSMENU) {
                // Normal, hover, pressed and disabled all drawn, at the element's size.
                const SkinImagePart* looks[4] = {&btn->m_image, &btn->m_states[0], &btn->m_states[1],
                                                 &btn->m_states[2]};
                for (const SkinImagePart* p : looks) {
                    ASSERT_FALSE(p->IsEmpty());
                    EXPECT_EQ(W(p->src), W(r));
                    EXPECT_EQ(H(p->src), H(r));
                }
            }
        }
    }
}

TEST_F(DefaultSkin, EveryPartLiesInsideAnExistingPicture)
{
    const std::vector<Ref> refs = Collect(skin);
    EXPECT_GT(refs.size(), 150u);
    for (const Ref& r : refs) {
        SCOPED_TRACE(r.where);
        SIZE size = PictureSize(skin, r.image.c_str());
        ASSERT_GT(size.cx, 0) << "missing picture " << r.image;
        EXPECT_GE(r.src.left, 0);
        EXPECT_GE(r.src.top, 0);
        EXPECT_LE(r.src.right, size.cx);
        EXPECT_LE(r.src.bottom, size.cy);
        EXPECT_GT(W(r.src), 0);
        EXPECT_GT(H(r.src), 0);
        if (r.grid) {
            for (LONG m : r.margins)
                EXPECT_GE(m, 0);
            EXPECT_LE(r.margins[0] + r.margins[2], W(r.src));
            EXPECT_LE(r.margins[1] + r.margins[3], H(r.src));
        }
    }
    // No picture is left unused.
    for (const auto& img : skin.GetImages()) {
        bool used = false;
        for (const Ref& r : refs)
            used = used || r.image == img.first;
        EXPECT_TRUE(used) << img.first;
    }
}

TEST_F(DefaultSkin, StateRecordsAreCompleteAndConsistentInSize)
{
    auto* button = static_cast<CSkinButtonObject*>(skin.FindObject("Button"));
    for (int s = 0; s < 6; ++s) {
        SCOPED_TRACE(s);
        EXPECT_FALSE(button->m_states[s].grid.IsEmpty());
        EXPECT_EQ(W(button->m_states[s].grid.src), W(button->m_states[0].grid.src));
        EXPECT_EQ(H(button->m_states[s].grid.src), H(button->m_states[0].grid.src));
    }
    // Disabled text is lighter than the normal text.
    EXPECT_NE(button->m_states[5].style.GetTextColor(), button->m_states[0].style.GetTextColor());

    for (const char* name : {"CheckBox", "Radio"}) {
        SCOPED_TRACE(name);
        auto* c = static_cast<CSkinCheckBoxObject*>(skin.FindObject(name));
        for (int s = 0; s < 7; ++s) {
            EXPECT_FALSE(c->m_states[s].box.IsEmpty());
            EXPECT_EQ(W(c->m_states[s].box.src), 13);
            EXPECT_EQ(H(c->m_states[s].box.src), 13);
        }
        // Unchecked and checked look different.
        EXPECT_NE(Pixel(skin, c->m_states[0].box.name, 2, c->m_states[0].box.src.top + 2),
                  Pixel(skin, c->m_states[1].box.name, 2, c->m_states[1].box.src.top + 2));
    }

    auto* sb = static_cast<CSkinScrollBarObject*>(skin.FindObject("ScrollBar"));
    const SkinScrollBarState* states[8] = {&sb->m_horizontal[0], &sb->m_horizontal[1], &sb->m_horizontal[2],
                                           &sb->m_horizontal[3], &sb->m_vertical[0],   &sb->m_vertical[1],
                                           &sb->m_vertical[2],   &sb->m_verticalLast};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const SkinScrollBarState& st = *states[i];
        EXPECT_FALSE(st.arrow1.IsEmpty());
        EXPECT_FALSE(st.arrow2.IsEmpty());
        EXPECT_FALSE(st.track.IsEmpty());
        EXPECT_FALSE(st.thumb.IsEmpty());
        // The scroll-control skinners size the bars from the first arrow: 16 pixels thick.
        EXPECT_EQ(H(st.arrow1.src), 16);
        EXPECT_EQ(W(st.arrow1.src), 16);
        // The thumb fits across the bar inside the track's margins.
        if (i < 4) {
            EXPECT_EQ(H(st.thumb.src), 16 - st.track.marginTop - st.track.marginBottom);
        } else {
            EXPECT_EQ(W(st.thumb.src), 16 - st.track.marginLeft - st.track.marginRight);
        }
    }
    // Vertical arrows point up and down, horizontal ones left and right: different pictures.
    EXPECT_NE(sb->m_vertical[0].arrow1.src.left, sb->m_horizontal[0].arrow1.src.left);

    auto* combo = static_cast<CSkinComboBoxObject*>(skin.FindObject("ComboBox"));
    for (int s = 0; s < 4; ++s)
        EXPECT_FALSE(combo->m_buttons[s].IsEmpty());
    // The border widths of fields are the client edge the controls reserve.
    for (const char* name : {"Edit", "RichEdit", "ScrollControl", "ListBox", "ListView", "TreeView", "ComboBox"}) {
        SCOPED_TRACE(name);
        auto* f = static_cast<CSkinFontObject*>(skin.FindObject(name));
        EXPECT_EQ(f->m_background.marginLeft, 2);
        EXPECT_EQ(f->m_background.marginTop, 2);
        EXPECT_EQ(f->m_background.marginRight, 2);
        EXPECT_EQ(f->m_background.marginBottom, 2);
    }
}

TEST_F(DefaultSkin, FramesFitTheirDesignAndShapeTheirCorners)
{
    for (const char* name : {"Dialog", "FrameWnd", "Tooltip", "PopupMenu"}) {
        SCOPED_TRACE(name);
        auto* w = static_cast<CSkinWindowObject*>(skin.FindObject(name));
        const RECT* r = w->m_frameRects;
        // The rectangles tile the design: rows share heights, columns widths, no gaps.
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(r[row * 3].left, 0);
            EXPECT_EQ(r[row * 3].right, r[row * 3 + 1].left);
            EXPECT_EQ(r[row * 3 + 1].right, r[row * 3 + 2].left);
            EXPECT_EQ(r[row * 3 + 2].right, r[8].right);
            EXPECT_EQ(H(r[row * 3]), H(r[row * 3 + 1]));
            EXPECT_EQ(H(r[row * 3]), H(r[row * 3 + 2]));
        }
        EXPECT_EQ(r[0].bottom, r[3].top);
        EXPECT_EQ(r[3].bottom, r[6].top);
        for (int i = 0; i < 9; ++i) {
            const SkinImagePart& active = w->m_parts[i];
            const SkinImagePart& inactive = w->m_parts[9 + i];
            ASSERT_FALSE(active.IsEmpty()) << i;
            ASSERT_FALSE(inactive.IsEmpty()) << i;
            EXPECT_EQ(W(active.src), W(inactive.src)) << i;
            EXPECT_EQ(H(active.src), H(inactive.src)) << i;
            // Corners are clipped at their own size: the source matches the design exactly.
            // Edges stretch along the frame but keep their thickness.
            if (i == 0 || i == 2 || i == 6 || i == 8) {
                EXPECT_EQ(active.mode, 0u) << i;
                EXPECT_EQ(W(active.src), W(r[i])) << i;
                EXPECT_EQ(H(active.src), H(r[i])) << i;
            }
            if (i == 1 || i == 7) {
                EXPECT_EQ(H(active.src), H(r[i])) << i;
            }
            if (i == 3 || i == 5) {
                EXPECT_EQ(W(active.src), W(r[i])) << i;
            }
        }
        // Rounded outer corners: the corner pixel is the key colour (out of the window region),
        // the inside of the corner part is not.
        const SkinImagePart& tl = w->m_parts[0];
        EXPECT_EQ(Pixel(skin, tl.name, tl.src.left, tl.src.top), kKeyColor);
        EXPECT_NE(Pixel(skin, tl.name, tl.src.right - 1, tl.src.bottom - 1), kKeyColor);
        EXPECT_TRUE(w->m_bClientBackground);
    }
    // The client background carries no transparent pixels and has the body colour of the
    // system colour table, so skinned and unskinned painting agree.
    auto* dialog = static_cast<CSkinWindowObject*>(skin.FindObject("Dialog"));
    const SkinImagePart& client = dialog->m_parts[4];
    for (LONG y = client.src.top; y < client.src.bottom; y += 3)
        for (LONG x = client.src.left; x < client.src.right; x += 3)
            ASSERT_EQ(Pixel(skin, client.name, x, y), skin.GetSysColorTable()->m_colors[COLOR_BTNFACE]);
    EXPECT_EQ(dialog->m_crBackground, skin.GetSysColorTable()->m_colors[COLOR_BTNFACE]);
    // Push buttons get their rounded shape from the key colour in the corners.
    auto* button = static_cast<CSkinButtonObject*>(skin.FindObject("Button"));
    const SkinNineGrid& g = button->m_states[0].grid;
    EXPECT_EQ(Pixel(skin, g.name, g.src.left, g.src.top), kKeyColor);
    EXPECT_NE(Pixel(skin, g.name, g.src.left + 12, g.src.top + 12), kKeyColor);
}

TEST_F(DefaultSkin, TheFramesMdiWorkspaceTilesOnePlainColour)
{
    auto* frame = static_cast<CSkinFrameWndObject*>(skin.FindObject("FrameWnd"));
    const SkinImagePart& ws = frame->m_mdiClientBackground;
    ASSERT_FALSE(ws.IsEmpty());
    EXPECT_EQ(ws.mode, 1u);
    const COLORREF first = Pixel(skin, ws.name, ws.src.left, ws.src.top);
    for (LONG y = ws.src.top; y < ws.src.bottom; ++y)
        for (LONG x = ws.src.left; x < ws.src.right; ++x)
            ASSERT_EQ(Pixel(skin, ws.name, x, y), first) << x << "," << y;
}

TEST_F(DefaultSkin, FontsAndColoursAreSetAndReadable)
{
    for (const auto& entry : skin.GetObjects()) {
        SCOPED_TRACE(entry.first);
        if (auto* f = dynamic_cast<CSkinFontObject*>(entry.second.get())) {
            EXPECT_STREQ(f->m_font.lfFaceName, "Tahoma");
            EXPECT_LT(f->m_font.lfHeight, 0);
        }
        if (auto* w = dynamic_cast<CSkinWindowObject*>(entry.second.get())) {
            EXPECT_STREQ(w->m_captionFont.lfFaceName, "Tahoma");
            EXPECT_LT(w->m_captionFont.lfHeight, 0);
        }
    }
    const COLORREF* c = skin.GetSysColorTable()->m_colors;
    const std::pair<int, int> pairs[] = {
        {COLOR_WINDOWTEXT, COLOR_WINDOW},     {COLOR_BTNTEXT, COLOR_BTNFACE},
        {COLOR_HIGHLIGHTTEXT, COLOR_HIGHLIGHT}, {COLOR_CAPTIONTEXT, COLOR_ACTIVECAPTION},
        {COLOR_INFOTEXT, COLOR_INFOBK},       {COLOR_MENUTEXT, COLOR_MENU},
    };
    for (const auto& p : pairs)
        EXPECT_GE(Contrast(c[p.first], c[p.second]), 4.5) << p.first << " on " << p.second;
    // The dialog's caption text against its own caption picture.
    auto* dialog = static_cast<CSkinWindowObject*>(skin.FindObject("Dialog"));
    const SkinImagePart& top = dialog->m_parts[1];
    COLORREF caption = Pixel(skin, top.name, top.src.left + 2, (top.src.top + top.src.bottom) / 2);
    EXPECT_GE(Contrast(dialog->m_captionFont.color, caption), 4.5);
    // Every entry the window system uses is the skin's own choice, not the system default.
    int own = 0;
    for (int i = 0; i < 31; ++i)
        own += c[i] != SkinSystemColor(i);
    EXPECT_GE(own, 25);
}

TEST_F(DefaultSkin, SavesLoadsAndSavesAgainToTheSameBytes)
{
    std::vector<BYTE> first = Body(skin);
    CMemoryStream in(first.data(), DWORD(first.size()), 4096);
    CSkinFile loaded;
    ASSERT_TRUE(loaded.LoadBody(in));
    EXPECT_EQ(Body(loaded), first);
    // Object by object, every record reads back as written.
    ASSERT_EQ(loaded.GetObjects().size(), skin.GetObjects().size());
    for (const auto& o : skin.GetObjects()) {
        SCOPED_TRACE(o.first);
        CSkinObject* back = loaded.FindObject(o.first.c_str());
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(Record(*back), Record(*o.second));
    }
    // Pictures decode to the same pixels.
    ASSERT_EQ(loaded.GetImages().size(), skin.GetImages().size());
    for (const auto& img : skin.GetImages()) {
        SCOPED_TRACE(img.first);
        const CRasterImage* a = img.second->GetImage();
        const CRasterImage* b = loaded.FindImage(img.first.c_str())->GetImage();
        ASSERT_TRUE(b && b->IsValid());
        ASSERT_EQ(a->GetWidth(), b->GetWidth());
        ASSERT_EQ(a->GetHeight(), b->GetHeight());
        for (DWORD row = 0; row < a->GetHeight(); ++row)
            ASSERT_EQ(memcmp(a->GetBits(row), b->GetBits(row), a->GetWidth() * 3), 0) << row;
    }

    // Through a file as well: packed, read back whole.
    const std::string path = ::testing::TempDir() + "skinbuild_roundtrip_" + std::to_string(getpid()) + ".qvk";
    ASSERT_TRUE(skin.SaveToFile(path.c_str()));
    CSkinFile fromFile;
    ASSERT_TRUE(fromFile.LoadFromFile(path.c_str())) << fromFile.GetLastError();
    EXPECT_EQ(Body(fromFile), first);
    remove(path.c_str());
}

TEST(DefaultSkinBuild, IsDeterministicAndMatchesTheInstalledFile)
{
    CSkinFile a, b;
    BuildDefaultSkin(a);
    BuildDefaultSkin(b);
    std::vector<BYTE> bodyA = Body(a);
    EXPECT_EQ(bodyA, Body(b));

    // The build wrote the skin beside the programs (the tests run there).
    CSkinFile installed;
    ASSERT_TRUE(installed.LoadFromFile(kSkinFileName)) << "error " << installed.GetLastError();
    EXPECT_EQ(Body(installed), bodyA);
}
