// The run-time resource table over resources compiled from sample.res.txt at build time.
#include <gtest/gtest.h>

#include <cstring>

#include "platres.h"
#include "res/resources.h"

using namespace plat::res;

namespace {

TEST(ResourceTable, CompiledResourcesAreRegisteredBeforeMain) {
    EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(102), RT_DIALOG), nullptr);
    EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(138), RT_MENU), nullptr);
    EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(131), RT_BITMAP), nullptr);
    EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(128), RT_GROUP_ICON), nullptr);
}

TEST(ResourceTable, FindsByIdStringNameAndHashNumber) {
    HRSRC by_name = FindResourceA(nullptr, "aboutbox", RT_DIALOG);  // names ignore case
    EXPECT_NE(by_name, nullptr);
    EXPECT_EQ(FindResourceA(nullptr, "#102", RT_DIALOG), FindResourceA(nullptr, MAKEINTRESOURCEA(102), RT_DIALOG));
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(103), RT_DIALOG), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(102), RT_MENU), nullptr);  // wrong type
    EXPECT_EQ(FindResourceA(nullptr, "#12x", RT_DIALOG), nullptr);
}

TEST(ResourceTable, LoadLockAndSizeGiveTheCompiledBytes) {
    HRSRC r = FindResourceA(nullptr, MAKEINTRESOURCEA(131), RT_BITMAP);
    ASSERT_NE(r, nullptr);
    HGLOBAL g = LoadResource(nullptr, r);
    const BYTE* p = static_cast<const BYTE*>(LockResource(g));
    ASSERT_NE(p, nullptr);
    DWORD size = SizeofResource(nullptr, r);
    // 40-byte header, then 16 rows of 48 * 3 bytes.
    EXPECT_EQ(size, 40u + 16u * 144u);
    int32_t w, h;
    uint16_t bits;
    std::memcpy(&w, p + 4, 4);
    std::memcpy(&h, p + 8, 4);
    std::memcpy(&bits, p + 14, 2);
    EXPECT_EQ(w, 48);
    EXPECT_EQ(h, 16);  // positive: bottom-up
    EXPECT_EQ(bits, 24);
    auto pixel = [&](int x, int y) {  // as 0xRRGGBB, y from the top
        const BYTE* q = p + 40 + (15 - y) * 144 + x * 3;
        return uint32_t(q[2]) << 16 | uint32_t(q[1]) << 8 | q[0];
    };
    EXPECT_EQ(pixel(0, 0), 0xFF00FFu);    // the mask colour fills the background
    EXPECT_EQ(pixel(17, 1), 0x000000u);   // frame corner
    EXPECT_EQ(pixel(30, 14), 0x000000u);  // opposite frame corner
    EXPECT_EQ(pixel(31, 15), 0xFF00FFu);  // just outside the frame
    EXPECT_EQ(pixel(18, 2), 0xFFFFFFu);   // inside the box
    EXPECT_EQ(pixel(21, 9), 0x000000u);   // on the diagonal line
    // A stale or foreign handle is refused.
    EXPECT_EQ(SizeofResource(nullptr, reinterpret_cast<HRSRC>(uintptr_t(0x1234))), 0u);
    EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
}

TEST(ResourceTable, AClipIsFoundUnderTheStringTypeAviWithItsFileBytes) {
    HRSRC r = FindResourceA(nullptr, "clip", "AVI");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(FindResourceA(nullptr, "clip", "avi"), r);  // types ignore case like names
    EXPECT_EQ(FindResourceA(nullptr, "clip", RT_RCDATA), nullptr);
    const BYTE* p = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, r)));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::memcmp(p, "RIFF", 4), 0);
    EXPECT_EQ(std::memcmp(p + 8, "AVI ", 4), 0);
    DWORD riff = DWORD(p[4]) | DWORD(p[5]) << 8 | DWORD(p[6]) << 16 | DWORD(p[7]) << 24;
    EXPECT_EQ(SizeofResource(nullptr, r), riff + 8);
}

