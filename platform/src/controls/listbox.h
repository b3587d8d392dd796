// The list box internals the combo box shares (its list is a "ComboLBox").
#pragma once

#include "controls/common.h"

namespace plat::controls {

// Private messages between a combo box and its list.
enum : UINT {
    kLbSetCombo = WM_USER + 0x3F0,  // wParam: the combo box that owns this list
};

}  // namespace plat::controls
