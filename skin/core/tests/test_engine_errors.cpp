// The last-error codes of the public functions, each provoked, per thread; and the answers of
// the functions over skin objects, data items, image lists, bitmaps and system colours.
#include <climits>
#include <cstdio>
#include <cstring>

#include <platres.h>

#include "SkinDraw.h"
#include "SkinManager.h"
#include "test_engine_support.h"

using namespace enginetest;

namespace {

class Errors : public EngineFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitSkinLibrary(Instance()));
        skinPath = WriteTestSkin("errors.qvk");
    }
    std::string skinPath;
};

TEST_F(Errors, EachBrokenSkinFileHasItsCodeAndKeepsTheAppliedSkin) {
    ASSERT_TRUE(LoadSkinFile(skinPath.c_str()));
    EXPECT_EQ(GetSkinLastError(), 0);
    ASSERT_TRUE(FindSkinElement("Icons"));

    EXPECT_FALSE(LoadSkinFile(TempPath("no-such-skin.qvk").c_str()));
    EXPECT_EQ(GetSkinLastError(), 4);
    EXPECT_FALSE(LoadSkinFile(nullptr));
    EXPECT_EQ(GetSkinLastError(), 4);

    // A length word that promises more than the packed data gives.
    std::vector<BYTE> lying;
    skintest::PutU32(lying, 5000);
    for (int i = 0; i < 64; ++i) lying.push_back(BYTE(i * 37));
    EXPECT_FALSE(LoadSkinFile(WriteBytes("corrupt.qvk", lying).c_str()));
    EXPECT_EQ(GetSkinLastError(), 5);

    EXPECT_FALSE(LoadSkinFile(WriteBytes("short.qvk", skintest::Pack(std::vector<BYTE>(120, 'q'))).c_str()));
    EXPECT_EQ(GetSkinLastError(), 6);

    std::vector<BYTE> header = skintest::Header(1, 18, 0);
    header[0] = 'X';
    skintest::PutU32(header, 0);
    skintest::PutU32(header, 0);
    EXPECT_FALSE(LoadSkinFile(WriteBytes("magic.qvk", skintest::Pack(header)).c_str()));
    EXPECT_EQ(GetSkinLastError(), 7);

    // None of the failures took the applied skin away.
    EXPECT_TRUE(FindSkinElement("Icons"));
    ASSERT_TRUE(LoadSkinFile(skinPath.c_str()));
    EXPECT_EQ(GetSkinLastError(), 0);
}

TEST_F(Errors, ResourcesThatAreMissingGive16) {
    EXPECT_FALSE(LoadSkinFromResource(Instance(), "NO_SUCH_SKIN", "QVK"));
    EXPECT_EQ(GetSkinLastError(), 16);
}

TEST_F(Errors, LastErrorsArePrivateToEachThread) {
    EXPECT_FALSE(LoadSkinFile(TempPath("missing.qvk").c_str()));
    ASSERT_EQ(GetSkinLastError(), 4);
    OnThread([] {
        EXPECT_EQ(GetSkinLastError(), 0);  // never failed here
        EXPECT_FALSE(FindSkinElement("Nothing"));
        EXPECT_EQ(GetSkinLastError(), 8);
        // Success leaves the code as it was; the engine counts as started on every thread.
        EXPECT_TRUE(SetDialogSkin("Dialog"));
        EXPECT_EQ(GetSkinLastError(), 8);
    });
    EXPECT_EQ(GetSkinLastError(), 4);
    // A successful start-up clears the thread's code.
    EXPECT_TRUE(InitSkinLibrary(Instance()));
    EXPECT_EQ(GetSkinLastError(), 0);
}

