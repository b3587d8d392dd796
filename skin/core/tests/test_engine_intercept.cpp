// The interception the engine installs at its first start-up and removes at its last
// shut-down, under each system identity, each in a fresh process: entry patching (XP, the
// default) reaches the platform's own painting, import slots (9x) only this program's calls,
// and a later NT intercepts nothing. The scroll-bar functions answer from the skinned scroll
// bars for their windows only.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "ApiHook.h"
#include "SkinManager.h"
#include "test_engine_support.h"
#include "winplat_test.h"

using namespace enginetest;

namespace {

using GetSysColorFn = DWORD(WINAPI*)(int);

GetSysColorFn PlatformGetSysColor() { return reinterpret_cast<GetSysColorFn>(dlsym(RTLD_DEFAULT, "GetSysColor")); }
GetSysColorFn ProgramGetSysColorAddress() {
    GetSysColorFn volatile f = &GetSysColor;
    return f;
}

std::vector<uint8_t> EntryBytes(int which) {
    auto* p = static_cast<const uint8_t*>(dlsym(RTLD_DEFAULT, skin::kApiHookNames[which]));
    return std::vector<uint8_t>(p, p + 32);
}

// A skinned-scroll-bar subsystem that owns the bars of one window.
struct FakeBars {
    static HWND owned;
    static int initialised, styles, sizes, lastArrow, lastThumb, lastBar;
    static BOOL Initialize(HWND h) {
        ++initialised;
        owned = h;
        return TRUE;
    }
    static HRESULT Uninitialize(HWND h) {
        if (h != owned) return E_FAIL;
        owned = nullptr;
        return 0;
    }
    static BOOL HasRecord(HWND h) { return h && h == owned; }
    static BOOL SetSize(HWND, int bar, int arrow, int) {
        ++sizes;
        lastBar = bar;
        lastArrow = arrow;
        return TRUE;
    }
    static BOOL SetStyle(HWND, int, int style) {
        styles += style;
        return TRUE;
    }
    static BOOL SetMinThumb(HWND, int, int size) {
        lastThumb = size;
        return TRUE;
    }
    static BOOL Enable(HWND, UINT, UINT) { return 41; }
    static BOOL GetInfo(HWND, int, LPSCROLLINFO) { return 42; }
    static int GetPos(HWND, int) { return 4242; }
    static BOOL GetRange(HWND, int, LPINT, LPINT) { return 44; }
    static int SetInfo(HWND, int, LPCSCROLLINFO, BOOL) { return 45; }
    static int SetPos(HWND, int, int, BOOL) { return 46; }
    static BOOL SetRange(HWND, int, int, int, BOOL) { return 47; }
    static BOOL Show(HWND, int, BOOL) { return 48; }
};
HWND FakeBars::owned;
int FakeBars::initialised, FakeBars::styles, FakeBars::sizes, FakeBars::lastArrow, FakeBars::lastThumb,
    FakeBars::lastBar;

const SkinScrollBarService kBars = {&FakeBars::Initialize, &FakeBars::Uninitialize, &FakeBars::HasRecord,
                                    &FakeBars::SetSize,    &FakeBars::SetStyle,     &FakeBars::SetMinThumb,
                                    &FakeBars::Enable,     &FakeBars::GetInfo,      &FakeBars::GetPos,
                                    &FakeBars::GetRange,   &FakeBars::SetInfo,      &FakeBars::SetPos,
                                    &FakeBars::SetRange,   &FakeBars::Show};

// How many pixels of a window, as the platform painted it, have a colour of the skin's table.
int TableColouredPixels(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, TRUE);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    WinTestPumpUntilIdle();
    WinTestWindowPicture picture(hwnd);
    int n = 0;
    for (int i = 0; i <= 30; ++i) n += picture.Count(TableColor(i));
    return n;
}

struct Checker {
    std::string failures;
    void operator()(bool ok, const char* what, int line) {
        if (!ok) failures += std::to_string(line) + ": " + what + "\n";
    }
};
#define CHECK(c) check((c), #c, __LINE__)

