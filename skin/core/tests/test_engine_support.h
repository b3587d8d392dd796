// Helpers of the engine tests: skins written to temporary files, a fixture that always leaves
// the engine shut down, and plain windows and dialogs.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "SkinEngine.h"
#include "SkinEngineServices.h"
#include "SkinFile.h"
#include "SkinObjectTypes.h"
#include "test_objects_builder.h"

namespace enginetest {

inline HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

inline std::string TempPath(const std::string& name) {
    return testing::TempDir() + "engine_" + std::to_string(getpid()) + "_" + name;
}

inline std::string WriteBytes(const std::string& name, const std::vector<BYTE>& bytes) {
    const std::string path = TempPath(name);
    FILE* f = fopen(path.c_str(), "wb");
    if (f) {
        if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    return path;
}

// Distinct colours for the system-colour table: index i gets a value no default uses.
inline COLORREF TableColor(int i) { return RGB(0x11 + i, 0x80 - i, 0xC3); }

// A small skin: a frame and a dialog window object, an image, an image list, a system-colour
// table, a ScrollBar object and an object with data items of every kind.
inline void BuildTestSkin(CSkinFile& skin, bool withTable = true) {
    auto picture = skintest::MakePicture(32, 16);
    auto image = std::make_unique<CSkinImageObject>();
    image->SetName("strip");
    image->SetImage(picture, 1);
    skin.AddImage(std::move(image));

    skin.AddObject(skintest::Make<CSkinFrameWndObject>("Frame"));
    skin.AddObject(skintest::MakeTyped(SKIN_FRAMEWND, "Dialog"));

    auto list = skintest::Make<CSkinImageListObject>("Icons");
    list->m_nCellWidth = 8;
    list->m_nCellHeight = 8;
    list->m_nDepthIndex = 6;
    list->m_nGrow = 2;
    list->m_nThird = RGB(255, 0, 255);
    list->m_strip.Set("strip", 0, 0, 32, 16, 0);
    skin.AddObject(std::move(list));
    auto tooBig = skintest::Make<CSkinImageListObject>("HugeIcons");
    tooBig->m_nCellWidth = 64;
    tooBig->m_nCellHeight = 8;
    tooBig->m_strip.Set("strip", 0, 0, 32, 16, 0);
    skin.AddObject(std::move(tooBig));
    auto noPicture = skintest::Make<CSkinImageListObject>("LostIcons");
    noPicture->m_nCellWidth = 8;
    noPicture->m_nCellHeight = 8;
    noPicture->m_strip.Set("missing", 0, 0, 32, 16, 0);
    skin.AddObject(std::move(noPicture));

    if (withTable) {
        auto table = skintest::Make<CSkinSysColorTableObject>("SysColorTable");
        for (int i = 0; i < CSkinSysColorTableObject::kColors; ++i) table->m_colors[i] = TableColor(i);
        skin.AddObject(std::move(table));
    }

    auto bars = skintest::Make<CSkinScrollBarObject>("ScrollBar");
    bars->m_horizontal[0].arrow1.Set("strip", 0, 0, 17, 16, 0);
    bars->m_horizontal[0].thumb.Set("strip", 0, 0, 9, 16, 0, 0, 0, 0, 0);
    skin.AddObject(std::move(bars));

    auto items = skintest::Make<CSkinType100Object>("Items");
    SkinFont font = SkinFont::Default("DejaVu Sans");
    font.color = RGB(1, 2, 3);
    items->AddItem(new CSkinDataItem("TitleFont", CSkinDataItem::KIND_FONT, &font, sizeof font));
    const char block[] = "twelve bytes";
    items->AddItem(new CSkinDataItem("Block", CSkinDataItem::KIND_BLOCK, block, 12));
    for (DWORD kind : {2u, 5u, 6u, 7u}) {
        const DWORD value = 1000 + kind;
        items->AddItem(new CSkinDataItem(("Value" + std::to_string(kind)).c_str(), kind, &value, 4));
    }
    items->AddItem(new CSkinDataItem("Empty", CSkinDataItem::KIND_VALUE, nullptr, 0));
    const WORD shortValue = 7;
    items->AddItem(new CSkinDataItem("Short", CSkinDataItem::KIND_VALUE, &shortValue, 2));
    SkinImagePart part;
    part.Set("strip", 0, 0, 8, 8, 0);
    items->AddItem(new CSkinDataItem("Part", CSkinDataItem::KIND_IMAGEPART, &part, sizeof part));
    SkinNineGrid grid;
    grid.Set("strip", 0, 0, 16, 16, 2, 2, 2, 2, 1);
    items->AddItem(new CSkinDataItem("Grid", CSkinDataItem::KIND_NINEGRID, &grid, sizeof grid));
    SkinTextStyle style = SkinTextStyle::Default();
    style.SetTextColor(RGB(9, 8, 7));
    items->AddItem(new CSkinDataItem("Text", CSkinDataItem::KIND_TEXTSTYLE, &style, sizeof style));
    skin.AddObject(std::move(items));
}

inline std::string WriteTestSkin(const std::string& name, bool withTable = true) {
    CSkinFile skin;
    BuildTestSkin(skin, withTable);
    const std::string path = TempPath(name);
    EXPECT_TRUE(skin.SaveToFile(path.c_str()));
    return path;
}

// Runs fn on a new thread and waits for it.
inline void OnThread(const std::function<void()>& fn) {
    std::thread t(fn);
    t.join();
}

// Every test leaves the engine as it found it: shut down.
class EngineFixture : public ::testing::Test {
protected:
    void TearDown() override {
        ExitSkinLibrary();
        EXPECT_FALSE(SkinEngine::IsStarted()) << "a thread of the test kept the engine started";
        SetSkinTooltipService(nullptr);
        SetSkinPopupMenuService(nullptr);
        SetSkinScrollBarService(nullptr);
    }
};

inline LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

inline HWND MakeWindow(DWORD style = WS_OVERLAPPEDWINDOW, WNDPROC proc = &PlainProc) {
    static const char* cls = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &PlainProc;
        wc.hInstance = Instance();
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "EngineTestWindow";
        RegisterClassA(&wc);
        return "EngineTestWindow";
    }();
    HWND h = CreateWindowExA(0, cls, "Engine test", style, 10, 10, 200, 150, nullptr, nullptr, Instance(), nullptr);
    if (h && proc != &PlainProc) SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    return h;
}

}  // namespace enginetest
