// The shared cache of font faces: fonts of ever new sizes do not pile faces up, and a font
// whose face left the cache keeps drawing with it.
#include <gtest/gtest.h>

#include "gdi/text.h"
#include "windows.h"

namespace {

SIZE Extent(HDC dc, HFONT font, const char* text) {
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    return size;
}

HFONT Font(int height) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lstrcpyA(lf.lfFaceName, "Arial");
    return CreateFontIndirectA(&lf);
}

TEST(FaceCache, KeepsAFixedNumberOfFacesWhateverSizesAreAskedFor) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT first = Font(-13);
    const SIZE before = Extent(dc, first, "Hello, faces");
    ASSERT_GT(before.cx, 0);
    for (int h = 1; h <= 300; ++h) {
        HFONT other = Font(-h - 20);
        Extent(dc, other, "x");
        DeleteObject(other);
    }
    EXPECT_LE(plat::gdi::CachedFaceCount(), 64u);
    // The first font was pushed out of the cache long ago and still measures as it did.
    const SIZE after = Extent(dc, first, "Hello, faces");
    EXPECT_EQ(after.cx, before.cx);
    EXPECT_EQ(after.cy, before.cy);
    DeleteObject(first);
    DeleteDC(dc);
}

}  // namespace