std::string Scenario(const char* winver) {
    Checker check;
    if (winver) setenv("VELMORA_WINVER", winver, 1);
    else unsetenv("VELMORA_WINVER");
    const std::string id = winver ? winver : "xp";
    const bool entries = id == "xp", slots = id == "9x";

    HWND barsWindow = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_VISIBLE);
    HWND other = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_VISIBLE);
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 100, 10, 30, 0};
    SetScrollInfo(other, SB_VERT, &si, FALSE);
    SetScrollInfo(barsWindow, SB_VERT, &si, FALSE);
    const DWORD realFace = PlatformGetSysColor()(COLOR_BTNFACE);
    std::vector<std::vector<uint8_t>> before;
    for (int i = 0; i < skin::kApiHookCount; ++i) before.push_back(EntryBytes(i));
    const GetSysColorFn addressBefore = ProgramGetSysColorAddress();
    const int paintedBefore = TableColouredPixels(other);
    CHECK(paintedBefore == 0);

    SetSkinScrollBarService(&kBars);
    CHECK(InitSkinLibrary(Instance()));
    CHECK(LoadSkinFile(WriteTestSkin("intercept.qvk").c_str()));
    CHECK(SkinEngine::GetOsClass() == (entries ? 7 : slots ? 3 : 1));

    // The engine's own answer always comes from the skin.
    CHECK(GetSkinSysColor(COLOR_BTNFACE) == TableColor(COLOR_BTNFACE));
    // This program's calls are caught by both paths; the platform's own calls by entry patching only.
    const bool caught = entries || slots;
    CHECK((GetSysColor(COLOR_BTNFACE) == TableColor(COLOR_BTNFACE)) == caught);
    CHECK((GetSysColor(55) == TableColor(0)) == caught);
    CHECK((GetSysColorBrush(COLOR_BTNFACE) == GetSkinSysColorBrush(COLOR_BTNFACE)) == caught);
    CHECK((PlatformGetSysColor()(COLOR_BTNFACE) == TableColor(COLOR_BTNFACE)) == entries);
    CHECK((TableColouredPixels(other) > 0) == entries);

    // Scroll bars: only the skinned window answers from its skinned bars.
    CHECK(SetWindowScrollBarSkin(barsWindow, SB_VERT));
    CHECK(FakeBars::initialised == (caught ? 1 : 0));
    CHECK(SkinEngine::HasSkinnedScrollBars(barsWindow) == caught);
    if (caught) {
        CHECK(FakeBars::styles == 2);
        CHECK(FakeBars::lastBar == SB_VERT);
        CHECK(FakeBars::lastArrow == 17);  // width of the ScrollBar object's arrow
        CHECK(FakeBars::lastThumb == 9);
    }
    CHECK((GetScrollPos(barsWindow, SB_VERT) == 4242) == caught);
    CHECK(GetScrollPos(other, SB_VERT) == 30);
    CHECK((ShowScrollBar(barsWindow, SB_VERT, TRUE) == 48) == caught);
    CHECK((EnableScrollBar(barsWindow, SB_VERT, 0) == 41) == caught);
    // Each later load gives the listed windows the skin's sizes again; a gone window leaves the list.
    const int sizes = FakeBars::sizes;
    CHECK(LoadSkinFile(WriteTestSkin("intercept2.qvk").c_str()));
    CHECK(FakeBars::sizes == sizes + (caught ? 1 : 0));
    if (caught) CHECK(FakeBars::lastBar == SB_BOTH);

    // Colour mode 1 hands the colours back to the system.
    CSkinManager::Instance().GetSkinFile()->SetColorMode(1);
    CHECK(GetSysColor(COLOR_BTNFACE) == realFace);
    CHECK(PlatformGetSysColor()(COLOR_BTNFACE) == realFace);
    CSkinManager::Instance().GetSkinFile()->SetColorMode(0);

    CHECK(RemoveWindowScrollBarSkin(barsWindow));
    CHECK(!SkinEngine::HasSkinnedScrollBars(barsWindow));
    CHECK(GetScrollPos(barsWindow, SB_VERT) == 30);

    // The last shut-down puts every entry and slot back.
    ExitSkinLibrary();
    CHECK(skin::GetApiHookMode() == skin::ApiHookMode::None);
    for (int i = 0; i < skin::kApiHookCount; ++i) CHECK(EntryBytes(i) == before[i]);
    CHECK(ProgramGetSysColorAddress() == addressBefore);
    CHECK(GetSysColor(COLOR_BTNFACE) == realFace);
    CHECK(PlatformGetSysColor()(COLOR_BTNFACE) == realFace);
    CHECK(TableColouredPixels(other) == 0);

    // A second life of the engine intercepts again and cleans up again.
    CHECK(InitSkinLibrary(Instance()));
    CHECK(LoadSkinFile(WriteTestSkin("intercept3.qvk").c_str()));
    CHECK((GetSysColor(COLOR_BTNFACE) == TableColor(COLOR_BTNFACE)) == caught);
    ExitSkinLibrary();
    for (int i = 0; i < skin::kApiHookCount; ++i) CHECK(EntryBytes(i) == before[i]);
    CHECK(GetSysColor(COLOR_BTNFACE) == realFace);
    SetSkinScrollBarService(nullptr);
    DestroyWindow(barsWindow);
    DestroyWindow(other);
    return check.failures;
}

void RunInChild(const char* winver) {
    std::string failures = Scenario(winver);
    if (!failures.empty()) fprintf(stderr, "%s", failures.c_str());
    _exit(failures.empty() ? 0 : 1);
}

class EngineIntercept : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(EngineIntercept, XpPatchesEntriesSoThePlatformsPaintingUsesTheSkin) {
    EXPECT_EXIT(RunInChild(nullptr), ::testing::ExitedWithCode(0), "");
}

TEST_F(EngineIntercept, Win9xPatchesThisProgramsSlotsOnly) {
    EXPECT_EXIT(RunInChild("9x"), ::testing::ExitedWithCode(0), "");
}

TEST_F(EngineIntercept, LaterNtInterceptsNothingAndKeepsItsScrollBars) {
    EXPECT_EXIT(RunInChild("nt6"), ::testing::ExitedWithCode(0), "");
}

}  // namespace
