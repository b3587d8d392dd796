// The list box skinner, for list boxes of their own and for the drop-down lists of combo boxes:
// the control draws its items and selection itself, on the colours the skin answers for it,
// inside the skin's border. Owner-drawn list boxes of their own keep their look.
#pragma once

#include "ScrollControlSkin.h"

class CSkinListBox : public CSkinScrollControl {
public:
    CSkinListBox(CSkinWindow* owner, int type);

    BOOL Attach(HWND hwnd) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    bool IsComboList() const { return m_bComboList != FALSE; }

protected:
    Follow FollowAfter(UINT msg, WPARAM wParam, LPARAM lParam) const override;

private:
    LRESULT OnCtlColor(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);

    CSkinColorBrush m_brush;
    BOOL m_bComboList = FALSE;
};
