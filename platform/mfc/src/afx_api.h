// Headers of the layer that the framework's sources call into.
#pragma once

#include "windows.h"
#include "commctrl.h"
#include "commdlg.h"
