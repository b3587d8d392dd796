#include "ControlSkinners.h"

#include "ScrollBarSkin.h"
#include "SkinObject.h"
#include "SkinnerRegistry.h"

void InstallControlSkinners()
{
    // One line per skinner; the makers are defined beside their skinners.
    SKIN_CONTROL_SKINNER(SKIN_BUTTON, MakeButtonSkinner);
    SKIN_CONTROL_SKINNER(SKIN_CHECKBOX, MakeCheckBoxSkinner);
    SKIN_CONTROL_SKINNER(SKIN_RADIO, MakeRadioSkinner);
    SKIN_CONTROL_SKINNER(SKIN_GROUPBOX, MakeGroupBoxSkinner);
    SKIN_CONTROL_SKINNER(SKIN_STATIC, MakeStaticSkinner);
    SKIN_CONTROL_SKINNER(SKIN_COMBOBOX, MakeComboBoxSkinner);
    SKIN_CONTROL_SKINNER(SKIN_SPIN, MakeSpinSkinner);
    InstallSkinScrollBars();
    SKIN_CONTROL_SKINNER(SKIN_SLIDER, MakeSliderSkinner);
    SKIN_CONTROL_SKINNER(SKIN_PROGRESSBAR, MakeProgressBarSkinner);
    SKIN_CONTROL_SKINNER(SKIN_SCROLLBAR, MakeScrollBarSkinner);
    SKIN_CONTROL_SKINNER(SKIN_EDIT, MakeEditSkinner);
    SKIN_CONTROL_SKINNER(SKIN_LISTBOX, MakeListBoxSkinner);
    SKIN_CONTROL_SKINNER(SKIN_LISTVIEW, MakeListViewSkinner);
    SKIN_CONTROL_SKINNER(SKIN_TREEVIEW, MakeTreeViewSkinner);
    SKIN_CONTROL_SKINNER(SKIN_RICHEDIT, MakeRichEditSkinner);
    SKIN_CONTROL_SKINNER(SKIN_SCROLLCONTROL, MakeScrollControlSkinner);
}
