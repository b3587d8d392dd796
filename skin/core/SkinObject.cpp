#include "SkinObject.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>

#include "RasterImage.h"
#include "SkinDraw.h"
#include "SkinFile.h"
#include "SkinGeometry.h"
#include "SkinObjectTypes.h"

// ---- type table -------------------------------------------------------------------------------

namespace {

const char* const kTypeNames[45] = {
    "NONE",          "FrameWnd",  "ShapeWnd",     "CaptionButton", "Button",        "CheckBox",
    "ComboBox",      "Edit",      "GroupBox",     "ListBox",       "ProgressBar",   "Radio",
    "ScrollBar",     "Slider",    "Static",       "StatusBar",     "Tab",           "PopupMenu",
    "Image",         "Voice",     "MenuBar",      "MenuItem",      "Area",          "ToolBar",
    "ControlBar",    "Application", "ScrollControl", "Spin",       "ListView",      "TreeView",
    "RichEdit",      "DateTime",  "IPAddress",    "ComboBoxEx",    "HotKey",        "MonthCalendar",
    "Rebar",         "Header",    "CaptionStatic", "ImageList",    "Animate",       "LinkWnd",
    "Tooltip",       "TooltipAnchor", "SysColorTable",
};

thread_local int t_currentMinor = SKIN_VERSION_MINOR;

DWORD LoadU32(const BYTE* p) { return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24; }

}  // namespace

const char* GetSkinTypeName(int type)
{
    return type >= 0 && type < 45 ? kTypeNames[type] : nullptr;
}

bool IsSkinChildType(int type)
{
    return (type >= 3 && type <= 17) || (type >= 23 && type <= 31) || type == 33 || (type >= 35 && type <= 38) ||
           type == 40 || type == 42 || type == 44 || type == 45 || type == 100;
}

bool IsSkinTopLevelType(int type)
{
    return type == 1 || type == 2 || (type >= 4 && type <= 17) || (type >= 23 && type <= 31) || type == 33 ||
           (type >= 35 && type <= 40) || type == 42 || type == 44 || type == 45 || type == 100;
}

int GetSkinCurrentMinorVersion() { return t_currentMinor; }
void SetSkinCurrentMinorVersion(int minor) { t_currentMinor = minor; }

// ---- records ------------------------------------------------------------------------------------

void SkinCopyText(char* field, size_t n, const char* text)
{
    if (!field || n == 0)
        return;
    memset(field, 0, n);
    if (text)
        strncpy(field, text, n - 1);
}

COLORREF SkinSystemColor(int index)
{
    // The system colours cover the first 31 indices; a skin's table may hold more.
    return index >= 0 && index < 31 ? GetSysColor(index) : 0;
}

void SkinImagePart::Set(const char* image, LONG left, LONG top, LONG right, LONG bottom, DWORD drawMode)
{
    SkinCopyText(name, sizeof name, image);
    src = {left, top, right, bottom};
    mode = drawMode;
}

bool SkinImagePart::IsEmpty() const { return name[0] == 0 || src.right <= src.left || src.bottom <= src.top; }

void SkinNineGrid::Set(const char* image, LONG left, LONG top, LONG right, LONG bottom, LONG mLeft, LONG mTop,
                       LONG mRight, LONG mBottom, DWORD drawMode)
{
    SkinCopyText(name, sizeof name, image);
    src = {left, top, right, bottom};
    marginLeft = mLeft;
    marginTop = mTop;
    marginRight = mRight;
    marginBottom = mBottom;
    mode = drawMode;
}

bool SkinNineGrid::IsEmpty() const { return name[0] == 0 || src.right <= src.left || src.bottom <= src.top; }

SkinTextStyle SkinTextStyle::Default()
{
    SkinTextStyle s{};
    s.SetTextColor(SkinSystemColor(18));    // COLOR_BTNTEXT
    s.textExtra = 255;
    s.SetShadowColor(SkinSystemColor(16));  // COLOR_BTNSHADOW
    s.flags = kDefaultFlags;
    return s;
}

