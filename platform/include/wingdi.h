// This project's platform layer: wingdi.
#pragma once

#include "windef.h"
