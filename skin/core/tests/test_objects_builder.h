// Test helpers: a skin with at least one object of every type, distinctive values in the last
// fields of every record (so a field-order or version-gate slip shows up), and writers of old
// file versions.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "MemoryStream.h"
#include "RasterImage.h"
#include "SkinFile.h"
#include "SkinObjectTypes.h"

namespace skintest {

inline const int kTopLevelTypes[] = {1,  2,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 23, 24,
                                     25, 26, 27, 28, 29, 30, 31, 33, 35, 36, 37, 38, 39, 40, 42, 44, 45, 100};

template <typename T>
std::unique_ptr<T> Make(const char* name)
{
    auto o = std::make_unique<T>();
    o->SetName(name);
    return o;
}

inline std::unique_ptr<CSkinObject> MakeTyped(int type, const char* name)
{
    auto o = CreateSkinObject(type);
    o->SetName(name);
    return o;
}

// Fills the fields every object has with values that differ from the defaults.
inline void Decorate(CSkinObject& o, int seed)
{
    o.m_crBack = 0x010203 + DWORD(seed);
    o.m_crText = 0x040506 + DWORD(seed);
    o.m_nThird = 0x0708 + DWORD(seed);
    o.m_rc = {seed, seed + 1, seed + 60, seed + 31};
    o.m_nAnchoring = 1;
    o.m_nValue = 77 + DWORD(seed);
    o.SetSecondName(("second-" + std::to_string(seed)).c_str());
    if (auto* f = dynamic_cast<CSkinFontObject*>(&o)) {
        f->m_font.SetFace("DejaVu Sans");
        f->m_font.color = 0x123456;
        f->m_background.Set("atlas", 1, 2, 30, 40, 3, 4, 5, 6, 3);
        f->m_nControlId = 1000 + DWORD(seed);
        f->m_nFontValue1 = 11;
        f->m_nFontValue2 = 12;
        f->m_anchor[0] = 1;
        f->m_anchor[3] = 1;
        f->m_nAnchorExtra = 0xABCD;
    }
    if (auto* w = dynamic_cast<CSkinWindowObject*>(&o)) {
        for (int i = 0; i < 18; ++i)
            w->m_parts[i].Set("atlas", i, 0, i + 8, 8, DWORD(i % 3));
        w->m_bClientBackground = 1;
        w->m_crBackground = 0x00FEDCBA;
        w->m_textStyle.shadowX = -2;
        w->m_textStyle.flags = 0x8005;
        w->m_iconicCaption[1].Set("atlas", 0, 0, 20, 20, 2, 2, 2, 2, 8);
    }
}

inline std::unique_ptr<CSkinObject> MakeDecorated(int type, const char* name, int seed)
{
    auto o = MakeTyped(type, name);
    Decorate(*o, seed);
    // The last field of each tail, and a few in the middle.
    switch (type) {
    case SKIN_FRAMEWND: {
        auto* f = static_cast<CSkinFrameWndObject*>(o.get());
        f->m_menuBar.SetName("MenuBar");
        f->m_menuBar.m_buttons[3][2].Set("atlas", 5, 5, 9, 9, 0);
        f->m_menuBar.m_crDisabledText = 0x0A0B0C;
        f->m_nFrameValue = 5;
        f->m_mdiClientBackground.Set("atlas", 0, 0, 64, 64, 1);
        break;
    }
    case SKIN_SHAPEWND: {
        auto* s = static_cast<CSkinShapeWndObject*>(o.get());
        s->m_shape.Set("atlas", 0, 0, 10, 10, 2);
        s->m_nByte = 0x5A;
        s->m_values[1] = 0xDEAD;
        break;
    }
    case SKIN_BUTTON: {
        auto* b = static_cast<CSkinButtonObject*>(o.get());
        b->m_states[5].grid.Set("atlas", 0, 0, 12, 12, 3, 3, 3, 3, 5);
        b->m_states[5].extra[15] = 0x99;
        SkinCopyText(b->m_szPushLike, sizeof b->m_szPushLike, "PushLike");
        b->m_nButtonValue2 = 0xB2;
        break;
    }
    case SKIN_CHECKBOX:
    case SKIN_RADIO: {
        auto* c = static_cast<CSkinCheckBoxObject*>(o.get());
        c->m_states[6].box.Set("atlas", 0, 0, 13, 13, 0);
        c->m_nCheckValue = 3;
        SkinCopyText(c->m_szExtraName, sizeof c->m_szExtraName, "Extra");
        break;
    }
    case SKIN_COMBOBOX:
    case SKIN_COMBOBOXEX: {
        auto* c = static_cast<CSkinComboBoxObject*>(o.get());
        c->m_buttons[3].Set("atlas", 0, 0, 16, 16, 1, 1, 1, 1, 1);
        c->m_crColor1 = 0x111111;
        c->m_crColor2 = 0x222222;
        c->m_nComboValue2 = 9;
        break;
    }
    case SKIN_EDIT:
    case SKIN_LISTBOX:
    case SKIN_SCROLLCONTROL:
    case SKIN_LISTVIEW:
    case SKIN_RICHEDIT:
        static_cast<CSkinScrollControlObject*>(o.get())->m_image.Set("atlas", 2, 2, 22, 22, 2);
        break;
    case SKIN_TREEVIEW: {
        auto* t = static_cast<CSkinTreeViewObject*>(o.get());
        t->m_image.Set("atlas", 2, 2, 22, 22, 2);
        t->m_blocks[1][15] = 0x42;
        t->m_images[3].Set("atlas", 0, 0, 9, 9, 0);
        t->m_nTreeValue = 0x7EE;
        break;
    }
    case SKIN_GROUPBOX: {
        auto* g = static_cast<CSkinGroupBoxObject*>(o.get());
        g->m_style.SetTextColor(0x00336699);
        g->m_nGroupValue2 = 4;
        break;
    }
    case SKIN_PROGRESSBAR:
        static_cast<CSkinProgressBarObject*>(o.get())->m_values[2] = 33;
        break;
    case SKIN_SCROLLBAR: {
        auto* s = static_cast<CSkinScrollBarObject*>(o.get());
        s->m_values[4] = 55;
        s->m_vertical[0].arrow1.Set("atlas", 0, 0, 16, 16, 0);
        s->m_verticalLast.thumb.Set("atlas", 0, 16, 16, 48, 2, 2, 2, 2, 1);
        break;
    }
    case SKIN_SLIDER: {
        auto* s = static_cast<CSkinSliderObject*>(o.get());
        s->m_nSliderValue = 2;
        s->m_verticalThumb.Set("atlas", 0, 0, 11, 21, 0, 0, 0, 0, 0);
        break;
    }
    case SKIN_STATIC: {
        auto* s = static_cast<CSkinStaticObject*>(o.get());
        SkinCopyText(s->m_szText, sizeof s->m_szText, "static text");
        s->m_extra[15] = 0x16;
        break;
    }
    case SKIN_STATUSBAR:
        static_cast<CSkinStatusBarObject*>(o.get())->m_grip.Set("atlas", 0, 0, 12, 12, 0);
        break;
    case SKIN_TAB:
        static_cast<CSkinTabObject*>(o.get())->m_nTabValue = 6;
        break;
    case SKIN_POPUPMENU: {
        auto* p = static_cast<CSkinPopupMenuObject*>(o.get());
        p->m_rects[2] = {1, 2, 3, 4};
        p->m_image2.Set("atlas", 0, 0, 7, 7, 0);
        break;
    }
    case SKIN_TOOLBAR:
        static_cast<CSkinToolBarObject*>(o.get())->m_grids[4].Set("atlas", 0, 0, 24, 24, 4, 4, 4, 4, 3);
        break;
    case SKIN_APPLICATION: {
        auto* a = static_cast<CSkinApplicationObject*>(o.get());
        a->m_nThird = 0x00FF00FF;
        SkinCopyText(a->m_szSkinName, sizeof a->m_szSkinName, "Kitchen Sink");
        SkinCopyText(a->m_szWeb, sizeof a->m_szWeb, "http://example.test/");
        break;
    }
    case SKIN_SPIN:
        static_cast<CSkinSpinObject*>(o.get())->m_states2[3].parts[1].Set("atlas", 0, 0, 8, 8, 2);
        break;
    case SKIN_DATETIME:
        static_cast<CSkinDateTimeObject*>(o.get())->m_nDateValue = 31;
        break;
    case SKIN_MONTHCALENDAR:
        static_cast<CSkinMonthCalendarObject*>(o.get())->m_values[3] = 35;
        break;
    case SKIN_REBAR:
        static_cast<CSkinRebarObject*>(o.get())->m_block[15] = 36;
        break;
    case SKIN_HEADER:
        static_cast<CSkinHeaderObject*>(o.get())->m_item.Set("atlas", 0, 0, 30, 20, 2, 2, 2, 2, 1);
        break;
    case SKIN_CAPTIONSTATIC: {
        auto* c = static_cast<CSkinCaptionStaticObject*>(o.get());
        c->m_nRole = 1;
        c->m_nRegionMode = 4;
        SkinCopyText(c->m_szText, sizeof c->m_szText, "Title");
        c->m_values[1] = 38;
        break;
    }
    case SKIN_IMAGELIST: {
        auto* l = static_cast<CSkinImageListObject*>(o.get());
        l->m_nCellWidth = 16;
        l->m_nCellHeight = 16;
        l->m_nDepthIndex = 4;
        l->m_strip.Set("atlas", 0, 0, 64, 16, 0);
        break;
    }
    case SKIN_ANIMATE:
        static_cast<CSkinAnimateObject*>(o.get())->m_image.Set("atlas", 0, 0, 40, 40, 0);
        break;
    case SKIN_TOOLTIP: {
        auto* t = static_cast<CSkinTooltipObject*>(o.get());
        t->m_nShowDelay = 500;
        t->m_nPlacement = 3;
        t->SetStyleSheet("body { color: #102030; font-size: 11px; }");
        break;
    }
    case SKIN_SYSCOLORTABLE: {
        auto* t = static_cast<CSkinSysColorTableObject*>(o.get());
        for (int i = 0; i < CSkinSysColorTableObject::kColors; ++i)
            t->m_colors[i] = 0x010101 * DWORD(i % 200);
        break;
    }
    case SKIN_TYPE100: {
        auto* d = static_cast<CSkinType100Object*>(o.get());
        SkinCopyText(d->m_szText, sizeof d->m_szText, "elements");
        DWORD v = 42;
        auto* item = new CSkinDataItem("Title", CSkinDataItem::KIND_VALUE, &v, 4);
        item->SetLabel("The title value");
        item->SetText("caption text");
        d->AddItem(item);
        SkinImagePart part{};
        part.Set("atlas", 1, 1, 5, 5, 1);
        d->AddItem(new CSkinDataItem("icon", CSkinDataItem::KIND_IMAGEPART, &part, sizeof part));
        break;
    }
    default:
        break;
    }
    return o;
}

// A 24-bit picture with a gradient, so encoders have real work.
inline CRasterImage MakePicture(int width, int height, int bpp = 24)
{
    CRasterImage img;
    img.Create(width, DWORD(height), DWORD(bpp));
    if (bpp <= 8)
        img.SetStdPalette();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (bpp <= 8)
                img.SetPixelIndex(x, y, BYTE((x + y) % (1 << bpp)));
            else
                img.SetPixelColor(x, y, RGB(x * 4, y * 4, (x ^ y) * 8));
        }
    return img;
}

