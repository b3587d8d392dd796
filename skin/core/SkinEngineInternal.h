// What the engine's own source files share with each other (not for the rest of the engine).
#pragma once

#include <windows.h>

#include "ApiHook.h"

struct SkinTooltipService;
struct SkinPopupMenuService;
struct SkinScrollBarService;

namespace SkinEngineInternal {

// The started check of the public functions: false (and error 19) while not started.
bool CheckStarted();
const SkinTooltipService* TooltipService();
const SkinPopupMenuService* PopupMenuService();
const SkinScrollBarService* ScrollBarService();

// The ten replacement functions, in the order of skin::ApiHookFunction.
void* const* ApiReplacements();

// The colour and brush of the current skin's system-colour table for an index, when a skin is
// applied, its colour mode is not 1 and it has a table; false otherwise.
bool SkinTableColor(int index, COLORREF* color);
bool SkinTableBrush(int index, HBRUSH* brush);

}  // namespace SkinEngineInternal
