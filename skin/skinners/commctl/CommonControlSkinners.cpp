#include "CommonControlSkinners.h"

#include "SkinObject.h"
#include "SkinnerRegistry.h"

void InstallCommonControlSkinners()
{
    SKIN_CONTROL_SKINNER(SKIN_TAB, MakeTabSkinner);
    SKIN_CONTROL_SKINNER(SKIN_HEADER, MakeHeaderSkinner);
    SKIN_CONTROL_SKINNER(SKIN_TOOLBAR, MakeToolBarSkinner);
    SKIN_CONTROL_SKINNER(SKIN_REBAR, MakeRebarSkinner);
    SKIN_CONTROL_SKINNER(SKIN_STATUSBAR, MakeStatusBarSkinner);
    SKIN_CONTROL_SKINNER(SKIN_CONTROLBAR, MakeControlBarSkinner);
    SKIN_CONTROL_SKINNER(SKIN_DATETIME, MakeDateTimeSkinner);
    SKIN_CONTROL_SKINNER(SKIN_MONTHCALENDAR, MakeMonthCalendarSkinner);
    SKIN_CONTROL_SKINNER(SKIN_ANIMATE, MakeAnimateSkinner);
    SKIN_CONTROL_SKINNER(SKIN_LINKWND, MakeLinkWndSkinner);
    SKIN_WINDOW_SKINNER(SKINKIND_FLOATINGTOOLBAR, MakeFloatingToolBarSkin);
}