TEST_F(Errors, UnknownWindowsObjectsAndTypes) {
    ASSERT_TRUE(LoadSkinFile(skinPath.c_str()));
    HWND plain = MakeWindow();
    RECT margins;
    struct Case {
        const char* name;
        std::function<bool()> fails;
        int code;
    } cases[] = {
        {"GetSkinWindowMenu", [&] { return GetSkinWindowMenu(plain) == nullptr; }, 8},
        {"SetSkinWindowMenu", [&] { return !SetSkinWindowMenu(plain, nullptr); }, 8},
        {"SetWindowSkinName", [&] { return !SetWindowSkinName(plain, "x"); }, 8},
        {"SetWindowMenuParams", [&] { return !SetWindowMenuParams(plain, 1, 2, 3, 4, 5); }, 8},
        {"GetType45WindowMargins", [&] { return !GetType45WindowMargins(plain, &margins); }, 8},
        {"SkinControlWindow", [&] { return !SkinControlWindow(plain, "NoSuchObject", nullptr); }, 8},
        {"EnableSkinCaptionButton", [&] { return !EnableSkinCaptionButton(plain, "Close", TRUE); }, 8},
        {"GetSkinCaptionText", [&] { char b[8]; return GetSkinCaptionText(plain, "Title", b, 8) == 0; }, 8},
        {"FindSkinElement", [] { return FindSkinElement("NoSuchObject") == nullptr; }, 8},
        {"GetSkinImageBitmap missing", [] { return GetSkinImageBitmap("NoSuchObject") == nullptr; }, 8},
        {"CreateSkinImageList missing", [] { return CreateSkinImageList("NoSuchObject") == nullptr; }, 8},
        {"CreateSkinImageList without picture", [] { return CreateSkinImageList("LostIcons") == nullptr; }, 8},
        {"GetSkinImageBitmap of a frame", [] { return GetSkinImageBitmap("Frame") == nullptr; }, 9},
        {"CreateSkinImageList of a frame", [] { return CreateSkinImageList("Frame") == nullptr; }, 9},
        {"CreateSkinImageList cell too wide", [] { return CreateSkinImageList("HugeIcons") == nullptr; }, 10},
        {"SkinNotSupportedA", [] { return !SkinNotSupportedA(1, 2, 3, 4); }, 12},
        {"SkinNotSupportedB", [] { return !SkinNotSupportedB(0, 0, 0, 0); }, 12},
        {"TrackSkinPopupMenuEx unknown object",
         [&] { return TrackSkinPopupMenuEx(nullptr, "NoSuchMenu", 0, 0, 0, plain, 0, 0, 0, 0, 0) == 0; }, 8},
        // Subsystems not plugged in say so instead of pretending.
        {"TrackSkinPopupMenu", [&] { return TrackSkinPopupMenu(CreatePopupMenu(), 0, 0, 0, plain) == 0; }, 12},
        {"SetWindowScrollBarSkin", [&] { return !SetWindowScrollBarSkin(plain, 3); }, 14},
    };
    for (auto& c : cases) {
        SkinEngine::SetThreadError(0);
        EXPECT_TRUE(c.fails()) << c.name;
        EXPECT_EQ(GetSkinLastError(), c.code) << c.name;
    }
    // A null first argument is simply no answer.
    SkinEngine::SetThreadError(3);
    EXPECT_FALSE(SkinNotSupportedA(0, 1, 2, 3));
    EXPECT_EQ(GetSkinLastError(), 3);
    // Names of a missing button are no error code either.
    SkinEngine::SetThreadError(0);
    EXPECT_FALSE(SetSkinCaptionButtonName(plain, "Close", "Shut"));
    EXPECT_EQ(GetSkinLastError(), 0);
    EXPECT_FALSE(SkinEngine::HasSkinnedScrollBars(plain));
    DestroyWindow(plain);
}

TEST_F(Errors, DialogSkinNameIsCutTo50Characters) {
    const std::string sixty(60, 'n');
    ASSERT_TRUE(SetDialogSkin(sixty.c_str()));
    EXPECT_EQ(SkinEngine::GetDialogSkinName(), std::string(50, 'n'));
    ASSERT_TRUE(SetDialogSkin("Dialog"));
    EXPECT_EQ(SkinEngine::GetDialogSkinName(), "Dialog");
    ASSERT_TRUE(ClearDialogSkin());
    EXPECT_EQ(SkinEngine::GetDialogSkinName(), "");
}

struct NoticeLog {
    static std::vector<UINT> seen;
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == 0x0BD0 || m == WM_APP + 7) seen.push_back(m);
        return DefWindowProcA(h, m, w, l);
    }
};
std::vector<UINT> NoticeLog::seen;

