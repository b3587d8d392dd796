// This project's platform layer: winbase.
#pragma once

#include "windef.h"
