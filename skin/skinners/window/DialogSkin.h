// The skin of a dialog box. A dialog with a dialog frame gets the whole skinned frame (size,
// paint, region, hit test, caption clicks and double clicks, caption elements, tracking
// sizes); one without (a child dialog, a property page) only its skinned client background
// and transparent statics. Both paint the background under children that ask for it.
#pragma once

#include "FrameSupport.h"

class CSkinDialog : public CSkinFramedWindow {
public:
    CSkinDialog();
    ~CSkinDialog() override;

    CSkinObject* SetSkinObject(CSkinObject* object) override;
    void Detach() override;
    BOOL Attach(HWND hwnd) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // The style has WS_DLGFRAME or DS_MODALFRAME.
    bool IsFramed();
    DWORD GetAttachStyle() const { return m_dwAttachStyle; }
    CSkinClientBackground& Background() { return m_background; }

private:
    LRESULT FramedProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT FramelessProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // Messages both kinds answer alike; false when msg is none of them.
    bool CommonMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    LRESULT OnNcPaint(WPARAM update);
    LRESULT OnNcHitTest(LPARAM lParam);
    LRESULT OnNcButton(UINT msg, WPARAM hit, LPARAM lParam);
    LRESULT OnNcLButtonDblClk(WPARAM hit, LPARAM lParam);
    LRESULT OnNcMouseMove(WPARAM hit, LPARAM lParam);
    // The saved procedure with a bare popup style meanwhile, then the frame repainted.
    LRESULT CallAsPopup(UINT msg, WPARAM wParam, LPARAM lParam);
    // The saved procedure without the system menu meanwhile, then the frame repainted.
    LRESULT CallWithoutSysMenu(UINT msg, WPARAM wParam, LPARAM lParam, bool repaint);
    POINT WindowPoint(LPARAM screenPoint);
    void ResizeToClient();

    CSkinClientBackground m_background;
    DWORD m_dwAttachStyle = 0;
};
