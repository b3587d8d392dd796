// Image lists: masked images drawn transparent or over a background colour, the mask itself,
// blending for selection, icons in and out, and the count as images come and go.
#include <gtest/gtest.h>

#include <vector>

#include "commctrl.h"
#include "windows.h"

namespace {

// A 32-bit top-down DIB selected into a memory DC, for reading back what was drawn.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
    int w, h;
    Canvas(int width, int height, COLORREF fill) : w(width), h(height) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* p = nullptr;
        bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bmp);
        RECT r{0, 0, w, h};
        HBRUSH b = CreateSolidBrush(fill);
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bmp);
    }
    COLORREF At(int x, int y) const {
        uint32_t p = bits[y * w + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

const COLORREF kKey = RGB(255, 0, 255), kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 160, 0);

// A strip of `n` 8x8 images: image k is filled with colours[k] except its left half of row 0..3,
// which is the key colour (the see-through part).
HBITMAP Strip(const std::vector<COLORREF>& colours) {
    int n = int(colours.size());
    Canvas c(8 * n, 8, kKey);
    for (int k = 0; k < n; ++k) {
        RECT r{8 * k, 0, 8 * k + 8, 8};
        HBRUSH b = CreateSolidBrush(colours[size_t(k)]);
        FillRect(c.dc, &r, b);
        RECT hole{8 * k, 0, 8 * k + 4, 4};
        HBRUSH kb = CreateSolidBrush(kKey);
        FillRect(c.dc, &hole, kb);
        DeleteObject(b);
        DeleteObject(kb);
    }
    // Copy into a plain bitmap the list reads from.
    HBITMAP out = CreateCompatibleBitmap(c.dc, 8 * n, 8);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ o = SelectObject(mem, out);
    BitBlt(mem, 0, 0, 8 * n, 8, c.dc, 0, 0, SRCCOPY);
    SelectObject(mem, o);
    DeleteDC(mem);
    return out;
}

TEST(CommCtrlImageList, MaskedImagesDrawTransparentOrOverTheBackgroundColour) {
    HIMAGELIST il = ImageList_Create(8, 8, ILC_COLOR32 | ILC_MASK, 2, 2);
    ASSERT_NE(il, nullptr);
    HBITMAP strip = Strip({kRed, kGreen});
    EXPECT_EQ(ImageList_AddMasked(il, strip, kKey), 0);
    EXPECT_EQ(ImageList_GetImageCount(il), 2);
    int cx = 0, cy = 0;
    EXPECT_TRUE(ImageList_GetIconSize(il, &cx, &cy));
    EXPECT_EQ(cx, 8);
    EXPECT_EQ(cy, 8);

    Canvas c(40, 10, kBlue);
    EXPECT_TRUE(ImageList_Draw(il, 0, c.dc, 0, 0, ILD_TRANSPARENT));
    EXPECT_EQ(c.At(1, 1), kBlue);   // the key colour let the canvas through
    EXPECT_EQ(c.At(6, 1), kRed);
    EXPECT_EQ(c.At(1, 6), kRed);
    EXPECT_TRUE(ImageList_Draw(il, 1, c.dc, 10, 0, ILD_NORMAL));  // no background colour: transparent too
    EXPECT_EQ(c.At(11, 1), kBlue);
    EXPECT_EQ(c.At(16, 6), kGreen);

    EXPECT_EQ(ImageList_SetBkColor(il, RGB(1, 2, 3)), COLORREF(CLR_NONE));
    ImageList_Draw(il, 0, c.dc, 20, 0, ILD_NORMAL);
    EXPECT_EQ(c.At(21, 1), RGB(1, 2, 3));
    ImageList_Draw(il, 0, c.dc, 30, 0, ILD_TRANSPARENT);  // TRANSPARENT wins over the colour
    EXPECT_EQ(c.At(31, 1), kBlue);

    ImageList_Draw(il, 0, c.dc, 0, 0, ILD_MASK);
    EXPECT_EQ(c.At(1, 1), RGB(255, 255, 255));
    EXPECT_EQ(c.At(6, 6), RGB(0, 0, 0));

    EXPECT_FALSE(ImageList_Draw(il, 2, c.dc, 0, 0, ILD_NORMAL));
    DeleteObject(strip);
    EXPECT_TRUE(ImageList_Destroy(il));
    EXPECT_FALSE(ImageList_Destroy(il));
    EXPECT_EQ(ImageList_GetImageCount(il), 0);
}

TEST(CommCtrlImageList, DrawExClipsToTheGivenSizeAndSelectedBlendsWithTheHighlight) {
    HIMAGELIST il = ImageList_Create(8, 8, ILC_COLOR24 | ILC_MASK, 1, 1);
    HBITMAP strip = Strip({kRed});
    ImageList_AddMasked(il, strip, kKey);
    Canvas c(20, 10, kBlue);
    ImageList_DrawEx(il, 0, c.dc, 0, 0, 5, 8, CLR_NONE, CLR_DEFAULT, ILD_NORMAL);
    EXPECT_EQ(c.At(4, 6), kRed);
    EXPECT_EQ(c.At(5, 6), kBlue);  // clipped at 5 pixels
    ImageList_DrawEx(il, 0, c.dc, 10, 0, 0, 0, CLR_NONE, RGB(0, 0, 255), ILD_SELECTED);
    COLORREF mixed = c.At(16, 6);
    EXPECT_NEAR(GetRValue(mixed), 127, 2);
    EXPECT_NEAR(GetBValue(mixed), 127, 2);
    EXPECT_EQ(c.At(11, 1), kBlue);  // the see-through part stays see-through
    DeleteObject(strip);
    ImageList_Destroy(il);
}

TEST(CommCtrlImageList, AddWithMaskBitmapRemoveAndReplace) {
    HIMAGELIST il = ImageList_Create(8, 8, ILC_COLOR32 | ILC_MASK, 1, 1);
    HBITMAP colour = Strip({kRed, kGreen, kBlue});
    // Monochrome mask: white (set) = transparent; the right half of each image.
    std::vector<uint8_t> bits(size_t(4) * 8, 0);  // 24 pixels -> 3 bytes, padded to 4 per row
    for (int y = 0; y < 8; ++y) bits[size_t(y) * 4 + 0] = bits[size_t(y) * 4 + 1] = bits[size_t(y) * 4 + 2] = 0x0F;
    HBITMAP mask = CreateBitmap(24, 8, 1, 1, bits.data());
    EXPECT_EQ(ImageList_Add(il, colour, mask), 0);
    EXPECT_EQ(ImageList_GetImageCount(il), 3);
    Canvas c(10, 10, RGB(9, 9, 9));
    ImageList_Draw(il, 2, c.dc, 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(c.At(6, 6), RGB(9, 9, 9));
    EXPECT_EQ(c.At(2, 6), kBlue);

    EXPECT_TRUE(ImageList_Remove(il, 0));
    EXPECT_EQ(ImageList_GetImageCount(il), 2);
    ImageList_Draw(il, 0, c.dc, 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(c.At(2, 6), kGreen);  // the later images moved down
    EXPECT_FALSE(ImageList_Remove(il, 5));
    EXPECT_TRUE(ImageList_Replace(il, 1, colour, nullptr));  // the strip's first image
    ImageList_Draw(il, 1, c.dc, 0, 0, ILD_NORMAL);
    EXPECT_EQ(c.At(6, 6), kRed);

    HIMAGELIST dup = ImageList_Duplicate(il);
    EXPECT_EQ(ImageList_GetImageCount(dup), 2);
    EXPECT_TRUE(ImageList_Remove(il, -1));
    EXPECT_EQ(ImageList_GetImageCount(il), 0);
    EXPECT_EQ(ImageList_GetImageCount(dup), 2);

    IMAGEINFO info{};
    EXPECT_TRUE(ImageList_GetImageInfo(dup, 1, &info));
    EXPECT_EQ(info.rcImage.left, 8);
    EXPECT_EQ(info.rcImage.right, 16);
    BITMAP bm{};
    GetObjectA(info.hbmImage, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 16);
    DeleteObject(colour);
    DeleteObject(mask);
    ImageList_Destroy(il);
    ImageList_Destroy(dup);
}

TEST(CommCtrlImageList, IconsGoInAndComeOutWithTheirTransparency) {
    HIMAGELIST il = ImageList_Create(8, 8, ILC_COLOR32 | ILC_MASK, 1, 1);
    HBITMAP strip = Strip({kGreen});
    ImageList_AddMasked(il, strip, kKey);
    HICON icon = ImageList_GetIcon(il, 0, ILD_NORMAL);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(ImageList_AddIcon(il, icon), 1);
    EXPECT_EQ(ImageList_ReplaceIcon(il, 0, icon), 0);
    EXPECT_EQ(ImageList_ReplaceIcon(il, 7, icon), -1);
    Canvas c(10, 10, kBlue);
    ImageList_Draw(il, 1, c.dc, 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(c.At(1, 1), kBlue);
    EXPECT_EQ(c.At(6, 6), kGreen);
    DestroyIcon(icon);
    DeleteObject(strip);
    ImageList_Destroy(il);
}

}  // namespace