TEST(ResourceStrings, LoadStringCopiesUtf8AndTruncatesOnCharacterBoundaries) {
    char buf[64];
    EXPECT_EQ(LoadStringA(nullptr, 115, buf, sizeof buf), 15);
    EXPECT_STREQ(buf, "Did you know...");
    EXPECT_GT(LoadStringA(nullptr, 101, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "关于 Tamberlyn(&A)...");
    // Blanks, tabs and line ends are kept exactly.
    LoadStringA(nullptr, 116, buf, sizeof buf);
    EXPECT_STREQ(buf, "  two leading blanks, a tab\tand a line\nend  ");
    // "关" is three bytes: a 3-byte buffer holds only two, so nothing of it is copied.
    EXPECT_EQ(LoadStringA(nullptr, 101, buf, 3), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(LoadStringA(nullptr, 101, buf, 4), 3);
    EXPECT_STREQ(buf, "关");
    EXPECT_EQ(LoadStringA(nullptr, 115, buf, 4), 3);
    EXPECT_STREQ(buf, "Did");
}

TEST(ResourceStrings, MissingAndEmptyStringsLoadAsNothing) {
    char buf[16] = "junk";
    EXPECT_EQ(LoadStringA(nullptr, 117, buf, sizeof buf), 0);  // same block as 115, not defined
    EXPECT_STREQ(buf, "");
    strcpy(buf, "junk");
    EXPECT_EQ(LoadStringA(nullptr, 200, buf, sizeof buf), 0);  // defined empty
    EXPECT_EQ(LoadStringA(nullptr, 5000, buf, sizeof buf), 0);  // no such block
    EXPECT_EQ(LoadStringA(nullptr, 115, nullptr, 10), 0);
    EXPECT_EQ(LoadStringA(nullptr, 115, buf, 0), 0);
}

TEST(ResourceTemplates, MenuTemplateHasPopupsSeparatorsFlagsAndEndMarks) {
    const Resource* r = Find(RT_MENU, MAKEINTRESOURCEA(138));
    ASSERT_NE(r, nullptr);
    std::vector<MenuItem> items;
    ASSERT_TRUE(ParseMenuTemplate(r->data, r->size, &items));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].text, "Popup");
    EXPECT_EQ(items[0].flags, 0x10 | 0x80);  // MF_POPUP | MF_END
    const auto& sub = items[0].children;
    ASSERT_EQ(sub.size(), 5u);
    EXPECT_EQ(sub[0].text, "Add");
    EXPECT_EQ(sub[0].id, 32771);
    EXPECT_TRUE(sub[1].IsSeparator());
    EXPECT_EQ(sub[2].flags, 0x1);  // MF_GRAYED
    EXPECT_EQ(sub[3].text, "More");
    ASSERT_EQ(sub[3].children.size(), 1u);
    EXPECT_EQ(sub[3].children[0].flags, 0x8 | 0x80);  // MF_CHECKED | MF_END
    EXPECT_EQ(sub[3].children[0].id, 40000);
    EXPECT_EQ(sub[4].id, 32775);
    EXPECT_EQ(sub[4].flags, 0x80);
    // A truncated template is refused rather than read past its end.
    for (size_t n = 0; n < r->size; ++n) EXPECT_FALSE(ParseMenuTemplate(r->data, n, &items)) << n;
}

