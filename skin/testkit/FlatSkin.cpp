#include "FlatSkin.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <stdexcept>

#include "MemoryStream.h"
#include "RasterImage.h"
#include "SkinManager.h"
#include "SkinObjectTypes.h"
#include "SkinRecords.h"

namespace skinkit {

namespace {

// Hands out colours that no other record, no object colour field, no system colour and no key
// colour has, so a probe can never take one thing for another.
class ColorSource {
public:
    explicit ColorSource(std::set<COLORREF> avoid) : m_taken(std::move(avoid)) {}
    COLORREF Next()
    {
        for (;;) {
            // An odd multiplier walks all 2^24 colours without repeating, well spread out.
            const DWORD v = (++m_step * 0x9E3779u + 0x3C6EF3u) & 0xFFFFFFu;
            const COLORREF c = RGB(v >> 16, (v >> 8) & 0xFF, v & 0xFF);
            if (m_taken.insert(c).second)
                return c;
        }
    }

private:
    DWORD m_step = 0;
    std::set<COLORREF> m_taken;
};

void CollectObjectColors(const CSkinObject& o, std::set<COLORREF>& out)
{
    out.insert({o.m_crBack, o.m_crText, COLORREF(o.m_nThird)});
    if (auto* w = dynamic_cast<const CSkinWindowObject*>(&o))
        out.insert({w->m_crActiveFill, w->m_crInactiveFill, w->m_crBackground, w->m_captionFont.color});
    if (auto* f = dynamic_cast<const CSkinFontObject*>(&o))
        out.insert(f->m_font.color);
    for (const auto& child : o.GetChildren())
        CollectObjectColors(*child.second, out);
}

std::set<COLORREF> ColorsToAvoid(const std::vector<std::unique_ptr<CSkinObject>>& objects)
{
    std::set<COLORREF> avoid = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 0, 255)};
    for (int i = 0; i < 31; ++i)
        avoid.insert(SkinSystemColor(i));
    for (const auto& o : objects)
        CollectObjectColors(*o, avoid);
    return avoid;
}

bool StartsWithAny(const std::string& path, const std::vector<std::string>& prefixes)
{
    for (const std::string& p : prefixes)
        if (path.compare(0, p.size(), p) == 0)
            return true;
    return false;
}

LONG Width(const RECT& r) { return r.right - r.left; }
LONG Height(const RECT& r) { return r.bottom - r.top; }

void AddPicture(CSkinFile& skin, const std::string& name, LONG w, LONG h,
                const std::function<COLORREF(LONG x, LONG y)>& colorAt)
{
    CRasterImage image;
    image.Create(DWORD(w), DWORD(h), 24);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            image.SetPixelColor(x, h - 1 - y, colorAt(x, y));  // rows are stored bottom-up
    auto object = std::make_unique<CSkinImageObject>();
    object->SetName(name.c_str());
    object->SetImage(image, RASTER_FORMAT_BMP);
    skin.AddImage(std::move(object));
}

// The nine-grid cell of a picture pixel.
int CellAt(LONG x, LONG y, LONG w, LONG h, const RECT& m)
{
    const int col = x < m.left ? 0 : x >= w - m.right ? 2 : 1;
    const int row = y < m.top ? 0 : y >= h - m.bottom ? 2 : 1;
    return row * 3 + col;
}

}  // namespace

std::string FlatRecord::Describe() const
{
    return cell < 0 ? path : path + " cell " + std::to_string(cell);
}

CFlatSkin::CFlatSkin(std::vector<std::unique_ptr<CSkinObject>> objects) : CFlatSkin(std::move(objects), Options()) {}

CFlatSkin::CFlatSkin(std::vector<std::unique_ptr<CSkinObject>> objects, const Options& options)
{
    Build(std::move(objects), options);
}

