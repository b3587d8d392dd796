// The skinners of the bar-like common controls: tab control, header, tool bar (docked in a
// control bar or floating on its own), rebar, status bar and the framework's control bars.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "CommCtlDraw.h"
#include "ControlBase.h"

class CSkinTabObject;
class CSkinStatusBarObject;

// Tabs from the state images and the page under them; also the background of every control on
// the tab that asks its parent for one.
class CSkinTab : public CSkinControlBase {
public:
    explicit CSkinTab(CSkinWindow* owner) : CSkinControlBase(owner, SKIN_TAB) {}
    BOOL Attach(HWND hwnd) override;  // an owner-drawn tab control draws itself
    void Draw(HDC hdc) override;
    void OnPaint() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    commctl::Side GetSide() const;
    // The client area less every tab: where the page image goes.
    RECT GetPageRect() const;

private:
    CSkinTabObject* TabObject() const;
    void DrawTab(HDC hdc, int index, int current, commctl::Side side);
    // The part of the tab's picture under the child, into the child's DC.
    LRESULT PaintChildBackground(HDC childDc, HWND child);
};

class CSkinHeader : public CSkinControlBase {
public:
    explicit CSkinHeader(CSkinWindow* owner) : CSkinControlBase(owner, SKIN_HEADER) {}
    void Draw(HDC hdc) override;
};

class CSkinToolBar : public CSkinControlBase {
public:
    explicit CSkinToolBar(CSkinWindow* owner) : CSkinControlBase(owner, SKIN_TOOLBAR) {}
    void Draw(HDC hdc) override;
    void OnPaint() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void SetName(const char* name) override;
    std::string GetTooltipText() override;
    // The side of the control bar the tool bar is docked at; top when it floats.
    commctl::Side GetDockSide() const;
    int GetTipButton() const { return m_nTipButton; }

private:
    void DrawBackground(HDC hdc, const RECT& rc);
    void DrawButton(HDC hdc, int index, bool hot, bool withText);
    void OnMouseMove(LPARAM lParam);
    void PaintNonClient();
    int HitButton(POINT clientPoint) const;

    int m_nTipButton = -1;  // the button the tooltip was last asked for
};

class CSkinRebar : public CSkinControlBase {
public:
    explicit CSkinRebar(CSkinWindow* owner) : CSkinControlBase(owner, SKIN_REBAR) {}
    void Draw(HDC hdc) override;
};

class CSkinStatusBar : public CSkinControlBase {
public:
    explicit CSkinStatusBar(CSkinWindow* owner);
    ~CSkinStatusBar() override;
    BOOL Attach(HWND hwnd) override;
    // Without an object the bar is drawn from a built-in plain look.
    CSkinObject* SetSkinObject(CSkinObject* object) override;
    void Draw(HDC hdc) override;
    void OnPaint() override;

private:
    std::unique_ptr<CSkinStatusBarObject> m_pDefault;
};

class CSkinControlBar : public CSkinControlBase {
public:
    explicit CSkinControlBar(CSkinWindow* owner) : CSkinControlBase(owner, SKIN_CONTROLBAR) {}
    void Draw(HDC hdc) override;
};
