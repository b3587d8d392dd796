// The list view skinner: the control draws its items itself, in the skin's background and text
// colours (given to it at attach and at every skin change), inside the skin's border. Owner-
// drawn list views keep their look; every list view gets its own colours back with the skin.
#pragma once

#include "ScrollControlSkin.h"

class CSkinListView : public CSkinScrollControl {
public:
    CSkinListView(CSkinWindow* owner, int type);

    BOOL Attach(HWND hwnd) override;
    void Detach() override;
    CSkinObject* SetSkinObject(CSkinObject* object) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    Follow FollowAfter(UINT msg, WPARAM wParam, LPARAM lParam) const override;

private:
    LRESULT PushColors();
    // A thumb drag where the bars follow the control by hand: the list scrolls itself by the
    // distance dragged and the bar is copied from it.
    LRESULT OnThumbTrack(UINT msg, WPARAM wParam);

    struct Colors {
        COLORREF back, textBack, text;
    };
    Colors m_own{};  // the list view's colours before the first push
    bool m_bPushed = false;
};
