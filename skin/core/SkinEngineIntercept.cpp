// The replacements of the ten intercepted functions: a window with skinned scroll bars answers
// from them, the system colours from the current skin's colour table; everything else goes to
// the system function, reached without coming back here.
#include "SkinEngineInternal.h"

#include "SkinEngineServices.h"
#include "SkinFile.h"
#include "SkinManager.h"
#include "SkinObjectTypes.h"

namespace {

using skin::GetApiHookSystemFunction;

template <typename Fn>
Fn System(skin::ApiHookFunction which) {
    return reinterpret_cast<Fn>(GetApiHookSystemFunction(which));
}

// The scroll-bar service when this window's bars are skinned.
const SkinScrollBarService* SkinnedBars(HWND hwnd) {
    const SkinScrollBarService* sb = SkinEngineInternal::ScrollBarService();
    return sb && sb->hasRecord && sb->hasRecord(hwnd) ? sb : nullptr;
}

BOOL WINAPI R_EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
    if (auto* sb = SkinnedBars(hwnd))
        if (sb->enableScrollBar) return sb->enableScrollBar(hwnd, bar, arrows);
    return System<BOOL(WINAPI*)(HWND, UINT, UINT)>(skin::kHookEnableScrollBar)(hwnd, bar, arrows);
}

BOOL WINAPI R_GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info) {
    if (auto* sb = SkinnedBars(hwnd))
        if (sb->getScrollInfo) return sb->getScrollInfo(hwnd, bar, info);
    return System<BOOL(WINAPI*)(HWND, int, LPSCROLLINFO)>(skin::kHookGetScrollInfo)(hwnd, bar, info);
}

int WINAPI R_GetScrollPos(HWND hwnd, int bar) {
    if (auto* sb = SkinnedBars(hwnd))
        if (sb->getScrollPos) return sb->getScrollPos(hwnd, bar);
    return System<int(WINAPI*)(HWND, int)>(skin::kHookGetScrollPos)(hwnd, bar);
}

BOOL WINAPI R_GetScrollRange(HWND hwnd, int bar, LPINT minPos, LPINT maxPos) {
    if (auto* sb = SkinnedBars(hwnd))
        if (sb->getScrollRange) return sb->getScrollRange(hwnd, bar, minPos, maxPos);
    return System<BOOL(WINAPI*)(HWND, int, LPINT, LPINT)>(skin::kHookGetScrollRange)(hwnd, bar, minPos, maxPos);
}

int WINAPI R_SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw) {
    if (auto* sb = SkinnedBars(hwnd))
        if (sb->setScrollInfo) return sb->setScrollInfo(hwnd, bar, info, redraw);
    return System<int(WINAPI*)(HWND, int, LPCSCROLLINFO, BOOL)>(skin::kHookSetScrollInfo)(hwnd, bar, info, redraw);
}

int WINAPI R_SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
    if (auto* sb = SkinnedBars(hwnd))
        if (sb->setScrollPos) return sb->setScrollPos(hwnd, bar, pos, redraw);
    return System<int(WINAPI*)(HWND, int, int, BOOL)>(skin::kHookSetScrollPos)(hwnd, bar, pos, redraw);
}

BOOL WINAPI R_SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
    if (auto* sb = SkinnedBars(hwnd))
        if (sb->setScrollRange) return sb->setScrollRange(hwnd, bar, minPos, maxPos, redraw);
    return System<BOOL(WINAPI*)(HWND, int, int, int, BOOL)>(skin::kHookSetScrollRange)(hwnd, bar, minPos, maxPos,
                                                                                      redraw);
}

BOOL WINAPI R_ShowScrollBar(HWND hwnd, int bar, BOOL show) {
    if (auto* sb = SkinnedBars(hwnd))
        if (sb->showScrollBar) return sb->showScrollBar(hwnd, bar, show);
    return System<BOOL(WINAPI*)(HWND, int, BOOL)>(skin::kHookShowScrollBar)(hwnd, bar, show);
}

DWORD WINAPI R_GetSysColor(int index) {
    COLORREF c;
    if (SkinEngineInternal::SkinTableColor(index, &c)) return c;
    return System<DWORD(WINAPI*)(int)>(skin::kHookGetSysColor)(index);
}

HBRUSH WINAPI R_GetSysColorBrush(int index) {
    HBRUSH b;
    if (SkinEngineInternal::SkinTableBrush(index, &b)) return b;
    return System<HBRUSH(WINAPI*)(int)>(skin::kHookGetSysColorBrush)(index);
}

void* const kReplacements[skin::kApiHookCount] = {
    reinterpret_cast<void*>(&R_EnableScrollBar), reinterpret_cast<void*>(&R_GetScrollInfo),
    reinterpret_cast<void*>(&R_GetScrollPos),    reinterpret_cast<void*>(&R_GetScrollRange),
    reinterpret_cast<void*>(&R_SetScrollInfo),   reinterpret_cast<void*>(&R_SetScrollPos),
    reinterpret_cast<void*>(&R_SetScrollRange),  reinterpret_cast<void*>(&R_ShowScrollBar),
    reinterpret_cast<void*>(&R_GetSysColor),     reinterpret_cast<void*>(&R_GetSysColorBrush),
};

// The table of the applied skin, read under the manager's lock so that a skin change on
// another thread cannot free it meanwhile.
template <typename Read>
bool ReadSkinTable(Read read) {
    CSkinManager& manager = CSkinManager::Instance();
    manager.Lock();
    bool ok = false;
    CSkinFile* file = manager.GetSkinFile();
    if (file && file->GetColorMode() != 1) {
        if (CSkinSysColorTableObject* table = file->GetSysColorTable()) ok = read(*table);
    }
    manager.Unlock();
    return ok;
}

}  // namespace

namespace SkinEngineInternal {

void* const* ApiReplacements() { return kReplacements; }

bool SkinTableColor(int index, COLORREF* color) {
    return ReadSkinTable([&](CSkinSysColorTableObject& table) {
        *color = table.m_colors[index >= 0 && index <= 30 ? index : 0];
        return true;
    });
}

bool SkinTableBrush(int index, HBRUSH* brush) {
    return ReadSkinTable([&](CSkinSysColorTableObject& table) {
        // A table whose brushes were never made answers nothing rather than a null brush.
        *brush = table.GetBrush(index >= 0 && index <= 30 ? index : 0);
        return *brush != nullptr;
    });
}

}  // namespace SkinEngineInternal
