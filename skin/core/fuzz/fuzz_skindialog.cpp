// Fuzzes the skin as the program meets it: a skin body becomes the engine's skin, and a dialog
// with one control of every kind in the engine's class table (skinned by whatever skinners are
// installed) is shown, painted, resized and closed. A crash, a leak or undefined behaviour
// anywhere on the way is a fault. The kinds come from the class table, so the dialog gains a
// control whenever the engine learns a new class.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "MemoryStream.h"
#include "SkinEngine.h"
#include "SkinFile.h"
#include "SkinManager.h"
#include "SkinObject.h"
#include "Skinners.h"
#include "winplat_test.h"

namespace {

struct ControlKind {
    std::string className;
    DWORD style;
};

std::vector<ControlKind> g_kinds;

HWND MakeWindow(const char* cls, DWORD style, HWND parent, int id)
{
    return CreateWindowExA(0, cls, "Fuzz", style, 4 + (id % 6) * 52, 4 + (id / 6) * 30, 48, 26, parent,
                           parent ? reinterpret_cast<HMENU>(INT_PTR(id)) : nullptr, GetModuleHandleA(nullptr),
                           nullptr);
}

// One window class and style per skin type of the table: the name itself where the window
// system has that class, else the button style the table files under that name.
std::vector<ControlKind> CollectKinds()
{
    HWND probe = MakeWindow("#32770", WS_POPUP, nullptr, 0);
    std::map<int, ControlKind> byType;
    for (const auto& [name, type] : CSkinManager::Instance().GetClassTable()) {
        if (byType.count(type))
            continue;
        WNDCLASSA wc{};
        if (GetClassInfoA(nullptr, name.c_str(), &wc)) {
            byType[type] = {name, 0};
            continue;
        }
        for (DWORD style = 0; style < 16 && !byType.count(type); ++style) {
            HWND button = MakeWindow("Button", WS_CHILD | style, probe, 1);
            if (CSkinManager::Instance().ClassifyWindow(button) == type)
                byType[type] = {"Button", style};
            DestroyWindow(button);
        }
    }
    DestroyWindow(probe);
    std::vector<ControlKind> kinds;
    for (auto& entry : byType)
        kinds.push_back(entry.second);
    return kinds;
}

// The name of the skin's first frame object, the look the program gives its dialogs.
std::string DialogObjectName(CSkinFile& file)
{
    CSkinObject* frame = file.FindObjectByType(SKIN_FRAMEWND);
    return frame ? frame->GetName() : "Dialog";
}

void Pump()
{
    WinTestPumpUntilIdle();
}

void ShowDialog()
{
    HWND dialog = MakeWindow("#32770", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE, nullptr, 0);
    SetWindowPos(dialog, nullptr, 20, 20, 340, 260, SWP_NOZORDER);
    int id = 100;
    for (const ControlKind& kind : g_kinds)
        MakeWindow(kind.className.c_str(), WS_CHILD | WS_VISIBLE | kind.style, dialog, id++);
    Pump();
    // Larger and smaller than any design: the frame and anchored controls are laid out again.
    SetWindowPos(dialog, nullptr, 0, 0, 520, 400, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    SetWindowPos(dialog, nullptr, 0, 0, 24, 16, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    DestroyWindow(dialog);
    Pump();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Never a real display: every window lives on the headless backend.
    setenv("VELMORA_BACKEND", "headless", 1);
    InitCommonControls();
    InstallSkinners();
    if (!InitSkinLibrary(GetModuleHandleA(nullptr)))
        abort();
    g_kinds = CollectKinds();
    if (g_kinds.empty())
        abort();
    // Once unskinned, so that the libraries' one-time set-up (fonts above all) is done before
    // the first input and never counts as that input's leak.
    ShowDialog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 18)
        return 0;
    CMemoryStream body(data, DWORD(size), 10240);
    auto file = std::make_unique<CSkinFile>();
    if (!file->LoadBody(body))
        return 0;
    const std::string dialogName = DialogObjectName(*file);
    CSkinManager::Instance().ApplySkinToAllWindows(file.release());
    SetDialogSkin(dialogName.c_str());
    ShowDialog();
    // Back to an empty skin: every input starts from the same engine, and what it allocated is
    // freed within its run, so the fuzzer's leak check need not run each input a second time.
    CSkinManager::Instance().ApplySkinToAllWindows(new CSkinFile);
    return 0;
}
