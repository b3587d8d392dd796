// The rich edit skinner: an edit skinner whose control keeps its own background colour instead
// of asking its parent, so the skin's background colour is handed to it after attach and after
// every skin change, and its own given back with the skin.
#pragma once

#include "EditSkin.h"

class CSkinRichEdit : public CSkinEdit {
public:
    CSkinRichEdit(CSkinWindow* owner, int type);

    BOOL Attach(HWND hwnd) override;
    void Detach() override;
    CSkinObject* SetSkinObject(CSkinObject* object) override;

private:
    void PushBackground();

    COLORREF m_crOwnBack = 0;  // the control's background before the first push
    bool m_bOwnSystem = false;  // it followed the system's window colour
    bool m_bPushed = false;
};
