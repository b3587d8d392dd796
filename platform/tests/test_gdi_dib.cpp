// Device-independent bitmaps: every format and orientation round trips through GetDIBits and
// SetDIBits, DIB-section bits are live in both directions, and the DIB-to-device functions
// place scan lines where the layout says.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gdi_test_support.h"

using gdit::Canvas32;

namespace {

// A BITMAPINFO with room for a full colour table or bit-field masks.
struct Info {
    BITMAPINFOHEADER h{};
    RGBQUAD colors[256]{};
    BITMAPINFO* bi() { return reinterpret_cast<BITMAPINFO*>(this); }
};

Info MakeInfo(int w, int h, int bpp, DWORD compression = BI_RGB) {
    Info in;
    in.h.biSize = sizeof(BITMAPINFOHEADER);
    in.h.biWidth = w;
    in.h.biHeight = h;
    in.h.biPlanes = 1;
    in.h.biBitCount = WORD(bpp);
    in.h.biCompression = compression;
    return in;
}

// Colours every format represents exactly (with these four in the colour table).
const COLORREF kColours[4] = {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 255, 0), RGB(255, 255, 255)};

void SetTable(Info& in, int bpp) {
    if (bpp > 8) return;
    for (int i = 0; i < 4 && i < (1 << bpp); ++i)
        in.colors[i] = RGBQUAD{GetBValue(kColours[i]), GetGValue(kColours[i]), GetRValue(kColours[i]), 0};
    if (bpp == 1) in.colors[1] = RGBQUAD{255, 255, 255, 0};
}

COLORREF Expected(int x, int y, int bpp) {
    int n = bpp == 1 ? 2 : 4;
    COLORREF c = kColours[(x + 2 * y) % n];
    if (bpp == 1 && c != RGB(0, 0, 0)) c = RGB(255, 255, 255);
    return c;
}

TEST(DibFormats, EveryDepthAndOrientationRoundTripsThroughDrawingAndDibCalls) {
    const int W = 5, H = 3;
    for (int bpp : {1, 4, 8, 16, 24, 32}) {
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << bpp << " bpp, " << (topDown ? "top-down" : "bottom-up"));
            Info in = MakeInfo(W, topDown ? -H : H, bpp);
            SetTable(in, bpp);
            void* bits = nullptr;
            HBITMAP dib = CreateDIBSection(nullptr, in.bi(), DIB_RGB_COLORS, &bits, nullptr, 0);
            ASSERT_NE(dib, nullptr);
            ASSERT_NE(bits, nullptr);
            HDC dc = CreateCompatibleDC(nullptr);
            HGDIOBJ old = SelectObject(dc, dib);
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) SetPixelV(dc, x, y, Expected(x, y, bpp));
            // Drawing went straight into the program's bits: the first stored row is the
            // bottom row for bottom-up layouts.
            int stride = ((W * bpp + 31) / 32) * 4;
            std::vector<BYTE> original(static_cast<BYTE*>(bits), static_cast<BYTE*>(bits) + stride * H);
            const BYTE* firstRow = static_cast<const BYTE*>(bits);
            int firstY = topDown ? 0 : H - 1;
            if (bpp == 24) {
                COLORREF c = Expected(0, firstY, bpp);
                EXPECT_EQ(firstRow[2], GetRValue(c));
                EXPECT_EQ(firstRow[1], GetGValue(c));
            }
            // Read back as 32 bits, top-down.
            Info out = MakeInfo(W, -H, 32);
            std::vector<uint32_t> px(W * H);
            HDC screen = CreateCompatibleDC(nullptr);
            ASSERT_EQ(GetDIBits(screen, dib, 0, H, px.data(), out.bi(), DIB_RGB_COLORS), H);
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    uint32_t v = px[y * W + x];
                    EXPECT_EQ(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF), Expected(x, y, bpp)) << x << "," << y;
                }
            // Clear the bits, then write the 32-bit copy back: the stored bytes come back.
            SelectObject(dc, old);
            std::memset(bits, 0, original.size());
            ASSERT_EQ(SetDIBits(screen, dib, 0, H, px.data(), out.bi(), DIB_RGB_COLORS), H);
            for (int y = 0; y < H; ++y) {
                int bytes = (W * bpp + 7) / 8;  // padding bytes are not pixels
                EXPECT_EQ(std::memcmp(static_cast<BYTE*>(bits) + y * stride, original.data() + y * stride, size_t(bytes)), 0)
                    << "row " << y;
            }
            DeleteDC(screen);
            DeleteDC(dc);
            DeleteObject(dib);
        }
    }
}

