// The skin of a tooltip control of the platform ("tooltips_class32") that belongs to a skinned
// window. The control keeps its tools, delays and placement; the tip is drawn in the skin's
// Tooltip look, its text set plainly in that look's style sheet, and its window sized for the
// look's frame and font whenever the control places it.
#pragma once

#include <windows.h>

#include <string>

#include "MarkupRenderer.h"
#include "SkinWindow.h"

class CSkinTooltipObject;

class CSkinTooltipControl : public CSkinWindow {
public:
    CSkinObject* SetSkinObject(CSkinObject* object) override;
    void Detach() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // What the tip on show is drawn from: the control's text as the control shows it, as markup.
    const std::string& GetMarkup() const { return m_strMarkup; }

private:
    CSkinTooltipObject* GetTooltipObject() const;
    // The text of the tool on show, as markup, and the tool's flags; false when none is shown.
    bool ReadShownTip(std::string* markup, UINT* toolFlags);
    void OnWindowPosChanging(WINDOWPOS* wp);

    CSkinMarkupRenderer m_renderer;
    std::string m_strMarkup;
    RECT m_lastRegionRect{0, 0, 0, 0};
};

// A tooltip control's text as markup that shows it as the control would: with `prefix` an '&'
// is dropped and "&&" shows one; in one line (`multiline` false) line breaks and tabs are
// spaces; markup characters are never read as tags.
std::string TooltipTextAsMarkup(const std::string& text, bool prefix, bool multiline);
