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
// Asked once: the platform works the answer out afresh at every call.
const HINSTANCE g_module = GetModuleHandleA(nullptr);

// The dialog stays under 32,768 pixels (128 KiB of store): AddressSanitizer serves blocks that
// small from memory it reuses, where a larger window's store, and every frame painted for it,
// would be fresh pages faulted in one by one for every input. The controls keep a size with
// room for a scroll bar's thumb and overlap in a grid inside the client area, so each one
// paints where it shows.
constexpr int kDialogWidth = 200, kDialogHeight = 160;
constexpr int kFirstId = 100;
constexpr int kControlWidth = 48, kControlHeight = 26, kColumns = 6, kColumnStep = 26, kRowStep = 22;

HWND MakeWindow(const char* cls, DWORD style, HWND parent, int id)
{
    const int cell = id >= kFirstId ? id - kFirstId : 0;
    return CreateWindowExA(0, cls, "Fuzz", style, 4 + (cell % kColumns) * kColumnStep, 4 + (cell / kColumns) * kRowStep,
                           kControlWidth, kControlHeight, parent,
                           parent ? reinterpret_cast<HMENU>(INT_PTR(id)) : nullptr, g_module, nullptr);
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
    SetWindowPos(dialog, nullptr, 20, 20, kDialogWidth, kDialogHeight, SWP_NOZORDER);
    int id = kFirstId;
    for (const ControlKind& kind : g_kinds)
        MakeWindow(kind.className.c_str(), WS_CHILD | WS_VISIBLE | kind.style, dialog, id++);
    Pump();
    // Smaller than any design: the frame's parts overlap, and the frame and anchored controls
    // are laid out again. (Growing it past the design as well reached no further code.)
    SetWindowPos(dialog, nullptr, 0, 0, 24, 16, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    DestroyWindow(dialog);
    Pump();
}

// libFuzzer's entropic schedule looks every feature of every input up in its list of rare
// features. An input here touches some 17,000 features, and with the default list (all
// features seen fewer than 256 times) that look-up took a third of the run. Features leave the
// list sooner with these; the schedule stays. They come first, so the command line still wins.
void PreferShortRareFeatureList(int* argc, char*** argv)
{
    static char rarest[] = "-entropic_number_of_rarest_features=20";
    static char threshold[] = "-entropic_feature_frequency_threshold=32";
    static std::vector<char*> args;
    args.assign(*argv, *argv + *argc);
    args.insert(args.begin() + (args.empty() ? 0 : 1), {rarest, threshold});
    *argc = int(args.size());
    args.push_back(nullptr);
    *argv = args.data();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    PreferShortRareFeatureList(argc, argv);
    // Never a real display: every window lives on the headless backend.
    setenv("VELMORA_BACKEND", "headless", 1);
    InitCommonControls();
    InstallSkinners();
    if (!InitSkinLibrary(g_module))
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