void CFlatSkin::Build(std::vector<std::unique_ptr<CSkinObject>> objects, const Options& options)
{
    ColorSource colors(ColorsToAvoid(objects));
    CSkinFile skin;
    int picture = 0;
    auto remember = [this](const std::string& path, int cell, const RECT& margins, COLORREF c) {
        m_byColor[c] = FlatRecord{path, cell, margins};
        m_byRecord[{path, cell}] = c;
    };
    for (auto& object : objects) {
        for (ImageRecord& r : ListImageRecords(*object)) {
            if (StartsWithAny(r.path, options.leaveEmpty)) {
                if (r.part)
                    std::memset(r.part, 0, sizeof *r.part);
                else
                    std::memset(r.grid, 0, sizeof *r.grid);
                continue;
            }
            const std::string name = "flat" + std::to_string(++picture);
            if (r.part) {
                SkinImagePart& p = *r.part;
                const bool sized = Width(p.src) > 0 && Height(p.src) > 0;
                const LONG w = sized ? Width(p.src) : options.partSize.cx;
                const LONG h = sized ? Height(p.src) : options.partSize.cy;
                p.Set(name.c_str(), 0, 0, w, h, sized ? p.mode : 2);
                const COLORREF c = colors.Next();
                remember(r.path, -1, RECT{}, c);
                AddPicture(skin, name, w, h, [c](LONG, LONG) { return c; });
                continue;
            }
            SkinNineGrid& g = *r.grid;
            const bool sized = Width(g.src) > 0 && Height(g.src) > 0;
            const LONG w = sized ? Width(g.src) : options.gridSize.cx;
            const LONG h = sized ? Height(g.src) : options.gridSize.cy;
            const RECT m = sized ? RECT{g.marginLeft, g.marginTop, g.marginRight, g.marginBottom}
                                 : RECT{w / 3, h / 3, w / 3, h / 3};
            g.Set(name.c_str(), 0, 0, w, h, m.left, m.top, m.right, m.bottom, sized ? g.mode : 1);
            COLORREF cells[9];
            for (int cell = 0; cell < 9; ++cell) {
                cells[cell] = colors.Next();
                remember(r.path, cell, m, cells[cell]);
            }
            AddPicture(skin, name, w, h, [&](LONG x, LONG y) { return cells[CellAt(x, y, w, h, m)]; });
        }
    }
    for (auto& object : objects) {
        const std::string name = object->GetName();
        if (!skin.AddObject(std::move(object)))
            throw std::invalid_argument("a skin file cannot hold the object " + name);
    }
    CMemoryStream body;
    if (!skin.SaveBody(body))
        throw std::runtime_error("the flat skin could not be written");
    m_body.assign(body.GetBuffer(), body.GetBuffer() + body.GetSize());
}

std::unique_ptr<CSkinFile> CFlatSkin::MakeFile() const
{
    CMemoryStream body(m_body.data(), DWORD(m_body.size()), CMemoryStream::kDefaultGrowth);
    auto file = std::make_unique<CSkinFile>();
    if (!file->LoadBody(body))
        throw std::runtime_error("the flat skin does not load back");
    return file;
}

bool CFlatSkin::SaveToFile(const char* path) const { return MakeFile()->SaveToFile(path) != FALSE; }

void CFlatSkin::Apply() const { CSkinManager::Instance().ApplySkinToAllWindows(MakeFile().release()); }

const FlatRecord* CFlatSkin::Find(COLORREF color) const
{
    auto it = m_byColor.find(color);
    return it == m_byColor.end() ? nullptr : &it->second;
}

std::string CFlatSkin::Describe(COLORREF color) const
{
    if (const FlatRecord* r = Find(color))
        return r->Describe();
    char text[32];
    std::snprintf(text, sizeof text, "no record (#%02x%02x%02x)", GetRValue(color), GetGValue(color),
                  GetBValue(color));
    return text;
}

COLORREF CFlatSkin::ColorOf(const std::string& path, int cell) const
{
    auto it = m_byRecord.find({path, cell});
    return it == m_byRecord.end() ? CLR_INVALID : it->second;
}

const FlatRecord* CFlatSkin::FindRecord(const std::string& path) const
{
    COLORREF c = ColorOf(path, -1);
    if (c == CLR_INVALID)
        c = ColorOf(path, 0);
    return c == CLR_INVALID ? nullptr : Find(c);
}

}  // namespace skinkit
