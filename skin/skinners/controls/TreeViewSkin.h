// The tree view skinner: the control draws its items itself, in the skin's background, text and
// line colours (given to it after attach and after every skin change), inside the skin's border.
// Every tree view gets its own colours back with the skin.
#pragma once

#include "ScrollControlSkin.h"

class CSkinTreeView : public CSkinScrollControl {
public:
    CSkinTreeView(CSkinWindow* owner, int type);

    BOOL Attach(HWND hwnd) override;
    void Detach() override;
    CSkinObject* SetSkinObject(CSkinObject* object) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    Follow FollowAfter(UINT msg, WPARAM wParam, LPARAM lParam) const override;

private:
    LRESULT PushColors();
    COLORREF LineColor() const;

    struct Colors {
        COLORREF text, back, line;
    };
    Colors m_own{};  // the tree view's colours before the first push
    bool m_bPushed = false;
};
