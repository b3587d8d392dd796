// The one skinned tooltip window of the process. Frame elements, control skinners and the
// engine's public show and hide functions drive it; its text is markup drawn by the renderer
// it embeds, its frame, background and delays come from the skin's Tooltip object (or the
// built-in one), and it is placed by the object's mode within the work area of the nearest
// monitor.
#pragma once

#include <windows.h>

#include <string>

#include "MarkupRenderer.h"
#include "SkinObjectTypes.h"
#include "SkinWindow.h"

class CSkinTooltip : public CSkinWindow, public ISkinElementTooltip {
public:
    enum : UINT_PTR { kShowTimer = 1000, kHideTimer = 1010 };
    static const char kClassName[];

    CSkinTooltip();
    ~CSkinTooltip() override;

    // Makes the window of the class "QuorventaTooltip32" (registered by the engine).
    BOOL Create(HWND parent);
    void Destroy();
    void SetInstanceHandle(HINSTANCE instance);

    void SetOwner(CSkinElement* owner) override { m_pOwner = owner; }
    CSkinElement* GetOwner() const override { return m_pOwner; }
    // The element name slot holds the tip text here.
    void SetName(const char* text) override { SetText(text); }
    void SetText(const char* text) { m_strText = text ? text : ""; }
    const std::string& GetText() const { return m_strText; }
    CSkinMarkupRenderer& GetMarkupRenderer() { return m_renderer; }
    // The skin's Tooltip object when one is set, else the built-in one.
    CSkinTooltipObject* GetTooltipObject();
    // A Tooltip object (type 42) is taken with its style sheet; anything else puts the
    // built-in object back and gives null. An object of a skin file is given up when the engine
    // applies another skin: the tip takes the new skin's Tooltip object (or the built-in one).
    CSkinObject* SetSkinObject(CSkinObject* object) override;

    // The elements' path: shows the text after the show delay at the point (null: the cursor).
    void ShowDelayed(const char* text) override { ShowDelayed(text, nullptr); }
    void ShowDelayed(const char* text, const POINT* point);
    // The public function's path: shows the text at once.
    void ShowAt(const char* text, const POINT* point);
    void Hide() override;
    void ShowNow();
    SIZE MeasureText();

    // The rectangle of the mode (0 to 7) for a tip of `size` at `anchor`.
    static RECT PlaceTooltipRect(POINT anchor, SIZE size, int mode);
    // The first of the object's mode and then modes 0 to 7 that fits the work area of the
    // monitor nearest the anchor; mode 7 when none does.
    RECT CalcPlacement(SIZE size);
    POINT GetAnchor() const { return m_anchor; }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    static LRESULT CALLBACK TooltipWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    void SetAnchor(const POINT* point);
    RECT FindFittingPlacement(SIZE size, const RECT& work);
    void OnPaint();
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    void OnNcPaint();
    void OnTimer(UINT_PTR id);
    void OnMouseMove();
    CSkinObject* TakeSkinObject(CSkinObject* object);
    void HearSkinChanges();
    void OnSkinChanged();
    // Runs fn on the tooltip window's own thread, whose window alone may take its timers.
    void OnWindowThread(const std::function<void()>& fn);

    CSkinElement* m_pOwner = nullptr;
    POINT m_anchor{0, 0};
    BOOL m_bTracking = FALSE;
    bool m_bHearsSkinChanges = false;
    bool m_bRegisteringNotice = false;  // the notice that registering sends at once is not a change
    CSkinTooltipObject m_defaultObject;
    CSkinMarkupRenderer m_renderer;
    std::string m_strText;
    RECT m_lastRegionRect{0, 0, 0, 0};
};

// The process's tooltip while the engine runs, else null.
CSkinTooltip* GetSkinTooltip();