TEST(ResourceTemplates, DialogTemplateCarriesStylesFontAndControls) {
    const Resource* r = Find(RT_DIALOG, MAKEINTRESOURCEA(102));
    ASSERT_NE(r, nullptr);
    DialogTemplate t;
    ASSERT_TRUE(ParseDialogTemplate(r->data, r->size, &t));
    EXPECT_FALSE(t.extended);
    EXPECT_EQ(t.style, 0x80000000u | 0x00C00000u | 0x00080000u | 0x80u | 0x800u | 0x40u);
    EXPECT_EQ(t.ex_style, 0x40000u);
    EXPECT_EQ(t.cx, 300);
    EXPECT_EQ(t.cy, 200);
    EXPECT_EQ(t.title, "Velmora Corvane");
    EXPECT_EQ(t.point_size, 8);
    EXPECT_EQ(t.font, "MS Sans Serif");
    ASSERT_EQ(t.items.size(), 6u);
    const DialogItem& list = t.items[0];
    EXPECT_EQ(list.class_name, "SysListView32");
    EXPECT_EQ(list.id, 1002u);
    EXPECT_EQ(list.style, 0x40000000u | 0x10000000u | 0x1u | 0x8u | 0x00800000u | 0x10000u);
    EXPECT_EQ(list.x, 7);
    EXPECT_EQ(list.cx, 280);
    const DialogItem& ok = t.items[1];
    EXPECT_EQ(ok.class_name, "Button");
    EXPECT_EQ(ok.id, 1u);
    EXPECT_EQ(ok.style & 0xF, 1u);  // BS_DEFPUSHBUTTON
    EXPECT_TRUE(ok.style & 0x10000);
    EXPECT_EQ(t.items[2].class_name, "Static");
    EXPECT_EQ(t.items[2].id, 0xFFFFu);  // IDC_STATIC
    EXPECT_EQ(t.items[3].class_name, "Edit");
    EXPECT_TRUE(t.items[3].style & 0x80);       // ES_AUTOHSCROLL added to the defaults
    EXPECT_TRUE(t.items[3].style & 0x800000);   // WS_BORDER by default
    EXPECT_EQ(t.items[4].style & 0xF, 3u);      // BS_AUTOCHECKBOX
    EXPECT_FALSE(t.items[4].style & 0x10000);   // NOT WS_TABSTOP removed the default
    EXPECT_EQ(t.items[4].text, "Shutdown PC when finished.");
    EXPECT_EQ(t.items[5].title_id, 128);  // ICON: the title is the icon's ordinal
    EXPECT_EQ(t.items[5].style & 0x1F, 3u);   // SS_ICON
    for (size_t n = 0; n + 1 < r->size; ++n) {
        DialogTemplate u;
        if (ParseDialogTemplate(r->data, n, &u)) ADD_FAILURE() << "truncated to " << n << " parsed";
    }
    // Without FONT the template has no DS_SETFONT and no font fields.
    const Resource* about = Find(RT_DIALOG, "ABOUTBOX");
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(ParseDialogTemplate(about->data, about->size, &t));
    EXPECT_FALSE(t.style & 0x40);
    EXPECT_EQ(t.font, "");
    ASSERT_EQ(t.items.size(), 1u);
    EXPECT_EQ(t.items[0].text, "Close");
}

TEST(ResourceTemplates, ExtendedDialogTemplatesAreReadToo) {
    // DLGTEMPLATEEX with one item, built by hand.
    std::vector<BYTE> v;
    auto w = [&](uint16_t x) { v.push_back(BYTE(x)); v.push_back(BYTE(x >> 8)); };
    auto d = [&](uint32_t x) { w(uint16_t(x)); w(uint16_t(x >> 16)); };
    auto s = [&](const char* t) { while (*t) w(uint16_t(*t++)); w(0); };
    w(1); w(0xFFFF); d(7); d(0x10); d(0x80C80048);  // help id, ex style, style with DS_SHELLFONT
    w(1); w(1); w(2); w(100); w(50);
    w(0); w(0); s("Ex");
    w(9); w(700); v.push_back(1); v.push_back(0); s("Face");
    while (v.size() % 4) v.push_back(0);
    d(3); d(0); d(0x50010000); w(5); w(6); w(40); w(14); d(70000);
    w(0xFFFF); w(0x80); s("Go"); w(0);
    DialogTemplate t;
    ASSERT_TRUE(ParseDialogTemplate(v.data(), v.size(), &t));
    EXPECT_TRUE(t.extended);
    EXPECT_EQ(t.help_id, 7u);
    EXPECT_EQ(t.title, "Ex");
    EXPECT_EQ(t.weight, 700);
    EXPECT_EQ(t.italic, 1);
    EXPECT_EQ(t.font, "Face");
    ASSERT_EQ(t.items.size(), 1u);
    EXPECT_EQ(t.items[0].id, 70000u);  // 32-bit ids in the extended layout
    EXPECT_EQ(t.items[0].help_id, 3u);
    EXPECT_EQ(t.items[0].class_name, "Button");
}