TEST(DibSections, BitsWrittenByTheProgramAreSeenByTheNextBlit) {
    Info in = MakeInfo(2, 2, 24);  // bottom-up
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, in.bi(), DIB_RGB_COLORS, &bits, nullptr, 0);
    BYTE* b = static_cast<BYTE*>(bits);
    // The first stored row is the bottom one; its first pixel is blue, stored B, G, R.
    b[0] = 255;
    b[1] = 0;
    b[2] = 0;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    Canvas32 dst(2, 2, RGB(9, 9, 9));
    BitBlt(dst.dc, 0, 0, 2, 2, dc, 0, 0, SRCCOPY);
    EXPECT_EQ(dst.At(0, 1), RGB(0, 0, 255));
    EXPECT_EQ(dst.At(0, 0), RGB(0, 0, 0));
    // And drawing through the DC changes them at once.
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all{0, 0, 2, 2};
    FillRect(dc, &all, red);
    EXPECT_EQ(b[2], 255);
    EXPECT_EQ(b[0], 0);
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(dib, sizeof(ds), &ds), int(sizeof(ds)));
    EXPECT_EQ(ds.dsBm.bmBits, bits);
    EXPECT_EQ(ds.dsBm.bmWidthBytes, 8) << "DIB rows are padded to 32 bits";
    EXPECT_EQ(ds.dsBmih.biBitCount, 24);
    SelectObject(dc, old);
    DeleteObject(red);
    DeleteDC(dc);
    DeleteObject(dib);
}

