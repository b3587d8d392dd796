// This project's platform layer: winuser.
#pragma once

#include "windef.h"