void SkinTextStyle::SetTextColor(COLORREF c)
{
    textRed = GetRValue(c);
    textGreen = GetGValue(c);
    textBlue = GetBValue(c);
}

void SkinTextStyle::SetShadowColor(COLORREF c)
{
    shadowRed = GetRValue(c);
    shadowGreen = GetGValue(c);
    shadowBlue = GetBValue(c);
}

SkinFont SkinFont::Default(const char* face)
{
    SkinFont f{};
    f.lfHeight = -12;
    f.lfWeight = 400;
    f.lfOutPrecision = 3;
    f.lfClipPrecision = 2;
    f.lfQuality = 1;
    f.SetFace(face);
    return f;
}

void SkinFont::SetFace(const char* face) { SkinCopyText(lfFaceName, sizeof lfFaceName, face); }

LOGFONTA SkinFont::ToLogFont() const
{
    static_assert(sizeof(LOGFONTA) == offsetof(SkinFont, color), "the record starts with a LOGFONT");
    LOGFONTA lf;
    memcpy(&lf, this, sizeof lf);
    lf.lfFaceName[sizeof lf.lfFaceName - 1] = 0;
    lf.lfHeight = std::clamp(lf.lfHeight, -kSkinMaxFontSize, kSkinMaxFontSize);
    lf.lfWidth = std::clamp(lf.lfWidth, -kSkinMaxFontSize, kSkinMaxFontSize);
    return lf;
}

// ---- archive ------------------------------------------------------------------------------------

CSkinArchive::CSkinArchive(CMemoryStream& stream, bool reading, int minorVersion)
    : m_stream(stream), m_reading(reading), m_minor(minorVersion)
{
}

void CSkinArchive::Raw(void* data, DWORD n)
{
    if (!m_ok || n == 0)
        return;
    if (m_reading) {
        if (m_stream.GetRemaining() < n) {
            m_ok = false;
            return;
        }
        m_stream.Read(data, n);
    } else if (m_stream.Write(data, n) != n) {
        m_ok = false;
    }
}

void CSkinArchive::Skip(DWORD n)
{
    if (!m_ok)
        return;
    if (m_reading) {
        if (m_stream.GetRemaining() < n)
            m_ok = false;
        else
            m_stream.Seek(LONG(n), 1);
        return;
    }
    static const BYTE zeros[64] = {};
    while (n && m_ok) {
        DWORD k = std::min<DWORD>(n, sizeof zeros);
        Raw(const_cast<BYTE*>(zeros), k);
        n -= k;
    }
}

void CSkinArchive::U8(BYTE& v) { Raw(&v, 1); }

void CSkinArchive::U32(DWORD& v)
{
    BYTE b[4];
    if (m_reading) {
        Raw(b, 4);
        if (m_ok)
            v = LoadU32(b);
    } else {
        b[0] = BYTE(v);
        b[1] = BYTE(v >> 8);
        b[2] = BYTE(v >> 16);
        b[3] = BYTE(v >> 24);
        Raw(b, 4);
    }
}

void CSkinArchive::I32(LONG& v)
{
    DWORD u = DWORD(v);
    U32(u);
    v = LONG(u);
}

void CSkinArchive::Text(char* field, DWORD n)
{
    if (m_reading) {
        std::vector<char> tmp(n);
        Raw(tmp.data(), n);
        if (m_ok) {
            memcpy(field, tmp.data(), n);
            field[n - 1] = 0;
        }
    } else {
        // Canonical form: the text, then zeros to the field's width.
        std::vector<char> tmp(n, 0);
        strncpy(tmp.data(), field, n - 1);
        Raw(tmp.data(), n);
    }
}

void CSkinArchive::Rect(RECT& r)
{
    RECT t = r;
    I32(t.left);
    I32(t.top);
    I32(t.right);
    I32(t.bottom);
    // Held on reading, so that no derived width, margin sum or offset can overflow later.
    if (m_ok)
        r = m_reading ? SkinClampRect(t) : t;
}

void CSkinArchive::Part(SkinImagePart& p)
{
    SkinImagePart t = p;
    Text(t.name, sizeof t.name);
    Rect(t.src);
    U32(t.mode);
    if (m_ok)
        p = t;
}