TEST(ResourceIcons, GroupPicksTheFittingImageWithMaskAndAlpha) {
    const Resource* big = BestIconImage(MAKEINTRESOURCEA(128), false, 32, 32);
    const Resource* small = BestIconImage(MAKEINTRESOURCEA(128), false, 16, 16);
    const Resource* odd = BestIconImage(MAKEINTRESOURCEA(128), false, 20, 20);   // nearest larger
    const Resource* largest = BestIconImage(MAKEINTRESOURCEA(128), false, 0, 0);
    ASSERT_TRUE(big && small && odd && largest);
    EXPECT_NE(big, small);
    EXPECT_EQ(odd, big);
    EXPECT_EQ(largest, big);
    EXPECT_EQ(BestIconImage(MAKEINTRESOURCEA(999), false, 32, 32), nullptr);
    int32_t w, h;
    std::memcpy(&w, small->data + 4, 4);
    std::memcpy(&h, small->data + 8, 4);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 32);  // colour plus mask
    // 16 rows of 16 BGRA pixels, then 16 mask rows of 4 bytes.
    ASSERT_EQ(small->size, 40u + 16 * 64 + 16 * 4);
    const BYTE* bits = small->data + 40;
    const BYTE* mask = bits + 16 * 64;
    auto argb = [&](int x, int y) { uint32_t v; std::memcpy(&v, bits + (15 - y) * 64 + x * 4, 4); return v; };
    auto masked = [&](int x, int y) { return (mask[(15 - y) * 4 + x / 8] >> (7 - x % 8)) & 1; };
    EXPECT_EQ(argb(0, 0), 0u);  // corner outside the circle: transparent, black under the mask
    EXPECT_EQ(masked(0, 0), 1);
    EXPECT_EQ(argb(8, 8), 0xFFFFFFFFu);  // the centre box, scaled from 12..20 to 6..10
    EXPECT_EQ(masked(8, 8), 0);
    EXPECT_EQ(argb(8, 2), 0xFF2060C0u);
}

TEST(ResourceTable, RegistrationIsIdempotentFirstTableWinsAndUnregisterRemoves) {
    static const BYTE a[] = {1}, b[] = {2};
    static const PLATRES_ENTRY ta[] = {{"MYTYPE", 0, "X", 0, a, 1}};
    static const PLATRES_ENTRY tb[] = {{"mytype", 0, "x", 0, b, 1}};
    PlatRegisterResources(ta, 1);
    PlatRegisterResources(ta, 1);
    PlatRegisterResources(tb, 1);
    HRSRC h = FindResourceA(nullptr, "x", "MyType");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(*static_cast<BYTE*>(LockResource(LoadResource(nullptr, h))), 1);
    PlatUnregisterResources(ta);
    EXPECT_EQ(SizeofResource(nullptr, h), 0u);  // the old handle is dead
    HRSRC h2 = FindResourceA(nullptr, "X", "MYTYPE");
    ASSERT_NE(h2, nullptr);
    EXPECT_EQ(*static_cast<BYTE*>(LockResource(LoadResource(nullptr, h2))), 2);
    PlatUnregisterResources(tb);
    EXPECT_EQ(FindResourceA(nullptr, "X", "MYTYPE"), nullptr);
}

}  // namespace

// ---- objects built from resources ---------------------------------------------------------
#include "windows.h"

