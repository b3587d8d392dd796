// The media detector behind CoCreateInstance(CLSID_MediaDet).
#pragma once

#include "dshow.h"

namespace plat::dshow {

// Creates a detector and returns its interface `iid` (one reference) in *out.
HRESULT CreateMediaDet(REFIID iid, void** out);

}  // namespace plat::dshow