// Every top-level type, children of every child type under the frame and the dialog, a nested
// grandchild, data items, a tooltip with text, a BMP and a TGA picture and two sounds.
inline void BuildKitchenSink(CSkinFile& skin)
{
    int seed = 0;
    for (int type : kTopLevelTypes) {
        std::string name = std::string(GetSkinTypeName(type) ? GetSkinTypeName(type) : "Type") +
                           (type >= 45 ? std::to_string(type) : "");
        skin.AddObject(MakeDecorated(type, name.c_str(), ++seed));
    }
    auto dialog = MakeDecorated(SKIN_TYPE45, "Dialog", 99);
    int childSeed = 200;
    for (int type = 0; type <= 100; ++type) {
        if (!IsSkinChildType(type))
            continue;
        std::string name = "child" + std::to_string(type);
        dialog->AddChild(MakeDecorated(type, name.c_str(), ++childSeed));
    }
    auto close = MakeTyped(SKIN_CAPTIONBUTTON, "Close");
    auto* button = static_cast<CSkinCaptionButtonObject*>(close.get());
    button->m_nAction = CSkinCaptionButtonObject::ACTION_CLOSE;
    button->m_states[2].Set("atlas", 0, 0, 16, 14, 0);
    auto grandchild = MakeDecorated(SKIN_BUTTON, "Nested", 300);
    close->AddChild(std::move(grandchild));
    dialog->AddChild(std::move(close));
    skin.AddObject(std::move(dialog));

    auto bmp = Make<CSkinImageObject>("atlas");
    bmp->SetImage(MakePicture(64, 48), RASTER_FORMAT_BMP);
    skin.AddImage(std::move(bmp));
    auto tga = Make<CSkinImageObject>("icons");
    tga->SetImage(MakePicture(16, 16), RASTER_FORMAT_TGA);
    skin.AddImage(std::move(tga));
    auto paletted = Make<CSkinImageObject>("palette");
    paletted->SetImage(MakePicture(10, 6, 8), RASTER_FORMAT_BMP);
    skin.AddImage(std::move(paletted));
    skin.AddSound(Make<CSkinVoiceObject>("click"));
    skin.AddSound(Make<CSkinVoiceObject>("beep"));
}