TEST_F(Errors, SkinChangeNoticesGoOutAtOnceAndAfterEachLoad) {
    HWND a = MakeWindow(WS_OVERLAPPEDWINDOW, &NoticeLog::Proc);
    HWND b = MakeWindow(WS_OVERLAPPEDWINDOW, &NoticeLog::Proc);
    NoticeLog::seen.clear();
    ASSERT_TRUE(SetSkinChangeNotify(a, 0));
    EXPECT_EQ(NoticeLog::seen, std::vector<UINT>{0x0BD0});
    ASSERT_TRUE(SetSkinChangeNotify(b, WM_APP + 7));
    ASSERT_TRUE(SetSkinChangeNotify(b, WM_APP + 7));  // replaces, does not add
    EXPECT_EQ(SkinEngine::GetSkinChangeNotices().size(), 2u);

    NoticeLog::seen.clear();
    ASSERT_TRUE(LoadSkinFile(skinPath.c_str()));
    EXPECT_EQ(NoticeLog::seen.size(), 2u);

    ASSERT_TRUE(RemoveSkinChangeNotify(a));
    ASSERT_TRUE(RemoveSkinChangeNotify(a));  // absent: still fine
    NoticeLog::seen.clear();
    ASSERT_TRUE(LoadSkinFile(skinPath.c_str()));
    EXPECT_EQ(NoticeLog::seen, std::vector<UINT>{WM_APP + 7});
    DestroyWindow(a);
    DestroyWindow(b);
}

TEST_F(Errors, AcceleratorCopiesAreReplacedAndDroppedAtTheLastShutDown) {
    HWND hwnd = MakeWindow();
    ACCEL first[] = {{FVIRTKEY, 'S', 101}, {FVIRTKEY, 'O', 102}};
    HACCEL table = CreateAcceleratorTableA(first, 2);
    ASSERT_TRUE(SetWindowAccelerators(hwnd, table));
    ACCEL found{};
    EXPECT_TRUE(SkinEngine::FindWindowAccelerator(hwnd, 'O', &found));
    EXPECT_EQ(found.cmd, 102);
    EXPECT_FALSE(SkinEngine::FindWindowAccelerator(hwnd, 'X', &found));
    // The copy outlives the table it was made from.
    DestroyAcceleratorTable(table);
    EXPECT_TRUE(SkinEngine::FindWindowAccelerator(hwnd, 'S', &found));

    ACCEL second[] = {{FVIRTKEY, 'X', 201}};
    table = CreateAcceleratorTableA(second, 1);
    ASSERT_TRUE(SetWindowAccelerators(hwnd, table));
    DestroyAcceleratorTable(table);
    EXPECT_FALSE(SkinEngine::FindWindowAccelerator(hwnd, 'S', &found));
    EXPECT_TRUE(SkinEngine::FindWindowAccelerator(hwnd, 'X', &found));

    ExitSkinLibrary();
    EXPECT_FALSE(SkinEngine::HasWindowAccelerators(hwnd));
    DestroyWindow(hwnd);
}

TEST_F(Errors, DataItemsAnswerOnlyWithWholeRecordsOfTheirKind) {
    ASSERT_TRUE(LoadSkinFile(skinPath.c_str()));
    HSKINELEMENT items = FindSkinElement("Items");
    ASSERT_TRUE(items);

    LOGFONTA lf{};
    COLORREF color = 0;
    ASSERT_TRUE(GetSkinElementFont(items, "TitleFont", &lf, &color));
    EXPECT_STREQ(lf.lfFaceName, "DejaVu Sans");
    EXPECT_EQ(color, RGB(1, 2, 3));

    char block[32] = {};
    DWORD capacity = sizeof block;
    ASSERT_TRUE(GetSkinElementData(items, "Block", block, &capacity));
    EXPECT_EQ(memcmp(block, "twelve bytes", 12), 0);
    capacity = 4;
    EXPECT_FALSE(GetSkinElementData(items, "Block", block, &capacity));
    EXPECT_EQ(capacity, 12u);  // the size it needs
    capacity = 32;
    EXPECT_FALSE(GetSkinElementData(items, "Value2", block, &capacity));  // another kind
    EXPECT_FALSE(GetSkinElementData(nullptr, "Block", block, &capacity));

    DWORD v = 0;
    EXPECT_TRUE(GetSkinElementKind2Value(items, "Value2", &v));
    EXPECT_EQ(v, 1002u);
    EXPECT_TRUE(GetSkinElementKind5Value(items, "Value5", &v));
    EXPECT_EQ(v, 1005u);
    EXPECT_TRUE(GetSkinElementKind6Value(items, "Value6", &v));
    EXPECT_EQ(v, 1006u);
    EXPECT_TRUE(GetSkinElementKind7Value(items, "Value7", &v));
    EXPECT_EQ(v, 1007u);
    v = 0;
    EXPECT_TRUE(GetSkinElementValue(items, "Value7", &v));
    EXPECT_EQ(v, 1007u);
    EXPECT_FALSE(GetSkinElementKind2Value(items, "Value5", &v));  // kind must agree
    // An empty or short item is no value: the caller's variable stays as it was.
    v = 55;
    EXPECT_FALSE(GetSkinElementKind2Value(items, "Empty", &v));
    EXPECT_FALSE(GetSkinElementKind2Value(items, "Short", &v));
    EXPECT_EQ(v, 55u);
    EXPECT_FALSE(GetSkinElementKind2Value(items, "Nothing", &v));
    EXPECT_FALSE(GetSkinElementKind2Value(nullptr, "Value2", &v));
}