namespace {

std::string MenuText(HMENU m, UINT pos) {
    char buf[64] = {0};
    GetMenuStringA(m, pos, buf, sizeof buf, MF_BYPOSITION);
    return buf;
}

TEST(ResourceObjects, LoadMenuBuildsPopupsItemsSeparatorsAndStates) {
    HMENU bar = LoadMenuA(nullptr, MAKEINTRESOURCEA(138));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetMenuItemCount(bar), 1);
    HMENU popup = GetSubMenu(bar, 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 5);
    EXPECT_EQ(MenuText(popup, 0), "Add");
    EXPECT_EQ(GetMenuItemID(popup, 0), 32771u);
    EXPECT_TRUE(GetMenuState(popup, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_TRUE(GetMenuState(popup, 32773, MF_BYCOMMAND) & MF_GRAYED);
    HMENU more = GetSubMenu(popup, 3);
    ASSERT_NE(more, nullptr);
    EXPECT_TRUE(GetMenuState(more, 40000, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(GetMenuItemID(popup, 4), 32775u);
    DestroyMenu(bar);
    EXPECT_EQ(LoadMenuA(nullptr, MAKEINTRESOURCEA(139)), nullptr);
}

TEST(ResourceObjects, LoadBitmapKeepsSizeAndPixels) {
    HBITMAP bm = LoadBitmapA(nullptr, MAKEINTRESOURCEA(131));
    ASSERT_NE(bm, nullptr);
    BITMAP info{};
    ASSERT_TRUE(GetObjectA(bm, sizeof info, &info));
    EXPECT_EQ(info.bmWidth, 48);
    EXPECT_EQ(info.bmHeight, 16);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bm);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 255));  // top row stays on top
    EXPECT_EQ(GetPixel(dc, 17, 1), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 18, 2), RGB(255, 255, 255));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bm);
    EXPECT_EQ(LoadBitmapA(nullptr, MAKEINTRESOURCEA(999)), nullptr);
}

TEST(ResourceObjects, IconsHaveTheirSizeAndAHotSpotInTheMiddle) {
    HICON big = LoadIconA(nullptr, MAKEINTRESOURCEA(128));
    ASSERT_NE(big, nullptr);
    ICONINFO ii{};
    ASSERT_TRUE(GetIconInfo(big, &ii));
    EXPECT_TRUE(ii.fIcon);
    EXPECT_EQ(ii.xHotspot, 16u);  // callers read the size as twice the hot spot
    EXPECT_EQ(ii.yHotspot, 16u);
    if (ii.hbmColor) DeleteObject(ii.hbmColor);
    if (ii.hbmMask) DeleteObject(ii.hbmMask);
    HICON small = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128), IMAGE_ICON, 16, 16, 0));
    ASSERT_NE(small, nullptr);
    ASSERT_TRUE(GetIconInfo(small, &ii));
    EXPECT_EQ(ii.xHotspot, 8u);
    BITMAP bm{};
    GetObjectA(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 16);
    if (ii.hbmColor) DeleteObject(ii.hbmColor);
    if (ii.hbmMask) DeleteObject(ii.hbmMask);
    DestroyIcon(small);
    DestroyIcon(big);
    // Stock icons are shared.
    HICON stock = LoadIconA(nullptr, IDI_EXCLAMATION);
    EXPECT_NE(stock, nullptr);
    EXPECT_EQ(LoadIconA(nullptr, IDI_EXCLAMATION), stock);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(5)), nullptr);
}

TEST(ResourceObjects, BitmapFilesLoadThroughLoadImage) {
    // A 2x2 24-bit file: bottom row blue, top row red.
    std::vector<BYTE> f = {'B', 'M'};
    auto d = [&](uint32_t v) { for (int i = 0; i < 4; ++i) f.push_back(BYTE(v >> (8 * i))); };
    auto w = [&](uint16_t v) { f.push_back(BYTE(v)); f.push_back(BYTE(v >> 8)); };
    d(14 + 40 + 16); d(0); d(14 + 40);
    d(40); d(2); d(2); w(1); w(24); d(0); d(16); d(0); d(0); d(0); d(0);
    BYTE rows[16] = {255, 0, 0, 255, 0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0};
    f.insert(f.end(), rows, rows + 16);
    std::string path = testing::TempDir() + "res_test.bmp";
    FILE* out = fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    fwrite(f.data(), 1, f.size(), out);
    fclose(out);
    HBITMAP bm = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    ASSERT_NE(bm, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bm);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0, 0, 255));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bm);
    // A truncated file is refused.
    out = fopen(path.c_str(), "wb");
    fwrite(f.data(), 1, 40, out);
    fclose(out);
    EXPECT_EQ(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
    remove(path.c_str());
}

}  // namespace