inline void PutU32(std::vector<BYTE>& out, DWORD v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(BYTE(v >> (8 * i)));
}

inline std::vector<BYTE> Bytes(const CMemoryStream& s)
{
    return std::vector<BYTE>(s.GetBuffer(), s.GetBuffer() + s.GetSize());
}

// A header for a body of the given version and object count.
inline std::vector<BYTE> Header(int major, int minor, DWORD count)
{
    std::vector<BYTE> h(CSkinFile::kHeaderSize, 0);
    memcpy(h.data(), "QUORVENTA_SKIN_FILE", 19);
    h[20] = BYTE(major);
    h[21] = BYTE(minor);
    memcpy(h.data() + 22, "test", 4);
    for (int i = 0; i < 4; ++i)
        h[176 + i] = BYTE(count >> (8 * i));
    return h;
}

// The record of one object (type code first) in the layout of version 1.minor.
inline std::vector<BYTE> RecordAt(CSkinObject& o, int minor)
{
    CMemoryStream s;
    CSkinArchive ar(s, false, minor);
    DWORD type = DWORD(o.GetType());
    ar.U32(type);
    o.Serialize(ar);
    return Bytes(s);
}

// A whole body of version 1.minor holding the given objects and no images or sounds.
inline std::vector<BYTE> BodyAt(const std::vector<CSkinObject*>& objects, int minor)
{
    std::vector<BYTE> body = Header(1, minor, DWORD(objects.size()));
    for (CSkinObject* o : objects) {
        std::vector<BYTE> r = RecordAt(*o, minor);
        body.insert(body.end(), r.begin(), r.end());
    }
    PutU32(body, 0);
    PutU32(body, 0);
    return body;
}

// Packs a body into a file image (length word and LZO data).
inline std::vector<BYTE> Pack(const std::vector<BYTE>& body)
{
    CMemoryStream in(body.data(), DWORD(body.size()), 10240);
    CMemoryStream out;
    if (!in.CompressTo(out))
        return {};
    return Bytes(out);
}

}  // namespace skintest