TEST_F(Errors, ElementDrawingAndRegions) {
    ASSERT_TRUE(LoadSkinFile(skinPath.c_str()));
    HSKINELEMENT items = FindSkinElement("Items");
    ASSERT_TRUE(items);
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 32;
    bi.bmiHeader.biHeight = -32;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP target = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, target);
    const RECT rc{0, 0, 16, 16};
    FillSolidRect(dc, RECT{0, 0, 32, 32}, RGB(1, 1, 1));

    EXPECT_TRUE(DrawSkinElementImage(items, "Part", dc, &rc));
    EXPECT_NE(GetPixel(dc, 3, 2), RGB(1, 1, 1));
    EXPECT_EQ(GetPixel(dc, 12, 12), RGB(1, 1, 1));  // clipped to the part's 8 x 8
    EXPECT_TRUE(DrawSkinElementGrid(items, "Grid", dc, &rc));
    EXPECT_TRUE(DrawSkinElementGridFrame(items, "Grid", dc, &rc));
    RECT textRect{0, 16, 32, 32};
    EXPECT_TRUE(DrawSkinElementText(items, "Text", dc, &textRect, "Ab", 2, DT_LEFT | DT_SINGLELINE));
    EXPECT_FALSE(DrawSkinElementImage(items, "Grid", dc, &rc));  // another kind
    EXPECT_FALSE(DrawSkinElementImage(nullptr, "Part", dc, &rc));

    SIZE size{};
    HRGN region = nullptr;
    ASSERT_TRUE(GetSkinElementRegion(items, "Part", nullptr, &size, &region));
    EXPECT_EQ(size.cx, 8);
    EXPECT_EQ(size.cy, 8);
    ASSERT_TRUE(region);
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_EQ(box.right - box.left, 8);
    DeleteObject(region);
    const RECT placed{20, 20, 36, 36};
    ASSERT_TRUE(GetSkinElementRegion(items, "Part", &placed, nullptr, &region));
    GetRgnBox(region, &box);
    EXPECT_EQ(box.left, 20);
    EXPECT_LE(box.right, 28);
    DeleteObject(region);

    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
}

TEST_F(Errors, ImageListsBitmapsAndObjectAccessors) {
    ASSERT_TRUE(LoadSkinFile(skinPath.c_str()));
    HIMAGELIST list = CreateSkinImageList("Icons");
    ASSERT_TRUE(list);
    EXPECT_EQ(ImageList_GetImageCount(list), 8);  // 4 columns x 2 rows of 8 x 8
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    EXPECT_EQ(cx, 8);
    EXPECT_EQ(cy, 8);
    ImageList_Destroy(list);

    HBITMAP bitmap = GetSkinImageBitmap("strip");
    ASSERT_TRUE(bitmap);
    BITMAP bm{};
    GetObjectA(bitmap, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 32);
    EXPECT_EQ(bm.bmHeight, 16);
    DeleteObject(bitmap);

    HSKINELEMENT items = FindSkinElement("Items");
    RECT rc{};
    DWORD value = 9;
    EXPECT_TRUE(GetSkinObjectRect(items, &rc, &value));
    EXPECT_EQ(rc.right, 60);
    COLORREF back = 0, text = 0;
    EXPECT_TRUE(GetSkinObjectBackColor(items, &back));
    EXPECT_TRUE(GetSkinObjectTextColor(items, &text));
    HFONT font = nullptr;
    EXPECT_TRUE(GetSkinObjectFont(items, &font, &text));
    EXPECT_TRUE(GetSkinObjectValue(items, &value));
    EXPECT_FALSE(GetSkinObjectFont(FindSkinElement("Icons"), &font, &text));  // carries no font
    EXPECT_FALSE(GetSkinTransparency(&back, nullptr));  // the skin has no Application object
}

