// This project's platform layer: the umbrella header of the window-system API.
#pragma once

#include "windef.h"
#include "winbase.h"
#include "wingdi.h"
#include "winuser.h"
#include "windlg.h"
#include "winreg.h"
#include "mmsystem.h"
#include "winsecurity.h"
