#include "SkinLook.h"

namespace skinbuild {

SkinFont MakeFont(LONG height, LONG weight, const Rgba& color)
{
    SkinFont f = SkinFont::Default(kFace);
    f.lfHeight = height;
    f.lfWeight = weight;
    f.lfQuality = 5;  // clear type: smooth text on the light body
    f.color = ToColorRef(color);
    return f;
}

SkinTextStyle MakeStyle(const Rgba& color)
{
    SkinTextStyle s = SkinTextStyle::Default();
    s.SetTextColor(ToColorRef(color));
    return s;
}

void AddPicture(CSkinFile& skin, const char* name, const CCanvas& canvas, const CCanvas::Matte& matte)
{
    CRasterImage image;
    canvas.ToImage(image, matte);
    auto object = std::make_unique<CSkinImageObject>();
    object->SetName(name);
    object->SetImage(image, RASTER_FORMAT_BMP);
    skin.AddImage(std::move(object));
}

CCanvas::Matte Flat(const Rgba& c)
{
    return [c](int, int) { return c; };
}

void SetSmallWindowParts(CSkinWindowObject& w, const char* picture, int x, int designW, int designH)
{
    const LONG b = 3;
    for (int half = 0; half < 2; ++half) {
        SkinImagePart* p = &w.m_parts[half * 9];
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) {
                const bool corner = row != 1 && col != 1;
                p[row * 3 + col].Set(picture, x + col * b, row * b, x + (col + 1) * b, (row + 1) * b, corner ? 0 : 2);
            }
    }
    const LONG W = designW, H = designH;
    RECT* r = w.m_frameRects;
    r[0] = {0, 0, b, b};
    r[1] = {b, 0, W - b, b};
    r[2] = {W - b, 0, W, b};
    r[3] = {0, b, b, H - b};
    r[4] = {b, b, W - b, H - b};
    r[5] = {W - b, b, W, H - b};
    r[6] = {0, H - b, b, H};
    r[7] = {b, H - b, W - b, H};
    r[8] = {W - b, H - b, W, H};
    w.m_rc = {0, 0, W, H};
    w.m_bClientBackground = 1;
}

}  // namespace skinbuild