TEST(DibSections, InvalidHeadersAreRefused) {
    void* bits = reinterpret_cast<void*>(1);
    Info bad = MakeInfo(4, 4, 7);
    EXPECT_EQ(CreateDIBSection(nullptr, bad.bi(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    Info zero = MakeInfo(0, 4, 32);
    EXPECT_EQ(CreateDIBSection(nullptr, zero.bi(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    Info rle = MakeInfo(4, 4, 8, BI_RLE8);
    EXPECT_EQ(CreateDIBSection(nullptr, rle.bi(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    Info huge = MakeInfo(1 << 20, 1 << 20, 32);
    EXPECT_EQ(CreateDIBSection(nullptr, huge.bi(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(DibFormats, SixteenBitFieldsAndDescribingABitmap) {
    Info in = MakeInfo(2, -1, 16, BI_BITFIELDS);
    DWORD* masks = reinterpret_cast<DWORD*>(in.colors);
    masks[0] = 0xF800;
    masks[1] = 0x07E0;
    masks[2] = 0x001F;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, in.bi(), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    static_cast<WORD*>(bits)[0] = 0x07E0;  // pure green in 5-6-5
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 255, 0));
    SetPixelV(dc, 1, 0, RGB(255, 0, 0));
    EXPECT_EQ(static_cast<WORD*>(bits)[1], 0xF800);
    SelectObject(dc, old);

    // biBitCount 0 asks for the bitmap's own description.
    HBITMAP ddb = CreateCompatibleBitmap(dc, 7, 3);
    Info q{};
    q.h.biSize = sizeof(BITMAPINFOHEADER);
    EXPECT_NE(GetDIBits(dc, ddb, 0, 0, nullptr, q.bi(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(q.h.biWidth, 7);
    EXPECT_EQ(q.h.biHeight, 3);
    EXPECT_EQ(q.h.biBitCount, 32);
    EXPECT_EQ(q.h.biSizeImage, 7u * 4 * 3);
    // A 24-bit request pads rows and fills the size.
    q.h.biBitCount = 24;
    q.h.biCompression = BI_RGB;
    EXPECT_NE(GetDIBits(dc, ddb, 0, 3, nullptr, q.bi(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(q.h.biSizeImage, 24u * 3);
    DeleteObject(ddb);
    DeleteDC(dc);
    DeleteObject(dib);
}

TEST(DibToDevice, SetDIBitsToDeviceAndStretchDIBitsPlaceBottomUpScans) {
    // A bottom-up 2x4 image whose rows (top to bottom) are red, green, blue, white.
    const COLORREF rows[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
    Info in = MakeInfo(2, 4, 32);
    std::vector<uint32_t> bits(8);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x) bits[size_t((3 - y) * 2 + x)] = Canvas32::Px(rows[y]);
    Canvas32 dst(2, 4, RGB(0, 0, 0));
    EXPECT_EQ(SetDIBitsToDevice(dst.dc, 0, 0, 2, 4, 0, 0, 0, 4, bits.data(), in.bi(), DIB_RGB_COLORS), 4);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(dst.At(1, y), rows[y]) << y;
    // ySrc counts from the bottom: the two lowest rows.
    dst.Fill(RGB(0, 0, 0));
    SetDIBitsToDevice(dst.dc, 0, 0, 2, 2, 0, 0, 0, 4, bits.data(), in.bi(), DIB_RGB_COLORS);
    EXPECT_EQ(dst.At(0, 0), rows[2]);
    EXPECT_EQ(dst.At(0, 1), rows[3]);
    EXPECT_EQ(dst.At(0, 2), RGB(0, 0, 0));
    // Banding: only scans 2..3 (from the bottom: the green and red rows) are supplied.
    dst.Fill(RGB(0, 0, 0));
    SetDIBitsToDevice(dst.dc, 0, 0, 2, 4, 0, 0, 2, 2, bits.data() + 4, in.bi(), DIB_RGB_COLORS);
    EXPECT_EQ(dst.At(0, 0), rows[0]);
    EXPECT_EQ(dst.At(0, 1), rows[1]);
    EXPECT_EQ(dst.At(0, 2), RGB(0, 0, 0));
    // The DC's clip applies.
    dst.Fill(RGB(0, 0, 0));
    IntersectClipRect(dst.dc, 0, 0, 1, 4);
    SetDIBitsToDevice(dst.dc, 0, 0, 2, 4, 0, 0, 0, 4, bits.data(), in.bi(), DIB_RGB_COLORS);
    EXPECT_EQ(dst.At(0, 0), rows[0]);
    EXPECT_EQ(dst.At(1, 0), RGB(0, 0, 0));
    SelectClipRgn(dst.dc, nullptr);

    Canvas32 big(4, 8, RGB(0, 0, 0));
    SetStretchBltMode(big.dc, COLORONCOLOR);
    EXPECT_EQ(StretchDIBits(big.dc, 0, 0, 4, 8, 0, 0, 2, 4, bits.data(), in.bi(), DIB_RGB_COLORS, SRCCOPY), 4);
    EXPECT_EQ(big.At(3, 0), rows[0]);
    EXPECT_EQ(big.At(0, 3), rows[1]);
    EXPECT_EQ(big.At(2, 7), rows[3]);
    // A source rectangle of the bottom half, measured from the bottom.
    StretchDIBits(big.dc, 0, 0, 4, 8, 0, 0, 2, 2, bits.data(), in.bi(), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(big.At(0, 0), rows[2]);
    EXPECT_EQ(big.At(0, 7), rows[3]);
}

TEST(DibFormats, CreateDIBitmapInitialisesAScreenDepthBitmap) {
    Info in = MakeInfo(1, 2, 24);
    BYTE bits[8] = {0, 0, 255, 0, 255, 0, 0, 0};  // bottom row red, top row blue
    HBITMAP b = CreateDIBitmap(nullptr, &in.h, CBM_INIT, bits, in.bi(), DIB_RGB_COLORS);
    ASSERT_NE(b, nullptr);
    BITMAP bm{};
    GetObjectA(b, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(bm.bmBits, nullptr) << "a device bitmap, not a DIB section";
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, b);
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 255));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(b);
}

}  // namespace
