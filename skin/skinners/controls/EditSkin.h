// The edit control skinner: the control paints its text itself, in the colours the skinned
// parent answers for it (the object's background and text colours, or its read-only colour for
// a read-only or disabled edit), inside the skin's border.
#pragma once

#include "ScrollControlSkin.h"
#include "SkinEngineServices.h"

class CSkinEdit : public CSkinScrollControl, public ISkinControlColors {
public:
    CSkinEdit(CSkinWindow* owner, int type);

    // WM_CTLCOLOREDIT and WM_CTLCOLORSTATIC (read-only or disabled) as the parent answers them.
    HBRUSH OnParentCtlColor(UINT msg, HDC hdc) override;

protected:
    Follow FollowAfter(UINT msg, WPARAM wParam, LPARAM lParam) const override;

private:
    CSkinColorBrush m_editBrush;
    CSkinColorBrush m_readOnlyBrush;
};