void CSkinArchive::Grid(SkinNineGrid& g)
{
    SkinNineGrid t = g;
    Text(t.name, sizeof t.name);
    Rect(t.src);
    I32(t.marginLeft);
    I32(t.marginTop);
    I32(t.marginRight);
    I32(t.marginBottom);
    U32(t.mode);
    if (m_ok && m_reading) {
        for (LONG* m : {&t.marginLeft, &t.marginTop, &t.marginRight, &t.marginBottom})
            *m = SkinClampCorner(*m);
    }
    if (m_ok)
        g = t;
}

void CSkinArchive::Style(SkinTextStyle& s)
{
    SkinTextStyle t = s;
    BYTE bytes[12];
    memcpy(bytes, &t, 12);
    Raw(bytes, 12);
    U32(t.flags);
    if (m_ok) {
        memcpy(&t, bytes, 12);
        s = t;
    }
}

void CSkinArchive::Font(SkinFont& f)
{
    SkinFont t = f;
    I32(t.lfHeight);
    I32(t.lfWidth);
    I32(t.lfEscapement);
    I32(t.lfOrientation);
    I32(t.lfWeight);
    U8(t.lfItalic);
    U8(t.lfUnderline);
    U8(t.lfStrikeOut);
    U8(t.lfCharSet);
    U8(t.lfOutPrecision);
    U8(t.lfClipPrecision);
    U8(t.lfQuality);
    U8(t.lfPitchAndFamily);
    Text(t.lfFaceName, sizeof t.lfFaceName);
    U32(t.color);
    if (m_ok)
        f = t;
}

bool CSkinArchive::CountFits(DWORD n, DWORD minSize) const
{
    return uint64_t(n) * minSize <= m_stream.GetRemaining();
}

// ---- data items ---------------------------------------------------------------------------------

CSkinDataItem::CSkinDataItem() = default;

CSkinDataItem::CSkinDataItem(const char* name, DWORD kind, const void* data, DWORD size) : m_nKind(kind)
{
    SetName(name);
    SetData(data, size);
}

