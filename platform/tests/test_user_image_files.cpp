// LoadImage from files: icons and cursors (.ico/.cur with several images, of any depth, the
// nearest size chosen), bitmaps (.bmp), files that lie about their sizes; and shared icons
// from the program's resources, one handle however often they are loaded.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platres.h"
#include "windows.h"
#include "winplat_test.h"

namespace {

using Bytes = std::vector<BYTE>;

template <typename T>
void Put(Bytes& b, T v) {
    size_t at = b.size();
    b.resize(at + sizeof v);
    std::memcpy(&b[at], &v, sizeof v);
}

// An icon image: the left half opaque in `colour`, the right half transparent (AND mask 1).
Bytes IconImage(int w, int h, int bpp, COLORREF colour) {
    Bytes b;
    BITMAPINFOHEADER hd{};
    hd.biSize = sizeof hd;
    hd.biWidth = w;
    hd.biHeight = 2 * h;
    hd.biPlanes = 1;
    hd.biBitCount = WORD(bpp);
    Put(b, hd);
    if (bpp <= 8) {
        for (int i = 0; i < (1 << bpp); ++i) {
            COLORREF c = i == 1 ? colour : RGB(0, 0, 0);
            Put(b, BYTE(GetBValue(c)));
            Put(b, BYTE(GetGValue(c)));
            Put(b, BYTE(GetRValue(c)));
            Put(b, BYTE(0));
        }
    }
    size_t stride = ((size_t(w) * bpp + 31) / 32) * 4;
    for (int y = 0; y < h; ++y) {
        Bytes row(stride, 0);
        for (int x = 0; x < w; ++x) {
            // Transparent pixels are black in the colour image, so the AND mask alone shows.
            if (x >= w / 2 && bpp != 32) continue;
            if (bpp == 32) {
                row[x * 4] = GetBValue(colour);
                row[x * 4 + 1] = GetGValue(colour);
                row[x * 4 + 2] = GetRValue(colour);
                row[x * 4 + 3] = x < w / 2 ? 255 : 0;
            } else if (bpp == 8) {
                row[x] = 1;
            } else if (bpp == 4) {
                row[x / 2] |= BYTE(x % 2 ? 0x01 : 0x10);
            } else if (bpp == 24) {
                row[x * 3] = GetBValue(colour);
                row[x * 3 + 1] = GetGValue(colour);
                row[x * 3 + 2] = GetRValue(colour);
            }
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    size_t mstride = ((size_t(w) + 31) / 32) * 4;
    for (int y = 0; y < h; ++y) {
        Bytes row(mstride, 0);
        for (int x = w / 2; x < w; ++x) row[x / 8] |= BYTE(0x80 >> (x % 8));
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

struct Image {
    int w, h;
    Bytes data;
    POINT hot{0, 0};
};

Bytes IconFile(const std::vector<Image>& images, bool cursor = false) {
    Bytes f;
    Put(f, WORD(0));
    Put(f, WORD(cursor ? 2 : 1));
    Put(f, WORD(images.size()));
    DWORD offset = DWORD(6 + 16 * images.size());
    for (const Image& im : images) {
        Put(f, BYTE(im.w & 0xFF));
        Put(f, BYTE(im.h & 0xFF));
        Put(f, BYTE(0));
        Put(f, BYTE(0));
        Put(f, WORD(cursor ? im.hot.x : 1));
        Put(f, WORD(cursor ? im.hot.y : 32));
        Put(f, DWORD(im.data.size()));
        Put(f, offset);
        offset += DWORD(im.data.size());
    }
    for (const Image& im : images) f.insert(f.end(), im.data.begin(), im.data.end());
    return f;
}

std::string Write(const char* name, const Bytes& b) {
    std::string path = ::testing::TempDir() + "image_files_" + std::to_string(getpid()) + "_" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
    return path;
}

// What an icon draws over white in a memory DC, and its size.
struct Drawn {
    int w = 0, h = 0;
    std::vector<COLORREF> px;
    COLORREF At(int x, int y) const { return px[size_t(y) * w + x]; }
};
Drawn Draw(HICON icon) {
    Drawn d;
    ICONINFO ii{};
    if (!GetIconInfo(icon, &ii)) return d;
    BITMAP bm{};
    GetObjectA(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm);
    d.w = bm.bmWidth;
    d.h = ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    DeleteObject(ii.hbmMask);
    if (ii.hbmColor) DeleteObject(ii.hbmColor);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, d.w, d.h);
    HGDIOBJ old = SelectObject(dc, target);
    RECT all{0, 0, d.w, d.h};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, 0, 0, icon, d.w, d.h, 0, nullptr, DI_NORMAL);
    for (int y = 0; y < d.h; ++y)
        for (int x = 0; x < d.w; ++x) d.px.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return d;
}

TEST(IconFiles, TheNearestImageOfAnyDepthIsLoadedWithItsMask) {
    const COLORREF red = RGB(200, 30, 30), blue = RGB(30, 30, 200), green = RGB(30, 160, 30);
    std::string path = Write("three.ico", IconFile({{16, 16, IconImage(16, 16, 8, red)},
                                                    {32, 32, IconImage(32, 32, 32, blue)},
                                                    {48, 48, IconImage(48, 48, 4, green)}}));
    struct Ask {
        int cx, cy;
        UINT flags;
        int w;
        COLORREF colour;
    };
    for (Ask a : {Ask{16, 16, 0, 16, red}, Ask{32, 32, 0, 32, blue}, Ask{0, 0, LR_DEFAULTSIZE, 32, blue},
                  Ask{0, 0, 0, 48, green}, Ask{40, 40, 0, 40, green} /* 48 shrunk */,
                  Ask{64, 64, 0, 64, green} /* 48 stretched */}) {
        HICON icon = static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, a.cx, a.cy, LR_LOADFROMFILE | a.flags));
        ASSERT_TRUE(icon) << a.cx;
        Drawn d = Draw(icon);
        EXPECT_EQ(d.w, a.w);
        EXPECT_EQ(d.h, a.w);
        EXPECT_EQ(d.At(2, d.h / 2), a.colour) << "opaque half, asked " << a.cx;
        EXPECT_EQ(d.At(d.w - 2, d.h / 2), RGB(255, 255, 255)) << "transparent half, asked " << a.cx;
        DestroyIcon(icon);
    }
    // A 24-bit image too.
    std::string deep = Write("deep.ico", IconFile({{24, 24, IconImage(24, 24, 24, red)}}));
    HICON icon = static_cast<HICON>(LoadImageA(nullptr, deep.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
    ASSERT_TRUE(icon);
    EXPECT_EQ(Draw(icon).At(3, 3), red);
    DestroyIcon(icon);
    unlink(path.c_str());
    unlink(deep.c_str());
}

TEST(IconFiles, ACursorFileKeepsItsHotSpot) {
    Image img{32, 32, IconImage(32, 32, 32, RGB(0, 0, 0)), POINT{5, 9}};
    std::string path = Write("arrow.cur", IconFile({img}, true));
    HCURSOR c = static_cast<HCURSOR>(LoadImageA(nullptr, path.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE));
    ASSERT_TRUE(c);
    ICONINFO ii{};
    ASSERT_TRUE(GetIconInfo(c, &ii));
    EXPECT_FALSE(ii.fIcon);
    EXPECT_EQ(ii.xHotspot, 5u);
    EXPECT_EQ(ii.yHotspot, 9u);
    DeleteObject(ii.hbmMask);
    DeleteObject(ii.hbmColor);
    DestroyIcon(c);
    unlink(path.c_str());
}

TEST(IconFiles, FilesThatLieAboutTheirContentsAreRefused) {
    Bytes good = IconFile({{16, 16, IconImage(16, 16, 8, RGB(1, 2, 3))}});
    std::vector<Bytes> bad;
    bad.push_back(Bytes(good.begin(), good.begin() + 40));  // cut short
    Bytes past = good;
    DWORD far = 1u << 30;
    std::memcpy(&past[6 + 12], &far, 4);  // the image starts past the end
    bad.push_back(past);
    Bytes big = good;
    DWORD huge = 0xFFFFFFF0u;
    std::memcpy(&big[6 + 8], &huge, 4);  // and is larger than the file
    bad.push_back(big);
    Bytes wide = good;
    LONG width = 100000;
    std::memcpy(&wide[22 + 4], &width, 4);  // an image wider than its bytes
    bad.push_back(wide);
    Bytes kind = good;
    kind[2] = 7;  // neither icons nor cursors
    bad.push_back(kind);
    const WinTestLiveCounts before = WinTestLiveCounts::Now();
    for (size_t i = 0; i < bad.size(); ++i) {
        std::string path = Write("bad.ico", bad[i]);
        EXPECT_EQ(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr) << i;
        unlink(path.c_str());
    }
    EXPECT_EQ(LoadImageA(nullptr, "/nonexistent/velmora.ico", IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, MAKEINTRESOURCEA(5), IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr);
    WinTestLiveCounts after = WinTestLiveCounts::Now();
    EXPECT_EQ(after, before) << after.ChangesFrom(before);
}

Bytes BitmapFile(int w, int h, COLORREF c, DWORD offset_delta = 0) {
    Bytes f;
    size_t stride = ((size_t(w) * 24 + 31) / 32) * 4;
    Put(f, WORD(0x4D42));
    Put(f, DWORD(14 + 40 + stride * h));
    Put(f, DWORD(0));
    Put(f, DWORD(14 + 40 + offset_delta));
    BITMAPINFOHEADER hd{};
    hd.biSize = 40;
    hd.biWidth = w;
    hd.biHeight = h;
    hd.biPlanes = 1;
    hd.biBitCount = 24;
    Put(f, hd);
    for (int y = 0; y < h; ++y) {
        Bytes row(stride, 0);
        for (int x = 0; x < w; ++x) {
            row[x * 3] = GetBValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetRValue(c);
        }
        f.insert(f.end(), row.begin(), row.end());
    }
    return f;
}

TEST(BitmapFiles, ABitmapFileLoadsAndOneWhoseBitsLieOutsideItDoesNot) {
    std::string path = Write("plain.bmp", BitmapFile(7, 5, RGB(10, 120, 230)));
    for (UINT flags : {UINT(LR_LOADFROMFILE), UINT(LR_LOADFROMFILE | LR_CREATEDIBSECTION)}) {
        HBITMAP bm = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, flags));
        ASSERT_TRUE(bm);
        BITMAP info{};
        GetObjectA(bm, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, 7);
        EXPECT_EQ(info.bmHeight, 5);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bm);
        EXPECT_EQ(GetPixel(dc, 6, 4), RGB(10, 120, 230));
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bm);
    }
    // The header says the bits start well inside the file's last row.
    std::string liar = Write("liar.bmp", BitmapFile(7, 5, RGB(1, 1, 1), 60));
    EXPECT_EQ(LoadImageA(nullptr, liar.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
    unlink(path.c_str());
    unlink(liar.c_str());
}

TEST(SharedIcons, AProgramIconLoadedAgainIsTheSameSharedIcon) {
    static Bytes image = IconImage(32, 32, 32, RGB(90, 20, 140));
    static Bytes group;
    group.clear();
    Put(group, WORD(0));
    Put(group, WORD(1));
    Put(group, WORD(1));
    Put(group, BYTE(32));
    Put(group, BYTE(32));
    Put(group, BYTE(0));
    Put(group, BYTE(0));
    Put(group, WORD(1));
    Put(group, WORD(32));
    Put(group, DWORD(image.size()));
    Put(group, WORD(77));
    static PLATRES_ENTRY table[2] = {
        {nullptr, 14, "BADGE", 0, nullptr, 0},
        {nullptr, 3, nullptr, 77, nullptr, 0},
    };
    table[0].data = group.data();
    table[0].size = DWORD(group.size());
    table[1].data = image.data();
    table[1].size = DWORD(image.size());
    PlatRegisterResources(table, 2);
    const WinTestLiveCounts before = WinTestLiveCounts::Now();
    HICON a = LoadIconA(nullptr, "Badge");
    ASSERT_TRUE(a);
    EXPECT_EQ(LoadIconA(nullptr, "BADGE"), a);
    HICON shared = static_cast<HICON>(LoadImageA(nullptr, "badge", IMAGE_ICON, 32, 32, LR_SHARED));
    EXPECT_EQ(shared, a);
    EXPECT_TRUE(DestroyIcon(a));
    EXPECT_EQ(Draw(a).At(3, 16), RGB(90, 20, 140)) << "destroying a shared icon keeps it";
    HICON own = static_cast<HICON>(LoadImageA(nullptr, "badge", IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(own, a) << "without LR_SHARED, a copy of its own";
    DestroyIcon(own);
    WinTestLiveCounts after = WinTestLiveCounts::Now();
    EXPECT_EQ(after, before) << "shared icons are not the program's leaks: " << after.ChangesFrom(before);
    PlatUnregisterResources(table);
}

}  // namespace
