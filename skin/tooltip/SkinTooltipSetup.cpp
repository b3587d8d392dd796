// Plugs the one skinned tooltip into the engine: the engine makes it at its first start-up and
// removes it at its last shut-down through this service. The platform's tooltip controls get
// the tooltip-control skinner.
#include "SkinTooltipSetup.h"

#include <memory>

#include "SkinEngineServices.h"
#include "SkinnerRegistry.h"
#include "SkinObject.h"
#include "SkinTooltip.h"

namespace {

std::unique_ptr<CSkinTooltip> g_tooltip;

HWND CreateTooltip(HINSTANCE instance)
{
    auto tip = std::make_unique<CSkinTooltip>();
    tip->SetInstanceHandle(instance);
    if (!tip->Create(nullptr)) return nullptr;
    g_tooltip = std::move(tip);
    SetSkinElementTooltip(g_tooltip.get());
    return g_tooltip->GetHwnd();
}

void DestroyTooltip()
{
    SetSkinElementTooltip(nullptr);
    if (g_tooltip) g_tooltip->Destroy();
    g_tooltip.reset();
}

BOOL ShowTooltipAt(const char* text, const POINT* point)
{
    if (g_tooltip) g_tooltip->ShowAt(text, point);
    return TRUE;
}

void HideTooltip()
{
    if (g_tooltip) g_tooltip->Hide();
}

const SkinTooltipService kService = {&CSkinTooltip::TooltipWndProc, &CreateTooltip, &DestroyTooltip,
                                     &ShowTooltipAt, &HideTooltip};

}  // namespace

CSkinTooltip* GetSkinTooltip() { return g_tooltip.get(); }

void InstallSkinTooltip()
{
    SetSkinTooltipService(&kService);
    // The platform's tooltip controls under skinned windows take the same look.
    SKIN_CONTROL_SKINNER(SKIN_TOOLTIP, MakeTooltipControlSkinner);
}