TEST_F(Errors, RecordsReachingPastTheirPicturesAnswerWhatThePicturesHold) {
    CSkinFile skin;
    BuildTestSkin(skin);
    auto* items = static_cast<CSkinType100Object*>(skin.FindObject("Items"));
    SkinImagePart far;
    far.Set("strip", INT_MIN, INT_MIN, 8, 8, 1);
    items->AddItem(new CSkinDataItem("FarPart", CSkinDataItem::KIND_IMAGEPART, &far, sizeof far));
    far.Set("strip", 24, INT_MIN + 1, INT_MAX, INT_MAX, 2);
    items->AddItem(new CSkinDataItem("WidePart", CSkinDataItem::KIND_IMAGEPART, &far, sizeof far));
    auto* icons = static_cast<CSkinImageListObject*>(skin.FindObject("Icons"));
    icons->m_strip.Set("strip", 0, INT_MAX - 8, 32, INT_MAX, 0);
    auto* bars = static_cast<CSkinScrollBarObject*>(skin.FindObject("ScrollBar"));
    bars->m_horizontal[0].arrow1.Set("strip", INT_MIN, 0, INT_MAX, 16, 0);
    const std::string path = TempPath("far.qvk");
    ASSERT_TRUE(skin.SaveToFile(path.c_str()));
    ASSERT_TRUE(LoadSkinFile(path.c_str()));

    HSKINELEMENT element = FindSkinElement("Items");
    SIZE size{};
    HRGN region = nullptr;
    ASSERT_TRUE(GetSkinElementRegion(element, "FarPart", nullptr, &size, &region));
    EXPECT_EQ(size.cx, 8);  // the part of the 32 x 16 picture it holds
    EXPECT_EQ(size.cy, 8);
    RECT box{};
    EXPECT_NE(GetRgnBox(region, &box), ERROR);
    const RECT corner{0, 0, 8, 8};
    EXPECT_TRUE(EqualRect(&box, &corner));
    DeleteObject(region);
    ASSERT_TRUE(GetSkinElementRegion(element, "WidePart", nullptr, &size, &region));
    EXPECT_EQ(size.cx, 8);
    EXPECT_EQ(size.cy, 16);
    DeleteObject(region);
    const RECT everywhere{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    ASSERT_TRUE(GetSkinElementRegion(element, "FarPart", &everywhere, nullptr, &region));
    EXPECT_TRUE(PtInRegion(region, 0, 0));
    EXPECT_TRUE(PtInRegion(region, -100000, 100000));
    DeleteObject(region);

    // Strips whose rows lie past the picture give no images, and the list is still made.
    HIMAGELIST list = CreateSkinImageList("Icons");
    ASSERT_TRUE(list);
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    ImageList_Destroy(list);
}

TEST_F(Errors, SystemColoursComeFromTheSkinsTable) {
    ASSERT_TRUE(LoadSkinFile(skinPath.c_str()));
    EXPECT_EQ(GetSkinSysColor(COLOR_BTNFACE), TableColor(COLOR_BTNFACE));
    EXPECT_EQ(GetSkinSysColor(30), TableColor(30));
    EXPECT_EQ(GetSkinSysColor(40), TableColor(0));  // outside the table: its first colour
    EXPECT_EQ(GetSkinSysColor(-1), TableColor(0));
    EXPECT_TRUE(GetSkinSysColorBrush(COLOR_WINDOW));

    // Colour mode 1 asks the window system.
    CSkinManager::Instance().GetSkinFile()->SetColorMode(1);
    const COLORREF system = GetSkinSysColor(COLOR_BTNFACE);
    EXPECT_NE(system, TableColor(COLOR_BTNFACE));

    // A skin without a table does too.
    ASSERT_TRUE(LoadSkinFile(WriteTestSkin("notable.qvk", false).c_str()));
    EXPECT_EQ(GetSkinSysColor(COLOR_BTNFACE), system);
}


std::vector<BYTE> ReadAll(const std::string& path) {
    std::vector<BYTE> out;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        BYTE buf[4096];
        for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) out.insert(out.end(), buf, buf + n);
        fclose(f);
    }
    return out;
}

// A cell's colour in the picture of the tall-cell image list below.
COLORREF CellColor(int column, int row) { return RGB(20 + column * 50, 30 + row * 70, 200 - column * 20); }
const COLORREF kMask = RGB(255, 0, 255);

