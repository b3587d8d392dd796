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
    SetFrameRects(w, designW, designH, b, b, b, b);
    w.m_bClientBackground = 1;
}

void SetFrameRects(CSkinWindowObject& w, LONG W, LONG H, LONG topLeftW, LONG topRightW, LONG topH, LONG border)
{
    RECT* r = w.m_frameRects;
    r[0] = {0, 0, topLeftW, topH};
    r[1] = {topLeftW, 0, W - topRightW, topH};
    r[2] = {W - topRightW, 0, W, topH};
    r[3] = {0, topH, border, H - border};
    r[4] = {border, topH, W - border, H - border};
    r[5] = {W - border, topH, W, H - border};
    r[6] = {0, H - border, border, H};
    r[7] = {border, H - border, W - border, H};
    r[8] = {W - border, H - border, W, H};
    w.m_rc = {0, 0, W, H};
}

}  // namespace skinbuild
