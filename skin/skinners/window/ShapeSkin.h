// Window skins that draw the whole window, frame included, inside the client area: a shaped
// window whose outline and look are one picture (ShapeWnd objects, optionally translucent), and
// a nine-part framed window painted in its client area (type-45 objects). Both strip the
// system's frame, paint a cached surface, route hit tests and the mouse through their caption
// elements and give the styles back when the skin goes.
#pragma once

#include <memory>

#include "SkinEngineServices.h"
#include "SkinMemDC.h"
#include "SkinWindow.h"
#include "SkinnerLifeline.h"

class CSkinShapeWndObject;

class CSkinFramelessBase : public CSkinWindow {
public:
    CSkinFramelessBase();
    ~CSkinFramelessBase() override;

    CSkinObject* SetSkinObject(CSkinObject* object) override;
    void Detach() override;
    BOOL Attach(HWND hwnd) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The frame lies in the client area.
    void InvalidateFrameRect(const RECT* rc) override;

    virtual void ApplyShape() = 0;
    virtual void BuildSurface(int width, int height) = 0;
    // A hit code for a point in client coordinates.
    virtual LRESULT HitTest(int x, int y) = 0;

    DWORD GetSavedStyle() const { return m_dwSavedStyle; }
    DWORD GetSavedExStyle() const { return m_dwSavedExStyle; }

protected:
    // Saves both styles; the caller then sets its own.
    void SaveStyles(HWND hwnd);
    void RestoreStyles(HWND hwnd);
    // The surface at the client size, built when missing or of another size.
    CSkinMemDC* Surface();
    POINT ClientPoint(LPARAM screenPoint);

    // Every change of the surface goes through here: a paint that lent it to the program sees
    // through m_surfaceLife whether it is still the same.
    void SetSurface(std::unique_ptr<CSkinMemDC> surface);

    DWORD m_dwSavedStyle = 0;
    DWORD m_dwSavedExStyle = 0;
    std::unique_ptr<CSkinMemDC> m_pSurface;
    CSkinLifeline m_surfaceLife;
    SIZE m_surfaceSize = {0, 0};
};

class CSkinShapeWnd : public CSkinFramelessBase {
public:
    CSkinShapeWnd();
    ~CSkinShapeWnd() override;

    BOOL Attach(HWND hwnd) override;
    HRGN CreateWindowRegion() override;
    void ApplyShape() override;
    void BuildSurface(int width, int height) override;
    LRESULT HitTest(int x, int y) override;

private:
    CSkinShapeWndObject* ShapeObject() const;
    SIZE ShapeSize() const;
    BOOL m_bCaptionDrag = 1;
};

class CSkinType45Wnd : public CSkinFramelessBase, public ISkinType45Window {
public:
    CSkinType45Wnd();
    ~CSkinType45Wnd() override;

    BOOL Attach(HWND hwnd) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void ApplyShape() override;
    void BuildSurface(int width, int height) override;
    LRESULT HitTest(int x, int y) override;
    // The client part's distances from the window's edges.
    void GetMargins(RECT* margins) const override;

private:
    LRESULT OnPaint();
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    void RedrawCaptionBand();
};