TEST_F(Errors, AnImageListOfTallCellsKeepsEachCellAndItsMask) {
    // A 24 x 12 picture of cells 6 wide and 4 high: 4 columns, 3 rows, each its own colour with
    // its top-left pixel in the mask colour.
    CSkinFile skin;
    BuildTestSkin(skin);
    CRasterImage picture;
    ASSERT_TRUE(picture.Create(24, 12, 24));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 24; ++x) {
            const int top = 11 - y;  // rows count from the bottom
            const bool corner = x % 6 == 0 && top % 4 == 0;
            picture.SetPixelColor(x, y, corner ? kMask : CellColor(x / 6, top / 4));
        }
    auto image = skintest::Make<CSkinImageObject>("cells");
    image->SetImage(picture, RASTER_FORMAT_BMP);
    skin.AddImage(std::move(image));
    auto tall = skintest::Make<CSkinImageListObject>("Tall");
    tall->m_nCellWidth = 6;
    tall->m_nCellHeight = 4;
    tall->m_nDepthIndex = 5;
    tall->m_nThird = kMask;
    tall->m_strip.Set("cells", 0, 0, 24, 12, 0);
    skin.AddObject(std::move(tall));
    const std::string path = TempPath("tall.qvk");
    ASSERT_TRUE(skin.SaveToFile(path.c_str()));
    ASSERT_TRUE(LoadSkinFile(path.c_str()));

    HIMAGELIST list = CreateSkinImageList("Tall");
    ASSERT_TRUE(list);
    ASSERT_EQ(ImageList_GetImageCount(list), 12);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    EXPECT_EQ(cx, 6);
    EXPECT_EQ(cy, 4);

    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateCompatibleBitmap(dc, 8, 6);
    HGDIOBJ old = SelectObject(dc, target);
    const RECT all{0, 0, 8, 6};
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    for (int i = 0; i < 12; ++i) {
        FillRect(dc, &all, white);
        ASSERT_TRUE(ImageList_Draw(list, i, dc, 1, 1, ILD_NORMAL));
        const COLORREF want = CellColor(i % 4, i / 4);
        SCOPED_TRACE("cell " + std::to_string(i));
        EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 255, 255));  // the mask colour lets the ground show
        EXPECT_EQ(GetPixel(dc, 2, 1), want);
        EXPECT_EQ(GetPixel(dc, 6, 4), want);                 // the cell's last pixel
        EXPECT_EQ(GetPixel(dc, 7, 4), RGB(255, 255, 255));   // nothing beyond the cell
        EXPECT_EQ(GetPixel(dc, 6, 5), RGB(255, 255, 255));
    }
    DeleteObject(white);
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    ImageList_Destroy(list);
}

TEST_F(Errors, SkinsLoadFromResourcesAndResourcesWithoutDataGive15) {
    CSkinFile skin;
    BuildTestSkin(skin);
    const std::string path = TempPath("resource.qvk");
    ASSERT_TRUE(skin.SaveToFile(path.c_str()));
    const std::vector<BYTE> bytes = ReadAll(path);
    ASSERT_FALSE(bytes.empty());
    const std::vector<BYTE> broken(bytes.begin(), bytes.begin() + 3);
    const PLATRES_ENTRY table[] = {
        {"QVK", 0, "GOODSKIN", 0, bytes.data(), DWORD(bytes.size())},
        {"QVK", 0, "NODATA", 0, nullptr, 0},
        {"QVK", 0, "SHORTSKIN", 0, broken.data(), DWORD(broken.size())},
    };
    PlatRegisterResources(table, 3);
    EXPECT_FALSE(FindSkinElement("Icons"));
    ASSERT_TRUE(LoadSkinFromResource(Instance(), "GOODSKIN", "QVK"));
    EXPECT_EQ(GetSkinLastError(), 0);
    EXPECT_TRUE(FindSkinElement("Icons"));
    EXPECT_FALSE(LoadSkinFromResource(Instance(), "NODATA", "QVK"));
    EXPECT_EQ(GetSkinLastError(), 15);
    // A resource that is no skin file says why, as a file on disk would.
    EXPECT_FALSE(LoadSkinFromResource(Instance(), "SHORTSKIN", "QVK"));
    EXPECT_EQ(GetSkinLastError(), 5);
    EXPECT_TRUE(FindSkinElement("Icons"));  // the applied skin stays
    PlatUnregisterResources(table);
}

}  // namespace
