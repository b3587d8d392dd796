// The test kit for skinners, in one include: flat-colour test skins and the records behind a
// pixel (FlatSkin.h), the records of any object (SkinRecords.h), pixel probes (PixelProbe.h),
// synthetic windows with skins attached (SyntheticWindow.h), and the platform's test interface
// with its live-object counts (WinTestLiveCounts) for leak checks.
#pragma once

#include "FlatSkin.h"
#include "PixelProbe.h"
#include "SkinRecords.h"
#include "SyntheticWindow.h"
#include "winplat_test.h"