void CSkinDataItem::SetData(const void* data, DWORD size)
{
    if (data && size)
        m_data.assign(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
    else
        m_data.clear();
}

void CSkinDataItem::SetText(const char* text)
{
    m_text.clear();
    if (text)
        m_text.assign(text, text + strlen(text) + 1);
}

void CSkinDataItem::Serialize(CSkinArchive& ar)
{
    ar.U32(m_nKind);
    ar.Text(m_szName, sizeof m_szName);
    ar.Text(m_szLabel, sizeof m_szLabel);
    DWORD size = DWORD(m_data.size());
    ar.U32(size);
    if (ar.IsReading()) {
        if (!ar.Ok() || size > ar.Remaining()) {
            ar.Fail();
            return;
        }
        m_data.assign(size, 0);
        ar.Raw(m_data.data(), size);
    } else {
        ar.Raw(m_data.data(), size);
    }
    DWORD length = DWORD(m_text.size());
    ar.U32(length);
    if (ar.IsReading()) {
        if (!ar.Ok() || length > ar.Remaining()) {
            ar.Fail();
            return;
        }
        m_text.assign(length, 0);
        ar.Raw(m_text.data(), length);
        if (length)
            m_text.back() = 0;
    } else {
        ar.Raw(m_text.data(), length);
    }
}

// ---- CSkinObject --------------------------------------------------------------------------------

CSkinObject::CSkinObject(int type)
    : m_crBack(SkinSystemColor(15)),   // COLOR_BTNFACE
      m_crText(SkinSystemColor(8)),    // COLOR_WINDOWTEXT
      m_nType(type)
{
}

CSkinObject::~CSkinObject() = default;

void CSkinObject::ReleaseResources()
{
    for (auto& c : m_children)
        c.second->ReleaseResources();
}

void CSkinObject::CreateResources()
{
    for (auto& c : m_children)
        c.second->CreateResources();
}

bool CSkinObject::Save(CMemoryStream& stream)
{
    CSkinArchive ar(stream, false, SKIN_VERSION_MINOR);
    DWORD type = DWORD(m_nType);
    ar.U32(type);
    Serialize(ar);
    return ar.Ok();
}

bool CSkinObject::Load(CMemoryStream& stream)
{
    CSkinArchive ar(stream, true, GetSkinCurrentMinorVersion());
    Serialize(ar);
    return ar.Ok();
}

void CSkinObject::Serialize(CSkinArchive& ar)
{
    ar.Text(m_szName, sizeof m_szName);
    ar.U32(m_crBack);
    ar.U32(m_crText);
    ar.U32(m_nThird);
    ar.Text(m_szSecondName, sizeof m_szSecondName);
    ar.U32(m_nValue);
    if (ar.Since(8)) {
        ar.Rect(m_rc);
        ar.U32(m_nAnchoring);
    }
    DWORD count = DWORD(m_children.size());
    ar.U32(count);
    if (ar.IsReading()) {
        // Each child costs at least its type code; a count beyond that is a broken record.
        if (!ar.Ok() || !ar.CountFits(count, 4) || ar.depth >= CSkinArchive::kMaxDepth) {
            ar.Fail();
            return;
        }
        ++ar.depth;
        for (DWORD i = 0; i < count && ar.Ok(); ++i) {
            DWORD type = 0;
            ar.U32(type);
            if (!ar.Ok() || !IsSkinChildType(int(type)))
                continue;  // unknown codes carry no record
            std::unique_ptr<CSkinObject> child = CreateSkinObject(int(type));
            child->m_pOwner = m_pOwner;
            child->Serialize(ar);
            if (ar.Ok() && !m_children.count(child->m_szName))
                m_children.emplace(child->m_szName, std::move(child));
        }
        --ar.depth;
    } else {
        for (auto& c : m_children) {
            DWORD type = DWORD(c.second->m_nType);
            ar.U32(type);
            c.second->Serialize(ar);
        }
    }
    SerializeTail(ar);
}

void CSkinObject::SerializeDataItems(CSkinArchive& ar, DataItemMap& items)
{
    DWORD count = DWORD(items.size());
    ar.U32(count);
    if (!ar.IsReading()) {
        for (auto& it : items)
            it.second->Serialize(ar);
        return;
    }
    // An item is at least kind, name, label, size and text length: 94 bytes.
    if (!ar.Ok() || !ar.CountFits(count, 94)) {
        ar.Fail();
        return;
    }
    for (DWORD i = 0; i < count && ar.Ok(); ++i) {
        auto item = std::make_unique<CSkinDataItem>();
        item->Serialize(ar);
        if (!ar.Ok())
            break;
        std::string key = item->GetName();
        for (char& ch : key)
            ch = char(toupper(static_cast<unsigned char>(ch)));
        items[key] = std::move(item);
    }
}

void CSkinObject::SetRect(const RECT* rc)
{
    if (rc)
        m_rc = *rc;
}

CSkinDataItem* CSkinObject::FindDataItem(const char* name) const
{
    if (!name)
        return nullptr;
    char key[100];
    SkinCopyText(key, sizeof key, name);
    for (char* p = key; *p; ++p)
        *p = char(toupper(static_cast<unsigned char>(*p)));
    auto it = m_dataItems.find(key);
    return it == m_dataItems.end() ? nullptr : it->second.get();
}

void CSkinObject::SetOwner(CSkinFile* owner)
{
    m_pOwner = owner;
    for (auto& c : m_children)
        c.second->SetOwner(owner);
}

bool CSkinObject::AddChild(CSkinObject* child)
{
    if (!child || m_children.count(child->m_szName))
        return false;
    return AddChild(std::unique_ptr<CSkinObject>(child));
}

bool CSkinObject::AddChild(std::unique_ptr<CSkinObject> child)
{
    if (!child || m_children.count(child->m_szName))
        return false;
    child->SetOwner(m_pOwner);
    std::string key = child->m_szName;
    m_children.emplace(std::move(key), std::move(child));
    return true;
}

CSkinObject* CSkinObject::RemoveChild(const char* name)
{
    if (!name)
        return nullptr;
    auto it = m_children.find(name);
    if (it == m_children.end())
        return nullptr;
    CSkinObject* child = it->second.release();
    m_children.erase(it);
    return child;
}

CSkinObject* CSkinObject::FindChild(const char* name) const
{
    if (!name)
        return nullptr;
    auto it = m_children.find(name);
    return it == m_children.end() ? nullptr : it->second.get();
}

CSkinObject* CSkinObject::FindChildRecursive(const char* name) const
{
    if (!name)
        return nullptr;
    if (CSkinObject* direct = FindChild(name))
        return direct;
    for (auto& c : m_children)
        if (CSkinObject* found = c.second->FindChildRecursive(name))
            return found;
    return nullptr;
}

void CSkinObject::AddDataItem(CSkinDataItem* item)
{
    if (!item)
        return;
    std::string key = item->GetName();
    for (char& ch : key)
        ch = char(toupper(static_cast<unsigned char>(ch)));
    m_dataItems[key].reset(item);
}

// ---- window objects -----------------------------------------------------------------------------

CSkinWindowObject::CSkinWindowObject(int type)
    : CSkinObject(type), m_captionFont(SkinFont::Default("Arial")), m_textStyle(SkinTextStyle::Default())
{
    memset(m_parts, 0, sizeof m_parts);
    memset(m_iconicCaption, 0, sizeof m_iconicCaption);
    static const RECT kFrame[9] = {
        {0, 0, 86, 30},    {86, 0, 173, 30},    {173, 0, 276, 30},   {0, 30, 10, 148},    {10, 30, 266, 148},
        {266, 30, 276, 148}, {0, 148, 10, 160}, {10, 148, 266, 160}, {266, 148, 276, 160},
    };
    memcpy(m_frameRects, kFrame, sizeof kFrame);
    m_captionFont.color = 0;
}

CSkinWindowObject::~CSkinWindowObject() { CSkinWindowObject::ReleaseResources(); }

void CSkinWindowObject::SerializeTail(CSkinArchive& ar)
{
    for (auto& p : m_parts)
        ar.Part(p);
    for (auto& r : m_frameRects)
        ar.Rect(r);
    ar.Font(m_captionFont);
    ar.U32(m_bClientBackground);
    ar.U32(m_nWindowValue);
    ar.U32(m_crActiveFill);
    ar.U32(m_crInactiveFill);
    ar.U32(m_crBackground);
    if (ar.Since(3)) {
        ar.Style(m_textStyle);
        if (ar.IsReading() && !ar.Since(9))
            m_textStyle = SkinTextStyle::Default();
    }
    if (ar.Since(13)) {
        ar.Grid(m_iconicCaption[0]);
        ar.Grid(m_iconicCaption[1]);
    }
}

void CSkinWindowObject::SetRect(const RECT* rc)
{
    if (!rc)
        return;
    CSkinObject::SetRect(rc);
    // Stretch the design: the right column and the bottom row follow the new size.
    const LONG dx = SkinSub(SkinWidth(*rc), m_frameRects[2].right);
    const LONG dy = SkinSub(SkinHeight(*rc), m_frameRects[8].bottom);
    auto move = [](LONG& v, LONG d) { v = SkinAdd(v, d); };
    for (int row = 0; row < 3; ++row) {
        move(m_frameRects[row * 3 + 1].right, dx);
        move(m_frameRects[row * 3 + 2].left, dx);
        move(m_frameRects[row * 3 + 2].right, dx);
    }
    for (int col = 0; col < 3; ++col) {
        move(m_frameRects[3 + col].bottom, dy);
        move(m_frameRects[6 + col].top, dy);
        move(m_frameRects[6 + col].bottom, dy);
    }
}

namespace {

// The picture's area less the pixels of one colour (shared with the drawing helpers).
HRGN RegionWithoutColor(const CRasterImage& image, COLORREF key) { return CreateRegionFromImage(image, key); }

}  // namespace

void CSkinObject::GetImagePart(const SkinImagePart& part, SkinImageCacheEntry& entry) const
{
    ReleaseImagePart(entry);
    if (!m_pOwner || part.name[0] == 0)
        return;
    CSkinImageObject* imageObject = m_pOwner->FindImage(part.name);
    CRasterImage* source = imageObject ? imageObject->GetImage() : nullptr;
    if (!source || !source->IsValid())
        return;
    auto cut = std::make_unique<CRasterImage>();
    if (!source->Crop(part.src.left, part.src.top, part.src.right, part.src.bottom, cut.get()) || !cut->IsValid())
        return;
    entry.width = LONG(cut->GetWidth());
    entry.height = LONG(cut->GetHeight());
    // Shaped skins leave the key colour out of the part's region.
    CSkinObject* app = m_pOwner->FindObjectByType(SKIN_APPLICATION);
    if (app && static_cast<CSkinApplicationObject*>(app)->m_bTransparent)
        entry.region = RegionWithoutColor(*cut, app->GetKeyColor());
    entry.image = cut.release();
}

void CSkinObject::ReleaseImagePart(SkinImageCacheEntry& entry)
{
    if (entry.region)
        DeleteObject(entry.region);
    delete entry.image;
    entry = SkinImageCacheEntry();
}

void CSkinWindowObject::CreateResources()
{
    for (int i = 0; i < 18; ++i)
        GetImagePart(m_parts[i], m_cache[i]);
    CSkinObject::CreateResources();
}

void CSkinWindowObject::ReleaseResources()
{
    for (auto& e : m_cache)
        ReleaseImagePart(e);
    CSkinObject::ReleaseResources();
}

// ---- font objects -------------------------------------------------------------------------------

CSkinFontObject::CSkinFontObject(int type) : CSkinObject(type), m_font(SkinFont::Default("MS Sans Serif"))
{
    memset(&m_background, 0, sizeof m_background);
}

CSkinFontObject::~CSkinFontObject() { CSkinFontObject::ReleaseResources(); }

void CSkinFontObject::SerializeFontBase(CSkinArchive& ar)
{
    ar.Font(m_font);
    ar.Grid(m_background);
    if (ar.Since(4) && !ar.Since(8)) {
        // These files kept a design rectangle here that is not used: it is reset to the default.
        RECT stored = m_rc;
        ar.Rect(stored);
        if (ar.IsReading())
            m_rc = {0, 0, 60, 30};
    }
    if (ar.Since(6)) {
        ar.U32(m_nControlId);
        if (ar.IsReading() && ar.Minor() == 6)
            m_nControlId = 0;
    }
    if (ar.Since(8))
        ar.U32(m_nFontValue1);
    if (ar.Since(10))
        ar.U32(m_nFontValue2);
    if (ar.Since(18)) {
        for (auto& a : m_anchor)
            ar.U32(a);
        ar.U32(m_nAnchorExtra);
    }
}

void CSkinFontObject::SerializeTail(CSkinArchive& ar) { SerializeFontBase(ar); }

// ---- caption objects ----------------------------------------------------------------------------

CSkinCaptionBaseObject::CSkinCaptionBaseObject(int type) : CSkinObject(type) { memset(&m_image, 0, sizeof m_image); }

void CSkinCaptionBaseObject::SerializeTail(CSkinArchive& ar)
{
    ar.Part(m_image);
    if (!ar.Since(8))
        ar.Rect(m_rc);  // before 1.8 the common record had no rectangle
    ar.U32(m_nCaptionValue1);
    ar.U32(m_nCaptionValue2);
    if (ar.Since(11)) {
        ar.U32(m_nCaptionValue3);
        ar.Text(m_szCaptionText, sizeof m_szCaptionText);
    }
}

void CSkinFontObject::CreateResources()
{
    if (m_hFont)
        DeleteObject(m_hFont);
    LOGFONTA lf = m_font.ToLogFont();
    m_hFont = CreateFontIndirectA(&lf);
    CSkinObject::CreateResources();
}

void CSkinFontObject::ReleaseResources()
{
    if (m_hFont)
        DeleteObject(m_hFont);
    m_hFont = nullptr;
    CSkinObject::ReleaseResources();
}
